#include "mapdraw/offset_line.h"

namespace terrak::mapdraw {

namespace {

// A mitered corner reaches 1 / cos(half the turn) times the distance; beyond this it is cut.
constexpr double kLongestMiter = 2.0;

}  // namespace

std::vector<Vec2> OffsetLine(const std::vector<Vec2>& line, bool closed, double distance) {
  std::vector<Vec2> out;
  const std::size_t n = line.size();
  if (n < 2) return line;
  // The last point of a closed line repeats its first: its corner is the first's.
  const bool repeats = closed && n > 2 && line.front() == line.back();
  const std::size_t count = repeats ? n - 1 : n;
  out.reserve(n + 8);
  auto segment = [&](std::size_t from) { return (line[(from + 1) % n] - line[from]).Unit(); };
  for (std::size_t i = 0; i < count; ++i) {
    const bool first = i == 0 && !closed;
    const bool last = i + 1 == count && !closed;
    const Vec2 out1 = last ? segment(i - 1) : segment(i);
    const Vec2 in = first ? out1 : segment(i == 0 ? (repeats ? n - 2 : n - 1) : i - 1);
    const Vec2 nIn = in.Left();
    const Vec2 nOut = out1.Left();
    const Vec2 middle = (nIn + nOut).Unit();
    const double cosHalf = middle.Dot(nIn);
    if (cosHalf > 1 / kLongestMiter) {
      out.push_back(line[i] + middle * (distance / cosHalf));
    } else {
      out.push_back(line[i] + nIn * distance);
      out.push_back(line[i] + nOut * distance);
    }
  }
  if (repeats) out.push_back(out.front());
  return out;
}

}  // namespace terrak::mapdraw
