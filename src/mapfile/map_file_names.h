#pragma once
// The names the program proposes beside a map file, by the map's kind: the 3D map file and the
// filter of Save As, which keeps the map in its own format.
#include <string>

namespace terrak {

// The extension of fileName with its dot, in lower case ("" when it has none).
std::string LowerExtension(const std::string& fileName);

// The 3D map file proposed for a map: its name with ".o3d" for ".ocd", ".omap" and ".xmap" (in
// any case), the map's name with ".o3d" added otherwise; "" for no map ("nofile").
std::string Proposed3dMapName(const std::string& mapFileName);

// The Save As filter of a map: its own extension when a format of the registry has it, else
// ".ocd".
std::string SaveAsFilter(const std::string& mapFileName);

}  // namespace terrak
