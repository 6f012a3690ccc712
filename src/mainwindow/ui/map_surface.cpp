#include "mainwindow/ui/map_surface.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
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
  painter.drawImage(event->rect(), image_, event->rect());
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

void MapSurface::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && KeyPress) {
    KeyPress(13);
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace terrak
