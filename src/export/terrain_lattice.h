#pragma once
// The grid as the exports see it: true heights in metres (CellMetres: interpolated cells count
// as heights like any other; 0 is an empty cell) sampled on a lattice of every n-th cell.
#include <cstdint>
#include <optional>
#include <vector>

#include "terrain/grid_state.h"

namespace terrak {

// The cell indices 0, step, 2*step, ... along one side of `cells` cells, always ending on the
// last cell, so a lattice spans the whole grid whatever the step. step < 1 counts as 1.
std::vector<std::int64_t> LatticeIndices(std::int64_t cells, std::int32_t step);

struct HeightRange {
  double Lowest = 0.0;
  double Highest = 0.0;
};

// Whether any cell of the grid has a height.
bool HasHeights(const HeightGridType& grid);

// Whether coordinates up to largest in size keep points smallest apart distinct in the files'
// single-precision numbers: both finite and normal as floats, and smallest at least 2^-20 of
// largest (a float has 24 bits), so no absurd size turns a model into infinities or flattens it.
bool SinglePrecisionHolds(double smallest, double largest);

// The lowest and highest true height of the non-empty cells on the lattice; none when every
// one of them is empty.
std::optional<HeightRange> LatticeHeightRange(const GridState& grid,
                                              const std::vector<std::int64_t>& columns,
                                              const std::vector<std::int64_t>& rows);

}  // namespace terrak
