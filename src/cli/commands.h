#pragma once
// One function per terrak-cli command; args exclude the program and command names.
#include <iosfwd>
#include <string>
#include <vector>

namespace terrak::cli {

using CommandArgs = std::vector<std::string>;

int InfoCommand(const CommandArgs& args, std::ostream& out, std::ostream& err);
int GridCommand(const CommandArgs& args, std::ostream& out, std::ostream& err);
int RenderCommand(const CommandArgs& args, std::ostream& out, std::ostream& err);

}  // namespace terrak::cli
