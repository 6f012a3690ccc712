// terrak-cli with today's maps: info names the format, the place on Earth and Mapper's tags; grid
// takes symbol codes as the map shows them and the height tag.
#include <gtest/gtest.h>

#include "cli/arguments.h"
#include "cli_run.h"
#include "support/outside_data.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

const std::string kRealMap = RealMapperMap();

TEST(FormatsCommand, InfoShowsFormatGeoreferencingAndTagKeys) {
  TERRAK_SKIP_WITHOUT_FILE(kRealMap);
  const CliRun run = RunCli({"info", kRealMap});
  ASSERT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.Out.rfind("format OpenOrienteering Mapper XML\nversion 9\nscale 10000\n", 0), 0u)
      << run.Out;
  EXPECT_TRUE(Contains(run.Out, "\ncrs UTM 31N EPSG:32631\n")) << run.Out;
  EXPECT_TRUE(Contains(run.Out, "\ngeoreferencing origin ")) << run.Out;
  EXPECT_TRUE(Contains(run.Out, "\nheight-tag Elevation\ntag f321610 103\n")) << run.Out;
  EXPECT_TRUE(Contains(run.Out, "\nsymbol 101000 2 101 Contour\n")) << run.Out;

  const CliRun chosen =
      RunCli({"info", kRealMap, "--height-tag", "f321610", "--objects", "101.0"});
  ASSERT_EQ(chosen.Exit, 0) << chosen.Err;
  EXPECT_TRUE(Contains(chosen.Out, "\nheight-tag f321610\n"));
  // The first contour's line: its number and its height from the tag.
  const std::size_t object = chosen.Out.find("\nobject 0 101000 2 ");
  ASSERT_NE(object, std::string::npos);
  EXPECT_NE(chosen.Out.substr(object + 19, 4), "0 ") << chosen.Out.substr(object, 40);
}

TEST(FormatsCommand, GridBuildsFromTheTagHeightsOfAMapperMap) {
  TERRAK_SKIP_WITHOUT_FILE(kRealMap);
  TempFolder folder;
  const std::string o3d = folder.File("mas-nau.o3d");
  const CliRun run = RunCliOk({"grid", kRealMap, "--symbols", "101.0,102.000", "--height-tag",
                               "f321610", "--o3d", o3d});
  EXPECT_GT(ReadBytes(o3d).size(), 100000u);
  EXPECT_FALSE(Contains(run.Err, "--height-tag")) << run.Err;

  // Without the tag the contours have no heights: the warning says which tags the map has.
  const CliRun plain = RunCliOk({"grid", kRealMap, "--symbols", "101.0,102.0"});
  EXPECT_TRUE(Contains(plain.Err, "without a height, not painted: 103\nterrak-cli: heights are "
                                  "read from the tag \"Elevation\"; the numeric tags of the "
                                  "map's lines (objects): f321610 (103)"))
      << plain.Err;
}

TEST(FormatsCommand, SymbolsAreNamedAsInfoPrintsThem) {
  // info prints "symbol 101000 2 101 Contour" for the demo Mapper map: "101" names it.
  const std::string map = TERRAK_SOURCE_DIR "/samples/demo.omap";
  const CliRun info = RunCli({"info", map, "--objects", "101"});
  ASSERT_EQ(info.Exit, 0) << info.Err;
  EXPECT_TRUE(Contains(info.Out, "\nsymbol 101000 2 101 Contour\n")) << info.Out;
  EXPECT_TRUE(Contains(info.Out, "\nobject 0 101000 ")) << info.Out;
}

}  // namespace
}  // namespace terrak
