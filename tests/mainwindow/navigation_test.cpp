#include <gtest/gtest.h>

#include "common/bytes.h"
#include "mainwindow/menu_commands.h"
#include "mainwindow/mouse_events.h"
#include "mainwindow/navigation.h"
#include "mainwindow/view_transform.h"
#include "mainwindow/window_fixture.h"
#include "mapbuild/ocad_builder.h"
#include "mapfile/map_formats.h"

namespace terrak {
namespace {

using testing::WindowFixture;

// A window at 1x on a 500 x 400 client area, over a working copy that holds just a version 5
// header and setup record (all that zoom and offset writes touch).
struct Navigation : WindowFixture {
  Navigation() {
    std::vector<std::uint8_t> bytes(48 + 160, 0);
    PutI16(bytes.data(), 3245);
    PutI16(bytes.data() + 4, 5);
    PutI32(bytes.data() + 8, 48);
    testing::PutReal6(bytes.data() + 48 + 44, 10000);  // the map scale
    testing::WriteBytes(App.Paths.WorkingCopy, bytes);
    App.Model.Format = OpenFormatMap(bytes, App.Paths.WorkingCopy);
    ShowMap({{101, kBlack}});
    ApplyZoomIndex(App, 4);
    Paint();
    Canvas.Calls.clear();
  }
  std::int16_t StoredZoom() const { return GetI16(testing::ReadBytes(App.Paths.WorkingCopy).data() + 56); }
  std::int16_t StoredOffsetX() const {
    return GetI16(testing::ReadBytes(App.Paths.WorkingCopy).data() + 58);
  }
  void Left(Point at) { FormMouseDown(Window, MouseButton::Left, {}, at); }
};

TEST(ZoomRectangle, TwoTimesShowsHalfTheAreaAndEnterAppliesItInPlace) {
  Navigation f;
  MenuItemClick(f.Window, MenuItem::doublesize);
  EXPECT_TRUE(f.App.Window.ZoomRectMode);
  EXPECT_EQ(f.App.Model.MapZoom, 4);  // not applied yet
  EXPECT_EQ(f.Canvas.CallsStartingWith("focus"), std::vector<std::string>{"focus 125,95,375,285"});

  FormKeyPress(f.Window, 13);
  EXPECT_FALSE(f.App.Window.ZoomRectMode);
  EXPECT_EQ(std::tuple(f.App.Model.MapZoom, f.StoredZoom(), f.App.Model.MapOffsetX),
            std::tuple(3, 3, 0));
  EXPECT_TRUE(f.App.Model.MapModified);
  EXPECT_EQ(f.Host.Invalidations, 1);
  // The rectangle was erased by drawing it again.
  EXPECT_EQ(f.Canvas.CallsStartingWith("focus").size(), 2u);
  EXPECT_TRUE(f.App.Menu.IsChecked(MenuItem::doublesize));
  EXPECT_FALSE(f.App.Menu.IsEnabled(MenuItem::doublesize));
  EXPECT_FALSE(f.App.Menu.IsChecked(MenuItem::normalsize));
  EXPECT_TRUE(f.App.Menu.IsEnabled(MenuItem::normalsize));
}

TEST(ZoomRectangle, ATenPixelDragMovesTheCentre160Units) {
  Navigation f;
  MenuItemClick(f.Window, MenuItem::doublesize);
  f.Left({200, 200});
  FormMouseMove(f.Window, {210, 200});
  EXPECT_EQ(f.App.Window.FocusFrame, (Rect{135, 95, 385, 285}));
  FormMouseUp(f.Window, MouseButton::Left);
  EXPECT_EQ(std::tuple(f.App.Model.MapZoom, f.App.Model.MapOffsetX, f.StoredOffsetX()),
            std::tuple(3, 160, 160));
  // The rectangle cannot leave the map area.
  MenuItemClick(f.Window, MenuItem::foursize);
  f.Paint();
  MenuItemClick(f.Window, MenuItem::foursize);
  f.Left({250, 190});
  FormMouseMove(f.Window, {1000, 190});
  EXPECT_EQ(f.App.Window.FocusFrame, f.App.Window.FocusFrameBase);
}

TEST(ZoomRectangle, ZoomingOutAppliesAtOnceAndAPressOutsideAbandons) {
  Navigation f;
  MenuItemClick(f.Window, MenuItem::halfsize);
  EXPECT_FALSE(f.App.Window.ZoomRectMode);
  EXPECT_EQ(std::tuple(f.App.Model.MapZoom, f.StoredZoom()), std::tuple(5, 5));
  EXPECT_TRUE(f.Canvas.CallsStartingWith("focus").empty());

  f.App.Model.MapZoom = 6;
  f.Paint();
  f.Canvas.Calls.clear();
  MenuItemClick(f.Window, MenuItem::sixteensize);
  EXPECT_EQ(f.App.Window.FocusFrame, (Rect{247, 188, 253, 192}));  // 1/64 of the area
  f.Left({10, 10});
  EXPECT_FALSE(f.App.Window.ZoomRectMode);
  EXPECT_EQ(f.App.Model.MapZoom, 6);
  const auto frames = f.Canvas.CallsStartingWith("focus");
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], frames[1]);

  // The current zoom applies at once like zooming out; one step in shows the rectangle.
  Navigation g;
  ZoomItemClick(g.Window, 4);
  EXPECT_FALSE(g.App.Window.ZoomRectMode);
  EXPECT_TRUE(g.Canvas.CallsStartingWith("focus").empty());
  EXPECT_EQ(std::tuple(g.StoredZoom(), g.Host.Invalidations), std::tuple(4, 1));
  EXPECT_TRUE(g.App.Menu.IsChecked(MenuItem::normalsize));
  ZoomItemClick(g.Window, 3);
  EXPECT_TRUE(g.App.Window.ZoomRectMode);
}

TEST(MoveView, TheFrameReachesTheCentreLimitsExactlyOnBothSides) {
  for (const int step : {1, -1}) {
    Navigation f;
    // Ten pixels (160 units) short of the largest, or the smallest, centre x.
    f.App.Model.MapOffsetX = static_cast<std::int16_t>(step * (28767 - 160));
    f.App.Model.MapOffsetY = 0;
    MenuItemClick(f.Window, MenuItem::MoveView);
    EXPECT_TRUE(f.App.Menu.IsChecked(MenuItem::MoveView));
    EXPECT_FALSE(f.App.Menu.IsEnabled(MenuItem::MoveView));
    EXPECT_EQ(f.App.Window.FocusFrame, (Rect{2, 2, 498, 378}));
    f.Left({200, 100});
    FormMouseMove(f.Window, {200 + step * 10, 100});
    EXPECT_EQ(f.App.Window.FocusFrame.Left, 2 + step * 10);
    FormMouseMove(f.Window, {200 + step * 11, 100});
    EXPECT_EQ(f.App.Window.FocusFrame.Left, 2 + step * 10);
    FormMouseUp(f.Window, MouseButton::Left);
    EXPECT_EQ(f.App.Model.MapOffsetX, step * 28767);
    EXPECT_FALSE(f.App.Menu.IsChecked(MenuItem::MoveView));
    EXPECT_TRUE(f.App.Menu.IsEnabled(MenuItem::MoveView));
  }
  // The same in y, where a drag downwards moves the centre south.
  Navigation f;
  f.App.Model.MapOffsetY = static_cast<std::int16_t>(-(32767 - 190 * 16) + 160);
  MenuItemClick(f.Window, MenuItem::MoveView);
  f.Left({200, 100});
  FormMouseMove(f.Window, {200, 110});
  FormMouseMove(f.Window, {200, 111});
  EXPECT_EQ(f.App.Window.FocusFrame.Top, 12);
  FormMouseUp(f.Window, MouseButton::Left);
  EXPECT_EQ(f.App.Model.MapOffsetY, -(32767 - 190 * 16));
}

// (A repaint ends the frame:
// MainWindow.FramesAndTextAtTheMouseGoWithARepaintButNotWithAClosingMenu.)
TEST(MoveView, ARightDragMovesTheMapWithTheHandUpToTheCentreLimitsAndAClickWritesTheCentre) {
  Navigation f;
  f.App.Model.MapOffsetX = 1234;
  FormMouseDown(f.Window, MouseButton::Right, {}, {50, 50});
  EXPECT_TRUE(f.App.Window.MoveViewMode && f.App.Window.DraggingRight);
  FormMouseUp(f.Window, MouseButton::Right);
  EXPECT_EQ(f.StoredOffsetX(), 1234);
  EXPECT_TRUE(f.App.Model.MapModified);
  EXPECT_EQ(f.Host.Invalidations, 1);

  f.Paint();
  f.Canvas.Calls.clear();
  f.App.Model.MapOffsetX = 1000;
  f.App.Model.MapOffsetY = 2000;
  FormMouseDown(f.Window, MouseButton::Right, {}, {100, 100});
  FormMouseMove(f.Window, {110, 95});
  // The picture follows the hand; the frame is drawn once, where the picture began.
  EXPECT_EQ(HandMoveOffset(f.App.Window), (Point{10, -5}));
  EXPECT_EQ(f.Canvas.CallsStartingWith("focus"), std::vector<std::string>{"focus 2,2,498,378"});
  FormMouseUp(f.Window, MouseButton::Right);
  // Dragged 10 pixels right and 5 up: the map moved that way, so the centre went 160 units
  // west and 80 south.
  EXPECT_EQ(std::tuple(f.App.Model.MapOffsetX, f.App.Model.MapOffsetY, f.StoredOffsetX()),
            std::tuple(1000 - 160, 2000 - 80, 1000 - 160));
  EXPECT_EQ(HandMoveOffset(f.App.Window), (Point{}));
  // The frame was erased at its one place.
  EXPECT_EQ(f.Canvas.CallsStartingWith("focus").size(), 2u);

  // At the smallest centre x a drag to the right goes no further; one to the left does.
  f.Paint();
  f.App.Model.MapOffsetX = -28767;
  FormMouseDown(f.Window, MouseButton::Middle, {}, {100, 100});
  FormMouseMove(f.Window, {101, 100});
  EXPECT_EQ(HandMoveOffset(f.App.Window), (Point{}));
  FormMouseMove(f.Window, {90, 100});
  EXPECT_EQ(HandMoveOffset(f.App.Window), (Point{-10, 0}));
  FormMouseUp(f.Window, MouseButton::Middle);
  EXPECT_EQ(f.App.Model.MapOffsetX, -28767 + 160);
  // A left drag of the Move View frame still takes the view to where the frame went.
  f.Paint();
  MenuItemClick(f.Window, MenuItem::MoveView);
  f.Left({100, 100});
  FormMouseMove(f.Window, {110, 100});
  EXPECT_EQ(HandMoveOffset(f.App.Window), (Point{}));
  FormMouseUp(f.Window, MouseButton::Left);
  EXPECT_EQ(f.App.Model.MapOffsetX, -28767 + 320);
}

TEST(WheelZoom, ANotchZoomsOneStepKeepingThePointUnderTheMouse) {
  Navigation f;
  f.App.Model.MapOffsetX = 1000;
  f.App.Model.MapOffsetY = -500;
  // The mouse 50 pixels right of and 40 below the centre: at 1x the map point (1800, -1140).
  FormMouseWheel(f.Window, {300, 230}, 1);
  EXPECT_EQ(f.App.Model.MapZoom, 3);  // 2x, at once, without a rectangle
  EXPECT_FALSE(f.App.Window.ZoomRectMode);
  EXPECT_EQ(std::tuple(f.StoredZoom(), f.App.Model.MapOffsetX, f.App.Model.MapOffsetY,
                       f.StoredOffsetX()),
            std::tuple(3, 1000 + 50 * 8, -500 - 40 * 8, 1400));
  EXPECT_TRUE(f.App.Menu.IsChecked(MenuItem::doublesize));
  EXPECT_EQ(f.Host.Invalidations, 1);
  f.Paint();
  EXPECT_EQ(MapToScreen(f.App.Window, f.App.Model, 1800, -1140), (Point{300, 230}));

  // Two notches back out: 0.5x, the same map point still under the mouse.
  FormMouseWheel(f.Window, {300, 230}, -2);
  EXPECT_EQ(f.App.Model.MapZoom, 5);
  f.Paint();
  EXPECT_EQ(MapToScreen(f.App.Window, f.App.Model, 1800, -1140), (Point{300, 230}));

  // Beyond 0.25x and 16x nothing happens, and nothing is written.
  FormMouseWheel(f.Window, {300, 230}, -5);
  EXPECT_EQ(f.App.Model.MapZoom, 6);
  f.Paint();
  const int invalidations = f.Host.Invalidations;
  f.App.Model.MapModified = false;
  FormMouseWheel(f.Window, {0, 0}, -1);
  EXPECT_EQ(f.App.Model.MapZoom, 6);
  EXPECT_FALSE(f.App.Model.MapModified);
  EXPECT_EQ(f.Host.Invalidations, invalidations);
  FormMouseWheel(f.Window, {250, 190}, 9);
  EXPECT_EQ(f.App.Model.MapZoom, 0);

  // A wheel turn ends the zoom rectangle first.
  f.Paint();
  MenuItemClick(f.Window, MenuItem::quartersize);
  f.Paint();
  MenuItemClick(f.Window, MenuItem::normalsize);
  ASSERT_TRUE(f.App.Window.ZoomRectMode);
  FormMouseWheel(f.Window, {250, 190}, 1);
  EXPECT_FALSE(f.App.Window.ZoomRectMode);
  EXPECT_EQ(f.App.Model.MapZoom, 5);
}

}  // namespace
}  // namespace terrak
