// terrak-cli info prints what the program reads from a map, one item a line.
#include <gtest/gtest.h>

#include "cli_run.h"
#include "mapfile/height_field.h"
#include "mapbuild/ocad_builder.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

TEST(InfoCommand, PrintsTheHeaderSymbolsObjectsAndEveryPointWithItsFlags) {
  TempFolder folder;
  OcadMapBuilder b(6);
  b.Scale(7500).Zoom(3).Offset6(Coded(1000), Coded(-1000));
  b.AddSymbol(101, 2, "Contour");
  b.AddSymbol(5, 1, "");
  b.AddSymbol(401, 3, "Open land");
  b.AddObject(Object6{.Symbol = 101, .Height = 1234,
                      .Points = {CodedPoint::At(1000, 2000), CodedPoint::At(3000, 4000).NoLeftLine(),
                                 CodedPoint::At(5000, 4000)}});
  b.AddObject(Object6{.Symbol = 401, .ObjectType = 3,
                      .Points = {CodedPoint::At(-1000, -1000), CodedPoint::At(0, 0)}});
  const std::string map = folder.File("small.ocd");
  WriteBytes(map, b.Build());
  const std::vector<std::uint8_t> before = ReadBytes(map);

  const CliRun plain = RunCliOk({"info", map});
  EXPECT_EQ(plain.Out,
            "version 6\n"
            "scale 7500\n"
            "zoom 3\n"
            "offset 567 -567\n"
            "symbol 101 2 10.1 Contour\n"
            "symbol 5 1  0.5 No Description Found\n");

  const CliRun objects = RunCliOk({"info", map, "--objects", "101"});
  EXPECT_EQ(objects.Out.substr(plain.Out.size()),
            "extent -567 -567 2835 2268\n"
            "object 0 101 2 1234 3 567 1134 2835 2268\n"
            "coords 567,1134 1701,2268l 2835,2268\n");
  EXPECT_EQ(ReadBytes(map), before);

  // A scale that is not whole prints its shortest text.
  OcadMapBuilder odd(7);
  odd.Scale(12345.5);
  WriteBytes(map, odd.Build());
  EXPECT_NE(RunCli({"info", map}).Out.find("scale 12345.5\n"), std::string::npos);
}

TEST(InfoCommand, AnImplausiblePlaceIsNoGeoreferencingAndACrsOfDegreesNoCrs) {
  TempFolder folder;
  const std::string map = folder.File("placed.ocd");
  const auto info = [&](const std::string& parameters) {
    OcadMapBuilder b(8);
    b.AddSymbol(101, 2, "Contour");
    b.AddString(1039, parameters);
    WriteBytes(map, b.Build());
    const CliRun run = RunCliOk({"info", map});
    const std::size_t at = run.Out.find("offset");
    return run.Out.substr(run.Out.find('\n', at) + 1, run.Out.find("symbol") - run.Out.find('\n', at) - 1);
  };
  // Which places are plausible: Georeferencing.APlacementIsPlausibleWithinTheLimitsOnly.
  EXPECT_EQ(info("\tm10000\tx1e308\ty5100000\ti2032"), "");
  EXPECT_EQ(info("\tm10000\tx600000\ty5100000\ta10\te4326"),
            "georeferencing origin 600000.000 5100000.000 angle -10 scale-factor 1\n");
  EXPECT_EQ(info("\tm10000\tx-99999999.5\ty5100000\ti2032"),
            "crs UTM 32N EPSG:32632\n"
            "georeferencing origin -99999999.500 5100000.000 angle 0 scale-factor 1\n");
}

TEST(InfoCommand, HeightsOfZeroAndBelowObjectsWithoutOneAndErrorsWithTheProgramsMessages) {
  TempFolder folder;
  OcadMapBuilder b(8);
  b.AddSymbol(101, 2, "Contour");
  for (const std::int32_t field : {kOcad8ZeroMetres, 0, -50, 33750})
    b.AddObject(Object6{.Symbol = 101, .Height = field,
                        .Points = {CodedPoint::At(0, 0), CodedPoint::At(1000, 1000)}});
  const std::string map = folder.File("eight.ocd");
  WriteBytes(map, b.Build());
  const CliRun run = RunCliOk({"info", map, "--objects", "101"});
  // Tenths of a metre; "none" for an object without a height, 0 being 0 m.
  const std::vector<std::string> heights{"0", "none", "-50", "33750"};
  for (std::size_t k = 0; k < heights.size(); ++k)
    EXPECT_NE(run.Out.find("\nobject " + std::to_string(k) + " 101 2 " + heights[k] + " "),
              std::string::npos) << run.Out;

  // Errors go to standard error with the program's messages.
  const CliRun missing = RunCli({"info", folder.File("none.ocd")});
  EXPECT_NE(missing.Exit, 0);
  EXPECT_EQ(missing.Err, "OCAD file does not exist\n");
  EXPECT_TRUE(missing.Out.empty());

  WriteText(folder.File("text.ocd"), "not a map at all");
  const CliRun foreign = RunCli({"info", folder.File("text.ocd")});
  EXPECT_NE(foreign.Exit, 0);
  EXPECT_EQ(foreign.Err, "File is not the correct OCAD format\n" + folder.File("text.ocd") +
                             ": neither an OCAD map (which starts with the bytes AD 0C) nor a "
                             "Mapper map (XML); it starts with 6E 6F 74 20 61 20 6D 61\n");
}

}  // namespace
}  // namespace terrak
