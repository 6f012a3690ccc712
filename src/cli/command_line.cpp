#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <map>
#include <memory>
#include <ostream>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "mapfile/map_formats.h"
#include "export/dem_formats.h"
#include "viewer/export_choices.h"

namespace terrak::cli {

namespace {

constexpr const char* kMainUsage =
    "usage: terrak-cli info MAP.ocd [--objects N,N,...]\n"
    "       terrak-cli grid MAP.ocd --symbols N,N,... [options]\n"
    "       terrak-cli render (MAP.ocd --symbols N,N,... | FILE.o3d) --out PICTURE [options]\n"
    "       terrak-cli export (MAP.ocd --symbols N,N,... | FILE.o3d) --dem|--glb|--stl FILE ...\n"
    "       terrak-cli heights MAP --contours S[,S...] --interval METRES --out OUT [options]\n"
    "       terrak-cli map MAP.ocd --out PICTURE [--dpi N]\n"
    "       terrak-cli --version | --help | COMMAND --help\n";
constexpr const char* kInfoUsage =
    "usage: terrak-cli info MAP.ocd [--objects N,N,...] [--height-tag KEY]\n";
constexpr const char* kGridUsage =
    "usage: terrak-cli grid MAP.ocd --symbols N,N,... [--smoothing F] [--passes P]\n"
    "         [--contour-gap G] [--xyz FILE] [--matrix FILE] [--o3d FILE] [--height-tag KEY]\n"
    "         [--force] [--reference] [--no-drape]\n";
constexpr const char* kRenderUsage =
    "usage: terrak-cli render (MAP.ocd --symbols N,N,... | FILE.o3d) --out PICTURE\n"
    "         [--size WxH] [--view NAME|x,y,z,bearing,incline] [--contours] [--no-zbuffer]\n"
    "         [--no-bitmap] [--raytrace] [--height-tag KEY] [--force]\n";
constexpr const char* kExportUsage =
    "usage: terrak-cli export (MAP.ocd --symbols N,N,... | FILE.o3d) [--dem FILE.tif]\n"
    "         [--format DRIVER] [--glb FILE.glb] [--stl FILE.stl] [--interval N]\n"
    "         [--exaggeration F] [--print-width MM] [--base MM] [--smoothing F] [--passes P]\n"
    "         [--contour-gap G] [--height-tag KEY] [--force]\n";

constexpr const char* kMapUsage =
    "usage: terrak-cli map MAP.ocd --out PICTURE [--dpi N] [--force]\n";

// The usage line of each command in the program's own words, in help and after every error.
class UsageFormatter : public CLI::Formatter {
 public:
  explicit UsageFormatter(std::string usage) : usage_(std::move(usage)) {}
  std::string make_usage(const CLI::App*, std::string) const override { return usage_; }

 private:
  std::string usage_;
};

void SetUsage(CLI::App& app, const char* usage) {
  app.formatter(std::make_shared<UsageFormatter>(usage));
}

// A check of an option's text by one of the readers of arguments.h.
template <typename Reader>
CLI::Validator Wants(Reader reader, const std::string& what) {
  return CLI::Validator(
      [reader, what](std::string& text) { return reader(text) ? std::string() : "wants " + what; },
      "");
}

CLI::Validator SymbolsCheck() {
  return Wants(ParseSymbolList, "symbol numbers as info prints them, like 101,102 or 103.2");
}

// The ranges of the models' options, as the viewer's export options window offers them.
CLI::Validator RangeCheck(const ChoiceRange& range) {
  return Wants(
      [range](const std::string& text) {
        const std::optional<double> value = ParsePositiveNumber(text);
        return value && *value >= range.Min && *value <= range.Max;
      },
      "a number from " + ShortestNumberText(range.Min) + " to " + ShortestNumberText(range.Max));
}

// "GTiff, COG, ...": the DEM's formats.
std::string DemFormatList() {
  std::string names;
  for (const DemFormat& format : DemFormats()) names += (names.empty() ? "" : ", ") + format.Driver;
  return names;
}

// The help's words for the symbols a map's grid is built from.
constexpr const char* kSymbolsHelp =
    "the contour symbols, as info prints them: the number the map shows (10.1 on OCAD 5 to 8 "
    "maps, 101 or 103.2 on later ones) or the number before it (101, 101000)";

CLI::Validator WholeNumberCheck() { return Wants(ParseWholeNumber, "a whole number"); }

struct Texts {  // options kept as text until every check has passed
  std::string Objects, Symbols, Smoothing, Passes, ContourGap, Size, View;
  std::string Interval, Exaggeration, PrintWidth, Base, Dpi;
};

// Mapper maps keep heights in an object tag; the map's usual one unless this names another.
void AddHeightTag(CLI::App& command, std::string& tag) {
  command.add_option("--height-tag", tag, "Mapper maps: the object tag holding heights in metres")
      ->type_name("KEY");
}

void AddInfo(CLI::App& app, InfoOptions& o, Texts& t) {
  CLI::App* info = app.add_subcommand(
      "info", "Print the map's version, scale, zoom, view offset and every symbol");
  SetUsage(*info, kInfoUsage);
  info->add_option("MAP.ocd", o.MapFile, "the map: " + MapFormatsText())->required();
  info->add_option("--objects", t.Objects,
                   "also print the map's extent and every object of these symbols")
      ->type_name("N,N,...")
      ->check(SymbolsCheck());
  AddHeightTag(*info, o.HeightTag);
}

void AddGrid(CLI::App& app, GridOptions& o, Texts& t) {
  CLI::App* grid = app.add_subcommand(
      "grid", "Build the terrain grid from the contours of the symbols, as the 3D viewer does");
  SetUsage(*grid, kGridUsage);
  grid->add_option("MAP.ocd", o.MapFile, "the map: " + MapFormatsText())->required();
  grid->add_option("--symbols", t.Symbols, kSymbolsHelp)
      ->type_name("N,N,...")
      ->required()
      ->check(SymbolsCheck());
  const Settings defaults;
  grid->add_option("--smoothing", t.Smoothing, "smoothing factor")
      ->type_name("F")
      ->default_str(std::to_string(defaults.Smoothing))
      ->check(WholeNumberCheck());
  grid->add_option("--passes", t.Passes, "smoothing passes")
      ->type_name("P")
      ->default_str(std::to_string(defaults.SmoothingPasses))
      ->check(WholeNumberCheck());
  grid->add_option("--contour-gap", t.ContourGap, "largest gap between contours, metres")
      ->type_name("G")
      ->default_str(std::to_string(defaults.ContourGap))
      ->check(WholeNumberCheck());
  grid->add_option("--xyz", o.Xyz, "write the contour points (x,y,height) to FILE")
      ->type_name("FILE");
  grid->add_option("--matrix", o.Matrix, "write the whole grid as a matrix to FILE")
      ->type_name("FILE");
  grid->add_option("--o3d", o.Map3d, "write the 3D map file with the viewer's viewpoints")
      ->type_name("FILE");
  grid->add_flag("--force", o.Force, "replace output files even when they are read-only");
  grid->add_flag("--reference", o.Reference,
                 "build along the plain, slower paths: the same grid, for comparing");
  grid->add_flag("--no-drape", o.NoDrape,
                 "do not drape the map's own drawing over the grid (time the grid alone)");
  AddHeightTag(*grid, o.HeightTag);
}

void AddRender(CLI::App& app, RenderOptions& o, Texts& t) {
  CLI::App* render = app.add_subcommand(
      "render", "Draw the 3D viewer's picture of a map or a 3D map file into a picture file");
  SetUsage(*render, kRenderUsage);
  render->add_option("INPUT", o.Input, "a map (OCAD or Mapper), or a 3D map file ending in .o3d")
      ->required();
  render->add_option("--symbols", t.Symbols, kSymbolsHelp)
      ->type_name("N,N,...")
      ->check(SymbolsCheck());
  render->add_option("--out", o.Out, "the picture: a 24-bit bitmap, or a PNG for a .png name")
      ->type_name("PICTURE")
      ->required();
  render->add_option("--size", t.Size, "picture size, each side 1 to 10000 pixels")
      ->type_name("WxH")
      ->default_str("1200x900")
      ->check(Wants(ParsePictureSize, "WxH, each side 1 to 10000 pixels"));
  render->add_option("--view", t.View, "a preset (N S E W NE NW SE SW) or an eye point")
      ->type_name("NAME|x,y,z,bearing,incline")
      ->default_str("N")
      ->check(Wants(ParseView, "N, S, E, W, NE, NW, SE, SW or x,y,z,bearing,incline"));
  render->add_flag("--contours", o.Contours, "draw the contours at their heights (wedding cake)");
  render->add_flag("--raytrace", o.RayTrace, "draw in Ray Trace Mode");
  render->add_flag("--no-zbuffer", o.NoZBuffer, "switch off the hidden-line removal");
  render->add_flag("--no-bitmap", o.NoBitmap, "do not drape the map image");
  render->add_flag("--force", o.Force, "replace the picture even when it is read-only");
  AddHeightTag(*render, o.HeightTag);
}

void AddExport(CLI::App& app, ExportOptions& o, Texts& t) {
  CLI::App* exports = app.add_subcommand(
      "export", "Write the terrain as a DEM, a glTF model or an STL for 3D printing");
  SetUsage(*exports, kExportUsage);
  exports->add_option("INPUT", o.Input, "a map (OCAD or Mapper), or a 3D map file ending in .o3d")
      ->required();
  exports->add_option("--symbols", t.Symbols, kSymbolsHelp)
      ->type_name("N,N,...")
      ->check(SymbolsCheck());
  AddHeightTag(*exports, o.HeightTag);
  exports->add_option("--dem", o.Dem, "write the heights as a raster DEM (GeoTIFF by default)")
      ->type_name("FILE");
  exports->add_option("--format", o.DemFormat,
                      "the DEM's raster format by GDAL's name, in any letter case: " +
                          DemFormatList() + "; by default the one its extension names, else GTiff")
      ->type_name("DRIVER")
      ->check(Wants([](const std::string& text) { return FindDemFormat(DemFormats(), text); },
                    "one of " + DemFormatList()));
  exports->add_option("--glb", o.Glb, "write a glTF binary model, the map image draped")
      ->type_name("FILE");
  exports->add_option("--stl", o.Stl, "write a closed STL solid for 3D printing")
      ->type_name("FILE");
  const Settings defaults;
  exports->add_option("--interval", t.Interval, "every N-th cell a vertex of the models, 1 to 100")
      ->type_name("N")
      ->default_str(std::to_string(defaults.GridInterval))
      ->check(Wants(
          [](const std::string& text) {
            const std::optional<std::int32_t> n = ParseWholeNumber(text);
            return n && *n >= kExportIntervalRange.Min && *n <= kExportIntervalRange.Max;
          },
          "a whole number from 1 to 100"));
  exports->add_option("--exaggeration", t.Exaggeration,
                      "heights of the models multiplied by F, 0.1 to 100")
      ->type_name("F")
      ->default_str("1")
      ->check(RangeCheck(kExaggerationRange));
  exports->add_option("--print-width", t.PrintWidth,
                      "the STL's width from west to east, 10 to 2000 mm")
      ->type_name("MM")
      ->default_str("150")
      ->check(RangeCheck(kPrintWidthRange));
  exports->add_option("--base", t.Base, "the STL's base below the lowest height, 0.5 to 100 mm")
      ->type_name("MM")
      ->default_str("5")
      ->check(RangeCheck(kBaseRange));
  exports->add_option("--smoothing", t.Smoothing, "smoothing factor of a map's grid")
      ->type_name("F")
      ->default_str(std::to_string(defaults.Smoothing))
      ->check(WholeNumberCheck());
  exports->add_option("--passes", t.Passes, "smoothing passes of a map's grid")
      ->type_name("P")
      ->default_str(std::to_string(defaults.SmoothingPasses))
      ->check(WholeNumberCheck());
  exports->add_option("--contour-gap", t.ContourGap, "largest gap between contours, metres")
      ->type_name("G")
      ->default_str(std::to_string(defaults.ContourGap))
      ->check(WholeNumberCheck());
  exports->add_flag("--force", o.Force, "replace output files even when they are read-only");
}

void AddMap(CLI::App& app, MapOptions& o, Texts& t) {
  CLI::App* map = app.add_subcommand(
      "map", "Draw the whole map in its own colours into a picture file");
  SetUsage(*map, kMapUsage);
  map->add_option("MAP.ocd", o.MapFile, "an OCAD map (versions 6 to 2018) or a Mapper map")
      ->required();
  map->add_option("--out", o.Out, "the picture: a 24-bit bitmap, or a PNG for a .png name")
      ->type_name("PICTURE")
      ->required();
  map->add_option("--dpi", t.Dpi, "dots per inch of paper (25.4 x scale / 1000: a pixel a metre)")
      ->type_name("N")
      ->default_str("300")
      ->check(Wants(ParsePositiveNumber, "a number greater than 0"));
  map->add_flag("--force", o.Force, "replace the picture even when it is read-only");
}

// The values behind the texts; each has passed its check already.
void TakeGridTexts(const Texts& t, GridOptions& o) {
  o.Symbols = *ParseSymbolList(t.Symbols);
  if (!t.Smoothing.empty()) o.Values.Smoothing = *ParseWholeNumber(t.Smoothing);
  if (!t.Passes.empty()) o.Values.SmoothingPasses = *ParseWholeNumber(t.Passes);
  if (!t.ContourGap.empty()) o.Values.ContourGap = *ParseWholeNumber(t.ContourGap);
}

void TakeRenderTexts(const Texts& t, RenderOptions& o) {
  if (!t.Symbols.empty()) o.Symbols = *ParseSymbolList(t.Symbols);
  if (!t.Size.empty()) {
    const PictureSize size = *ParsePictureSize(t.Size);
    o.Width = size.Width;
    o.Height = size.Height;
  }
  if (!t.View.empty()) {
    const auto view = *ParseView(t.View);
    if (const auto* preset = std::get_if<ViewpointIndex>(&view))
      o.Preset = *preset;
    else
      o.View = std::get<TViewPoint>(view);
  }
  o.Map3dFile = EndsWithNoCase(o.Input, ".o3d");
  o.Png = EndsWithNoCase(o.Out, ".png");
  if (o.Map3dFile && o.Contours)
    throw CLI::ValidationError("a 3D map file holds no contours to draw");
  if (!o.Map3dFile && t.Symbols.empty())
    throw CLI::ValidationError("a map needs --symbols N,N,...");
  if (o.Contours && o.RayTrace)
    throw CLI::ValidationError("--contours and --raytrace exclude each other");
}

void TakeExportTexts(const Texts& t, ExportOptions& o) {
  if (!t.Symbols.empty()) o.Symbols = *ParseSymbolList(t.Symbols);
  if (!t.Smoothing.empty()) o.Values.Smoothing = *ParseWholeNumber(t.Smoothing);
  if (!t.Passes.empty()) o.Values.SmoothingPasses = *ParseWholeNumber(t.Passes);
  if (!t.ContourGap.empty()) o.Values.ContourGap = *ParseWholeNumber(t.ContourGap);
  if (!t.Interval.empty()) o.Interval = *ParseWholeNumber(t.Interval);
  if (!t.Exaggeration.empty()) o.Exaggeration = *ParsePositiveNumber(t.Exaggeration);
  if (!t.PrintWidth.empty()) o.PrintWidthMm = *ParsePositiveNumber(t.PrintWidth);
  if (!t.Base.empty()) o.BaseMm = *ParsePositiveNumber(t.Base);
  o.Map3dFile = EndsWithNoCase(o.Input, ".o3d");
  if (!o.Map3dFile && t.Symbols.empty())
    throw CLI::ValidationError("a map needs --symbols N,N,...");
  if (o.Dem.empty() && o.Glb.empty() && o.Stl.empty())
    throw CLI::ValidationError("nothing to export: give --dem, --glb or --stl");
  if (!o.DemFormat.empty() && o.Dem.empty())
    throw CLI::ValidationError("--format names the DEM's format: give --dem as well");
}

// A few of CLI11's errors said in the program's words; nothing for the others.
std::optional<CLI::ParseError> InOurWords(const CLI::App& app, const CLI::ParseError& e) {
  const auto error = [](const std::string& text) {
    return CLI::ParseError(text, CLI::ExitCodes::ValidationError);
  };
  const bool aboutArguments = dynamic_cast<const CLI::RequiredError*>(&e) != nullptr ||
                              dynamic_cast<const CLI::ExtrasError*>(&e) != nullptr;
  // An argument that belongs nowhere explains more than the requirements it leaves unmet,
  // which CLI11 checks first.
  const std::vector<std::string> extra = app.remaining(true);
  if (aboutArguments && !extra.empty()) {
    if (app.get_subcommands().empty() && extra.front().rfind('-', 0) != 0)
      return error("unknown command \"" + extra.front() + "\"");
    return error("unexpected argument \"" + extra.front() + "\"");
  }
  if (aboutArguments && app.get_subcommands().empty())
    return error("a command is needed: info, grid, render, export, heights or map");
  // An option without its value: "1 required N,N,... missing" in CLI11's words.
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr) {
    const std::string what = e.what();
    const std::size_t colon = what.find(':');
    if (colon != std::string::npos) return error(what.substr(0, colon) + ": wants a value");
  }
  return std::nullopt;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                   std::ostream& err) {
  CLI::App app("Terrak's core without windows: what a map holds, its terrain grid, the 3D "
               "viewer's pictures and the map in its own colours.",
               "terrak-cli");
  SetUsage(app, kMainUsage);
  app.set_version_flag("--version", std::string("terrak-cli ") + TERRAK_VERSION,
                       "print the version and exit");
  app.set_help_flag("-h,--help", "print this help and exit");
  app.require_subcommand(1);
  app.footer("Symbols are named as info prints them: by the number the map shows (10.1 on OCAD "
             "5 to 8 maps, 101 or 103.2 on later ones) or by the number before it (101 for 10.1, "
             "101000 for 101). Exit codes: 0 done, 1 failed or refused, 2 wrong arguments.");

  InfoOptions info;
  GridOptions grid;
  RenderOptions render;
  ExportOptions exports;
  MapOptions map;
  Texts texts;
  AddInfo(app, info, texts);
  AddGrid(app, grid, texts);
  AddRender(app, render, texts);
  AddExport(app, exports, texts);
  HeightsOptions heights;
  HeightsTexts heightsTexts;
  SetUsage(*AddHeightsCommand(app, heights, heightsTexts), kHeightsUsage);
  AddMap(app, map, texts);

  app.failure_message([](const CLI::App* top, const CLI::Error& e) {
    const std::vector<CLI::App*> chosen = top->get_subcommands();
    const CLI::App* about = chosen.empty() ? top : chosen.front();
    const std::string name = chosen.empty() ? "terrak-cli" : "terrak-cli " + about->get_name();
    const auto formatter = std::dynamic_pointer_cast<UsageFormatter>(about->get_formatter());
    return name + ": " + e.what() + "\n" + (formatter ? formatter->make_usage(about, "") : "") +
           "Run \"" + name + " --help\" for more.\n";
  });

  try {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    app.parse(reversed);
    const CLI::App* chosen = app.get_subcommands().front();
    if (chosen->get_name() == "info") {
      if (!texts.Objects.empty()) info.Objects = *ParseSymbolList(texts.Objects);
      return {info, kExitSuccess};
    }
    if (chosen->get_name() == "grid") {
      TakeGridTexts(texts, grid);
      return {grid, kExitSuccess};
    }
    if (chosen->get_name() == "heights") {
      TakeHeightsTexts(heightsTexts, heights);
      return {heights, kExitSuccess};
    }
    if (chosen->get_name() == "export") {
      TakeExportTexts(texts, exports);
      return {exports, kExitSuccess};
    }
    if (chosen->get_name() == "map") {
      if (!texts.Dpi.empty()) map.Dpi = *ParsePositiveNumber(texts.Dpi);
      map.Png = EndsWithNoCase(map.Out, ".png");
      return {map, kExitSuccess};
    }
    TakeRenderTexts(texts, render);
    return {render, kExitSuccess};
  } catch (const CLI::ParseError& e) {
    const std::optional<CLI::ParseError> ours = InOurWords(app, e);
    const int exit = app.exit(ours ? *ours : e, out, err);
    return {std::nullopt, exit == static_cast<int>(CLI::ExitCodes::Success) ? kExitSuccess
                                                                           : kExitUsage};
  }
}

}  // namespace terrak::cli
