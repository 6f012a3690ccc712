#pragma once
// A picture-sized array stored in square tiles of 8 x 8 cells, one contiguous allocation with
// an indexer G(x, y). Lines run across the picture in every direction; in tiles, the cells a
// short line touches lie close together in memory whichever way it runs, where a column-major
// or row-major array would put every step across the lines a whole row or column apart.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace terrak {

template <typename T>
class TiledGrid {
 public:
  static constexpr int kTileShift = 3;
  static constexpr std::int32_t kTile = 1 << kTileShift;
  static constexpr std::int32_t kMask = kTile - 1;

  // Sizes the grid and sets every cell to fill; the allocation is kept when the size stays.
  void Reset(std::int32_t columns, std::int32_t rows, T fill) {
    columns_ = std::max<std::int32_t>(columns, 0);
    rows_ = std::max<std::int32_t>(rows, 0);
    tilesAcross_ = (columns_ + kMask) >> kTileShift;
    const std::int64_t tilesDown = (rows_ + kMask) >> kTileShift;
    cells_.assign(static_cast<std::size_t>(tilesAcross_ * tilesDown * kTile * kTile), fill);
  }
  void Clear() {
    columns_ = rows_ = 0;
    tilesAcross_ = 0;
    cells_.clear();
    cells_.shrink_to_fit();
  }

  std::int64_t Columns() const { return columns_; }
  std::int64_t Rows() const { return rows_; }
  bool Empty() const { return cells_.empty(); }
  std::int64_t TilesAcross() const { return tilesAcross_; }

  // Position of cell (x, y) in Data().
  static std::int64_t IndexIn(std::int64_t tilesAcross, std::int32_t x, std::int32_t y) {
    return (((std::int64_t{y >> kTileShift} * tilesAcross + (x >> kTileShift)) << (2 * kTileShift)) |
            (std::int64_t{y & kMask} << kTileShift) | (x & kMask));
  }
  std::int64_t Index(std::int32_t x, std::int32_t y) const { return IndexIn(tilesAcross_, x, y); }

  T& operator()(std::int64_t x, std::int64_t y) {
    return cells_[static_cast<std::size_t>(Index(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)))];
  }
  const T& operator()(std::int64_t x, std::int64_t y) const {
    return cells_[static_cast<std::size_t>(Index(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)))];
  }
  T* Data() { return cells_.data(); }
  const T* Data() const { return cells_.data(); }
  // Cells in the allocation, the padding of the last tiles included.
  std::int64_t Size() const { return static_cast<std::int64_t>(cells_.size()); }

  // Cells outside the picture are never written, so the whole allocations compare.
  friend bool operator==(const TiledGrid& a, const TiledGrid& b) {
    return a.columns_ == b.columns_ && a.rows_ == b.rows_ && a.cells_ == b.cells_;
  }

 private:
  std::int32_t columns_ = 0;
  std::int32_t rows_ = 0;
  std::int64_t tilesAcross_ = 0;
  std::vector<T> cells_;
};

}  // namespace terrak
