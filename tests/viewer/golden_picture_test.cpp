// Pictures of a small demo terrain from a fixed viewpoint in every mode, held to checksums that
// were fixed after the pictures were looked at (they are in docs/). With TERRAK_GOLDEN_DIR set,
// the pictures are written there as PNG files to be looked at again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "support/demo_grid.h"
#include "support/temp_folder.h"
#include "viewer/depth_ramp.h"
#include "viewer/picture_output.h"
#include "viewer_fixtures.h"

namespace terrak {
namespace {

struct GoldenScene {
  testing::TempFolder Folder;
  testing::DemoMap Map;
  MapModel Model;
  GridState Grid;
  Settings Config;

  GoldenScene() {
    Map = testing::MakeDemoMap({.Width = 300, .Depth = 240});
    Model = testing::OpenDemoModel(Map, 10000, Folder.Path());
    Grid = testing::MakeDemoGrid(Map, true);
  }

  // One picture of 400 x 300 from the south-west, 60 m above the highest hill, looking down.
  Picture Paint(bool contours, bool drape, bool zbuffer, bool rays) {
    ViewerState viewer;
    viewer.Current() = {-190, -170, 320, 40, -28, 0, 0, 0};
    viewer.DepthRamp = BuildDepthRamp(Config.Front3dColour, Config.Back3dColour);
    viewer.NearestDepth = 1000000;
    viewer.FarthestDepth = 300000;
    viewer.ContourMode = contours;
    viewer.ZBufferOn = zbuffer;
    viewer.RayTraceMode = rays;
    viewer.RenderWidth = 400;
    viewer.RenderHeight = 300;
    GridState grid = Grid;
    grid.ShowMapBitmap = drape;
    testing::NoConstruction none;
    commonpaint({viewer, grid, Model, Config, none}, {false, 2});
    return viewer.Composed;
  }
};

TEST(GoldenPictures, EveryModeOfTheDemoTerrainGivesItsFixedPicture) {
  GoldenScene scene;
  const std::map<std::string, Picture> pictures = {
      {"wedding-cake", scene.Paint(true, false, true, false)},
      {"mesh", scene.Paint(false, false, true, false)},
      {"mesh-no-zbuffer", scene.Paint(false, false, false, false)},
      {"draped", scene.Paint(false, true, true, false)},
      {"raytrace", scene.Paint(false, false, true, true)},
      {"raytrace-draped", scene.Paint(false, true, true, true)},
  };
  if (const char* dir = std::getenv("TERRAK_GOLDEN_DIR"))
    for (const auto& [name, picture] : pictures)
      testing::WriteBytes(std::string(dir) + "/golden-" + name + ".png", EncodePng(picture));
  const std::map<std::string, std::uint64_t> expected = {
      {"draped", 15464248187184891055ull},         {"mesh", 9943857819102472916ull},
      {"mesh-no-zbuffer", 8163825548478032651ull}, {"raytrace", 14548774928866807395ull},
      {"raytrace-draped", 13902445533243200765ull},  {"wedding-cake", 5761610107218474629ull},
  };
  for (const auto& [name, picture] : pictures)
    EXPECT_EQ(testing::PictureChecksum(picture), expected.at(name)) << name;
}

}  // namespace
}  // namespace terrak
