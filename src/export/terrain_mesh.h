#pragma once
// The terrain as a triangle mesh for 3D tools, in glTF's frame: x east, y up, z south, metres.
// The origin lies at the middle of the grid at the lowest height, so the model sits on the
// ground plane of a 3D program, centred.
#include <array>
#include <cstdint>
#include <vector>

#include "export/export_progress.h"
#include "grid/grid_state.h"

namespace terrak {

struct TerrainMesh {
  std::vector<float> Positions;  // x, y, z per vertex
  std::vector<float> Normals;    // unit, x, y, z per vertex
  std::vector<float> TexCoords;  // u, v per vertex: the vertex's cell in the map bitmap
  std::vector<std::uint32_t> Indices;  // three per triangle, counter-clockwise seen from above
  std::array<float, 3> Min{}, Max{};
  // Where the origin lies: ground metres east and north, and the height in metres.
  double OriginX = 0.0, OriginY = 0.0, OriginHeight = 0.0;
};

// Every interval-th cell of the grid becomes a vertex (the last column and row always do);
// empty cells give none, and a triangle is made only where its three corners have heights.
// Heights are multiplied by exaggeration above the lowest one. Throws ExportError when the grid
// is empty or holds no triangle.
TerrainMesh MakeTerrainMesh(const GridState& grid, std::int32_t interval, double exaggeration,
                            ExportProgress& progress);

}  // namespace terrak
