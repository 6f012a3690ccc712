#include "viewer/mesh_fast.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "viewer/draw_mesh.h"

namespace terrak {

namespace {

struct CachedVertex {
  ScreenPoint Point;
  Colour VertexColour = kWhite;
  std::uint32_t Generation = 0;
  bool Visible = false;
};

// One lattice row of projected vertices, filled as cells ask for them.
struct VertexRow {
  std::vector<CachedVertex> Vertices;
  std::uint32_t Generation = 0;
  std::int64_t Row = 0;
};

template <bool kWithColour>
class StripDrawer {
 public:
  StripDrawer(RasterTarget& target, const ViewTransform& view, const GridState& grid,
              std::int32_t step, MeshExtent extent, std::atomic<bool>& zeroDepth)
      : target_(target), view_(view), grid_(grid), step_(step), extent_(extent),
        cells_(MeshStripCount(extent.Columns, step)), zeroDepth_(zeroDepth) {
    for (VertexRow* row : {&low_, &high_})
      row->Vertices.assign(static_cast<std::size_t>(cells_ + 1), CachedVertex{});
  }

  void DrawStrips(std::int64_t first, std::int64_t last) {
    std::uint32_t generation = 0;
    const auto startRow = [&](VertexRow& row, std::int64_t m) {
      row.Generation = ++generation;
      row.Row = MeshLine(m, step_, extent_.Rows);
    };
    startRow(low_, first);
    for (std::int64_t m = first; m < last; ++m) {
      startRow(high_, m + 1);
      DrawStrip();
      std::swap(low_, high_);
    }
  }

 private:
  const CachedVertex& Vertex(VertexRow& row, std::int64_t k, std::int64_t column) {
    CachedVertex& v = row.Vertices[static_cast<std::size_t>(k)];
    if (v.Generation == row.Generation) return v;
    v.Generation = row.Generation;
    v.Visible = ProjectPoint(view_, static_cast<double>(grid_.GridMinX + column),
                             static_cast<double>(grid_.GridMinY + row.Row),
                             std::abs(grid_.HeightGrid(column, row.Row)) / 10.0, v.Point);
    if (v.Visible && v.Point.Depth == 0) zeroDepth_.store(true, std::memory_order_relaxed);
    if constexpr (kWithColour) v.VertexColour = BitmapColourAt(grid_, column, row.Row);
    return v;
  }

  void Add(const CachedVertex& v) {
    if (!v.Visible) {
      pen_.PenUp = true;
      return;
    }
    pen_.VertexColour = v.VertexColour;
    if (pen_.PenUp)
      PenMoveTo(target_, pen_, v.Point);
    else
      PenLineTo<kWithColour>(target_, pen_, v.Point);
    pen_.PenUp = false;
  }

  void DrawStrip() {
    const HeightGridType& heights = grid_.HeightGrid;
    const std::int64_t j = low_.Row, jn = high_.Row;
    for (std::int64_t k = 0; k < cells_; ++k) {
      const std::int64_t i = k * step_;
      if (heights(i, j) == 0) continue;
      pen_.PenUp = true;
      if (heights(i, jn) == 0) continue;
      const CachedVertex& a = Vertex(high_, k, i);
      Add(a);
      Add(Vertex(low_, k, i));
      const std::int64_t in = MeshLine(k + 1, step_, extent_.Columns);
      if (heights(in, j) == 0) continue;
      Add(Vertex(low_, k + 1, in));
      Add(a);
    }
  }

  RasterTarget& target_;
  const ViewTransform& view_;
  const GridState& grid_;
  std::int32_t step_;
  MeshExtent extent_;
  std::int64_t cells_;
  std::atomic<bool>& zeroDepth_;
  LinePen pen_;
  VertexRow low_, high_;
};

// Takes a later share's pixel where it is strictly nearer, or where the earlier share has none.
void MergeInto(PixelBuffers& into, const PixelBuffers& later, std::int64_t first, std::int64_t last) {
  std::int32_t* depth = into.DepthBuffer.Data();
  Colour* colour = into.ColourBuffer.Data();
  const std::int32_t* laterDepth = later.DepthBuffer.Data();
  const Colour* laterColour = later.ColourBuffer.Data();
  for (std::int64_t cell = first; cell < last; ++cell) {
    const std::int32_t d = laterDepth[cell];
    if (d != 0 && (depth[cell] == 0 || d < depth[cell])) {
      depth[cell] = d;
      colour[cell] = laterColour[cell];
    }
  }
}

template <bool kWithColour>
bool DrawShares(PixelBuffers& buffers, RasterTarget& target, const ViewTransform& view,
                const GridState& grid, std::int32_t step, int threads,
                std::vector<PixelBuffers>& scratch) {
  const MeshExtent extent = MeshExtentOf(grid);
  const std::int64_t strips = MeshStripCount(extent.Rows, step);
  if (strips <= 0 || MeshStripCount(extent.Columns, step) <= 0) return true;
  threads = static_cast<int>(std::clamp<std::int64_t>(threads, 1, std::min<std::int64_t>(strips, 16)));
  std::atomic<bool> zeroDepth{false};
  if (threads == 1) {
    StripDrawer<kWithColour>(target, view, grid, step, extent, zeroDepth).DrawStrips(0, strips);
    return !zeroDepth.load();
  }
  if (scratch.size() < static_cast<std::size_t>(threads - 1))
    scratch.resize(static_cast<std::size_t>(threads - 1));
  std::vector<RasterTarget> targets(static_cast<std::size_t>(threads), target);
  for (int t = 1; t < threads; ++t) {
    PixelBuffers& share = scratch[static_cast<std::size_t>(t - 1)];
    share.Reset(static_cast<std::int32_t>(buffers.DepthBuffer.Columns()),
                static_cast<std::int32_t>(buffers.DepthBuffer.Rows()));
    targets[static_cast<std::size_t>(t)] =
        RasterTarget(share, target.NearestDepth, target.FarthestDepth);
  }
  const auto drawShare = [&](int t) {
    const std::int64_t first = strips * t / threads, last = strips * (t + 1) / threads;
    StripDrawer<kWithColour>(targets[static_cast<std::size_t>(t)], view, grid, step, extent, zeroDepth)
        .DrawStrips(first, last);
  };
  std::vector<std::thread> workers;
  for (int t = 1; t < threads; ++t) workers.emplace_back(drawShare, t);
  drawShare(0);
  for (std::thread& worker : workers) worker.join();
  if (zeroDepth.load()) return false;

  // Merge in share order; the cells are split among the threads once more.
  const std::int64_t cells = buffers.DepthBuffer.Columns() * buffers.DepthBuffer.Rows();
  const auto mergePart = [&](int part) {
    const std::int64_t first = cells * part / threads, last = cells * (part + 1) / threads;
    for (int t = 1; t < threads; ++t)
      MergeInto(buffers, scratch[static_cast<std::size_t>(t - 1)], first, last);
  };
  workers.clear();
  for (int part = 1; part < threads; ++part) workers.emplace_back(mergePart, part);
  mergePart(0);
  for (std::thread& worker : workers) worker.join();
  for (const RasterTarget& t : targets) {
    target.NearestDepth = std::min(target.NearestDepth, t.NearestDepth);
    target.FarthestDepth = std::max(target.FarthestDepth, t.FarthestDepth);
  }
  return true;
}

}  // namespace

bool DrawMeshFast(PixelBuffers& buffers, std::int32_t& nearestDepth, std::int32_t& farthestDepth,
                  const ViewTransform& view, const GridState& grid, std::int32_t meshStep,
                  bool drape, int threads, std::vector<PixelBuffers>& scratch) {
  RasterTarget target(buffers, nearestDepth, farthestDepth);
  const std::int32_t step = std::max<std::int32_t>(meshStep, 1);
  const bool drawn = drape ? DrawShares<true>(buffers, target, view, grid, step, threads, scratch)
                           : DrawShares<false>(buffers, target, view, grid, step, threads, scratch);
  nearestDepth = target.NearestDepth;
  farthestDepth = target.FarthestDepth;
  return drawn;
}

}  // namespace terrak
