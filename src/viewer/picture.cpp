#include "viewer/picture.h"

#include <algorithm>

namespace terrak {

void Picture::Reset(std::int32_t width, std::int32_t height, Colour fill) {
  Width = std::max<std::int32_t>(width, 0);
  Height = std::max<std::int32_t>(height, 0);
  Pixels.assign(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height), fill);
}

void PixelBuffers::Reset(std::int32_t width, std::int32_t height) {
  if (DepthBuffer.Columns() == width && DepthBuffer.Rows() == height &&
      ColourBuffer.Columns() == width && ColourBuffer.Rows() == height) {
    const std::int64_t cells = std::int64_t{width} * height;
    std::fill(DepthBuffer.Data(), DepthBuffer.Data() + cells, 0);
    std::fill(ColourBuffer.Data(), ColourBuffer.Data() + cells, kWhite);
    return;
  }
  DepthBuffer.Resize(width, height, 0);
  ColourBuffer.Resize(width, height, kWhite);
}

void PixelBuffers::Free() {
  DepthBuffer.Clear();
  ColourBuffer.Clear();
}

}  // namespace terrak
