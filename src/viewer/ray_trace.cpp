#include "viewer/ray_trace.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "common/rounding.h"
#include "viewer/depth_ramp.h"
#include "viewer/draw_mesh.h"
#include "viewer/ray_walk.h"

namespace terrak {

std::vector<double> RayAngles(double bearing, std::int16_t angleOfView, std::int32_t width) {
  std::vector<double> angles;
  if (width <= 0) return angles;
  angles.reserve(static_cast<std::size_t>(width));
  const double step = static_cast<double>(angleOfView) / width;
  double angle = bearing - angleOfView / 2.0;
  for (std::int32_t column = 0; column < width; ++column) {
    angles.push_back(angle);
    angle += step;
    if (angle > 360) angle -= 360;
  }
  return angles;
}

namespace {

double CellHeight(const GridState& grid, std::int64_t column, std::int64_t row) {
  return CellMetres(grid, grid.HeightGrid(column, row));
}

// Height at a neighbour, or at the centre when the neighbour is off the grid or has no height.
double NeighbourHeight(const GridState& grid, std::int64_t column, std::int64_t row,
                       double centre) {
  const HeightGridType& heights = grid.HeightGrid;
  if (!heights.Contains(column, row) || heights(column, row) == 0) return centre;
  return CellHeight(grid, column, row);
}

// The side of the terrain block, seen where the ground ends towards the eye (the map's edge,
// the edge of its outline): one earth colour, so the edge cells' colours do not run down the
// picture in stripes. Without the map bitmap it is the depth colour at half strength.
constexpr Colour kSideWallColour = MakeColour(110, 88, 66);
constexpr double kSideWallShade = 0.5;

// The sun: from the north-west (azimuth 315), 45 degrees above the horizon.
constexpr double kSunX = -0.5, kSunY = 0.5, kSunZ = 0.70710678118654752;
constexpr double kDarkest = 0.35;

}  // namespace

double SunShade(const GridState& grid, std::int64_t column, std::int64_t row) {
  const double centre = CellHeight(grid, column, row);
  const double slopeX = (NeighbourHeight(grid, column + 1, row, centre) -
                         NeighbourHeight(grid, column - 1, row, centre)) / 2;
  const double slopeY = (NeighbourHeight(grid, column, row + 1, centre) -
                         NeighbourHeight(grid, column, row - 1, centre)) / 2;
  const double length = std::sqrt(slopeX * slopeX + slopeY * slopeY + 1);
  const double lit = (-slopeX * kSunX - slopeY * kSunY + kSunZ) / length;
  return kDarkest + (1 - kDarkest) * std::max(lit, 0.0) / kSunZ;
}

namespace {

Colour Shaded(Colour colour, double shade) {
  const auto channel = [shade](int value) {
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(RoundToInt(value * shade), 0, 255));
  };
  return MakeColour(channel(RedOf(colour)), channel(GreenOf(colour)), channel(BlueOf(colour)));
}

struct ColumnTracer {
  const ViewTransform& View;
  const GridState& Grid;
  const RayTraceOptions& Options;
  std::int64_t LastX, LastY;

  // Height at a crossing: along the crossed grid line between the two cells on either side,
  // or the nearest cell's height where one of them has none.
  double HeightAt(const RayCrossing& hit, std::int64_t column, std::int64_t row) const {
    const HeightGridType& heights = Grid.HeightGrid;
    const double along = hit.OnXLine ? hit.Py : hit.Px;
    const std::int64_t low = static_cast<std::int64_t>(std::floor(along));
    const double fraction = along - static_cast<double>(low);
    const std::int64_t last = hit.OnXLine ? LastY : LastX;
    if (low >= 0 && low + 1 <= last) {
      const std::int64_t line = hit.OnXLine ? column : row;
      const auto at = [&](std::int64_t k) {
        return hit.OnXLine ? heights(line, k) : heights(k, line);
      };
      if (at(low) != 0 && at(low + 1) != 0)
        return (static_cast<double>(CellTenths(at(low), Grid.HeightBase)) * (1 - fraction) +
                static_cast<double>(CellTenths(at(low + 1), Grid.HeightBase)) * fraction) /
               10.0;
    }
    return CellHeight(Grid, column, row);
  }

  // Traces column x and records its ground into the buffers; widens range.
  void Trace(double rayAngle, std::int32_t x, PixelBuffers& buffers, RayDepthRange& range) const {
    const double u = View.EyeX - Grid.GridMinX;
    const double v = View.EyeY - Grid.GridMinY;
    std::int32_t top = View.RenderHeight;  // rows top .. height - 1 are ground already
    // Whether the ray has just passed over ground; where it has not, a hit is the near edge of
    // the terrain, and what lies below it on the screen is the terrain's side.
    const std::int64_t eyeColumn = RoundToInt(u), eyeRow = RoundToInt(v);
    bool overGround = eyeColumn >= 0 && eyeColumn <= LastX && eyeRow >= 0 && eyeRow <= LastY &&
                      Grid.HeightGrid(eyeColumn, eyeRow) != 0;
    WalkRay(u, v, rayAngle, LastX, LastY, [&](const RayCrossing& hit) {
      if (hit.Distance < 0) return true;  // a grid line behind the eye
      if (hit.Px < 0 || hit.Px > static_cast<double>(LastX) || hit.Py < 0 ||
          hit.Py > static_cast<double>(LastY)) {
        overGround = false;
        return true;
      }
      const std::int64_t column = RoundToInt(hit.Px);
      const std::int64_t row = RoundToInt(hit.Py);
      if (Grid.HeightGrid(column, row) == 0) {
        overGround = false;
        return true;
      }
      const bool nearEdge = !overGround;
      overGround = true;
      const double dx = Grid.GridMinX + hit.Px - View.EyeX;
      const double dy = Grid.GridMinY + hit.Py - View.EyeY;
      const double dz = HeightAt(hit, column, row) - View.EyeZ;
      const double f = dy * View.CosBearing + dx * View.SinBearing;
      const double d = f * View.CosIncline - dz * View.SinIncline;
      const double w = dz * View.CosIncline + f * View.SinIncline;
      if (!(d > 0)) return true;
      // Ground a pixel or more below the outline drawn so far is hidden: no division needed.
      if (-w * View.FocalLength >= (top - View.CentreY + 1) * d) return true;
      const double screenY = std::clamp(-(w / d) * View.FocalLength, -1e9, 1e9);
      const std::int64_t rowOnScreen = std::max<std::int64_t>(RoundToInt(screenY) + View.CentreY, 1);
      if (rowOnScreen >= top) return true;  // hidden behind nearer ground
      const auto depth =
          static_cast<std::int32_t>(std::clamp<std::int64_t>(RoundToInt(d * 100), 1, INT32_MAX));
      const double shade = SunShade(Grid, column, row);
      const Colour colour =
          Options.Drape ? Shaded(BitmapColourAt(Grid, column, row), shade)
                        : static_cast<Colour>(std::clamp<std::int64_t>(RoundToInt(shade * 200), 0, 255));
      const auto groundEnd = nearEdge ? static_cast<std::int32_t>(rowOnScreen) + 1 : top;
      const Colour side = Options.Drape ? kSideWallColour
                                        : static_cast<Colour>(RoundToInt(kSideWallShade * 200));
      for (auto y = static_cast<std::int32_t>(rowOnScreen); y < top; ++y) {
        buffers.DepthBuffer(x, y) = depth;
        buffers.ColourBuffer(x, y) = y < groundEnd ? colour : side;
      }
      top = static_cast<std::int32_t>(rowOnScreen);
      range.Nearest = range.Nearest == 0 ? depth : std::min(range.Nearest, depth);
      range.Farthest = std::max(range.Farthest, depth);
      return top > 1;  // the column is full
    });
  }
};

}  // namespace

RayDepthRange TraceRays(PixelBuffers& buffers, const ViewTransform& view, const GridState& grid,
                        double bearing, const RayTraceOptions& options) {
  const MeshExtent extent = MeshExtentOf(grid);
  const std::vector<double> angles =
      RayAngles(bearing, options.HorizontalAngleOfView, view.RenderWidth);
  const auto width = static_cast<std::int32_t>(
      std::min<std::int64_t>(view.RenderWidth, buffers.DepthBuffer.Columns()));
  if (extent.Columns < 1 || extent.Rows < 1 || width <= 0 ||
      buffers.DepthBuffer.Rows() < view.RenderHeight)
    return {};
  const ColumnTracer tracer{view, grid, options, extent.Columns - 1, extent.Rows - 1};
  const int threads = std::clamp(options.Threads, 1, 16);
  std::vector<RayDepthRange> ranges(static_cast<std::size_t>(threads));
  // Threads take turns by tiles of columns, so no two write into one tile.
  constexpr std::int32_t kTile = TiledGrid<std::int32_t>::kTile;
  const auto traceShare = [&](int share) {
    for (std::int32_t x0 = share * kTile; x0 < width; x0 += threads * kTile)
      for (std::int32_t x = x0; x < std::min(x0 + kTile, width); ++x)
        tracer.Trace(angles[static_cast<std::size_t>(x)], x, buffers,
                     ranges[static_cast<std::size_t>(share)]);
  };
  std::vector<std::thread> workers;
  for (int share = 1; share < threads; ++share) workers.emplace_back(traceShare, share);
  traceShare(0);
  for (std::thread& worker : workers) worker.join();
  RayDepthRange range;
  for (const RayDepthRange& part : ranges) {
    if (part.Nearest == 0) continue;
    range.Nearest = range.Nearest == 0 ? part.Nearest : std::min(range.Nearest, part.Nearest);
    range.Farthest = std::max(range.Farthest, part.Farthest);
  }
  return range;
}

void ComposeRayPicture(const PixelBuffers& buffers, const DepthRampType& ramp, bool drape,
                       RayDepthRange range, Picture& out) {
  const auto width = static_cast<std::int32_t>(buffers.DepthBuffer.Columns());
  const auto height = static_cast<std::int32_t>(buffers.DepthBuffer.Rows());
  out.Reset(width, height, kSkyColour);
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width; ++x) {
      const std::int32_t depth = buffers.DepthBuffer(x, y);
      if (depth == 0) continue;
      const Colour colour = buffers.ColourBuffer(x, y);
      out.At(x, y) = drape ? colour
                           : Shaded(ramp[DepthRampIndex(depth, range.Nearest, range.Farthest)],
                                    static_cast<double>(colour & 0xFF) / 200.0);
    }
}

}  // namespace terrak
