#pragma once
// A window's client area that shows a backing image: handlers draw into the image (or hand it a
// finished picture), paintEvent only copies it to the screen. Resizes, keys and mouse events are
// passed on as they come.
#include <QImage>
#include <QWidget>
#include <functional>

#include "platform/qt/image_canvas.h"
#include "viewer/picture.h"

namespace terrak {

class PictureSurface : public QWidget {
  Q_OBJECT

 public:
  explicit PictureSurface(QWidget* parent = nullptr);

  ImageCanvas& Canvas() { return canvas_; }
  const QImage& BackingImage() const { return image_; }
  // Copies the picture into the top left of the backing image.
  void ShowPicture(const Picture& picture);
  // Sizes the backing image (white) independently of the widget.
  void ResizeImage(int width, int height);

  std::function<void()> Resized;
  std::function<bool(QKeyEvent*)> KeyDown;  // true when the key was used
  std::function<void(Qt::MouseButton, QPoint)> MouseDown;
  std::function<void(QPoint)> MouseMove;
  std::function<void(Qt::MouseButton, QPoint)> MouseUp;
  // Keep the backing image at the widget's size (else it keeps the size it is given).
  bool FollowWidgetSize = true;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage image_;
  ImageCanvas canvas_;
};

// The picture as a Qt image of the same size.
QImage ToQImage(const Picture& picture);

}  // namespace terrak
