// terrak-mapgen run as a program, as its users and the sample maps' README run it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "common/bytes.h"
#include "mapbuild/demo_terrain.h"
#include "support/temp_folder.h"

namespace terrak::testing {
namespace {

struct Outcome {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

Outcome RunMapgen(const TempFolder& folder, const std::string& arguments) {
  const std::string command = std::string(TERRAK_MAPGEN_PATH) + " " + arguments + " >" +
                              folder.File("stdout") + " 2>" + folder.File("stderr");
  const int status = std::system(command.c_str());
  return {.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1,
          .Out = ReadText(folder.File("stdout")), .Err = ReadText(folder.File("stderr"))};
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

TEST(Mapgen, WritesMapImageAndHeightsWithAOneLineSummary) {
  TempFolder folder;
  const std::string map = folder.File("hills.OCD");
  const Outcome run =
      RunMapgen(folder, "--version 6 --width 300 --height 200 --seed 4 --heights-csv " +
                            folder.File("h.csv") + " --out " + map);
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Out.find(map + ": OCAD 6, 1:10000, 300 x 200 m, "), 0u) << run.Out;
  EXPECT_NE(run.Out.find("extent -850..850 x -567..567 model units\n"), std::string::npos)
      << run.Out;
  EXPECT_EQ(Split(run.Out, '\n').size(), 1u);

  // The map's bytes: SampleMapsAreWhatTheirReadmeCommandsMake. The image beside it, 24 bits a
  // pixel unless told otherwise:
  const std::vector<std::uint8_t> bmp = ReadBytes(folder.File("hills.bmp"));
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(GetI32(&bmp[18]), 300);
  EXPECT_EQ(GetI32(&bmp[22]), 200);
  EXPECT_EQ(GetU16(&bmp[28]), 24);

  // Every whole metre: 201 rows of 301 heights, the first row the southern edge.
  const std::vector<std::string> rows = Split(ReadText(folder.File("h.csv")), '\n');
  ASSERT_EQ(rows.size(), 201u);
  const std::vector<std::string> south = Split(rows[0], ',');
  ASSERT_EQ(south.size(), 301u);
  const DemoTerrain terrain = MakeDemoTerrain(300, 200, 4);
  EXPECT_NEAR(std::stod(south[150]), TerrainHeight(terrain, 150, 0), 0.005);
  EXPECT_NEAR(std::stod(Split(rows[120], ',')[37]), TerrainHeight(terrain, 37, 120), 0.005);
}

TEST(Mapgen, BadCommandLinesAreRefusedAndWriteNothing) {
  TempFolder folder;
  const std::string out = " --out " + folder.File("m.ocd");
  const struct {
    std::string Arguments;
    int ExitCode;
    std::string Message;
  } cases[] = {
      {"--width 300 --height 200" + out, 2, "--version is required"},
      {"--version 8 --width 300 --height 200" + out, 2, "--version must be 5, 6 or 7"},
      {"--version 5 --width 3x --height 200" + out, 2, "--width needs a number"},
      {"--version 5 --width 300 --height 200 --out " + folder.File("m.map"), 2, ".ocd"},
      {"--version 5 --width 300 --height 200 --bmp-bits 16" + out, 2, "--bmp-bits"},
      {"--version 5 --width 300 --height 200 --colour red" + out, 2, "unknown option --colour"},
      {"--version 5 --width 300" + out + " --height", 2, "--height needs a value"},
      {"--version 5 --width 20000 --height 100" + out, 2, "does not fit"},
      {"--version 5 --width 60 --height 50" + out + " --heights-csv /nonexistent/h.csv", 1,
       "cannot write /nonexistent/h.csv"},
  };
  for (const auto& c : cases) {
    const Outcome run = RunMapgen(folder, c.Arguments);
    EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Arguments;
    EXPECT_NE(run.Err.find(c.Message), std::string::npos) << c.Arguments << "\n" << run.Err;
    EXPECT_FALSE(std::filesystem::exists(folder.File("m.ocd"))) << c.Arguments;
  }
  const Outcome help = RunMapgen(folder, "--help");
  EXPECT_EQ(std::tuple(help.ExitCode, help.Out.find("usage: terrak-mapgen")), std::tuple(0, 0u));
}

// Every sample is what its README command makes, map and image byte for byte. (The program reads
// them in ContourRange.SampleMapsStayWithinTheirContours and the golden picture and grid tests.)
TEST(Mapgen, SampleMapsAreWhatTheirReadmeCommandsMake) {
  const std::string samples = std::string(TERRAK_SOURCE_DIR) + "/samples/";
  int commands = 0;
  for (const std::string& line : Split(ReadText(samples + "README.md"), '\n')) {
    std::string prefix = "terrak-mapgen ";
    if (line.rfind(prefix, 0) != 0) prefix = "build/tools/" + prefix;
    if (line.rfind(prefix, 0) != 0) continue;
    const std::size_t at = line.find("--out samples/");
    ASSERT_NE(at, std::string::npos) << line;
    const std::string name = line.substr(at + 14);
    TempFolder folder;
    const Outcome run =
        RunMapgen(folder, line.substr(prefix.size(), at - prefix.size()) + "--out " + folder.File(name));
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_TRUE(ReadBytes(folder.File(name)) == ReadBytes(samples + name)) << name;
    const std::string image = name.substr(0, name.rfind('.')) + ".bmp";
    EXPECT_TRUE(ReadBytes(folder.File(image)) == ReadBytes(samples + image)) << image;
    ++commands;
  }
  EXPECT_EQ(commands, 5);
}

}  // namespace
}  // namespace terrak::testing
