// terrak-cli info: what the program reads from a map, one item a line.
#include <ostream>

#include "cli/arguments.h"
#include "cli/cli_dialogs.h"
#include "cli/commands.h"
#include "cli/scratch_folder.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"
#include "mapfile/ocad_format_error.h"
#include "platform/file_error.h"

namespace terrak::cli {

namespace {

constexpr const char* kInfoUsage = "usage: terrak-cli info MAP.ocd [--objects N,N,...]\n";

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

int InfoCommand(const CommandArgs& args, std::ostream& out, std::ostream& err) {
  std::string mapFile;
  std::optional<std::vector<std::int16_t>> objects;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--objects" && i + 1 < args.size()) {
      objects = ParseSymbolList(args[++i]);
      if (!objects) {
        err << "terrak-cli: --objects wants symbol numbers like 101,102\n" << kInfoUsage;
        return 2;
      }
    } else if (mapFile.empty() && args[i].rfind("--", 0) != 0) {
      mapFile = args[i];
    } else {
      err << kInfoUsage;
      return 2;
    }
  }
  if (mapFile.empty()) {
    err << kInfoUsage;
    return 2;
  }

  try {
    const ScratchFolder scratch;
    const std::string workingCopy = scratch.File("OCADCopy.tmp");
    MapModel model;
    model.MapFileName = mapFile;
    CliDialogs dialogs(err);
    if (OpenMapFile(model, workingCopy, dialogs) != OpenResult::Opened) return 1;
    out << "version " << model.OcadVersion << '\n';
    out << "scale " << ShortestNumberText(model.MapScale) << '\n';
    out << "zoom " << model.MapZoom << '\n';
    out << "offset " << model.MapOffsetX << ' ' << model.MapOffsetY << '\n';
    for (const TmapSymbol& s : model.SymbolList)
      out << "symbol " << s.Symbol << ' ' << s.ObjectType << ' ' << s.Text << '\n';
    if (objects) {
      for (std::int16_t symbol : *objects) model.SelectedSymbols.push_back({symbol, kBlack});
      model.SymbolsSelected = !model.SelectedSymbols.empty();
      ReadObjects(model, workingCopy);
      PrintObjects(model, out);
    }
    return 0;
  } catch (const OcadFormatError& e) {
    err << e.what() << '\n';
  } catch (const FileError& e) {
    err << e.what() << '\n';
  }
  return 1;
}

}  // namespace terrak::cli
