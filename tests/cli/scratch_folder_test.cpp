// terrak-cli's scratch folders: named for their process, removed when the run ends, and the
// ones that killed runs left behind removed by the next run, while every other entry stays.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "cli/scratch_folder.h"
#include "cli_run.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;
namespace fs = std::filesystem;

// The id of a process that has ended (and been reaped), so that no process has it now.
pid_t GoneProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

std::string Name(pid_t pid, const std::string& tail = "-a1B2c3") {
  return "terrak-cli-" + std::to_string(pid) + tail;
}

void MakeFolderWithFile(const std::string& folder) {
  fs::create_directories(folder);
  WriteText(folder + "/OCADCopy.tmp", "copy");
}

TEST(ScratchFolder, IsNamedForItsProcessKnownToTheRegistryAndRemovedWithItsContent) {
  TempFolder parent;
  cli::ScratchRegistry registry;
  std::string path;
  {
    const cli::ScratchFolder scratch(parent.Path(), &registry);
    path = scratch.Path();
    const std::string name = fs::path(path).filename().string();
    EXPECT_EQ(name.rfind(Name(::getpid(), "-"), 0), 0u) << name;
    EXPECT_EQ(name.size(), Name(::getpid()).size());
    EXPECT_EQ(registry.Folders(), std::vector<std::string>{path});
    WriteText(scratch.File("OCADCopy.tmp"), "copy");
    fs::create_directories(scratch.File("inner"));
    WriteText(scratch.File("inner/stretched.bmp"), "bmp");
    // Only its owner may look inside.
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_all);
  }
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(registry.Folders().empty());

  // What the registry still knows when a signal ends the run is removed from the disk.
  MakeFolderWithFile(parent.File("left"));
  registry.Add(parent.File("left"));
  registry.RemoveAll();
  EXPECT_FALSE(fs::exists(parent.File("left")));
  EXPECT_TRUE(registry.Folders().empty());
}

TEST(ScratchFolder, OnlyFoldersOfGoneProcessesAreRemovedAsStale) {
  TempFolder parent, elsewhere;
  const pid_t gone = GoneProcess();
  const pid_t alive = ::getppid();
  MakeFolderWithFile(parent.File(Name(gone)));
  MakeFolderWithFile(parent.File(Name(gone, "-zzzzzz")));
  // Kept: a live process's, this process's own, names that are not the program's, a file, a
  // link (and what it points to).
  const std::vector<std::string> kept = {
      Name(alive), Name(::getpid()), Name(gone, "-abc"), Name(gone, "-abc.de"),
      "terrak-cli-a1B2c3", "terrak-cli--a1B2c3", "terrak-cli-0-a1B2c3", "other-1-a1B2c3",
      "terrak-cli-99999999999999999999-a1B2c3"};
  for (const std::string& name : kept) MakeFolderWithFile(parent.File(name));
  WriteText(parent.File(Name(gone, "-file00")), "a file");
  MakeFolderWithFile(elsewhere.File("target"));
  fs::create_directory_symlink(elsewhere.File("target"), parent.File(Name(gone, "-link00")));
  // Another user's folder is not this user's to remove (as root the test can make one).
  const bool root = ::geteuid() == 0;
  if (root) {
    MakeFolderWithFile(parent.File(Name(gone, "-other0")));
    ASSERT_EQ(::chown(parent.File(Name(gone, "-other0")).c_str(), 4321, 4321), 0);
  }

  EXPECT_EQ(cli::RemoveStaleScratchFolders(parent.Path()), 2);
  EXPECT_FALSE(fs::exists(parent.File(Name(gone))));
  EXPECT_FALSE(fs::exists(parent.File(Name(gone, "-zzzzzz"))));
  for (const std::string& name : kept)
    EXPECT_TRUE(fs::exists(parent.File(name + "/OCADCopy.tmp"))) << name;
  EXPECT_TRUE(fs::exists(parent.File(Name(gone, "-file00"))));
  EXPECT_TRUE(fs::is_symlink(parent.File(Name(gone, "-link00"))));
  EXPECT_TRUE(fs::exists(elsewhere.File("target/OCADCopy.tmp")));
  EXPECT_TRUE(!root || fs::exists(parent.File(Name(gone, "-other0"))));
  EXPECT_EQ(cli::RemoveStaleScratchFolders(parent.File("missing")), 0);

  // A run that makes a scratch folder cleans up first; one that needs none leaves all alone.
  MakeFolderWithFile(parent.File(Name(gone)));
  EXPECT_EQ(RunCli({"--version"}, {.TempFolder = parent.Path()}).Exit, 0);
  EXPECT_TRUE(fs::exists(parent.File(Name(gone))));
  const CliRun run = RunCli({"info", TERRAK_SOURCE_DIR "/samples/demo6.ocd"},
                            {.TempFolder = parent.Path()});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_FALSE(fs::exists(parent.File(Name(gone))));
  EXPECT_TRUE(fs::exists(parent.File(Name(alive))));
}

TEST(ScratchFolder, AFolderOfAProcessThisUserMayNotSignalIsKept) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs to run as another user";
  // A run of user 4321 finds a folder of its own named for a process it may not signal (this
  // test's parent, which runs as root): that process lives, so the folder stays.
  TempFolder parent;
  ASSERT_EQ(::chmod(parent.Path().c_str(), 0777), 0);
  const std::string folder = parent.File(Name(::getppid()));
  MakeFolderWithFile(folder);
  ASSERT_EQ(::chown(folder.c_str(), 4321, 4321), 0);
  ASSERT_EQ(::chown((folder + "/OCADCopy.tmp").c_str(), 4321, 4321), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(4321) != 0 || ::setuid(4321) != 0) ::_exit(2);
    ::_exit(cli::RemoveStaleScratchFolders(parent.Path()));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(fs::exists(folder + "/OCADCopy.tmp"));
}

}  // namespace
}  // namespace terrak
