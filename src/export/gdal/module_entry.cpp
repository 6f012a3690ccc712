// The entry of terrak-gdal.so: the interface's functions, each turning the writers' exceptions
// into an outcome, since no exception may cross into the program.
#include <gdal_priv.h>

#include <new>

#include "export/export_error.h"
#include "export/gdal/gdal_support.h"
#include "export/gdal/gdal_writers.h"

namespace terrak {
namespace {

// Runs work, filling outcome's status and message from what it threw.
template <typename Work>
void Guarded(GdalOutcome& outcome, Work&& work) noexcept {
  try {
    work();
  } catch (const ExportCancelled&) {
    outcome.Status = GdalStatus::Cancelled;
  } catch (const ExportError& e) {
    outcome.Status = GdalStatus::Failed;
    outcome.Error = e.what();
  } catch (const std::bad_alloc&) {
    outcome.Status = GdalStatus::OutOfMemory;
  } catch (const std::exception& e) {
    outcome.Status = GdalStatus::Failed;
    outcome.Error = std::string("GDAL failed: ") + e.what();
  } catch (...) {
    outcome.Status = GdalStatus::Failed;
    outcome.Error = "GDAL failed";
  }
}

bool HasDriver(const std::string& driver) noexcept {
  try {
    EnsureGdalDrivers();
    return GetGDALDriverManager()->GetDriverByName(driver.c_str()) != nullptr;
  } catch (...) {
    return false;
  }
}

GdalOutcome CheckDemFormat(const std::string& format,
                           const std::vector<std::string>& creationOptions) noexcept {
  GdalOutcome outcome;
  Guarded(outcome, [&] { CheckDemWriting(format, creationOptions); });
  return outcome;
}

DemWriteResult WriteDem(const DemWriteRequest& request, const GdalProgress& progress) noexcept {
  DemWriteResult result;
  Guarded(result, [&] { result.Files = WriteDemWithGdal(request, progress); });
  if (result.Status != GdalStatus::Done) result.Files = {};
  return result;
}

PngResult EncodePalettePng(std::int64_t width, std::int64_t height,
                           const std::vector<std::uint8_t>& pixels,
                           const std::array<std::uint8_t, 1024>& palette) noexcept {
  PngResult result;
  Guarded(result, [&] { result.Bytes = EncodePngWithGdal(width, height, pixels, palette); });
  return result;
}

DemSampleResult SampleDem(const DemSampleRequest& request) noexcept {
  DemSampleResult result;
  Guarded(result, [&] { result.Heights = SampleDemWithGdal(request, result.Note); });
  return result;
}

constexpr GdalExports kExports{HasDriver, CheckDemFormat, WriteDem, EncodePalettePng, SampleDem};

}  // namespace
}  // namespace terrak

extern "C" __attribute__((visibility("default"))) const terrak::GdalExports* TerrakGdalExportsV2() {
  return &terrak::kExports;
}
