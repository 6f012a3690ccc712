#pragma once
// The program's own 3D map file (".o3d"): grid size and origin, the nine viewpoints, the height
// grid and the map bitmap with its palette, rows run-length coded.
#include <string>

#include "terrain/grid_state.h"
#include "platform/user_dialogs.h"
#include "terrain/viewpoint.h"

namespace terrak {

inline constexpr const char* kNotA3dMapMessage = "Not a valid 3d Map File";

// Writes columns 0..GridWidth-1 and rows 0..GridHeight-1 through a temporary file renamed over
// fileName, so a failed write never leaves half a file. Throws std::invalid_argument for a grid
// the file cannot hold (Map3dHeightsNotHeld says when its heights are the reason) and FileError
// when the file cannot be written.
void Write3dMap(const std::string& fileName, const GridState& grid, const ViewpointBlock& views);

// Reads the file into grid and views. A file that is not a valid 3D map is refused with the
// program's message and leaves both as they were; returns whether the file was read. A missing
// or unreadable file raises FileError.
bool Read3dMap(const std::string& fileName, GridState& grid, ViewpointBlock& views,
               UserDialogs& dialogs);

}  // namespace terrak
