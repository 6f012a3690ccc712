#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <filesystem>

#include "export/dem_export.h"
#include "export/export_error.h"
#include "export/export_fixtures.h"
#include "export/xyz_text.h"
#include "support/exported_files.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace terrak {
namespace {

using testing::Dataset;
using testing::DemInfo;
using testing::DemPixel;
using testing::FunctionGrid;
using testing::InFormat;
using testing::NamesIn;
using testing::OpenDataset;
using testing::ReadDemInfo;
using testing::ReadText;
using testing::TempFolder;
using testing::ThrownText;
using testing::WriteText;

// 60 x 40 cells of a slope, interpolated in the west half, empty in the south-west corner.
GridState SlopeGrid() {
  return FunctionGrid(60, 40, 1200, -300, [](auto x, auto y) {
    if (x < 5 && y < 5) return 0.0;
    const double h = 120.0 + 0.5 * static_cast<double>(x) + 0.2 * static_cast<double>(y);
    return x < 30 ? -h : h;
  });
}

TEST(DemExport, GeoTiffHoldsPlacedFloatMetresWithCrsNodataCompressionAndTiles) {
  TempFolder folder;
  const GridState grid = SlopeGrid();
  Georeferencing g = GeoreferencingFromOffsetAngle(431000.0, 4650000.0, 0.0, 1.0);
  g.EpsgCode = 32631;
  const std::string file = folder.File("dem.tif");
  const std::vector<std::string> notes = WriteDemFile(file, grid, g, DemOptions{});
  EXPECT_TRUE(notes.empty()) << notes.front();

  const std::optional<DemInfo> d = ReadDemInfo(file);
  ASSERT_TRUE(d);
  EXPECT_EQ(std::tuple(d->Driver, d->Columns, d->Rows, d->Epsg),
            std::tuple("GTiff", 60, 40, 32631));
  // Cell (0, 0) is the ground point (1200, -300): the raster's west edge half a metre west of it,
  // its north edge half a metre north of cell (0, 39).
  EXPECT_EQ(d->GeoTransform,
            (std::array<double, 6>{431000.0 + 1199.5, 1, 0, 4650000.0 - 300 + 39.5, 0, -1}));
  EXPECT_EQ(OpenDataset(file)->GetRasterBand(1)->GetRasterDataType(), GDT_Float32);
  // Compressed, in tiles rather than strips.
  EXPECT_EQ(std::tuple(d->NoData, d->Compression, d->BlockWidth), std::tuple(-9999.0, "DEFLATE", 256));

  EXPECT_FLOAT_EQ(DemPixel(file, 59, 0), 120.0f + 29.5f + 7.8f);  // cell (59, 39)
  EXPECT_FLOAT_EQ(DemPixel(file, 10, 39), 125.0f);                // interpolated cell (10, 0)
  EXPECT_EQ(DemPixel(file, 0, 39), -9999.0f);                     // empty cell (0, 0)
  EXPECT_FLOAT_EQ(DemPixel(file, 5, 35), 122.5f + 0.8f);          // cell (5, 4)
}

TEST(DemExport, CoordinateSystemsFromEpsgOrTextAndNotesWhenThereIsNone) {
  const GridState grid = FunctionGrid(4, 4, 0, 0, [](auto, auto) { return 10.0; });
  std::vector<std::string> notes;
  // The UTM zone of the file's CRS, -1 when it has none.
  const auto zoneOf = [&](const Georeferencing& g) {
    const ExportedFiles files = ExportDem(grid, g, DemOptions{});
    notes = files.Notes;
    TempFolder folder;
    testing::WriteBytes(folder.File("d.tif"), files.Files[0].Bytes);
    const Dataset d = OpenDataset(folder.File("d.tif"));
    const OGRSpatialReference* srs = d ? d->GetSpatialRef() : nullptr;
    return srs ? srs->GetUTMZone() : -1;
  };
  // Without georeferencing: ground metres, no CRS, and a note that says so.
  EXPECT_EQ(zoneOf(Georeferencing{}), -1);
  EXPECT_EQ(notes, std::vector<std::string>{kDemUngeoreferencedNote});

  Georeferencing g = GeoreferencingFromOffsetAngle(600000.0, 6500000.0, 0.0);
  g.CrsDefinition = "+proj=utm +zone=33 +datum=WGS84 +units=m +no_defs";
  EXPECT_EQ(zoneOf(g), 33);
  EXPECT_TRUE(notes.empty());
  g.EpsgCode = 999999;  // unknown: the text is tried next
  EXPECT_EQ(zoneOf(g), 33);
  g.CrsDefinition.clear();
  EXPECT_EQ(zoneOf(g), -1);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes[0].find("EPSG:999999"), std::string::npos) << notes[0];

  // Text from a map file is never read as the name of a file holding a definition.
  TempFolder folder;
  OGRSpatialReference utm33;
  utm33.importFromEPSG(32633);
  char* wkt = nullptr;
  utm33.exportToWkt(&wkt);
  WriteText(folder.File("crs.prj"), wkt);
  CPLFree(wkt);
  g.EpsgCode = 0;
  g.CrsDefinition = folder.File("crs.prj");
  EXPECT_EQ(zoneOf(g), -1);
  EXPECT_EQ(notes, std::vector<std::string>{kDemNoCrsNote});
}

TEST(DemExport, OtherFormatsByNameWithTheirSideFiles) {
  TempFolder folder;
  const GridState grid = FunctionGrid(3, 2, 10, 20, [](auto x, auto y) {
    return x == 1 && y == 1 ? 0.0 : 100.0 + static_cast<double>(x) + 0.5 * static_cast<double>(y);
  });
  Georeferencing g = GeoreferencingFromOffsetAngle(431000.0, 4650000.0, 0.0);
  g.EpsgCode = 32631;

  // ESRI ASCII grid: created by copy, the CRS in a ".prj" beside it.
  const std::string asc = folder.File("terrain.asc");
  WriteDemFile(asc, grid, g, InFormat("AAIGrid"));
  const std::string text = ReadText(asc);
  EXPECT_NE(text.find("ncols        3"), std::string::npos) << text;
  EXPECT_NE(text.find("xllcorner    431009.5"), std::string::npos) << text;
  EXPECT_NE(text.find("yllcorner    4650019.5"), std::string::npos) << text;
  EXPECT_NE(text.find("NODATA_value  -9999"), std::string::npos) << text;
  EXPECT_NE(text.find("100.50 -9999.00 102.50"), std::string::npos) << text;  // the north row first
  EXPECT_NE(ReadText(folder.File("terrain.prj")).find("UTM"), std::string::npos);

  // XYZ: one line per cell centre that has a height, the north row first.
  WriteDemFile(folder.File("terrain.xyz"), grid, g, InFormat("XYZ"));
  EXPECT_EQ(ReadText(folder.File("terrain.xyz")),
            "431010 4650021 100.5\n431012 4650021 102.5\n"
            "431010 4650020 100\n431011 4650020 101\n431012 4650020 102\n");

  // The ASCII grid's header has no rotation (GDAL would keep it in a side file it ignores on
  // reading): a rotated geotransform is refused rather than written in the wrong place.
  const Georeferencing t = GeoreferencingFromOffsetAngle(431000.0, 4650000.0, 2.0);
  EXPECT_EQ(ThrownText<ExportError>(
                [&] { ExportDem(grid, t, InFormat("AAIGrid", DemRotation::RotatedGeotransform)); },
                &ExportError::what),
            "The raster format \"AAIGrid\" cannot hold a rotated grid: export the DEM north up");
  // GeoTIFF holds it.
  WriteDemFile(folder.File("turned.tif"), grid, t,
               InFormat("GTiff", DemRotation::RotatedGeotransform));
  const std::array<double, 6> gt = ReadDemInfo(folder.File("turned.tif")).value().GeoTransform;
  EXPECT_NEAR(gt[2], -t.B, 1e-9);
  EXPECT_NEAR(gt[4], t.C, 1e-9);

  // Creation options override the defaults of the same name.
  DemOptions lzw;
  lzw.CreationOptions = {"COMPRESS=LZW"};
  WriteDemFile(folder.File("lzw.tif"), grid, g, lzw);
  EXPECT_EQ(ReadDemInfo(folder.File("lzw.tif"))->Compression, "LZW");
}

TEST(DemExport, RefusalsNameTheFormatAndLeaveNoFile) {
  TempFolder folder;
  const GridState grid = FunctionGrid(3, 3, 0, 0, [](auto, auto) { return 5.0; });
  const auto message = [&](const DemOptions& options, const Georeferencing& g) {
    return ThrownText<ExportError>([&] { WriteDemFile(folder.File("out.asc"), grid, g, options); },
                                   &ExportError::what, "no error");
  };
  // Only formats that make a DEM file: not GDAL's others (a VRT would point into memory, Zarr
  // writes a folder, MBTiles and PNG hold bytes, a shapefile vectors, JDEM is read only).
  for (const char* format : {"NoSuchFormat", "VRT", "Zarr", "PDS4", "MBTiles", "PNG",
                             "ESRI Shapefile", "JDEM"}) {
    EXPECT_EQ(message(InFormat(format), {}), std::string("\"") + format +
                                      "\" is not a raster format for a DEM; the formats are "
                                      "GTiff, COG, AAIGrid, XYZ, HFA, GS7BG, SAGA, BT, netCDF");
  }
  DemOptions badOption;
  badOption.CreationOptions = {"COMPRESS"};
  EXPECT_EQ(message(badOption, {}), "A creation option must read NAME=VALUE, not \"COMPRESS\"");
  // A grid without any height makes no DEM.
  EXPECT_EQ(ThrownText<ExportError>(
                [] { ExportDem(FunctionGrid(3, 3, 0, 0, [](auto, auto) { return 0.0; }), {}, {}); },
                &ExportError::what),
            kNoHeightsMessage);
  // netCDF writes through a file on the disk: without a folder for it, none is made.
  EXPECT_THROW(ExportDem(grid, {}, InFormat("netCDF")), ExportError);
  EXPECT_EQ(message(DemOptions{}, {}), "no error");  // and the folder holds just that one
  EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::string>{"out.asc"});
}

TEST(DemExport, FormatsGoByNameInAnyCaseWithTheirOwnSettings) {
  TempFolder folder;
  const GridState grid = SlopeGrid();
  WriteDemFile(folder.File("lower.tif"), grid, {}, InFormat("gtiff"));
  const std::optional<DemInfo> d = ReadDemInfo(folder.File("lower.tif"));
  ASSERT_TRUE(d);
  EXPECT_EQ(std::tuple(d->Driver, d->Compression), std::tuple("GTiff", "DEFLATE"));

  // netCDF cannot write into memory: a private folder beside the target holds it for a moment.
  DemOptions netcdf = InFormat("NETCDF");
  Georeferencing g = GeoreferencingFromOffsetAngle(431000.0, 4650000.0, 0.0);
  g.EpsgCode = 32631;
  WriteDemFile(folder.File("slope.nc"), grid, g, netcdf);
  const std::optional<DemInfo> nc = ReadDemInfo(folder.File("slope.nc"));
  ASSERT_TRUE(nc);
  EXPECT_EQ(std::tuple(nc->Driver, nc->Columns), std::tuple("netCDF", 60));
  EXPECT_FLOAT_EQ(DemPixel(folder.File("slope.nc"), 59, 0), 120.0f + 29.5f + 7.8f);
  EXPECT_EQ(NamesIn(folder.Path()), (std::vector<std::string>{"lower.tif", "slope.nc"}));
  // Or in the folder the caller names.
  TempFolder scratch;
  netcdf.DiskFolder = scratch.Path();
  EXPECT_FALSE(ExportDem(grid, g, netcdf).Files.at(0).Bytes.empty());
  EXPECT_TRUE(std::filesystem::is_empty(scratch.Path()));
}

TEST(DemExport, AsciiFormatsWriteCentimetresNotFloatNoise) {
  TempFolder folder;
  const GridState grid = FunctionGrid(2, 1, 0, 0, [](auto x, auto) { return x == 0 ? 314.9 : 0.0; });
  WriteDemFile(folder.File("h.asc"), grid, {}, InFormat("AAIGrid"));
  const std::string text = ReadText(folder.File("h.asc"));
  EXPECT_NE(text.find(" 314.90 -9999.00\n"), std::string::npos) << text;
  const DemOptions xyz = InFormat("xyz");
  WriteDemFile(folder.File("h.xyz"), grid, {}, xyz);
  EXPECT_EQ(ReadText(folder.File("h.xyz")), "0 0 314.9\n");
  // Cells of a resampled (turned) grid keep their centimetres, coordinates four digits below
  // the cell size.
  const GridState slope = SlopeGrid();
  WriteDemFile(folder.File("turned.xyz"), slope, GeoreferencingFromOffsetAngle(0, 0, 3.0, 0.72), xyz);
  const std::string turned = ReadText(folder.File("turned.xyz"));
  const std::string first = turned.substr(0, turned.find('\n'));
  const auto decimals = [](const std::string& number) {
    const std::size_t dot = number.find('.');
    return dot == std::string::npos ? 0 : number.size() - dot - 1;
  };
  EXPECT_LE(decimals(first.substr(first.rfind(' ') + 1)), 2u) << first;
  EXPECT_LE(decimals(first.substr(0, first.find(' '))), 5u) << first;
  EXPECT_NEAR(ReadDemInfo(folder.File("turned.xyz")).value().GeoTransform[1], 0.72, 1e-6);
  // The text says it was turned onto a north-up grid only when it was.
  const auto notes = [&](double angle) {
    return ExportDem(slope, GeoreferencingFromOffsetAngle(0, 0, angle, 0.72), xyz).Notes;
  };
  EXPECT_EQ(notes(3.0), std::vector<std::string>{"The map is turned by 3.00 degrees against grid "
                                                 "north: its terrain was resampled onto a north-up "
                                                 "grid"});
  EXPECT_TRUE(notes(0.0).empty());
  // Coordinates and heights a hair below 0 are written 0, not -0.
  const DemRaster hair{.Columns = 2, .Rows = 1, .Cells = {-0.001f, 5.0f},
                       .GeoTransform = {-0.5000001, 1, 0, 0.4999999, 0, -1}};
  ExportProgressCallback none;
  ExportProgress progress(none);
  const std::vector<std::uint8_t> hairText = XyzText(hair, -9999.0f, progress);
  EXPECT_EQ(std::string(hairText.begin(), hairText.end()), "0 0 0\n1 0 5\n");
}

TEST(DemExport, ProgressRisesToOneAndCancellingWritesNothing) {
  TempFolder folder;
  const GridState grid = SlopeGrid();
  std::vector<double> seen;
  WriteDemFile(folder.File("dem.tif"), grid, {}, DemOptions{}, [&](double f) {
    seen.push_back(f);
    return true;
  });
  ASSERT_GE(seen.size(), 3u);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(std::tuple(seen.front(), seen.back()), std::tuple(0.0, 1.0));

  for (const double stopAt : {0.0, 0.5, 0.99}) {
    const auto stop = [&](double f) { return f < stopAt; };
    EXPECT_THROW(WriteDemFile(folder.File("cancelled.tif"), grid, {}, DemOptions{}, stop),
                 ExportCancelled);
    EXPECT_FALSE(std::filesystem::exists(folder.File("cancelled.tif"))) << stopAt;
  }
}

}  // namespace
}  // namespace terrak
