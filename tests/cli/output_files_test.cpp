// terrak-cli never replaces a read-only output unless --force says so, never writes over one of
// its inputs or gives two outputs one file, and says which one before any work starts.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "cli_run.h"
#include "platform/safe_file_writer.h"
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

  // The whole map's picture, and the map and the report that heights writes, likewise.
  const std::string locked = folder.File("locked.png"), report = folder.File("report.csv");
  MakeReadOnly(locked);
  MakeReadOnly(report);
  const std::vector<std::string> heights{"heights",  kDemoMap, "--contours", "101",
                                         "--interval", "5",    "--out",      locked};
  std::vector<std::string> reporting = heights;
  reporting.back() = folder.File("new.ocd");
  reporting.insert(reporting.end(), {"--report", report});
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"map", kDemoMap, "--out", locked}, heights, reporting}) {
    const CliRun run = RunCli(command);
    EXPECT_EQ(std::tuple(run.Exit, run.Err), std::tuple(1, Refusal(command.back()))) << command[0];
  }
  EXPECT_EQ(ReadText(report), "keep me");
  reporting.push_back("--force");
  RunCliOk(reporting);
  EXPECT_EQ(ReadText(report).rfind("index,symbol,height,state,reason\n", 0), 0u);
#ifdef TERRAK_IMAGE_MODULE_PATH
  RunCliOk({"map", kDemoMap, "--out", locked, "--force"});
  EXPECT_NE(ReadText(locked), "keep me");
#endif
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
    RunCliOk(args);
    EXPECT_NE(ReadText(lockedFile), "keep me") << locked;
  }
}

TEST(OutputFiles, NoOutputIsAnInputOrAnotherOutputAndAnInterruptedSaveIsSaid) {
  namespace fs = std::filesystem;
  TempFolder folder;
  const std::string map = folder.File("x.ocd");
  const std::string image = folder.File("x.bmp");
  fs::copy_file(kDemoMap, map);
  fs::copy_file(TERRAK_SOURCE_DIR "/samples/demo6.bmp", image);
  const std::vector<std::uint8_t> mapBytes = ReadBytes(map);
  const std::vector<std::uint8_t> imageBytes = ReadBytes(image);
  const std::string twin = folder.File("twin.ocd");
  ASSERT_EQ(::link(map.c_str(), twin.c_str()), 0);
  fs::create_symlink("x.bmp", folder.File("picture.bmp"));
  const std::string o3d = folder.File("terrain.o3d");
  WriteText(o3d, "not read");
  const std::string same = folder.File("same.tif");
  const std::string sameAgain = folder.File("missing/../same.tif");

  const auto exporting = [&](std::vector<std::string> outputs) {
    std::vector<std::string> args{"export", map, "--symbols", "101"};
    args.insert(args.end(), outputs.begin(), outputs.end());
    return args;
  };
  const auto overwrites = [](const std::string& option, const std::string& file,
                             const std::string& what, const std::string& input) {
    return "terrak-cli: " + option + " " + file + " would overwrite " + what + " " + input +
           "; give another file name\n";
  };
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {exporting({"--stl", map}), overwrites("--stl", map, "the input map", map)},
      {exporting({"--stl", folder.File("./x.ocd"), "--force"}),
       overwrites("--stl", folder.File("./x.ocd"), "the input map", map)},
      {exporting({"--dem", folder.File("a.tif"), "--stl", twin}),
       overwrites("--stl", twin, "the input map", map)},
      {exporting({"--glb", image}), overwrites("--glb", image, "the input map's image", image)},
      {exporting({"--glb", folder.File("picture.bmp")}),
       overwrites("--glb", folder.File("picture.bmp"), "the input map's image", image)},
      {exporting({"--stl", map + ".heights"}),
       overwrites("--stl", map + ".heights", "the input map's heights file", map + ".heights")},
      {exporting({"--dem", same, "--stl", same}),
       "terrak-cli: --dem " + same + " and --stl " + same +
           " are the same file; give each output a name of its own\n"},
      {exporting({"--dem", same, "--glb", folder.File("b.glb"), "--stl", sameAgain}),
       "terrak-cli: --dem " + same + " and --stl " + sameAgain +
           " are the same file; give each output a name of its own\n"},
      {{"export", o3d, "--stl", o3d}, overwrites("--stl", o3d, "the input 3D map file", o3d)},
      {{"grid", map, "--symbols", "101", "--xyz", image},
       overwrites("--xyz", image, "the input map's image", image)},
      {{"render", map, "--symbols", "101", "--out", twin},
       overwrites("--out", twin, "the input map", map)},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(args.back());
    const CliRun refused = RunCli(args);
    EXPECT_EQ(std::tuple(refused.Exit, refused.Err), std::tuple(1, message));
    EXPECT_TRUE(refused.Out.empty());
  }
  EXPECT_EQ(ReadBytes(map), mapBytes);
  EXPECT_EQ(ReadBytes(image), imageBytes);
  EXPECT_EQ(ReadText(o3d), "not read");
  EXPECT_FALSE(fs::exists(same));
  EXPECT_FALSE(fs::exists(map + ".heights"));

  // A map whose last save was interrupted is read with a warning.
  std::vector<std::uint8_t> newer = ReadBytes(map);
  newer.push_back(0);
  const std::string copy = SaveFileNamesFor(map).Complete;
  WriteBytes(copy, newer);
  const CliRun run = RunCliOk({"render", map, "--symbols", "101", "--contours", "--size", "40x30",
                               "--out", folder.File("cake.bmp")});
  EXPECT_NE(run.Err.find("terrak-cli: warning: the last save of " + map +
                         " was interrupted, so it may be incomplete; its complete new contents "
                         "are in " + copy),
            std::string::npos)
      << run.Err;
  EXPECT_EQ(ReadBytes(copy), newer);  // left for Terrak to finish
}

}  // namespace
}  // namespace terrak
