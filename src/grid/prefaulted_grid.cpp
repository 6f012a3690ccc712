#include "grid/prefaulted_grid.h"

#include <new>
#include <system_error>
#include <utility>

namespace terrak {

PrefaultedGrid::PrefaultedGrid(std::int64_t columns, std::int64_t rows) {
  try {
    thread_ = std::thread([this, columns, rows] {
      try {
        grid_.Resize(columns, rows);
        grid_.MakePresent();
      } catch (const std::bad_alloc&) {
        grid_.Clear();  // the copy takes fresh memory of its own, or fails there
      }
    });
  } catch (const std::system_error&) {
    // No thread to be had: no grid either.
  }
}

PrefaultedGrid::~PrefaultedGrid() {
  if (thread_.joinable()) thread_.join();
}

HeightGridType PrefaultedGrid::Take() {
  if (thread_.joinable()) thread_.join();
  return std::exchange(grid_, HeightGridType{});
}

}  // namespace terrak
