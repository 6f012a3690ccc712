// terrak-cli export: the terrain grid of a map (built as the viewer builds it) or of a 3D map
// file, written as a DEM, a glTF model and an STL for printing.
#include "cli/cli.h"
#include "cli/cli_dialogs.h"
#include "cli/cli_grid.h"
#include "cli/commands.h"
#include "cli/export_outputs.h"
#include "grid/build_grid.h"
#include "terrain/map3d_file.h"

namespace terrak::cli {

int ExportCommand(const ExportOptions& o, RunContext& run) {
  GridState grid;
  CliDialogs dialogs(run.Err);
  if (o.Map3dFile) {
    ViewpointBlock views{};
    if (!Read3dMap(o.Input, grid, views, dialogs)) return kExitFailure;
    WriteExportOutputs(o, grid, Georeferencing{}, run);
    return kExitSuccess;
  }
  MapModel model;
  if (!LoadMapWithSymbols(o.Input, o.Symbols, o.HeightTag, run, model, dialogs)) return kExitFailure;
  GridBuildState build;
  if (!BuildGridFromMap(model, o.Values, run, grid, build, dialogs)) return kExitFailure;
  WriteExportOutputs(o, grid, model.Georef, run);
  return kExitSuccess;
}

}  // namespace terrak::cli
