#include "platform/module_image_stretcher.h"

#include <new>
#include <type_traits>

#include "platform/file_error.h"
#include "platform/image_module.h"
#include "platform/program_module.h"

namespace terrak {
namespace {

inline constexpr const char* kImageModuleMissing = "the image module could not be loaded: ";

// The entry the module exports is the one OpenModuleTable calls.
static_assert(std::is_same_v<decltype(&TerrakQtImageV1), const ImageExports* (*)()>);
using LoadedImageExports = ModuleTable<ImageExports>;

LoadedImageExports Load(const std::vector<std::string>& candidates) {
  return OpenModuleTable<ImageExports>(candidates, kImageModuleEntry,
                                       std::string(kImageModuleFile) + " offers no image reader");
}

class ModuleImageStretcher : public ImageStretcher {
 public:
  explicit ModuleImageStretcher(std::vector<std::string> candidates)
      : candidates_(std::move(candidates)) {}

  IndexedImage StretchUpsideDown(const std::string& fileName, std::int32_t width,
                                 std::int32_t height, const ImagePalette& palette) override {
    const LoadedImageExports& loaded = Loaded();
    if (!loaded.Functions) throw FileError(fileName, kImageModuleMissing + loaded.Error);
    ImageFailure failure;
    IndexedImage image =
        loaded.Functions->StretchUpsideDown(fileName, width, height, palette, failure);
    switch (failure.What) {
      case ImageFailure::Kind::None:
        return image;
      case ImageFailure::Kind::OutOfMemory:
        throw std::bad_alloc();
      case ImageFailure::Kind::File:
        break;
    }
    throw FileError(failure.FileName, failure.Reason);
  }

 private:
  const LoadedImageExports& Loaded() {
    if (!loaded_) loaded_ = std::make_unique<LoadedImageExports>(Load(candidates_));
    return *loaded_;
  }

  std::vector<std::string> candidates_;
  std::unique_ptr<LoadedImageExports> loaded_;
};

}  // namespace

std::unique_ptr<ImageStretcher> MakeModuleImageStretcher(std::vector<std::string> candidates) {
  return std::make_unique<ModuleImageStretcher>(std::move(candidates));
}

std::unique_ptr<ImageStretcher> MakeProgramImageStretcher() {
  return MakeModuleImageStretcher(ProgramModuleCandidates(kImageModuleFile));
}

}  // namespace terrak
