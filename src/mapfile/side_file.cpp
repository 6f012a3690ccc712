#include "mapfile/side_file.h"

#include <sys/stat.h>

#include "platform/file_stream.h"
#include "platform/read_only_file.h"
#include "platform/safe_file_writer.h"

namespace terrak {

SideFileState ExamineSideFile(const std::string& name) {
  struct stat info {};
  if (::lstat(name.c_str(), &info) != 0) return {};
  return {true, ResolveLinks(name), {}};
}

void RefuseUnsafeSideFile(const std::string& name, const SideFileState* known) {
  const SideFileState now = ExamineSideFile(name);
  if (!now.Exists) return;
  // A link put there since would carry the new contents into some other file.
  if (now.Resolved != name && (known == nullptr || !known->Exists || known->Resolved != now.Resolved))
    throw FileError(name, "it is now a symbolic link to \"" + now.Resolved +
                              "\", which Terrak did not open; move it away to save");
  if (IsReadOnlyFile(name)) throw FileError(name, kReadOnlySideFileReason);
}

bool SideFileChanged(const std::string& name, const SideFileState& known) {
  const SideFileState now = ExamineSideFile(name);
  if (!now.Exists) return false;
  if (!known.Exists || !known.Stamp.Known) return true;
  return !SameContents(ReadStamp(name), known.Stamp);
}

SideFileState SideFileWritten(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  const FileStream written(name, FileMode::ReadDenyWrite);
  return {true, ResolveLinks(name), StampOf(bytes, written.Descriptor())};
}

}  // namespace terrak
