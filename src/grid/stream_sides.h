#pragma once
// The sides of the lines through the cell being interpolated, as the line streams carry them
// (grid/line_streams.h): the cells two or more cells away from the grid's edges take their
// lines' near cells from the streams, and keep each line's gradient while its near cells stay.
// An up side's near cell is found afresh when the sweep passes it; edge and next cells are found
// only when a flat line's estimate wants them.
//
// Internal to the fast interpolation (grid/interpolator.h).
#include <cassert>
#include <cmath>
#include <cstdint>
#include <memory>

#include "grid/fast_scanner.h"
#include "grid/interpolate_estimate.h"
#include "grid/line_streams.h"

namespace terrak {

// A flat column line between two near cells, as ExtrapolateFlat reads it. Its far cells, and
// so the slopes beyond, are the same from every cell between its near cells.
struct FlatColumn {
  bool Flat = false;
  std::int32_t DownP = 0, UpP = 0, DownV = 0, UpV = 0, SlopeDown = 0, SlopeUp = 0;
  double Length = 0.0;
  // As a scan that ExtrapolateFlat reads.
  std::int32_t DownNearP() const { return DownP; }
  std::int32_t UpNearP() const { return UpP; }
  std::int32_t DownNearV() const { return DownV; }
  std::int32_t UpNearV() const { return UpV; }
  std::int32_t DownBeyond() const { return SlopeDown; }
  std::int32_t UpBeyond() const { return SlopeUp; }
  // ExtrapolateFlat at row y, into the estimate of a cell just begun.
  void Extrapolate(std::int32_t y, EstimateState& state) const {
    ExtrapolateFlat(*this, y, 1.0, Length, state);
  }
  // Its estimate at row y after a cell began, from the estimate carried in.
  double Extrapolated(std::int32_t y, double carried) const {
    EstimateState state;
    state.BestDistance = 9999999.0;
    state.E = carried;
    Extrapolate(y, state);
    return state.E;
  }
};

// The scanner and streams of a sweep, and the lines' sides found and kept up to date from them;
// the interpolator builds its estimates on these.
class StreamSides {
 protected:
  // tiles, when given, are made into the bit lines and let go of.
  StreamSides(GridState& grid, std::shared_ptr<const ContourTiles>& tiles)
      : scan_(grid, tiles), streams_(scan_.Grid(), grid.GridHeight, scan_.ColumnBits()) {}

  // The sides of the lines through the cell being interpolated, as the line streams carry them.
  enum class Way { ColumnDown, ColumnUp, RowDown, RowUp, FallingDown, FallingUp, RisingDown,
                   RisingUp };

  static bool IsUp(Way way) {
    return way == Way::ColumnUp || way == Way::RowUp || way == Way::FallingUp ||
           way == Way::RisingUp;
  }

  // One side of a line as the estimate reads it: its near cell, and its edge and next cells.
  struct SideView {
    LineCell& Near;
    SideFar& Far;
  };
  static SideView DownOf(LineState& line, LineFar& far) { return {line.DownNear, far.Down}; }
  static SideView UpOf(LineState& line, LineFar& far) { return {line.UpNear, far.Up}; }

  // Edge and next cells of a side whose near cell is new, from a scan from the present cell.
  void Find(SideView side, Way way) const {
    const std::int32_t x = cellX_, y = cellY_;
    SideCells found;
    switch (way) {
      case Way::ColumnDown: found = scan_.ColumnDown(x, y); break;
      case Way::ColumnUp: found = scan_.ColumnUp(x, y); break;
      case Way::RowDown: found = scan_.RowDown(x, y); break;
      case Way::RowUp: found = scan_.RowUp(x, y); break;
      case Way::FallingDown: found = scan_.Diagonal(x, y, -1, +1); break;
      case Way::FallingUp: found = scan_.Diagonal(x, y, +1, -1); break;
      case Way::RisingDown: found = scan_.Diagonal(x, y, -1, -1); break;
      case Way::RisingUp: found = scan_.Diagonal(x, y, +1, +1); break;
    }
    // A down side's near cell is the streams' own; an up side's is found here.
    assert(IsUp(way) || (side.Near == LineCell{found.Near.x, found.Near.y}));
    side.Near = {found.Near.x, found.Near.y};
    side.Far.Edge = {found.Edge.x, found.Edge.y};
    side.Far.Next = {found.Next.x, found.Next.y};
    side.Far.Beyond = BeyondOf(side.Far, IsUp(way));
  }
  // A side's slope beyond its near cell as the estimate reads it, down (edge - next) or up
  // (next - edge), from the values its far cells hold now; kReadAfresh when either holds no
  // height (a cell holding 0 may yet be written).
  std::int32_t BeyondOf(const SideFar& far, bool up) const {
    const std::int32_t edge = scan_.G(far.Edge.x, far.Edge.y);
    const std::int32_t next = scan_.G(far.Next.x, far.Next.y);
    if (!IsHeight(edge) || !IsHeight(next)) return SideFar::kReadAfresh;
    return SlopeBetween(edge, next, up);
  }

  // A side's slope beyond its near cell, its far cells found first if they are not known.
  std::int32_t SideBeyond(SideView side, Way way) const {
    if (!side.Far.Known()) Find(side, way);
    const SideFar& far = side.Far;
    if (far.Beyond != SideFar::kReadAfresh) {
      assert(far.Beyond == BeyondOf(far, IsUp(way)));
      return far.Beyond;
    }
    return SlopeBetween(scan_.G(far.Edge.x, far.Edge.y), scan_.G(far.Next.x, far.Next.y),
                        IsUp(way));
  }

  // An up side's new near cell, from a scan from the present cell. Its edge and next cells are
  // found when a flat line's estimate first wants them (Find, from the cell of that moment):
  // until the sweep passes the near cell, a walk from any cell of the line before it meets the
  // same cells.
  void FindNear(SideView side, Way way) const {
    const std::int32_t x = cellX_, y = cellY_;
    ScanCell near;
    switch (way) {
      case Way::ColumnUp: near = scan_.ColumnUpNear(x, y); break;
      case Way::RowUp: near = scan_.RowUpNear(x, y); break;
      case Way::FallingUp: near = scan_.DiagonalNear(x, y, +1, -1); break;
      default: assert(way == Way::RisingUp); near = scan_.DiagonalNear(x, y, +1, +1); break;
    }
    side.Near = {near.x, near.y};
    side.Far.Forget();
  }

  // A line's scan as the estimate reads it, from the streams' sides; edge and next cells are
  // found only when the estimate wants them.
  class StreamScan {
   public:
    StreamScan(const StreamSides& owner, SideView down, Way downWay, SideView up, Way upWay,
               bool alongColumn)
        : owner_(owner), down_(down), up_(up), downWay_(downWay), upWay_(upWay),
          alongColumn_(alongColumn) {}
    std::int32_t DownNearP() const { return Position(down_.Near); }
    std::int32_t DownNearV() const { return Value(down_.Near); }
    std::int32_t UpNearP() const { return Position(up_.Near); }
    std::int32_t UpNearV() const { return Value(up_.Near); }
    std::int32_t DownEdgeV() const { return Value(Known(down_, downWay_).Edge); }
    std::int32_t DownNextV() const { return Value(Known(down_, downWay_).Next); }
    std::int32_t UpEdgeV() const { return Value(Known(up_, upWay_).Edge); }
    std::int32_t UpNextV() const { return Value(Known(up_, upWay_).Next); }
    std::int32_t DownBeyond() const { return owner_.SideBeyond(down_, downWay_); }
    std::int32_t UpBeyond() const { return owner_.SideBeyond(up_, upWay_); }

   private:
    std::int32_t Position(LineCell c) const { return alongColumn_ ? c.y : c.x; }
    std::int32_t Value(LineCell c) const { return owner_.scan_.G(c.x, c.y); }
    const SideFar& Known(SideView side, Way way) const {
      if (!side.Far.Known()) owner_.Find(side, way);
      return side.Far;
    }
    const StreamSides& owner_;
    SideView down_;
    SideView up_;
    Way downWay_, upWay_;
    bool alongColumn_;
  };

  // The column line's scan as the streams carry it.
  StreamScan ColumnStream() {
    LineState& line = streams_.Column();
    LineFar& far = streams_.ColumnFar();
    return StreamScan(*this, DownOf(line, far), Way::ColumnDown, UpOf(line, far), Way::ColumnUp,
                      true);
  }

  // The up sides move on when the sweep passes their near cells, and the lines' gradients are
  // made again then (along the 135-degree diagonal, whenever the up side's near cell changes).
  // Along the 135-degree diagonal the walk's first cell, (x, y - 1), is in the present column
  // and looked at directly; a 45-degree walk's first cell (x, y + 1) still lies ahead. The
  // walks' limits are the same for every cell of a line. The far cells are reached only by
  // the flat lines' scans, so that the cells that slope keep to the lines' small states.
  void ColumnUpSide(std::int32_t y) {
    LineState& line = streams_.Column();
    if (line.UpLastX < y) {
      FindNear(UpOf(line, streams_.ColumnFar()), Way::ColumnUp);
      line.UpLastX = static_cast<std::int16_t>(line.UpNear.y - 1);
      line.SlopeKnown = false;
      line.Keep();
    }
  }
  void RowUpSide(std::int32_t x, std::int32_t y) {
    LineState& line = streams_.Row(y);
    if (line.UpLastX < x) {
      FindNear(UpOf(line, streams_.RowFar(y)), Way::RowUp);
      line.UpLastX = static_cast<std::int16_t>(line.UpNear.x - 1);
      line.SlopeKnown = false;
      line.Keep();
    }
  }
  // Whether the walk meets a contour at its first cell, which then serves as the up side of
  // this cell alone (firstCell_), the line's own up side left as it is.
  bool FallingUpSide(std::int32_t x, std::int32_t y) {
    if (here_[y - 1] > 0) {
      firstCell_ = {x, y - 1};
      firstCellFar_ = {};
      return true;
    }
    LineState& line = streams_.Falling(y);
    if (line.UpLastX < x) {
      FindNear(UpOf(line, streams_.FallingFar(y)), Way::FallingUp);
      line.UpLastX = scan_.G(line.UpNear.x, line.UpNear.y) > 0
                         ? static_cast<std::int16_t>(line.UpNear.x - 1)
                         : kAlways;
      line.Keep();
    }
    return false;
  }
  void RisingUpSide(std::int32_t x, std::int32_t y) {
    LineState& line = streams_.Rising(y);
    if (line.UpLastX < x) {
      FindNear(UpOf(line, streams_.RisingFar(y)), Way::RisingUp);
      // A cell met at the half step, on the diagonal above, stays ahead one column longer.
      const LineCell near = line.UpNear;
      const bool half = near.x - near.y != x - y;
      line.UpLastX = scan_.G(near.x, near.y) <= 0 ? kAlways
                     : half                      ? near.x
                                                 : static_cast<std::int16_t>(near.x - 1);
      line.SlopeKnown = false;
      line.Keep();
    }
  }

  // The gradient between two near cells (positions and values) as the estimate step computes
  // it, or -1.0 when the line is skipped.
  template <bool Diagonal>
  static double Gradient(std::int32_t downP, std::int32_t upP, std::int32_t downV,
                         std::int32_t upV, double step) {
    const std::int64_t length = std::int64_t{upP} - downP;
    if (length == 0 || !IsHeight(upV) || !IsHeight(downV)) return -1.0;
    const double l = static_cast<double>(length);
    const double dh = static_cast<double>(upV - downV);
    return Diagonal ? std::fabs(dh / l) / step : std::fabs(dh / l);
  }
  // The line with its gradient and near values for the present near cells.
  template <bool Diagonal, bool Falling = false>
  const LineState& Sloped(LineState& line, LineCell upNear, bool alongColumn,
                          double step) const {
    if (!line.SlopeKnown || (Falling && !(line.SlopeUp == upNear))) {
      line.SlopeKnown = true;
      line.SlopeUp = upNear;
      line.DownV = scan_.Grid()(line.DownNear.x, line.DownNear.y);
      line.UpV = scan_.Grid()(upNear.x, upNear.y);
      const std::int32_t downP = alongColumn ? line.DownNear.y : line.DownNear.x;
      const std::int32_t upP = alongColumn ? upNear.y : upNear.x;
      line.Slope = Gradient<Diagonal>(downP, upP, line.DownV, line.UpV, step);
      line.DownP = downP;
      line.Length = upP - downP;
      line.Dh = line.UpV - line.DownV;
      line.DownHeight = line.DownV;
      line.Keep();
    }
    return line;
  }

  // A row or diagonal whose slope is known and whose up side is its own, as ExtrapolateFlat
  // reads it.
  struct KeptFlatLine {
    const StreamSides& Owner;
    LineState& Line;
    LineFar& Far;
    Way DownWay, UpWay;
    std::int32_t DownNearP() const { return Line.DownNear.x; }
    std::int32_t UpNearP() const { return Line.SlopeUp.x; }
    std::int32_t DownNearV() const { return Line.DownV; }
    std::int32_t UpNearV() const { return Line.UpV; }
    std::int32_t DownBeyond() const { return Owner.SideBeyond(DownOf(Line, Far), DownWay); }
    std::int32_t UpBeyond() const { return Owner.SideBeyond(UpOf(Line, Far), UpWay); }
  };

  FastScanner scan_;
  LineStreams streams_;
  std::int32_t cellX_ = 0, cellY_ = 0;  // the cell being interpolated
  // A 135-degree up side that meets a contour at its first cell.
  LineCell firstCell_;
  SideFar firstCellFar_;
  static constexpr std::int16_t kAlways = LineState::kAlways;
  const std::int16_t* here_ = nullptr;  // the present column
};

}  // namespace terrak
