// Heights at or below 0 m and above 3276.7 m: each format keeps what its field holds, with "has a
// height" apart from the value, and says plainly what it cannot hold.
#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "common/bytes.h"
#include "common/numtext.h"
#include "mapfile/height_field.h"
#include "mapfile/map_reader.h"
#include "mapfile/map_writer.h"
#include "map_files.h"
#include "mapbuild/ocad_build9.h"

namespace terrak {
namespace {

using namespace terrak::testing;

// Three contours of the given stored heights.
OcadMapBuilder Contours(int version, std::array<std::int32_t, 3> heights) {
  OcadMapBuilder b(version);
  b.AddSymbol(101, 2, "Contour");
  for (int i = 0; i < 3; ++i) {
    const auto height = heights[static_cast<std::size_t>(i)];
    if (version == 5)
      b.AddObject(Object5{.Symbol = 101, .Height = static_cast<std::int16_t>(height),
                          .Pairs = {{static_cast<std::int16_t>(i), 0}, {100, 100}}});
    else
      b.AddObject(Object6{.Symbol = 101, .Height = height,
                          .Points = {CodedPoint::At(i, 0), CodedPoint::At(100, 100)}});
  }
  return b;
}

std::vector<std::optional<std::int32_t>> HeightsOf(const MapModel& model) {
  std::vector<std::optional<std::int32_t>> heights;
  for (std::size_t i = 0; i < model.MapObjects.size(); ++i) {
    const TMapObject& o = model.MapObjects[i];
    EXPECT_EQ(o.HasHeight, model.ObjectCoords[i].HasHeight);
    EXPECT_EQ(o.Height, model.ObjectCoords[i].Height);
    heights.push_back(o.HasHeight ? std::optional(o.Height) : std::nullopt);
  }
  return heights;
}

std::int32_t FieldAt(const std::string& file, const ObjectLayout& object) {
  return GetI32(ReadBytes(file).data() + object.FilePos + 12);
}

constexpr std::optional<std::int32_t> kNone;

TEST(HeightRange, OcadFiveToSevenHoldPositiveHeightsOnlyAndSaySo) {
  for (int version : {5, 6, 7}) {
    SCOPED_TRACE(version);
    MapFiles files;
    OcadMapBuilder b = Contours(version, {77, 0, -5});
    ASSERT_EQ(files.Open(b), OpenResult::Opened);
    files.Read({101});
    // 0 is "no height", and a value below it is none either.
    EXPECT_EQ(HeightsOf(files.Model), (std::vector{std::optional(77), kNone, kNone}));
    EXPECT_EQ(files.Model.MapObjects[2].Height, -5);  // kept as the field holds it

    for (std::int64_t held : {1, 32767}) EXPECT_FALSE(HeightNotHeldMessage(files.Model, held));
    for (std::int64_t refused : {0, -50, 32768}) EXPECT_TRUE(HeightNotHeldMessage(files.Model, refused));
    EXPECT_EQ(*HeightNotHeldMessage(files.Model, -50),
              "A height of -5.0 m cannot be kept in this map: an OCAD " + std::to_string(version) +
                  " map holds heights from 0.1 m to 3276.7 m only, as its height field keeps 0 for "
                  "\"no height\"");
  }
}

TEST(HeightRange, OcadEightHoldsZeroNegativeAndHeightsBeyondSixteenBits) {
  MapFiles files;
  OcadMapBuilder b = Contours(8, {0, 33750, -50});
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  files.Read({101});
  EXPECT_EQ(HeightsOf(files.Model), (std::vector{kNone, std::optional(33750), std::optional(-50)}));
  for (std::int64_t held : {-50, 0, 33750, 2147483647})
    EXPECT_FALSE(HeightNotHeldMessage(files.Model, held));

  WriteTracedHeights(files.Model, files.WorkingCopy, {0}, 0);
  WriteTracedHeights(files.Model, files.WorkingCopy, {1}, -50);
  WriteTracedHeights(files.Model, files.WorkingCopy, {2}, 33760);
  const std::vector<std::optional<std::int32_t>> given{0, -50, 33760};
  EXPECT_EQ(HeightsOf(files.Model), given);
  // 0 m is the one value no height takes; the others are the tenths themselves.
  EXPECT_EQ(FieldAt(files.WorkingCopy, b.Layout().Objects[0]), kOcad8ZeroMetres);
  EXPECT_EQ(FieldAt(files.WorkingCopy, b.Layout().Objects[1]), -50);
  EXPECT_EQ(FieldAt(files.WorkingCopy, b.Layout().Objects[2]), 33760);
  ReadObjects(files.Model, files.WorkingCopy);
  EXPECT_EQ(HeightsOf(files.Model), given);

  ClearAllHeights(files.Model, files.WorkingCopy, files.Dialogs);
  EXPECT_EQ(HeightsOf(files.Model), (std::vector{kNone, kNone, kNone}));
  EXPECT_EQ(FieldAt(files.WorkingCopy, b.Layout().Objects[0]), 0);
  ReadObjects(files.Model, files.WorkingCopy);
  EXPECT_EQ(HeightsOf(files.Model), (std::vector{kNone, kNone, kNone}));
}

TEST(HeightRange, TodaysFormatsHoldWhatTheirFieldHolds) {
  for (const auto& [version, highest] : {std::pair{10, 21474836}, {11, 83886}, {12, 83886}}) {
    SCOPED_TRACE(version);
    Ocad9MapBuilder b(version);
    b.ScaleParameters("\tm10000");
    b.AddSymbol({101000, 2, "Contour"});
    b.AddObject({.Symbol = 101000, .Points = {CodedPoint::At(0, 0), CodedPoint::At(10, 10)}});
    MapFiles files;
    ASSERT_EQ(files.Open(b), OpenResult::Opened);
    files.Read({101000});
    EXPECT_EQ(HeightsOf(files.Model), (std::vector{kNone}));
    for (const std::int32_t held : {-highest, 0, 33750, highest})
      EXPECT_FALSE(HeightNotHeldMessage(files.Model, held)) << held;
    EXPECT_EQ(*HeightNotHeldMessage(files.Model, highest + 1),
              "A height of " + FormatFixed((highest + 1) / 10.0, 0, 1) +
                  " m cannot be kept in this map: an OCAD " + std::to_string(version) +
                  " map holds heights from " + FormatFixed(-highest / 10.0, 0, 1) + " m to " +
                  FormatFixed(highest / 10.0, 0, 1) + " m only");
    // 0 m and 3375 m through the working copy, and back.
    for (const std::int32_t height : {0, 33750}) {
      WriteTracedHeights(files.Model, files.WorkingCopy, {0}, height);
      ReadObjects(files.Model, files.WorkingCopy);
      EXPECT_EQ(HeightsOf(files.Model), (std::vector{std::optional(height)}));
    }
  }
}

}  // namespace
}  // namespace terrak
