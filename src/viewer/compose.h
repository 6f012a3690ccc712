#pragma once
// Turning the depth and colour buffers into the finished picture, column by column from the
// top, with hidden-line removal, the draped map's gap fill and the sky above the terrain.
#include <cstdint>

#include "viewer/picture.h"
#include "viewer/viewer_state.h"

namespace terrak {

struct ComposeOptions {
  bool ZBufferOn = true;      // accept a pixel only when nearer than the last one above it
  bool Drape = false;         // the map bitmap is shown on the mesh (not in contour mode)
  std::int32_t NearestDepth = 0;
  std::int32_t FarthestDepth = 0;
  int Threads = 1;  // columns are composed on their own: any number gives the same picture
};

// Last depth of a column's scan before anything is accepted.
inline constexpr std::int32_t kScanStartDepth = 10000000;

// Sizes out to the buffers (keeping its allocation when the size is unchanged) and composes.
void ComposePicture(const PixelBuffers& buffers, const DepthRampType& ramp,
                    const ComposeOptions& options, Picture& out);

}  // namespace terrak
