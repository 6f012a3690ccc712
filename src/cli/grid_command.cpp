// terrak-cli grid: the grid construction as the 3D viewer runs it, without windows. Progress
// lines and warnings go to standard error; the exports and the 3D map file go where the options
// say.
#include <charconv>
#include <memory>
#include <ostream>

#include "cli/arguments.h"
#include "cli/cli_dialogs.h"
#include "cli/cli_grid.h"
#include "cli/commands.h"
#include "cli/scratch_folder.h"
#include "grid/build_grid.h"
#include "mapfile/map3d_file.h"
#include "mapfile/ocad_format_error.h"
#include "platform/file_error.h"
#include "viewer/viewpoint_placement.h"

namespace terrak::cli {

namespace {

constexpr const char* kGridUsage =
    "usage: terrak-cli grid MAP.ocd --symbols N,N,... [--smoothing F] [--passes P]\n"
    "                       [--contour-gap G] [--xyz FILE] [--matrix FILE] [--o3d FILE]\n";

struct GridOptions {
  std::string MapFile;
  std::vector<std::int16_t> Symbols;
  Settings Values;  // smoothing, passes and gap; the defaults of the settings file otherwise
  std::string Xyz, Matrix, Map3d;
};

bool ParseInt(const std::string& text, std::int32_t& value) {
  const char* last = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), last, value);
  return !text.empty() && error == std::errc() && ptr == last;
}

// Nothing, with the reason written to err, when the arguments are not a grid command line.
std::optional<GridOptions> ParseGridOptions(const CommandArgs& args, std::ostream& err) {
  GridOptions o;
  bool haveSymbols = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--symbols" && hasValue) {
      const auto symbols = ParseSymbolList(args[++i]);
      if (!symbols) {
        err << "terrak-cli: --symbols wants symbol numbers like 101,102\n";
        return std::nullopt;
      }
      o.Symbols = *symbols;
      haveSymbols = true;
    } else if ((a == "--smoothing" || a == "--passes" || a == "--contour-gap") && hasValue) {
      std::int32_t& target = a == "--smoothing" ? o.Values.Smoothing
                             : a == "--passes"  ? o.Values.SmoothingPasses
                                                : o.Values.ContourGap;
      if (!ParseInt(args[++i], target)) {
        err << "terrak-cli: " << a << " wants a whole number\n";
        return std::nullopt;
      }
    } else if ((a == "--xyz" || a == "--matrix" || a == "--o3d") && hasValue) {
      (a == "--xyz" ? o.Xyz : a == "--matrix" ? o.Matrix : o.Map3d) = args[++i];
    } else if (o.MapFile.empty() && a.rfind("--", 0) != 0) {
      o.MapFile = a;
    } else {
      return std::nullopt;
    }
  }
  if (o.MapFile.empty() || !haveSymbols) return std::nullopt;
  return o;
}

int BuildFromMap(const GridOptions& o, std::ostream& out, std::ostream& err) {
  const ScratchFolder scratch;
  MapModel model;
  CliDialogs dialogs(err);
  if (!LoadMapWithSymbols(o.MapFile, o.Symbols, scratch, model, dialogs)) return 1;

  GridState grid;
  GridBuildState build;
  build.CreateXyzFile = !o.Xyz.empty();
  build.PointsFileName = o.Xyz;
  build.CreateMatrixFile = !o.Matrix.empty();
  build.MatrixFileName = o.Matrix;
  if (!BuildGridFromMap(model, o.Values, scratch, grid, build, dialogs, err)) return 1;
  if (!o.Map3d.empty()) {
    ViewpointBlock views;
    PlaceViewpoints(model, views);
    Write3dMap(o.Map3d, grid, views);
  }
  out << "grid " << grid.GridWidth << " x " << grid.GridHeight << " metres from "
      << grid.GridMinX << ' ' << grid.GridMinY << "; map bitmap "
      << (grid.MapBitmapLoaded ? build.MapBitmapFileName : std::string("none")) << '\n';
  return 0;
}

}  // namespace

int GridCommand(const CommandArgs& args, std::ostream& out, std::ostream& err) {
  const std::optional<GridOptions> options = ParseGridOptions(args, err);
  if (!options) {
    err << kGridUsage;
    return 2;
  }
  try {
    return BuildFromMap(*options, out, err);
  } catch (const OcadFormatError& e) {
    err << e.what() << " (" << e.Detail() << ")\n";
  } catch (const FileError& e) {
    err << e.what() << '\n';
  }
  return 1;
}

}  // namespace terrak::cli
