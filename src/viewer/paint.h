#pragma once
// One paint of the 3D view: the picture built from nothing at RenderWidth x RenderHeight from
// the current viewpoint, as the wedding cake, the wire mesh or the ray-traced terrain.
#include <array>
#include <cstdint>
#include <string>

#include "terrain/grid_state.h"
#include "mapfile/map_model.h"
#include "mapfile/settings.h"
#include "viewer/viewer_state.h"

namespace terrak {

// Builds the grid inside the first mesh paint: the grid construction with its progress report.
// The viewer's file options (CreateXyzFile, CreateMatrixFile) are read from viewer.
class GridConstruction {
 public:
  virtual ~GridConstruction() = default;
  virtual void Build(GridState& grid, const ViewerState& viewer) = 0;
};

struct PaintScene {
  ViewerState& Viewer;
  GridState& Grid;
  const MapModel& Model;
  const terrak::Settings& Settings;
  GridConstruction& Construction;
};

struct PaintOptions {
  // Draw the mesh by the straightforward reference path (one thread, every vertex projected
  // as it comes); the fast path gives the same picture.
  bool Reference = false;
  int Threads = 0;  // 0: as many as the machine has
};

// The paint: units and curve steps from the map scale, empty buffers, the view angles, the
// scene (a 3D map file's mesh, the contours, the first mesh with its grid construction, the
// ray-traced terrain, or the mesh), then the composed picture in viewer.Composed.
// A grid construction that throws leaves an empty grid and the viewer back in ContourMode with
// the grid still pending; the exception passes on to the window's error report.
void commonpaint(const PaintScene& scene, const PaintOptions& options = {});

// The status bar: "x ", "y ", "z ", "b ", "i " each followed by the rounded value right-aligned
// in 6 characters.
std::array<std::string, 5> StatusPanels(const TViewPoint& view);

// Steps per curve segment of the contours for a map of the given scale denominator.
std::int16_t ViewerCurveSteps(double mapScale);

}  // namespace terrak
