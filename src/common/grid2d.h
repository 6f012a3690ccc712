#pragma once
// A two-dimensional array in one contiguous allocation, indexed G(x, y) with x the column.
// Storage is column-major: the cells of one column lie next to each other, as the height grid
// and the bitmap grid are defined column by column. The cells start as zero memory that is not
// written until used (common/zeroed_array.h): a grid made of zeros costs nothing until touched.
#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/zeroed_array.h"

namespace terrak {

// T is a plain value type (a number, a colour).
template <typename T>
class Grid2D {
 public:
  Grid2D() = default;
  Grid2D(std::int64_t columns, std::int64_t rows, T fill = T{}) { Resize(columns, rows, fill); }

  // Resizes to the given size and sets every cell to fill. The old cells are given back first,
  // so a grid resized to zeros is fresh memory, never written.
  void Resize(std::int64_t columns, std::int64_t rows, T fill = T{}) {
    Clear();
    const std::int64_t c = columns < 0 ? 0 : columns;
    const std::int64_t r = rows < 0 ? 0 : rows;
    cells_ = ZeroedArray<T>(static_cast<std::size_t>(c * r));
    columns_ = c;
    rows_ = r;
    const T zero{};
    if (std::memcmp(&fill, &zero, sizeof(T)) != 0) std::fill(cells_.begin(), cells_.end(), fill);
  }

  // Resizes keeping the values where old and new sizes overlap; new cells are fill.
  void ResizeKeeping(std::int64_t columns, std::int64_t rows, T fill = T{}) {
    Grid2D<T> resized(columns, rows, fill);
    const std::int64_t keepColumns = columns_ < resized.columns_ ? columns_ : resized.columns_;
    const std::int64_t keepRows = rows_ < resized.rows_ ? rows_ : resized.rows_;
    if (keepRows > 0)
      for (std::int64_t x = 0; x < keepColumns; ++x)
        std::memcpy(resized.Column(x), Column(x), static_cast<std::size_t>(keepRows) * sizeof(T));
    *this = std::move(resized);
  }

  void Clear() {
    columns_ = rows_ = 0;
    cells_ = ZeroedArray<T>();
  }

  // The cells' memory made present now, for a grid about to be written all over.
  void MakePresent() noexcept { cells_.MakePresent(); }

  std::int64_t Columns() const { return columns_; }
  std::int64_t Rows() const { return rows_; }
  bool Empty() const { return cells_.empty(); }
  bool Contains(std::int64_t x, std::int64_t y) const {
    return x >= 0 && y >= 0 && x < columns_ && y < rows_;
  }

  T& operator()(std::int64_t x, std::int64_t y) {
    assert(Contains(x, y));
    return cells_[static_cast<std::size_t>(x * rows_ + y)];
  }
  const T& operator()(std::int64_t x, std::int64_t y) const {
    assert(Contains(x, y));
    return cells_[static_cast<std::size_t>(x * rows_ + y)];
  }

  T* Column(std::int64_t x) { return cells_.data() + x * rows_; }
  const T* Column(std::int64_t x) const { return cells_.data() + x * rows_; }
  T* Data() { return cells_.data(); }
  const T* Data() const { return cells_.data(); }

  friend bool operator==(const Grid2D& a, const Grid2D& b) {
    return a.columns_ == b.columns_ && a.rows_ == b.rows_ && a.cells_ == b.cells_;
  }

 private:
  std::int64_t columns_ = 0;
  std::int64_t rows_ = 0;
  ZeroedArray<T> cells_;
};

}  // namespace terrak
