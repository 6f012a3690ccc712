#pragma once
// The inclinometer: an arrow tilted by the viewpoint's incline.
#include "viewer/ui/compasscode.h"

namespace terrak {

class Tinclinometer : public TDirectionWindow {
  Q_OBJECT

 public:
  Tinclinometer(const ViewerState& viewer, QWidget* owner);

 protected:
  void PaintDial(Canvas& canvas) override;
};

}  // namespace terrak
