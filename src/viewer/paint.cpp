#include "viewer/paint.h"

#include <algorithm>
#include <cmath>

#include "common/numtext.h"
#include "common/rounding.h"
#include "common/wrap16.h"
#include "platform/usable_cores.h"
#include "viewer/compose.h"
#include "viewer/draw_contours.h"
#include "viewer/draw_mesh.h"
#include "viewer/mesh_fast.h"
#include "viewer/movement.h"
#include "viewer/projection.h"
#include "viewer/ray_trace.h"

namespace terrak {

std::int16_t ViewerCurveSteps(double mapScale) {
  if (!(mapScale > 0.0) || !std::isfinite(mapScale)) return 0;
  return Wrap16(RoundToInt(64.0 / (56693.0 / mapScale)));
}

namespace {

int ThreadsFor(const PaintOptions& options) {
  if (options.Reference) return 1;
  if (options.Threads > 0) return options.Threads;
  return std::clamp(UsableCores(), 1, 8);
}

enum class Scene { Contours, Mesh, Rays };

void ForgetGrid(GridState& grid) {
  grid.HeightGrid.Clear();
  grid.BitmapGrid.Clear();
  grid.GridWidth = grid.GridHeight = 0;
  grid.MapBitmapLoaded = grid.ShowMapBitmap = false;
}

void PaintMesh(const PaintScene& scene, const PaintOptions& options) {
  ViewerState& viewer = scene.Viewer;
  viewer.MeshStep = MeshStepFor(scene.Grid.ShowMapBitmap, scene.Settings.GridInterval);
  const ViewTransform view = MakeViewTransform(viewer);
  const bool drape = scene.Grid.ShowMapBitmap;
  if (!options.Reference) {
    std::int32_t nearest = viewer.NearestDepth, farthest = viewer.FarthestDepth;
    if (DrawMeshFast(viewer.Buffers, nearest, farthest, view, scene.Grid, viewer.MeshStep, drape,
                     ThreadsFor(options), viewer.MeshShares)) {
      viewer.NearestDepth = nearest;
      viewer.FarthestDepth = farthest;
      return;
    }
    viewer.Buffers.Reset(viewer.RenderWidth, viewer.RenderHeight);
  }
  RasterTarget target(viewer.Buffers, viewer.NearestDepth, viewer.FarthestDepth);
  DrawMesh(target, view, scene.Grid, viewer.MeshStep, drape);
  viewer.NearestDepth = target.NearestDepth;
  viewer.FarthestDepth = target.FarthestDepth;
}

RayDepthRange PaintRays(const PaintScene& scene, const PaintOptions& options) {
  ViewerState& viewer = scene.Viewer;
  RayTraceOptions rays;
  rays.HorizontalAngleOfView = scene.Settings.HorizontalAngleOfView;
  rays.Drape = scene.Grid.ShowMapBitmap && scene.Grid.MapBitmapLoaded;
  rays.Threads = ThreadsFor(options);
  return TraceRays(viewer.Buffers, MakeViewTransform(viewer), scene.Grid, viewer.Current().bearing,
                   rays);
}

Scene DrawScene(const PaintScene& scene, const PaintOptions& options) {
  ViewerState& viewer = scene.Viewer;
  GridState& grid = scene.Grid;
  if (viewer.Map3dLoaded) {
    viewer.Menu.ShowbitmapEnabled = true;
    viewer.Menu.WeddingCakeEnabled = false;
    viewer.Menu.RayTraceModeEnabled = true;
    if (viewer.OnGround) ApplyGroundRule(viewer.Current(), grid);
    if (viewer.RayTraceMode) return Scene::Rays;
    PaintMesh(scene, options);
    return Scene::Mesh;
  }
  if (viewer.ContourMode) {
    RasterTarget target(viewer.Buffers, viewer.NearestDepth, viewer.FarthestDepth);
    DrawContours(target, MakeViewTransform(viewer), scene.Model, viewer.UnitsPerMetre,
                 viewer.CurveSteps);
    viewer.NearestDepth = target.NearestDepth;
    viewer.FarthestDepth = target.FarthestDepth;
    return Scene::Contours;
  }
  if (viewer.GridPending) {
    try {
      scene.Construction.Build(grid, viewer);
    } catch (...) {
      // A construction that fails (too little memory, an export that cannot be written) leaves
      // no grid; the window goes back to the contours and F12 tries again.
      ForgetGrid(grid);
      viewer.ContourMode = true;
      throw;
    }
    if (grid.MapBitmapLoaded) viewer.Menu.ShowbitmapEnabled = true;
    // The solid ray picture colours by depth where there is no map bitmap, so it is offered
    // for every grid.
    viewer.Menu.RayTraceModeEnabled = true;
    viewer.GridPending = false;
    PaintMesh(scene, options);
    // A construction that could not start leaves no grid worth saving.
    viewer.Menu.Save3dMapEnabled = !grid.HeightGrid.Empty();
    return Scene::Mesh;
  }
  if (viewer.RayTraceMode) return Scene::Rays;
  PaintMesh(scene, options);
  return Scene::Mesh;
}

}  // namespace

void commonpaint(const PaintScene& scene, const PaintOptions& options) {
  ViewerState& viewer = scene.Viewer;
  viewer.UnitsPerMetre = scene.Model.MapScale > 0 ? 56693.0 / scene.Model.MapScale : 0.0;
  viewer.CurveSteps = ViewerCurveSteps(scene.Model.MapScale);
  viewer.RenderWidth = std::max<std::int32_t>(viewer.RenderWidth, 0);
  viewer.RenderHeight = std::max<std::int32_t>(viewer.RenderHeight, 0);
  viewer.Buffers.Reset(viewer.RenderWidth, viewer.RenderHeight);
  viewer.BuffersAllocated = true;
  SetViewAngles(viewer);
  const Scene drawn = DrawScene(scene, options);
  if (drawn == Scene::Rays) {
    const RayDepthRange range = PaintRays(scene, options);
    ComposeRayPicture(viewer.Buffers, viewer.DepthRamp,
                      scene.Grid.ShowMapBitmap && scene.Grid.MapBitmapLoaded, range,
                      viewer.Composed);
    return;
  }
  ComposeOptions compose;
  compose.ZBufferOn = viewer.ZBufferOn;
  compose.Drape = scene.Grid.ShowMapBitmap && drawn == Scene::Mesh;
  compose.NearestDepth = viewer.NearestDepth;
  compose.FarthestDepth = viewer.FarthestDepth;
  compose.Threads = ThreadsFor(options);
  ComposePicture(viewer.Buffers, viewer.DepthRamp, compose, viewer.Composed);
}

std::array<std::string, 5> StatusPanels(const TViewPoint& view) {
  const auto panel = [](const char* name, double value) {
    return std::string(name) + FormatInt(RoundToInt(value), 6);
  };
  return {panel("x ", view.x), panel("y ", view.y), panel("z ", view.z), panel("b ", view.bearing),
          panel("i ", view.incline)};
}

}  // namespace terrak
