#pragma once
// The main window's caption: which map is open and whether it has unsaved changes, as desktop
// programs show it in the title bar.
#include <string>

#include "mainwindow/app_state.h"

namespace terrak {

inline constexpr const char* kMainWindowCaption = "Terrak-7 Ocad utility";

// "demo.ocd* - Terrak-7 Ocad utility": the open map's file name, a "*" while it has unsaved
// changes, then the program's caption; the caption alone while no map is open.
std::string MainWindowCaption(const AppState& app);

}  // namespace terrak
