// The version 6/7 conversions: coded coordinates, the six-byte real, the zoom double, and the
// marker pairs that the object conversion writes for parts, curves and line flags.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <tuple>

#include "common/bytes.h"
#include "mapfile/ocad_file.h"
#include "mapfile/ocad_format_error.h"

namespace terrak {
namespace {

constexpr std::int32_t Coded(std::int32_t hundredthsMm, std::uint8_t flags = 0) {
  return hundredthsMm * 256 + flags;
}

TEST(ConvertCoord6, TruncatesBeforeScalingAndKeepsTheFlagByte) {
  // 1000 hundredths are 566.93; flag bits of a negative coordinate pull its truncated position
  // one step toward zero; 1.70 rounds to the nearest either way; far ones saturate at 16 bits.
  for (const auto& [coded, value] :
       {std::pair{-256, -1}, {-255, 0}, {Coded(1000, 5), 567}, {Coded(-1000, 2), -566},
        {Coded(-1000), -567}, {Coded(3), 2}, {Coded(-3), -2}, {Coded(8000000), 32767},
        {Coded(-8000000), -32768}, {std::numeric_limits<std::int32_t>::min(), -32768}})
    EXPECT_EQ(ConvertCoord6(coded).Value, value) << coded;
  EXPECT_EQ(ConvertCoord6(-255).Flags, 0x01);  // the low byte of the stored value
}

TEST(ModelToCoord6, IsTheRoundedInverse) {
  EXPECT_EQ(ModelToCoord6(0), 0);
  for (const int m : {-32000, -1, 1, 12345, 32767})
    EXPECT_EQ(ConvertCoord6(ModelToCoord6(m)).Value, m) << m;
}

TEST(Real6, ExponentBiasMantissaAndSign) {
  // 10000 = 1.220703125 * 2^13: mantissa 0.220703125 * 2^39 = 0x1C40000000.
  const std::pair<std::array<std::uint8_t, 6>, double> reals[] = {
      {{0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0.0}, {{129, 0, 0, 0, 0, 0}, 1.0},
      {{129, 0, 0, 0, 0, 0xC0}, -1.5}, {{142, 0, 0, 0, 0x40, 0x1C}, 10000.0},
      {{1, 0, 0, 0, 0, 0}, std::ldexp(1.0, -128)}};
  for (const auto& [bytes, value] : reals) EXPECT_EQ(Real6ToDouble(bytes.data()), value) << value;
}

TEST(ZoomFromDouble, WholeNumbersRoundAndAnythingElseIsTheSmallestZoom) {
  EXPECT_EQ(std::tuple(ZoomFromDouble(4.0), ZoomFromDouble(2.5), ZoomFromDouble(3.5),
                       ZoomFromDouble(-1.0), ZoomFromDouble(std::nan("")),
                       ZoomFromDouble(std::numeric_limits<double>::infinity()),
                       ZoomFromDouble(1e300), ZoomFromDouble(-40000.0)),
            std::tuple(4, 2, 4, -1, 6, 6, 6, 6));
}

// A stored version 6/7 object with the given coded coordinates.
std::vector<std::uint8_t> Object6(const std::vector<std::pair<std::int32_t, std::int32_t>>& coords,
                                  std::uint16_t type = 2, std::int32_t height = 0) {
  std::vector<std::uint8_t> bytes(32 + 8 * coords.size(), 0);
  PutI16(bytes.data() + 0, 101);
  PutU16(bytes.data() + 2, type);
  PutI16(bytes.data() + 4, static_cast<std::int16_t>(coords.size()));
  PutI16(bytes.data() + 8, 45);
  PutI32(bytes.data() + 12, height);
  for (std::size_t k = 0; k < coords.size(); ++k) {
    PutI32(bytes.data() + 32 + 8 * k, coords[k].first);
    PutI32(bytes.data() + 36 + 8 * k, coords[k].second);
  }
  return bytes;
}

// Model values of 1000, 2000 ... hundredths: 567, 1134, 1701, 2268, 2835.
constexpr int M1 = 567, M2 = 1134, M3 = 1701, M4 = 2268, M5 = 2835;

TEST(ConvertObject6, HeaderFieldsAndPointsWithTheirFlagBytes) {
  const ModelElement e =
      ConvertObject6(Object6({{Coded(1000), Coded(2000)}, {Coded(3000), Coded(4000)}}, 2, -5));
  EXPECT_EQ(std::tie(e.Symbol, e.ObjectType, e.Angle, e.Height, e.Points),
            std::tuple(101, 2, 45, -5, std::vector<ModelPoint>{{M1, M2, 0}, {M3, M4, 0}}));

  // Each point keeps its x flag byte low and its y flag byte above it: a curve's controls, a
  // hole's first point, a corner, the side lines. The first point's control flag is dropped, as
  // a line starts at a point.
  const std::uint8_t xFlags[] = {1, 1, 2, 4, 8, 0};
  const std::uint8_t yFlags[] = {1, 0, 0, 2, 4, 8};
  std::vector<std::pair<std::int32_t, std::int32_t>> coords;
  for (std::size_t k = 0; k < 6; ++k)
    coords.push_back({Coded(1000 * static_cast<std::int32_t>(k + 1), xFlags[k]),
                      Coded(1000, yFlags[k])});
  using namespace point_flag;
  std::vector<std::uint32_t> flags;
  for (const ModelPoint& p : ConvertObject6(Object6(coords, 3)).Points) flags.push_back(p.Flags);
  EXPECT_EQ(flags, (std::vector<std::uint32_t>{kCorner, kFirstControl, kSecondControl,
                                               kNoLeftLine | kHoleStart, kGap | kNoRightLine,
                                               kDash}));
}

TEST(ConvertObject6, LongObjectsAreReadWholeAndDamagedCountsAreRefused) {
  std::vector<std::pair<std::int32_t, std::int32_t>> coords;
  for (int k = 0; k < 3000; ++k) coords.push_back({Coded(k * 10), Coded(k * 10)});
  EXPECT_EQ(ConvertObject6(Object6(coords)).Points.size(), 3000u);

  std::vector<std::uint8_t> bytes = Object6({{Coded(1000), Coded(1000)}});
  PutI16(bytes.data() + 4, 2);  // claims a second coordinate it does not hold
  EXPECT_THROW(ConvertObject6(bytes), OcadFormatError);
  PutI16(bytes.data() + 4, -1);
  EXPECT_THROW(ConvertObject6(bytes), OcadFormatError);
  EXPECT_THROW(ConvertObject6(std::vector<std::uint8_t>(10)), OcadFormatError);
  // No coordinates at all: an empty element.
  PutI16(bytes.data() + 4, 0);
  EXPECT_TRUE(ConvertObject6(bytes).Points.empty());
}

}  // namespace
}  // namespace terrak
