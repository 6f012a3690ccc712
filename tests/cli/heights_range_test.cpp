// A Mapper map whose contours run from -5 m to 10 m, and an OCAD 12 map from 3275 m up, through
// terrak-cli: the DEM holds the true heights; the 3D map file, which cannot, is refused.
#include <gdal_priv.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "cli_run.h"
#include "mapbuild/mapper_build.h"
#include "mapbuild/ocad_build9.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using namespace terrak::testing;

// Square rings round one middle, 80 m across outside, heights from the outside in.
std::string RingsMap(const std::vector<std::string>& heights) {
  MapperMapBuilder b;
  b.AddSymbol({.Id = 0, .Type = 2, .Code = "101"});
  std::int64_t half = 4000;  // 40 m at 1:10000 in 1/1000 mm
  for (const std::string& height : heights) {
    const std::int64_t lo = 4000 - half, hi = 4000 + half;
    b.AddObject({.Symbol = 0, .Tags = {{"ele", height}},
                 .Coords = {{lo, lo}, {hi, lo}, {hi, hi}, {lo, hi}, {lo, lo}}});
    half -= 1000;
  }
  return b.Build();
}

struct Range {
  double Lowest = 0, Highest = 0;
};

Range DemRange(const std::string& file) {
  GDALAllRegister();
  const std::unique_ptr<GDALDataset, void (*)(GDALDataset*)> d(
      GDALDataset::FromHandle(GDALOpen(file.c_str(), GA_ReadOnly)),
      [](GDALDataset* p) { GDALClose(GDALDataset::ToHandle(p)); });
  EXPECT_TRUE(d);
  if (!d) return {};
  double range[2] = {0, 0};
  EXPECT_EQ(d->GetRasterBand(1)->ComputeRasterMinMax(FALSE, range), CE_None);
  return {range[0], range[1]};
}

TEST(HeightsRange, TheDemHoldsHeightsBelowZeroAndAbove3276MetresAndTheO3dSaysItCannot) {
  TempFolder folder;
  const std::string coast = folder.File("coast.omap");
  WriteText(coast, RingsMap({"10", "5", "0", "-5"}));
  // (The DEM of such terrain holds its heights below 0 m: DemHeights checks it cell for cell.)
  const CliRun o3d = RunCli({"grid", coast, "--symbols", "101.0", "--height-tag", "ele",
                             "--o3d", folder.File("coast.o3d")});
  EXPECT_NE(o3d.Exit, 0);
  EXPECT_NE(o3d.Err.find("A 3D map file holds heights from 0.1 m to 3276.7 m only, and this "
                         "terrain's heights run from -"),
            std::string::npos)
      << o3d.Err;
  EXPECT_FALSE(std::filesystem::exists(folder.File("coast.o3d")));

  // OCAD 12 contours every 25 m from 3275 m to 3375 m, a hill: each at its height.
  Ocad9MapBuilder twelve(12);
  twelve.AddSymbol({101000, 2, "Contour"});
  for (int ring = 0; ring < 5; ++ring) {
    const std::int32_t lo = 100 * ring, hi = 1000 - 100 * ring;  // 0.01 mm: 10 to the metre
    twelve.AddObject({.Symbol = 101000,
                      .Points = {CodedPoint::At(lo, lo), CodedPoint::At(hi, lo),
                                 CodedPoint::At(hi, hi), CodedPoint::At(lo, hi),
                                 CodedPoint::At(lo, lo)},
                      .Height = 256000 * (3275 + 25 * ring)});
  }
  const std::string mountain = folder.File("mountain.ocd");
  WriteBytes(mountain, twelve.Build());
  const CliRun mountainDem = RunCli({"export", mountain, "--symbols", "101.0", "--dem",
                                     folder.File("mountain.tif")});
  ASSERT_EQ(mountainDem.Exit, 0) << mountainDem.Err;
  const Range mountainHeights = DemRange(folder.File("mountain.tif"));
  EXPECT_EQ(mountainHeights.Lowest, 3275.0);
  EXPECT_GT(mountainHeights.Highest, 3375.0);  // the hilltop above the last contour
  EXPECT_LE(mountainHeights.Highest, 3400.0);
}

}  // namespace
}  // namespace terrak
