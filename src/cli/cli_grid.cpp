#include "cli/cli_grid.h"

#include "cli/commands.h"
#include "cli/stream_progress.h"
#include "cli/symbol_names.h"
#include "mapfile/map_formats.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"
#include "mapdraw/whole_map.h"
#include "platform/module_image_stretcher.h"
#include "platform/picture_painter.h"
#include "platform/safe_file_writer.h"

namespace terrak::cli {

std::unique_ptr<ImageStretcher> MakeStretcher() {
#ifdef TERRAK_HAVE_QT_IMAGE
  return MakeProgramImageStretcher();
#else
  return nullptr;
#endif
}

namespace {

// A save of the map that was killed half-way may have left it incomplete: the command reads it
// as it is, but says so (Terrak offers to finish that save when it opens the map).
void WarnOfUnfinishedSaves(const std::string& mapFile, RunContext& run) {
  std::vector<std::string> files{mapFile};
  for (const std::string& side : SideFilesOf(mapFile)) files.push_back(side);
  for (const std::string& file : files)
    if (const std::optional<std::string> copy = FindUnfinishedSave(file))
      run.Err.Line("terrak-cli: warning: the last save of " + file +
                   " was interrupted, so it may be incomplete; its complete new contents are in " +
                   *copy + ", and Terrak offers to finish that save when it opens the map");
}

}  // namespace

bool LoadMapWithSymbols(const std::string& mapFile, const std::vector<std::string>& symbols,
                        const std::string& heightTag, RunContext& run, MapModel& model,
                        CliDialogs& dialogs) {
  WarnOfUnfinishedSaves(mapFile, run);
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
                      GridState& grid, GridBuildState& build, CliDialogs& dialogs,
                      bool drapeDrawing) {
  build.CurveSteps = GridCurveSteps(model.MapScale);  // as the viewer sets it before building
  build.StretchedFileName = run.Scratch().File("stretched.bmp");
  StreamProgress progress(run.Err);
  const std::unique_ptr<ImageStretcher> stretcher = MakeStretcher();
  // Where no map bitmap lies beside the map, its own drawing is draped.
  mapdraw::WholeMapDrawing drawing;
#ifdef TERRAK_HAVE_QT_IMAGE
  const std::unique_ptr<PicturePainter> painter = MakeProgramPicturePainter();
#else
  const std::unique_ptr<PicturePainter> painter;
#endif
  const GridServices services{progress, dialogs, stretcher.get(), drapeDrawing ? &drawing : nullptr,
                              run.Scratch().File("OCADCopy.tmp"), painter.get()};
  if (!BuildGrid(model, settings, grid, build, services)) return false;
  for (const std::string& line : DescribeGridNotes(build.Notes))
    run.Err.Line("terrak-cli: warning: " + line);
  const std::string hint = build.Notes.UnheightedObjects > 0 ? HeightTagHint(model) : "";
  if (!hint.empty()) run.Err.Line("terrak-cli: " + hint);
  return true;
}

}  // namespace terrak::cli
