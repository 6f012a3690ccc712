#pragma once
// The wire mesh drawn faster with the same pixels as DrawMesh: every grid vertex is projected
// once instead of once per cell that uses it, and the strips of cells are shared among threads.
// Each thread draws its own run of strips into its own buffers; the buffers are then merged in
// strip order (a later thread's pixel wins only when strictly nearer), which is exactly what
// drawing all strips in order into one buffer gives.
#include <cstdint>
#include <vector>

#include "grid/grid_state.h"
#include "viewer/picture.h"
#include "viewer/rasteriser.h"

namespace terrak {

// Returns false, leaving the buffers unusable, when a vertex lies so close to the eye's plane
// that its depth rounds to 0: an empty-looking pixel would then be overwritten by any later
// writer, which the merge cannot reproduce; the caller draws that picture with DrawMesh.
// scratch holds the other threads' buffers between frames (sized as needed).
bool DrawMeshFast(PixelBuffers& buffers, std::int32_t& nearestDepth, std::int32_t& farthestDepth,
                  const ViewTransform& view, const GridState& grid, std::int32_t meshStep,
                  bool drape, int threads, std::vector<PixelBuffers>& scratch);

}  // namespace terrak
