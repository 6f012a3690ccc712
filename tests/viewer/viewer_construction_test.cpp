// The viewer's first mesh paint with the program's own grid construction on a demo map written to
// disk: what the map image beside the map does to the draping, one viewer window after another.
#include "viewer/viewer_construction.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "grid/map_bitmap.h"
#include "support/demo_grid.h"
#include "support/fake_image_stretcher.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "viewer/viewer_commands.h"
#include "fake_viewer_host.h"

namespace terrak {
namespace {

using testing::FakeImageStretcher;
using testing::FakeViewerHost;
using testing::RecordingProgress;
using testing::ScriptedDialogs;
using testing::TempFolder;

std::size_t CountColour(const Picture& picture, Colour colour) {
  return static_cast<std::size_t>(std::count(picture.Pixels.begin(), picture.Pixels.end(), colour));
}

SystemPaths CachedIn(const TempFolder& folder) {
  SystemPaths paths = folder.Paths();
  paths.CacheFolder = folder.File("cache");
  return paths;
}

// One program run: the demo map open, the viewer opened on it again and again.
struct ProgramRun {
  TempFolder Folder;
  MapModel Model;
  terrak::Settings Settings;
  GridState Grid;
  ViewerState Viewer;
  ScriptedDialogs Dialogs;
  FakeViewerHost Host;
  RecordingProgress Progress;
  FakeImageStretcher Stretcher;
  SystemPaths Paths = CachedIn(Folder);
  ViewerGridConstruction Construction{Model, Settings, Paths, {Progress, Dialogs, &Stretcher}};
  ViewerWindow Window{Viewer, Grid, Model, Settings, Dialogs, Host, Construction};

  ProgramRun() {
    Model = testing::OpenDemoModel(testing::MakeDemoMap({.Width = 120, .Depth = 90}), 10000, Folder.Path());
  }
  std::string MapImage() const { return MapBitmapFileNameFor(Model.MapFileName); }
  // "3D-Views", then F12: the grid is built in the first mesh paint.
  void ViewMesh() {
    OpenViewerOnMap(Viewer);
    FormActivate(Window);
    FormPaint(Window, 200, 170);
    ToggleWiremeshWeddingcake1Click(Window);
    FormPaint(Window, 200, 170);
  }
};

TEST(ViewerConstruction, AMapWithoutImageAfterOneWithImageIsNotDraped) {
  ProgramRun run;
  testing::WriteText(run.MapImage(), "any image");  // the fake stretcher draws it
  run.ViewMesh();
  ASSERT_TRUE(run.Grid.MapBitmapLoaded);
  EXPECT_TRUE(run.Grid.ShowMapBitmap && run.Viewer.Menu.ShowbitmapEnabled);
  EXPECT_GT(CountColour(run.Viewer.Composed, kSkyColour), 0u);
  FormClose(run.Window);

  std::filesystem::remove(run.MapImage());
  run.ViewMesh();
  EXPECT_EQ(run.Progress.Opens, 2);
  EXPECT_FALSE(run.Grid.MapBitmapLoaded);
  EXPECT_FALSE(run.Grid.ShowMapBitmap || run.Viewer.Menu.ShowbitmapEnabled);
  // The wire mesh in depth colours: no sky, no palette entry 0 (black) anywhere.
  EXPECT_EQ(CountColour(run.Viewer.Composed, kSkyColour), 0u);
  EXPECT_EQ(CountColour(run.Viewer.Composed, kBlack), 0u);
  EXPECT_GT(run.Viewer.Composed.Pixels.size() - CountColour(run.Viewer.Composed, kWhite), 0u);
  EXPECT_TRUE(run.Dialogs.Messages.empty());
}

TEST(ViewerConstruction, AnUnusableMapImageIsReportedOnceAndTheMeshIsDrawnWithoutIt) {
  for (const bool unwritableCache : {false, true}) {
    ProgramRun run;
    testing::WriteText(run.MapImage(), "not an image");
    if (unwritableCache)  // a file where the cache folder should be
      testing::WriteText(run.Paths.CacheFolder, "x");
    else
      run.Stretcher.FailToLoad = true;
    run.ViewMesh();
    ASSERT_EQ(run.Dialogs.Messages.size(), 1u) << unwritableCache;
    EXPECT_EQ(run.Dialogs.Messages[0].Text.rfind(kMapImageUnusedMessage, 0), 0u);
    EXPECT_FALSE(run.Viewer.GridPending);
    EXPECT_FALSE(run.Grid.ShowMapBitmap || run.Viewer.Menu.ShowbitmapEnabled);
    EXPECT_TRUE(run.Viewer.Menu.Save3dMapEnabled);
    EXPECT_GT(run.Viewer.Composed.Pixels.size() - CountColour(run.Viewer.Composed, kWhite), 0u);

    // Moving on paints the mesh again; nothing is built or reported a second time.
    FormKeyDown(run.Window, ArrowKey::Up, {});
    FormPaint(run.Window, 200, 170);
    EXPECT_EQ(std::tuple(run.Progress.Opens, run.Dialogs.Messages.size()), std::tuple(1, 1u));
  }
}

}  // namespace
}  // namespace terrak
