#pragma once
// The bulge searches that the outline refinement will need later, made on a second thread while
// the refinement works on the pairs before them. A search is a fixed function of its two points
// (the grid does not change while shrinking), so a search taken over gives the cells, the work
// and the step count that making it would have given.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>

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

class BulgesAhead {
 public:
  // Without a second thread (threads below 2) every search is made where it is taken.
  BulgesAhead(const HeightGridType& grid, const ShrinkControl& control, int threads);
  ~BulgesAhead();
  BulgesAhead(const BulgesAhead&) = delete;
  BulgesAhead& operator=(const BulgesAhead&) = delete;

  // A pair the refinement will examine later. Pairs are taken up oldest first, so each batch
  // should name its farthest pair first.
  void Expect(std::uint64_t key, WrapCell p, WrapCell n);
  // The search of (p, n): taken over when it was made ahead (waiting while it is being made),
  // else made here with search and control.
  BulgeResult Take(std::uint64_t key, WrapCell p, WrapCell n, BulgeSearch& search,
                   ShrinkControl& control);

 private:
  enum class State { Queued, Making, Done };
  struct Entry {
    State Now = State::Queued;
    WrapCell P, N;
    BulgeResult Result;
  };
  void Work(const HeightGridType& grid, ShrinkControl control);

  bool enabled_ = false;
  std::mutex mutex_;
  std::condition_variable wake_, made_;
  std::unordered_map<std::uint64_t, Entry> entries_;
  std::deque<std::uint64_t> queue_;
  bool stop_ = false;
  std::thread helper_;
};

}  // namespace terrak
