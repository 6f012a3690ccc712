// Layouts of larger built maps: block chains, odd and empty entries, setup placement, extents.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "common/bytes.h"
#include "support/ocad_builder.h"

namespace terrak::testing {
namespace {

std::int32_t I32(const std::vector<std::uint8_t>& file, std::int64_t pos) {
  return GetI32(&file.at(static_cast<std::size_t>(pos)));
}
std::int16_t I16(const std::vector<std::uint8_t>& file, std::int64_t pos) {
  return GetI16(&file.at(static_cast<std::size_t>(pos)));
}

// Follows a chain of blocks from the header field at headerOffset.
std::vector<std::int64_t> Chain(const std::vector<std::uint8_t>& file, std::int64_t headerOffset) {
  std::vector<std::int64_t> blocks;
  for (std::int64_t pos = I32(file, headerOffset); pos > 0; pos = I32(file, pos))
    blocks.push_back(pos);
  return blocks;
}

Object6 Line6(std::int16_t symbol, std::int32_t x) {
  return Object6{.Symbol = symbol, .Points = {CodedPoint::At(x, 0), CodedPoint::At(x + 10, 5)}};
}

TEST(OcadBuilderLayout, IndexBlocksChainAndEveryEntryFindsItsObject) {
  OcadMapBuilder builder(6);
  for (int i = 0; i < 300; ++i) builder.AddObject(Line6(101, i));
  builder.AddEmptyEntry();
  builder.StartNewIndexBlock();
  builder.AddObject(Line6(102, 5000));
  const std::vector<std::uint8_t> file = builder.Build();
  const OcadLayout& layout = builder.Layout();

  const std::vector<std::int64_t> blocks = Chain(file, 12);
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(blocks, layout.IndexBlocks);
  ASSERT_EQ(layout.Objects.size(), 301u);
  EXPECT_EQ(layout.Objects[255].IndexBlockPos, blocks[0]);
  EXPECT_EQ(layout.Objects[255].Slot, 255);
  EXPECT_EQ(layout.Objects[256].IndexBlockPos, blocks[1]);
  EXPECT_EQ(layout.Objects[256].Slot, 0);
  EXPECT_EQ(layout.Objects[300].IndexBlockPos, blocks[2]);
  EXPECT_EQ(layout.Objects[300].Slot, 0);
  // 256 + 44 objects, the empty entry, the last object in the third block.
  EXPECT_EQ(layout.IndexEntries.size(), 302u);
  EXPECT_EQ(I16(file, blocks[1] + 4 + 24 * 44 + 22), 0);  // the empty entry

  for (const ObjectLayout& object : layout.Objects) {
    const std::int64_t entry = object.IndexBlockPos + 4 + 24 * object.Slot;
    EXPECT_EQ(entry, object.IndexPos);
    EXPECT_EQ(I32(file, entry + 16), object.FilePos);
    EXPECT_EQ(I16(file, entry + 20), 32 + 2 * 8);
    EXPECT_EQ(I16(file, entry + 22), I16(file, object.FilePos));
    EXPECT_EQ(I16(file, object.FilePos + 4), 2);
  }
  EXPECT_EQ(I16(file, layout.Objects[300].FilePos), 102);
}

TEST(OcadBuilderLayout, SymbolBlocksChainWithGapsAndRecordsOfRealisticSize) {
  OcadMapBuilder builder(7);
  builder.AddSymbol(101, 2, "Contour");
  builder.AddSymbolGap();
  builder.AddSymbol(102, 2, "Index contour");  // behind the gap
  builder.StartNewSymbolBlock();
  for (int i = 0; i < 257; ++i) builder.AddSymbol(static_cast<std::int16_t>(1000 + i), 1, "");
  builder.AddSymbol(
      SymbolSpec{.Number = 301, .ObjectType = 3, .Description = "Lake", .RecordSize = 348});
  const std::vector<std::uint8_t> file = builder.Build();
  const OcadLayout& layout = builder.Layout();

  const std::vector<std::int64_t> blocks = Chain(file, 8);
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(blocks, layout.SymbolBlocks);
  EXPECT_EQ(I32(file, blocks[0] + 4), layout.SymbolRecords[0]);
  EXPECT_EQ(I32(file, blocks[0] + 8), 0);
  EXPECT_EQ(I32(file, blocks[0] + 12), layout.SymbolRecords[1]);
  EXPECT_EQ(I32(file, blocks[1] + 4 + 4 * 255), layout.SymbolRecords[257]);
  EXPECT_EQ(I32(file, blocks[2] + 4), layout.SymbolRecords[258]);
  EXPECT_EQ(I32(file, blocks[2] + 8), layout.SymbolRecords[259]);
  EXPECT_EQ(I32(file, blocks[2] + 12), 0);

  const std::int64_t index = layout.SymbolRecords[1];
  EXPECT_EQ(std::string(file.begin() + index + 52, file.begin() + index + 66), "\x0DIndex contour");
  EXPECT_EQ(I16(file, layout.SymbolRecords.back()), 348);
  EXPECT_EQ(layout.SymbolRecords.back() + 348, layout.IndexBlocks[0]);
  EXPECT_EQ(I32(file, 20), 1112);  // the version 7 setup record
}

TEST(OcadBuilderLayout, SetupRecordCanEndTheFile) {
  OcadMapBuilder builder(6);
  builder.SetupLast(true).Scale(4000).Zoom(5).Offset6(Coded(7), Coded(-9, 3));
  builder.AddObject(Line6(101, 0));
  const std::vector<std::uint8_t> file = builder.Build();
  const OcadLayout& layout = builder.Layout();

  EXPECT_EQ(I32(file, 16), layout.SetupPos);
  EXPECT_EQ(I32(file, 20), 1080);
  EXPECT_EQ(layout.SetupPos + 1080, static_cast<std::int64_t>(file.size()));
  EXPECT_GT(layout.SetupPos, layout.Objects[0].FilePos);
  EXPECT_EQ(I32(file, layout.SetupPos), 7 * 256);
  EXPECT_EQ(I32(file, layout.SetupPos + 4), -9 * 256 + 3);
  EXPECT_EQ(GetDouble(&file.at(layout.SetupPos + 24)), 4000.0);
  EXPECT_EQ(GetDouble(&file.at(layout.SetupPos + 936)), 5.0);
  // The first symbol block follows the header directly when the setup record is elsewhere.
  EXPECT_EQ(I32(file, 8), 48);

  OcadMapBuilder small(6);
  EXPECT_THROW(small.SetupSize(900).Build(), std::invalid_argument);  // no room for the zoom
}

TEST(OcadBuilderLayout, Version5IndexWithEmptyDeletedAndOddRecords) {
  OcadMapBuilder empty(5);
  const std::vector<std::uint8_t> bare = empty.Build();
  EXPECT_EQ(I32(bare, 8), 24);  // no index records at all: P is right after the header

  OcadMapBuilder builder(5);
  builder.AddObject(Object5{.Symbol = 101, .Pairs = {{1, 2}, {3, 4}}});
  builder.AddEmptyEntry();
  builder.AddObject(Object5{.Symbol = 101, .Pairs = {{5, 6}}, .IndexLength = 0});
  builder.AddObject(Object5{.Symbol = 102,
                            .ObjectType = 4,
                            .Pairs = {{-7, 8}},
                            .Text = "abcd",
                            .IndexSymbol = 555,
                            .PaddingUnits = 2});
  const std::vector<std::uint8_t> file = builder.Build();
  const OcadLayout& layout = builder.Layout();

  EXPECT_EQ(layout.DataStart, 24 * 5);
  EXPECT_EQ(I32(file, 8), 120);
  EXPECT_EQ(layout.IndexEntries, (std::vector<std::int64_t>{24, 48, 72, 96}));
  EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 48, file.begin() + 72),
            std::vector<std::uint8_t>(24, 0));
  EXPECT_EQ(layout.Objects[1].Slot, 3);
  EXPECT_EQ(I16(file, 72 + 12), 0);  // deleted, though the object is there
  EXPECT_EQ(I32(file, 72 + 8), layout.Objects[1].Pos);
  EXPECT_EQ(I16(file, 96 + 16), 555);
  // Text "abcd" takes two pairs (its four bytes, then the zero): n = 3, length 3 + 3 + 2 units.
  const std::int64_t text = layout.Objects[2].FilePos;
  EXPECT_EQ(I16(file, text), 102);
  EXPECT_EQ(I16(file, text + 4), 3);
  EXPECT_EQ(I16(file, 96 + 12), 8);
  EXPECT_EQ(std::string(file.begin() + text + 16, file.begin() + text + 20), "abcd");
  EXPECT_EQ(I32(file, text + 20), 0);
  EXPECT_EQ(layout.Objects[2].ByteLength, 32);
  EXPECT_EQ(layout.Objects[2].FilePos, layout.DataStart + 4 * layout.Objects[2].Pos);
  // The text does not widen the extent.
  EXPECT_EQ(I16(file, 96 + 0), -7);
  EXPECT_EQ(I16(file, 96 + 4), -7);
  EXPECT_EQ(layout.SymbolAreaPos, text + 32);
}

TEST(OcadBuilderLayout, ExtentsComeFromPointsWithoutMarkersOrFlags) {
  OcadMapBuilder v5(5);
  v5.AddObject(Object5{.Pairs = {{kMarkNewPart, kMarkNewPart},
                                 {-40, 10},
                                 {kMarkCurve, kMarkCurve},
                                 {25, -300},
                                 {kMarkLineFlags, 2},
                                 {90, 12}}});
  v5.AddObject(Object5{.Pairs = {{1, 1}}, .Extent = IndexExtent{-1, -2, 3, 4}});
  const std::vector<std::uint8_t> file5 = v5.Build();
  EXPECT_EQ(I16(file5, 24 + 0), -40);
  EXPECT_EQ(I16(file5, 24 + 2), -300);
  EXPECT_EQ(I16(file5, 24 + 4), 90);
  EXPECT_EQ(I16(file5, 24 + 6), 12);
  EXPECT_EQ(I16(file5, 48 + 0), -1);
  EXPECT_EQ(I16(file5, 48 + 6), 4);

  OcadMapBuilder v6(6);
  v6.AddObject(Object6{.Points = {CodedPoint::At(-5, 7).NewPart().NoLeftLine(),
                                  CodedPoint::At(-2, -3).FirstControl(),
                                  CodedPoint::At(4, 1).SecondControl().Dash()}});
  const std::vector<std::uint8_t> file6 = v6.Build();
  const std::int64_t entry = v6.Layout().Objects[0].IndexPos;
  EXPECT_EQ(I32(file6, entry + 0), -5 * 256);
  EXPECT_EQ(I32(file6, entry + 4), -3 * 256);
  EXPECT_EQ(I32(file6, entry + 8), 4 * 256);
  EXPECT_EQ(I32(file6, entry + 12), 7 * 256);
}

TEST(OcadBuilderLayout, DescriptionsThatCannotBeStoredAreRefused) {
  EXPECT_THROW(OcadMapBuilder(4), std::invalid_argument);
  EXPECT_THROW(OcadMapBuilder(5).AddObject(Object6{}), std::invalid_argument);
  EXPECT_THROW(OcadMapBuilder(5).AddSymbol(1, 2, std::string(33, 'x')).Build(),
               std::invalid_argument);
  OcadMapBuilder exact(5);
  const std::vector<std::uint8_t> file = exact.AddSymbol(1, 2, std::string(32, 'x')).Build();
  EXPECT_EQ(file.at(exact.Layout().SymbolRecords[0] + 16 + 31), 'x');
  Object5 tooLong;
  tooLong.Pairs.resize(32767);
  EXPECT_THROW(OcadMapBuilder(5).AddObject(tooLong).Build(), std::invalid_argument);
}

// An independent decoder of the 6-byte real: sign, exponent biased by 129, 39-bit mantissa.
double Real6Value(const std::uint8_t* b) {
  if (b[0] == 0) return 0.0;
  double mantissa = 0;
  for (int i = 5; i >= 1; --i) mantissa = mantissa * 256 + (i == 5 ? (b[i] & 0x7F) : b[i]);
  const double value = std::ldexp(1.0 + std::ldexp(mantissa, -39), b[0] - 129);
  return (b[5] & 0x80) ? -value : value;
}

TEST(OcadBuilderLayout, SixByteRealsHoldTheScale) {
  std::uint8_t bytes[6];
  PutReal6(bytes, -3.0);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + 6),
            (std::vector<std::uint8_t>{0x82, 0, 0, 0, 0, 0xC0}));
  PutReal6(bytes, 0.0);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + 6), std::vector<std::uint8_t>(6, 0));
  for (double value : {2500.0, 7500.0, 15000.0, 0.1, 12345.678, -0.75}) {
    PutReal6(bytes, value);
    EXPECT_NEAR(Real6Value(bytes), value, std::fabs(value) * 1e-11) << value;
  }
}

TEST(OcadBuilderLayout, Version5TextIsPackedLowByteFirstWithItsZero) {
  EXPECT_EQ(PackText5(""), (std::vector<TPair>{{0, 0}}));
  EXPECT_EQ(PackText5("abc"), (std::vector<TPair>{{0x6261, 0x0063}}));
  EXPECT_EQ(PackText5("abcd"), (std::vector<TPair>{{0x6261, 0x6463}, {0, 0}}));
}

}  // namespace
}  // namespace terrak::testing
