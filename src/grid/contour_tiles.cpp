#include "grid/contour_tiles.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace terrak {

namespace {

// Boxes of up to this many tiles are tested cell by cell.
constexpr std::int64_t kExactTiles = 16;

// The bits of a tile's rows lo .. hi (one byte a row), and of its columns lo .. hi in every row.
std::uint64_t RowsMask(std::int64_t lo, std::int64_t hi) {
  const std::uint64_t upTo = hi == 7 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * (hi + 1))) - 1;
  return upTo & ~((std::uint64_t{1} << (8 * lo)) - 1);
}
std::uint64_t ColumnsMask(std::int64_t lo, std::int64_t hi) {
  const std::uint64_t row = ((std::uint64_t{1} << (hi + 1)) - 1) & ~((std::uint64_t{1} << lo) - 1);
  return row * 0x0101010101010101u;
}

}  // namespace

ContourTiles::ContourTiles(std::int64_t columns, std::int64_t rows)
    : columns_(columns),
      rows_(rows),
      tilesX_((columns + 7) / 8),
      tilesY_((rows + 7) / 8),
      words_(static_cast<std::size_t>(tilesX_ * tilesY_)),
      occupied_(static_cast<std::size_t>((tilesX_ + 1) * (tilesY_ + 1))) {
  // Put reads a word before it writes it: on fresh pages that read would map the shared zero
  // page, and the write then copy it and flush the other threads' address translations, page
  // by page. Made present at once, the pages are written only.
  words_.MakePresent();
}

ContourTiles::ContourTiles(const HeightGridType& grid) : ContourTiles(grid.Columns(), grid.Rows()) {
  // Whole tiles eight rows at a time: lane k of the sum holds row k's bits, which is byte k of
  // the tile's word. The last rows and columns of a grid not a multiple of 8 cell by cell.
  static_assert(std::endian::native == std::endian::little, "a word's byte k is its row k");
  using Rows16 = std::int16_t __attribute__((vector_size(16)));
  using Rows8 = std::uint8_t __attribute__((vector_size(8)));
  const std::int64_t wholeX = columns_ / 8, wholeY = rows_ / 8;
  for (std::int64_t tx = 0; tx < wholeX; ++tx) {
    const std::int16_t* column[8];
    for (int i = 0; i < 8; ++i) column[i] = grid.Column(tx * 8 + i);
    for (std::int64_t ty = 0; ty < wholeY; ++ty) {
      Rows16 bits = {};
      for (int i = 0; i < 8; ++i) {
        Rows16 cells;
        std::memcpy(&cells, column[i] + ty * 8, sizeof cells);
        const auto bit = static_cast<std::int16_t>(1 << i);
        bits |= (cells > 0) & Rows16{bit, bit, bit, bit, bit, bit, bit, bit};
      }
      const Rows8 bytes = __builtin_convertvector(bits, Rows8);
      std::memcpy(&words_[static_cast<std::size_t>(ty * tilesX_ + tx)], &bytes, sizeof bytes);
    }
  }
  for (std::int64_t x = 0; x < columns_; ++x) {
    const std::int16_t* column = grid.Column(x);
    for (std::int64_t y = x < wholeX * 8 ? wholeY * 8 : 0; y < rows_; ++y)
      if (column[y] > 0) words_[Word(x, y)] |= Bit(x, y);
  }
  Summarise();
}

void ContourTiles::Summarise() {
  const auto sums = static_cast<std::size_t>((tilesX_ + 1) * (tilesY_ + 1));
  if (occupied_.size() != sums) occupied_ = ZeroedArray<std::int32_t>(sums);  // forgotten before
  const auto at = [&](std::int64_t tx, std::int64_t ty) -> std::int32_t& {
    return occupied_[static_cast<std::size_t>(ty * (tilesX_ + 1) + tx)];
  };
  for (std::int64_t ty = 0; ty < tilesY_; ++ty)
    for (std::int64_t tx = 0; tx < tilesX_; ++tx)
      at(tx + 1, ty + 1) = (words_[static_cast<std::size_t>(ty * tilesX_ + tx)] != 0 ? 1 : 0) +
                           at(tx, ty + 1) + at(tx + 1, ty) - at(tx, ty);
}

bool ContourTiles::AnyIn(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) const {
  x0 = std::max<std::int64_t>(x0, 0);
  y0 = std::max<std::int64_t>(y0, 0);
  x1 = std::min(x1, columns_ - 1);
  y1 = std::min(y1, rows_ - 1);
  if (x0 > x1 || y0 > y1) return false;
  const std::int64_t tx0 = x0 >> 3, ty0 = y0 >> 3, tx1 = (x1 >> 3) + 1, ty1 = (y1 >> 3) + 1;
  const auto at = [&](std::int64_t tx, std::int64_t ty) {
    return occupied_[static_cast<std::size_t>(ty * (tilesX_ + 1) + tx)];
  };
  if (at(tx1, ty1) - at(tx0, ty1) - at(tx1, ty0) + at(tx0, ty0) == 0) return false;
  // A box of a few tiles is tested cell by cell: a bulge running along a contour passes through
  // its tiles without meeting its cells.
  if ((tx1 - tx0) * (ty1 - ty0) > kExactTiles) return true;
  // Only the first and the last tile column are cut; the ones between are whole.
  const std::uint64_t firstColumns = ColumnsMask(x0 & 7, tx1 - tx0 == 1 ? x1 & 7 : 7);
  const std::uint64_t lastColumns = ColumnsMask(0, x1 & 7);
  for (std::int64_t ty = ty0; ty < ty1; ++ty) {
    const std::uint64_t rows = RowsMask(std::max(y0, ty << 3) & 7, std::min(y1, (ty << 3) + 7) & 7);
    const std::uint64_t* word = &words_[static_cast<std::size_t>(ty * tilesX_)];
    for (std::int64_t tx = tx0; tx < tx1; ++tx) {
      const std::uint64_t columns =
          tx == tx0 ? firstColumns : (tx == tx1 - 1 ? lastColumns : ~std::uint64_t{0});
      if ((word[tx] & rows & columns) != 0) return true;
    }
  }
  return false;
}

}  // namespace terrak
