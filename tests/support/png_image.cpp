#include "support/png_image.h"

#include <png.h>

#include <cstring>

#include "common/colour.h"

namespace terrak::testing {

std::optional<Picture> DecodePng(const std::vector<std::uint8_t>& bytes) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return std::nullopt;
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  Picture picture;
  picture.Reset(static_cast<std::int32_t>(image.width), static_cast<std::int32_t>(image.height),
                0);
  for (std::int32_t y = 0; y < picture.Height; ++y)
    for (std::int32_t x = 0; x < picture.Width; ++x) {
      const png_byte* p = &rgb[3 * (static_cast<std::size_t>(y) * image.width + x)];
      picture.At(x, y) = MakeColour(p[0], p[1], p[2]);
    }
  return picture;
}

}  // namespace terrak::testing
