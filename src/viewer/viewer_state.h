#pragma once
// Everything the 3D viewer keeps: the viewpoints and movement steps, the picture's size, view
// angles and buffers, the depth colours, the view modes and the state of its menu items. One
// instance, owned by the application and handed by reference to the viewer's handlers.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/colour.h"
#include "viewer/export_choices.h"
#include "viewer/picture.h"
#include "terrain/viewpoint.h"

namespace terrak {

inline constexpr std::size_t kDepthRampSize = 101;
using DepthRampType = std::array<Colour, kDepthRampSize>;  // index 0 front .. 100 back

inline constexpr Colour kSkyColour = MakeColour(96, 220, 251);

// The viewer's menu items whose enabled or checked state changes while it runs.
struct ViewerMenu {
  bool ShowbitmapEnabled = false;
  bool RayTraceModeEnabled = false;
  bool Save3dMapEnabled = false;
  bool WeddingCakeEnabled = true;  // "Toggle Wiremesh/Wedding cake"
  bool CompassEnabled = true;      // disabled while the compass is open
  bool InclinometerEnabled = true;
  bool Show2DmapEnabled = true;
  bool OnTheGroundChecked = false;
  bool CreateXyzChecked = false;
  bool CreateMatrixChecked = false;
};

// What the threaded mesh keeps from frame to frame: the other threads' buffers, and how the
// last frame split the strips of cells among the threads and how long each share took, so the
// next split evens out the work (a fly-over's frames are much alike).
struct MeshScratch {
  std::vector<PixelBuffers> Buffers;
  std::vector<std::int64_t> Splits;  // first strip of each share, then the strip count
  std::vector<double> Seconds;       // time each share took
  // Cells First .. Last - 1 of each of Buffers may hold depths; all others hold 0.
  struct CellRange {
    std::int64_t First = 0;
    std::int64_t Last = 0;
  };
  std::vector<CellRange> Dirty;
};

struct ViewerState {
  // The current viewpoint, then the presets North, South, West, East, NE, NW, SE, SW.
  ViewpointBlock Viewpoints{};
  std::int32_t MoveStep = 1;  // metres per move and per rise or sink
  std::int32_t TurnStep = 1;  // degrees per turn and per tilt
  bool OnGround = false;
  double MoveDirection = 0;

  // The picture being painted.
  std::int32_t RenderWidth = 0;
  std::int32_t RenderHeight = 0;
  std::int32_t FocalLength = 0;
  double UnitsPerMetre = 0;
  std::int16_t CurveSteps = 0;
  double BearingRadians = 0;
  double SinBearing = 0, CosBearing = 1;
  double SinIncline = 0, CosIncline = 1;
  PixelBuffers Buffers;
  bool BuffersAllocated = false;
  // Smallest and largest depth ever offered to the pixel writer; reset only by the contours.
  std::int32_t NearestDepth = 0;
  std::int32_t FarthestDepth = 0;
  DepthRampType DepthRamp{};
  std::int32_t MeshStep = 1;
  Picture Composed;  // the last finished picture
  MeshScratch MeshShares;

  // View modes.
  bool ContourMode = false;
  bool GridPending = false;
  bool Map3dLoaded = false;
  bool ZBufferOn = true;
  bool RayTraceMode = false;  // kept while the program runs

  // Grid construction options set from the viewer's Options menu.
  bool CreateXyzFile = false;
  bool CreateMatrixFile = false;

  std::string Map3dFileName;
  std::string BitmapFileName;
  ViewerMenu Menu;
  // The last choices of the Export menu's options step, offered again at the next export.
  ExportChoices LastExport;

  TViewPoint& Current() { return Viewpoints[kCurrentView]; }
  const TViewPoint& Current() const { return Viewpoints[kCurrentView]; }
};

}  // namespace terrak
