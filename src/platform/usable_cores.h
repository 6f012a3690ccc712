#pragma once
// How many cores this process may run on: the cores its affinity allows (taskset, a container's
// CPU set), not every core the machine has, so that work is not split over threads that would
// only take turns on one core.
namespace terrak {

int UsableCores();

}  // namespace terrak
