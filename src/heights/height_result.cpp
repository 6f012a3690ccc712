#include "heights/height_result.h"

namespace terrak::heights {

const char* StateName(HeightState state) {
  switch (state) {
    case HeightState::Known: return "known";
    case HeightState::Derived: return "derived";
    case HeightState::Guessed: return "guessed";
    case HeightState::Dem: return "dem";
    case HeightState::Conflict: return "conflict";
    case HeightState::None: return "none";
  }
  return "none";
}

HeightCounts CountHeights(const HeightMap& map, const HeightsResult& result) {
  HeightCounts counts;
  for (std::size_t k = 0; k < map.Objects.size() && k < result.Objects.size(); ++k) {
    if (!CarriesHeight(map.Objects[k].Role)) continue;
    const ObjectHeight& o = result.Objects[k];
    ++counts.Objects;
    switch (o.State) {
      case HeightState::Derived:
      case HeightState::Dem: ++counts.Derived; break;
      case HeightState::Guessed: ++counts.Guessed; break;
      case HeightState::Conflict: ++counts.Conflicts; break;
      default: break;
    }
    const bool hasHeight = o.State == HeightState::Conflict ? map.Objects[k].Height.Has
                                                             : o.Height.Has;
    if (hasHeight) ++counts.WithHeights;
    else ++counts.Left;
  }
  return counts;
}

std::string SummaryLine(const HeightCounts& c) {
  return std::to_string(c.WithHeights) + " of " + std::to_string(c.Objects) +
         " contour objects have heights: " + std::to_string(c.Derived) + " derived, " +
         std::to_string(c.Guessed) + " guessed, " + std::to_string(c.Conflicts) +
         " in conflict, " + std::to_string(c.Left) + " left";
}

std::string StatusText(const HeightCounts& c) {
  return std::to_string(c.WithHeights) + " of " + std::to_string(c.Objects) +
         " contour objects have heights (" + std::to_string(c.Derived) + " derived, " +
         std::to_string(c.Guessed) + " guessed, " + std::to_string(c.Conflicts) +
         " in conflict)";
}

HeightChanges ChangesOf(const HeightMap& map, const HeightsResult& result) {
  HeightChanges changes;
  for (std::size_t k = 0; k < map.Objects.size() && k < result.Objects.size(); ++k) {
    const ObjectHeight& o = result.Objects[k];
    const bool gives = o.State == HeightState::Derived || o.State == HeightState::Guessed ||
                       o.State == HeightState::Dem;
    if (gives && o.Height.Has && !(o.Height == map.Objects[k].Height))
      changes.push_back({static_cast<std::int32_t>(k), map.Objects[k].Height, o.Height});
  }
  return changes;
}

HeightChanges Undoing(const HeightChanges& changes) {
  HeightChanges back;
  back.reserve(changes.size());
  for (auto it = changes.rbegin(); it != changes.rend(); ++it)
    back.push_back({it->Object, it->New, it->Old});
  return back;
}

void ApplyChanges(HeightMap& map, const HeightChanges& changes) {
  for (const HeightChange& change : changes)
    if (change.Object >= 0 && static_cast<std::size_t>(change.Object) < map.Objects.size())
      map.Objects[static_cast<std::size_t>(change.Object)].Height = change.New;
}

}  // namespace terrak::heights
