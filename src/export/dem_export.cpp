#include "export/dem_export.h"

#include <cstdio>
#include <exception>

#include "export/dem_formats.h"
#include "export/export_error.h"
#include "export/gdal_module.h"
#include "export/terrain_lattice.h"
#include "export/xyz_text.h"

namespace terrak {
namespace {

std::string RotationNote(const Georeferencing& georef) {
  char angle[32];
  std::snprintf(angle, sizeof angle, "%.2f", georef.AngleDegrees);
  return std::string("The map is turned by ") + angle +
         " degrees against grid north: its terrain was resampled onto a north-up grid";
}

// The export's progress as the module reports it. A refusal becomes a false return there and
// ExportCancelled here; anything else the callback throws is kept and thrown on once GDAL is done.
struct ModuleProgress {
  ExportProgress& Progress;
  std::exception_ptr Failure;

  template <typename Step>
  static bool Run(void* context, Step&& step) {
    auto* self = static_cast<ModuleProgress*>(context);
    try {
      step(self->Progress);
      return true;
    } catch (const ExportCancelled&) {
      return false;
    } catch (...) {
      self->Failure = std::current_exception();
      return false;
    }
  }
  GdalProgress ForModule() {
    GdalProgress progress;
    progress.Context = this;
    progress.BeginStage = [](void* context, double share) {
      return Run(context, [share](ExportProgress& p) { p.BeginStage(share); });
    };
    progress.Report = [](void* context, double fraction) {
      return Run(context, [fraction](ExportProgress& p) { p.Report(fraction); });
    };
    return progress;
  }
};

}  // namespace

namespace {

// The format options name, checked as far as can be without the grid.
const DemFormat& CheckedFormat(const DemOptions& options) {
  const DemFormat& format = DemFormatNamed(options.Format);
  if (format.Driver == kXyzDriver) {
    if (!options.CreationOptions.empty())
      throw ExportError("The XYZ format takes no creation options");
  } else {
    ThrowUnlessDone(ProgramGdalExports().CheckDemFormat(format.Driver, options.CreationOptions));
  }
  if (format.NeedsDiskFile && options.DiskFolder.empty())
    throw ExportError("The raster format \"" + format.Driver +
                      "\" is written through a temporary file, and no folder for it was given");
  return format;
}

// The XYZ text, which the program writes itself (xyz_text.h).
ExportedFiles XyzFiles(const DemRaster& raster, const Georeferencing& georef,
                       const DemOptions& options, ExportProgress& progress) {
  ExportedFiles files;
  files.Files.push_back({options.Extension.empty() ? ".xyz" : options.Extension,
                         XyzText(raster, options.NoData, progress)});
  if (!georef.Known) files.Notes.push_back(kDemUngeoreferencedNote);
  if (raster.Resampled) files.Notes.push_back(RotationNote(georef));
  return files;
}

}  // namespace

void CheckDemExport(const GridState& grid, const DemOptions& options) {
  CheckedFormat(options);
  if (grid.HeightGrid.Empty()) throw ExportError(kNoGridMessage);
  if (!HasHeights(grid.HeightGrid)) throw ExportError(kNoHeightsMessage);
}

ExportedFiles ExportDem(const GridState& grid, const Georeferencing& georef,
                        const DemOptions& options, const ExportProgressCallback& callback) {
  ExportProgress progress(callback);
  const DemFormat& format = CheckedFormat(options);

  progress.BeginStage(0.2);
  DemRaster raster = MakeDemRaster(grid.HeightGrid, grid.GridMinX, grid.GridMinY, grid.HeightBase, georef,
                                   options.Rotation, options.CellSize, options.NoData, progress);
  if (format.Driver == kXyzDriver) {
    progress.BeginStage(0.8);
    ExportedFiles files = XyzFiles(raster, georef, options, progress);
    progress.Finish();
    return files;
  }
  if (raster.Columns > INT32_MAX || raster.Rows > INT32_MAX)
    throw ExportError("The DEM would be too large for GDAL");

  DemWriteRequest request;
  request.Format = format.Driver;
  request.CreationOptions = options.CreationOptions;
  request.Columns = raster.Columns;
  request.Rows = raster.Rows;
  request.Cells = raster.Cells.data();
  request.GeoTransform = raster.GeoTransform;
  request.NoData = options.NoData;
  request.Georeferenced = georef.Known;
  request.EpsgCode = georef.EpsgCode;
  request.CrsDefinition = georef.CrsDefinition;
  if (raster.Resampled) request.ResampledNote = RotationNote(georef);
  request.Extension = options.Extension;
  if (format.NeedsDiskFile) request.DiskFolder = options.DiskFolder;

  ModuleProgress moduleProgress{progress, nullptr};
  DemWriteResult written = ProgramGdalExports().WriteDem(request, moduleProgress.ForModule());
  if (moduleProgress.Failure) std::rethrow_exception(moduleProgress.Failure);
  ThrowUnlessDone(written);
  progress.Finish();
  return std::move(written.Files);
}

std::vector<std::string> WriteDemFile(const std::string& target, const GridState& grid,
                                      const Georeferencing& georef, DemOptions options,
                                      const ExportProgressCallback& progress) {
  options.Extension = FileExtension(target);
  if (options.DiskFolder.empty()) {
    const std::string::size_type slash = target.rfind('/');
    options.DiskFolder =
        slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  }
  const ExportedFiles files = ExportDem(grid, georef, options, progress);
  WriteExportedFiles(target, files);
  return files.Notes;
}

}  // namespace terrak
