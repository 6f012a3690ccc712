#include "export/dem_export.h"

#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "export/export_error.h"
#include "export/gdal_support.h"

namespace terrak {
namespace {

constexpr const char* kStem = "dem";

struct DatasetCloser {
  void operator()(GDALDataset* d) const { GDALClose(GDALDataset::ToHandle(d)); }
};
using Dataset = std::unique_ptr<GDALDataset, DatasetCloser>;

GDALDriver* WritingDriver(const std::string& format) {
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(format.c_str());
  if (!driver || !driver->GetMetadataItem(GDAL_DCAP_RASTER))
    throw ExportError("GDAL has no raster format called \"" + format + "\"");
  if (!driver->GetMetadataItem(GDAL_DCAP_CREATECOPY) && !driver->GetMetadataItem(GDAL_DCAP_CREATE))
    throw ExportError("GDAL cannot write the raster format \"" + format + "\"");
  return driver;
}

CPLStringList CreationOptions(const DemOptions& options) {
  CPLStringList list;
  if (options.Format == kDefaultDemFormat) {
    list.SetNameValue("COMPRESS", "DEFLATE");
    list.SetNameValue("PREDICTOR", "3");  // floating-point differences: smaller, still lossless
    // Level 4 rather than zlib's 6: a third to a half less time for files 4 to 20 % larger.
    list.SetNameValue("ZLEVEL", "4");
    list.SetNameValue("TILED", "YES");
    list.SetNameValue("BIGTIFF", "IF_SAFER");
    list.SetNameValue("NUM_THREADS", "ALL_CPUS");  // compresses tiles on every core
  }
  for (const std::string& option : options.CreationOptions) {
    const std::string::size_type equals = option.find('=');
    if (equals == std::string::npos || equals == 0)
      throw ExportError("A creation option must read NAME=VALUE, not \"" + option + "\"");
    list.SetNameValue(option.substr(0, equals).c_str(), option.substr(equals + 1).c_str());
  }
  return list;
}

// The map's coordinate system, or none with a note saying why. Text from the map is never taken
// as a file name or a web address.
void SetCoordinateSystem(GDALDataset& dataset, const Georeferencing& georef,
                         std::vector<std::string>& notes) {
  if (!georef.Known) {
    notes.push_back(kDemUngeoreferencedNote);
    return;
  }
  OGRSpatialReference srs;
  bool found = false;
  if (georef.EpsgCode > 0) found = srs.importFromEPSG(georef.EpsgCode) == OGRERR_NONE;
  if (!found && !georef.CrsDefinition.empty())
    found = srs.SetFromUserInput(georef.CrsDefinition.c_str(),
                                 OGRSpatialReference::SET_FROM_USER_INPUT_LIMITATIONS) ==
            OGRERR_NONE;
  if (found) {
    dataset.SetSpatialRef(&srs);
  } else if (georef.EpsgCode > 0) {
    notes.push_back("GDAL does not know the map's coordinate system EPSG:" +
                    std::to_string(georef.EpsgCode) + ": the DEM has no coordinate system");
  } else {
    notes.push_back(kDemNoCrsNote);
  }
}

struct CopyProgress {
  ExportProgress* Progress = nullptr;
  bool Cancelled = false;
};

int CPL_STDCALL ReportCopy(double done, const char*, void* data) {
  auto* copy = static_cast<CopyProgress*>(data);
  try {
    copy->Progress->Report(done);
    return TRUE;
  } catch (const ExportCancelled&) {
    copy->Cancelled = true;
    return FALSE;
  }
}

std::string RotationNote(const Georeferencing& georef) {
  char angle[32];
  std::snprintf(angle, sizeof angle, "%.2f", georef.AngleDegrees);
  return std::string("The map is turned by ") + angle +
         " degrees against grid north: its terrain was resampled onto a north-up grid";
}

// Some formats (the ASCII grid) keep only a north-up corner and a cell size and put the rest in
// a side file that GDAL itself ignores on reading: such a DEM would lie in the wrong place.
void CheckRotationKept(const std::string& file, const std::array<double, 6>& expected,
                       const std::string& format) {
  Dataset back(GDALDataset::FromHandle(GDALOpen(file.c_str(), GA_ReadOnly)));
  double kept[6] = {};
  const bool same = back && back->GetGeoTransform(kept) == CE_None &&
                    std::equal(expected.begin(), expected.end(), kept, [](double a, double b) {
                      return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(a));
                    });
  if (!same)
    throw ExportError("The raster format \"" + format +
                      "\" cannot hold a rotated grid: export the DEM north up");
}

}  // namespace

ExportedFiles ExportDem(const GridState& grid, const Georeferencing& georef,
                        const DemOptions& options, const ExportProgressCallback& callback) {
  ExportProgress progress(callback);
  EnsureGdalDrivers();
  GdalMessages messages;
  GDALDriver* driver = WritingDriver(options.Format);
  const CPLStringList creationOptions = CreationOptions(options);

  progress.BeginStage(0.2);
  DemRaster raster = MakeDemRaster(grid.HeightGrid, grid.GridMinX, grid.GridMinY, georef,
                                   options.Rotation, options.CellSize, options.NoData, progress);
  if (raster.Columns > INT32_MAX || raster.Rows > INT32_MAX)
    throw ExportError("The DEM would be too large for GDAL");

  ExportedFiles result;
  GDALDriver* memory = GetGDALDriverManager()->GetDriverByName("MEM");
  Dataset source(memory->Create("", static_cast<int>(raster.Columns), static_cast<int>(raster.Rows),
                                0, GDT_Float32, nullptr));
  if (!source) throw ExportError("GDAL could not hold the DEM in memory: " + messages.LastError());
  char pointer[64];
  std::snprintf(pointer, sizeof pointer, "DATAPOINTER=%p", static_cast<void*>(raster.Cells.data()));
  const char* bandOptions[] = {pointer, nullptr};
  source->AddBand(GDT_Float32, const_cast<char**>(bandOptions));
  GDALRasterBand* band = source->GetRasterBand(1);
  band->SetNoDataValue(options.NoData);
  band->SetDescription("height");
  band->SetUnitType("m");
  source->SetGeoTransform(raster.GeoTransform.data());
  SetCoordinateSystem(*source, georef, result.Notes);
  if (raster.Resampled) result.Notes.push_back(RotationNote(georef));

  std::string extension = options.Extension;
  if (extension.empty()) {
    const char* usual = driver->GetMetadataItem(GDAL_DMD_EXTENSION);
    if (usual && *usual) extension = std::string(".") + usual;
  }
  GdalMemoryFolder folder;
  const std::string mainName = kStem + extension;
  progress.BeginStage(0.75);
  CopyProgress copyProgress{&progress, false};
  messages.Clear();  // a coordinate system GDAL did not know is a note by now
  // Strict: a format that cannot hold Float32 heights or the placement refuses, rather than
  // writing a DEM that silently lost them.
  Dataset copy(driver->CreateCopy(folder.Path(mainName).c_str(), source.get(), TRUE,
                                  creationOptions.List(), ReportCopy, &copyProgress));
  if (copyProgress.Cancelled) throw ExportCancelled();
  if (!copy)
    throw ExportError("GDAL could not write the DEM as \"" + options.Format +
                      "\": " + messages.LastError());
  copy.reset();  // closing writes what the driver still holds
  if (!messages.LastError().empty())
    throw ExportError("GDAL could not write the DEM as \"" + options.Format +
                      "\": " + messages.LastError());

  if (raster.GeoTransform[2] != 0.0 || raster.GeoTransform[4] != 0.0)
    CheckRotationKept(folder.Path(mainName), raster.GeoTransform, options.Format);

  progress.BeginStage(0.05);
  for (MemoryFile& file : folder.Files()) {
    if (file.Name.rfind(kStem, 0) != 0) continue;
    ExportedFile out{file.Name.substr(std::string(kStem).size()), std::move(file.Bytes)};
    if (file.Name == mainName)
      result.Files.insert(result.Files.begin(), std::move(out));
    else
      result.Files.push_back(std::move(out));
  }
  if (result.Files.empty() || result.Files.front().Suffix != extension)
    throw ExportError("GDAL wrote no DEM as \"" + options.Format + "\"");
  for (const std::string& warning : messages.Warnings()) result.Notes.push_back("GDAL: " + warning);
  progress.Finish();
  return result;
}

std::vector<std::string> WriteDemFile(const std::string& target, const GridState& grid,
                                      const Georeferencing& georef, DemOptions options,
                                      const ExportProgressCallback& progress) {
  options.Extension = FileExtension(target);
  const ExportedFiles files = ExportDem(grid, georef, options, progress);
  WriteExportedFiles(target, files);
  return files.Notes;
}

}  // namespace terrak
