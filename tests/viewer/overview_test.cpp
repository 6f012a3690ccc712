#include "viewer/overview.h"

#include <gtest/gtest.h>

#include "support/recording_canvas.h"
#include "viewer_fixtures.h"

namespace terrak {
namespace {

using testing::RecordingCanvas;

TEST(Createmap, HalfSizeNorthUpFromTheMapBitmapOrInGreysWithoutOne) {
  GridState grid = testing::FlatGrid(801, 600, 100);
  OverviewState overview;
  Createmap(overview, grid);
  EXPECT_EQ(overview.OverviewBitmap.Width, 400);
  EXPECT_EQ(overview.OverviewBitmap.Height, 300);

  grid = testing::FlatGrid(8, 6, 100);
  grid.BitmapGrid.Resize(8, 6, 0);
  grid.BitmapGrid(0, 5) = 1;  // north-west corner
  grid.BitmapGrid(6, 1) = 2;  // near the south-east corner
  grid.BitmapPalette[4 + 2] = 200;  // entry 1: red
  grid.BitmapPalette[8 + 0] = 150;  // entry 2: blue
  grid.MapBitmapLoaded = true;
  Createmap(overview, grid);
  const Picture& shown = overview.OverviewBitmap;
  EXPECT_EQ(std::tuple(shown.At(0, 0), shown.At(3, 2), shown.At(1, 1)),
            std::tuple(MakeColour(200, 0, 0), MakeColour(0, 0, 150), kBlack));

  grid.MapBitmapLoaded = false;
  grid.HeightGrid(0, 5) = 0;
  grid.HeightGrid(6, 1) = -300;  // interpolated heights count by their size
  Createmap(overview, grid);
  EXPECT_EQ(std::tuple(shown.At(0, 0), shown.At(3, 2), shown.At(1, 1)),
            std::tuple(kWhite, MakeColour(230, 230, 230), MakeColour(60, 60, 60)));
  EXPECT_FALSE(overview.OverviewClosed);

  // A grid too small for a picture gives an empty one.
  Createmap(overview, testing::FlatGrid(1, 1, 100));
  EXPECT_TRUE(overview.OverviewBitmap.Pixels.empty());
}

struct Drag {
  OverviewState Overview;
  RecordingCanvas Picture{400, 300};
  ViewerState Viewer;
  GridState Grid = testing::FlatGrid(300, 600, 100, 1000, 2000);  // ground at 10 m
  bool Run(Point from, Point to, MouseButton button = MouseButton::Right) {
    Image1MouseDown(Overview, Picture, button, from);
    Image1MouseMove(Overview, Picture, to);
    return Image1MouseUp(Overview, button, to, Viewer, Grid);
  }
};

TEST(AimingDrag, ThePressPointBecomesTheEyeAndTheDragDirectionTheBearing) {
  Drag up;
  up.Viewer.Current() = {1, 2, 33, 4, -5, 6, 7, 8};
  ASSERT_TRUE(up.Run({100, 50}, {100, 10}));
  // The eye stands 2 m above the ground at once, so the first picture is not of the sky.
  EXPECT_EQ(up.Viewer.Current(), (TViewPoint{1200, 2500, 12, 360, -5, 6, 7, 8}));
  EXPECT_TRUE(up.Viewer.OnGround && up.Viewer.Menu.OnTheGroundChecked);

  // Straight right: the rows are equal, so the end row becomes 51.
  Drag right;
  ASSERT_TRUE(right.Run({100, 50}, {140, 50}));
  EXPECT_NEAR(right.Viewer.Current().bearing, 180 - std::atan(40.0) * 57.295, 1e-9);
  EXPECT_NEAR(right.Viewer.Current().bearing, 91.43, 0.01);
  EXPECT_EQ(right.Overview.AimEnd, (Point{140, 51}));

  EXPECT_NEAR(AimBearing({0, 10}, {10, 0}), 45, 0.001);    // right and up
  EXPECT_NEAR(AimBearing({0, 0}, {10, 10}), 135, 0.001);   // right and down
  EXPECT_NEAR(AimBearing({10, 10}, {0, 0}), 315, 0.001);   // left and up
  EXPECT_NEAR(AimBearing({10, 0}, {0, 10}), 225, 0.001);   // left and down
  EXPECT_NEAR(AimBearing({10, 0}, {10, 10}), 180, 0.001);  // straight down

  // A click without moving, and any drag with the left button, change nothing.
  Drag still;
  still.Viewer.Current().x = 5;
  Image1MouseDown(still.Overview, still.Picture, MouseButton::Right, {3, 3});
  EXPECT_FALSE(Image1MouseUp(still.Overview, MouseButton::Right, {3, 3}, still.Viewer, still.Grid));
  EXPECT_EQ(still.Viewer.Current().x, 5);
  EXPECT_FALSE(still.Viewer.OnGround);
  EXPECT_FALSE(still.Run({100, 50}, {100, 10}, MouseButton::Left));
  EXPECT_TRUE(still.Picture.Calls.empty());
}

TEST(AimingDrag, TheRubberLineIsInvertedOnAndOffAndTheLastOneGoesAtTheNextPress) {
  Drag d;
  Image1MouseDown(d.Overview, d.Picture, MouseButton::Right, {10, 10});
  Image1MouseMove(d.Overview, d.Picture, {20, 30});
  Image1MouseMove(d.Overview, d.Picture, {25, 35});
  Image1MouseUp(d.Overview, MouseButton::Right, {25, 35}, d.Viewer, d.Grid);
  Image1MouseMove(d.Overview, d.Picture, {90, 90});  // not dragging: nothing
  Image1MouseDown(d.Overview, d.Picture, MouseButton::Right, {50, 50});
  EXPECT_EQ(d.Picture.CallsStartingWith("moveto"),
            (std::vector<std::string>{"moveto 10,10", "moveto 10,10", "moveto 10,10",
                                      "moveto 10,10"}));
  EXPECT_EQ(d.Picture.CallsStartingWith("lineto"),
            (std::vector<std::string>{"lineto 20,30", "lineto 20,30", "lineto 25,35",
                                      "lineto 25,35"}));
  EXPECT_EQ(d.Picture.CallsStartingWith("penmode invert").size(), 4u);
  EXPECT_FALSE(d.Overview.AimLineShown);
  EXPECT_EQ(d.Overview.LineStart, (Point{50, 50}));

  // A picture drawn afresh carries no line to take away: only the new one is drawn.
  Image1MouseMove(d.Overview, d.Picture, {60, 70});
  OverviewRepainted(d.Overview);
  d.Picture.Calls.clear();
  Image1MouseMove(d.Overview, d.Picture, {65, 75});
  EXPECT_EQ(d.Picture.CallsStartingWith("lineto"), (std::vector<std::string>{"lineto 65,75"}));

  OverviewClose(d.Overview, d.Viewer);
  EXPECT_TRUE(d.Overview.OverviewClosed && d.Viewer.Menu.Show2DmapEnabled);
}

}  // namespace
}  // namespace terrak
