#include "export/dem_export.h"

#include <cstdio>
#include <exception>

#include "export/export_error.h"
#include "export/gdal_module.h"

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

ExportedFiles ExportDem(const GridState& grid, const Georeferencing& georef,
                        const DemOptions& options, const ExportProgressCallback& callback) {
  ExportProgress progress(callback);
  const GdalExports& gdal = ProgramGdalExports();
  ThrowUnlessDone(gdal.CheckDemFormat(options.Format, options.CreationOptions));

  progress.BeginStage(0.2);
  DemRaster raster = MakeDemRaster(grid.HeightGrid, grid.GridMinX, grid.GridMinY, grid.HeightBase, georef,
                                   options.Rotation, options.CellSize, options.NoData, progress);
  if (raster.Columns > INT32_MAX || raster.Rows > INT32_MAX)
    throw ExportError("The DEM would be too large for GDAL");

  DemWriteRequest request;
  request.Format = options.Format;
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

  ModuleProgress moduleProgress{progress, nullptr};
  DemWriteResult written = gdal.WriteDem(request, moduleProgress.ForModule());
  if (moduleProgress.Failure) std::rethrow_exception(moduleProgress.Failure);
  ThrowUnlessDone(written);
  progress.Finish();
  return std::move(written.Files);
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
