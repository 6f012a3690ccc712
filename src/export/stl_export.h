#pragma once
// The terrain as a printable model: a binary STL of one closed solid in millimetres. The top is
// the terrain, four walls go down to a flat base, and every edge is shared by exactly two
// triangles, each facing outward. Cells without height lie on the top of the base, so the area
// outside the map's outline prints as a flat plinth and the solid is always the whole grid's
// rectangle.
#include <cstdint>
#include <string>
#include <vector>

#include "export/export_file.h"
#include "export/export_progress.h"
#include "terrain/grid_state.h"
#include "mapfile/georeferencing.h"

namespace terrak {

struct StlOptions {
  std::int32_t Interval = 5;    // every n-th cell becomes a vertex
  double PrintWidthMm = 150.0;  // the model's extent from west to east
  double BaseMm = 5.0;          // the solid below the lowest height
  double Exaggeration = 1.0;    // heights above the lowest one are multiplied by it
};

// The model lies in x east from 0 to PrintWidthMm, y north from 0, z up from 0 (the base's
// underside); the lowest height lies at BaseMm. Heights keep the ground's true proportions: a
// georeferenced map's metre is its scale factor in metres on the ground, so its relief stands
// taller against the same print width. Throws ExportError for a grid without heights or one cell
// wide or high, for a print width, base or exaggeration that is not positive, and for sizes that
// single-precision numbers cannot hold (kModelPrecisionMessage).
ExportedFiles ExportStl(const GridState& grid, const Georeferencing& georef,
                        const StlOptions& options, const ExportProgressCallback& progress = {});

// The checks ExportStl makes before it starts, without making anything.
void CheckStlExport(const GridState& grid, const Georeferencing& georef, const StlOptions& options);

// ExportStl written into target as it is made (through the safe writer), so the model never
// lies whole in memory. Returns the notes.
std::vector<std::string> WriteStlFile(const std::string& target, const GridState& grid,
                                      const Georeferencing& georef, const StlOptions& options,
                                      const ExportProgressCallback& progress = {});

}  // namespace terrak
