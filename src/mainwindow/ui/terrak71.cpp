// Program entry: sets the application title, keeps a second running copy away from this copy's
// working copy, creates the main window and runs the event loop until the window closes.
#include <QApplication>
#include <QMessageBox>
#include <clocale>
#include <cstdio>
#include <memory>

#include "grid/ui/paintform.h"
#include "viewer/viewer_construction.h"
#include "mainwindow/app_state.h"
#include "mainwindow/ui/terrak51.h"
#include "platform/instance_lock.h"
#include "platform/qt/guarded_application.h"
#include "platform/qt/qt_picture_painter.h"
#include "platform/qt/desktop_paths.h"
#include "platform/qt/qt_image_stretcher.h"
#include "platform/qt/qt_user_dialogs.h"
#include "mainwindow/ui/viewer_launcher.h"

int main(int argc, char** argv) {
  terrak::GuardedApplication app(argc, argv);
  // Qt gives the C library the desktop's locale, in which "%.1f" may write "12,5". The program's
  // numbers (status bar, default answers, CSV exports) are written with a decimal point in every
  // language; Qt's own texts keep the desktop's locale.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(QString::fromUtf8(terrak::kApplicationTitle));

  auto state = std::make_unique<terrak::AppState>();
  state->Paths = terrak::DesktopSystemPaths(TERRAK_SAMPLES_DIR);

  const terrak::InstanceLock lock(state->Paths.WorkingCopy);
  if (!lock.Held()) {
    std::fprintf(stderr, "terrak: %s\n", lock.Reason().c_str());
    QMessageBox::information(nullptr, QString::fromUtf8(terrak::kApplicationTitle),
                             QString::fromUtf8(terrak::kSecondCopyMessage));
    return 1;
  }

  terrak::Tmapform mapform(*state);
  // The grid is built inside the viewer's first mesh paint, with the progress window.
  terrak::PaintingformProgress progress;
  terrak::QtUserDialogs gridDialogs(&mapform);
  const std::unique_ptr<terrak::ImageStretcher> stretcher = terrak::MakeQtImageStretcher();
  // Where no map bitmap lies beside the map, the drawing the main window shows is draped.
  terrak::QtPicturePainter drapePainter;
  terrak::ViewerGridConstruction construction(
      state->Model, state->Settings, state->Paths,
      {progress, gridDialogs, stretcher.get(), &state->WholeMap.Drawing, state->Paths.WorkingCopy,
       &drapePainter});
  const terrak::ViewerLauncher viewerLauncher(mapform, *state, construction);
  mapform.show();
  return QApplication::exec();
}
