#pragma once
// Removes terrak-cli's scratch folders when a signal ends the program: Ctrl+C (SIGINT), SIGTERM,
// SIGHUP, SIGQUIT, SIGPIPE and an abort (SIGABRT).
//
// A signal handler may do almost nothing safely, so it only writes the signal's number into a
// pipe and holds its thread there. A watcher thread of its own reads the number, removes the
// folders the registry knows, and then ends the program by the same signal with its default
// action, so the exit status still tells what ended it. Signals that were ignored when the
// program started (nohup, background jobs) stay ignored.
#include <signal.h>

#include <array>
#include <thread>

#include "cli/scratch_registry.h"

namespace terrak::cli {

class SignalCleanup {
 public:
  explicit SignalCleanup(ScratchRegistry& registry);
  ~SignalCleanup();
  SignalCleanup(const SignalCleanup&) = delete;
  SignalCleanup& operator=(const SignalCleanup&) = delete;

  static constexpr std::array<int, 6> kSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE,
                                                  SIGABRT};

 private:
  void Watch();

  ScratchRegistry& registry_;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::thread watcher_;
  std::array<bool, kSignals.size()> installed_{};
  std::array<struct sigaction, kSignals.size()> previous_{};
};

}  // namespace terrak::cli
