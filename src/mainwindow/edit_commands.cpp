#include "mainwindow/edit_commands.h"

#include "common/numtext.h"
#include "mainwindow/file_commands.h"
#include "mainwindow/heights_commands.h"
#include "mainwindow/input_text.h"
#include "mainwindow/navigation.h"
#include "mapfile/height_field.h"
#include "mapfile/map_writer.h"
#include "mapfile/settings_io.h"

namespace terrak {

void AddsymbolsClick(MapWindow& w) {
  // Cancel changes nothing, so the objects, the traced set and its figures stay as they are.
  if (!w.Host.ShowSymbolSelectionDialog()) return;
  LoadSelectedObjects(w);
  // The objects were read again: show them (or the welcome screen when none are selected).
  w.Host.Invalidate();
}

void ElevationsClick(MapWindow& w) {
  MapWindowState& view = w.App.Window;
  if (!view.TraceExists) return;
  const std::string answer = w.Dialogs.Input("Give feature an elevation", "Height in metres (< 3000)",
                                             HeightDefaultText(view.CurrentHeight));
  const std::optional<double> metres = ParseHeightMetres(answer);
  if (!metres || !HeightRangeProblem(*metres).empty()) {
    w.Host.ShowStatusMessage(HeightRefusal(answer));
    return;
  }
  const std::int32_t height = HeightDecimetres(*metres);
  // A height the map's format cannot keep (0 m or below in OCAD 5 to 7, beyond its field) is
  // refused with the reason, never stored as something else.
  if (const std::optional<std::string> notHeld = HeightNotHeldMessage(w.App.Model, height)) {
    w.Dialogs.Message(*notHeld, MessageType::Warning, static_cast<unsigned>(DialogButton::Ok));
    return;
  }
  view.NewHeight = height;
  // What the objects had, so that Undo Heights can take it back.
  heights::HeightChanges step;
  for (std::int32_t object : view.TracedObjects) {
    const TMapObject& o = w.App.Model.MapObjects[static_cast<std::size_t>(object)];
    step.push_back({object, o.HasHeight ? heights::Metres(o.Height / 10.0) : heights::HeightValue{},
                    heights::Metres(height / 10.0)});
  }
  HeightsBefore before = KeepObjectHeights(w.App.Model, w.App.Paths.WorkingCopy, view.TracedObjects);
  WriteTracedHeights(w.App.Model, w.App.Paths.WorkingCopy, view.TracedObjects, view.NewHeight);
  w.App.Heights.UndoSteps.push_back({std::move(step), std::move(before)});
  view.CurrentHeight = view.NewHeight;
  w.App.Model.MapModified = true;
  w.Host.ShowStatusMessage("Height " + FormatFixed(view.NewHeight / 10.0, 1, 1) +
                           " m given to the traced objects");
}

void ChangeTypeClick(MapWindow& w) {
  if (w.App.Window.TraceExists) w.Host.ShowChangeSymbolDialog();
}

void TraceToleranceClick(MapWindow& w) {
  const std::string answer =
      w.Dialogs.Input("Change tolerance for joins", "Tolerance in TWIPs (1/1440 inch) 0 - 72",
                      ToleranceDefaultText(w.App.Settings.TraceTolerance));
  const std::optional<std::int16_t> tolerance = ParseToleranceAnswer(answer);
  if (!tolerance) {
    w.Host.ShowStatusMessage(ToleranceRefusal(answer));
    return;
  }
  w.App.Settings.TraceTolerance = *tolerance;
  w.App.Model.MapModified = true;
}

void ChangeColourSchemeClick(MapWindow& w) {
  w.Host.ShowColourSchemeDialog();
  w.App.Model.MapModified = true;
  w.Host.Invalidate();
}

void Changeallheights1Click(MapWindow& w) {
  if (w.Dialogs.Message(kClearHeightsQuestion, MessageType::Warning,
                        DialogButton::Ok | DialogButton::Cancel) != DialogButton::Ok)
    return;
  ClearAllHeights(w.App.Model, w.App.Paths.WorkingCopy, w.Dialogs);
  // Steps before it would bring back heights taken away here behind the user's back.
  ForgetHeightsHistory(w.App);
  w.Host.Invalidate();
}

void RedrawClick(MapWindow& w) {
  CancelMoveView(w);
  CancelZoomRect(w);
  w.Host.Invalidate();
}

void ToggleViewClick(MapWindow& w) {
  w.App.Settings.ViewByHeight = !w.App.Settings.ViewByHeight;
  w.App.Model.MapModified = true;
  w.Host.Invalidate();
}

void ShowWholeMapClick(MapWindow& w) {
  bool& shown = w.App.WholeMap.Shown;
  shown = !shown;
  w.App.Menu.Check(MenuItem::ShowWholeMap, shown);
  w.Host.Invalidate();
  RememberShowWholeMap(w.App.Settings, w.App.Paths.SettingsFile, shown);
}

}  // namespace terrak
