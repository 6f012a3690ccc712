#include "mapbuild/bmp_image.h"

#include <stdexcept>

#include "common/bytes.h"

namespace terrak::testing {
namespace {

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::int64_t kInfoHeaderSize = 40;

// The two headers; the resolution fields stay zero, which readers take as "unknown".
std::vector<std::uint8_t> Headers(std::int64_t width, std::int64_t height, int bits,
                                  std::int64_t paletteEntries) {
  if (width <= 0 || height <= 0) throw std::invalid_argument("bitmap: empty image");
  const std::int64_t dataStart = kFileHeaderSize + kInfoHeaderSize + 4 * paletteEntries;
  const std::int64_t imageBytes = BmpRowBytes(width, bits) * height;
  if (dataStart + imageBytes > 0x7FFFFFFF) throw std::invalid_argument("bitmap: image too large");
  std::vector<std::uint8_t> file(static_cast<std::size_t>(dataStart + imageBytes), 0);
  std::uint8_t* const p = file.data();
  p[0] = 'B';
  p[1] = 'M';
  PutU32(p + 2, static_cast<std::uint32_t>(file.size()));
  PutU32(p + 10, static_cast<std::uint32_t>(dataStart));
  std::uint8_t* const info = p + kFileHeaderSize;
  PutU32(info + 0, static_cast<std::uint32_t>(kInfoHeaderSize));
  PutI32(info + 4, static_cast<std::int32_t>(width));
  PutI32(info + 8, static_cast<std::int32_t>(height));  // positive: rows stored bottom-up
  PutU16(info + 12, 1);
  PutU16(info + 14, static_cast<std::uint16_t>(bits));
  PutU32(info + 20, static_cast<std::uint32_t>(imageBytes));
  PutU32(info + 32, static_cast<std::uint32_t>(paletteEntries));
  return file;
}

}  // namespace

std::int64_t BmpRowBytes(std::int64_t width, int bitsPerPixel) {
  return (width * bitsPerPixel + 31) / 32 * 4;
}

std::vector<std::uint8_t> EncodeBmp(const IndexedImage& image) {
  const std::int64_t width = image.Pixels.Columns(), height = image.Pixels.Rows();
  std::vector<std::uint8_t> file = Headers(width, height, 8, 256);
  std::uint8_t* palette = file.data() + kFileHeaderSize + kInfoHeaderSize;
  for (Colour colour : image.Palette) {
    palette[0] = BlueOf(colour);
    palette[1] = GreenOf(colour);
    palette[2] = RedOf(colour);
    palette += 4;
  }
  std::uint8_t* row = palette;
  for (std::int64_t y = height - 1; y >= 0; --y, row += BmpRowBytes(width, 8))
    for (std::int64_t x = 0; x < width; ++x) row[x] = image.Pixels(x, y);
  return file;
}

std::vector<std::uint8_t> EncodeBmp(const RgbImage& image) {
  const std::int64_t width = image.Pixels.Columns(), height = image.Pixels.Rows();
  std::vector<std::uint8_t> file = Headers(width, height, 24, 0);
  std::uint8_t* row = file.data() + kFileHeaderSize + kInfoHeaderSize;
  for (std::int64_t y = height - 1; y >= 0; --y, row += BmpRowBytes(width, 24)) {
    for (std::int64_t x = 0; x < width; ++x) {
      const Colour colour = image.Pixels(x, y);
      row[3 * x] = BlueOf(colour);
      row[3 * x + 1] = GreenOf(colour);
      row[3 * x + 2] = RedOf(colour);
    }
  }
  return file;
}

RgbImage ToRgb(const IndexedImage& image) {
  RgbImage rgb;
  rgb.Pixels.Resize(image.Pixels.Columns(), image.Pixels.Rows());
  for (std::int64_t x = 0; x < image.Pixels.Columns(); ++x)
    for (std::int64_t y = 0; y < image.Pixels.Rows(); ++y)
      rgb.Pixels(x, y) = image.Palette[image.Pixels(x, y)];
  return rgb;
}

}  // namespace terrak::testing
