#pragma once
// Runs a terrak-cli command in-process and keeps its exit code and both output streams.
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace terrak::testing {

struct CliRun {
  int Exit;
  std::string Out;
  std::string Err;
};

inline CliRun RunCli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int exit = cli::Run(args, out, err);
  return {exit, out.str(), err.str()};
}

}  // namespace terrak::testing
