#include "mapfile/map_file_names.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "mapfile/map_formats.h"

namespace terrak {

std::string LowerExtension(const std::string& fileName) {
  std::string extension = std::filesystem::path(fileName).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

std::string Proposed3dMapName(const std::string& mapFileName) {
  if (mapFileName == "nofile") return "";
  const std::string extension = LowerExtension(mapFileName);
  if (IsMapExtension(extension))
    return mapFileName.substr(0, mapFileName.size() - extension.size()) + ".o3d";
  // ".ocd" also by its last four characters, so a name that is only ".ocd" loses it too.
  const std::size_t n = mapFileName.size();
  if (n >= 4) {
    std::string tail = mapFileName.substr(n - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (tail == ".ocd") return mapFileName.substr(0, n - 4) + ".o3d";
  }
  // Never the map's own name: the dialog would offer the map itself.
  return mapFileName + ".o3d";
}

std::string SaveAsFilter(const std::string& mapFileName) {
  const std::string extension = LowerExtension(mapFileName);
  if (IsMapExtension(extension)) return extension + "|*" + extension;
  // Any other name: the first format's usual extension.
  const std::string usual = MapFormatRegistry().front().Extensions.front();
  return usual + "|*" + usual;
}

}  // namespace terrak
