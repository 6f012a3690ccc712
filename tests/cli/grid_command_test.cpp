// terrak-cli grid builds the grid from a map file as the viewer would, with progress lines and
// warnings on standard error.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli_run.h"
#include "mapfile/map3d_file.h"
#include "support/demo_image.h"
#include "support/demo_map.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A small demo map of 200 x 150 m with its image beside it.
std::string WriteDemoMap(const TempFolder& folder, bool withImage) {
  DemoMapOptions options;
  options.Width = 200;
  options.Depth = 150;
  const DemoMap map = MakeDemoMap(options);
  const std::string file = folder.File("demo.ocd");
  WriteBytes(file, DemoMapBuilder(map, 6, 10000).Build());
  if (withImage) WriteBytes(folder.File("demo.bmp"), EncodeBmp(DrawDemoMap(map, 10000)));
  return file;
}

TEST(GridCommand, BuildsTheGridWithExportsThe3dMapAndTheBitmap) {
  TempFolder folder;
  const std::string map = WriteDemoMap(folder, true);
  const CliRun run = RunCli({"grid", map, "--symbols", "101,102", "--passes", "2", "--smoothing",
                             "30", "--xyz", folder.File("points.csv"), "--matrix",
                             folder.File("matrix.csv"), "--o3d", folder.File("demo.o3d")});
  ASSERT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.Out, "grid 200 x 150 metres from -100 -75; map bitmap " + folder.File("demo.bmp") + "\n");
  // Every progress line in order; the column counter writes over itself.
  EXPECT_EQ(run.Err.rfind("Getting Extent of map...\nselected portion of map is 200 metres wide\n", 0), 0u);
  EXPECT_TRUE(Contains(run.Err, "\nworking through map...\ncolumn 1\rcolumn 2\r"));
  // The line after the last column counter writes over it, as in the window.
  EXPECT_TRUE(Contains(run.Err, "column 199\rRemoving Excess...\nSmoothing the Grid...\n"
                                "Smoothing the Grid...passing through map\n"
                                "Smoothing the Grid...passing through map\nMatrix Completed\n"));
  EXPECT_TRUE(Contains(run.Err, "Writing points file to " + folder.File("points.csv") + "\n"));
  EXPECT_TRUE(Contains(run.Err, "BMP file of map found, reading it into array\n"
                                "Finished processing BMP file of map\nClosing Dialogue Box\n"));
  // The demo map leaves some contours without heights: said once, as a warning.
  EXPECT_TRUE(Contains(run.Err, "terrak-cli: warning: "));
  EXPECT_TRUE(Contains(run.Err, "terrak-cli: warning: selected line objects without a height, not painted: "));
  EXPECT_FALSE(ReadText(folder.File("points.csv")).empty());
  const std::string matrix = ReadText(folder.File("matrix.csv"));
  const std::string firstRow = matrix.substr(0, matrix.find("end\r\n"));
  EXPECT_EQ(std::count(firstRow.begin(), firstRow.end(), ','), 200);

  GridState grid;
  ViewpointBlock views;
  ScriptedDialogs dialogs;
  ASSERT_TRUE(Read3dMap(folder.File("demo.o3d"), grid, views, dialogs));
  EXPECT_EQ(grid.GridWidth, 200);
  EXPECT_EQ(grid.GridHeight, 150);
  EXPECT_EQ(grid.GridMinX, -100);
  // The viewer's placement: the current view is the North preset.
  EXPECT_EQ(views[kCurrentView], views[kNorthView]);
  EXPECT_DOUBLE_EQ(views[kNorthView].bearing, 180.0);
  EXPECT_EQ(views[kNorthView].centreX, 0);
  std::int64_t painted = 0;
  for (std::int64_t x = 0; x < grid.HeightGrid.Columns(); ++x)
    for (std::int64_t y = 0; y < grid.HeightGrid.Rows(); ++y) painted += grid.HeightGrid(x, y) > 0;
  EXPECT_GT(painted, 200 * 150 / 2);
}

TEST(GridCommand, WithoutImageOrSelectionOrValidArguments) {
  TempFolder folder;
  const std::string map = WriteDemoMap(folder, false);
  CliRun run = RunCli({"grid", map, "--symbols", "101"});
  ASSERT_EQ(run.Exit, 0) << run.Err;
  EXPECT_TRUE(Contains(run.Out, "; map bitmap none\n"));
  EXPECT_FALSE(Contains(run.Err, "BMP file of map found"));

  // No object of the symbols: the program's message, no grid.
  run = RunCli({"grid", map, "--symbols", "555"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_TRUE(Contains(run.Err, "There are no objects of the selected symbols to build a grid from\n"));
  EXPECT_TRUE(run.Out.empty());

  // Out-of-range options are used as far as they go, and said so.
  run = RunCli({"grid", map, "--symbols", "101", "--smoothing", "250", "--contour-gap", "0"});
  EXPECT_EQ(run.Exit, 0);
  EXPECT_TRUE(Contains(run.Err, "terrak-cli: warning: the smoothing factor was outside 0..100 "));

  EXPECT_EQ(RunCli({"grid", map}).Exit, 2);
  EXPECT_EQ(RunCli({"grid", "--symbols", "101"}).Exit, 2);
  EXPECT_EQ(RunCli({"grid", map, "--symbols", "1x1"}).Exit, 2);
  EXPECT_EQ(RunCli({"grid", map, "--symbols", "101", "--passes", "two"}).Exit, 2);
  run = RunCli({"grid", map, "--symbols", "101", "--bogus"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_TRUE(Contains(run.Err, "usage: terrak-cli grid MAP.ocd --symbols N,N,..."));
  run = RunCli({"grid", folder.File("missing.ocd"), "--symbols", "101"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_TRUE(Contains(run.Err, "OCAD file does not exist"));
  // An export that cannot be written ends the run with the file's name.
  run = RunCli({"grid", map, "--symbols", "101", "--xyz", folder.File("no/such/points.csv")});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_TRUE(Contains(run.Err, folder.File("no/such/points.csv")));
}

}  // namespace
}  // namespace terrak
