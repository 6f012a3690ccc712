#include <gtest/gtest.h>

#include "common/bytes.h"
#include "grid/grid_fixtures.h"
#include "grid/map_bitmap.h"
#include "support/fake_image_stretcher.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using testing::EmptyGrid;
using testing::FakeImageStretcher;
using testing::ReadBytes;
using testing::ScriptedDialogs;
using testing::TempFolder;
using testing::WriteBytes;

TEST(MapBitmap, IsLookedForBesideTheMapUnderItsName) {
  // Only the name's own ending is replaced, never ".ocd" inside a folder's name; the name is
  // guessed unless the map's ending is one of a map.
  for (const auto& [map, bitmap, guess] :
       {std::tuple{"/maps/forest.ocd", "/maps/forest.bmp", false}, {"/maps/FOREST.OCD", "/maps/FOREST.bmp", false},
        {"/data.ocd/v2.ocd.ocd", "/data.ocd/v2.ocd.bmp", false}, {"/maps/forest.map", "/maps/forest.bmp", true},
        {"/maps.v1/forest", "/maps.v1/forest.bmp", true}}) {
    bool guessed = !guess;
    EXPECT_EQ(std::tuple(MapBitmapFileNameFor(map, &guessed), guessed), std::tuple(bitmap, guess));
  }
}

TEST(MapBitmap, StretchedFileHasItsPaletteAndBottomUpRowsAtFixedPlaces) {
  EXPECT_EQ(BmpRowBytes(800), 800);
  EXPECT_EQ(BmpRowBytes(801), 804);
  IndexedImage image{3, 2, {1, 2, 3, 4, 5, 6}};
  const std::vector<std::uint8_t> bmp = EncodeBmp8(image, StretchPalette());
  ASSERT_EQ(bmp.size(), 1078u + 2 * 4);
  const std::uint8_t* h = bmp.data();
  EXPECT_EQ(std::tuple(h[0], h[1], GetU32(h + 2), GetU32(h + 10), GetU32(h + 14)),
            std::tuple('B', 'M', bmp.size(), 1078u, 40u));
  // 3 x 2 pixels in one plane of 8 bits, 8 bytes of rows, all 256 colours.
  EXPECT_EQ(std::tuple(GetI32(h + 18), GetI32(h + 22), GetU16(h + 26), GetU16(h + 28),
                       GetU32(h + 34), GetU32(h + 46)),
            std::tuple(3, 2, 1, 8, 8u, 256u));
  // Palette entry 1 of the cube is blue 51: stored blue, green, red, 0.
  EXPECT_EQ(std::vector<std::uint8_t>(bmp.begin() + 58, bmp.begin() + 62), (std::vector<std::uint8_t>{51, 0, 0, 0}));
  // The picture's last row is stored first, each row padded to four bytes.
  EXPECT_EQ(std::vector<std::uint8_t>(bmp.begin() + 1078, bmp.end()),
            (std::vector<std::uint8_t>{4, 5, 6, 0, 1, 2, 3, 0}));
  // After the cube 39 greys, from 6 to 249.
  EXPECT_EQ(StretchPalette()[216], MakeColour(6, 6, 6));
  EXPECT_EQ(StretchPalette()[254], MakeColour(249, 249, 249));
  // Nearest-colour mapping never needs entry 255: it repeats black, which entry 0 holds.
  EXPECT_EQ(StretchPalette()[255], StretchPalette()[0]);
}

struct BitmapCase {
  TempFolder folder;
  GridState grid;
  GridBuildState build;
  ScriptedDialogs dialogs;
  BitmapCase(std::int32_t mapWidth, std::int32_t mapHeight, std::int32_t w, std::int32_t h) {
    grid = EmptyGrid(w, h);
    grid.MapWidth = mapWidth;
    grid.MapHeight = mapHeight;
    build.StretchedFileName = folder.File("stretched.bmp");
    build.MapBitmapFileName = folder.File("map.bmp");
  }
};

TEST(MapBitmap, SelectionRowsAndColumnsComeFromTheirOffsets) {
  BitmapCase c(801, 200, 50, 40);
  c.build.BitmapRowOffset = 30;
  c.build.BitmapColumnOffset = 100;
  c.build.StretchedFileName = c.folder.File("cache/stretched.bmp");  // the folder is made
  FakeImageStretcher stretcher;
  // The stretched picture is upside down: its last row is the map's top edge, and that row is
  // stored first. Row r of the file is picture row 199 - r.
  stretcher.Pixel = [](std::int32_t x, std::int32_t row) {
    return static_cast<std::uint8_t>(((199 - row) * 7 + x) % 200);
  };
  ReadMapBitmap(c.grid, c.build, stretcher, c.dialogs);
  EXPECT_EQ(std::tuple(stretcher.LastWidth, stretcher.LastHeight), std::tuple(801, 200));
  EXPECT_EQ(ReadBytes(c.folder.File("cache/stretched.bmp")).size(), 1078u + 804u * 200u);
  EXPECT_TRUE(c.grid.MapBitmapLoaded && c.grid.ShowMapBitmap && c.dialogs.Messages.empty());
  const auto fileByte = [](int storedRow, int pixel) { return (storedRow * 7 + pixel) % 200; };
  // 30 rows skipped: the 31st stored row becomes row GridHeight; column 0 takes pixel 101.
  EXPECT_EQ(std::tuple(c.grid.BitmapGrid(0, 40), c.grid.BitmapGrid(49, 40), c.grid.BitmapGrid(0, 0)),
            std::tuple(fileByte(30, 101), fileByte(30, 150), fileByte(70, 101)));
  EXPECT_EQ(c.grid.BitmapGrid(50, 10), 0);  // column GridWidth is not written
  EXPECT_EQ(c.grid.BitmapPalette[4], 51);   // entry 1's blue, as stored
  EXPECT_EQ(std::tuple(c.build.Notes.BitmapRowsMissing, c.build.Notes.BitmapRowsLong), std::tuple(0, false));
}

TEST(MapBitmap, RowsBeyondTheFileRepeatTheLastAndWideMapsAreReadWhole) {
  BitmapCase c(6000, 10, 5999, 10);  // rows of 6000 bytes, longer than the old buffer
  FakeImageStretcher stretcher;
  stretcher.Pixel = [](std::int32_t x, std::int32_t row) { return static_cast<std::uint8_t>(x == 5999 ? 9 : row + 1); };
  ReadMapBitmap(c.grid, c.build, stretcher, c.dialogs);
  // Eleven rows are read from a picture of ten: the last read repeats the file's last row.
  EXPECT_EQ(std::tuple(c.build.Notes.BitmapRowsLong, c.build.Notes.BitmapRowsMissing), std::tuple(true, 1));
  EXPECT_EQ(c.grid.BitmapGrid(0, 10), 10);  // the map's top: picture row 9, stored first
  EXPECT_EQ(c.grid.BitmapGrid(0, 1), 1);
  EXPECT_EQ(c.grid.BitmapGrid(0, 0), 1);
  EXPECT_EQ(c.grid.BitmapGrid(5998, 5), 9);  // pixel 5999, beyond the old buffer

  // A row copied with a negative offset starts at pixel 0; pixels beyond the row read as 0.
  GridState small = EmptyGrid(4, 1);
  small.BitmapGrid.Resize(5, 2, 7);
  CopyBitmapRow({10, 11, 12}, 1, -3, small);
  EXPECT_EQ(std::tuple(small.BitmapGrid(0, 1), small.BitmapGrid(1, 1)), std::tuple(10, 11));
  EXPECT_EQ(small.BitmapGrid(2, 1), 7);  // pixels 0 .. offset + GridWidth only
  CopyBitmapRow({10, 11, 12}, 0, 1, small);
  EXPECT_EQ(std::tuple(small.BitmapGrid(0, 0), small.BitmapGrid(1, 0)), std::tuple(12, 0));
  EXPECT_EQ(small.BitmapGrid(4, 0), 7);  // column GridWidth is not written
}

TEST(MapBitmap, DamagedStretchedFileFailsTheCheckWithTheMessage) {
  BitmapCase c(20, 10, 10, 5);
  c.grid.MapBitmapLoaded = true;
  c.grid.ShowMapBitmap = true;
  std::vector<std::uint8_t> good = EncodeBmp8({20, 10, std::vector<std::uint8_t>(200, 3)}, StretchPalette());
  for (int damage = 0; damage < 5; ++damage) {
    std::vector<std::uint8_t> bytes = good;
    if (damage == 0) bytes[1] = 'X';            // signature
    if (damage == 1) PutU16(bytes.data() + 26, 2);  // planes
    if (damage == 2) PutU16(bytes.data() + 28, 24);  // bits per pixel
    if (damage == 3) PutI32(bytes.data() + 18, -20);  // width
    if (damage == 4) bytes.resize(28);          // ends before bits per pixel
    WriteBytes(c.build.StretchedFileName, bytes);
    c.grid.MapBitmapLoaded = c.grid.ShowMapBitmap = true;
    ReadStretchedBitmap(c.grid, c.build, c.dialogs);
    EXPECT_FALSE(c.grid.MapBitmapLoaded || c.grid.ShowMapBitmap) << damage;
  }
  ASSERT_EQ(c.dialogs.Messages.size(), 5u);
  EXPECT_EQ(c.dialogs.Messages[0].Text, kNotOcadBitmapMessage);
  // A file cut short after the headers is read as far as it goes.
  good.resize(1078 + 20 * 3 + 7);
  WriteBytes(c.build.StretchedFileName, good);
  ReadStretchedBitmap(c.grid, c.build, c.dialogs);
  EXPECT_EQ(std::tuple(c.grid.MapBitmapLoaded, c.grid.BitmapGrid(0, 5)), std::tuple(true, 3));
  // An image that cannot be loaded, a cache folder that cannot be written, or an image that did
  // not come out at the map's size costs the draping only: one message with the reason each, both
  // flags false.
  struct CutShort : ImageStretcher {
    IndexedImage StretchUpsideDown(const std::string&, std::int32_t w, std::int32_t h, const ImagePalette&) override {
      return {w - 1, h, std::vector<std::uint8_t>(static_cast<std::size_t>((w - 1) * h))};
    }
  } cut;
  FakeImageStretcher failing, stretcher;
  failing.FailToLoad = true;
  c.dialogs.Messages.clear();
  for (const auto& [with, file] : {std::pair<ImageStretcher*, std::string>{&failing, "stretched.bmp"},
                                   {&stretcher, "stretched.bmp/inside"}, {&cut, "cut.bmp"}}) {
    c.build.StretchedFileName = c.folder.File(file);
    c.grid.MapBitmapLoaded = c.grid.ShowMapBitmap = true;
    ReadMapBitmap(c.grid, c.build, *with, c.dialogs);
    EXPECT_FALSE(c.grid.MapBitmapLoaded || c.grid.ShowMapBitmap) << file;
  }
  ASSERT_EQ(c.dialogs.Messages.size(), 3u);
  for (const auto& message : c.dialogs.Messages)
    EXPECT_EQ(message.Text.rfind(std::string(kMapImageUnusedMessage) + "Cannot use file \"", 0), 0u)
        << message.Text;
  EXPECT_TRUE(c.dialogs.Messages[2].Text.ends_with("\": the image could not be stretched to the map's size"));
}

}  // namespace
}  // namespace terrak
