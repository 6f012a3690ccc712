// The map's own drawing draped over the grid where no map bitmap lies beside the map.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "grid/build_grid.h"
#include "grid/grid_fixtures.h"
#include "grid/map_bitmap.h"
#include "grid/map_drape.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"
#include "mapbuild/demo_map.h"
#include "support/fake_image_stretcher.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

constexpr Colour kRed = MakeColour(255, 0, 0);
constexpr Colour kGreen = MakeColour(0, 160, 0);
constexpr Colour kBlue = MakeColour(0, 0, 255);

Colour PaletteColour(const GridState& grid, std::uint8_t entry) {
  const std::size_t at = 4u * entry;
  return MakeColour(grid.BitmapPalette[at + 2], grid.BitmapPalette[at + 1], grid.BitmapPalette[at]);
}

Colour CellColour(const GridState& grid, std::int64_t x, std::int64_t y) {
  return PaletteColour(grid, grid.BitmapGrid(x, y));
}

TEST(MapDrape, ThePictureCoversTheCellsPixelForPixel) {
  GridState grid = EmptyGrid(200, 150);
  grid.GridMinX = -100;
  grid.GridMinY = -75;
  // 1:10000: 100 micrometres of paper a metre.
  const PictureView view = DrapeViewOf(grid, 100);
  EXPECT_EQ(std::tuple(view.Width, view.Height), std::tuple(201, 151));
  EXPECT_DOUBLE_EQ(view.PixelsPerMicrometre, 0.01);
  // Pixel centres on the cells: cell (0, 150) is at (-100 m, 75 m), the picture's top left.
  EXPECT_DOUBLE_EQ(view.Left, -10050);
  EXPECT_DOUBLE_EQ(view.Top, 7550);
  // At most 16384 pixels across and as many down.
  EXPECT_EQ(std::tuple(DrapeTooLarge(EmptyGrid(16384, 10)), DrapeTooLarge(EmptyGrid(10, 16384))),
            std::tuple(true, true));
  EXPECT_FALSE(DrapeTooLarge(grid) || DrapeTooLarge(EmptyGrid(16383, 10)) ||
               DrapeTooLarge(EmptyGrid(10, 16383)));
}

TEST(MapDrape, FewColoursKeptExactlyRowsTurnedNorthUp) {
  GridState grid = EmptyGrid(2, 1);  // 3 x 2 cells
  // Rows from the top: the picture's first row is the grid's row 1.
  ReducePictureToBitmap({kRed, kGreen, kBlue, kWhite, kWhite, kRed}, grid);
  EXPECT_EQ(std::tuple(CellColour(grid, 0, 1), CellColour(grid, 1, 1), CellColour(grid, 2, 1),
                       CellColour(grid, 0, 0), CellColour(grid, 1, 0), CellColour(grid, 2, 0)),
            std::tuple(kRed, kGreen, kBlue, kWhite, kWhite, kRed));
  EXPECT_EQ(grid.BitmapGrid(0, 1), grid.BitmapGrid(2, 0));
  EXPECT_NE(grid.BitmapGrid(0, 1), grid.BitmapGrid(1, 0));
  // Colours within 8 levels of each other share the entry of their mean, halves rounded up.
  ReducePictureToBitmap({MakeColour(8, 16, 40), MakeColour(9, 17, 40), kBlue, kBlue, kBlue, kBlue}, grid);
  EXPECT_EQ(std::tuple(CellColour(grid, 0, 1), CellColour(grid, 1, 1)),
            std::tuple(MakeColour(9, 17, 40), MakeColour(9, 17, 40)));
  // A picture that stops part-way through a row fills what it has and reads no further.
  ReducePictureToBitmap({kRed, kGreen, kBlue, kWhite}, grid);
  EXPECT_EQ(std::tuple(CellColour(grid, 0, 0), grid.BitmapGrid(1, 0), grid.BitmapGrid(2, 0)),
            std::tuple(kWhite, std::uint8_t{0}, std::uint8_t{0}));
}

TEST(MapDrape, ManyColoursShareTheCommonOnesAndTakeTheNearestEntryNever255) {
  // 1000 pixels: two common colours kept exactly, 600 scattered ones seen once each, far more
  // than the palette holds, each taking an entry near it.
  GridState grid = EmptyGrid(99, 9);  // 100 x 10 cells
  const Colour grey = MakeColour(250, 250, 250);
  std::vector<Colour> pixels;
  for (int i = 0; i < 1000; ++i) {
    if (i % 5 == 0)
      pixels.push_back(kBlue);
    else if (i % 5 == 1)
      pixels.push_back(grey);
    else
      pixels.push_back(MakeColour(static_cast<std::uint8_t>(i * 37 % 256),
                                  static_cast<std::uint8_t>(i * 91 % 256),
                                  static_cast<std::uint8_t>(i * 13 % 256)));
  }
  ReducePictureToBitmap(pixels, grid);
  const auto distance = [](Colour a, Colour b) {
    const auto d = [](int x, int y) { return static_cast<double>((x - y) * (x - y)); };
    return std::sqrt(d(RedOf(a), RedOf(b)) + d(GreenOf(a), GreenOf(b)) + d(BlueOf(a), BlueOf(b)));
  };
  for (std::int64_t r = 0; r < 10; ++r)
    for (std::int64_t c = 0; c < 100; ++c) {
      const Colour want = pixels[static_cast<std::size_t>(r * 100 + c)];
      const std::uint8_t entry = grid.BitmapGrid(c, 9 - r);
      ASSERT_NE(entry, 255);
      const Colour got = PaletteColour(grid, entry);
      if (want == kBlue || want == grey) {
        EXPECT_EQ(got, want);
        continue;
      }
      // The entry nearest the colour's group of 8 levels a channel: within twice the group's
      // diagonal of the nearest entry to the colour itself.
      double nearest = 1e9;
      for (int e = 0; e < 255; ++e)
        nearest = std::min(nearest, distance(PaletteColour(grid, static_cast<std::uint8_t>(e)), want));
      EXPECT_LE(distance(got, want), nearest + 2 * std::sqrt(3.0) * 7) << r << ' ' << c;
    }
  EXPECT_EQ(PaletteColour(grid, 255), kBlack);
}

#ifdef TERRAK_IMAGE_MODULE_PATH
// A demo map of contours (OCAD 7, 1:10000) built into a grid with the drawing draped.
struct DrapedDemo {
  TempFolder Folder;
  MapModel Model;
  Settings Values;
  GridState Grid;
  GridBuildState Build;
  RecordingProgress Progress;
  ScriptedDialogs Dialogs;
  FakeImageStretcher Stretcher;
  mapdraw::WholeMapDrawing Drawing;
  std::unique_ptr<PicturePainter> Painter = MakeModulePicturePainter({TERRAK_IMAGE_MODULE_PATH});

  DrapedDemo() {
    Model.MapFileName = Folder.File("demo.ocd");
    WriteBytes(Model.MapFileName, DemoMapBuilder(MakeDemoMap({.Width = 300, .Depth = 200}), 7, 10000).Build());
    const SystemPaths paths = Folder.Paths();
    if (OpenMapFile(Model, paths.WorkingCopy, Dialogs) != OpenResult::Opened) return;
    Model.SelectedSymbols = {{101, kBlack}, {102, kBlack}};
    Model.SymbolsSelected = true;
    ReadObjects(Model, paths.WorkingCopy);
    UseSystemPaths(Build, paths);
    Build.CurveSteps = GridCurveSteps(Model.MapScale);
  }
  GridServices Services() {
    return {Progress, Dialogs, &Stretcher, &Drawing, Folder.Paths().WorkingCopy, Painter.get()};
  }
  bool Run() { return BuildGrid(Model, Values, Grid, Build, Services()); }
  // The contours painted into the grid, nothing interpolated, then the drape.
  bool RunContoursOnly() {
    if (!PrepareGrid(Model, Grid, Build, Services())) return false;
    PaintGrid(Model, Grid, Build, Services());
    FindMapBitmap(Model, Grid, Build, Services());
    return true;
  }
};

TEST(MapDrape, WithoutABitmapTheMapsDrawingLiesOnItsContours) {
  DrapedDemo d;
  ASSERT_TRUE(d.RunContoursOnly());
  EXPECT_TRUE(d.Build.MapDrawingDraped && d.Grid.MapBitmapLoaded && d.Grid.ShowMapBitmap);
  ASSERT_EQ(d.Grid.BitmapGrid.Columns(), d.Grid.HeightGrid.Columns());
  ASSERT_EQ(d.Grid.BitmapGrid.Rows(), d.Grid.HeightGrid.Rows());
  // The contours' cells take the brown of the lines; the cells between them mostly the paper's
  // white. A picture turned, mirrored or shifted by a cell misses the lines.
  std::int64_t onLines = 0, onLinesColoured = 0, between = 0, betweenColoured = 0;
  for (std::int64_t x = 0; x < d.Grid.HeightGrid.Columns(); ++x)
    for (std::int64_t y = 0; y < d.Grid.HeightGrid.Rows(); ++y) {
      const std::int16_t h = d.Grid.HeightGrid(x, y);
      const bool coloured = CellColour(d.Grid, x, y) != kWhite;
      if (h > 0) {
        ++onLines;
        onLinesColoured += coloured;
      } else {
        ++between;
        betweenColoured += coloured;
      }
    }
  ASSERT_GT(std::min(onLines, between), 1000);
  const double onShare = static_cast<double>(onLinesColoured) / static_cast<double>(onLines);
  const double betweenShare = static_cast<double>(betweenColoured) / static_cast<double>(between);
  EXPECT_GT(onShare, 0.8) << onLinesColoured << " of " << onLines;
  EXPECT_LT(betweenShare, 0.5) << betweenColoured << " of " << between;
  EXPECT_EQ(d.Build.Notes.DrawingSkipped, "");
}

TEST(MapDrape, ABitmapBesideTheMapWinsAndAnUndrawableMapIsSaid) {
  {
    DrapedDemo d;
    WriteBytes(MapBitmapFileNameFor(d.Model.MapFileName), {'B', 'M'});
    ASSERT_TRUE(d.Run());
    EXPECT_EQ(std::tuple(d.Stretcher.Calls, d.Grid.MapBitmapLoaded, d.Build.MapDrawingDraped), std::tuple(1, true, false));
  }
  DrapedDemo d;
  WriteBytes(d.Folder.Paths().WorkingCopy, {'n', 'o'});
  ASSERT_TRUE(d.Run());
  EXPECT_FALSE(d.Build.MapDrawingDraped || d.Grid.MapBitmapLoaded || d.Build.Notes.DrawingSkipped.empty());
}
#endif

}  // namespace
}  // namespace terrak
