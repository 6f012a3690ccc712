#pragma once
// The files a terrak-cli command writes, its refusal to write over one of its inputs or to give
// two outputs one file, and its refusal to replace read-only ones unless --force is given.
// Checked before any work starts, so a long grid construction is not lost.
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace terrak::cli {

std::vector<std::string> OutputFiles(const CommandOptions& command);

// The message refusing the first read-only output, or nothing when every output may be
// written.
std::optional<std::string> RefuseReadOnlyOutputs(const CommandOptions& command);

// The message refusing the first output that is one of the files the command reads (the map,
// its image, its heights file, the 3D map file) or another of its outputs, by any name (links,
// "./x"); nothing when every output is a file of its own. --force does not change it.
std::optional<std::string> RefuseClashingOutputs(const CommandOptions& command);

}  // namespace terrak::cli
