#include "mapfile/object_path.h"

namespace terrak {

ObjectPath PathOf(const TObjectCoords& coords) {
  return PathOf(std::span<const ModelPoint>(coords.Points));
}

ObjectPath PathOf(std::span<const ModelPoint> points) {
  ObjectPath path;
  const std::size_t n = points.size();
  if (n == 0) return path;
  if (points[0].Has(point_flag::kHoleStart)) {
    path.FurtherPartAt = 0;
    return path;
  }
  // A list that starts with a curve's controls has no point before the curve: its end starts
  // the path.
  if (!points[0].Has(point_flag::kFirstControl)) {
    path.Start = points[0].At();
  } else if (n >= 3) {
    path.Start = points[2].At();
    path.CurveWithoutStart = true;
  } else {
    path.CurveCutShort = true;
    return path;
  }
  path.HasStart = true;
  // The steps run to the first further part or the curve cut short by the end of the list.
  std::size_t k = path.CurveWithoutStart ? 0 : 1;
  const std::size_t first = k;
  while (k < n) {
    if (points[k].Has(point_flag::kHoleStart)) {
      path.FurtherPartAt = k;
      break;
    }
    if (points[k].Has(point_flag::kFirstControl)) {
      if (k + 2 >= n) {
        path.CurveCutShort = true;
        break;
      }
      k += 3;
    } else {
      ++k;
    }
  }
  path.Steps = PathSteps(points.subspan(first, k - first), path.Start);
  return path;
}

}  // namespace terrak
