#include "cli/cli.h"

#include <iostream>

namespace terrak::cli {

namespace {
constexpr const char* kUsage =
    "usage: terrak-cli info MAP.ocd [--objects N,N,...]\n";
}

int Run(const std::vector<std::string>& args) { return Run(args, std::cout, std::cerr); }

int Run(const std::vector<std::string>& args, std::ostream& /*out*/, std::ostream& err) {
  if (args.empty()) {
    err << kUsage;
    return 2;
  }
  err << "terrak-cli: unknown command \"" << args[0] << "\"\n" << kUsage;
  return 2;
}

}  // namespace terrak::cli
