#include "mapfile/height_field.h"

#include "common/numtext.h"
#include "mapfile/map_format.h"
#include "mapfile/map_model.h"

namespace terrak {

std::optional<std::int32_t> Ocad8HeightFromField(std::int32_t field) {
  if (field == 0) return std::nullopt;
  if (field == kOcad8ZeroMetres) return 0;
  return field;
}

std::int32_t Ocad8HeightField(std::optional<std::int32_t> tenths) {
  if (!tenths) return 0;
  return *tenths == 0 ? kOcad8ZeroMetres : *tenths;
}

HeightCapacity HeightCapacityOf(const MapModel& model) {
  if (!model.Format) return {1, std::numeric_limits<std::int16_t>::max()};  // no map open
  const FormatMapInfo& info = model.Format->Info();
  return {info.LowestHeight, info.HighestHeight};
}

std::optional<std::string> HeightNotHeldMessage(const MapModel& model, std::int64_t tenths) {
  const HeightCapacity held = HeightCapacityOf(model);
  if (tenths >= held.Lowest && tenths <= held.Highest) return std::nullopt;
  const auto metres = [](std::int64_t t) {
    return FormatFixed(static_cast<double>(t) / 10.0, 0, 1) + " m";
  };
  const std::string format = model.Format ? model.Format->Info().FormatName : "OCAD";
  std::string message = "A height of " + metres(tenths) + " cannot be kept in this map: an " +
                        format + " map holds heights from " + metres(held.Lowest) + " to " +
                        metres(held.Highest) + " only";
  // A format whose lowest height is 0.1 m keeps 0 for none.
  if (held.Lowest == 1) message += ", as its height field keeps 0 for \"no height\"";
  return message;
}

}  // namespace terrak
