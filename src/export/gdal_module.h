#pragma once
// The exports' way to GDAL: the module terrak-gdal.so, loaded the first time an export needs it,
// so commands that export nothing through GDAL start without its hundred libraries.
#include <string>
#include <vector>

#include "export/gdal_exports.h"

namespace terrak {

inline constexpr const char* kGdalModuleMissing =
    "The GDAL module that writes DEMs and textures could not be loaded: ";

// The module's functions from the first of candidates that exists; ExportError (kGdalModuleMissing
// and why) when it cannot be used.
const GdalExports& LoadGdalExports(const std::vector<std::string>& candidates);

// The program's module, found beside the executable, in the installed module folder or in the
// build tree, loaded once; ExportError when it cannot be used (asked again on every call).
const GdalExports& ProgramGdalExports();

// Turns what the module reported into the exports' exceptions: ExportError with its message,
// ExportCancelled, std::bad_alloc.
void ThrowUnlessDone(const GdalOutcome& outcome);

}  // namespace terrak
