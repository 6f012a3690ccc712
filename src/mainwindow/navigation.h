#pragma once
// Zooming and moving the view: the seven zoom items, the zoom rectangle, the Move View frame and
// the right- or middle-button drag. Every change of zoom or centre is written into the working
// copy's setup record at once.
#include <cstdint>

#include "mainwindow/map_window.h"

namespace terrak {

// A zoom item: zoom index 0 (16x) to 6 (0.25x).
void ZoomItemClick(MapWindow& w, std::int16_t zoomIndex);
void ChangeZoom(MapWindow& w);
void ApplyZoomIndex(AppState& app, std::int16_t zoomIndex);

void MoveViewClick(MapWindow& w);
void StartMoveView(MapWindow& w);
void CancelMoveView(MapWindow& w);
void CancelZoomRect(MapWindow& w);
// Moves the view centre by the drag's displacement: to where the frame was dragged.
void ApplyViewOffset(MapWindow& w);
// Moves the view centre against the drag's displacement, so the map follows the hand that
// dragged it with the right or middle button.
void ApplyHandMove(MapWindow& w);
// Applies the requested zoom and moves the centre by the rectangle's displacement.
void ConfirmZoomRect(MapWindow& w);

// The mouse reactions routed here by the window's dispatch.
void NavigationPressRight(MapWindow& w, Point at);
void NavigationPressLeft(MapWindow& w, Point at);  // while MoveViewMode or ZoomRectMode
void NavigationMove(MapWindow& w, Point at);
void NavigationReleaseLeft(MapWindow& w);
void NavigationReleaseRight(MapWindow& w);

// How far the picture is shown moved while the right or middle button drags the map: the
// accepted displacement of the drag, (0, 0) at any other time.
Point HandMoveOffset(const MapWindowState& view);

// The mouse wheel: each notch away from the user zooms in one step (towards 16x), each notch
// towards the user out one step (towards 0.25x), at once and keeping the map point under the
// mouse where it is. The zoom and the centre are written like any other change of view.
void WheelZoom(MapWindow& w, Point at, int notches);

// Enter (character 13) confirms the zoom rectangle; every other key is ignored.
void FormKeyPress(MapWindow& w, char key);

}  // namespace terrak
