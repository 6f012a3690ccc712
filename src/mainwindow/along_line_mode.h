#pragma once
// Edit > Heights Along a Line: a mouse mode. A left drag from a contour that has a height across
// others gives each crossed contour the next level up (down with Shift held at the press); the
// line follows the mouse as a rubber line until the button is released.
#include "heights/height_types.h"
#include "mainwindow/map_window.h"

namespace terrak {

inline constexpr const char* kAlongLineHint =
    "Drag from a contour with a height across others: each gets the next level up, with Shift "
    "down";
// How near the press must be to the contour it starts on, in screen pixels.
inline constexpr std::int32_t kAlongLinePickPixels = 4;

void HeightsAlongLineClick(MapWindow& w);
// A screen point of the shown map in ground metres, as the heights core counts them.
heights::Point ScreenToGround(const AppState& app, Point at);

void AlongLinePress(MapWindow& w, Point at, bool down);
void AlongLineMove(MapWindow& w, Point at);
void AlongLineRelease(MapWindow& w);
// A repaint wiped the rubber line off the picture.
void AlongLineRepainted(AppState& app);

}  // namespace terrak
