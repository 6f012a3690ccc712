#include "viewer/movement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "viewer_fixtures.h"

namespace terrak {
namespace {

constexpr KeyModifiers kNone{};
constexpr KeyModifiers kShift{true, false, false};
constexpr KeyModifiers kCtrl{false, true, false};
constexpr KeyModifiers kAlt{false, false, true};

struct Scene {
  ViewerState Viewer;
  GridState Grid = testing::FlatGrid(10, 10, 1234, 100, 200);
  Refresh Key(ArrowKey key, KeyModifiers modifiers = kNone) {
    return FormKeyDown(Viewer, Grid, key, modifiers);
  }
  TViewPoint& View() { return Viewer.Current(); }
};

TEST(FormKeyDown, TurnsKeep360TurnWithTheStepsOfF1ToF3AndTiltStopsAt90) {
  Scene s;
  Move10Metres(s.Viewer);
  s.View().bearing = 350;
  EXPECT_EQ(s.Key(ArrowKey::Right), Refresh::ViewAndDirection);
  EXPECT_EQ(s.View().bearing, 360);  // 360 is not above 360
  s.Key(ArrowKey::Right);
  EXPECT_EQ(s.View().bearing, 10);
  s.View().bearing = 5;
  s.Key(ArrowKey::Left);
  EXPECT_EQ(s.View().bearing, 355);
  s.View().bearing = 10;
  s.Key(ArrowKey::Left);
  EXPECT_EQ(s.View().bearing, 0);  // a left turn onto north shows 0, a right turn 360

  Move100Metres(s.Viewer);  // F3 turns by 45 though its caption says 100
  EXPECT_EQ(s.Viewer.MoveStep, 100);
  s.Key(ArrowKey::Left);
  EXPECT_EQ(s.View().bearing, 315);
  Move1Metre(s.Viewer);
  EXPECT_EQ(s.Viewer.TurnStep, 1);

  Move10Metres(s.Viewer);
  s.View().incline = 85;
  EXPECT_EQ(s.Key(ArrowKey::Up, kShift), Refresh::ViewAndDirection);
  EXPECT_EQ(s.View().incline, 90);
  s.View().incline = -85;
  s.Key(ArrowKey::Down, kShift);
  EXPECT_EQ(s.View().incline, -90);
  // Shift wins over Ctrl; Shift with Left or Right does nothing, and so does Alt alone.
  s.View().incline = 0;
  s.Key(ArrowKey::Up, {true, true, false});
  EXPECT_EQ(s.View().incline, 10);
  const TViewPoint before = s.View();
  EXPECT_EQ(std::tuple(s.Key(ArrowKey::Left, kShift), s.Key(ArrowKey::Up, kAlt), s.View()),
            std::tuple(Refresh::None, Refresh::None, before));
}

TEST(FormKeyDown, MovesFollowTheBearingAndCtrlMovesSidewaysRisesAndSinks) {
  Scene s;
  Move10Metres(s.Viewer);
  s.View() = {0, 0, 5, 90, 0, 0, 0, 0};
  EXPECT_EQ(s.Key(ArrowKey::Up), Refresh::View);
  EXPECT_NEAR(s.View().x, 10, 1e-3);
  EXPECT_NEAR(s.View().y, 0, 1e-3);
  s.Key(ArrowKey::Down);
  EXPECT_NEAR(s.View().x, 0, 1e-6);
  EXPECT_EQ(s.Viewer.MoveDirection, 270);
  s.Key(ArrowKey::Left, kCtrl);  // bearing + 270 = 360: north
  EXPECT_NEAR(s.View().y, 10, 1e-3);
  EXPECT_EQ(s.Viewer.MoveDirection, 360);
  s.Key(ArrowKey::Right, {false, true, true});  // Ctrl with Alt counts as Ctrl: south
  EXPECT_EQ(s.Viewer.MoveDirection, 180);
  EXPECT_NEAR(s.View().y, 0, 1e-3);
  EXPECT_EQ(s.View().z, 5);  // moves leave the height alone

  s.Viewer.OnGround = true;
  s.Key(ArrowKey::Down, kCtrl);  // 5 - 10 stops at 0 and leaves ground mode
  EXPECT_EQ(s.View().z, 0);
  EXPECT_FALSE(s.Viewer.OnGround);
  s.Key(ArrowKey::Up, kCtrl);
  EXPECT_EQ(s.View().z, 10);

  // A direction above 360 is brought back once before its sine and cosine are taken: with 57.295
  // degrees to the radian, 440 and 80 degrees point a little apart.
  Move100Metres(s.Viewer);
  s.View() = {0, 0, 5, 350, 0, 0, 0, 0};
  s.Key(ArrowKey::Right, kCtrl);
  EXPECT_EQ(s.Viewer.MoveDirection, 80);
  EXPECT_DOUBLE_EQ(s.View().x, 100 * std::sin(80 / 57.295));
  EXPECT_DOUBLE_EQ(s.View().y, 100 * std::cos(80 / 57.295));
}

TEST(GroundRule, TheEyeStays2MetresAboveTheGroundOnTheGridAndDropsTo0OffIt) {
  Scene s;  // a flat grid of 123.4 m from (100, 200) to (109, 209)
  s.Grid.HeightGrid(5, 5) = 500;
  s.Grid.HeightGrid(6, 5) = -800;  // interpolated heights are stored negated
  s.Grid.HeightGrid(7, 5) = 0;     // outside the mapped area
  s.View() = {104.6, 205.4, 50, 90, 0, 0, 0, 0};
  EXPECT_EQ(OnTheGroundClick(s.Viewer, s.Grid), Refresh::View);
  EXPECT_TRUE(s.Viewer.OnGround && s.Viewer.Menu.OnTheGroundChecked);
  EXPECT_DOUBLE_EQ(s.View().z, 52);
  s.Key(ArrowKey::Up);  // east one metre
  EXPECT_DOUBLE_EQ(s.View().z, 82);
  s.Key(ArrowKey::Up);
  EXPECT_DOUBLE_EQ(s.View().z, 2);
  Move10Metres(s.Viewer);
  s.Key(ArrowKey::Up);  // beyond the grid's last column
  EXPECT_EQ(s.View().z, 0);
  s.Key(ArrowKey::Down);  // back on the grid, on the cell without height
  EXPECT_DOUBLE_EQ(s.View().z, 2);

  // Ctrl+Up leaves ground mode but not the check mark; the next click then unchecks.
  s.Key(ArrowKey::Up, kCtrl);
  EXPECT_FALSE(s.Viewer.OnGround);
  EXPECT_TRUE(s.Viewer.Menu.OnTheGroundChecked);
  EXPECT_EQ(OnTheGroundClick(s.Viewer, s.Grid), Refresh::None);
  EXPECT_FALSE(s.Viewer.Menu.OnTheGroundChecked);
  EXPECT_EQ(s.View().z, 12);

  // On each outermost row and column the eye stands on the ground; a step beyond any side of
  // the grid, or without a grid, it goes to 0.
  for (const auto& [x, y, z] : {std::tuple{100.0, 203.0, 125.4}, {99.9, 203.0, 0.0},
                                {109.0, 203.0, 125.4}, {109.1, 203.0, 0.0}, {103.0, 200.0, 125.4},
                                {103.0, 199.9, 0.0}, {103.0, 209.0, 125.4}, {103.0, 209.1, 0.0}}) {
    TViewPoint view{x, y, 9, 0, 0, 0, 0, 0};
    ApplyGroundRule(view, s.Grid);
    EXPECT_DOUBLE_EQ(view.z, z) << x << ", " << y;
  }
  TViewPoint view{5, 5, 9, 0, 0, 0, 0, 0};
  ApplyGroundRule(view, GridState{});
  EXPECT_EQ(view.z, 0);
}

TEST(Location, PresetsAreCopiedWholeAndSaveLocationRoundsHalvesToEven) {
  Scene s;
  s.Viewer.Viewpoints[kSouthEastView] = {1, 2, 3, 4, 5, 6, 7, 8};
  ChoosePreset(s.Viewer, kSouthEastView);
  EXPECT_EQ(s.View(), (TViewPoint{1, 2, 3, 4, 5, 6, 7, 8}));

  Settings settings;
  MapModel model;
  s.View() = {12.5, 13.5, -2.5, 359.5, -0.5, 6, 7, 8};
  SaveLocation(s.Viewer, settings, model);
  EXPECT_EQ(std::tie(settings.ViewpointX, settings.ViewpointY, settings.ViewpointZ,
                     settings.ViewpointBearing, settings.ViewpointIncline),
            std::tuple(12, 14, -2, 360, 0));  // the map marked changed: ViewerCommands

  s.View() = {0, 0, 0, 0, 0, 60, 70, 80};
  LoadLocation(s.Viewer, settings);
  EXPECT_EQ(s.View(), (TViewPoint{12, 14, -2, 360, 0, 60, 70, 80}));
  s.View().x = std::nan("");
  s.View().y = 1e300;
  SaveLocation(s.Viewer, settings, model);
  EXPECT_EQ(std::tuple(settings.ViewpointX, settings.ViewpointY), std::tuple(0, INT32_MAX));
}

}  // namespace
}  // namespace terrak
