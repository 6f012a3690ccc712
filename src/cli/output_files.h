#pragma once
// The files a terrak-cli command writes, and its refusal to replace read-only ones unless
// --force is given. Checked before any work starts, so a long grid construction is not lost.
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace terrak::cli {

std::vector<std::string> OutputFiles(const CommandOptions& command);

// The message refusing the first read-only output, or nothing when every output may be
// written.
std::optional<std::string> RefuseReadOnlyOutputs(const CommandOptions& command);

}  // namespace terrak::cli
