#pragma once
// What every use of GDAL in the exports shares: the drivers registered, GDAL's messages caught
// instead of printed, and a private folder whose files are handed over as bytes: in GDAL's
// in-memory file system, or on the disk for the few drivers that cannot write into memory. The
// exports' files reach their targets only through the program's safe writer.
#include <cstdint>
#include <string>
#include <vector>

namespace terrak {

// Registers GDAL's drivers unless some are registered already.
void EnsureGdalDrivers();

// While alive, GDAL's errors and warnings on this thread are kept here instead of printed.
class GdalMessages {
 public:
  GdalMessages();
  ~GdalMessages();
  GdalMessages(const GdalMessages&) = delete;
  GdalMessages& operator=(const GdalMessages&) = delete;

  // The last error GDAL reported, empty when none.
  const std::string& LastError() const { return lastError_; }
  const std::vector<std::string>& Warnings() const { return warnings_; }

  void Add(bool failure, const char* message);
  // Forgets what was kept so far (messages of steps whose failure the caller has handled).
  void Clear() {
    lastError_.clear();
    warnings_.clear();
  }

 private:
  std::string lastError_;
  std::vector<std::string> warnings_;
};

struct MemoryFile {
  std::string Name;  // within the folder
  std::vector<std::uint8_t> Bytes;
};

// A private folder for what GDAL writes, unique to this object and removed with everything in it
// when the object goes: in GDAL's in-memory file system, or, for a driver that cannot write
// there, made on the disk in diskParent (ExportError when it cannot be made).
class GdalWorkFolder {
 public:
  explicit GdalWorkFolder(const std::string& diskParent = {});
  ~GdalWorkFolder();
  GdalWorkFolder(const GdalWorkFolder&) = delete;
  GdalWorkFolder& operator=(const GdalWorkFolder&) = delete;

  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  // Every file in the folder, sorted by name.
  std::vector<MemoryFile> Files() const;

 private:
  std::string path_;
};

}  // namespace terrak
