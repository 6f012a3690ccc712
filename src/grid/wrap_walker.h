#pragma once
// The walkers of the shrink-wrap: every line there is walked by two walkers at once, one stepping
// a row at a time and one a column at a time, the one nearer to the line's base point handled
// first, so the cells crossed are visited in order of distance.
#include <cstdint>

#include "common/wrap16.h"
#include "terrain/grid_state.h"
#include "grid/shrinkwrap.h"

namespace terrak::wrap {

// A walker: a cell and its squared distance from the line's base point. Squared integer
// distances order cells exactly as their square roots do.
struct Walker {
  WrapCell Cell;
  std::int64_t Distance2 = 0;
};

// The distance of a walker that is left out: beyond every real one.
constexpr std::int64_t kFarAway = std::int64_t{1} << 62;

inline std::int64_t Distance2(WrapCell a, WrapCell b) {
  const std::int64_t dx = std::int64_t{b.X} - a.X;
  const std::int64_t dy = std::int64_t{b.Y} - a.Y;
  return dx * dx + dy * dy;
}

inline bool Inside(const HeightGridType& g, std::int64_t x, std::int64_t y) { return g.Contains(x, y); }

// Cells beyond the grid hold nothing.
inline std::int16_t ValueAt(const HeightGridType& g, WrapCell c) {
  return Inside(g, c.X, c.Y) ? g(c.X, c.Y) : std::int16_t{0};
}

inline std::int16_t Step16(std::int16_t v, int step) { return Wrap16(std::int64_t{v} + step); }

}  // namespace terrak::wrap
