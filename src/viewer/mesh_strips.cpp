#include "viewer/mesh_strips.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>
#include <climits>

#include "viewer/mesh_cell_kinds.h"
#include "viewer/mesh_lines.h"
#include "viewer/mesh_rows.h"

namespace terrak {

namespace {

constexpr std::int64_t kChunkStrips = 64;

// A plot of a vertex is all the same whichever line or cell makes it: its pixel, its depth, its
// colour. Once made, that pixel holds that depth or a nearer one (depths are above 0 here), so
// the same plot again changes neither the pixel nor the depth range, wherever it comes later.
// Each cell therefore plots its first vertex (never met before: its row is new to the strip),
// and its other two only where no earlier cell had them.
template <bool kWithColour>
class StripDrawer {
 public:
  StripDrawer(RasterTarget& target, const ViewTransform& view, const GridState& grid,
              std::int32_t step, MeshExtent extent)
      : target_(target), view_(view), grid_(grid), step_(step), extent_(extent),
        chunk_(grid, step, extent, kWithColour), cells_(chunk_.Width() - 1),
        metres_(grid.HeightBase) {
    columnX_.resize(static_cast<std::size_t>(cells_ + 16));  // room for the vectors' last groups
    kinds_.resize(static_cast<std::size_t>(cells_ + 16));
    for (std::int64_t k = 0; k <= cells_; ++k)
      columnX_[static_cast<std::size_t>(k)] =
          static_cast<double>(grid.GridMinX + MeshLine(k, step, extent.Columns));
    low_.Resize(static_cast<std::size_t>(cells_ + 1));
    high_.Resize(static_cast<std::size_t>(cells_ + 1));
    if constexpr (kWithColour) {
      const auto& p = grid.BitmapPalette;
      for (std::size_t k = 0; k < 256; ++k)
        palette_[k] = MakeColour(p[4 * k + 2], p[4 * k + 1], p[4 * k]);
    }
  }

  // The rows of the visible vertices projected so far.
  DrawnRows Drawn{INT32_MAX, INT32_MIN};

  // Returns whether a visible vertex had depth 0.
  bool DrawStrips(std::int64_t first, std::int64_t last) {
    for (std::int64_t m0 = first; m0 < last; m0 += kChunkStrips) {
      const std::int64_t strips = std::min(kChunkStrips, last - m0);
      chunk_.Gather(m0, strips + 1);
      if (Project(low_, m0, 0)) return true;
      for (std::int64_t r = 0; r < strips; ++r) {
        if (Project(high_, m0, r + 1)) return true;
        DrawStrip(m0 + r, r);
        std::swap(low_, high_);
      }
    }
    return false;
  }

 private:
  bool Project(ProjectedRow& row, std::int64_t m0, std::int64_t r) {
    const double y = static_cast<double>(grid_.GridMinY + MeshLine(m0 + r, step_, extent_.Rows));
    const bool zeroDepth = ProjectLatticeRow(view_, target_.TilesAcross, columnX_.data(), y,
                                             chunk_.Heights(r), static_cast<std::size_t>(cells_ + 1),
                                             metres_, row);
    if (row.LowestY <= row.HighestY) {
      Drawn.First = std::min(Drawn.First, row.LowestY);
      Drawn.Last = std::max(Drawn.Last, row.HighestY);
    }
    return zeroDepth;
  }

  Colour ColourOf(const std::uint8_t* indices, std::int64_t k) const {
    if constexpr (kWithColour) return palette_[indices[k]];
    return kWhite;  // the pen's colour, never changed when colours are not drawn
  }

  static ScreenPoint PointOf(const ProjectedRow& row, std::int64_t k) {
    const auto i = static_cast<std::size_t>(k);
    return {row.X[i], row.Y[i], row.Depth[i]};
  }

  static bool Near(const ProjectedRow& a, std::int64_t ka, const ProjectedRow& b, std::int64_t kb) {
    const auto i = static_cast<std::size_t>(ka), j = static_cast<std::size_t>(kb);
    return static_cast<std::uint32_t>(a.X[i] - b.X[j] + 1) <= 2u &&
           static_cast<std::uint32_t>(a.Y[i] - b.Y[j] + 1) <= 2u;
  }

  // The plots of the strip's own vertices keep their depth range here, apart from the target's
  // (the lines keep theirs there): the target's buffers may hold any int32, so its range could
  // not stay in a register.
  struct StripPlots {
    const RasterTarget& Target;
    std::int32_t Nearest = INT32_MAX;
    std::int32_t Farthest = INT32_MIN;

    void Plot(const ProjectedRow& row, std::int64_t k, Colour colour) {
      const auto i = static_cast<std::size_t>(k);
      const std::int32_t depth = row.Depth[i];
      Nearest = std::min(Nearest, depth);
      Farthest = std::max(Farthest, depth);
      MeshWrite<kWithColour>(Target, row.Cell[i], depth, colour);
    }
  };

  // A line longer than to a neighbouring pixel, from a vertex already plotted.
  void Line(const ProjectedRow& from, std::int64_t kf, Colour fromColour, const ProjectedRow& to,
            std::int64_t kt, Colour toColour) {
    const ScreenPoint p = PointOf(from, kf);
    pen_.PenPoint = {p.X, p.Y, p.Depth, fromColour};
    pen_.VertexColour = toColour;
    MeshLineTo<kWithColour>(target_, pen_, PointOf(to, kt), quotients_);
  }

  // PlotPixel, with colours only where they are drawn.
  void PlotOne(const ScreenPoint& p, Colour colour) {
    target_.NearestDepth = std::min(target_.NearestDepth, p.Depth);
    target_.FarthestDepth = std::max(target_.FarthestDepth, p.Depth);
    MeshWrite<kWithColour>(target_, TiledGrid<std::int32_t>::IndexIn(target_.TilesAcross, p.X, p.Y),
                           p.Depth, colour);
  }

  // The pen's way through a cell where a vertex is not visible: as DrawMesh goes.
  void Add(const ProjectedRow& row, std::int64_t k, const std::uint8_t* indices) {
    if (row.X[static_cast<std::size_t>(k)] == kHiddenX) {
      pen_.PenUp = true;
      return;
    }
    pen_.VertexColour = ColourOf(indices, k);
    const ScreenPoint p = PointOf(row, k);
    if (pen_.PenUp) {
      pen_.PenPoint = {p.X, p.Y, p.Depth, pen_.VertexColour};
      PlotOne(p, pen_.VertexColour);
    } else if (std::abs(p.X - pen_.PenPoint.X) <= 1 && std::abs(p.Y - pen_.PenPoint.Y) <= 1) {
      // A line to a neighbouring pixel, or within one: without its repeats, only its end.
      PlotOne(p, pen_.VertexColour);
      pen_.PenPoint = {p.X, p.Y, p.Depth, pen_.VertexColour};
    } else {
      MeshLineTo<kWithColour>(target_, pen_, p, quotients_);
    }
    pen_.PenUp = false;
  }

  // Strip m: cells between lattice rows m (low_, chunk row r) and m + 1 (high_).
  void DrawStrip(std::int64_t m, std::int64_t r) {
    const std::int16_t* before = chunk_.Heights(r - 1);  // all 0 for the first strip
    const std::int16_t* low = chunk_.Heights(r);
    const std::int16_t* high = chunk_.Heights(r + 1);
    const std::uint8_t* lowIndices = kWithColour ? chunk_.BitmapIndices(r) : nullptr;
    const std::uint8_t* highIndices = kWithColour ? chunk_.BitmapIndices(r + 1) : nullptr;
    const bool firstStrip = m == 0;
    StripPlots plots{target_};
    std::uint8_t* kinds = kinds_.data();
    ClassifyCells({before, low, high, low_, high_}, firstStrip, cells_, kinds);
    for (std::int64_t k = 0; k < cells_; ++k) {
      // A = (k, m + 1), B = (k, m), C = (k + 1, m); a vertex without height ends the cell.
      if (kinds[k] == kEmptyCell) continue;
      if (kinds[k] == kFirstVertexCell) {
        plots.Plot(high_, k, ColourOf(highIndices, k));
        continue;
      }
      const bool third = low[k + 1] != 0;
      const auto i = static_cast<std::size_t>(k);
      if (!third || high_.X[i] == kHiddenX || low_.X[i] == kHiddenX || low_.X[i + 1] == kHiddenX) {
        pen_.PenUp = true;
        Add(high_, k, highIndices);
        Add(low_, k, lowIndices);
        if (!third) continue;
        Add(low_, k + 1, lowIndices);
        Add(high_, k, highIndices);
        continue;
      }
      const Colour a = ColourOf(highIndices, k);
      plots.Plot(high_, k, a);
      // B was the last vertex of the cell before, or the first of the cell below.
      const bool bSeen = (k > 0 && low[k - 1] != 0 && high[k - 1] != 0) || (!firstStrip && before[k] != 0);
      if (!Near(high_, k, low_, k))
        Line(high_, k, a, low_, k, ColourOf(lowIndices, k));
      else if (!bSeen)
        plots.Plot(low_, k, ColourOf(lowIndices, k));
      // C was the first vertex of the cell below and to the east.
      const bool cSeen = !firstStrip && k + 1 < cells_ && before[k + 1] != 0;
      if (!Near(low_, k, low_, k + 1))
        Line(low_, k, ColourOf(lowIndices, k), low_, k + 1, ColourOf(lowIndices, k + 1));
      else if (!cSeen)
        plots.Plot(low_, k + 1, ColourOf(lowIndices, k + 1));
      // The line back to A ends on A, plotted first.
      if (!Near(low_, k + 1, high_, k))
        Line(low_, k + 1, ColourOf(lowIndices, k + 1), high_, k, a);
    }
    target_.NearestDepth = std::min(target_.NearestDepth, plots.Nearest);
    target_.FarthestDepth = std::max(target_.FarthestDepth, plots.Farthest);
  }

  RasterTarget& target_;
  const ViewTransform& view_;
  const GridState& grid_;
  std::int32_t step_;
  MeshExtent extent_;
  LatticeChunk chunk_;
  std::int64_t cells_;
  LinePen pen_;
  ProjectedRow low_, high_;
  std::vector<double> columnX_;
  std::vector<std::uint8_t> kinds_;
  HeightMetres metres_;
  SmallQuotients quotients_;
  std::array<Colour, 256> palette_{};
};

}  // namespace

namespace {

template <bool kWithColour>
bool DrawWith(RasterTarget& target, const ViewTransform& view, const GridState& grid,
              std::int32_t step, std::int64_t first, std::int64_t last, DrawnRows& drawn) {
  StripDrawer<kWithColour> drawer(target, view, grid, step, MeshExtentOf(grid));
  const bool zeroDepth = drawer.DrawStrips(first, last);
  drawn = drawer.Drawn.First <= drawer.Drawn.Last ? drawer.Drawn : DrawnRows{};
  return !zeroDepth;
}

}  // namespace

bool DrawMeshStrips(RasterTarget& target, const ViewTransform& view, const GridState& grid,
                    std::int32_t step, bool drape, std::int64_t first, std::int64_t last,
                    DrawnRows& drawn) {
  if (drape) return DrawWith<true>(target, view, grid, step, first, last, drawn);
  return DrawWith<false>(target, view, grid, step, first, last, drawn);
}

}  // namespace terrak
