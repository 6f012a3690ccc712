#pragma once
// A viewer window without a window: records what the handlers ask of it.
#include <functional>
#include <memory>
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
  // The export's options step: the kinds asked for, and what the user does (OK when unset).
  std::vector<ExportKind> OptionKinds;
  std::function<bool(ExportChoices&)> ExportOptions;
  // The export's progress window: its captions, the fractions shown, whether one is open, and
  // the fraction from which on the user has pressed Cancel.
  std::vector<std::string> ProgressCaptions;
  std::vector<double> ProgressShown;
  bool ProgressOpen = false;
  double CancelFrom = 2.0;
  std::vector<std::string> StatusMessages;

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
  bool ChooseExportOptions(ExportKind kind, ExportChoices& choices) override {
    Calls.push_back("export options");
    OptionKinds.push_back(kind);
    return ExportOptions ? ExportOptions(choices) : true;
  }
  void ShowStatusMessage(const std::string& text) override { StatusMessages.push_back(text); }
  std::unique_ptr<ExportProgressWindow> OpenExportProgress(const std::string& caption) override {
    Calls.push_back("export progress");
    ProgressCaptions.push_back(caption);
    return std::make_unique<Window>(*this);
  }

 private:
  class Window : public ExportProgressWindow {
   public:
    explicit Window(FakeViewerHost& host) : host_(host) { host_.ProgressOpen = true; }
    ~Window() override { host_.ProgressOpen = false; }
    bool Report(double fraction) override {
      host_.ProgressShown.push_back(fraction);
      return fraction < host_.CancelFrom;
    }

   private:
    FakeViewerHost& host_;
  };
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
