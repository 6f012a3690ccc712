// terrak-cli render: the viewer's paint without a window, the picture written to a file.
#include <ostream>

#include "cli/cli.h"
#include "cli/cli_dialogs.h"
#include "cli/cli_grid.h"
#include "cli/commands.h"
#include "terrain/map3d_file.h"
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
bool LoadMap(const RenderOptions& o, RunContext& run, RenderJob& job, CliDialogs& dialogs) {
  if (!LoadMapWithSymbols(o.Input, o.Symbols, o.HeightTag, run, job.Model, dialogs)) return false;
  PlaceViewpoints(job.Model, job.Viewer.Viewpoints);
  // As after the wedding cake that a window shows first.
  job.Viewer.NearestDepth = kContourNearestStart;
  job.Viewer.FarthestDepth = kContourFarthestStart;
  return true;
}

}  // namespace

int RenderCommand(const RenderOptions& o, RunContext& run) {
  RenderJob job;
  CliDialogs dialogs(run.Err);
  if (o.Map3dFile) {
    if (!Read3dMap(o.Input, job.Grid, job.Viewer.Viewpoints, dialogs)) return kExitFailure;
  } else {
    if (!LoadMap(o, run, job, dialogs)) return kExitFailure;
    GridBuildState build;
    if (!o.Contours && !BuildGridFromMap(job.Model, job.Config, run, job.Grid, build, dialogs))
      return kExitFailure;
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
  return kExitSuccess;
}

}  // namespace terrak::cli
