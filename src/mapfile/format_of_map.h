#pragma once
// Which format an opened map came from, for what the program prints about it.
#include <string>

#include "mapfile/map_model.h"

namespace terrak {

class HeightTagChoice;

// The format's name ("OCAD 8", "OCAD 11", "OpenOrienteering Mapper XML"); empty for OCAD 5 to
// 7, whose name the program has never printed, and with no map open.
std::string FormatNameOf(const MapModel& model);

// The format's version number as the file states it.
int FormatVersionOf(const MapModel& model);

// The choice of the tag that holds heights, for a map whose format keeps them so; else null.
HeightTagChoice* HeightTagsOf(MapModel& model);
const HeightTagChoice* HeightTagsOf(const MapModel& model);

}  // namespace terrak
