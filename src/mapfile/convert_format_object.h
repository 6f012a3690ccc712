#pragma once
// From the format-neutral objects of today's formats to the model's form: 1/1000 mm become
// 1/1440 inch, OCAD's point flags the model's as for OCAD 6 to 8.
#include <cstdint>

#include "mapfile/map_format.h"
#include "mapfile/ocad_file.h"

namespace terrak {

// 1/1000 mm to model units (1/1440 inch), halves to even, held in 32 bits.
std::int32_t ModelUnitsFromMicrometres(std::int64_t micrometres);

TPair ModelPairOf(const FormatPoint& point);

// The points, kind and height (tenths of a metre).
ModelElement ConvertFormatObject(const FormatObject& object);

}  // namespace terrak
