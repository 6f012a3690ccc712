#include "heights/derive_heights.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "heights/level_solver.h"
#include "heights/shape_guesses.h"

namespace terrak::heights {

namespace {

constexpr const char* kGivenReason = "height given in the map";
constexpr const char* kDerivedReason = "follows from the known heights across the contours";
constexpr const char* kFormReason = "half an interval between its neighbouring contours";
constexpr const char* kGuessedReason =
    "up or down guessed from closed contours taken for hills and slopes going on as beside "
    "them; nothing else tells it here";
constexpr const char* kTinyGuessedReason =
    "a knoll or a hollow guessed from the level of the contours nearer it";
constexpr const char* kSmallRingReason =
    "a small ring: taken for a knoll, but the contours round it say a hollow, or the other way "
    "round";
constexpr const char* kUnreachedReason = "no contour with a known height is connected to it";
constexpr const char* kOpenReason = "nothing tells up from down here";
constexpr const char* kTinyReason = "too small to tell a knoll from a hollow";
constexpr const char* kFarReason = "too many levels from every known height";
constexpr const char* kFormUnplacedReason = "its neighbouring contours do not agree on where it lies";
constexpr const char* kShortReason = "too short to place";
constexpr const char* kOffLevelReason = "its known height is not on a level of the interval";
constexpr const char* kKnownConflictReason =
    "its known height contradicts the other known heights or the index levels";
constexpr const char* kIndexConflictReason = "an index contour here cannot lie on an index level";
constexpr const char* kPlainConflictReason = "a contour here would lie on an index level";
constexpr const char* kSidesConflictReason = "its two sides contradict the rest of the map";

// The contours between two faces: one edge of the face tree.
struct Bundle {
  std::int32_t A = 0, B = 0;  // faces, A < B
  std::vector<std::int32_t> Chains;
  EdgeTerms Terms;
  double Length = 0.0;
};

struct Verdict {
  HeightState State = HeightState::None;
  std::int32_t Level = 0;  // in intervals (form lines: the level below)
  const char* Reason = kUnreachedReason;
};

// A guess from the slope beside a contour weighs as much as the hill rule.
constexpr Cost kShapeGuess = kHollowForHill;

std::int32_t Modulo(std::int32_t x, std::int32_t n) {
  const std::int32_t r = x % n;
  return r < 0 ? r + n : r;
}

// Which value a marginal singles out: one with the best first part, else one with the best cost.
Verdict Judge(const Marginal& m, Cost best, bool solved) {
  Verdict v;
  if (!solved) return v;
  if (best >= kInfinite || m.Costs.empty()) {
    v.Reason = kFarReason;
    return v;
  }
  std::int32_t firstCount = 0, fullCount = 0, firstLevel = 0, fullLevel = 0;
  for (std::size_t i = 0; i < m.Costs.size(); ++i) {
    const Cost c = m.Costs[i];
    if (c >= kInfinite) continue;
    const std::int32_t value = m.Low + static_cast<std::int32_t>(i);
    if (FirstPart(c) == FirstPart(best)) {
      ++firstCount;
      firstLevel = value;
    }
    if (c == best) {
      ++fullCount;
      fullLevel = value;
    }
  }
  if (firstCount == 1) return {HeightState::Derived, firstLevel, kDerivedReason};
  if (fullCount == 1) return {HeightState::Guessed, fullLevel, kGuessedReason};
  v.Reason = fullCount == 0 ? kFarReason : kOpenReason;
  return v;
}

Cost At(const Marginal& m, std::int32_t value) {
  const std::int64_t i = std::int64_t{value} - m.Low;
  if (i < 0 || i >= static_cast<std::int64_t>(m.Costs.size())) return kInfinite;
  return m.Costs[static_cast<std::size_t>(i)];
}

// The rule an edge breaks in every best assignment, when there is one.
const char* BrokenRule(const Bundle& bundle, const Marginal& m, Cost best,
                       std::int32_t indexEvery) {
  const EdgeTerms& t = bundle.Terms;
  Cost keeping = kInfinite;
  const char* reason = nullptr;
  for (std::size_t i = 0; i < m.Costs.size(); ++i) {
    const std::int32_t level = m.Low + static_cast<std::int32_t>(i);
    const bool knownKept = std::all_of(t.KnownLevels.begin(), t.KnownLevels.end(),
                                       [&](std::int32_t k) { return k == level; });
    const bool onIndex = indexEvery >= 2 && Modulo(level, indexEvery) == 0;
    const bool indexKept = indexEvery < 2 || ((!t.Index || onIndex) && (!t.Plain || !onIndex));
    if (knownKept && indexKept) keeping = std::min(keeping, m.Costs[i]);
  }
  if (keeping <= best) return nullptr;
  if (!t.KnownLevels.empty()) reason = kKnownConflictReason;
  else if (t.Index) reason = kIndexConflictReason;
  else reason = kPlainConflictReason;
  return reason;
}

class Derivation {
 public:
  Derivation(const HeightMap& map, const ContourRoles& roles, const Topology& topology)
      : map_(map), roles_(roles), t_(topology) {
    result_.Objects.assign(map.Objects.size(), {});
    indexEvery_ = roles.UsesIndexLevels() ? roles.IndexEvery : 0;
  }

  HeightsResult Run() {
    MarkObjects();
    SolverSettings settings;
    settings.IndexEvery = indexEvery_;
    MakeBundles({});
    ChooseTree();
    solution_ = SolveLevels(faces_, edges_, settings);
    // Where the rules leave an open contour's way up open, the slope beside it (as far as the
    // first solution settles it, derived or guessed) suggests it: solved again with those guesses.
    const std::vector<ShapeGuess> guesses = GuessFromShape(t_, Bases(true));
    if (std::any_of(guesses.begin(), guesses.end(),
                    [](ShapeGuess g) { return g != ShapeGuess::None; })) {
      MakeBundles(guesses);
      ChooseTree();
      solution_ = SolveLevels(faces_, edges_, settings);
    }
    JudgeBundles();
    DoubtSmallRings();
    JudgeTinyRings();
    JudgeFormLines();
    return std::move(result_);
  }

 private:
  bool UsesInterval() const { return roles_.Interval > 0 && std::isfinite(roles_.Interval); }

  // Objects too short for any chain, and the known heights that lie off every level.
  void MarkObjects() {
    knownLevel_.assign(map_.Objects.size(), std::nullopt);
    for (std::size_t k = 0; k < map_.Objects.size(); ++k) {
      const HeightObject& o = map_.Objects[k];
      if (!CarriesHeight(o.Role)) continue;
      ObjectHeight& r = result_.Objects[k];
      if (o.Height.Has) {
        const auto level = UsesInterval()
                               ? LevelOf(o.Height.Metres, roles_.Interval,
                                         o.Role == ContourRole::FormLine)
                               : std::nullopt;
        if (level) {
          knownLevel_[k] = level;
          r = {HeightState::Known, o.Height, kGivenReason};
        } else {
          r = {HeightState::Conflict, o.Height, kOffLevelReason};
        }
        continue;
      }
      r = {HeightState::None, {}, t_.ChainOfObject[k] < 0 ? kShortReason : kUnreachedReason};
    }
  }

  std::int32_t FaceOf(std::int32_t line, bool left) const {
    return t_.Areas.OfSide[static_cast<std::size_t>(SideOf(line, left))];
  }

  // Per face: its base where the solution derives it (or guesses it, with guessed).
  FaceBases Bases(bool guessed) const {
    FaceBases bases(faces_.size());
    for (std::size_t f = 0; f < faces_.size(); ++f) {
      const Verdict v = FaceVerdict(static_cast<std::int32_t>(f));
      if (v.State == HeightState::Derived || (guessed && v.State == HeightState::Guessed))
        bases[f] = v.Level;
    }
    return bases;
  }

  // The bundles of lines between the same two faces with what their lines say, and the guesses
  // (per line, or none) from the slope beside them.
  void MakeBundles(const std::vector<ShapeGuess>& guesses) {
    bundles_.clear();
    edges_.clear();
    tinyLines_.clear();
    faces_.assign(static_cast<std::size_t>(t_.Areas.Count), {});
    for (std::size_t f = 0; f < faces_.size(); ++f)
      faces_[f].Feature = t_.Areas.ReachesEdge[f] ? kEdgeFeature : kInnerFeature;
    std::map<std::pair<std::int32_t, std::int32_t>, std::int32_t> byFaces;
    bundleOfChain_.assign(t_.Chains.size(), -1);
    for (std::size_t k = 0; k < t_.Lines.size(); ++k) {
      const auto line = static_cast<std::int32_t>(k);
      const std::int32_t c = t_.Lines[k];
      const Chain& chain = t_.Chains[static_cast<std::size_t>(c)];

      if (Negligible(line)) tinyLines_.push_back(line);
      const std::int32_t left = FaceOf(line, true), right = FaceOf(line, false);
      const std::pair<std::int32_t, std::int32_t> key{std::min(left, right),
                                                      std::max(left, right)};
      auto [it, added] = byFaces.emplace(key, static_cast<std::int32_t>(bundles_.size()));
      if (added) bundles_.push_back({key.first, key.second, {}, {}, 0.0});
      Bundle& b = bundles_[static_cast<std::size_t>(it->second)];
      bundleOfChain_[static_cast<std::size_t>(c)] = it->second;
      b.Chains.push_back(c);
      b.Length += LineLength(chain.Points);
      EdgeTerms& terms = b.Terms;
      (chain.Role == ContourRole::IndexContour ? terms.Index : terms.Plain) = true;
      for (const ChainPiece& piece : chain.Pieces)
        if (const auto level = knownLevel_[static_cast<std::size_t>(piece.Object)])
          terms.KnownLevels.push_back(*level);
      const bool leftIsA = left == b.A;
      const std::int32_t ticksLeft = t_.Ticks[static_cast<std::size_t>(SideOf(line, true))];
      const std::int32_t ticksRight = t_.Ticks[static_cast<std::size_t>(SideOf(line, false))];
      terms.TicksSayALower += leftIsA ? ticksLeft : ticksRight;
      terms.TicksSayBLower += leftIsA ? ticksRight : ticksLeft;
      const ShapeGuess guess = guesses.empty() ? ShapeGuess::None : guesses[k];
      if (guess != ShapeGuess::None)  // the cost falls on the other side being the lower one
        ((guess == ShapeGuess::LeftLower) == leftIsA ? terms.GuessAgainstBLower
                                                     : terms.GuessAgainstALower) += kShapeGuess;
      // A closed contour encloses a hill unless slope lines say otherwise.
      const std::int32_t inside = t_.InsideSide[static_cast<std::size_t>(c)];
      if (inside >= 0 && ticksLeft + ticksRight == 0)
        ((inside == 0) == leftIsA ? terms.ClosedAroundA : terms.ClosedAroundB)++;
    }
    // Known form lines fix the base of the face they lie in.
    for (std::size_t c = 0; c < t_.Chains.size(); ++c) {
      const std::int32_t face = t_.FormFace[c];
      if (face < 0) continue;
      for (const ChainPiece& piece : t_.Chains[c].Pieces)
        if (const auto level = knownLevel_[static_cast<std::size_t>(piece.Object)])
          faces_[static_cast<std::size_t>(face)].KnownBases.push_back(*level);
    }
  }

  // A ring below the size a mapper draws, with neither a known height nor a slope line: noise
  // of contours traced from a DEM. It is never taken for a hill: its level is judged from the
  // face round it.
  bool Negligible(std::int32_t line) const {
    const std::int32_t c = t_.Lines[static_cast<std::size_t>(line)];
    if (!t_.Tiny[static_cast<std::size_t>(c)]) return false;
    if (t_.Ticks[static_cast<std::size_t>(SideOf(line, true))] > 0 ||
        t_.Ticks[static_cast<std::size_t>(SideOf(line, false))] > 0)
      return false;
    for (const ChainPiece& piece : t_.Chains[static_cast<std::size_t>(c)].Pieces)
      if (knownLevel_[static_cast<std::size_t>(piece.Object)]) return false;
    return true;
  }

  // A negligible ring lies at the base of the face round it (a hollow) or one level above (a
  // knoll); the index levels may tell which, else the level of the contours nearer it is a guess.
  void JudgeTinyRings() {
    const FaceBases bases = Bases(true);
    for (std::int32_t line : tinyLines_) {
      const std::int32_t c = t_.Lines[static_cast<std::size_t>(line)];
      const Chain& chain = t_.Chains[static_cast<std::size_t>(c)];
      // Its outside: the side that is not the leaf face its inside is.
      const double area = SignedDoubleArea(chain.Points);
      const std::int32_t outside = FaceOf(line, area < 0);
      Verdict v = FaceVerdict(outside);
      if (v.State == HeightState::Derived || v.State == HeightState::Guessed) {
        std::vector<std::int32_t> levels;
        for (const std::int32_t level : {v.Level, v.Level + 1}) {
          const bool onIndex = indexEvery_ >= 2 && Modulo(level, indexEvery_) == 0;
          const bool fits = indexEvery_ < 2 ||
                            (chain.Role == ContourRole::IndexContour ? onIndex : !onIndex);
          if (fits) levels.push_back(level);
        }
        if (levels.size() == 1) {
          v.Level = levels.front();
        } else if (const auto knoll = levels.size() == 2 ? RingLooksLikeKnoll(t_, line, bases)
                                                         : std::nullopt) {
          v = {HeightState::Guessed, *knoll ? levels[1] : levels[0], kTinyGuessedReason};
        } else {
          v = {HeightState::None, 0, levels.empty() ? kIndexConflictReason : kTinyReason};
        }
        if (levels.empty()) v.State = HeightState::Conflict;
      }
      Bundle alone;
      alone.Chains = {c};
      Give(alone, v);
    }
  }

  // A small ring guessed a knoll (or a hollow) by the hill rule alone, whose place among the
  // contours round it says the other: too little to go by either way.
  void DoubtSmallRings() {
    const FaceBases bases = Bases(true);
    for (std::size_t k = 0; k < t_.Lines.size(); ++k) {
      const auto line = static_cast<std::int32_t>(k);
      const auto c = static_cast<std::size_t>(t_.Lines[k]);
      if (!t_.Small[c] || t_.Tiny[c] || t_.InsideSide[c] < 0) continue;
      if (t_.Ticks[static_cast<std::size_t>(SideOf(line, true))] +
              t_.Ticks[static_cast<std::size_t>(SideOf(line, false))] > 0)
        continue;
      const Chain& chain = t_.Chains[c];
      const ObjectHeight& first = result_.Objects[static_cast<std::size_t>(chain.Pieces[0].Object)];
      if (first.State != HeightState::Guessed) continue;
      const std::int32_t outside = FaceOf(line, t_.InsideSide[c] != 0);
      const auto base = bases[static_cast<std::size_t>(outside)];
      const auto knoll = RingLooksLikeKnoll(t_, line, bases);
      if (!base || !knoll) continue;
      const auto level = static_cast<std::int32_t>(std::lround(first.Height.Metres / roles_.Interval));
      if (*knoll == (level == *base + 1)) continue;
      Bundle alone;
      alone.Chains = {static_cast<std::int32_t>(c)};
      Give(alone, {HeightState::None, 0, kSmallRingReason});
    }
  }

  // The face graph as a forest: the longest bundles first; a bundle that would close a cycle
  // is judged against the solution afterwards.
  void ChooseTree() {
    std::vector<std::int32_t> order(bundles_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
      return bundles_[static_cast<std::size_t>(a)].Length >
             bundles_[static_cast<std::size_t>(b)].Length;
    });
    std::vector<std::int32_t> parent(faces_.size());
    std::iota(parent.begin(), parent.end(), 0);
    const auto find = [&](std::int32_t x) {
      while (parent[static_cast<std::size_t>(x)] != x)
        x = parent[static_cast<std::size_t>(x)] =
            parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(x)])];
      return x;
    };
    edgeOfBundle_.assign(bundles_.size(), -1);
    for (std::int32_t b : order) {
      const Bundle& bundle = bundles_[static_cast<std::size_t>(b)];
      const std::int32_t ra = find(bundle.A), rb = find(bundle.B);
      if (ra == rb) continue;
      parent[static_cast<std::size_t>(ra)] = rb;
      edgeOfBundle_[static_cast<std::size_t>(b)] = static_cast<std::int32_t>(edges_.size());
      edges_.push_back({bundle.A, bundle.B, bundle.Terms});
    }
  }

  void Give(const Bundle& bundle, const Verdict& v) {
    for (std::int32_t c : bundle.Chains)
      for (const ChainPiece& piece : t_.Chains[static_cast<std::size_t>(c)].Pieces) {
        ObjectHeight& r = result_.Objects[static_cast<std::size_t>(piece.Object)];
        const HeightObject& o = map_.Objects[static_cast<std::size_t>(piece.Object)];
        if (r.State == HeightState::Known || (r.State == HeightState::Conflict && o.Height.Has)) {
          if (v.State == HeightState::Conflict && r.State == HeightState::Known)
            r = {HeightState::Conflict, o.Height, v.Reason};
          continue;
        }
        if (v.State == HeightState::Derived || v.State == HeightState::Guessed)
          r = {v.State, Metres(v.Level * roles_.Interval), v.Reason};
        else
          r = {v.State, {}, v.Reason};
      }
  }

  // A face's base as the solution singles it out.
  Verdict FaceVerdict(std::int32_t face) const {
    const auto f = static_cast<std::size_t>(face);
    return Judge(solution_.FaceBases[f], solution_.Best[f], solution_.Solved[f]);
  }

  void JudgeBundles() {
    for (std::size_t b = 0; b < bundles_.size(); ++b) {
      const Bundle& bundle = bundles_[b];
      const std::int32_t e = edgeOfBundle_[b];
      const auto a = static_cast<std::size_t>(bundle.A);
      if (!solution_.Solved[a]) {
        Give(bundle, {});
        continue;
      }
      if (e >= 0) {
        const Marginal& m = solution_.EdgeLevels[static_cast<std::size_t>(e)];
        const Cost best = solution_.Best[a];
        if (const char* broken = BrokenRule(bundle, m, best, indexEvery_)) {
          Give(bundle, {HeightState::Conflict, 0, broken});
          continue;
        }
        const Verdict v = Judge(m, best, true);
        // A known height that the best assignments do not all keep stands against others.
        const auto& known = bundle.Terms.KnownLevels;
        if (!known.empty() && (v.State != HeightState::Derived ||
                               std::any_of(known.begin(), known.end(),
                                           [&](std::int32_t k) { return k != v.Level; }))) {
          Give(bundle, {HeightState::Conflict, 0, kKnownConflictReason});
          continue;
        }
        Give(bundle, v);
        continue;
      }
      // A bundle off the tree: its faces' bases in the best assignment must differ by one.
      const std::int32_t baseA = solution_.Base[a];
      const std::int32_t baseB = solution_.Base[static_cast<std::size_t>(bundle.B)];
      if (std::abs(baseA - baseB) != 1 ||
          EdgeCost(bundle.Terms, baseA, baseB, indexEvery_) >= kBrokenRule) {
        Give(bundle, {HeightState::Conflict, 0, kSidesConflictReason});
        continue;
      }
      const Verdict va = FaceVerdict(bundle.A), vb = FaceVerdict(bundle.B);
      Verdict v{HeightState::None, std::max(baseA, baseB), kOpenReason};
      if (va.State == HeightState::Derived && vb.State == HeightState::Derived)
        v.State = HeightState::Derived, v.Reason = kDerivedReason;
      else if (va.State != HeightState::None && vb.State != HeightState::None)
        v.State = HeightState::Guessed, v.Reason = kGuessedReason;
      Give(bundle, v);
    }
  }

  void JudgeFormLines() {
    for (std::size_t c = 0; c < t_.Chains.size(); ++c) {
      const Chain& chain = t_.Chains[c];
      if (chain.Role != ContourRole::FormLine) continue;
      const std::int32_t face = t_.FormFace[c];
      Verdict v;
      if (face < 0) {
        v.Reason = kFormUnplacedReason;
      } else {
        v = FaceVerdict(face);
        const auto f = static_cast<std::size_t>(face);
        if (v.State == HeightState::Derived) v.Reason = kFormReason;
        // Known form lines whose level the best assignments do not keep contradict the rest.
        for (const ChainPiece& piece : chain.Pieces) {
          const auto level = knownLevel_[static_cast<std::size_t>(piece.Object)];
          if (level && solution_.Solved[f] && At(solution_.FaceBases[f], *level) > solution_.Best[f])
            v = {HeightState::Conflict, 0, kKnownConflictReason};
        }
      }
      for (const ChainPiece& piece : chain.Pieces) {
        ObjectHeight& r = result_.Objects[static_cast<std::size_t>(piece.Object)];
        const HeightObject& o = map_.Objects[static_cast<std::size_t>(piece.Object)];
        if (r.State == HeightState::Known || (r.State == HeightState::Conflict && o.Height.Has)) {
          if (v.State == HeightState::Conflict && r.State == HeightState::Known)
            r = {HeightState::Conflict, o.Height, v.Reason};
          continue;
        }
        if (v.State == HeightState::Derived || v.State == HeightState::Guessed)
          r = {v.State, Metres((v.Level + 0.5) * roles_.Interval), v.Reason};
        else
          r = {v.State, {}, v.Reason};
      }
    }
  }

  const HeightMap& map_;
  const ContourRoles& roles_;
  const Topology& t_;
  std::int32_t indexEvery_ = 0;
  HeightsResult result_;
  std::vector<std::optional<std::int32_t>> knownLevel_;
  std::vector<Bundle> bundles_;
  std::vector<std::int32_t> bundleOfChain_, edgeOfBundle_;
  std::vector<std::int32_t> tinyLines_;
  std::vector<SolverFace> faces_;
  std::vector<SolverEdge> edges_;
  LevelSolution solution_;
};

}  // namespace

std::optional<std::int32_t> LevelOf(double metres, double interval, bool formLine) {
  if (!(interval > 0) || !std::isfinite(metres)) return std::nullopt;
  const double steps = metres / interval - (formLine ? 0.5 : 0.0);
  const double level = std::round(steps);
  if (std::fabs((steps - level) * interval) > 0.01 || std::fabs(level) > 1e8) return std::nullopt;
  return static_cast<std::int32_t>(level);
}

HeightsResult DeriveHeights(const HeightMap& map, const ContourRoles& roles,
                            const Topology& topology) {
  return Derivation(map, roles, topology).Run();
}

HeightsResult DeriveHeights(const HeightMap& map, const ContourRoles& roles,
                            const TopologySettings& settings) {
  return DeriveHeights(map, roles, AnalyseTopology(map, settings));
}

}  // namespace terrak::heights
