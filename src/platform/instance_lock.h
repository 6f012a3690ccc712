#pragma once
// Keeps a second running copy of the program away from this copy's working copy: the first copy
// holds a lock on a file beside the working copy for as long as it runs.
#include <string>

namespace terrak {

class InstanceLock {
 public:
  // Tries to take the lock for the working copy at workingCopyPath; Held() tells the outcome.
  explicit InstanceLock(const std::string& workingCopyPath);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  bool Held() const { return fd_ >= 0; }
  const std::string& Reason() const { return reason_; }

 private:
  int fd_ = -1;
  std::string reason_;
};

inline constexpr const char* kSecondCopyMessage =
    "Another copy of Terrak is already running and is working on its map. Only one copy can "
    "run at a time, so this copy will close now.";

}  // namespace terrak
