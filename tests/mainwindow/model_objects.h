#pragma once
// Objects put straight into a model in memory, for tests of what reads the model.
#include <vector>

#include "mapfile/map_model.h"

namespace terrak::testing {

// An object of the model, its extent and end points taken from its points; a height above 0
// counts as a height, as an OCAD 5 to 7 map reads its field.
std::size_t AddObject(MapModel& model, std::int16_t symbol, std::int16_t objectType,
                      const std::vector<TPair>& points, std::int16_t height = 0);

}  // namespace terrak::testing
