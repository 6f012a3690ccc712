#pragma once
// terrak-cli: the program's core without windows. Run takes the arguments (without the program
// name) and where the run's outputs go, and returns the exit code, so tests can run it
// in-process.
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/scratch_registry.h"

namespace terrak::cli {

// Exit codes: the run did what it was asked (or printed help or the version), it failed or
// refused (the reason on standard error), or the arguments were wrong (the reason and the
// usage on standard error).
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct CliEnvironment {
  std::ostream& Out;
  std::ostream& Err;
  bool ErrIsTerminal = false;      // progress lines rewrite themselves only on a terminal
  std::string TempFolder = "/tmp";  // where the scratch folder goes ($TMPDIR)
  ScratchRegistry* Registry = nullptr;  // told of every scratch folder, for the signal cleanup
};

int Run(const std::vector<std::string>& args, const CliEnvironment& environment);

}  // namespace terrak::cli
