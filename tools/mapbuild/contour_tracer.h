#pragma once
// Contour lines of a sampled height field: marching squares, joined into polylines, then
// simplified and cut into pieces of limited length that join end to end.
#include <cstddef>
#include <functional>
#include <vector>

#include "common/grid2d.h"
#include "mapbuild/ground_point.h"

namespace terrak::testing {

// Heights sampled on a lattice: Values(i, j) is the height at (Xs[i], Ys[j]).
struct HeightSamples {
  std::vector<double> Xs;
  std::vector<double> Ys;
  Grid2D<double> Values;
};

// Samples height(x, y) every step metres over [0, width] x [0, height]; the last column and row
// lie on the far edges even when the size is not a multiple of the step.
HeightSamples SampleHeights(const std::function<double(double, double)>& height, double width,
                            double depth, double step);

// The contour lines at one level. A line that closes on itself repeats its first point at the
// end; the others end on the border of the sampled area.
std::vector<std::vector<GroundPoint>> TraceLevel(const HeightSamples& samples, double level);

// Douglas-Peucker: drops points closer than tolerance to the line through the points kept; the
// ends are always kept.
std::vector<GroundPoint> Simplify(const std::vector<GroundPoint>& line, double tolerance);

// Cuts a line into pieces of at most maxPoints (at least 2) points; each piece begins with the
// last point of the one before.
std::vector<std::vector<GroundPoint>> SplitLine(const std::vector<GroundPoint>& line,
                                                std::size_t maxPoints);

}  // namespace terrak::testing
