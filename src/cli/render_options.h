#pragma once
// The command line of terrak-cli render.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "viewer/viewpoint.h"

namespace terrak::cli {

inline constexpr const char* kRenderUsage =
    "usage: terrak-cli render (MAP.ocd --symbols N,N,... | FILE.o3d) --out PICTURE.bmp\n"
    "         [--size WxH] [--view NAME|x,y,z,bearing,incline] [--contours] [--no-zbuffer]\n"
    "         [--no-bitmap] [--raytrace]\n"
    "       NAME is one of N S E W NE NW SE SW; a name ending in .png writes a PNG\n";

// Pictures larger than this on either side are refused.
inline constexpr std::int32_t kLargestRenderSide = 10000;

struct RenderOptions {
  std::string Input;
  bool Map3dFile = false;  // the input ends in ".o3d" (any letter case)
  std::vector<std::int16_t> Symbols;
  std::string Out;
  bool Png = false;  // the output ends in ".png" (any letter case)
  std::int32_t Width = 1200;
  std::int32_t Height = 900;
  ViewpointIndex Preset = kNorthView;
  std::optional<TViewPoint> View;  // x, y, z, bearing, incline given
  bool Contours = false;
  bool NoZBuffer = false;
  bool NoBitmap = false;
  bool RayTrace = false;
};

// The options, or the message that says what is wrong.
std::variant<RenderOptions, std::string> ParseRenderOptions(const std::vector<std::string>& args);

}  // namespace terrak::cli
