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

struct CliPlace {
  bool Terminal = false;           // standard error is a terminal
  std::string TempFolder = "/tmp";  // where the scratch folder goes
};

inline CliRun RunCli(const std::vector<std::string>& args, const CliPlace& place = {}) {
  std::ostringstream out, err;
  const int exit = cli::Run(args, {out, err, place.Terminal, place.TempFolder, nullptr});
  return {exit, out.str(), err.str()};
}

}  // namespace terrak::testing
