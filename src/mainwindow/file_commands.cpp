#include "mainwindow/file_commands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "mainwindow/height_tag_choice.h"
#include "mainwindow/heights_commands.h"
#include "mainwindow/interrupted_save.h"
#include "mainwindow/tracing.h"
#include "mapfile/map_file_names.h"
#include "mapfile/map_formats.h"
#include "mapfile/map_reader.h"
#include "mapfile/map_writer.h"
#include "mapfile/ocad_file.h"
#include "mapfile/settings_io.h"

namespace terrak {

namespace {

constexpr const char* kNoFile = "nofile";

void SetFileItems(MenuState& menu, bool enabled) {
  for (MenuItem item : {MenuItem::Savemap, MenuItem::saveasmap, MenuItem::Addsymbols})
    menu.Enable(item, enabled);
}

// Where the file dialogs start: the open map's folder, or the samples before any map is open.
std::string FileDialogFolder(const AppState& app) {
  if (!app.Window.MapOpen()) return app.Paths.SamplesFolder;
  return std::filesystem::path(app.Window.OpenMapName).parent_path().string();
}

// Writes the working copy and the settings; a failure leaves the map marked as changed.
template <typename Save>
void SaveWithSettings(AppState& app, UserDialogs& dialogs, Save save) {
  BusyCursor busy(dialogs);
  try {
    save();
    SaveSettings(app.Settings, app.Model, app.Paths.SettingsFile);
  } catch (...) {
    app.Model.MapModified = true;
    throw;
  }
}

}  // namespace

void FormCreate(MapWindow& w) {
  AppState& app = w.App;
  app.Model.MapModified = false;
  app.Window.ProceedWithOpen = true;
  w.Host.PlaceWindow(50, 100, 500, 400);
  app.Model.SymbolsSelected = false;
  LoadSettings(app.Settings, app.Model, app.Paths.SettingsFile, w.Dialogs);
  app.WholeMap.Shown = ShowWholeMapSetting(app.Settings);
  app.Menu.Check(MenuItem::ShowWholeMap, app.WholeMap.Shown);
  if (app.Model.MapFileName != kNoFile) {
    OpenMapInWindow(w);
    LoadSelectedObjects(w);
  }
}

bool OpenMapInWindow(MapWindow& w) {
  AppState& app = w.App;
  // A rejected name must not stay: Save would write the previous map over that file. The
  // working copy still holds the previous map then (it is replaced only by a complete copy).
  const auto keepPreviousName = [&app] {
    app.Model.MapFileName = app.Window.MapOpen() ? app.Window.OpenMapName : kNoFile;
  };
  OpenResult result = OpenResult::Missing;
  try {
    // A save killed half-way is finished or discarded first, or the map is not opened at all.
    if (OfferToFinishInterruptedSaves(app.Model.MapFileName, app.Paths.CacheFolder, w.Dialogs)) {
      BusyCursor busy(w.Dialogs);
      result = OpenMapFile(app.Model, app.Paths.WorkingCopy, w.Dialogs);
    }
  } catch (...) {
    keepPreviousName();
    throw;
  }
  if (result == OpenResult::Opened) {
    app.Window.OpenMapName = app.Model.MapFileName;
    ChooseHeightTagAtOpening(w);
    SelectContoursWithHeights(app);
  } else {
    keepPreviousName();
  }
  SetFileItems(app.Menu, app.Window.MapOpen());
  EnableDrawingItems(app.Menu, false);
  UncheckZoomItems(app.Menu);
  app.Model.MapModified = false;
  return result == OpenResult::Opened;
}

void LoadSelectedObjects(MapWindow& w) {
  AppState& app = w.App;
  // The traced set, the preview and the undo steps index the objects about to be replaced.
  DropTrace(app.Window);
  ForgetHeightsHistory(app);
  if (!app.Model.SymbolsSelected || !app.Window.MapOpen()) {
    // No objects are read, and none of an earlier map or selection are kept for the viewer.
    app.Model.MapObjects.clear();
    app.Model.ObjectCoords.clear();
    EnableDrawingItems(app.Menu, false);
    return;
  }
  {
    BusyCursor busy(w.Dialogs);
    ReadObjects(app.Model, app.Paths.WorkingCopy);
  }
  EnableDrawingItems(app.Menu, true);
  UncheckZoomItems(app.Menu);
  app.Menu.Enable(ZoomItemOf(app.Model.MapZoom), false);
  app.Menu.Check(ZoomItemOf(app.Model.MapZoom), true);
}

void OpenmapClick(MapWindow& w) {
  AppState& app = w.App;
  if (app.Model.MapModified) {
    switch (w.Dialogs.Message(SaveChangesQuestion(app), MessageType::Confirmation,
                              DialogButton::Yes | DialogButton::No | DialogButton::Cancel)) {
      case DialogButton::Yes:
        SavemapClick(w);
        break;
      case DialogButton::No:
        app.Window.ProceedWithOpen = true;
        break;
      default:
        app.Window.ProceedWithOpen = false;
        break;
    }
  }
  if (!app.Window.ProceedWithOpen) return;
  FileDialogOptions options;
  options.DefaultExtension = "ocd";
  options.Filter = OpenMapFilter();  // every map the program reads
  options.InitialFolder = FileDialogFolder(app);
  const std::optional<std::string> name = w.Dialogs.OpenFileName(options);
  if (!name) return;
  app.Model.MapFileName = *name;
  if (app.Window.TraceExists) {
    app.Window.TraceExists = false;
    app.Window.TracedObjects.clear();
  }
  // A file that fails to open leaves the open map as it was, changes and all.
  const bool wasModified = app.Model.MapModified;
  const bool opened = OpenMapInWindow(w);
  LoadSelectedObjects(w);
  w.Host.Invalidate();
  app.Model.MapModified = opened || wasModified;
}

void SavemapClick(MapWindow& w) {
  AppState& app = w.App;
  app.Model.MapModified = false;
  app.Window.ProceedWithOpen = true;
  // Without an open map the working copy holds nothing that belongs to MapFileName.
  if (!app.Window.MapOpen()) return;
  SaveWithSettings(app, w.Dialogs, [&] {
    SaveMap(app.Model, app.Paths.WorkingCopy, w.Dialogs, {app.Paths.CacheFolder});
  });
  w.Host.ShowStatusMessage("Saved " + app.Model.MapFileName);
}

void saveasmapClick(MapWindow& w) {
  AppState& app = w.App;
  if (!app.Window.MapOpen()) return;
  FileDialogOptions options;
  options.Filter = SaveAsFilter(app.Model.MapFileName);
  options.AskBeforeOverwrite = true;
  options.InitialFolder = FileDialogFolder(app);
  options.ProposedName = app.Model.MapFileName;
  const std::optional<std::string> name = w.Dialogs.SaveFileName(options);
  if (!name) return;
  const std::string previous = app.Model.MapFileName;
  app.Model.MapFileName = *name;
  app.Model.MapModified = false;
  app.Window.ProceedWithOpen = true;
  SaveWithSettings(app, w.Dialogs, [&] {
    try {
      SaveMapAs(app.Model, app.Paths.WorkingCopy, {app.Paths.CacheFolder});
    } catch (...) {
      app.Model.MapFileName = previous;
      throw;
    }
    app.Window.OpenMapName = *name;
  });
  w.Host.ShowStatusMessage("Saved " + app.Model.MapFileName);
}

void exitClick(MapWindow& w) {
  // The window's closing asks about unsaved changes, as it does for every other way out.
  w.Host.CloseWindow();
}

std::string SaveChangesQuestion(const AppState& app) {
  if (!app.Window.MapOpen()) return kSaveChangesQuestion;
  return "Save changes to \"" + std::filesystem::path(app.Window.OpenMapName).filename().string() +
         "\"?";
}

bool FormClose(MapWindow& w) {
  if (!w.App.Model.MapModified) return true;
  switch (w.Dialogs.Message(SaveChangesQuestion(w.App), MessageType::Confirmation,
                            DialogButton::Yes | DialogButton::No | DialogButton::Cancel)) {
    case DialogButton::Yes:
      SavemapClick(w);  // a failure goes up and keeps the window open
      return true;
    case DialogButton::No:
      return true;
    default:
      return false;
  }
}

void FormDestroy(AppState& app) {
  FreeSymbolLists(app.Model);
  if (app.Window.TraceExists) {
    app.Window.TracedObjects.clear();
    app.Window.TraceExists = false;
  }
}

void Open3DmapClick(MapWindow& w) {
  FileDialogOptions options;
  options.DefaultExtension = ".o3d";
  options.Filter = "Ocad 3d Map (.o3d)|*.o3d";
  options.InitialFolder = FileDialogFolder(w.App);
  options.ProposedName = Proposed3dMapName(w.App.Model.MapFileName);
  const std::optional<std::string> name = w.Dialogs.OpenFileName(options);
  if (!name) return;
  if (w.Host.OpenViewer({true, *name})) ViewerOpened(w.App.Menu);
}

void WeddingCake1Click(MapWindow& w) {
  if (w.Host.OpenViewer({false, ""})) ViewerOpened(w.App.Menu);
}

void ViewerOpened(MenuState& menu) {
  menu.Enable(MenuItem::N3DViews1, false);
  menu.Enable(MenuItem::Open3Dmap, false);
}

void ViewerClosed(MenuState& menu) {
  menu.Enable(MenuItem::N3DViews1, true);
  menu.Enable(MenuItem::Open3Dmap, true);
}

}  // namespace terrak
