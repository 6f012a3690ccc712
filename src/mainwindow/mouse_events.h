#pragma once
// Routing the mouse events of the main window to navigation and picking.
#include "mainwindow/map_window.h"

namespace terrak {

void FormMouseDown(MapWindow& w, MouseButton button, ShiftState keys, Point at);
void FormMouseMove(MapWindow& w, Point at);
void FormMouseUp(MapWindow& w, MouseButton button);
// notches of the wheel: positive turned away from the user (zoom in), negative towards.
void FormMouseWheel(MapWindow& w, Point at, int notches);

}  // namespace terrak
