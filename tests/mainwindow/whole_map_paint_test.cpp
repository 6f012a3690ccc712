// View > Show Whole Map: the map's own drawing under the selected symbols, painted again only
// when the view or the map changed, and the choice remembered.
#include <gtest/gtest.h>

#include "mainwindow/edit_commands.h"
#include "mainwindow/map_paint.h"
#include "mainwindow/view_transform.h"
#include "mainwindow/whole_map_paint.h"
#include "mainwindow/window_fixture.h"
#include "mapfile/model_units.h"
#include "mapfile/settings_io.h"
#include "platform/picture_painter.h"
#include "mapbuild/demo_map.h"

namespace terrak {
namespace {

using testing::AddObject;
using testing::WindowFixture;

constexpr Colour kRed = 0x0000FF;
constexpr Colour kSand = MakeColour(250, 220, 150);

// Paints every picture in one colour and counts the paints and their views.
class CountingPainter : public PicturePainter {
 public:
  int Paints = 0;
  PictureView LastView;
  std::size_t LastItems = 0;
  void Paint(const VectorPicture& picture, const PictureView& view,
             std::vector<Colour>& pixels) override {
    ++Paints;
    LastView = view;
    LastItems = picture.Items.size();
    pixels.assign(static_cast<std::size_t>(view.Width) * static_cast<std::size_t>(view.Height), kSand);
  }
  std::vector<PictureBox> TextBounds(const VectorPicture&) override { return {}; }
};

void WriteDemoMap(const std::string& file, double width) {
  testing::WriteBytes(file, testing::DemoMapBuilder(testing::MakeDemoMap({.Width = width, .Depth = 200}), 7, 10000).Build());
}

struct WholeMapWindow : WindowFixture {
  CountingPainter Painter;
  WholeMapWindow() {
    Host.Painter = &Painter;
    ShowMap({{101, kRed}});
    AddObject(App.Model, 101, 2, {{0, 0}, {1600, 0}});
    WriteDemoMap(App.Paths.WorkingCopy, 300);
    App.WholeMap.Shown = true;
  }
  std::size_t IndexOf(const std::string& prefix) const {
    for (std::size_t i = 0; i < Canvas.Calls.size(); ++i)
      if (Canvas.Calls[i].rfind(prefix, 0) == 0) return i;
    return Canvas.Calls.size();
  }
};

TEST(WholeMapPaint, UnderTheSymbolsPaintedOnceUntilTheViewOrMapChangesAndTheItemRemembered) {
  WholeMapWindow f;
  f.Paint();
  EXPECT_EQ(f.Painter.Paints, 1);
  EXPECT_GT(f.Painter.LastItems, 10u);
  // The whole map first, then the selected symbol's line over it in its colour.
  const std::size_t pixels = f.IndexOf("pixels 500x400 96DCFA");
  ASSERT_LT(pixels, f.Canvas.Calls.size());
  EXPECT_LT(pixels, f.IndexOf("pen 0000FF"));
  EXPECT_LT(f.IndexOf("pen 0000FF"), f.Canvas.Calls.size());

  // A repaint of the same view copies the picture kept.
  f.Paint();
  EXPECT_EQ(f.Painter.Paints, 1);
  EXPECT_LT(f.IndexOf("pixels 500x400"), f.Canvas.Calls.size());

  // Another zoom paints again, at the new scale.
  const double before = f.Painter.LastView.PixelsPerMicrometre;
  f.App.Model.MapZoom = 3;
  f.Paint();
  EXPECT_EQ(f.Painter.Paints, 2);
  EXPECT_DOUBLE_EQ(f.Painter.LastView.PixelsPerMicrometre, 2 * before);

  // An edit of the working copy draws the map again, and paints it.
  WriteDemoMap(f.App.Paths.WorkingCopy, 320);
  f.Paint();
  EXPECT_EQ(f.Painter.Paints, 3);

  // Turned off: the symbols alone on white.
  f.App.WholeMap.Shown = false;
  f.Paint();
  EXPECT_EQ(f.Painter.Paints, 3);
  EXPECT_EQ(f.IndexOf("pixels"), f.Canvas.Calls.size());

  // The menu item toggles it and is remembered.
  const auto remembered = [&f] {
    Settings loaded;
    MapModel model;
    LoadSettings(loaded, model, f.App.Paths.SettingsFile, f.Dialogs);
    return ShowWholeMapSetting(loaded);
  };
  const int invalidations = f.Host.Invalidations;
  ShowWholeMapClick(f.Window);
  EXPECT_TRUE(f.App.WholeMap.Shown && remembered());
  EXPECT_TRUE(f.App.Menu.IsChecked(MenuItem::ShowWholeMap));
  EXPECT_EQ(f.Host.Invalidations, invalidations + 1);
  ShowWholeMapClick(f.Window);
  EXPECT_FALSE(f.App.Menu.IsChecked(MenuItem::ShowWholeMap) || remembered());
  // Not a change of the map: nothing to save.
  EXPECT_FALSE(f.App.Model.MapModified);
}

TEST(WholeMapPaint, AMapThatCannotBeDrawnIsSaidOnceAndTheSymbolsStillShow) {
  WholeMapWindow f;
  testing::WriteBytes(f.App.Paths.WorkingCopy, {'n', 'o', 't', ' ', 'a', ' ', 'm', 'a', 'p'});
  f.Paint();
  f.Paint();
  EXPECT_EQ(f.Painter.Paints, 0);
  ASSERT_EQ(f.Host.StatusMessages.size(), 1u);
  EXPECT_EQ(f.Host.StatusMessages[0].rfind("The whole map cannot be drawn: ", 0), 0u)
      << f.Host.StatusMessages[0];
  EXPECT_LT(f.IndexOf("pen 0000FF"), f.Canvas.Calls.size());
}

TEST(WholeMapPaint, AModelPointLandsOnTheCentreOfItsScreenPixel) {
  MapWindowState view;
  MapModel model{.MapZoom = 3, .MapOffsetX = 1000, .MapOffsetY = -2000};  // 8 units a pixel
  SetUpView(view, model, 500, 400);
  const double um = kPaperMicrometresPerModelUnit;
  const PictureView picture =
      WholeMapViewOf(view, model.MapOffsetX, model.MapOffsetY, um, 500, 400);
  for (const TPair p : {TPair{1000 + 8 * 37, -2000 + 8 * 11}, TPair{1000 - 8 * 90, -2000 - 8 * 60}}) {
    const Point screen = MapToScreen(view, model, p.X, p.Y);
    EXPECT_NEAR((p.X * um - picture.Left) * picture.PixelsPerMicrometre, screen.X + 0.5, 1e-6);
    EXPECT_NEAR((picture.Top - p.Y * um) * picture.PixelsPerMicrometre, screen.Y + 0.5, 1e-6);
  }
  EXPECT_EQ(std::tuple(picture.Width, picture.Height), std::tuple(500, 400));
}

}  // namespace
}  // namespace terrak
