#include <gtest/gtest.h>

#include <cstdint>
#include <unordered_set>

#include "grid/bulges_ahead.h"
#include "grid/grid_fixtures.h"
#include "grid/outline_pairs.h"
#include "grid/shrinkwrap.h"
#include "support/recording_progress.h"

namespace terrak {
namespace {

using testing::SilentProgress;

struct BackwardWalk {
  std::int64_t Work = 0;
  std::int64_t Searches = 0;
  std::int64_t Repeated = 0;  // pairs the walk searched twice
};

// The backward walk alone, every search made, as the helper makes them when it gets the whole
// refinement to itself.
BackwardWalk WalkAlone(const GridState& grid, const WrapperList& wrapped, std::int32_t gap,
                       std::int64_t stopAfter = -1) {
  BackwardWalk walk;
  ShrinkControl control;
  const ContourTiles tiles(grid.HeightGrid);
  BulgeSearch search(grid.HeightGrid, tiles, control);
  std::unordered_set<std::uint64_t> seen;
  WrapperList found;
  const auto make = [&](std::uint64_t key, WrapCell p, WrapCell n) -> const WrapperList* {
    if (walk.Searches == stopAfter) return nullptr;
    EXPECT_EQ(key, wrap::PairKey(p, n));
    walk.Repeated += !seen.insert(key).second;
    ++walk.Searches;
    BulgeResult result = SearchBulges(search, control, p, n);
    walk.Work += result.Work;
    found = result.Found;
    return &found;
  };
  WalkRefinementBackwards(wrapped, gap, make);
  return walk;
}

// Walked from the end, the refinement's pairs are the ones it searches from the start: the
// searches' work adds up to the same total on nearly every map (the few pairs whose turn depends
// on the order aside), and no pair is searched twice.
TEST(BulgesAhead, WalkingTheRefinementBackwardsMeetsThePairsItSearches) {
  int maps = 0, sameWork = 0, refined = 0;
  std::int64_t forwardWork = 0, backwardWork = 0;
  for (std::uint32_t seed = 1; seed <= 150; ++seed) {
    const std::int32_t w = 12 + static_cast<std::int32_t>(seed * 13 % 70);
    const std::int32_t h = 12 + static_cast<std::int32_t>(seed * 7 % 60);
    const GridState grid = testing::RandomContourGrid(seed, w, h, 1 + static_cast<int>(seed % 9));
    constexpr std::int32_t kGaps[] = {0, 10, 3, 50, -1};
    const std::int32_t gap = kGaps[seed % 5];
    SilentProgress progress;
    const WrapperList wrapped = WrapMap(grid, progress);
    ShrinkControl forward;
    forward.WorkLimit = std::int64_t{1} << 40;
    const Outline outline = ShrinkWrapper(wrapped, grid, gap, forward, progress);
    const BackwardWalk backward = WalkAlone(grid, wrapped, gap);
    EXPECT_EQ(backward.Repeated, 0) << "seed " << seed;
    ++maps;
    sameWork += backward.Work == forward.Work;
    refined += outline.Points.size() > wrapped.size();
    forwardWork += forward.Work;
    backwardWork += backward.Work;
  }
  EXPECT_GT(refined, 80);
  EXPECT_GE(sameWork * 100, maps * 95);
  EXPECT_LE(backwardWork, forwardWork + forwardWork / 100);
  EXPECT_GE(backwardWork, forwardWork - forwardWork / 100);
}

TEST(BulgesAhead, TheWalkEndsWhenASearchSaysSoAndPassesOverShortOutlines) {
  const GridState grid = testing::RandomContourGrid(7, 60, 50, 6);
  SilentProgress progress;
  const WrapperList wrapped = WrapMap(grid, progress);
  ASSERT_GT(WalkAlone(grid, wrapped, -1).Searches, 5);
  EXPECT_EQ(WalkAlone(grid, wrapped, -1, 5).Searches, 5);
  EXPECT_EQ(WalkAlone(grid, wrapped, -1, 0).Searches, 0);
  EXPECT_EQ(WalkAlone(grid, WrapperList(wrapped.begin(), wrapped.begin() + 1), -1).Searches, 0);
  EXPECT_EQ(WalkAlone(grid, {}, -1).Searches, 0);
  // A gap wider than the grid leaves every pair as it is.
  EXPECT_EQ(WalkAlone(grid, wrapped, 1000).Searches, 0);
}

}  // namespace
}  // namespace terrak
