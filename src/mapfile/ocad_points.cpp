#include "mapfile/ocad_points.h"

namespace terrak {

namespace {

constexpr std::uint32_t kControls = point_flag::kFirstControl | point_flag::kSecondControl;

// A line-flag marker's y: a corner, or a change of the side lines. Codes 1 and 2 switch the
// left line off and on, 3 and 4 the right; 5 to 8 switch both, the left off for 5 and 6 and on
// for 7 and 8, the right off for 5 and 7 and on for 6 and 8.
constexpr std::int16_t kCornerCode = -32767;

// Change 1 switches the side's line off (its flag set), 2 on again, 0 leaves it.
void SwitchSide(std::uint32_t& sides, std::uint32_t flag, int change) {
  if (change == 1) sides |= flag;
  if (change == 2) sides &= ~flag;
}

constexpr std::uint32_t kSides = point_flag::kNoLeftLine | point_flag::kNoRightLine;

// A line code: a corner for the next point, or a change of the side lines.
void ApplyLineCode(std::int32_t code, std::uint32_t& pending, std::uint32_t& sides) {
  if (code == kCornerCode) pending |= point_flag::kCorner;
  if (code < 1 || code > 8) return;
  const int left = code <= 2 ? code : code >= 5 ? (code - 5) / 2 + 1 : 0;
  const int right = code == 3 || code == 4 ? code - 2 : code >= 5 ? (code - 5) % 2 + 1 : 0;
  SwitchSide(sides, point_flag::kNoLeftLine, left);
  SwitchSide(sides, point_flag::kNoRightLine, right);
}

}  // namespace

void StartAtAPoint(std::vector<ModelPoint>& line) {
  if (!line.empty()) line.front().Flags &= ~kControls;
}

std::vector<ModelPoint> PointsOfMarkedList(std::span<const TPair> pairs) {
  std::vector<ModelPoint> points;
  points.reserve(pairs.size());
  std::uint32_t pending = 0;  // what the markers since the last point give the next one
  std::uint32_t sides = 0;    // the side lines switched off, kept until switched on again
  int curvePoints = 0;       // points of a curve still to come after its marker
  for (const TPair pair : pairs) {
    if (curvePoints > 0) {
      // The three pairs after a curve marker are its points, whatever they hold.
      const std::uint32_t role = curvePoints == 3   ? point_flag::kFirstControl
                                 : curvePoints == 2 ? point_flag::kSecondControl
                                                    : 0;
      points.push_back({pair.X, pair.Y, role | pending | sides});
      pending = 0;
      --curvePoints;
    } else if (pair.X == kMarkNewPart) {
      pending |= point_flag::kHoleStart;
    } else if (pair.X == kMarkCurve) {
      curvePoints = 3;
      // A curve marker's y may carry the code of the point the curve starts from.
      if (pair.Y != kMarkCurve && !points.empty()) {
        std::uint32_t own = 0;
        ApplyLineCode(pair.Y, own, sides);
        points.back().Flags = (points.back().Flags & ~kSides) | own | sides;
      }
    } else if (pair.X == kMarkLineFlags) {
      ApplyLineCode(pair.Y, pending, sides);
    } else if (pair.X != kMarkSkipped) {
      points.push_back({pair.X, pair.Y, pending | sides});
      pending = 0;
    }
  }
  return points;
}

}  // namespace terrak
