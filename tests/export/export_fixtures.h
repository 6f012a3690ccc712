#pragma once
// Grids for the exports' tests: heights from a function of the cell, with a map bitmap whose
// palette index tells the cell it came from.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "export/dem_export.h"
#include "terrain/grid_state.h"

namespace terrak::testing {

// columns x rows cells at (minX, minY); each cell holds the height metres(x, y) in decimetres,
// rounded (0 leaves it empty; negative decimetres are stored as the grid stores interpolated
// cells, so pass a negative height to get one).
GridState FunctionGrid(std::int64_t columns, std::int64_t rows, std::int32_t minX,
                       std::int32_t minY, const std::function<double(double, double)>& metres);

// Drapes a bitmap: cell (x, y) gets palette index (x + 3 * y) % 256, entry k of the palette the
// colour blue = k, green = 255 - k, red = (7 * k) % 256.
void AddBitmap(GridState& grid);

// The DEM options of the format named, with the rotation given and the other options' defaults.
DemOptions InFormat(const std::string& format, DemRotation rotation = DemRotation::NorthUp);

// The names of the entries in folder, sorted.
std::vector<std::string> NamesIn(const std::string& folder);

}  // namespace terrak::testing
