#include "viewer/ui/compasscode.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "viewer/direction_dials.h"
#include "viewer/projection.h"
#include "viewer/ui/picture_surface.h"

namespace terrak {

TDirectionWindow::TDirectionWindow(const ViewerState& viewer, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      viewer_(viewer),
      surface_(new PictureSurface(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowFlag(Qt::WindowDoesNotAcceptFocus);
  setFocusPolicy(Qt::NoFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(surface_);
  surface_->setFocusPolicy(Qt::NoFocus);
  surface_->Resized = [this] { Repaint(); };
}

void TDirectionWindow::Repaint() {
  if (!isVisible()) return;  // drawn when shown
  PaintDial(surface_->Canvas());
  surface_->Canvas().End();
  surface_->update();
}

void TDirectionWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Repaint();
}

void TDirectionWindow::keyPressEvent(QKeyEvent* event) {
  if (KeyDown && KeyDown(event)) return;
  QWidget::keyPressEvent(event);
}

void TDirectionWindow::closeEvent(QCloseEvent* event) {
  if (Closed) Closed();
  QWidget::closeEvent(event);
}

TCompass::TCompass(const ViewerState& viewer, QWidget* owner) : TDirectionWindow(viewer, owner) {
  setObjectName(QStringLiteral("Compass"));
  setWindowTitle(QStringLiteral("Compass"));
  setFixedSize(130, 130);
  move(633, 126);
}

void TCompass::PaintDial(Canvas& canvas) {
  const ViewAngles angles = ViewAnglesOf(viewer_.Current());
  PaintCompass(canvas, angles.CosBearing, angles.SinBearing);
}

}  // namespace terrak
