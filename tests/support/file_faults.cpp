#include "support/file_faults.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace terrak::testing {

FileSizeLimit::FileSizeLimit(long limit) {
  previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  rlimit current {};
  ::getrlimit(RLIMIT_FSIZE, &current);
  previous_ = current.rlim_cur;
  current.rlim_cur = static_cast<rlim_t>(limit);
  if (::setrlimit(RLIMIT_FSIZE, &current) != 0) throw std::runtime_error("setrlimit failed");
}

FileSizeLimit::~FileSizeLimit() {
  rlimit current {};
  ::getrlimit(RLIMIT_FSIZE, &current);
  current.rlim_cur = previous_;
  ::setrlimit(RLIMIT_FSIZE, &current);
  std::signal(SIGXFSZ, previousHandler_);
}

std::string RunUnprivileged(const std::function<std::string()>& body) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return "pipe failed";
  const pid_t child = ::fork();
  if (child < 0) return "fork failed";
  if (child == 0) {
    ::close(pipeFds[0]);
    std::string result;
    if (::geteuid() == 0 &&
        (::setgid(kUnprivilegedUser) != 0 || ::setuid(kUnprivilegedUser) != 0))
      result = "cannot become an ordinary user";
    else
      try {
        result = body();
      } catch (const std::exception& error) {
        result = std::string("exception: ") + error.what();
      }
    if (::write(pipeFds[1], result.data(), result.size()) < 0) ::_exit(2);
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  std::string result;
  char buffer[256];
  for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
    result.append(buffer, static_cast<std::size_t>(got));
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "the child failed: " + result;
  return result;
}

void RunAndDie(const std::function<void()>& body) {
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    try {
      body();
    } catch (...) {
    }
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
}

HangGuard::HangGuard(unsigned seconds) { ::alarm(seconds); }
HangGuard::~HangGuard() { ::alarm(0); }

void MakeFifo(const std::string& path) {
  if (::mkfifo(path.c_str(), 0644) != 0)
    throw std::runtime_error("mkfifo " + path + ": " + std::strerror(errno));
}

}  // namespace terrak::testing
