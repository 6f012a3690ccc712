// Heights from a DEM: the core with a DEM of its own, and GDAL's module reading GeoTIFFs in
// another coordinate system, without one, missing or elsewhere.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>

#include "export/dem_source.h"
#include "export/gdal_module.h"
#include "heights/dem_heights.h"
#include "heights_test_maps.h"
#include "support/dem_writer.h"
#include "support/temp_folder.h"

namespace terrak::heights {
namespace {

using namespace terrak::heights::testing;

class FunctionDem : public DemSource {
 public:
  explicit FunctionDem(std::function<double(double, double)> height) : height_(std::move(height)) {}
  std::vector<double> Sample(const std::vector<Georeferencing::Point>& points) override {
    std::vector<double> h;
    for (const auto& p : points) h.push_back(height_(p.Easting, p.Northing));
    return h;
  }

 private:
  std::function<double(double, double)> height_;
};

Georeferencing Placed(double easting, double northing, int epsg = 0) {
  Georeferencing g = GeoreferencingFromOffsetAngle(easting, northing, 0);
  g.EpsgCode = epsg;
  return g;
}

const ObjectHeight& Of(const DemRun& run, std::int32_t object) {
  return run.Result.Objects[static_cast<std::size_t>(object)];
}

TEST(HeightsFromDem, MediansSnappedToTheLevelsOfEachRoleConflictsKeptAndUnplacedOrUncoveredMaps) {
  MapDrawing d;
  const auto contours = DrawSlope(d);
  const std::int32_t form = contours.back().back() + 1;
  const std::int32_t away = d.Add(kContour, {{2000, 0}, {2100, 0}});
  auto& objects = d.Map().Objects;
  objects[static_cast<std::size_t>(contours[2][0])].Height = Metres(110);  // as the DEM says
  objects[static_cast<std::size_t>(contours[3][0])].Height = Metres(120);  // the DEM says 115
  // 5 m every 20 m north, 1 m of noise, and a mound of 12 m under the index contour's middle.
  FunctionDem dem([](double x, double y) {
    const double noise = std::sin(x * 12.9898 + y * 78.233) * 1.0;
    const double mound = y > 90 && y < 110 && x > 130 && x < 240 ? -12 : 0;
    return x > 1000 ? std::nan("") : 100 + y / 4 + noise + mound;
  });
  const DemRun run = HeightsFromDem(d.Map(), TestRoles(), Placed(0, 0), dem, "dem.tif");
  ASSERT_EQ(run.Message, "");
  for (std::size_t k = 0; k < contours.size(); ++k)
    for (std::int32_t o : contours[k]) {
      if (o == contours[2][0] || o == contours[3][0] || o == contours[5][1]) continue;
      EXPECT_EQ(Of(run, o).State, HeightState::Dem) << "object " << o;
      EXPECT_EQ(Of(run, o).Height, Metres(100 + 5.0 * static_cast<double>(k))) << "object " << o;
    }
  EXPECT_EQ(std::tuple(Of(run, form).Height, Of(run, contours[2][0]).State,
                       Of(run, contours[3][0]).State, Of(run, contours[3][0]).Height),
            std::tuple(Metres(112.5), HeightState::Known, HeightState::Conflict, Metres(120)));
  EXPECT_NE(Of(run, contours[3][0]).Reason.find("115 m, the map 120 m"), std::string::npos)
      << Of(run, contours[3][0]).Reason;
  // The index contour's middle piece lies 12 m too low: no index level within half an interval.
  EXPECT_EQ(Of(run, contours[5][1]).State, HeightState::Conflict);
  EXPECT_NE(Of(run, contours[5][1]).Reason.find("more than half an interval from 125 m"),
            std::string::npos)
      << Of(run, contours[5][1]).Reason;
  EXPECT_EQ(Of(run, away).State, HeightState::Conflict);
  EXPECT_EQ(Of(run, away).Reason, "lies outside the DEM");

  // Nothing changes without georeferencing or a DEM that covers the map.
  const DemRun unplaced = HeightsFromDem(d.Map(), TestRoles(), Georeferencing{}, dem, "dem.tif");
  EXPECT_EQ(unplaced.Message, kNoGeoreferencingMessage);
  FunctionDem nowhere([](double, double) { return std::nan(""); });
  const DemRun outside = HeightsFromDem(d.Map(), TestRoles(), Placed(0, 0), nowhere, "far.tif");
  EXPECT_EQ(outside.Message, "The DEM far.tif does not cover the map. Nothing was changed.");
  for (const DemRun* r : {&unplaced, &outside}) EXPECT_TRUE(ChangesOf(d.Map(), r->Result).empty());
}

// The DEM's values in the order asked, wherever the points lie.
class ListDem : public DemSource {
 public:
  explicit ListDem(std::vector<double> values) : values_(std::move(values)) {}
  std::vector<double> Sample(const std::vector<Georeferencing::Point>& points) override {
    std::vector<double> h = values_;
    h.resize(points.size(), std::nan(""));
    return h;
  }

 private:
  std::vector<double> values_;
};

TEST(HeightsFromDem, EachContourSaysWhatTheMedianOfItsSamplesGaveAndWhyItWasNotTaken) {
  // A contour's samples in the order asked, a height the map gives it, and the outcome. The
  // median is the middle sample or the mean of the middle two; a contour near an index level
  // (100 m, 125 m) goes to the level beside it on the median's side.
  const double gap = std::nan("");
  const std::string of3 = "the DEM gives 112 m (median of 3 samples)";
  const std::tuple<std::vector<double>, HeightValue, HeightState, HeightValue, std::string>
      cases[] = {
          {{120, 100, 103, 101, 102}, {}, HeightState::Conflict, {},
           "the DEM gives 102 m (median of 5 samples), more than half an interval from 105 m"},
          {{98, 97, 99}, {}, HeightState::Conflict, {},
           "the DEM gives 98 m (median of 3 samples), more than half an interval from 95 m"},
          {{131, 100, 104, 101, 130, 102}, {}, HeightState::Conflict, {},
           "the DEM gives 103 m (median of 6 samples), but most samples lie more than half an "
           "interval from 105 m"},
          {{112, 111, 113}, {}, HeightState::Dem, Metres(110), of3},
          {{113, 112, 111}, Metres(110), HeightState::Known, Metres(110),
           of3 + ", as the map has it"},
          {{112, gap}, {}, HeightState::Dem, Metres(110),
           "the DEM gives 112 m (median of 1 samples)"},  // half the samples are enough
          {{112, gap, gap}, {}, HeightState::Conflict, {}, "lies outside the DEM"}};
  for (const auto& [values, known, state, height, reason] : cases) {
    MapDrawing d;
    const std::int32_t line = d.Add(kContour, {{0, 0}, {10, 0}}, known);
    ListDem dem(values);
    DemSettings settings;
    settings.LeastSamples = settings.MostSamples = static_cast<std::int32_t>(values.size());
    const DemRun run = HeightsFromDem(d.Map(), TestRoles(), Placed(0, 0), dem, "dem.tif", settings);
    EXPECT_EQ(std::tie(Of(run, line).State, Of(run, line).Height, Of(run, line).Reason),
              std::tie(state, height, reason));
  }
}

// A GeoTIFF of heights over a box of the map's ground, written in the coordinate system epsg
// (0: none), each cell's height height(easting, northing) of its centre in UTM 31N.
void WriteDem(const std::string& file, int epsg, double e0, double n0, double e1, double n1,
              const std::function<double(double, double)>& height) {
  ASSERT_TRUE(terrak::testing::WriteDemGeoTiff(file, 32631, epsg, e0, n0, e1, n1, 200, height));
}

TEST(HeightsFromDem, GdalsModuleReprojectsADemInAnotherSystemAndRefusesBadOnes) {
  const GdalExports& gdal = LoadGdalExports({TERRAK_GDAL_MODULE_PATH});
  terrak::testing::TempFolder folder;
  MapDrawing d;
  const auto contours = DrawSlope(d);
  // The map lies in UTM 31N; the DEM is in longitude and latitude (WGS 84).
  const double e0 = 569000, n0 = 4854000;
  const Georeferencing georef = Placed(e0, n0, 32631);
  const auto slope = [&](double, double n) { return 100 + (n - n0) / 4; };
  const std::string lonLat = folder.File("lonlat.tif");
  WriteDem(lonLat, 4326, e0 - 60, n0 - 60, e0 + 460, n0 + 220, slope);
  const auto source = OpenDemFile(lonLat, georef, gdal);
  const DemRun run = HeightsFromDem(d.Map(), TestRoles(), georef, *source, lonLat);
  ASSERT_EQ(run.Message, "");
  for (std::size_t k = 0; k < contours.size(); ++k)
    for (std::int32_t o : contours[k])
      EXPECT_EQ(Of(run, o).Height, Metres(100 + 5.0 * static_cast<double>(k))) << "object " << o;

  const std::string bare = folder.File("bare.tif");
  WriteDem(bare, 0, e0 - 60, n0 - 60, e0 + 460, n0 + 220, slope);
  const auto withoutSystem = OpenDemFile(bare, georef, gdal);
  EXPECT_EQ(HeightsFromDem(d.Map(), TestRoles(), georef, *withoutSystem, bare).Message,
            "The DEM " + bare + " has no coordinate system, so it cannot be laid over the map");

  const std::string missing = folder.File("missing.tif");
  const auto absent = OpenDemFile(missing, georef, gdal);
  EXPECT_EQ(HeightsFromDem(d.Map(), TestRoles(), georef, *absent, missing).Message.rfind(
                "The DEM " + missing + " cannot be read", 0),
            0u);

  const std::string far = folder.File("far.tif");
  WriteDem(far, 32631, e0 + 5000, n0, e0 + 6000, n0 + 1000, slope);
  const auto elsewhere = OpenDemFile(far, georef, gdal);
  EXPECT_EQ(HeightsFromDem(d.Map(), TestRoles(), georef, *elsewhere, far).Message,
            "The DEM " + far + " does not cover the map. Nothing was changed.");
}

}  // namespace
}  // namespace terrak::heights
