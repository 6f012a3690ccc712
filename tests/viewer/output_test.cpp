#include "viewer/picture_output.h"

#include <gtest/gtest.h>

#include "common/bytes.h"
#include "support/png_image.h"
#include "viewer/options.h"

namespace terrak {
namespace {

TEST(ParseOptionAnswer, OnlyTheFirstThreeCharactersCountAndOutOfRangeIsIgnored) {
  EXPECT_EQ(std::tuple(ParseOptionAnswer("1500", 0, 999), ParseOptionAnswer("999", 0, 999),
                       ParseOptionAnswer("1000", 0, 999), ParseOptionAnswer("150", 0, 99),
                       ParseOptionAnswer("99", 0, 99), ParseOptionAnswer("  5", 1, 9),
                       ParseOptionAnswer("+7", 1, 9), ParseOptionAnswer("0", 1, 9),
                       ParseOptionAnswer("-1", 0, 99), ParseOptionAnswer("5 ", 1, 9),
                       ParseOptionAnswer("1x", 1, 100), ParseOptionAnswer("", 0, 99),
                       ParseOptionAnswer("   ", 0, 99), ParseOptionAnswer("$10", 0, 99)),
            std::tuple(150, 999, 100, std::nullopt, 99, 5, 7, std::nullopt, std::nullopt,
                       std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt));
  EXPECT_EQ(ParseOptionAnswer("1", 1, 9), 1);  // the smallest allowed value is taken too

  EXPECT_EQ(std::tuple(OptionDefaultText(5), OptionDefaultText(100), OptionDefaultText(1234)),
            std::tuple("  5", "100", "123"));
}

TEST(PrintRectFor, TheLargest4To3RectangleInTheTopLeftCorner) {
  EXPECT_EQ(PrintRectFor(4800, 6600), (Rect{0, 0, 4800, 3600}));  // portrait
  EXPECT_EQ(PrintRectFor(6600, 4800), (Rect{0, 0, 6400, 4800}));  // landscape
  EXPECT_EQ(PrintRectFor(400, 300), (Rect{0, 0, 400, 300}));
  EXPECT_EQ(PrintRectFor(401, 300), (Rect{0, 0, 400, 300}));
  EXPECT_EQ(PrintRectFor(100000, 100000), (Rect{0, 0, 100000, 75000}));  // no overflow
}

TEST(EncodeBmp24, HeadersAndBottomUpPaddedBlueGreenRedRows) {
  Picture picture;
  picture.Reset(3, 2, kWhite);
  picture.At(0, 0) = MakeColour(1, 2, 3);     // top left
  picture.At(2, 1) = MakeColour(10, 20, 30);  // bottom right
  const std::vector<std::uint8_t> bmp = EncodeBmp24(picture);
  ASSERT_EQ(bmp.size(), 54u + 2 * 12);  // rows of 9 bytes padded to 12
  // "BM", the file size, the pixels at 54, a 40-byte header of 3 x 2 pixels, one plane, 24 bits,
  // no compression.
  EXPECT_EQ(std::vector<std::uint8_t>(bmp.begin(), bmp.begin() + 34),
            (std::vector<std::uint8_t>{'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0,
                                       0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0}));
  // The first stored row is the picture's bottom row.
  EXPECT_EQ(std::vector<std::uint8_t>(bmp.begin() + 54, bmp.begin() + 66),
            (std::vector<std::uint8_t>{255, 255, 255, 255, 255, 255, 30, 20, 10, 0, 0, 0}));
  EXPECT_EQ(std::vector<std::uint8_t>(bmp.begin() + 66, bmp.begin() + 69),
            (std::vector<std::uint8_t>{3, 2, 1}));
  EXPECT_THROW(EncodeBmp24(Picture{}), std::invalid_argument);

  Picture large;
  large.Reset(1200, 900, kWhite);
  EXPECT_EQ(EncodeBmp24(large).size(), 54u + 1200 * 3 * 900);
}

TEST(EncodePng, ReadsBackAsEveryPixelOfThePictureCompressed) {
  // Odd sizes, every channel distinct, colours that repeat along rows as the views' skies do.
  Picture picture;
  picture.Reset(301, 7, MakeColour(9, 8, 7));
  for (std::int32_t y = 0; y < picture.Height; ++y)
    for (std::int32_t x = 0; x < picture.Width; x += 3)
      picture.At(x, y) = MakeColour(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(40 * y),
                                    static_cast<std::uint8_t>(255 - x % 256));
  const std::vector<std::uint8_t> png = EncodePng(picture);
  EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 8),
            (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  const std::optional<Picture> back = testing::DecodePng(png);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, picture);

  // One colour all over: a few hundred bytes rather than 3 bytes a pixel.
  Picture plain;
  plain.Reset(1200, 900, kWhite);
  const std::vector<std::uint8_t> small = EncodePng(plain);
  EXPECT_LT(small.size(), 10'000u);
  EXPECT_EQ(*testing::DecodePng(small), plain);
  EXPECT_THROW(EncodePng(Picture{}), std::invalid_argument);
}

TEST(BitmapSavedMessage, NamesTheFileAndSizeCuttingLongNamesTo96Characters) {
  EXPECT_EQ(BitmapSavedMessage("c:\\a.bmp", 1200, 900),
            "Bitmap saved to c:\\a.bmp at 1200x900 pixels");
  const std::string longName(200, 'n');
  EXPECT_EQ(BitmapSavedMessage(longName, 1200, 900),
            "Bitmap saved to " + std::string(80, 'n') + " at 1200x900 pixels");
  // Characters are counted, not bytes: "é" is two bytes and one character, "€" three and one.
  const std::string accented = std::string(79, 'n') + "\xC3\xA9" + "tail";
  EXPECT_EQ(BitmapSavedMessage(accented, 1, 2),
            "Bitmap saved to " + std::string(79, 'n') + "\xC3\xA9 at 1x2 pixels");
  std::string euros;
  for (int i = 0; i < 100; ++i) euros += "\xE2\x82\xAC";
  EXPECT_EQ(BitmapSavedMessage(euros, 1, 2),
            "Bitmap saved to " + euros.substr(0, 80 * 3) + " at 1x2 pixels");
  EXPECT_EQ(BitmapSavedMessage(std::string(80, 'n'), 1, 2),  // exactly 96: nothing is cut
            "Bitmap saved to " + std::string(80, 'n') + " at 1x2 pixels");
}

}  // namespace
}  // namespace terrak
