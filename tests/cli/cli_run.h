#pragma once
// Runs a terrak-cli command in-process and keeps its exit code and both output streams.
#include <gtest/gtest.h>

#include <filesystem>
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

// Runs args with extra after them; the run must succeed.
inline CliRun RunCliOk(std::vector<std::string> args, const std::vector<std::string>& extra = {}) {
  args.insert(args.end(), extra.begin(), extra.end());
  CliRun run = RunCli(args);
  EXPECT_EQ(run.Exit, 0) << run.Err;
  return run;
}

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The scratch folders that runs left in folder.
inline std::vector<std::filesystem::path> ScratchFolders(const std::string& folder) {
  std::vector<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename().string().rfind("terrak-cli-", 0) == 0) found.push_back(entry.path());
  return found;
}

}  // namespace terrak::testing
