#pragma once
// Reading the heights file beside an OCAD 9 map (see height_sidecar.h) with the care the map
// gets: only a regular file is read, its first line is checked before the rest, and a file far
// larger than any map's heights is refused before it is read.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mapfile/side_file.h"

namespace terrak::ocad9 {

struct HeightSidecarRead {
  std::optional<std::vector<std::uint8_t>> Bytes;  // nothing when there is no heights file
  SideFileState State;                              // what lay at the name, for Save
};

// Reads the heights file name beside a version 9 map of mapSize bytes. Anything at the name that
// cannot be read as a heights file (a folder, a fifo, a link that leads nowhere or round in a
// circle, a file that is not one or is far too large) refuses the map with MapFormatError, naming
// the file and saying what was found: opening without its heights would let Save lose them.
HeightSidecarRead ReadHeightSidecarFile(const std::string& name, std::int64_t mapSize);

// A heights file holds at most one line per index entry of its map, each shorter than the
// entry itself: twice the map's size and this much more are far beyond any real one.
inline constexpr std::int64_t kHeightSidecarSlack = 1 << 16;

}  // namespace terrak::ocad9
