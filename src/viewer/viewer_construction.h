#pragma once
// The grid construction as the 3D viewer runs it inside its first mesh paint: the viewer's
// curve steps and file options, the export and temporary files in the program's folders.
#include "grid/build_grid.h"
#include "platform/system_paths.h"
#include "viewer/paint.h"

namespace terrak {

class ViewerGridConstruction : public GridConstruction {
 public:
  ViewerGridConstruction(const MapModel& model, const Settings& settings, const SystemPaths& paths,
                         const GridServices& services)
      : model_(model), settings_(settings), paths_(paths), services_(services) {}

  // File errors of the exports and the map bitmap pass on as FileError.
  void Build(GridState& grid, const ViewerState& viewer) override;

  // What the last construction met and left besides the grid.
  const GridBuildState& LastBuild() const { return build_; }

 private:
  const MapModel& model_;
  const Settings& settings_;
  const SystemPaths& paths_;
  GridServices services_;
  GridBuildState build_;
};

}  // namespace terrak
