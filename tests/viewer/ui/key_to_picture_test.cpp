// The whole road from a key press to the next picture in the real viewer window under the
// offscreen platform: the draped demo terrain seen from the North preset at 1200 x 900, the
// compass, the inclinometer and the overview open. The times are reported as a benchmark
// reports them (printed, and kept as test properties), never asserted; what is checked is that
// the window shows exactly the picture the paint composed, once per key.
//
//   TERRAK_KEY_TIMING_SIDE=4000 TERRAK_KEY_TIMING_KEYS=9 build/tests/terrak_ui_tests
//     --gtest_filter='KeyToPicture.*'   (the 16 km2 demo map; 1000 m a side by default)
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/demo_grid.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "viewer/ui/cont3d.h"
#include "viewer/ui/picture_surface.h"
#include "viewer/viewer_commands.h"

namespace terrak {
namespace {

class DemoGridConstruction : public GridConstruction {
 public:
  explicit DemoGridConstruction(GridState grid) : grid_(std::move(grid)) {}
  void Build(GridState& grid, const ViewerState&) override { grid = grid_; }

 private:
  GridState grid_;
};

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
 public:
  int Paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Paints;
    return false;
  }
};

int EnvOr(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

TEST(KeyToPicture, TheDrapedViewOfTheDemoTerrainOneKeyAtATime) {
  const int side = EnvOr("TERRAK_KEY_TIMING_SIDE", 1000);
  const int keys = EnvOr("TERRAK_KEY_TIMING_KEYS", 5);
  testing::TempFolder folder;
  const testing::DemoMap map = testing::MakeDemoMap({.Width = double(side), .Depth = double(side)});
  AppState app;
  app.Paths = folder.Paths();
  app.Model = testing::OpenDemoModel(map, 10000, folder.Path());
  DemoGridConstruction construction(testing::MakeDemoGrid(map, true));
  testing::ScriptedDialogs dialogs;

  OpenViewerOnMap(app.Viewer);
  Tcontours viewer(app, construction, &dialogs);
  viewer.show();
  // A picture of 1200 x 900: the client area less the menu bar, 20 pixels more for the status bar.
  viewer.resize(1200, 920 + viewer.menuBar()->sizeHint().height());
  QApplication::processEvents();
  viewer.resize(viewer.width(), viewer.height() + 920 - viewer.Surface().height());
  QApplication::processEvents();
  viewer.Action("ToggleWiremeshWeddingcake1")->trigger();  // the grid, then the draped map
  for (const char* tool : {"Compass1", "Inclinometer1", "Show2Dmap1"}) viewer.Action(tool)->trigger();
  QApplication::processEvents();
  ASSERT_EQ(app.Viewer.RenderWidth, 1200);
  ASSERT_EQ(app.Viewer.RenderHeight, 900);
  ASSERT_TRUE(app.Grid.ShowMapBitmap);

  PaintCounter counter;
  viewer.Surface().installEventFilter(&counter);
  std::vector<double> total;
  for (int k = 0; k < keys; ++k) {
    counter.Paints = 0;
    const auto start = std::chrono::steady_clock::now();
    QTest::keyClick(&viewer.Surface(), k % 2 == 0 ? Qt::Key_Left : Qt::Key_Right);
    QApplication::processEvents();  // the window's paint and the copy to the screen
    total.push_back(MillisecondsSince(start));
    EXPECT_EQ(counter.Paints, 1) << "key " << k;
    EXPECT_EQ(viewer.Picture().copy(0, 0, 1200, 900), ToQImage(app.Viewer.Composed)) << "key " << k;
  }

  std::printf("key to picture, draped, 1200 x 900, %g km2, median of %d keys: %.1f ms\n",
              side / 1000.0 * side / 1000.0, keys, Median(total));
  ::testing::Test::RecordProperty("key_to_picture_ms", std::to_string(Median(total)));
  viewer.close();
}

}  // namespace
}  // namespace terrak
