#pragma once
// The files of terrak-cli export, written from a grid that is ready: each with a progress line
// on standard error that counts up its percentage, then its notes as lines of their own.
#include "cli/commands.h"
#include "terrain/grid_state.h"
#include "mapfile/georeferencing.h"

namespace terrak::cli {

// The DEM, the glTF model and the STL that o asks for, in that order; a summary line per file
// on standard output. Failures end it by exception, as in every command.
void WriteExportOutputs(const ExportOptions& o, const GridState& grid, const Georeferencing& georef,
                        RunContext& run);

}  // namespace terrak::cli
