#include "platform/instance_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace terrak {

InstanceLock::InstanceLock(const std::string& workingCopyPath) {
  const std::string lockPath = workingCopyPath + ".lock";
  fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    reason_ = "cannot open \"" + lockPath + "\": " + std::strerror(errno);
    return;
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    reason_ = errno == EWOULDBLOCK ? "held by another running copy"
                                   : std::string("cannot lock: ") + std::strerror(errno);
    ::close(fd_);
    fd_ = -1;
  }
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace terrak
