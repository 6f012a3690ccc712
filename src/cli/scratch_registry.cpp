#include "cli/scratch_registry.h"

#include <algorithm>
#include <filesystem>

namespace terrak::cli {

void ScratchRegistry::Add(const std::string& folder) {
  const std::lock_guard lock(mutex_);
  folders_.push_back(folder);
}

void ScratchRegistry::Forget(const std::string& folder) {
  const std::lock_guard lock(mutex_);
  folders_.erase(std::remove(folders_.begin(), folders_.end(), folder), folders_.end());
}

void ScratchRegistry::RemoveAll() {
  const std::lock_guard lock(mutex_);
  for (const std::string& folder : folders_) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  folders_.clear();
}

std::vector<std::string> ScratchRegistry::Folders() const {
  const std::lock_guard lock(mutex_);
  return folders_;
}

}  // namespace terrak::cli
