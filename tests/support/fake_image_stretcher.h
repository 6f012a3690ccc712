#pragma once
// An ImageStretcher that draws a picture from a function instead of loading a file, and records
// what it was asked for.
#include <functional>
#include <string>

#include "platform/image_stretcher.h"

namespace terrak::testing {

class FakeImageStretcher : public ImageStretcher {
 public:
  // The palette index of picture pixel (x, row), row 0 being the picture's top row.
  std::function<std::uint8_t(std::int32_t x, std::int32_t row)> Pixel =
      [](std::int32_t x, std::int32_t row) { return static_cast<std::uint8_t>((x + 3 * row) % 250); };
  bool FailToLoad = false;  // throw FileError as for an unreadable image
  int Calls = 0;
  std::string LastFileName;
  std::int32_t LastWidth = 0;
  std::int32_t LastHeight = 0;

  IndexedImage StretchUpsideDown(const std::string& fileName, std::int32_t width,
                                 std::int32_t height, const ImagePalette& palette) override;
};

}  // namespace terrak::testing
