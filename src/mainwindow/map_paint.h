#pragma once
// Painting the main window: the welcome screen, or the objects of the selected symbols with the
// traced set highlighted, and the status bar.
#include <array>
#include <optional>
#include <string>

#include "common/colour.h"
#include "mainwindow/map_window.h"

namespace terrak {

// True when the window draws the map rather than the welcome screen: symbols are selected and a
// map is open (with no map there is nothing to draw, whatever the settings selected).
bool MapShown(const AppState& app);

// Paint and resize: the whole picture, from the client size of the canvas.
void FormPaint(MapWindow& w);

void DrawWelcomeScreen(Canvas& canvas);
void DrawMap(MapWindow& w);
void UpdateStatusBar(AppState& app);
// The five panels: symbol, picks, objects, zoom and height, each number right-aligned in its
// field.
std::array<std::string, 5> StatusPanelTexts(const MapWindowState& view);
// The longest text each panel can show (its numbers at their widest).
std::array<std::string, 5> WidestStatusPanelTexts();

// The pen colour of an object: by its height with "Toggle View" on, else the colour of its
// selected symbol; nothing when the symbol is not selected (the pen keeps its colour).
std::optional<Colour> ObjectPenColour(const AppState& app, std::int32_t symbol, bool hasHeight);

}  // namespace terrak
