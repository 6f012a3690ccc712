#pragma once
// The demo map: contours of the analytic terrain every few metres (index contours on their own
// symbol, a few lines still without heights), forest areas, a lake, a title and the map frame,
// described in metres and written as an OCAD map of any version. Versions 6 and 7 also carry the
// colours and the symbols' drawing, so that other map programs show the map as its image shows it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mapbuild/demo_terrain.h"
#include "mapbuild/ground_point.h"
#include "mapbuild/ocad_builder.h"

namespace terrak::testing {

inline constexpr std::int16_t kDemoContour = 101;
inline constexpr std::int16_t kDemoIndexContour = 102;
inline constexpr std::int16_t kDemoLake = 301;
inline constexpr std::int16_t kDemoForest = 405;
inline constexpr std::int16_t kDemoFrame = 799;
inline constexpr std::int16_t kDemoTitle = 990;

// Printed line widths in 0.01 mm, shared by the symbols and the map image.
inline constexpr std::int16_t kDemoContourWidth = 14;
inline constexpr std::int16_t kDemoIndexContourWidth = 25;
inline constexpr std::int16_t kDemoFrameWidth = 35;
inline constexpr std::int16_t kDemoTitleFontSize = 60;  // 0.1 pt

struct DemoObject {
  std::int16_t Symbol = 0;
  std::int16_t ObjectType = 2;
  std::int16_t Height = 0;                        // tenths of a metre; 0 = none
  std::vector<std::vector<GroundPoint>> Parts{};  // the first is the outline, the others holes
  std::string Text{};
};

struct DemoMapOptions {
  double Width = 500;   // metres east
  double Depth = 400;   // metres north
  double Interval = 5;  // metres between contours
  double IndexInterval = 25;
  std::uint32_t Seed = 1;
  std::size_t MaxPoints = 250;  // points per contour object at most
};

struct DemoMap {
  DemoMapOptions Options;
  DemoTerrain Terrain;
  std::vector<ColourSpec> Colours;
  std::vector<SymbolSpec> Symbols;
  std::vector<DemoObject> Objects;
};

DemoMap MakeDemoMap(const DemoMapOptions& options);

// Whether a map of this size keeps inside the 16-bit model coordinates at the scale when it is
// centred on the origin.
bool DemoMapFits(double width, double depth, double scale);

// The map as an OCAD file of the given version and scale, centred on the origin. Throws
// std::invalid_argument when the map does not fit the 16-bit model coordinates at that scale.
OcadMapBuilder DemoMapBuilder(const DemoMap& map, int version, double scale);

// A ground distance on the map at scale 1:scale, in model units (1/1440 inch) and in the
// 0.01 mm of version 6/7 positions.
std::int64_t ModelUnits(double metres, double scale);
std::int64_t Hundredths(double metres, double scale);

}  // namespace terrak::testing
