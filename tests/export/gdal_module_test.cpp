// The exports' GDAL module: found among its candidate places, a missing or broken one named in
// the export's message, and what the progress callback throws passed through GDAL unchanged.
#include <gdal_priv.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "export/dem_export.h"
#include "export/dem_formats.h"
#include "export/export_error.h"
#include "export/export_fixtures.h"
#include "export/gdal_module.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace terrak {
namespace {

using testing::FunctionGrid;
using testing::TempFolder;
using testing::ThrownText;
using testing::WriteText;

// The message LoadGdalExports gives for these candidates, "loaded" when it loads.
std::string LoadMessage(const std::vector<std::string>& candidates) {
  return ThrownText<ExportError>([&] { LoadGdalExports(candidates); }, &ExportError::what,
                                 "loaded");
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(GdalModule, TheFirstCandidateThatIsAFileIsTakenAndOneThatCannotBeUsedIsNamed) {
  TempFolder folder;
  const std::string missing = folder.File("missing/terrak-gdal.so");
  const std::string real = TERRAK_GDAL_MODULE_PATH;
  const GdalExports& gdal = LoadGdalExports({missing, real});
  EXPECT_TRUE(gdal.HasDriver("GTiff"));
  EXPECT_FALSE(gdal.HasDriver("NoSuchDriver"));

  // A folder of the module's name is no module: the search goes on.
  std::filesystem::create_directory(folder.File("terrak-gdal.so"));
  EXPECT_EQ(LoadMessage({folder.File("terrak-gdal.so"), real}), "loaded");

  const std::string none = LoadMessage({missing, folder.File("other/terrak-gdal.so")});
  EXPECT_EQ(none.rfind(kGdalModuleMissing, 0), 0u) << none;
  EXPECT_TRUE(Contains(none, missing) && Contains(none, folder.File("other/terrak-gdal.so")))
      << none;

  // A broken module is reported, not passed over for a later one.
  const std::string broken = folder.File("broken.so");
  WriteText(broken, "not a shared object\n");
  const std::string unusable = LoadMessage({broken, real});
  EXPECT_EQ(unusable.rfind(kGdalModuleMissing, 0), 0u) << unusable;
  EXPECT_TRUE(Contains(unusable, broken)) << unusable;

#ifdef TERRAK_IMAGE_MODULE_PATH
  // A shared object of the program without the exports' entry.
  const std::string foreign = LoadMessage({TERRAK_IMAGE_MODULE_PATH, real});
  EXPECT_TRUE(Contains(foreign, std::string("no ") + kGdalModuleEntry)) << foreign;
#endif
}

TEST(GdalModule, OfferedFormatsAreThoseGdalHasAndAFormatIsCheckedBeforeAnyWork) {
  GDALAllRegister();
  const std::vector<DemFormat> offered = OfferedDemFormats();
  ASSERT_FALSE(offered.empty());
  EXPECT_EQ(offered.front().Driver, "GTiff");
  for (const char* driver : {"GTiff", "AAIGrid", "XYZ", "HFA", "netCDF"}) {
    const bool has = GetGDALDriverManager()->GetDriverByName(driver) != nullptr;
    EXPECT_EQ(FindDemFormat(offered, driver) != nullptr, has) << driver;
  }

  // An unknown format is refused before the grid is looked at and before any progress.
  int reports = 0;
  const std::string refusal = ThrownText<ExportError>(
      [&] {
        ExportDem(GridState{}, {}, testing::InFormat("NoSuchFormat"),
                  [&](double) { return ++reports > 0; });
      },
      &ExportError::what);
  EXPECT_EQ(refusal.rfind("\"NoSuchFormat\" is not a raster format for a DEM", 0), 0u) << refusal;
  EXPECT_EQ(reports, 0);
}

TEST(GdalModule, NotesOfATurnedMapWithoutCoordinateSystemComeInTheOrderTheyArise) {
  const GridState grid = FunctionGrid(20, 20, 0, 0, [](auto x, auto) {
    return 50.0 + static_cast<double>(x);
  });
  const ExportedFiles files =
      ExportDem(grid, GeoreferencingFromOffsetAngle(431000.0, 4650000.0, 2.0), DemOptions{});
  EXPECT_EQ(files.Notes,
            (std::vector<std::string>{kDemNoCrsNote,
                                      "The map is turned by 2.00 degrees against grid north: its "
                                      "terrain was resampled onto a north-up grid"}));
}

TEST(GdalModule, TheTargetsOwnExtensionNamesTheDemAndItsSideFiles) {
  TempFolder folder;
  const GridState grid = FunctionGrid(8, 8, 0, 0, [](auto, auto y) {
    return 10.0 + static_cast<double>(y);
  });
  WriteDemFile(folder.File("terrain.TIFF"), grid, {}, DemOptions{});
  Georeferencing placed = GeoreferencingFromOffsetAngle(431000.0, 4650000.0, 0.0, 1.0);
  placed.EpsgCode = 32631;
  WriteDemFile(folder.File("heights.grid"), grid, placed, testing::InFormat("AAIGrid"));
  EXPECT_EQ(testing::NamesIn(folder.Path()),
            (std::vector<std::string>{"heights.grid", "heights.grid.aux.xml", "heights.prj",
                                      "terrain.TIFF"}));
}

TEST(GdalModule, WhatTheProgressCallbackThrowsReachesTheCallerAndNothingIsWritten) {
  TempFolder folder;
  const GridState grid = FunctionGrid(60, 40, 0, 0, [](auto x, auto y) {
    return 100.0 + static_cast<double>(x + y);
  });
  // Thrown while GDAL copies the raster (the copy runs from 0.2 to 0.95 of the whole).
  for (const double failAt : {0.1, 0.5, 0.97}) {
    bool thrown = false;
    const auto failing = [&](double f) -> bool {
      if (f > failAt && !thrown) {
        thrown = true;
        throw std::runtime_error("the window went away");
      }
      return true;
    };
    try {
      WriteDemFile(folder.File("dem.tif"), grid, {}, DemOptions{}, failing);
      ADD_FAILURE() << "no exception at " << failAt;
    } catch (const ExportCancelled&) {
      ADD_FAILURE() << "taken for a cancel at " << failAt;
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "the window went away");
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File("dem.tif"))) << failAt;
  }
}

TEST(GdalModule, ModuleOutcomesBecomeTheExportsExceptions) {
  EXPECT_NO_THROW(ThrowUnlessDone({GdalStatus::Done, ""}));
  EXPECT_THROW(ThrowUnlessDone({GdalStatus::Cancelled, ""}), ExportCancelled);
  EXPECT_THROW(ThrowUnlessDone({GdalStatus::OutOfMemory, ""}), std::bad_alloc);
  try {
    ThrowUnlessDone({GdalStatus::Failed, "GDAL could not write"});
    ADD_FAILURE();
  } catch (const ExportCancelled&) {
    ADD_FAILURE() << "a failure is no cancel";
  } catch (const ExportError& e) {
    EXPECT_STREQ(e.what(), "GDAL could not write");
  }
}

}  // namespace
}  // namespace terrak
