#include "support/fake_image_stretcher.h"

#include "platform/file_error.h"

namespace terrak::testing {

IndexedImage FakeImageStretcher::StretchUpsideDown(const std::string& fileName,
                                                   std::int32_t width, std::int32_t height,
                                                   const ImagePalette& /*palette*/) {
  ++Calls;
  LastFileName = fileName;
  LastWidth = width;
  LastHeight = height;
  if (FailToLoad) throw FileError(fileName, "not an image");
  IndexedImage image{.Width = width, .Height = height};
  image.Pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::int32_t row = 0; row < height; ++row)
    for (std::int32_t x = 0; x < width; ++x)
      image.Pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = Pixel(x, row);
  return image;
}

}  // namespace terrak::testing
