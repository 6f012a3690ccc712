// terrak-cli info: what the program reads from a map, one item a line.
#include <cstdio>
#include <ostream>
#include <string>
#include <utility>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/cli_dialogs.h"
#include "cli/commands.h"
#include "cli/symbol_names.h"
#include "mapfile/format_of_map.h"
#include "mapfile/map_format.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"

namespace terrak::cli {

namespace {

// A point's flags as letters after its coordinates: c and d the first and second control
// point, h the first point of a hole, k a corner, l and r no left or right side line, s a dash
// point, g an area border or gap, e the end of a closed part.
void PrintPointFlags(std::uint32_t flags, std::ostream& out) {
  static constexpr std::pair<std::uint32_t, char> kLetters[] = {
      {point_flag::kFirstControl, 'c'}, {point_flag::kSecondControl, 'd'},
      {point_flag::kHoleStart, 'h'},    {point_flag::kCorner, 'k'},
      {point_flag::kNoLeftLine, 'l'},   {point_flag::kNoRightLine, 'r'},
      {point_flag::kDash, 's'},         {point_flag::kGap, 'g'},
      {point_flag::kClose, 'e'}};
  for (const auto& [flag, letter] : kLetters)
    if (flags & flag) out << letter;
}

void PrintObjects(const MapModel& model, std::ostream& out) {
  out << "extent " << model.MapMinX << ' ' << model.MapMinY << ' ' << model.MapMaxX << ' '
      << model.MapMaxY << '\n';
  for (std::size_t i = 0; i < model.MapObjects.size(); ++i) {
    const TMapObject& o = model.MapObjects[i];
    const TObjectCoords& coords = model.ObjectCoords[i];
    // The height in tenths of a metre; "none" for an object without one (0 is 0 m).
    out << "object " << i << ' ' << o.Symbol << ' ' << o.ObjectType << ' '
        << (o.HasHeight ? std::to_string(o.Height) : std::string("none")) << ' ' << coords.Count << ' ' << o.MinX << ' ' << o.MinY << ' ' << o.MaxX << ' ' << o.MaxY
        << '\n';
    out << "coords";
    for (const ModelPoint& p : coords.Points) {
      out << ' ' << p.X << ',' << p.Y;
      PrintPointFlags(p.Flags, out);
    }
    out << '\n';
  }
}

// Every digit of the number: a fixed buffer would cut the long ones.
std::string FixedText(double value, int decimals) {
  const int length = std::snprintf(nullptr, 0, "%.*f", decimals, value);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

// Where the map lies: the CRS when the map names one, the projected position of the paper origin
// and the paper's turn against grid north.
void PrintGeoreferencing(const Georeferencing& g, std::ostream& out) {
  if (!g.Known) return;
  if (!g.CrsName.empty() || g.EpsgCode != 0) {
    out << "crs";
    if (!g.CrsName.empty()) out << ' ' << g.CrsName;
    if (g.EpsgCode != 0) out << " EPSG:" << g.EpsgCode;
    out << '\n';
  }
  out << "georeferencing origin " << FixedText(g.OriginEasting, 3) << ' '
      << FixedText(g.OriginNorthing, 3) << " angle " << ShortestNumberText(g.AngleDegrees)
      << " scale-factor " << ShortestNumberText(g.ScaleFactor) << '\n';
}

void PrintHeightTags(const MapModel& model, std::ostream& out) {
  const HeightTagChoice* map = HeightTagsOf(std::as_const(model));
  if (!map) return;
  out << "height-tag " << map->HeightTag() << '\n';
  for (const TagKeyCount& key : map->HeightTagKeys())
    out << "tag " << key.Key << ' ' << key.Objects << '\n';
}

}  // namespace

void ApplyHeightTag(MapModel& model, const std::string& heightTag) {
  HeightTagChoice* map = HeightTagsOf(model);
  if (map && !heightTag.empty()) map->SetHeightTag(heightTag);
}

std::string HeightTagHint(const MapModel& model) {
  const HeightTagChoice* map = HeightTagsOf(std::as_const(model));
  if (!map || map->HeightTagKeys().empty()) return {};
  std::string keys;
  for (const TagKeyCount& key : map->HeightTagKeys())
    keys += (keys.empty() ? "" : ", ") + key.Key + " (" + std::to_string(key.Objects) + ")";
  return "heights are read from the tag \"" + map->HeightTag() +
         "\"; the numeric tags of the map's lines (objects): " + keys +
         "; --height-tag KEY chooses another";
}

int InfoCommand(const InfoOptions& options, RunContext& run) {
  const std::string workingCopy = run.Scratch().File("OCADCopy.tmp");
  MapModel model;
  model.MapFileName = options.MapFile;
  CliDialogs dialogs(run.Err);
  if (OpenMapFile(model, workingCopy, dialogs) != OpenResult::Opened) return kExitFailure;
  ApplyHeightTag(model, options.HeightTag);
  // A symbol the map lacks ends the run before anything is printed.
  if (options.Objects) {
    const std::vector<std::int32_t> numbers = FindSymbols(*options.Objects, model);
    for (const std::int32_t symbol : numbers) model.SelectedSymbols.push_back({symbol, kBlack});
    model.SymbolsSelected = !model.SelectedSymbols.empty();
    ReadObjects(model, workingCopy);
    CheckSymbolsFound(*options.Objects, numbers, model);
  }
  std::ostream& out = run.Out;
  if (const std::string format = FormatNameOf(model); !format.empty())
    out << "format " << format << '\n';
  out << "version " << FormatVersionOf(model) << '\n';
  out << "scale " << ShortestNumberText(model.MapScale) << '\n';
  out << "zoom " << model.MapZoom << '\n';
  out << "offset " << model.MapOffsetX << ' ' << model.MapOffsetY << '\n';
  PrintGeoreferencing(model.Georef, out);
  PrintHeightTags(model, out);
  for (const TmapSymbol& s : model.SymbolList)
    out << "symbol " << s.Symbol << ' ' << s.ObjectType << ' ' << s.Text << '\n';
  if (options.Objects) PrintObjects(model, out);
  return kExitSuccess;
}

}  // namespace terrak::cli
