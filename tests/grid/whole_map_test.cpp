// A whole small map, written as an OCAD file by the test builder, opened and read as the program
// does, built into a grid and compared with the grid reviewed by hand.
#include <gtest/gtest.h>

#include <sstream>

#include "grid/build_grid.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"
#include "mapbuild/ocad_builder.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

// The grid as text: rows from the north, each cell's value in decimetres in six characters.
std::string GridText(const GridState& grid) {
  std::ostringstream text;
  for (std::int64_t y = grid.HeightGrid.Rows() - 1; y >= 0; --y) {
    for (std::int64_t x = 0; x < grid.HeightGrid.Columns(); ++x) {
      text.width(6);
      text << grid.HeightGrid(x, y);
    }
    text << '\n';
  }
  return text.str();
}

TEST(WholeMap, SmallBuiltMapGivesTheReviewedGrid) {
  TempFolder folder;
  // Four model units to the metre. A ring at 10 m, a ring at 15 m inside it whose top side is a
  // curve, a 20 m line inside that, a contour still without height across the rings, and an
  // area of another symbol that widens the map.
  OcadMapBuilder b(5);
  b.Scale(56693.0 / 4.0);
  b.AddSymbol(101, 2, "Contour");
  b.AddSymbol(401, 3, "Open land");
  b.AddObject(Object5{.Symbol = 101, .Height = 100,
                      .Pairs = {{0, 0}, {64, 0}, {64, 48}, {0, 48}, {0, 0}}});
  b.AddObject(Object5{.Symbol = 101, .Height = 150,
                      .Pairs = {{16, 12}, {48, 12}, {48, 36}, {-32766, -32766}, {40, 44},
                                {24, 44}, {16, 36}, {16, 12}}});
  b.AddObject(Object5{.Symbol = 101, .Height = 200, .Pairs = {{28, 24}, {36, 24}}});
  b.AddObject(Object5{.Symbol = 101, .Height = 0, .Pairs = {{0, 24}, {64, 24}}});
  b.AddObject(Object5{.Symbol = 401, .ObjectType = 3, .Pairs = {{-40, -40}, {100, 80}}});
  WriteBytes(folder.File("small.ocd"), b.Build());

  MapModel model;
  model.MapFileName = folder.File("small.ocd");
  ScriptedDialogs dialogs;
  const SystemPaths paths = folder.Paths();
  ASSERT_EQ(OpenMapFile(model, paths.WorkingCopy, dialogs), OpenResult::Opened);
  model.SelectedSymbols = {{101, kBlack}};
  model.SymbolsSelected = true;
  ReadObjects(model, paths.WorkingCopy);
  ASSERT_EQ(model.MapObjects.size(), 4u);

  Settings settings;
  GridState grid;
  GridBuildState build;
  UseSystemPaths(build, paths);
  build.CurveSteps = GridCurveSteps(model.MapScale);
  RecordingProgress progress;
  ASSERT_TRUE(BuildGrid(model, settings, grid, build, {progress, dialogs, nullptr}));
  EXPECT_EQ(std::tuple(grid.MapWidth, build.BitmapColumnOffset, build.Notes.UnheightedObjects), std::tuple(35, 10, 1));
  // Reviewed: the 10 m ring is the grid's border; the 15 m ring with its curved top reaches
  // row 10 (10.5 m, halves to even); the 20 m line lies on row 6 from column 7 to 9, and the
  // cells around it climb to it. The sealed outline (136, 114, 122 on the left; 133 down to 108
  // on the right) runs inside the ring. The ring's right column W lies beyond the row scans'
  // limit W - 1, so the cells east of the outline see no contour that way and stay empty; the
  // cells under the ring's top row were interpolated, but the excess removal starts at row
  // H - 1 and clears them down to the first positive cell.
  EXPECT_EQ(GridText(grid),
            "   100   100   100   100   100   100   100   100   100   100   100   100   100   100   100   100   100\n"
            "   100     0     0     0     0     0     0     0     0     0     0     0     0     0     0     0   100\n"
            "   100     0     0     0     0   150   150   150   150   150   150   150     0     0     0     0   100\n"
            "   100     0     0     0   150   150   150   150   162   150   150   150   150     0     0     0   100\n"
            "   100     0     0   136   150   167   175   175   175   175   175   167   150     0     0     0   100\n"
            "   100   114   122   136   150   154   183   200   200   200   183   179   150     0     0     0   100\n"
            "   100   112   125   138   150   167   183   200   200   200   183   167   150     0     0     0   100\n"
            "   100   112   125   138   150   156   175   200   200   200   175   175   150     0     0     0   100\n"
            "   100   112   125   138   150   150   150   150   150   150   150   150   150   133     0     0   100\n"
            "   100   112   125   138   150   150   150   150   150   150   150   150   150   125     0     0   100\n"
            "   100   112   117   125   150   150   150   150   150   150   150   150   150   118     0     0   100\n"
            "   100   100   100   100   100   100   100   100   100   100   100   100   100   109   108     0   100\n"
            "   100   100   100   100   100   100   100   100   100   100   100   100   100   100   100   100   100\n");
}

}  // namespace
}  // namespace terrak
