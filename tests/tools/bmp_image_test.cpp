#include "mapbuild/bmp_image.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace terrak::testing {
namespace {

std::vector<std::uint8_t> Hex(const std::string& hex) {
  std::istringstream in(hex);
  std::vector<std::uint8_t> bytes;
  std::string byte;
  // Two digits a byte, so that two literals joined without a blank cannot merge bytes.
  while (in >> byte) {
    EXPECT_EQ(byte.size(), 2u) << byte;
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16)));
  }
  return bytes;
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& file, std::size_t pos,
                                std::size_t n) {
  return {file.begin() + static_cast<std::ptrdiff_t>(pos),
          file.begin() + static_cast<std::ptrdiff_t>(pos + n)};
}

TEST(BmpImage, EightBitFileHasPaletteAndPaddedRowsBottomUp) {
  IndexedImage image;
  image.Pixels.Resize(3, 2);
  for (int x = 0; x < 3; ++x) {
    image.Pixels(x, 0) = static_cast<std::uint8_t>(1 + x);  // top row
    image.Pixels(x, 1) = static_cast<std::uint8_t>(4 + x);
  }
  image.Palette[1] = MakeColour(0x11, 0x22, 0x33);
  const std::vector<std::uint8_t> file = EncodeBmp(image);
  ASSERT_EQ(file.size(), 1086u);
  EXPECT_EQ(Slice(file, 0, 14), Hex("42 4D 3E 04 00 00 00 00 00 00 36 04 00 00"));
  EXPECT_EQ(Slice(file, 14, 40),
            Hex("28 00 00 00 03 00 00 00 02 00 00 00 01 00 08 00 00 00 00 00 "
                "08 00 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00 00 00 00"));
  EXPECT_EQ(Slice(file, 54, 8), Hex("00 00 00 00 33 22 11 00"));
  EXPECT_EQ(Slice(file, 1078, 8), Hex("04 05 06 00 01 02 03 00"));
}

TEST(BmpImage, TwentyFourBitFileStoresBlueGreenRedWithRowPadding) {
  RgbImage image;
  image.Pixels.Resize(2, 2);
  image.Pixels(0, 0) = MakeColour(255, 0, 0);
  image.Pixels(1, 0) = MakeColour(0, 255, 0);
  image.Pixels(0, 1) = MakeColour(0, 0, 255);
  image.Pixels(1, 1) = kWhite;
  const std::vector<std::uint8_t> file = EncodeBmp(image);
  ASSERT_EQ(file.size(), 70u);
  EXPECT_EQ(Slice(file, 0, 14), Hex("42 4D 46 00 00 00 00 00 00 00 36 00 00 00"));
  EXPECT_EQ(Slice(file, 14, 24), Hex("28 00 00 00 02 00 00 00 02 00 00 00 01 00 18 00 00 00 00 00 "
                                     "10 00 00 00"));
  EXPECT_EQ(Slice(file, 54, 16), Hex("FF 00 00 FF FF FF 00 00 00 00 FF 00 FF 00 00 00"));
  EXPECT_EQ(BmpRowBytes(801, 8), 804);
  EXPECT_EQ(BmpRowBytes(800, 8), 800);
  EXPECT_THROW(EncodeBmp(RgbImage{}), std::invalid_argument);
}

}  // namespace
}  // namespace terrak::testing
