#include "mapfile/convert_points.h"

namespace terrak {

namespace {

constexpr std::int16_t kCodeCornerOrDash = static_cast<std::int16_t>(-32767);  // 32769

constexpr std::uint8_t kXCurveFirst = 1;
constexpr std::uint8_t kXCurveAny = 3;
constexpr std::uint8_t kXNoLeftLine = 4;
constexpr std::uint8_t kYNewPart = 2;
constexpr std::uint8_t kYCornerOrDash = 9;
constexpr std::uint8_t kYNoRightLine = 4;

// The code of a change of the line flags: rows L unchanged/on/off, columns R unchanged/on/off.
constexpr std::int16_t kLineFlagCodes[3][3] = {{0, 3, 4}, {1, 5, 6}, {2, 7, 8}};

int FlagChange(bool before, bool now) {
  if (before == now) return 0;
  return now ? 1 : 2;
}

}  // namespace

void ConvertPoints(const std::vector<FlaggedPoint>& points, std::vector<TPair>& out) {
  const std::size_t count = points.size();
  out.reserve(out.size() + count * 2 + 4);
  bool lastL = false;
  bool lastR = false;
  int curveCounter = 0;
  for (std::size_t k = 0; k + 1 < count; ++k) {
    const FlaggedPoint& p = points[k];
    const TPair point = p.Value;
    const bool curveNext = (points[k + 1].XFlags & kXCurveFirst) != 0;

    if (p.YFlags & kYNewPart) {
      out.push_back({kMarkNewPart, kMarkNewPart});
      out.push_back(point);
      if (curveNext) {
        out.push_back({kMarkCurve, kMarkCurve});
        curveCounter = 1;
      }
      continue;
    }

    std::int16_t code;
    if (p.YFlags & kYCornerOrDash) {
      code = kCodeCornerOrDash;
    } else if (p.XFlags & kXCurveAny) {
      code = 0;
    } else {
      const bool noLeft = (p.XFlags & kXNoLeftLine) != 0;
      const bool noRight = (p.YFlags & kYNoRightLine) != 0;
      code = kLineFlagCodes[FlagChange(lastL, noLeft)][FlagChange(lastR, noRight)];
      lastL = noLeft;
      lastR = noRight;
    }

    if (curveNext) {
      curveCounter = 1;
      out.push_back(point);
      out.push_back({kMarkCurve, code == 0 ? kMarkCurve : code});
    } else {
      curveCounter = curveCounter > 0 ? curveCounter + 1 : 0;
      if (code != 0 && curveCounter == 0) out.push_back({kMarkLineFlags, code});
      out.push_back(point);
      if (curveCounter >= 4) curveCounter = 0;
    }
  }
  if (count > 0) out.push_back(points[count - 1].Value);
}

}  // namespace terrak
