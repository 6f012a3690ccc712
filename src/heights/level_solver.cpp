#include "heights/level_solver.h"

#include <algorithm>
#include <queue>

namespace terrak::heights {

namespace {

Cost Add(Cost a, Cost b) {
  if (a >= kInfinite || b >= kInfinite) return kInfinite;
  return std::min(kInfinite, a + b);
}

std::int32_t Modulo(std::int32_t x, std::int32_t n) {
  const std::int32_t r = x % n;
  return r < 0 ? r + n : r;
}

// A child's best costs (its subtree and the edge to it) with the child one level below or above.
struct ChildPair {
  Cost Down = kInfinite;
  Cost Up = kInfinite;
  Cost Of(std::int32_t direction) const { return direction > 0 ? Up : Down; }
  Cost Least() const { return std::min(Down, Up); }
};

// A sum that remembers how many of its terms were impossible, so one can be taken out again.
struct Sum {
  Cost Finite = 0;
  std::int32_t Impossible = 0;
  void Add(Cost c) {
    if (c >= kInfinite) ++Impossible;
    else Finite += c;
  }
  Cost Without(Cost c) const {
    const std::int32_t impossible = Impossible - (c >= kInfinite ? 1 : 0);
    if (impossible > 0) return kInfinite;
    return std::min(kInfinite, Finite - (c >= kInfinite ? 0 : c));
  }
  Cost Total() const { return Impossible > 0 ? kInfinite : std::min(kInfinite, Finite); }
};

// The two smallest values with whose they are.
struct TwoLeast {
  Cost Value[2] = {kInfinite, kInfinite};
  std::int32_t Who[2] = {-1, -1};
  void Offer(Cost v, std::int32_t who) {
    if (v < Value[0]) {
      Value[1] = Value[0];
      Who[1] = Who[0];
      Value[0] = v;
      Who[0] = who;
    } else if (v < Value[1]) {
      Value[1] = v;
      Who[1] = who;
    }
  }
  Cost Without(std::int32_t who) const { return Who[0] == who ? Value[1] : Value[0]; }
};

// What a face's children give at one value of the face.
struct Totals {
  Sum Free, AllUp, AllDown;
  TwoLeast TurnUp, TurnDown;  // extra cost of a child turned up (down) from its best
};

Totals Total(const std::vector<ChildPair>& children) {
  Totals t;
  for (std::size_t i = 0; i < children.size(); ++i) {
    const ChildPair& c = children[i];
    const Cost least = c.Least();
    t.Free.Add(least);
    t.AllUp.Add(c.Up);
    t.AllDown.Add(c.Down);
    if (least >= kInfinite) continue;
    const auto who = static_cast<std::int32_t>(i);
    t.TurnUp.Offer(c.Up >= kInfinite ? kInfinite : c.Up - least, who);
    t.TurnDown.Offer(c.Down >= kInfinite ? kInfinite : c.Down - least, who);
  }
  return t;
}

// The best cost of the children with the parent in direction parent (-1 below, +1 above, 0 no
// parent), a needless feature costing feature when every neighbour lies on one side.
Cost Combine(const Totals& t, std::size_t children, std::int32_t parent, Cost feature) {
  const Cost free = t.Free.Total();
  if (free >= kInfinite) return kInfinite;
  const std::size_t degree = children + (parent != 0 ? 1 : 0);
  if (degree < 2) return free;
  if (parent != 0) {
    const Cost allSame = parent > 0 ? t.AllUp.Total() : t.AllDown.Total();
    const Cost oneOther = Add(free, parent > 0 ? t.TurnDown.Value[0] : t.TurnUp.Value[0]);
    return std::min(oneOther, Add(allSame, feature));
  }
  Cost mixed;
  if (t.TurnUp.Who[0] != t.TurnDown.Who[0])
    mixed = Add(free, Add(t.TurnUp.Value[0], t.TurnDown.Value[0]));
  else
    mixed = std::min(Add(free, Add(t.TurnUp.Value[0], t.TurnDown.Value[1])),
                     Add(free, Add(t.TurnUp.Value[1], t.TurnDown.Value[0])));
  return std::min({mixed, Add(t.AllUp.Total(), feature), Add(t.AllDown.Total(), feature)});
}

// As Combine for every child but child c, whose direction is fixed to direction.
Cost CombineWithout(const Totals& t, const std::vector<ChildPair>& children, std::size_t c,
                    std::int32_t parent, std::int32_t direction, Cost feature) {
  const ChildPair& fixed = children[c];
  const Cost free = t.Free.Without(fixed.Least());
  if (free >= kInfinite) return kInfinite;
  const std::size_t degree = children.size() + (parent != 0 ? 1 : 0);
  if (degree < 2 || (parent != 0 && parent != direction)) return free;
  const auto who = static_cast<std::int32_t>(c);
  const Cost allSame = direction > 0 ? t.AllUp.Without(fixed.Up) : t.AllDown.Without(fixed.Down);
  const Cost oneOther =
      Add(free, direction > 0 ? t.TurnDown.Without(who) : t.TurnUp.Without(who));
  return std::min(oneOther, Add(allSame, feature));
}

struct Window {
  std::int32_t Low = 0, High = -1;
  std::int32_t Size() const { return High - Low + 1; }
  bool Holds(std::int32_t b) const { return b >= Low && b <= High; }
};

class Solver {
 public:
  Solver(const std::vector<SolverFace>& faces, const std::vector<SolverEdge>& edges,
         const SolverSettings& settings)
      : faces_(faces), edges_(edges), settings_(settings), around_(faces.size()) {
    for (std::size_t e = 0; e < edges.size(); ++e) {
      around_[static_cast<std::size_t>(edges[e].A)].push_back(static_cast<std::int32_t>(e));
      around_[static_cast<std::size_t>(edges[e].B)].push_back(static_cast<std::int32_t>(e));
    }
  }

  LevelSolution Run() {
    const std::size_t n = faces_.size();
    solution_.Solved.assign(n, false);
    solution_.FaceBases.assign(n, {});
    solution_.EdgeLevels.assign(edges_.size(), {});
    solution_.Best.assign(n, kInfinite);
    solution_.Base.assign(n, 0);
    parent_.assign(n, -1);
    parentEdge_.assign(n, -1);
    windows_.assign(n, {});
    down_.assign(n, {});
    out_.assign(n, {});
    // Components are found once, then walked again from a face with a known height, so that
    // the tree hangs from it; they are disjoint, so one record of the second walks will do.
    std::vector<bool> seen(n, false), rooted(n, false);
    for (std::size_t f = 0; f < n; ++f) {
      if (seen[f]) continue;
      const std::int32_t root = AnchorOf(Component(static_cast<std::int32_t>(f), seen));
      if (root >= 0) SolveComponent(Component(root, rooted));
    }
    return std::move(solution_);
  }

 private:
  // The faces reachable from start, in breadth-first order, with parents set.
  std::vector<std::int32_t> Component(std::int32_t start, std::vector<bool>& seen) {
    std::vector<std::int32_t> order{start};
    seen[static_cast<std::size_t>(start)] = true;
    parent_[static_cast<std::size_t>(start)] = -1;
    parentEdge_[static_cast<std::size_t>(start)] = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
      const std::int32_t f = order[i];
      for (std::int32_t e : around_[static_cast<std::size_t>(f)]) {
        const SolverEdge& edge = edges_[static_cast<std::size_t>(e)];
        const std::int32_t other = edge.A == f ? edge.B : edge.A;
        if (seen[static_cast<std::size_t>(other)]) continue;
        seen[static_cast<std::size_t>(other)] = true;
        parent_[static_cast<std::size_t>(other)] = f;
        parentEdge_[static_cast<std::size_t>(other)] = e;
        order.push_back(other);
      }
    }
    return order;
  }

  std::int32_t AnchorOf(const std::vector<std::int32_t>& order) const {
    for (std::int32_t f : order) {
      if (!faces_[static_cast<std::size_t>(f)].KnownBases.empty()) return f;
      for (std::int32_t e : around_[static_cast<std::size_t>(f)])
        if (!edges_[static_cast<std::size_t>(e)].Terms.KnownLevels.empty()) return f;
    }
    return -1;
  }

  std::vector<std::int32_t> Children(std::int32_t f) const {
    std::vector<std::int32_t> children;
    for (std::int32_t e : around_[static_cast<std::size_t>(f)]) {
      const SolverEdge& edge = edges_[static_cast<std::size_t>(e)];
      const std::int32_t other = edge.A == f ? edge.B : edge.A;
      if (parentEdge_[static_cast<std::size_t>(other)] == e) children.push_back(other);
    }
    return children;
  }

  // The values each face may take: within reach of the known levels along the tree.
  void SetWindows(const std::vector<std::int32_t>& order) {
    constexpr std::int32_t kNone = std::numeric_limits<std::int32_t>::max() / 4;
    std::vector<std::int32_t> low(faces_.size(), kNone), high(faces_.size(), -kNone);
    std::int32_t least = kNone, most = -kNone;
    const auto anchor = [&](std::int32_t f, std::int32_t lo, std::int32_t hi) {
      low[static_cast<std::size_t>(f)] = std::min(low[static_cast<std::size_t>(f)], lo);
      high[static_cast<std::size_t>(f)] = std::max(high[static_cast<std::size_t>(f)], hi);
      least = std::min(least, lo);
      most = std::max(most, hi);
    };
    for (std::int32_t f : order) {
      for (std::int32_t b : faces_[static_cast<std::size_t>(f)].KnownBases) anchor(f, b, b);
      for (std::int32_t e : around_[static_cast<std::size_t>(f)])
        for (std::int32_t x : edges_[static_cast<std::size_t>(e)].Terms.KnownLevels)
          anchor(f, x - 1, x);
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
      const std::int32_t p = parent_[static_cast<std::size_t>(*it)];
      if (p < 0 || low[static_cast<std::size_t>(*it)] == kNone) continue;
      low[static_cast<std::size_t>(p)] =
          std::min(low[static_cast<std::size_t>(p)], low[static_cast<std::size_t>(*it)] - 1);
      high[static_cast<std::size_t>(p)] =
          std::max(high[static_cast<std::size_t>(p)], high[static_cast<std::size_t>(*it)] + 1);
    }
    for (std::int32_t f : order) {
      const std::int32_t p = parent_[static_cast<std::size_t>(f)];
      if (p >= 0) {
        low[static_cast<std::size_t>(f)] =
            std::min(low[static_cast<std::size_t>(f)], low[static_cast<std::size_t>(p)] - 1);
        high[static_cast<std::size_t>(f)] =
            std::max(high[static_cast<std::size_t>(f)], high[static_cast<std::size_t>(p)] + 1);
      }
      Window& w = windows_[static_cast<std::size_t>(f)];
      w.Low = std::max(low[static_cast<std::size_t>(f)], least - settings_.Reach);
      w.High = std::min(high[static_cast<std::size_t>(f)], most + settings_.Reach);
    }
  }

  // Values stored per face: for each b, two entries (parent below, parent above); the root
  // keeps its one value (no parent) in the first.
  static std::size_t Slot(const Window& w, std::int32_t b, std::int32_t parent) {
    return static_cast<std::size_t>(b - w.Low) * 2 + (parent > 0 ? 1 : 0);
  }

  Cost Down(std::int32_t f, std::int32_t b, std::int32_t parent) const {
    const Window& w = windows_[static_cast<std::size_t>(f)];
    if (!w.Holds(b)) return kInfinite;
    return down_[static_cast<std::size_t>(f)][Slot(w, b, parent)];
  }

  Cost FaceCost(std::int32_t f, std::int32_t b) const {
    Cost cost = 0;
    for (std::int32_t known : faces_[static_cast<std::size_t>(f)].KnownBases)
      if (b != known) cost = Add(cost, kBrokenRule);
    return cost;
  }

  Cost EdgeBetween(std::int32_t e, std::int32_t f, std::int32_t bf, std::int32_t bOther) const {
    const SolverEdge& edge = edges_[static_cast<std::size_t>(e)];
    return edge.A == f ? EdgeCost(edge.Terms, bf, bOther, settings_.IndexEvery)
                       : EdgeCost(edge.Terms, bOther, bf, settings_.IndexEvery);
  }

  std::vector<ChildPair> Pairs(std::int32_t f, std::int32_t b,
                               const std::vector<std::int32_t>& children) const {
    std::vector<ChildPair> pairs;
    pairs.reserve(children.size());
    for (std::int32_t c : children) {
      const std::int32_t e = parentEdge_[static_cast<std::size_t>(c)];
      ChildPair pair;
      pair.Down = Add(Down(c, b - 1, +1), EdgeBetween(e, f, b, b - 1));
      pair.Up = Add(Down(c, b + 1, -1), EdgeBetween(e, f, b, b + 1));
      pairs.push_back(pair);
    }
    return pairs;
  }

  void SolveComponent(const std::vector<std::int32_t>& order) {
    SetWindows(order);
    // Upwards: each face's best subtree cost by its value and its parent's direction.
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
      const std::int32_t f = *it;
      const Window& w = windows_[static_cast<std::size_t>(f)];
      const std::vector<std::int32_t> children = Children(f);
      const Cost feature = faces_[static_cast<std::size_t>(f)].Feature;
      std::vector<Cost>& down = down_[static_cast<std::size_t>(f)];
      down.assign(static_cast<std::size_t>(std::max(w.Size(), 0)) * 2, kInfinite);
      const bool root = parent_[static_cast<std::size_t>(f)] < 0;
      for (std::int32_t b = w.Low; b <= w.High; ++b) {
        const std::vector<ChildPair> pairs = Pairs(f, b, children);
        const Totals totals = Total(pairs);
        const Cost own = FaceCost(f, b);
        if (root) {
          down[Slot(w, b, -1)] = Add(own, Combine(totals, pairs.size(), 0, feature));
          continue;
        }
        for (const std::int32_t parent : {-1, +1})
          down[Slot(w, b, parent)] = Add(own, Combine(totals, pairs.size(), parent, feature));
      }
    }
    const std::int32_t root = order.front();
    const Window& rw = windows_[static_cast<std::size_t>(root)];
    Cost best = kInfinite;
    for (std::int32_t b = rw.Low; b <= rw.High; ++b) best = std::min(best, Down(root, b, -1));

    // Downwards: everything outside each face's subtree, by its value and its parent's direction.
    out_[static_cast<std::size_t>(root)].assign(static_cast<std::size_t>(rw.Size()) * 2, 0);
    for (std::int32_t f : order) {
      const Window& w = windows_[static_cast<std::size_t>(f)];
      const std::vector<std::int32_t> children = Children(f);
      const Cost feature = faces_[static_cast<std::size_t>(f)].Feature;
      const bool isRoot = parent_[static_cast<std::size_t>(f)] < 0;
      for (std::int32_t c : children) {
        const Window& cw = windows_[static_cast<std::size_t>(c)];
        out_[static_cast<std::size_t>(c)].assign(static_cast<std::size_t>(cw.Size()) * 2,
                                                 kInfinite);
      }
      for (std::int32_t b = w.Low; b <= w.High; ++b) {
        const std::vector<ChildPair> pairs = Pairs(f, b, children);
        const Totals totals = Total(pairs);
        const Cost own = FaceCost(f, b);
        for (std::size_t i = 0; i < children.size(); ++i) {
          const std::int32_t c = children[i];
          const std::int32_t e = parentEdge_[static_cast<std::size_t>(c)];
          for (const std::int32_t d : {-1, +1}) {  // the child at b + d
            const std::int32_t bc = b + d;
            const Window& cw = windows_[static_cast<std::size_t>(c)];
            if (!cw.Holds(bc)) continue;
            Cost outside = kInfinite;
            if (isRoot) {
              outside = CombineWithout(totals, pairs, i, 0, d, feature);
            } else {
              for (const std::int32_t parent : {-1, +1}) {
                const Cost beyond = out_[static_cast<std::size_t>(f)][Slot(w, b, parent)];
                outside = std::min(
                    outside, Add(beyond, CombineWithout(totals, pairs, i, parent, d, feature)));
              }
            }
            const Cost total = Add(Add(outside, own), EdgeBetween(e, f, b, bc));
            Cost& slot = out_[static_cast<std::size_t>(c)][Slot(cw, bc, -d)];
            slot = std::min(slot, total);
          }
        }
      }
    }
    Record(order, best);
    Decode(order);
  }

  void Record(const std::vector<std::int32_t>& order, Cost best) {
    for (std::int32_t f : order) {
      const auto fi = static_cast<std::size_t>(f);
      const Window& w = windows_[fi];
      solution_.Solved[fi] = true;
      solution_.Best[fi] = best;
      Marginal& face = solution_.FaceBases[fi];
      face.Low = w.Low;
      face.Costs.assign(static_cast<std::size_t>(std::max(w.Size(), 0)), kInfinite);
      const bool root = parent_[fi] < 0;
      for (std::int32_t b = w.Low; b <= w.High; ++b) {
        Cost m = kInfinite;
        if (root) {
          m = Down(f, b, -1);
        } else {
          for (const std::int32_t parent : {-1, +1})
            m = std::min(m, Add(out_[fi][Slot(w, b, parent)], down_[fi][Slot(w, b, parent)]));
        }
        face.Costs[static_cast<std::size_t>(b - w.Low)] = m;
      }
      if (root) continue;
      // The edge to the parent: its level is the higher of the two bases.
      Marginal& edge = solution_.EdgeLevels[static_cast<std::size_t>(parentEdge_[fi])];
      edge.Low = w.Low;
      edge.Costs.assign(static_cast<std::size_t>(std::max(w.Size(), 0)) + 1, kInfinite);
      for (std::int32_t b = w.Low; b <= w.High; ++b)
        for (const std::int32_t parent : {-1, +1}) {
          const Cost m = Add(out_[fi][Slot(w, b, parent)], down_[fi][Slot(w, b, parent)]);
          const std::int32_t level = parent > 0 ? b + 1 : b;
          Cost& slot = edge.Costs[static_cast<std::size_t>(level - w.Low)];
          slot = std::min(slot, m);
        }
    }
  }

  // One best assignment, from the root down.
  void Decode(const std::vector<std::int32_t>& order) {
    const std::int32_t root = order.front();
    const Window& rw = windows_[static_cast<std::size_t>(root)];
    std::int32_t bestB = rw.Low;
    for (std::int32_t b = rw.Low; b <= rw.High; ++b)
      if (Down(root, b, -1) < Down(root, bestB, -1)) bestB = b;
    std::vector<std::int32_t> towardsParent(faces_.size(), 0);
    solution_.Base[static_cast<std::size_t>(root)] = bestB;
    for (std::int32_t f : order) {
      const std::int32_t b = solution_.Base[static_cast<std::size_t>(f)];
      const std::int32_t parent = towardsParent[static_cast<std::size_t>(f)];
      const std::vector<std::int32_t> children = Children(f);
      if (children.empty()) continue;
      const std::vector<ChildPair> pairs = Pairs(f, b, children);
      const Cost feature = faces_[static_cast<std::size_t>(f)].Feature;
      const Cost target = Combine(Total(pairs), pairs.size(), parent, feature);
      const std::vector<std::int32_t> directions = Directions(pairs, parent, feature, target);
      for (std::size_t i = 0; i < children.size(); ++i) {
        solution_.Base[static_cast<std::size_t>(children[i])] = b + directions[i];
        towardsParent[static_cast<std::size_t>(children[i])] = -directions[i];
      }
    }
  }

  static Cost CostOf(const std::vector<ChildPair>& pairs, const std::vector<std::int32_t>& dirs,
                     std::int32_t parent, Cost feature) {
    Cost cost = 0;
    bool allUp = parent >= 0, allDown = parent <= 0;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      cost = Add(cost, pairs[i].Of(dirs[i]));
      allUp = allUp && dirs[i] > 0;
      allDown = allDown && dirs[i] < 0;
    }
    const std::size_t degree = pairs.size() + (parent != 0 ? 1 : 0);
    if (degree >= 2 && (allUp || allDown)) cost = Add(cost, feature);
    return cost;
  }

  static std::vector<std::int32_t> Directions(const std::vector<ChildPair>& pairs,
                                              std::int32_t parent, Cost feature, Cost target) {
    std::vector<std::int32_t> dirs(pairs.size());
    for (std::size_t i = 0; i < pairs.size(); ++i) dirs[i] = pairs[i].Up < pairs[i].Down ? 1 : -1;
    if (CostOf(pairs, dirs, parent, feature) <= target) return dirs;
    for (const std::int32_t all : {-1, +1}) {
      std::vector<std::int32_t> same(pairs.size(), all);
      if (CostOf(pairs, same, parent, feature) <= target) return same;
    }
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      dirs[i] = -dirs[i];
      if (CostOf(pairs, dirs, parent, feature) <= target) return dirs;
      dirs[i] = -dirs[i];
    }
    return dirs;  // only when the whole tree is impossible
  }

  const std::vector<SolverFace>& faces_;
  const std::vector<SolverEdge>& edges_;
  const SolverSettings& settings_;
  std::vector<std::vector<std::int32_t>> around_;
  std::vector<std::int32_t> parent_, parentEdge_;
  std::vector<Window> windows_;
  std::vector<std::vector<Cost>> down_, out_;
  LevelSolution solution_;
};

}  // namespace

Cost EdgeCost(const EdgeTerms& terms, std::int32_t a, std::int32_t b, std::int32_t indexEvery) {
  const std::int32_t level = std::max(a, b);
  const bool aLower = a < b;
  Cost cost = 0;
  for (std::int32_t known : terms.KnownLevels)
    if (level != known) cost += kBrokenRule;
  if (indexEvery >= 2) {
    const bool onIndex = Modulo(level, indexEvery) == 0;
    if (terms.Index && !onIndex) cost += kBrokenRule;
    if (terms.Plain && onIndex) cost += kBrokenRule;
  }
  cost += kAgainstSlopeLine * (aLower ? terms.TicksSayBLower : terms.TicksSayALower);
  cost += kHollowForHill * (aLower ? terms.ClosedAroundA : terms.ClosedAroundB);
  cost += aLower ? terms.GuessAgainstALower : terms.GuessAgainstBLower;
  return cost;
}

LevelSolution SolveLevels(const std::vector<SolverFace>& faces,
                          const std::vector<SolverEdge>& edges, const SolverSettings& settings) {
  return Solver(faces, edges, settings).Run();
}

}  // namespace terrak::heights
