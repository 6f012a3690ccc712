#pragma once
// What the 3D viewer's handlers work with: the shared state, the user's dialogs, the grid
// construction of the first mesh paint, and the few services only the window can give (repaint,
// its tool windows, the modal colour dialog, the printer). The Qt window implements ViewerHost;
// tests use a fake.
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "terrain/grid_state.h"
#include "mapfile/map_model.h"
#include "mapfile/settings.h"
#include "platform/canvas.h"
#include "platform/user_dialogs.h"
#include "viewer/export_choices.h"
#include "viewer/paint.h"
#include "viewer/picture.h"
#include "viewer/viewer_state.h"

namespace terrak {

inline constexpr const char* kPrintNotStartedMessage = "The printer could not start printing.";
inline constexpr const char* kPrintFailedMessage =
    "Printing failed: the printer reported an error, so the page may be missing or incomplete.";

class PrintError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct PageSize {
  std::int32_t Width = 0;  // printer pixels
  std::int32_t Height = 0;
};

// A window that shows how far a long export has come, with a Cancel button; it closes when the
// object goes.
class ExportProgressWindow {
 public:
  virtual ~ExportProgressWindow() = default;
  // Shows the fraction done (0 to 1); false once the user has pressed Cancel.
  virtual bool Report(double fraction) = 0;
};

class ViewerHost {
 public:
  virtual ~ViewerHost() = default;
  // Asks for a repaint of the 3D view: the window runs FormPaint and shows the picture.
  virtual void Invalidate() = 0;
  // Repaints the compass and the inclinometer, those of them that are open.
  virtual void RepaintDirectionWindows() = 0;
  // Create and show the tool windows, not modal; each enables its item again when it closes.
  virtual void OpenCompass() = 0;
  virtual void OpenInclinometer() = 0;
  virtual void OpenOverview() = 0;
  // The 3D colour dialog, modal.
  virtual void ShowColourDialog() = 0;
  // The print dialog: the page size of the chosen printer, nothing when cancelled.
  virtual std::optional<PageSize> ChoosePrinter() = 0;
  virtual void PrinterSetup() = 0;
  // One print job: the picture stretched into rect on the page. A printer that cannot start
  // or that fails the job throws PrintError.
  virtual void PrintPicture(const Picture& picture, const Rect& rect) = 0;
  // The options step of an export, modal: the choices of that kind, changed by the user; false
  // when cancelled.
  virtual bool ChooseExportOptions(ExportKind kind, ExportChoices& choices) = 0;
  // Shows a progress window for an export until the returned object goes.
  virtual std::unique_ptr<ExportProgressWindow> OpenExportProgress(const std::string& caption) = 0;
  // A short message in the status bar, kept until the user's next action ("Saved ...").
  virtual void ShowStatusMessage(const std::string&) {}
};

struct ViewerWindow {
  ViewerState& Viewer;
  GridState& Grid;
  MapModel& Model;
  terrak::Settings& Settings;
  UserDialogs& Dialogs;
  ViewerHost& Host;
  GridConstruction& Construction;
  PaintOptions Paint{};

  PaintScene Scene() { return {Viewer, Grid, Model, Settings, Construction}; }
};

}  // namespace terrak
