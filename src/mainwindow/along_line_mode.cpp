#include "mainwindow/along_line_mode.h"

#include "heights/along_line.h"
#include "heights/model_heights.h"
#include "mainwindow/contour_settings.h"
#include "mainwindow/heights_commands.h"
#include "mainwindow/map_paint.h"
#include "mainwindow/navigation.h"

namespace terrak {

namespace {

// Inverting, so drawing the same line again takes it away.
void ToggleRubberLine(MapWindow& w) {
  AlongLineDrag& drag = w.App.Heights.AlongLine;
  w.Picture.SetPenMode(PenMode::Invert);
  w.Picture.MoveTo(drag.Start.X, drag.Start.Y);
  w.Picture.LineTo(drag.End.X, drag.End.Y);
  w.Picture.SetPenMode(PenMode::Normal);
  drag.LineShown = !drag.LineShown;
}

}  // namespace

void HeightsAlongLineClick(MapWindow& w) {
  AlongLineDrag& drag = w.App.Heights.AlongLine;
  if (drag.LineShown) ToggleRubberLine(w);
  const bool on = !drag.Mode;
  drag = AlongLineDrag{};
  drag.Mode = on;
  w.App.Menu.Check(MenuItem::HeightsAlongLine, drag.Mode);
  if (!drag.Mode) return;
  CancelMoveView(w);
  CancelZoomRect(w);
  w.Host.ShowStatusMessage(kAlongLineHint);
}

heights::Point ScreenToGround(const AppState& app, Point at) {
  const MapWindowState& view = app.Window;
  const double x = app.Model.MapOffsetX + static_cast<double>(at.X - view.HalfWidth) * view.UnitsPerPixel;
  const double y = app.Model.MapOffsetY - static_cast<double>(at.Y - view.HalfHeight) * view.UnitsPerPixel;
  const double metresPerUnit = heights::MetresPerModelUnit(app.Model);
  return {x * metresPerUnit, y * metresPerUnit};
}

void AlongLinePress(MapWindow& w, Point at, bool down) {
  AlongLineDrag& drag = w.App.Heights.AlongLine;
  if (drag.LineShown) ToggleRubberLine(w);
  drag.Dragging = true;
  drag.Down = down;
  drag.Start = drag.End = at;
}

void AlongLineMove(MapWindow& w, Point at) {
  AlongLineDrag& drag = w.App.Heights.AlongLine;
  if (!drag.Dragging) return;
  if (drag.LineShown) ToggleRubberLine(w);
  drag.End = at;
  ToggleRubberLine(w);
}

void AlongLineRelease(MapWindow& w) {
  AppState& app = w.App;
  AlongLineDrag& drag = app.Heights.AlongLine;
  if (!drag.Dragging) return;
  if (drag.LineShown) ToggleRubberLine(w);
  drag.Dragging = false;
  const heights::ContourRoles roles = CurrentContourRoles(app);
  const heights::HeightMap map =
      heights::HeightMapFromModel(app.Model, roles, app.Settings.TraceTolerance);
  const double pickRadius = kAlongLinePickPixels * app.Window.UnitsPerPixel *
                            heights::MetresPerModelUnit(app.Model);
  const heights::AlongLineResult result =
      heights::HeightsAlongLine(map, roles, ScreenToGround(app, drag.Start),
                                ScreenToGround(app, drag.End), drag.Down, pickRadius);
  std::size_t written = 0;
  if (!result.Changes.empty()) {
    written = WriteHeightsStep(w, result.Changes);
    w.Host.Invalidate();
  }
  std::string status = std::to_string(result.Crossed.size()) + " contours crossed, " +
                       std::to_string(written) + " objects got a height";
  if (!result.Message.empty())
    status = result.Crossed.empty() ? result.Message : result.Message + " " + status;
  w.Host.ShowStatusMessage(status);
}

void AlongLineRepainted(AppState& app) { app.Heights.AlongLine.LineShown = false; }

}  // namespace terrak
