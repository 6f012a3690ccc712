// terrak-cli render: the viewer's paint without a window, the picture written to a file.
#include <ostream>

#include "cli/cli_dialogs.h"
#include "cli/cli_grid.h"
#include "cli/commands.h"
#include "cli/render_options.h"
#include "cli/scratch_folder.h"
#include "mapfile/map3d_file.h"
#include "mapfile/ocad_format_error.h"
#include "platform/file_error.h"
#include "platform/file_stream.h"
#include "viewer/depth_ramp.h"
#include "viewer/draw_contours.h"
#include "viewer/paint.h"
#include "viewer/picture_output.h"
#include "viewer/viewpoint_placement.h"

namespace terrak::cli {

namespace {

// The grid is built before the paint here, so the paint never asks for it.
class BuiltAlready : public GridConstruction {
 public:
  void Build(GridState&, const ViewerState&) override {}
};

struct RenderJob {
  MapModel Model;
  GridState Grid;
  ViewerState Viewer;
  Settings Config;  // the defaults: terrak-cli never reads the settings file
};

// Opens the map in a scratch working copy, reads the objects of the chosen symbols and places
// the viewpoints as the viewer does when it opens.
bool LoadMap(const RenderOptions& o, const ScratchFolder& scratch, RenderJob& job,
             CliDialogs& dialogs) {
  if (!LoadMapWithSymbols(o.Input, o.Symbols, scratch, job.Model, dialogs)) return false;
  PlaceViewpoints(job.Model, job.Viewer.Viewpoints);
  // As after the wedding cake that a window shows first.
  job.Viewer.NearestDepth = kContourNearestStart;
  job.Viewer.FarthestDepth = kContourFarthestStart;
  return true;
}

int Render(const RenderOptions& o, std::ostream& err) {
  RenderJob job;
  CliDialogs dialogs(err);
  const ScratchFolder scratch;
  if (o.Map3dFile) {
    if (!Read3dMap(o.Input, job.Grid, job.Viewer.Viewpoints, dialogs)) return 1;
  } else {
    if (!LoadMap(o, scratch, job, dialogs)) return 1;
    GridBuildState build;
    if (!o.Contours &&
        !BuildGridFromMap(job.Model, job.Config, scratch, job.Grid, build, dialogs, err))
      return 1;
  }
  ViewerState& viewer = job.Viewer;
  viewer.ContourMode = o.Contours;
  viewer.GridPending = false;
  viewer.RayTraceMode = o.RayTrace;
  viewer.ZBufferOn = !o.NoZBuffer;
  if (o.NoBitmap) job.Grid.ShowMapBitmap = false;
  viewer.Current() = o.View ? *o.View : viewer.Viewpoints[o.Preset];
  viewer.DepthRamp = BuildDepthRamp(job.Config.Front3dColour, job.Config.Back3dColour);
  viewer.RenderWidth = o.Width;
  viewer.RenderHeight = o.Height;
  BuiltAlready built;
  commonpaint({viewer, job.Grid, job.Model, job.Config, built});
  ReplaceFileAtomically(o.Out, o.Png ? EncodePng(viewer.Composed) : EncodeBmp24(viewer.Composed));
  return 0;
}

}  // namespace

int RenderCommand(const CommandArgs& args, std::ostream& /*out*/, std::ostream& err) {
  const auto parsed = ParseRenderOptions(args);
  if (const auto* problem = std::get_if<std::string>(&parsed)) {
    err << "terrak-cli: " << *problem << '\n' << kRenderUsage;
    return 2;
  }
  try {
    return Render(std::get<RenderOptions>(parsed), err);
  } catch (const OcadFormatError& e) {
    err << e.what() << '\n';
  } catch (const FileError& e) {
    err << e.what() << '\n';
  }
  return 1;
}

}  // namespace terrak::cli
