#pragma once
// An object's line as the grid, the drawings and the heights walk it: a start point, then
// straight and curve steps. Only the object's first part is a path; further parts (holes) are
// not. The path is a view over the object's points: it copies and allocates nothing, as the grid
// walks every contour vertex of the map.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "mapfile/map_model.h"

namespace terrak {

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

// The steps of a path, in order: a point with the first-control flag starts a curve of three
// points, any other point a straight step. Every curve in the range has its three points (the
// path ends before a curve cut short).
class PathSteps {
 public:
  class Iterator {
   public:
    Iterator(const ModelPoint* at, const ModelPoint* end, TPair from) : at_(at), end_(end) {
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
      if (at_ == end_) return;
      const TPair from = step_.End;
      if (at_->Has(point_flag::kFirstControl)) {
        step_ = {true, from, at_[0].At(), at_[1].At(), at_[2].At()};
        next_ = at_ + 3;
      } else {
        step_ = {false, from, from, at_->At(), at_->At()};
        next_ = at_ + 1;
      }
    }
    const ModelPoint* at_;
    const ModelPoint* end_;
    const ModelPoint* next_ = nullptr;
    PathStep step_;
  };

  PathSteps() = default;
  PathSteps(std::span<const ModelPoint> points, TPair from) : points_(points), from_(from) {}
  Iterator begin() const { return {points_.data(), points_.data() + points_.size(), from_}; }
  Iterator end() const {
    const ModelPoint* last = points_.data() + points_.size();
    return {last, last, from_};
  }

 private:
  std::span<const ModelPoint> points_;
  TPair from_;
};

// The first part of an object's list, and what was wrong with the list.
struct ObjectPath {
  // False when the first part holds no point: an empty list, a list that starts with a hole or
  // whose first curve is cut short. A path without a start has no steps.
  bool HasStart = false;
  // The first point; for a list that starts with a curve's controls (CurveWithoutStart), that
  // curve's own end.
  TPair Start;
  PathSteps Steps;

  // The list starts with a curve: it is the first step, starting at its own end.
  bool CurveWithoutStart = false;
  // The list ends inside a curve (a first control without its second control and end): the
  // steps stop before that curve.
  bool CurveCutShort = false;
  // The index of the point where the first further part (a hole) begins; the steps stop there.
  std::optional<std::size_t> FurtherPartAt;
};

// The path of coords' points (the whole list; Count is its length). The path refers to the
// points, which must outlive it.
ObjectPath PathOf(const TObjectCoords& coords);
ObjectPath PathOf(std::span<const ModelPoint> points);
ObjectPath PathOf(TObjectCoords&&) = delete;
ObjectPath PathOf(std::vector<ModelPoint>&&) = delete;

}  // namespace terrak
