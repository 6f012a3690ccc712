#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/bytes.h"
#include "common/numtext.h"
#include "common/rounding.h"
#include "common/wrap16.h"

namespace terrak {
namespace {

TEST(Rounding, HalvesGoToTheEvenNeighbourAndDamagedValuesStayDefined) {
  EXPECT_EQ(std::tuple(RoundToInt(2.5), RoundToInt(3.5), RoundToInt(-2.5), RoundToInt(-3.5),
                       RoundToInt(0.49999999999999994)),
            std::tuple(2, 4, -2, -4, 0));
  EXPECT_EQ(RoundToInt(123.45 * 10), 1234);  // 1234.4999... in binary
  EXPECT_EQ(RoundToInt(std::nan("")), 0);
  EXPECT_EQ(RoundToInt(1e300), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(RoundToInt(-std::numeric_limits<double>::infinity()),
            std::numeric_limits<std::int64_t>::min());
}

TEST(Wrap16, WrapsLikeA16BitField) {
  EXPECT_EQ(std::tuple(Wrap16(32767 + 1), Wrap16(65536 + 5), Wrap16(-32769)),
            std::tuple(-32768, 5, 32767));
  EXPECT_EQ(Unsigned16(-32766), 32770);
}

TEST(NumberText, RightAlignedInItsFieldWrittenInFullWhenWider) {
  EXPECT_EQ(std::tuple(FormatFixed(0.0, 6, 1), FormatFixed(10.1, 6, 1), FormatFixed(1.0, 4, 2),
                       FormatFixed(-5.7, 4, 1), FormatFixed(12345.6, 4, 1)),
            std::tuple("   0.0", "  10.1", "1.00", "-5.7", "12345.6"));
  EXPECT_EQ(std::tuple(FormatInt(7, 3), FormatInt(1234, 3), FormatInt(-12)),
            std::tuple("  7", "1234", "-12"));
}

TEST(Bytes, LittleEndianFieldsRoundTrip) {
  std::uint8_t buffer[8] = {};
  PutI16(buffer, -2);
  EXPECT_EQ(std::tuple(buffer[0], buffer[1]), std::tuple(0xFE, 0xFF));
  EXPECT_EQ(GetI16(buffer), -2);
  PutI32(buffer, 1234);
  EXPECT_EQ(std::tuple(buffer[0], buffer[1]), std::tuple(0xD2, 0x04));
  EXPECT_EQ(GetI32(buffer), 1234);
  PutDouble(buffer, 4.0);
  EXPECT_EQ(std::tuple(buffer[7], buffer[6]), std::tuple(0x40, 0x10));
  EXPECT_EQ(GetDouble(buffer), 4.0);
}

}  // namespace
}  // namespace terrak
