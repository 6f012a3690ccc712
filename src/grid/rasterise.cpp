#include "grid/rasterise.h"

#include <algorithm>
#include <cstdlib>

#include "common/rounding.h"
#include "common/wrap16.h"
#include "grid/contour_tiles.h"
#include "mapfile/object_path.h"

namespace terrak {

namespace {

// The old point buffer held this many points; longer objects are drawn in full and noted.
constexpr std::int64_t kOldPointCapacity = 6001;

}  // namespace

void AddCurvePoints(const CurveControls& c, double unitsPerMetre, std::int32_t curveSteps,
                    const std::function<void(TGridPoint)>& emit) {
  for (std::int32_t i = 1; i <= curveSteps; ++i) {
    const double t = static_cast<double>(i) / curveSteps;
    const double u = 1.0 - t;
    const double b0 = u * u * u;
    const double b1 = 3.0 * t * u * u;
    const double b2 = 3.0 * t * t * u;
    const double b3 = t * t * t;
    const double x = b0 * c.P0.X + b1 * c.P1.X + b2 * c.P2.X + b3 * c.P3.X;
    const double y = b0 * c.P0.Y + b1 * c.P1.Y + b2 * c.P2.Y + b3 * c.P3.Y;
    emit({x / unitsPerMetre, y / unitsPerMetre});
  }
}

std::int64_t ObjectToPoints(const TObjectCoords& coords, double unitsPerMetre,
                            std::int32_t curveSteps, GridNotes& notes,
                            const std::function<void(TGridPoint)>& emit) {
  std::int64_t emitted = 0;
  const std::function<void(TGridPoint)> counting = [&](TGridPoint p) {
    ++emitted;
    emit(p);
  };
  const ObjectPath path = PathOf(coords);
  // A broken curve is noted. One with no point before it has nothing to start from, and the
  // object is left out; one cut short ends the object after the points before it.
  if (path.CurveWithoutStart || path.CurveCutShort) ++notes.BrokenCurves;
  if (!path.HasStart || path.CurveWithoutStart) return 0;
  counting({path.Start.X / unitsPerMetre, path.Start.Y / unitsPerMetre});
  for (const PathStep& step : path.Steps)
    AddCurvePoints({step.From, step.Control1, step.Control2, step.End}, unitsPerMetre,
                   curveSteps, counting);
  return emitted;
}

void CellPainter::MoveToCell(std::int64_t x, std::int64_t y, std::int32_t h) {
  penX_ = x;
  penY_ = y;
  penHeight_ = h;
  SetCell(x, y, h);
}

void CellPainter::SetCell(std::int64_t x, std::int64_t y, std::int32_t h) {
  if (!grid_.Contains(x, y)) {
    ++notes_.PaintCellsOutside;
    return;
  }
  const std::int16_t value = Wrap16(h);
  grid_(x, y) = value;
  if (tiles_ != nullptr) tiles_->Put(x, y, value > 0);
}

void CellPainter::LineToCell(std::int64_t x1, std::int64_t y1, std::int32_t h1) {
  const std::int64_t x0 = penX_;
  const std::int64_t y0 = penY_;
  const std::int32_t h0 = penHeight_;
  const std::int64_t ax = std::llabs(x1 - x0);
  const std::int64_t ay = std::llabs(y1 - y0);
  const double dh = static_cast<double>(h1) - h0;
  if (ax < 1 && ay < 1) SetCell(x1, y1, h1);
  // Each pass marks one cell per step; steps whose cell would lie beyond the grid's columns
  // (rows) are counted but not computed, as they would be dropped anyway.
  if (ax > 0) {
    const double slope = static_cast<double>(y1 - y0) / static_cast<double>(x1 - x0);
    const std::int64_t from = std::max<std::int64_t>(std::min(x0, x1), 0);
    const std::int64_t to = std::min<std::int64_t>(std::max(x0, x1), grid_.Columns() - 1);
    notes_.PaintCellsOutside += ax + 1 - std::max<std::int64_t>(to - from + 1, 0);
    for (std::int64_t x = from; x <= to; ++x) {
      const std::int64_t y = RoundToInt(slope * static_cast<double>(x - x0)) + y0;
      const std::int64_t h =
          RoundToInt(static_cast<double>(std::llabs(x - x0)) / static_cast<double>(ax) * dh) + h0;
      SetCell(x, y, static_cast<std::int32_t>(h));
    }
  }
  if (ay > 0) {
    const double slope = static_cast<double>(x1 - x0) / static_cast<double>(y1 - y0);
    const std::int64_t from = std::max<std::int64_t>(std::min(y0, y1), 0);
    const std::int64_t to = std::min<std::int64_t>(std::max(y0, y1), grid_.Rows() - 1);
    notes_.PaintCellsOutside += ay + 1 - std::max<std::int64_t>(to - from + 1, 0);
    for (std::int64_t y = from; y <= to; ++y) {
      const std::int64_t x = RoundToInt(slope * static_cast<double>(y - y0)) + x0;
      const std::int64_t h =
          RoundToInt(static_cast<double>(std::llabs(y - y0)) / static_cast<double>(ay) * dh) + h0;
      SetCell(x, y, static_cast<std::int32_t>(h));
    }
  }
  penX_ = x1;
  penY_ = y1;
  penHeight_ = h1;
}

void DrawObject(const TObjectCoords& coords, std::int32_t height, const GridState& extent,
                std::int32_t curveSteps, CellPainter& painter, GridNotes& notes) {
  if (!IsDrawnAsLine(coords.Kind)) return;
  bool first = true;
  const std::int64_t points = ObjectToPoints(
      coords, extent.GridUnitsPerMetre, curveSteps, notes, [&](TGridPoint p) {
        const std::int64_t cx = RoundToInt(p.x) - extent.GridMinX;
        const std::int64_t cy = RoundToInt(p.y) - extent.GridMinY;
        if (first) {
          painter.MoveToCell(cx, cy, height);
          first = false;
        } else {
          painter.LineToCell(cx, cy, height);
        }
      });
  if (points > kOldPointCapacity) ++notes.LongObjects;
}

void PaintContours(const MapModel& model, GridState& grid, std::int32_t curveSteps,
                   GridNotes& notes, ContourTiles* tiles) {
  CellPainter painter(grid.HeightGrid, notes, tiles);
  for (const TSelectedSymbol& selected : model.SelectedSymbols) {
    for (std::size_t i = 0; i < model.MapObjects.size(); ++i) {
      const TMapObject& object = model.MapObjects[i];
      if (object.Symbol != selected.Symbol) continue;
      const TObjectCoords& coords = GetObjectCoords(model, i);
      // Painting "no height" would only wipe out the cells of contours it crosses or overlaps.
      if (!object.HasHeight) {
        // A value without a height is an OCAD 5 to 7 field holding 0 m or below.
        if (IsDrawnAsLine(coords.Kind))
          ++(object.Height == 0 ? notes.UnheightedObjects : notes.UnheldHeightObjects);
        continue;
      }
      // The grid holds heights above its base (grid/height_base.h), which keeps them in 16 bits.
      DrawObject(coords, object.Height - grid.HeightBase, grid, curveSteps, painter, notes);
    }
  }
}

}  // namespace terrak
