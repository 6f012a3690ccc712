#include "export/export_file.h"

#include <memory>

#include "platform/file_identity.h"
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
  // Every file is complete in its temporary before any takes its place, the main file first:
  // a main target that cannot be written (a folder, a full disk) leaves the side files beside it
  // as they were.
  std::vector<std::unique_ptr<SafeFileWriter>> writers;
  for (std::size_t i = 0; i < files.Files.size(); ++i) {
    const std::string name = i == 0 ? target : stem + files.Files[i].Suffix;
    if (i > 0 && SameFile(name, target)) continue;  // the main file has that name
    writers.push_back(std::make_unique<SafeFileWriter>(name));
    writers.back()->Append(files.Files[i].Bytes.data(), files.Files[i].Bytes.size());
  }
  for (const auto& writer : writers) writer->Commit();
}

}  // namespace terrak
