#include "heights/along_line.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>

#include "heights/chains.h"
#include "heights/derive_heights.h"
#include "heights/polyline.h"

namespace terrak::heights {

namespace {

constexpr const char* kNoStart = "Start the line on a contour that has a height.";
constexpr const char* kOffLevelStart =
    "The height of the contour the line starts on is not on a level of the interval.";

struct Crossing {
  double Along = 0.0;  // metres from the start of the drag
  std::int32_t Object = 0;
};

std::string MetresText(double metres) {
  std::string text = std::to_string(std::round(metres * 10) / 10);
  text.erase(text.find_last_not_of('0') + 1);
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text + " m";
}

double DistanceToLine(Point p, const std::vector<Point>& line) {
  double best = std::numeric_limits<double>::infinity();
  for (std::size_t i = 1; i < line.size(); ++i)
    best = std::min(best, DistanceToSegment(p, line[i - 1], line[i]).Distance);
  if (line.size() == 1) best = Length(p - line[0]);
  return best;
}

// The object the drag starts on: the nearest line with a role that carries a height.
std::int32_t StartObject(const HeightMap& map, Point from, double pickRadius) {
  std::int32_t best = -1;
  double bestDistance = pickRadius;
  for (std::size_t k = 0; k < map.Objects.size(); ++k) {
    const HeightObject& o = map.Objects[k];
    if (!CarriesHeight(o.Role)) continue;
    const double d = DistanceToLine(from, o.Points);
    if (d <= bestDistance) {
      bestDistance = d;
      best = static_cast<std::int32_t>(k);
    }
  }
  return best;
}

std::vector<Crossing> Crossings(const HeightMap& map, Point from, Point to) {
  std::vector<Crossing> crossings;
  const double length = Length(to - from);
  for (std::size_t k = 0; k < map.Objects.size(); ++k) {
    const HeightObject& o = map.Objects[k];
    if (!CarriesHeight(o.Role)) continue;
    for (std::size_t i = 1; i < o.Points.size(); ++i)
      if (const auto t = SegmentCrossing(from, to, o.Points[i - 1], o.Points[i]))
        crossings.push_back({*t * length, static_cast<std::int32_t>(k)});
  }
  std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) {
    return a.Along != b.Along ? a.Along < b.Along : a.Object < b.Object;
  });
  return crossings;
}

}  // namespace

AlongLineResult HeightsAlongLine(const HeightMap& map, const ContourRoles& roles, Point from,
                                 Point to, bool down, double pickRadius) {
  AlongLineResult result;
  const std::int32_t start = StartObject(map, from, pickRadius);
  const std::vector<std::int32_t> traced = TracedChainNumbers(map);
  // The start's height: its own, else the one the objects of its traced line agree on.
  std::optional<double> startHeight;
  bool agree = true;
  for (std::size_t k = 0; start >= 0 && k < map.Objects.size(); ++k) {
    const HeightValue& h = map.Objects[k].Height;
    if (traced[k] != traced[static_cast<std::size_t>(start)] || !h.Has) continue;
    agree = agree && (!startHeight || *startHeight == h.Metres);
    if (!startHeight || static_cast<std::int32_t>(k) == start) startHeight = h.Metres;
  }
  if (start >= 0 && map.Objects[static_cast<std::size_t>(start)].Height.Has)
    startHeight = map.Objects[static_cast<std::size_t>(start)].Height.Metres;
  else if (!agree)
    startHeight.reset();
  if (!startHeight) {
    result.Message = kNoStart;
    return result;
  }
  const HeightObject& first = map.Objects[static_cast<std::size_t>(start)];
  const bool startsOnForm = first.Role == ContourRole::FormLine;
  const auto startLevel = LevelOf(*startHeight, roles.Interval, startsOnForm);
  if (!startLevel) {
    result.Message = kOffLevelStart;
    return result;
  }
  const std::int32_t step = down ? -1 : 1;
  // The level of the last contour passed; from a form line, the one behind it.
  std::int32_t level = startsOnForm && down ? *startLevel + 1 : *startLevel;
  const std::int32_t startChain = traced[static_cast<std::size_t>(start)];
  const bool useIndex = roles.UsesIndexLevels();
  // Crossings of one traced line closer than this along the drag are one crossing (a joint).
  const double sameCrossing = std::max(2 * map.JoinTolerance, 1e-6);

  std::map<std::int32_t, double> given;  // traced line -> height given by this drag
  double lastAlong = -1e300;
  std::int32_t lastChain = -1;
  for (const Crossing& crossing : Crossings(map, from, to)) {
    const std::int32_t chain = traced[static_cast<std::size_t>(crossing.Object)];
    if (chain == lastChain && crossing.Along - lastAlong < sameCrossing) continue;
    lastChain = chain;
    lastAlong = crossing.Along;
    if (chain == startChain) {
      if (crossing.Along <= pickRadius) continue;  // the line it starts on
      result.Message = "The line crosses the contour it starts on again: it stops there.";
      break;
    }
    if (given.count(chain) != 0) {
      result.Message = "The line crosses a contour a second time: it stops there.";
      break;
    }
    const HeightObject& o = map.Objects[static_cast<std::size_t>(crossing.Object)];
    double metres;
    if (o.Role == ContourRole::FormLine) {
      metres = (level + 0.5 * step) * roles.Interval;
    } else {
      const std::int32_t next = level + step;
      const bool onIndex = useIndex && next % roles.IndexEvery == 0;
      const double nextMetres = next * roles.Interval;
      if (useIndex && o.Role == ContourRole::IndexContour && !onIndex) {
        result.Message = "The index contour crossed would lie at " + MetresText(nextMetres) +
                         ", which is no index level: the line stops there.";
        break;
      }
      if (useIndex && o.Role == ContourRole::Contour && onIndex) {
        result.Message = "The contour crossed would lie at " + MetresText(nextMetres) +
                         ", an index level: the line stops there.";
        break;
      }
      level = next;
      metres = nextMetres;
    }
    given[chain] = metres;
    result.Crossed.push_back(crossing.Object);
  }
  for (std::size_t k = 0; k < map.Objects.size(); ++k) {
    const auto it = given.find(traced[k]);
    if (traced[k] < 0 || it == given.end()) continue;
    const HeightValue now = Metres(it->second);
    if (!(map.Objects[k].Height == now))
      result.Changes.push_back({static_cast<std::int32_t>(k), map.Objects[k].Height, now});
  }
  return result;
}

}  // namespace terrak::heights
