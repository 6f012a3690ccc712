#include "heights/facing.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace terrak::heights {

FacingRays CastFacingRays(const std::vector<std::vector<Point>>& lines,
                          const SegmentIndex& obstacles, bool sameLines,
                          const RaySettings& settings) {
  FacingRays result;
  result.Counted.assign(2 * lines.size(), 0);
  result.Escaped.assign(2 * lines.size(), 0);
  const double reach = Length(obstacles.High() - obstacles.Low()) * 1.01 + 1.0;
  struct Tally {
    std::int32_t Rays = 0;
    double Shortest = 0.0;
    Point Where;
  };
  std::unordered_map<std::int64_t, Tally> tallies;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const std::vector<Point>& line = lines[k];
    const double length = LineLength(line);
    const auto count = static_cast<std::size_t>(
        std::max<double>(settings.Least, std::round(length / settings.Spacing)));
    const auto self = static_cast<std::int32_t>(k);
    for (const LineSample& sample : SampleLine(line, count)) {
      for (const bool left : {true, false}) {
        const std::int32_t from = SideOf(self, left);
        const Point direction = left ? LeftOf(sample.Direction) : LeftOf(sample.Direction) * -1.0;
        const SegmentIndex::RayHit hit = obstacles.Cast(sample.At, direction, settings.Start,
                                                        reach, sameLines ? self : -1);
        if (!hit.Hit) {
          ++result.Counted[static_cast<std::size_t>(from)];
          ++result.Escaped[static_cast<std::size_t>(from)];
          continue;
        }
        if (hit.NearMarker) continue;
        const SegmentIndex::Segment& met = obstacles.SegmentAt(hit.Segment);
        // The side of the met line the ray arrives at: where the ray came from.
        const Point at = sample.At + direction * hit.Distance;
        const bool arrivesLeft = Cross(met.B - met.A, sample.At - at) > 0;
        const std::int32_t to = SideOf(met.Owner, arrivesLeft);
        ++result.Counted[static_cast<std::size_t>(from)];
        Tally& tally = tallies[std::int64_t{from} << 32 | static_cast<std::uint32_t>(to)];
        if (tally.Rays == 0 || hit.Distance < tally.Shortest) {
          tally.Shortest = hit.Distance;
          tally.Where = sample.At + direction * (hit.Distance / 2);
        }
        ++tally.Rays;
      }
    }
  }
  result.Links.reserve(tallies.size());
  for (const auto& [key, tally] : tallies)
    result.Links.push_back({static_cast<std::int32_t>(key >> 32),
                            static_cast<std::int32_t>(key & 0xffffffff), tally.Rays, tally.Where,
                            tally.Shortest});
  std::sort(result.Links.begin(), result.Links.end(), [](const FacingLink& a, const FacingLink& b) {
    return a.From != b.From ? a.From < b.From : a.To < b.To;
  });
  return result;
}

}  // namespace terrak::heights
