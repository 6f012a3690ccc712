#include "export/export_file.h"

#include <unistd.h>

#include "platform/file_stream.h"

namespace terrak {

std::string FileExtension(const std::string& fileName) {
  const std::string::size_type slash = fileName.rfind('/');
  const std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string::size_type dot = fileName.rfind('.');
  if (dot == std::string::npos || dot <= nameStart) return "";
  return fileName.substr(dot);
}

void WriteExportedFiles(const std::string& target, const ExportedFiles& files) {
  if (files.Files.empty()) return;
  const std::string stem = target.substr(0, target.size() - FileExtension(target).size());
  std::vector<std::string> created;
  try {
    for (std::size_t i = 1; i < files.Files.size(); ++i) {
      const std::string name = stem + files.Files[i].Suffix;
      const bool existed = FileExists(name);
      ReplaceFileAtomically(name, files.Files[i].Bytes);
      if (!existed) created.push_back(name);
    }
    ReplaceFileAtomically(target, files.Files.front().Bytes);
  } catch (...) {
    for (const std::string& name : created) ::unlink(name.c_str());
    throw;
  }
}

}  // namespace terrak
