// Contour maps from other programs' lines: the conversion, and terrak-linesmap reading a vector
// file through GDAL/OGR, its map read back as the program reads any map.
#include "mapbuild/lines_map.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "mapfile/map_files.h"

namespace terrak::testing {
namespace {

TEST(LinesMap, LinesBecomeContoursFromTheCornerOfTheirExtent) {
  const std::vector<ElevationLine> lines = {
      {{{1000, 2000}, {1010, 2000}, {1020, 2005}}, 105.04},
      {{{1005, 1990}}, 90},  // a single point is no line
      {{{990, 2001}, {995, 2030}}, 125},
      {{{1000, 1995}, {1001, 1995}, {1002, 1995}, {1003, 1995}, {1004, 1995}}, 110.05}};
  const LinesMap made = MapFromLines(lines, 25, 3);
  EXPECT_EQ(made.Origin, (GroundPoint{990, 1995}));
  EXPECT_DOUBLE_EQ(made.Map.Options.Width, 30);
  EXPECT_DOUBLE_EQ(made.Map.Options.Depth, 35);
  ASSERT_EQ(made.Map.Objects.size(), 4u);  // the last line in two pieces of three points
  const DemoObject& first = made.Map.Objects[0];
  EXPECT_EQ(first.Symbol, kDemoContour);
  EXPECT_EQ(first.Height, 1050);  // tenths, rounded
  EXPECT_EQ(first.Parts.front().front(), (GroundPoint{10, 5}));
  EXPECT_EQ(made.Map.Objects[1].Symbol, kDemoIndexContour);  // 125 m: on the index interval
  EXPECT_EQ(made.Map.Objects[2].Height, 1100);                // 1100.5 tenths: halves to even
  EXPECT_EQ(made.Map.Objects[2].Parts.front().size(), 3u);
  EXPECT_EQ(made.Map.Objects[3].Parts.front().front(), made.Map.Objects[2].Parts.front().back());
  EXPECT_THROW(MapFromLines({{{{0, 0}}, 10}}), std::invalid_argument);
  EXPECT_THROW(MapFromLines({{{{0, 0}, {1, 1}}, 4000}}), std::invalid_argument);
}

#ifdef TERRAK_LINESMAP_PATH
TEST(LinesMap, ToolWritesTheVectorFilesLinesAsAMapTheProgramReads) {
  TempFolder folder;
  // GeoJSON, which OGR reads like a GeoPackage or a shapefile.
  WriteText(folder.File("lines.geojson"),
            R"({"type": "FeatureCollection", "features": [
  {"type": "Feature", "properties": {"ID": 0, "elev": 105.0},
   "geometry": {"type": "LineString", "coordinates": [[500100, 6100000], [500200, 6100000], [500300, 6100050]]}},
  {"type": "Feature", "properties": {"ID": 1, "elev": 125.0},
   "geometry": {"type": "MultiLineString", "coordinates": [[[500100, 6100100], [500300, 6100100]], [[500150, 6100020], [500160, 6100030]]]}},
  {"type": "Feature", "properties": {"ID": 2, "elev": null},
   "geometry": {"type": "LineString", "coordinates": [[500000, 6000000], [500001, 6000001]]}}]})");
  const std::string map = folder.File("lines.ocd");
  const std::string command = std::string(TERRAK_LINESMAP_PATH) + " " + folder.File("lines.geojson") +
                              " --field elev --out " + map + " >" + folder.File("out") + " 2>&1";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(folder.File("out"));
  EXPECT_EQ(ReadText(folder.File("out")),
            map + ": OCAD 7, 1:10000, 200.00 x 100.00 m, 3 objects, 7 points, origin 500100.000 6100000.000\n");
  MapFiles files;
  ASSERT_EQ(files.OpenBytes(ReadBytes(map)), OpenResult::Opened);
  files.Read({kDemoContour, kDemoIndexContour});
  const MapModel& model = files.Model;
  ASSERT_EQ(model.MapObjects.size(), 3u);
  EXPECT_EQ(model.MapObjects[0].Height, 1050);
  EXPECT_EQ(model.MapObjects[1].Symbol, kDemoIndexContour);
  EXPECT_EQ(model.MapObjects[2].Height, 1250);
  // The map is centred on the origin: 200 m at 1:10000 is 1134 model units across.
  EXPECT_NEAR(model.MapObjects[0].MinX, -567, 1);
  EXPECT_NEAR(model.MapObjects[1].MaxX, 567, 1);

  const std::string broken = std::string(TERRAK_LINESMAP_PATH) + " " + folder.File("lines.geojson") +
                             " --field height --out " + folder.File("x.ocd") + " >" + folder.File("out") + " 2>&1";
  const int refused = std::system(broken.c_str());
  EXPECT_TRUE(WIFEXITED(refused) && WEXITSTATUS(refused) == 1);
  EXPECT_NE(ReadText(folder.File("out")).find("has no field height"), std::string::npos);
}
#endif

}  // namespace
}  // namespace terrak::testing
