#pragma once
// The compass and the inclinometer: small always-on-top windows owned by the 3D viewer that
// draw the current view direction.
#include <QWidget>
#include <functional>

#include "platform/canvas.h"
#include "viewer/viewer_state.h"

namespace terrak {

class PictureSurface;

// What the two windows share: a backing image painted on every paint and resize, and a
// callback when the window closes (the viewer enables its menu item again).
class TDirectionWindow : public QWidget {
  Q_OBJECT

 public:
  TDirectionWindow(const ViewerState& viewer, QWidget* owner);
  std::function<void()> Closed;
  // The window never takes the keyboard from the viewer; keys that reach it all the same (a
  // window manager may activate it on a click) go to the viewer through this.
  std::function<bool(QKeyEvent*)> KeyDown;
  // Draws the picture again from the current viewpoint's direction.
  void Repaint();
  const PictureSurface& Surface() const { return *surface_; }

 protected:
  virtual void PaintDial(Canvas& canvas) = 0;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  const ViewerState& viewer_;

 private:
  PictureSurface* surface_;
};

class TCompass : public TDirectionWindow {
  Q_OBJECT

 public:
  TCompass(const ViewerState& viewer, QWidget* owner);

 protected:
  void PaintDial(Canvas& canvas) override;
};

}  // namespace terrak
