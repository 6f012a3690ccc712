// terrak-cli info: what the program reads from a map, one item a line.
#include <ostream>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/cli_dialogs.h"
#include "cli/commands.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"

namespace terrak::cli {

namespace {

void PrintObjects(const MapModel& model, std::ostream& out) {
  out << "extent " << model.MapMinX << ' ' << model.MapMinY << ' ' << model.MapMaxX << ' '
      << model.MapMaxY << '\n';
  for (std::size_t i = 0; i < model.MapObjects.size(); ++i) {
    const TMapObject& o = model.MapObjects[i];
    const TObjectCoords& coords = model.ObjectCoords[i];
    out << "object " << i << ' ' << o.Symbol << ' ' << o.ObjectType << ' ' << o.Height << ' '
        << coords.Count << ' ' << o.MinX << ' ' << o.MinY << ' ' << o.MaxX << ' ' << o.MaxY
        << '\n';
    out << "coords";
    for (const TPair& p : coords.Points) out << ' ' << p.X << ',' << p.Y;
    out << '\n';
  }
}

}  // namespace

int InfoCommand(const InfoOptions& options, RunContext& run) {
  const std::string workingCopy = run.Scratch().File("OCADCopy.tmp");
  MapModel model;
  model.MapFileName = options.MapFile;
  CliDialogs dialogs(run.Err);
  if (OpenMapFile(model, workingCopy, dialogs) != OpenResult::Opened) return kExitFailure;
  std::ostream& out = run.Out;
  out << "version " << model.OcadVersion << '\n';
  out << "scale " << ShortestNumberText(model.MapScale) << '\n';
  out << "zoom " << model.MapZoom << '\n';
  out << "offset " << model.MapOffsetX << ' ' << model.MapOffsetY << '\n';
  for (const TmapSymbol& s : model.SymbolList)
    out << "symbol " << s.Symbol << ' ' << s.ObjectType << ' ' << s.Text << '\n';
  if (options.Objects) {
    for (std::int32_t symbol : *options.Objects) model.SelectedSymbols.push_back({symbol, kBlack});
    model.SymbolsSelected = !model.SelectedSymbols.empty();
    ReadObjects(model, workingCopy);
    PrintObjects(model, out);
  }
  return kExitSuccess;
}

}  // namespace terrak::cli
