#pragma once
// The named colours of the settings file: the basic colours and the desktop's system colours
// (FF0000nn, nn being the system colour index). Each value has at most one name.
#include <optional>
#include <span>
#include <string_view>

#include "common/colour.h"

namespace terrak {

struct NamedColour {
  std::string_view Name;  // with the capitals it is written with
  Colour Value;
};

std::span<const NamedColour> NamedColours();

// The name of value, or nothing when it has none.
std::optional<std::string_view> ColourName(Colour value);
// The value named name, in any letter case.
std::optional<Colour> ColourByName(std::string_view name);

}  // namespace terrak
