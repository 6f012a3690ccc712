#pragma once
// The demo map drawn as an orienteering map image covering exactly the map frame: open land
// yellow, forest white, the lake blue, contours brown (index contours thicker), the frame black.
#include <cstdint>

#include "mapbuild/bmp_image.h"
#include "mapbuild/demo_map.h"

namespace terrak::testing {

// Palette entries of the demo image.
inline constexpr std::uint8_t kPaintForest = 0;
inline constexpr std::uint8_t kPaintOpenLand = 1;
inline constexpr std::uint8_t kPaintWater = 2;
inline constexpr std::uint8_t kPaintContour = 3;
inline constexpr std::uint8_t kPaintBlack = 4;

// pixelsPerMetre of ground; line widths follow the map scale as printed lines would.
IndexedImage DrawDemoMap(const DemoMap& map, double scale, double pixelsPerMetre = 1.0);

}  // namespace terrak::testing
