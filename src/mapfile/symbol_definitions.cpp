#include "mapfile/symbol_definitions.h"

#include <algorithm>
#include <cmath>

namespace terrak {

namespace {

std::uint8_t Channel(float ink, float black) {
  const float light = (1.0f - std::clamp(ink, 0.0f, 1.0f)) * (1.0f - std::clamp(black, 0.0f, 1.0f));
  return static_cast<std::uint8_t>(std::lround(255.0f * light));
}

}  // namespace

void SetScreenColourFromMix(MapColour& colour) {
  colour.Red = Channel(colour.Cyan, colour.Black);
  colour.Green = Channel(colour.Magenta, colour.Black);
  colour.Blue = Channel(colour.Yellow, colour.Black);
}

// Formats without drawing definitions keep this.
SymbolDefinitions FormatMap::ReadSymbolDefinitions() const { return {}; }

}  // namespace terrak
