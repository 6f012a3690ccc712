#include "viewer/viewer_commands.h"

#include <gtest/gtest.h>

#include <tuple>
#include <sys/stat.h>

#include <filesystem>

#include "common/bytes.h"
#include "terrain/map3d_file.h"
#include "support/temp_folder.h"
#include "viewer/colours3d.h"
#include "viewer/depth_ramp.h"
#include "viewer_session.h"

namespace terrak {
namespace {

using Calls = std::vector<std::string>;
using testing::ViewerSession;

TEST(ViewerCommands, PresetsAndKeysRepaintWhatTheyChangeAndStepItemsNothing) {
  ViewerSession s;
  s.OpenOnMap();
  s.Viewer.Viewpoints[kWestView].x = -77;
  PresetClick(s.Window, kWestView);
  EXPECT_EQ(s.Viewer.Current().x, -77);
  EXPECT_EQ(s.Host.Calls, (Calls{"invalidate"}));  // not the compass or inclinometer

  s.Host.Calls.clear();
  StepClick(s.Window, 100, 45);
  EXPECT_TRUE(s.Host.Calls.empty());
  FormKeyDown(s.Window, ArrowKey::Left, {});
  FormKeyDown(s.Window, ArrowKey::Up, {});
  FormKeyDown(s.Window, ArrowKey::Left, {true, false, false});
  EXPECT_EQ(s.Host.Calls, (Calls{"invalidate", "direction windows", "invalidate"}));

  s.Host.Calls.clear();
  Compass1Click(s.Window);
  Inclinometer1Click(s.Window);
  Show2Dmap1Click(s.Window);
  EXPECT_FALSE(s.Viewer.Menu.CompassEnabled);
  EXPECT_FALSE(s.Viewer.Menu.InclinometerEnabled || s.Viewer.Menu.Show2DmapEnabled);
  EXPECT_EQ(s.Host.Calls, (Calls{"open compass", "open inclinometer", "open overview"}));
  CompassClosed(s.Window);
  InclinometerClosed(s.Window);
  EXPECT_TRUE(s.Viewer.Menu.CompassEnabled && s.Viewer.Menu.InclinometerEnabled);

  s.Host.Calls.clear();
  ToggleZBuffer1Click(s.Window);
  EXPECT_FALSE(s.Viewer.ZBufferOn);
  ShowbitmapClick(s.Window);
  EXPECT_TRUE(s.Grid.ShowMapBitmap);
  EXPECT_EQ(s.Host.Calls, (Calls{"invalidate", "invalidate"}));

  s.Host.Calls.clear();
  SaveLocation1Click(s.Window);
  EXPECT_TRUE(s.Model.MapModified);
  EXPECT_TRUE(s.Host.Calls.empty());
  LoadLocation1Click(s.Window);
  EXPECT_EQ(s.Host.Calls, (Calls{"invalidate"}));
}

TEST(ViewerCommands, OptionsStoreAcceptedNumbersMarkTheMapChangedAndRepaintExceptTheGap) {
  ViewerSession s;
  s.Dialogs.InputAnswers = {"150", "99", "1500", std::nullopt, "0"};
  Smoothing1Click(s.Window);  // 150 is out of range
  EXPECT_EQ(s.Settings.Smoothing, 0);
  EXPECT_FALSE(s.Model.MapModified);
  EXPECT_TRUE(s.Host.Calls.empty());
  Smoothing1Click(s.Window);
  EXPECT_EQ(s.Settings.Smoothing, 99);
  EXPECT_TRUE(s.Model.MapModified);
  EXPECT_EQ(s.Host.Calls, (Calls{"invalidate"}));
  ContourGap1Click(s.Window);  // only "150" is read
  EXPECT_EQ(s.Settings.ContourGap, 150);
  EXPECT_EQ(s.Host.Calls.size(), 1u);
  s.Model.MapModified = false;
  GridInterval1Click(s.Window);  // cancelled: the default " 5" is stored again
  EXPECT_EQ(s.Settings.GridInterval, 5);
  EXPECT_TRUE(s.Model.MapModified);
  EXPECT_EQ(s.Host.Calls.size(), 2u);
  Smoothingpasses1Click(s.Window);  // 0 is below 1
  EXPECT_EQ(s.Settings.SmoothingPasses, 1);
  ASSERT_EQ(s.Dialogs.Inputs.size(), 5u);
  EXPECT_EQ(std::tie(s.Dialogs.Inputs[0].Caption, s.Dialogs.Inputs[0].Prompt,
                     s.Dialogs.Inputs[0].DefaultText),
            std::tuple("Change smoothing factor", "Smoothing Factor (0-99)", "  0"));
  EXPECT_EQ(s.Dialogs.Inputs[2].Prompt, "Maximum gap between contours (0-000 metres)");
  EXPECT_EQ(s.Dialogs.Inputs[2].DefaultText, " 50");
  EXPECT_EQ(s.Dialogs.Inputs[3].Caption, "Change Grid Interval");
  EXPECT_EQ(s.Dialogs.Inputs[4].Prompt, "Smoothing Passes (1-9)");

  CreateXYZfileofcontours1Click(s.Window);
  Creatematrixofwholegrid1Click(s.Window);
  EXPECT_TRUE(s.Viewer.CreateXyzFile && s.Viewer.Menu.CreateXyzChecked);
  EXPECT_TRUE(s.Viewer.CreateMatrixFile && s.Viewer.Menu.CreateMatrixChecked);
  CreateXYZfileofcontours1Click(s.Window);
  EXPECT_FALSE(s.Viewer.CreateXyzFile || s.Viewer.Menu.CreateXyzChecked);
}

TEST(ViewerCommands, SaveBitmapAndPrintDrawThePictureAgainAt1200By900) {
  testing::TempFolder folder;
  ViewerSession s;
  s.OpenOnMap();
  s.Host.Calls.clear();
  SaveBitmap1Click(s.Window);  // cancelled
  EXPECT_TRUE(s.Dialogs.Messages.empty());
  EXPECT_EQ(s.Viewer.RenderWidth, 160);

  s.Dialogs.FileAnswers = {folder.File("view.bmp")};
  SaveBitmap1Click(s.Window);
  EXPECT_EQ(s.Dialogs.FileDialogs.back().DefaultExtension, "bmp");
  EXPECT_EQ(s.Dialogs.FileDialogs.back().Filter, "Bitmap (.bmp)|*.bmp");
  EXPECT_EQ(s.Dialogs.MessageTexts().back(),
            "Bitmap saved to " + folder.File("view.bmp") + " at 1200x900 pixels");
  const std::vector<std::uint8_t> bmp = testing::ReadBytes(folder.File("view.bmp"));
  ASSERT_EQ(bmp.size(), 54u + 1200 * 900 * 3);
  EXPECT_EQ(GetI32(&bmp[18]), 1200);
  EXPECT_EQ(GetU16(&bmp[28]), 24);
  EXPECT_EQ(s.Viewer.RenderWidth, 1200);  // until the next paint of the window
  EXPECT_TRUE(s.Host.Calls.empty());      // the window is not repainted

  Print1Click(s.Window);  // cancelled
  EXPECT_EQ(s.Host.Calls, (Calls{"print dialog"}));
  s.Host.Printer = PageSize{4800, 6600};
  Print1Click(s.Window);
  EXPECT_EQ(std::tuple(s.Host.PrintedRect, s.Host.Printed.Width, s.Host.Printed.Height),
            std::tuple((Rect{0, 0, 4800, 3600}), 1200, 900));
  PrinterSetup1Click(s.Window);
  EXPECT_EQ(s.Host.Calls.back(), "printer setup");
}

TEST(ViewerCommands, Save3dMapProposesTheMapsNameAndReadsBackEqual) {
  testing::TempFolder folder;
  ViewerSession s(testing::FlatGrid(20, 10, 1234, -5, 7));
  s.Model.MapFileName = folder.File("Forest.OCD");
  s.OpenOnMesh();
  s.Grid.HeightGrid(3, 4) = -77;
  Save3dMapClick(s.Window);  // cancelled
  ASSERT_EQ(s.Dialogs.FileDialogs.size(), 1u);
  EXPECT_EQ(std::tie(s.Dialogs.FileDialogs[0].ProposedName, s.Dialogs.FileDialogs[0].Filter,
                     s.Dialogs.FileDialogs[0].DefaultExtension),
            std::tuple(folder.File("Forest.o3d"), "Ocad 3d Map (.o3d)|*.o3d", ".o3d"));

  s.Dialogs.FileAnswers = {folder.File("forest.o3d")};
  Save3dMapClick(s.Window);
  EXPECT_EQ(std::tuple(s.Dialogs.BusyCalls, s.Dialogs.BusyDepth, s.Viewer.Map3dFileName),
            std::tuple(1, 0, folder.File("forest.o3d")));

  GridState grid;
  ViewpointBlock views{};
  ASSERT_TRUE(Read3dMap(folder.File("forest.o3d"), grid, views, s.Dialogs));
  EXPECT_EQ(views, s.Viewer.Viewpoints);
  EXPECT_EQ(std::tuple(grid.GridWidth, grid.GridMinY, grid.HeightGrid(3, 4),
                       grid.HeightGrid(19, 9)),
            std::tuple(20, 7, -77, 1234));
  EXPECT_EQ(s.Host.StatusMessages, std::vector<std::string>{"Saved " + folder.File("forest.o3d")});
}

TEST(ViewerCommands, SaveDialogsStartBesideTheMapThe3dMapOrTheFileSavedLast) {
  testing::TempFolder folder;
  const std::string maps = folder.File("maps"), pictures = folder.File("pictures");
  ViewerSession s;
  s.Model.MapFileName = maps + "/forest.ocd";
  s.OpenOnMap();
  SaveBitmap1Click(s.Window);  // cancelled
  Save3dMapClick(s.Window);
  ASSERT_EQ(s.Dialogs.FileDialogs.size(), 2u);
  EXPECT_EQ(s.Dialogs.FileDialogs[0].InitialFolder, maps);
  EXPECT_EQ(s.Dialogs.FileDialogs[1].InitialFolder, maps);
  // A picture saved elsewhere: the next picture starts there, the 3D map still beside the map.
  std::filesystem::create_directory(pictures);
  s.Dialogs.FileAnswers = {pictures + "/view.bmp"};
  SaveBitmap1Click(s.Window);
  SaveBitmap1Click(s.Window);
  Save3dMapClick(s.Window);
  EXPECT_EQ(s.Dialogs.FileDialogs[3].InitialFolder, pictures);
  EXPECT_EQ(s.Dialogs.FileDialogs[4].InitialFolder, maps);

  // A viewer on a 3D map file, without a map: beside that file.
  ViewerSession on3d;
  on3d.Model.MapFileName = "nofile";
  OpenViewerOn3dMap(on3d.Viewer, on3d.Grid, pictures + "/terrain.o3d");
  SaveBitmap1Click(on3d.Window);
  EXPECT_EQ(on3d.Dialogs.FileDialogs[0].InitialFolder, pictures);
}

// Save Bitmap and Save3dMap ask before they replace a read-only file, and leave it on No (the
// question's kind and buttons: ReadOnlyFile).
TEST(ReadOnlyOutput, SaveBitmapAndSave3dMapReplaceAReadOnlyFileOnlyOnYes) {
  testing::TempFolder folder;
  const std::string picture = folder.File("view.bmp"), map3d = folder.File("view.o3d");
  for (const std::string& file : {picture, map3d}) {
    testing::WriteText(file, "keep me");
    ::chmod(file.c_str(), 0444);
  }
  ViewerSession s;
  s.OpenOnMesh();  // the grid is built, so Save3dMap has something to write

  s.Dialogs.FileAnswers = {picture, map3d};
  s.Dialogs.MessageAnswers = {DialogButton::No, DialogButton::No};
  SaveBitmap1Click(s.Window);
  Save3dMapClick(s.Window);
  ASSERT_EQ(s.Dialogs.MessageTexts(),
            (std::vector<std::string>{
                "The file " + picture + " is read-only. Replace it anyway?",
                "The file " + map3d + " is read-only. Replace it anyway?"}));
  EXPECT_EQ(testing::ReadText(picture), "keep me");
  EXPECT_EQ(testing::ReadText(map3d), "keep me");
  EXPECT_EQ(s.Dialogs.BusyCalls, 0);  // nothing was written
  EXPECT_TRUE(s.Viewer.Map3dFileName.empty());

  s.Dialogs.Messages.clear();
  s.Dialogs.FileAnswers = {picture, map3d};
  s.Dialogs.MessageAnswers = {DialogButton::Yes, DialogButton::Ok, DialogButton::Yes};
  SaveBitmap1Click(s.Window);
  Save3dMapClick(s.Window);
  ASSERT_EQ(s.Dialogs.Messages.size(), 3u);
  EXPECT_EQ(s.Dialogs.MessageTexts()[1],
            "Bitmap saved to " + picture + " at 1200x900 pixels");
  EXPECT_EQ(testing::ReadBytes(picture).size(), 54u + 1200 * 900 * 3);
  EXPECT_NE(testing::ReadText(map3d), "keep me");
  EXPECT_EQ(s.Viewer.Map3dFileName, map3d);
}

TEST(ViewerCommands, TheColourDialogChangesTheRampAtOnceAndMarksTheMapChanged) {
  ViewerSession s;
  s.OpenOnMap();
  // From the start the ramp runs from the front colour, nearest, to the back colour.
  ASSERT_NE(s.Settings.Front3dColour, s.Settings.Back3dColour);
  EXPECT_EQ(std::tuple(s.Viewer.DepthRamp[0], s.Viewer.DepthRamp[100]),
            std::tuple(s.Settings.Front3dColour, s.Settings.Back3dColour));
  s.Host.Calls.clear();
  s.Host.ColourDialog = [&] { s.Settings.Front3dColour = MakeColour(0, 255, 0); };
  Colours1Click(s.Window);
  EXPECT_EQ(s.Host.Calls, (Calls{"colour dialog", "invalidate"}));
  EXPECT_TRUE(s.Model.MapModified);
  EXPECT_EQ(s.Viewer.DepthRamp[0], MakeColour(0, 255, 0));
  EXPECT_EQ(s.Viewer.DepthRamp[100], s.Settings.Back3dColour);

  FormClose(s.Window);
  EXPECT_TRUE(s.Viewer.Buffers.DepthBuffer.Empty());

  // In the colours dialog a double click takes the chosen colour at once; Cancel keeps it.
  Settings settings;
  s.Dialogs.ColourAnswers = {MakeColour(1, 2, 3), std::nullopt};
  EXPECT_TRUE(FrontcolourDblClick(settings, s.Dialogs));
  EXPECT_EQ(settings.Front3dColour, MakeColour(1, 2, 3));
  EXPECT_FALSE(BackcolourDblClick(settings, s.Dialogs));
  EXPECT_EQ(settings.Back3dColour, Settings{}.Back3dColour);
  EXPECT_EQ(s.Dialogs.ColourDialogs, (std::vector<Colour>{0x0000FF, 0x808080}));
}

}  // namespace
}  // namespace terrak
