#include "export/dem_source.h"

#include "export/export_error.h"
#include "export/gdal_module.h"

namespace terrak {

namespace {

class GdalDemSource : public heights::DemSource {
 public:
  GdalDemSource(std::string file, const Georeferencing& georef, const GdalExports* gdal)
      : file_(std::move(file)), georef_(georef), gdal_(gdal) {}

  std::vector<double> Sample(const std::vector<Georeferencing::Point>& points) override {
    DemSampleRequest request;
    request.File = file_;
    request.EpsgCode = georef_.EpsgCode;
    request.CrsDefinition = georef_.CrsDefinition;
    request.X.reserve(points.size());
    request.Y.reserve(points.size());
    for (const Georeferencing::Point& p : points) {
      request.X.push_back(p.Easting);
      request.Y.push_back(p.Northing);
    }
    DemSampleResult result;
    try {
      const GdalExports& gdal = gdal_ ? *gdal_ : ProgramGdalExports();
      result = gdal.SampleDem(request);
      ThrowUnlessDone(result);
    } catch (const ExportError& e) {
      throw heights::DemError(e.what());
    }
    note_ = result.Note;
    return std::move(result.Heights);
  }

  std::string Note() const override { return note_; }

 private:
  std::string file_;
  Georeferencing georef_;
  const GdalExports* gdal_;
  std::string note_;
};

}  // namespace

std::unique_ptr<heights::DemSource> OpenDemFile(const std::string& file,
                                                const Georeferencing& georef) {
  return std::make_unique<GdalDemSource>(file, georef, nullptr);
}

std::unique_ptr<heights::DemSource> OpenDemFile(const std::string& file,
                                                const Georeferencing& georef,
                                                const GdalExports& gdal) {
  return std::make_unique<GdalDemSource>(file, georef, &gdal);
}

}  // namespace terrak
