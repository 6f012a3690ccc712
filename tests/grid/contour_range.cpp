#include "grid/contour_range.h"

#include <algorithm>
#include <cstdlib>

#include "grid/build_grid.h"
#include "grid/interpolate.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"

namespace terrak::testing {

StagedGrid BuildGridInStages(const MapModel& model, const Settings& settings) {
  StagedGrid staged;
  GridBuildState build;
  build.CurveSteps = GridCurveSteps(model.MapScale);
  SilentProgress progress;
  ScriptedDialogs dialogs;
  const GridServices services{progress, dialogs, nullptr};
  GridState& grid = staged.Built;
  if (!PrepareGrid(model, grid, build, services)) return staged;
  PaintGrid(model, grid, build, services);
  ShrinkWrapGrid(settings, grid, build, services);
  staged.Sealed = grid;
  InterpolateGrid(grid, build, services);
  FinishGrid(settings, grid, build, services);
  return staged;
}

std::int32_t LargestStepBeyondFlats(GridState sealed) {
  std::int32_t largest = 0;
  const auto beyond = [&](ScanPoint edge, ScanPoint next) {
    if (edge.v > 0 && next.v > 0) largest = std::max(largest, std::abs(edge.v - next.v));
  };
  for (std::int32_t x = 1; x < sealed.GridWidth; ++x)
    for (std::int32_t y = 1; y < sealed.GridHeight; ++y) {
      if (sealed.HeightGrid(x, y) != 0) continue;
      for (const ScanLine line :
           {ScanLine::Column, ScanLine::Row, ScanLine::Diagonal135, ScanLine::Diagonal45}) {
        const LineScan s = ScanLinePlain(sealed, x, y, line);
        if (s.DownNear.v <= 0 || s.DownNear.v != s.UpNear.v) continue;
        beyond(s.DownEdge, s.DownNext);
        beyond(s.UpEdge, s.UpNext);
      }
    }
  return largest;
}

ContourRange CheckContourRange(const StagedGrid& grid) {
  ContourRange range;
  range.Lowest = 32767;
  const HeightGridType& sealed = grid.Sealed.HeightGrid;
  for (std::int64_t i = 0; i < sealed.Columns() * sealed.Rows(); ++i)
    if (const std::int16_t v = sealed.Data()[i]; v > 0) {
      range.Lowest = std::min<std::int32_t>(range.Lowest, v);
      range.Highest = std::max<std::int32_t>(range.Highest, v);
    }
  range.Allowance = LargestStepBeyondFlats(grid.Sealed);
  const HeightGridType& built = grid.Built.HeightGrid;
  for (std::int64_t i = 0; i < built.Columns() * built.Rows(); ++i) {
    const std::int32_t v = std::abs(built.Data()[i]);  // estimates no smoothing reached are negated
    if (v == 0) continue;
    const std::int32_t beyond = std::max(range.Lowest - v, v - range.Highest);
    range.Furthest = std::max(range.Furthest, beyond);
    if (beyond > range.Allowance) ++range.CellsBeyond;
  }
  return range;
}

}  // namespace terrak::testing
