#pragma once
// The height below which the grid counts its cells. A cell holds 16 bits, with 0 for "empty"
// and the sign for "interpolated", so it keeps heights from 0.1 m to 3276.7 m above its base.
// Maps whose heights lie there (with a contour step to spare below and above, for the hollows
// and hilltops the interpolation extrapolates) keep the base 0 and the grid they always had;
// others (heights at or below 0 m, or above 3276.7 m) get a base that puts their heights in the
// middle of that room.
#include <cstdint>
#include <string>

#include "mapfile/map_model.h"

namespace terrak {

struct HeightBaseChoice {
  bool Fits = true;  // false: the heights span more than a grid holds
  std::int32_t Base = 0;
  // The lowest and highest height painted, and the largest step between two neighbouring
  // levels, in decimetres (all 0 when no object is painted).
  std::int64_t Lowest = 0, Highest = 0, Step = 0;
};

// The base for the objects PaintContours paints (the selected symbols' line and area objects
// that have a height).
HeightBaseChoice ChooseHeightBase(const MapModel& model);

// Why a map whose heights do not fit gets no grid.
std::string HeightSpanTooLargeMessage(const HeightBaseChoice& choice);

// The widest span of heights a grid holds, in decimetres.
inline constexpr std::int64_t kMaxGridHeightSpan = 32766;

}  // namespace terrak
