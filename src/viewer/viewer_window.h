#pragma once
// What the 3D viewer's handlers work with: the shared state, the user's dialogs, the grid
// construction of the first mesh paint, and the few services only the window can give (repaint,
// its tool windows, the modal colour dialog, the printer). The Qt window implements ViewerHost;
// tests use a fake.
#include <cstdint>
#include <optional>

#include "grid/grid_state.h"
#include "mapfile/map_model.h"
#include "mapfile/settings.h"
#include "platform/canvas.h"
#include "platform/user_dialogs.h"
#include "viewer/paint.h"
#include "viewer/picture.h"
#include "viewer/viewer_state.h"

namespace terrak {

struct PageSize {
  std::int32_t Width = 0;  // printer pixels
  std::int32_t Height = 0;
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
  // One print job: the picture stretched into rect on the page.
  virtual void PrintPicture(const Picture& picture, const Rect& rect) = 0;
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
