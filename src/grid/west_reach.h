#pragma once
// How far west the walks of an interpolation sweep went along each row and diagonal, for a sweep
// of the eastern columns made ahead of time, while another sweep does the western ones: a cell
// of the west that the other sweep makes positive could have changed what a walk found only if
// some walk of this sweep went as far as it.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <unordered_set>
#include <vector>

namespace terrak {

class WestReach {
 public:
  // A grid of columns 0 .. width and rows 0 .. height, the west being the columns before first.
  WestReach(std::int32_t width, std::int32_t height, std::int32_t first)
      : height_(height),
        first_(first),
        rows_(static_cast<std::size_t>(height) + 1, kNowhere),
        falling_(static_cast<std::size_t>(width) + height + 1, kNowhere),
        rising_(falling_.size(), kNowhere) {}

  // A walk looked at the cell (x, y) along its row, or along a diagonal, by the walk's own
  // direction: falling is x + y constant, rising x - y constant.
  void Row(std::int32_t x, std::int32_t y) { Lower(rows_, y, x); }
  void Falling(std::int32_t x, std::int32_t y) { Lower(falling_, x + y, x); }
  void Rising(std::int32_t x, std::int32_t y) { Lower(rising_, x - y + height_, x); }

  // A walk reported the cell (x, y), holding no positive height, as its near, edge or next cell:
  // at a limit, or beside a run of contour cells that ends at one. Kept once, for the western
  // cells that the other sweep interpolates. Such reads are few (a handful on a whole map), so
  // a set of them is kept rather than a bit for every western cell.
  void ValueRead(std::int32_t x, std::int32_t y) {
    if (!Interpolated(x, y)) return;
    const std::uint64_t key = static_cast<std::uint64_t>(x) << 32 | static_cast<std::uint32_t>(y);
    if (seen_.insert(key).second) values_.push_back({x, y});
  }
  // Whether (x, y) is a western cell the other sweep interpolates.
  bool Interpolated(std::int32_t x, std::int32_t y) const {
    return x >= 1 && x < first_ && y >= 1 && y < height_;
  }
  struct Cell {
    std::int32_t x, y;
  };
  const std::vector<Cell>& ValuesRead() const { return values_; }

  // Whether a walk may have looked at the western cell (x, y). A diagonal walk looks at the
  // cells of its own diagonal and, at the half steps, of the next one: the diagonals on either
  // side count too, a column further.
  bool MayHaveSeen(std::int32_t x, std::int32_t y) const {
    return rows_[static_cast<std::size_t>(y)] <= x || MayHaveSeenAlongDiagonals(x, y);
  }
  // The diagonals alone: along a row, a cell that holds no positive height is only passed over.
  bool MayHaveSeenAlongDiagonals(std::int32_t x, std::int32_t y) const {
    for (std::int32_t d = -1; d <= 1; ++d) {
      if (At(falling_, x + y + d) <= x + 1) return true;
      if (At(rising_, x - y + height_ + d) <= x + 1) return true;
    }
    return false;
  }

 private:
  static constexpr std::int32_t kNowhere = std::numeric_limits<std::int32_t>::max();

  static void Lower(std::vector<std::int32_t>& lines, std::int32_t line, std::int32_t x) {
    std::int32_t& reach = lines[static_cast<std::size_t>(line)];
    reach = std::min(reach, x);
  }
  static std::int32_t At(const std::vector<std::int32_t>& lines, std::int32_t line) {
    return line < 0 || static_cast<std::size_t>(line) >= lines.size()
               ? kNowhere
               : lines[static_cast<std::size_t>(line)];
  }

  std::int32_t height_;
  std::int32_t first_;
  std::vector<std::int32_t> rows_;
  std::vector<std::int32_t> falling_;
  std::vector<std::int32_t> rising_;
  std::unordered_set<std::uint64_t> seen_;  // the cells of values_, column and row
  std::vector<Cell> values_;
};

}  // namespace terrak
