#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "grid/bulges_ahead.h"
#include "grid/grid_fixtures.h"
#include "grid/outline_pairs.h"
#include "grid/shrinkwrap.h"
#include "support/recording_progress.h"

namespace terrak {
namespace {

using testing::SilentProgress;

struct Walk {
  std::int64_t Work = 0;
  std::int64_t Searches = 0;
  std::int64_t Repeated = 0;  // pairs the walk searched twice
  std::vector<std::uint64_t> Keys;
  std::size_t EndedIn = 0;
};

// The walk alone from the outline pair first, every search made, as the helper makes them when
// the refinement never catches up with it.
Walk WalkAlone(const GridState& grid, const WrapperList& wrapped, std::int32_t gap,
               std::size_t first = 0, std::int64_t stopAfter = -1,
               std::size_t end = SIZE_MAX) {
  Walk walk;
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
    walk.Keys.push_back(key);
    BulgeResult result = SearchBulges(search, control, p, n);
    walk.Work += result.Work;
    found = result.Found;
    return &found;
  };
  walk.EndedIn = WalkRefinementForward(wrapped, first, end, gap, make);
  return walk;
}

// Walked from the first pair, the refinement's pairs are the ones it searches, each once; walked
// up to the middle, its first searches; from the middle, searches the refinement makes too.
TEST(BulgesAhead, WalkingTheRefinementForwardMeetsThePairsItSearches) {
  int refined = 0, maps = 0, tails = 0;
  std::int64_t asked = 0, madeFromMiddle = 0;
  for (std::uint32_t seed = 1; seed <= 150; ++seed) {
    const std::int32_t w = 12 + static_cast<std::int32_t>(seed * 13 % 70);
    const std::int32_t h = 12 + static_cast<std::int32_t>(seed * 7 % 60);
    const GridState grid = testing::RandomContourGrid(seed, w, h, 1 + static_cast<int>(seed % 9));
    constexpr std::int32_t kGaps[] = {0, 10, 3, 50, -1};
    const std::int32_t gap = kGaps[seed % 5];
    SilentProgress progress;
    const WrapperList wrapped = WrapMap(grid, progress);
    if (wrapped.size() < 2) continue;
    ShrinkControl forward;
    forward.WorkLimit = std::int64_t{1} << 40;
    const Outline outline = ShrinkWrapper(wrapped, grid, gap, forward, progress);
    const Walk walk = WalkAlone(grid, wrapped, gap);
    EXPECT_EQ(walk.Repeated, 0) << "seed " << seed;
    EXPECT_EQ(walk.Work, forward.Work) << "seed " << seed;
    EXPECT_EQ(walk.EndedIn, wrapped.size() - 1);
    refined += outline.Points.size() > wrapped.size();
    // From the middle: the whole walk's last searches, those of the outline pairs from there on,
    // give or take the few whose turn depends on what came before.
    const std::size_t middle = (wrapped.size() - 1) / 2;
    const Walk half = WalkAlone(grid, wrapped, gap, middle);
    // Up to the middle: exactly the whole walk's first searches.
    const Walk before = WalkAlone(grid, wrapped, gap, 0, -1, middle);
    EXPECT_EQ(before.EndedIn, middle);
    ASSERT_LE(before.Keys.size(), walk.Keys.size());
    EXPECT_TRUE(std::equal(before.Keys.begin(), before.Keys.end(), walk.Keys.begin())) << seed;
    const std::unordered_set<std::uint64_t> whole(walk.Keys.begin(), walk.Keys.end());
    for (const std::uint64_t key : half.Keys) asked += whole.count(key);
    madeFromMiddle += static_cast<std::int64_t>(half.Keys.size());
    tails += std::equal(half.Keys.rbegin(), half.Keys.rend(), walk.Keys.rbegin()) &&
             half.Keys.size() <= walk.Keys.size();
    ++maps;
  }
  EXPECT_GT(refined, 80);
  // Nearly every search made from the middle is one the refinement asks for; on most maps they
  // are exactly its last ones, and elsewhere the few more are pairs it made before the middle.
  EXPECT_GE(asked * 100, madeFromMiddle * 99);
  EXPECT_GT(madeFromMiddle, 5000);
  EXPECT_GE(tails * 2, maps);
}

TEST(BulgesAhead, TheWalkEndsWhenASearchSaysSoAndPassesOverShortOutlines) {
  const GridState grid = testing::RandomContourGrid(7, 60, 50, 6);
  SilentProgress progress;
  const WrapperList wrapped = WrapMap(grid, progress);
  ASSERT_GT(WalkAlone(grid, wrapped, -1).Searches, 5);
  const Walk stopped = WalkAlone(grid, wrapped, -1, 0, 5);
  EXPECT_EQ(stopped.Searches, 5);
  EXPECT_LT(stopped.EndedIn, wrapped.size() - 1);
  // It ended in the outer pair of the search it was refused: walked from there, that pair's
  // own search comes first.
  EXPECT_EQ(WalkAlone(grid, wrapped, -1, stopped.EndedIn, 0).EndedIn, stopped.EndedIn);
  // A walk from past the last pair makes nothing.
  EXPECT_EQ(WalkAlone(grid, wrapped, -1, wrapped.size()).Searches, 0);
  EXPECT_EQ(WalkAlone(grid, wrapped, -1, 0, 0).Searches, 0);
  EXPECT_EQ(WalkAlone(grid, WrapperList(wrapped.begin(), wrapped.begin() + 1), -1).Searches, 0);
  EXPECT_EQ(WalkAlone(grid, {}, -1).Searches, 0);
  // A gap wider than the grid leaves every pair as it is.
  EXPECT_EQ(WalkAlone(grid, wrapped, 1000).Searches, 0);
}

}  // namespace
}  // namespace terrak
