#pragma once
// A map model made by hand for tests of heights through the grid: square contour rings at given
// heights (a hill is rings rising inwards, a hollow rings falling), four model units to the metre.
#include <cstdint>
#include <vector>

#include "terrain/grid_state.h"
#include "mapfile/map_model.h"

namespace terrak::testing {

struct Ring {
  double CentreX = 0, CentreY = 0, HalfSide = 0;  // metres
  std::int32_t Height = 0;                        // tenths of a metre
};

// The rings as closed line objects of symbol 101, selected, each height plus shift.
MapModel RingMap(const std::vector<Ring>& rings, std::int32_t shift = 0);

// The grid BuildGrid makes of the model (default settings, no map bitmap); an empty grid when
// the construction refused, with the message in refusal.
GridState BuildRingGrid(const MapModel& model, std::string* refusal = nullptr);

}  // namespace terrak::testing
