#pragma once
// The shrink-wrap of the map outline: rays from a moving anchor to every border cell collect the
// contour cells they meet in order around the map (wrapping); where two consecutive outline
// points lie more than ContourGap metres apart, an inward bulge is swept until it meets contour
// cells, which are put between them (shrinking); consecutive points that are not neighbours are
// joined by lines of interpolated heights written into empty cells (sealing).
#include <cstdint>
#include <memory>
#include <vector>

#include "grid/grid_build_state.h"
#include "terrain/grid_state.h"
#include "grid/progress_sink.h"

namespace terrak {

class ContourTiles;

struct TWrapperPoint {
  std::int16_t X = 0;
  std::int16_t Y = 0;
  std::int16_t Height = 0;  // the grid's value at the cell when the point was recorded
  friend bool operator==(const TWrapperPoint&, const TWrapperPoint&) = default;
};

using WrapperList = std::vector<TWrapperPoint>;

// A grid cell as the walkers of this stage hold it: 16-bit coordinates.
struct WrapCell {
  std::int16_t X = 0;
  std::int16_t Y = 0;
  friend bool operator==(const WrapCell&, const WrapCell&) = default;
};

// One ray of the wrapping step from the anchor to the border cell target; every contour cell met
// is appended to list and becomes the anchor.
void CastRay(const HeightGridType& grid, WrapCell& anchor, WrapCell target, WrapperList& list);

// Sweeps the border counter-clockwise from the anchor (0, 0).
WrapperList WrapMap(const GridState& grid, ProgressSink& progress);
// The same, each ray passing over the stretches that the contour tiles of grid show empty.
WrapperList WrapMap(const GridState& grid, const ContourTiles& tiles, ProgressSink& progress);

// Limits of the shrinking step, and what it leaves behind.
struct ShrinkControl {
  std::int64_t WorkLimit = 0;  // curve points that may be evaluated
  std::int64_t Work = 0;
  std::int16_t CurveSteps = 0;  // the last bulge's step count
  std::int64_t LoopsCut = 0;
  bool WorkLimitHit = false;
  // Evaluate every point of every bulge instead of passing over stretches whose box holds no
  // contour: the same cells, slower; for checking the quick way.
  bool EverySample = false;
  // With 2 or more, a second thread makes the searches of pairs the refinement will come to
  // later (grid/bulges_ahead.h); the outline, work and step count stay the same.
  int Threads = 1;
  // Every search made by BulgeCellsPlain instead (Threads is then not used): the reference grid.
  bool Plain = false;
};

// The cells that the inward bulges between the outline points p and n meet, in order along the
// first bulge that meets any (none when no bulge up to the chord's length does).
WrapperList BulgeCells(const GridState& grid, WrapCell p, WrapCell n, ShrinkControl& control);
// The same search written out plainly (grid/bulge_search_plain.cpp): every bulge sampled point by
// point and every sample looked up in the grid. The cells, the work and the step count left in
// control are BulgeCells's.
WrapperList BulgeCellsPlain(const GridState& grid, WrapCell p, WrapCell n, ShrinkControl& control);

// The outline after shrinking: its points in order, and for each point whether it is joined to
// the point before it. A point reached by passing over a repeated refinement is not joined: every
// piece that refinement would add is in the outline already.
struct Outline {
  WrapperList Points;
  std::vector<bool> JoinedToPrevious;
};

// Refines every pair of consecutive points that lie more than contourGap apart.
Outline ShrinkWrapper(const WrapperList& wrapped, const GridState& grid, std::int32_t contourGap,
                      ShrinkControl& control, ProgressSink& progress);
// The same with the contour tiles of grid made already.
Outline ShrinkWrapper(const WrapperList& wrapped, const GridState& grid, const ContourTiles& tiles,
                      std::int32_t contourGap, ShrinkControl& control, ProgressSink& progress);

// Joins consecutive joined points that are not neighbours by straight lines of heights, written
// into the empty cells they cross, and those made positive into tiles, when given. Returns the
// number of such cells that lay beyond the grid.
std::int64_t SealWrapper(const Outline& outline, GridState& grid, ProgressSink& progress,
                         ContourTiles* tiles = nullptr);

// WrapMap, ShrinkWrapper and SealWrapper in turn. tiles, when given, are the grid's contour
// tiles as the caller kept them in step with it; else (or when they are of another size) they
// are made from the grid. Gives the tiles of the sealed grid.
std::shared_ptr<ContourTiles> ShrinkWrap(GridState& grid, std::int32_t contourGap,
                                         GridBuildState& build, ProgressSink& progress,
                                         std::shared_ptr<ContourTiles> tiles = nullptr);

}  // namespace terrak
