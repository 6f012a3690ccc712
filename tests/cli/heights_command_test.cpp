// terrak-cli heights: every contour's height derived from one known contour (or taken from a
// DEM), the whole map written to a new file with a CSV report; the map itself never changes.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "cli/heights_report.h"
#include "cli_run.h"
#include "heights/dem_heights.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"
#include "heightseval/heights_eval.h"
#include "support/dem_writer.h"
#include "support/outside_data.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(HeightsReport, OneLineForEachHeightCarrierWithItsReasonQuotedWhenItMustBe) {
  using heights::ContourRole;
  const heights::HeightMap map{.Objects = {{.Symbol = 101, .Role = ContourRole::Contour},
                                           {.Symbol = 104, .Role = ContourRole::SlopeLine},
                                           {.Symbol = 103, .Role = ContourRole::FormLine},
                                           {.Symbol = 102, .Role = ContourRole::IndexContour}}};
  const heights::HeightsResult result{
      .Objects = {{heights::HeightState::Known, heights::Metres(-0.001), "plain"},
                  {},
                  {heights::HeightState::Derived, heights::Metres(102.5), "a \"step\", up"},
                  {heights::HeightState::None, {}, "line\nend"}}};
  EXPECT_EQ(cli::HeightsReport(map, result),
            "index,symbol,height,state,reason\n0,101,0,known,plain\n"
            "2,103,102.5,derived,\"a \"\"step\"\", up\"\n3,102,,none,\"line\nend\"\n");
}

// Heights of the map's objects of symbols 101 to 104 as the program reads them, in tenths.
std::vector<std::int32_t> MapHeights(const std::string& file, TempFolder& folder) {
  MapModel model;
  model.MapFileName = file;
  ScriptedDialogs dialogs;
  const std::string copy = folder.File("read.tmp");
  EXPECT_EQ(OpenMapFile(model, copy, dialogs), OpenResult::Opened);
  for (std::int32_t s : {101, 102, 103, 104}) model.SelectedSymbols.push_back({s, 0});
  model.SymbolsSelected = true;
  ReadObjects(model, copy);
  std::vector<std::int32_t> heights;
  for (const TMapObject& o : model.MapObjects) heights.push_back(o.Height);
  return heights;
}

const std::vector<std::string> kRoles = {"--contours", "101", "--index-contours", "102",
                                         "--form-lines", "103", "--slope-lines", "104",
                                         "--interval", "5"};

std::vector<std::string> Args(std::vector<std::string> head, std::vector<std::string> tail) {
  head.insert(head.end(), kRoles.begin(), kRoles.end());
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

struct PlateauMap {
  TempFolder Folder;
  EvalTerrain Terrain = EvalTerrains()[2];
  EvalMap Eval = MakeEvalMap(Terrain);
  std::string Map = Folder.File("plateau.ocd");
  explicit PlateauMap(double eastOffset = 0, double northOffset = 0) {
    OcadMapBuilder builder =
        DemoMapBuilder(EvalDemoMap(Eval, Terrain, {KnownCandidates(Eval, 1, 7).front()}), 6, 10000);
    if (eastOffset != 0 || northOffset != 0) builder.RealWorld(eastOffset, northOffset, 0);
    WriteBytes(Map, builder.Build());
  }
};

TEST(HeightsCommand, DerivesEveryHeightIntoANewMapWithAReportAndRefusesWhatItCannotDo) {
  PlateauMap p;
  const std::vector<std::uint8_t> before = ReadBytes(p.Map);
  const std::string out = p.Folder.File("out.ocd"), report = p.Folder.File("report.csv");
  const CliRun run = RunCli(Args({"heights", p.Map}, {"--out", out, "--report", report}));
  ASSERT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(ReadBytes(p.Map), before);

  // One summary line, whose figures the report bears out line by line.
  const std::vector<std::string> summary = Lines(run.Out);
  ASSERT_EQ(summary.size(), 1u);
  int with = 0, all = 0, derived = 0, guessed = 0, conflicts = 0, left = 0;
  ASSERT_EQ(std::sscanf(summary[0].c_str(),
                        "%d of %d contour objects have heights: %d derived, %d guessed, %d in "
                        "conflict, %d left",
                        &with, &all, &derived, &guessed, &conflicts, &left),
            6)
      << summary[0];
  EXPECT_EQ(with + left, all);
  EXPECT_GT(derived, all * 9 / 10);
  const std::vector<std::string> csv = Lines(ReadText(report));
  ASSERT_EQ(csv.size(), static_cast<std::size_t>(all) + 1);
  EXPECT_EQ(csv[0], "index,symbol,height,state,reason");

  // The new map holds the derived heights; the report numbers objects as info --objects does.
  const std::vector<std::int32_t> heights = MapHeights(out, p.Folder);
  int checked = 0;
  for (std::size_t i = 1; i < csv.size(); ++i) {
    std::istringstream line(csv[i]);
    std::string index, symbol, height, state;
    for (std::string* field : {&index, &symbol, &height, &state}) std::getline(line, *field, ',');
    const auto k = std::stoul(index);
    ASSERT_LT(k, heights.size());
    if (state == "derived" || state == "known") {
      EXPECT_EQ(heights[k], static_cast<std::int32_t>(std::lround(std::stod(height) * 10)));
      EXPECT_EQ(std::stod(height), p.Eval.Truth[k].Metres) << csv[i];
      EXPECT_TRUE(height.find('.') == std::string::npos || height.back() != '0') << csv[i];
      ++checked;
    }
    EXPECT_TRUE(state != "none" || heights[k] == 0) << csv[i];
  }
  EXPECT_EQ(checked, derived + 1);
  // Index contours every 4th level instead of every 5th: the levels they tell are other ones.
  const CliRun four = RunCli(Args({"heights", p.Map}, {"--out", out, "--index-every", "4"}));
  int fourDerived = 0;
  ASSERT_EQ(std::sscanf(four.Out.c_str(), "%*d of %*d contour objects have heights: %d derived",
                        &fourDerived),
            1)
      << four.Err;
  EXPECT_LT(fourDerived, derived / 2);

  // What it cannot do is refused, and the map itself is never written over.
  const std::string fresh = p.Folder.File("fresh.ocd");
  // A map without georeferencing and a DEM.
  const CliRun unplaced = RunCli(Args({"heights", p.Map}, {"--dem", p.Folder.File("x.tif"),
                                                           "--out", fresh}));
  EXPECT_EQ(unplaced.Exit, 1);
  EXPECT_EQ(unplaced.Err, std::string("terrak-cli: ") + heights::kNoGeoreferencingMessage + "\n");
  EXPECT_FALSE(std::filesystem::exists(fresh));

  const CliRun itself = RunCli(Args({"heights", p.Map}, {"--out", p.Map}));
  EXPECT_EQ(itself.Exit, 1);
  EXPECT_EQ(itself.Err, "terrak-cli: " + p.Map + " is the map itself, which heights never changes\n");

  const CliRun noInterval = RunCli({"heights", p.Map, "--contours", "101", "--out", fresh});
  EXPECT_EQ(noInterval.Exit, 2);
  EXPECT_NE(noInterval.Err.find("--interval is required"), std::string::npos) << noInterval.Err;
  const CliRun twice = RunCli({"heights", p.Map, "--contours", "101", "--form-lines", "102,101",
                              "--interval", "5", "--out", fresh});
  EXPECT_EQ(twice.Exit, 2);
  EXPECT_NE(twice.Err.find("a symbol is given more than once"), std::string::npos) << twice.Err;
}

// A GeoTIFF in UTM 31N of the terrain under a map whose centre lies at (east, north), with
// noise of the amplitude given.
void WriteTerrainDem(const std::string& file, const EvalTerrain& terrain, double east,
                     double north, double noise) {
  const double west = east - terrain.Width / 2, south = north - terrain.Depth / 2;
  ASSERT_TRUE(WriteDemGeoTiff(file, 32631, 32631, west, south, west + terrain.Width,
                              south + terrain.Depth, 600, [&](double e, double n) {
                                return terrain.Height(e - west, n - south) +
                                       noise * std::sin(e * 3.55 + n * 0.5);
                              }));
}

TEST(HeightsCommand, TakesTheHeightsFromADemWhenTheMapSaysWhereItLies) {
  PlateauMap p(570000, 4855000);
  const std::string dem = p.Folder.File("dem.tif"), out = p.Folder.File("out.ocd");
  WriteTerrainDem(dem, p.Terrain, 570000, 4855000, 1.0);
  const CliRun run = RunCli(Args({"heights", p.Map}, {"--dem", dem, "--out", out}));
  ASSERT_EQ(run.Exit, 0) << run.Err;
  int with = 0, all = 0, derived = 0;
  ASSERT_EQ(std::sscanf(run.Out.c_str(), "%d of %d contour objects have heights: %d derived",
                        &with, &all, &derived),
            3);
  EXPECT_EQ(with, all);
  // The known contour keeps its height, every other one comes from the DEM.
  EXPECT_EQ(derived, all - 1);
  // An OCAD 6 map names no coordinate system: its coordinates are taken to be the DEM's.
  EXPECT_NE(run.Err.find("terrak-cli: note: the map names no coordinate system"),
            std::string::npos);
  // Each height the DEM gives is the true one:
  // HeightsEvaluation.FromOneKnownContourOrFromANoisyDem.
}

TEST(HeightsCommand, AMapperMapWhoseContoursAllHaveHeightsIsWrittenAsItWas) {
  const std::string file = testing::RealMapperMap();
  TERRAK_SKIP_WITHOUT_FILE(file);
  TempFolder folder;
  const std::string out = folder.File("out.omap");
  const CliRun run = RunCli({"heights", file, "--contours", "101.0", "--index-contours", "102.0",
                             "--interval", "5", "--height-tag", "f321610", "--out", out});
  ASSERT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.Out,
            "103 of 103 contour objects have heights: 0 derived, 0 guessed, 0 in conflict, 0 left\n");
  EXPECT_EQ(ReadBytes(out), ReadBytes(file));
}

}  // namespace
}  // namespace terrak
