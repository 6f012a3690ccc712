#pragma once
// PNG files read back through libpng's own reader, to check what the program writes.
#include <cstdint>
#include <optional>
#include <vector>

#include "viewer/picture.h"

namespace terrak::testing {

// The picture a PNG file holds, as 8-bit RGB; nothing when libpng cannot read it.
std::optional<Picture> DecodePng(const std::vector<std::uint8_t>& bytes);

}  // namespace terrak::testing
