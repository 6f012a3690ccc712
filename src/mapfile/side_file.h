#pragma once
// A file that a map keeps beside it (OCAD 9's heights) gets the care the map gets: Save knows
// what lay at its name when the map was opened or last saved, asks before it replaces changes of
// another program, and refuses a read-only file or a symbolic link that was not there before.
#include <cstdint>
#include <string>
#include <vector>

#include "mapfile/map_file_stamp.h"

namespace terrak {

struct SideFileState {
  bool Exists = false;   // something lay at the name
  std::string Resolved;  // the file its symbolic links led to (the name itself without links)
  MapFileStamp Stamp;    // its contents, when it was read or written
};

// What lies at name now, without reading it. Throws FileError when its links lead round in a
// circle.
SideFileState ExamineSideFile(const std::string& name);

// Throws FileError when the side file at name may not be replaced: it is read-only, or it is a
// symbolic link other than the one known (known == nullptr: no link is followed, as for Save As,
// which writes beside a map name it has not opened).
void RefuseUnsafeSideFile(const std::string& name, const SideFileState* known);

// Whether the contents at name are no longer those known: one was made, or its bytes changed
// (a side file removed since loses nothing when it is written anew).
bool SideFileChanged(const std::string& name, const SideFileState& known);

// The state of a side file just written with bytes.
SideFileState SideFileWritten(const std::string& name, const std::vector<std::uint8_t>& bytes);

inline constexpr const char* kReadOnlySideFileReason =
    "it is read-only; Save As can save the map with it under another name";

}  // namespace terrak
