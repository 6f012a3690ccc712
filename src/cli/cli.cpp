#include "cli/cli.h"

#include <iostream>

#include "cli/commands.h"

namespace terrak::cli {

namespace {

constexpr const char* kUsage =
    "usage: terrak-cli info MAP.ocd [--objects N,N,...]\n"
    "       terrak-cli grid MAP.ocd --symbols N,N,... [options]\n"
    "       terrak-cli render (MAP.ocd --symbols N,N,... | FILE.o3d) --out PICTURE.bmp [options]\n";

struct Command {
  const char* Name;
  int (*Run)(const CommandArgs&, std::ostream&, std::ostream&);
};

constexpr Command kCommands[] = {
    {"info", InfoCommand},
    {"grid", GridCommand},
    {"render", RenderCommand},
};

}  // namespace

int Run(const std::vector<std::string>& args) { return Run(args, std::cout, std::cerr); }

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << kUsage;
    return 2;
  }
  for (const Command& command : kCommands)
    if (args[0] == command.Name) return command.Run({args.begin() + 1, args.end()}, out, err);
  err << "terrak-cli: unknown command \"" << args[0] << "\"\n" << kUsage;
  return 2;
}

}  // namespace terrak::cli
