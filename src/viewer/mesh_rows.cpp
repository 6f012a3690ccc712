#include "viewer/mesh_rows.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "common/vector_clones.h"
#include "viewer/tiled_grid.h"

namespace terrak {

namespace {

// Chunks hold at most this many rows besides the one before them.
constexpr std::int64_t kMaxChunkRows = 65;
constexpr std::int64_t kPrefetchColumns = 8;

}  // namespace

LatticeChunk::LatticeChunk(const GridState& grid, std::int32_t step, MeshExtent extent,
                           bool withBitmap)
    : grid_(grid), step_(step), extent_(extent), withBitmap_(withBitmap),
      width_(MeshStripCount(extent.Columns, step) + 1) {
  columns_.resize(static_cast<std::size_t>(width_));
  for (std::int64_t k = 0; k < width_; ++k)
    columns_[static_cast<std::size_t>(k)] = MeshLine(k, step, extent.Columns);
  // Heights past the last row, for the vectors' last groups.
  const auto cells = static_cast<std::size_t>((kMaxChunkRows + 1) * width_);
  heights_.resize(cells + 16);
  if (withBitmap_) indices_.resize(cells);
}

void LatticeChunk::Gather(std::int64_t first, std::int64_t count) {
  count = std::min(count, kMaxChunkRows);
  std::int64_t gridRows[kMaxChunkRows];
  bool consecutive = true;  // the grid rows follow each other (always at step 1 but the last)
  for (std::int64_t r = 0; r < count; ++r) {
    gridRows[r] = MeshLine(first + r, step_, extent_.Rows);
    consecutive = consecutive && gridRows[r] == gridRows[0] + r;
  }
  const BitmapGridType& bitmap = grid_.BitmapGrid;
  const bool bitmapRows = withBitmap_ && count > 0 && gridRows[count - 1] < bitmap.Rows();
  std::int16_t* before = heights_.data();
  std::int16_t* rows = before + width_;
  std::uint8_t* indices = indices_.data() + width_;
  for (std::int64_t k = 0; k < width_; ++k) {
    const std::int64_t column = columns_[static_cast<std::size_t>(k)];
    // Every lattice column is a page or more away from the last: ask for the next ones early.
    const std::int64_t ahead = columns_[static_cast<std::size_t>(std::min(k + kPrefetchColumns, width_ - 1))];
    for (std::int64_t r = 0; r < count; r += 32) {
      __builtin_prefetch(grid_.HeightGrid.Column(ahead) + gridRows[r]);
      if (bitmapRows && ahead < bitmap.Columns()) __builtin_prefetch(bitmap.Column(ahead) + gridRows[r]);
    }
    const std::int16_t* heights = grid_.HeightGrid.Column(column);
    before[k] = first > 0 ? heights[MeshLine(first - 1, step_, extent_.Rows)] : 0;
    if (consecutive) {
      const std::int16_t* from = heights + gridRows[0];
      for (std::int64_t r = 0; r < count; ++r) rows[r * width_ + k] = from[r];
    } else {
      for (std::int64_t r = 0; r < count; ++r) rows[r * width_ + k] = heights[gridRows[r]];
    }
    if (!withBitmap_) continue;
    if (bitmapRows && column < bitmap.Columns()) {
      const std::uint8_t* column8 = bitmap.Column(column);
      if (consecutive) {
        const std::uint8_t* from = column8 + gridRows[0];
        for (std::int64_t r = 0; r < count; ++r) indices[r * width_ + k] = from[r];
      } else {
        for (std::int64_t r = 0; r < count; ++r) indices[r * width_ + k] = column8[gridRows[r]];
      }
      continue;
    }
    // Palette entry 0 where the bitmap grid has no such cell.
    const bool inside = column < bitmap.Columns();
    for (std::int64_t r = 0; r < count; ++r)
      indices[r * width_ + k] =
          inside && gridRows[r] < bitmap.Rows() ? bitmap.Column(column)[gridRows[r]] : 0;
  }
}

void ProjectedRow::Resize(std::size_t count) {
  for (auto* v : {&X, &Y, &Depth}) v->resize(count + 16);
  Cell.resize(count + 16);
}

HeightMetres::HeightMetres(std::int32_t heightBase) : metres_(32769) {
  for (std::size_t h = 0; h < metres_.size(); ++h)
    metres_[h] = static_cast<double>(static_cast<std::int64_t>(h) + heightBase) / 10.0;
}

namespace {

// One vertex at a time, by ProjectPoint itself.
bool ProjectEach(const ViewTransform& view, std::int64_t tilesAcross, const double* xs, double y,
                 const std::int16_t* heights, std::size_t count, const double* metres,
                 ProjectedRow& out) {
  bool zeroDepth = false;
  out.LowestY = INT32_MAX;
  out.HighestY = INT32_MIN;
  for (std::size_t k = 0; k < count; ++k) {
    ScreenPoint p;
    const bool visible = ProjectPoint(view, xs[k], y, metres[std::abs(heights[k])], p);
    if (visible) {
      out.LowestY = std::min(out.LowestY, p.Y);
      out.HighestY = std::max(out.HighestY, p.Y);
    }
    out.X[k] = visible ? p.X : kHiddenX;
    out.Y[k] = p.Y;
    out.Depth[k] = p.Depth;
    out.Cell[k] = visible ? static_cast<std::uint32_t>(TiledGrid<std::int32_t>::IndexIn(tilesAcross, p.X, p.Y)) : 0;
    zeroDepth |= visible && p.Depth == 0 && heights[k] != 0;
  }
  return zeroDepth;
}

// Whether the view's numbers are all finite and moderate, so that no lane of the vector
// projection meets an infinity or a NaN (which the scalar clamp and rounding treat in their own
// way): every sum and product then stays well within the range of doubles.
bool ModerateView(const ViewTransform& view, double y) {
  constexpr double kFarthest = 1e12;
  for (double v : {view.EyeX, view.EyeY, view.EyeZ, y})
    if (!(std::fabs(v) < kFarthest)) return false;
  for (double v : {view.SinBearing, view.CosBearing, view.SinIncline, view.CosIncline})
    if (!(std::fabs(v) <= 1)) return false;
  return true;
}

// Four vertices at a time. Every operation is the IEEE operation the scalar projection makes,
// lane by lane (no fused multiply-adds), so the results are bit for bit the same.
using Doubles = double __attribute__((vector_size(32)));
using Masks = std::int64_t __attribute__((vector_size(32)));
using Ints = std::int32_t __attribute__((vector_size(16)));
using Unsigned = std::uint32_t __attribute__((vector_size(16)));

TERRAK_VECTOR_CLONES
bool ProjectFour(const ViewTransform& view, std::int64_t tilesAcross, const double* xs, double y,
                 const std::int16_t* heights, std::size_t count, const double* metres,
                 ProjectedRow& out) {
  // The parts that are the same along the row, computed as the scalar projection computes them.
  const double dy = y - view.EyeY;
  const double dySin = dy * view.SinBearing, dyCos = dy * view.CosBearing;
  const double lastX = view.RenderWidth - 1, lastY = view.RenderHeight - 1;
  const double focal = view.FocalLength;
  const auto across = static_cast<std::uint32_t>(tilesAcross);
  constexpr double kFar = 1e9;
  constexpr double kMagic = 0x1.8p52;  // adding and taking it away rounds halves to even
  constexpr double kDepthLimit = 2147483647.0;
  const Doubles zero = {0, 0, 0, 0}, one = zero + 1;
  Masks zeroDepth = {0, 0, 0, 0};
  Ints lowest = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};
  Ints highest = {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
  for (std::size_t k = 0; k < count; k += 4) {
    // The last group may reach up to three vertices past the row's end: their results land in
    // the room kept for them and are never read.
    Doubles x;
    std::memcpy(&x, xs + k, sizeof x);
    const std::int16_t* h = heights + k;
    const Doubles z = {metres[std::abs(h[0])], metres[std::abs(h[1])], metres[std::abs(h[2])],
                       metres[std::abs(h[3])]};
    const Doubles dx = x - view.EyeX;
    const Doubles dz = z - view.EyeZ;
    const Doubles u = dx * view.CosBearing - dySin;
    const Doubles f = dyCos + dx * view.SinBearing;
    const Doubles d = f * view.CosIncline - dz * view.SinIncline;
    const Doubles w = dz * view.CosIncline + f * view.SinIncline;
    const Masks ahead = d > zero;
    const Doubles divisor = ahead ? d : one;
    // std::clamp, then halves to even: the rounding of RoundToInt below 2^51 in size.
    Doubles sy = -(w / divisor) * focal;
    sy = sy < -kFar ? zero - kFar : sy;
    sy = kFar < sy ? zero + kFar : sy;
    const Doubles screenY = ((sy + kMagic) - kMagic) + view.CentreY;
    Doubles sx = (u / divisor) * focal;
    sx = sx < -kFar ? zero - kFar : sx;
    sx = kFar < sx ? zero + kFar : sx;
    const Doubles screenX = ((sx + kMagic) - kMagic) + view.CentreX;
    const Masks visible = ahead & (screenX >= one) & (screenX <= lastX) & (screenY >= one) &
                          (screenY <= lastY);
    // min(R(d * 100), INT32_MAX): rounding a value held to 2^31 - 1 gives the same.
    Doubles dc = d * 100.0;
    dc = dc < zero ? zero : dc;
    dc = kDepthLimit < dc ? zero + kDepthLimit : dc;
    const Doubles depth = (dc + kMagic) - kMagic;
    zeroDepth |= visible & (depth == zero);
    const Ints sxs = __builtin_convertvector(visible ? screenX : zero + kHiddenX, Ints);
    const Ints sys = __builtin_convertvector(screenY, Ints);
    const Ints deps = __builtin_convertvector(depth, Ints);
    // Lanes past the row's end count as hidden here.
    const Ints counted = __builtin_convertvector(visible, Ints) &
                         (Ints{0, 1, 2, 3} + static_cast<std::int32_t>(k) < static_cast<std::int32_t>(count));
    lowest = (counted & (sys < lowest)) ? sys : lowest;
    highest = (counted & (sys > highest)) ? sys : highest;
    std::memcpy(&out.X[k], &sxs, sizeof sxs);
    std::memcpy(&out.Y[k], &sys, sizeof sys);
    std::memcpy(&out.Depth[k], &deps, sizeof deps);
    // TiledGrid's position of (x, y), in unsigned arithmetic: hidden lanes give what they give.
    const Unsigned ux = (Unsigned)sxs, uy = (Unsigned)sys;
    const Unsigned cell = ((((uy >> 3) * across + (ux >> 3)) << 6) | ((uy & 7) << 3) | (ux & 7));
    std::memcpy(&out.Cell[k], &cell, sizeof cell);
  }
  out.LowestY = std::min(std::min(lowest[0], lowest[1]), std::min(lowest[2], lowest[3]));
  out.HighestY = std::max(std::max(highest[0], highest[1]), std::max(highest[2], highest[3]));
  if ((zeroDepth[0] | zeroDepth[1] | zeroDepth[2] | zeroDepth[3]) == 0) return false;
  // A depth of 0 somewhere, perhaps past the row's end or at a vertex without height: look again.
  for (std::size_t k = 0; k < count; ++k)
    if (out.X[k] != kHiddenX && out.Depth[k] == 0 && heights[k] != 0) return true;
  return false;
}

}  // namespace

bool ProjectLatticeRow(const ViewTransform& view, std::int64_t tilesAcross, const double* xs,
                       double y, const std::int16_t* heights, std::size_t count,
                       const HeightMetres& metres, ProjectedRow& out) {
  if (count == 0) {
    out.LowestY = 0;
    out.HighestY = -1;
    return false;
  }
  if (!ModerateView(view, y))
    return ProjectEach(view, tilesAcross, xs, y, heights, count, metres.Table(), out);
  return ProjectFour(view, tilesAcross, xs, y, heights, count, metres.Table(), out);
}

}  // namespace terrak
