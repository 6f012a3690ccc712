#include "mainwindow/ui/map_surface.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <optional>

namespace terrak {

namespace {

std::optional<MouseButton> ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    case Qt::MiddleButton: return MouseButton::Middle;
    default: return std::nullopt;
  }
}

ShiftState KeysOf(Qt::KeyboardModifiers modifiers) {
  return {modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::ControlModifier),
          modifiers.testFlag(Qt::AltModifier)};
}

Point PointOf(const QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  return {p.x(), p.y()};
}

}  // namespace

MapSurface::MapSurface(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  canvas_.SetImage(&image_);
}

void MapSurface::paintEvent(QPaintEvent* event) {
  canvas_.End();
  QPainter painter(this);
  if (pan_ == Point{}) {
    painter.drawImage(event->rect(), image_, event->rect());
    return;
  }
  painter.fillRect(event->rect(), Qt::white);
  painter.drawImage(QPoint(pan_.X, pan_.Y), image_);
}

void MapSurface::SetPan(Point offset) {
  if (offset == pan_) return;
  pan_ = offset;
  update();
}

void MapSurface::resizeEvent(QResizeEvent* /*event*/) {
  canvas_.End();
  // A new picture of the new size; the paint handler fills it.
  image_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  image_.fill(Qt::white);
  canvas_.SetImage(&image_);
  if (Resized) Resized();
}

void MapSurface::mousePressEvent(QMouseEvent* event) {
  if (const auto button = ButtonOf(event->button()); button && MouseDown)
    MouseDown(*button, KeysOf(event->modifiers()), PointOf(event));
}

void MapSurface::mouseMoveEvent(QMouseEvent* event) {
  if (MouseMove) MouseMove(PointOf(event));
}

void MapSurface::mouseReleaseEvent(QMouseEvent* event) {
  if (const auto button = ButtonOf(event->button()); button && MouseUp) MouseUp(*button);
}

void MapSurface::wheelEvent(QWheelEvent* event) {
  constexpr int kNotch = 120;  // eighths of a degree: 15 degrees, one notch of a common wheel
  wheelEighths_ += event->angleDelta().y();
  const int notches = wheelEighths_ / kNotch;
  wheelEighths_ -= notches * kNotch;
  const QPoint p = event->position().toPoint();
  if (notches != 0 && MouseWheel) MouseWheel({p.x(), p.y()}, notches);
  event->accept();
}

void MapSurface::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && KeyPress) {
    KeyPress(13);
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace terrak
