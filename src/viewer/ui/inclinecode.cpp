#include "viewer/ui/inclinecode.h"

#include "viewer/direction_dials.h"

namespace terrak {

Tinclinometer::Tinclinometer(const ViewerState& viewer, QWidget* owner)
    : TDirectionWindow(viewer, owner) {
  setObjectName(QStringLiteral("inclinometer"));
  setWindowTitle(QStringLiteral("inclinometer"));
  resize(156, 160);
  move(310, 108);
}

void Tinclinometer::PaintDial(Canvas& canvas) {
  PaintInclinometer(canvas, viewer_.CosIncline, viewer_.SinIncline);
}

}  // namespace terrak
