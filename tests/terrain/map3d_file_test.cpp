#include "terrain/map3d_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "common/bytes.h"
#include "terrain/map3d_codec.h"
#include "terrain/map3d_rows.h"
#include "platform/file_stream.h"
#include "support/file_faults.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace terrak {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Heights = std::vector<std::int16_t>;
using testing::ReadBytes;
using testing::ScriptedDialogs;
using testing::TempFolder;
using testing::ThrownText;
using testing::WriteBytes;

Bytes HeightCodes(const Heights& row) {
  Bytes out;
  EncodeHeightRow(row, out);
  return out;
}

// Decodes rows of the given width one after the other, as the file does; empty when damaged.
std::vector<Heights> DecodeHeights(const Bytes& codes, std::size_t width, std::size_t rows) {
  ByteCursor in(codes);
  std::int8_t lastDelta = 0;
  std::vector<Heights> out(rows, Heights(width));
  for (Heights& row : out)
    if (!DecodeHeightRow(in, row, lastDelta)) return {};
  EXPECT_EQ(in.Position(), codes.size()) << "every code is used";
  return out;
}

TEST(Map3dRows, HeightCodesUseDeltasUpTo125RepeatsForLongRunsAndWrapAt16Bits) {
  EXPECT_EQ(HeightCodes({50, 50, 50, 50, 50}), (Bytes{0x7F, 0x32, 0x00, 0x00, 0x81, 0x03, 0x00}));
  EXPECT_EQ(HeightCodes({50, 50, 50}), (Bytes{0x7F, 0x32, 0x00, 0x00, 0x00}));
  // Two more of the same delta are still cheaper written out than as a repeat code.
  EXPECT_EQ(HeightCodes({50, 51, 52, 53}), (Bytes{0x7F, 0x32, 0x00, 0x01, 0x01, 0x01}));
  EXPECT_EQ(HeightCodes({0, 125, 0}), (Bytes{0x7F, 0x00, 0x00, 0x7D, 0x83}));
  EXPECT_EQ(HeightCodes({0, 126}), (Bytes{0x7F, 0x00, 0x00, 0x7F, 0x7E, 0x00}));
  EXPECT_EQ(HeightCodes({0, -126}), (Bytes{0x7F, 0x00, 0x00, 0x7F, 0x82, 0xFF}));
  // A run is written out before an absolute value interrupts it.
  const Heights interrupted{0, 1, 2, 3, 4, 5, 300};
  EXPECT_EQ(HeightCodes(interrupted),
            (Bytes{0x7F, 0x00, 0x00, 0x01, 0x81, 0x04, 0x00, 0x7F, 0x2C, 0x01}));
  // 32767 to -32768 is a step of +1 in 16-bit arithmetic.
  const Heights wrapping{32767, -32768, 32767, 32766};
  EXPECT_EQ(HeightCodes(wrapping), (Bytes{0x7F, 0xFF, 0x7F, 0x01, 0xFF, 0xFF}));
  for (const Heights& row : {interrupted, wrapping})
    EXPECT_EQ(DecodeHeights(HeightCodes(row), row.size(), 1), std::vector<Heights>{row});
}

TEST(Map3dRows, ReadingCarriesTheLastDeltaAcrossRowsAndSkipsEmptyRepeats) {
  // Row 2 repeats the +5 of row 1; row 3 has repeats of 0 and -1 and the delta code 126, which
  // the writer never uses; row 4 wraps while repeating +1.
  const Bytes codes{0x7F, 0x0A, 0x00, 0x05,
                    0x7F, 0x64, 0x00, 0x81, 0x01, 0x00,
                    0x7F, 0x00, 0x00, 0x81, 0x00, 0x00, 0x81, 0xFF, 0xFF, 0x7E,
                    0x7F, 0xFF, 0x7F, 0x01};
  EXPECT_EQ(DecodeHeights(codes, 2, 4),
            (std::vector<Heights>{{10, 15}, {100, 105}, {0, 126}, {32767, -32768}}));
}

TEST(Map3dRows, BitmapCodesRepeatRunsOfThreeOrMore) {
  Bytes codes;
  EncodeBitmapRow(Bytes{7, 7, 7, 7, 9}, codes);
  EXPECT_EQ(codes, (Bytes{0x07, 0xFF, 0x03, 0x00, 0x09}));
  EncodeBitmapRow(Bytes{7, 7, 9}, codes);
  EXPECT_EQ(codes, (Bytes{0x07, 0xFF, 0x03, 0x00, 0x09, 0x07, 0x07, 0x09}));
  Bytes three;
  EncodeBitmapRow(Bytes{7, 7, 7}, three);
  EXPECT_EQ(three, (Bytes{0x07, 0x07, 0x07}));
  codes.insert(codes.end(), {0x07, 0xFF, 0x00, 0x00, 0xFF, 0xFE, 0xFF, 0x08});  // empty repeats
  ByteCursor in(codes);
  Bytes first(5), second(3), third(2);
  ASSERT_TRUE(DecodeBitmapRow(in, first) && DecodeBitmapRow(in, second) &&
              DecodeBitmapRow(in, third));
  EXPECT_EQ(std::tie(first, second, third), std::tuple(Bytes{7, 7, 7, 7, 9}, Bytes{7, 7, 9}, Bytes{7, 8}));
}

// A state with every field set, so that any change by a refused read shows.
GridState SentinelState() {
  GridState grid{.GridMinX = 11, .GridMinY = -12, .GridMaxX = 13, .GridMaxY = 14, .GridWidth = 3,
                 .GridHeight = 2, .HeightBase = 5, .MapBitmapLoaded = true};
  grid.HeightGrid.Resize(4, 3, 321);
  grid.BitmapGrid.Resize(4, 3, 17);
  grid.BitmapPalette.fill(7);
  return grid;
}

auto Fields(const GridState& g) {
  return std::tie(g.GridMinX, g.GridMinY, g.GridMaxX, g.GridMaxY, g.GridWidth, g.GridHeight,
                  g.HeightGrid, g.HeightBase, g.BitmapGrid, g.BitmapPalette, g.MapBitmapLoaded,
                  g.ShowMapBitmap);
}

ViewpointBlock DistinctViews() {
  ViewpointBlock views{};
  for (std::size_t v = 0; v < kViewpointCount; ++v) {
    const double d = static_cast<double>(v);
    views[v] = {100.5 + d, -200.25 - d, 35 + d, 45 * d, -10 + d, 262, 350, int(v) * 1000 + 7};
  }
  return views;
}

// A grid as the grid construction leaves it, one column and row more than W x H: heights with
// flat runs, slopes, jumps and the 16-bit extremes, bitmap cells 0..254.
GridState ConstructedGrid(std::int32_t width, std::int32_t height, unsigned seed) {
  std::mt19937 random(seed);
  auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  GridState grid{.GridMinX = -32768, .GridMinY = 32767, .GridWidth = width, .GridHeight = height,
                 .MapBitmapLoaded = true};
  grid.HeightGrid.Resize(width + 1, height + 1);
  grid.BitmapGrid.Resize(width + 1, height + 1);
  for (std::int32_t j = 0; j <= height; ++j) {
    int value = pick(-32768, 32767), step = 0;
    for (std::int32_t i = 0; i <= width; ++i) {
      const int choice = pick(0, 5);
      if (choice == 0) step = pick(-130, 130);
      if (choice == 1) value = pick(0, 1) != 0 ? 32767 : -32768;
      if (choice == 2) step = 0;
      value += step;
      grid.HeightGrid(i, j) = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
      grid.BitmapGrid(i, j) = static_cast<std::uint8_t>(pick(0, 3) == 0 ? pick(0, 254) : 40);
    }
  }
  for (auto& b : grid.BitmapPalette) b = static_cast<std::uint8_t>(pick(0, 255));
  return grid;
}

// Reads a 3D map file into a sentinel state; the dialogs are checked by the caller.
bool ReadInto(const std::string& name, GridState& grid, ViewpointBlock& views,
              ScriptedDialogs& dialogs) {
  grid = SentinelState();
  views = {};
  return Read3dMap(name, grid, views, dialogs);
}

// Writes grid to a fresh file and reads it back.
GridState WrittenAndRead(const GridState& grid) {
  TempFolder folder;
  Write3dMap(folder.File("m.o3d"), grid, DistinctViews());
  GridState read;
  ViewpointBlock views;
  ScriptedDialogs dialogs;
  EXPECT_TRUE(ReadInto(folder.File("m.o3d"), read, views, dialogs));
  return read;
}

TEST(Map3dFile, WritingAndReadingRestoresEveryStoredValue) {
  TempFolder folder;
  const std::string name = folder.File("terrain.o3d");
  for (const auto& [width, height] : {std::pair{37, 23}, std::pair{1, 1}, std::pair{400, 2}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    const GridState written = ConstructedGrid(width, height, static_cast<unsigned>(width));
    Write3dMap(name, written, DistinctViews());
    const Bytes bytes = ReadBytes(name);
    EXPECT_EQ(GetU16(bytes.data()), 0x3D00);
    // The origin at bytes 6 and 8; the south-west view, the ninth record from byte 10, holds x,
    // y, z, bearing and incline as doubles, then its centre and a spare as 32-bit integers.
    const std::uint8_t* view = bytes.data() + 10 + kSouthWestView * 52;
    EXPECT_EQ(std::tuple(GetI16(bytes.data() + 6), GetI16(bytes.data() + 8), GetDouble(view),
                         GetDouble(view + 8), GetDouble(view + 16), GetDouble(view + 24),
                         GetDouble(view + 32), GetI32(view + 40), GetI32(view + 44), GetI32(view + 48)),
              std::tuple(-32768, 32767, 108.5, -208.25, 43.0, 360.0, -2.0, 262, 350, 8007));

    GridState read;
    ViewpointBlock views;
    ScriptedDialogs dialogs;
    ASSERT_TRUE(ReadInto(name, read, views, dialogs));
    EXPECT_EQ(std::tuple(dialogs.Messages.size(), dialogs.BusyCalls, dialogs.BusyDepth), std::tuple(0u, 1, 0));
    EXPECT_EQ(views, DistinctViews());
    EXPECT_EQ(std::tie(read.GridWidth, read.GridHeight, read.GridMinX, read.GridMinY),
              std::tuple(width, height, -32768, 32767));
    EXPECT_EQ(std::tie(read.GridMaxX, read.GridMaxY), std::tuple(-32768 + width, 32767 + height));
    EXPECT_EQ(read.BitmapPalette, written.BitmapPalette);
    EXPECT_TRUE(read.MapBitmapLoaded && read.ShowMapBitmap);
    GridState expected = written;
    expected.HeightGrid.ResizeKeeping(width, height);
    expected.BitmapGrid.ResizeKeeping(width, height);
    EXPECT_TRUE(read.HeightGrid == expected.HeightGrid && read.BitmapGrid == expected.BitmapGrid);

    // Writing what was read gives the same bytes; bytes after the bitmap rows are ignored.
    Write3dMap(name, read, views);
    Bytes padded = ReadBytes(name);
    EXPECT_EQ(padded, bytes);
    padded.insert(padded.end(), {0xFF, 0x7F, 0x00});
    WriteBytes(name, padded);
    GridState again;
    ASSERT_TRUE(ReadInto(name, again, views, dialogs));
    EXPECT_TRUE(Fields(again) == Fields(read));
  }
}

TEST(Map3dFile, ABitmapCellOf255IsStoredAsTheNearestOtherColour) {
  GridState grid = ConstructedGrid(6, 2, 5);
  auto setColour = [&grid](std::size_t index, std::uint8_t blue, std::uint8_t green,
                           std::uint8_t red, std::uint8_t reserved = 0) {
    std::copy_n(std::array{blue, green, red, reserved}.begin(), 4, &grid.BitmapPalette[4 * index]);
  };
  for (std::size_t index = 0; index < 256; ++index) setColour(index, 255, 255, 255);
  setColour(255, 100, 100, 100);
  setColour(200, 103, 100, 100);
  setColour(10, 100, 102, 100);
  setColour(30, 100, 100, 98);
  setColour(40, 255, 255, 255, 100);  // the reserved byte is no colour
  EXPECT_EQ(BitmapStandInFor255(grid.BitmapPalette), 10);  // 10 and 30 tie: the lower wins
  setColour(30, 100, 100, 99);
  EXPECT_EQ(BitmapStandInFor255(grid.BitmapPalette), 30);

  for (std::int32_t i = 0; i < 6; ++i) grid.BitmapGrid(i, 0) = 255;
  grid.BitmapGrid(2, 1) = 255;
  const GridState read = WrittenAndRead(grid);
  for (std::int32_t i = 0; i < 6; ++i) EXPECT_EQ(read.BitmapGrid(i, 0), 30);
  EXPECT_EQ(std::tuple(read.BitmapGrid(2, 1), read.BitmapGrid(1, 1)), std::tuple(30, grid.BitmapGrid(1, 1)));
}

TEST(Map3dFile, WithoutAMapBitmapAZeroPaletteAndZeroCellsAreWrittenAndReadAsNoBitmap) {
  GridState grid = ConstructedGrid(5, 3, 9);
  grid.MapBitmapLoaded = false;
  TempFolder folder;
  Write3dMap(folder.File("m.o3d"), grid, DistinctViews());
  grid.BitmapGrid.Clear();  // without any bitmap grid the file is the same
  Write3dMap(folder.File("n.o3d"), grid, DistinctViews());
  EXPECT_EQ(ReadBytes(folder.File("m.o3d")), ReadBytes(folder.File("n.o3d")));
  const GridState read = WrittenAndRead(grid);
  EXPECT_FALSE(read.MapBitmapLoaded || read.ShowMapBitmap);
  EXPECT_EQ(read.BitmapPalette, (std::array<std::uint8_t, kBitmapPaletteSize>{}));
  EXPECT_TRUE(read.BitmapGrid == BitmapGridType(5, 3, 0));
  EXPECT_EQ(read.HeightGrid(4, 2), grid.HeightGrid(4, 2));
}

TEST(Map3dFile, GridsTheFileCannotHoldAreNotWrittenAndTheOldFileStays) {
  TempFolder folder;
  const std::string name = folder.File("kept.o3d");
  WriteBytes(name, {1, 2, 3});
  const GridState good = ConstructedGrid(4, 4, 1);
  std::vector<GridState> bad(8, good);
  bad[0].GridWidth = 0;
  bad[1].GridHeight = -1;
  bad[2].GridMinX = 40000;  // would wrap in its 16-bit field and move the terrain
  bad[3].GridMinY = -32769;
  bad[4].GridWidth = 6;  // more than the grids hold
  bad[5].BitmapGrid.Resize(4, 3);
  bad[6] = GridState{};  // sizes are checked before any cell is touched
  bad[6].GridWidth = 32768;
  bad[6].GridHeight = 1;
  bad[7] = bad[6];
  bad[7].GridWidth = 8193;
  bad[7].GridHeight = 8192;
  const auto refusal = [&name](const GridState& grid) {
    return ThrownText<std::invalid_argument>([&] { Write3dMap(name, grid, DistinctViews()); },
                                             &std::invalid_argument::what, "written");
  };
  for (const GridState& grid : bad) EXPECT_NE(refusal(grid), "written");
  EXPECT_EQ(refusal(bad[0]), "A 3D map needs a grid of at least one cell; this one is 0 x 4");
  EXPECT_EQ(refusal(bad[7]), "The grid of 8193 x 8192 cells is too large for a 3D map file");
  // The largest grid the file holds passes the size check and meets the next one.
  bad[7].GridWidth = 8192;
  EXPECT_EQ(refusal(bad[7]), "The height grid is smaller than its stated size 8192 x 8192");
  EXPECT_EQ(ReadBytes(name), (Bytes{1, 2, 3}));
  EXPECT_THROW(Write3dMap(folder.File("no-such-folder/m.o3d"), good, {}), FileError);
}

TEST(Map3dFile, AGridAboveABaseIsWrittenWithItsTrueHeightsOrRefusedWithTheReason) {
  TempFolder folder;
  // True heights of 30.0 to 49.2 m, every third cell interpolated, one empty, and the same
  // terrain held 20 m above a base.
  GridState asHeld = ConstructedGrid(6, 3, 4);
  GridState above = asHeld;
  above.HeightBase = 200;
  for (std::int32_t i = 0; i <= 6; ++i)
    for (std::int32_t j = 0; j <= 3; ++j) {
      const int v = (i + j) % 3 == 0 ? -(300 + 7 * i + 50 * j) : 300 + 7 * i + 50 * j;
      const bool empty = i == 2 && j == 1;
      asHeld.HeightGrid(i, j) = static_cast<std::int16_t>(empty ? 0 : v);
      above.HeightGrid(i, j) = static_cast<std::int16_t>(empty ? 0 : v < 0 ? v + 200 : v - 200);
    }
  Write3dMap(folder.File("held.o3d"), asHeld, DistinctViews());
  Write3dMap(folder.File("above.o3d"), above, DistinctViews());
  EXPECT_EQ(ReadBytes(folder.File("above.o3d")), ReadBytes(folder.File("held.o3d")));
  const GridState read = WrittenAndRead(above);
  EXPECT_EQ(std::tuple(read.HeightBase, read.HeightGrid(1, 0), read.HeightGrid(0, 0)),
            std::tuple(0, std::int16_t{307}, std::int16_t{-300}));

  // Up to 3276.7 m the file holds them; at or below 0 m, or above, it says so and writes nothing.
  for (const std::int32_t base : {-99, 32532}) {  // 0.1 m to 3276.7 m at the ends
    above.HeightBase = base;
    EXPECT_FALSE(Map3dHeightsNotHeld(above)) << base;
  }
  WriteBytes(folder.File("kept.o3d"), {1, 2, 3});
  for (const auto& [base, reason] :
       {std::pair{-100, "from 0.0 m to 13.5 m"}, {32533, "from 3263.3 m to 3276.8 m"}}) {
    above.HeightBase = base;
    const std::string message =
        std::string("A 3D map file holds heights from 0.1 m to 3276.7 m only, and this "
                    "terrain's heights run ") + reason +
        ": it cannot be saved as one. Export it as a DEM or a glTF model instead";
    EXPECT_EQ(Map3dHeightsNotHeld(above).value_or(""), message);
    EXPECT_EQ(ThrownText<std::invalid_argument>(
                  [&] { Write3dMap(folder.File("kept.o3d"), above, DistinctViews()); },
                  &std::invalid_argument::what),
              message);
    EXPECT_EQ(ReadBytes(folder.File("kept.o3d")), (Bytes{1, 2, 3}));
  }
}

// A file with the given size and sections; the palette is not all zeros.
Bytes RawFile(std::int16_t width, std::int16_t height, const std::vector<Bytes>& heightRows,
              const std::vector<Bytes>& bitmapRows) {
  Bytes file(kMap3dHeaderSize, 0);
  PutU16(file.data(), 0x3D00);
  PutI16(file.data() + 2, width);
  PutI16(file.data() + 4, height);
  for (const Bytes& row : heightRows) file.insert(file.end(), row.begin(), row.end());
  file.insert(file.end(), kBitmapPaletteSize, std::uint8_t{9});
  for (const Bytes& row : bitmapRows) file.insert(file.end(), row.begin(), row.end());
  return file;
}

class Map3dRefusal : public ::testing::Test {
 protected:
  // Reads bytes as a 3D map file; a refusal must show the message and change nothing.
  bool Reads(const Bytes& bytes, const std::string& what) {
    SCOPED_TRACE(what);
    std::filesystem::remove(name_);  // a fresh file each time: emptying one waits for the disk
    WriteBytes(name_, bytes);
    GridState grid = SentinelState();
    ViewpointBlock views = DistinctViews();
    ScriptedDialogs dialogs;
    const bool read = Read3dMap(name_, grid, views, dialogs);
    EXPECT_EQ(dialogs.BusyDepth, 0);
    if (read) return true;
    EXPECT_EQ(dialogs.Messages.size(), 1u);
    const auto& message = dialogs.Messages.at(0);
    EXPECT_EQ(std::tie(message.Text, message.Type, message.Buttons),
              std::tuple("Not a valid 3d Map File", MessageType::Plain, static_cast<unsigned>(DialogButton::Ok)));
    EXPECT_TRUE(Fields(grid) == Fields(SentinelState()));
    EXPECT_EQ(views, DistinctViews());
    return false;
  }

  TempFolder folder_;
  std::string name_ = folder_.File("damaged.o3d");
};

TEST_F(Map3dRefusal, DamagedHeadersAndRowsChangeNothing) {
  const Bytes h{0x7F, 0x0A, 0x00, 0x01, 0x02, 0x03};  // 4 cells
  const Bytes b{0x05, 0xFF, 0x03, 0x00};
  EXPECT_TRUE(Reads(RawFile(4, 2, {h, h}, {b, b}), "a sound file"));
  Bytes wrongMagic = RawFile(4, 2, {h, h}, {b, b});
  wrongMagic[1] = 0x3E;
  EXPECT_FALSE(Reads(wrongMagic, "wrong magic"));
  EXPECT_FALSE(Reads({0x00, 0x3D, 0x01, 0x00, 0x01, 0x00}, "shorter than the header"));
  EXPECT_FALSE(Reads(RawFile(0, 2, {}, {}), "no columns"));
  EXPECT_FALSE(Reads(RawFile(4, -2, {h, h}, {b, b}), "negative rows"));
  // Well-formed rows, but more cells than any real grid: refused before any allocation.
  EXPECT_FALSE(Reads(RawFile(32767, 2049, std::vector<Bytes>(2049, {0x7F, 0, 0, 0x81, 0xFE, 0x7F}),
                             std::vector<Bytes>(2049, {0x00, 0xFF, 0xFE, 0x7F})),
                     "too many cells"));
  EXPECT_FALSE(Reads(RawFile(4, 2, {{0x01, 0x7F, 0x0A, 0x00, 0x02, 0x03}, h}, {b, b}),
                     "a height row starting with a delta"));
  EXPECT_FALSE(Reads(RawFile(4, 2, {h, {0x81, 0x04, 0x00}}, {b, b}),
                     "a height row starting with a repeat"));
  EXPECT_FALSE(Reads(RawFile(4, 2, {h, {0x7F, 0x0A, 0x00, 0x81, 0x04, 0x00}}, {b, b}),
                     "a height repeat past the row's end"));
  EXPECT_FALSE(Reads(RawFile(4, 2, {h, h}, {b, {0xFF, 0x03, 0x00, 0x05}}),
                     "a bitmap row starting with the repeat marker"));
  EXPECT_FALSE(Reads(RawFile(4, 2, {h, h}, {b, {0x05, 0xFF, 0x04, 0x00}}),
                     "a bitmap repeat past the row's end"));
}

TEST_F(Map3dRefusal, EveryTruncationOfAValidFileIsRefused) {
  GridState grid = ConstructedGrid(7, 4, 3);
  Write3dMap(name_, grid, DistinctViews());
  const Bytes whole = ReadBytes(name_);
  EXPECT_TRUE(Reads(whole, "the whole file"));
  for (std::size_t length = 0; length < whole.size(); ++length)
    EXPECT_FALSE(Reads(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)),
                       "cut to " + std::to_string(length) + " bytes"));
}

TEST(Map3dFile, AMissingUnreadableBusyOrFifoFileRaisesAFileError) {
  TempFolder folder;
  GridState grid = SentinelState();
  ViewpointBlock views = DistinctViews();
  ScriptedDialogs dialogs;
  WriteBytes(folder.File("busy.o3d"), {0x00, 0x3D});
  FileStream writer(folder.File("busy.o3d"), FileMode::ReadWriteExclusive);
  testing::MakeFifo(folder.File("fifo.o3d"));
  testing::HangGuard guard;  // a fifo must be refused, not waited on
  for (const std::string& name : {folder.File("missing.o3d"), folder.Path(),
                                  folder.File("busy.o3d"), folder.File("fifo.o3d")})
    EXPECT_THROW(Read3dMap(name, grid, views, dialogs), FileError);
  EXPECT_EQ(std::tuple(dialogs.BusyDepth, dialogs.Messages.size()), std::tuple(0, 0u));
  EXPECT_TRUE(Fields(grid) == Fields(SentinelState()));
}

}  // namespace
}  // namespace terrak
