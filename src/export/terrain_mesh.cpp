#include "export/terrain_mesh.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "export/export_error.h"
#include "export/terrain_lattice.h"

namespace terrak {
namespace {

constexpr std::uint32_t kNoVertex = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t kColumnsPerReport = 64;

void Report(ExportProgress& progress, std::size_t i, std::size_t columns) {
  if (i % kColumnsPerReport == 0)
    progress.Report(static_cast<double>(i) / static_cast<double>(columns));
}

}  // namespace

TerrainMesh::TerrainMesh(const GridState& grid, std::int32_t interval, double exaggeration,
                         double metresPerCell)
    : heights_(grid.HeightGrid),
      heightBase_(grid.HeightBase),
      gridMinX_(grid.GridMinX),
      gridMinY_(grid.GridMinY),
      exaggeration_(exaggeration),
      metresPerCell_(metresPerCell) {
  if (heights_.Empty()) throw ExportError(kNoGridMessage);
  xs_ = LatticeIndices(heights_.Columns(), interval);
  ys_ = LatticeIndices(heights_.Rows(), interval);
  const std::optional<HeightRange> range = LatticeHeightRange(grid, xs_, ys_);
  if (!range) throw ExportError(kNoHeightsMessage);
  const std::size_t nx = xs_.size(), ny = ys_.size();
  if (static_cast<double>(nx) * static_cast<double>(ny) >= kNoVertex)
    throw ExportError("The model would have too many vertices: choose a larger grid interval");
  const double columns = static_cast<double>(heights_.Columns());
  const double rows = static_cast<double>(heights_.Rows());
  originX_ = gridMinX_ + (columns - 1) / 2;
  originY_ = gridMinY_ + (rows - 1) / 2;
  lowest_ = range->Lowest;
  // The farthest a coordinate reaches from the origin against the shortest step between two
  // vertices (one cell, where the lattice ends on the grid's last cell).
  const double reach = std::max({(columns - 1) / 2 * metresPerCell,
                                 (rows - 1) / 2 * metresPerCell,
                                 (range->Highest - range->Lowest) * exaggeration});
  if (!(exaggeration > 0) || !SinglePrecisionHolds(metresPerCell, reach))
    throw ExportError(kModelPrecisionMessage);

  // Count the vertices and triangles and measure the positions, one column after another.
  columnStart_.assign(nx + 1, 0);
  std::vector<std::uint8_t> west(ny), here(ny);
  std::uint32_t count = 0;
  bool first = true;
  for (std::size_t i = 0; i < nx; ++i) {
    columnStart_[i] = count;
    for (std::size_t j = 0; j < ny; ++j) {
      here[j] = Known(i, j);
      if (!here[j]) continue;
      ++count;
      const std::array<float, 3> p = Position(i, j);
      if (first) min_ = max_ = p;
      first = false;
      for (std::size_t k = 0; k < 3; ++k) {
        min_[k] = std::min(min_[k], p[k]);
        max_[k] = std::max(max_[k], p[k]);
      }
    }
    if (i > 0)
      for (std::size_t j = 0; j + 1 < ny; ++j) {
        const bool sw = west[j], se = here[j], ne = here[j + 1], nw = west[j + 1];
        triangles_ += static_cast<std::uint64_t>(sw && se && ne);
        triangles_ += static_cast<std::uint64_t>(sw && ne && nw);
      }
    std::swap(west, here);
  }
  columnStart_[nx] = count;
  vertices_ = count;
  if (triangles_ == 0) throw ExportError(kNoHeightsMessage);
}

bool TerrainMesh::Known(std::size_t i, std::size_t j) const {
  return heights_(xs_[i], ys_[j]) != 0;
}

double TerrainMesh::Up(std::size_t i, std::size_t j) const {
  return (CellMetres(heights_(xs_[i], ys_[j]), heightBase_) - lowest_) * exaggeration_;
}

std::array<float, 3> TerrainMesh::Position(std::size_t i, std::size_t j) const {
  const double east = (gridMinX_ + static_cast<double>(xs_[i]) - originX_) * metresPerCell_;
  const double north = (gridMinY_ + static_cast<double>(ys_[j]) - originY_) * metresPerCell_;
  return {static_cast<float>(east), static_cast<float>(Up(i, j)), static_cast<float>(-north)};
}

void TerrainMesh::Positions(const ColumnSink<float>& out, ExportProgress& progress) const {
  std::vector<float> column;
  column.reserve(ys_.size() * 3);
  for (std::size_t i = 0; i < xs_.size(); ++i) {
    column.clear();
    for (std::size_t j = 0; j < ys_.size(); ++j)
      if (Known(i, j)) {
        const std::array<float, 3> p = Position(i, j);
        column.insert(column.end(), p.begin(), p.end());
      }
    out(column);
    Report(progress, i, xs_.size());
  }
  progress.Report(1.0);
}

void TerrainMesh::Normals(const ColumnSink<float>& out, ExportProgress& progress) const {
  const std::size_t nx = xs_.size(), ny = ys_.size();
  std::vector<float> column;
  column.reserve(ny * 3);
  for (std::size_t i = 0; i < nx; ++i) {
    column.clear();
    for (std::size_t j = 0; j < ny; ++j) {
      if (!Known(i, j)) continue;
      // Slopes east and north by central differences, one-sided where a neighbour is missing.
      const std::size_t w = i > 0 && Known(i - 1, j) ? i - 1 : i;
      const std::size_t e = i + 1 < nx && Known(i + 1, j) ? i + 1 : i;
      const std::size_t s = j > 0 && Known(i, j - 1) ? j - 1 : j;
      const std::size_t n = j + 1 < ny && Known(i, j + 1) ? j + 1 : j;
      const double dEast = e == w ? 0.0
                                  : (Up(e, j) - Up(w, j)) /
                                        (static_cast<double>(xs_[e] - xs_[w]) * metresPerCell_);
      const double dNorth = n == s ? 0.0
                                   : (Up(i, n) - Up(i, s)) /
                                         (static_cast<double>(ys_[n] - ys_[s]) * metresPerCell_);
      // The surface y = f(x, -north) has the normal (-df/dx, 1, df/dnorth).
      const double length = std::sqrt(dEast * dEast + 1.0 + dNorth * dNorth);
      column.insert(column.end(), {static_cast<float>(-dEast / length),
                                   static_cast<float>(1.0 / length),
                                   static_cast<float>(dNorth / length)});
    }
    out(column);
    Report(progress, i, nx);
  }
  progress.Report(1.0);
}

void TerrainMesh::TexCoords(const ColumnSink<float>& out, ExportProgress& progress) const {
  const double columns = static_cast<double>(heights_.Columns());
  const double rows = static_cast<double>(heights_.Rows());
  std::vector<float> column;
  column.reserve(ys_.size() * 2);
  for (std::size_t i = 0; i < xs_.size(); ++i) {
    column.clear();
    // Texture rows run from the north edge down; a vertex sits at its pixel's centre.
    const auto u = static_cast<float>((static_cast<double>(xs_[i]) + 0.5) / columns);
    for (std::size_t j = 0; j < ys_.size(); ++j)
      if (Known(i, j))
        column.insert(column.end(),
                      {u, static_cast<float>((rows - 0.5 - static_cast<double>(ys_[j])) / rows)});
    out(column);
    Report(progress, i, xs_.size());
  }
  progress.Report(1.0);
}

void TerrainMesh::ColumnVertices(std::size_t i, std::vector<std::uint32_t>& numbers) const {
  std::uint32_t next = columnStart_[i];
  numbers.resize(ys_.size());
  for (std::size_t j = 0; j < ys_.size(); ++j) numbers[j] = Known(i, j) ? next++ : kNoVertex;
}

void TerrainMesh::Indices(const ColumnSink<std::uint32_t>& out, ExportProgress& progress) const {
  const std::size_t nx = xs_.size(), ny = ys_.size();
  std::vector<std::uint32_t> west, east, triangles;
  triangles.reserve(ny * 6);
  ColumnVertices(0, west);
  const auto add = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    if (a != kNoVertex && b != kNoVertex && c != kNoVertex)
      triangles.insert(triangles.end(), {a, b, c});
  };
  for (std::size_t i = 0; i + 1 < nx; ++i) {
    ColumnVertices(i + 1, east);
    triangles.clear();
    for (std::size_t j = 0; j + 1 < ny; ++j) {
      add(west[j], east[j], east[j + 1]);
      add(west[j], east[j + 1], west[j + 1]);
    }
    out(triangles);
    std::swap(west, east);
    Report(progress, i, nx);
  }
  progress.Report(1.0);
}

}  // namespace terrak
