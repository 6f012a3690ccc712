#pragma once
// What a run of the heights core proposes for each object before anything is written: a state,
// the height it has or would get and why. The program colours the map by state and writes the
// proposed heights as one change set, which can be undone.
#include <cstdint>
#include <string>
#include <vector>

#include "heights/height_types.h"

namespace terrak::heights {

enum class HeightState : std::uint8_t {
  Known,     // the map gives its height
  Derived,   // follows from the known heights
  Guessed,   // taken from the rule that a closed contour encloses a hill
  Dem,       // from a DEM
  Conflict,  // contradicts the rest; left as it was
  None,      // nothing to go by; left without a height
};

// "known", "derived", "guessed", "dem", "conflict", "none".
const char* StateName(HeightState state);

struct ObjectHeight {
  HeightState State = HeightState::None;
  HeightValue Height;  // what it has (known, conflict) or gets (derived, guessed, dem)
  std::string Reason;
};

struct HeightsResult {
  // One per map object; objects without a contour role stay None with no reason.
  std::vector<ObjectHeight> Objects;
};

struct HeightCounts {
  std::int32_t Objects = 0;      // contours, index contours and form lines
  std::int32_t WithHeights = 0;  // known, derived, guessed, dem and conflicts that had one
  std::int32_t Derived = 0;      // derived or from a DEM
  std::int32_t Guessed = 0;
  std::int32_t Conflicts = 0;
  std::int32_t Left = 0;  // without a height afterwards
};

HeightCounts CountHeights(const HeightMap& map, const HeightsResult& result);
// "N of M contour objects have heights: D derived, G guessed, C in conflict, L left".
std::string SummaryLine(const HeightCounts& counts);
// "N of M contour objects have heights (D derived, G guessed, C in conflict)".
std::string StatusText(const HeightCounts& counts);

// One object's height before and after a change.
struct HeightChange {
  std::int32_t Object = 0;
  HeightValue Old;
  HeightValue New;
  friend bool operator==(const HeightChange&, const HeightChange&) = default;
};
using HeightChanges = std::vector<HeightChange>;

// The heights a result gives (derived, guessed, dem) where they differ from the map's.
HeightChanges ChangesOf(const HeightMap& map, const HeightsResult& result);
// The changes that take the given ones back, last first.
HeightChanges Undoing(const HeightChanges& changes);
// Applies changes to the objects' heights in the core's picture.
void ApplyChanges(HeightMap& map, const HeightChanges& changes);

}  // namespace terrak::heights
