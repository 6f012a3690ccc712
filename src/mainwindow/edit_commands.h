#pragma once
// The Edit and View menu handlers of the main window that are not zoom or file handling.
#include "mainwindow/map_window.h"

namespace terrak {

inline constexpr const char* kClearHeightsQuestion =
    "This will change all heights on this map to zero, are you sure?";

void AddsymbolsClick(MapWindow& w);
void ElevationsClick(MapWindow& w);
void ChangeTypeClick(MapWindow& w);
void TraceToleranceClick(MapWindow& w);
void ChangeColourSchemeClick(MapWindow& w);
void Changeallheights1Click(MapWindow& w);
void RedrawClick(MapWindow& w);
void ToggleViewClick(MapWindow& w);
// Show Whole Map: on or off, remembered at once in the settings file.
void ShowWholeMapClick(MapWindow& w);

}  // namespace terrak
