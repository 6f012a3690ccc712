#include "viewer/ui/waiting_grid_construction.h"

#include <QMessageBox>

namespace terrak {

void WaitingGridConstruction::Build(GridState& grid, const ViewerState& /*viewer*/) {
  grid = GridState{};
  QMessageBox::information(parent_, QStringLiteral("Terrak 7.1"),
                           QString::fromUtf8(kNoGridConstructionMessage));
}

}  // namespace terrak
