#pragma once
// A fresh folder for one test, removed with everything in it when the test ends.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/system_paths.h"

namespace terrak::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // System paths that all point into this folder.
  SystemPaths Paths() const;

 private:
  std::string path_;
};

std::vector<std::uint8_t> ReadBytes(const std::string& fileName);
void WriteBytes(const std::string& fileName, const std::vector<std::uint8_t>& bytes);
std::string ReadText(const std::string& fileName);
void WriteText(const std::string& fileName, const std::string& text);

}  // namespace terrak::testing
