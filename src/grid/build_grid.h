#pragma once
// The grid construction: from the height-carrying objects of the selected symbols to the height
// grid and the map bitmap, in fixed stages reported through a progress sink.
#include <string>

#include "grid/grid_build_state.h"
#include "terrain/grid_state.h"
#include "grid/progress_sink.h"
#include "mapfile/map_model.h"
#include "mapdraw/whole_map.h"
#include "mapfile/settings.h"
#include "platform/image_stretcher.h"
#include "platform/picture_painter.h"
#include "platform/user_dialogs.h"

namespace terrak {

// What the construction uses of the platform. Without a stretcher a map bitmap is not read;
// without the map's drawing (kept in Drawing, of the map file MapFile: the working copy) and a
// painter, no map is draped where no bitmap lies beside the map.
struct GridServices {
  ProgressSink& Progress;
  UserDialogs& Dialogs;
  ImageStretcher* Stretcher = nullptr;
  mapdraw::WholeMapDrawing* Drawing = nullptr;
  std::string MapFile = {};
  PicturePainter* Painter = nullptr;
};

// Messages of a construction that cannot start.
inline constexpr const char* kNoObjectsMessage =
    "There are no objects of the selected symbols to build a grid from";
inline constexpr const char* kNoScaleMessage =
    "The map has no valid scale, so no grid can be built";
inline constexpr const char* kGridTooSmallMessage =
    "The selected objects are less than one metre wide or high, so no grid can be built";
// A selection too large for a grid: GridTooLargeMessage (grid_limits.h).

// Builds the grid. The caller sets build.CurveSteps (GridCurveSteps), the export flags and the
// file names first. Returns false when the construction cannot start: the message is shown, and
// grid holds an empty grid with no bitmap. File errors of the exports and the map bitmap end the
// construction with FileError, the height grid being complete by then.
bool BuildGrid(const MapModel& model, const Settings& settings, GridState& grid,
               GridBuildState& build, const GridServices& services);

// The stages of BuildGrid one by one, for benchmarks and tests; each expects what the one before
// leaves. PrepareGrid finds the extent, scales it to metres and sizes the empty grid (false when
// it cannot, as above).
bool PrepareGrid(const MapModel& model, GridState& grid, GridBuildState& build,
                 const GridServices& services);
void PaintGrid(const MapModel& model, GridState& grid, GridBuildState& build,
               const GridServices& services);  // painting, then the points file
void ShrinkWrapGrid(const Settings& settings, GridState& grid, GridBuildState& build,
                    const GridServices& services);
void InterpolateGrid(GridState& grid, GridBuildState& build, const GridServices& services);
void FinishGrid(const Settings& settings, GridState& grid, GridBuildState& build,
                const GridServices& services);  // excess, smoothing, the matrix file
// The map bitmap beside the map, or else the map's own drawing painted over the grid.
void FindMapBitmap(const MapModel& model, GridState& grid, GridBuildState& build,
                   const GridServices& services);

}  // namespace terrak
