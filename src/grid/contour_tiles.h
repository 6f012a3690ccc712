#pragma once
// The contour cells (value > 0) of a grid as bits in tiles of 8 x 8 cells, one 64-bit word a
// tile, with a summed table of the tiles holding any: the cells a bulge of the shrink-wrap passes
// lie close together and share a few words, and whole stretches of a bulge can be passed over
// when its box touches no such tile.
#include <cstdint>
#include "common/zeroed_array.h"
#include "terrain/grid_state.h"

namespace terrak {

class ContourTiles {
 public:
  explicit ContourTiles(const HeightGridType& grid);
  // No contour cell yet in a grid of columns x rows: its cells are Put as they are written, and
  // Summarise makes the table AnyIn reads once they are. A cell Put after that is not seen by
  // AnyIn until Summarise is called again.
  ContourTiles(std::int64_t columns, std::int64_t rows);
  void Put(std::int64_t x, std::int64_t y, bool contour) {
    std::uint64_t& word = words_[Word(x, y)];
    word = contour ? word | Bit(x, y) : word & ~Bit(x, y);
  }
  void Summarise();
  // Whether these are tiles of a grid of grid's size.
  bool Fits(const HeightGridType& grid) const {
    return grid.Columns() == columns_ && grid.Rows() == rows_;
  }
  // Gives back the table AnyIn reads, once no search is to come (Summarise makes it again).
  void ForgetSums() { occupied_ = ZeroedArray<std::int32_t>(); }

  bool Contour(std::int64_t x, std::int64_t y) const {
    return (words_[Word(x, y)] & Bit(x, y)) != 0;
  }
  // Whether any contour cell may lie in the cells x0 .. x1, y0 .. y1 (cut to the grid): exact
  // for boxes of a few tiles, by the tiles holding any for larger ones.
  bool AnyIn(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) const;

  // The tile of columns 8 tx .. 8 tx + 7 and rows 8 ty .. 8 ty + 7: byte k holds row 8 ty + k,
  // its bit i column 8 tx + i.
  std::int64_t TilesAcross() const { return tilesX_; }
  std::int64_t TilesDown() const { return tilesY_; }
  std::uint64_t Tile(std::int64_t tx, std::int64_t ty) const {
    return words_[static_cast<std::size_t>(ty * tilesX_ + tx)];
  }

 private:
  std::size_t Word(std::int64_t x, std::int64_t y) const {
    return static_cast<std::size_t>((y >> 3) * tilesX_ + (x >> 3));
  }
  static std::uint64_t Bit(std::int64_t x, std::int64_t y) {
    return std::uint64_t{1} << (((y & 7) << 3) | (x & 7));
  }

  std::int64_t columns_, rows_;
  std::int64_t tilesX_, tilesY_;
  ZeroedArray<std::uint64_t> words_;
  ZeroedArray<std::int32_t> occupied_;  // (tilesX_ + 1) x (tilesY_ + 1) summed counts
};

}  // namespace terrak
