#pragma once
// Moving the viewpoint: the preset views, the step items, the arrow keys, "On the ground", and
// saving and loading the location through the settings.
#include <cstdint>

#include "terrain/grid_state.h"
#include "mapfile/map_model.h"
#include "mapfile/settings.h"
#include "viewer/viewer_state.h"

namespace terrak {

enum class ArrowKey { Up, Down, Left, Right };

struct KeyModifiers {
  bool Shift = false;
  bool Ctrl = false;
  bool Alt = false;
};

// What a command asks to be repainted: nothing, the 3D view, or the 3D view and the open
// compass and inclinometer.
enum class Refresh { None, View, ViewAndDirection };

// The whole preset record becomes the current viewpoint.
void ChoosePreset(ViewerState& viewer, ViewpointIndex preset);

// F1, F2, F3: metres per move and degrees per turn (F3 turns by 45, not 100).
void SetSteps(ViewerState& viewer, std::int32_t moveStep, std::int32_t turnStep);
inline void Move1Metre(ViewerState& viewer) { SetSteps(viewer, 1, 1); }
inline void Move10Metres(ViewerState& viewer) { SetSteps(viewer, 10, 10); }
inline void Move100Metres(ViewerState& viewer) { SetSteps(viewer, 100, 45); }

// z := the ground under the eye plus 2 m on the grid, 0 off it.
void ApplyGroundRule(TViewPoint& view, const GridState& grid);

// MoveStep metres in the direction bearing + offset degrees (then the ground rule when on).
void MoveViewpoint(ViewerState& viewer, const GridState& grid, double offset);

// The arrow keys with Shift (tilt), Ctrl (sideways, up and down) or neither (move and turn).
Refresh FormKeyDown(ViewerState& viewer, const GridState& grid, ArrowKey key,
                    KeyModifiers modifiers);

// "On the ground": unchecks and switches off when checked (no repaint); otherwise applies the
// ground rule, checks and switches on, and asks for a repaint.
Refresh OnTheGroundClick(ViewerState& viewer, const GridState& grid);

// Save Location stores the rounded viewpoint in the settings and marks the map as changed;
// Load Location takes it back (the picture centre and spare word stay).
void SaveLocation(const ViewerState& viewer, Settings& settings, MapModel& model);
void LoadLocation(ViewerState& viewer, const Settings& settings);

}  // namespace terrak
