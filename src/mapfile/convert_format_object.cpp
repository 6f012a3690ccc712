#include "mapfile/convert_format_object.h"

#include <algorithm>
#include <limits>

#include "common/rounding.h"
#include "mapfile/model_objects.h"
#include "mapfile/ocad_points.h"

namespace terrak {

namespace {

// 1/1000 mm to 1/1440 inch, the constant of the 0.01 mm conversion of OCAD 6 to 8 over ten.
constexpr double kModelUnitsPerMicrometre = 0.056693;

}  // namespace

std::int32_t ModelUnitsFromMicrometres(std::int64_t micrometres) {
  const std::int64_t units = RoundToInt(static_cast<double>(micrometres) * kModelUnitsPerMicrometre);
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      units, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

TPair ModelPairOf(const FormatPoint& point) {
  return {ModelUnitsFromMicrometres(point.X), ModelUnitsFromMicrometres(point.Y)};
}

ModelElement ConvertFormatObject(const FormatObject& object) {
  ModelElement element;
  element.Symbol = object.Symbol;
  element.Kind = object.Kind;
  element.ObjectType = static_cast<std::int16_t>(object.Kind);
  element.HasHeight = object.HasHeight;
  element.Height = object.HasHeight ? object.HeightTenths : 0;
  element.Points.reserve(object.Points.size());
  for (const FormatPoint& p : object.Points) {
    const TPair at = ModelPairOf(p);
    element.Points.push_back({at.X, at.Y, p.Flags});
  }
  StartAtAPoint(element.Points);
  return element;
}

ModelObjects FormatMap::ReadModelObjects(const std::function<bool(std::int32_t)>& wanted) const {
  ModelObjects lists;
  const ObjectsRead read = ReadObjects(wanted);
  const FormatExtent& all = read.MapExtent;
  if (all.MinX <= all.MaxX && all.MinY <= all.MaxY)
    lists.Widen(ModelUnitsFromMicrometres(all.MinX), ModelUnitsFromMicrometres(all.MinY),
                ModelUnitsFromMicrometres(all.MaxX), ModelUnitsFromMicrometres(all.MaxY));
  lists.Objects.reserve(read.Objects.size());
  lists.Coords.reserve(read.Objects.size());
  for (const FormatObject& read1 : read.Objects) {
    TMapObject object;
    object.MinX = ModelUnitsFromMicrometres(read1.Extent.MinX);
    object.MinY = ModelUnitsFromMicrometres(read1.Extent.MinY);
    object.MaxX = ModelUnitsFromMicrometres(read1.Extent.MaxX);
    object.MaxY = ModelUnitsFromMicrometres(read1.Extent.MaxY);
    object.Symbol = read1.Symbol;
    object.Key = read1.Key;
    lists.Append(object, ConvertFormatObject(read1));
  }
  return lists;
}

}  // namespace terrak
