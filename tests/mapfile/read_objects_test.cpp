// Reading the objects of the selected symbols: selection, file order, the index's extents, the
// coordinate lists with their markers, and the map extent over every object.
#include <gtest/gtest.h>

#include <tuple>

#include "common/bytes.h"
#include "mapfile/map_reader.h"
#include "map_files.h"

namespace terrak {
namespace {

using namespace terrak::testing;

TEST(ReadObjects5, SelectedObjectsInFileOrderWithTheirIndexFieldsAndPairs) {
  OcadMapBuilder b(5);
  b.AddSymbol(101, 2, "Contour");
  b.AddSymbol(102, 2, "Index contour");
  b.AddObject(Object5{.Symbol = 101, .Height = 1000,
                      .Pairs = {{10, 20}, {kMarkCurve, kMarkCurve}, {30, 40}, {50, 60}, {70, 80}}});
  b.AddObject(Object5{.Symbol = 102, .Pairs = {{-500, -600}, {900, 800}}});
  b.AddEmptyEntry();
  b.AddObject(Object5{.Symbol = 101, .Pairs = {{1, 1}, {2, 2}}, .IndexLength = 0});  // deleted
  b.AddObject(Object5{.Symbol = 101, .ObjectType = 4, .Pairs = {{5, 5}}, .Text = "Top"});
  b.AddObject(Object5{.Symbol = 101, .Pairs = {{3, 3}, {4, 4}},
                      .Extent = IndexExtent{0, 1, 2, 3}});
  MapFiles files;
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  files.Read({101});
  const MapModel& m = files.Model;

  ASSERT_EQ(m.MapObjects.size(), 3u);
  ASSERT_EQ(m.ObjectCoords.size(), 3u);
  const TMapObject& first = m.MapObjects[0];
  EXPECT_EQ(std::tie(first.Symbol, first.Height, first.ObjectType, first.Key),
            std::tuple(101, 1000, 2, 1));  // the key: the index record
  EXPECT_TRUE(first.FirstPoint == (TPair{10, 20}) && first.LastPoint == (TPair{70, 80}));
  EXPECT_EQ(std::tie(first.MinX, first.MinY, first.MaxX, first.MaxY), std::tuple(10, 20, 70, 80));
  // The curve marker becomes the flags of the two control points after it.
  EXPECT_EQ(m.ObjectCoords[0].Count, 4);
  EXPECT_EQ(m.ObjectCoords[0].Points[1], (ModelPoint{30, 40, point_flag::kFirstControl}));
  EXPECT_EQ(m.ObjectCoords[0].Points[2], (ModelPoint{50, 60, point_flag::kSecondControl}));
  EXPECT_EQ(m.MapObjects[1].ObjectType, 4);
  EXPECT_EQ(m.ObjectCoords[1].Count, 2);  // the point, then "Top" and its zero in one pair
  EXPECT_EQ(m.MapObjects[2].Key, 6);
  EXPECT_EQ(m.MapObjects[2].MaxY, 3);  // extents come from the index, not the pairs
  // The map extent covers every object, selected or not; deleted records count for nothing.
  EXPECT_EQ(std::tie(m.MapMinX, m.MapMinY, m.MapMaxX, m.MapMaxY, m.MapWidth, m.MapHeight),
            std::tuple(-500, -600, 900, 800, 1400, 1400));
}

TEST(ReadObjects5, ADataStartBelow48HasNoIndex) {
  OcadMapBuilder b(5);
  b.AddSymbol(101, 2, "Contour");
  MapFiles files;
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  EXPECT_EQ(GetI32(ReadBytes(files.Map).data() + 8), 24);  // the data start
  files.Read({101});
  EXPECT_TRUE(files.Model.MapObjects.empty());
  EXPECT_EQ(files.Model.MapMinX, 999999999);
}

TEST(ReadObjects6, EntriesBlocksAndTheConvertedExtents) {
  OcadMapBuilder b(6);
  b.AddSymbol(101, 2, "Contour");
  b.AddSymbol(102, 2, "Index contour");
  for (int i = 0; i < 300; ++i)
    b.AddObject(Object6{.Symbol = static_cast<std::int16_t>(i % 3 == 0 ? 102 : 101),
                        .Height = i,
                        .Points = {CodedPoint::At(i * 10, 0), CodedPoint::At(i * 10 + 5, 1000)}});
  b.AddObject(Object6{.Symbol = 101, .Points = {CodedPoint::At(0, 0), CodedPoint::At(1, 1)},
                      .IndexLength = 32});  // too short to hold an object
  b.AddObject(Object6{.Symbol = 101, .Points = {CodedPoint::At(0, 0), CodedPoint::At(1, 1)},
                      .IndexSymbol = 0});  // no object
  MapFiles files;
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  files.Read({102});
  const MapModel& m = files.Model;
  ASSERT_EQ(m.MapObjects.size(), 100u);
  ASSERT_EQ(b.Layout().IndexBlocks.size(), 2u);
  // The key is the file position of the object's index entry.
  EXPECT_EQ(m.MapObjects[0].Key, b.Layout().Objects[0].IndexPos);
  const TMapObject& inSecondBlock = m.MapObjects[86];  // object 258
  EXPECT_EQ(std::tie(inSecondBlock.Height, inSecondBlock.Key),
            std::make_tuple(258, b.Layout().Objects[258].IndexPos));
  EXPECT_GT(inSecondBlock.Key, b.Layout().IndexBlocks[1]);
  EXPECT_EQ(inSecondBlock.MinX, ConvertCoord6(Coded(2580)).Value);
  EXPECT_EQ(inSecondBlock.MaxY, ConvertCoord6(Coded(1000)).Value);
  EXPECT_EQ(m.ObjectCoords[86].Points[1].At(), (TPair{ConvertCoord6(Coded(2585)).Value,
                                                      ConvertCoord6(Coded(1000)).Value}));
  EXPECT_EQ(m.MapMaxX, ConvertCoord6(Coded(2995)).Value);
}

TEST(ReadObjects6, AGapInASymbolBlockEndsThatBlockOnly) {
  OcadMapBuilder b(7);
  b.AddSymbol(101, 2, "Contour");
  b.AddSymbolGap();
  b.AddSymbol(102, 2, "Hidden by the gap");
  b.StartNewSymbolBlock();
  b.AddSymbol(103, 2, "Next block");
  MapFiles files;
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  ASSERT_EQ(files.Model.SymbolList.size(), 2u);
  EXPECT_EQ(files.Model.SymbolList[1].Symbol, 103);
}

// (The map extent counts unselected objects too: ReadObjects6.EntriesBlocksAndTheConvertedExtents.)
TEST(ReadObjects, TheGridSpansTheLoadedObjectsOnlyAndWithoutAMapThereIsNothing) {
  MapModel model;
  const ModelExtent loaded = LoadedObjectsExtent(model);
  EXPECT_EQ(std::tuple(loaded.Width(), loaded.Height()), std::tuple(-1999999998, -1999999998));
  TMapObject a, b;
  a.MinX = -5, a.MinY = 3, a.MaxX = 10, a.MaxY = 20;
  b.MinX = 0, b.MinY = -7, b.MaxX = 40, b.MaxY = 8;
  model.MapObjects = {a, b};
  const ModelExtent grid = LoadedObjectsExtent(model);
  EXPECT_EQ(std::tuple(grid.MinX, grid.MinY, grid.MaxX, grid.MaxY, grid.Width(), grid.Height()),
            std::tuple(-5, -7, 40, 20, 45, 27));

  // Without an open map there is nothing to read.
  TempFolder folder;
  model.SelectedSymbols.push_back({101, 0});
  model.MapObjects.push_back({});
  model.ObjectCoords.push_back({});
  ReadObjects(model, folder.File("OCADCopy.tmp"));
  EXPECT_TRUE(model.MapObjects.empty());
  EXPECT_TRUE(model.ObjectCoords.empty());
}

}  // namespace
}  // namespace terrak
