#pragma once
// Notes that depend on where the terrain came from rather than on one export.
#include <algorithm>
#include <string>
#include <vector>

namespace terrak {

inline constexpr const char* kMap3dNoGeoreferencingNote =
    "A 3D map file carries no georeferencing: the terrain lies in the map's ground metres, "
    "without a coordinate system";

// The notes without every copy of note (said once elsewhere already).
inline std::vector<std::string> WithoutNote(std::vector<std::string> notes,
                                            const std::string& note) {
  notes.erase(std::remove(notes.begin(), notes.end(), note), notes.end());
  return notes;
}

}  // namespace terrak
