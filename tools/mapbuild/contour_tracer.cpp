#include "mapbuild/contour_tracer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
#include <stdexcept>
#include <unordered_map>

namespace terrak::testing {
namespace {

// A lattice edge that a contour crosses: the horizontal edge from sample (i, j) to (i+1, j) or
// the vertical one from (i, j) to (i, j+1).
using EdgeId = std::uint64_t;

struct Lattice {
  const HeightSamples& Samples;
  std::int64_t Columns;

  EdgeId Horizontal(std::int64_t i, std::int64_t j) const {
    return static_cast<EdgeId>(2 * (j * Columns + i));
  }
  EdgeId Vertical(std::int64_t i, std::int64_t j) const {
    return static_cast<EdgeId>(2 * (j * Columns + i) + 1);
  }

  GroundPoint Crossing(EdgeId edge, double level) const {
    const auto cell = static_cast<std::int64_t>(edge / 2);
    const std::int64_t i = cell % Columns;
    const std::int64_t j = cell / Columns;
    const bool vertical = (edge % 2) == 1;
    const std::int64_t i2 = vertical ? i : i + 1;
    const std::int64_t j2 = vertical ? j + 1 : j;
    const double a = Samples.Values(i, j);
    const double b = Samples.Values(i2, j2);
    const double t = (level - a) / (b - a);
    const double x1 = Samples.Xs[static_cast<std::size_t>(i)];
    const double y1 = Samples.Ys[static_cast<std::size_t>(j)];
    const double x2 = Samples.Xs[static_cast<std::size_t>(i2)];
    const double y2 = Samples.Ys[static_cast<std::size_t>(j2)];
    return {x1 + t * (x2 - x1), y1 + t * (y2 - y1)};
  }
};

using Segment = std::array<EdgeId, 2>;

// The segments of every cell. Corners at or above the level count as above; a saddle is split
// by the height at the cell's centre.
std::vector<Segment> CellSegments(const Lattice& lattice, double level) {
  const Grid2D<double>& v = lattice.Samples.Values;
  std::vector<Segment> segments;
  for (std::int64_t j = 0; j + 1 < v.Rows(); ++j) {
    for (std::int64_t i = 0; i + 1 < v.Columns(); ++i) {
      const bool a00 = v(i, j) >= level, a10 = v(i + 1, j) >= level;
      const bool a11 = v(i + 1, j + 1) >= level, a01 = v(i, j + 1) >= level;
      const EdgeId bottom = lattice.Horizontal(i, j), top = lattice.Horizontal(i, j + 1);
      const EdgeId left = lattice.Vertical(i, j), right = lattice.Vertical(i + 1, j);
      std::vector<EdgeId> crossed;
      if (a00 != a10) crossed.push_back(bottom);
      if (a10 != a11) crossed.push_back(right);
      if (a11 != a01) crossed.push_back(top);
      if (a01 != a00) crossed.push_back(left);
      if (crossed.size() == 2) {
        segments.push_back({crossed[0], crossed[1]});
      } else if (crossed.size() == 4) {
        const double centre = (v(i, j) + v(i + 1, j) + v(i + 1, j + 1) + v(i, j + 1)) / 4;
        if ((centre >= level) == a00) {  // the 00-11 diagonal is joined: cut off 10 and 01
          segments.push_back({bottom, right});
          segments.push_back({top, left});
        } else {
          segments.push_back({left, bottom});
          segments.push_back({right, top});
        }
      }
    }
  }
  return segments;
}

// Joins segments that share an edge into chains of edges.
std::vector<std::deque<EdgeId>> JoinSegments(const std::vector<Segment>& segments) {
  std::unordered_map<EdgeId, std::array<std::int64_t, 2>> byEdge;
  for (std::size_t s = 0; s < segments.size(); ++s) {
    for (EdgeId edge : segments[s]) {
      auto [it, fresh] = byEdge.try_emplace(edge, std::array<std::int64_t, 2>{-1, -1});
      it->second[it->second[0] < 0 ? 0 : 1] = static_cast<std::int64_t>(s);
      (void)fresh;
    }
  }
  std::vector<bool> used(segments.size(), false);
  // The unused segment at edge other than the one just taken, or -1.
  auto next = [&](EdgeId edge) -> std::int64_t {
    for (std::int64_t s : byEdge.at(edge))
      if (s >= 0 && !used[static_cast<std::size_t>(s)]) return s;
    return -1;
  };
  auto otherEnd = [&](std::int64_t s, EdgeId edge) {
    const Segment& seg = segments[static_cast<std::size_t>(s)];
    return seg[0] == edge ? seg[1] : seg[0];
  };

  std::vector<std::deque<EdgeId>> chains;
  for (std::size_t start = 0; start < segments.size(); ++start) {
    if (used[start]) continue;
    used[start] = true;
    std::deque<EdgeId> chain{segments[start][0], segments[start][1]};
    bool closed = false;
    for (std::int64_t s = next(chain.back()); s >= 0; s = next(chain.back())) {
      used[static_cast<std::size_t>(s)] = true;
      chain.push_back(otherEnd(s, chain.back()));
      if (chain.back() == chain.front()) {
        closed = true;
        break;
      }
    }
    if (!closed) {
      for (std::int64_t s = next(chain.front()); s >= 0; s = next(chain.front())) {
        used[static_cast<std::size_t>(s)] = true;
        chain.push_front(otherEnd(s, chain.front()));
      }
    }
    chains.push_back(std::move(chain));
  }
  return chains;
}

double DistanceToSegment(const GroundPoint& p, const GroundPoint& a, const GroundPoint& b) {
  const double dx = b.X - a.X, dy = b.Y - a.Y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / length2 : 0.0;
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  return std::hypot(p.X - (a.X + t * dx), p.Y - (a.Y + t * dy));
}

}  // namespace

HeightSamples SampleHeights(const std::function<double(double, double)>& height, double width,
                            double depth, double step) {
  if (!(step > 0) || !(width > 0) || !(depth > 0))
    throw std::invalid_argument("sampling needs a positive size and step");
  HeightSamples samples;
  auto axis = [step](double size) {
    std::vector<double> values;
    const auto count = static_cast<std::int64_t>(std::ceil(size / step - 1e-9));
    for (std::int64_t k = 0; k < count; ++k) values.push_back(static_cast<double>(k) * step);
    values.push_back(size);
    return values;
  };
  samples.Xs = axis(width);
  samples.Ys = axis(depth);
  samples.Values.Resize(static_cast<std::int64_t>(samples.Xs.size()),
                        static_cast<std::int64_t>(samples.Ys.size()));
  for (std::size_t i = 0; i < samples.Xs.size(); ++i)
    for (std::size_t j = 0; j < samples.Ys.size(); ++j)
      samples.Values(static_cast<std::int64_t>(i), static_cast<std::int64_t>(j)) =
          height(samples.Xs[i], samples.Ys[j]);
  return samples;
}

std::vector<std::vector<GroundPoint>> TraceLevel(const HeightSamples& samples, double level) {
  const Lattice lattice{samples, samples.Values.Columns()};
  std::vector<std::vector<GroundPoint>> lines;
  for (const std::deque<EdgeId>& chain : JoinSegments(CellSegments(lattice, level))) {
    std::vector<GroundPoint> line;
    for (EdgeId edge : chain) {
      const GroundPoint point = lattice.Crossing(edge, level);
      // A sample lying exactly on the level gives the same point on two edges.
      if (line.empty() || !(line.back() == point)) line.push_back(point);
    }
    if (chain.front() == chain.back() && !(line.front() == line.back()))
      line.push_back(line.front());
    if (line.size() >= 2) lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<GroundPoint> Simplify(const std::vector<GroundPoint>& line, double tolerance) {
  if (line.size() <= 2) return line;
  std::vector<bool> keep(line.size(), false);
  keep.front() = keep.back() = true;
  std::vector<std::array<std::size_t, 2>> spans{{0, line.size() - 1}};
  while (!spans.empty()) {
    const auto [first, last] = spans.back();
    spans.pop_back();
    double farthest = -1;
    std::size_t at = first;
    for (std::size_t k = first + 1; k < last; ++k) {
      const double d = DistanceToSegment(line[k], line[first], line[last]);
      if (d > farthest) {
        farthest = d;
        at = k;
      }
    }
    if (at != first && farthest > tolerance) {
      keep[at] = true;
      spans.push_back({first, at});
      spans.push_back({at, last});
    }
  }
  std::vector<GroundPoint> kept;
  for (std::size_t k = 0; k < line.size(); ++k)
    if (keep[k]) kept.push_back(line[k]);
  return kept;
}

std::vector<std::vector<GroundPoint>> SplitLine(const std::vector<GroundPoint>& line,
                                                std::size_t maxPoints) {
  if (maxPoints < 2) throw std::invalid_argument("a line piece needs room for two points");
  std::vector<std::vector<GroundPoint>> pieces;
  if (line.size() < 2) return pieces;
  for (std::size_t start = 0; start + 1 < line.size();) {
    const std::size_t end = std::min(start + maxPoints - 1, line.size() - 1);
    pieces.emplace_back(line.begin() + static_cast<std::ptrdiff_t>(start),
                        line.begin() + static_cast<std::ptrdiff_t>(end) + 1);
    start = end;
  }
  return pieces;
}

}  // namespace terrak::testing
