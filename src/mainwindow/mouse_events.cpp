#include "mainwindow/mouse_events.h"

#include "mainwindow/along_line_mode.h"
#include "mainwindow/map_paint.h"
#include "mainwindow/navigation.h"
#include "mainwindow/tracing.h"

namespace terrak {

void FormMouseDown(MapWindow& w, MouseButton button, ShiftState keys, Point at) {
  MapWindowState& view = w.App.Window;
  view.LastShiftState = keys;
  view.MouseDownPoint = at;
  // On the welcome screen there is no map to pick from or move.
  if (!MapShown(w.App)) return;

  if (button != MouseButton::Left) {
    NavigationPressRight(w, at);
  } else if (w.App.Heights.AlongLine.Mode && !keys.Ctrl && !view.MoveViewMode &&
             !view.ZoomRectMode) {
    AlongLinePress(w, at, keys.Shift);
  } else if (keys.Ctrl && keys.Shift) {
    // Ctrl and Shift together only show the height: the traced set is left alone.
    ShowHeightAt(w);
  } else if (keys.Ctrl) {
    CancelMoveView(w);
    CancelZoomRect(w);
    PickAndTrace(w);
  } else if (keys.Shift) {
    ShowHeightAt(w);
  } else if (view.MoveViewMode || view.ZoomRectMode) {
    NavigationPressLeft(w, at);
  } else {
    StartNewTrace(w);
  }
}

void FormMouseMove(MapWindow& w, Point at) {
  if (!MapShown(w.App)) return;
  NavigationMove(w, at);
  AlongLineMove(w, at);
}

void FormMouseUp(MapWindow& w, MouseButton button) {
  if (!MapShown(w.App)) return;
  if (button == MouseButton::Left && w.App.Heights.AlongLine.Dragging)
    AlongLineRelease(w);
  else if (button == MouseButton::Left)
    NavigationReleaseLeft(w);
  else
    NavigationReleaseRight(w);
}

void FormMouseWheel(MapWindow& w, Point at, int notches) {
  if (!MapShown(w.App) || notches == 0) return;
  WheelZoom(w, at, notches);
}

}  // namespace terrak
