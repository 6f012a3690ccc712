#pragma once
// The map bitmap as a palette PNG image, encoded by GDAL's PNG driver through the GDAL module:
// the texture of the 3D model. Row 0 of the image is the north edge.
#include <array>
#include <cstdint>
#include <vector>

#include "terrain/grid_state.h"

namespace terrak {

// At most maxSide pixels along either side: a larger bitmap is sampled (nearest pixel) down to
// that, as graphics cards refuse larger textures.
std::vector<std::uint8_t> BitmapAsPng(const BitmapGridType& bitmap,
                                      const std::array<std::uint8_t, kBitmapPaletteSize>& palette,
                                      std::int64_t maxSide);

}  // namespace terrak
