#include <gtest/gtest.h>

#include <tuple>

#include "grid/build_grid.h"
#include "grid/grid_fixtures.h"
#include "mainwindow/model_objects.h"
#include "viewer/viewer_construction.h"
#include "platform/file_error.h"
#include "support/fake_image_stretcher.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using testing::AddObject;
using testing::FakeImageStretcher;
using testing::RecordingProgress;
using testing::ScriptedDialogs;
using testing::TempFolder;

// Four model units to the metre: the scale 1:14173.25.
constexpr double kScale = 56693.0 / 4.0;

// A selection 50 by 54 units (12.5 by 13.5 metres) inside a map of 400 by 400 units.
MapModel SmallMap(const std::string& fileName) {
  MapModel model{.MapFileName = fileName, .MapScale = kScale, .SelectedSymbols = {{101, kBlack}},
                 .MapMinX = 0, .MapMinY = 0, .MapMaxX = 400, .MapMaxY = 400};
  AddObject(model, 101, 2, {{100, 200}, {150, 200}, {150, 254}, {100, 254}, {100, 200}}, 1000);
  AddObject(model, 101, 2, {{112, 212}, {138, 212}, {138, 242}, {112, 242}, {112, 212}}, 1050);
  return model;
}

struct GridRun {
  TempFolder folder;
  MapModel model;
  Settings settings;
  GridState grid;
  GridBuildState build;
  RecordingProgress progress;
  ScriptedDialogs dialogs;
  FakeImageStretcher stretcher;
  GridRun() : model(SmallMap(folder.File("forest.ocd"))) {
    UseSystemPaths(build, folder.Paths());
    build.CurveSteps = GridCurveSteps(model.MapScale);
  }
  bool Build() { return BuildGrid(model, settings, grid, build, {progress, dialogs, &stretcher}); }
};

const std::vector<std::string> kUpToSmoothing = {
    "Getting Extent of map...", "selected portion of map is 12 metres wide",
    "selected portion of map is 14 metres high", "overall map is 100 metres wide",
    "overall map is 100 metres high", "Initialising array...", "Painting Contours into array...",
    "Shrinkwrapping the map...", "Wrapping the map...", "Finished wrapping the map...",
    "Shrinking the wrapper...", "Sealing the Shrinkwrap...", "Finished shrinkwrapping the map...",
    "Interpolating Heights...", "working through map...", "Removing Excess...",
    "Smoothing the Grid..."};

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(BuildGrid, StagesScalingAndProgressLinesInTheirOrder) {
  GridRun run;
  ASSERT_TRUE(run.Build());
  EXPECT_EQ(run.progress.StageLines(),
            Joined(kUpToSmoothing, {"Smoothing the Grid...passing through map", "Matrix Completed",
                                    "Looking for bmp file of map in same directory",
                                    "Closing Dialogue Box"}));
  EXPECT_EQ(std::tuple(run.progress.Opens, run.progress.Closes, run.dialogs.Beeps, run.dialogs.Messages.size()),
            std::tuple(1, 1, 1, 0u));
  // 12.5 m wide gives 12 and 13.5 m high gives 14 (halves to even); the origin and the
  // bitmap offsets are rounded from model units; the far edge is in metres, as the origin.
  const GridState& g = run.grid;
  EXPECT_EQ(std::tie(g.GridWidth, g.GridHeight, g.GridMinX, g.GridMinY, g.GridMaxX, g.GridMaxY, g.MapWidth),
            std::tuple(12, 14, 25, 50, 37, 64, 100));
  EXPECT_DOUBLE_EQ(g.GridUnitsPerMetre, 4.0);
  // Round(146 / 4) and Round(100 / 4).
  EXPECT_EQ(std::tie(run.build.BitmapRowOffset, run.build.BitmapColumnOffset), std::tuple(36, 25));
  EXPECT_EQ(std::tuple(g.HeightGrid.Columns(), g.HeightGrid.Rows(), g.BitmapGrid.Columns()),
            std::tuple(13, 15, 13));
  EXPECT_FALSE(g.MapBitmapLoaded);
  // The outer contour, the inner one and the interpolated ring between them.
  EXPECT_EQ(g.HeightGrid(0, 0), 1000);
  // Inside the inner ring: a hilltop, up to a step above.
  EXPECT_TRUE(g.HeightGrid(6, 7) > 1050 && g.HeightGrid(6, 7) <= 1100) << g.HeightGrid(6, 7);
  EXPECT_TRUE(g.HeightGrid(1, 7) > 1000 && g.HeightGrid(1, 7) < 1050) << g.HeightGrid(1, 7);
  EXPECT_EQ(run.stretcher.Calls, 0);

  // A second run with nothing changed reports the same and builds the same.
  const GridState first = run.grid;
  const std::vector<std::string> firstLines = run.progress.StageLines();
  run.progress = RecordingProgress();
  ASSERT_TRUE(run.Build());
  EXPECT_EQ(run.progress.StageLines(), firstLines);
  EXPECT_EQ(run.grid.HeightGrid, first.HeightGrid);

  // Without smoothing passes "Matrix Completed" follows at once.
  run.settings.SmoothingPasses = 0;
  run.progress = RecordingProgress();
  ASSERT_TRUE(run.Build());
  EXPECT_EQ(run.progress.StageLines(),
            Joined(kUpToSmoothing, {"Matrix Completed", "Looking for bmp file of map in same directory",
                                    "Closing Dialogue Box"}));
  EXPECT_LT(run.grid.HeightGrid(1, 7), 0);  // interpolated cells keep their sign
}

TEST(BuildGrid, ExportsAndTheMapBitmapBesideTheMap) {
  GridRun run;
  run.build.CreateXyzFile = true;
  run.build.CreateMatrixFile = true;
  testing::WriteBytes(run.folder.File("forest.bmp"), {1, 2, 3});
  ASSERT_TRUE(run.Build());
  const std::string points = run.folder.File("contoursxyz.csv");
  const std::string matrix = run.folder.File("mapmatrix.csv");
  const auto lines = run.progress.StageLines();
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 7, lines.begin() + 9),
            (std::vector<std::string>{"Writing points file to " + points,
                                      "Finished Writing points file to " + points}));
  EXPECT_EQ(std::vector<std::string>(lines.end() - 6, lines.end()),
            (std::vector<std::string>{"Writing Matrix to " + matrix,
                                      "Finished Writing Matrix to " + matrix,
                                      "Looking for bmp file of map in same directory",
                                      "BMP file of map found, reading it into array",
                                      "Finished processing BMP file of map",
                                      "Closing Dialogue Box"}));
  EXPECT_EQ(testing::ReadText(points).substr(0, 9), "0,0,100\r\n");
  EXPECT_EQ(testing::ReadText(matrix).find("end\r\n"), 12u * 6u);
  EXPECT_EQ(std::tie(run.stretcher.LastFileName, run.stretcher.LastWidth, run.stretcher.LastHeight),
            std::tuple(run.folder.File("forest.bmp"), 100, 100));
  EXPECT_TRUE(run.grid.MapBitmapLoaded && run.grid.ShowMapBitmap);
  EXPECT_TRUE(testing::ReadBytes(run.folder.File("stretched.bmp")).size() > 1078u);

  // Without an image loader the bitmap is passed over and noted.
  run.grid.MapBitmapLoaded = false;
  ASSERT_TRUE(BuildGrid(run.model, run.settings, run.grid, run.build, {run.progress, run.dialogs, nullptr}));
  EXPECT_FALSE(run.grid.MapBitmapLoaded || run.build.Notes.BitmapSkipped.empty());
}

TEST(BuildGrid, ConstructionsThatCannotStartAreRefusedWithAMessageAndAFileErrorEndsTheRun) {
  GridRun run;
  run.model.MapObjects.clear();
  run.model.ObjectCoords.clear();
  EXPECT_FALSE(run.Build());
  EXPECT_EQ(run.dialogs.MessageTexts(), (std::vector<std::string>{kNoObjectsMessage}));
  EXPECT_EQ(std::tuple(run.grid.HeightGrid.Empty(), run.progress.Closes, run.dialogs.Beeps), std::tuple(true, 1, 0));

  GridRun line;
  line.model.MapObjects.resize(1);
  line.model.ObjectCoords.resize(1);
  line.model.MapObjects[0].MaxX = line.model.MapObjects[0].MinX;  // nothing wide
  EXPECT_FALSE(line.Build());
  GridRun scale;
  scale.model.MapScale = 0;
  EXPECT_FALSE(scale.Build());
  // The grid of 12 x 14 metres has 13 x 15 cells: allowed at a limit of 195 cells, not at 194.
  GridRun large;
  large.build.MaxGridCells = 13 * 15 - 1;
  EXPECT_FALSE(large.Build());
  GridRun atLimit;
  atLimit.build.MaxGridCells = 13 * 15;
  EXPECT_TRUE(atLimit.Build());
  EXPECT_EQ(line.dialogs.MessageTexts(), (std::vector<std::string>{kGridTooSmallMessage}));
  EXPECT_EQ(scale.dialogs.MessageTexts(), (std::vector<std::string>{kNoScaleMessage}));
  // The widest square selection within 194 cells is 12 x 12 metres: a grid of 13 x 13 cells.
  EXPECT_EQ(large.dialogs.MessageTexts(),
            (std::vector<std::string>{"The selected objects cover 12 x 14 metres, too large for a grid "
                                      "of one cell per metre: it holds at most 194 cells (12 x 12 "
                                      "metres) and 32766 metres a side"}));

  // A file error ends the run and closes the progress window.
  GridRun unwritable;
  unwritable.build.CreateXyzFile = true;
  unwritable.build.PointsFileName = unwritable.folder.File("missing/points.csv");
  EXPECT_THROW(unwritable.Build(), FileError);
  EXPECT_EQ(std::tie(unwritable.progress.Closes, unwritable.progress.IsOpen,
                     unwritable.dialogs.Beeps),
            std::tuple(1, false, 0));
}

TEST(BuildGrid, AsTheViewerRunsItWithItsCurveStepsAndFileOptions) {
  GridRun run;
  const SystemPaths paths = run.folder.Paths();
  ViewerGridConstruction construction(run.model, run.settings, paths,
                                      {run.progress, run.dialogs, &run.stretcher});
  ViewerState viewer;
  viewer.CurveSteps = 3;
  viewer.CreateMatrixFile = true;
  construction.Build(run.grid, viewer);
  EXPECT_EQ(construction.LastBuild().MatrixFileName, paths.MatrixExportFile());
  EXPECT_TRUE(testing::ReadText(paths.MatrixExportFile()).size() > 0);
  EXPECT_EQ(std::tuple(run.grid.GridWidth, construction.LastBuild().CreateXyzFile, run.progress.Closes),
            std::tuple(12, false, 1));
}

}  // namespace
}  // namespace terrak
