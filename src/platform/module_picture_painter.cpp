#include <new>
#include <stdexcept>
#include <type_traits>

#include "platform/image_module.h"
#include "platform/picture_module.h"
#include "platform/picture_painter.h"
#include "platform/program_module.h"

namespace terrak {
namespace {

static_assert(std::is_same_v<decltype(&TerrakQtPictureV1), const PictureExports* (*)()>);

class ModulePicturePainter : public PicturePainter {
 public:
  explicit ModulePicturePainter(std::vector<std::string> candidates)
      : candidates_(std::move(candidates)) {}

  void Paint(const VectorPicture& picture, const PictureView& view,
             std::vector<Colour>& pixels) override {
    const PictureExports& functions = Loaded();
    pixels.assign(static_cast<std::size_t>(view.Width) * static_cast<std::size_t>(view.Height),
                  view.Background);
    std::string error;
    bool outOfMemory = false;
    if (functions.Paint(picture, view, pixels.data(), error, outOfMemory)) return;
    if (outOfMemory) throw std::bad_alloc();
    throw std::runtime_error(error);
  }

  std::vector<PictureBox> TextBounds(const VectorPicture& picture) override {
    const PictureExports& functions = Loaded();
    std::vector<PictureBox> boxes;
    std::string error;
    if (!functions.TextBounds(picture, boxes, error)) throw std::runtime_error(error);
    return boxes;
  }

 private:
  const PictureExports& Loaded() {
    if (!loaded_)
      loaded_ = std::make_unique<ModuleTable<PictureExports>>(OpenModuleTable<PictureExports>(
          candidates_, kPictureModuleEntry,
          std::string(kImageModuleFile) + " offers no picture painter"));
    if (!loaded_->Functions)
      throw std::runtime_error("the image module could not be loaded: " + loaded_->Error);
    return *loaded_->Functions;
  }

  std::vector<std::string> candidates_;
  std::unique_ptr<ModuleTable<PictureExports>> loaded_;
};

}  // namespace

std::unique_ptr<PicturePainter> MakeModulePicturePainter(std::vector<std::string> candidates) {
  return std::make_unique<ModulePicturePainter>(std::move(candidates));
}

std::unique_ptr<PicturePainter> MakeProgramPicturePainter() {
  return MakeModulePicturePainter(ProgramModuleCandidates(kImageModuleFile));
}

}  // namespace terrak
