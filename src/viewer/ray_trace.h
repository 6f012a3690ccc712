#pragma once
// Ray Trace Mode: one ray per picture column across the height grid, drawing the terrain as a
// solid surface. Each column is filled from the bottom of the picture up to the terrain's
// outline, nearer ground hiding farther ground; each pixel takes the draped map's colour (or
// the depth colour) shaded by the slope of the ground towards a fixed sun, with sky above.
#include <cstdint>
#include <vector>

#include "terrain/grid_state.h"
#include "viewer/picture.h"
#include "viewer/projection.h"
#include "viewer/viewer_state.h"

namespace terrak {

// The bearing of each column's ray, left to right: the first is bearing - angleOfView / 2
// (it may be negative), each next one angleOfView / width further, less 360 when above 360.
std::vector<double> RayAngles(double bearing, std::int16_t angleOfView, std::int32_t width);

// Brightness of the ground at a cell lit by the sun from the north-west, 45 degrees high:
// 1 on level ground, more on slopes facing the sun, less (down to 0.35) on slopes facing away.
double SunShade(const GridState& grid, std::int64_t column, std::int64_t row);

struct RayTraceOptions {
  std::int16_t HorizontalAngleOfView = 60;
  bool Drape = false;  // colour by the map bitmap (else by depth)
  int Threads = 1;     // columns are independent: any number gives the same picture
};

// What the rays leave in the buffers: per pixel the depth of the ground drawn there, and its
// colour already shaded (draped) or its shade level 0..255 in the low byte (by depth); and
// the depth range of everything drawn.
struct RayDepthRange {
  std::int32_t Nearest = 0;
  std::int32_t Farthest = 0;
};

RayDepthRange TraceRays(PixelBuffers& buffers, const ViewTransform& view, const GridState& grid,
                        double bearing, const RayTraceOptions& options);

// The ray picture: sky where no ground was drawn, the ground's colour elsewhere.
void ComposeRayPicture(const PixelBuffers& buffers, const DepthRampType& ramp, bool drape,
                       RayDepthRange range, Picture& out);

}  // namespace terrak
