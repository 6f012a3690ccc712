#include "viewer/viewer_construction.h"

namespace terrak {

void ViewerGridConstruction::Build(GridState& grid, const ViewerState& viewer) {
  build_.CurveSteps = viewer.CurveSteps;  // Round(64 / units per metre), set at every paint
  build_.CreateXyzFile = viewer.CreateXyzFile;
  build_.CreateMatrixFile = viewer.CreateMatrixFile;
  UseSystemPaths(build_, paths_);
  BuildGrid(model_, settings_, grid, build_, services_);
}

}  // namespace terrak
