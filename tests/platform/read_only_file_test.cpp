// Read-only output files: what counts as one, and the question before one is replaced.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <tuple>

#include <filesystem>

#include "platform/read_only_file.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using testing::ScriptedDialogs;
using testing::TempFolder;

std::string FileWithMode(const TempFolder& folder, const std::string& name, mode_t mode) {
  const std::string file = folder.File(name);
  testing::WriteText(file, "old");
  ::chmod(file.c_str(), mode);
  return file;
}

TEST(ReadOnlyFile, NoWritePermissionForAnybodyOrForThisUserIsReadOnly) {
  TempFolder folder;
  EXPECT_TRUE(IsReadOnlyFile(FileWithMode(folder, "r.bmp", 0444)));  // also for the administrator
  EXPECT_TRUE(IsReadOnlyFile(FileWithMode(folder, "none.bmp", 0000)));
  EXPECT_FALSE(IsReadOnlyFile(FileWithMode(folder, "rw.bmp", 0644)));
  EXPECT_FALSE(IsReadOnlyFile(FileWithMode(folder, "w.bmp", 0200)));
  EXPECT_FALSE(IsReadOnlyFile(folder.File("missing.bmp")));
  EXPECT_FALSE(IsReadOnlyFile(folder.Path()));  // a folder is for the writer to refuse
  // A link is as read-only as the file it names.
  std::filesystem::create_symlink(folder.File("r.bmp"), folder.File("link.bmp"));
  EXPECT_TRUE(IsReadOnlyFile(folder.File("link.bmp")));
}

TEST(ReadOnlyFile, AReadOnlyFileIsReplacedOnlyWhenTheUserSaysYes) {
  TempFolder folder;
  const std::string locked = FileWithMode(folder, "view.bmp", 0444);
  ScriptedDialogs dialogs;
  dialogs.MessageAnswers = {DialogButton::No, DialogButton::Yes};
  EXPECT_FALSE(MayReplaceFile(dialogs, locked));
  EXPECT_TRUE(MayReplaceFile(dialogs, locked));
  ASSERT_EQ(dialogs.Messages.size(), 2u);
  EXPECT_EQ(
      std::tie(dialogs.Messages[0].Text, dialogs.Messages[0].Type, dialogs.Messages[0].Buttons),
      std::tuple("The file " + locked + " is read-only. Replace it anyway?", MessageType::Warning,
                 DialogButton::Yes | DialogButton::No));
  // Nothing is asked about a file that may be written, or one that is not there yet.
  EXPECT_TRUE(MayReplaceFile(dialogs, FileWithMode(folder, "open.bmp", 0644)));
  EXPECT_TRUE(MayReplaceFile(dialogs, folder.File("new.bmp")));
  EXPECT_EQ(dialogs.Messages.size(), 2u);
}

}  // namespace
}  // namespace terrak
