#pragma once
// A main window without Qt for the tests: fresh application state in a temporary folder, a
// recording canvas, scripted dialogs and a host that counts repaints and runs the modal
// dialogs' logic through test-supplied steps.
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "mainwindow/app_state.h"
#include "mainwindow/map_window.h"
#include "mainwindow/model_objects.h"
#include "support/recording_canvas.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak::testing {

class FakeHost : public MapWindowHost {
 public:
  int Invalidations = 0;
  int Closes = 0;
  int Placements = 0;
  std::vector<ViewerRequest> ViewerRequests;
  bool ViewerOpens = false;
  std::function<void()> SymbolSelectionDialog = [] {};
  bool SymbolSelectionAccepted = true;  // OK, or Cancel when false
  std::function<void()> ChangeSymbolDialog = [] {};
  std::function<void()> ColourSchemeDialog = [] {};
  std::vector<std::string> StatusMessages;
  PicturePainter* Painter = nullptr;  // what paints the whole map; none by default

  void PlaceWindow(int, int, int, int) override { ++Placements; }
  void Invalidate() override { ++Invalidations; }
  void CloseWindow() override { ++Closes; }
  bool ShowSymbolSelectionDialog() override {
    SymbolSelectionDialog();
    return SymbolSelectionAccepted;
  }
  void ShowChangeSymbolDialog() override { ChangeSymbolDialog(); }
  void ShowColourSchemeDialog() override { ColourSchemeDialog(); }
  void ShowStatusMessage(const std::string& text) override { StatusMessages.push_back(text); }
  std::string LastStatusMessage() const {
    return StatusMessages.empty() ? "(none)" : StatusMessages.back();
  }
  PicturePainter* MapPainter() override { return Painter; }
  bool OpenViewer(const ViewerRequest& request) override {
    ViewerRequests.push_back(request);
    return ViewerOpens;
  }
};

struct WindowFixture {
  TempFolder Folder;
  AppState App;
  RecordingCanvas Canvas{500, 400};
  ScriptedDialogs Dialogs;
  FakeHost Host;
  MapWindow Window{App, Canvas, Dialogs, Host};

  WindowFixture() { App.Paths = Folder.Paths(); }

  // Runs a paint into the recording canvas, forgetting what was drawn before.
  void Paint();
  // Selects symbols with colours, marks a map as open and enables the drawing items.
  void ShowMap(std::initializer_list<TSelectedSymbol> symbols);
  // The symbol selection dialog's logic on the open map: every symbol included, then OK.
  void SelectAllSymbols();
  // Has every showing of the symbol selection dialog select all symbols.
  void SelectAllWhenAsked() { Host.SymbolSelectionDialog = [this] { SelectAllSymbols(); }; }
};

}  // namespace terrak::testing
