#pragma once
// The commands of terrak-cli. Each takes its arguments (without the program name) and the two
// output streams, and returns the exit code, so tests can run them in-process.
#include <iosfwd>
#include <string>
#include <vector>

namespace terrak::cli {

int Run(const std::vector<std::string>& args);
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace terrak::cli
