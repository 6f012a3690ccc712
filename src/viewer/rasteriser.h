#pragma once
// The line rasteriser: lines between projected vertices drawn into the depth and colour
// buffers, one pixel at a time, nearer pixels replacing farther ones.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "common/colour.h"
#include "common/rounding.h"
#include "viewer/picture.h"
#include "viewer/projection.h"

namespace terrak {

// Where pixels go: the buffers of one picture (or of one thread's share of it) and the range of
// depths offered to them.
struct RasterTarget {
  std::int32_t* Depth = nullptr;  // in tiles, as TiledGrid lays them out
  Colour* Colours = nullptr;
  std::int64_t TilesAcross = 0;
  std::int32_t NearestDepth = 0;
  std::int32_t FarthestDepth = 0;

  RasterTarget() = default;
  RasterTarget(PixelBuffers& buffers, std::int32_t nearest, std::int32_t farthest)
      : Depth(buffers.DepthBuffer.Data()),
        Colours(buffers.ColourBuffer.Data()),
        TilesAcross(buffers.DepthBuffer.TilesAcross()),
        NearestDepth(nearest),
        FarthestDepth(farthest) {}
};

struct PenPosition {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t Depth = 0;
  Colour VertexColour = kWhite;
};

// The pen of the line drawing: whether the next vertex starts a new line, the colour given to
// the next vertex, and the end of the line drawn last.
struct LinePen {
  bool PenUp = true;
  Colour VertexColour = kWhite;
  PenPosition PenPoint;
};

// Every depth offered counts for the range, also when the pixel is not written. A pixel is
// written when it is empty or the new depth is smaller: at equal depths the first writer stays.
// Writes the pixel where it is empty or the new depth is smaller, leaving the depth range to
// the caller. Whether a pixel is nearer is much like a coin toss where many cells share a pixel,
// so both buffers are written without a branch (with their old values where the pixel stays):
// a wrong guess would cost more than the loads and stores.
inline void WriteIfNearer(std::int32_t* depths, Colour* colours, std::int64_t cell,
                          std::int32_t depth, Colour colour) {
  const auto old = static_cast<std::uint32_t>(depths[cell]);
  const auto value = static_cast<std::uint32_t>(depth);
  // old == 0 || depth < old, in one comparison (depths are never negative).
  const std::uint32_t keep = (old - 1 >= value) - 1u;  // all ones where the pixel stays
  depths[cell] = static_cast<std::int32_t>(value ^ ((value ^ old) & keep));
  colours[cell] = colour ^ ((colour ^ colours[cell]) & keep);
}

// PlotAt takes the pixel's position in the tiled buffers.
inline void PlotAt(RasterTarget& target, std::int64_t cell, std::int32_t depth, Colour colour) {
  target.NearestDepth = depth < target.NearestDepth ? depth : target.NearestDepth;
  target.FarthestDepth = depth > target.FarthestDepth ? depth : target.FarthestDepth;
  WriteIfNearer(target.Depth, target.Colours, cell, depth, colour);
}
inline void PlotPixel(RasterTarget& target, std::int32_t x, std::int32_t y, std::int32_t depth,
                      Colour colour) {
  PlotAt(target, TiledGrid<std::int32_t>::IndexIn(target.TilesAcross, x, y), depth, colour);
}

namespace raster_detail {

inline Colour BlendChannels(Colour c0, const int dc[3], double t) {
  const auto channel = [&](int value, int delta) {
    return static_cast<std::uint8_t>(value + RoundToInt(delta * t));
  };
  return MakeColour(channel(RedOf(c0), dc[0]), channel(GreenOf(c0), dc[1]),
                    channel(BlueOf(c0), dc[2]));
}

}  // namespace raster_detail

inline void PenMoveTo(RasterTarget& target, LinePen& pen, const ScreenPoint& point) {
  pen.PenPoint = {point.X, point.Y, point.Depth, pen.VertexColour};
  PlotPixel(target, point.X, point.Y, point.Depth, pen.VertexColour);
}

// A line from the pen to point, ending in the pen's vertex colour. It is stepped once along x
// and once along y, so no gaps appear whatever its slope. Colours are interpolated only when
// kWithColour; without it every pixel takes the start colour (for pictures that colour by
// depth and never read the colour buffer).
//
// kSkipRepeats leaves out the plots that repeat one already made: the start point (drawn when
// the pen came there, so its pixel holds that depth or a nearer one) and, after the x pass, the
// y pass's end point. They cannot change a pixel or the depth range, unless a depth of 0 was
// stored somewhere (0 reads as empty); the fast mesh, which uses this, refuses such pictures.
template <bool kWithColour = true, bool kSkipRepeats = false>
void PenLineTo(RasterTarget& target, LinePen& pen, const ScreenPoint& point) {
  const PenPosition p0 = pen.PenPoint;
  const std::int32_t x0 = p0.X, y0 = p0.Y, x1 = point.X, y1 = point.Y;
  const std::int32_t ex = std::abs(x1 - x0);
  const std::int32_t ey = std::abs(y1 - y0);
  const std::int64_t ez = std::int64_t{point.Depth} - p0.Depth;
  const Colour c0 = p0.VertexColour;
  const Colour c1 = pen.VertexColour;
  int dc[3] = {0, 0, 0};
  if constexpr (kWithColour) {
    dc[0] = RedOf(c1) - RedOf(c0);
    dc[1] = GreenOf(c1) - GreenOf(c0);
    dc[2] = BlueOf(c1) - BlueOf(c0);
  }
  // Every depth along the line lies between the depths of its ends (R(ez * t) for t in 0..1
  // lies between 0 and ez), so the range takes the two ends once for all its pixels; the
  // pixels themselves are written apart from it, the range staying out of memory.
  target.NearestDepth = std::min({target.NearestDepth, p0.Depth, point.Depth});
  target.FarthestDepth = std::max({target.FarthestDepth, p0.Depth, point.Depth});
  std::int32_t* const depths = target.Depth;
  Colour* const colours = target.Colours;
  const std::int64_t across = target.TilesAcross;
  const auto write = [&](std::int32_t x, std::int32_t y, std::int32_t depth, Colour colour) {
    WriteIfNearer(depths, colours, TiledGrid<std::int32_t>::IndexIn(across, x, y), depth, colour);
  };
  // Equal end colours blend to that colour at every pixel.
  const bool blend = kWithColour && c0 != c1;
  const auto plotAt = [&](std::int32_t x, std::int32_t y, double t) {
    const auto depth = static_cast<std::int32_t>(RoundToInt(static_cast<double>(ez) * t) + p0.Depth);
    write(x, y, depth, blend ? raster_detail::BlendChannels(c0, dc, t) : c0);
  };
  if (ex < 1 && ey < 1) write(x1, y1, point.Depth, c1);
  if (ex > 0) {
    const double slope = static_cast<double>(y1 - y0) / static_cast<double>(x1 - x0);
    const std::int32_t step = x1 >= x0 ? 1 : -1;
    for (std::int32_t x = kSkipRepeats ? x0 + step : x0;; x += step) {
      if (kSkipRepeats && x == x1) {
        write(x1, y1, point.Depth, c1);  // what the formulas give at the end
        break;
      }
      const auto y = static_cast<std::int32_t>(RoundToInt(slope * (x - x0)) + y0);
      plotAt(x, y, std::abs(x - x0) / static_cast<double>(ex));
      if (x == x1) break;
    }
  }
  if (ey > 0) {
    const double slope = static_cast<double>(x1 - x0) / static_cast<double>(y1 - y0);
    const std::int32_t step = y1 >= y0 ? 1 : -1;
    for (std::int32_t y = kSkipRepeats ? y0 + step : y0;; y += step) {
      if (kSkipRepeats && y == y1) {
        if (ex == 0) write(x1, y1, point.Depth, c1);
        break;
      }
      const auto x = static_cast<std::int32_t>(RoundToInt(slope * (y - y0)) + x0);
      plotAt(x, y, std::abs(y - y0) / static_cast<double>(ey));
      if (y == y1) break;
    }
  }
  pen.PenPoint = {x1, y1, point.Depth, c1};
}

// Projects the vertex and joins it to the line being drawn. An invisible vertex lifts the pen:
// the lines to and from it are dropped whole.
template <bool kWithColour = true>
void AddVertex(RasterTarget& target, LinePen& pen, const ViewTransform& view, double x, double y,
               double z) {
  ScreenPoint point;
  if (!ProjectPoint(view, x, y, z, point)) {
    pen.PenUp = true;
    return;
  }
  if (pen.PenUp)
    PenMoveTo(target, pen, point);
  else
    PenLineTo<kWithColour>(target, pen, point);
  pen.PenUp = false;
}

}  // namespace terrak
