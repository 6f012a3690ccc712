#include <gtest/gtest.h>

#include <tuple>

#include "mainwindow/mouse_events.h"
#include "mainwindow/tracing.h"
#include "mainwindow/window_fixture.h"

namespace terrak {
namespace {

using testing::AddObject;
using testing::WindowFixture;

constexpr Colour kRed = 0x0000FF;
constexpr Colour kTeal = 0x808000;
constexpr ShiftState kPlain{};
constexpr ShiftState kCtrl{false, true, false};
constexpr ShiftState kShift{true, false, false};
constexpr ShiftState kCtrlShift{true, true, false};

// At 1x on a 500 x 400 window a model point (x, y) lies at (250 + x/16, 190 - y/16).
struct Chain : WindowFixture {
  // Objects in file order: A, B and C joined, another symbol's line, and a line apart.
  static constexpr std::int32_t A = 0, B = 1, C = 2, Apart = 4;
  Chain() {
    ShowMap({{101, kRed}, {102, kTeal}});
    MapModel& m = App.Model;
    AddObject(m, 101, 2, {{0, 0}, {800, 800}});
    AddObject(m, 101, 2, {{800, 800}, {1600, 0}});
    AddObject(m, 101, 2, {{1605, 3}, {2400, 800}});  // joins B within the tolerance of 10
    AddObject(m, 102, 2, {{2400, 800}, {3200, 0}});
    AddObject(m, 101, 2, {{-1600, -1600}, {-800, -800}}, 123);
    Paint();
  }
  void Press(ShiftState keys, Point at) { FormMouseDown(Window, MouseButton::Left, keys, at); }
  TracedObjectList Traced() const { return App.Window.TracedObjects; }
};

TEST(Picking, WithinTwoPixelsButNotThreeAndACtrlPressAsTheFirstPickStartsTheSet) {
  Chain f;
  f.Press(kPlain, {302, 142});  // B's first point is at (300, 140)
  EXPECT_TRUE(f.App.Window.HitFound);
  f.Press(kPlain, {303, 142});
  EXPECT_FALSE(f.App.Window.HitFound);
  // B's middle point is at (325, 165): two below it picks, three below does not.
  f.Press(kPlain, {325, 167});
  EXPECT_TRUE(f.App.Window.HitFound);
  f.Press(kPlain, {325, 168});
  EXPECT_FALSE(f.App.Window.HitFound || f.App.Window.TraceExists);

  // A Ctrl press as the first pick starts the set, drawn highlighted like a plain pick.
  f.Paint();
  f.Canvas.Calls.clear();
  f.Press(kCtrl, {301, 141});
  EXPECT_TRUE(f.App.Window.TraceExists);
  EXPECT_EQ(f.Traced(), (TracedObjectList{f.B, f.A, f.C}));
  EXPECT_EQ(f.App.Window.PickCount, 1);
  EXPECT_EQ(f.App.StatusBar.Panels[1], "Selected   1");
  EXPECT_EQ(f.Canvas.CallsStartingWith("pen").back(), "pen 000000");
  EXPECT_EQ(f.Canvas.CallsStartingWith("moveto").size(), 3u);
  // A Ctrl press on empty map leaves the set as it is.
  f.Press(kCtrl, {10, 10});
  EXPECT_TRUE(f.App.Window.TraceExists);
  EXPECT_EQ(f.Traced().size(), 3u);
}

TEST(Picking, ObjectsWithoutAreaOnScreenCannotBePicked) {
  WindowFixture f;
  f.ShowMap({{101, kRed}});
  AddObject(f.App.Model, 101, 2, {{0, 0}, {1600, 0}});  // horizontal: no height on screen
  AddObject(f.App.Model, 101, 1, {{800, 800}});          // a point object
  f.Paint();
  FormMouseDown(f.Window, MouseButton::Left, kPlain, {250, 190});
  EXPECT_FALSE(f.App.Window.HitFound);
  FormMouseDown(f.Window, MouseButton::Left, kPlain, {300, 140});
  EXPECT_FALSE(f.App.Window.HitFound);
}

TEST(Tracing, OneClickFollowsJoinedPiecesOfOneSymbolCtrlExtendsShiftShowsHeightAMissClears) {
  Chain f;
  f.Press(kPlain, {301, 141});
  EXPECT_EQ(f.Traced(), (TracedObjectList{f.B, f.A, f.C}));
  EXPECT_EQ(
      std::tie(f.App.Window.TracedObjectCount, f.App.Window.PickCount, f.App.Window.PickedSymbol),
      std::tuple(3, 1, 101));
  EXPECT_EQ(f.App.StatusBar.Panels[0], "Symbol   10.1");
  EXPECT_EQ(f.App.StatusBar.Panels[2], "Objects     3");
  // The traced set is drawn in the highlight colour, then the pen goes back to black.
  const auto pens = f.Canvas.CallsStartingWith("pen");
  EXPECT_EQ(std::tuple(pens.back(), pens[pens.size() - 2]), std::tuple("pen 000000", "pen FF0000"));

  // Ctrl extends the set, Shift shows a height, and a plain miss clears.
  f.Press(kCtrl, {151, 289});  // next to Apart's first point, (150, 290)
  EXPECT_EQ(f.Traced().size(), 4u);
  EXPECT_EQ(f.Traced().back(), f.Apart);
  EXPECT_EQ(f.App.Window.PickCount, 2);

  f.Canvas.Calls.clear();
  f.Press(kShift, {152, 288});
  EXPECT_EQ(f.Traced().size(), 4u);
  EXPECT_EQ(f.Canvas.CallsStartingWith("text"), std::vector<std::string>{"text 152,288   12.3"});
  EXPECT_EQ(f.App.StatusBar.Panels[4], "Height   12.3");

  // A plain press on empty map draws the set back in its own colours and forgets it.
  f.Canvas.Calls.clear();
  f.Press(kPlain, {10, 10});
  EXPECT_FALSE(f.App.Window.TraceExists);
  EXPECT_TRUE(f.Traced().empty());
  EXPECT_EQ(f.App.Window.PickCount, 0);
  EXPECT_EQ(f.Canvas.CallsStartingWith("moveto").size(), 4u);
  EXPECT_EQ(f.Canvas.CallsStartingWith("pen")[1], "pen 0000FF");
}

TEST(Tracing, CtrlWithShiftNeverAddsToASetThatDoesNotExistAndTheWelcomeScreenTakesNoPress) {
  Chain f;
  f.Press(kCtrlShift, {301, 141});
  EXPECT_TRUE(f.App.Window.HitFound);
  EXPECT_FALSE(f.App.Window.TraceExists);
  EXPECT_TRUE(f.Traced().empty());
  // With a set, Ctrl and Shift together leave it as it is.
  f.Press(kPlain, {301, 141});
  f.Press(kCtrlShift, {151, 289});
  EXPECT_EQ(f.Traced().size(), 3u);

  Chain welcome;
  welcome.App.Model.SymbolsSelected = false;
  welcome.Press(kPlain, {301, 141});
  EXPECT_FALSE(welcome.App.Window.HitFound || welcome.App.Window.TraceExists);
}

}  // namespace
}  // namespace terrak
