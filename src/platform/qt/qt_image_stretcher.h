#pragma once
// The map bitmap's image loading with Qt: any image format Qt reads. Qt stays inside the .cpp,
// so terrak-cli can use this without windows.
#include <memory>

#include "platform/image_stretcher.h"

namespace terrak {

std::unique_ptr<ImageStretcher> MakeQtImageStretcher();

}  // namespace terrak
