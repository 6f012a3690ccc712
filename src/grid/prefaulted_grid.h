#pragma once
// A grid of zeros whose memory is made present on a thread of its own while other work goes on,
// for a copy wanted later: fresh memory can be slow to come by, and a copy into it then waits.
#include <cstdint>
#include <thread>

#include "terrain/grid_state.h"

namespace terrak {

class PrefaultedGrid {
 public:
  PrefaultedGrid(std::int64_t columns, std::int64_t rows);
  ~PrefaultedGrid();
  PrefaultedGrid(const PrefaultedGrid&) = delete;
  PrefaultedGrid& operator=(const PrefaultedGrid&) = delete;

  // Waits for the grid and hands it over; it is empty when it could not be made, or was taken.
  HeightGridType Take();

 private:
  HeightGridType grid_;
  std::thread thread_;
};

}  // namespace terrak
