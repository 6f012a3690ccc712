#pragma once
// The inward bulge of the outline refinement written out plainly, for tests: every bulge is
// sampled point by point and every sample looked up in the grid, with no tables and no passing
// over empty stretches.
#include "terrain/grid_state.h"
#include "grid/shrinkwrap.h"

namespace terrak::testing {

// The cells of the first bulge between p and n that meets any contour cell, in order along it.
WrapperList PlainBulgeCells(const GridState& grid, WrapCell p, WrapCell n);

}  // namespace terrak::testing
