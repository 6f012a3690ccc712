#pragma once
// What every use of GDAL in the exports shares: the drivers registered, GDAL's messages caught
// instead of printed, and a private folder in GDAL's in-memory file system whose files are
// handed over as bytes (the exports never let GDAL write to the disk).
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

// A folder of GDAL's in-memory file system, unique to this object, removed with everything in it
// when the object goes.
class GdalMemoryFolder {
 public:
  GdalMemoryFolder();
  ~GdalMemoryFolder();
  GdalMemoryFolder(const GdalMemoryFolder&) = delete;
  GdalMemoryFolder& operator=(const GdalMemoryFolder&) = delete;

  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  // Every file in the folder, sorted by name.
  std::vector<MemoryFile> Files() const;

 private:
  std::string path_;
};

}  // namespace terrak
