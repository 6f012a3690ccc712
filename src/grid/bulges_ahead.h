#pragma once
// The bulge searches of the outline refinement shared with a second thread. The refinement walks
// the outline's pairs from the first to the last; the helper takes them from the last to the
// first, walking each pair (a pair, then the pairs between the cells its search found) as the
// refinement does, searching and keeping the results, until it comes to the pair the refinement
// is in. A search is a fixed function of its two points (the grid does not change while
// shrinking), so a search taken over gives the cells, the work and the step count that making it
// would have given.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "grid/bulge_search.h"
#include "grid/shrinkwrap.h"

namespace terrak {

// One search between p and n and what it cost.
struct BulgeResult {
  WrapperList Found;
  std::int64_t Work = 0;
  std::int16_t CurveSteps = 0;
  bool Tried = false;  // at least one bulge was tried: CurveSteps holds its step count
};

BulgeResult SearchBulges(BulgeSearch& search, ShrinkControl& control, WrapCell p, WrapCell n);

// The pairs the refinement of wrapped would search, in its order, in the outline pairs from
// (wrapped[first], wrapped[first + 1]) up to the one before (wrapped[end], wrapped[end + 1]): a pair, then the pairs between the cells its search
// found. The walk keeps the refinement's rules (pairs within the gap, pairs refined or found
// barren before, a pair met again while its own refinement is under way), so walked from the
// first pair it makes the refinement's searches; from a later one, those the refinement makes
// from there, give or take the few whose turn depends on what came before. search(key, p, n)
// makes a pair's search and gives the cells found, or nullptr to end the walk. Gives the outline
// pair the walk ended in, or end (at most the number of pairs) when it went through.
using PairSearch = std::function<const WrapperList*(std::uint64_t key, WrapCell p, WrapCell n)>;
std::size_t WalkRefinementForward(const WrapperList& wrapped, std::size_t first, std::size_t end,
                                  std::int32_t contourGap, const PairSearch& search);

class BulgesAhead {
 public:
  // Without a second thread (threads below 2) every search is made where it is taken. grid,
  // its tiles and wrapped must outlive this.
  BulgesAhead(const HeightGridType& grid, const ContourTiles& tiles, const ShrinkControl& control,
              int threads, const WrapperList& wrapped, std::int32_t contourGap);
  ~BulgesAhead();
  BulgesAhead(const BulgesAhead&) = delete;
  BulgesAhead& operator=(const BulgesAhead&) = delete;

  // The search of (p, n), met by the refinement in the outline pair outer: taken over when the
  // helper made it (waiting while it is being made), else made here with search and control.
  BulgeResult Take(std::uint64_t key, WrapCell p, WrapCell n, std::size_t outer,
                   BulgeSearch& search, ShrinkControl& control);

 private:
  struct Entry {
    bool Made = false;
    BulgeResult Result;
  };
  void Work(const HeightGridType& grid, const ContourTiles& tiles, ShrinkControl control,
            const WrapperList& wrapped, std::int32_t contourGap);
  enum class Ahead { Made, Met, Stop };
  // Makes the search of (p, n) for the refinement and copies its cells to found; otherwise says
  // why the walk is to end.
  Ahead MakeAhead(BulgeSearch& search, ShrinkControl& control, std::uint64_t key, WrapCell p,
                  WrapCell n, WrapperList& found);

  bool enabled_ = false;
  std::mutex mutex_;
  std::condition_variable made_;
  std::unordered_map<std::uint64_t, Entry> entries_;  // made or being made by the helper
  std::unordered_set<std::uint64_t> reached_;         // pairs the refinement has come to
  std::atomic<bool> stop_{false};
  std::atomic<std::size_t> refinementAt_{0};        // the outline pair the refinement is in
  std::atomic<std::size_t> helperFrom_{SIZE_MAX};   // the first outline pair the helper began on
  std::atomic<bool> helperDone_{false};             // the helper makes no more searches
  std::thread helper_;
};

}  // namespace terrak
