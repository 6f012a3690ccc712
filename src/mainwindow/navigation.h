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
void ApplyViewOffset(MapWindow& w);
// Applies the requested zoom and moves the centre by the rectangle's displacement.
void ConfirmZoomRect(MapWindow& w);

// The mouse reactions routed here by the window's dispatch.
void NavigationPressRight(MapWindow& w, Point at);
void NavigationPressLeft(MapWindow& w, Point at);  // while MoveViewMode or ZoomRectMode
void NavigationMove(MapWindow& w, Point at);
void NavigationReleaseLeft(MapWindow& w);
void NavigationReleaseRight(MapWindow& w);

// Enter (character 13) confirms the zoom rectangle; every other key is ignored.
void FormKeyPress(MapWindow& w, char key);

}  // namespace terrak
