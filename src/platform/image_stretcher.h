#pragma once
// Loading an image file of any format the platform reads and stretching it onto an 8-bit picture
// of a given size. The core writes and reads the resulting bitmap file itself.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/colour.h"

namespace terrak {

// An 8-bit picture: one palette index per pixel, rows from the top, Width bytes each.
struct IndexedImage {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<std::uint8_t> Pixels;
};

using ImagePalette = std::array<Colour, 256>;

class ImageStretcher {
 public:
  virtual ~ImageStretcher() = default;

  // Loads fileName and draws it stretched onto a width x height picture turned upside down (the
  // image's top row lands in the picture's last row), every colour mapped to the nearest entry of
  // palette. Throws FileError when the file cannot be read as an image.
  virtual IndexedImage StretchUpsideDown(const std::string& fileName, std::int32_t width,
                                         std::int32_t height, const ImagePalette& palette) = 0;
};

}  // namespace terrak
