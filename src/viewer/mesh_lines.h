#pragma once
// The lines of the fast wire mesh: exactly the pixels and depths PenLineTo<kWithColour, true>
// gives, cheaper. Most mesh lines are a few pixels long, so their divisions (the slope once a
// line, the position along it once a pixel) are looked up: a quotient of two small integers is
// the same double whether divided now or when the table was made. Without colours only the
// depths are written: the colour buffer of such a picture holds white wherever a line could
// reach and is never read, so it is left as the buffers' reset left it.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "viewer/rasteriser.h"

namespace terrak {

// a / b as doubles for |a|, |b| up to kLargest (b not 0).
class SmallQuotients {
 public:
  static constexpr std::int32_t kLargest = 24;
  SmallQuotients();
  double Of(std::int32_t a, std::int32_t b) const {
    return quotients_[static_cast<std::size_t>((a + kLargest) * kSide + (b + kLargest))];
  }

 private:
  static constexpr std::int32_t kSide = 2 * kLargest + 1;
  std::vector<double> quotients_;
};

// The depth half of WriteIfNearer.
inline void WriteDepthIfNearer(std::int32_t* depths, std::int64_t cell, std::int32_t depth) {
  const auto old = static_cast<std::uint32_t>(depths[cell]);
  const auto value = static_cast<std::uint32_t>(depth);
  depths[cell] = static_cast<std::int32_t>(old - 1 >= value ? value : old);
}

// One plot into the buffers, without its depth range; colours only with kWithColour.
template <bool kWithColour>
inline void MeshWrite(const RasterTarget& target, std::int64_t cell, std::int32_t depth, Colour colour) {
  if constexpr (kWithColour)
    WriteIfNearer(target.Depth, target.Colours, cell, depth, colour);
  else
    WriteDepthIfNearer(target.Depth, cell, depth);
}

// PenLineTo<kWithColour, true>(target, pen, point), its pixels and depth range, with the
// quotients of short lines from quotients.
// Inlined: the call would cost about as much as a short line's pixels.
template <bool kWithColour>
[[gnu::always_inline]] inline void MeshLineTo(RasterTarget& target, LinePen& pen, const ScreenPoint& point,
                const SmallQuotients& quotients) {
  const PenPosition p0 = pen.PenPoint;
  const std::int32_t x0 = p0.X, y0 = p0.Y, x1 = point.X, y1 = point.Y;
  const std::int32_t dx = x1 - x0, dy = y1 - y0;
  const std::int32_t ex = std::abs(dx), ey = std::abs(dy);
  const auto ez = static_cast<double>(std::int64_t{point.Depth} - p0.Depth);
  const Colour c0 = p0.VertexColour;
  const Colour c1 = pen.VertexColour;
  int dc[3] = {0, 0, 0};
  if constexpr (kWithColour) {
    dc[0] = RedOf(c1) - RedOf(c0);
    dc[1] = GreenOf(c1) - GreenOf(c0);
    dc[2] = BlueOf(c1) - BlueOf(c0);
  }
  target.NearestDepth = std::min({target.NearestDepth, p0.Depth, point.Depth});
  target.FarthestDepth = std::max({target.FarthestDepth, p0.Depth, point.Depth});
  const std::int64_t across = target.TilesAcross;
  const auto write = [&](std::int32_t x, std::int32_t y, std::int32_t depth, Colour colour) {
    MeshWrite<kWithColour>(target, TiledGrid<std::int32_t>::IndexIn(across, x, y), depth, colour);
  };
  const bool blend = kWithColour && c0 != c1;
  const auto plotAt = [&](std::int32_t x, std::int32_t y, double t) {
    const auto depth = static_cast<std::int32_t>(RoundToInt(ez * t) + p0.Depth);
    write(x, y, depth, blend ? raster_detail::BlendChannels(c0, dc, t) : c0);
  };
  const bool small = ex <= SmallQuotients::kLargest && ey <= SmallQuotients::kLargest;
  const auto quotient = [&](std::int32_t a, std::int32_t b) {
    return small ? quotients.Of(a, b) : static_cast<double>(a) / static_cast<double>(b);
  };
  if (ex < 1 && ey < 1) write(x1, y1, point.Depth, c1);
  if (ex > 0) {
    const double slope = quotient(dy, dx);
    const std::int32_t step = dx > 0 ? 1 : -1;
    for (std::int32_t i = 1; i < ex; ++i) {
      const auto y = static_cast<std::int32_t>(RoundToInt(slope * (i * step)) + y0);
      plotAt(x0 + i * step, y, quotient(i, ex));
    }
    write(x1, y1, point.Depth, c1);  // what the formulas give at the end
  }
  if (ey > 0) {
    const double slope = quotient(dx, dy);
    const std::int32_t step = dy > 0 ? 1 : -1;
    for (std::int32_t j = 1; j < ey; ++j) {
      const auto x = static_cast<std::int32_t>(RoundToInt(slope * (j * step)) + x0);
      plotAt(x, y0 + j * step, quotient(j, ey));
    }
    if (ex == 0) write(x1, y1, point.Depth, c1);
  }
  pen.PenPoint = {x1, y1, point.Depth, c1};
}

}  // namespace terrak
