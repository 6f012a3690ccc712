#pragma once
// The program's own 3D map file (".o3d"): grid size and origin, the nine viewpoints, the height
// grid and the map bitmap with its palette, rows run-length coded.
#include <string>

#include "grid/grid_state.h"
#include "platform/user_dialogs.h"
#include "viewer/viewpoint.h"

namespace terrak {

inline constexpr const char* kNotA3dMapMessage = "Not a valid 3d Map File";

void Write3dMap(const std::string& fileName, const GridState& grid, const ViewpointBlock& views);

// Reads the file into grid and views. A file that is not a valid 3D map is refused with the
// program's message and leaves both as they were; returns whether the file was read.
bool Read3dMap(const std::string& fileName, GridState& grid, ViewpointBlock& views,
               UserDialogs& dialogs);

}  // namespace terrak
