#pragma once
// Where the program keeps its files on the desktop, from the standard places (XDG folders).
#include "platform/system_paths.h"

namespace terrak {

// The working copy and the cache go into "terrak" folders of the data and cache places, the
// settings file into the configuration place, exports into the home folder; the folders are
// created when missing. samplesFolder is the first folder of the Open dialog.
SystemPaths DesktopSystemPaths(const std::string& samplesFolder);

}  // namespace terrak
