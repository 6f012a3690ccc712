#pragma once
// The grid construction's own state: what the caller sets before BuildGrid, and what the run
// leaves behind besides the grid itself. One instance, owned by whoever builds grids.
#include <cstdint>
#include <memory>
#include <string>

#include "grid/contour_tiles.h"
#include "terrain/grid_limits.h"
#include "grid/grid_notes.h"
#include "grid/prefaulted_grid.h"
#include "platform/system_paths.h"

namespace terrak {

struct GridBuildState {
  // Set by the caller before each construction.
  std::int16_t CurveSteps = 0;  // the shrink-wrap leaves its last bulge's step count here
  bool CreateXyzFile = false;
  bool CreateMatrixFile = false;
  std::string PointsFileName;
  std::string MatrixFileName;
  std::string StretchedFileName;
  std::int64_t MaxGridCells = kMaxGridCells;  // lower only in tests
  // Curve points the outline refinement may evaluate in one run before it stops refining.
  std::int64_t ShrinkWorkLimit = 2'000'000'000;
  // Build along the plain paths (plain rays, bulge search, interpolation, excess removal and
  // smoothing, all on one thread): the same grid, slower, for comparing with the usual one.
  bool Reference = false;

  // Left by the construction.
  std::int32_t BitmapRowOffset = 0;     // metres from the map's top edge to the selection's
  std::int32_t BitmapColumnOffset = 0;  // metres from the map's left edge to the selection's
  std::string MapBitmapFileName;
  bool MapDrawingDraped = false;  // no map bitmap was read; the map's own drawing is draped
  GridNotes Notes;
  // The positive cells of the grid, kept in step by the stages of grid/build_grid.h that write
  // it, from the painting to the interpolation, which takes them. Whoever writes the grid
  // between those stages lets go of them.
  std::shared_ptr<ContourTiles> Tiles;
  // The memory of the interpolation's second copy of the grid, made ready by the painting.
  std::shared_ptr<PrefaultedGrid> CopySpare;
};

// The export and temporary file names in the folders of paths.
void UseSystemPaths(GridBuildState& build, const SystemPaths& paths);

// The steps per curve segment that the viewer uses for a map of the given scale denominator.
std::int16_t GridCurveSteps(double mapScale);

}  // namespace terrak
