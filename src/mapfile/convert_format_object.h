#pragma once
// From the format-neutral objects of today's formats to the model element: 1/1000 mm become
// 1/1440 inch, OCAD's point flags become marker pairs as for OCAD 6 to 8.
#include <cstdint>

#include "mapfile/map_format.h"
#include "mapfile/ocad_file.h"

namespace terrak {

// 1/1000 mm to model units (1/1440 inch), halves to even, held in 32 bits.
std::int32_t ModelUnitsFromMicrometres(std::int64_t micrometres);

// A point never lands on a marker value: those x values move to the first point value beside
// them (at most 4 units, 0.07 mm of paper).
TPair ModelPoint(const FormatPoint& point);

// The pairs, kind, height (tenths of a metre) and, for texts, the text packed after the last
// pair with its terminating zero.
ModelElement ConvertFormatObject(const FormatObject& object);

}  // namespace terrak
