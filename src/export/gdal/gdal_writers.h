#pragma once
// The module's work with GDAL behind the interface in export/gdal_exports.h. These functions
// throw ExportError with the user's message, ExportCancelled when the progress says stop, and
// std::bad_alloc; the module's entry turns that into outcomes.
#include "export/gdal_exports.h"

namespace terrak {

void CheckDemWriting(const std::string& format, const std::vector<std::string>& creationOptions);

ExportedFiles WriteDemWithGdal(const DemWriteRequest& request, const GdalProgress& progress);

std::vector<std::uint8_t> EncodePngWithGdal(std::int64_t width, std::int64_t height,
                                            const std::vector<std::uint8_t>& pixels,
                                            const std::array<std::uint8_t, 1024>& palette);

// The DEM's heights at the request's points; note says what was assumed.
std::vector<double> SampleDemWithGdal(const DemSampleRequest& request, std::string& note);

}  // namespace terrak
