#include "mapbuild/demo_map.h"

#include <gtest/gtest.h>

#include <cmath>

#include "mapfile/map_files.h"
#include "mapfile/map_reader.h"

namespace terrak::testing {
namespace {

bool IsContour(const DemoObject& object) {
  return object.Symbol == kDemoContour || object.Symbol == kDemoIndexContour;
}

TEST(DemoMap, ContoursLieAtTheHeightsTheyClaimOnTheirOwnSymbols) {
  for (std::uint32_t seed : {1u, 2u, 3u}) {
    const DemoMapOptions options{.Seed = seed};
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
  EXPECT_THROW(MakeDemoMap({.Width = 5}), std::invalid_argument);
  // 12 km across at 1:10000 would leave the 16-bit coordinate range.
  EXPECT_THROW(DemoMapBuilder(MakeDemoMap({.Width = 12000, .Depth = 20}), 6, 10000),
               std::invalid_argument);
}

// (That everything lies inside the frame: the map extent below is the frame's.)
TEST(DemoMap, LongLinesJoinEndToEnd) {
  // Short lines force the contours to be cut.
  const DemoMapOptions options{.Width = 700, .Depth = 300, .MaxPoints = 40};
  const DemoMap map = MakeDemoMap(options);
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

// What other map programs need (colours, drawings, the longer setup record) lies in bytes that
// the program does not read: with and without it, the program reads the same map, whose extent
// is the frame's.
TEST(DemoMap, ColoursAndDrawingsLeaveTheProgramsReadingAloneAndTheTitleInsideTheFrame) {
  for (const int version : {6, 7}) {
    const DemoMap map = MakeDemoMap({.Width = 60, .Depth = 40});
    DemoMap bare = map;
    bare.Colours.clear();
    for (SymbolSpec& symbol : bare.Symbols) symbol.Drawing.reset();
    OcadMapBuilder real = DemoMapBuilder(map, version, 15000);
    OcadMapBuilder plain = DemoMapBuilder(bare, version, 15000);
    plain.SetupSize(version == 7 ? kSetup7DefaultSize : kSetup6DefaultSize);
    MapModel models[2];
    for (int k = 0; k < 2; ++k) {
      MapFiles files;
      ASSERT_EQ(files.Open(k == 0 ? real : plain), OpenResult::Opened);
      std::vector<std::int32_t> every;
      for (const SymbolSpec& symbol : map.Symbols) every.push_back(symbol.Number);
      files.Read(every);
      models[k] = files.Model;
    }
    const MapModel &a = models[0], &b = models[1];
    EXPECT_EQ(real.Layout().SetupPos + kSetup8Size, real.Layout().FileSize);
    ASSERT_EQ(a.MapObjects.size(), map.Objects.size());
    ASSERT_EQ(a.MapObjects.size(), b.MapObjects.size());
    for (std::size_t i = 0; i < a.MapObjects.size(); ++i)
      EXPECT_EQ(a.ObjectCoords[i].Points, b.ObjectCoords[i].Points) << "object " << i;
    const TMapObject& f = a.MapObjects[map.Objects.size() - 2];
    ASSERT_EQ(f.Symbol, kDemoFrame);
    EXPECT_EQ(std::tie(a.MapMinX, a.MapMinY, a.MapMaxX, a.MapMaxY),
              std::tie(f.MinX, f.MinY, f.MaxX, f.MaxY));
  }
}

}  // namespace
}  // namespace terrak::testing
