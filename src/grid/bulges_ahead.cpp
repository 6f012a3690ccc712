#include "grid/bulges_ahead.h"

#include <algorithm>
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

std::size_t WalkRefinementForward(const WrapperList& wrapped, std::size_t first, std::size_t end,
                                  std::int32_t contourGap, const PairSearch& search) {
  const std::size_t pairs = wrapped.size() < 2 ? 0 : wrapped.size() - 1;
  end = std::min(end, pairs);
  if (first >= end) return end;
  // A pair to examine with the outline pair it descends from, or the mark that every pair
  // between a refined pair's cells is done.
  struct Step {
    WrapCell P, N;
    std::size_t Outer = 0;
    bool Leave = false;
  };
  std::vector<Step> steps;
  steps.reserve(end - first);
  for (std::size_t i = end; i-- > first;)
    steps.push_back({{wrapped[i].X, wrapped[i].Y}, {wrapped[i + 1].X, wrapped[i + 1].Y}, i});
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
    if (found == nullptr) return step.Outer;
    if (found->empty()) {
      barren.insert(key);
      continue;
    }
    waiting.insert(key);
    // The refinement goes on with (P, first cell), then the pairs between the cells, then
    // (last cell, N), and leaves the pair once the last of these is done.
    steps.push_back({step.P, step.N, step.Outer, true});
    WrapCell to = step.N;
    for (auto cell = found->rbegin(); cell != found->rend(); ++cell) {
      const WrapCell from{cell->X, cell->Y};
      steps.push_back({from, to, step.Outer});
      to = from;
    }
    steps.push_back({step.P, to, step.Outer});
  }
  return end;
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
  // However the walk ends, the refinement then takes what was made without the lock.
  struct Done {
    std::atomic<bool>& Flag;
    ~Done() { Flag.store(true, std::memory_order_release); }
  } done{helperDone_};
  control.Work = 0;
  try {
    BulgeSearch search(grid, tiles, control);
    WrapperList found;
    // The outline pairs from the last down to the one after the refinement's, each walked as
    // the refinement walks it: the two meet where the work splits evenly.
    for (std::size_t outer = wrapped.size() < 2 ? 0 : wrapped.size() - 1; outer-- > 0;) {
      // Either side first says where it is, then looks where the other is: at most one of them
      // misses the other, and then the refinement takes the lock to see what is made.
      helperFrom_.store(outer);
      if (refinementAt_.load() >= outer) return;
      Ahead ended = Ahead::Made;
      WalkRefinementForward(wrapped, outer, outer + 1, contourGap,
                            [&](std::uint64_t key, WrapCell p, WrapCell n) {
                              ended = MakeAhead(search, control, key, p, n, found);
                              return ended == Ahead::Made ? &found : nullptr;
                            });
      // Come to a pair the refinement met before: the rest of this outline pair is its own.
      if (ended == Ahead::Stop) return;
    }
  } catch (const std::bad_alloc&) {
    // The walk itself ran out of memory: the refinement makes the rest.
  }
}

BulgesAhead::Ahead BulgesAhead::MakeAhead(BulgeSearch& search, ShrinkControl& control,
                                          std::uint64_t key, WrapCell p, WrapCell n,
                                          WrapperList& found) {
  // The refinement stops refining past its work limit; so does the helper.
  if (stop_.load(std::memory_order_relaxed) || control.Work > control.WorkLimit) return Ahead::Stop;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    // A pair the refinement has come to, or one made before.
    if (reached_.count(key) != 0 || !entries_.try_emplace(key).second) return Ahead::Met;
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
  return made ? Ahead::Made : Ahead::Stop;
}

BulgeResult BulgesAhead::Take(std::uint64_t key, WrapCell p, WrapCell n, std::size_t outer,
                              BulgeSearch& search, ShrinkControl& control) {
  refinementAt_.store(outer);
  // Once the helper has ended, what it made is the refinement's alone: most of it is taken
  // then, one search after another, and the lock would be a good part of each.
  if (enabled_ && helperDone_.load(std::memory_order_acquire)) {
    // The entry is left, emptied and no longer made (the refinement meets a pair's search once).
    if (const auto it = entries_.find(key); it != entries_.end() && it->second.Made) {
      it->second.Made = false;
      return std::move(it->second.Result);
    }
    return SearchBulges(search, control, p, n);
  }
  // In the pairs before those the helper has begun on, the refinement makes its searches itself
  // and leaves the lock alone.
  if (enabled_ && helperFrom_.load() <= outer) {
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
