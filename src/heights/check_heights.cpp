#include "heights/check_heights.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <map>
#include <optional>
#include <set>

#include "heights/derive_heights.h"
#include "heights/metres_text.h"
#include "heights/polyline.h"

namespace terrak::heights {

namespace {

Point Middle(const std::vector<Point>& line) {
  const std::vector<LineSample> samples = SampleLine(line, 1);
  if (!samples.empty()) return samples.front().At;
  return line.empty() ? Point{} : line.front();
}

std::int32_t Modulo(std::int32_t x, std::int32_t n) {
  const std::int32_t r = x % n;
  return r < 0 ? r + n : r;
}

class Checker {
 public:
  Checker(const HeightMap& map, const ContourRoles& roles, const Topology& t)
      : map_(map), roles_(roles), t_(t) {}

  std::vector<Finding> Run() {
    ChainHeightsOf();
    CheckNeighbours();
    CheckLevels();
    CheckFormLines();
    CheckTracedLines();
    CheckMissing();
    std::stable_sort(findings_.begin(), findings_.end(), [](const Finding& a, const Finding& b) {
      if (a.Kind != b.Kind) return a.Kind < b.Kind;
      if (a.Where.Y != b.Where.Y) return a.Where.Y > b.Where.Y;
      return a.Where.X < b.Where.X;
    });
    return std::move(findings_);
  }

 private:
  double Interval() const { return roles_.Interval; }

  std::vector<std::int32_t> ObjectsOf(std::int32_t chain) const {
    std::vector<std::int32_t> objects;
    for (const ChainPiece& p : t_.Chains[static_cast<std::size_t>(chain)].Pieces)
      objects.push_back(p.Object);
    return objects;
  }

  // A chain's height when its objects that have one agree.
  void ChainHeightsOf() {
    height_.assign(t_.Chains.size(), std::nullopt);
    for (std::size_t c = 0; c < t_.Chains.size(); ++c) {
      std::optional<double> h;
      bool agree = true;
      for (const ChainPiece& p : t_.Chains[c].Pieces) {
        const HeightValue& v = map_.Objects[static_cast<std::size_t>(p.Object)].Height;
        if (!v.Has) continue;
        if (h && std::fabs(*h - v.Metres) > 0.005) agree = false;
        if (!h) h = v.Metres;
      }
      if (agree) height_[c] = h;
    }
  }

  std::optional<double> LineHeight(std::int32_t side) const {
    return height_[static_cast<std::size_t>(t_.Lines[static_cast<std::size_t>(LineOfSide(side))])];
  }

  // Which way the ground goes from a line into its face on side `side`, as the line's other
  // side tells: +1 up, -1 down, 0 not told (or told both ways).
  std::int32_t Slope(std::int32_t side) const {
    const auto h = LineHeight(side);
    if (!h) return 0;
    const auto it = faceHeights_.find(t_.Areas.OfSide[static_cast<std::size_t>(OtherSide(side))]);
    if (it == faceHeights_.end()) return 0;
    bool higher = false, lower = false;
    for (double other : it->second) {
      higher = higher || other > *h + Interval() / 2;
      lower = lower || other < *h - Interval() / 2;
    }
    if (higher == lower) return 0;
    return higher ? -1 : +1;  // higher ground behind: the ground falls on this side
  }

  void Add(FindingKind kind, std::vector<std::int32_t> objects, Point where, std::string reason) {
    findings_.push_back({kind, std::move(objects), where, std::move(reason)});
  }

  void CheckNeighbours() {
    for (std::size_t k = 0; k < t_.Lines.size(); ++k)
      for (const bool left : {true, false}) {
        const std::int32_t side = SideOf(static_cast<std::int32_t>(k), left);
        if (const auto h = LineHeight(side))
          faceHeights_[t_.Areas.OfSide[static_cast<std::size_t>(side)]].push_back(*h);
      }
    std::set<std::pair<std::int32_t, std::int32_t>> seen;
    for (const FacingLink& link : t_.Rays.Links) {
      const std::int32_t a = LineOfSide(link.From), b = LineOfSide(link.To);
      if (a == b) continue;
      if (t_.Areas.OfSide[static_cast<std::size_t>(link.From)] !=
          t_.Areas.OfSide[static_cast<std::size_t>(link.To)])
        continue;  // a ray that slipped through: no neighbours
      const auto ha = LineHeight(link.From), hb = LineHeight(link.To);
      if (!ha || !hb || !seen.insert({std::min(a, b), std::max(a, b)}).second) continue;
      const std::int32_t ca = t_.Lines[static_cast<std::size_t>(a)];
      const std::int32_t cb = t_.Lines[static_cast<std::size_t>(b)];
      std::vector<std::int32_t> objects = ObjectsOf(ca);
      for (std::int32_t o : ObjectsOf(cb)) objects.push_back(o);
      const double gap = std::fabs(*ha - *hb);
      const std::string pair = MetresText(*ha) + " and " + MetresText(*hb);
      if (gap > Interval() * 1.001) {
        Add(FindingKind::TooFarApart, objects, link.Where,
            "neighbouring contours " + pair + " are more than one interval apart");
        continue;
      }
      const std::int32_t sa = Slope(link.From), sb = Slope(link.To);
      if (gap < Interval() * 0.001) {
        if (sa != 0 && sb != 0 && sa != sb)
          Add(FindingKind::EqualMustRise, objects, link.Where,
              "neighbouring contours both at " + MetresText(*ha) +
                  " where the ground must rise between them");
        continue;
      }
      // One interval apart: the ground must rise from the lower into the face.
      const bool aLower = *ha < *hb;
      const std::int32_t fromLower = aLower ? sa : sb, fromHigher = aLower ? sb : sa;
      if (fromLower == -1 || fromHigher == +1)
        Add(FindingKind::SlopeContradiction, objects, link.Where,
            "neighbouring contours " + pair +
                " contradict which way the ground slopes between them");
    }
  }

  void CheckLevels() {
    const bool index = roles_.UsesIndexLevels();
    for (std::size_t k = 0; k < map_.Objects.size(); ++k) {
      const HeightObject& o = map_.Objects[k];
      if (!CarriesHeight(o.Role) || !o.Height.Has) continue;
      const auto object = static_cast<std::int32_t>(k);
      const bool form = o.Role == ContourRole::FormLine;
      const auto level = LevelOf(o.Height.Metres, Interval(), form);
      const Point where = Middle(o.Points);
      if (!level) {
        Add(FindingKind::OffLevel, {object}, where,
            std::string(form ? "form line" : "contour") + " at " + MetresText(o.Height.Metres) +
                ", which is on no " + (form ? "half " : "") + "level of the " +
                MetresText(Interval()) + " interval");
        continue;
      }
      if (!index || form) continue;
      const bool onIndex = Modulo(*level, roles_.IndexEvery) == 0;
      if (o.Role == ContourRole::IndexContour && !onIndex)
        Add(FindingKind::IndexOffLevel, {object}, where,
            "index contour at " + MetresText(o.Height.Metres) + ", which is no index level");
      if (o.Role == ContourRole::Contour && onIndex)
        Add(FindingKind::ContourOnIndexLevel, {object}, where,
            "contour at " + MetresText(o.Height.Metres) +
                ", an index level, is no index contour");
    }
  }

  void CheckFormLines() {
    std::set<std::int32_t> reported;
    for (const FacingLink& link : t_.FormRays.Links) {
      const std::int32_t form = LineOfSide(link.From);
      const auto h = height_[static_cast<std::size_t>(form)];
      const auto neighbour = LineHeight(link.To);
      if (!h || !neighbour || reported.count(form) != 0) continue;
      const std::int32_t face = t_.FormFace[static_cast<std::size_t>(form)];
      if (face >= 0 && t_.Areas.OfSide[static_cast<std::size_t>(link.To)] != face) continue;
      if (std::fabs(std::fabs(*h - *neighbour) - Interval() / 2) < Interval() * 0.001) continue;
      reported.insert(form);
      std::vector<std::int32_t> objects = ObjectsOf(form);
      for (std::int32_t o : ObjectsOf(t_.Lines[static_cast<std::size_t>(LineOfSide(link.To))]))
        objects.push_back(o);
      Add(FindingKind::FormLineNotBetween, objects, link.Where,
          "form line at " + MetresText(*h) + " beside a contour at " + MetresText(*neighbour) +
              ": not half an interval between its neighbours");
    }
  }

  void CheckTracedLines() {
    const std::vector<std::int32_t> traced = TracedChainNumbers(map_);
    std::map<std::int32_t, std::vector<std::int32_t>> members;
    for (std::size_t k = 0; k < traced.size(); ++k)
      if (traced[k] >= 0 && map_.Objects[k].Height.Has)
        members[traced[k]].push_back(static_cast<std::int32_t>(k));
    for (const auto& [chain, objects] : members) {
      std::set<double> heights;
      for (std::int32_t o : objects) heights.insert(map_.Objects[static_cast<std::size_t>(o)].Height.Metres);
      if (heights.size() < 2) continue;
      // Centred where two objects of different heights meet, when they do.
      Point where = Middle(map_.Objects[static_cast<std::size_t>(objects.front())].Points);
      const double tolerance = std::max(map_.JoinTolerance, 1e-9);
      bool found = false;
      for (std::size_t i = 0; i < objects.size() && !found; ++i)
        for (std::size_t j = i + 1; j < objects.size() && !found; ++j) {
          const HeightObject& a = map_.Objects[static_cast<std::size_t>(objects[i])];
          const HeightObject& b = map_.Objects[static_cast<std::size_t>(objects[j])];
          if (a.Height == b.Height) continue;
          for (const Point& pa : {a.Points.front(), a.Points.back()})
            for (const Point& pb : {b.Points.front(), b.Points.back()})
              if (!found && std::fabs(pa.X - pb.X) < tolerance && std::fabs(pa.Y - pb.Y) < tolerance) {
                where = pa;
                found = true;
              }
        }
      std::string list;
      for (double h : heights) list += (list.empty() ? "" : ", ") + MetresText(h);
      Add(FindingKind::ChainHeights, objects, where,
          "objects of one traced line with different heights: " + list);
    }
  }

  void CheckMissing() {
    for (std::size_t k = 0; k < map_.Objects.size(); ++k) {
      const HeightObject& o = map_.Objects[k];
      if (CarriesHeight(o.Role) && !o.Height.Has)
        Add(FindingKind::NoHeight, {static_cast<std::int32_t>(k)}, Middle(o.Points),
            "no height");
    }
  }

  const HeightMap& map_;
  const ContourRoles& roles_;
  const Topology& t_;
  std::vector<std::optional<double>> height_;  // per chain
  std::map<std::int32_t, std::vector<double>> faceHeights_;
  std::vector<Finding> findings_;
};

}  // namespace

std::vector<Finding> CheckHeights(const HeightMap& map, const ContourRoles& roles,
                                  const Topology& topology) {
  return Checker(map, roles, topology).Run();
}

std::vector<Finding> CheckHeights(const HeightMap& map, const ContourRoles& roles) {
  return CheckHeights(map, roles, AnalyseTopology(map));
}

}  // namespace terrak::heights
