#pragma once
// The lattice rows of the wire mesh as the fast mesh reads them: heights and map bitmap indices
// copied out of the column-major grids a chunk of rows at a time, and each row's vertices
// projected all at once, with where each visible vertex lies in the tiled picture buffers.
#include <cstdint>
#include <vector>

#include "terrain/grid_state.h"
#include "viewer/draw_mesh.h"
#include "viewer/projection.h"

namespace terrak {

// Consecutive lattice rows in row order, each Width() vertices long, with one row before the
// first (all zero heights when there is none): a strip's cells need the row below theirs. The
// heights are readable 16 entries past the last row.
class LatticeChunk {
 public:
  LatticeChunk(const GridState& grid, std::int32_t step, MeshExtent extent, bool withBitmap);

  // Copies lattice rows first - 1 .. first + count - 1 (row -1 holds no heights).
  void Gather(std::int64_t first, std::int64_t count);

  std::int64_t Width() const { return width_; }
  // Row r of the chunk, r = -1 .. count - 1.
  const std::int16_t* Heights(std::int64_t r) const {
    return &heights_[static_cast<std::size_t>((r + 1) * width_)];
  }
  const std::uint8_t* BitmapIndices(std::int64_t r) const {
    return &indices_[static_cast<std::size_t>((r + 1) * width_)];
  }

 private:
  const GridState& grid_;
  std::int32_t step_;
  MeshExtent extent_;
  bool withBitmap_;
  std::int64_t width_;
  std::vector<std::int64_t> columns_;  // grid column of each lattice column
  std::vector<std::int16_t> heights_;
  std::vector<std::uint8_t> indices_;
};

// X of a vertex that is not visible (the picture's column 0 is never drawn on).
inline constexpr std::int32_t kHiddenX = 0;

// One lattice row's vertices through the projection: X, Y and Depth as ProjectPoint gives them,
// X = kHiddenX where ProjectPoint finds the vertex not visible, and Cell, the visible vertex's
// position in the tiled picture buffers. Vertices without height are projected too (at height
// 0) but never read. There is room for 16 entries past the row's end.
// LowestY and HighestY span the Y of the row's visible vertices (Lowest > Highest when none is
// visible): every pixel a line between them reaches lies within.
struct ProjectedRow {
  std::vector<std::int32_t> X, Y, Depth;
  std::vector<std::uint32_t> Cell;
  std::int32_t LowestY = 0, HighestY = -1;
  void Resize(std::size_t count);
};

// Every height of the grid in metres, CellMetres(h, heightBase), looked up rather than divided.
class HeightMetres {
 public:
  explicit HeightMetres(std::int32_t heightBase = 0);
  const double* Table() const { return metres_.data(); }

 private:
  std::vector<double> metres_;  // for |h| = 0 .. 32768
};

// Projects the vertices at (xs[k], y, their height in metres) exactly as ProjectPoint does, four at
// a time (one at a time through ProjectPoint for a view far out of the ordinary), for buffers of
// tilesAcross tiles across whose positions fit in 32 bits. xs and heights must be readable three
// entries past count (what lies there does not matter). Returns whether a visible vertex with a
// height has depth 0.
bool ProjectLatticeRow(const ViewTransform& view, std::int64_t tilesAcross, const double* xs,
                       double y, const std::int16_t* heights, std::size_t count,
                       const HeightMetres& metres, ProjectedRow& out);

}  // namespace terrak
