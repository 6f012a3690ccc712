// terrak-cli never replaces a read-only output unless --force says so, and says which one
// before any work starts.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "cli_run.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

const std::string kDemoMap = TERRAK_SOURCE_DIR "/samples/demo6.ocd";

void MakeReadOnly(const std::string& file) {
  WriteText(file, "keep me");
  ::chmod(file.c_str(), 0444);
}

std::string Refusal(const std::string& file) {
  return "terrak-cli: " + file + " is read-only; give --force to replace it\n";
}

TEST(OutputFiles, AReadOnlyPictureIsRefusedUnlessForced) {
  TempFolder folder;
  const std::string picture = folder.File("cake.bmp");
  MakeReadOnly(picture);
  const std::vector<std::string> args{"render", kDemoMap, "--symbols", "101", "--contours",
                                      "--size", "40x30", "--out", picture};
  const CliRun refused = RunCli(args);
  EXPECT_EQ(refused.Exit, 1);
  EXPECT_EQ(refused.Err, Refusal(picture));  // said before the map is even opened
  EXPECT_TRUE(refused.Out.empty());
  EXPECT_EQ(ReadText(picture), "keep me");

  std::vector<std::string> forced = args;
  forced.push_back("--force");
  ASSERT_EQ(RunCli(forced).Exit, 0);
  EXPECT_EQ(ReadBytes(picture).size(), 54u + 40 * 30 * 3);

  // A picture that may be written is replaced without --force.
  WriteText(folder.File("open.bmp"), "old");
  std::vector<std::string> open = args;
  open.back() = folder.File("open.bmp");
  ASSERT_EQ(RunCli(open).Exit, 0);
  EXPECT_EQ(ReadBytes(folder.File("open.bmp")).size(), 54u + 40 * 30 * 3);
}

TEST(OutputFiles, EveryOutputOfTheGridIsCheckedBeforeTheGridIsBuilt) {
  TempFolder folder;
  const std::vector<std::string> outputs{"--xyz", "--matrix", "--o3d"};
  for (const std::string& locked : outputs) {
    std::vector<std::string> args{"grid", kDemoMap, "--symbols", "101,102"};
    for (const std::string& option : outputs) {
      const std::string file = folder.File(locked + option.substr(2));
      if (option == locked) MakeReadOnly(file);
      args.insert(args.end(), {option, file});
    }
    const std::string lockedFile = folder.File(locked + locked.substr(2));
    const CliRun refused = RunCli(args);
    EXPECT_EQ(refused.Exit, 1) << locked;
    EXPECT_EQ(refused.Err, Refusal(lockedFile)) << locked;
    EXPECT_EQ(ReadText(lockedFile), "keep me");

    args.push_back("--force");
    const CliRun forced = RunCli(args);
    EXPECT_EQ(forced.Exit, 0) << forced.Err;
    EXPECT_NE(ReadText(lockedFile), "keep me") << locked;
  }
}

}  // namespace
}  // namespace terrak
