#include "viewer/ui/picture_surface.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace terrak {

PictureSurface::PictureSurface(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  ResizeImage(1, 1);
}

QImage ToQImage(const Picture& picture) {
  QImage image(std::max(picture.Width, 1), std::max(picture.Height, 1), QImage::Format_RGB32);
  image.fill(Qt::white);
  for (std::int32_t y = 0; y < picture.Height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (std::int32_t x = 0; x < picture.Width; ++x) {
      const Colour c = picture.At(x, y);
      line[x] = qRgb(RedOf(c), GreenOf(c), BlueOf(c));
    }
  }
  return image;
}

void PictureSurface::ShowPicture(const Picture& picture) {
  canvas_.End();
  QPainter painter(&image_);
  painter.drawImage(0, 0, ToQImage(picture));
  painter.end();
  update();
}

void PictureSurface::ResizeImage(int width, int height) {
  canvas_.End();
  image_ = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
  image_.fill(Qt::white);
  canvas_.SetImage(&image_);
}

void PictureSurface::paintEvent(QPaintEvent* event) {
  canvas_.End();
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::white);
  painter.drawImage(event->rect().topLeft(), image_, event->rect());
}

void PictureSurface::resizeEvent(QResizeEvent* /*event*/) {
  if (FollowWidgetSize) ResizeImage(width(), height());
  if (Resized) Resized();
}

void PictureSurface::keyPressEvent(QKeyEvent* event) {
  if (KeyDown && KeyDown(event)) return;
  QWidget::keyPressEvent(event);
}

void PictureSurface::mousePressEvent(QMouseEvent* event) {
  if (MouseDown) MouseDown(event->button(), event->position().toPoint());
}

void PictureSurface::mouseMoveEvent(QMouseEvent* event) {
  if (MouseMove) MouseMove(event->position().toPoint());
}

void PictureSurface::mouseReleaseEvent(QMouseEvent* event) {
  if (MouseUp) MouseUp(event->button(), event->position().toPoint());
}

}  // namespace terrak
