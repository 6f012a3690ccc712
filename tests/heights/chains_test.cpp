// Objects joined into the lines they draw: pieces whose ends meet within the join tolerance are
// one line, wherever the tolerance's cells put their ends.
#include <gtest/gtest.h>

#include "heights/chains.h"

namespace terrak::heights {
namespace {

TEST(Chains, PiecesMeetingAcrossEveryCellBoundaryAreOneLineAndAFartherOneIsNot) {
  HeightMap map;
  map.JoinTolerance = 1.0;  // cells of 1 m
  // Each piece ends just across a cell boundary from where the next begins: north (y = 5),
  // east (x = 21), south (y = 0), west (x = 40). The last starts 1.5 m from the end before it.
  const std::vector<std::vector<Point>> pieces = {
      {{0.5, 0.5}, {10.5, 4.9}},     {{10.6, 5.1}, {20.9, 5.5}},   {{21.1, 5.5}, {30.5, 0.1}},
      {{30.5, -0.1}, {40.1, -5.5}},  {{39.9, -5.5}, {50, -5}},     {{51.5, -5}, {60, 0}}};
  for (const std::vector<Point>& points : pieces)
    map.Objects.push_back({.Symbol = 101, .Role = ContourRole::Contour, .Points = points});

  const std::vector<Chain> chains = BuildRoleChains(map, 0);
  ASSERT_EQ(chains.size(), 2u);
  EXPECT_EQ(std::tuple(chains[0].Pieces.size(), chains[1].Pieces.size()), std::tuple(5u, 1u));
  EXPECT_FALSE(chains[0].Closed);
  EXPECT_EQ(TracedChainNumbers(map), (std::vector<std::int32_t>{0, 0, 0, 0, 0, 1}));
}

}  // namespace
}  // namespace terrak::heights
