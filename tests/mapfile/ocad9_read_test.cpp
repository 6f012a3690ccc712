// Reading OCAD 9 to 2018 maps: symbols with their 32-bit numbers, every index field, deleted and
// hidden objects, coordinates with their flags, texts, heights of each version and the scale
// parameters.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <tuple>

#include "mapfile/ocad9/ocad9_map.h"
#include "mapfile/utf16.h"
#include "map_files.h"
#include "mapbuild/ocad_build9.h"

namespace terrak {
namespace {

using namespace terrak::testing;
using ocad9::Ocad9Map;

const int kVersions[] = {9, 10, 11, 12, 2018};

std::unique_ptr<Ocad9Map> Open(Ocad9MapBuilder& builder) {
  return Ocad9Map::Open(builder.Build(), std::nullopt);
}

TEST(Ocad9Read, SymbolsNumberedTimes1000AndObjectsSkippingDeletedOnesInEveryVersion) {
  for (int version : kVersions) {
    SCOPED_TRACE(version);
    Ocad9MapBuilder b(version);
    b.AddSymbol({101000, 2, "Contour"});
    b.AddSymbol({103002, 1, "Small knoll, elongated"});
    b.AddSymbol({401000, 3, "Open land"});
    b.AddSymbol({999000, 6, ""});
    const std::vector<FormatSymbol> symbols = Open(b)->ReadSymbols();
    ASSERT_EQ(symbols.size(), 4u);
    EXPECT_EQ(std::tie(symbols[0].Number, symbols[0].Code, symbols[0].Description),
              std::tuple(101000, "101.0", "Contour"));
    EXPECT_EQ(std::tie(symbols[1].Number, symbols[1].Code, symbols[1].Description),
              std::tuple(103002, "103.2", "Small knoll, elongated"));
    EXPECT_EQ(symbols[3].Description, "");
    EXPECT_EQ((std::vector<ObjectKind>{symbols[0].Kind, symbols[1].Kind, symbols[2].Kind,
                                       symbols[3].Kind}),
              (std::vector<ObjectKind>{ObjectKind::Line, ObjectKind::Point, ObjectKind::Area,
                                       ObjectKind::Text}));

    // Objects: deleted ones are skipped, hidden ones kept; the unselected one counts for the
    // map's extent.
    b.AddObject({.Symbol = 101000, .Points = {CodedPoint::At(0, 0), CodedPoint::At(100, 200)}});
    b.AddObject({.Symbol = 101000, .Status = 2, .Points = {CodedPoint::At(5, 5), CodedPoint::At(6, 6)}});
    b.AddObject({.Symbol = 101000, .Status = 0, .Points = {CodedPoint::At(-9000, 0), CodedPoint::At(1, 1)}});
    b.AddObject({.Symbol = 101000, .Status = 3, .Points = {CodedPoint::At(0, 9000), CodedPoint::At(1, 1)}});
    b.AddEmptyEntry();
    b.AddObject({.Symbol = 102000, .Points = {CodedPoint::At(-300, -400), CodedPoint::At(50, 60)}});
    b.AddObject({.Symbol = 101000, .Points = {CodedPoint::At(7, 8)}, .Extent = IndexExtent{1, 2, 3, 4}});
    const ObjectsRead read = Open(b)->ReadObjects([](std::int32_t s) { return s == 101000; });
    ASSERT_EQ(read.Objects.size(), 3u);
    EXPECT_TRUE(!read.Objects[0].Hidden && read.Objects[1].Hidden);
    EXPECT_EQ(std::tie(read.Objects[0].Key, read.Objects[1].Key, read.Objects[2].Key),
              std::tie(b.Layout().Objects[0].EntryPos, b.Layout().Objects[1].EntryPos,
                       b.Layout().Objects[5].EntryPos));
    EXPECT_EQ(read.Objects[0].Extent, (FormatExtent{0, 0, 1000, 2000}));
    // The index's box, not the points': coded values of 1 to 4 are positions of 0.
    EXPECT_EQ(read.Objects[2].Extent, (FormatExtent{0, 0, 0, 0}));
    // Deleted objects leave the extent; the unselected one widens it.
    EXPECT_EQ(read.MapExtent, (FormatExtent{-3000, -4000, 1000, 2000}));
  }
}

TEST(Ocad9Read, LongObjectsManyIndexBlocksTextsAndCoordinatesWithEveryFlag) {
  for (int version : kVersions) {
    SCOPED_TRACE(version);
    Ocad9MapBuilder b(version);
    std::vector<CodedPoint> longLine;
    for (int i = 0; i < 5000; ++i) longLine.push_back(CodedPoint::At(i, i % 7));
    b.AddObject({.Symbol = 101000, .Points = longLine});
    for (int i = 0; i < 600; ++i)
      b.AddObject({.Symbol = 102000, .Points = {CodedPoint::At(i, 0), CodedPoint::At(i, 1)}});
    b.AddObject({.Symbol = 900000, .Type = 5, .Points = {CodedPoint::At(1, 2)}, .Text = "Hill top"});
    // Coordinates in micrometres with every flag, negative values floored.
    b.AddObject({.Symbol = 101000,
                 .Points = {CodedPoint::At(10, 20), CodedPoint::At(11, 21).FirstControl(),
                            CodedPoint::At(12, 22).SecondControl(),
                            CodedPoint::At(13, 23).Corner().NoLeftLine(),
                            CodedPoint::At(14, 24).NewPart().NoRightLine(),
                            CodedPoint::At(15, 25).Dash().WithXFlags(8),
                            {Coded(-1, 3), Coded(-8388608, 9)},  // the smallest 24-bit value
                            {Coded(8388607), Coded(-2)}}});
    const auto map = Open(b);
    EXPECT_EQ(b.Layout().IndexBlocks.size(), 3u);
    const ObjectsRead read = map->ReadObjects(All);
    ASSERT_EQ(read.Objects.size(), 603u);
    using namespace point_flag;
    EXPECT_EQ(read.Objects[602].Points,
              (std::vector<FormatPoint>{{100, 200, 0},
                                        {110, 210, kFirstControl},
                                        {120, 220, kSecondControl},
                                        {130, 230, kNoLeftLine | kCorner},
                                        {140, 240, kHoleStart | kNoRightLine},
                                        {150, 250, kGap | kDash},
                                        {-10, -83886080,
                                         kFirstControl | kSecondControl | kCorner | kDash},
                                        {83886070, -20, 0}}));
    EXPECT_EQ(read.Objects[0].Points.size(), 5000u);
    EXPECT_EQ(read.Objects[0].Points[4999], (FormatPoint{49990, (4999 % 7) * 10, 0}));
    EXPECT_EQ(read.Objects[600].Points[0].X, 5990);
    EXPECT_EQ(read.Objects[601].Kind, ObjectKind::Text);
    EXPECT_EQ(read.Objects[601].Text, "Hill top");
  }
}

TEST(Ocad9Read, HeightsFromEachVersionsFieldInItsUnit) {
  struct Case {
    int Version;
    std::int32_t Stored;
    std::optional<std::int32_t> Tenths;
  };
  // Besides the heights Ocad9Write.AHeightPatchesExactlyItsObjectsHeightField reads back.
  const Case cases[] = {
      {10, -1250, -12},       // -1.25 m: halves to even
      {10, 1350, 14},         // 1.35 m
      {11, 95360000 - 1, 3725},  // just below 372.5 m (in 1/256 mm): rounded, not cut
      {2018, 25600 * 4051, 4051},
      {11, 12800, 0},         // 0.05 m: rounded to 0 m, still a height
      {12, 1, 0},             // the smallest step: 0 m
      {12, 2147483647, 83886},  // the field's end
      {10, -2147483647 - 1, -21474836},
      {12, 0, std::nullopt},  // no height
      {9, 0, std::nullopt},   // no field: the heights live beside the map
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.Version << " " << c.Stored);
    Ocad9MapBuilder b(c.Version);
    b.AddObject({.Symbol = 101000, .Points = {CodedPoint::At(0, 0)}, .Height = c.Stored});
    const auto map = Open(b);
    EXPECT_EQ(map->Info().Capabilities.Heights,
              c.Version == 9 ? HeightPlace::SideFile : HeightPlace::InObject);
    const FormatObject object = map->ReadObjects(All).Objects.at(0);
    EXPECT_EQ(std::tuple(object.HeightTenths, object.HasHeight),
              std::tuple(c.Tenths.value_or(0), c.Tenths.has_value()));
  }
}

TEST(Ocad9Read, ScaleAndGeoreferencingFromTheScaleParameters) {
  Ocad9MapBuilder b(11);
  b.AddString(1, "not scale parameters\tm5");
  b.ScaleParameters("\tm15000.000000\tg500\tr1\tx592000.5\ty6639000\ta1.25\td420\ti2033");
  const auto map = Open(b);
  EXPECT_EQ(std::tuple(map->Info().Scale, map->Info().FormatName), std::tuple(15000.0, "OCAD 11"));
  const Georeferencing& g = map->Info().Georef;
  ASSERT_TRUE(g.Known);
  EXPECT_EQ(std::tuple(g.EpsgCode, g.CrsName, g.ToProjected(0, 0).Easting,
                       g.ToProjected(0, 0).Northing),
            std::tuple(32633, "UTM 33N", 592000.5, 6639000.0));
  // The paper's up points 1.25 degrees east of grid north.
  EXPECT_NEAR(std::atan2(g.B, g.D) * 180 / std::numbers::pi, 1.25, 1e-12);
  const Georeferencing::Point east = g.ToProjected(1000, 0);
  EXPECT_NEAR(east.Easting, 592000.5 + 1000 * std::cos(1.25 * std::numbers::pi / 180), 1e-6);
  EXPECT_NEAR(east.Northing, 6639000 - 1000 * std::sin(1.25 * std::numbers::pi / 180), 1e-6);
}

}  // namespace
}  // namespace terrak
