#include "platform/usable_cores.h"

#include <sched.h>

#include <thread>

namespace terrak {

int UsableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    const int count = CPU_COUNT(&set);
    if (count > 0) return count;
  }
  const unsigned all = std::thread::hardware_concurrency();
  return all > 0 ? static_cast<int>(all) : 1;
}

}  // namespace terrak
