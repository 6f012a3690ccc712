#include "viewer/mesh_fast.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <thread>

#include "viewer/draw_mesh.h"
#include "viewer/mesh_strips.h"

namespace terrak {

namespace {

// Takes a later share's pixel where it is strictly nearer, or where the earlier share has none.
// Without colours the colour buffers are neither written nor read.
void MergeInto(PixelBuffers& into, const PixelBuffers& later, bool colours, std::int64_t first,
               std::int64_t last) {
  std::int32_t* depth = into.DepthBuffer.Data();
  const std::int32_t* laterDepth = later.DepthBuffer.Data();
  if (!colours) {
    for (std::int64_t cell = first; cell < last; ++cell) {
      const std::int32_t d = laterDepth[cell];
      if (d != 0 && (depth[cell] == 0 || d < depth[cell])) depth[cell] = d;
    }
    return;
  }
  Colour* colour = into.ColourBuffer.Data();
  const Colour* laterColour = later.ColourBuffer.Data();
  for (std::int64_t cell = first; cell < last; ++cell) {
    const std::int32_t d = laterDepth[cell];
    if (d != 0 && (depth[cell] == 0 || d < depth[cell])) {
      depth[cell] = d;
      colour[cell] = laterColour[cell];
    }
  }
}

// The cells of the tiled buffers that hold picture rows drawn.First .. drawn.Last.
MeshScratch::CellRange CellsOfRows(const PixelBuffers& buffers, DrawnRows drawn) {
  if (drawn.First > drawn.Last) return {};
  const std::int64_t tileRow = buffers.DepthBuffer.TilesAcross() << (2 * TiledGrid<std::int32_t>::kTileShift);
  const std::int64_t first = std::max<std::int64_t>(drawn.First, 0) >> TiledGrid<std::int32_t>::kTileShift;
  const std::int64_t last = (std::int64_t{drawn.Last} >> TiledGrid<std::int32_t>::kTileShift) + 1;
  return {std::min(first * tileRow, buffers.DepthBuffer.Size()),
          std::min(last * tileRow, buffers.DepthBuffer.Size())};
}

// Makes a share's own buffers the picture's size with every depth 0. Only the cells drawn last
// time need emptying; colours are read only where a depth was drawn, so they are never emptied.
void EmptyShareBuffers(PixelBuffers& own, MeshScratch::CellRange& dirty, const PixelBuffers& picture,
                       bool drape) {
  const auto columns = static_cast<std::int32_t>(picture.DepthBuffer.Columns());
  const auto rows = static_cast<std::int32_t>(picture.DepthBuffer.Rows());
  if (own.DepthBuffer.Columns() != columns || own.DepthBuffer.Rows() != rows) {
    own.DepthBuffer.Reset(columns, rows, 0);
  } else if (dirty.First < dirty.Last) {
    std::fill(own.DepthBuffer.Data() + dirty.First, own.DepthBuffer.Data() + dirty.Last, 0);
  }
  dirty = {};
  if (drape && (own.ColourBuffer.Columns() != columns || own.ColourBuffer.Rows() != rows))
    own.ColourBuffer.Reset(columns, rows, kWhite);
}

bool DrawShares(PixelBuffers& buffers, RasterTarget& target, const ViewTransform& view,
                const GridState& grid, std::int32_t step, bool drape, int threads,
                MeshScratch& scratch) {
  const MeshExtent extent = MeshExtentOf(grid);
  const std::int64_t strips = MeshStripCount(extent.Rows, step);
  if (strips <= 0 || MeshStripCount(extent.Columns, step) <= 0) return true;
  threads = static_cast<int>(std::clamp<std::int64_t>(threads, 1, std::min<std::int64_t>(strips, 16)));
  DrawnRows drawn;
  if (threads == 1) return DrawMeshStrips(target, view, grid, step, drape, 0, strips, drawn);
  std::atomic<bool> zeroDepth{false};
  const auto others = static_cast<std::size_t>(threads - 1);
  if (scratch.Buffers.size() < others) scratch.Buffers.resize(others);
  if (scratch.Dirty.size() < scratch.Buffers.size()) scratch.Dirty.resize(scratch.Buffers.size());
  std::vector<RasterTarget> targets(static_cast<std::size_t>(threads), target);
  scratch.Splits = BalancedSplits(strips, threads, scratch.Splits, scratch.Seconds);
  scratch.Seconds.assign(static_cast<std::size_t>(threads), 0.0);
  const auto drawShare = [&](int t) {
    const auto start = std::chrono::steady_clock::now();
    const auto share = static_cast<std::size_t>(t);
    if (t > 0) {  // each thread empties its own buffers
      PixelBuffers& own = scratch.Buffers[share - 1];
      EmptyShareBuffers(own, scratch.Dirty[share - 1], buffers, drape);
      targets[share] = RasterTarget(own, target.NearestDepth, target.FarthestDepth);
    }
    DrawnRows rows;
    if (!DrawMeshStrips(targets[share], view, grid, step, drape, scratch.Splits[share],
                        scratch.Splits[share + 1], rows))
      zeroDepth.store(true, std::memory_order_relaxed);
    if (t > 0) scratch.Dirty[share - 1] = CellsOfRows(buffers, rows);
    scratch.Seconds[share] =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  std::vector<std::thread> workers;
  for (int t = 1; t < threads; ++t) workers.emplace_back(drawShare, t);
  drawShare(0);
  for (std::thread& worker : workers) worker.join();
  if (zeroDepth.load()) return false;

  // Merge in share order; the cells are split among the threads once more, and each share's
  // buffers are read only where it drew.
  const std::int64_t cells = buffers.DepthBuffer.Size();
  const auto mergePart = [&](int part) {
    const std::int64_t first = cells * part / threads, last = cells * (part + 1) / threads;
    for (int t = 1; t < threads; ++t) {
      const MeshScratch::CellRange dirty = scratch.Dirty[static_cast<std::size_t>(t - 1)];
      const std::int64_t from = std::max(first, dirty.First), to = std::min(last, dirty.Last);
      if (from < to) MergeInto(buffers, scratch.Buffers[static_cast<std::size_t>(t - 1)], drape, from, to);
    }
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

std::vector<std::int64_t> BalancedSplits(std::int64_t strips, int threads,
                                         const std::vector<std::int64_t>& lastSplits,
                                         const std::vector<double>& lastSeconds) {
  const auto shares = static_cast<std::size_t>(threads);
  std::vector<std::int64_t> splits(shares + 1);
  for (std::size_t t = 0; t <= shares; ++t) splits[t] = strips * static_cast<std::int64_t>(t) / threads;
  const bool comparable = lastSplits.size() == shares + 1 && lastSeconds.size() == shares &&
                          lastSplits.back() == strips;
  double total = 0;
  for (double seconds : lastSeconds) total += seconds;
  if (!comparable || !(total > 0)) return splits;
  // Walk the last frame's work along the strips and cut it into equal parts.
  std::size_t part = 0;
  double done = 0;
  for (std::size_t t = 1; t < shares; ++t) {
    const double wanted = total * static_cast<double>(t) / threads;
    while (part + 1 < shares && done + lastSeconds[part] < wanted) done += lastSeconds[part++];
    const double width = static_cast<double>(lastSplits[part + 1] - lastSplits[part]);
    const double within = lastSeconds[part] > 0 ? (wanted - done) / lastSeconds[part] : 0;
    splits[t] = lastSplits[part] + static_cast<std::int64_t>(RoundToInt(within * width));
  }
  for (std::size_t t = 1; t < shares; ++t)
    splits[t] = std::clamp(splits[t], splits[t - 1] + 1, strips - static_cast<std::int64_t>(shares - t));
  return splits;
}

bool DrawMeshFast(PixelBuffers& buffers, std::int32_t& nearestDepth, std::int32_t& farthestDepth,
                  const ViewTransform& view, const GridState& grid, std::int32_t meshStep,
                  bool drape, int threads, MeshScratch& scratch) {
  // The strips keep each vertex's position in the buffers in 32 bits.
  if (buffers.DepthBuffer.Size() >= (std::int64_t{1} << 31)) return false;
  RasterTarget target(buffers, nearestDepth, farthestDepth);
  const std::int32_t step = std::max<std::int32_t>(meshStep, 1);
  const bool drawn = DrawShares(buffers, target, view, grid, step, drape, threads, scratch);
  nearestDepth = target.NearestDepth;
  farthestDepth = target.FarthestDepth;
  return drawn;
}

}  // namespace terrak
