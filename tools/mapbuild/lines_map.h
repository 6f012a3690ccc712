#pragma once
// A contour map from lines that another program traced (gdal_contour, for instance): each line
// with its elevation becomes a contour object of the demo map's symbols, so the map is written
// by the same builder as the demo maps and read by the program like any map.
#include <cstddef>
#include <vector>

#include "mapbuild/demo_map.h"
#include "mapbuild/ground_point.h"

namespace terrak::testing {

struct ElevationLine {
  std::vector<GroundPoint> Points;  // metres in the source's coordinates
  double Elevation = 0;             // metres
};

struct LinesMap {
  DemoMap Map;
  // The source coordinates of the map's lower left corner: a point p of the source lies at
  // p - Origin on the map, measured from that corner.
  GroundPoint Origin;
};

// Lines of fewer than two points are left out; longer ones are cut into objects of at most
// maxPoints points. Elevations on a whole multiple of indexInterval go to the index contour
// symbol. Heights are stored in tenths of a metre, rounded. Throws std::invalid_argument when
// no line is left or an elevation does not fit.
LinesMap MapFromLines(const std::vector<ElevationLine>& lines, double indexInterval = 25,
                      std::size_t maxPoints = 2000);

}  // namespace terrak::testing
