#include "mapfile/object_path.h"

namespace terrak {

ObjectPath PathOf(const TObjectCoords& coords) {
  return PathOf(std::span<const TPair>(coords.Points));
}

ObjectPath PathOf(std::span<const TPair> pairs) {
  ObjectPath path;
  const std::size_t n = pairs.size();
  path.BeginsWithMarker = n > 0 && IsMarker(pairs[0].X);
  // The start: the first point after any line-flag or skipped pairs, or the end of a curve met
  // before any point, which is then the first step.
  std::size_t k = 0;
  while (k < n && PassedOverInPath(pairs[k].X)) ++k;
  if (k == n) return path;
  if (pairs[k].X == kMarkNewPart) {
    path.FurtherPartAt = k;
    return path;
  }
  if (pairs[k].X != kMarkCurve) {
    path.Start = pairs[k++];
  } else if (k + 3 < n) {
    path.Start = pairs[k + 3];
    path.CurveWithoutStart = true;
  } else {
    path.CurveCutShort = true;
    return path;
  }
  path.HasStart = true;
  // The steps run to the first further part or the curve cut short by the end of the list.
  const std::size_t first = k;
  while (k < n) {
    const std::int32_t x = pairs[k].X;
    if (x == kMarkNewPart) {
      path.FurtherPartAt = k;
      break;
    }
    if (x == kMarkCurve) {
      if (k + 3 >= n) {
        path.CurveCutShort = true;
        break;
      }
      k += 4;
    } else {
      ++k;
    }
  }
  path.Steps = PathSteps(pairs.subspan(first, k - first), path.Start);
  return path;
}

}  // namespace terrak
