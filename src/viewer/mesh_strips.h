#pragma once
// A run of strips of the wire mesh drawn with the same pixels as DrawMesh draws them, faster:
// every lattice vertex is projected once, and plots that repeat one already made are left out.
#include <cstdint>

#include "terrain/grid_state.h"
#include "viewer/draw_mesh.h"
#include "viewer/rasteriser.h"

namespace terrak {

// Draws strips first .. last - 1 (strip m holds the cells between lattice rows m and m + 1) into
// buffers whose positions fit in 32 bits. Returns false when a visible vertex's depth rounds to 0: a depth of 0 reads as an empty pixel, so leaving out repeated plots would no
// longer give DrawMesh's pixels, and the picture must be drawn by DrawMesh.
// Picture rows First .. Last hold every pixel the strips may have drawn (none when First > Last).
struct DrawnRows {
  std::int32_t First = 0;
  std::int32_t Last = -1;
};
bool DrawMeshStrips(RasterTarget& target, const ViewTransform& view, const GridState& grid,
                    std::int32_t step, bool drape, std::int64_t first, std::int64_t last,
                    DrawnRows& drawn);

}  // namespace terrak
