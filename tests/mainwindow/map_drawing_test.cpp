#include <gtest/gtest.h>

#include <tuple>

#include "mainwindow/map_paint.h"
#include "mainwindow/screen_points.h"
#include "mainwindow/tracing.h"
#include "mainwindow/view_transform.h"
#include "mainwindow/window_fixture.h"
#include "mapfile/ocad_points.h"

namespace terrak {
namespace {

using testing::AddObject;
using testing::WindowFixture;

constexpr Colour kRed = 0x0000FF;
constexpr Colour kNavy = 0x800000;

TEST(ViewSetUp, OneToOneOnA500By400ClientAreaTheZoomTableAndAWindowWiderThanTheCoordinates) {
  MapWindowState view;
  MapModel model{.MapZoom = 4, .MapOffsetX = 30000, .MapOffsetY = -30000};
  SetUpView(view, model, 500, 400);
  EXPECT_EQ(
      std::tie(view.UnitsPerPixel, view.CurveSteps, view.MapArea, view.HalfWidth, view.HalfHeight),
      std::tuple(16, 4, (Rect{0, 0, 500, 380}), 250, 190));
  EXPECT_EQ(std::tuple(view.CentreLimits.MinX, view.CentreLimits.MaxX), std::tuple(-28767, 28767));
  // The centre is clamped into the limits and stays clamped in the model.
  EXPECT_EQ(std::tuple(model.MapOffsetX, model.MapOffsetY), std::tuple(28767, 190 * 16 - 32767));
  EXPECT_EQ(view.VisibleWindow.Left, 28767 - 4000);
  EXPECT_EQ(view.VisibleWindow.Top, model.MapOffsetY + 3040);

  const std::int16_t expected[] = {1, 2, 4, 8, 16, 32, 64};
  for (int zoom = 0; zoom <= 6; ++zoom) EXPECT_EQ(UnitsPerPixelForZoom(zoom), expected[zoom]);
  EXPECT_EQ(UnitsPerPixelForZoom(7), 64);
  EXPECT_EQ(UnitsPerPixelForZoom(-1), 64);

  // At 0.25x a 3000-pixel-wide area spans 96000 units: no centre fits, and the centre must
  // still be a valid 16-bit value.
  model = {.MapZoom = 6, .MapOffsetX = -20000};
  SetUpView(view, model, 3000, 400);
  EXPECT_GT(view.CentreLimits.MinX, view.CentreLimits.MaxX);
  EXPECT_EQ(model.MapOffsetX, 0);
}

TEST(ScreenPoints, StraightSegmentsAreFlattenedLikeCurvesAndRepeatsDropped) {
  WindowFixture f;
  f.ShowMap({{101, kRed}});
  AddObject(f.App.Model, 101, 2, {{0, 0}, {1600, 0}, {1600, 0}});
  f.Paint();
  // At 1x four steps: 0.15625, 0.5, 0.84375 and 1 of the way, truncated to pixels. The
  // repeated point adds nothing.
  EXPECT_EQ(f.App.Window.PointCount, 5);
  const auto lines = f.Canvas.CallsStartingWith("lineto");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(std::tuple(lines[0], lines[1], lines[2], lines[3]),
            std::tuple("lineto 265,190", "lineto 300,190", "lineto 334,190", "lineto 350,190"));

  // An object longer than the buffer is drawn whole.
  f.App.Model.MapObjects.clear();
  f.App.Model.ObjectCoords.clear();
  f.App.Model.MapZoom = 0;  // 64 steps a segment, one point each pixel
  std::vector<TPair> points;
  for (int i = 0; i < 200; ++i) points.push_back({static_cast<std::int16_t>(i * 64 - 240), static_cast<std::int16_t>(i % 2 ? 100 : -100)});
  AddObject(f.App.Model, 101, 2, points);
  f.Canvas.Calls.clear();
  f.Paint();
  EXPECT_GT(f.App.Window.PointCount, 6001);
  EXPECT_EQ(f.Canvas.CallsStartingWith("lineto").size(),
            static_cast<std::size_t>(f.App.Window.PointCount - 1));
}

TEST(ScreenPoints, MarkersCurvesAndDamagedLists) {
  MapWindowState view;
  MapModel model;
  model.MapZoom = 6;  // one step per segment: only segment ends remain
  SetUpView(view, model, 500, 400);
  TObjectCoords coords;
  // A line-flag marker before the first point, a curve, a skipped pair, then a new part.
  coords.Points = PointsOfMarkedList(std::vector<TPair>{
      {kMarkLineFlags, 1}, {640, 640}, {kMarkCurve, kMarkCurve}, {1280, 640}, {1280, 1280},
      {1920, 1280}, {kMarkSkipped, 0}, {2560, 1280}, {kMarkNewPart, kMarkNewPart}, {6400, 6400}});
  BuildScreenPoints(view, model, coords);
  ASSERT_EQ(view.PointCount, 3);
  EXPECT_EQ(std::tuple(view.ScreenPoints[0], view.ScreenPoints[1], view.ScreenPoints[2]),
            std::tuple((Point{260, 180}), (Point{280, 170}), (Point{290, 170})));

  // A curve marker without its three pairs ends the drawing instead of reading past the list.
  view.PointCount = 0;
  coords.Points = PointsOfMarkedList(std::vector<TPair>{{640, 640}, {kMarkCurve, kMarkCurve}, {1280, 640}});
  BuildScreenPoints(view, model, coords);
  EXPECT_EQ(view.PointCount, 1);
}

TEST(DrawMap, OrderColoursSelectionAndOutlines) {
  WindowFixture f;
  f.ShowMap({{202, kNavy}, {101, kRed}});
  MapModel& model = f.App.Model;
  AddObject(model, 101, 2, {{0, 0}, {160, 0}, {160, 160}});
  AddObject(model, 202, 1, {{320, 320}});
  AddObject(model, 303, 2, {{0, 16}, {160, 32}});  // not a selected symbol
  AddObject(model, 101, 3, {{0, 0}, {160, 160}});  // an area: no outline
  f.Paint();

  const auto& calls = f.Canvas.Calls;
  // Symbols in the order of the selection, then objects in file order.
  std::vector<std::string> drawing;
  for (const std::string& c : calls)
    if (c.rfind("pen", 0) == 0 || c.rfind("ellipse", 0) == 0 || c.rfind("moveto", 0) == 0)
      drawing.push_back(c);
  const std::vector<std::string> expected = {"pen 800000", "ellipse 266,166,274,174",
                                             "pen 0000FF", "moveto 250,190", "pen 0000FF"};
  EXPECT_EQ(drawing, expected);
  EXPECT_TRUE(f.App.StatusBar.Visible);
}

TEST(Visibility, ABoxTouchingAnyEdgeIsOutOneUnitOverIsIn) {
  // At 1x on 500 x 400 around the origin the visible window is x -4000 .. 4000, y -3040 .. 3040.
  WindowFixture f;
  f.ShowMap({{101, kRed}});
  f.Paint();
  ASSERT_EQ(f.App.Window.VisibleWindow.Left, -4000);
  ASSERT_EQ(f.App.Window.VisibleWindow.Bottom, -3040);
  struct Box {
    const char* Edge;
    std::int16_t MinX, MinY, MaxX, MaxY;
  };
  const Box touching[] = {{"left", -4800, 0, -4000, 100},  {"right", 4000, 0, 4800, 100},
                          {"top", 0, 3040, 100, 3800},     {"bottom", 0, -3800, 100, -3040},
                          {"corner", 4000, 3040, 4800, 3800}};
  for (const Box& b : touching) {
    TMapObject o;
    o.MinX = b.MinX, o.MinY = b.MinY, o.MaxX = b.MaxX, o.MaxY = b.MaxY;
    EXPECT_FALSE(IsVisible(f.App.Window, o)) << b.Edge << " touching";
    // One unit further in on the touching side makes it visible.
    if (b.MaxX == -4000) ++o.MaxX;
    if (b.MinX == 4000) --o.MinX;
    if (b.MinY == 3040) --o.MinY;
    if (b.MaxY == -3040) ++o.MaxY;
    EXPECT_TRUE(IsVisible(f.App.Window, o)) << b.Edge << " overlapping";
  }
  // A box larger than the window on every side is visible; one beyond it is not.
  TMapObject all;
  all.MinX = -30000, all.MinY = -30000, all.MaxX = 30000, all.MaxY = 30000;
  EXPECT_TRUE(IsVisible(f.App.Window, all));
  all.MinY = 3041;
  EXPECT_FALSE(IsVisible(f.App.Window, all));

  // Drawing, picking and the highlight all leave out an object touching the bottom edge.
  const std::size_t below = AddObject(f.App.Model, 101, 2, {{0, -3800}, {16, -3040}});
  const std::size_t inside = AddObject(f.App.Model, 101, 2, {{160, -3039}, {800, -2400}});
  f.Paint();
  EXPECT_EQ(f.Canvas.CallsStartingWith("moveto").size(), 1u);
  f.App.Window.TraceExists = true;
  f.App.Window.TracedObjects = {static_cast<std::int32_t>(below), static_cast<std::int32_t>(inside)};
  f.Paint();
  EXPECT_EQ(f.Canvas.CallsStartingWith("moveto").size(), 2u);
  f.App.Window.MouseDownPoint = {250, 380};  // where the touching object's top end lies
  f.App.Window.LastShiftState = {true, false, false};
  HitTest(f.App);
  EXPECT_FALSE(f.App.Window.HitFound);
}

TEST(DrawMap, ToggleViewColoursByHeight) {
  WindowFixture f;
  f.ShowMap({{101, kRed}});
  f.App.Settings.ViewByHeight = true;
  AddObject(f.App.Model, 101, 2, {{0, 0}, {160, 0}}, 15);
  AddObject(f.App.Model, 101, 2, {{0, 16}, {160, 16}}, 0);
  AddObject(f.App.Model, 101, 2, {{0, 32}, {160, 32}}, -5);
  f.Paint();
  const auto pens = f.Canvas.CallsStartingWith("pen");
  const std::vector<std::string> expected = {"pen 008000", "pen 0000FF", "pen 0000FF"};
  EXPECT_EQ(pens, expected);
}

TEST(DrawMap, WelcomeScreenUntilAMapIsShownAndStatusBarAfterTheFirstPaint) {
  WindowFixture f;
  f.Paint();
  EXPECT_EQ(f.Canvas.CallsStartingWith("font"), std::vector<std::string>{"font Times New Roman 12"});
  const auto texts = f.Canvas.CallsStartingWith("text");
  ASSERT_EQ(texts.size(), 8u);
  EXPECT_EQ(texts[0], "text 180,120 Welcome to Terrak-7.0 ");
  EXPECT_EQ(texts[1], "text 200,140 an OCAD utility ");
  EXPECT_EQ(texts[5], "text 135,260 Open an OCAD map using File|Open");
  EXPECT_EQ(texts[6], "text 115,280 then select the symbols you wish to display");
  EXPECT_EQ(texts[7], "text 125,300 using Edit|Add symbols to map selection");
  EXPECT_FALSE(f.App.StatusBar.Visible);

  // Symbols selected by the settings, but no map open: still the welcome screen.
  f.App.Model.SymbolsSelected = true;
  f.Paint();
  EXPECT_EQ(f.Canvas.CallsStartingWith("text").size(), 8u);

  f.ShowMap({{101, kRed}});
  f.Paint();
  const std::array<std::string, 5> panels = {"Symbol    0.0", "Selected   0", "Objects     0",
                                             "Zoom 1.00x", "Height    0.0"};
  EXPECT_EQ(f.App.StatusBar.Panels, panels);
  EXPECT_TRUE(f.App.StatusBar.Visible);
}

}  // namespace
}  // namespace terrak
