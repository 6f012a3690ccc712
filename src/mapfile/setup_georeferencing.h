#pragma once
// Where a map of OCAD 6, 7 or 8 lies on Earth: the real-world offset and angle of its setup
// record, or (OCAD 8) the scale parameter string when the map has one.
#include <cstdint>
#include <vector>

#include "mapfile/georeferencing.h"
#include "mapfile/ocad_records.h"

namespace terrak {

// Setup record fields (doubles): the real-world position of the paper origin in metres and the
// angle of the paper's up, degrees clockwise of grid north (the sense of OCAD 9's "a").
inline constexpr std::size_t kSetup6RealWorldXOffset = 32;
inline constexpr std::size_t kSetup6RealWorldYOffset = 40;
inline constexpr std::size_t kSetup6AngleOffset = 48;

// Known when the setup holds the offsets, an offset or the angle is not zero and the values are
// plausible (IsPlausiblePlacement); fields beyond the bytes present count as missing (the angle
// as 0).
Georeferencing GeoreferencingFromSetup6(const std::vector<std::uint8_t>& setup);

// OCAD 8: the georeferencing of the scale parameter string found through the string index block
// chain that starts at firstBlock (0: none). Unknown when there is no such string or the chain
// is damaged: these strings are not needed to read the map, so they never refuse it.
Georeferencing GeoreferencingFromStrings8(const ocad::RecordReader& reader,
                                          std::int64_t firstBlock);

// The position of the first string index block in an OCAD 8 header.
inline constexpr std::size_t kHeader8FirstStringBlockOffset = 32;

}  // namespace terrak
