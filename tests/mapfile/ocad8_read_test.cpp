// OCAD 8 maps through the first reader: the type byte and the UTF-16 flag of its objects, and
// the georeferencing of OCAD 6 to 8 from the setup record and OCAD 8's scale parameter string.
#include <gtest/gtest.h>

#include <cmath>

#include "mapfile/map_reader.h"
#include "mapfile/map_writer.h"
#include "mapfile/setup_georeferencing.h"
#include "platform/file_stream.h"
#include "map_files.h"

namespace terrak {
namespace {

using namespace terrak::testing;

OcadMapBuilder Ocad8Map() {
  OcadMapBuilder b(8);
  b.AddSymbol(101, 2, "Contour");
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

TEST(Ocad8, ObjectsTakeTheTypeByteAndUnicodeTextsReadAsTheirCharacters) {
  MapFiles files;
  OcadMapBuilder b = Ocad8Map();
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  EXPECT_EQ(files.Model.OcadVersion, 8);
  EXPECT_EQ(files.Model.SymbolNumberScale, 10);
  ASSERT_EQ(files.Model.SymbolList.size(), 2u);
  EXPECT_EQ(files.Model.SymbolList[0].Text, "10.1 Contour");
  files.Select({101, 401});
  ReadObjects(files.Model, files.WorkingCopy);
  ASSERT_EQ(files.Model.MapObjects.size(), 3u);
  EXPECT_EQ(files.Model.MapObjects[0].ObjectType, 2);
  EXPECT_EQ(files.Model.MapObjects[0].Height, 2505);
  EXPECT_EQ(files.Model.ObjectCoords[0].Points.size(), 2u);
  // A UTF-16 text packs into the same pairs as the same text in bytes.
  EXPECT_EQ(files.Model.MapObjects[1].ObjectType, 4);
  EXPECT_EQ(files.Model.ObjectCoords[1].Points, files.Model.ObjectCoords[2].Points);
  EXPECT_EQ(files.Model.ObjectCoords[1].Points.back(), (TPair{'T' | 'o' << 8, 'p'}));
}

TEST(Ocad8, HeightsAndSymbolsArePatchedAsInVersions6And7) {
  MapFiles files;
  OcadMapBuilder b = Ocad8Map();
  b.AddSymbol(102, 2, "Index contour");
  ASSERT_EQ(files.Open(b), OpenResult::Opened);
  files.Select({101, 102});
  ReadObjects(files.Model, files.WorkingCopy);
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
  EXPECT_EQ(after[object + 2], 2);
  EXPECT_EQ(after[object + 3], 1);
  ReadObjects(files.Model, files.WorkingCopy);
  EXPECT_EQ(files.Model.MapObjects[0].Height, -3);
  EXPECT_EQ(files.Model.MapObjects[0].Symbol, 102);
}

TEST(SetupGeoreferencing, TheSetupRecordPlacesOcad6To8MapsAndOcad8sStringWins) {
  for (int version : {6, 7, 8}) {
    MapFiles files;
    OcadMapBuilder b(version);
    b.AddSymbol(101, 2, "Contour");
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
  }

  MapFiles plain;
  OcadMapBuilder unplaced(7);
  unplaced.AddSymbol(101, 2, "Contour");
  ASSERT_EQ(plain.Open(unplaced), OpenResult::Opened);
  EXPECT_FALSE(plain.Model.Georef.Known);

  MapFiles strings;
  OcadMapBuilder ocad8(8);
  ocad8.AddSymbol(101, 2, "Contour");
  ocad8.RealWorld(1, 2, 0);
  ocad8.AddString(1039, "\tm10000\tx600000\ty5100000\ta0\ti2032");
  ASSERT_EQ(strings.Open(ocad8), OpenResult::Opened);
  EXPECT_EQ(strings.Model.Georef.EpsgCode, 32632);
  EXPECT_EQ(strings.Model.Georef.ToProjected(0, 0).Easting, 600000);
}

TEST(SetupGeoreferencing, ADamagedStringChainLeavesTheSetupsPlaceAndTheMapOpens) {
  MapFiles files;
  OcadMapBuilder b(8);
  b.AddSymbol(101, 2, "Contour");
  b.RealWorld(1000, 2000, 0);
  b.AddString(1039, "\tm10000\tx600000\ty5100000");
  std::vector<std::uint8_t> bytes = b.Build();
  PutI32(bytes.data() + 32, static_cast<std::int32_t>(bytes.size()) - 4);  // a block cut short
  WriteBytes(files.Map, bytes);
  files.Model.MapFileName = files.Map;
  ASSERT_EQ(OpenMapFile(files.Model, files.WorkingCopy, files.Dialogs), OpenResult::Opened);
  ASSERT_TRUE(files.Model.Georef.Known);
  EXPECT_EQ(files.Model.Georef.ToProjected(0, 0).Easting, 1000);

  // A setup record ending the file before its real-world fields gives no place.
  EXPECT_FALSE(GeoreferencingFromSetup6(std::vector<std::uint8_t>(47, 1)).Known);
  std::vector<std::uint8_t> nan(56, 0);
  PutDouble(nan.data() + 32, std::nan(""));
  EXPECT_FALSE(GeoreferencingFromSetup6(nan).Known);
}

}  // namespace
}  // namespace terrak
