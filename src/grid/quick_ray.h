#pragma once
// The wrapping's ray (CastRay) passing over stretches whose cells hold no contour, found by the
// contour tiles instead of one read a cell: the same cells recorded, the same anchor left.
#include "grid/contour_tiles.h"
#include "grid/shrinkwrap.h"

namespace terrak {

// tiles are those of grid.
void CastRayOverTiles(const HeightGridType& grid, const ContourTiles& tiles, WrapCell& anchor,
                      WrapCell target, WrapperList& list);

}  // namespace terrak
