#pragma once
// terrak-cli heights: every contour's height derived from the known ones (or taken from a DEM),
// the map written whole with them to a new file in its own format.
#include <cstdint>
#include <string>
#include <vector>

#include "heights/contour_roles.h"

namespace CLI {
class App;
}

namespace terrak::cli {

class RunContext;

struct HeightsOptions {
  std::string MapFile;
  // The interval and the index contours' step; the symbols of each role come from the items
  // below, found in the map as info prints them.
  heights::ContourRoles Roles;
  std::vector<std::string> Contours, IndexContours, FormLines, SlopeLines;
  std::string Dem;     // take the heights from this DEM; empty: derive them
  std::string Out;     // the map with its heights
  std::string Report;  // a CSV line per contour object; empty for none
  std::string HeightTag;
  bool Force = false;
};

// The option texts, kept until every check has passed.
struct HeightsTexts {
  std::string Contours, IndexContours, FormLines, SlopeLines, IndexEvery, Interval;
};

inline constexpr const char* kHeightsUsage =
    "usage: terrak-cli heights MAP --contours S[,S...] [--index-contours S[,S...]]\n"
    "         [--index-every N] [--form-lines S[,S...]] [--slope-lines S[,S...]]\n"
    "         --interval METRES [--dem FILE] --out OUT [--report FILE.csv]\n"
    "         [--height-tag KEY] [--force]\n";

// Adds the command and its options to app; SetUsage gives it the usage text.
CLI::App* AddHeightsCommand(CLI::App& app, HeightsOptions& options, HeightsTexts& texts);
// The values behind the checked texts; throws CLI::ValidationError for what only the whole
// command line can tell.
void TakeHeightsTexts(const HeightsTexts& texts, HeightsOptions& options);

int HeightsCommand(const HeightsOptions& options, RunContext& run);

}  // namespace terrak::cli
