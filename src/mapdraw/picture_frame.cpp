#include "mapdraw/picture_frame.h"

#include <cmath>

namespace terrak::mapdraw {

PictureFrame FrameFor(const Box& extent, double dpi) {
  PictureFrame frame;
  const double scale = dpi / kMicrometresPerInch;  // pixels per micrometre
  frame.View.PixelsPerMicrometre = scale;
  if (extent.Empty() || !(scale > 0)) return frame;
  const double left = std::floor(extent.MinX * scale);
  const double right = std::ceil(extent.MaxX * scale);
  const double bottom = std::floor(extent.MinY * scale);
  const double top = std::ceil(extent.MaxY * scale);
  frame.Width = static_cast<std::int64_t>(std::max(1.0, right - left));
  frame.Height = static_cast<std::int64_t>(std::max(1.0, top - bottom));
  frame.View.Left = left / scale;
  frame.View.Top = top / scale;
  frame.TooLarge = frame.Width > kLargestPictureSide || frame.Height > kLargestPictureSide ||
                   frame.Width * frame.Height > kMostPicturePixels;
  if (!frame.TooLarge) {
    frame.View.Width = static_cast<std::int32_t>(frame.Width);
    frame.View.Height = static_cast<std::int32_t>(frame.Height);
  }
  return frame;
}

}  // namespace terrak::mapdraw
