#include "mapdraw/line_layout.h"

#include <algorithm>
#include <cmath>

namespace terrak::mapdraw {

namespace {

// More dashes or symbols than this along one part of a line mean a damaged definition: no more
// are laid.
constexpr double kMostRepeats = 200000;

// The lengths of the part's dash points strictly between start and end.
std::vector<double> DashPoints(const PathPart& part, double start, double end) {
  std::vector<double> at;
  const std::vector<PathVertex>& v = part.Vertices;
  for (std::size_t i = 1; i + 1 < v.size(); ++i)
    if (v[i].DashPoint && v[i].Length > start && v[i].Length < end) at.push_back(v[i].Length);
  return at;
}

bool HasMidSymbol(const LineDefinition& line) {
  if (!line.MidSymbol || line.MidSymbolsPerSpot <= 0) return false;
  const PointDefinition& p = *line.MidSymbol;
  return !p.Elements.empty() || (p.InnerColour >= 0 && p.InnerRadius > 0) ||
         (p.OuterColour >= 0 && p.OuterWidth > 0);
}

class DashLayout {
 public:
  DashLayout(const LineDefinition& line, const PathPart& part, LineLayout& out)
      : line_(line), part_(part), out_(out), n_(std::max(1, line.DashesInGroup)),
        dash_(line.DashLength), gap_(std::max(0, line.BreakLength)),
        inGroupGap_(std::max(0, line.InGroupBreakLength)),
        spots_(HasMidSymbol(line) ? line.MidSymbolsPerSpot : 0),
        distance_(line.MidSymbolDistance), spotLength_(std::max(0, spots_ - 1) * distance_) {}

  void Run(double start, double end) {
    double lineStart = start;
    double groupsStart = start;
    bool partStart = true;
    const std::vector<double> dashPoints = DashPoints(part_, start, end);
    for (std::size_t next = 0;; ++next) {
      const bool partEnd = next >= dashPoints.size();
      const double groupsEnd = partEnd ? end : dashPoints[next];
      lineStart = Groups(lineStart, groupsStart, groupsEnd, partStart, partEnd);
      if (partEnd) break;
      groupsStart = groupsEnd;
      partStart = false;
    }
  }

 private:
  // The spot's symbols centred on a length.
  void SpotAround(double centre) {
    for (int j = 0; j < spots_; ++j) out_.Symbols.push_back(centre - spotLength_ / 2 + j * distance_);
  }
  // A dash that may carry a spot in its middle.
  void AddDash(double from, double to, bool withSymbols) {
    out_.Dashes.push_back({from, to});
    if (withSymbols && spots_ > 0 && spotLength_ <= to - from) SpotAround((from + to) / 2);
  }

  // The dash groups between two dash points (or the part's ends). A dash cut by the end point
  // carries over into the next stretch: its start is returned.
  double Groups(double lineStart, double start, double end, bool partStart, bool partEnd) {
    const MidSymbolPlacement mode = line_.MidPlacement;
    const bool closed = part_.Closed;
    const bool halfFirst = partStart ? (line_.HalfOuterDashes || closed) : n_ == 1;
    const bool halfLast = partEnd ? (line_.HalfOuterDashes || closed) : n_ == 1;
    const int halves = (halfFirst ? 1 : 0) + (halfLast ? 1 : 0);
    const double group = n_ * dash_ + (n_ - 1) * inGroupGap_;
    const double period = group + gap_;
    const double length = end - start;
    const double count = halves + (length + gap_ - halves * dash_ / 2.0) / period;
    const int lower = static_cast<int>(std::floor(count));
    const int fewestDashes = 2 * n_ - halves / 2;
    const double shortest = 2 * period;
    const double deviation = 0.2 * period / n_;
    bool symbols = spots_ > 0 && (length >= dash_ - deviation || line_.ShowAtLeastOneSymbol);

    if (spots_ > 0 && mode == MidSymbolPlacement::CentreOfDash) {
      if (lineStart < start || !partStart) {
        // The dash across the dash point carries its spot on the point itself.
        symbols = false;
        double at = start - spotLength_ / 2;
        for (int j = 0; j < spots_; j += 2, at += distance_)
          if (at >= 0) out_.Symbols.push_back(at);
      }
      if (partStart && halfFirst) {
        double at = start + (spots_ % 2 + 1) * distance_ / 2;
        for (int j = 1; j < spots_ && at <= part_.Total(); j += 2, at += distance_)
          out_.Symbols.push_back(at);
      }
    }

    if (count > kMostRepeats) return end;
    const int higher = static_cast<int>(std::ceil(count));
    const int groups = lower < 1 ? higher
                       : (length + gap_ - lower * period) / lower >
                                 (higher * period - length - gap_) / higher
                           ? higher
                           : lower;
    const int halfDashes = 2 * groups * n_ - halves;
    if (length <= 0 || (lower <= 1 && length < shortest - fewestDashes * deviation) ||
        halfDashes <= 0) {
      if (!partEnd) return lineStart;  // too short: it joins the next stretch
      AddDash(lineStart, end, symbols);
      return end;
    }
    const double dash = std::max(
        0.0, (length - (groups - 1) * gap_ - groups * (n_ - 1) * inGroupGap_) * 2 / halfDashes);

    double at = start;
    double dashStart = lineStart;
    for (int g = 1; g <= groups; ++g) {
      if (static_cast<double>(out_.Dashes.size() + out_.Symbols.size()) > kMostRepeats) return end;
      const bool firstGroup = g == 1;
      const bool lastGroup = g == groups;
      if (spots_ > 0 && mode == MidSymbolPlacement::CentreOfDashGroup) {
        double centre = at;
        if (lastGroup && halfLast)
          centre = end;
        else if (!(firstGroup && halfFirst))
          centre += (dash * n_ + inGroupGap_ * (n_ - 1)) / 2;
        double spot = centre - spotLength_ / 2;
        for (int j = 0; j < spots_ && spot <= end; ++j, spot += distance_)
          if (spot > start) out_.Symbols.push_back(spot);
      }
      for (int k = 1; k <= n_; ++k) {
        const bool firstDash = firstGroup && k == 1;
        const bool lastDash = lastGroup && k == n_;
        const bool half = (firstDash && halfFirst) != (lastDash && halfLast);
        const double length1 = half ? dash / 2 : dash;
        if (!firstDash) dashStart = at;
        if (lastDash && !partEnd) return dashStart;
        AddDash(dashStart, at + length1,
                mode == MidSymbolPlacement::CentreOfDash && !half);
        at += length1;
        if (k < n_) at += inGroupGap_;
      }
      if (g < groups) {
        if (spots_ > 0 && mode == MidSymbolPlacement::CentreOfGap) {
          const double first = at + (gap_ - spotLength_) / 2;
          for (int j = 0; j < spots_; ++j) out_.Symbols.push_back(first + j * distance_);
        }
        at += gap_;
      }
    }
    if (spots_ > 0 && halfLast && mode == MidSymbolPlacement::CentreOfDash) {
      double spot = end - spotLength_ / 2;
      for (int j = 0; j < spots_; j += 2, spot += distance_) out_.Symbols.push_back(spot);
    }
    return end;
  }

  const LineDefinition& line_;
  const PathPart& part_;
  LineLayout& out_;
  int n_;
  double dash_, gap_, inGroupGap_;
  int spots_;
  double distance_, spotLength_;
};

}  // namespace

LineLayout LayOutDashes(const LineDefinition& line, const PathPart& part, double start,
                        double end) {
  LineLayout out;
  if (line.DashLength <= 0 || end <= start) return out;
  DashLayout(line, part, out).Run(start, end);
  return out;
}

std::vector<double> LayOutMidSymbols(const LineDefinition& line, const PathPart& part,
                                     double start, double end) {
  std::vector<double> at;
  if (!HasMidSymbol(line) || line.SegmentLength <= 0) return at;
  const int spots = line.MidSymbolsPerSpot;
  const double segment = line.SegmentLength;
  const double endLength = std::max(0, line.EndLength);
  const double distance = line.MidSymbolDistance;
  const double spotLength = (spots - 1) * distance;
  if (line.EndLength <= 0 && !part.Closed) at.push_back(start);

  const std::vector<double> dashPoints = DashPoints(part, start, end);
  double from = start;
  for (std::size_t next = 0; next <= dashPoints.size(); ++next) {
    if (static_cast<double>(at.size()) > kMostRepeats) return at;
    const double to = next < dashPoints.size() ? dashPoints[next] : end;
    const double length = to - from;
    const double segmented = std::max(0.0, length - 2 * endLength) - spotLength;
    const double raw =
        std::max(endLength == 0 ? 1.0 : 0.0, segmented / (segment + spotLength));
    if (raw > kMostRepeats) return {};
    const int lower = static_cast<int>(std::floor(raw));
    const int higher = static_cast<int>(std::ceil(raw));
    if (endLength > 0) {
      if (length <= spotLength) {
        if (line.ShowAtLeastOneSymbol) {
          at.push_back(from);
          at.push_back(to);
        }
      } else {
        const double lowerOff = std::abs(length - lower * segment - (lower + 1) * spotLength -
                                         2 * endLength);
        const double higherOff = std::abs(length - higher * segment - (higher + 1) * spotLength -
                                          2 * endLength);
        const bool useHigher = lowerOff >= higherOff;
        const int count = useHigher ? higher : lower;
        const double off = useHigher ? -higherOff : lowerOff;
        const double ideal = count * segment + 2 * endLength;
        const double firstAt = endLength + off * (endLength / ideal);
        double step = segment + off * (segment / ideal);
        if (step >= 0 && (line.ShowAtLeastOneSymbol || higher > 0 ||
                          length > 2 * endLength - (segment + spotLength) / 2)) {
          step += spotLength;
          for (int i = 0; i <= count; ++i)
            for (int s = 0; s < spots; ++s) at.push_back(from + firstAt + i * step + s * distance);
        }
      }
    } else {
      if (length > spotLength) {
        const double lowerOff =
            std::abs(length - lower * segment - (lower + 1) * spotLength) / lower;
        const double higherOff =
            std::abs(length - higher * segment - (higher + 1) * spotLength) / higher;
        const int count = lowerOff > higherOff ? higher : lower;
        const double step = (length - (count + 1) * spotLength) / count + spotLength;
        if (step >= spotLength) {
          for (int i = 0; i <= count; ++i) {
            for (int s = 0; s < spots; ++s) {
              // The outermost symbols of the stretch are the ones at its ends.
              if (i == 0 && s == 0) continue;
              if (i == count && s == spots - 1) break;
              at.push_back(from + i * step + s * distance);
            }
          }
        }
      }
      at.push_back(to);
    }
    from = to;
  }
  return at;
}

}  // namespace terrak::mapdraw
