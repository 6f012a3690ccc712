// OCAD 6 to 8 read for their drawing: the colour table in its order with the screen colours of
// its mixes, the symbols' drawing, every object that is not deleted (texts of version 8 in
// UTF-16 when flagged so), and damaged blocks refused with the program's message.
#include <gtest/gtest.h>

#include <tuple>

#include "common/bytes.h"
#include "mapfile/ocad6/ocad6_drawing.h"
#include "mapfile/ocad_format_error.h"
#include "mapbuild/ocad_builder.h"
#include "support/thrown.h"

namespace terrak::ocad6 {
namespace {

using testing::CodedPoint;
using testing::ColourSpec;
using testing::Object6;
using testing::OcadMapBuilder;
using testing::SymbolDrawing;
using testing::SymbolSpec;

std::vector<std::uint8_t> Map(int version) {
  OcadMapBuilder b(version);
  b.AddColour({7, "Brown", 0, 48, 83, 23}).AddColour({2, "Black", 0, 0, 0, 100});
  b.AddSymbol(SymbolSpec{101, 2, "Contour", 0, SymbolDrawing{.Colour = 7, .LineWidth = 14, .LineStyle = 1}});
  b.AddSymbol(SymbolSpec{990, 4, "Title", 0, SymbolDrawing{.Colour = 2, .FontSize = 60, .Font = "Arial"}});
  b.AddObject(Object6{.Symbol = 101, .Points = {CodedPoint::At(0, 0), CodedPoint::At(1000, 500)}});
  Object6 deleted{.Symbol = 101, .Points = {CodedPoint::At(5, 5), CodedPoint::At(6, 6)}};
  deleted.IndexSymbol = 0;
  b.AddObject(deleted);
  Object6 title{.Symbol = 990, .ObjectType = 4, .Angle = 450, .Points = {CodedPoint::At(100, 200)}};
  title.Text = "Title";
  title.TextGap = 0;
  title.Unicode = version == 8;
  b.AddObject(title);
  Object6 boxed{.Symbol = 990, .ObjectType = 4,
                .Points = {CodedPoint::At(0, 0), CodedPoint::At(400, 0), CodedPoint::At(400, 100),
                           CodedPoint::At(0, 100)}};
  boxed.Text = "Box";
  boxed.TextGap = 0;
  boxed.Unicode = version == 8;
  b.AddObject(boxed);
  return b.Build();
}

TEST(Ocad6Drawing, ColoursSymbolsAndObjectsOfEachVersionAndDamagedBlocksRefused) {
  for (const int version : {6, 7, 8}) {
    const MapDrawing6 map = ReadMapDrawing6(Map(version));
    EXPECT_EQ(map.Version, version);
    EXPECT_DOUBLE_EQ(map.Scale, 10000);
    const SymbolDefinitions& d = map.Definitions;
    ASSERT_EQ(d.Colours.size(), 2u);
    // Brown's red: (1 - 0) x (1 - 0.23).
    EXPECT_EQ(std::tie(d.Colours[0].Name, d.Colours[0].Red, d.Colours[0].Green, d.Colours[1].Red),
              std::tuple("Brown", 196, 102, 0));
    ASSERT_EQ(d.Symbols.size(), 2u);
    const auto& line = std::get<LineDefinition>(d.Symbols[0]->Drawing);
    EXPECT_EQ(d.Symbols[0]->Number, 101);
    EXPECT_EQ(std::tie(line.Colour, line.Width, line.Cap), std::tuple(0, 140, CapStyle::Round));
    const auto& text = std::get<TextDefinition>(d.Symbols[1]->Drawing);
    EXPECT_EQ(std::tuple(text.Colour, text.FontFamily), std::tuple(1, "Arial"));

    // The deleted object (symbol 0 in its index entry) is not read.
    const std::vector<FormatObject>& objects = map.Objects.Objects;
    ASSERT_EQ(objects.size(), 3u) << version;
    EXPECT_EQ(std::tuple(objects[0].Points[1].X, objects[0].Points[1].Y, objects[1].Kind),
              std::tuple(10000, 5000, ObjectKind::Text));
    EXPECT_EQ(objects[1].Text, "Title") << version;
    const ObjectPlacement& placed = d.Placements.at(objects[1].Key);
    EXPECT_NEAR(placed.Rotation, 0.785398, 1e-6);
    // An unturned text in a box: the box's centre and size, the text hung from its top.
    const ObjectPlacement& boxed = d.Placements.at(objects[2].Key);
    EXPECT_EQ(std::tuple(boxed.BoxCentre.X, boxed.BoxCentre.Y, boxed.BoxWidth, boxed.BoxHeight,
                         boxed.VAlign),
              std::tuple(2000, 500, 4000, 1000, TextVAlign::Top));
  }

  // Damaged blocks are refused: the first index block out of the file, a file cut short.
  std::vector<std::uint8_t> bytes = Map(7);
  PutI32(bytes.data() + 12, 0x0FFFFFFF);
  EXPECT_EQ(
      testing::ThrownText<MapFormatError>([&] { ReadMapDrawing6(bytes); }, &MapFormatError::what),
      kNotOcadMessage);
  bytes.resize(30);
  EXPECT_THROW(ReadMapDrawing6(bytes), MapFormatError);
}

}  // namespace
}  // namespace terrak::ocad6
