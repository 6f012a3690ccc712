// The real orienteering map in Mapper's XML format beside the project (domaine-mas-nau.omap,
// 1:10000, UTM 31N): only the map's own objects are read, the contours' heights come from their
// tag, the georeferencing places the map where it lies, and a changed height changes only the
// text of that tag.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>

#include "mapfile/mapper/mapper_map.h"
#include "map_files.h"
#include "support/outside_data.h"

namespace terrak {
namespace {

using namespace terrak::testing;

const std::string kRealMap = RealMapperMap();
constexpr std::int32_t kContour = 101000;
constexpr std::int32_t kIndexContour = 102000;

std::unique_ptr<mapper::MapperMap> OpenRealMap() {
  return mapper::MapperMap::Open(ReadBytes(kRealMap));
}

bool IsContour(std::int32_t symbol) { return symbol == kContour || symbol == kIndexContour; }

TEST(MapperRealMap, OnlyTheMapsOwnObjectsTheirTagHeightsAreaHolesAndThePlaceInUtm31North) {
  TERRAK_SKIP_WITHOUT_FILE(kRealMap);
  const auto map = OpenRealMap();
  EXPECT_EQ(std::tuple(map->Info().Version, map->Info().Scale), std::tuple(9, 10000.0));
  const std::vector<FormatSymbol> symbols = map->ReadSymbols();
  EXPECT_EQ(symbols.size(), 172u);
  EXPECT_EQ(std::tie(symbols[0].Number, symbols[0].Code, symbols[0].Description),
            std::tuple(kContour, "101", "Contour"));
  EXPECT_EQ(symbols[1].Number, 101001);  // "101.1"
  EXPECT_EQ(symbols[1].Kind, ObjectKind::Point);

  // The undo and redo history and the symbols' own objects hold thousands more.
  EXPECT_EQ(map->ReadObjects(All).Objects.size(), 290u);

  // None of the usual keys is there: the user picks the GIS field's key, offered with its count.
  EXPECT_EQ(map->HeightTag(), "Elevation");
  const std::vector<mapper::TagKeyCount> keys = map->HeightTagKeys();
  ASSERT_FALSE(keys.empty());
  EXPECT_EQ(keys[0], (mapper::TagKeyCount{"f321610", 103}));
  EXPECT_TRUE(std::none_of(keys.begin(), keys.end(),
                           [](const mapper::TagKeyCount& k) { return k.Key == "name"; }));
  map->SetHeightTag("f321610");

  const ObjectsRead read = map->ReadObjects(IsContour);
  const auto count = [&](std::int32_t symbol) {
    return std::count_if(read.Objects.begin(), read.Objects.end(),
                         [&](const FormatObject& o) { return o.Symbol == symbol; });
  };
  EXPECT_EQ(count(kContour), 74);
  EXPECT_EQ(count(kIndexContour), 29);
  std::int32_t low = 99999, high = -99999;
  for (const FormatObject& object : read.Objects) {
    EXPECT_EQ(object.Kind, ObjectKind::Line);
    EXPECT_GT(object.Points.size(), 1u);
    EXPECT_EQ(object.HeightTenths % 50, 0) << "contours every 5 m";
    low = std::min(low, object.HeightTenths);
    high = std::max(high, object.HeightTenths);
  }
  EXPECT_EQ(low, 2200);
  EXPECT_EQ(high, 4050);
  // The first contour: "47678 39791;..." with y turned upwards.
  EXPECT_EQ(read.Objects[0].Points[0], (FormatPoint{47678, -39791, 0}));
  EXPECT_EQ(read.Objects[0].HeightTenths, 3700);

  // A vegetation area (408) whose first part ends at point 187 (flags 18: hole point and close
  // point) and whose hole starts at 188.
  const ObjectsRead areas = map->ReadObjects([](std::int32_t s) { return s == 408000; });
  const auto withHole = std::find_if(areas.Objects.begin(), areas.Objects.end(), [](const FormatObject& o) {
    return o.Points.size() == 410;
  });
  ASSERT_NE(withHole, areas.Objects.end());
  EXPECT_EQ(withHole->Kind, ObjectKind::Area);
  EXPECT_EQ(withHole->Points[187], (FormatPoint{-20298, 29365, point_flag::kClose}));
  EXPECT_EQ(withHole->Points[188], (FormatPoint{-57053, -33991, point_flag::kHoleStart}));
  EXPECT_EQ(withHole->Points[0], (FormatPoint{-20298, 29365, 0}));

  // The georeferencing places the paper in UTM 31 north.
  const Georeferencing& g = map->Info().Georef;
  ASSERT_TRUE(g.Known);
  EXPECT_EQ(std::tie(g.EpsgCode, g.CrsName, g.CrsDefinition),
            std::tuple(32631, "UTM 31N", "+proj=utm +datum=WGS84 +zone=31"));
  // The paper's origin is the reference point.
  const Georeferencing::Point origin = g.ToProjected(0, 0);
  EXPECT_NEAR(origin.Easting, 569466.142348, 1e-6);
  EXPECT_NEAR(origin.Northing, 4854781.195445, 1e-6);
  // The first contour's first point, 47.678 mm right of and 39.791 mm below the origin: 476.78 m
  // and -397.91 m on the ground, times the combined scale factor 0.720895, turned by the
  // grivation (worked by hand).
  const Georeferencing::Point corner = g.ToProjected(476.78, -397.91);
  EXPECT_NEAR(corner.Easting, 569800.463, 0.001);
  EXPECT_NEAR(corner.Northing, 4854483.456, 0.001);
  // The paper's up is magnetic north. At the reference point (43.8428 N, 3.8642 E) true north
  // lies 0.599 degrees west of grid north (from PROJ), and the declination is 2.44 degrees
  // east: up must point 1.84 degrees east of grid north, the grivation.
  const double upBearing = std::atan2(g.B, g.D) * 180.0 / std::numbers::pi;
  EXPECT_NEAR(upBearing, -0.599 + 2.44, 0.002);
}

TEST(MapperRealMap, SavingAChangedHeightChangesOnlyThatTagsText) {
  TERRAK_SKIP_WITHOUT_FILE(kRealMap);
  const std::vector<std::uint8_t> original = ReadBytes(kRealMap);
  const auto map = mapper::MapperMap::Open(original);
  map->SetHeightTag("f321610");
  const FormatObject first = map->ReadObjects(IsContour).Objects[0];
  ASSERT_EQ(first.HeightTenths, 3700);
  const std::vector<BytePatch> patches = map->WriteHeights({{first.Key, 3725}});

  const std::string before(original.begin(), original.end());
  const std::string after(map->Bytes().begin(), map->Bytes().end());
  const std::string oldTag = "<t k=\"f321610\">370.000000000000000</t>";
  const std::size_t at = before.find(oldTag);
  ASSERT_NE(at, std::string::npos);
  std::string expected = before;
  expected.replace(at, oldTag.size(), "<t k=\"f321610\">372.5</t>");
  EXPECT_TRUE(after == expected);
  // The patches tell the working copy the same change.
  std::vector<std::uint8_t> copy = original;
  ApplyPatches(copy, patches);
  EXPECT_TRUE(copy == map->Bytes());
  // Every other byte is as it was, so the map reads back as the original does; "372.5" reads as
  // in MapperWrite.HeightsPatchOnlyTheTagTextOrAddTheTag.
}

}  // namespace
}  // namespace terrak
