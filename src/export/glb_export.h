#pragma once
// The terrain as a glTF 2.0 binary (".glb"): one mesh of triangles in metres, y up, with the map
// bitmap as its texture when the grid has one (encoded through the GDAL module, so a textured
// model needs it). Opens in Blender and any glTF viewer.
#include <cstdint>
#include <string>
#include <vector>

#include "export/export_file.h"
#include "export/export_progress.h"
#include "terrain/grid_state.h"
#include "mapfile/georeferencing.h"

namespace terrak {

inline constexpr std::int64_t kMaxTextureSide = 8192;

struct GlbOptions {
  std::int32_t Interval = 5;  // every n-th cell becomes a vertex, as the viewer's grid interval
  double Exaggeration = 1.0;  // heights above the lowest one are multiplied by it
  bool Texture = true;        // drape the map bitmap when the grid has one
  std::int64_t MaxTextureSide = kMaxTextureSide;
};

// One file, in metres on the ground (the georeferencing's scale factor applied). The node's
// extras say where the origin lies (the map's ground metres and height) and, for a georeferenced
// map, its projected position, the EPSG code, the turn of the model's x axis counter-clockwise
// from the coordinate system's east and the scale factor, so a GIS can place the model.
// Throws ExportError for a grid without triangles, a model too large for the format or sizes
// single-precision numbers cannot hold.
ExportedFiles ExportGlb(const GridState& grid, const Georeferencing& georef,
                        const GlbOptions& options, const ExportProgressCallback& progress = {});

// The checks ExportGlb makes before it starts, without making anything.
void CheckGlbExport(const GridState& grid, const Georeferencing& georef, const GlbOptions& options);

// ExportGlb written into target as it is made (through the safe writer), so the model never
// lies whole in memory. Returns the notes.
std::vector<std::string> WriteGlbFile(const std::string& target, const GridState& grid,
                                      const Georeferencing& georef, const GlbOptions& options,
                                      const ExportProgressCallback& progress = {});

}  // namespace terrak
