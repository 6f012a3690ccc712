// The builder's bytes against expectations worked out by hand from the file format, so that a
// fault in the builder cannot hide a matching fault in the map readers.
#include "mapbuild/ocad_builder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace terrak::testing {
namespace {

// Writes hex bytes ("AD 0C 05") into a file image at a position.
void Put(std::vector<std::uint8_t>& file, std::size_t pos, const std::string& hex) {
  std::istringstream in(hex);
  std::string byte;
  // Two digits a byte, so that two literals joined without a blank cannot merge bytes.
  while (in >> byte) {
    EXPECT_EQ(byte.size(), 2u) << byte;
    file.at(pos++) = static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16));
  }
}

// Reports the first differing byte rather than two large arrays.
void ExpectSameBytes(const std::vector<std::uint8_t>& actual,
                     const std::vector<std::uint8_t>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i)
    ASSERT_EQ(actual[i], expected[i]) << "first difference at byte " << i;
}

TEST(OcadBuilderBytes, TinyVersion5FileMatchesTheFormatByteForByte) {
  OcadMapBuilder builder(5);
  builder.Scale(10000).Zoom(3).Offset5(-20, 40);
  builder.AddSymbol(101, 2, "Contour");
  builder.AddObject(Object5{.Symbol = 101,
                            .ObjectType = 2,
                            .Height = 1234,
                            .Pairs = {{100, 200}, {kMarkLineFlags, 1}, {300, -50}}});
  const std::vector<std::uint8_t> file = builder.Build();

  // Header 24, one index record: P = 48; setup 160 bytes; the object of 3 + 3 units at 208
  // (unit 40 from P); the symbol area at 232 with its first record 4880 bytes further on.
  std::vector<std::uint8_t> expected(232 + 4880 + 192, 0);
  Put(expected, 0, "AD 0C 00 00 05 00 00 00 30 00 00 00 E8 00 00 00");
  Put(expected, 24, "64 00 CE FF 2C 01 C8 00 28 00 00 00 06 00 00 00 65 00");
  Put(expected, 48 + 8, "03 00 EC FF 28 00");
  Put(expected, 48 + 44, "8E 00 00 00 40 1C");  // 10000 as a 6-byte real
  Put(expected, 208, "65 00 02 00 03 00 00 00 00 00 D2 04");
  Put(expected, 220, "64 00 C8 00 01 80 01 00 2C 01 CE FF");
  Put(expected, 232 + 12, "01 00");
  Put(expected, 232 + 4880, "65 00 02 00");
  Put(expected, 232 + 4880 + 16, "43 6F 6E 74 6F 75 72");
  ExpectSameBytes(file, expected);

  const OcadLayout& layout = builder.Layout();
  ASSERT_EQ(layout.Objects.size(), 1u);
  const ObjectLayout& o = layout.Objects[0];
  EXPECT_EQ(
      std::tie(layout.DataStart, layout.SymbolAreaPos, o.FilePos, o.Pos, o.Len, o.Slot, o.IndexPos),
      std::tuple(48, 232, 208, 40, 6, 1, 24));
  EXPECT_EQ(layout.SymbolRecords, std::vector<std::int64_t>{232 + 4880});
}

TEST(OcadBuilderBytes, TinyVersion6FileMatchesTheFormatByteForByte) {
  OcadMapBuilder builder(6);
  builder.Scale(15000).Zoom(2).Offset6(Coded(-100), Coded(250));
  builder.AddSymbol(101, 2, "Contour");
  builder.AddObject(
      Object6{.Symbol = 101,
              .ObjectType = 2,
              .Height = -5,
              .Points = {CodedPoint::At(1000, 2000), CodedPoint::At(-300, 50).NoLeftLine(),
                         CodedPoint::At(0, -100).Corner()}});
  builder.AddObject(
      Object6{.Symbol = 900, .ObjectType = 4, .Points = {CodedPoint::At(10, 20)}, .Text = "Hi"});
  const std::vector<std::uint8_t> file = builder.Build();

  // Header 48; setup 1080 at 48; symbol block 1028 at 1128; the line symbol's 480-byte record at
  // 2156; index block 6148 at 2636; objects of 32 + 3 * 8 = 56 at 8784 and of 32 + 8 + 16 = 56
  // at 8840 (coordinate, 8 free bytes, "Hi" and its zero in two 8-byte units).
  std::vector<std::uint8_t> expected(8896, 0);
  Put(expected, 0, "AD 0C 00 00 06 00 00 00 68 04 00 00 4C 0A 00 00 30 00 00 00 38 04 00 00");
  Put(expected, 48, "00 9C FF FF 00 FA 00 00");
  Put(expected, 48 + 24, "00 00 00 00 00 4C CD 40");   // 15000.0
  Put(expected, 48 + 936, "00 00 00 00 00 00 00 40");  // 2.0
  Put(expected, 1128, "00 00 00 00 6C 08 00 00");
  Put(expected, 2156, "E0 01 65 00 02 00");
  Put(expected, 2156 + 52, "07 43 6F 6E 74 6F 75 72");
  Put(expected, 2636, "00 00 00 00");
  Put(expected, 2640, "00 D4 FE FF 00 9C FF FF 00 E8 03 00 00 D0 07 00 50 22 00 00 38 00 65 00");
  Put(expected, 2664, "00 0A 00 00 00 14 00 00 00 0A 00 00 00 14 00 00 88 22 00 00 38 00 84 03");
  Put(expected, 8784, "65 00 02 00 03 00 00 00 00 00 00 00 FB FF FF FF");
  Put(expected, 8784 + 32,
      "00 E8 03 00 00 D0 07 00 04 D4 FE FF 00 32 00 00 00 00 00 00 01 9C FF FF");
  Put(expected, 8840, "84 03 04 00 01 00 02 00");
  Put(expected, 8840 + 32, "00 0A 00 00 00 14 00 00");
  Put(expected, 8840 + 48, "48 69 00");
  ExpectSameBytes(file, expected);

  const OcadLayout& layout = builder.Layout();
  EXPECT_EQ(layout.SymbolBlocks, std::vector<std::int64_t>{1128});
  EXPECT_EQ(layout.IndexBlocks, std::vector<std::int64_t>{2636});
  ASSERT_EQ(layout.Objects.size(), 2u);
  const ObjectLayout& o = layout.Objects[1];
  EXPECT_EQ(std::tie(layout.SetupPos, layout.SetupSize, o.Pos, o.Len, o.Slot, o.IndexPos,
                     o.IndexBlockPos),
            std::tuple(48, 1080, 8840, 56, 1, 2664, 2636));
}

// Checks hex bytes at a position of a built file.
void ExpectBytes(const std::vector<std::uint8_t>& file, std::size_t pos, const std::string& hex) {
  std::vector<std::uint8_t> expected(file.size(), 0);
  Put(expected, pos, hex);
  const std::size_t count = (hex.size() + 1) / 3;
  for (std::size_t i = pos; i < pos + count; ++i)
    ASSERT_EQ(file.at(i), expected[i]) << "byte " << i << " (" << i - pos << " into " << hex << ")";
}

TEST(OcadBuilderBytes, ColourTableAndDrawnSymbolsLieWhereOcadKeepsThem) {
  OcadMapBuilder builder(7);
  builder.AddColour({0, "Black", 0, 0, 0, 100}).AddColour({5, "Red", 0, 100, 100, 0});
  builder.AddSymbol(
      {101, 2, "Contour", 0, SymbolDrawing{.Colour = 5, .LineWidth = 25, .LineStyle = 1}});
  builder.AddSymbol({301, 3, "Lake", 0, SymbolDrawing{.Colour = 0}});
  builder.AddSymbol(
      {990, 4, "Title", 0, SymbolDrawing{.Colour = 0, .FontSize = 60, .Font = "Arial"}});
  builder.AddObject(Object6{.Symbol = 990,
                            .ObjectType = 4,
                            .Points = {CodedPoint::At(10, 20), CodedPoint::At(10, 10)},
                            .Text = "Hi",
                            .TextGap = 0});
  // Eight characters and their zero take two units.
  builder.AddObject(Object6{.Symbol = 990,
                            .ObjectType = 4,
                            .Points = {CodedPoint::At(0, 0)},
                            .Text = "Contours",
                            .TextGap = 0});
  const std::vector<std::uint8_t> file = builder.Build();

  // Header 48; colour table 19224 at 48; setup 1112 at 19272; symbol block at 20384; records of
  // 424 (line), 380 (area) and 588 (text) bytes; index block at 22804; objects of
  // 32 + 2 * 8 + 8 bytes at 28952 and of 32 + 8 + 16 bytes at 29008.
  const OcadLayout& layout = builder.Layout();
  EXPECT_EQ(std::tie(layout.ColourTablePos, layout.SetupPos, layout.SymbolRecords,
                     layout.IndexBlocks, layout.FileSize),
            std::tuple(48, 19272, (std::vector<std::int64_t>{21412, 21836, 22216}),
                       std::vector<std::int64_t>{22804}, 29064));
  ExpectBytes(file, 8, "A0 4F 00 00 14 59 00 00 48 4B 00 00 58 04 00 00");

  // Two colours, no separations, the default screens; each colour record: number, CMYK in
  // half percent, the name, and "no part" (255) in each of the 32 separations.
  ExpectBytes(file, 48, "02 00 00 00 DC 05 96 00 DC 05 EE 02 DC 05 00 00 DC 05 C2 01 00 00 00 00");
  ExpectBytes(file, 72, "00 00 00 00 00 00 00 C8 05 42 6C 61 63 6B 00");
  for (std::size_t s = 0; s < 32; ++s) EXPECT_EQ(file[72 + 40 + s], 0xFF) << s;
  ExpectBytes(file, 144, "05 00 00 00 00 C8 C8 00 03 52 65 64");
  EXPECT_EQ(file[216 + 40], 0);  // the third record is unused

  // Line: size, number, type, extent (half the width), the colour set (colour 5), the
  // description, then colour, width and line style.
  ExpectBytes(file, 21412, "A8 01 65 00 02 00 00 00 0C 00");
  ExpectBytes(file, 21412 + 20, "20 00 00 00");
  ExpectBytes(file, 21412 + 52, "07 43 6F 6E 74 6F 75 72");
  ExpectBytes(file, 21412 + 348, "05 00 19 00 01 00 00 00");
  // Area: the fill switched on, in colour 0.
  ExpectBytes(file, 21836, "7C 01 2D 01 03 00");
  ExpectBytes(file, 21836 + 20, "01 00");
  ExpectBytes(file, 21836 + 348, "00 00 01 00 00 00 00 00");
  // Text: font name, then colour, size in 0.1 pt, weight 400, no character spacing, word
  // spacing 100 %, left aligned, line spacing 100 %.
  ExpectBytes(file, 22216, "4C 02 DE 03 04 00");
  ExpectBytes(file, 22216 + 348, "05 41 72 69 61 6C 00");
  ExpectBytes(file, 22216 + 380, "00 00 3C 00 90 01 00 00 00 00 64 00 00 00 64 00");
  // The text object: nText counts the 8-byte unit that holds "Hi" right after the coordinates.
  ExpectBytes(file, 28952, "DE 03 04 00 02 00 01 00");
  ExpectBytes(file, 28952 + 48, "48 69 00");
  ExpectBytes(file, 29008, "DE 03 04 00 01 00 02 00");
  ExpectBytes(file, 29008 + 40, "43 6F 6E 74 6F 75 72 73 00");
}

}  // namespace
}  // namespace terrak::testing
