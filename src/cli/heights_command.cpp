// terrak-cli heights: the map opened into the run's working copy, the heights derived (or taken
// from a DEM) and written through the map's own height writing, the whole map saved to --out.
// The map itself is only read.
#include <sys/stat.h>

#include <algorithm>
#include <ostream>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/cli_dialogs.h"
#include "cli/cli_grid.h"
#include "cli/heights_command.h"
#include "cli/heights_report.h"
#include "cli/run_context.h"
#include "cli/symbol_names.h"
#include "export/dem_source.h"
#include "heights/dem_heights.h"
#include "heights/derive_heights.h"
#include "heights/model_heights.h"
#include "mapfile/map_writer.h"
#include "mapfile/settings.h"
#include "platform/read_only_file.h"
#include "platform/safe_file_writer.h"

namespace terrak::cli {

namespace {

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

void WriteText(const std::string& file, const std::string& text) {
  SafeFileWriter writer(file);
  writer.Append(text.data(), text.size());
  writer.Commit();
}

}  // namespace

int HeightsCommand(const HeightsOptions& o, RunContext& run) {
  for (const std::string* file : {&o.Out, &o.Report}) {
    if (file->empty()) continue;
    if (SameFile(*file, o.MapFile)) {
      run.Err.Line("terrak-cli: " + *file + " is the map itself, which heights never changes");
      return kExitFailure;
    }
    if (!o.Force && IsReadOnlyFile(*file)) {
      run.Err.Line("terrak-cli: " + *file + " is read-only; give --force to replace it");
      return kExitFailure;
    }
  }
  MapModel model;
  CliDialogs dialogs(run.Err);
  std::vector<std::string> items;
  for (const auto* list : {&o.Contours, &o.IndexContours, &o.FormLines, &o.SlopeLines})
    items.insert(items.end(), list->begin(), list->end());
  if (!LoadMapWithSymbols(o.MapFile, items, o.HeightTag, run, model, dialogs))
    return kExitFailure;
  heights::ContourRoles roles = o.Roles;
  roles.Contours = FindSymbols(o.Contours, model);
  roles.IndexContours = FindSymbols(o.IndexContours, model);
  roles.FormLines = FindSymbols(o.FormLines, model);
  roles.SlopeLines = FindSymbols(o.SlopeLines, model);
  const std::vector<std::int32_t> all = roles.AllSymbols();
  for (std::size_t i = 0; i < all.size(); ++i)
    if (std::find(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(i), all[i]) !=
        all.begin() + static_cast<std::ptrdiff_t>(i)) {
      run.Err.Line("terrak-cli: a symbol is given more than once");
      return kExitUsage;
    }
  const std::string workingCopy = run.Scratch().File("OCADCopy.tmp");
  const heights::HeightMap map =
      heights::HeightMapFromModel(model, roles, Settings{}.TraceTolerance);

  heights::HeightsResult result;
  if (!o.Dem.empty()) {
    const std::unique_ptr<heights::DemSource> dem = OpenDemFile(o.Dem, model.Georef);
    heights::DemRun fromDem = heights::HeightsFromDem(map, roles, model.Georef, *dem, o.Dem);
    if (!fromDem.Message.empty()) {
      run.Err.Line("terrak-cli: " + fromDem.Message);
      return kExitFailure;
    }
    if (!dem->Note().empty()) run.Err.Line("terrak-cli: note: " + dem->Note());
    result = std::move(fromDem.Result);
  } else {
    result = heights::DeriveHeights(map, roles);
  }

  // Heights the map cannot hold stay as they were and count as conflicts.
  for (const heights::HeightChange& change :
       heights::WriteHeightChanges(model, workingCopy, heights::ChangesOf(map, result)))
    result.Objects[static_cast<std::size_t>(change.Object)] = {
        heights::HeightState::Conflict, change.Old,
        "the map cannot hold a height of " + ShortestNumberText(change.New.Metres) + " m"};
  model.MapFileName = o.Out;
  SaveMapAs(model, workingCopy);
  if (!o.Report.empty()) WriteText(o.Report, HeightsReport(map, result));
  run.Out << heights::SummaryLine(heights::CountHeights(map, result)) << '\n';
  return kExitSuccess;
}

}  // namespace terrak::cli
