#include "grid/grid_notes.h"

#include "common/numtext.h"

namespace terrak {

std::vector<std::string> DescribeGridNotes(const GridNotes& n) {
  std::vector<std::string> lines;
  const auto add = [&](bool happened, const std::string& text) {
    if (happened) lines.push_back(text);
  };
  add(n.UnheightedObjects > 0, "selected line objects without a height, not painted: " +
                                   FormatInt(n.UnheightedObjects));
  add(n.UnheldHeightObjects > 0,
      "selected line objects whose height field holds a value of 0 m or below, which this OCAD "
      "5 to 7 map cannot hold as a height, not painted: " + FormatInt(n.UnheldHeightObjects));
  add(n.PaintCellsOutside > 0,
      "contour cells beyond the grid, dropped: " + FormatInt(n.PaintCellsOutside));
  add(n.LongObjects > 0, "objects of more than 6001 points, drawn in full: " +
                             FormatInt(n.LongObjects));
  add(n.BrokenCurves > 0, "objects with a curve lacking its start or its three points, drawn up "
                          "to it: " + FormatInt(n.BrokenCurves));
  add(n.ShrinkLoopsCut > 0, "outline gaps that would be refined forever, left as they were: " +
                                FormatInt(n.ShrinkLoopsCut));
  add(n.ShrinkWorkLimitHit, "the outline refinement reached its work limit; the gaps still open "
                            "were left as they were");
  add(n.SealCellsOutside > 0,
      "outline cells beyond the grid, not written: " + FormatInt(n.SealCellsOutside));
  add(n.IsolatedCells > 0, "smoothed cells without a neighbour with a height, kept as they "
                           "were: " + FormatInt(n.IsolatedCells));
  add(n.SmoothingClamped, "the smoothing factor was outside 0..100 and was taken as the nearest "
                          "end of that range");
  add(n.PassesClamped, "the smoothing passes were limited to 99");
  add(n.BitmapNameGuessed, "the map's name does not end in \".ocd\"; the map bitmap was looked "
                           "for under the name with \".bmp\" as its extension");
  add(n.BitmapRowsLong, "the map bitmap's rows are longer than 5004 bytes; they were read whole");
  add(!n.BitmapSkipped.empty(), "the map bitmap was not used: " + n.BitmapSkipped);
  add(!n.DrawingSkipped.empty(), "the map's drawing was not draped: " + n.DrawingSkipped);
  return lines;
}

}  // namespace terrak
