// terrak-linesmap: writes an OCAD map of the contour lines in a vector file (a GeoPackage or
// shapefile as gdal_contour writes it: lines with an elevation field), read through GDAL/OGR.
#include <gdal.h>
#include <ogr_api.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/file_stream.h"
#include "mapbuild/demo_map.h"
#include "mapbuild/lines_map.h"

namespace {

using namespace terrak;
using namespace terrak::testing;

constexpr const char* kUsage =
    "usage: terrak-linesmap LINES --field NAME --out MAP.ocd [--layer NAME] [--version 5|6|7]\n"
    "                       [--scale 10000]\n"
    "Writes every line of the vector file's layer (the first unless --layer names one) as a\n"
    "contour at the height its field NAME gives in metres. Prints where the map's lower left\n"
    "corner lies in the file's coordinates.\n";

struct Options {
  std::string Lines, Field, Layer, Out;
  int Version = 7;
  double Scale = 10000;
};

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag.rfind("--", 0) != 0) {
      o.Lines = flag;
      continue;
    }
    if (i + 1 >= argc) throw std::invalid_argument(flag + " needs a value");
    const std::string value = argv[++i];
    if (flag == "--field") o.Field = value;
    else if (flag == "--layer") o.Layer = value;
    else if (flag == "--out") o.Out = value;
    else if (flag == "--version") o.Version = std::stoi(value);
    else if (flag == "--scale") o.Scale = std::stod(value);
    else throw std::invalid_argument("unknown option " + flag);
  }
  if (o.Lines.empty() || o.Field.empty() || o.Out.empty())
    throw std::invalid_argument("LINES, --field and --out are needed");
  return o;
}

void AddLines(OGRGeometryH geometry, double elevation, std::vector<ElevationLine>& lines) {
  const OGRwkbGeometryType type = wkbFlatten(OGR_G_GetGeometryType(geometry));
  if (type == wkbLineString || type == wkbLinearRing) {
    ElevationLine line;
    line.Elevation = elevation;
    const int count = OGR_G_GetPointCount(geometry);
    for (int i = 0; i < count; ++i) line.Points.push_back({OGR_G_GetX(geometry, i), OGR_G_GetY(geometry, i)});
    lines.push_back(std::move(line));
  } else if (type == wkbMultiLineString || type == wkbGeometryCollection || type == wkbPolygon ||
             type == wkbMultiPolygon) {
    for (int i = 0; i < OGR_G_GetGeometryCount(geometry); ++i)
      AddLines(OGR_G_GetGeometryRef(geometry, i), elevation, lines);
  }
}

std::vector<ElevationLine> ReadLines(const Options& o) {
  GDALAllRegister();
  const std::unique_ptr<void, void (*)(void*)> dataset(
      GDALOpenEx(o.Lines.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr),
      [](void* d) { if (d != nullptr) GDALClose(d); });
  if (!dataset) throw std::runtime_error("cannot open " + o.Lines + " as a vector file");
  OGRLayerH layer = o.Layer.empty() ? GDALDatasetGetLayer(dataset.get(), 0)
                                    : GDALDatasetGetLayerByName(dataset.get(), o.Layer.c_str());
  if (layer == nullptr) throw std::runtime_error(o.Lines + " has no such layer");
  const int field = OGR_FD_GetFieldIndex(OGR_L_GetLayerDefn(layer), o.Field.c_str());
  if (field < 0) throw std::runtime_error(o.Lines + " has no field " + o.Field);
  std::vector<ElevationLine> lines;
  OGR_L_ResetReading(layer);
  while (OGRFeatureH feature = OGR_L_GetNextFeature(layer)) {
    const OGRGeometryH geometry = OGR_F_GetGeometryRef(feature);
    if (geometry != nullptr && OGR_F_IsFieldSetAndNotNull(feature, field))
      AddLines(geometry, OGR_F_GetFieldAsDouble(feature, field), lines);
    OGR_F_Destroy(feature);
  }
  return lines;
}

int Run(const Options& o) {
  const LinesMap lines = MapFromLines(ReadLines(o));
  ReplaceFileAtomically(o.Out, DemoMapBuilder(lines.Map, o.Version, o.Scale).Build());
  std::size_t points = 0;
  for (const DemoObject& object : lines.Map.Objects) points += object.Parts.front().size();
  std::printf("%s: OCAD %d, 1:%g, %.2f x %.2f m, %zu objects, %zu points, origin %.3f %.3f\n",
              o.Out.c_str(), o.Version, o.Scale, lines.Map.Options.Width, lines.Map.Options.Depth,
              lines.Map.Objects.size(), points, lines.Origin.X, lines.Origin.Y);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  try {
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    options = Parse(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "terrak-linesmap: %s\n%s", error.what(), kUsage);
    return 2;
  }
  try {
    return Run(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "terrak-linesmap: %s\n", error.what());
    return 1;
  }
}
