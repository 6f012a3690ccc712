#pragma once
// How the formats read by the first reader keep a height in an object, and which heights each
// map's format can hold, so a height the user gives is refused with a plain reason rather than
// being stored as something else.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace terrak {

struct MapModel;

// OCAD 5 to 7: the field holds tenths of a metre, 0 meaning "no height". A value of 0 or below
// is no height either (the map view has always drawn such objects as without one), so these
// maps hold heights from 0.1 m to 3276.7 m.
constexpr bool HeightFieldHoldsHeight5To7(std::int32_t field) { return field > 0; }

// OCAD 8: the object's 32-bit field holds tenths of a metre, 0 meaning "no height". 0 m is kept
// as the one value that no real height takes; a reader that takes only the low 16 bits sees it
// as no height.
inline constexpr std::int32_t kOcad8ZeroMetres = std::numeric_limits<std::int32_t>::min();
std::optional<std::int32_t> Ocad8HeightFromField(std::int32_t field);
std::int32_t Ocad8HeightField(std::optional<std::int32_t> tenths);

// The heights a map's format holds, in tenths of a metre.
struct HeightCapacity {
  std::int64_t Lowest = 0;
  std::int64_t Highest = 0;
};
HeightCapacity HeightCapacityOf(const MapModel& model);

// None when the open map can keep the height; else the message that says why not.
std::optional<std::string> HeightNotHeldMessage(const MapModel& model, std::int64_t tenths);

}  // namespace terrak
