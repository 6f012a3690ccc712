#include "heights/topology.h"

#include <algorithm>
#include <map>

#include "heights/polyline.h"

namespace terrak::heights {

namespace {

bool IsContourLine(ContourRole role) {
  return role == ContourRole::Contour || role == ContourRole::IndexContour;
}

SegmentIndex IndexLines(const Topology& t, double openEndMetres) {
  std::vector<SegmentIndex::Segment> segments;
  std::vector<SegmentIndex::Marker> markers;
  for (std::size_t k = 0; k < t.Lines.size(); ++k) {
    const Chain& chain = t.Chains[static_cast<std::size_t>(t.Lines[k])];
    const auto owner = static_cast<std::int32_t>(k);
    for (std::size_t i = 1; i < chain.Points.size(); ++i)
      segments.push_back({chain.Points[i - 1], chain.Points[i], owner});
    if (!chain.Closed && !chain.Points.empty()) {
      markers.push_back({chain.Points.front(), openEndMetres, owner});
      markers.push_back({chain.Points.back(), openEndMetres, owner});
    }
  }
  return SegmentIndex(std::move(segments), std::move(markers));
}

// The face each form line lies in: the one most of its rays meet.
void PlaceFormLines(const TopologySettings& settings,
                    const SegmentIndex& lines, const RaySettings& raySettings, Topology& t) {
  std::vector<std::vector<Point>> forms(t.Chains.size());
  for (std::size_t c = 0; c < t.Chains.size(); ++c)
    if (t.Chains[c].Role == ContourRole::FormLine) forms[c] = t.Chains[c].Points;
  t.FormRays = CastFacingRays(forms, lines, false, raySettings);
  std::vector<std::map<std::int32_t, std::int32_t>> votes(t.Chains.size());
  for (const FacingLink& link : t.FormRays.Links)
    votes[static_cast<std::size_t>(LineOfSide(link.From))]
         [t.Areas.OfSide[static_cast<std::size_t>(link.To)]] += link.Rays;
  t.FormFace.assign(t.Chains.size(), -1);
  for (std::size_t c = 0; c < t.Chains.size(); ++c) {
    std::int32_t total = 0, best = 0, face = -1;
    for (const auto& [f, n] : votes[c]) {
      total += n;
      if (n > best) {
        best = n;
        face = f;
      }
    }
    if (total > 0 && best >= settings.FormShare * total) t.FormFace[c] = face;
  }
}

// Slope lines: the end nearer a contour touches it, the other points downhill.
void CountTicks(const HeightMap& map, double reach, const SegmentIndex& lines, Topology& t) {
  t.Ticks.assign(2 * t.Lines.size(), 0);
  for (const HeightObject& object : map.Objects) {
    if (object.Role != ContourRole::SlopeLine || object.Points.size() < 2) continue;
    const Point first = object.Points.front(), last = object.Points.back();
    const auto atFirst = lines.Nearest(first, reach);
    const auto atLast = lines.Nearest(last, reach);
    if (!atFirst && !atLast) continue;
    const bool rootFirst =
        atFirst && (!atLast || atFirst->Where.Distance <= atLast->Where.Distance);
    const SegmentIndex::Nearby& root = rootFirst ? *atFirst : *atLast;
    const Point tip = rootFirst ? last : first;
    const SegmentIndex::Segment& s = lines.SegmentAt(root.Segment);
    const Point touch = s.A + (s.B - s.A) * root.Where.Along;
    const double side = Cross(s.B - s.A, tip - touch);
    if (side == 0) continue;
    ++t.Ticks[static_cast<std::size_t>(SideOf(s.Owner, side > 0))];
  }
}

}  // namespace

Topology AnalyseTopology(const HeightMap& map, const TopologySettings& settings) {
  Topology t;
  const double mm = map.MetresPerPaperMm > 0 ? map.MetresPerPaperMm : 10.0;
  t.Chains = BuildRoleChains(map, settings.RingGapMm * mm);
  t.ChainOfObject.assign(map.Objects.size(), -1);
  t.LineOfChain.assign(t.Chains.size(), -1);
  t.InsideSide.assign(t.Chains.size(), -1);
  t.Tiny.assign(t.Chains.size(), false);
  t.Small.assign(t.Chains.size(), false);
  for (std::size_t c = 0; c < t.Chains.size(); ++c) {
    const Chain& chain = t.Chains[c];
    for (const ChainPiece& piece : chain.Pieces)
      t.ChainOfObject[static_cast<std::size_t>(piece.Object)] = static_cast<std::int32_t>(c);
    if (IsContourLine(chain.Role)) {
      t.LineOfChain[c] = static_cast<std::int32_t>(t.Lines.size());
      t.Lines.push_back(static_cast<std::int32_t>(c));
    }
    if (chain.Closed) {
      const double length = LineLength(chain.Points);
      t.Tiny[c] = length < settings.SmallestRingMm * mm;
      t.Small[c] = length < settings.SmallRingMm * mm;
    }
    if (chain.Closed) {
      const double area = SignedDoubleArea(chain.Points);
      if (area != 0) t.InsideSide[c] = area > 0 ? 0 : 1;  // counter-clockwise: inside on the left
    }
  }
  const SegmentIndex lines = IndexLines(t, settings.OpenEndMm * mm);
  RaySettings raySettings;
  raySettings.Spacing = settings.RaySpacingMm * mm;
  raySettings.Start = 0.001 * mm;
  std::vector<std::vector<Point>> lineShapes;
  lineShapes.reserve(t.Lines.size());
  for (std::int32_t c : t.Lines) lineShapes.push_back(t.Chains[static_cast<std::size_t>(c)].Points);
  t.Rays = CastFacingRays(lineShapes, lines, true, raySettings);
  t.Areas = GroupFaces(t.Lines.size(), t.Rays, FaceSettings{});
  PlaceFormLines(settings, lines, raySettings, t);
  CountTicks(map, settings.TickReachMm * mm, lines, t);
  return t;
}

}  // namespace terrak::heights
