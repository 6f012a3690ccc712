#pragma once
// An object's line as the grid, the drawings and the heights walk it: a start point, then
// straight and curve steps, with the coordinates apart from the marker pairs and line flags the
// model's lists carry. Only the object's first part is a path; further parts (holes) are not.
// The path is a view over the object's pairs: it copies and allocates nothing, as the grid walks
// every contour vertex of the map.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "mapfile/map_model.h"

namespace terrak {

// A line-flag or skipped pair: no point, and no step of the path.
constexpr bool PassedOverInPath(std::int32_t x) { return x == kMarkLineFlags || x == kMarkSkipped; }

// One step from the previous step's end (or the start). A straight step's controls lie on its
// ends (Control1 = From, Control2 = End), so it flattens as a curve does.
struct PathStep {
  bool Curve = false;
  TPair From;
  TPair Control1;
  TPair Control2;
  TPair End;
  friend bool operator==(const PathStep&, const PathStep&) = default;
};

// The steps of a path, in order. Passes over line-flag and skipped pairs; every curve in the
// range has its three pairs (the path ends before a curve cut short).
class PathSteps {
 public:
  class Iterator {
   public:
    Iterator(const TPair* at, const TPair* end, TPair from) : at_(at), end_(end) {
      step_.End = from;
      Load();
    }
    const PathStep& operator*() const { return step_; }
    Iterator& operator++() {
      at_ = next_;
      Load();
      return *this;
    }
    bool operator==(const Iterator& other) const { return at_ == other.at_; }

   private:
    void Load() {
      while (at_ != end_ && PassedOverInPath(at_->X)) ++at_;
      if (at_ == end_) return;
      const TPair from = step_.End;
      if (at_->X == kMarkCurve) {
        step_ = {true, from, at_[1], at_[2], at_[3]};
        next_ = at_ + 4;
      } else {
        step_ = {false, from, from, *at_, *at_};
        next_ = at_ + 1;
      }
    }
    const TPair* at_;
    const TPair* end_;
    const TPair* next_ = nullptr;
    PathStep step_;
  };

  PathSteps() = default;
  PathSteps(std::span<const TPair> pairs, TPair from) : pairs_(pairs), from_(from) {}
  Iterator begin() const { return {pairs_.data(), pairs_.data() + pairs_.size(), from_}; }
  Iterator end() const {
    const TPair* last = pairs_.data() + pairs_.size();
    return {last, last, from_};
  }

 private:
  std::span<const TPair> pairs_;
  TPair from_;
};

// The first part of an object's list, and what was wrong with the list.
struct ObjectPath {
  // False when the first part holds no point: an empty list, markers only, or a list whose
  // first curve is cut short. A path without a start has no steps.
  bool HasStart = false;
  // The first point, after any markers before it; for a list whose first curve comes before any
  // point (CurveWithoutStart), that curve's own end.
  TPair Start;
  PathSteps Steps;

  // The list begins with a marker pair, not a point (e.g. a line flag of a corner first point).
  bool BeginsWithMarker = false;
  // A curve comes before any point: it is the first step, starting at its own end.
  bool CurveWithoutStart = false;
  // The list ends inside a curve (marker without its two controls and end): the steps stop
  // before that curve.
  bool CurveCutShort = false;
  // The index of the pair where the first further part (a hole) begins; the steps stop there.
  std::optional<std::size_t> FurtherPartAt;
};

// The path of coords' pairs (the whole list; Count is its length). The path refers to the
// pairs, which must outlive it.
ObjectPath PathOf(const TObjectCoords& coords);
ObjectPath PathOf(std::span<const TPair> pairs);
ObjectPath PathOf(TObjectCoords&&) = delete;
ObjectPath PathOf(std::vector<TPair>&&) = delete;

}  // namespace terrak
