#include "mapfile/ocad9/scale_parameters.h"

#include <charconv>
#include <cmath>
#include <string>

namespace terrak::ocad9 {

namespace {

std::optional<double> Number(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

GridCrs CrsOfGridCode(int code) {
  // WGS 84 / UTM: 2000 + zone north, -(2000 + zone) south.
  if (code >= 2001 && code <= 2060) return {32600 + code - 2000, "UTM " + std::to_string(code - 2000) + "N"};
  if (code <= -2001 && code >= -2060)
    return {32700 - code - 2000, "UTM " + std::to_string(-code - 2000) + "S"};
  if (code == 13002) return {3006, "EPSG:3006"};  // SWEREF99 TM
  if (code == 0 || code == 1000) return {};       // paper coordinates / no grid
  return {0, "OCAD grid " + std::to_string(code)};
}

ScaleParameters ParseScaleParameters(std::string_view text) {
  ScaleParameters result;
  double x = 0, y = 0, angle = 0;
  bool placed = false;       // an offset or a grid was given
  std::optional<bool> real;  // r: real-world coordinates switched on
  int grid = 0, epsg = 0;
  std::size_t start = text.find('\t');
  while (start != std::string_view::npos) {
    const std::size_t end = text.find('\t', start + 1);
    const std::string_view field =
        text.substr(start + 1, end == std::string_view::npos ? std::string_view::npos
                                                             : end - start - 1);
    start = end;
    if (field.empty()) continue;
    const std::optional<double> value = Number(field.substr(1));
    if (!value) continue;
    switch (field.front()) {
      case 'm':
        if (*value > 0) result.Scale = *value;
        break;
      case 'x':
        x = *value;
        placed = placed || x != 0;
        break;
      case 'y':
        y = *value;
        placed = placed || y != 0;
        break;
      case 'a':
        angle = *value;
        break;
      case 'r':
        real = *value != 0;
        break;
      case 'i':
        if (std::fabs(*value) < 1e9) grid = static_cast<int>(*value);
        break;
      case 'e':
        if (*value > 0 && *value < 1e9) epsg = static_cast<int>(*value);
        break;
      default:
        break;
    }
  }
  const GridCrs crs = CrsOfGridCode(grid);
  if (!real.value_or(placed || crs.Epsg != 0 || epsg != 0)) return result;
  // Values that cannot be a place ("x1e308", "a-720") mean the map is not georeferenced.
  if (!IsPlausiblePlacement(x, y, angle)) return result;
  // The angle turns the grid against the paper: the paper's up points a degrees clockwise of
  // grid north, as Mapper's grivation.
  result.Georef = GeoreferencingFromOffsetAngle(x, y, -angle);
  result.Georef.EpsgCode = epsg != 0 ? epsg : crs.Epsg;
  result.Georef.CrsName = epsg != 0 ? "EPSG:" + std::to_string(epsg) : crs.Name;
  DropGeographicCrs(result.Georef);
  return result;
}

}  // namespace terrak::ocad9
