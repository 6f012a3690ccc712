#pragma once
// The pixel buffers of one 3D picture: the depth and colour per pixel that the line drawing
// fills, indexed [screen x][screen y], and the finished picture, row by row from the top, that
// goes to the window, a file or the printer.
#include <cstdint>
#include <vector>

#include "common/colour.h"
#include "viewer/tiled_grid.h"

namespace terrak {

// The composed picture: Width x Height colours in one allocation, row-major from the top.
struct Picture {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<Colour> Pixels;

  Colour& At(std::int32_t x, std::int32_t y) {
    return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                  static_cast<std::size_t>(x)];
  }
  Colour At(std::int32_t x, std::int32_t y) const {
    return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                  static_cast<std::size_t>(x)];
  }
  // Sizes the picture and paints it all in one colour; the allocation is kept when the size
  // does not change, so repeated frames do not reallocate.
  void Reset(std::int32_t width, std::int32_t height, Colour fill);
  friend bool operator==(const Picture&, const Picture&) = default;
};

// Depth 0 means an empty pixel; depths are centimetres ahead of the eye along the view axis.
struct PixelBuffers {
  TiledGrid<std::int32_t> DepthBuffer;
  TiledGrid<Colour> ColourBuffer;

  // Sizes both buffers to width x height, every depth 0 and every colour white, reusing the
  // allocations when the size is unchanged.
  void Reset(std::int32_t width, std::int32_t height);
  void Free();
};

}  // namespace terrak
