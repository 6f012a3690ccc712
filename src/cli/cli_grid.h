#pragma once
// The grid construction as terrak-cli runs it for `grid` and `render`: a map opened in the
// run's scratch folder, its selected symbols read, the stretched map bitmap kept in that folder.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_dialogs.h"
#include "cli/run_context.h"
#include "grid/build_grid.h"
#include "platform/image_stretcher.h"

namespace terrak::cli {

// The image loader of this build (Qt Gui, opened as a module on the first image), or nothing when
// it has none: then a map bitmap beside a map is not read.
std::unique_ptr<ImageStretcher> MakeStretcher();

// Opens mapFile into the scratch folder's working copy and reads the objects of symbols (named
// as `info` prints them, see FindSymbols), which become the selection in their order. False when
// the map does not open (the message is shown); SymbolNotFound for a symbol the map lacks.
bool LoadMapWithSymbols(const std::string& mapFile, const std::vector<std::string>& symbols,
                        const std::string& heightTag,
                        RunContext& run, MapModel& model, CliDialogs& dialogs);

// Runs the grid construction as the viewer does before its first mesh paint; progress lines and
// the warnings of the decisions it met go to standard error. False when it refused to build.
// Without drapeDrawing, a map with no bitmap beside it gets no picture either.
bool BuildGridFromMap(const MapModel& model, const Settings& settings, RunContext& run,
                      GridState& grid, GridBuildState& build, CliDialogs& dialogs,
                      bool drapeDrawing = true);

}  // namespace terrak::cli
