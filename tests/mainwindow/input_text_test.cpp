#include <gtest/gtest.h>

#include "mainwindow/input_text.h"

namespace terrak {
namespace {

TEST(ToleranceAnswer, WholeNumbersFrom0To72) {
  EXPECT_EQ(ParseToleranceAnswer("72"), 72);
  EXPECT_EQ(ParseToleranceAnswer(" 10"), 10);  // the default text, right-aligned
  EXPECT_EQ(ParseToleranceAnswer("0"), 0);
  EXPECT_EQ(ParseToleranceAnswer("73"), std::nullopt);
  EXPECT_EQ(ParseToleranceAnswer("-1"), std::nullopt);
  EXPECT_EQ(ParseToleranceAnswer("10 "), std::nullopt);  // nothing after the digits
  EXPECT_EQ(ParseToleranceAnswer("1.5"), std::nullopt);
  EXPECT_EQ(ParseToleranceAnswer(""), std::nullopt);
  EXPECT_EQ(ParseToleranceAnswer("-"), std::nullopt);
  // Only the first 11 characters count.
  EXPECT_EQ(ParseToleranceAnswer("0000000001299999"), 12);
  EXPECT_EQ(ToleranceDefaultText(10), " 10");
}

TEST(HeightAnswer, MetresBelow3000CutToSixCharacters) {
  EXPECT_EQ(ParseHeightAnswer("2999.9"), 29999);
  EXPECT_EQ(ParseHeightAnswer("3000"), std::nullopt);
  EXPECT_EQ(ParseHeightAnswer("12.345"), 123);
  EXPECT_EQ(ParseHeightAnswer("1234.56"), 12345);  // read as 1234.5
  EXPECT_EQ(ParseHeightAnswer("  12.3"), 123);
  EXPECT_EQ(ParseHeightAnswer("0.25"), 2);  // 2.5 rounds to the even neighbour
  EXPECT_EQ(ParseHeightAnswer("-5"), -50);
  EXPECT_EQ(ParseHeightAnswer("abc"), std::nullopt);
  EXPECT_EQ(ParseHeightAnswer("12m"), std::nullopt);
  EXPECT_EQ(ParseHeightAnswer(""), std::nullopt);
  EXPECT_EQ(ParseHeightAnswer("."), std::nullopt);
  // Heights are 16-bit decimetres: below -3276.8 m nothing fits.
  EXPECT_EQ(ParseHeightAnswer("-3276"), -32760);
  EXPECT_EQ(ParseHeightAnswer("-3300"), std::nullopt);
  EXPECT_EQ(ParseHeightAnswer("-9e9"), std::nullopt);
}

TEST(HeightAnswer, DefaultTextIsTheHeightInMetres) {
  EXPECT_EQ(HeightDefaultText(0), "0.0");
  EXPECT_EQ(HeightDefaultText(1234), "123.4");
  EXPECT_EQ(HeightDefaultText(-32768), "-3276.");  // cut to six characters
}

}  // namespace
}  // namespace terrak
