#include "grid/bulges_ahead.h"

#include <limits>
#include <new>
#include <optional>
#include <system_error>
#include <vector>

#include "grid/outline_pairs.h"
#include "grid/wrap_walker.h"

namespace terrak {

BulgeResult SearchBulges(BulgeSearch& search, ShrinkControl& control, WrapCell p, WrapCell n) {
  BulgeResult result;
  const std::int64_t work = control.Work;
  constexpr std::int16_t kUntouched = std::numeric_limits<std::int16_t>::min();
  control.CurveSteps = kUntouched;
  search.Fill(p, n, result.Found);
  result.Work = control.Work - work;
  result.Tried = result.Work != 0 || control.CurveSteps != kUntouched;
  result.CurveSteps = control.CurveSteps;
  return result;
}

void WalkRefinementBackwards(const WrapperList& wrapped, std::int32_t contourGap,
                             const PairSearch& search) {
  if (wrapped.size() < 2) return;
  // A pair to examine, or the mark that every pair between a refined pair's cells is done.
  struct Step {
    WrapCell P, N;
    bool Leave = false;
  };
  std::vector<Step> steps;
  steps.reserve(wrapped.size());
  for (std::size_t i = 0; i + 1 < wrapped.size(); ++i)
    steps.push_back({{wrapped[i].X, wrapped[i].Y}, {wrapped[i + 1].X, wrapped[i + 1].Y}});
  std::unordered_set<std::uint64_t> waiting, refined, barren;
  while (!steps.empty()) {
    const Step step = steps.back();
    steps.pop_back();
    const std::uint64_t key = wrap::PairKey(step.P, step.N);
    if (step.Leave) {
      waiting.erase(key);
      refined.insert(key);
      continue;
    }
    if (wrap::WithinGap(contourGap, wrap::Distance2(step.P, step.N))) continue;
    if (barren.count(key) != 0 || waiting.count(key) != 0 || refined.count(key) != 0) continue;
    const WrapperList* found = search(key, step.P, step.N);
    if (found == nullptr) return;
    if (found->empty()) {
      barren.insert(key);
      continue;
    }
    waiting.insert(key);
    steps.push_back({step.P, step.N, true});
    // The refinement goes on with (P, first cell), then the pairs between the cells, then
    // (last cell, N): pushed in that order, the last comes first here.
    WrapCell from = step.P;
    for (const TWrapperPoint& cell : *found) {
      const WrapCell to{cell.X, cell.Y};
      steps.push_back({from, to});
      from = to;
    }
    steps.push_back({from, step.N});
  }
}

BulgesAhead::BulgesAhead(const HeightGridType& grid, const ContourTiles& tiles,
                         const ShrinkControl& control, int threads, const WrapperList& wrapped,
                         std::int32_t contourGap)
    : enabled_(threads >= 2) {
  if (!enabled_) return;
  try {
    helper_ = std::thread([this, &grid, &tiles, control, &wrapped, contourGap] {
      Work(grid, tiles, control, wrapped, contourGap);
    });
  } catch (const std::system_error&) {
    enabled_ = false;  // no thread to be had: every search is made where it is taken
  }
}

BulgesAhead::~BulgesAhead() {
  if (!enabled_) return;
  stop_.store(true, std::memory_order_relaxed);
  helper_.join();
}

void BulgesAhead::Work(const HeightGridType& grid, const ContourTiles& tiles, ShrinkControl control,
                       const WrapperList& wrapped, std::int32_t contourGap) {
  control.Work = 0;
  try {
    BulgeSearch search(grid, tiles, control);
    WrapperList found;
    WalkRefinementBackwards(wrapped, contourGap, [&](std::uint64_t key, WrapCell p, WrapCell n) {
      return MakeAhead(search, control, key, p, n, found) ? &found : nullptr;
    });
  } catch (const std::bad_alloc&) {
    // The walk itself ran out of memory: the refinement makes the rest.
  }
}

bool BulgesAhead::MakeAhead(BulgeSearch& search, ShrinkControl& control, std::uint64_t key,
                            WrapCell p, WrapCell n, WrapperList& found) {
  // The refinement stops refining past its work limit; so does the helper.
  if (stop_.load(std::memory_order_relaxed) || control.Work > control.WorkLimit) return false;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    // A pair the refinement has come to: from here on the pairs are its own, the threads met.
    if (reached_.count(key) != 0 || !entries_.try_emplace(key).second) return false;
  }
  BulgeResult result;
  bool made = true;
  try {
    result = SearchBulges(search, control, p, n);
    found = result.Found;
  } catch (const std::bad_alloc&) {
    made = false;  // the refinement makes it, and every later one, itself
  }
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (made) {
      Entry& entry = entries_.at(key);  // only this thread removes an entry being made
      entry.Result = std::move(result);
      entry.Made = true;
    } else {
      entries_.erase(key);
    }
  }
  made_.notify_all();
  return made;
}

BulgeResult BulgesAhead::Take(std::uint64_t key, WrapCell p, WrapCell n, BulgeSearch& search,
                              ShrinkControl& control) {
  if (enabled_) {
    std::unique_lock<std::mutex> lock(mutex_);
    reached_.insert(key);
    auto it = entries_.find(key);
    if (it != entries_.end() && !it->second.Made) {
      made_.wait(lock, [&] {
        it = entries_.find(key);
        return it == entries_.end() || it->second.Made;
      });
    }
    if (it != entries_.end()) {
      BulgeResult result = std::move(it->second.Result);
      entries_.erase(it);
      return result;
    }
  }
  return SearchBulges(search, control, p, n);
}

}  // namespace terrak
