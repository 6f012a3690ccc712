#pragma once
// The map bitmap's image loading with Qt: any image format Qt reads. Qt stays inside the .cpp,
// so terrak-cli can use this without windows.
#include <cstdint>
#include <memory>

#include "platform/image_stretcher.h"

namespace terrak {

// The largest map image decoded whole (16384 x 16384, as many pixels as the largest grid has
// cells). Larger JPEG images are decoded straight to a smaller size; larger images of other
// formats are refused as too large.
inline constexpr std::int64_t kMaxMapImagePixels = std::int64_t{1} << 28;

std::unique_ptr<ImageStretcher> MakeQtImageStretcher();

}  // namespace terrak
