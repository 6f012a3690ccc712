#pragma once
// terrak-cli's command line, read with CLI11: the command and its options, or the exit code once
// help, the version or what is wrong with the arguments has been printed.
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace terrak::cli {

struct ParsedCommandLine {
  std::optional<CommandOptions> Command;  // nothing: the run ends with Exit
  int Exit = 0;
};

// Help and the version go to out, what is wrong to err with the usage of the command.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                   std::ostream& err);

}  // namespace terrak::cli
