#pragma once
// OCAD's scale parameter string (type 1039): tab-separated fields, each a one-letter key and its
// value, after a first field without key:  "\tm15000\tx592000\ty6639000\ta1.25\ti2033".
#include <optional>
#include <string_view>

#include "mapfile/georeferencing.h"

namespace terrak::ocad9 {

struct ScaleParameters {
  std::optional<double> Scale;  // m
  Georeferencing Georef;        // x, y, a, i, e, r
};

ScaleParameters ParseScaleParameters(std::string_view text);

// The EPSG code of an OCAD grid and zone code (2033 is UTM 33 N), 0 when not known here, and a
// short name for display.
struct GridCrs {
  int Epsg = 0;
  std::string Name;
};
GridCrs CrsOfGridCode(int code);

}  // namespace terrak::ocad9
