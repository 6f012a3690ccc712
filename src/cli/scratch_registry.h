#pragma once
// The scratch folders of a running terrak-cli, known to the signal cleanup so that a run ended
// by a signal removes them too. Shared between the main thread and the cleanup thread.
#include <mutex>
#include <string>
#include <vector>

namespace terrak::cli {

class ScratchRegistry {
 public:
  void Add(const std::string& folder);
  void Forget(const std::string& folder);
  // Removes every folder still known, with its content, from the disk.
  void RemoveAll();
  std::vector<std::string> Folders() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> folders_;
};

}  // namespace terrak::cli
