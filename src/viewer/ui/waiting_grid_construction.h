#pragma once
// The grid construction as the viewer's first mesh paint asks for it, while this build has no
// grid construction of its own: it tells the user so and leaves the grid empty, so the viewer
// still shows the wedding cake and 3D map files.
#include "viewer/paint.h"

class QWidget;

namespace terrak {

inline constexpr const char* kNoGridConstructionMessage =
    "This build cannot make a terrain grid from contours yet; open a 3D map file instead";

class WaitingGridConstruction : public GridConstruction {
 public:
  explicit WaitingGridConstruction(QWidget* parent) : parent_(parent) {}
  void Build(GridState& grid, const ViewerState& viewer) override;

 private:
  QWidget* parent_;
};

}  // namespace terrak
