// terrak-cli render draws the viewer's picture without a window and writes it to a file.
#include <gtest/gtest.h>

#include "cli_run.h"
#include "common/bytes.h"
#include "terrain/map3d_file.h"
#include "platform/file_stream.h"
#include "support/demo_grid.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

TEST(RenderCommand, BuildsTheGridOfAMapForTheMeshAndTheRayTraceWithoutTouchingIt) {
  TempFolder folder;
  const std::string map = TERRAK_SOURCE_DIR "/samples/demo6.ocd";
  const std::vector<std::uint8_t> before = ReadBytes(map);
  const auto render = [&](std::vector<std::string> extra, const std::string& out) {
    return RunCliOk({"render", map, "--symbols", "101,102", "--size", "240x180", "--out",
                     folder.File(out)}, extra);
  };
  const CliRun mesh = render({}, "mesh.bmp");
  EXPECT_NE(mesh.Err.find("Interpolating Heights..."), std::string::npos);
  EXPECT_NE(mesh.Err.find("BMP file of map found, reading it into array"), std::string::npos);
  render({"--raytrace"}, "rays.bmp");
  render({"--contours"}, "cake.bmp");
  const std::vector<std::uint8_t> meshPicture = ReadBytes(folder.File("mesh.bmp"));
  EXPECT_EQ(meshPicture.size(), 54u + 240 * 180 * 3);
  EXPECT_NE(meshPicture, ReadBytes(folder.File("rays.bmp")));
  EXPECT_NE(meshPicture, ReadBytes(folder.File("cake.bmp")));
  EXPECT_EQ(ReadBytes(map), before);
  // Without --size the picture is the viewer's 1200 x 900, the contours drawn in red.
  const std::string big = folder.File("big.bmp");
  ASSERT_EQ(RunCli({"render", map, "--symbols", "101,102", "--contours", "--out", big}).Exit, 0);
  const std::vector<std::uint8_t> bmp = ReadBytes(big);
  ASSERT_EQ(bmp.size(), 54u + 1200 * 900 * 3);
  std::size_t red = 0;
  for (std::size_t i = 54; i + 2 < bmp.size(); i += 3) red += bmp[i] < 200 && bmp[i + 2] > 200;
  EXPECT_GT(red, 2000u);
}

TEST(RenderCommand, DrawsA3dMapFileInEveryModeFromAnyView) {
  TempFolder folder;
  const GridState grid = MakeDemoGrid(MakeDemoMap({.Width = 200, .Depth = 160}), true);
  ViewpointBlock views{};
  views[kNorthView] = {0, 150, 300, 180, -40, 0, 0, 0};
  views[kSouthWestView] = {-150, -130, 250, 45, -30, 0, 0, 0};
  Write3dMap(folder.File("demo.o3d"), grid, views);

  const auto render = [&](std::vector<std::string> extra, const std::string& out) {
    RunCliOk({"render", folder.File("demo.o3d"), "--out", folder.File(out), "--size", "160x120"},
             extra);
    return ReadBytes(folder.File(out));
  };
  const auto draped = render({}, "north.bmp");
  ASSERT_EQ(draped.size(), 54u + 160 * 120 * 3);
  EXPECT_EQ(GetI32(&draped[18]), 160);
  EXPECT_NE(render({"--no-bitmap"}, "plain.bmp"), draped);
  EXPECT_NE(render({"--view", "SW"}, "sw.bmp"), draped);
  EXPECT_EQ(render({"--view", "0,150,300,180,-40"}, "same.bmp"), draped);
  EXPECT_NE(render({"--raytrace"}, "rays.bmp"), draped);
  EXPECT_NE(render({"--no-zbuffer"}, "all.bmp"), draped);
  const auto png = render({"--raytrace"}, "rays.png");
  EXPECT_EQ(std::vector<std::uint8_t>(png.begin() + 1, png.begin() + 4),
            (std::vector<std::uint8_t>{'P', 'N', 'G'}));

  WriteBytes(folder.File("bad.o3d"), std::vector<std::uint8_t>(600, 7));
  const CliRun bad = RunCli({"render", folder.File("bad.o3d"), "--out", folder.File("b.bmp")});
  EXPECT_EQ(bad.Exit, 1);
  EXPECT_NE(bad.Err.find("Not a valid 3d Map File"), std::string::npos);
  EXPECT_FALSE(FileExists(folder.File("b.bmp")));
}

}  // namespace
}  // namespace terrak
