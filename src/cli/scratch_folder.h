#pragma once
// A private folder for one command-line run (its own working copy, never the GUI's), removed
// with its content when the run ends.
#include <string>

namespace terrak::cli {

class ScratchFolder {
 public:
  ScratchFolder();  // throws FileError when no folder can be made
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace terrak::cli
