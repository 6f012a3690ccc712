// The heights commands of the main window without Qt: the preview of derived heights, accept
// and cancel, heights along a dragged line, and undo of each change of heights back to the
// bytes the map was opened with.
#include <gtest/gtest.h>

#include <cmath>

#include "export/dem_source.h"
#include "heights/model_heights.h"
#include "mainwindow/along_line_mode.h"
#include "mainwindow/file_commands.h"
#include "mainwindow/heights_commands.h"
#include "mainwindow/map_paint.h"
#include "mainwindow/menu_commands.h"
#include "mainwindow/mouse_events.h"
#include "mainwindow/view_transform.h"
#include "nested_contours.h"
#include "platform/file_stream.h"
#include "window_fixture.h"

namespace terrak {
namespace {

using namespace terrak::testing;
using heights::HeightState;

// A DEM of the nested map's hill: 110 m at the centre, 5 m lower every 100 m out (square
// rings), none within 150 m of the centre or beyond 100 km.
class HillDem : public heights::DemSource {
 public:
  explicit HillDem(Georeferencing::Point centre) : centre_(centre) {}
  std::vector<double> Sample(const std::vector<Georeferencing::Point>& points) override {
    std::vector<double> heights;
    for (const Georeferencing::Point& p : points) {
      const double d = std::max(std::abs(p.Easting - centre_.Easting),
                                std::abs(p.Northing - centre_.Northing));
      heights.push_back(d < 150 || d > 1e5 ? std::nan("") : 110 - d / 20);
    }
    return heights;
  }
  std::string Note() const override { return "DEM in EPSG:25833"; }

 private:
  Georeferencing::Point centre_;
};

// Every DEM is the hill above, or one far beside the map (reading real files through GDAL:
// HeightsFromDem).
struct DemHost : FakeHost {
  std::vector<std::string> Opened;
  bool Beside = false;
  std::unique_ptr<heights::DemSource> OpenDem(const std::string& file,
                                              const Georeferencing& georef) override {
    Opened.push_back(file);
    return std::make_unique<HillDem>(georef.ToProjected(Beside ? 1e6 : 0, 0));
  }
};

struct NestedWindow : WindowFixture {
  WatchedDialogs Watched;
  DemHost Dem;
  MapWindow W{App, Canvas, Watched, Dem};
  FakeHost& Host = Dem;
  std::string Map = Folder.File("nested.omap");

  explicit NestedWindow(bool placed = false) {
    WriteBytes(Map, TextBytes(NestedContoursMap(placed)));
    Watched.FileAnswers = {Map};
    MenuItemClick(W, MenuItem::Openmap);
    App.Model.SelectedSymbols = {{101000, kBlack}, {102000, kBlack}, {507000, kBlack}};
    App.Model.SymbolsSelected = true;
    LoadSelectedObjects(W);
    Host.StatusMessages.clear();  // what opening said
  }
  std::vector<std::uint8_t> WorkingCopy() const { return ReadBytes(App.Paths.WorkingCopy); }
  std::vector<double> Heights() const { return HeightsInMetres(App.Model); }
};

TEST(HeightsCommands, ThePreviewColoursEachContourByStateAndCancelChangesNothing) {
  NestedWindow f;
  ASSERT_EQ(f.App.Model.MapObjects.size(), 5u);
  const std::vector<std::uint8_t> opened = f.WorkingCopy();
  std::vector<std::optional<HeightState>> previewed;
  std::vector<std::string> drawn;
  f.Watched.OnMessage = [&] {
    ASSERT_TRUE(f.App.Heights.Preview);
    previewed = f.App.Heights.Preview->States;
    drawn = f.Canvas.CallsStartingWith("pen ");
  };
  f.Watched.MessageAnswers = {DialogButton::Cancel};
  const bool modified = f.App.Model.MapModified;
  MenuItemClick(f.W, MenuItem::HeightsFromKnown);

  EXPECT_EQ(previewed, (std::vector<std::optional<HeightState>>{
                           HeightState::Known, HeightState::Derived, HeightState::Derived,
                           HeightState::Derived, std::nullopt}));
  // Green for the derived ones; magenta (without a height) nowhere.
  EXPECT_EQ(std::find(drawn.begin(), drawn.end(), "pen FF00FF"), drawn.end());
  for (const char* pen : {"pen 000000", "pen 008000"})
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), pen), drawn.end()) << pen;
  // Every state its own pen (colours as 0xBBGGRR): guessed orange, DEM blue, conflicts red.
  std::vector<Colour> pens;
  for (const HeightState s : {HeightState::Known, HeightState::Derived, HeightState::Guessed,
                              HeightState::Dem, HeightState::Conflict, HeightState::None})
    pens.push_back(PreviewColour(s));
  EXPECT_EQ(pens,
            (std::vector<Colour>{0x000000, 0x008000, 0x008CFF, 0xFF0000, 0x0000FF, 0xFF00FF}));
  ASSERT_EQ(f.Watched.Messages.size(), 1u);
  EXPECT_EQ(f.Watched.Messages[0].Text.rfind(
                "4 of 4 contour objects have heights (3 derived, 0 guessed, 0 in conflict).\n", 0),
            0u);
  EXPECT_NE(f.Watched.Messages[0].Text.find("Write the 3 new heights"), std::string::npos);
  EXPECT_EQ(f.Host.StatusMessages.front(),
            "4 of 4 contour objects have heights (3 derived, 0 guessed, 0 in conflict)");

  EXPECT_FALSE(f.App.Heights.Preview);
  EXPECT_EQ(f.Heights(), (std::vector<double>{90, -1, -1, -1, -1}));
  EXPECT_EQ(f.WorkingCopy(), opened);
  EXPECT_EQ(f.App.Model.MapModified, modified);
  EXPECT_EQ(f.Host.LastStatusMessage(), "No height was changed");
}

TEST(HeightsCommands, AcceptWritesEveryHeightAndUndoTakesEachStepBackToTheOpenedBytes) {
  NestedWindow f;
  const std::vector<std::uint8_t> opened = f.WorkingCopy();
  f.Watched.MessageAnswers = {DialogButton::Ok};
  MenuItemClick(f.W, MenuItem::HeightsFromKnown);
  EXPECT_EQ(f.Heights(), (std::vector<double>{90, 95, 100, 105, -1}));
  EXPECT_TRUE(f.App.Model.MapModified);
  EXPECT_EQ(f.Host.LastStatusMessage(), "3 contour objects got a height");
  // In the working copy: three more tags.
  const std::vector<std::uint8_t> derived = f.WorkingCopy();
  const std::string text(derived.begin(), derived.end());
  EXPECT_NE(text.find("k=\"ele\">105<"), std::string::npos) << text;

  // A second step: the innermost contour given 95 m by Ins.
  f.App.Window.TracedObjects = {3};
  f.App.Window.TraceExists = true;
  f.Watched.InputAnswers = {"95"};
  MenuItemClick(f.W, MenuItem::Elevations);
  EXPECT_EQ(f.Heights()[3], 95);

  MenuItemClick(f.W, MenuItem::UndoHeights);
  EXPECT_EQ(std::tuple(f.Heights()[3], f.WorkingCopy()), std::tuple(105, derived));
  MenuItemClick(f.W, MenuItem::UndoHeights);
  EXPECT_EQ(f.Heights(), (std::vector<double>{90, -1, -1, -1, -1}));
  EXPECT_EQ(f.WorkingCopy(), opened);  // the added tags are gone again
  EXPECT_EQ(f.Host.LastStatusMessage(), "Heights of 3 objects taken back");
  MenuItemClick(f.W, MenuItem::UndoHeights);
  EXPECT_EQ(f.Host.LastStatusMessage(), kNothingToUndoMessage);
  EXPECT_EQ(f.WorkingCopy(), opened);
}

// The screen point of a ground point (metres) in the last paint.
Point OnScreen(const AppState& app, double x, double y) {
  const TPair p = heights::ModelPosition(app.Model, {x, y});
  return MapToScreen(app.Window, app.Model, p.X, p.Y);
}

TEST(HeightsAlongALine, EachContourCrossedGetsTheNextLevelAndAnOffLevelIndexContourStops) {
  NestedWindow f;
  FormPaint(f.W);
  const std::vector<std::uint8_t> opened = f.WorkingCopy();
  MenuItemClick(f.W, MenuItem::HeightsAlongLine);
  EXPECT_TRUE(f.App.Menu.IsChecked(MenuItem::HeightsAlongLine));
  EXPECT_EQ(f.Host.LastStatusMessage(), kAlongLineHint);
  // A screen point maps back to where it shows, within a pixel.
  const heights::Point back = ScreenToGround(f.App, OnScreen(f.App, -300, 120));
  const double pixel = f.App.Window.UnitsPerPixel * heights::MetresPerModelUnit(f.App.Model);
  EXPECT_NEAR(back.X, -300, pixel);
  EXPECT_NEAR(back.Y, 120, pixel);

  // Down from the outer contour (90 m): 85 m, then the index contour would lie at 80 m.
  FormMouseDown(f.W, MouseButton::Left, {.Shift = true}, OnScreen(f.App, -400, 20));
  FormMouseMove(f.W, OnScreen(f.App, -50, 20));
  FormMouseUp(f.W, MouseButton::Left);
  EXPECT_EQ(f.Heights(), (std::vector<double>{90, 85, -1, -1, -1}));
  EXPECT_EQ(f.Host.LastStatusMessage(),
            "The index contour crossed would lie at 80 m, which is no index level: the line "
            "stops there. 1 contours crossed, 1 objects got a height");

  // (The levels further up and a line started off every contour: HeightsAlongLine.)
  EXPECT_FALSE(f.App.Heights.AlongLine.LineShown);  // the rubber line taken away again
  ASSERT_EQ(f.App.Heights.UndoSteps.size(), 1u);
  MenuItemClick(f.W, MenuItem::UndoHeights);
  const std::vector<std::uint8_t> undone = f.WorkingCopy();
  EXPECT_EQ(std::string(undone.begin(), undone.end()), std::string(opened.begin(), opened.end()));

  // Ctrl picks and traces the contour under the mouse, as out of the mode: no line is dragged.
  const TPair corner = f.App.Model.MapObjects[0].FirstPoint;
  FormMouseDown(f.W, MouseButton::Left, {.Ctrl = true},
                MapToScreen(f.App.Window, f.App.Model, corner.X, corner.Y));
  EXPECT_FALSE(f.App.Heights.AlongLine.Dragging);
  EXPECT_GT(f.App.Window.TracedObjectCount, 0);
  FormMouseUp(f.W, MouseButton::Left);

  // Off again: a drag gives no heights.
  MenuItemClick(f.W, MenuItem::HeightsAlongLine);
  EXPECT_FALSE(f.App.Menu.IsChecked(MenuItem::HeightsAlongLine));
  FormMouseDown(f.W, MouseButton::Left, {}, OnScreen(f.App, -400, 20));
  FormMouseMove(f.W, OnScreen(f.App, -50, 20));
  FormMouseUp(f.W, MouseButton::Left);
  EXPECT_FALSE(f.App.Heights.AlongLine.Dragging);
  EXPECT_TRUE(f.App.Heights.UndoSteps.empty());
  EXPECT_EQ(f.WorkingCopy(), opened);
}

TEST(HeightsFromADem, EachContourTakesTheLevelNearestItsMedianAndUncoveredOnesAreConflicts) {
  NestedWindow f(true);
  ASSERT_TRUE(f.App.Model.Georef.Known);
  const std::vector<std::uint8_t> opened = f.WorkingCopy();
  std::vector<std::optional<HeightState>> previewed;
  f.Watched.OnMessage = [&] {
    if (f.App.Heights.Preview) previewed = f.App.Heights.Preview->States;
  };
  f.Watched.FileAnswers = {"/data/hill.tif"};
  f.Watched.MessageAnswers = {DialogButton::Ok};
  MenuItemClick(f.W, MenuItem::HeightsFromDem);
  ASSERT_EQ(f.Watched.FileDialogs.size(), 2u);  // the map's, then the DEM's
  EXPECT_EQ(f.Watched.FileDialogs[1].Caption, kDemDialogCaption);
  EXPECT_EQ(f.Dem.Opened, std::vector<std::string>{"/data/hill.tif"});
  EXPECT_EQ(previewed, (std::vector<std::optional<HeightState>>{
                           HeightState::Known, HeightState::Dem, HeightState::Dem,
                           HeightState::Conflict, std::nullopt}));
  EXPECT_EQ(f.Heights(), (std::vector<double>{90, 95, 100, -1, -1}));
  EXPECT_EQ(f.Host.LastStatusMessage(), "DEM in EPSG:25833");
  MenuItemClick(f.W, MenuItem::UndoHeights);
  EXPECT_EQ(f.WorkingCopy(), opened);

  // One beside the map is refused with a message; nothing changes.
  f.Dem.Beside = true;
  f.Watched.FileAnswers = {"/data/beside.tif"};
  MenuItemClick(f.W, MenuItem::HeightsFromDem);
  ASSERT_EQ(f.Watched.Messages.size(), 2u);
  EXPECT_EQ(f.Watched.Messages[1].Text,
            "The DEM /data/beside.tif does not cover the map. Nothing was changed.");
  EXPECT_EQ(f.Watched.Messages[1].Type, MessageType::Warning);
  EXPECT_FALSE(f.App.Heights.Preview);
  EXPECT_TRUE(f.App.Heights.UndoSteps.empty());
  EXPECT_EQ(f.WorkingCopy(), opened);
}

TEST(CheckHeights, NextAndPreviousGoRoundTheFindingsAndAMapWithoutPlaceOrContoursIsRefused) {
  NestedWindow f;
  // A DEM for a map that does not say where it lies is refused before any file is asked.
  MenuItemClick(f.W, MenuItem::HeightsFromDem);
  EXPECT_EQ(f.Watched.FileDialogs.size(), 1u);  // only the map's
  EXPECT_EQ(f.Watched.MessageTexts(), std::vector<std::string>{heights::kNoGeoreferencingMessage});
  EXPECT_TRUE(f.Dem.Opened.empty());
  // The third ring given 90 m like the first: it cannot lie at the same height two rings in.
  f.App.Window.TracedObjects = {2};
  f.App.Window.TraceExists = true;
  f.Watched.InputAnswers = {"90"};
  MenuItemClick(f.W, MenuItem::Elevations);
  MenuItemClick(f.W, MenuItem::CheckHeights);
  const std::vector<heights::Finding>& findings = f.App.Heights.Findings;
  ASSERT_GE(findings.size(), 2u);
  EXPECT_EQ(f.Host.LastStatusMessage(),
            std::to_string(findings.size()) + " contradictions among the heights");
  EXPECT_EQ(f.App.Heights.CurrentFinding, -1);

  NextFinding(f.W, -1);  // previous first: the last one
  const auto last = static_cast<std::int32_t>(findings.size()) - 1;
  EXPECT_EQ(f.App.Heights.CurrentFinding, last);
  NextFinding(f.W, 1);
  EXPECT_EQ(f.App.Heights.CurrentFinding, 0);
  EXPECT_EQ(f.Host.LastStatusMessage(),
            "1 of " + std::to_string(findings.size()) + ": " + findings[0].Reason);
  const TPair centre = heights::ModelPosition(f.App.Model, findings[0].Where);
  EXPECT_EQ((TPair{f.App.Model.MapOffsetX, f.App.Model.MapOffsetY}), centre);
  EXPECT_TRUE(f.App.Window.TraceExists && f.App.Window.TracedObjects == findings[0].Objects);
  NextFinding(f.W, -1);
  EXPECT_EQ(f.App.Heights.CurrentFinding, last);

  // The objects read again: the list is gone with the numbers it used.
  LoadSelectedObjects(f.W);
  EXPECT_TRUE(f.App.Heights.Findings.empty());
  NextFinding(f.W, 1);
  EXPECT_EQ(f.App.Heights.CurrentFinding, -1);

  // No contour among the shown symbols: the status bar says where to choose them.
  f.App.Model.SelectedSymbols = {{507000, kBlack}};
  LoadSelectedObjects(f.W);
  MenuItemClick(f.W, MenuItem::HeightsFromKnown);
  EXPECT_EQ(f.Watched.Messages.size(), 1u);  // only the DEM's refusal above
  EXPECT_EQ(f.Host.LastStatusMessage(), kNoContoursMessage);
}

}  // namespace
}  // namespace terrak
