#include "grid/grid_notes.h"

#include "common/numtext.h"

namespace terrak {

std::vector<std::string> DescribeGridNotes(const GridNotes& n) {
  std::vector<std::string> lines;
  const auto add = [&](bool happened, const std::string& text) {
    if (happened) lines.push_back(text);
  };
  add(n.UnheightedObjects > 0, FormatInt(n.UnheightedObjects) +
                                   " selected line objects have no height and were not painted");
  add(n.PaintCellsOutside > 0, FormatInt(n.PaintCellsOutside) +
                                   " contour cells fell outside the grid and were dropped");
  add(n.LongObjects > 0, FormatInt(n.LongObjects) +
                             " objects gave more than 6001 points and were drawn in full");
  add(n.BrokenCurves > 0, FormatInt(n.BrokenCurves) +
                              " objects hold a curve without its start or its three points; "
                              "they were drawn up to it");
  add(n.ShrinkLoopsCut > 0, FormatInt(n.ShrinkLoopsCut) +
                                " outline gaps would have been refined forever and were "
                                "left as they were");
  add(n.ShrinkWorkLimitHit, "the outline refinement reached its work limit; the remaining gaps "
                            "were left as they were");
  add(n.SealCellsOutside > 0, FormatInt(n.SealCellsOutside) +
                                  " outline cells fell outside the grid and were not written");
  add(n.CellsWithoutEstimate > 0,
      FormatInt(n.CellsWithoutEstimate) +
          " cells had no estimate to carry over yet and were left empty");
  add(n.IsolatedCells > 0, FormatInt(n.IsolatedCells) +
                               " smoothed cells had no neighbour with a height and kept their own");
  add(n.SmoothingClamped, "the smoothing factor was outside 0..100 and was limited to that range");
  add(n.PassesClamped, "the smoothing passes were limited to 99");
  add(n.BitmapNameGuessed, "the map's name does not end in \".ocd\"; the map bitmap was "
                           "looked for under the name with \".bmp\" as its extension");
  add(n.BitmapRowsLong, "the map bitmap's rows are longer than 5004 bytes; they were read whole");
  add(n.BitmapRowsMissing > 0, FormatInt(n.BitmapRowsMissing) +
                                   " rows lay beyond the end of the stretched map bitmap; each "
                                   "repeats the last row read");
  add(!n.BitmapSkipped.empty(), "the map bitmap was not used: " + n.BitmapSkipped);
  return lines;
}

}  // namespace terrak
