#pragma once
// Faults of the file system for tests: a disk that is full after a number of bytes, a user who
// may not write where the superuser may, a fifo where a file should be, a run killed midway.
#include <sys/types.h>

#include <functional>
#include <string>

namespace terrak::testing {

// While it lives, no file of this process can grow beyond limit bytes: writes past it fail as
// they do on a full disk (the system's file size limit, its signal ignored).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(long limit);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  unsigned long previous_ = 0;
  void (*previousHandler_)(int) = nullptr;
};

// The uid the unprivileged checks run as ("nobody").
inline constexpr uid_t kUnprivilegedUser = 65534;

// Runs body in a child process as an ordinary user (when the tests run as the superuser, who
// may write anywhere) and returns what it returned: "" for success, else what went wrong.
std::string RunUnprivileged(const std::function<std::string()>& body);

// Runs body in a child process that ends as soon as body returns (or ends it itself with _exit,
// so that nothing is unwound: as if killed there). Returns when the child has ended.
void RunAndDie(const std::function<void()>& body);

// Ends the test process when a call hangs (opening a fifo waits for a writer): a hang would
// otherwise stop the whole suite with no message.
class HangGuard {
 public:
  explicit HangGuard(unsigned seconds = 20);
  ~HangGuard();
  HangGuard(const HangGuard&) = delete;
  HangGuard& operator=(const HangGuard&) = delete;
};

// Makes a fifo at path (throws when it cannot).
void MakeFifo(const std::string& path);

}  // namespace terrak::testing
