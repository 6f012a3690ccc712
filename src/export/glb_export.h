#pragma once
// The terrain as a glTF 2.0 binary (".glb"): one mesh of triangles in metres, y up, with the map
// bitmap as its texture when the grid has one (encoded through the GDAL module, so a textured
// model needs it). Opens in Blender and any glTF viewer.
#include <cstdint>
#include <string>
#include <vector>

#include "export/export_file.h"
#include "export/export_progress.h"
#include "grid/grid_state.h"
#include "mapfile/georeferencing.h"

namespace terrak {

inline constexpr std::int64_t kMaxTextureSide = 8192;

struct GlbOptions {
  std::int32_t Interval = 5;  // every n-th cell becomes a vertex, as the viewer's grid interval
  double Exaggeration = 1.0;  // heights above the lowest one are multiplied by it
  bool Texture = true;        // drape the map bitmap when the grid has one
  std::int64_t MaxTextureSide = kMaxTextureSide;
};

// One file. The node's extras name where the origin lies (ground metres and height, and the
// projected position when the map is georeferenced), so the model can be placed again.
ExportedFiles ExportGlb(const GridState& grid, const Georeferencing& georef,
                        const GlbOptions& options, const ExportProgressCallback& progress = {});

std::vector<std::string> WriteGlbFile(const std::string& target, const GridState& grid,
                                      const Georeferencing& georef, const GlbOptions& options,
                                      const ExportProgressCallback& progress = {});

}  // namespace terrak
