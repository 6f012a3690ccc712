// Save Bitmap and Save3dMap ask before they replace a read-only file, and leave it on No.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/temp_folder.h"
#include "viewer_session.h"

namespace terrak {
namespace {

using testing::ViewerSession;

std::string ReadOnlyFile(const testing::TempFolder& folder, const std::string& name) {
  const std::string file = folder.File(name);
  testing::WriteText(file, "keep me");
  ::chmod(file.c_str(), 0444);
  return file;
}

TEST(ReadOnlyOutput, SaveBitmapAndSave3dMapReplaceAReadOnlyFileOnlyOnYes) {
  testing::TempFolder folder;
  const std::string picture = ReadOnlyFile(folder, "view.bmp");
  const std::string map3d = ReadOnlyFile(folder, "view.o3d");
  ViewerSession s;
  s.OpenOnMap();
  ToggleWiremeshWeddingcake1Click(s.Window);
  FormPaint(s.Window, 160, 140);  // the grid is built, so Save3dMap has something to write

  s.Dialogs.FileAnswers = {picture, map3d};
  s.Dialogs.MessageAnswers = {DialogButton::No, DialogButton::No};
  SaveBitmap1Click(s.Window);
  Save3dMapClick(s.Window);
  ASSERT_EQ(s.Dialogs.MessageTexts(),
            (std::vector<std::string>{
                "The file " + picture + " is read-only. Replace it anyway?",
                "The file " + map3d + " is read-only. Replace it anyway?"}));
  EXPECT_EQ(s.Dialogs.Messages[0].Type, MessageType::Warning);
  EXPECT_EQ(s.Dialogs.Messages[1].Buttons, DialogButton::Yes | DialogButton::No);
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

}  // namespace
}  // namespace terrak
