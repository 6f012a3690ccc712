#include "viewer/mesh_fast.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <thread>

#include "viewer/draw_mesh.h"

namespace terrak {

namespace {

// One lattice row: its heights and colours, and its vertices projected.
struct VertexRow {
  std::vector<ScreenPoint> Points;
  std::vector<std::uint8_t> Visible;
  std::int64_t Row = 0;
  const std::int16_t* Heights = nullptr;  // one per lattice column
  const Colour* Colours = nullptr;
};

// Lattice rows are copied out of the column-major grids a chunk at a time, so the cells of a
// strip are read from memory in order rather than one grid column apart.
constexpr std::int64_t kChunkStrips = 64;
constexpr std::int64_t kPrefetchColumns = 8;

template <bool kWithColour>
class StripDrawer {
 public:
  StripDrawer(RasterTarget& target, const ViewTransform& view, const GridState& grid,
              std::int32_t step, MeshExtent extent, std::atomic<bool>& zeroDepth)
      : target_(target), view_(view), grid_(grid), step_(step), extent_(extent),
        cells_(MeshStripCount(extent.Columns, step)), zeroDepth_(zeroDepth) {
    columnX_.resize(static_cast<std::size_t>(cells_ + 1));
    for (std::int64_t k = 0; k <= cells_; ++k)
      columnX_[static_cast<std::size_t>(k)] =
          static_cast<double>(grid.GridMinX + MeshLine(k, step, extent.Columns));
    for (VertexRow* row : {&low_, &high_}) {
      row->Points.resize(static_cast<std::size_t>(cells_ + 1));
      row->Visible.resize(static_cast<std::size_t>(cells_ + 1));
    }
    const auto chunkCells = static_cast<std::size_t>((kChunkStrips + 1) * (cells_ + 1));
    heights_.resize(chunkCells);
    if constexpr (kWithColour) {
      colours_.resize(chunkCells);
      const auto& p = grid.BitmapPalette;
      for (std::size_t k = 0; k < 256; ++k)
        palette_[k] = MakeColour(p[4 * k + 2], p[4 * k + 1], p[4 * k]);
    }
  }

  void DrawStrips(std::int64_t first, std::int64_t last) {
    for (std::int64_t m0 = first; m0 < last; m0 += kChunkStrips) {
      const std::int64_t strips = std::min(kChunkStrips, last - m0);
      Gather(m0, strips + 1);
      StartRow(low_, m0, 0);
      for (std::int64_t r = 0; r < strips; ++r) {
        StartRow(high_, m0, r + 1);
        DrawStrip();
        std::swap(low_, high_);
      }
    }
  }

 private:
  void Gather(std::int64_t m0, std::int64_t rows) {
    const std::int64_t width = cells_ + 1;
    std::int64_t gridRows[kChunkStrips + 1];
    for (std::int64_t r = 0; r < rows; ++r) gridRows[r] = MeshLine(m0 + r, step_, extent_.Rows);
    const BitmapGridType& bitmap = grid_.BitmapGrid;
    for (std::int64_t k = 0; k < width; ++k) {
      const std::int64_t column = MeshLine(k, step_, extent_.Columns);
      // Every lattice column is a page or more away from the last: ask for the next ones early.
      const std::int64_t ahead = MeshLine(k + kPrefetchColumns, step_, extent_.Columns);
      for (std::int64_t r = 0; r < rows; r += 32) {
        __builtin_prefetch(grid_.HeightGrid.Column(ahead) + gridRows[r]);
        if constexpr (kWithColour)
          if (ahead < bitmap.Columns() && gridRows[r] < bitmap.Rows())
            __builtin_prefetch(bitmap.Column(ahead) + gridRows[r]);
      }
      const std::int16_t* heights = grid_.HeightGrid.Column(column);
      for (std::int64_t r = 0; r < rows; ++r)
        heights_[static_cast<std::size_t>(r * width + k)] = heights[gridRows[r]];
      if constexpr (kWithColour) {
        const bool inside = column < bitmap.Columns();
        const std::uint8_t* indices = inside ? bitmap.Column(column) : nullptr;
        for (std::int64_t r = 0; r < rows; ++r)
          colours_[static_cast<std::size_t>(r * width + k)] =
              palette_[inside && gridRows[r] < bitmap.Rows() ? indices[gridRows[r]] : 0];
      }
    }
  }

  // Projects the row's vertices all at once (those with a height; the others are never used),
  // so the work on one vertex overlaps the next.
  void StartRow(VertexRow& row, std::int64_t m0, std::int64_t r) {
    const std::size_t offset = static_cast<std::size_t>(r * (cells_ + 1));
    row.Row = MeshLine(m0 + r, step_, extent_.Rows);
    row.Heights = &heights_[offset];
    if constexpr (kWithColour) row.Colours = &colours_[offset];
    const double y = static_cast<double>(grid_.GridMinY + row.Row);
    bool zero = false;
    for (std::size_t k = 0; k <= static_cast<std::size_t>(cells_); ++k) {
      const std::int16_t h = row.Heights[k];
      if (h == 0) continue;
      const bool visible = ProjectPoint(view_, columnX_[k], y, std::abs(h) / 10.0, row.Points[k]);
      row.Visible[k] = visible;
      zero |= visible && row.Points[k].Depth == 0;
    }
    if (zero) zeroDepth_.store(true, std::memory_order_relaxed);
  }

  void Add(const VertexRow& row, std::int64_t k) {
    const auto index = static_cast<std::size_t>(k);
    if (!row.Visible[index]) {
      pen_.PenUp = true;
      return;
    }
    if constexpr (kWithColour) pen_.VertexColour = row.Colours[index];
    const ScreenPoint& p = row.Points[index];
    if (pen_.PenUp) {
      PenMoveTo(target_, pen_, p);
    } else if (std::abs(p.X - pen_.PenPoint.X) <= 1 && std::abs(p.Y - pen_.PenPoint.Y) <= 1) {
      // A line to a neighbouring pixel, or within one: without its repeats, only its end.
      PlotPixel(target_, p.X, p.Y, p.Depth, pen_.VertexColour);
      pen_.PenPoint = {p.X, p.Y, p.Depth, pen_.VertexColour};
    } else {
      PenLineTo<kWithColour, true>(target_, pen_, p);
    }
    pen_.PenUp = false;
  }

  void DrawStrip() {
    const std::int16_t* low = low_.Heights;
    const std::int16_t* high = high_.Heights;
    for (std::int64_t k = 0; k < cells_; ++k) {
      if (low[k] == 0) continue;
      pen_.PenUp = true;
      if (high[k] == 0) continue;
      Add(high_, k);
      Add(low_, k);
      if (low[k + 1] == 0) continue;
      Add(low_, k + 1);
      Add(high_, k);
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
  std::vector<double> columnX_;
  std::vector<std::int16_t> heights_;
  std::vector<Colour> colours_;
  std::array<Colour, 256> palette_{};
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
                const GridState& grid, std::int32_t step, int threads, MeshScratch& scratch) {
  const MeshExtent extent = MeshExtentOf(grid);
  const std::int64_t strips = MeshStripCount(extent.Rows, step);
  if (strips <= 0 || MeshStripCount(extent.Columns, step) <= 0) return true;
  threads = static_cast<int>(std::clamp<std::int64_t>(threads, 1, std::min<std::int64_t>(strips, 16)));
  std::atomic<bool> zeroDepth{false};
  if (threads == 1) {
    StripDrawer<kWithColour>(target, view, grid, step, extent, zeroDepth).DrawStrips(0, strips);
    return !zeroDepth.load();
  }
  if (scratch.Buffers.size() < static_cast<std::size_t>(threads - 1))
    scratch.Buffers.resize(static_cast<std::size_t>(threads - 1));
  std::vector<RasterTarget> targets(static_cast<std::size_t>(threads), target);
  for (int t = 1; t < threads; ++t) {
    PixelBuffers& share = scratch.Buffers[static_cast<std::size_t>(t - 1)];
    share.Reset(static_cast<std::int32_t>(buffers.DepthBuffer.Columns()),
                static_cast<std::int32_t>(buffers.DepthBuffer.Rows()));
    targets[static_cast<std::size_t>(t)] =
        RasterTarget(share, target.NearestDepth, target.FarthestDepth);
  }
  scratch.Splits = BalancedSplits(strips, threads, scratch.Splits, scratch.Seconds);
  scratch.Seconds.assign(static_cast<std::size_t>(threads), 0.0);
  const auto drawShare = [&](int t) {
    const auto start = std::chrono::steady_clock::now();
    const auto share = static_cast<std::size_t>(t);
    StripDrawer<kWithColour>(targets[share], view, grid, step, extent, zeroDepth)
        .DrawStrips(scratch.Splits[share], scratch.Splits[share + 1]);
    scratch.Seconds[share] =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  std::vector<std::thread> workers;
  for (int t = 1; t < threads; ++t) workers.emplace_back(drawShare, t);
  drawShare(0);
  for (std::thread& worker : workers) worker.join();
  if (zeroDepth.load()) return false;

  // Merge in share order; the cells are split among the threads once more.
  const std::int64_t cells = buffers.DepthBuffer.Size();
  const auto mergePart = [&](int part) {
    const std::int64_t first = cells * part / threads, last = cells * (part + 1) / threads;
    for (int t = 1; t < threads; ++t)
      MergeInto(buffers, scratch.Buffers[static_cast<std::size_t>(t - 1)], first, last);
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
  RasterTarget target(buffers, nearestDepth, farthestDepth);
  const std::int32_t step = std::max<std::int32_t>(meshStep, 1);
  const bool drawn = drape ? DrawShares<true>(buffers, target, view, grid, step, threads, scratch)
                           : DrawShares<false>(buffers, target, view, grid, step, threads, scratch);
  nearestDepth = target.NearestDepth;
  farthestDepth = target.FarthestDepth;
  return drawn;
}

}  // namespace terrak
