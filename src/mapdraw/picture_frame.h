#pragma once
// The picture of a stretch of paper at a resolution: whole pixels on a grid that starts at
// the paper's origin, so that pictures of one map at one resolution line up pixel for pixel.
#include <cstdint>
#include <optional>

#include "mapdraw/geometry.h"
#include "platform/vector_picture.h"

namespace terrak::mapdraw {

// Pictures larger than this are refused: 16384 pixels a side, 2^28 pixels in all.
inline constexpr std::int64_t kLargestPictureSide = 16384;
inline constexpr std::int64_t kMostPicturePixels = std::int64_t{1} << 28;

// Micrometres of paper per inch.
inline constexpr double kMicrometresPerInch = 25400;

struct PictureFrame {
  PictureView View;
  std::int64_t Width = 0, Height = 0;  // before any refusal
  bool TooLarge = false;
};

// The frame of whole pixels covering extent at dpi dots per inch of paper.
PictureFrame FrameFor(const Box& extent, double dpi);

}  // namespace terrak::mapdraw
