#include "mapfile/map_file_names.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace terrak {

namespace {

bool IsMapperExtension(const std::string& extension) {
  return extension == ".omap" || extension == ".xmap";
}

}  // namespace

std::string LowerExtension(const std::string& fileName) {
  std::string extension = std::filesystem::path(fileName).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

std::string Proposed3dMapName(const std::string& mapFileName) {
  if (mapFileName == "nofile") return "";
  const std::string extension = LowerExtension(mapFileName);
  if (IsMapperExtension(extension))
    return mapFileName.substr(0, mapFileName.size() - extension.size()) + ".o3d";
  // ".ocd" by its last four characters, so a name that is only the extension keeps it too.
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
  if (IsMapperExtension(extension)) return extension + "|*" + extension;
  return ".ocd|*.ocd";
}

}  // namespace terrak
