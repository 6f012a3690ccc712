#include "viewer/picture.h"

#include <algorithm>

namespace terrak {

void Picture::Reset(std::int32_t width, std::int32_t height, Colour fill) {
  Width = std::max<std::int32_t>(width, 0);
  Height = std::max<std::int32_t>(height, 0);
  Pixels.assign(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height), fill);
}

void PixelBuffers::Reset(std::int32_t width, std::int32_t height) {
  DepthBuffer.Reset(width, height, 0);
  ColourBuffer.Reset(width, height, kWhite);
}

void PixelBuffers::Free() {
  DepthBuffer.Clear();
  ColourBuffer.Clear();
}

}  // namespace terrak
