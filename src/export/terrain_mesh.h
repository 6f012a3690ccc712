#pragma once
// The terrain as a triangle mesh for 3D tools, in glTF's frame: x east, y up, z south, in metres
// on the ground (the map's metres times the georeferencing's scale factor). The origin lies at
// the middle of the grid at the lowest height, so the model sits on the ground plane of a 3D
// program, centred. The mesh is never held whole: it is counted and measured first, then handed
// out a lattice column at a time, so a model of any size costs little more memory than its grid.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "export/export_progress.h"
#include "terrain/grid_state.h"

namespace terrak {

inline constexpr const char* kModelPrecisionMessage =
    "The model's sizes do not fit the file's single-precision numbers: choose a smaller "
    "exaggeration or print size";

class TerrainMesh {
 public:
  template <typename T>
  using ColumnSink = std::function<void(const std::vector<T>&)>;

  // Every interval-th cell of the grid becomes a vertex (the last column and row always do);
  // empty cells give none, and a triangle is made only where its three corners have heights.
  // Heights above the lowest one are multiplied by exaggeration, distances along the ground by
  // metresPerCell. Throws ExportError when the grid is empty or holds no triangle, when the
  // model would have too many vertices, and when its sizes do not fit single-precision numbers
  // (kModelPrecisionMessage). The mesh reads grid's heights until it goes.
  TerrainMesh(const GridState& grid, std::int32_t interval, double exaggeration,
              double metresPerCell = 1.0);

  std::uint32_t Vertices() const { return vertices_; }
  std::uint64_t Triangles() const { return triangles_; }
  // Of the positions, exactly as Positions hands them out.
  const std::array<float, 3>& Min() const { return min_; }
  const std::array<float, 3>& Max() const { return max_; }
  // Where the origin lies: the map's ground metres east and north, and the height in metres.
  double OriginX() const { return originX_; }
  double OriginY() const { return originY_; }
  double OriginHeight() const { return lowest_; }

  // Each hands out the vertices' values a lattice column at a time, west to east and south to
  // north within a column, the order in which Indices numbers them: x, y, z; unit normals for
  // smooth shading; u, v of the vertex's pixel in the map bitmap. Each reports its progress
  // from 0 to 1.
  void Positions(const ColumnSink<float>& out, ExportProgress& progress) const;
  void Normals(const ColumnSink<float>& out, ExportProgress& progress) const;
  void TexCoords(const ColumnSink<float>& out, ExportProgress& progress) const;
  // Three per triangle, counter-clockwise seen from above: two per lattice square, split along
  // its south-west to north-east diagonal.
  void Indices(const ColumnSink<std::uint32_t>& out, ExportProgress& progress) const;

 private:
  bool Known(std::size_t i, std::size_t j) const;
  double Up(std::size_t i, std::size_t j) const;  // metres above the lowest height, exaggerated
  std::array<float, 3> Position(std::size_t i, std::size_t j) const;
  // The vertex numbers of column i's lattice points, kNoVertex where a point has no height.
  void ColumnVertices(std::size_t i, std::vector<std::uint32_t>& numbers) const;

  const HeightGridType& heights_;
  std::int32_t heightBase_ = 0;
  std::int32_t gridMinX_ = 0, gridMinY_ = 0;
  std::vector<std::int64_t> xs_, ys_;
  double exaggeration_ = 1.0;
  double metresPerCell_ = 1.0;
  double lowest_ = 0.0;
  double originX_ = 0.0, originY_ = 0.0;
  std::uint32_t vertices_ = 0;
  std::uint64_t triangles_ = 0;
  std::vector<std::uint32_t> columnStart_;  // the number of column i's first vertex
  std::array<float, 3> min_{}, max_{};
};

}  // namespace terrak
