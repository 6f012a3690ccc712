#pragma once
// What a grid construction met where the program had to decide for itself: points beyond the
// grid, an outline refinement that would never end, cells without any estimate, options out of
// range, and so on. terrak-cli prints one warning line for each kind that occurred and that the
// user can act on; the others are counted for the tests alone.
#include <cstdint>
#include <string>
#include <vector>

namespace terrak {

struct GridNotes {
  std::int64_t PaintCellsOutside = 0;    // contour cells beyond the grid, dropped
  std::int64_t LongObjects = 0;          // objects that yielded more than 6001 points
  std::int64_t BrokenCurves = 0;         // curve markers without a start or their three pairs
  std::int64_t UnheightedObjects = 0;    // selected line objects without a height, not painted
  std::int64_t UnheldHeightObjects = 0;  // OCAD 5 to 7 objects whose field holds 0 m or below
  std::int64_t ShrinkLoopsCut = 0;       // outline refinements that would repeat forever
  bool ShrinkWorkLimitHit = false;       // outline refinement stopped by its work limit
  std::int64_t SealCellsOutside = 0;     // outline cells beyond the grid, not written
  std::int64_t CellsWithoutEstimate = 0; // cells left empty: no estimate made yet (not told)
  std::int64_t IsolatedCells = 0;        // smoothed cells without any non-empty neighbour
  bool SmoothingClamped = false;         // smoothing factor outside 0..100
  bool PassesClamped = false;            // more smoothing passes than the limit
  bool BitmapNameGuessed = false;        // the map's name does not end in ".ocd"
  bool BitmapRowsLong = false;           // stretched rows longer than the old 5004-byte buffer
  std::int64_t BitmapRowsMissing = 0;    // rows beyond the stretched file's end (not told)
  std::string BitmapSkipped;             // why a map bitmap beside the map was not used
  std::string DrawingSkipped;            // why the map's own drawing was not draped
};

// One warning line per kind of note that occurred and that the user can act on, in a fixed
// order. Cells left without an estimate stay empty as the outline's surroundings do, and rows
// missing at the end of the program's own stretched bitmap repeat its last row: nothing the
// user could change, so neither is told.
std::vector<std::string> DescribeGridNotes(const GridNotes& notes);

}  // namespace terrak
