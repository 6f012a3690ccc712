#pragma once
// The wire mesh drawn faster with the same pixels as DrawMesh: the strips of cells (drawn by
// DrawMeshStrips, each vertex projected once) are shared among threads.
// Each thread draws its own run of strips into its own buffers; the buffers are then merged in
// strip order (a later thread's pixel wins only when strictly nearer), which is exactly what
// drawing all strips in order into one buffer gives.
#include <cstdint>
#include <vector>

#include "terrain/grid_state.h"
#include "viewer/picture.h"
#include "viewer/rasteriser.h"
#include "viewer/viewer_state.h"

namespace terrak {

// Returns false, leaving the buffers unusable, when a vertex lies so close to the eye's plane
// that its depth rounds to 0: an empty-looking pixel would then be overwritten by any later
// writer, which the merge cannot reproduce; the caller draws that picture with DrawMesh.
// Without drape the colour buffer is left as it is: the plain mesh colours by depth, and
// DrawMesh writes only the pen's white into buffers that Reset filled with white.
// scratch is kept between frames.
bool DrawMeshFast(PixelBuffers& buffers, std::int32_t& nearestDepth, std::int32_t& farthestDepth,
                  const ViewTransform& view, const GridState& grid, std::int32_t meshStep,
                  bool drape, int threads, MeshScratch& scratch);

// Where the strips are split among threads: evenly at first, then so that the shares of the
// last frame's work, taken as spread evenly within each share, come out equal. Every share
// keeps at least one strip.
std::vector<std::int64_t> BalancedSplits(std::int64_t strips, int threads,
                                         const std::vector<std::int64_t>& lastSplits,
                                         const std::vector<double>& lastSeconds);

}  // namespace terrak
