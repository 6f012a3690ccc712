#pragma once
// The CSV report of terrak-cli heights: a line per contour object with its index (as
// `info --objects` numbers the objects of the same symbols), symbol, height in metres, state and
// the reason.
#include <string>

#include "heights/height_result.h"

namespace terrak::cli {

std::string HeightsReport(const heights::HeightMap& map, const heights::HeightsResult& result);

}  // namespace terrak::cli
