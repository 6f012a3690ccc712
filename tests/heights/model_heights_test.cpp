// Between the model and the heights core: objects in ground metres with curves flattened, and
// heights written through the map's own writing, undone byte for byte.
#include <gtest/gtest.h>

#include "heights/model_heights.h"
#include "mapfile/map_reader.h"
#include "mapfile/map_writer.h"
#include "../mapfile/map_files.h"
#include "mainwindow/model_objects.h"
#include "mapfile/ocad_points.h"

namespace terrak::heights {
namespace {

using namespace terrak::testing;

TEST(ModelHeights, ObjectsInGroundMetresWithCurvesFlattenedAndRolesFromTheirSymbols) {
  MapModel model;
  model.MapScale = 10000;  // 56693 units are a metre of paper, 10 km of ground
  // A straight piece, then a curve: marker, two control points, the end.
  AddObject(model, 101, 2,
            {{0, 0}, {5669, 0}, {kMarkCurve, 0}, {5669, 5669}, {11339, 5669}, {11339, 0}}, 1055);
  AddObject(model, 101, 3, {{0, 0}, {100, 0}, {100, 100}});  // an area of a contour symbol
  AddObject(model, 405, 2, {{0, 0}, {100, 0}});
  AddObject(model, 101, 5, {{0, 0}, {100, 0}}, 1000);  // a rectangle of a contour symbol: drawn, no contour
  const ContourRoles roles{.Contours = {101}, .IndexContours = {}, .FormLines = {}, .SlopeLines = {}};
  const HeightMap map = HeightMapFromModel(model, roles, 10);

  ASSERT_EQ(map.Objects.size(), 4u);
  const HeightObject& contour = map.Objects[0];
  EXPECT_EQ(contour.Role, ContourRole::Contour);
  EXPECT_EQ(contour.Height, Metres(105.5));
  // 5669 units are 100 mm of paper, 1 km of ground; the curve ends 2 km east, its middle
  // bulges three quarters of its control points' 1 km north.
  const double km = 5669 * 10000 / 56693.0;
  ASSERT_EQ(contour.Points.size(), 2u + 8u);
  EXPECT_NEAR(contour.Points[1].X, km, 1e-6);
  EXPECT_NEAR(contour.Points.back().X, 2 * km + 10000 / 56693.0, 1e-6);
  EXPECT_NEAR(contour.Points.back().Y, 0.0, 1e-6);
  EXPECT_NEAR(contour.Points[1 + 4].Y, 0.75 * km, 1e-6);
  // A quarter of the way along, the curve keeps near its first control point (27 + 27 of 64
  // parts of its start's x, 9 + 1 of its end's).
  EXPECT_NEAR(contour.Points[1 + 2].X, (54 * 5669 + 10 * 11339) / 64.0 * 10000 / 56693.0, 1e-6);
  EXPECT_EQ(std::tuple(map.Objects[1].Role, map.Objects[2].Role, map.Objects[3].Role),
            std::tuple(ContourRole::None, ContourRole::None, ContourRole::None));
  EXPECT_NEAR(map.MetresPerPaperMm, 10.0, 1e-9);
  EXPECT_NEAR(map.JoinTolerance, 10 * 10000 / 56693.0, 1e-9);
  const TPair back = ModelPosition(model, contour.Points.back());
  EXPECT_EQ(back, (TPair{11339, 0}));
}

TEST(ModelHeights, ChangesGoThroughTheMapsHeightWritingAndUndoLeavesTheWorkingCopyAsItWas) {
  OcadMapBuilder b(6);
  b.AddSymbol(101, 2, "Contour");
  for (std::int32_t i = 0; i < 3; ++i)
    b.AddObject(Object6{.Symbol = 101, .Height = i == 0 ? 1000 : 0,
                        .Points = {CodedPoint::At(i * 100, 0), CodedPoint::At(i * 100, 500)}});
  MapFiles files;
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  files.Select({101});
  ReadObjects(files.Model, files.WorkingCopy);
  const std::vector<std::uint8_t> before = ReadBytes(files.WorkingCopy);

  const HeightChanges changes = {{1, {}, Metres(105)}, {2, {}, Metres(110)},
                                 {0, Metres(100), Metres(4000)}};  // beyond the 16-bit tenths
  const HeightChanges unwritten = WriteHeightChanges(files.Model, files.WorkingCopy, changes);
  ASSERT_EQ(unwritten.size(), 1u);
  EXPECT_EQ(unwritten[0].Object, 0);
  EXPECT_EQ(files.Model.MapObjects[1].Height, 1050);
  EXPECT_EQ(files.Model.MapObjects[2].Height, 1100);
  EXPECT_EQ(files.Model.MapObjects[0].Height, 1000);
  ReadObjects(files.Model, files.WorkingCopy);
  EXPECT_EQ(files.Model.MapObjects[2].Height, 1100);

  // Taking back what was written restores every byte.
  HeightChanges written(changes.begin(), changes.begin() + 2);
  EXPECT_TRUE(WriteHeightChanges(files.Model, files.WorkingCopy, Undoing(written)).empty());
  EXPECT_EQ(ReadBytes(files.WorkingCopy), before);
}

}  // namespace
}  // namespace terrak::heights
