#pragma once
// The result of an export before it reaches the disk: one main file, possibly side files named
// after it, and notes for the user. Writing goes through the program's one safe writer, so a bad
// target leaves no partial file.
#include <cstdint>
#include <string>
#include <vector>

namespace terrak {

struct ExportedFile {
  // What follows the target's name without its extension: ".tif" for the main file of
  // "dem.tif", ".prj" or ".tif.aux.xml" for side files.
  std::string Suffix;
  std::vector<std::uint8_t> Bytes;
};

struct ExportedFiles {
  std::vector<ExportedFile> Files;  // the main file first
  std::vector<std::string> Notes;
};

// "/a/b/dem.tif" gives ".tif"; no extension gives "". A dot that starts the file name or lies in
// a folder's name is no extension.
std::string FileExtension(const std::string& fileName);

// Writes every file beside target (target's name without its extension, then the suffix). All
// are written to their temporaries first; then the main file takes its place, and the side files
// only after it. A FileError goes on to the caller.
void WriteExportedFiles(const std::string& target, const ExportedFiles& files);

}  // namespace terrak
