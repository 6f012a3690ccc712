// The face tree's solver on small trees whose answer is known by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "heights/level_solver.h"

namespace terrak::heights {
namespace {

// The values a marginal leaves at the best first part of the cost.
std::vector<std::int32_t> BestValues(const Marginal& m, Cost best) {
  std::vector<std::int32_t> values;
  for (std::size_t i = 0; i < m.Costs.size(); ++i)
    if (m.Costs[i] < kInfinite && FirstPart(m.Costs[i]) == FirstPart(best))
      values.push_back(m.Low + static_cast<std::int32_t>(i));
  return values;
}

SolverEdge Edge(std::int32_t a, std::int32_t b, bool index = false) {
  SolverEdge e{a, b, {}};
  (index ? e.Terms.Index : e.Terms.Plain) = true;
  return e;
}

TEST(LevelSolver, IndexLevelsFixTheWayDownACornerOfTheMap) {
  // Faces 0-1-2-3-4 in a row (bands between contours reaching the map's edge); the contour
  // between 0 and 1 lies at level 72, the one between 2 and 3 is an index contour (every 5th).
  std::vector<SolverFace> faces(5);
  for (SolverFace& f : faces) f.Feature = kEdgeFeature;
  std::vector<SolverEdge> edges = {Edge(0, 1), Edge(1, 2), Edge(2, 3, true), Edge(3, 4)};
  edges[0].Terms.KnownLevels = {72};
  SolverSettings settings;
  settings.IndexEvery = 5;
  const LevelSolution s = SolveLevels(faces, edges, settings);
  ASSERT_TRUE(s.Solved[4]);
  EXPECT_EQ(FirstPart(s.Best[0]), 0);
  // Face 1 can only be 71 or 72 given the known level; the index contour two steps away must
  // then be 70 (350 m), so the way is down: 72, 71, 70, 69.
  EXPECT_EQ(BestValues(s.EdgeLevels[1], s.Best[0]), std::vector<std::int32_t>{71});
  EXPECT_EQ(BestValues(s.EdgeLevels[2], s.Best[0]), std::vector<std::int32_t>{70});
  EXPECT_EQ(BestValues(s.EdgeLevels[3], s.Best[0]), std::vector<std::int32_t>{69});
}

// The cost of one whole assignment, counted the long way.
Cost TotalCost(const std::vector<SolverFace>& faces, const std::vector<SolverEdge>& edges,
               const std::vector<std::int32_t>& base, std::int32_t indexEvery) {
  Cost cost = 0;
  std::vector<std::vector<std::int32_t>> directions(faces.size());
  for (const SolverEdge& e : edges) {
    const std::int32_t a = base[static_cast<std::size_t>(e.A)];
    const std::int32_t b = base[static_cast<std::size_t>(e.B)];
    if (std::abs(a - b) != 1) return kInfinite;
    cost += EdgeCost(e.Terms, a, b, indexEvery);
    directions[static_cast<std::size_t>(e.A)].push_back(b - a);
    directions[static_cast<std::size_t>(e.B)].push_back(a - b);
  }
  for (std::size_t f = 0; f < faces.size(); ++f) {
    for (std::int32_t known : faces[f].KnownBases)
      if (base[f] != known) cost += kBrokenRule;
    const auto& d = directions[f];
    if (d.size() >= 2 && std::all_of(d.begin(), d.end(), [&](std::int32_t x) { return x == d[0]; }))
      cost += faces[f].Feature;
  }
  return cost;
}

TEST(LevelSolver, EveryMarginalIsTheBestOfAllAssignmentsOnRandomTrees) {
  std::uint64_t state = 12345;
  const auto next = [&](std::uint64_t n) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return (state >> 33) % n;
  };
  for (int round = 0; round < 300; ++round) {
    const auto count = static_cast<std::size_t>(2 + next(8));
    std::vector<SolverFace> faces(count);
    std::vector<SolverEdge> edges;
    for (std::size_t f = 1; f < count; ++f) {
      SolverEdge e{static_cast<std::int32_t>(next(f)), static_cast<std::int32_t>(f), {}};
      if (next(2) == 0) std::swap(e.A, e.B);
      (next(3) == 0 ? e.Terms.Index : e.Terms.Plain) = true;
      e.Terms.TicksSayALower = static_cast<std::int32_t>(next(5) == 0);
      e.Terms.ClosedAroundB = static_cast<std::int32_t>(next(3) == 0);
      edges.push_back(e);
    }
    for (SolverFace& f : faces) f.Feature = next(2) == 0 ? kEdgeFeature : kInnerFeature;
    edges[next(edges.size())].Terms.KnownLevels.push_back(10 + static_cast<std::int32_t>(next(5)));
    if (next(4) == 0) faces[next(count)].KnownBases.push_back(10 + static_cast<std::int32_t>(next(5)));
    SolverSettings settings;
    settings.IndexEvery = next(2) == 0 ? 5 : 0;
    const LevelSolution s = SolveLevels(faces, edges, settings);

    // Every assignment within reach of the known level.
    std::vector<std::int32_t> base(count, 0);
    std::vector<std::map<std::int32_t, Cost>> faceBest(count), edgeBest(edges.size());
    Cost best = kInfinite;
    const std::int32_t low = 10 - static_cast<std::int32_t>(count) - 1;
    const std::int32_t span = 2 * static_cast<std::int32_t>(count) + 8;
    std::function<void(std::size_t)> visit = [&](std::size_t f) {
      if (f == count) {
        const Cost c = TotalCost(faces, edges, base, settings.IndexEvery);
        if (c >= kInfinite) return;
        best = std::min(best, c);
        for (std::size_t g = 0; g < count; ++g) {
          auto [it, added] = faceBest[g].emplace(base[g], c);
          if (!added) it->second = std::min(it->second, c);
        }
        for (std::size_t e = 0; e < edges.size(); ++e) {
          const std::int32_t level = std::max(base[static_cast<std::size_t>(edges[e].A)],
                                              base[static_cast<std::size_t>(edges[e].B)]);
          auto [it, added] = edgeBest[e].emplace(level, c);
          if (!added) it->second = std::min(it->second, c);
        }
        return;
      }
      if (f == 0) {
        for (std::int32_t b = low; b < low + span; ++b) {
          base[0] = b;
          visit(1);
        }
        return;
      }
      // Face f hangs from the face of edge f - 1 that comes before it: one level apart.
      const SolverEdge& e = edges[f - 1];
      const std::int32_t parent = base[static_cast<std::size_t>(e.A == static_cast<std::int32_t>(f) ? e.B : e.A)];
      for (const std::int32_t d : {-1, +1}) {
        base[f] = parent + d;
        visit(f + 1);
      }
    };
    visit(0);
    if (best >= kBrokenRule) continue;  // broken rules everywhere: compared no further
    ASSERT_EQ(s.Best[0], best) << "round " << round;
    for (std::size_t e = 0; e < edges.size(); ++e)
      for (const auto& [level, cost] : edgeBest[e]) {
        const std::int64_t i = level - s.EdgeLevels[e].Low;
        // The solver looks only at values within reach of the known levels, where no known
        // level is broken: beyond, it may say impossible.
        const bool inside = i >= 0 && i < static_cast<std::int64_t>(s.EdgeLevels[e].Costs.size());
        const Cost solved = inside ? s.EdgeLevels[e].Costs[static_cast<std::size_t>(i)] : kInfinite;
        if (cost < kBrokenRule) {
          EXPECT_EQ(solved, cost) << "round " << round << " edge " << e << " level " << level;
        }
      }
  }
}

}  // namespace
}  // namespace terrak::heights
