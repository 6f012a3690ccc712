#include <gtest/gtest.h>

#include "mainwindow/input_text.h"

namespace terrak {
namespace {

TEST(ToleranceAnswer, WholeNumbersFrom0To72) {
  EXPECT_EQ(ParseToleranceAnswer("72"), 72);
  EXPECT_EQ(ParseToleranceAnswer(" 10"), 10);  // the default text, right-aligned
  EXPECT_EQ(ParseToleranceAnswer("0"), 0);
  // Nothing after the digits.
  for (const char* refused : {"73", "-1", "10 ", "1.5", "", "-"})
    EXPECT_EQ(ParseToleranceAnswer(refused), std::nullopt) << refused;
  // Only the first 11 characters count.
  EXPECT_EQ(ParseToleranceAnswer("0000000001299999"), 12);
  EXPECT_EQ(ToleranceDefaultText(10), " 10");
}

// The decimetres an answer gives, or nothing when it is refused.
std::optional<std::int32_t> Decimetres(const std::string& answer) {
  const std::optional<double> metres = ParseHeightMetres(answer);
  if (!metres || !HeightRangeProblem(*metres).empty()) return std::nullopt;
  EXPECT_EQ(HeightRefusal(answer), "") << answer;
  return HeightDecimetres(*metres);
}

TEST(HeightAnswer, MetresBelow3000CutToSixCharactersWithAPointOrAComma) {
  EXPECT_EQ(std::tuple(Decimetres("2999.9"), Decimetres("3000"), Decimetres("12.345")),
            std::tuple(29999, std::nullopt, 123));
  EXPECT_EQ(Decimetres("1234.56"), 12345);  // read as 1234.5
  EXPECT_EQ(Decimetres("  12.3"), 123);
  EXPECT_EQ(Decimetres("0.25"), 2);  // 2.5 rounds to the even neighbour
  EXPECT_EQ(Decimetres("0.35"), 4);
  EXPECT_EQ(std::tuple(Decimetres("-5"), Decimetres("abc"), Decimetres("12m"), Decimetres(""),
                       Decimetres("."), Decimetres("1e3")),
            std::tuple(-50, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 10000));
  EXPECT_EQ(Decimetres("1e-999"), 0);  // too small for a double: 0
  // Below sea level as far as six characters reach; the map's format may hold less.
  EXPECT_EQ(std::tuple(Decimetres("-3276"), Decimetres("-3300"), Decimetres("-99999"),
                       Decimetres("-9e9"), Decimetres("-9e999"), Decimetres("9e999")),
            std::tuple(-32760, -33000, -999990, std::nullopt, std::nullopt, std::nullopt));
  // A decimal comma counts as the point; one separator at most, and no thousands separators.
  EXPECT_EQ(std::tuple(ParseHeightMetres("12,5"), ParseHeightMetres(" 0,25 "),
                       ParseHeightMetres("-1,5e2"), ParseHeightMetres("12,"),
                       ParseHeightMetres(",5")),
            std::tuple(12.5, 0.25, -150.0, 12.0, 0.5));
  EXPECT_EQ(std::tuple(ParseHeightMetres("1,2,5"), ParseHeightMetres("1.2,5"),
                       ParseHeightMetres(",")),
            std::tuple(std::nullopt, std::nullopt, std::nullopt));
  // The default text is the height in metres, cut to six characters.
  EXPECT_EQ(std::tuple(HeightDefaultText(0), HeightDefaultText(1234), HeightDefaultText(-32768)),
            std::tuple("0.0", "123.4", "-3276."));
}

TEST(HeightAnswer, TheRangeIsDecidedInOnePlaceAndARefusalSaysWhy) {
  EXPECT_EQ(std::tuple(HeightRangeProblem(2999.99), HeightRangeProblem(-99999),
                       HeightRangeProblem(3000), HeightRangeProblem(-99999.1)),
            std::tuple("", "", "heights must be below 3000 m", "heights must be -99999 m or more"));
  EXPECT_EQ(HeightRefusal("12,5"), "");
  EXPECT_EQ(HeightRefusal(" 3000 "),
            "Height not changed: \"3000\" is out of range, heights must be below 3000 m");
  EXPECT_EQ(HeightRefusal("12 m"), "Height not changed: \"12 m\" is not a number of metres");
  // Only the six characters that are read are quoted.
  EXPECT_EQ(HeightRefusal("12.5 metres"),
            "Height not changed: \"12.5 m\" is not a number of metres");
  EXPECT_EQ(ToleranceRefusal("73"),
            "Tolerance not changed: \"73\" is not a whole number from 0 to 72");
}

}  // namespace
}  // namespace terrak
