#include "heights/shape_guesses.h"

#include <algorithm>
#include <limits>

namespace terrak::heights {

namespace {

// How much nearer a ring must lie to the contours of one level than to those of the other.
constexpr double kClearlyNearer = 3.0;

std::optional<std::int32_t> BaseOf(const Topology& t, std::int32_t side, const FaceBases& bases) {
  return bases[static_cast<std::size_t>(t.Areas.OfSide[static_cast<std::size_t>(side)])];
}

// The level of a line whose two faces are settled (and one level apart).
std::optional<std::int32_t> LevelOf(const Topology& t, std::int32_t line, const FaceBases& bases) {
  const auto left = BaseOf(t, SideOf(line, true), bases);
  const auto right = BaseOf(t, SideOf(line, false), bases);
  if (!left || !right || (*left - *right != 1 && *right - *left != 1)) return std::nullopt;
  return std::max(*left, *right);
}

// The facings from one side (the links are sorted by the side they leave).
std::pair<std::vector<FacingLink>::const_iterator, std::vector<FacingLink>::const_iterator>
LinksFrom(const FacingRays& rays, std::int32_t side) {
  const auto first = std::lower_bound(rays.Links.begin(), rays.Links.end(), side,
                                      [](const FacingLink& l, std::int32_t s) { return l.From < s; });
  auto last = first;
  while (last != rays.Links.end() && last->From == side) ++last;
  return {first, last};
}

}  // namespace

std::optional<bool> RingLooksLikeKnoll(const Topology& t, std::int32_t line,
                                       const FaceBases& bases) {
  const auto c = static_cast<std::size_t>(t.Lines[static_cast<std::size_t>(line)]);
  const std::int32_t inside = t.InsideSide[c];
  if (inside < 0) return std::nullopt;
  const std::int32_t outside = SideOf(line, inside != 0);
  const std::int32_t face = t.Areas.OfSide[static_cast<std::size_t>(outside)];
  const auto base = bases[static_cast<std::size_t>(face)];
  if (!base) return std::nullopt;
  // The contours round the face of open ground the ring lies in, by how near they come to it.
  // Straight distances, not rays: a ring a few metres round sends too few rays, and those stop
  // at the rings of noise beside it, whose levels are what is being judged.
  constexpr double kFar = std::numeric_limits<double>::infinity();
  double toUpper = kFar, toLower = kFar;
  const std::vector<Point>& ring = t.Chains[c].Points;
  // Its centre and radius: a segment farther from the centre than the nearest so far plus the
  // radius cannot come nearer, and most are.
  Point centre;
  for (const Point p : ring) centre = centre + p * (1.0 / static_cast<double>(ring.size()));
  double radius = 0.0;
  for (const Point p : ring) radius = std::max(radius, Length(p - centre));
  for (std::size_t side = 0; side < t.Areas.OfSide.size(); ++side) {
    if (t.Areas.OfSide[side] != face) continue;
    const std::int32_t other = LineOfSide(static_cast<std::int32_t>(side));
    const auto oc = static_cast<std::size_t>(t.Lines[static_cast<std::size_t>(other)]);
    if (other == line || t.Tiny[oc]) continue;
    const auto level = LevelOf(t, other, bases);
    if (level != *base + 1 && level != *base) continue;
    double& nearest = level == *base + 1 ? toUpper : toLower;
    const std::vector<Point>& points = t.Chains[oc].Points;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
      if (DistanceToSegment(centre, points[i], points[i + 1]).Distance - radius >= nearest)
        continue;
      for (const Point p : ring)
        nearest = std::min(nearest, DistanceToSegment(p, points[i], points[i + 1]).Distance);
    }
  }
  // Contours of one level only: the ground round it nowhere reaches the other level, and a ring
  // lies where the ground comes back to theirs (a knoll in a hollow's floor, a hollow on a top).
  if (toUpper == kFar && toLower == kFar) return std::nullopt;
  if (toUpper == kFar || toLower == kFar) return toLower == kFar;
  // Both: only a clear difference counts; rings of noise lie anywhere between their neighbours.
  if (toUpper * kClearlyNearer > toLower && toLower * kClearlyNearer > toUpper) return std::nullopt;
  return toUpper < toLower;
}

std::vector<ShapeGuess> GuessFromShape(const Topology& t, const FaceBases& bases) {
  std::vector<ShapeGuess> guesses(t.Lines.size(), ShapeGuess::None);
  for (std::size_t k = 0; k < t.Lines.size(); ++k) {
    const auto line = static_cast<std::int32_t>(k);
    const bool leftSettled = BaseOf(t, SideOf(line, true), bases).has_value();
    const bool rightSettled = BaseOf(t, SideOf(line, false), bases).has_value();
    if (leftSettled && rightSettled) continue;
    // Closed lines keep the hill rule (tiny ones are judged by RingLooksLikeKnoll).
    if (t.InsideSide[static_cast<std::size_t>(t.Lines[k])] >= 0) continue;
    // Rays from a settled side to contours whose other side is higher than this face: the ground
    // rises on across the face, so this side is the higher one of the line.
    std::int32_t leftLower = 0;
    for (const bool left : {true, false}) {
      const std::int32_t side = SideOf(line, left);
      const auto base = BaseOf(t, side, bases);
      if (!base) continue;
      const auto [first, last] = LinksFrom(t.Rays, side);
      for (auto link = first; link != last; ++link) {
        if (LineOfSide(link->To) == line) continue;
        const auto beyond = BaseOf(t, OtherSide(link->To), bases);
        if (!beyond || *beyond == *base) continue;
        const bool sideHigher = *beyond > *base;
        leftLower += (sideHigher != left) ? link->Rays : -link->Rays;
      }
    }
    if (leftLower != 0) guesses[k] = leftLower > 0 ? ShapeGuess::LeftLower : ShapeGuess::RightLower;
  }
  return guesses;
}

}  // namespace terrak::heights
