#pragma once
// The program's settings, kept between runs in "terrak50.ini".
#include <cstdint>
#include <memory>
#include <string>

#include "common/colour.h"

namespace terrak {

class SettingsFile;  // the open profile file (SimpleIni behind it)

struct Settings {
  std::int16_t TraceTolerance = 10;
  Colour HiliteColour = 0xFF0000;      // clBlue
  Colour WithHeightColour = 0x008000;  // clGreen
  Colour NoHeightColour = 0x0000FF;    // clRed
  Colour Front3dColour = 0x0000FF;     // clRed
  Colour Back3dColour = 0x808080;      // clGray
  bool ViewByHeight = false;
  std::int16_t HorizontalAngleOfView = 60;
  std::int32_t Smoothing = 0;
  std::int32_t SmoothingPasses = 1;
  std::int32_t GridInterval = 5;
  std::int32_t ContourGap = 50;
  std::int32_t ViewpointX = 0;
  std::int32_t ViewpointY = 0;
  std::int32_t ViewpointZ = 0;
  std::int32_t ViewpointBearing = 0;
  std::int32_t ViewpointIncline = 0;

  // The settings file as loaded, kept open so the symbol selection dialog can look up the
  // colours of symbols. Null before the first load.
  std::shared_ptr<SettingsFile> File;
};

}  // namespace terrak
