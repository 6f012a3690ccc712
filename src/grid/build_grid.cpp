#include "grid/build_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>

#include "common/numtext.h"
#include "common/rounding.h"
#include "grid/excess_smooth.h"
#include "grid/grid_exports.h"
#include "grid/height_base.h"
#include "grid/interpolate.h"
#include "grid/map_bitmap.h"
#include "grid/map_drape.h"
#include "grid/rasterise.h"
#include "grid/shrinkwrap.h"
#include "mapfile/map_reader.h"
#include "mapfile/model_units.h"
#include "platform/file_stream.h"
#include "platform/usable_cores.h"

namespace terrak {

namespace {

std::int32_t Metres(double modelUnits, double unitsPerMetre) {
  const std::int64_t metres = RoundToInt(modelUnits / unitsPerMetre);
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      metres, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

double Difference(std::int64_t a, std::int64_t b) { return static_cast<double>(a - b); }

bool Refuse(GridState& grid, const GridServices& services, const std::string& message) {
  grid.HeightGrid.Clear();
  grid.BitmapGrid.Clear();
  grid.GridWidth = 0;
  grid.GridHeight = 0;
  grid.HeightBase = 0;
  grid.MapBitmapLoaded = false;
  grid.ShowMapBitmap = false;
  services.Dialogs.Message(message, MessageType::Warning, static_cast<unsigned>(DialogButton::Ok));
  return false;
}

}  // namespace

bool PrepareGrid(const MapModel& model, GridState& grid, GridBuildState& build,
                 const GridServices& services) {
  ProgressSink& progress = services.Progress;
  build.Notes = {};
  build.Tiles.reset();
  build.CopySpare.reset();
  progress.ShowProgress("Getting Extent of map...");
  const ModelExtent extent = LoadedObjectsExtent(model);
  if (model.MapObjects.empty()) return Refuse(grid, services, kNoObjectsMessage);
  if (!(model.MapScale > 0.0) || !std::isfinite(model.MapScale))
    return Refuse(grid, services, kNoScaleMessage);
  const double unitsPerMetre = 56693.0 / model.MapScale;
  grid.GridUnitsPerMetre = unitsPerMetre;
  grid.GridWidth = Metres(extent.Width(), unitsPerMetre);
  grid.GridHeight = Metres(extent.Height(), unitsPerMetre);
  progress.ShowProgress("selected portion of map is " + FormatInt(grid.GridWidth) + " metres wide");
  progress.ShowProgress("selected portion of map is " + FormatInt(grid.GridHeight) + " metres high");
  // The offsets are differences in model units, taken before the selection's origin is scaled.
  grid.MapWidth = Metres(Difference(model.MapMaxX, model.MapMinX), unitsPerMetre);
  grid.MapHeight = Metres(Difference(model.MapMaxY, model.MapMinY), unitsPerMetre);
  build.BitmapRowOffset = Metres(Difference(model.MapMaxY, extent.MaxY), unitsPerMetre);
  build.BitmapColumnOffset = Metres(Difference(extent.MinX, model.MapMinX), unitsPerMetre);
  progress.ShowProgress("overall map is " + FormatInt(grid.MapWidth) + " metres wide");
  progress.ShowProgress("overall map is " + FormatInt(grid.MapHeight) + " metres high");
  grid.GridMinX = Metres(extent.MinX, unitsPerMetre);
  grid.GridMinY = Metres(extent.MinY, unitsPerMetre);
  grid.GridMaxX = Metres(static_cast<double>(grid.GridMinX) + grid.GridWidth, 1.0);
  grid.GridMaxY = Metres(static_cast<double>(grid.GridMinY) + grid.GridHeight, 1.0);
  if (grid.GridWidth < 1 || grid.GridHeight < 1) return Refuse(grid, services, kGridTooSmallMessage);
  const std::int64_t cells = (std::int64_t{grid.GridWidth} + 1) * (std::int64_t{grid.GridHeight} + 1);
  if (grid.GridWidth > kMaxGridSide || grid.GridHeight > kMaxGridSide || cells > build.MaxGridCells)
    return Refuse(grid, services,
                  GridTooLargeMessage(grid.GridWidth, grid.GridHeight, build.MaxGridCells));
  const HeightBaseChoice base = ChooseHeightBase(model);
  if (!base.Fits) return Refuse(grid, services, HeightSpanTooLargeMessage(base));
  grid.HeightBase = base.Base;
  progress.ShowProgress("Initialising array...");
  grid.HeightGrid.Resize(std::int64_t{grid.GridWidth} + 1, std::int64_t{grid.GridHeight} + 1, 0);
  return true;
}

void PaintGrid(const MapModel& model, GridState& grid, GridBuildState& build,
               const GridServices& services) {
  ProgressSink& progress = services.Progress;
  progress.ShowProgress("Painting Contours into array...");
  // The second core, idle while the painting goes on, makes the memory for the interpolation's
  // copy of the grid.
  if (InterpolationSplits(grid))
    build.CopySpare = std::make_shared<PrefaultedGrid>(grid.HeightGrid.Columns(), grid.HeightGrid.Rows());
  // The grid PrepareGrid made holds no contour cell yet.
  build.Tiles = std::make_shared<ContourTiles>(grid.HeightGrid.Columns(), grid.HeightGrid.Rows());
  PaintContours(model, grid, build.CurveSteps, build.Notes, build.Tiles.get());
  if (build.CreateXyzFile) {
    progress.ShowProgress("Writing points file to " + build.PointsFileName);
    WritePointsFile(build.PointsFileName, grid);
    progress.ShowProgress("Finished Writing points file to " + build.PointsFileName);
  }
}

void ShrinkWrapGrid(const Settings& settings, GridState& grid, GridBuildState& build,
                    const GridServices& services) {
  services.Progress.ShowProgress("Shrinkwrapping the map...");
  build.Tiles = ShrinkWrap(grid, settings.ContourGap, build, services.Progress, std::move(build.Tiles));
  services.Progress.ShowProgress("Finished shrinkwrapping the map...");
}

void InterpolateGrid(GridState& grid, GridBuildState& build, const GridServices& services) {
  services.Progress.ShowProgress("Interpolating Heights...");
  if (build.Reference) {
    build.Tiles.reset();
    build.CopySpare.reset();
    build.Notes.CellsWithoutEstimate +=
        InterpolateHeightsPlain(grid, services.Progress).CellsWithoutEstimate;
    return;
  }
  InterpolationOptions options;
  options.Tiles = std::move(build.Tiles);
  HeightGridType spare = build.CopySpare ? build.CopySpare->Take() : HeightGridType{};
  build.CopySpare.reset();
  options.CopyInto = &spare;
  build.Notes.CellsWithoutEstimate +=
      InterpolateHeights(grid, services.Progress, std::move(options)).CellsWithoutEstimate;
}

void FinishGrid(const Settings& settings, GridState& grid, GridBuildState& build,
                const GridServices& services) {
  ProgressSink& progress = services.Progress;
  progress.ShowProgress("Removing Excess...");
  // These passes take a millisecond or two for every 16 M cells: below about 1 M cells a second
  // thread costs more to start than it saves.
  constexpr std::int64_t kLeastCellsForTwo = std::int64_t{1} << 20;
  const int threads = grid.HeightGrid.Columns() * grid.HeightGrid.Rows() >= kLeastCellsForTwo
                          ? std::clamp(UsableCores(), 1, 2)
                          : 1;
  if (build.Reference)
    RemoveExcessPlain(grid);
  else
    RemoveExcess(grid, threads);
  progress.ShowProgress("Smoothing the Grid...");
  const SmoothingOptions options = CheckSmoothingOptions(settings.Smoothing, settings.SmoothingPasses);
  build.Notes.SmoothingClamped = options.FactorClamped && options.Passes > 0;
  build.Notes.PassesClamped = options.PassesClamped;
  for (std::int32_t pass = 0; pass < options.Passes; ++pass) {
    progress.ShowProgress("Smoothing the Grid...passing through map");
    build.Notes.IsolatedCells += build.Reference ? SmoothGridPlain(grid, options.Factor)
                                                 : SmoothGrid(grid, options.Factor, threads);
  }
  progress.ShowProgress("Matrix Completed");
  if (build.CreateMatrixFile) {
    progress.ShowProgress("Writing Matrix to " + build.MatrixFileName);
    WriteMatrixFile(build.MatrixFileName, grid);
    progress.ShowProgress("Finished Writing Matrix to " + build.MatrixFileName);
  }
}

namespace {

// The map's own drawing painted over the grid, as the map bitmap would be.
void DrapeDrawing(GridState& grid, GridBuildState& build, const GridServices& services) {
  if (services.Drawing == nullptr || services.Painter == nullptr) return;
  if (DrapeTooLarge(grid)) {
    build.Notes.DrawingSkipped = "the grid is too large for one picture of the map";
    return;
  }
  services.Progress.ShowProgress("Drawing the map over the grid");
  const double micrometresPerMetre = grid.GridUnitsPerMetre * kPaperMicrometresPerModelUnit;
  const mapdraw::MapPicture* drawn =
      services.Drawing->For(services.MapFile, 1.0 / micrometresPerMetre);
  if (drawn == nullptr) {
    build.Notes.DrawingSkipped = services.Drawing->Problem();
    return;
  }
  try {
    DrapeMapDrawing(drawn->Picture, micrometresPerMetre, *services.Painter, grid);
    build.MapDrawingDraped = true;
  } catch (const std::runtime_error& e) {
    build.Notes.DrawingSkipped = e.what();
  } catch (const std::bad_alloc&) {
    build.Notes.DrawingSkipped = "there is too little memory to paint it";
  }
}

}  // namespace

void FindMapBitmap(const MapModel& model, GridState& grid, GridBuildState& build,
                   const GridServices& services) {
  build.MapDrawingDraped = false;
  ProgressSink& progress = services.Progress;
  progress.ShowProgress("Looking for bmp file of map in same directory");
  build.MapBitmapFileName = MapBitmapFileNameFor(model.MapFileName, &build.Notes.BitmapNameGuessed);
  grid.MapBitmapLoaded = false;
  if (FileExists(build.MapBitmapFileName)) {
    progress.ShowProgress("BMP file of map found, reading it into array");
    if (services.Stretcher == nullptr)
      build.Notes.BitmapSkipped = "no image loader is available";
    else if (grid.MapWidth < 1 || grid.MapHeight < 1)
      build.Notes.BitmapSkipped = "the whole map is less than one metre wide or high";
    else if (std::int64_t{grid.MapWidth} * grid.MapHeight > build.MaxGridCells)
      build.Notes.BitmapSkipped = "the whole map is too large for one pixel per metre";
    else
      ReadMapBitmap(grid, build, *services.Stretcher, services.Dialogs);
    progress.ShowProgress("Finished processing BMP file of map");
  }
  if (!grid.MapBitmapLoaded) DrapeDrawing(grid, build, services);
  // A grid never carries the bitmap of an earlier map, nor drapes one.
  if (!grid.MapBitmapLoaded) {
    grid.ShowMapBitmap = false;
    grid.BitmapGrid.Resize(std::int64_t{grid.GridWidth} + 1, std::int64_t{grid.GridHeight} + 1, 0);
  }
}

bool BuildGrid(const MapModel& model, const Settings& settings, GridState& grid,
               GridBuildState& build, const GridServices& services) {
  ProgressScope window(services.Progress);
  if (!PrepareGrid(model, grid, build, services)) return false;
  PaintGrid(model, grid, build, services);
  ShrinkWrapGrid(settings, grid, build, services);
  InterpolateGrid(grid, build, services);
  FinishGrid(settings, grid, build, services);
  FindMapBitmap(model, grid, build, services);
  services.Progress.ShowProgress("Closing Dialogue Box");
  services.Dialogs.Beep();
  return true;
}

}  // namespace terrak
