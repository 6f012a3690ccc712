#include "mainwindow/heights_commands.h"

#include <algorithm>

#include "heights/derive_heights.h"
#include "heights/model_heights.h"
#include "mainwindow/contour_settings.h"
#include "mainwindow/map_paint.h"
#include "mainwindow/tracing.h"
#include "mainwindow/view_transform.h"
#include "mapfile/map_writer.h"

namespace terrak {

using heights::HeightChanges;
using heights::HeightState;

Colour PreviewColour(HeightState state) {
  switch (state) {
    case HeightState::Known: return kBlack;
    case HeightState::Derived: return 0x008000;   // green
    case HeightState::Guessed: return 0x008CFF;   // orange
    case HeightState::Dem: return 0xFF0000;       // blue
    case HeightState::Conflict: return 0x0000FF;  // red
    case HeightState::None: return 0xFF00FF;      // magenta
  }
  return kBlack;
}

heights::HeightMap ShownHeightMap(const AppState& app) {
  return heights::HeightMapFromModel(app.Model, CurrentContourRoles(app),
                                     app.Settings.TraceTolerance);
}

std::size_t WriteHeightsStep(MapWindow& w, const HeightChanges& changes) {
  AppState& app = w.App;
  TracedObjectList objects;
  for (const heights::HeightChange& change : changes)
    if (change.Object >= 0 && static_cast<std::size_t>(change.Object) < app.Model.MapObjects.size())
      objects.push_back(change.Object);
  HeightsBefore before = KeepObjectHeights(app.Model, app.Paths.WorkingCopy, objects);
  const HeightChanges unwritten =
      heights::WriteHeightChanges(app.Model, app.Paths.WorkingCopy, changes);
  HeightChanges written;
  for (const heights::HeightChange& change : changes)
    if (std::find(unwritten.begin(), unwritten.end(), change) == unwritten.end())
      written.push_back(change);
  if (!unwritten.empty())
    w.Dialogs.Message(std::to_string(unwritten.size()) +
                          " heights were not written: the map's format cannot hold them.",
                      MessageType::Warning, static_cast<unsigned>(DialogButton::Ok));
  if (!written.empty()) {
    app.Heights.UndoSteps.push_back({written, std::move(before)});
    app.Model.MapModified = true;
  }
  return written.size();
}

bool PreviewAndAccept(MapWindow& w, const heights::HeightMap& map,
                      const heights::HeightsResult& result) {
  AppState& app = w.App;
  HeightsPreview preview;
  for (std::size_t i = 0; i < map.Objects.size(); ++i) {
    std::optional<HeightState> state;
    if (heights::CarriesHeight(map.Objects[i].Role) && i < result.Objects.size())
      state = result.Objects[i].State;
    preview.States.push_back(state);
  }
  app.Heights.Preview = std::move(preview);
  const std::string status = heights::StatusText(heights::CountHeights(map, result));
  FormPaint(w);
  w.Host.ShowPictureNow();
  w.Host.ShowStatusMessage(status);
  const HeightChanges changes = heights::ChangesOf(map, result);
  DialogButton answer = DialogButton::Cancel;
  try {
    answer = changes.empty()
                 ? w.Dialogs.Message(status + ".\n" + kPreviewLegend + "\nNo height would change.",
                                     MessageType::Information,
                                     static_cast<unsigned>(DialogButton::Ok))
                 : w.Dialogs.Message(status + ".\n" + kPreviewLegend + "\nWrite the " +
                                         std::to_string(changes.size()) +
                                         " new heights into the map?",
                                     MessageType::Confirmation,
                                     DialogButton::Ok | DialogButton::Cancel);
  } catch (...) {
    app.Heights.Preview.reset();
    throw;
  }
  app.Heights.Preview.reset();
  w.Host.Invalidate();
  if (changes.empty() || answer != DialogButton::Ok) {
    w.Host.ShowStatusMessage("No height was changed");
    return false;
  }
  const std::size_t written = WriteHeightsStep(w, changes);
  w.Host.ShowStatusMessage(std::to_string(written) + " contour objects got a height");
  return true;
}

void ForgetHeightsHistory(AppState& app) {
  app.Heights.Preview.reset();
  app.Heights.UndoSteps.clear();
  app.Heights.Findings.clear();
  app.Heights.CurrentFinding = -1;
}

void HeightsFromKnownClick(MapWindow& w) {
  AppState& app = w.App;
  if (!MapShown(app)) return;
  const heights::ContourRoles roles = CurrentContourRoles(app);
  const heights::HeightMap map =
      heights::HeightMapFromModel(app.Model, roles, app.Settings.TraceTolerance);
  const heights::HeightsResult result = [&] {
    BusyCursor busy(w.Dialogs);
    return heights::DeriveHeights(map, roles);
  }();
  if (heights::CountHeights(map, result).Objects == 0) {
    w.Host.ShowStatusMessage(kNoContoursMessage);
    return;
  }
  PreviewAndAccept(w, map, result);
}

void HeightsFromDemClick(MapWindow& w) {
  AppState& app = w.App;
  if (!MapShown(app)) return;
  const auto refuse = [&](const std::string& message) {
    w.Dialogs.Message(message, MessageType::Warning, static_cast<unsigned>(DialogButton::Ok));
  };
  if (!app.Model.Georef.Known) return refuse(heights::kNoGeoreferencingMessage);
  const heights::ContourRoles roles = CurrentContourRoles(app);
  const heights::HeightMap map =
      heights::HeightMapFromModel(app.Model, roles, app.Settings.TraceTolerance);
  if (std::none_of(map.Objects.begin(), map.Objects.end(), [](const heights::HeightObject& o) {
        return heights::CarriesHeight(o.Role);
      })) {
    w.Host.ShowStatusMessage(kNoContoursMessage);
    return;
  }
  FileDialogOptions options;
  options.Caption = kDemDialogCaption;
  options.Filter = kDemFilter;
  const std::optional<std::string> file = w.Dialogs.OpenFileName(options);
  if (!file) return;
  heights::DemRun run;
  std::string note;
  {
    BusyCursor busy(w.Dialogs);
    const std::unique_ptr<heights::DemSource> dem = w.Host.OpenDem(*file, app.Model.Georef);
    run = heights::HeightsFromDem(map, roles, app.Model.Georef, *dem, *file);
    note = dem->Note();
  }
  if (!run.Message.empty()) return refuse(run.Message);
  if (PreviewAndAccept(w, map, run.Result) && !note.empty()) w.Host.ShowStatusMessage(note);
}

void CheckHeightsClick(MapWindow& w) {
  AppState& app = w.App;
  if (!MapShown(app)) return;
  const heights::ContourRoles roles = CurrentContourRoles(app);
  const heights::HeightMap map =
      heights::HeightMapFromModel(app.Model, roles, app.Settings.TraceTolerance);
  {
    BusyCursor busy(w.Dialogs);
    app.Heights.Findings = heights::CheckHeights(map, roles);
  }
  app.Heights.CurrentFinding = -1;
  w.Host.ShowStatusMessage(app.Heights.Findings.empty()
                               ? std::string(kNoFindingsMessage)
                               : std::to_string(app.Heights.Findings.size()) +
                                     " contradictions among the heights");
  w.Host.ShowHeightFindings();
}

void ShowFinding(MapWindow& w, std::int32_t index) {
  AppState& app = w.App;
  const std::vector<heights::Finding>& findings = app.Heights.Findings;
  if (index < 0 || static_cast<std::size_t>(index) >= findings.size()) return;
  app.Heights.CurrentFinding = index;
  const heights::Finding& finding = findings[static_cast<std::size_t>(index)];
  const TPair centre = heights::ModelPosition(app.Model, finding.Where);
  app.Model.MapOffsetX = WrapCentre(app.Model, centre.X);
  app.Model.MapOffsetY = WrapCentre(app.Model, centre.Y);
  WriteOffset(app.Model, app.Paths.WorkingCopy);
  // The objects concerned are highlighted like a traced set, so Ins can give them a height.
  MapWindowState& view = app.Window;
  DropTrace(view);
  for (std::int32_t object : finding.Objects)
    if (object >= 0 && static_cast<std::size_t>(object) < app.Model.MapObjects.size())
      view.TracedObjects.push_back(object);
  view.TraceExists = !view.TracedObjects.empty();
  view.TracedObjectCount = static_cast<std::int16_t>(std::min<std::size_t>(view.TracedObjects.size(), 32767));
  if (view.TraceExists)
    view.PickedSymbol = app.Model.MapObjects[static_cast<std::size_t>(view.TracedObjects[0])].Symbol;
  w.Host.Invalidate();
  w.Host.ShowStatusMessage(std::to_string(index + 1) + " of " + std::to_string(findings.size()) +
                           ": " + finding.Reason);
}

void NextFinding(MapWindow& w, std::int32_t step) {
  const auto count = static_cast<std::int32_t>(w.App.Heights.Findings.size());
  if (count == 0) return;
  const std::int32_t current = w.App.Heights.CurrentFinding;
  const std::int32_t next = current < 0 ? (step > 0 ? 0 : count - 1)
                                        : ((current + step) % count + count) % count;
  ShowFinding(w, next);
}

void UndoHeightsClick(MapWindow& w) {
  AppState& app = w.App;
  if (app.Heights.UndoSteps.empty()) {
    w.Host.ShowStatusMessage(kNothingToUndoMessage);
    return;
  }
  const HeightsStep step = std::move(app.Heights.UndoSteps.back());
  app.Heights.UndoSteps.pop_back();
  // The kept bytes go back, not the old heights written anew: a field or tag may hold a height
  // in more than one way, and only its own bytes leave the map as it was.
  RestoreObjectHeights(app.Model, app.Paths.WorkingCopy, step.Before);
  w.Host.Invalidate();
  w.Host.ShowStatusMessage("Heights of " + std::to_string(step.Changes.size()) +
                           " objects taken back");
}

}  // namespace terrak
