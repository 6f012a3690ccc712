#pragma once
// The commands of terrak-cli: what each one is asked to do, and the function that does it. Each
// returns the exit code; failures of the map and the files end it by exception, which the one
// handler of the run reports.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli/heights_command.h"
#include "cli/run_context.h"
#include "mapfile/map_model.h"
#include "mapfile/settings.h"
#include "terrain/viewpoint.h"

namespace terrak::cli {

struct InfoOptions {
  std::string MapFile;
  // Also print the objects of these symbols, named as in ParseSymbolList.
  std::optional<std::vector<std::string>> Objects;
  std::string HeightTag;  // Mapper maps: the tag holding heights; empty for the map's default
};

struct GridOptions {
  std::string MapFile;
  std::vector<std::string> Symbols;  // as ParseSymbolList reads them
  std::string HeightTag;
  Settings Values;  // smoothing, passes and gap; the defaults of the settings file otherwise
  std::string Xyz, Matrix, Map3d;  // files to write; empty for none
  bool Force = false;              // replace read-only outputs
  bool Reference = false;          // build along the plain paths
  bool NoDrape = false;            // leave the map's own drawing off the grid
};

struct RenderOptions {
  std::string Input;
  bool Map3dFile = false;  // the input ends in ".o3d" (any letter case)
  std::vector<std::string> Symbols;  // as ParseSymbolList reads them
  std::string HeightTag;
  std::string Out;
  bool Png = false;  // the output ends in ".png" (any letter case)
  std::int32_t Width = 1200;
  std::int32_t Height = 900;
  ViewpointIndex Preset = kNorthView;
  std::optional<TViewPoint> View;  // x, y, z, bearing, incline given
  bool Contours = false;
  bool NoZBuffer = false;
  bool NoBitmap = false;
  bool RayTrace = false;
  bool Force = false;
};

struct ExportOptions {
  std::string Input;
  bool Map3dFile = false;  // the input ends in ".o3d" (any letter case)
  std::vector<std::string> Symbols;  // as ParseSymbolList reads them
  std::string HeightTag;
  Settings Values;  // smoothing, passes and gap of the grid built from a map
  std::string Dem, Glb, Stl;  // files to write; empty for none, at least one given
  std::string DemFormat;      // a GDAL raster driver; empty: from the DEM's extension
  std::int32_t Interval = Settings{}.GridInterval;  // of the meshes
  double Exaggeration = 1.0;                        // of the meshes
  double PrintWidthMm = 150.0;
  double BaseMm = 5.0;
  bool Force = false;
};

struct MapOptions {
  std::string MapFile;
  std::string Out;
  bool Png = false;  // the output ends in ".png" (any letter case)
  double Dpi = 300;  // dots per inch of paper
  bool Force = false;
};

using CommandOptions =
    std::variant<InfoOptions, GridOptions, RenderOptions, ExportOptions, HeightsOptions,
                 MapOptions>;

int InfoCommand(const InfoOptions& options, RunContext& run);
// A Mapper map reads its heights from heightTag (when not empty); other maps ignore it.
void ApplyHeightTag(MapModel& model, const std::string& heightTag);
// For a Mapper map: the line that names its numeric tag keys and --height-tag, to follow a
// warning about contours without heights; empty for other maps and maps without such tags.
std::string HeightTagHint(const MapModel& model);
int GridCommand(const GridOptions& options, RunContext& run);
int RenderCommand(const RenderOptions& options, RunContext& run);
int ExportCommand(const ExportOptions& options, RunContext& run);
int MapCommand(const MapOptions& options, RunContext& run);

}  // namespace terrak::cli
