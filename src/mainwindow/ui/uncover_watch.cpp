#include "mainwindow/ui/uncover_watch.h"

#include <QApplication>
#include <QExposeEvent>
#include <QWidget>
#include <QWindow>

namespace terrak {

namespace {

QRegion ExposedRegion(const QExposeEvent* event) {
  // The region is the only way to tell what was uncovered; Qt keeps it for this use.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return event->region();
#pragma GCC diagnostic pop
}

bool IsPopup(const QObject* object) {
  const auto* widget = qobject_cast<const QWidget*>(object);
  if (widget == nullptr || !widget->isWindow()) return false;
  const Qt::WindowType type = widget->windowType();
  return type == Qt::Popup || type == Qt::ToolTip;
}

}  // namespace

UncoverWatch::UncoverWatch(QWidget* window, std::function<void()> uncovered)
    : QObject(window), window_(window), uncovered_(std::move(uncovered)) {
  // Application-wide: the popups are windows of their own, and the window's system window
  // exists only once it is shown.
  qApp->installEventFilter(this);
}

bool UncoverWatch::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide && IsPopup(watched)) {
    closedPopups_ += static_cast<QWidget*>(watched)->frameGeometry().adjusted(-1, -1, 1, 1);
  } else if (event->type() == QEvent::Expose && watched == window_->windowHandle()) {
    const bool wasExposed = exposed_;
    exposed_ = window_->windowHandle()->isExposed();
    QRegion uncovered;
    for (const QRect& r : ExposedRegion(static_cast<QExposeEvent*>(event)))
      uncovered += QRect(window_->mapToGlobal(r.topLeft()), r.size());
    uncovered -= closedPopups_;
    closedPopups_ = QRegion();
    // The first exposure is the window being shown, which paints by itself; coming back from
    // being minimised shows all of it again.
    if (exposed_ && (wasExposed ? !uncovered.isEmpty() : shownBefore_)) uncovered_();
    shownBefore_ = shownBefore_ || exposed_;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace terrak
