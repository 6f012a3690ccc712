#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "grid/bit_lines.h"

namespace terrak {
namespace {

// Searches agree with a plain walk over random bits, across word and summary boundaries.
TEST(BitLines, SearchesFindWhatAWalkFinds) {
  std::mt19937 random(3);
  const std::vector<std::int32_t> first = {0, 5, -3, 100};
  const std::vector<std::int32_t> length = {1, 64, 9000, 130};
  BitLines lines;
  lines.Reset(first, length);
  std::vector<std::vector<bool>> model(first.size());
  for (std::size_t l = 0; l < first.size(); ++l) model[l].assign(static_cast<std::size_t>(length[l]), false);
  for (int round = 0; round < 20000; ++round) {
    const auto l = static_cast<std::int32_t>(random() % first.size());
    const std::int32_t n = length[static_cast<std::size_t>(l)];
    // Sparse lines most of the time, so the summary's jumps are used.
    const std::int32_t pos = first[static_cast<std::size_t>(l)] + static_cast<std::int32_t>(random() % static_cast<unsigned>(n));
    const bool value = random() % (round % 3 == 0 ? 2 : 50) == 0;
    lines.Assign(l, pos, value);
    model[static_cast<std::size_t>(l)][static_cast<std::size_t>(pos - first[static_cast<std::size_t>(l)])] = value;
    ASSERT_EQ(lines.Test(l, pos), value);
    const std::int32_t lo = first[static_cast<std::size_t>(l)] - 2 + static_cast<std::int32_t>(random() % static_cast<unsigned>(n + 4));
    const std::int32_t hi = lo + static_cast<std::int32_t>(random() % static_cast<unsigned>(n + 2)) - 1;
    const auto walk = [&](bool wanted, bool forward) {
      for (std::int32_t i = 0; i <= hi - lo; ++i) {
        const std::int32_t p = forward ? lo + i : hi - i;
        const std::int32_t at = p - first[static_cast<std::size_t>(l)];
        if (at < 0 || at >= n) continue;
        if (model[static_cast<std::size_t>(l)][static_cast<std::size_t>(at)] == wanted) return p;
      }
      return -1;
    };
    ASSERT_EQ(lines.FirstSet(l, lo, hi), walk(true, true)) << l << " " << lo << " " << hi;
    ASSERT_EQ(lines.LastSet(l, lo, hi), walk(true, false));
    ASSERT_EQ(lines.FirstClear(l, lo, hi), walk(false, true));
    ASSERT_EQ(lines.LastClear(l, lo, hi), walk(false, false));
    std::vector<std::int32_t> visited, expected;
    lines.ForEachSet(l, lo, hi, [&](std::int32_t p) { visited.push_back(p); });
    for (std::int32_t p = std::max(lo, first[static_cast<std::size_t>(l)]);
         p <= std::min(hi, first[static_cast<std::size_t>(l)] + n - 1); ++p)
      if (model[static_cast<std::size_t>(l)][static_cast<std::size_t>(p - first[static_cast<std::size_t>(l)])]) expected.push_back(p);
    ASSERT_EQ(visited, expected) << l << " " << lo << " " << hi;
  }
}

}  // namespace
}  // namespace terrak
