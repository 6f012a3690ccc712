// terrak-cli's command line: help and the version on standard output with exit code 0, every
// option read into its value, and arguments that are wrong refused with exit code 2, the reason
// and the command's usage on standard error.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "cli/command_line.h"
#include "cli_run.h"

namespace terrak {
namespace {

using namespace terrak::testing;

// The options of a command line that must parse.
template <typename Options>
Options Parsed(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const cli::ParsedCommandLine parsed = cli::ParseCommandLine(args, out, err);
  EXPECT_TRUE(parsed.Command.has_value()) << err.str();
  EXPECT_TRUE(out.str().empty() && err.str().empty()) << out.str() << err.str();
  if (!parsed.Command || !std::holds_alternative<Options>(*parsed.Command)) {
    ADD_FAILURE() << "not the expected command";
    return Options{};
  }
  return std::get<Options>(*parsed.Command);
}

TEST(CommandLine, HelpAndVersionGoToStandardOutputAndSucceed) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--help"}, {"-h"}, {"info", "--help"}, {"grid", "--help"}, {"render", "-h"},
           {"grid", "map.ocd", "--help"}, {"--version"}}) {
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.Exit, 0) << args.front() << ' ' << args.back();
    EXPECT_TRUE(run.Err.empty()) << run.Err;
    EXPECT_FALSE(run.Out.empty()) << args.front() << ' ' << args.back();
  }
  EXPECT_EQ(RunCli({"--version"}).Out, "terrak-cli 7.1\n");
  const CliRun help = RunCli({"--help"});
  EXPECT_TRUE(Contains(help.Out, "usage: terrak-cli info MAP.ocd"));
  EXPECT_TRUE(Contains(help.Out, "Exit codes: 0 done, 1 failed or refused, 2 wrong arguments"));
  // A command's help is its own: every option with its default.
  const CliRun grid = RunCli({"grid", "--help"});
  EXPECT_EQ(grid.Out.rfind("Build the terrain grid", 0), 0u) << grid.Out;
  EXPECT_TRUE(Contains(grid.Out, "usage: terrak-cli grid MAP.ocd --symbols N,N,..."));
  EXPECT_TRUE(Contains(grid.Out, "--smoothing F=0") && Contains(grid.Out, "--contour-gap G=50"));
  EXPECT_TRUE(Contains(RunCli({"render", "--help"}).Out, "--size WxH=1200x900"));
  // The maps of today and their symbols' numbers as info prints them.
  const std::string info = RunCli({"info", "--help"}).Out;
  EXPECT_TRUE(Contains(info, "OCAD 5 to 12 or 2018 (.ocd), or OpenOrienteering Mapper")) << info;
  EXPECT_FALSE(Contains(info, "versions 5, 6, 7")) << info;
  EXPECT_FALSE(Contains(grid.Out, "ten times")) << grid.Out;
  EXPECT_TRUE(Contains(grid.Out, "--symbols N,N,... REQUIRED  the contour symbols, as info prints "
                                 "them"))
      << grid.Out;
  EXPECT_TRUE(Contains(RunCli({"export", "--help"}).Out, "GTiff, COG, AAIGrid, XYZ, HFA, GS7BG, "
                                                         "SAGA, BT, netCDF"));
}

TEST(CommandLine, WrongArgumentsExitWithTwoTheReasonAndTheUsage) {
  struct Case {
    std::vector<std::string> Args;
    std::string Reason;  // the first line of standard error
    std::string Usage;   // part of the usage that follows
  };
  const std::string info = "usage: terrak-cli info MAP.ocd";
  const std::string grid = "usage: terrak-cli grid MAP.ocd --symbols N,N,...";
  const std::string render = "usage: terrak-cli render (MAP.ocd";
  const std::vector<Case> cases = {
      {{}, "terrak-cli: a command is needed: info, grid, render, export, heights or map", "usage: terrak-cli info"},
      {{"frobnicate"}, "terrak-cli: unknown command \"frobnicate\"", "       terrak-cli grid"},
      {{"--frobnicate"}, "terrak-cli: unexpected argument \"--frobnicate\"", "usage:"},
      {{"info"}, "terrak-cli info: MAP.ocd is required", info},
      {{"info", "a.ocd", "b.ocd"}, "terrak-cli info: unexpected argument \"b.ocd\"", info},
      {{"info", "a.ocd", "--objects", "-5"},
       "terrak-cli info: --objects: wants symbol numbers as info prints them, like 101,102 or "
       "103.2",
       info},
      {{"info", "a.ocd", "--objects"}, "terrak-cli info: --objects: wants a value", info},
      {{"grid", "m.ocd"}, "terrak-cli grid: --symbols is required", grid},
      {{"grid", "--symbols", "101"}, "terrak-cli grid: MAP.ocd is required", grid},
      {{"grid", "m.ocd", "--symbols", "101", "--bogus"},
       "terrak-cli grid: unexpected argument \"--bogus\"", grid},
      // An unknown option is named even when a required one is missing too.
      {{"grid", "m.ocd", "--bogus"}, "terrak-cli grid: unexpected argument \"--bogus\"", grid},
      {{"grid", "m.ocd", "--symbols", "1x1"},
       "terrak-cli grid: --symbols: wants symbol numbers as info prints them, like 101,102 or "
       "103.2",
       grid},
      {{"grid", "m.ocd", "--symbols", "101", "--passes", "two"},
       "terrak-cli grid: --passes: wants a whole number", grid},
      // Numbers are decimal: no other bases, no fractions.
      {{"grid", "m.ocd", "--symbols", "101", "--smoothing", "0x10"},
       "terrak-cli grid: --smoothing: wants a whole number", grid},
      {{"render", "a.o3d"}, "terrak-cli render: --out is required", render},
      {{"render", "a.o3d", "--size"}, "terrak-cli render: --size: wants a value", render},
      {{"render", "m.ocd", "--out", "p"}, "terrak-cli render: a map needs --symbols N,N,...",
       render},
      {{"render", "a.o3d", "--out", "p", "--contours"},
       "terrak-cli render: a 3D map file holds no contours to draw", render},
      {{"render", "m.ocd", "--symbols", "101", "--out", "p", "--contours", "--raytrace"},
       "terrak-cli render: --contours and --raytrace exclude each other", render},
      {{"render", "a.o3d", "b.o3d", "--out", "p"},
       "terrak-cli render: unexpected argument \"b.o3d\"", render},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli(c.Args);
    const std::string shown = c.Args.empty() ? "(none)" : c.Args.back();
    EXPECT_EQ(run.Exit, 2) << shown;
    EXPECT_TRUE(run.Out.empty()) << shown;
    EXPECT_EQ(run.Err.substr(0, run.Err.find('\n')), c.Reason) << shown;
    EXPECT_TRUE(Contains(run.Err, "\n" + c.Usage)) << run.Err;
  }
  // The index step from 2 to 1000.
  for (const char* every : {"1", "1001"}) {
    const CliRun run = RunCli({"heights", "m.ocd", "--contours", "1", "--interval", "5", "--out",
                               "o", "--index-every", every});
    EXPECT_TRUE(Contains(run.Err, "terrak-cli heights: --index-every: wants ")) << run.Err;
  }
  // Sizes and views outside what a picture can be.
  for (const std::vector<std::string>& extra : std::vector<std::vector<std::string>>{
           {"--size", "0x5"}, {"--size", "10001x5"}, {"--size", "640"}, {"--size", "640x480x2"},
           {"--view", "n"}, {"--view", "1,2,3,4"}, {"--view", "1,2,3,4,5,6"},
           {"--view", "1,2,3,4,nan"}}) {
    std::vector<std::string> args{"render", "a.o3d", "--out", "p"};
    args.insert(args.end(), extra.begin(), extra.end());
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.Exit, 2) << extra.back();
    EXPECT_TRUE(Contains(run.Err, "terrak-cli render: " + extra.front() + ": wants ")) << run.Err;
  }
}

TEST(CommandLine, EveryOptionReadsIntoItsValue) {
  // Without options the grid takes the settings file's defaults.
  const auto plain = Parsed<cli::GridOptions>({"grid", "m.ocd", "--symbols", "101"});
  const Settings defaults;
  EXPECT_EQ(std::tie(plain.Values.Smoothing, plain.Values.SmoothingPasses, plain.Values.ContourGap),
            std::tuple(defaults.Smoothing, defaults.SmoothingPasses, defaults.ContourGap));
  EXPECT_TRUE(plain.Xyz.empty() && plain.Matrix.empty() && plain.Map3d.empty() && !plain.Force);
  const auto grid = Parsed<cli::GridOptions>(
      {"grid", "--symbols", "101,102", "m.ocd", "--smoothing", "-30", "--passes", "7",
       "--contour-gap=0", "--xyz", "p.csv", "--matrix", "g.csv", "--o3d", "m.o3d", "--force",
       "--height-tag", "h", "--reference", "--no-drape"});
  EXPECT_EQ(grid.MapFile, "m.ocd");
  EXPECT_EQ(grid.Symbols, (std::vector<std::string>{"101", "102"}));
  EXPECT_EQ(grid.Values.Smoothing, -30);  // out of range is the construction's to say
  EXPECT_EQ(grid.Values.SmoothingPasses, 7);
  EXPECT_EQ(grid.Values.ContourGap, 0);
  EXPECT_EQ(std::tie(grid.Xyz, grid.Matrix, grid.Map3d), std::tuple("p.csv", "g.csv", "m.o3d"));
  EXPECT_TRUE(grid.Force && grid.Reference && grid.NoDrape && grid.HeightTag == "h");

  const auto o3d = Parsed<cli::RenderOptions>({"render", "a.O3D", "--out", "p.PNG"});
  EXPECT_TRUE(o3d.Map3dFile && o3d.Png);
  EXPECT_EQ(std::tie(o3d.Width, o3d.Height, o3d.Preset), std::tuple(1200, 900, kNorthView));
  EXPECT_FALSE(o3d.View.has_value());
  EXPECT_FALSE(o3d.Contours || o3d.RayTrace || o3d.NoZBuffer || o3d.NoBitmap || o3d.Force);

  const auto full = Parsed<cli::RenderOptions>(
      {"render", "m.ocd", "--symbols", "101,102", "--out", "p.bmp", "--size", "640x10000",
       "--view", "SW", "--no-zbuffer", "--no-bitmap", "--raytrace", "--force", "--height-tag",
       "h"});
  EXPECT_EQ(std::tie(full.Symbols, full.Width, full.Height, full.Preset),
            std::tuple((std::vector<std::string>{"101", "102"}), 640, 10000, kSouthWestView));
  EXPECT_TRUE(full.NoZBuffer && full.NoBitmap && full.RayTrace && full.Force &&
              full.HeightTag == "h");
  EXPECT_FALSE(full.Png || full.Map3dFile || full.Contours);

  // An eye point west and south of the origin: a value that starts with a minus sign.
  const auto eye = Parsed<cli::RenderOptions>(
      {"render", "a.o3d", "--out", "p", "--view", "-150,-2.5,3e2,90,-10", "--size", "1x1"});
  EXPECT_EQ(*eye.View, (TViewPoint{-150, -2.5, 300, 90, -10, 0, 0, 0}));
  EXPECT_EQ(eye.Width, 1);
  const std::pair<const char*, ViewpointIndex> presets[] = {
      {"N", kNorthView}, {"S", kSouthView}, {"E", kEastView}, {"W", kWestView},
      {"NE", kNorthEastView}, {"NW", kNorthWestView}, {"SE", kSouthEastView},
      {"SW", kSouthWestView}};
  for (const auto& [name, preset] : presets)
    EXPECT_EQ(Parsed<cli::RenderOptions>({"render", "a.o3d", "--out", "p", "--view", name}).Preset,
              preset)
        << name;

  // Export: the models' options default as the viewer's export window does; each one given.
  const auto model = Parsed<cli::ExportOptions>({"export", "a.o3d", "--stl", "s.stl"});
  EXPECT_EQ(std::tie(model.Interval, model.Exaggeration, model.PrintWidthMm, model.BaseMm),
            std::tuple(defaults.GridInterval, 1.0, 150.0, 5.0));
  EXPECT_TRUE(model.Map3dFile && model.Dem.empty() && model.Glb.empty() && !model.Force);
  const auto exports = Parsed<cli::ExportOptions>(
      {"export", "m.ocd", "--symbols", "101", "--dem", "d.tif", "--format", "cog", "--glb",
       "g.glb", "--stl", "s.stl", "--interval", "3", "--exaggeration", "2.5", "--print-width",
       "99", "--base", "0.5", "--smoothing", "40", "--passes", "3", "--contour-gap", "20",
       "--height-tag", "h", "--force"});
  EXPECT_EQ(std::tie(exports.Values.Smoothing, exports.Values.SmoothingPasses,
                     exports.Values.ContourGap, exports.Interval),
            std::tuple(40, 3, 20, 3));
  EXPECT_EQ(std::tie(exports.Exaggeration, exports.PrintWidthMm, exports.BaseMm),
            std::tuple(2.5, 99.0, 0.5));
  EXPECT_EQ(std::tie(exports.Dem, exports.DemFormat, exports.Glb, exports.Stl, exports.HeightTag),
            std::tuple("d.tif", "cog", "g.glb", "s.stl", "h"));
  EXPECT_TRUE(exports.Force && !exports.Map3dFile);

  // Heights: every role's symbols, the index step (5 unless given) and the files.
  using Items = std::vector<std::string>;
  const auto derive = Parsed<cli::HeightsOptions>(
      {"heights", "m.ocd", "--contours", "101", "--index-contours", "102", "--index-every", "4",
       "--form-lines", "103", "--slope-lines", "104,105", "--interval", "2.5", "--dem", "d.tif",
       "--out", "o.ocd", "--report", "r.csv", "--height-tag", "h", "--force"});
  EXPECT_EQ(std::tie(derive.Contours, derive.IndexContours, derive.FormLines,
                     derive.SlopeLines),
            std::tuple(Items{"101"}, Items{"102"}, Items{"103"}, Items{"104", "105"}));
  EXPECT_EQ(std::tie(derive.Roles.IndexEvery, derive.Roles.Interval), std::tuple(4, 2.5));
  EXPECT_EQ(std::tie(derive.Dem, derive.Out, derive.Report, derive.HeightTag),
            std::tuple("d.tif", "o.ocd", "r.csv", "h"));
  EXPECT_TRUE(derive.Force);
  const auto few =
      Parsed<cli::HeightsOptions>({"heights", "m", "--contours", "101", "--interval", "5",
                                   "--out", "o"});
  EXPECT_EQ(std::tie(few.Roles.IndexEvery, few.Roles.Interval), std::tuple(5, 5.0));
  for (const int every : {2, 1000})
    EXPECT_EQ(Parsed<cli::HeightsOptions>({"heights", "m", "--contours", "101", "--index-every",
                                           std::to_string(every), "--interval", "5", "--out", "o"})
                  .Roles.IndexEvery,
              every);
  EXPECT_TRUE(few.IndexContours.empty() && few.Report.empty() && few.Dem.empty() && !few.Force);

  // Map: the dots per inch, 300 unless given.
  const auto map = Parsed<cli::MapOptions>({"map", "m.ocd", "--out", "p.PNG", "--dpi", "25.4"});
  EXPECT_EQ(std::tie(map.MapFile, map.Out, map.Dpi, map.Png),
            std::tuple("m.ocd", "p.PNG", 25.4, true));
  const auto bmp = Parsed<cli::MapOptions>({"map", "m.ocd", "--out", "p.bmp", "--force"});
  EXPECT_EQ(std::tie(bmp.Dpi, bmp.Png, bmp.Force), std::tuple(300.0, false, true));
}

}  // namespace
}  // namespace terrak
