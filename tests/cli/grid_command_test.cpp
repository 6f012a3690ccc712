// terrak-cli grid builds the grid from a map file as the viewer would, with progress lines and
// warnings on standard error.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "cli_run.h"
#include "terrain/grid_limits.h"
#include "terrain/map3d_file.h"
#include "mapbuild/demo_image.h"
#include "mapbuild/demo_map.h"
#include "mapbuild/ocad_builder.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

// A small demo map of 200 x 150 m with its image beside it.
std::string WriteDemoMap(const TempFolder& folder, bool withImage) {
  const DemoMap map = MakeDemoMap({.Width = 200, .Depth = 150});
  const std::string file = folder.File("demo.ocd");
  WriteBytes(file, DemoMapBuilder(map, 6, 10000).Build());
  if (withImage) WriteBytes(folder.File("demo.bmp"), EncodeBmp(DrawDemoMap(map, 10000)));
  return file;
}

// A version 6 map at 1:scale with one contour through each pair of points, the first 10 m high,
// each further one 5 m higher when climb is set.
std::string WriteContours(const TempFolder& folder, double scale,
                          const std::vector<std::pair<CodedPoint, CodedPoint>>& lines,
                          bool climb = false) {
  OcadMapBuilder b(6);
  b.Scale(scale);
  b.AddSymbol(101, 2, "Contour");
  std::int32_t height = 100;
  for (const auto& [from, to] : lines) {
    b.AddObject(Object6{.Symbol = 101, .Height = height, .Points = {from, to}});
    if (climb) height += 50;
  }
  const std::string file = folder.File("contours.ocd");
  WriteBytes(file, b.Build());
  return file;
}

// A point metres east and north of the origin at 1:scale, in 0.01 mm on paper.
CodedPoint Ground(double east, double north, double scale) {
  return CodedPoint::At(static_cast<std::int32_t>(east * 1e5 / scale),
                        static_cast<std::int32_t>(north * 1e5 / scale));
}

TEST(GridCommand, BuildsTheGridWithExportsThe3dMapAndTheBitmap) {
  TempFolder folder;
  const std::string map = WriteDemoMap(folder, true);
  const CliRun run = RunCli({"grid", map, "--symbols", "101,102", "--passes", "2", "--smoothing",
                             "30", "--xyz", folder.File("points.csv"), "--matrix",
                             folder.File("matrix.csv"), "--o3d", folder.File("demo.o3d")},
                            {.Terminal = true});
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
                                "Finished processing BMP file of map\n"));
  // The window's last line and the notes nobody could act on are not a terminal's business.
  EXPECT_FALSE(Contains(run.Err, "Closing Dialogue Box")) << run.Err;
  EXPECT_FALSE(Contains(run.Err, "cells left empty")) << run.Err;
  EXPECT_FALSE(Contains(run.Err, "stretched map bitmap")) << run.Err;
  // The demo map leaves some contours without heights: said once, as a warning.
  EXPECT_TRUE(Contains(run.Err, "terrak-cli: warning: selected line objects without a height, not painted: "));
  // The files' contents: GridExports and BuildGrid.ExportsAndTheMapBitmapBesideTheMap.
  EXPECT_FALSE(ReadText(folder.File("points.csv")).empty());
  EXPECT_FALSE(ReadText(folder.File("matrix.csv")).empty());

  GridState grid;
  ViewpointBlock views;
  ScriptedDialogs dialogs;
  ASSERT_TRUE(Read3dMap(folder.File("demo.o3d"), grid, views, dialogs));
  EXPECT_EQ(std::tie(grid.GridWidth, grid.GridHeight, grid.GridMinX), std::tuple(200, 150, -100));
  // The viewer's placement: the current view is the North preset.
  EXPECT_EQ(views[kCurrentView], views[kNorthView]);
  EXPECT_DOUBLE_EQ(views[kNorthView].bearing, 180.0);
}

TEST(GridCommand, TheReferenceGridAlongThePlainPathsIsTheUsualOne) {
  TempFolder folder;
  const std::string map = WriteDemoMap(folder, false);
  const auto grid = [&](const std::string& o3d, bool reference) {
    std::vector<std::string> args = {"grid", map, "--symbols", "101,102", "--passes", "2",
                                     "--smoothing", "30", "--contour-gap", "20", "--o3d", o3d};
    if (reference) args.push_back("--reference");
    return RunCli(args);
  };
  const CliRun usual = grid(folder.File("usual.o3d"), false);
  const CliRun reference = grid(folder.File("reference.o3d"), true);
  ASSERT_EQ(usual.Exit, 0) << usual.Err;
  ASSERT_EQ(reference.Exit, 0) << reference.Err;
  EXPECT_EQ(reference.Out, usual.Out);
  EXPECT_EQ(reference.Err, usual.Err);  // progress lines and warnings
  EXPECT_EQ(ReadText(folder.File("reference.o3d")), ReadText(folder.File("usual.o3d")));

  CliRun run = RunCli({"grid", map, "--symbols", "101"});
  ASSERT_EQ(run.Exit, 0) << run.Err;
  // No bitmap beside the map: its own drawing is draped.
  EXPECT_TRUE(Contains(run.Out, "; map bitmap none, the map's own drawing draped\n")) << run.Out;
  EXPECT_FALSE(Contains(run.Err, "BMP file of map found"));
  run = RunCli({"grid", map, "--symbols", "101", "--no-drape"});
  EXPECT_TRUE(Contains(run.Out, "; map bitmap none\n")) << run.Out;
  EXPECT_FALSE(Contains(run.Err, "Drawing the map over the grid")) << run.Err;

  // A symbol the map does not have: the ones nearest its number, no grid.
  run = RunCli({"grid", map, "--symbols", "101,555"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(run.Err, "terrak-cli: the map has no symbol 555; the nearest it has: 79.9 Map frame, "
                     "99.0 Map title, 10.2 Index contour\n");
  EXPECT_TRUE(run.Out.empty());

  // Out-of-range options are used as far as they go, and said so.
  run = RunCli({"grid", map, "--symbols", "101", "--smoothing", "250", "--contour-gap", "0"});
  EXPECT_EQ(run.Exit, 0);
  EXPECT_TRUE(Contains(run.Err, "terrak-cli: warning: the smoothing factor was outside 0..100 "));
}

TEST(GridCommand, TheLastProgressLineIsEndedWhenNoWarningFollows) {
  TempFolder folder;
  // The lines themselves, on a terminal or not: ErrorOutput. The run ends its last line too,
  // when no warning follows it.
  std::vector<std::pair<CodedPoint, CodedPoint>> slope;
  for (int north = 0; north <= 40; north += 10)
    slope.push_back({Ground(0, north, 10000), Ground(60, north, 10000)});
  const CliRun quiet = RunCli({"grid", WriteContours(folder, 10000, slope, true), "--symbols", "101"});
  ASSERT_EQ(quiet.Exit, 0) << quiet.Err;
  EXPECT_FALSE(Contains(quiet.Err, "warning")) << quiet.Err;
  const std::string ending =
      "Looking for bmp file of map in same directory\nDrawing the map over the grid\n";
  EXPECT_EQ(quiet.Err.substr(quiet.Err.size() - std::min(quiet.Err.size(), ending.size())), ending);
}

TEST(GridCommand, EveryFailureEndsWithItsMessageExitOneAndNoScratchLeft) {
  TempFolder folder, scratch;
  const CliPlace place{.TempFolder = scratch.Path()};
  // 8800 x 8800 metres: more cells than a grid, and a 3D map file, hold. Refused before
  // anything is built.
  const std::string big = WriteContours(
      folder, 10000, {{Ground(-4400, -4400, 10000), Ground(-4300, -4400, 10000)},
                      {Ground(4400, 4400, 10000), Ground(4300, 4400, 10000)}});
  CliRun run = RunCli({"grid", big, "--symbols", "101", "--o3d", folder.File("big.o3d")}, place);
  EXPECT_EQ(run.Exit, 1);
  EXPECT_TRUE(run.Out.empty());
  EXPECT_TRUE(Contains(run.Err, GridTooLargeMessage(8800, 8800, kMaxGridCells) + "\n"));
  EXPECT_TRUE(Contains(run.Err, "it holds at most 67108864 cells (8191 x 8191 metres) and 32766 "
                                "metres a side"));
  EXPECT_FALSE(Contains(run.Err, "Initialising array..."));
  EXPECT_FALSE(std::filesystem::exists(folder.File("big.o3d")));
  EXPECT_EQ(ScratchFolders(scratch.Path()).size(), 0u);

  // Far from the origin at 1:100000: the grid is built, but a 3D map file cannot hold where it
  // lies. The failure comes from below the command and is of no type the command knows.
  const std::string far = WriteContours(
      folder, 100000, {{Ground(40000, 0, 100000), Ground(40100, 50, 100000)}});
  run = RunCli({"grid", far, "--symbols", "101", "--o3d", folder.File("far.o3d")}, place);
  EXPECT_EQ(run.Exit, 1);
  EXPECT_TRUE(Contains(run.Err, "\nterrak-cli: The grid's origin lies outside the range a 3D "
                                "map file holds\n"))
      << run.Err;
  EXPECT_TRUE(run.Out.empty());
  EXPECT_EQ(ScratchFolders(scratch.Path()).size(), 0u);

  // A file error of an export, a map that is not one, and a run that succeeds.
  const std::string map = WriteDemoMap(folder, false);
  run = RunCli({"grid", map, "--symbols", "101", "--matrix", folder.File("no/m.csv")}, place);
  EXPECT_EQ(run.Exit, 1);
  EXPECT_TRUE(Contains(run.Err, "\nCannot use file \"" + folder.File("no/m.csv")));
  EXPECT_EQ(ScratchFolders(scratch.Path()).size(), 0u);
  WriteText(folder.File("text.ocd"), "not a map");
  EXPECT_EQ(RunCli({"grid", folder.File("text.ocd"), "--symbols", "101"}, place).Exit, 1);
  EXPECT_EQ(ScratchFolders(scratch.Path()).size(), 0u);
  EXPECT_EQ(RunCli({"grid", map, "--symbols", "101"}, place).Exit, 0);
  EXPECT_EQ(ScratchFolders(scratch.Path()).size(), 0u);
  // No folder at all where the run cannot make one: a clear message.
  run = RunCli({"grid", map, "--symbols", "101"}, {.TempFolder = folder.File("none")});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_TRUE(Contains(run.Err, "cannot make a scratch folder")) << run.Err;
}

}  // namespace
}  // namespace terrak
