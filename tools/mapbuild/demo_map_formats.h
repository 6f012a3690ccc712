#pragma once
// The demo map in today's formats: an OCAD 9 to 2018 file and an OpenOrienteering Mapper XML
// file, with the same objects as the OCAD 5 to 7 demo and their heights (OCAD: the height field;
// Mapper: the "Elevation" tag in metres). Symbol numbers are the shown numbers times 1000: the
// contour 10.1 of the old demo is 101.0 here (101000).
#include <string>

#include "mapbuild/demo_map.h"
#include "mapbuild/ocad_build9.h"

namespace terrak::testing {

// The number a demo symbol has in today's formats.
constexpr std::int32_t DemoSymbol9(std::int16_t oldNumber) { return std::int32_t{oldNumber} * 1000; }

Ocad9MapBuilder DemoMapBuilder9(const DemoMap& map, int version, double scale);
std::string DemoMapperXml(const DemoMap& map, double scale);

}  // namespace terrak::testing
