#include "grid/contour_tiles.h"

#include <algorithm>

namespace terrak {

ContourTiles::ContourTiles(const HeightGridType& grid)
    : columns_(grid.Columns()),
      rows_(grid.Rows()),
      tilesX_((grid.Columns() + 7) / 8),
      tilesY_((grid.Rows() + 7) / 8),
      words_(static_cast<std::size_t>(tilesX_ * tilesY_), 0),
      occupied_(static_cast<std::size_t>((tilesX_ + 1) * (tilesY_ + 1)), 0) {
  for (std::int64_t x = 0; x < columns_; ++x) {
    const std::int16_t* column = grid.Column(x);
    for (std::int64_t y = 0; y < rows_; ++y)
      if (column[y] > 0) words_[Word(x, y)] |= Bit(x, y);
  }
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
  return at(tx1, ty1) - at(tx0, ty1) - at(tx1, ty0) + at(tx0, ty0) > 0;
}

}  // namespace terrak
