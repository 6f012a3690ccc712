// The picture entry of terrak-qtimage.so: Qt's painter behind the plain interface of
// platform/picture_module.h, its exceptions turned into a failure.
#include <QGuiApplication>
#include <QThreadPool>
#include <new>

#include "platform/picture_module.h"
#include "platform/qt/qt_picture_painter.h"

namespace terrak {
namespace {

// Fonts need a QGuiApplication. A program without windows has none, so the module makes one
// on the offscreen platform the first time it draws; Qt allows one per process and it must
// outlive every font, so it is kept until the process ends.
void EnsureGuiApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 3;
  static char name[] = "terrak";
  static char option[] = "-platform";
  static char platform[] = "offscreen";
  static char* argv[] = {name, option, platform, nullptr};
  static QGuiApplication* const application = new QGuiApplication(argc, argv);
  (void)application;
}

bool Paint(const VectorPicture& picture, const PictureView& view, Colour* pixels,
           std::string& error, bool& outOfMemory) noexcept {
  try {
    EnsureGuiApplication();
    PaintPictureWithQt(picture, view, pixels);
    // Qt's painter fills large pictures on its pool's threads, which then idle for half a
    // minute: a command-line run lets them go at once rather than leave them to the exit.
    QThreadPool::globalInstance()->waitForDone();
    return true;
  } catch (const std::bad_alloc&) {
    outOfMemory = true;
  } catch (const std::exception& e) {
    error = e.what();
  } catch (...) {
    error = "the picture could not be drawn";
  }
  return false;
}

bool TextBounds(const VectorPicture& picture, std::vector<PictureBox>& boxes,
                std::string& error) noexcept {
  try {
    EnsureGuiApplication();
    boxes = MeasureTextsWithQt(picture);
    return true;
  } catch (const std::exception& e) {
    error = e.what();
  } catch (...) {
    error = "the texts could not be measured";
  }
  return false;
}

constexpr PictureExports kExports{Paint, TextBounds};

}  // namespace
}  // namespace terrak

extern "C" __attribute__((visibility("default"))) const terrak::PictureExports* TerrakQtPictureV1() {
  return &terrak::kExports;
}
