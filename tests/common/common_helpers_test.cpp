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
  EXPECT_EQ(RoundToInt(2.5), 2);
  EXPECT_EQ(RoundToInt(3.5), 4);
  EXPECT_EQ(RoundToInt(-2.5), -2);
  EXPECT_EQ(RoundToInt(-3.5), -4);
  EXPECT_EQ(RoundToInt(0.49999999999999994), 0);
  EXPECT_EQ(RoundToInt(123.45 * 10), 1234);  // 1234.4999... in binary
  EXPECT_EQ(RoundToInt(std::nan("")), 0);
  EXPECT_EQ(RoundToInt(1e300), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(RoundToInt(-std::numeric_limits<double>::infinity()),
            std::numeric_limits<std::int64_t>::min());
}

TEST(Wrap16, WrapsLikeA16BitField) {
  EXPECT_EQ(Wrap16(32767 + 1), -32768);
  EXPECT_EQ(Wrap16(65536 + 5), 5);
  EXPECT_EQ(Wrap16(-32769), 32767);
  EXPECT_EQ(Unsigned16(-32766), 32770);
}

TEST(NumberText, RightAlignedInItsFieldWrittenInFullWhenWider) {
  EXPECT_EQ(FormatFixed(0.0, 6, 1), "   0.0");
  EXPECT_EQ(FormatFixed(10.1, 6, 1), "  10.1");
  EXPECT_EQ(FormatFixed(1.0, 4, 2), "1.00");
  EXPECT_EQ(FormatFixed(-5.7, 4, 1), "-5.7");
  EXPECT_EQ(FormatFixed(12345.6, 4, 1), "12345.6");
  EXPECT_EQ(FormatInt(7, 3), "  7");
  EXPECT_EQ(FormatInt(1234, 3), "1234");
  EXPECT_EQ(FormatInt(-12), "-12");
}

TEST(Bytes, LittleEndianFieldsRoundTrip) {
  std::uint8_t buffer[8] = {};
  PutI16(buffer, -2);
  EXPECT_EQ(buffer[0], 0xFE);
  EXPECT_EQ(buffer[1], 0xFF);
  EXPECT_EQ(GetI16(buffer), -2);
  PutI32(buffer, 1234);
  EXPECT_EQ(buffer[0], 0xD2);
  EXPECT_EQ(buffer[1], 0x04);
  EXPECT_EQ(GetI32(buffer), 1234);
  PutDouble(buffer, 4.0);
  EXPECT_EQ(buffer[7], 0x40);
  EXPECT_EQ(buffer[6], 0x10);
  EXPECT_EQ(GetDouble(buffer), 4.0);
}

}  // namespace
}  // namespace terrak
