#include "export/xyz_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "export/export_error.h"

namespace terrak {
namespace {

// "%.*f" without the zeros that end its decimals, nor a dot left alone.
int Number(char* out, std::size_t size, double value, int decimals) {
  int length = std::snprintf(out, size, "%.*f", decimals, value);
  if (length <= 0 || static_cast<std::size_t>(length) >= size)
    throw ExportError("The DEM's coordinates are too large for the XYZ format");
  if (decimals > 0) {
    while (out[length - 1] == '0') --length;
    if (out[length - 1] == '.') --length;
  }
  if (length == 2 && out[0] == '-' && out[1] == '0') {  // -0 of a tiny negative number
    out[0] = '0';
    length = 1;
  }
  return length;
}

}  // namespace

std::vector<std::uint8_t> XyzText(const DemRaster& raster, float noData, ExportProgress& progress) {
  const auto& t = raster.GeoTransform;
  if (t[2] != 0.0 || t[4] != 0.0)
    throw ExportError(
        "The raster format \"XYZ\" cannot hold a rotated grid: export the DEM north up");
  const double cell = std::min(std::fabs(t[1]), std::fabs(t[5]));
  const int decimals = std::clamp(static_cast<int>(std::ceil(4.0 - std::log10(cell))), 0, 12);
  std::vector<std::uint8_t> text;
  char line[256];
  for (std::int64_t j = 0; j < raster.Rows; ++j) {
    const double y = t[3] + (static_cast<double>(j) + 0.5) * t[5];
    for (std::int64_t i = 0; i < raster.Columns; ++i) {
      const float z = raster.At(i, j);
      if (z == noData) continue;
      const double x = t[0] + (static_cast<double>(i) + 0.5) * t[1];
      int length = Number(line, 80, x, decimals);
      line[length++] = ' ';
      length += Number(line + length, 80, y, decimals);
      line[length++] = ' ';
      length += Number(line + length, 80, z, 2);
      line[length++] = '\n';
      text.insert(text.end(), line, line + length);
    }
    if (j % 64 == 0) progress.Report(static_cast<double>(j) / static_cast<double>(raster.Rows));
  }
  return text;
}

}  // namespace terrak
