#pragma once
// A private folder for one command-line run (its own working copy, never the GUI's), removed
// with its content when the run ends. Its name carries the process id,
// "terrak-cli-<pid>-XXXXXX", so that a folder left behind by a run that was killed can be told
// from the folder of a run still going.
#include <string>

#include "cli/scratch_registry.h"

namespace terrak::cli {

class ScratchFolder {
 public:
  // Makes the folder in parent (first removing the stale ones found there); registry, when
  // given, knows of it while it exists. Throws FileError when no folder can be made.
  ScratchFolder(const std::string& parent, ScratchRegistry* registry);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
  ScratchRegistry* registry_;
};

// Removes the scratch folders in parent that runs which no longer exist left behind: folders
// of this user named "terrak-cli-<pid>-XXXXXX" whose process <pid> is gone. Anything else,
// links and other users' folders included, is left alone. Returns how many were removed.
int RemoveStaleScratchFolders(const std::string& parent);

}  // namespace terrak::cli
