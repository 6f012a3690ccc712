// Reading Mapper XML maps: symbols numbered from their codes, only the map's own objects, both
// ways of writing coordinates with every flag, tags and the keys offered for heights, and the
// georeferencing.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <tuple>

#include "mapfile/mapper/mapper_coords.h"
#include "mapfile/mapper/mapper_map.h"
#include "mapbuild/mapper_build.h"
#include "map_files.h"

namespace terrak {
namespace {

using namespace terrak::testing;
using mapper::MapperMap;

std::unique_ptr<MapperMap> Open(const MapperMapBuilder& b) { return MapperMap::Open(TextBytes(b.Build())); }

TEST(MapperRead, SymbolNumbersFromCodesAndKindsFromTypes) {
  MapperMapBuilder b;
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101", .Name = "Contour"});
  b.AddSymbol({.Id = 1, .Type = 1, .Code = "103.2", .Name = "Knoll"});
  b.AddSymbol({.Id = 2, .Type = 4, .Code = "401", .Name = "Open land"});
  b.AddSymbol({.Id = 3, .Type = 8, .Code = "A", .Name = "Text"});
  b.AddSymbol({.Id = 4, .Type = 16, .Code = "103.002", .Name = "Area with border", .Parts = {0, 2}});
  b.AddSymbol({.Id = 5, .Type = 16, .Code = "101", .Name = "Double line", .Parts = {0, 0}});
  b.AddSymbol({.Id = 7, .Type = 2, .Code = "101.1234", .Name = "Odd"});
  b.AddSymbol({.Id = 8, .Type = 2, .Code = "1999999.999", .Name = "Highest"});
  b.AddSymbol({.Id = 9, .Type = 2, .Code = "2000000", .Name = "Among the uncoded"});
  const std::vector<FormatSymbol> s = Open(b)->ReadSymbols();
  ASSERT_EQ(s.size(), 9u);
  EXPECT_EQ(std::tie(s[0].Number, s[0].Code, s[0].Description),
            std::tuple(101000, "101", "Contour"));
  EXPECT_EQ(std::tuple(s[1].Number, s[1].Kind, s[2].Kind, s[3].Kind),
            std::tuple(103002, ObjectKind::Point, ObjectKind::Area, ObjectKind::Text));
  // No number in the code, a code used before, a sub-number beyond three digits: numbered from
  // two thousand million on by id, so every symbol keeps a number of its own.
  EXPECT_EQ(s[3].Number, 2000000003);
  EXPECT_EQ(s[4].Number, 2000000004);  // 103.002 is 103002 again
  EXPECT_EQ(s[4].Kind, ObjectKind::Area);
  EXPECT_EQ(std::tuple(s[5].Number, s[5].Kind, s[6].Number),
            std::tuple(2000000005, ObjectKind::Line, 2000000007));
  // The highest code below them keeps its number; one as high as theirs is numbered by id.
  EXPECT_EQ(std::tuple(s[7].Number, s[8].Number), std::tuple(1999999999, 2000000009));
}

TEST(MapperRead, OnlyTheMapsOwnObjectsInEveryPartNotHistoryNorSymbolInsides) {
  for (bool barrier : {true, false}) {
    SCOPED_TRACE(barrier);
    MapperMapBuilder b;
    b.InBarrier(barrier).Version(barrier ? 9 : 5).History(true);
    b.AddSymbol({.Id = 0, .Type = 2, .Code = "101"});
    b.AddSymbol({.Id = 1, .Type = 1, .Code = "109", .InnerObject = {{0, 0}, {5, 5}}});
    b.AddSymbol({.Id = 2, .Type = 4, .Code = "401"});
    b.AddObject({.Symbol = 0, .Coords = {{0, 0}, {100, -200}}});
    b.AddObject({.Type = 0, .Symbol = 1, .Coords = {{7, 7}}, .Part = 1});
    b.AddObject({.Symbol = 2, .Coords = {{-50, 30}, {10, 10}, {0, 0}}, .Part = 2});
    b.AddObject({.Type = 4, .Symbol = 99, .Coords = {{1, 1}}, .Text = "Hill &amp; top", .Part = 2});
    const auto map = Open(b);
    const ObjectsRead read = map->ReadObjects(All);
    ASSERT_EQ(read.Objects.size(), 4u);
    for (std::int64_t i = 0; i < 4; ++i) EXPECT_EQ(read.Objects[i].Key, i);
    EXPECT_EQ(std::tuple(read.Objects[0].Kind, read.Objects[0].Extent, read.Objects[1].Kind,
                         read.Objects[1].Symbol, read.Objects[2].Kind, read.Objects[3].Kind),
              std::tuple(ObjectKind::Line, (FormatExtent{0, 0, 100, 200}), ObjectKind::Point,
                         109000, ObjectKind::Area, ObjectKind::Text));
    EXPECT_EQ(read.Objects[3].Symbol, 0);  // no such symbol
    EXPECT_EQ(read.Objects[3].Text, "Hill & top");
    EXPECT_EQ(read.MapExtent, (FormatExtent{-50, -30, 100, 200}));
    EXPECT_EQ(map->ReadObjects([](std::int32_t s) { return s == 101000; }).Objects.size(), 1u);
  }
}

TEST(MapperRead, TheFirstBarrierWithPartsHoldsTheMap) {
  MapperMapBuilder b;
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101"});
  b.AddObject({.Symbol = 0, .Coords = {{0, 0}, {1, 1}}});
  std::string text = b.Build();
  text.insert(text.rfind("</map>"),
              "<barrier version=\"6\"><parts count=\"1\"><part><objects><object type=\"1\" "
              "symbol=\"0\"><coords>5 5;6 6;</coords></object><object type=\"1\" symbol=\"0\">"
              "<coords>7 7;</coords></object></objects></part></parts></barrier>\n");
  const ObjectsRead read = MapperMap::Open(TextBytes(text))->ReadObjects(All);
  ASSERT_EQ(read.Objects.size(), 1u);
  EXPECT_EQ(read.Objects[0].Points[1].X, 1);
}

TEST(MapperRead, CoordinatesAsTextWithBlanksOrElementsWithEveryFlag) {
  for (bool elements : {false, true}) {
    SCOPED_TRACE(elements);
    MapperMapBuilder b;
    b.CoordElements(elements);
    b.AddSymbol({.Id = 0, .Type = 4, .Code = "401"});
    b.AddObject({.Symbol = 0,
                 .Coords = {{0, 0, 1}, {10, -10, 0}, {20, -10, 0}, {30, 0, 4}, {40, 5, 32},
                            {0, 0, 18}, {-2147483647, 2147483647, 0}, {3, 3, 1}, {4, 4, 0},
                            {9, 9, 1}}});
    const std::vector<FormatPoint> p = Open(b)->ReadObjects(All).Objects.at(0).Points;
    using namespace point_flag;
    const std::vector<FormatPoint> expected = {
        {0, 0, 0},
        {10, 10, kFirstControl},
        {20, 10, kSecondControl},
        {30, 0, kNoLeftLine | kNoRightLine},
        {40, -5, kDash},
        {0, 0, kClose},                           // a hole point ends its part ...
        {-2147483647, -2147483647, kHoleStart},   // ... and the hole begins after it
        {3, -3, 0},  // a curve start without its end still has its control points
        {4, -4, kFirstControl},
        {9, -9, kSecondControl},  // a curve start with no room for its control points
    };
    EXPECT_EQ(p, expected);
  }
  // The text may hold blanks and line breaks; anything else that is no list of points is none.
  EXPECT_EQ(mapper::ParseCoordsText(" 1 2;\n3  -4 16 ;5 6 ;").value().size(), 3u);
  EXPECT_TRUE(mapper::ParseCoordsText("").value().empty());
  for (const char* bad : {"1;", "1 2", "1 2 3 4;", "a b;", "1 2 x;", "1 2;;", "99999999999999999999 1;"})
    EXPECT_FALSE(mapper::ParseCoordsText(bad)) << bad;
}

TEST(MapperRead, TagsAndTheNumericKeysOfferedForHeights) {
  MapperMapBuilder b;
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101"});
  b.AddSymbol({.Id = 1, .Type = 4, .Code = "401"});
  b.AddSymbol({.Id = 2, .Type = 16, .Code = "506", .Parts = {0}});
  b.AddObject({.Symbol = 0, .Tags = {{"z", "250.5"}, {"name", "Ridge"}, {"ele", "x"}}, .Coords = {{0, 0}}});
  b.AddObject({.Symbol = 0, .Tags = {{"z", " 1e2 "}, {"ele", "260"}}, .Coords = {{0, 0}}});
  b.AddObject({.Symbol = 2, .Tags = {{"ele", "-3"}}, .Coords = {{0, 0}}});
  // Area objects and point objects do not count.
  b.AddObject({.Symbol = 1, .Tags = {{"area", "5"}}, .Coords = {{0, 0}}});
  b.AddObject({.Type = 0, .Symbol = 0, .Tags = {{"point", "5"}}, .Coords = {{0, 0}}});
  // As Mapper reads them: a key that comes again takes the later value in the earlier place,
  // and character references count. (Comments, CDATA and processing instructions:
  // MapperWrite.TagKeysAndOddTagFormsAreWrittenSafely.)
  b.AddObject(
      {.Symbol = 0, .Tags = {{"ele", "1"}, {"name", "a"}, {"ele", "2"}}, .Coords = {{0, 0}}});
  b.AddObject({.Symbol = 0, .Tags = {{"ele", "3&#x34;&#53;"}}, .Coords = {{0, 0}}});
  const auto map = Open(b);
  const std::vector<mapper::TagKeyCount> expected = {{"ele", 4}, {"z", 2}};
  EXPECT_EQ(map->HeightTagKeys(), expected);
  EXPECT_EQ(map->HeightTag(), "ele");  // offered first among the usual keys
  EXPECT_EQ(map->ReadObjects(All).Objects[0].Tags.size(), 3u);
  EXPECT_EQ(map->ReadObjects(All).Objects[0].Tags[1],
            (std::pair<std::string, std::string>{"name", "Ridge"}));
  const auto heights = [&] {
    std::vector<std::int32_t> h;
    for (const FormatObject& o : map->ReadObjects(All).Objects) h.push_back(o.HeightTenths);
    return h;
  };
  EXPECT_EQ(heights(), (std::vector<std::int32_t>{0, 2600, -30, 0, 0, 20, 3450}));
  EXPECT_EQ(map->ReadObjects(All).Objects[5].Tags,
            (std::vector<std::pair<std::string, std::string>>{{"ele", "2"}, {"name", "a"}}));
  map->SetHeightTag("name");  // not numbers: no heights
  EXPECT_EQ(heights(), (std::vector<std::int32_t>(7, 0)));
  map->SetHeightTag("z");
  EXPECT_EQ(heights(), (std::vector<std::int32_t>{2505, 1000, 0, 0, 0, 0, 0}));
}

TEST(MapperRead, WhatMapperRefusesIsRefusedSayingWhat) {
  MapperMapBuilder b;
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101"});
  b.AddObject({.Symbol = 0, .Tags = {{"ele", "5"}}, .Coords = {{0, 0}, {1, 1}}});
  const std::string sound = b.Build();
  const auto replaced = [&](const std::string& from, const std::string& to) {
    return Replaced(sound, from, to);
  };
  const auto refusal = [](const std::string& text) -> std::string {
    try {
      MapperMap::Open(TextBytes(text));
      return "opened";
    } catch (const MapFormatError& e) {
      EXPECT_EQ(std::string(e.what()), mapper::kNotMapperMessage);
      return e.Detail();
    }
  };
  EXPECT_EQ(refusal(sound), "opened");
  const std::size_t end = sound.size();
  const struct {
    std::string Text;
    std::string Detail;
  } cases[] = {
      {replaced("symbol=\"0\"", "symbol=\"4294967296\""),
       "an object with the malformed symbol id \"4294967296\""},
      {replaced("symbol=\"0\"", "symbol=\"zero\""), "an object with the malformed symbol id \"zero\""},
      {sound + sound, "XML: an XML declaration at byte " + std::to_string(end) +
                          ", not at the start: two documents in one file"},
      {sound + "<map/>", "XML: a second root element at byte " + std::to_string(end) +
                             ": two documents in one file"},
      {sound + "x", "XML: text after the document's root element at byte " + std::to_string(end)},
      {replaced(">5<", ">&five;<"),
       "XML: the entity &five; which XML does not define at byte " +
           std::to_string(sound.find(">5<") + 1)},
      {replaced("k=\"ele\"", "k=\"e&le;\""),
       "XML: the entity &le; which XML does not define at byte " + std::to_string(sound.find("k=\"ele\"") + 4)},
      {replaced(">5<", ">&#0;<"),
       "XML: a character reference &#0; to no XML character at byte " +
           std::to_string(sound.find(">5<") + 1)},
      {replaced(">5<", ">5 & 6<"), "XML: an '&' that starts no reference at byte " +
                                        std::to_string(sound.find(">5<") + 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Detail);
    EXPECT_EQ(refusal(c.Text), c.Detail);
  }
  // What Mapper reads: the five entities of XML, character references, a symbol id that names
  // no symbol (the object has none), comments and blanks around the document.
  EXPECT_EQ(refusal(replaced(">5<", ">&#53;&amp;&lt;&gt;&quot;&apos;<")), "opened");
  EXPECT_EQ(refusal(replaced("symbol=\"0\"", "symbol=\"-7\"")), "opened");
  EXPECT_EQ(refusal(sound + "\n<!-- end -->\n"), "opened");
  EXPECT_EQ(MapperMap::Open(TextBytes(replaced("symbol=\"0\"", "symbol=\"-7\"")))
                ->ReadObjects(All).Objects[0].Symbol,
            0);
}

TEST(MapperRead, EveryHeightOfTenthsIn32BitsAndNoneWithoutANumber) {
  MapperMapBuilder b;
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101"});
  for (const char* value : {"3276.7", "3276.8", "3375", "-3276.9", "0", "-0.04", "214748364",
                            "214748365", "nan", "inf", "1e400", "12,5", ""})
    b.AddObject({.Symbol = 0, .Tags = {{"ele", value}}, .Coords = {{0, 0}}});
  std::vector<std::optional<std::int32_t>> heights;
  for (const FormatObject& o : Open(b)->ReadObjects(All).Objects)
    heights.push_back(o.HasHeight ? std::optional(o.HeightTenths) : std::nullopt);
  const std::optional<std::int32_t> none;
  EXPECT_EQ(heights, (std::vector<std::optional<std::int32_t>>{
                         32767, 32768, 33750, -32769, 0, 0, 2147483640, none, none, none, none,
                         none, none}));
}

TEST(MapperRead, TheUsualHeightKeysInTheirOrder) {
  MapperMapBuilder b;
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101"});
  b.AddObject({.Symbol = 0, .Tags = {{"height", "1"}, {"Elevation", "2"}}, .Coords = {{0, 0}}});
  b.AddObject({.Symbol = 0, .Tags = {{"height", "1"}}, .Coords = {{0, 0}}});
  EXPECT_EQ(Open(b)->HeightTag(), "Elevation");
  b.AddObject({.Symbol = 0, .Tags = {{"ele", "1"}}, .Coords = {{0, 0}}});
  EXPECT_EQ(Open(b)->HeightTag(), "Elevation");
  MapperMapBuilder none;
  none.AddSymbol({.Id = 0, .Type = 2, .Code = "101"});
  none.AddObject({.Symbol = 0, .Tags = {{"f321610", "1"}}, .Coords = {{0, 0}}});
  EXPECT_EQ(Open(none)->HeightTag(), "Elevation");
}

TEST(MapperRead, GeoreferencingWithAPaperReferencePointAndAnEpsgCode) {
  MapperMapBuilder b;
  b.Scale(15000).Georeferencing(
      " grid_scale_factor=\"0.9996\" declination=\"3\" grivation=\"-2.5\"",
      "<ref_point x=\"10\" y=\"-20\"/><projected_crs id=\"EPSG\"><spec language=\"PROJ.4\">"
      "+init=epsg:25833</spec><parameter>25833</parameter><ref_point x=\"400000\" "
      "y=\"6000000\"/></projected_crs>");
  const auto map = Open(b);
  EXPECT_EQ(map->Info().Scale, 15000.0);
  const Georeferencing& g = map->Info().Georef;
  ASSERT_TRUE(g.Known);
  EXPECT_EQ(std::tie(g.EpsgCode, g.CrsName, g.CrsDefinition),
            std::tuple(25833, "EPSG:25833", "+init=epsg:25833"));
  // The paper point 10 mm right and 20 mm up lies 150 m east and 300 m north of the origin on
  // the ground: it is the reference point.
  const Georeferencing::Point ref = g.ToProjected(150, 300);
  EXPECT_NEAR(ref.Easting, 400000, 1e-6);
  EXPECT_NEAR(ref.Northing, 6000000, 1e-6);
  // 1000 m up the paper: 0.9996 times that, turned 2.5 degrees west of grid north.
  const Georeferencing::Point up = g.ToProjected(150, 1300);
  const double a = 2.5 * std::numbers::pi / 180;
  EXPECT_NEAR(up.Easting, 400000 - 999.6 * std::sin(a), 1e-6);
  EXPECT_NEAR(up.Northing, 6000000 + 999.6 * std::cos(a), 1e-6);

  MapperMapBuilder local;
  local.Georeferencing("", "<projected_crs id=\"Local\"><ref_point x=\"1\" y=\"2\"/></projected_crs>");
  EXPECT_FALSE(Open(local)->Info().Georef.Known);
  MapperMapBuilder south;
  south.Georeferencing("", "<projected_crs id=\"UTM\"><parameter>33 S</parameter><ref_point x=\"1\" y=\"2\"/></projected_crs>");
  EXPECT_EQ(Open(south)->Info().Georef.EpsgCode, 32733);
  EXPECT_EQ(Open(south)->Info().Georef.CrsName, "UTM 33S");
}

}  // namespace
}  // namespace terrak
