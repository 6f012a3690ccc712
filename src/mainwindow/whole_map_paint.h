#pragma once
// The whole map in its own colours under the selected symbols (View > Show Whole Map). The map's
// drawing is kept until the working copy changes, and its picture at the window's view until
// the view or the drawing changes, so a repaint that moves nothing only copies pixels.
#include <cstdint>
#include <string>
#include <vector>

#include "common/colour.h"
#include "mapdraw/whole_map.h"
#include "platform/vector_picture.h"

namespace terrak {

struct MapWindow;
struct MapWindowState;

struct WholeMapState {
  bool Shown = false;  // View > Show Whole Map, remembered in the settings file
  mapdraw::WholeMapDrawing Drawing;
  // The picture last painted, of Drawing's generation PaintedGeneration at PaintedView.
  std::vector<Colour> Pixels;
  PictureView PaintedView;
  std::uint64_t PaintedGeneration = 0;
  bool Painted = false;
  // The last problem told the user, so that a map that cannot be drawn is not told at every
  // repaint.
  std::string ProblemTold;
};

// The paper seen in a window of width x height pixels: a model point on whole pixels lands on
// the centre of the pixel MapToScreen gives it.
PictureView WholeMapViewOf(const MapWindowState& view, std::int32_t mapOffsetX,
                           std::int32_t mapOffsetY, double micrometresPerUnit, std::int32_t width,
                           std::int32_t height);

// Paints the whole map over the window's picture when Show Whole Map is on and the window has a
// painter; a map that cannot be drawn is said once in the status bar and left out.
void PaintWholeMap(MapWindow& w);

}  // namespace terrak
