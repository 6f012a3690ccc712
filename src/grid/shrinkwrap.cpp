#include "grid/shrinkwrap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

#include "common/rounding.h"
#include "common/wrap16.h"
#include "grid/bulge_search.h"
#include "grid/contour_tiles.h"
#include "grid/bulges_ahead.h"
#include "grid/outline_pairs.h"
#include "grid/quick_ray.h"
#include "grid/wrap_walker.h"
#include "platform/usable_cores.h"

namespace terrak {

using wrap::Distance2;
using wrap::Inside;
using wrap::kFarAway;
using wrap::PairKey;
using wrap::Step16;
using wrap::ValueAt;
using wrap::Walker;
using wrap::WithinGap;

// The slope the ray and seal walkers step along from a to b; a vertical or horizontal line
// gets a stand-in slope, as the walkers were made to take.
namespace {

double WalkerSlope(WrapCell a, WrapCell b) {
  if (a.X == b.X) return 10000.0;
  if (a.Y == b.Y) return 0.0000001;
  return static_cast<double>(b.Y - a.Y) / static_cast<double>(b.X - a.X);
}

}  // namespace

void CastRay(const HeightGridType& grid, WrapCell& anchor, WrapCell target, WrapperList& list) {
  WrapCell& t = anchor;
  const WrapCell s = target;
  const double m = WalkerSlope(t, s);
  const int sy = s.Y > t.Y ? 1 : -1;
  const int sx = t.X < s.X ? 1 : -1;
  Walker a{t}, b{t};
  const auto stepA = [&] {
    a.Cell.Y = Step16(a.Cell.Y, sy);
    a.Cell.X = Wrap16(RoundToInt(static_cast<double>(a.Cell.Y - t.Y) / m) + t.X);
    a.Distance2 = Distance2(t, a.Cell);
  };
  const auto stepB = [&] {
    b.Cell.X = Step16(b.Cell.X, sx);
    b.Cell.Y = Wrap16(RoundToInt(static_cast<double>(b.Cell.X - t.X) * m) + t.Y);
    b.Distance2 = Distance2(t, b.Cell);
  };
  const auto record = [&](WrapCell cell) {
    t = cell;
    list.push_back({t.X, t.Y, grid(t.X, t.Y)});
  };
  stepA();
  stepB();
  // The walk ends as soon as either walker arrives at the target's row or column.
  while ((sy > 0 ? a.Cell.Y < s.Y : a.Cell.Y > s.Y) && (sx > 0 ? b.Cell.X < s.X : b.Cell.X > s.X)) {
    if (b.Distance2 > a.Distance2) {
      if (ValueAt(grid, a.Cell) > 0) {
        record(a.Cell);
        b = a;
        stepB();
      }
      stepA();
    } else {
      if (ValueAt(grid, b.Cell) > 0) {
        record(b.Cell);
        a = b;
        stepA();
      }
      stepB();
    }
  }
}

namespace {

WrapperList WrapMapBy(const GridState& grid, const ContourTiles* tiles, ProgressSink& progress) {
  progress.ShowProgress("Wrapping the map...");
  const HeightGridType& g = grid.HeightGrid;
  const std::int32_t w = grid.GridWidth;
  const std::int32_t h = grid.GridHeight;
  WrapperList list;
  WrapCell anchor{0, 0};
  const auto ray = [&](std::int32_t x, std::int32_t y) {
    if (tiles != nullptr)
      CastRayOverTiles(g, *tiles, anchor, {Wrap16(x), Wrap16(y)}, list);
    else
      CastRay(g, anchor, {Wrap16(x), Wrap16(y)}, list);
  };
  for (std::int32_t y = 0; y <= h - 1; ++y) ray(w - 1, y);
  for (std::int32_t x = w - 1; x >= 0; --x) ray(x, h);
  for (std::int32_t y = h - 1; y >= 0; --y) ray(-1, y);
  for (std::int32_t x = 0; x <= w - 1; ++x) ray(x, -1);
  progress.ShowProgress("Finished wrapping the map...");
  return list;
}

}  // namespace

WrapperList WrapMap(const GridState& grid, ProgressSink& progress) {
  return WrapMapBy(grid, nullptr, progress);
}

WrapperList WrapMap(const GridState& grid, const ContourTiles& tiles, ProgressSink& progress) {
  return WrapMapBy(grid, &tiles, progress);
}

// The points still to be examined form a stack whose top is the current N: a refinement pushes
// its cells above N, an advance pops N. A refinement of (P, N) is a fixed function of the pair
// (the grid does not change while shrinking): it always adds the same cells and always ends with
// N reached. Two consequences bound the step without changing any run that ends by itself:
// - meeting (P, N) again while its own refinement is still waiting for N to be popped means
//   the run would repeat forever; the pair is accepted as it stands;
// - meeting (P, N) again after its refinement ended would only repeat pieces already in the
//   outline, and sealing a piece a second time writes nothing; it is passed over, and N is put
//   in without being joined to P.
// A pair whose bulges met nothing is remembered too, so its search is not repeated.
Outline ShrinkWrapper(const WrapperList& wrapped, const GridState& grid, std::int32_t contourGap,
                      ShrinkControl& control, ProgressSink& progress) {
  const ContourTiles tiles(grid.HeightGrid);
  return ShrinkWrapper(wrapped, grid, tiles, contourGap, control, progress);
}

Outline ShrinkWrapper(const WrapperList& wrapped, const GridState& grid, const ContourTiles& tiles,
                      std::int32_t contourGap, ShrinkControl& control, ProgressSink& progress) {
  progress.ShowProgress("Shrinking the wrapper...");
  Outline outline;
  if (wrapped.empty()) return outline;
  struct Pending {
    TWrapperPoint Point;
    std::uint32_t WaitingPairs = 0;
  };
  std::vector<Pending> pending;
  pending.reserve(wrapped.size());
  for (auto it = wrapped.rbegin(); it + 1 != wrapped.rend(); ++it) pending.push_back({*it});
  outline.Points.reserve(wrapped.size());
  outline.Points.push_back(wrapped.front());
  outline.JoinedToPrevious.push_back(false);
  // What became of each pair met, found or made by one lookup a pair; the pairs waiting for
  // their refinement to end, by where their state is kept (which stays put in the map).
  enum class Met : std::uint8_t { Waiting, Refined, Barren };
  std::unordered_map<std::uint64_t, Met> met;
  std::vector<Met*> waitingPairs;
  BulgeSearch filler(grid.HeightGrid, tiles, control);
  BulgesAhead ahead(grid.HeightGrid, tiles, control, control.Threads, wrapped, contourGap);
  WrapCell p{wrapped.front().X, wrapped.front().Y};
  // The outline's own points lie at the bottom of the stack, below every cell found.
  std::size_t outlinePointsLeft = pending.size();
  while (!pending.empty()) {
    const TWrapperPoint nPoint = pending.back().Point;
    const WrapCell n{nPoint.X, nPoint.Y};
    bool joined = true;
    bool advance = true;
    if (!WithinGap(contourGap, Distance2(p, n)) && !control.WorkLimitHit) {
      const std::uint64_t key = PairKey(p, n);
      const auto [seen, first] = met.try_emplace(key, Met::Barren);
      if (!first && seen->second == Met::Barren) {
        // Its bulges meet nothing: accepted as it stands, as the first time.
      } else if (!first && seen->second == Met::Waiting) {
        ++control.LoopsCut;
      } else if (!first) {
        joined = false;
      } else {
        const std::int16_t steps = control.CurveSteps;
        const std::int64_t work = control.Work;
        const std::size_t outer = wrapped.size() - 1 - outlinePointsLeft;
        BulgeResult search;
        if (control.Plain) {
          search.Found = BulgeCellsPlain(grid, p, n, control);  // counts into control itself
        } else {
          search = ahead.Take(key, p, n, outer, filler, control);
          control.Work = work + search.Work;
          control.CurveSteps = search.Tried ? search.CurveSteps : steps;
        }
        const WrapperList& found = search.Found;
        if (control.Work > control.WorkLimit) control.WorkLimitHit = true;
        if (!found.empty()) {
          advance = false;
          seen->second = Met::Waiting;
          waitingPairs.push_back(&seen->second);
          ++pending.back().WaitingPairs;
          for (auto it = found.rbegin(); it != found.rend(); ++it) pending.push_back({*it});
        }
      }
    }
    if (advance) {
      for (std::uint32_t i = 0; i < pending.back().WaitingPairs; ++i) {
        *waitingPairs.back() = Met::Refined;
        waitingPairs.pop_back();
      }
      pending.pop_back();
      outlinePointsLeft = std::min(outlinePointsLeft, pending.size());
      outline.Points.push_back(nPoint);
      outline.JoinedToPrevious.push_back(joined);
      p = n;
    }
  }
  return outline;
}

namespace {

// Writes the line P->N into the empty cells it crosses, heights interpolated by distance, and
// the cells made positive into tiles, when given.
std::int64_t SealSegment(HeightGridType& g, WrapCell p, WrapCell n, ContourTiles* tiles) {
  const std::int64_t d2 = Distance2(p, n);
  const double d = std::sqrt(static_cast<double>(d2));
  const double m = WalkerSlope(p, n);
  const std::int32_t h0 = g(p.X, p.Y);
  const std::int32_t h1 = g(n.X, n.Y);
  const double dh = static_cast<double>(h1 - h0);
  const int sx = p.X < n.X ? 1 : -1;
  const int sy = n.Y > p.Y ? 1 : -1;
  Walker a{p}, b{p};
  // Along a horizontal (vertical) segment the row-stepping (column-stepping) walker would jump
  // by the stand-in slope to cells far off the line; it is left out.
  const bool aOut = n.Y == p.Y;
  const bool bOut = p.X == n.X;
  const auto stepA = [&] {
    a.Cell.Y = Step16(a.Cell.Y, sy);
    a.Cell.X = Wrap16(RoundToInt(static_cast<double>(a.Cell.Y - p.Y) / m) + p.X);
    a.Distance2 = aOut ? kFarAway : Distance2(p, a.Cell);
  };
  const auto stepB = [&] {
    b.Cell.X = Step16(b.Cell.X, sx);
    b.Cell.Y = Wrap16(RoundToInt(static_cast<double>(b.Cell.X - p.X) * m) + p.Y);
    b.Distance2 = bOut ? kFarAway : Distance2(p, b.Cell);
  };
  std::int64_t outside = 0;
  const auto fill = [&](const Walker& f) {
    if (!Inside(g, f.Cell.X, f.Cell.Y)) {
      ++outside;
      return;
    }
    std::int16_t& cell = g(f.Cell.X, f.Cell.Y);
    if (cell != 0) return;
    const double e = std::sqrt(static_cast<double>(f.Distance2));
    cell = Wrap16(RoundToInt(e / d * dh) + h0);
    if (tiles != nullptr) tiles->Put(f.Cell.X, f.Cell.Y, cell > 0);
  };
  stepA();
  stepB();
  // Each walker passes the segment's length within |dx| + 1 or |dy| + 1 steps; the bound only
  // ends walks whose cells have wrapped round the 16-bit range.
  const std::int64_t maxSteps = 2 * (std::llabs(std::int64_t{n.X} - p.X) + std::llabs(std::int64_t{n.Y} - p.Y)) + 8;
  for (std::int64_t i = 0; i < maxSteps; ++i) {
    if (b.Distance2 > a.Distance2) {
      fill(a);
      stepA();
    } else {
      fill(b);
      stepB();
    }
    if (a.Distance2 > d2 && b.Distance2 > d2) break;
  }
  return outside;
}

}  // namespace

std::int64_t SealWrapper(const Outline& outline, GridState& grid, ProgressSink& progress,
                         ContourTiles* tiles) {
  progress.ShowProgress("Sealing the Shrinkwrap...");
  std::int64_t outside = 0;
  const WrapperList& points = outline.Points;
  if (points.empty()) return outside;
  WrapCell n{points.front().X, points.front().Y};
  for (std::size_t i = 1; i < points.size(); ++i) {
    const WrapCell p = n;
    n = {points[i].X, points[i].Y};
    if (outline.JoinedToPrevious[i] && (std::abs(n.X - p.X) > 1 || std::abs(n.Y - p.Y) > 1))
      outside += SealSegment(grid.HeightGrid, p, n, tiles);
  }
  return outside;
}

std::shared_ptr<ContourTiles> ShrinkWrap(GridState& grid, std::int32_t contourGap,
                                         GridBuildState& build, ProgressSink& progress,
                                         std::shared_ptr<ContourTiles> kept) {
  // The contour tiles are made once, for the rays and for both threads of the bulge search (or
  // kept by the painting); the seal adds its cells, and the interpolation makes its bit tables
  // from them.
  if (kept != nullptr && kept->Fits(grid.HeightGrid))
    kept->Summarise();
  else
    kept = std::make_shared<ContourTiles>(grid.HeightGrid);
  ContourTiles& tiles = *kept;
  const WrapperList list =
      build.Reference ? WrapMap(grid, progress) : WrapMap(grid, tiles, progress);
  ShrinkControl control;
  control.WorkLimit = build.ShrinkWorkLimit;
  control.CurveSteps = build.CurveSteps;
  control.Threads = build.Reference ? 1 : std::clamp(UsableCores(), 1, 2);
  control.Plain = build.Reference;
  const Outline outline = ShrinkWrapper(list, grid, tiles, contourGap, control, progress);
  build.CurveSteps = control.CurveSteps;
  build.Notes.ShrinkLoopsCut += control.LoopsCut;
  build.Notes.ShrinkWorkLimitHit = build.Notes.ShrinkWorkLimitHit || control.WorkLimitHit;
  build.Notes.SealCellsOutside += SealWrapper(outline, grid, progress, &tiles);
  tiles.ForgetSums();  // the interpolation reads the tiles alone
  return kept;
}

}  // namespace terrak
