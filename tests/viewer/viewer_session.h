#pragma once
// Everything one viewer window works with, held together for a test.
#include "fake_viewer_host.h"
#include "support/scripted_dialogs.h"
#include "viewer/viewer_commands.h"
#include "viewer_fixtures.h"

namespace terrak::testing {

struct ViewerSession {
  ViewerState Viewer;
  GridState Grid;
  MapModel Model;
  terrak::Settings Settings;
  ScriptedDialogs Dialogs;
  FakeViewerHost Host;
  FixedConstruction Construction;
  ViewerWindow Window{Viewer, Grid, Model, Settings, Dialogs, Host, Construction};

  explicit ViewerSession(GridState built = FlatGrid(40, 30, 1000)) : Construction(std::move(built)) {
    Model.MapScale = 10000;
  }
  // Opens on the map and paints once at the given client size.
  void OpenOnMap(std::int32_t width = 160, std::int32_t height = 140) {
    OpenViewerOnMap(Viewer);
    FormActivate(Window);
    FormPaint(Window, width, height);
  }
  // Opens on the map and switches to the mesh, whose first paint builds the grid.
  void OpenOnMesh() {
    OpenOnMap();
    ToggleWiremeshWeddingcake1Click(Window);
    FormPaint(Window, 160, 140);
  }
};

}  // namespace terrak::testing
