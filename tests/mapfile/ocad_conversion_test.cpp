// The version 6/7 conversions: coded coordinates, the six-byte real, the zoom double, and the
// marker pairs that the object conversion writes for parts, curves and line flags.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "common/bytes.h"
#include "mapfile/ocad_file.h"
#include "mapfile/model_objects.h"
#include "mapfile/ocad_format_error.h"

namespace terrak {
namespace {

constexpr std::int32_t Coded(std::int32_t hundredthsMm, std::uint8_t flags = 0) {
  return hundredthsMm * 256 + flags;
}

TEST(ConvertCoord6, TruncatesBeforeScalingAndKeepsTheFlagByte) {
  EXPECT_EQ(ConvertCoord6(-256).Value, -1);
  EXPECT_EQ(ConvertCoord6(-255).Value, 0);
  EXPECT_EQ(ConvertCoord6(-255).Flags, 0x01);  // the low byte of the stored value
  EXPECT_EQ(ConvertCoord6(Coded(1000, 5)).Value, 567);  // 566.93
  EXPECT_EQ(ConvertCoord6(Coded(1000, 5)).Flags, 5);
  // Flag bits of a negative coordinate pull its truncated position one step toward zero.
  EXPECT_EQ(ConvertCoord6(Coded(-1000, 2)).Value, -566);
  EXPECT_EQ(ConvertCoord6(Coded(-1000, 0)).Value, -567);
  // 0.56693 * x lands on a half: 2.5 rounds to 2 is impossible to hit exactly in binary, so
  // check plain nearest rounding both ways.
  EXPECT_EQ(ConvertCoord6(Coded(3)).Value, 2);   // 1.70
  EXPECT_EQ(ConvertCoord6(Coded(-3)).Value, -2);
  // Far coordinates saturate, and never become a marker value.
  EXPECT_EQ(ConvertCoord6(Coded(8000000)).Value, 32767);
  EXPECT_GT(ConvertCoord6(Coded(-8000000)).Value, -32765);
  EXPECT_GT(ConvertCoord6(std::numeric_limits<std::int32_t>::min()).Value, -32765);
}

TEST(ModelToCoord6, IsTheRoundedInverse) {
  EXPECT_EQ(ModelToCoord6(0), 0);
  for (std::int16_t m : {std::int16_t{-32000}, std::int16_t{-1}, std::int16_t{1},
                         std::int16_t{12345}, std::int16_t{32767}})
    EXPECT_EQ(ConvertCoord6(ModelToCoord6(m)).Value, m) << m;
}

TEST(Real6, ExponentBiasMantissaAndSign) {
  const std::uint8_t zero[6] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(Real6ToDouble(zero), 0.0);
  const std::uint8_t one[6] = {129, 0, 0, 0, 0, 0};
  EXPECT_EQ(Real6ToDouble(one), 1.0);
  const std::uint8_t minusOneAndHalf[6] = {129, 0, 0, 0, 0, 0xC0};
  EXPECT_EQ(Real6ToDouble(minusOneAndHalf), -1.5);
  // 10000 = 1.220703125 * 2^13: mantissa 0.220703125 * 2^39 = 0x1C40000000.
  const std::uint8_t tenThousand[6] = {142, 0x00, 0x00, 0x00, 0x40, 0x1C};
  EXPECT_EQ(Real6ToDouble(tenThousand), 10000.0);
  const std::uint8_t smallest[6] = {1, 0, 0, 0, 0, 0};
  EXPECT_EQ(Real6ToDouble(smallest), std::ldexp(1.0, -128));
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
                                  std::uint16_t type = 2, std::int32_t height = 0,
                                  const std::string& text = "") {
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
  if (type == 4) {
    bytes.resize(bytes.size() + 8, 0);
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
  }
  return bytes;
}

std::vector<TPair> Pairs(const std::vector<std::pair<int, int>>& values) {
  std::vector<TPair> pairs;
  for (auto [x, y] : values)
    pairs.push_back({static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)});
  return pairs;
}

// Model values of 1000, 2000 ... hundredths: 567, 1134, 1701, 2268, 2835.
constexpr int M1 = 567, M2 = 1134, M3 = 1701, M4 = 2268, M5 = 2835;

TEST(ConvertObject6, HeaderFieldsAndPlainPoints) {
  const ModelElement e =
      ConvertObject6(Object6({{Coded(1000), Coded(2000)}, {Coded(3000), Coded(4000)}}, 2, -5));
  EXPECT_EQ(std::tie(e.Symbol, e.ObjectType, e.Angle, e.Height, e.Pairs),
            std::tuple(101, 2, 45, -5, Pairs({{M1, M2}, {M3, M4}})));
}

TEST(ConvertObject6, MarkersForLineFlagsCornersCurvesAndNewParts) {
  // x flags: 1 curve start (on the point after the start), 2 second control point, 4 no left
  // line; y flags: 1 or 8 corner, 2 new part, 4 no right line.
  const struct {
    const char* What;
    std::vector<std::pair<int, int>> Flags;  // of points at 1000, 2000 ... along x
    std::uint16_t Type;
    std::vector<std::pair<int, int>> Pairs;
  } cases[] = {
      // The last point gets no flag handling.
      {"no left line on the middle point", {{0, 0}, {4, 0}, {0, 0}}, 2,
       {{M1, M1}, {-32767, 1}, {M2, M1}, {M3, M1}}},
      // A corner gives 32769 without touching the last flags: the later no-left point still
      // counts as switched on.
      {"corners", {{0, 0}, {4, 8}, {4, 1}, {4, 0}, {0, 0}}, 2,
       {{M1, M1}, {-32767, -32767}, {M2, M1}, {-32767, -32767}, {M3, M1}, {-32767, 1}, {M4, M1},
        {M5, M1}}},
      // Points 2 and 3 are control points; point 4 ends the curve with an unmarked change.
      {"a curve", {{0, 0}, {1, 0}, {2, 0}, {0, 4}, {0, 0}}, 2,
       {{M1, M1}, {-32766, -32766}, {M2, M1}, {M3, M1}, {M4, M1}, {M5, M1}}},
      // The point after the curve's end is classified again.
      {"a change after a curve", {{0, 0}, {1, 0}, {2, 0}, {0, 4}, {0, 0}, {0, 0}}, 2,
       {{M1, M1}, {-32766, -32766}, {M2, M1}, {M3, M1}, {M4, M1}, {-32767, 4}, {M5, M1},
        {ConvertCoord6(Coded(6000)).Value, M1}}},
      {"a curve start with a code", {{0, 0}, {4, 0}, {1, 0}, {2, 0}, {0, 0}}, 2,
       {{M1, M1}, {M2, M1}, {-32766, 1}, {M3, M1}, {M4, M1}, {M5, M1}}},
      {"new parts of an area, one a curve", {{0, 0}, {0, 0}, {0, 2}, {1, 0}, {2, 0}, {0, 0}}, 3,
       {{M1, M1}, {M2, M1}, {-32768, -32768}, {M3, M1}, {-32766, -32766}, {M4, M1}, {M5, M1},
        {ConvertCoord6(Coded(6000)).Value, M1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    std::vector<std::pair<std::int32_t, std::int32_t>> coords;
    for (std::size_t k = 0; k < c.Flags.size(); ++k)
      coords.push_back({Coded(1000 * static_cast<std::int32_t>(k + 1),
                              static_cast<std::uint8_t>(c.Flags[k].first)),
                        Coded(1000, static_cast<std::uint8_t>(c.Flags[k].second))});
    EXPECT_EQ(ConvertObject6(Object6(coords, c.Type)).Pairs, Pairs(c.Pairs));
  }
}

TEST(ModelObjects, AChainEndsAtItsFirstAndLastPointsNotAtAMarker) {
  // A corner on the first point puts a line-flag marker ahead of it.
  std::vector<std::pair<std::int32_t, std::int32_t>> coords{
      {Coded(1000), Coded(1000, 8)}, {Coded(2000), Coded(1000)}, {Coded(3000), Coded(2000)}};
  ModelElement element = ConvertObject6(Object6(coords, 2));
  ASSERT_EQ(element.Pairs.front(), (TPair{-32767, -32767}));
  element.Pairs.push_back({-32765, 0});  // a damaged list ending in a marker
  ModelObjects objects;
  objects.Append({}, element);
  EXPECT_EQ(objects.Objects[0].FirstPoint, (TPair{M1, M1}));
  EXPECT_EQ(objects.Objects[0].LastPoint, (TPair{M3, M2}));
}

TEST(ConvertObject6, EveryLineFlagCodeComparesWithTheLastClassifiedPoint) {
  // Walk the flags through every transition of the table; each point is classified against
  // the one before it. Columns: L (x bit 2), R (y bit 2).
  struct Step {
    bool L, R;
    int code;
  };
  const Step steps[] = {
      {false, true, 3},   // R switched on
      {false, false, 4},  // R switched off
      {true, false, 1},   // L switched on
      {false, false, 2},  // L switched off
      {true, true, 5},    // both on
      {false, false, 8},  // both off
      {true, false, 1},   //
      {false, true, 7},   // L off, R on
      {true, false, 6},   // L on, R off
      {true, false, 0},   // unchanged: no marker
  };
  std::vector<std::pair<std::int32_t, std::int32_t>> coords{{Coded(1000), Coded(1000)}};
  for (const Step& s : steps)
    coords.push_back({Coded(1000, s.L ? 4 : 0), Coded(2000, s.R ? 4 : 0)});
  coords.push_back({Coded(5000), Coded(5000)});
  const ModelElement e = ConvertObject6(Object6(coords));
  std::vector<TPair> expected = Pairs({{M1, M1}});
  for (const Step& s : steps) {
    if (s.code != 0) expected.push_back({-32767, static_cast<std::int16_t>(s.code)});
    expected.push_back({static_cast<std::int16_t>(M1), static_cast<std::int16_t>(M2)});
  }
  expected.push_back({static_cast<std::int16_t>(M5), static_cast<std::int16_t>(M5)});
  EXPECT_EQ(e.Pairs, expected);
}

TEST(ConvertObject6, FormattedTextIsPackedAfterTheLastPairWithItsZero) {
  const ModelElement e =
      ConvertObject6(Object6({{Coded(1000), Coded(1000)}}, 4, 0, "Hill"));
  ASSERT_EQ(e.Pairs.size(), 1u + 4 / 4 + 1);
  EXPECT_EQ(e.Pairs[1], (TPair{static_cast<std::int16_t>('H' | ('i' << 8)),
                               static_cast<std::int16_t>('l' | ('l' << 8))}));
  EXPECT_EQ(e.Pairs[2], (TPair{0, 0}));
  const ModelElement five = ConvertObject6(Object6({{Coded(1000), Coded(1000)}}, 4, 0, "Lakes"));
  ASSERT_EQ(five.Pairs.size(), 1u + 5 / 4 + 1);
  EXPECT_EQ(five.Pairs[2], (TPair{'s', 0}));
}

TEST(ConvertObject6, LongObjectsAreReadWholeAndDamagedCountsAreRefused) {
  std::vector<std::pair<std::int32_t, std::int32_t>> coords;
  for (int k = 0; k < 3000; ++k) coords.push_back({Coded(k * 10), Coded(k * 10)});
  EXPECT_EQ(ConvertObject6(Object6(coords)).Pairs.size(), 3000u);

  std::vector<std::uint8_t> bytes = Object6({{Coded(1000), Coded(1000)}});
  PutI16(bytes.data() + 4, 2);  // claims a second coordinate it does not hold
  EXPECT_THROW(ConvertObject6(bytes), OcadFormatError);
  PutI16(bytes.data() + 4, -1);
  EXPECT_THROW(ConvertObject6(bytes), OcadFormatError);
  EXPECT_THROW(ConvertObject6(std::vector<std::uint8_t>(10)), OcadFormatError);
  // No coordinates at all: an empty element, and a text object whose text runs to the end.
  PutI16(bytes.data() + 4, 0);
  EXPECT_TRUE(ConvertObject6(bytes).Pairs.empty());
  std::vector<std::uint8_t> text = Object6({{Coded(1000), Coded(1000)}}, 4, 0, "abc");
  text.pop_back();  // drop the terminating zero
  EXPECT_EQ(ConvertObject6(text).Pairs.size(), 2u);
}

}  // namespace
}  // namespace terrak
