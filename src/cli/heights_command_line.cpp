// The options of terrak-cli heights, read with CLI11.
#include <CLI/CLI.hpp>

#include <algorithm>

#include "cli/arguments.h"
#include "cli/heights_command.h"
#include "mapfile/map_formats.h"

namespace terrak::cli {

namespace {

template <typename Reader>
CLI::Validator Wants(Reader reader, const std::string& what) {
  return CLI::Validator(
      [reader, what](std::string& text) { return reader(text) ? std::string() : "wants " + what; },
      "");
}

CLI::Validator Symbols() { return Wants(ParseSymbolList, "symbols like 101.0,101.1 or 101,102"); }

void AddSymbols(CLI::App& command, const char* name, std::string& text, const char* what) {
  command.add_option(name, text, what)->type_name("S[,S...]")->check(Symbols());
}

bool IndexEveryText(const std::string& text) {
  const std::optional<std::int32_t> n = ParseWholeNumber(text);
  return n && *n >= 2 && *n <= 1000;
}

}  // namespace

CLI::App* AddHeightsCommand(CLI::App& app, HeightsOptions& o, HeightsTexts& t) {
  CLI::App* command = app.add_subcommand(
      "heights", "Derive every contour's height from the known ones (or take them from a DEM) "
                 "and write the map with them to a new file");
  command->add_option("MAP", o.MapFile, "the map: " + MapFormatsText())->required();
  AddSymbols(*command, "--contours", t.Contours, "the contour symbols");
  command->get_option("--contours")->required();
  AddSymbols(*command, "--index-contours", t.IndexContours, "the index contour symbols");
  command->add_option("--index-every", t.IndexEvery, "every N-th level is an index level")
      ->type_name("N")
      ->default_str(std::to_string(heights::kDefaultIndexEvery))
      ->check(Wants(IndexEveryText, "a whole number from 2 to 1000"));
  AddSymbols(*command, "--form-lines", t.FormLines, "the form line symbols (half levels)");
  AddSymbols(*command, "--slope-lines", t.SlopeLines, "the slope line symbols (downhill ticks)");
  command->add_option("--interval", t.Interval, "the contour interval in metres")
      ->type_name("METRES")
      ->required()
      ->check(Wants(ParsePositiveNumber, "a number of metres greater than 0"));
  command->add_option("--dem", o.Dem, "take the heights from this DEM (any raster GDAL reads)")
      ->type_name("FILE");
  command->add_option("--out", o.Out, "write the map with its heights here, in its own format")
      ->type_name("OUT")
      ->required();
  command->add_option("--report", o.Report, "write a CSV line per contour object")
      ->type_name("FILE.csv");
  command->add_option("--height-tag", o.HeightTag,
                      "Mapper maps: the object tag holding heights in metres")
      ->type_name("KEY");
  command->add_flag("--force", o.Force, "replace output files even when they are read-only");
  return command;
}

void TakeHeightsTexts(const HeightsTexts& t, HeightsOptions& o) {
  heights::ContourRoles& roles = o.Roles;
  o.Contours = *ParseSymbolList(t.Contours);
  if (!t.IndexContours.empty()) o.IndexContours = *ParseSymbolList(t.IndexContours);
  if (!t.FormLines.empty()) o.FormLines = *ParseSymbolList(t.FormLines);
  if (!t.SlopeLines.empty()) o.SlopeLines = *ParseSymbolList(t.SlopeLines);
  if (!t.IndexEvery.empty()) roles.IndexEvery = *ParseWholeNumber(t.IndexEvery);
  roles.Interval = *ParsePositiveNumber(t.Interval);
  // Each symbol has one role (the same item twice; other spellings are caught once the map
  // tells which symbols the items name).
  std::vector<std::string> seen;
  for (const auto* list : {&o.Contours, &o.IndexContours, &o.FormLines, &o.SlopeLines})
    for (const std::string& item : *list) {
      if (std::find(seen.begin(), seen.end(), item) != seen.end())
        throw CLI::ValidationError("a symbol is given more than once");
      seen.push_back(item);
    }
}

}  // namespace terrak::cli
