// terrak-cli grid: the grid construction as the 3D viewer runs it, without windows. Progress
// lines and warnings go to standard error; the exports and the 3D map file go where the options
// say.
#include <ostream>

#include "cli/cli.h"
#include "cli/cli_dialogs.h"
#include "cli/cli_grid.h"
#include "cli/commands.h"
#include "grid/build_grid.h"
#include "terrain/map3d_file.h"
#include "viewer/viewpoint_placement.h"

namespace terrak::cli {

int GridCommand(const GridOptions& o, RunContext& run) {
  MapModel model;
  CliDialogs dialogs(run.Err);
  if (!LoadMapWithSymbols(o.MapFile, o.Symbols, o.HeightTag, run, model, dialogs)) return kExitFailure;

  GridState grid;
  GridBuildState build;
  build.CreateXyzFile = !o.Xyz.empty();
  build.PointsFileName = o.Xyz;
  build.CreateMatrixFile = !o.Matrix.empty();
  build.MatrixFileName = o.Matrix;
  build.Reference = o.Reference;
  if (!BuildGridFromMap(model, o.Values, run, grid, build, dialogs, !o.NoDrape))
    return kExitFailure;
  if (!o.Map3d.empty()) {
    ViewpointBlock views;
    PlaceViewpoints(model, views);
    Write3dMap(o.Map3d, grid, views);
  }
  run.Out << "grid " << grid.GridWidth << " x " << grid.GridHeight << " metres from "
          << grid.GridMinX << ' ' << grid.GridMinY << "; map bitmap "
          << (build.MapDrawingDraped  ? std::string("none, the map's own drawing draped")
              : grid.MapBitmapLoaded ? build.MapBitmapFileName
                                     : std::string("none"))
          << '\n';
  return kExitSuccess;
}

}  // namespace terrak::cli
