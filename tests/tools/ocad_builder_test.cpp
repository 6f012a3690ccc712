// The builder's bytes against expectations worked out by hand from the file format, so that a
// fault in the builder cannot hide a matching fault in the map readers.
#include "support/ocad_builder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
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
  EXPECT_EQ(layout.DataStart, 48);
  EXPECT_EQ(layout.SymbolAreaPos, 232);
  ASSERT_EQ(layout.Objects.size(), 1u);
  EXPECT_EQ(layout.Objects[0].FilePos, 208);
  EXPECT_EQ(layout.Objects[0].Pos, 40);
  EXPECT_EQ(layout.Objects[0].Len, 6);
  EXPECT_EQ(layout.Objects[0].Slot, 1);
  EXPECT_EQ(layout.Objects[0].IndexPos, 24);
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
  EXPECT_EQ(layout.SetupPos, 48);
  EXPECT_EQ(layout.SetupSize, 1080);
  EXPECT_EQ(layout.SymbolBlocks, std::vector<std::int64_t>{1128});
  EXPECT_EQ(layout.IndexBlocks, std::vector<std::int64_t>{2636});
  ASSERT_EQ(layout.Objects.size(), 2u);
  EXPECT_EQ(layout.Objects[1].Pos, 8840);
  EXPECT_EQ(layout.Objects[1].Len, 56);
  EXPECT_EQ(layout.Objects[1].Slot, 1);
  EXPECT_EQ(layout.Objects[1].IndexPos, 2664);
  EXPECT_EQ(layout.Objects[1].IndexBlockPos, 2636);
}

}  // namespace
}  // namespace terrak::testing
