#include "grid/grid_build_state.h"

#include <cmath>

#include "common/rounding.h"
#include "common/wrap16.h"

namespace terrak {

void UseSystemPaths(GridBuildState& build, const SystemPaths& paths) {
  build.PointsFileName = paths.PointsExportFile();
  build.MatrixFileName = paths.MatrixExportFile();
  build.StretchedFileName = paths.StretchedBitmapFile();
}

std::int16_t GridCurveSteps(double mapScale) {
  if (!(mapScale > 0.0) || !std::isfinite(mapScale)) return 0;
  return Wrap16(RoundToInt(64.0 / (56693.0 / mapScale)));
}

}  // namespace terrak
