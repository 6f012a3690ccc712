#include "viewer/ui/picture_surface.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace terrak {

PictureSurface::PictureSurface(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  ResizeImage(1, 1);
}

namespace {

// One row of the picture (red in the low byte) into one row of an RGB32 image.
void ConvertRow(const Colour* from, std::int32_t count, QRgb* to) {
  for (std::int32_t x = 0; x < count; ++x) {
    const Colour c = from[x];
    to[x] = 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
  }
}

}  // namespace

QImage ToQImage(const Picture& picture) {
  QImage image(std::max(picture.Width, 1), std::max(picture.Height, 1), QImage::Format_RGB32);
  image.fill(Qt::white);
  for (std::int32_t y = 0; y < picture.Height; ++y)
    ConvertRow(&picture.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.Width)],
               picture.Width, reinterpret_cast<QRgb*>(image.scanLine(y)));
  return image;
}

void PictureSurface::ShowPicture(const Picture& picture) {
  canvas_.End();
  // Straight into the backing image, row by row: no image in between, no painter. A picture
  // without rows or columns still whitens the one row or column that stood for it.
  const std::int32_t width = std::min(std::max(picture.Width, 1), image_.width());
  const std::int32_t height = std::min(std::max(picture.Height, 1), image_.height());
  const bool empty = picture.Width <= 0 || picture.Height <= 0;
  for (std::int32_t y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    if (empty)
      std::fill(line, line + width, qRgb(255, 255, 255));
    else
      ConvertRow(&picture.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.Width)],
                 width, line);
  }
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
