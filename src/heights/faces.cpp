#include "heights/faces.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace terrak::heights {

namespace {

struct Candidate {
  std::int32_t A = 0, B = 0;  // sides, A < B
  std::int32_t Rays = 0;
  double Share = 0.0;
};

// Sides grouped into faces, each group knowing its sides, so that a union can be refused when
// it would join the two sides of one line.
class SideGroups {
 public:
  explicit SideGroups(std::size_t sides) : parent_(sides), members_(sides) {
    std::iota(parent_.begin(), parent_.end(), 0);
    for (std::size_t s = 0; s < sides; ++s) members_[s] = {static_cast<std::int32_t>(s)};
  }

  std::int32_t Find(std::int32_t s) {
    while (parent_[static_cast<std::size_t>(s)] != s) {
      parent_[static_cast<std::size_t>(s)] =
          parent_[static_cast<std::size_t>(parent_[static_cast<std::size_t>(s)])];
      s = parent_[static_cast<std::size_t>(s)];
    }
    return s;
  }

  // Joins the groups of a and b unless that joins a line's two sides; false when refused.
  bool Join(std::int32_t a, std::int32_t b) {
    std::int32_t ga = Find(a), gb = Find(b);
    if (ga == gb) return true;
    if (members_[static_cast<std::size_t>(ga)].size() > members_[static_cast<std::size_t>(gb)].size())
      std::swap(ga, gb);
    for (std::int32_t s : members_[static_cast<std::size_t>(ga)])
      if (Find(OtherSide(s)) == gb) return false;
    std::vector<std::int32_t>& into = members_[static_cast<std::size_t>(gb)];
    std::vector<std::int32_t>& from = members_[static_cast<std::size_t>(ga)];
    into.insert(into.end(), from.begin(), from.end());
    from.clear();
    from.shrink_to_fit();
    parent_[static_cast<std::size_t>(ga)] = gb;
    return true;
  }

 private:
  std::vector<std::int32_t> parent_;
  std::vector<std::vector<std::int32_t>> members_;
};

}  // namespace

Faces GroupFaces(std::size_t lineCount, const FacingRays& rays, const FaceSettings& settings) {
  const std::size_t sides = 2 * lineCount;
  // Both directions of a facing together.
  std::map<std::pair<std::int32_t, std::int32_t>, std::pair<std::int32_t, std::int32_t>> both;
  for (const FacingLink& link : rays.Links) {
    if (link.From == link.To || link.From == OtherSide(link.To)) continue;
    const bool forward = link.From < link.To;
    auto& counts = both[{std::min(link.From, link.To), std::max(link.From, link.To)}];
    (forward ? counts.first : counts.second) += link.Rays;
  }
  const auto share = [&](std::int32_t side, std::int32_t count) {
    const std::int32_t counted = rays.Counted[static_cast<std::size_t>(side)];
    return counted > 0 ? static_cast<double>(count) / counted : 0.0;
  };
  std::vector<Candidate> candidates;
  for (const auto& [pair, counts] : both) {
    Candidate c{pair.first, pair.second, counts.first + counts.second,
                std::max(share(pair.first, counts.first), share(pair.second, counts.second))};
    if (c.Share >= settings.LeastShare || c.Rays >= settings.LeastRays) candidates.push_back(c);
  }
  std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
    if (a.Share != b.Share) return a.Share > b.Share;
    if (a.Rays != b.Rays) return a.Rays > b.Rays;
    return a.A != b.A ? a.A < b.A : a.B < b.B;
  });
  SideGroups groups(sides);
  for (const Candidate& c : candidates) groups.Join(c.A, c.B);

  Faces faces;
  faces.OfSide.assign(sides, -1);
  std::vector<std::int32_t> numberOfGroup(sides, -1);
  for (std::size_t s = 0; s < sides; ++s) {
    const std::int32_t g = groups.Find(static_cast<std::int32_t>(s));
    if (numberOfGroup[static_cast<std::size_t>(g)] < 0)
      numberOfGroup[static_cast<std::size_t>(g)] = faces.Count++;
    faces.OfSide[s] = numberOfGroup[static_cast<std::size_t>(g)];
  }
  faces.ReachesEdge.assign(static_cast<std::size_t>(faces.Count), false);
  for (std::size_t s = 0; s < sides && s < rays.Escaped.size(); ++s)
    if (rays.Escaped[s] > 0) faces.ReachesEdge[static_cast<std::size_t>(faces.OfSide[s])] = true;
  return faces;
}

}  // namespace terrak::heights
