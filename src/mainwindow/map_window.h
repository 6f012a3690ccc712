#pragma once
// What the main window's handlers work with: the application state, the window's picture, the
// user's dialogs, and the few services only the window itself can give (repaint, close, the
// modal dialogs, the 3D viewer). The Qt window implements MapWindowHost; tests use a fake.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "mainwindow/app_state.h"
#include "export/dem_source.h"
#include "mainwindow/contour_settings_question.h"
#include "platform/canvas.h"
#include "platform/user_dialogs.h"

namespace terrak {

class PicturePainter;
struct HeightTagQuestion;

// How the 3D viewer is to be opened: on the loaded map (a grid is built from it), or on a
// 3D map file.
struct ViewerRequest {
  bool FromMap3dFile = false;
  std::string Map3dFileName;
};

class MapWindowHost {
 public:
  virtual ~MapWindowHost() = default;

  virtual void PlaceWindow(int left, int top, int width, int height) = 0;
  // Asks for a repaint: the window runs FormPaint into its picture once the handler is done.
  virtual void Invalidate() = 0;
  virtual void CloseWindow() = 0;

  // The three modal dialogs: created, shown modally and destroyed. The symbol selection says
  // whether it closed with OK.
  virtual bool ShowSymbolSelectionDialog() = 0;
  virtual void ShowChangeSymbolDialog() = 0;
  virtual void ShowColourSchemeDialog() = 0;

  // The hook through which the 3D viewer is opened, not modal. Returns whether a viewer window
  // opened; the viewer enables "3D-Views" again when it closes.
  virtual bool OpenViewer(const ViewerRequest& request) = 0;

  // Asks which tag holds a Mapper map's heights (HeightTagRows, the proposed row first
  // selected); nothing when the user cancels. Without a window nothing is asked.
  virtual std::optional<std::size_t> AskHeightTag(const HeightTagQuestion&) { return std::nullopt; }

  // The Contour Settings dialog, filled from the question; its answer, or nothing when the
  // user cancels. Without a window nothing is asked.
  virtual std::optional<ContourSettingsQuestion> AskContourSettings(
      const ContourSettingsQuestion&) {
    return std::nullopt;
  }

  // A short message in the status bar, kept until the user's next action: what a command did
  // ("Saved ...") or why it did nothing. Without a window nothing is shown.
  virtual void ShowStatusMessage(const std::string&) {}

  // Puts the picture drawn so far on the screen at once, for a question asked about it while
  // a handler runs (a preview). Without a window nothing is shown.
  virtual void ShowPictureNow() {}

  // Shows the list of App.Heights.Findings, whose Next and Previous call NextFinding. Without
  // a window nothing is shown.
  virtual void ShowHeightFindings() {}

  // The DEM a file holds, for a map placed by georef: read through GDAL; tests give their own.
  virtual std::unique_ptr<heights::DemSource> OpenDem(const std::string& file,
                                                      const Georeferencing& georef) {
    return OpenDemFile(file, georef);
  }

  // What paints the whole map's drawing into pixels; without one the whole map is not shown.
  virtual PicturePainter* MapPainter() { return nullptr; }
};

struct MapWindow {
  AppState& App;
  Canvas& Picture;
  UserDialogs& Dialogs;
  MapWindowHost& Host;
};

}  // namespace terrak
