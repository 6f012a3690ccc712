#include "export/palette_png.h"

#include <algorithm>

#include "export/gdal_module.h"

namespace terrak {

std::vector<std::uint8_t> BitmapAsPng(const BitmapGridType& bitmap,
                                      const std::array<std::uint8_t, kBitmapPaletteSize>& palette,
                                      std::int64_t maxSide) {
  const std::int64_t columns = bitmap.Columns(), rows = bitmap.Rows();
  const std::int64_t side = std::max<std::int64_t>(maxSide, 1);
  const std::int64_t width = std::min(columns, side), height = std::min(rows, side);
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height));
  for (std::int64_t i = 0; i < width; ++i) {
    const std::uint8_t* column = bitmap.Column(i * columns / width);
    for (std::int64_t p = 0; p < height; ++p)
      pixels[static_cast<std::size_t>(p * width + i)] = column[rows - 1 - p * rows / height];
  }
  PngResult png = ProgramGdalExports().EncodePalettePng(width, height, pixels, palette);
  ThrowUnlessDone(png);
  return std::move(png.Bytes);
}

}  // namespace terrak
