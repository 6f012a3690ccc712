// The entry of terrak-qtimage.so: Qt's image stretcher behind the plain interface of
// platform/image_module.h, its exceptions turned into a failure record.
#include <new>

#include "platform/file_error.h"
#include "platform/image_module.h"
#include "platform/qt/qt_image_stretcher.h"

namespace terrak {
namespace {

IndexedImage StretchUpsideDown(const std::string& fileName, std::int32_t width,
                               std::int32_t height, const ImagePalette& palette,
                               ImageFailure& failure) noexcept {
  try {
    return MakeQtImageStretcher()->StretchUpsideDown(fileName, width, height, palette);
  } catch (const FileError& error) {
    failure.What = ImageFailure::Kind::File;
    failure.FileName = error.FileName();
    failure.Reason = error.Reason();
  } catch (const std::bad_alloc&) {
    failure.What = ImageFailure::Kind::OutOfMemory;
  } catch (const std::exception& error) {
    failure.What = ImageFailure::Kind::File;
    failure.FileName = fileName;
    failure.Reason = error.what();
  } catch (...) {
    failure.What = ImageFailure::Kind::File;
    failure.FileName = fileName;
    failure.Reason = "it cannot be read as an image";
  }
  return {};
}

constexpr ImageExports kExports{StretchUpsideDown};

}  // namespace
}  // namespace terrak

extern "C" __attribute__((visibility("default"))) const terrak::ImageExports* TerrakQtImageV1() {
  return &terrak::kExports;
}
