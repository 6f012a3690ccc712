// terrak-cli as a process: the libraries the dynamic loader brings in for each command (its own
// account under LD_DEBUG=libs, so no library version matters), and the exports of a program
// whose modules beside it are broken.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>

#include "export/gdal_module.h"
#include "support/temp_folder.h"

extern char** environ;

namespace terrak {
namespace {

using namespace terrak::testing;
namespace fs = std::filesystem;

const std::string kSamples = TERRAK_SOURCE_DIR "/samples";

struct ProgramRun {
  int Exit = -1;
  std::string Out;
  std::string Err;  // with the loader's trace
};

// Runs program with args, TMPDIR in folder and the loader's library trace on standard error.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const TempFolder& folder) {
  std::vector<std::string> environment{"TMPDIR=" + folder.Path(), "LD_DEBUG=libs"};
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("LD_DEBUG", 0) != 0 && std::string(*e).rfind("TMPDIR=", 0) != 0)
      environment.push_back(*e);
  std::vector<char*> envp, argv{const_cast<char*>(program.c_str())};
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  const std::string out = folder.File("run.out"), err = folder.File("run.err");
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, program.c_str(), &files, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&files);
  ProgramRun run;
  if (spawned != 0) return run;
  int status = 0;
  if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.Exit = WEXITSTATUS(status);
  run.Out = ReadText(out);
  run.Err = ReadText(err);
  return run;
}

bool Loaded(const ProgramRun& run, const std::string& library) {
  return run.Err.find(library) != std::string::npos;
}

// The sample map alone in folder, so no map image lies beside it.
std::string MapWithoutImage(const TempFolder& folder) {
  const std::string map = folder.File("alone.ocd");
  fs::copy_file(kSamples + "/demo7.ocd", map);
  return map;
}

// An export of the map's contours (101, 102) into file with flag.
std::vector<std::string> Export(const std::string& map, const std::string& flag,
                                const std::string& file) {
  return {"export", map, "--symbols", "101,102", flag, file};
}

// Info needs neither GDAL nor Qt's GUI; a grid (an export's too) drapes the map bitmap beside
// the map, or else the map's own drawing, both through the image module, still without GDAL; a
// DEM export loads GDAL through its module and a model for printing does not.
TEST(ProgramLibraries, EachCommandLoadsOnlyTheLibrariesItNeeds) {
  TempFolder folder;
  const std::string map = MapWithoutImage(folder);
  const bool images =
#ifdef TERRAK_IMAGE_MODULE_PATH
      true;
#else
      false;
#endif
  const struct {
    std::vector<std::string> Args;
    bool Gdal, Image;
    std::string Said;
  } cases[] = {
      {{"--help"}, false, false, ""},
      {{"info", map}, false, false, ""},
      {{"grid", map, "--symbols", "101,102"}, false, images, "none, the map's own drawing draped"},
      {{"grid", kSamples + "/demo7.ocd", "--symbols", "101,102"}, false, images,
       "map bitmap " + kSamples + "/demo7.bmp"},
      {Export(map, "--dem", folder.File("d.tif")), true, images, ""},
      {Export(map, "--stl", folder.File("d.stl")), false, images, ""},
  };
  for (const auto& c : cases) {
    if (c.Args[0] == "grid" && !images) continue;
    const ProgramRun run = RunProgram(TERRAK_CLI_PATH, c.Args, folder);
    SCOPED_TRACE(c.Args.back());
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_NE(run.Out.find(c.Said), std::string::npos) << run.Out;
    EXPECT_TRUE(Loaded(run, "libstdc++"));  // the trace is there
    EXPECT_EQ(Loaded(run, "libgdal"), c.Gdal);
    EXPECT_EQ(Loaded(run, "terrak-gdal.so"), c.Gdal);
    EXPECT_EQ(Loaded(run, "terrak-qtimage.so"), c.Image);
    EXPECT_EQ(Loaded(run, "libQt6Gui"), c.Image);
  }
}

TEST(ProgramLibraries, BrokenModulesBesideOrInstalledWithTheProgramFailOnlyWhatNeedsThem) {
  TempFolder folder;
  const std::string map = MapWithoutImage(folder);
  fs::create_directory(folder.File("bin"));
  const std::string program = folder.File("bin/terrak-cli");
  fs::copy_file(TERRAK_CLI_PATH, program);
  WriteText(folder.File("bin/terrak-gdal.so"), "not a module\n");

  const ProgramRun dem = RunProgram(program, Export(map, "--dem", folder.File("d.tif")), folder);
  EXPECT_EQ(dem.Exit, 1);
  // The module is named in the message: the installed-program test and GdalModule.
  EXPECT_NE(dem.Err.find(std::string("terrak-cli: ") + kGdalModuleMissing), std::string::npos)
      << dem.Err;
  EXPECT_FALSE(fs::exists(folder.File("d.tif")));

  const ProgramRun stl = RunProgram(program, Export(map, "--stl", folder.File("d.stl")), folder);
  EXPECT_EQ(stl.Exit, 0) << stl.Err;
  EXPECT_TRUE(fs::exists(folder.File("d.stl")));

#ifdef TERRAK_IMAGE_MODULE_PATH
  // A textured model needs the texture's PNG from GDAL: refused with the module's message.
  fs::copy_file(kSamples + "/demo7.bmp", folder.File("alone.bmp"));
  const ProgramRun glb = RunProgram(program, Export(map, "--glb", folder.File("d.glb")), folder);
  EXPECT_EQ(glb.Exit, 1);
  EXPECT_NE(glb.Err.find(kGdalModuleMissing), std::string::npos) << glb.Err;
  EXPECT_FALSE(fs::exists(folder.File("d.glb")));

  // With the image module broken too the grid is still built; only the image is left out, with
  // the reason.
  WriteText(folder.File("bin/terrak-qtimage.so"), "not a module\n");
  const ProgramRun grid = RunProgram(program, {"grid", map, "--symbols", "101,102"}, folder);
  EXPECT_EQ(grid.Exit, 0) << grid.Err;
  EXPECT_NE(grid.Out.find("map bitmap none"), std::string::npos) << grid.Out;
  EXPECT_NE(grid.Err.find("the image module could not be loaded: "), std::string::npos) << grid.Err;
#endif

  // An installed program takes the module from its installed module folder: broken, so that
  // taking it shows in the message instead of the build tree's module.
  fs::create_directories(folder.File("inst/bin"));
  const std::string installed = folder.File("inst/bin/terrak-cli");
  fs::copy_file(TERRAK_CLI_PATH, installed);
  const std::string modules = folder.File("inst/bin/" TERRAK_MODULE_DIR_FROM_BIN);
  fs::create_directories(modules);
  WriteText(modules + "/terrak-gdal.so", "not a module\n");
  const ProgramRun inst = RunProgram(installed, Export(map, "--dem", folder.File("i.tif")), folder);
  EXPECT_EQ(inst.Exit, 1);
  EXPECT_NE(inst.Err.find(modules + "/terrak-gdal.so"), std::string::npos) << inst.Err;
}

}  // namespace
}  // namespace terrak
