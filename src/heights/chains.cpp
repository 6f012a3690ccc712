#include "heights/chains.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>

#include "heights/polyline.h"

namespace terrak::heights {

namespace {

// End 2k is the first point of object k, end 2k + 1 its last.
struct EndPoint {
  Point At;
  std::int32_t Object = 0;
};

bool Usable(const HeightObject& object) {
  if (!CarriesHeight(object.Role) || object.Points.size() < 2) return false;
  return LineLength(object.Points) > 0;
}

// Ends of the given objects meeting within tolerance (closer in x and in y): for each end, the
// other ends it meets.
std::vector<std::vector<std::int32_t>> MeetingEnds(const HeightMap& map,
                                                   const std::vector<std::int32_t>& objects,
                                                   bool sameSymbolOnly, bool sameRoleOnly) {
  const double tolerance = std::max(map.JoinTolerance, 1e-9);
  std::vector<EndPoint> ends;
  std::vector<std::int32_t> endIds;  // ends[i] is end endIds[i]
  for (std::int32_t k : objects) {
    const HeightObject& o = map.Objects[static_cast<std::size_t>(k)];
    ends.push_back({o.Points.front(), k});
    endIds.push_back(2 * k);
    ends.push_back({o.Points.back(), k});
    endIds.push_back(2 * k + 1);
  }
  const auto key = [&](std::int64_t cx, std::int64_t cy) { return cx * 73856093 ^ cy * 19349663; };
  std::unordered_multimap<std::int64_t, std::size_t> cells;
  cells.reserve(ends.size());
  const auto cellOf = [&](double v) { return static_cast<std::int64_t>(std::floor(v / tolerance)); };
  for (std::size_t i = 0; i < ends.size(); ++i)
    cells.emplace(key(cellOf(ends[i].At.X), cellOf(ends[i].At.Y)), i);
  std::vector<std::vector<std::int32_t>> meets(2 * map.Objects.size());
  for (std::size_t i = 0; i < ends.size(); ++i) {
    const EndPoint& e = ends[i];
    const HeightObject& eo = map.Objects[static_cast<std::size_t>(e.Object)];
    const std::int64_t cx = cellOf(e.At.X), cy = cellOf(e.At.Y);
    for (std::int64_t dy = -1; dy <= 1; ++dy)
      for (std::int64_t dx = -1; dx <= 1; ++dx) {
        const auto range = cells.equal_range(key(cx + dx, cy + dy));
        for (auto it = range.first; it != range.second; ++it) {
          const std::size_t j = it->second;
          if (j == i) continue;
          const EndPoint& f = ends[j];
          const HeightObject& fo = map.Objects[static_cast<std::size_t>(f.Object)];
          if (std::fabs(e.At.X - f.At.X) >= tolerance || std::fabs(e.At.Y - f.At.Y) >= tolerance)
            continue;
          if (sameSymbolOnly && eo.Symbol != fo.Symbol) continue;
          if (sameRoleOnly && eo.Role != fo.Role) continue;
          auto& list = meets[static_cast<std::size_t>(endIds[i])];
          if (std::find(list.begin(), list.end(), endIds[j]) == list.end())
            list.push_back(endIds[j]);
        }
      }
  }
  return meets;
}

void AppendPiece(const HeightMap& map, Chain& chain, std::int32_t object, bool reversed) {
  chain.Pieces.push_back({object, reversed});
  const std::vector<Point>& points = map.Objects[static_cast<std::size_t>(object)].Points;
  const auto add = [&](const Point& p) {
    if (chain.Points.empty() || !(chain.Points.back() == p)) chain.Points.push_back(p);
  };
  if (reversed)
    std::for_each(points.rbegin(), points.rend(), add);
  else
    std::for_each(points.begin(), points.end(), add);
}

}  // namespace

std::vector<Chain> BuildRoleChains(const HeightMap& map, double gapMetres) {
  std::vector<std::int32_t> objects;
  for (std::size_t k = 0; k < map.Objects.size(); ++k)
    if (Usable(map.Objects[k])) objects.push_back(static_cast<std::int32_t>(k));
  const std::vector<std::vector<std::int32_t>> meets = MeetingEnds(map, objects, false, true);
  // An end joins another only when each is the other's one meeting end.
  std::vector<std::int32_t> joined(meets.size(), -1);
  for (std::size_t e = 0; e < meets.size(); ++e)
    if (meets[e].size() == 1 && meets[static_cast<std::size_t>(meets[e][0])].size() == 1)
      joined[e] = meets[e][0];

  std::vector<bool> used(map.Objects.size(), false);
  std::vector<Chain> chains;
  // Walks from an object's end `from` (the end the chain enters by) along the joins.
  const auto walk = [&](std::int32_t first, bool firstReversed) {
    Chain chain;
    chain.Role = map.Objects[static_cast<std::size_t>(first)].Role;
    std::int32_t object = first;
    bool reversed = firstReversed;
    while (true) {
      used[static_cast<std::size_t>(object)] = true;
      AppendPiece(map, chain, object, reversed);
      const std::int32_t exitEnd = 2 * object + (reversed ? 0 : 1);
      const std::int32_t next = joined[static_cast<std::size_t>(exitEnd)];
      if (next < 0) break;
      const std::int32_t nextObject = next / 2;
      if (nextObject == first && chain.Pieces.size() >= 1 &&
          next == 2 * first + (firstReversed ? 1 : 0)) {
        chain.Closed = true;  // back at the start
        break;
      }
      if (used[static_cast<std::size_t>(nextObject)]) break;
      object = nextObject;
      reversed = (next % 2) == 1;  // entered by its last point: runs against the chain
    }
    return chain;
  };
  // Open chains start at an end that joins nothing; what is left over are rings.
  for (std::int32_t k : objects) {
    if (used[static_cast<std::size_t>(k)]) continue;
    if (joined[static_cast<std::size_t>(2 * k)] < 0)
      chains.push_back(walk(k, false));
    else if (joined[static_cast<std::size_t>(2 * k + 1)] < 0)
      chains.push_back(walk(k, true));
  }
  for (std::int32_t k : objects)
    if (!used[static_cast<std::size_t>(k)]) chains.push_back(walk(k, false));

  // A ring left open by a small gap (a label, a cliff) still encloses its inside.
  for (Chain& chain : chains) {
    if (chain.Closed || chain.Points.size() < 3) continue;
    const double gap = Length(chain.Points.back() - chain.Points.front());
    if (gap <= gapMetres && LineLength(chain.Points) > 4 * std::max(gap, 1e-9))
      chain.Closed = true;
  }
  return chains;
}

std::vector<std::int32_t> TracedChainNumbers(const HeightMap& map) {
  std::vector<std::int32_t> objects;
  for (std::size_t k = 0; k < map.Objects.size(); ++k)
    if (CarriesHeight(map.Objects[k].Role) && !map.Objects[k].Points.empty())
      objects.push_back(static_cast<std::int32_t>(k));
  const std::vector<std::vector<std::int32_t>> meets = MeetingEnds(map, objects, true, false);
  std::vector<std::int32_t> parent(map.Objects.size());
  std::iota(parent.begin(), parent.end(), 0);
  const auto find = [&](std::int32_t x) {
    while (parent[static_cast<std::size_t>(x)] != x)
      x = parent[static_cast<std::size_t>(x)] =
          parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(x)])];
    return x;
  };
  for (std::size_t e = 0; e < meets.size(); ++e)
    for (std::int32_t f : meets[e]) {
      const std::int32_t a = find(static_cast<std::int32_t>(e / 2)), b = find(f / 2);
      if (a != b) parent[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
    }
  std::vector<std::int32_t> numbers(map.Objects.size(), -1);
  std::unordered_map<std::int32_t, std::int32_t> numberOfRoot;
  for (std::int32_t k : objects) {
    const auto [it, added] =
        numberOfRoot.emplace(find(k), static_cast<std::int32_t>(numberOfRoot.size()));
    numbers[static_cast<std::size_t>(k)] = it->second;
  }
  return numbers;
}

}  // namespace terrak::heights
