#pragma once
// What the image module (terrak-qtimage.so) offers for vector pictures: Qt's painter behind a
// plain function. No exception leaves the module.
#include <string>
#include <vector>

#include "common/colour.h"
#include "platform/vector_picture.h"

namespace terrak {

// Named with the version of this interface: a module of another version is not taken.
inline constexpr const char* kPictureModuleEntry = "TerrakQtPictureV1";

struct PictureExports {
  // As PicturePainter::Paint into pixels (view.Width x view.Height); false with the reason in
  // error when it failed, outOfMemory set when memory ran out.
  bool (*Paint)(const VectorPicture& picture, const PictureView& view, Colour* pixels,
                std::string& error, bool& outOfMemory) noexcept;
  // As PicturePainter::TextBounds; false with the reason in error when it failed.
  bool (*TextBounds)(const VectorPicture& picture, std::vector<PictureBox>& boxes,
                     std::string& error) noexcept;
};

}  // namespace terrak

extern "C" {
// The module's entry for pictures (kPictureModuleEntry).
const terrak::PictureExports* TerrakQtPictureV1();
}
