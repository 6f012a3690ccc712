#pragma once
// Start, opening, saving and closing: the File menu of the main window and its form events.
#include <string>

#include "mainwindow/map_window.h"
#include "mainwindow/menu_state.h"

namespace terrak {

// Asked before unsaved changes would be lost; it names the open map when there is one.
inline constexpr const char* kSaveChangesQuestion = "Save changes?";
std::string SaveChangesQuestion(const AppState& app);

// The window is shown: place it, load the settings, open the last map.
void FormCreate(MapWindow& w);
// Returns whether the map opened; when it did not, the previous map stays open.
bool OpenMapInWindow(MapWindow& w);
void LoadSelectedObjects(MapWindow& w);

void OpenmapClick(MapWindow& w);
void SavemapClick(MapWindow& w);
void saveasmapClick(MapWindow& w);
// Closes the window, which asks about unsaved changes.
void exitClick(MapWindow& w);
// The window is about to close, by "Exit" or by the window's own button; returns whether it may.
// Unsaved changes are asked about once, with Cancel; a failed save keeps it open, so the changes
// are not lost.
bool FormClose(MapWindow& w);
void FormDestroy(AppState& app);

// "Open 3D map" and "3D-Views": both open the 3D viewer through the window's hook.
void Open3DmapClick(MapWindow& w);
void WeddingCake1Click(MapWindow& w);
// One viewer at a time: while it is open neither item can start another.
void ViewerOpened(MenuState& menu);
void ViewerClosed(MenuState& menu);

}  // namespace terrak
