#pragma once
// The compass and the inclinometer: small always-on-top windows owned by the 3D viewer that
// draw the view direction from the sines and cosines of the viewer's last paint.
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
  // Draws the picture again from the viewer's last angles.
  void Repaint();
  const PictureSurface& Surface() const { return *surface_; }

 protected:
  virtual void PaintDial(Canvas& canvas) = 0;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
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
