// The default roles from the orienteering numbers in every numbering the formats use.
#include <gtest/gtest.h>

#include <tuple>

#include "heights/contour_roles.h"

namespace terrak::heights {
namespace {

using Numbers = std::vector<std::int32_t>;

TEST(ContourRoles, DefaultsFromTheOrienteeringNumbersOfEachFormat) {
  // Today's formats and Mapper: a thousand times the number shown; ISOM 2017 keeps 104 for the
  // earth bank and makes the slope lines point symbols, which no line can be.
  const ContourRoles isom2017 = DefaultContourRoles(
      {{101000, true, "101 Contour"},
       {101001, false, "101.1 Slope line, contour"},
       {102000, true, "102 Index contour"},
       {103000, true, "103 Form line"},
       {103002, true, "103.2 Small form line"},
       {104000, true, "104 Earth bank"},
       {201000, true, "201 Impassable cliff"}},
      1000);
  EXPECT_EQ(std::tie(isom2017.Contours, isom2017.IndexContours, isom2017.FormLines),
            std::tuple(Numbers{101000}, Numbers{102000}, (Numbers{103000, 103002})));
  EXPECT_TRUE(isom2017.SlopeLines.empty());
  EXPECT_EQ(std::tuple(isom2017.Interval, isom2017.IndexEvery), std::tuple(5.0, 5));

  // OCAD 6 to 8 maps of ISOM 2000: ten times the number shown, 104 the slope line.
  const ContourRoles ocad8 = DefaultContourRoles({{1010, true, "101.0 Contour"},
                                                  {1020, true, "102.0 Index contour"},
                                                  {1030, true, "103.0 Form line"},
                                                  {1040, true, "104.0 Slope line"}},
                                                 10);
  EXPECT_EQ(ocad8.AllSymbols(), (Numbers{1010, 1020, 1030, 1040}));
  EXPECT_EQ(ocad8.RoleOf(1040), ContourRole::SlopeLine);

  // The demo maps' numbering (10.1 contour, 10.2 index contour, 10.3 form line, 10.4 slope
  // line) when nothing else is there; 10.0 and 10.5 are none of them.
  const ContourRoles demo = DefaultContourRoles(
      {{100, true, "10.0"}, {101, true, "10.1 Contour"}, {102, true, "10.2 Index contour"},
       {103, true, "10.3"}, {104, true, "10.4"}, {105, true, "10.5"}, {405, false, "Forest"}},
      10);
  EXPECT_EQ(std::tuple(demo.Contours, demo.IndexContours, demo.FormLines, demo.SlopeLines),
            std::tuple(Numbers{101}, Numbers{102}, Numbers{103}, Numbers{104}));
  EXPECT_EQ(demo.AllSymbols().size(), 4u);
  // With ISOM numbers present, 10.1 is left alone.
  EXPECT_EQ(DefaultContourRoles({{101, true, "10.1 x"}, {1010, true, "101.0 Contour"}}, 10)
                .AllSymbols(),
            Numbers{1010});
}

}  // namespace
}  // namespace terrak::heights
