#include "mapbuild/lines_map.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "common/rounding.h"
#include "mapbuild/contour_tracer.h"

namespace terrak::testing {

LinesMap MapFromLines(const std::vector<ElevationLine>& lines, double indexInterval,
                      std::size_t maxPoints) {
  double minX = std::numeric_limits<double>::infinity(), minY = minX;
  double maxX = -minX, maxY = -minX;
  for (const ElevationLine& line : lines) {
    if (line.Points.size() < 2) continue;
    for (const GroundPoint& p : line.Points) {
      minX = std::min(minX, p.X);
      minY = std::min(minY, p.Y);
      maxX = std::max(maxX, p.X);
      maxY = std::max(maxY, p.Y);
    }
  }
  if (!(minX <= maxX)) throw std::invalid_argument("no line of two points or more");
  LinesMap result;
  result.Origin = {minX, minY};
  DemoMap& map = result.Map;
  map.Options.Width = maxX - minX;
  map.Options.Depth = maxY - minY;
  map.Options.IndexInterval = indexInterval;
  map.Options.MaxPoints = maxPoints;
  map.Symbols = {{kDemoContour, 2, "Contour", 0}, {kDemoIndexContour, 2, "Index contour", 0}};
  for (const ElevationLine& line : lines) {
    if (line.Points.size() < 2) continue;
    std::vector<GroundPoint> shifted;
    shifted.reserve(line.Points.size());
    for (const GroundPoint& p : line.Points) shifted.push_back({p.X - minX, p.Y - minY});
    const double steps = line.Elevation / indexInterval;
    const bool index = indexInterval > 0 && std::fabs(steps - std::nearbyint(steps)) < 1e-9;
    const std::int64_t tenths = RoundToInt(line.Elevation * 10.0);
    if (tenths < -32768 || tenths > 32767)
      throw std::invalid_argument("an elevation beyond what a map stores (-3276.8 to 3276.7 m)");
    const auto height = static_cast<std::int16_t>(tenths);
    for (std::vector<GroundPoint>& piece : SplitLine(shifted, std::max<std::size_t>(maxPoints, 2)))
      map.Objects.push_back({index ? kDemoIndexContour : kDemoContour, 2, height, {std::move(piece)}, {}});
  }
  return result;
}

}  // namespace terrak::testing
