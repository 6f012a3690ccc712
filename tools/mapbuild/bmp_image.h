#pragma once
// Images written as uncompressed Windows bitmap files: 8 bits per pixel with a 256-colour
// palette, or 24 bits per pixel. Rows are stored bottom-up, each padded to a multiple of 4 bytes.
#include <array>
#include <cstdint>
#include <vector>

#include "common/colour.h"
#include "common/grid2d.h"

namespace terrak::testing {

// Pixels(x, y): column x from the left, row y from the top.
struct IndexedImage {
  Grid2D<std::uint8_t> Pixels;
  std::array<Colour, 256> Palette{};
};

struct RgbImage {
  Grid2D<Colour> Pixels;
};

// Bytes of one stored pixel row: the pixels' bytes rounded up to a multiple of 4.
std::int64_t BmpRowBytes(std::int64_t width, int bitsPerPixel);

// Throw std::invalid_argument for an empty image.
std::vector<std::uint8_t> EncodeBmp(const IndexedImage& image);
std::vector<std::uint8_t> EncodeBmp(const RgbImage& image);

RgbImage ToRgb(const IndexedImage& image);

}  // namespace terrak::testing
