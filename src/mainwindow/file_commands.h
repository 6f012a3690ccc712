#pragma once
// Start, opening, saving and closing: the File menu of the main window and its form events.
#include <string>

#include "mainwindow/map_window.h"
#include "mainwindow/menu_state.h"

namespace terrak {

inline constexpr const char* kSaveChangesQuestion = "Save changes?";
// The open dialog offers every map the program reads.
inline constexpr const char* kOpenMapFilter = "Maps|*.ocd *.omap *.xmap";

// The window is shown: place it, load the settings, open the last map.
void FormCreate(MapWindow& w);
void OpenMapInWindow(MapWindow& w);
void LoadSelectedObjects(MapWindow& w);

void OpenmapClick(MapWindow& w);
void SavemapClick(MapWindow& w);
void saveasmapClick(MapWindow& w);
void exitClick(MapWindow& w);
// The window is about to close; returns whether it may. A failed save keeps it open, so the
// changes are not lost.
bool FormClose(MapWindow& w);
void FormDestroy(AppState& app);

// "Open 3D map" and "3D-Views": both open the 3D viewer through the window's hook.
void Open3DmapClick(MapWindow& w);
void WeddingCake1Click(MapWindow& w);
// One viewer at a time: while it is open neither item can start another.
void ViewerOpened(MenuState& menu);
void ViewerClosed(MenuState& menu);

// The file name proposed by "Open 3D map": the map's name with a final ".ocd", ".omap" or ".xmap"
// (in any letter case) replaced by ".o3d", or with ".o3d" added when it has none of them; empty
// when no map is named.
std::string Proposed3dMapName(const std::string& mapFileName);
// The file name's extension in lower case (".omap"), empty when it has none.
std::string LowerExtension(const std::string& fileName);

}  // namespace terrak
