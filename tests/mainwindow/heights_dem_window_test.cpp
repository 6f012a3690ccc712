// Heights from a DEM in the main window with a real GeoTIFF read through GDAL: a map in UTM 33N,
// DEMs in longitude and latitude (WGS 84), one over the map and one beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "export/dem_source.h"
#include "export/gdal_module.h"
#include "mainwindow/file_commands.h"
#include "mainwindow/heights_commands.h"
#include "mainwindow/menu_commands.h"
#include "nested_contours.h"
#include "platform/file_stream.h"
#include "support/dem_writer.h"
#include "window_fixture.h"

namespace terrak {
namespace {

using namespace terrak::testing;

constexpr double kEast = 500000, kNorth = 6000000;  // where the nested map's paper origin lies

// A GeoTIFF in WGS 84 longitude and latitude over the UTM 33N box around (east, north) of
// half side half metres; each cell holds height(easting, northing) of its centre.
void WriteLonLatDem(const std::string& file, double east, double north, double half,
                    const std::function<double(double, double)>& height) {
  ASSERT_TRUE(WriteDemGeoTiff(file, 25833, 4326, east - half, north - half, east + half,
                              north + half, 240, height));
}

// The window's DEMs read by the program's own GDAL module.
struct GdalHost : FakeHost {
  std::unique_ptr<heights::DemSource> OpenDem(const std::string& file,
                                              const Georeferencing& georef) override {
    return OpenDemFile(file, georef, LoadGdalExports({TERRAK_GDAL_MODULE_PATH}));
  }
};

struct DemWindow : WindowFixture {
  GdalHost Gdal;
  MapWindow W{App, Canvas, Dialogs, Gdal};
  std::string Map = Folder.File("nested.omap");

  DemWindow() {
    WriteBytes(Map, TextBytes(NestedContoursMap(true)));
    Dialogs.FileAnswers = {Map};
    MenuItemClick(W, MenuItem::Openmap);
    App.Model.SelectedSymbols = {{101000, kBlack}, {102000, kBlack}, {507000, kBlack}};
    App.Model.SymbolsSelected = true;
    LoadSelectedObjects(W);
  }
  std::vector<double> Heights() const {
    std::vector<double> metres;
    for (const TMapObject& o : App.Model.MapObjects)
      metres.push_back(o.HasHeight ? o.Height / 10.0 : -1);
    return metres;
  }
};

// The nested map's hill: 110 m at the centre, 5 m lower every 100 m out in square rings.
double Hill(double east, double north) {
  return 110 - std::max(std::abs(east - kEast), std::abs(north - kNorth)) / 20;
}

TEST(HeightsFromADemWindow, AGeoTiffInLongitudeAndLatitudeGivesEveryContourItsLevel) {
  DemWindow f;
  ASSERT_TRUE(f.App.Model.Georef.Known);
  const std::string dem = f.Folder.File("hill-wgs84.tif");
  WriteLonLatDem(dem, kEast, kNorth, 600, Hill);
  f.Dialogs.FileAnswers = {dem};
  f.Dialogs.MessageAnswers = {DialogButton::Ok};
  MenuItemClick(f.W, MenuItem::HeightsFromDem);
  ASSERT_EQ(f.Dialogs.Messages.size(), 1u) << ::testing::PrintToString(f.Dialogs.MessageTexts());
  EXPECT_EQ(f.Dialogs.Messages[0].Text.rfind(
                "4 of 4 contour objects have heights (3 derived, 0 guessed, 0 in conflict).\n", 0),
            0u)
      << f.Dialogs.Messages[0].Text;
  EXPECT_EQ(f.Heights(), (std::vector<double>{90, 95, 100, 105, -1}));
  MenuItemClick(f.W, MenuItem::UndoHeights);
  EXPECT_EQ(f.Heights(), (std::vector<double>{90, -1, -1, -1, -1}));
}

TEST(HeightsFromADemWindow, ADemBesideTheMapIsRefusedWithAMessageAndNothingChanges) {
  DemWindow f;
  const std::vector<std::uint8_t> opened = ReadBytes(f.App.Paths.WorkingCopy);
  const bool modified = f.App.Model.MapModified;
  const std::string dem = f.Folder.File("beside.tif");
  WriteLonLatDem(dem, kEast + 20000, kNorth, 600, Hill);
  f.Dialogs.FileAnswers = {dem};
  MenuItemClick(f.W, MenuItem::HeightsFromDem);
  ASSERT_EQ(f.Dialogs.Messages.size(), 1u);
  EXPECT_EQ(f.Dialogs.Messages[0].Text,
            "The DEM " + dem + " does not cover the map. Nothing was changed.");
  EXPECT_EQ(f.Dialogs.Messages[0].Type, MessageType::Warning);
  EXPECT_FALSE(f.App.Heights.Preview);
  EXPECT_TRUE(f.App.Heights.UndoSteps.empty());
  EXPECT_EQ(f.Heights(), (std::vector<double>{90, -1, -1, -1, -1}));
  EXPECT_EQ(ReadBytes(f.App.Paths.WorkingCopy), opened);
  EXPECT_EQ(f.App.Model.MapModified, modified);
}

}  // namespace
}  // namespace terrak
