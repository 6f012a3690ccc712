#pragma once
// The client area of the main window: a backing image that the handlers draw into and that
// paintEvent only copies to the screen, and the mouse and key events passed on as they come.
#include <QImage>
#include <QWidget>
#include <functional>

#include "mainwindow/map_window_state.h"
#include "platform/qt/image_canvas.h"

namespace terrak {

class MapSurface : public QWidget {
  Q_OBJECT

 public:
  explicit MapSurface(QWidget* parent = nullptr);

  ImageCanvas& Canvas() { return canvas_; }
  const QImage& BackingImage() const { return image_; }

  std::function<void()> Resized;
  std::function<void(MouseButton, ShiftState, Point)> MouseDown;
  std::function<void(Point)> MouseMove;
  std::function<void(MouseButton)> MouseUp;
  std::function<void(char)> KeyPress;
  // Whole notches of the wheel, away from the user positive; a touchpad's small steps are
  // gathered until they make one.
  std::function<void(Point, int)> MouseWheel;

  // Shows the picture moved by offset (the map dragged with the right button), white where it
  // left the window; (0, 0) shows it in place.
  void SetPan(Point offset);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QImage image_;
  ImageCanvas canvas_;
  Point pan_;
  int wheelEighths_ = 0;  // wheel turned and not yet used, in eighths of a degree
};

}  // namespace terrak
