#include "cli/cli_grid.h"

#include "cli/commands.h"
#include "cli/stream_progress.h"
#include "cli/symbol_names.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"
#include "platform/module_image_stretcher.h"

namespace terrak::cli {

std::unique_ptr<ImageStretcher> MakeStretcher() {
#ifdef TERRAK_HAVE_QT_IMAGE
  return MakeProgramImageStretcher();
#else
  return nullptr;
#endif
}

bool LoadMapWithSymbols(const std::string& mapFile, const std::vector<std::string>& symbols,
                        const std::string& heightTag, RunContext& run, MapModel& model,
                        CliDialogs& dialogs) {
  const std::string workingCopy = run.Scratch().File("OCADCopy.tmp");
  model.MapFileName = mapFile;
  if (OpenMapFile(model, workingCopy, dialogs) != OpenResult::Opened) return false;
  ApplyHeightTag(model, heightTag);
  const std::vector<std::int32_t> numbers = FindSymbols(symbols, model);
  for (const std::int32_t symbol : numbers) model.SelectedSymbols.push_back({symbol, kBlack});
  model.SymbolsSelected = !model.SelectedSymbols.empty();
  ReadObjects(model, workingCopy);
  CheckSymbolsFound(symbols, numbers, model);
  return true;
}

bool BuildGridFromMap(const MapModel& model, const Settings& settings, RunContext& run,
                      GridState& grid, GridBuildState& build, CliDialogs& dialogs) {
  build.CurveSteps = GridCurveSteps(model.MapScale);  // as the viewer sets it before building
  build.StretchedFileName = run.Scratch().File("stretched.bmp");
  StreamProgress progress(run.Err);
  const std::unique_ptr<ImageStretcher> stretcher = MakeStretcher();
  if (!BuildGrid(model, settings, grid, build, {progress, dialogs, stretcher.get()})) return false;
  for (const std::string& line : DescribeGridNotes(build.Notes))
    run.Err.Line("terrak-cli: warning: " + line);
  const std::string hint = build.Notes.UnheightedObjects > 0 ? HeightTagHint(model) : "";
  if (!hint.empty()) run.Err.Line("terrak-cli: " + hint);
  return true;
}

}  // namespace terrak::cli
