#pragma once
// The walk that turns stored points with OCAD's flags into the model element's pairs: marker
// pairs for new parts, curves and changes of the line flags. OCAD 6 to 8 and today's formats
// share it.
#include <cstdint>
#include <vector>

#include "mapfile/map_model.h"

namespace terrak {

struct FlaggedPoint {
  TPair Value;          // model units
  std::uint8_t XFlags;  // 1/2 control points, 4 no left line, 8 area border / virtual gap
  std::uint8_t YFlags;  // 1 corner, 2 first point of a hole, 4 no right line, 8 dash
};

// Appends the pairs of points to out.
void ConvertPoints(const std::vector<FlaggedPoint>& points, std::vector<TPair>& out);

}  // namespace terrak
