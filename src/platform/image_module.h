#pragma once
// What the image module (terrak-qtimage.so, Qt Gui's image readers) offers a program that does
// not link Qt: the map image stretched onto an 8-bit picture, or why it could not be. No
// exception leaves the module.
#include <string>

#include "platform/image_stretcher.h"

namespace terrak {

inline constexpr const char* kImageModuleFile = "terrak-qtimage.so";
// Named with the version of this interface: a module of another version is not taken.
inline constexpr const char* kImageModuleEntry = "TerrakQtImageV1";

struct ImageFailure {
  enum class Kind { None, File, OutOfMemory } What = Kind::None;
  std::string FileName;  // of a FileError
  std::string Reason;
};

struct ImageExports {
  // As ImageStretcher::StretchUpsideDown; a FileError or bad_alloc comes back in failure.
  IndexedImage (*StretchUpsideDown)(const std::string& fileName, std::int32_t width,
                                    std::int32_t height, const ImagePalette& palette,
                                    ImageFailure& failure) noexcept;
};

}  // namespace terrak

extern "C" {
// The module's one exported symbol (kImageModuleEntry).
const terrak::ImageExports* TerrakQtImageV1();
}
