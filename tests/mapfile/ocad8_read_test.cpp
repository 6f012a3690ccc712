// OCAD 8 maps through the first reader: index lengths in coordinate pairs, the type byte and the
// UTF-16 flag of its objects, texts right after the coordinates, a map Mapper wrote against its
// OCAD 9 twin, and the georeferencing of OCAD 6 to 8 from the setup record and OCAD 8's scale
// parameter string.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "mapfile/format_of_map.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_format_error.h"
#include "mapfile/map_writer.h"
#include "mapfile/setup_georeferencing.h"
#include "platform/file_stream.h"
#include "map_files.h"

namespace terrak {
namespace {

using namespace terrak::testing;

OcadMapBuilder WithContour(int version) {
  OcadMapBuilder b(version);
  b.AddSymbol(101, 2, "Contour");
  return b;
}

OcadMapBuilder Ocad8Map() {
  OcadMapBuilder b = WithContour(8);
  b.AddSymbol(401, 4, "Text");
  // The flag byte after a line's type: a version 6/7 reader would see type 0x0102.
  b.AddObject(Object6{.Symbol = 101, .ObjectType = 2, .Unicode = true, .Height = 2505,
                      .Points = {CodedPoint::At(0, 0), CodedPoint::At(100, 50)}});
  b.AddObject(Object6{.Symbol = 401, .ObjectType = 4, .Unicode = true,
                      .Points = {CodedPoint::At(10, 10)}, .Text = "Top"});
  b.AddObject(Object6{.Symbol = 401, .ObjectType = 4, .Points = {CodedPoint::At(10, 10)},
                      .Text = "Top"});
  return b;
}

TEST(Ocad8, HeightsAndSymbolsArePatchedAsInVersions6And7) {
  MapFiles files;
  OcadMapBuilder b = Ocad8Map();
  b.AddSymbol(102, 2, "Index contour");
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  files.Read({101, 102, 401});
  // The line's type byte without its flag; a UTF-16 text and the same text in bytes leave the
  // same points.
  EXPECT_EQ(std::tuple(files.Model.MapObjects[0].ObjectType, files.Model.MapObjects[0].Height,
                       files.Model.MapObjects[1].ObjectType),
            std::tuple(2, 2505, 4));
  EXPECT_EQ(files.Model.ObjectCoords[1].Points, files.Model.ObjectCoords[2].Points);
  const std::vector<std::uint8_t> before = ReadBytes(files.WorkingCopy);
  WriteTracedHeights(files.Model, files.WorkingCopy, {0}, -3);
  WriteObjectSymbols(files.Model, files.WorkingCopy, {0}, 102);
  const std::vector<std::uint8_t> after = ReadBytes(files.WorkingCopy);
  const auto object = static_cast<std::size_t>(b.Layout().Objects[0].FilePos);
  const auto entry = static_cast<std::size_t>(b.Layout().Objects[0].IndexPos);
  // Symbol 101 to 102 changes one byte in the index entry and one in the object; the height
  // -3 (was 2505) all four bytes of ResHeight. The type byte and its flag stay.
  EXPECT_EQ(DifferingBytes(before, after),
            (std::vector<std::size_t>{entry + 22, object, object + 12, object + 13, object + 14,
                                      object + 15}));
  EXPECT_EQ(std::tuple(after[object + 2], after[object + 3]), std::tuple(2, 1));
  ReadObjects(files.Model, files.WorkingCopy);
  EXPECT_EQ(files.Model.MapObjects[0].Height, -3);
  EXPECT_EQ(files.Model.MapObjects[0].Symbol, 102);
}

std::vector<CodedPoint> Line(int points) {
  std::vector<CodedPoint> line;
  for (int i = 0; i < points; ++i) line.push_back(CodedPoint::At(10 * i, (i % 2) * 20));
  return line;
}

TEST(Ocad8, TheIndexLengthCountsCoordinatePairsAndObjectsAreReadWithSignedCoordinates) {
  MapFiles files;
  OcadMapBuilder b = WithContour(8);
  b.AddSymbol(401, 4, "Text");
  b.AddObject(Object6{.Symbol = 101, .Points = Line(2)});
  b.AddObject(Object6{.Symbol = 101, .Points = Line(40)});
  b.AddObject(Object6{.Symbol = 401, .ObjectType = 4, .Unicode = true,
                      .Points = {CodedPoint::At(10, 10)}, .Text = "Hill"});
  // Room left in the record after the coordinates, as OCAD leaves it for an object to grow.
  b.AddObject(Object6{.Symbol = 101, .Points = Line(3), .PaddingBytes = 16});
  // Deleted: symbol 0 in the index. Empty: no pair at all.
  b.AddObject(Object6{.Symbol = 101, .Points = Line(2), .IndexSymbol = 0});
  b.AddObject(Object6{.Symbol = 101, .Points = {}, .IndexLength = 0});
  b.AddObject(Object6{.Symbol = 101, .Points = Line(32768)});  // more than 16 bits count
  b.AddObject(Object6{.Symbol = 101,
                      .Points = {CodedPoint::At(-1000, -2).Corner(), CodedPoint::At(-3, -1000)}});
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  const OcadLayout& layout = b.Layout();
  const std::vector<std::uint8_t> bytes = ReadBytes(files.Map);
  // 2 pairs; 40; a point and the text's 2 units (8 bytes of "Hill" in UTF-16 and 2 of its zero);
  // 3 pairs and 2 of room.
  for (const auto& [object, pairs] : {std::pair{0, 2}, {1, 40}, {2, 3}, {3, 5}})
    EXPECT_EQ(GetI16(bytes.data() + layout.Objects[static_cast<std::size_t>(object)].IndexPos + 20),
              pairs);
  files.Read({101, 401});
  const MapModel& m = files.Model;
  ASSERT_EQ(m.MapObjects.size(), 6u);
  // The text's units after its point are not points.
  EXPECT_EQ(std::tuple(m.ObjectCoords[0].Points.size(), m.ObjectCoords[1].Points.size(),
                       m.ObjectCoords[2].Points.size(), m.ObjectCoords[3].Points.size(),
                       m.ObjectCoords[4].Points.size()),
            std::tuple(2u, 40u, 1u, 3u, 32768u));
  // Coordinates are the upper 24 bits with their sign. Position -1 (0.01 mm) with a flag: OCAD 8
  // and every reader of it take -1, which the version 6/7 conversion truncates to 0
  // (ConvertCoord6.TruncatesBeforeScalingAndKeepsTheFlagByte).
  EXPECT_EQ(ConvertCoord8(Coded(1000, 3)).Value, 567);
  EXPECT_EQ(m.ObjectCoords[5].Points,
            (std::vector<ModelPoint>{{-567, -1, point_flag::kCorner}, {-2, -567, 0}}));
  EXPECT_EQ(std::tuple(m.MapObjects[5].MinX, m.MapObjects[5].MaxY), std::tuple(-567, -1));
  // Where a height and a symbol are written: Ocad8.HeightsAndSymbolsArePatchedAsInVersions6And7.
}

TEST(Ocad8, AnObjectLongerThanItsIndexLengthIsRefusedNamingTheFileAndTheFault) {
  MapFiles files;
  OcadMapBuilder b = WithContour(8);
  b.AddObject(Object6{.Symbol = 101, .Points = Line(5), .IndexLength = 4});
  EXPECT_EQ(files.Open(b), OpenResult::NotOcad);
  ASSERT_EQ(files.Dialogs.Messages.size(), 1u);
  EXPECT_EQ(files.Dialogs.Messages[0].Text,
            std::string(kNotOcadMessage) + "\n" + files.Map +
                ": object's coordinates and text run past its length (5 pairs in a record of 64 "
                "bytes at " +
                std::to_string(b.Layout().Objects[0].FilePos) + ")");
}

// Every object of the map Mapper wrote, with the symbol numbers of the twin's version.
struct ObjectsOfMap {
  std::vector<TMapObject> Objects;
  std::vector<TObjectCoords> Coords;
};

ObjectsOfMap ReadWholeMap(const std::string& file, const std::vector<std::int32_t>& symbols) {
  MapFiles files;
  EXPECT_EQ(files.OpenBytes(ReadBytes(file)), OpenResult::Opened) << file;
  files.Read(symbols);
  return {files.Model.MapObjects, files.Model.ObjectCoords};
}

TEST(Ocad8, AMapMapperWroteHasTheObjectsOfItsOcad9Twin) {
  const std::string data = std::string(TERRAK_SOURCE_DIR) + "/tests/data/ocad8/";
  // Contour, index contour, lake, forest, frame, title: OCAD 8 keeps ten times the number shown,
  // OCAD 9 a thousand times.
  const std::vector<std::int32_t> shown = {1010, 1020, 3010, 4050, 7990, 9900};
  std::vector<std::int32_t> nine;
  for (std::int32_t s : shown) nine.push_back(s * 100);
  const ObjectsOfMap eight = ReadWholeMap(data + "demo8.ocd", shown);
  const ObjectsOfMap twin = ReadWholeMap(data + "demo9.ocd", nine);
  ASSERT_EQ(eight.Objects.size(), 67u);  // 27 of them have fewer than 33 points
  ASSERT_EQ(twin.Objects.size(), eight.Objects.size());
  for (std::size_t i = 0; i < eight.Objects.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(std::tuple(eight.Objects[i].Symbol * 100, eight.Objects[i].ObjectType,
                         eight.Coords[i].Points, eight.Objects[i].MinX, eight.Objects[i].MaxY),
              std::tuple(twin.Objects[i].Symbol, twin.Objects[i].ObjectType, twin.Coords[i].Points,
                         twin.Objects[i].MinX, twin.Objects[i].MaxY));
  }
  // The title, a UTF-16 text, packs into the pairs as the twin's does.
  EXPECT_EQ(eight.Objects.back().ObjectType, 4);

  MapFiles files;
  ASSERT_EQ(files.OpenBytes(ReadBytes(data + "demo8.ocd")), OpenResult::Opened);
  EXPECT_EQ(files.Model.MapScale, 10000.0);
  ASSERT_EQ(files.Model.SymbolList.size(), 4u);  // the lake and the forest are areas
  EXPECT_EQ(files.Model.SymbolList[0].Text, "101.0 Contour");
  EXPECT_EQ(files.Model.SymbolList[3].Text, "990.0 Map title");
  EXPECT_FALSE(files.Model.Georef.Known);  // Mapper does not save it in OCAD 8
}

TEST(SetupGeoreferencing, TheSetupRecordPlacesOcad6To8MapsAndOcad8sStringWins) {
  for (int version : {6, 7, 8}) {
    MapFiles files;
    OcadMapBuilder b = WithContour(version);
    b.RealWorld(500000, 6000000, 90);
    ASSERT_EQ(files.Open(b), OpenResult::Opened) << version;
    const Georeferencing& g = files.Model.Georef;
    ASSERT_TRUE(g.Known) << version;
    EXPECT_EQ(g.ToProjected(0, 0).Easting, 500000);
    EXPECT_EQ(g.ToProjected(0, 0).Northing, 6000000);
    // The paper's up points 90 degrees clockwise of grid north, so the paper's right is south.
    EXPECT_NEAR(g.ToProjected(100, 0).Easting, 500000, 1e-9);
    EXPECT_NEAR(g.ToProjected(100, 0).Northing, 6000000 - 100, 1e-9);
    EXPECT_NEAR(g.ToProjected(0, 100).Easting, 500000 + 100, 1e-9);
    // An angle without an offset places the map too: up 30 degrees clockwise of grid north.
    MapFiles turned;
    b.RealWorld(0, 0, 30);
    ASSERT_EQ(turned.Open(b), OpenResult::Opened) << version;
    ASSERT_TRUE(turned.Model.Georef.Known) << version;
    EXPECT_EQ(turned.Model.Georef.AngleDegrees, -30);
    EXPECT_NEAR(turned.Model.Georef.ToProjected(0, 100).Easting, 50, 1e-9);
    EXPECT_NEAR(turned.Model.Georef.ToProjected(0, 100).Northing,
                100 * std::cos(std::numbers::pi / 6), 1e-9);
  }

  MapFiles plain;
  OcadMapBuilder unplaced = WithContour(7);
  ASSERT_EQ(plain.Open(unplaced), OpenResult::Opened);
  EXPECT_FALSE(plain.Model.Georef.Known);

  MapFiles strings;
  OcadMapBuilder ocad8 = WithContour(8);
  ocad8.RealWorld(1, 2, 0);
  ocad8.AddString(1039, "\tm10000\tx600000\ty5100000\ta0\ti2032");
  ASSERT_EQ(strings.Open(ocad8), OpenResult::Opened);
  EXPECT_EQ(strings.Model.Georef.EpsgCode, 32632);
  EXPECT_EQ(strings.Model.Georef.ToProjected(0, 0).Easting, 600000);
}

TEST(SetupGeoreferencing, ADamagedStringChainLeavesTheSetupsPlaceAndTheMapOpens) {
  MapFiles files;
  OcadMapBuilder b = WithContour(8);
  b.RealWorld(1000, 2000, 0);
  b.AddString(1039, "\tm10000\tx600000\ty5100000");
  std::vector<std::uint8_t> bytes = b.Build();
  PutI32(bytes.data() + 32, static_cast<std::int32_t>(bytes.size()) - 4);  // a block cut short
  ASSERT_EQ(files.OpenBytes(bytes), OpenResult::Opened);
  ASSERT_TRUE(files.Model.Georef.Known);
  EXPECT_EQ(files.Model.Georef.ToProjected(0, 0).Easting, 1000);

  // A setup record ending the file before its real-world fields gives no place.
  EXPECT_FALSE(GeoreferencingFromSetup6(std::vector<std::uint8_t>(47, 1)).Known);
  std::vector<std::uint8_t> nan(56, 0);
  PutDouble(nan.data() + 32, std::nan(""));
  EXPECT_FALSE(GeoreferencingFromSetup6(nan).Known);
}

TEST(SetupGeoreferencing, FieldsThatHoldNoPlaceMeanNotGeoreferenced) {
  const auto setup = [](double x, double y, double angle) {
    std::vector<std::uint8_t> record(1112, 0);
    PutDouble(record.data() + 32, x);
    PutDouble(record.data() + 40, y);
    PutDouble(record.data() + 48, angle);
    return GeoreferencingFromSetup6(record);
  };
  // The garbage of a real setup record: an offset of -2.39e57 m, an angle of 5.43e190 degrees.
  // Offsets up to 100,000 km either way and angles up to a whole turn either way hold a place.
  for (const auto& [x, y, angle] :
       {std::tuple{-2.389968666554033e57, 0.0, 5.43e190}, {1e8 + 1, 5e6, 0.0}, {5e5, -1e8 - 1, 0.0},
        {5e5, 5e6, 360.5}, {5e5, 5e6, -361.0}, {5e5, std::numeric_limits<double>::infinity(), 0.0}})
    EXPECT_FALSE(setup(x, y, angle).Known) << x << " " << y << " " << angle;
  EXPECT_TRUE(setup(1e8, -1e8, 360).Known && setup(5e5, 5e6, -360).Known);
}

}  // namespace
}  // namespace terrak
