#include "mainwindow/tracing.h"

#include <cstdlib>
#include <functional>
#include <unordered_set>

#include "common/numtext.h"
#include "mainwindow/map_paint.h"
#include "mainwindow/navigation.h"
#include "mainwindow/screen_points.h"
#include "mainwindow/view_transform.h"

namespace terrak {

namespace {

bool Near(TPair a, TPair b, std::int32_t tolerance) {
  // In 64 bits: two far 32-bit coordinates differ by more than 32 bits hold.
  return std::abs(std::int64_t{a.X} - b.X) < tolerance &&
         std::abs(std::int64_t{a.Y} - b.Y) < tolerance;
}

// The chain after a join: its two ends, the objects carrying them and the object just joined
// (where the pass goes on).
struct JoinState {
  TPair EndA, EndB;
  std::int32_t EndAIndex, EndBIndex, Joined;
  bool operator==(const JoinState&) const = default;
};

struct JoinStateHash {
  std::size_t operator()(const JoinState& s) const {
    std::size_t h = 0;
    for (std::int64_t v : {std::int64_t{s.EndA.X}, std::int64_t{s.EndA.Y}, std::int64_t{s.EndB.X},
                           std::int64_t{s.EndB.Y}, std::int64_t{s.EndAIndex},
                           std::int64_t{s.EndBIndex}, std::int64_t{s.Joined}})
      h = h * 1000003u ^ std::hash<std::int64_t>{}(v);
    return h;
  }
};

bool PointWithin2Pixels(const MapWindowState& view, Point press) {
  for (std::int32_t i = 0; i < view.PointCount; ++i) {
    const Point p = view.ScreenPoints[static_cast<std::size_t>(i)];
    if (std::abs(p.X - press.X) < 3 && std::abs(p.Y - press.Y) < 3) return true;
  }
  return false;
}

void DrawObject(MapWindow& w, std::size_t index) {
  const TObjectCoords& coords = GetObjectCoords(w.App.Model, index);
  w.App.Window.PointCount = 0;
  BuildScreenPoints(w.App.Window, w.App.Model, coords);
  DrawObjectOutline(w.App.Window, coords.Kind, w.Picture);
}

}  // namespace

void HitTest(AppState& app) {
  MapWindowState& view = app.Window;
  const MapModel& model = app.Model;
  const Point press = view.MouseDownPoint;
  view.HitFound = false;
  for (std::size_t j = 0; j < model.MapObjects.size(); ++j) {
    const TMapObject& object = model.MapObjects[j];
    if (!IsVisible(view, object)) continue;
    const Point topLeft = MapToScreen(view, model, object.MinX, object.MaxY);
    const Point bottomRight = MapToScreen(view, model, object.MaxX, object.MinY);
    if (!Rect{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y}.Contains(press)) continue;
    view.PointCount = 0;
    BuildScreenPoints(view, model, GetObjectCoords(model, j));
    if (!PointWithin2Pixels(view, press)) continue;

    view.CurrentHeight = object.Height;
    view.PickedSymbol = object.Symbol;
    view.PickedSymbolScale = model.SymbolNumberScale;
    view.ChainEndA = object.FirstPoint;
    view.ChainEndB = object.LastPoint;
    if (!view.LastShiftState.Shift) {
      if (!view.LastShiftState.Ctrl || !view.TraceExists) {
        view.TracedObjects.clear();
        view.TraceExists = true;
      }
      view.TracedObjects.push_back(static_cast<std::int32_t>(j));
      view.ChainEndAIndex = static_cast<std::int32_t>(j);
      view.ChainEndBIndex = static_cast<std::int32_t>(j);
    }
    view.HitFound = true;
    return;
  }
}

void FollowJoins(AppState& app) {
  MapWindowState& view = app.Window;
  const std::vector<TMapObject>& objects = app.Model.MapObjects;
  const std::int32_t tolerance = app.Settings.TraceTolerance;
  // Objects lying on top of each other end to end can hand the chain ends back and forth for
  // ever. What comes after a join depends only on the chain ends, the objects carrying them and
  // how far the pass has got; once a join leads to a state seen before, the chain would repeat
  // the same joins for ever, so the trace ends there. A chain that ends by itself never meets
  // a state twice and is followed to its end.
  std::unordered_set<JoinState, JoinStateHash> seen;

  bool appended = true;
  while (appended) {
    appended = false;
    for (std::size_t j = 0; j < objects.size(); ++j) {
      const TMapObject& object = objects[j];
      const auto index = static_cast<std::int32_t>(j);
      if (object.Symbol != view.PickedSymbol || index == view.ChainEndAIndex ||
          index == view.ChainEndBIndex)
        continue;
      TPair endA = view.ChainEndA, endB = view.ChainEndB;
      std::int32_t endAIndex = view.ChainEndAIndex, endBIndex = view.ChainEndBIndex;
      if (Near(object.FirstPoint, endA, tolerance)) {
        endA = object.LastPoint;
        endAIndex = index;
      } else if (Near(object.FirstPoint, endB, tolerance)) {
        endB = object.LastPoint;
        endBIndex = index;
      } else if (Near(object.LastPoint, endA, tolerance)) {
        endA = object.FirstPoint;
        endAIndex = index;
      } else if (Near(object.LastPoint, endB, tolerance)) {
        endB = object.FirstPoint;
        endBIndex = index;
      } else {
        continue;
      }
      if (!seen.insert({endA, endB, endAIndex, endBIndex, index}).second) {
        appended = false;
        break;
      }
      view.ChainEndA = endA;
      view.ChainEndB = endB;
      view.ChainEndAIndex = endAIndex;
      view.ChainEndBIndex = endBIndex;
      view.TracedObjects.push_back(index);
      appended = true;
    }
  }
  view.TracedObjectCount = static_cast<std::int16_t>(
      view.TracedObjects.size() > 32767 ? 32767 : view.TracedObjects.size());
}

void DrawTraceHighlight(MapWindow& w) {
  MapWindowState& view = w.App.Window;
  const MapModel& model = w.App.Model;
  w.Picture.SetPenColour(w.App.Settings.HiliteColour);
  for (std::int32_t index : view.TracedObjects) {
    const auto i = static_cast<std::size_t>(index);
    if (i >= model.MapObjects.size() || !IsVisible(view, model.MapObjects[i])) continue;
    view.PickedKind = GetObjectCoords(model, i).Kind;
    DrawObject(w, i);
  }
  w.Picture.SetPenColour(kBlack);
}

void ClearTrace(MapWindow& w) {
  MapWindowState& view = w.App.Window;
  const MapModel& model = w.App.Model;
  w.Picture.SetPenColour(kBlack);
  for (std::int32_t index : view.TracedObjects) {
    const auto i = static_cast<std::size_t>(index);
    if (i >= model.MapObjects.size() || !IsVisible(view, model.MapObjects[i])) continue;
    const TObjectCoords& coords = GetObjectCoords(model, i);
    if (const auto colour = ObjectPenColour(w.App, coords.Symbol, model.MapObjects[i].HasHeight))
      w.Picture.SetPenColour(*colour);
    DrawObject(w, i);
  }
  view.TracedObjects.clear();
}

void PickAndTrace(MapWindow& w) {
  MapWindowState& view = w.App.Window;
  HitTest(w.App);
  if (view.HitFound) {
    view.PickCount = static_cast<std::int16_t>(view.PickCount < 32767 ? view.PickCount + 1 : 32767);
    FollowJoins(w.App);
    DrawTraceHighlight(w);
    UpdateStatusBar(w.App);
  }
  UpdateStatusBar(w.App);
}

void ShowHeightAt(MapWindow& w) {
  MapWindowState& view = w.App.Window;
  CancelMoveView(w);
  CancelZoomRect(w);
  // The traced set must not change here, whatever modifier keys came with the press.
  const ShiftState keys = view.LastShiftState;
  view.LastShiftState.Shift = true;
  HitTest(w.App);
  view.LastShiftState = keys;
  if (view.HitFound)
    w.Picture.TextOut(view.MouseDownPoint.X, view.MouseDownPoint.Y,
                      FormatFixed(view.CurrentHeight / 10.0, 6, 1));
  UpdateStatusBar(w.App);
}

void DropTrace(MapWindowState& view) {
  view.TracedObjects.clear();
  view.TraceExists = false;
  view.CurrentHeight = 0;
  view.PickedSymbol = 0;
  view.TracedObjectCount = 0;
  view.PickCount = 0;
}

void StartNewTrace(MapWindow& w) {
  if (w.App.Window.TraceExists) {
    ClearTrace(w);
    DropTrace(w.App.Window);
  }
  PickAndTrace(w);
}

}  // namespace terrak
