#include "viewer/ui/inclinecode.h"

#include "viewer/direction_dials.h"
#include "viewer/projection.h"

namespace terrak {

Tinclinometer::Tinclinometer(const ViewerState& viewer, QWidget* owner)
    : TDirectionWindow(viewer, owner) {
  setObjectName(QStringLiteral("inclinometer"));
  setWindowTitle(QStringLiteral("inclinometer"));
  resize(156, 160);
  move(310, 108);
}

void Tinclinometer::PaintDial(Canvas& canvas) {
  const ViewAngles angles = ViewAnglesOf(viewer_.Current());
  PaintInclinometer(canvas, angles.CosIncline, angles.SinIncline);
}

}  // namespace terrak
