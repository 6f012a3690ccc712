#pragma once
// The 2D overview: the map bitmap of the grid at half size, north up, on which a drag with the
// right mouse button places the eye at the press point and aims it towards the release point.
#include <cstdint>

#include "terrain/grid_state.h"
#include "platform/canvas.h"
#include "platform/input_events.h"
#include "viewer/picture.h"
#include "viewer/viewer_state.h"

namespace terrak {

struct OverviewState {
  Picture OverviewBitmap;  // (GridWidth div 2) x (GridHeight div 2)
  bool OverviewClosed = false;
  bool AimDragging = false;
  bool AimLineShown = false;
  Point AimStart;
  Point AimEnd;
  Point AimLineEnd;
  Point LineStart;  // start of the rubber line now drawn
};

// Builds the half-size picture: each pixel shows the grid cell two cells per pixel away from
// the south-west corner, the grid's last row at the top. Where no map bitmap was read the
// picture shows the heights in greys (white without height), so the eye can still be placed.
void Createmap(OverviewState& overview, const GridState& grid);

// The aiming drag. The rubber line is drawn by inverting the pixels under it, so drawing it
// again takes it away.
void Image1MouseDown(OverviewState& overview, Canvas& picture, MouseButton button, Point at);
void Image1MouseMove(OverviewState& overview, Canvas& picture, Point at);
// On release of the right button away from the press point: the viewpoint's bearing points
// from the press point to the release point, the eye goes to the press point, 2 m above the
// ground there, and "On the ground" is checked and switched on. Returns whether the viewpoint
// changed (the 3D view is then repainted).
bool Image1MouseUp(OverviewState& overview, MouseButton button, Point at, ViewerState& viewer,
                   const GridState& grid);

// The bearing of a drag from start to end on the picture (up is north), degrees.
double AimBearing(Point start, Point end);

// The picture was drawn afresh from OverviewBitmap: no rubber line is on it any more, so the
// next press or move must not invert one away.
void OverviewRepainted(OverviewState& overview);

// "Exit" and closing: the picture is freed and nothing is painted any more; "Show 2D map" is
// enabled again.
void OverviewClose(OverviewState& overview, ViewerState& viewer);

}  // namespace terrak
