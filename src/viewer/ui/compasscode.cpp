#include "viewer/ui/compasscode.h"

#include <QCloseEvent>
#include <QVBoxLayout>

#include "viewer/direction_dials.h"
#include "viewer/ui/picture_surface.h"

namespace terrak {

TDirectionWindow::TDirectionWindow(const ViewerState& viewer, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      viewer_(viewer),
      surface_(new PictureSurface(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
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
  PaintCompass(canvas, viewer_.CosBearing, viewer_.SinBearing);
}

}  // namespace terrak
