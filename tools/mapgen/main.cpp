// terrak-mapgen: writes a demo OCAD map of an analytic terrain, with its map image beside it.
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>

#include "common/rounding.h"
#include "mapgen_options.h"
#include "platform/file_stream.h"
#include "mapbuild/demo_image.h"
#include "mapbuild/demo_map.h"
#include "mapbuild/demo_map_formats.h"

namespace {

using namespace terrak;
using namespace terrak::testing;

void WriteHeightsCsv(const DemoMap& map, const std::string& fileName) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + fileName);
  const auto columns = static_cast<int>(map.Options.Width);
  const auto rows = static_cast<int>(map.Options.Depth);
  char number[32];
  for (int y = 0; y <= rows; ++y) {
    for (int x = 0; x <= columns; ++x) {
      std::snprintf(number, sizeof number, x ? ",%.2f" : "%.2f", TerrainHeight(map.Terrain, x, y));
      out << number;
    }
    out << '\n';
  }
  out.close();
  if (!out) throw std::runtime_error("cannot write " + fileName);
}

std::size_t PointCount(const DemoMap& map) {
  std::size_t points = 0;
  for (const DemoObject& object : map.Objects)
    for (const auto& part : object.Parts) points += part.size();
  return points;
}

int Run(const mapgen::MapgenOptions& o) {
  DemoMapOptions demo;
  demo.Width = o.Width;
  demo.Depth = o.Height;
  demo.Interval = o.Interval;
  demo.Seed = o.Seed;
  const DemoMap map = MakeDemoMap(demo);
  // The heights first: a file that cannot be written then leaves no map behind either.
  if (!o.HeightsCsv.empty()) WriteHeightsCsv(map, o.HeightsCsv);
  if (o.Version == mapgen::kMapperVersion) {
    const std::string xml = DemoMapperXml(map, o.Scale);
    ReplaceFileAtomically(o.Out, std::vector<std::uint8_t>(xml.begin(), xml.end()));
  } else if (o.Version >= 9) {
    ReplaceFileAtomically(o.Out, DemoMapBuilder9(map, o.Version, o.Scale).Build());
  } else {
    ReplaceFileAtomically(o.Out, DemoMapBuilder(map, o.Version, o.Scale).Build());
  }

  const IndexedImage image = DrawDemoMap(map, o.Scale, o.PixelsPerMetre);
  ReplaceFileAtomically(o.BitmapOut, o.BmpBits == 8 ? EncodeBmp(image) : EncodeBmp(ToRgb(image)));

  const std::int64_t halfX = ModelUnits(o.Width / 2, o.Scale);
  const std::int64_t halfY = ModelUnits(o.Height / 2, o.Scale);
  std::printf(
      "%s: %s, 1:%g, %g x %g m, %zu objects, %zu points, extent %lld..%lld x %lld..%lld model "
      "units\n",
      o.Out.c_str(),
      o.Version == mapgen::kMapperVersion ? "Mapper XML" : ("OCAD " + std::to_string(o.Version)).c_str(),
      o.Scale, o.Width, o.Height, map.Objects.size(), PointCount(map),
      static_cast<long long>(-halfX), static_cast<long long>(halfX), static_cast<long long>(-halfY),
      static_cast<long long>(halfY));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  terrak::mapgen::MapgenOptions options;
  try {
    options = terrak::mapgen::ParseMapgenOptions(argc, argv);
  } catch (const std::invalid_argument& error) {
    std::fprintf(stderr, "terrak-mapgen: %s\n%s", error.what(), terrak::mapgen::kMapgenUsage);
    return 2;
  }
  if (options.Help) {
    std::fputs(terrak::mapgen::kMapgenUsage, stdout);
    return 0;
  }
  try {
    return Run(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "terrak-mapgen: %s\n", error.what());
    return 1;
  }
}
