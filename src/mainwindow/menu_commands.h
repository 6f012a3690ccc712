#pragma once
// One entry for every menu item of the main window: the Qt window calls it when an enabled item
// is chosen, tests call it to act as the user would.
#include "mainwindow/map_window.h"

namespace terrak {

void MenuItemClick(MapWindow& w, MenuItem item);

}  // namespace terrak
