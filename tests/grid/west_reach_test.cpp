#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

#include "grid/west_reach.h"

namespace terrak {
namespace {

std::vector<std::pair<std::int32_t, std::int32_t>> Cells(const WestReach& reach) {
  std::vector<std::pair<std::int32_t, std::int32_t>> cells;
  for (const WestReach::Cell c : reach.ValuesRead()) cells.emplace_back(c.x, c.y);
  return cells;
}

// The value reads kept are the western cells the other sweep interpolates, each once, in the
// order first read; cells on the grid's edges, and from the first eastern column on, are not.
TEST(WestReach, KeepsEachInterpolatedWesternCellReadOnce) {
  WestReach reach(100, 80, 40);
  reach.ValueRead(1, 79);
  reach.ValueRead(39, 1);
  reach.ValueRead(1, 79);
  reach.ValueRead(0, 5);    // the first column is never interpolated
  reach.ValueRead(5, 0);    // nor the first row
  reach.ValueRead(5, 80);   // nor the last
  reach.ValueRead(40, 5);   // the eastern sweep's own column
  reach.ValueRead(39, 79);
  reach.ValueRead(39, 1);
  // Cells whose column and row could be confused in one key.
  reach.ValueRead(2, 1);
  reach.ValueRead(1, 2);
  EXPECT_EQ(Cells(reach), (std::vector<std::pair<std::int32_t, std::int32_t>>{
                              {1, 79}, {39, 1}, {39, 79}, {2, 1}, {1, 2}}));
  EXPECT_TRUE(reach.Interpolated(39, 79));
  EXPECT_FALSE(reach.Interpolated(40, 79));
  EXPECT_FALSE(reach.Interpolated(39, 80));
}

// What a walk looked at along rows and diagonals: a western cell counts where some walk went as
// far west as it, along its row, its diagonals or the diagonals beside them.
TEST(WestReach, TellsWhichWesternCellsAWalkMayHaveSeen) {
  WestReach reach(100, 80, 40);
  EXPECT_FALSE(reach.MayHaveSeen(30, 10));
  reach.Row(30, 10);
  EXPECT_TRUE(reach.MayHaveSeen(30, 10));
  EXPECT_TRUE(reach.MayHaveSeen(35, 10));
  EXPECT_FALSE(reach.MayHaveSeen(29, 10));
  EXPECT_FALSE(reach.MayHaveSeen(35, 11));
  reach.Falling(20, 30);  // x + y = 50
  EXPECT_TRUE(reach.MayHaveSeenAlongDiagonals(25, 25));
  EXPECT_TRUE(reach.MayHaveSeenAlongDiagonals(19, 32));  // the diagonal beside, a column further
  EXPECT_FALSE(reach.MayHaveSeenAlongDiagonals(10, 40));
  reach.Rising(20, 5);  // x - y = 15; (19, 3) lies on the diagonal beside, (22, 5) two off
  EXPECT_EQ(std::tuple(reach.MayHaveSeenAlongDiagonals(25, 10), reach.MayHaveSeenAlongDiagonals(19, 3),
                       reach.MayHaveSeenAlongDiagonals(22, 5)),
            std::tuple(true, true, false));
}

}  // namespace
}  // namespace terrak
