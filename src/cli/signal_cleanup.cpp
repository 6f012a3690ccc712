#include "cli/signal_cleanup.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace terrak::cli {

namespace {

// A signal handler reaches nothing but static storage: the write end of the watcher's pipe is
// the one value it needs, and the only one the program keeps there.
std::atomic<int> SignalWakeFd{-1};

constexpr unsigned char kStopWatching = 0;

// How long a handler holds its thread while the watcher cleans up and ends the program. Should
// the watcher be stuck (on a lock the interrupted thread holds), the thread goes on after this
// and the next run removes the folder as stale.
constexpr int kCleanupWaitMilliseconds = 10'000;

extern "C" void OnTerminatingSignal(int signal) {
  const int savedErrno = errno;
  const int fd = SignalWakeFd.load();
  const auto number = static_cast<unsigned char>(signal);
  if (fd >= 0 && ::write(fd, &number, 1) == 1) ::poll(nullptr, 0, kCleanupWaitMilliseconds);
  errno = savedErrno;
}

sigset_t HandledSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : SignalCleanup::kSignals) sigaddset(&set, signal);
  return set;
}

}  // namespace

SignalCleanup::SignalCleanup(ScratchRegistry& registry) : registry_(registry) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return;  // then only the next run's stale check cleans up
  wakeRead_ = ends[0];
  wakeWrite_ = ends[1];

  // The watcher never takes these signals: in the handler it would wait for itself.
  const sigset_t handled = HandledSignals();
  sigset_t before;
  pthread_sigmask(SIG_BLOCK, &handled, &before);
  watcher_ = std::thread([this] { Watch(); });
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  SignalWakeFd.store(wakeWrite_);

  struct sigaction action {};
  action.sa_handler = OnTerminatingSignal;
  action.sa_mask = handled;
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    if (sigaction(kSignals[i], nullptr, &previous_[i]) != 0 || previous_[i].sa_handler == SIG_IGN)
      continue;
    installed_[i] = sigaction(kSignals[i], &action, nullptr) == 0;
  }
}

SignalCleanup::~SignalCleanup() {
  if (!watcher_.joinable()) return;
  for (std::size_t i = 0; i < kSignals.size(); ++i)
    if (installed_[i]) sigaction(kSignals[i], &previous_[i], nullptr);
  SignalWakeFd.store(-1);
  while (::write(wakeWrite_, &kStopWatching, 1) < 0 && errno == EINTR) {
  }
  watcher_.join();
  ::close(wakeRead_);
  ::close(wakeWrite_);
}

void SignalCleanup::Watch() {
  while (true) {
    unsigned char number = kStopWatching;
    const ssize_t got = ::read(wakeRead_, &number, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got != 1 || number == kStopWatching) return;
    registry_.RemoveAll();
    // End the program as the signal would have without the handler.
    const int signal = number;
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigemptyset(&plain.sa_mask);
    sigaction(signal, &plain, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    ::_exit(128 + signal);  // not reached: every handled signal ends the program by default
  }
}

}  // namespace terrak::cli
