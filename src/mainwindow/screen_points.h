#pragma once
// Turning an object's coordinate list into screen points (lines and Bezier curves flattened in
// CurveSteps steps) and drawing them.
#include "mainwindow/map_window_state.h"
#include "mapfile/map_model.h"
#include "platform/canvas.h"

namespace terrak {

// Appends the screen points of coords' path (mapfile/object_path.h) to ScreenPoints (callers set
// PointCount to 0 first). Further parts of an area are not drawn.
void BuildScreenPoints(MapWindowState& view, const MapModel& model, const TObjectCoords& coords);

// Appends the CurveSteps points of the cubic curve p0, c1, c2, p3 (t = 1/steps .. 1), leaving
// out a point equal to the last one appended.
void AddScreenCurvePoints(MapWindowState& view, const MapModel& model, TPair p0, TPair c1,
                          TPair c2, TPair p3);

// Lines through the screen points for the kinds drawn as lines, a small circle at the first for
// points, nothing for the other kinds.
void DrawObjectOutline(const MapWindowState& view, ObjectKind kind, Canvas& canvas);

}  // namespace terrak
