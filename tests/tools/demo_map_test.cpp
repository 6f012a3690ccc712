#include "mapbuild/demo_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "common/bytes.h"
#include "common/colour.h"
#include "mapfile/map_files.h"
#include "mapfile/map_reader.h"
#include "mapbuild/demo_image.h"

namespace terrak::testing {
namespace {

bool IsContour(const DemoObject& object) {
  return object.Symbol == kDemoContour || object.Symbol == kDemoIndexContour;
}

TEST(DemoMap, ContoursLieAtTheHeightsTheyClaimOnTheirOwnSymbols) {
  for (std::uint32_t seed : {1u, 2u, 3u}) {
    DemoMapOptions options;
    options.Seed = seed;
    const DemoMap map = MakeDemoMap(options);
    int withHeight = 0, without = 0, index = 0;
    for (const DemoObject& object : map.Objects) {
      if (!IsContour(object)) continue;
      ASSERT_EQ(object.Parts.size(), 1u);
      ASSERT_GE(object.Parts[0].size(), 2u);
      ASSERT_LE(object.Parts[0].size(), options.MaxPoints);
      if (object.Height == 0) {
        ++without;
        continue;
      }
      ++withHeight;
      const double level = object.Height / 10.0;
      EXPECT_DOUBLE_EQ(std::remainder(level, 5), 0);
      const bool isIndex = std::remainder(level, 25) == 0;
      EXPECT_EQ(object.Symbol, isIndex ? kDemoIndexContour : kDemoContour) << level;
      index += isIndex;
      for (const GroundPoint& p : object.Parts[0])
        ASSERT_NEAR(TerrainHeight(map.Terrain, p.X, p.Y), level, 0.1) << "seed " << seed;
    }
    EXPECT_GT(withHeight, 30);
    EXPECT_GT(index, 3);
    EXPECT_GT(without, 0);
    EXPECT_LT(without * 5, withHeight);
  }
}

TEST(DemoMap, EverythingLiesInsideTheFrameAndLongLinesJoinEndToEnd) {
  DemoMapOptions options;
  options.Width = 700;
  options.Depth = 300;
  options.MaxPoints = 40;  // forces lines to be cut
  const DemoMap map = MakeDemoMap(options);
  int frames = 0, lakes = 0, forests = 0, holes = 0, texts = 0;
  for (const DemoObject& object : map.Objects) {
    frames += object.Symbol == kDemoFrame;
    lakes += object.Symbol == kDemoLake && object.ObjectType == 3;
    forests += object.Symbol == kDemoForest && object.ObjectType == 3;
    holes += object.Symbol == kDemoForest && object.Parts.size() > 1;
    texts += object.ObjectType == 4 && !object.Text.empty();
    for (const auto& part : object.Parts)
      for (const GroundPoint& p : part)
        EXPECT_TRUE(p.X >= 0 && p.X <= 700 && p.Y >= 0 && p.Y <= 300) << p.X << "," << p.Y;
  }
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(lakes, 1);
  EXPECT_GE(forests, 2);
  EXPECT_EQ(holes, 1);
  EXPECT_EQ(texts, 1);

  // Consecutive pieces of one level either continue each other or start a new line.
  int continued = 0;
  for (std::size_t k = 1; k < map.Objects.size(); ++k) {
    const DemoObject& a = map.Objects[k - 1];
    const DemoObject& b = map.Objects[k];
    if (!IsContour(a) || !IsContour(b) || a.Height != b.Height || a.Height == 0) continue;
    if (a.Parts[0].size() == options.MaxPoints && a.Parts[0].back() == b.Parts[0].front())
      ++continued;
  }
  EXPECT_GT(continued, 5);
}

// Reads the points of object i back out of the built file, in metres from the south-west corner.
std::vector<GroundPoint> StoredPoints(const std::vector<std::uint8_t>& file,
                                      const OcadLayout& layout, std::size_t i, int version,
                                      double scale, const DemoMap& map) {
  std::vector<GroundPoint> points;
  const std::uint8_t* object = &file.at(layout.Objects[i].FilePos);
  const int n = GetI16(object + 4);
  for (int k = 0; k < n; ++k) {
    if (version == 5) {
      const std::int16_t x = GetI16(object + 12 + 4 * k), y = GetI16(object + 14 + 4 * k);
      if (x <= kHighestMarker) continue;
      points.push_back(
          {x * scale / 56693 + map.Options.Width / 2, y * scale / 56693 + map.Options.Depth / 2});
    } else {
      const std::int32_t x = GetI32(object + 32 + 8 * k), y = GetI32(object + 36 + 8 * k);
      points.push_back({PositionOf(x) * scale / 100000 + map.Options.Width / 2,
                        PositionOf(y) * scale / 100000 + map.Options.Depth / 2});
    }
  }
  return points;
}

TEST(DemoMap, WrittenMapsCarryTheContoursAtTheirHeightsCentredOnTheOrigin) {
  const DemoMap map = MakeDemoMap({});
  for (int version : {5, 6, 7}) {
    const double scale = version == 7 ? 15000 : 10000;
    OcadMapBuilder builder = DemoMapBuilder(map, version, scale);
    const std::vector<std::uint8_t> file = builder.Build();
    const OcadLayout& layout = builder.Layout();
    ASSERT_EQ(layout.Objects.size(), map.Objects.size());
    if (version != 5) {  // the setup record ends the file, as in maps saved by OCAD
      EXPECT_EQ(layout.SetupPos + layout.SetupSize, static_cast<std::int64_t>(file.size()));
    }
    // Model units are 1.76 cm on paper at 1:10000, so a point may move by ~0.2 m of slope.
    const double tolerance = version == 5 ? 0.4 : 0.3;
    for (std::size_t i = 0; i < map.Objects.size(); ++i) {
      const DemoObject& object = map.Objects[i];
      const std::uint8_t* stored = &file.at(layout.Objects[i].FilePos);
      EXPECT_EQ(GetI16(stored), object.Symbol);
      const std::int32_t height = version == 5 ? GetI16(stored + 10) : GetI32(stored + 12);
      EXPECT_EQ(height, object.Height);
      if (!IsContour(object) || object.Height == 0) continue;
      for (const GroundPoint& p : StoredPoints(file, layout, i, version, scale, map))
        ASSERT_NEAR(TerrainHeight(map.Terrain, p.X, p.Y), object.Height / 10.0, tolerance)
            << "version " << version;
    }
    // The frame spans the map symmetrically about the origin.
    const std::size_t frame = map.Objects.size() - 2;
    ASSERT_EQ(map.Objects[frame].Symbol, kDemoFrame);
    const std::int64_t entry = layout.Objects[frame].IndexPos;
    if (version == 5) {
      EXPECT_EQ(GetI16(&file.at(entry)), -ModelUnits(250, scale));
      EXPECT_EQ(GetI16(&file.at(entry + 6)), ModelUnits(200, scale));
    } else {
      EXPECT_EQ(GetI32(&file.at(entry)), Coded(static_cast<std::int32_t>(-Hundredths(250, scale))));
      EXPECT_EQ(GetI32(&file.at(entry + 12)),
                Coded(static_cast<std::int32_t>(Hundredths(200, scale))));
    }
  }
  EXPECT_THROW(MakeDemoMap({.Width = 5}), std::invalid_argument);
  // 12 km across at 1:10000 would leave the 16-bit coordinate range.
  EXPECT_THROW(DemoMapBuilder(MakeDemoMap({.Width = 12000, .Depth = 20}), 6, 10000),
               std::invalid_argument);
}

// The demo map as the program reads it: every symbol selected.
MapModel ReadDemo(OcadMapBuilder& builder, const DemoMap& map) {
  MapFiles files;
  EXPECT_EQ(files.Open(builder), OpenResult::Opened);
  files.Model.SelectedSymbols.clear();
  for (const SymbolSpec& symbol : map.Symbols)
    files.Model.SelectedSymbols.push_back({symbol.Number, 0});
  files.Model.SymbolsSelected = true;
  ReadObjects(files.Model, files.WorkingCopy);
  return files.Model;
}

// What other map programs need (colours, drawings, the longer setup record) lies in bytes that
// the program does not read: with and without it, the program reads the same map. And the
// title stays inside the frame, so the map's extent is the frame's.
TEST(DemoMap, ColoursAndDrawingsLeaveTheProgramsReadingAloneAndTheTitleInsideTheFrame) {
  const struct {
    double Width, Depth, Scale;
    int Version;
  } cases[] = {{500, 400, 10000, 6}, {900, 300, 15000, 7}, {60, 40, 15000, 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.Width << " x " << c.Depth << " m at 1:" << c.Scale
                                      << ", version " << c.Version);
    const DemoMap map = MakeDemoMap({.Width = c.Width, .Depth = c.Depth});
    DemoMap bare = map;
    bare.Colours.clear();
    for (SymbolSpec& symbol : bare.Symbols) symbol.Drawing.reset();
    OcadMapBuilder real = DemoMapBuilder(map, c.Version, c.Scale);
    OcadMapBuilder plain = DemoMapBuilder(bare, c.Version, c.Scale);
    plain.SetupSize(c.Version == 7 ? kSetup7DefaultSize : kSetup6DefaultSize);
    const MapModel a = ReadDemo(real, map);
    const MapModel b = ReadDemo(plain, bare);
    EXPECT_GT(real.Layout().ColourTablePos, 0);
    EXPECT_EQ(plain.Layout().ColourTablePos, 0);
    // The setup record ends the file and is as long as readers of version 8 layout take it.
    EXPECT_EQ(real.Layout().SetupPos + kSetup8Size, real.Layout().FileSize);

    EXPECT_EQ(a.MapScale, c.Scale);
    EXPECT_EQ(std::tie(a.MapScale, a.MapZoom, a.MapOffsetX, a.MapOffsetY),
              std::tie(b.MapScale, b.MapZoom, b.MapOffsetX, b.MapOffsetY));
    ASSERT_EQ(a.SymbolList.size(), b.SymbolList.size());
    for (std::size_t i = 0; i < a.SymbolList.size(); ++i)
      EXPECT_EQ(std::tie(a.SymbolList[i].Symbol, a.SymbolList[i].Text, a.SymbolList[i].ObjectType),
                std::tie(b.SymbolList[i].Symbol, b.SymbolList[i].Text, b.SymbolList[i].ObjectType));
    ASSERT_EQ(a.MapObjects.size(), map.Objects.size());
    ASSERT_EQ(a.MapObjects.size(), b.MapObjects.size());
    for (std::size_t i = 0; i < a.MapObjects.size(); ++i) {
      const TMapObject &x = a.MapObjects[i], &y = b.MapObjects[i];
      EXPECT_EQ(std::tie(x.MinX, x.MinY, x.MaxX, x.MaxY, x.Symbol, x.ObjectType, x.Height),
                std::tie(y.MinX, y.MinY, y.MaxX, y.MaxY, y.Symbol, y.ObjectType, y.Height))
          << "object " << i;
      EXPECT_EQ(a.ObjectCoords[i].Points, b.ObjectCoords[i].Points) << "object " << i;
    }
    EXPECT_EQ(std::tie(a.MapMinX, a.MapMinY, a.MapMaxX, a.MapMaxY),
              std::tie(b.MapMinX, b.MapMinY, b.MapMaxX, b.MapMaxY));

    const std::size_t frame = map.Objects.size() - 2;
    ASSERT_EQ(a.MapObjects[frame].Symbol, kDemoFrame);
    const TMapObject& f = a.MapObjects[frame];
    EXPECT_EQ(std::tie(a.MapMinX, a.MapMinY, a.MapMaxX, a.MapMaxY),
              std::tie(f.MinX, f.MinY, f.MaxX, f.MaxY));
  }
}

// The title as OCAD and other readers take it: an anchor and the four corners of its box, the
// text right after the coordinates, counted in nText; its font shrinks on maps too small for it.
TEST(DemoMap, TheTitleIsAnAnchorWithItsTextBoxAndTheTextAfterTheCoordinates) {
  for (const double depth : {400.0, 60.0}) {
    const DemoMap map = MakeDemoMap({.Width = 500, .Depth = depth});
    OcadMapBuilder builder = DemoMapBuilder(map, 6, 10000);
    const std::vector<std::uint8_t> file = builder.Build();
    const OcadLayout& layout = builder.Layout();
    const std::uint8_t* title = &file.at(layout.Objects.back().FilePos);
    ASSERT_EQ(GetI16(title), kDemoTitle);
    ASSERT_EQ(GetI16(title + 4), 5);
    EXPECT_EQ(GetI16(title + 6), 2);  // "Terrak demo map" and its zero in two 8-byte units
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(title + 32 + 5 * 8)), "Terrak demo map");
    auto x = [&](int k) { return PositionOf(GetI32(title + 32 + 8 * k)); };
    auto y = [&](int k) { return PositionOf(GetI32(title + 36 + 8 * k)); };
    // The anchor, then lower left, lower right, upper right, upper left.
    EXPECT_TRUE(x(1) == x(0) && y(1) < y(0) && y(2) == y(1) && x(2) > x(0)) << x(2) << "," << y(1);
    EXPECT_TRUE(x(3) == x(2) && y(3) > y(0) && x(4) == x(0) && y(4) == y(3)) << x(3) << "," << y(3);
    // The font: 6 pt, 2.117 mm high on paper, on the 400 m map; a smaller one on the 60 m map,
    // whose frame leaves 3.6 m (0.36 mm) above the anchor.
    const std::int64_t titleRecord = layout.SymbolRecords.back();
    const std::int16_t fontSize = GetI16(&file.at(titleRecord + 382));
    const double boxHeight = (y(3) - y(0)) / 100.0;  // millimetres on paper
    if (depth == 400) {
      EXPECT_EQ(fontSize, 60);
      EXPECT_NEAR(boxHeight, 2.117, 0.01);
    } else {
      EXPECT_EQ(fontSize, 10);
      EXPECT_LE(boxHeight, 0.36);
    }
  }
}

}  // namespace
}  // namespace terrak::testing
