#pragma once
// Everything the running program keeps: one instance, created by the program entry (or a test)
// and handed by reference to every handler. There is no other program-wide state.
#include <array>
#include <cstdint>
#include <string>

#include "terrain/grid_state.h"
#include "mainwindow/heights_state.h"
#include "mainwindow/map_window_state.h"
#include "mainwindow/menu_state.h"
#include "mainwindow/whole_map_paint.h"
#include "mapfile/map_model.h"
#include "mapfile/settings.h"
#include "platform/system_paths.h"
#include "viewer/viewer_state.h"

namespace terrak {

struct StatusBarState {
  std::array<std::string, 5> Panels;
  bool Visible = false;  // the bar starts hidden and shows at the first status update
};

struct AppState {
  SystemPaths Paths;
  MapModel Model;
  terrak::Settings Settings;
  GridState Grid;
  ViewerState Viewer;  // the 3D viewer's state; Ray Trace Mode lasts the whole run
  MapWindowState Window;
  MenuState Menu = InitialMenuState();
  StatusBarState StatusBar;
  HeightsState Heights;
  WholeMapState WholeMap;  // the map's own drawing and its picture at the last view
  // The symbol last clicked in the change symbol type dialog; kept between its uses.
  std::int32_t ChosenSymbol = 0;
};

}  // namespace terrak
