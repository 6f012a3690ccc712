#include "grid/bulges_ahead.h"

#include <limits>
#include <new>
#include <optional>
#include <system_error>

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

BulgesAhead::BulgesAhead(const HeightGridType& grid, const ShrinkControl& control, int threads)
    : enabled_(threads >= 2) {
  if (!enabled_) return;
  try {
    helper_ = std::thread([this, &grid, control] { Work(grid, control); });
  } catch (const std::system_error&) {
    enabled_ = false;  // no thread to be had: every search is made where it is taken
  }
}

BulgesAhead::~BulgesAhead() {
  if (!enabled_) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  helper_.join();
}

void BulgesAhead::Work(const HeightGridType& grid, ShrinkControl control) {
  control.Work = 0;
  std::optional<BulgeSearch> made;
  try {
    made.emplace(grid, control);
  } catch (const std::bad_alloc&) {
    return;  // the refinement makes every search itself
  }
  BulgeSearch& search = *made;
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
    if (stop_) return;
    const std::uint64_t key = queue_.front();
    queue_.pop_front();
    const auto it = entries_.find(key);
    if (it == entries_.end() || it->second.Now != State::Queued) continue;
    it->second.Now = State::Making;
    const WrapCell p = it->second.P, n = it->second.N;
    lock.unlock();
    BulgeResult result;
    bool done = true;
    try {
      result = SearchBulges(search, control, p, n);
    } catch (const std::bad_alloc&) {
      done = false;  // the refinement makes it, and every later one, itself
    }
    lock.lock();
    Entry& entry = entries_.at(key);  // only this thread removes an entry being made
    entry.Result = std::move(result);
    entry.Now = done ? State::Done : State::Queued;
    made_.notify_all();
    if (!done) return;
    // The refinement stops refining past its work limit; so does the helper.
    if (control.Work > control.WorkLimit) return;
  }
}

void BulgesAhead::Expect(std::uint64_t key, WrapCell p, WrapCell n) {
  if (!enabled_) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!entries_.emplace(key, Entry{State::Queued, p, n, {}}).second) return;
    queue_.push_back(key);
  }
  wake_.notify_one();
}

BulgeResult BulgesAhead::Take(std::uint64_t key, WrapCell p, WrapCell n, BulgeSearch& search,
                              ShrinkControl& control) {
  if (enabled_) {
    std::unique_lock<std::mutex> lock(mutex_);
    const auto it = entries_.find(key);
    if (it != entries_.end()) {
      made_.wait(lock, [&] { return it->second.Now != State::Making; });
      if (it->second.Now == State::Done) {
        BulgeResult result = std::move(it->second.Result);
        entries_.erase(it);
        return result;
      }
      entries_.erase(it);  // made here; the helper passes over its queue entry
    }
  }
  return SearchBulges(search, control, p, n);
}

}  // namespace terrak
