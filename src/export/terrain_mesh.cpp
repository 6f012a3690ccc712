#include "export/terrain_mesh.h"

#include <cmath>
#include <limits>

#include "export/export_error.h"
#include "export/terrain_lattice.h"

namespace terrak {
namespace {

constexpr std::uint32_t kNoVertex = std::numeric_limits<std::uint32_t>::max();

}  // namespace

TerrainMesh MakeTerrainMesh(const GridState& grid, std::int32_t interval, double exaggeration,
                            ExportProgress& progress) {
  const HeightGridType& heights = grid.HeightGrid;
  if (heights.Empty()) throw ExportError(kNoGridMessage);
  const std::vector<std::int64_t> xs = LatticeIndices(heights.Columns(), interval);
  const std::vector<std::int64_t> ys = LatticeIndices(heights.Rows(), interval);
  const std::optional<HeightRange> range = LatticeHeightRange(grid, xs, ys);
  if (!range) throw ExportError(kNoHeightsMessage);
  const std::size_t nx = xs.size(), ny = ys.size();
  if (static_cast<double>(nx) * static_cast<double>(ny) >= kNoVertex)
    throw ExportError("The model would have too many vertices: choose a larger grid interval");

  TerrainMesh mesh;
  const double columns = static_cast<double>(heights.Columns());
  const double rows = static_cast<double>(heights.Rows());
  mesh.OriginX = grid.GridMinX + (columns - 1) / 2;
  mesh.OriginY = grid.GridMinY + (rows - 1) / 2;
  mesh.OriginHeight = range->Lowest;
  const auto up = [&](std::int16_t v) { return (CellMetres(grid, v) - range->Lowest) * exaggeration; };

  // Vertices, with their normals from the neighbouring lattice points that have heights.
  std::vector<std::uint32_t> vertex(nx * ny, kNoVertex);
  std::uint32_t count = 0;
  for (std::size_t i = 0; i < nx; ++i)
    for (std::size_t j = 0; j < ny; ++j)
      if (heights(xs[i], ys[j]) != 0) vertex[i * ny + j] = count++;
  mesh.Positions.reserve(std::size_t{count} * 3);
  mesh.Normals.reserve(std::size_t{count} * 3);
  mesh.TexCoords.reserve(std::size_t{count} * 2);
  const auto known = [&](std::size_t i, std::size_t j) { return heights(xs[i], ys[j]) != 0; };
  for (std::size_t i = 0; i < nx; ++i) {
    for (std::size_t j = 0; j < ny; ++j) {
      if (!known(i, j)) continue;
      const double h = up(heights(xs[i], ys[j]));
      const double x = grid.GridMinX + static_cast<double>(xs[i]) - mesh.OriginX;
      const double north = grid.GridMinY + static_cast<double>(ys[j]) - mesh.OriginY;
      mesh.Positions.insert(mesh.Positions.end(),
                            {static_cast<float>(x), static_cast<float>(h), static_cast<float>(-north)});
      // Slopes east and north by central differences, one-sided where a neighbour is missing.
      const std::size_t w = i > 0 && known(i - 1, j) ? i - 1 : i;
      const std::size_t e = i + 1 < nx && known(i + 1, j) ? i + 1 : i;
      const std::size_t s = j > 0 && known(i, j - 1) ? j - 1 : j;
      const std::size_t n = j + 1 < ny && known(i, j + 1) ? j + 1 : j;
      const double dEast = e == w ? 0.0 : (up(heights(xs[e], ys[j])) - up(heights(xs[w], ys[j]))) /
                                              static_cast<double>(xs[e] - xs[w]);
      const double dNorth = n == s ? 0.0 : (up(heights(xs[i], ys[n])) - up(heights(xs[i], ys[s]))) /
                                               static_cast<double>(ys[n] - ys[s]);
      // The surface y = f(x, -north) has the normal (-df/dx, 1, df/dnorth).
      const double length = std::sqrt(dEast * dEast + 1.0 + dNorth * dNorth);
      mesh.Normals.insert(mesh.Normals.end(),
                          {static_cast<float>(-dEast / length), static_cast<float>(1.0 / length),
                           static_cast<float>(dNorth / length)});
      // Texture rows run from the north edge down; a vertex sits at its pixel's centre.
      mesh.TexCoords.insert(mesh.TexCoords.end(),
                            {static_cast<float>((static_cast<double>(xs[i]) + 0.5) / columns),
                             static_cast<float>((rows - 0.5 - static_cast<double>(ys[j])) / rows)});
    }
    if (i % 64 == 0) progress.Report(0.8 * static_cast<double>(i) / static_cast<double>(nx));
  }

  // Two triangles per lattice square, split along its south-west to north-east diagonal.
  mesh.Indices.reserve(std::size_t{count} * 6);
  const auto add = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    if (a != kNoVertex && b != kNoVertex && c != kNoVertex) mesh.Indices.insert(mesh.Indices.end(), {a, b, c});
  };
  for (std::size_t i = 0; i + 1 < nx; ++i)
    for (std::size_t j = 0; j + 1 < ny; ++j) {
      const std::uint32_t sw = vertex[i * ny + j], se = vertex[(i + 1) * ny + j];
      const std::uint32_t ne = vertex[(i + 1) * ny + j + 1], nw = vertex[i * ny + j + 1];
      add(sw, se, ne);
      add(sw, ne, nw);
    }
  if (mesh.Indices.empty()) throw ExportError(kNoHeightsMessage);

  mesh.Min = {mesh.Positions[0], mesh.Positions[1], mesh.Positions[2]};
  mesh.Max = mesh.Min;
  for (std::size_t k = 0; k < mesh.Positions.size(); ++k) {
    mesh.Min[k % 3] = std::min(mesh.Min[k % 3], mesh.Positions[k]);
    mesh.Max[k % 3] = std::max(mesh.Max[k % 3], mesh.Positions[k]);
  }
  progress.Report(1.0);
  return mesh;
}

}  // namespace terrak
