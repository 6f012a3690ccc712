#pragma once
// The analytic terrain of the demo maps: a tilted plain with a few round hills, a winding
// valley across it and a lake lying flat in the valley. Heights run roughly from 100 to 250 m.
// Everything is a pure function of the map size and a seed, so a demo map can be made again
// byte for byte.
#include <cstdint>
#include <vector>

#include "mapbuild/ground_point.h"

namespace terrak::testing {

struct DemoHill {
  double X = 0, Y = 0;  // centre, metres
  double Radius = 0;    // of the Gaussian bump
  double Rise = 0;      // metres at the centre
};

struct DemoTerrain {
  double Width = 0, Depth = 0;  // metres east and north, from the south-west corner
  double Base = 150;            // height at the map's centre before hills and valley
  double TiltX = 0, TiltY = 0;  // rise across the whole map
  std::vector<DemoHill> Hills;
  // Valley: its floor follows y = ValleyY + ValleySlope * (x - Width / 2)
  //                              + ValleyWave * sin(2 pi x / Width + ValleyPhase).
  double ValleyY = 0, ValleySlope = 0, ValleyWave = 0, ValleyPhase = 0;
  double ValleyWidth = 0, ValleyDepth = 0;
  // Lake: an ellipse on the valley floor where the ground is the water level.
  double LakeX = 0, LakeY = 0, LakeRadiusX = 0, LakeRadiusY = 0, LakeLevel = 0;
};

DemoTerrain MakeDemoTerrain(double width, double depth, std::uint32_t seed);

// Height in metres at (x, y) metres from the south-west corner.
double TerrainHeight(const DemoTerrain& terrain, double x, double y);

// The lake's shore as a closed polygon (first point repeated at the end).
std::vector<GroundPoint> LakeShore(const DemoTerrain& terrain, int vertices = 64);

}  // namespace terrak::testing
