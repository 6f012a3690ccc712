#include "mainwindow/navigation.h"

#include <algorithm>

#include "mainwindow/view_transform.h"
#include "mapfile/map_writer.h"

namespace terrak {

namespace {

Rect Moved(const Rect& r, std::int32_t dx, std::int32_t dy) {
  return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

void BeginDrag(MapWindowState& view, Point at) {
  view.DragStart = at;
  view.DragLast = at;
}

// Which way the view centre goes for a drag to the right: with the frame (+1), or against the
// hand (-1) when the right or middle button drags the map itself.
std::int64_t CentreDirection(const MapWindowState& view) { return view.DraggingRight ? -1 : 1; }

// Moves the view centre by the drag's accepted displacement and writes it.
void MoveCentre(MapWindow& w, std::int64_t direction) {
  MapWindowState& view = w.App.Window;
  MapModel& model = w.App.Model;
  const std::int64_t dx = direction * (view.DragLast.X - view.DragStart.X);
  const std::int64_t dy = direction * (view.DragLast.Y - view.DragStart.Y);
  model.MapOffsetX = WrapCentre(model, model.MapOffsetX + dx * view.UnitsPerPixel);
  model.MapOffsetY = WrapCentre(model, model.MapOffsetY - dy * view.UnitsPerPixel);
  WriteOffset(model, w.App.Paths.WorkingCopy);
  w.Host.Invalidate();
}

}  // namespace

void ZoomItemClick(MapWindow& w, std::int16_t zoomIndex) {
  w.App.Window.RequestedZoomIndex = zoomIndex;
  ChangeZoom(w);
}

void ApplyZoomIndex(AppState& app, std::int16_t zoomIndex) {
  for (MenuItem item : kZoomItems) {
    app.Menu.Enable(item, true);
    app.Menu.Check(item, false);
  }
  app.Model.MapZoom = zoomIndex;
  app.Menu.Enable(ZoomItemOf(zoomIndex), false);
  app.Menu.Check(ZoomItemOf(zoomIndex), true);
}

void ChangeZoom(MapWindow& w) {
  MapWindowState& view = w.App.Window;
  CancelMoveView(w);
  CancelZoomRect(w);
  if (w.App.Model.MapZoom <= view.RequestedZoomIndex) {
    ApplyZoomIndex(w.App, view.RequestedZoomIndex);
    WriteZoom(w.App.Model, w.App.Paths.WorkingCopy);
    w.Host.Invalidate();
    return;
  }
  view.ZoomRectMode = true;
  const int difference = w.App.Model.MapZoom - view.RequestedZoomIndex;
  const std::int32_t f = difference > 6 ? 1 : (1 << difference);
  view.FocusFrameBase = {view.HalfWidth - view.HalfWidth / f, view.HalfHeight - view.HalfHeight / f,
                         view.HalfWidth + view.HalfWidth / f, view.HalfHeight + view.HalfHeight / f};
  view.FocusFrame = view.FocusFrameBase;
  // Enter without a drag must apply no displacement, whatever an earlier drag left here.
  BeginDrag(view, {0, 0});
  w.Picture.DrawFocusRect(view.FocusFrame);
}

void MoveViewClick(MapWindow& w) {
  CancelMoveView(w);
  CancelZoomRect(w);
  BeginDrag(w.App.Window, {0, 0});
  StartMoveView(w);
}

void StartMoveView(MapWindow& w) {
  MapWindowState& view = w.App.Window;
  w.App.Menu.Check(MenuItem::MoveView, true);
  w.App.Menu.Enable(MenuItem::MoveView, false);
  view.MoveViewMode = true;
  const Rect& area = view.MapArea;
  view.FocusFrameBase = {area.Left + 2, area.Top + 2, area.Right - 2, area.Bottom - 2};
  view.FocusFrame = view.FocusFrameBase;
  w.Picture.DrawFocusRect(view.FocusFrame);
}

void CancelMoveView(MapWindow& w) {
  MapWindowState& view = w.App.Window;
  if (!view.MoveViewMode) return;
  w.Picture.DrawFocusRect(view.FocusFrame);
  view.MoveViewMode = false;
  view.DraggingLeft = false;
  view.DraggingRight = false;
  w.App.Menu.Check(MenuItem::MoveView, false);
  w.App.Menu.Enable(MenuItem::MoveView, true);
}

void CancelZoomRect(MapWindow& w) {
  MapWindowState& view = w.App.Window;
  if (!view.ZoomRectMode) return;
  w.Picture.DrawFocusRect(view.FocusFrame);
  view.ZoomRectMode = false;
  view.DraggingLeft = false;
}

void ApplyViewOffset(MapWindow& w) { MoveCentre(w, 1); }

void ApplyHandMove(MapWindow& w) { MoveCentre(w, -1); }

void ConfirmZoomRect(MapWindow& w) {
  ApplyZoomIndex(w.App, w.App.Window.RequestedZoomIndex);
  WriteZoom(w.App.Model, w.App.Paths.WorkingCopy);
  CancelMoveView(w);
  CancelZoomRect(w);
  ApplyViewOffset(w);
}

void NavigationPressRight(MapWindow& w, Point at) {
  MapWindowState& view = w.App.Window;
  CancelMoveView(w);
  CancelZoomRect(w);
  view.DraggingRight = true;
  view.DraggingLeft = false;
  view.MoveViewMode = true;
  BeginDrag(view, at);
  StartMoveView(w);
}

void NavigationPressLeft(MapWindow& w, Point at) {
  MapWindowState& view = w.App.Window;
  if (view.MoveViewMode) {
    view.DraggingLeft = true;
    view.DraggingRight = false;
    BeginDrag(view, at);
  } else if (view.ZoomRectMode) {
    if (view.FocusFrame.Contains(at)) {
      view.DraggingLeft = true;
      view.DraggingRight = false;
      BeginDrag(view, at);
    } else {
      CancelZoomRect(w);
    }
  }
}

void NavigationMove(MapWindow& w, Point at) {
  MapWindowState& view = w.App.Window;
  const MapModel& model = w.App.Model;
  std::int32_t dx = at.X - view.DragStart.X;
  std::int32_t dy = at.Y - view.DragStart.Y;
  if (view.MoveViewMode && (view.DraggingLeft || view.DraggingRight)) {
    const std::int64_t upp = view.UnitsPerPixel * CentreDirection(view);
    const std::int64_t centreX = model.MapOffsetX + upp * dx;
    const std::int64_t centreY = model.MapOffsetY - upp * dy;
    const CentreRange& limits = view.CentreLimits;
    if (centreX >= limits.MinX && centreX <= limits.MaxX)
      view.DragLast.X = at.X;
    else
      dx = view.DragLast.X - view.DragStart.X;
    if (centreY >= limits.MinY && centreY <= limits.MaxY)
      view.DragLast.Y = at.Y;
    else
      dy = view.DragLast.Y - view.DragStart.Y;
    // A right drag moves the picture itself with the hand (HandMoveOffset), frame and all.
    if (view.DraggingRight) return;
    w.Picture.DrawFocusRect(view.FocusFrame);
    view.FocusFrame = Moved(view.FocusFrameBase, dx, dy);
    w.Picture.DrawFocusRect(view.FocusFrame);
  } else if (view.ZoomRectMode && view.DraggingLeft) {
    w.Picture.DrawFocusRect(view.FocusFrame);
    const Rect tried = Moved(view.FocusFrameBase, dx, dy);
    if (tried.Left >= view.MapArea.Left && tried.Right <= view.MapArea.Right)
      view.DragLast.X = at.X;
    else
      dx = view.DragLast.X - view.DragStart.X;
    if (tried.Top >= view.MapArea.Top && tried.Bottom <= view.MapArea.Bottom)
      view.DragLast.Y = at.Y;
    else
      dy = view.DragLast.Y - view.DragStart.Y;
    view.FocusFrame = Moved(view.FocusFrameBase, dx, dy);
    w.Picture.DrawFocusRect(view.FocusFrame);
  }
}

void NavigationReleaseLeft(MapWindow& w) {
  MapWindowState& view = w.App.Window;
  if (view.ZoomRectMode) {
    ConfirmZoomRect(w);
  } else if (view.MoveViewMode) {
    CancelMoveView(w);
    CancelZoomRect(w);
    ApplyViewOffset(w);
  }
}

void NavigationReleaseRight(MapWindow& w) {
  CancelMoveView(w);
  ApplyHandMove(w);
}

Point HandMoveOffset(const MapWindowState& view) {
  if (!view.MoveViewMode || !view.DraggingRight) return {};
  return {view.DragLast.X - view.DragStart.X, view.DragLast.Y - view.DragStart.Y};
}

void WheelZoom(MapWindow& w, Point at, int notches) {
  MapModel& model = w.App.Model;
  MapWindowState& view = w.App.Window;
  const int current = model.MapZoom >= 0 && model.MapZoom <= 5 ? model.MapZoom : 6;
  const int wanted = std::clamp(current - notches, 0, 6);
  if (wanted == current) return;
  CancelMoveView(w);
  CancelZoomRect(w);
  // The map point under the mouse stays under it: the centre moves towards it by the units per
  // pixel given up, times the mouse's distance from the centre.
  const std::int64_t given = view.UnitsPerPixel - UnitsPerPixelForZoom(wanted);
  model.MapOffsetX = WrapCentre(model, model.MapOffsetX + (at.X - view.HalfWidth) * given);
  model.MapOffsetY = WrapCentre(model, model.MapOffsetY - (at.Y - view.HalfHeight) * given);
  ApplyZoomIndex(w.App, static_cast<std::int16_t>(wanted));
  WriteZoom(model, w.App.Paths.WorkingCopy);
  WriteOffset(model, w.App.Paths.WorkingCopy);
  w.Host.Invalidate();
}

void FormKeyPress(MapWindow& w, char key) {
  if (key == 13 && w.App.Window.ZoomRectMode) ConfirmZoomRect(w);
}

}  // namespace terrak
