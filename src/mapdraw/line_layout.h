#pragma once
// Where the dashes and the symbols of a line symbol go along one part of a line, as lengths
// from the part's start. Dash patterns are stretched or shrunk a little so that whole groups
// fit between the ends and the dash points (where a dash is split across the point); symbols
// go into the dashes, the groups or the gaps, or every segment along an undashed line.
#include <vector>

#include "mapdraw/path_parts.h"
#include "mapfile/symbol_definitions.h"

namespace terrak::mapdraw {

struct Dash {
  double From = 0, To = 0;
};

struct LineLayout {
  std::vector<Dash> Dashes;       // the stretches drawn
  std::vector<double> Symbols;    // where mid symbols go
};

// The dashes of a dashed line between the lengths start and end of the part (both inside it),
// with the line's mid symbols by its placement.
LineLayout LayOutDashes(const LineDefinition& line, const PathPart& part, double start,
                        double end);

// The mid symbols of an undashed line between start and end: spots every SegmentLength,
// EndLength from the ends (or spots at the ends when it is 0), the segments stretched to fit,
// restarting at each dash point.
std::vector<double> LayOutMidSymbols(const LineDefinition& line, const PathPart& part,
                                     double start, double end);

}  // namespace terrak::mapdraw
