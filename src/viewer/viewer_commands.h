#pragma once
// The 3D viewer's handlers: opening and closing, the paint, the View and movement menus, the
// keys, and the Edit menu's outputs and options. Each changes state and asks the host for what
// must be repainted; pictures are drawn only by the paint.
#include <cstdint>
#include <string>

#include "viewer/movement.h"
#include "viewer/viewer_window.h"

namespace terrak {

// How the viewer is opened: "3D-Views" on the loaded map (the grid is built at the first mesh
// paint), or "Open 3D map" on a 3D map file (read when the window is shown, drawn draped).
void OpenViewerOnMap(ViewerState& viewer);
void OpenViewerOn3dMap(ViewerState& viewer, GridState& grid, const std::string& fileName);

// The show event: fresh window state, then the 3D map file read or the viewpoints placed around
// the map, then the depth colours.
void FormActivate(ViewerWindow& w);
// The paint: the picture fills the client area less the 20-pixel status bar.
void FormPaint(ViewerWindow& w, std::int32_t clientWidth, std::int32_t clientHeight);
// Closing frees the picture buffers; the main window enables "3D-Views" again.
void FormClose(ViewerWindow& w);

// View menu.
void PresetClick(ViewerWindow& w, ViewpointIndex preset);  // N, S, E, W, NE, SE, NW, SW
void ToggleZBuffer1Click(ViewerWindow& w);
void ShowbitmapClick(ViewerWindow& w);
void RayTraceMode1Click(ViewerWindow& w);  // no repaint: the next paint uses it
void ToggleWiremeshWeddingcake1Click(ViewerWindow& w);
void Compass1Click(ViewerWindow& w);
void Inclinometer1Click(ViewerWindow& w);
void CompassClosed(ViewerWindow& w);
void InclinometerClosed(ViewerWindow& w);

// Options submenu.
void Smoothing1Click(ViewerWindow& w);
void Smoothingpasses1Click(ViewerWindow& w);
void GridInterval1Click(ViewerWindow& w);
void ContourGap1Click(ViewerWindow& w);
void CreateXYZfileofcontours1Click(ViewerWindow& w);
void Creatematrixofwholegrid1Click(ViewerWindow& w);

// movement menu and keys.
void StepClick(ViewerWindow& w, std::int32_t moveStep, std::int32_t turnStep);
void Ontheground1Click(ViewerWindow& w);
void FormKeyDown(ViewerWindow& w, ArrowKey key, KeyModifiers modifiers);

// Edit menu.
void Colours1Click(ViewerWindow& w);
void Print1Click(ViewerWindow& w);
void PrinterSetup1Click(ViewerWindow& w);
void SaveBitmap1Click(ViewerWindow& w);
void SaveLocation1Click(ViewerWindow& w);
void LoadLocation1Click(ViewerWindow& w);
void Save3dMapClick(ViewerWindow& w);
void Show2Dmap1Click(ViewerWindow& w);

// The picture at the output size of Print and Save Bitmap (the window is not repainted).
const Picture& RenderOutputPicture(ViewerWindow& w);

}  // namespace terrak
