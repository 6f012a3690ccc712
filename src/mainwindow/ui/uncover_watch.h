#pragma once
// Tells when a shown window is uncovered: another program's window or one of this program's
// dialogs moved away from it, or it came back from being minimised. The window system then
// shows the window's saved picture again without a paint; the main window treats this as a
// repaint. The program's own menus and tooltips closing over the window do not count: they
// cover the window only while the user chooses, as a menu always has.
#include <QObject>
#include <QRegion>
#include <functional>

class QWidget;

namespace terrak {

class UncoverWatch : public QObject {
  Q_OBJECT

 public:
  UncoverWatch(QWidget* window, std::function<void()> uncovered);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  std::function<void()> uncovered_;
  bool exposed_ = false;
  bool shownBefore_ = false;
  QRegion closedPopups_;  // screen coordinates, since the last expose
};

}  // namespace terrak
