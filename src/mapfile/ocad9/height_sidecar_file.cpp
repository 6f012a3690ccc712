#include "mapfile/ocad9/height_sidecar_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include <algorithm>

#include "mapfile/map_format.h"
#include "mapfile/ocad9/height_sidecar.h"
#include "platform/file_stream.h"
#include "platform/safe_file_writer.h"

namespace terrak::ocad9 {

namespace {

// Enough bytes for the first line, whatever line end it has.
constexpr std::size_t kFirstLineBytes = 64;

[[noreturn]] void Refuse(const std::string& name, const std::string& reason) {
  throw MapFormatError("The heights file \"" + name + "\" beside the map cannot be used: " +
                           reason + ". Move it away to open the map without it",
                       reason);
}

}  // namespace

HeightSidecarRead ReadHeightSidecarFile(const std::string& name, std::int64_t mapSize) {
  struct stat info {};
  if (::lstat(name.c_str(), &info) != 0) {
    if (errno == ENOENT) return {};
    Refuse(name, std::strerror(errno));
  }
  std::string resolved;
  try {
    resolved = ResolveLinks(name);
  } catch (const FileError& error) {
    Refuse(name, error.Reason());
  }
  if (::stat(resolved.c_str(), &info) != 0) {
    if (errno == ENOENT) Refuse(name, "its link leads to \"" + resolved + "\", which does not exist");
    Refuse(name, std::strerror(errno));
  }
  if (!S_ISREG(info.st_mode)) Refuse(name, NotAFileReason(info.st_mode));
  try {
    const FileStream stream(name, FileMode::ReadDenyWrite);
    const std::int64_t size = stream.Size();
    std::vector<std::uint8_t> bytes(kFirstLineBytes);
    bytes.resize(stream.ReadSome(0, bytes.data(), bytes.size()));
    // The first line alone, so a file that is no heights file is not read any further.
    const auto lineEnd = std::find(bytes.begin(), bytes.end(), '\n');
    ParseHeightSidecar({bytes.data(), static_cast<std::size_t>(lineEnd - bytes.begin())});
    if (size > 2 * mapSize + kHeightSidecarSlack)
      Refuse(name, "it is " + std::to_string(size) +
                       " bytes long, far more than the heights of this map could fill");
    bytes = stream.ReadExact(0, static_cast<std::size_t>(size));
    const MapFileStamp stamp = StampOf(bytes, stream.Descriptor());
    return {std::move(bytes), {true, resolved, stamp}};
  } catch (const FileError& error) {
    Refuse(name, error.Reason());
  }
}

}  // namespace terrak::ocad9
