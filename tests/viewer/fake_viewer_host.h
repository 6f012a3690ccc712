#pragma once
// A viewer window without a window: records what the handlers ask of it.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "viewer/viewer_window.h"

namespace terrak::testing {

class FakeViewerHost : public ViewerHost {
 public:
  std::vector<std::string> Calls;
  std::optional<PageSize> Printer;  // the print dialog's answer
  Picture Printed;
  Rect PrintedRect;
  std::function<void()> ColourDialog;  // what the user does in the colour dialog

  void Invalidate() override { Calls.push_back("invalidate"); }
  void RepaintDirectionWindows() override { Calls.push_back("direction windows"); }
  void OpenCompass() override { Calls.push_back("open compass"); }
  void OpenInclinometer() override { Calls.push_back("open inclinometer"); }
  void OpenOverview() override { Calls.push_back("open overview"); }
  void ShowColourDialog() override {
    Calls.push_back("colour dialog");
    if (ColourDialog) ColourDialog();
  }
  std::optional<PageSize> ChoosePrinter() override {
    Calls.push_back("print dialog");
    return Printer;
  }
  void PrinterSetup() override { Calls.push_back("printer setup"); }
  void PrintPicture(const Picture& picture, const Rect& rect) override {
    Calls.push_back("print");
    Printed = picture;
    PrintedRect = rect;
  }
};

// A grid construction that leaves a given grid.
class FixedConstruction : public GridConstruction {
 public:
  explicit FixedConstruction(GridState grid) : grid_(std::move(grid)) {}
  int Calls = 0;
  bool SawXyz = false;
  void Build(GridState& grid, const ViewerState& viewer) override {
    ++Calls;
    SawXyz = viewer.CreateXyzFile;
    grid = grid_;
  }

 private:
  GridState grid_;
};

}  // namespace terrak::testing
