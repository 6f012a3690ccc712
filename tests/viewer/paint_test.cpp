#include "viewer/paint.h"

#include <gtest/gtest.h>

#include "terrain/map3d_file.h"
#include "support/demo_grid.h"
#include "support/temp_folder.h"
#include "viewer/depth_ramp.h"
#include "viewer/movement.h"
#include "viewer_session.h"

namespace terrak {
namespace {

using testing::ViewerSession;

std::size_t CountColour(const Picture& picture, Colour colour) {
  return static_cast<std::size_t>(std::count(picture.Pixels.begin(), picture.Pixels.end(), colour));
}

TEST(commonpaint, TheWeddingCakeFirstThenTheGridIsBuiltOnceAtTheFirstMeshPaint) {
  ViewerSession s;
  s.Model.MapObjects.resize(1);  // an extent for the presets: 0 .. 0 at height 0
  s.Viewer.CreateXyzFile = true;
  s.OpenOnMap(500, 700);
  EXPECT_TRUE(s.Viewer.ContourMode);
  EXPECT_FALSE(s.Viewer.CreateXyzFile);  // switched off whenever a window opens on a map
  // The window less the status bar, 11 curve steps at 1:10000, the depths reset by the contours.
  EXPECT_EQ(std::tuple(s.Viewer.RenderWidth, s.Viewer.RenderHeight, s.Viewer.FocalLength,
                       s.Viewer.CurveSteps),
            std::tuple(500, 680, 680, 11));
  EXPECT_EQ(std::tuple(s.Construction.Calls, s.Viewer.NearestDepth, s.Viewer.FarthestDepth),
            std::tuple(0, 1000000, 300000));
  EXPECT_FALSE(s.Viewer.Menu.Save3dMapEnabled || s.Viewer.Menu.RayTraceModeEnabled);

  ToggleWiremeshWeddingcake1Click(s.Window);
  EXPECT_EQ(s.Host.Calls, (std::vector<std::string>{"invalidate"}));
  s.Viewer.CreateXyzFile = true;  // set before the grid is built, so the build sees it
  FormPaint(s.Window, 160, 140);
  EXPECT_EQ(s.Construction.Calls, 1);
  EXPECT_TRUE(s.Construction.SawXyz);
  EXPECT_FALSE(s.Viewer.GridPending);
  EXPECT_TRUE(s.Viewer.Menu.Save3dMapEnabled && s.Viewer.Menu.RayTraceModeEnabled);
  EXPECT_FALSE(s.Viewer.Menu.ShowbitmapEnabled);  // no map bitmap was read
  FormPaint(s.Window, 160, 140);
  EXPECT_EQ(s.Construction.Calls, 1);

  // A construction that could not start leaves nothing to save.
  ViewerSession empty{GridState{}};
  empty.OpenOnMap();
  ToggleWiremeshWeddingcake1Click(empty.Window);
  FormPaint(empty.Window, 160, 140);
  EXPECT_FALSE(empty.Viewer.Menu.Save3dMapEnabled);
  EXPECT_TRUE(empty.Viewer.Menu.RayTraceModeEnabled);

  // Back to the contours and again to the mesh: no second construction.
  ToggleWiremeshWeddingcake1Click(s.Window);
  FormPaint(s.Window, 160, 140);
  ToggleWiremeshWeddingcake1Click(s.Window);
  FormPaint(s.Window, 160, 140);
  EXPECT_EQ(s.Construction.Calls, 1);
}

TEST(commonpaint, AThreeDMapFileDrawsItsMeshDrapedAndFollowsTheGroundWhenAsked) {
  testing::TempFolder folder;
  ViewerSession writer;
  writer.Grid = testing::FlatGrid(30, 30, 1500, 100, 200);
  writer.Grid.BitmapGrid.Resize(30, 30, 1);
  writer.Grid.BitmapPalette[4] = 40;  // entry 1: blue 40
  writer.Grid.MapBitmapLoaded = true;
  writer.Viewer.Viewpoints[kCurrentView] = {115, 180, 200, 0, -45, 0, 0, 0};
  Write3dMap(folder.File("m.o3d"), writer.Grid, writer.Viewer.Viewpoints);

  ViewerSession s;
  OpenViewerOn3dMap(s.Viewer, s.Grid, folder.File("m.o3d"));
  EXPECT_TRUE(s.Grid.ShowMapBitmap);
  FormActivate(s.Window);
  EXPECT_FALSE(s.Viewer.GridPending || s.Viewer.ContourMode);
  EXPECT_EQ(s.Viewer.Current().z, 200);
  FormPaint(s.Window, 200, 170);
  EXPECT_EQ(s.Construction.Calls, 0);
  EXPECT_FALSE(s.Viewer.Menu.WeddingCakeEnabled);
  EXPECT_TRUE(s.Viewer.Menu.ShowbitmapEnabled);
  EXPECT_GT(CountColour(s.Viewer.Composed, MakeColour(0, 0, 40)), 1000u);
  EXPECT_GT(CountColour(s.Viewer.Composed, kSkyColour), 100u);
  EXPECT_EQ(s.Viewer.NearestDepth, 0);  // the range of a 3D map starts at 0

  s.Viewer.OnGround = true;
  s.Viewer.Current().y = 215;
  FormPaint(s.Window, 200, 170);
  EXPECT_EQ(s.Viewer.Current().z, 152);  // the ground under (115, 215) plus 2 m
}

TEST(commonpaint, RayTraceModeTakesEffectAtTheNextPaintAndDrawsASolidTerrain) {
  ViewerSession s(testing::FlatGrid(200, 200, 1000, -100, -100));
  s.OpenOnMesh();
  s.Viewer.Current() = {0, 0, 110, 0, 0, 0, 0, 0};
  s.Host.Calls.clear();
  RayTraceMode1Click(s.Window);
  EXPECT_TRUE(s.Host.Calls.empty());
  FormPaint(s.Window, 160, 140);
  const Picture& p = s.Viewer.Composed;
  // Sky above the horizon, ground coloured by depth below it, nothing left white.
  EXPECT_EQ(std::tuple(p.At(80, 10), p.At(80, 119)), std::tuple(kSkyColour, s.Viewer.DepthRamp[0]));
  EXPECT_EQ(CountColour(p, kWhite), 0u);
  // Ray Trace Mode is kept for the next window.
  FormActivate(s.Window);
  EXPECT_TRUE(s.Viewer.RayTraceMode);
}

TEST(commonpaint, MeshDepthRangeKeepsWideningAndTheBuffersAreReusedAtTheSameSize) {
  ViewerSession s(testing::FlatGrid(60, 60, 1000, -30, -30));
  s.OpenOnMap();
  ToggleWiremeshWeddingcake1Click(s.Window);
  s.Viewer.Current() = {0, -60, 150, 0, -45, 0, 0, 0};
  FormPaint(s.Window, 160, 140);
  const std::int32_t* depth = s.Viewer.Buffers.DepthBuffer.Data();
  const Colour* picture = s.Viewer.Composed.Pixels.data();
  const std::int32_t nearest = s.Viewer.NearestDepth;
  s.Viewer.Current().y = -30;  // nearer: the range widens at its near end only
  FormPaint(s.Window, 160, 140);
  EXPECT_LT(s.Viewer.NearestDepth, nearest);
  EXPECT_EQ(s.Viewer.FarthestDepth, 300000);
  EXPECT_EQ(s.Viewer.Buffers.DepthBuffer.Data(), depth);
  EXPECT_EQ(s.Viewer.Composed.Pixels.data(), picture);
}

TEST(commonpaint, TheFastPaintGivesTheReferencePictureInEveryMode) {
  const GridState demo = testing::MakeDemoGrid(testing::MakeDemoMap({.Width = 120, .Depth = 90}), true);
  const TViewPoint views[] = {{0, 80, 260, 180, -30, 0, 0, 0},
                              {-20, -20, 140, 40, -5, 0, 0, 0},
                              // An eye 3 mm from a vertex: the fast path hands over.
                              {12, 8.997, 140.0, 0, 0, 0, 0, 0}};
  for (const TViewPoint& view : views)
    for (bool drape : {false, true})
      for (bool zbuffer : {false, true}) {
        Picture pictures[2];
        for (int k = 0; k < 2; ++k) {
          ViewerSession s(demo);
          s.Window.Paint = {k == 0, 2};
          s.Settings.GridInterval = 3;
          s.OpenOnMap();
          ToggleWiremeshWeddingcake1Click(s.Window);
          s.Grid = demo;
          s.Viewer.GridPending = false;
          s.Grid.ShowMapBitmap = drape;
          s.Viewer.ZBufferOn = zbuffer;
          s.Viewer.Current() = view;
          if (view.x == 12) s.Viewer.Current().z = std::abs(s.Grid.HeightGrid(72, 54)) / 10.0;
          FormPaint(s.Window, 160, 140);
          pictures[k] = s.Viewer.Composed;
        }
        EXPECT_TRUE(pictures[0] == pictures[1]) << view.x << " drape " << drape;
      }
}

TEST(commonpaint, ATerrainHeldAboveABaseLooksAsItDoesHeldAsItIs) {
  GridState asHeld = testing::MakeDemoGrid(testing::MakeDemoMap({.Width = 120, .Depth = 90}), true);
  // A hole of empty cells, whose rim the ray trace meets from both sides.
  for (std::int64_t i = 40; i < 60; ++i)
    for (std::int64_t j = 30; j < 45; ++j) asHeld.HeightGrid(i, j) = 0;
  // The same heights held above a base just below the lowest.
  std::int32_t lowest = 32767;
  for (std::int64_t i = 0; i < asHeld.HeightGrid.Columns(); ++i)
    for (std::int64_t j = 0; j < asHeld.HeightGrid.Rows(); ++j)
      if (const std::int16_t v = asHeld.HeightGrid(i, j); v != 0) lowest = std::min(lowest, std::abs(int{v}));
  GridState above = asHeld;
  above.HeightBase = lowest - 1;
  ASSERT_GT(above.HeightBase, 100);
  for (std::int64_t i = 0; i < above.HeightGrid.Columns(); ++i)
    for (std::int64_t j = 0; j < above.HeightGrid.Rows(); ++j) {
      std::int16_t& v = above.HeightGrid(i, j);
      v = static_cast<std::int16_t>(v > 0 ? v - above.HeightBase : v < 0 ? v + above.HeightBase : 0);
    }
  // Following the ground puts the eye 2 m above the true height.
  TViewPoint eye{asHeld.GridMinX + 30.0, asHeld.GridMinY + 20.0, 0, 0, 0, 0, 0, 0};
  ApplyGroundRule(eye, above);
  EXPECT_EQ(eye.z, (std::abs(asHeld.HeightGrid(30, 20)) + 20) / 10.0);
  EXPECT_GT(eye.z, 2.0);
  const TViewPoint views[] = {{0, 80, 260, 180, -30, 0, 0, 0}, {-20, -20, 140, 40, -5, 0, 0, 0}};
  for (const TViewPoint& view : views)
    for (int mode = 0; mode < 4; ++mode) {
      Picture pictures[2];
      for (int k = 0; k < 2; ++k) {
        ViewerSession s(k == 0 ? asHeld : above);
        s.Window.Paint = {mode == 0, 2};  // the reference paint once, the fast one else
        s.OpenOnMap();
        ToggleWiremeshWeddingcake1Click(s.Window);
        s.Grid = k == 0 ? asHeld : above;
        s.Viewer.GridPending = false;
        s.Grid.ShowMapBitmap = mode == 2;
        s.Viewer.RayTraceMode = mode == 3;
        s.Viewer.Current() = view;
        FormPaint(s.Window, 160, 140);
        pictures[k] = s.Viewer.Composed;
      }
      EXPECT_TRUE(pictures[0] == pictures[1]) << view.x << " mode " << mode;
    }
}

TEST(StatusPanels, RoundedValuesRightAlignedInSix) {
  EXPECT_EQ(StatusPanels({12.5, -3.7, 400, 225, -30.5, 0, 0, 0}),
            (std::array<std::string, 5>{"x     12", "y     -4", "z    400", "b    225", "i    -30"}));
}

}  // namespace
}  // namespace terrak
