#pragma once
// Which format an opened map came from, for what the program prints about it.
#include <string>

#include "mapfile/map_model.h"

namespace terrak {

// The format's name ("OCAD 8", "OCAD 11", "OpenOrienteering Mapper XML"); empty for OCAD 5 to
// 7, whose name the program has never printed.
std::string FormatNameOf(const MapModel& model);

// The format's version number as the file states it.
int FormatVersionOf(const MapModel& model);

}  // namespace terrak
