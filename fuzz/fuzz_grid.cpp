// Random contour geometry and random bitmap files through the grid construction. Nothing may
// crash, hang or touch memory outside its buffers; the fast interpolation and smoothing must give
// the plain versions' grids; a built grid has the sizes it reports. The input's first byte picks
// the case: a whole construction from random objects, a grid of random cells interpolated both
// ways, or a random stretched bitmap file read into a random selection.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "grid/build_grid.h"
#include "grid/excess_smooth.h"
#include "grid/interpolate.h"
#include "grid/map_bitmap.h"
#include "grid/shrinkwrap.h"
#include "support/fake_image_stretcher.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

using namespace terrak;

void Require(bool condition) {
  if (!condition) std::abort();
}

// Takes values from the input; zeros once it is used up.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::int16_t Int16() { return static_cast<std::int16_t>(Byte() | (Byte() << 8)); }
  // Mostly small values around zero, sometimes anything at all.
  std::int16_t Coordinate() {
    const std::uint8_t kind = Byte();
    if (kind < 8) return Int16();
    if (kind < 12) return static_cast<std::int16_t>(-32768 + (Byte() & 3));  // a marker
    return static_cast<std::int16_t>(static_cast<std::int8_t>(Byte()));
  }
  std::vector<std::uint8_t> Rest() {
    std::vector<std::uint8_t> rest(data_ + at_, data_ + size_);
    at_ = size_;
    return rest;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

MapModel RandomMap(Bytes& in, const std::string& mapFile) {
  MapModel model;
  model.MapFileName = mapFile;
  const double scales[] = {10000, 15000, 56693, 14173.25, 4000, 113386, 0, -5000};
  model.MapScale = scales[in.Byte() % 8];
  model.SelectedSymbols = {{101, kBlack}};
  if (in.Byte() % 4 == 0) model.SelectedSymbols.push_back({102, kBlack});
  const int objects = in.Byte() % 9;
  for (int i = 0; i < objects; ++i) {
    TObjectCoords coords;
    coords.Symbol = in.Byte() % 3 == 0 ? 102 : 101;
    coords.Kind = static_cast<ObjectKind>(in.Byte() % 4 == 0 ? in.Byte() % 7 : 2);
    coords.Height = in.Byte() % 8 == 0 ? in.Int16() : static_cast<std::int16_t>(50 * (in.Byte() % 12));
    const int pairs = in.Byte() % 40;
    TMapObject object;
    object.Symbol = coords.Symbol;
    object.Kind = coords.Kind;
    object.Height = coords.Height;
    object.HasHeight = coords.HasHeight = coords.Height != 0;
    object.MinX = object.MinY = 32767;
    object.MaxX = object.MaxY = -32768;
    for (int p = 0; p < pairs; ++p) {
      const TPair pair{in.Coordinate(), in.Coordinate()};
      coords.Points.push_back(pair);
      if (pair.X > -32765) {
        object.MinX = std::min(object.MinX, pair.X);
        object.MaxX = std::max(object.MaxX, pair.X);
        object.MinY = std::min(object.MinY, pair.Y);
        object.MaxY = std::max(object.MaxY, pair.Y);
      }
    }
    coords.Count = static_cast<std::int32_t>(coords.Points.size());
    if (in.Byte() % 8 == 0) {  // an index extent that does not match the points
      object.MinX = in.Coordinate();
      object.MaxY = in.Coordinate();
    }
    model.MapObjects.push_back(object);
    model.ObjectCoords.push_back(coords);
  }
  model.MapMinX = -300 + in.Byte();
  model.MapMinY = -300 + in.Byte();
  model.MapMaxX = 300 - in.Byte();
  model.MapMaxY = 300 - in.Byte();
  return model;
}

void Construction(Bytes& in) {
  testing::TempFolder folder;
  const MapModel model = RandomMap(in, folder.File("map.ocd"));
  Settings settings;
  settings.Smoothing = static_cast<std::int8_t>(in.Byte());
  settings.SmoothingPasses = in.Byte() % 5 - 1;
  settings.ContourGap = in.Byte() % 70 - 5;
  GridBuildState build;
  UseSystemPaths(build, folder.Paths());
  build.CurveSteps = static_cast<std::int16_t>(in.Byte() % 12);
  build.CreateXyzFile = in.Byte() % 2 == 0;
  build.CreateMatrixFile = in.Byte() % 2 == 0;
  build.MaxGridCells = 60'000;
  build.ShrinkWorkLimit = 3'000'000;
  testing::FakeImageStretcher stretcher;
  const std::uint8_t bitmap = in.Byte();
  if (bitmap % 2 == 0) testing::WriteBytes(folder.File("map.bmp"), {1});
  stretcher.FailToLoad = bitmap % 7 == 0;
  stretcher.Pixel = [seed = in.Byte()](std::int32_t x, std::int32_t row) {
    return static_cast<std::uint8_t>((x * 7 + row * 13 + seed) % 256);
  };
  testing::SilentProgress progress;
  testing::ScriptedDialogs dialogs;
  const GridServices services{progress, dialogs, bitmap % 5 == 0 ? nullptr : &stretcher};

  GridState grid;
  if (!PrepareGrid(model, grid, build, services)) {
    Require(grid.HeightGrid.Empty());
    return;
  }
  Require(grid.GridWidth >= 1 && grid.GridHeight >= 1);
  Require(grid.HeightGrid.Columns() == grid.GridWidth + 1);
  Require(grid.HeightGrid.Rows() == grid.GridHeight + 1);
  PaintGrid(model, grid, build, services);
  GridState everySample = grid;
  ShrinkWrapGrid(settings, grid, build, services);
  // The bulge search that passes over empty stretches meets the cells that every point meets.
  ShrinkControl control;
  control.WorkLimit = build.ShrinkWorkLimit;
  control.EverySample = true;
  const Outline outline = ShrinkWrapper(WrapMap(everySample, progress), everySample,
                                        settings.ContourGap, control, progress);
  SealWrapper(outline, everySample, progress);
  Require(everySample.HeightGrid == grid.HeightGrid);
  // The plain scans walk cell by cell: compared on the smaller grids only.
  const bool compare = grid.HeightGrid.Columns() * grid.HeightGrid.Rows() <= 20'000;
  GridState plain = grid;
  InterpolateGrid(grid, build, services);
  if (compare) {
    InterpolateHeightsPlain(plain, progress);
    Require(plain.HeightGrid == grid.HeightGrid);
  }
  GridState excessPlain = grid;
  RemoveExcess(grid, 2);
  RemoveExcessPlain(excessPlain);
  Require(excessPlain.HeightGrid == grid.HeightGrid);
  GridState smoothPlain = grid;
  const std::int32_t factor = CheckSmoothingOptions(settings.Smoothing, 1).Factor;
  Require(SmoothGrid(grid, factor, 2) == SmoothGridPlain(smoothPlain, factor));
  Require(smoothPlain.HeightGrid == grid.HeightGrid);
  try {
    FinishGrid(settings, grid, build, services);
    FindMapBitmap(model, grid, build, services);
  } catch (const FileError&) {
    Require(stretcher.FailToLoad);
    return;
  }
  Require(grid.BitmapGrid.Columns() == grid.GridWidth + 1);
  Require(grid.BitmapGrid.Rows() == grid.GridHeight + 1);
  DescribeGridNotes(build.Notes);
}

// A grid of random cells (contours at any height, negative ones among them, runs along the
// edges) interpolated both ways: the fast interpolation's shortcuts must give the plain grid.
void RandomCells(Bytes& in) {
  GridState grid;
  const bool wide = in.Byte() % 4 == 0;  // room for long walks over flat ground
  grid.GridWidth = 1 + in.Byte() % (wide ? 120 : 48);
  grid.GridHeight = 1 + in.Byte() % (wide ? 120 : 48);
  grid.HeightGrid.Resize(grid.GridWidth + 1, grid.GridHeight + 1, 0);
  // Rings of one height, some of them thick, enclose flat ground whose cells extrapolate from
  // the step beyond the ring, stored positive where the estimate comes out below zero.
  const int rings = in.Byte() % 4;
  for (int i = 0; i < rings; ++i) {
    const std::int64_t x0 = in.Byte() % (grid.GridWidth + 1), y0 = in.Byte() % (grid.GridHeight + 1);
    const std::int64_t x1 = x0 + in.Byte() % 64, y1 = y0 + in.Byte() % 64;
    const int thickness = 1 + in.Byte() % 3;
    const std::int16_t height = static_cast<std::int16_t>(in.Byte() % 8);
    for (std::int64_t cx = x0; cx <= x1; ++cx)
      for (std::int64_t cy = y0; cy <= y1; ++cy) {
        const bool onRing = cx - x0 < thickness || x1 - cx < thickness || cy - y0 < thickness ||
                            y1 - cy < thickness;
        if (onRing && grid.HeightGrid.Contains(cx, cy)) grid.HeightGrid(cx, cy) = height;
      }
  }
  const int runs = in.Byte() % 24;
  for (int i = 0; i < runs; ++i) {
    // A run of cells along a column, a row or a diagonal, at one height.
    const std::int64_t x = in.Byte() % (grid.GridWidth + 1);
    const std::int64_t y = in.Byte() % (grid.GridHeight + 1);
    const std::uint8_t shape = in.Byte();
    const int dx = shape % 3 - 1, dy = shape / 3 % 3 - 1;
    const int length = 1 + shape / 9 % 24;
    const std::uint8_t kind = in.Byte();
    const std::int16_t height = kind < 200 ? static_cast<std::int16_t>(10 * (1 + kind % 40))
                                           : (kind < 230 ? static_cast<std::int16_t>(-(kind % 50)) : in.Int16());
    for (int k = 0; k < length; ++k) {
      const std::int64_t cx = x + k * dx, cy = y + k * dy;
      if (!grid.HeightGrid.Contains(cx, cy)) break;
      grid.HeightGrid(cx, cy) = height;
    }
  }
  // On one thread, and on two split at a column the input chooses.
  GridState split = grid;
  const std::int32_t splitColumn = 2 + static_cast<std::int32_t>(in.Byte()) % std::max(1, grid.GridWidth);
  GridState plain = grid;
  testing::SilentProgress progress;
  const InterpolationCounts fast = InterpolateHeights(grid, progress, {1, 0});
  const InterpolationCounts twoThreads = InterpolateHeights(split, progress, {2, splitColumn});
  const InterpolationCounts reference = InterpolateHeightsPlain(plain, progress);
  Require(plain.HeightGrid == grid.HeightGrid);
  Require(plain.HeightGrid == split.HeightGrid);
  Require(fast.CellsWithoutEstimate == reference.CellsWithoutEstimate);
  Require(twoThreads.CellsWithoutEstimate == reference.CellsWithoutEstimate);
}

void StretchedFile(Bytes& in) {
  testing::TempFolder folder;
  GridState grid;
  grid.GridWidth = in.Byte() % 64;
  grid.GridHeight = in.Byte() % 64;
  GridBuildState build;
  build.BitmapRowOffset = in.Byte() % 80 - 8;
  build.BitmapColumnOffset = in.Byte() % 80 - 8;
  build.StretchedFileName = folder.File("stretched.bmp");
  if (in.Byte() % 3 == 0) grid.BitmapGrid.Resize(in.Byte() % 9, in.Byte() % 9, 3);
  testing::WriteBytes(build.StretchedFileName, in.Rest());
  testing::ScriptedDialogs dialogs;
  ReadStretchedBitmap(grid, build, dialogs);
  Require(grid.MapBitmapLoaded == dialogs.Messages.empty());
  if (grid.MapBitmapLoaded) {
    Require(grid.BitmapGrid.Columns() == grid.GridWidth + 1);
    Require(grid.BitmapGrid.Rows() == grid.GridHeight + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in(data, size);
  const std::uint8_t kind = in.Byte() % 8;
  if (kind == 7)
    StretchedFile(in);
  else if (kind >= 5)
    RandomCells(in);
  else
    Construction(in);
  return 0;
}
