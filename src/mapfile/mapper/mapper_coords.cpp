#include "mapfile/mapper/mapper_coords.h"

#include <charconv>
#include <limits>

namespace terrak::mapper {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void SkipSpace(const char*& p, const char* end) {
  while (p < end && IsSpace(*p)) ++p;
}

template <typename Int>
bool TakeNumber(const char*& p, const char* end, Int& value) {
  const auto [next, error] = std::from_chars(p, end, value);
  if (error != std::errc() || next == p) return false;
  p = next;
  return true;
}

}  // namespace

std::optional<std::vector<MapperPoint>> ParseCoordsText(std::string_view text) {
  std::vector<MapperPoint> points;
  const char* p = text.data();
  const char* const end = p + text.size();
  for (;;) {
    SkipSpace(p, end);
    if (p == end) return points;
    MapperPoint point;
    if (!TakeNumber(p, end, point.X)) return std::nullopt;
    SkipSpace(p, end);
    if (!TakeNumber(p, end, point.Y)) return std::nullopt;
    SkipSpace(p, end);
    if (p < end && *p != ';' && !TakeNumber(p, end, point.Flags)) return std::nullopt;
    SkipSpace(p, end);
    if (p == end || *p != ';') return std::nullopt;
    ++p;
    points.push_back(point);
  }
}

std::optional<std::vector<FormatPoint>> ToFormatPoints(const std::vector<MapperPoint>& points) {
  constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
  std::vector<FormatPoint> out(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    const MapperPoint& p = points[i];
    if (p.X < -kLimit || p.X > kLimit || p.Y < -kLimit || p.Y > kLimit) return std::nullopt;
    out[i].X = static_cast<std::int32_t>(p.X);
    out[i].Y = static_cast<std::int32_t>(-p.Y);
    if (p.Flags & kClosePoint) out[i].Flags |= point_flag::kClose;
    if (p.Flags & kGapPoint) out[i].Flags |= point_flag::kNoLeftLine | point_flag::kNoRightLine;
    if (p.Flags & kDashPoint) out[i].Flags |= point_flag::kDash;
    if ((p.Flags & kCurveStart) && i + 2 < points.size()) {
      out[i + 1].Flags |= point_flag::kFirstControl;
      out[i + 2].Flags |= point_flag::kSecondControl;
    }
    if ((p.Flags & kHolePoint) && i + 1 < points.size()) out[i + 1].Flags |= point_flag::kHoleStart;
  }
  return out;
}

}  // namespace terrak::mapper
