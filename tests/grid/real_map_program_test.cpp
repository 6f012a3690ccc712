// The real Mapper map beside the project (domaine-mas-nau.omap) the whole way through the
// program: opened as the main window opens maps, its contours read with their tag heights, the
// grid built from them, a changed height saved and read back, and the DEM of its terrain placed
// where the map lies in UTM 31N.
#include <gdal_priv.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "export/dem_export.h"
#include "grid/build_grid.h"
#include "grid/contour_range.h"
#include "mapfile/map_reader.h"
#include "mapfile/map_writer.h"
#include "mapfile/format_of_map.h"
#include "mapfile/map_format.h"
#include "mapfile/ocad_file.h"
#include "platform/file_stream.h"
#include "support/outside_data.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

const std::string kRealMap = RealMapperMap();

struct RealMap {
  TempFolder Folder;
  SystemPaths Paths = Folder.Paths();
  std::string Map = Folder.File("mas-nau.omap");
  ScriptedDialogs Dialogs;
  MapModel Model;

  // Opened with the heights of tag f321610 and its two contour symbols read.
  void OpenWithContours() {
    std::filesystem::copy_file(kRealMap, Map);
    std::filesystem::permissions(Map, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    Model.MapFileName = Map;
    ASSERT_EQ(OpenMapFile(Model, Paths.WorkingCopy, Dialogs), OpenResult::Opened);
    HeightTagChoice* tags = HeightTagsOf(Model);
    ASSERT_NE(tags, nullptr);
    tags->SetHeightTag("f321610");
    Model.SelectedSymbols = {{101000, kBlack}, {102000, kBlack}};
    Model.SymbolsSelected = true;
    ReadObjects(Model, Paths.WorkingCopy);
  }
};

TEST(RealMapProgram, TheGridIsBuiltFromTheTagHeights) {
  TERRAK_SKIP_WITHOUT_FILE(kRealMap);
  RealMap f;
  f.OpenWithContours();
  EXPECT_EQ(std::tuple(f.Model.SymbolNumberScale, f.Model.MapScale), std::tuple(1000, 10000.0));
  ASSERT_EQ(f.Model.MapObjects.size(), 103u);
  for (const TMapObject& o : f.Model.MapObjects) {
    EXPECT_GE(o.Height, 2200);
    EXPECT_LE(o.Height, 4050);
  }

  GridState grid;
  GridBuildState build;
  build.CurveSteps = GridCurveSteps(f.Model.MapScale);
  RecordingProgress progress;
  ASSERT_TRUE(BuildGrid(f.Model, Settings{}, grid, build, {progress, f.Dialogs, nullptr}));
  std::int64_t covered = 0;
  std::int16_t lowest = 32767, highest = -32768;
  for (std::int64_t x = 0; x < grid.HeightGrid.Columns(); ++x)
    for (std::int64_t y = 0; y < grid.HeightGrid.Rows(); ++y) {
      const std::int16_t h = grid.HeightGrid(x, y);
      if (h == 0) continue;
      ++covered;
      const auto metres = static_cast<std::int16_t>(std::abs(h) / 10);
      lowest = std::min(lowest, metres);
      highest = std::max(highest, metres);
    }
  // The contours span about 1.5 by 1.2 km; most of it is covered, at the contours' heights.
  EXPECT_GT(covered, grid.HeightGrid.Columns() * grid.HeightGrid.Rows() / 3);
  // Hollows and hilltops reach up to one contour step (5 m) beyond the lowest and the highest
  // contour; no cell lies further (below).
  EXPECT_GE(lowest, 215);
  EXPECT_LE(highest, 410);
}

// The grid lies within the range of the contours (220 to 405 m) but for the step the
// interpolation extrapolates by on flats, at contour gaps 50 and 10 (with smoothing). By the
// map's western edge it had cells of 155.0, 103.3 and 51.6 m: scans stopping at column 0, on a
// contour of 310 m running along it, reported the cell beside it as that contour's last cell,
// and the extrapolation took its earlier estimate, stored as -310 m, for a contour 620 m below.
TEST(RealMapProgram, TheGridStaysWithinTheContoursRange) {
  TERRAK_SKIP_WITHOUT_FILE(kRealMap);
  RealMap f;
  f.OpenWithContours();
  for (const std::int32_t gap : {50, 10}) {
    Settings settings;
    settings.ContourGap = gap;
    settings.Smoothing = gap == 10 ? 30 : 0;
    const ContourRange range = CheckContourRange(BuildGridInStages(f.Model, settings));
    EXPECT_EQ(std::tuple(range.Lowest, range.Highest), std::tuple(2200, 4050));
    EXPECT_LE(range.Allowance, 100) << gap;  // two contour intervals
    EXPECT_EQ(range.CellsBeyond, 0) << gap << ": a cell " << range.Furthest << " beyond";
  }
}

TEST(RealMapProgram, AChangedHeightIsSavedAsOnlyThatTagsTextAndReadBack) {
  TERRAK_SKIP_WITHOUT_FILE(kRealMap);
  RealMap f;
  f.OpenWithContours();
  const std::vector<std::uint8_t> before = ReadBytes(f.Map);
  const std::int32_t old = f.Model.MapObjects[5].Height;
  WriteTracedHeights(f.Model, f.Paths.WorkingCopy, {5}, 3125);
  EXPECT_TRUE(f.Model.MapModified);
  EXPECT_EQ(ReadBytes(f.Map), before);  // the map itself waits for Save
  SaveMap(f.Model, f.Paths.WorkingCopy, f.Dialogs);
  const std::vector<std::uint8_t> after = ReadBytes(f.Map);

  // One stretch differs: the tag's old text ("372.5", say) became "312.5".
  const auto first = std::mismatch(before.begin(), before.end(), after.begin(), after.end());
  const auto last = std::mismatch(before.rbegin(), before.rend(), after.rbegin(), after.rend());
  const auto from = static_cast<std::size_t>(first.first - before.begin());
  const std::size_t oldEnd = before.size() - static_cast<std::size_t>(last.first - before.rbegin());
  const std::size_t newEnd = after.size() - static_cast<std::size_t>(last.second - after.rbegin());
  ASSERT_LT(from, newEnd);
  const std::string tail(before.begin() + static_cast<std::ptrdiff_t>(oldEnd),
                         before.begin() + static_cast<std::ptrdiff_t>(oldEnd) + 4);
  EXPECT_EQ(tail.substr(0, 4), "</t>");
  const std::string head(after.begin() + static_cast<std::ptrdiff_t>(from) - 15,
                         after.begin() + static_cast<std::ptrdiff_t>(newEnd));
  EXPECT_NE(head.find("k=\"f321610\">"), std::string::npos) << head;
  EXPECT_NE(head.find("312.5"), std::string::npos) << head;
  EXPECT_NE(old, 3125);

  // Opened again, the object carries the new height and the others theirs.
  RealMap again;
  again.Map = f.Map;
  again.Model.MapFileName = f.Map;
  ASSERT_EQ(OpenMapFile(again.Model, again.Paths.WorkingCopy, again.Dialogs), OpenResult::Opened);
  HeightTagsOf(again.Model)->SetHeightTag("f321610");
  again.Model.SelectedSymbols = f.Model.SelectedSymbols;
  again.Model.SymbolsSelected = true;
  ReadObjects(again.Model, again.Paths.WorkingCopy);
  ASSERT_EQ(again.Model.MapObjects.size(), f.Model.MapObjects.size());
  for (std::size_t i = 0; i < f.Model.MapObjects.size(); ++i)
    EXPECT_EQ(again.Model.MapObjects[i].Height, f.Model.MapObjects[i].Height) << i;
  EXPECT_EQ(again.Model.MapObjects[5].Height, 3125);
}

struct Closer {
  void operator()(GDALDataset* d) const { GDALClose(GDALDataset::ToHandle(d)); }
};

TEST(RealMapProgram, TheDemLandsWhereTheMapLiesInUtm31North) {
  TERRAK_SKIP_WITHOUT_FILE(kRealMap);
  RealMap f;
  f.OpenWithContours();
  const Georeferencing& g = f.Model.Georef;
  ASSERT_TRUE(g.Known);
  EXPECT_EQ(g.EpsgCode, 32631);
  GridState grid;
  GridBuildState build;
  build.CurveSteps = GridCurveSteps(f.Model.MapScale);
  RecordingProgress progress;
  ASSERT_TRUE(BuildGrid(f.Model, Settings{}, grid, build, {progress, f.Dialogs, nullptr}));
  const std::string file = f.Folder.File("mas-nau.tif");
  WriteDemFile(file, grid, g, DemOptions{});

  GDALAllRegister();
  std::unique_ptr<GDALDataset, Closer> dem(
      GDALDataset::FromHandle(GDALOpen(file.c_str(), GA_ReadOnly)));
  ASSERT_TRUE(dem);
  double t[6] = {};
  ASSERT_EQ(dem->GetGeoTransform(t), CE_None);
  EXPECT_EQ(t[2], 0.0);  // north up
  const double west = t[0], north = t[3];
  const double east = west + t[1] * dem->GetRasterXSize();
  const double south = north + t[5] * dem->GetRasterYSize();
  // The four corners of the grid's outer cells, placed by the map's georeferencing, lie inside
  // the raster and reach within two cells of each of its edges.
  double minE = 1e18, maxE = -1e18, minN = 1e18, maxN = -1e18;
  for (double x : {grid.GridMinX - 0.5, grid.GridMinX + static_cast<double>(grid.HeightGrid.Columns()) - 0.5})
    for (double y : {grid.GridMinY - 0.5, grid.GridMinY + static_cast<double>(grid.HeightGrid.Rows()) - 0.5}) {
      const Georeferencing::Point p = g.ToProjected(x, y);
      minE = std::min(minE, p.Easting);
      maxE = std::max(maxE, p.Easting);
      minN = std::min(minN, p.Northing);
      maxN = std::max(maxN, p.Northing);
    }
  const double cell = t[1];
  EXPECT_NEAR(west, minE, 2 * cell);
  EXPECT_NEAR(east, maxE, 2 * cell);
  EXPECT_NEAR(north, maxN, 2 * cell);
  EXPECT_NEAR(south, minN, 2 * cell);
  // At the real place of the first contour's first point (worked out by hand from the map's
  // georeferencing), the DEM holds that contour's height.
  const double e = 569800.463, n = 4854483.456;
  ASSERT_GT(e, west);
  ASSERT_LT(e, east);
  const int column = static_cast<int>((e - west) / t[1]);
  const int row = static_cast<int>((n - north) / t[5]);
  float height = 0;
  ASSERT_EQ(dem->GetRasterBand(1)->RasterIO(GF_Read, column, row, 1, 1, &height, 1, 1,
                                            GDT_Float32, 0, 0, nullptr),
            CE_None);
  EXPECT_NEAR(height, f.Model.MapObjects[0].Height / 10.0, 2.0);
}

}  // namespace
}  // namespace terrak
