#pragma once
// Painting the contour objects into the height grid: each object's coordinate list becomes a
// chain of points in metres (curves and straight segments flattened alike), and the chain is
// drawn cell by cell with the object's height.
#include <cstdint>
#include <functional>

#include "grid/grid_notes.h"
#include "terrain/grid_state.h"
#include "mapfile/map_model.h"

namespace terrak {

class ContourTiles;

// A point of an object in metres from the map's origin, not yet shifted to the grid.
struct TGridPoint {
  double x = 0.0;
  double y = 0.0;
};

// Control points of one flattened segment, in model units.
struct CurveControls {
  TPair P0, P1, P2, P3;
};

// The points of one segment: curveSteps points at t = i / curveSteps, i = 1 .. curveSteps.
void AddCurvePoints(const CurveControls& curve, double unitsPerMetre, std::int32_t curveSteps,
                    const std::function<void(TGridPoint)>& emit);

// Walks an object's path (mapfile/object_path.h) and emits its points in order: the start as it
// is, every step through AddCurvePoints. Further parts are not drawn; a broken curve is counted
// in notes.BrokenCurves. Returns the number of points emitted.
std::int64_t ObjectToPoints(const TObjectCoords& coords, double unitsPerMetre,
                            std::int32_t curveSteps, GridNotes& notes,
                            const std::function<void(TGridPoint)>& emit);

// The rasteriser's pen over the height grid. Cells beyond the grid are dropped and counted.
class CellPainter {
 public:
  // tiles, when given, are kept in step with every cell written.
  CellPainter(HeightGridType& grid, GridNotes& notes, ContourTiles* tiles = nullptr)
      : grid_(grid), notes_(notes), tiles_(tiles) {}

  void MoveToCell(std::int64_t x, std::int64_t y, std::int32_t h);
  // Marks the line from the pen twice, stepping along x and then along y, so every column and
  // every row between its ends holds a marked cell.
  void LineToCell(std::int64_t x1, std::int64_t y1, std::int32_t h1);
  void SetCell(std::int64_t x, std::int64_t y, std::int32_t h);

 private:
  HeightGridType& grid_;
  GridNotes& notes_;
  ContourTiles* tiles_;
  std::int64_t penX_ = 0;
  std::int64_t penY_ = 0;
  std::int32_t penHeight_ = 0;
};

// Draws one object of line type (2) or area type (5) with the given height; others are left.
void DrawObject(const TObjectCoords& coords, std::int32_t height, const GridState& extent,
                std::int32_t curveSteps, CellPainter& painter, GridNotes& notes);

// Paints every object of the selected symbols, symbol by symbol in selection order and within a
// symbol in object order, so a later object's height stays where objects cross. tiles, when
// given, are kept in step with the grid.
void PaintContours(const MapModel& model, GridState& grid, std::int32_t curveSteps,
                   GridNotes& notes, ContourTiles* tiles = nullptr);

}  // namespace terrak
