#include "grid/excess_smooth.h"

#include <algorithm>
#include <barrier>
#include <bit>
#include <cstdlib>
#include <optional>
#include <system_error>
#include <thread>

#include "common/rounding.h"
#include "common/wrap16.h"

namespace terrak {

namespace {

// Part 0 or 1 of count items split in two, or all of them when there is one part.
struct Share {
  std::int32_t First = 0, End = 0;
};
Share ShareOf(std::int32_t count, int part, int parts) {
  if (parts < 2) return {0, count};
  const std::int32_t middle = count / 2;
  return part == 0 ? Share{0, middle} : Share{middle, count};
}

// Runs work(0, 2) here and work(1, 2) on a thread of its own when threads allows and one can be
// had; else work(0, 1), the whole, here.
template <typename Work>
void InTwoParts(int threads, Work work) {
  if (threads >= 2) {
    std::optional<std::jthread> other;
    try {
      other.emplace([&work] { work(1, 2); });
    } catch (const std::system_error&) {
      // No thread to be had: the whole work here.
    }
    if (other) {
      work(0, 2);
      return;
    }
  }
  work(0, 1);
}

// Only a positive cell stops a run; negative cells between two positive ones stay.
void ClearColumnEnds(HeightGridType& g, std::int32_t h, Share columns) {
  for (std::int32_t x = columns.First; x < columns.End; ++x) {
    std::int16_t* column = g.Column(x);
    std::int32_t y = 0;
    while (column[y] <= 0 && y < h) column[y++] = 0;
    y = h - 1;
    while (column[y] <= 0 && y > 0) column[y--] = 0;
  }
}

}  // namespace

void RemoveExcessPlain(GridState& grid) {
  HeightGridType& g = grid.HeightGrid;
  const std::int32_t w = grid.GridWidth;
  const std::int32_t h = grid.GridHeight;
  if (w < 1 || h < 1) return;
  ClearColumnEnds(g, h, {0, w});
  for (std::int32_t y = 0; y <= h - 1; ++y) {
    std::int32_t x = 0;
    while (g(x, y) <= 0 && x < w) g(x++, y) = 0;
    x = w - 1;
    while (g(x, y) <= 0 && x > 0) g(x--, y) = 0;
  }
}

namespace {

// The rows' runs walk across columns: a block of rows at a time, so that each step reads one
// stretch of a column instead of one cell of many columns. A row leaves the block's walk at its
// first positive cell.
constexpr std::int32_t kExcessRows = 32;

void ClearRowEnds(HeightGridType& g, std::int32_t w, std::int32_t h, Share blocks) {
  for (std::int32_t block = blocks.First; block < blocks.End; ++block) {
    const std::int32_t top = block * kExcessRows;
    const std::int32_t rows = std::min(kExcessRows, h - top);
    const std::uint64_t all = (std::uint64_t{1} << rows) - 1;  // rows <= 32
    const auto walk = [&](std::int32_t from, std::int32_t step, std::int32_t end) {
      std::uint64_t open = all;
      for (std::int32_t x = from; open != 0 && x != end; x += step) {
        std::int16_t* cells = g.Column(x) + top;
        for (std::uint64_t bits = open; bits != 0; bits &= bits - 1) {
          const int r = std::countr_zero(bits);
          if (cells[r] > 0)
            open &= ~(std::uint64_t{1} << r);
          else
            cells[r] = 0;
        }
      }
    };
    walk(0, 1, w);       // columns 0 .. w - 1
    walk(w - 1, -1, 0);  // columns w - 1 .. 1
  }
}

}  // namespace

void RemoveExcess(GridState& grid, int threads) {
  HeightGridType& g = grid.HeightGrid;
  const std::int32_t w = grid.GridWidth;
  const std::int32_t h = grid.GridHeight;
  if (w < 1 || h < 1) return;
  const std::int32_t blocks = (h + kExcessRows - 1) / kExcessRows;
  // Neither clearing changes which cells are positive, so the rows' walks find what they would
  // after all the columns'; they start once both parts' columns are done, as the two write the
  // same cells.
  std::barrier columnsDone(threads >= 2 ? 2 : 1);
  InTwoParts(threads, [&](int part, int parts) {
    ClearColumnEnds(g, h, ShareOf(w, part, parts));
    if (parts == 2) columnsDone.arrive_and_wait();
    ClearRowEnds(g, w, h, ShareOf(blocks, part, parts));
  });
}

SmoothingOptions CheckSmoothingOptions(std::int32_t smoothing, std::int32_t passes) {
  SmoothingOptions options;
  options.Factor = std::clamp(smoothing, 0, 100);
  options.FactorClamped = options.Factor != smoothing;
  options.Passes = std::min(passes, kMaxSmoothingPasses);
  options.PassesClamped = options.Passes != passes;
  return options;
}

namespace {

std::int16_t Smoothed(std::int32_t cell, double sum, int count, std::int32_t factor) {
  const std::int32_t own = std::abs(cell);
  if (count == 0) return Wrap16(own);
  const double mean = sum / count;
  const double value = (factor * mean + own * (100 - factor)) / 100.0;
  return Wrap16(RoundToInt(value));
}

// (0 * mean + |cell| * 100) / 100.0 is |cell| exactly, whatever the neighbours hold; |-32768|
// wraps to itself. Blocks of a fixed length, so that the compiler makes them vector operations.
void AbsoluteValues(std::int16_t* cells, std::int32_t count) {
  constexpr std::int32_t kBlock = 32;
  // The sign mask m is all ones for a negative v: (v ^ m) - m is then -v, else v.
  const auto absolute = [](std::int16_t v) {
    const auto m = static_cast<std::uint16_t>(v >> 15);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((static_cast<std::uint16_t>(v) ^ m) - m));
  };
  std::int32_t i = 0;
  for (; i + kBlock <= count; i += kBlock)
    for (std::int32_t k = 0; k < kBlock; ++k) cells[i + k] = absolute(cells[i + k]);
  for (; i < count; ++i) cells[i] = absolute(cells[i]);
}

}  // namespace

std::int64_t SmoothGridPlain(GridState& grid, std::int32_t factor) {
  HeightGridType& g = grid.HeightGrid;
  std::int64_t isolated = 0;
  static constexpr int kNeighbours[8][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1},
                                            {0, 1},   {1, -1}, {1, 0},  {1, 1}};
  for (std::int32_t x = 1; x <= grid.GridWidth - 2; ++x)
    for (std::int32_t y = 1; y <= grid.GridHeight - 2; ++y) {
      if (g(x, y) == 0) continue;
      double sum = 0.0;
      int count = 0;
      for (const auto& n : kNeighbours) {
        const std::int32_t v = g(x + n[0], y + n[1]);
        if (v != 0) {
          sum += std::abs(v);
          ++count;
        }
      }
      if (count == 0 && factor != 0) ++isolated;
      g(x, y) = Smoothed(g(x, y), sum, count, factor);
    }
  return isolated;
}

std::int64_t SmoothGrid(GridState& grid, std::int32_t factor, int threads) {
  HeightGridType& g = grid.HeightGrid;
  const std::int32_t w = grid.GridWidth;
  const std::int32_t h = grid.GridHeight;
  std::int64_t isolated = 0;
  if (w < 3 || h < 3) return isolated;
  if (factor == 0) {
    // Each cell on its own: the interior columns may be taken in any order.
    InTwoParts(threads, [&](int part, int parts) {
      const Share columns = ShareOf(w - 2, part, parts);
      for (std::int32_t x = 1 + columns.First; x < 1 + columns.End; ++x)
        AbsoluteValues(g.Column(x) + 1, h - 2);
    });
    return isolated;
  }
  for (std::int32_t x = 1; x <= w - 2; ++x) {
    const std::int16_t* left = g.Column(x - 1);
    std::int16_t* mid = g.Column(x);
    const std::int16_t* right = g.Column(x + 1);
    for (std::int32_t y = 1; y <= h - 2; ++y) {
      const std::int32_t cell = mid[y];
      if (cell == 0) continue;
      // Neighbours in the order of the plain pass, so the sum is formed identically.
      const std::int32_t v[8] = {left[y - 1], left[y], left[y + 1], mid[y - 1],
                                 mid[y + 1],  right[y - 1], right[y], right[y + 1]};
      double sum = 0.0;
      int count = 0;
      for (const std::int32_t n : v)
        if (n != 0) {
          sum += std::abs(n);
          ++count;
        }
      if (count == 0) ++isolated;
      mid[y] = Smoothed(cell, sum, count, factor);
    }
  }
  return isolated;
}

}  // namespace terrak
