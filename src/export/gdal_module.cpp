#include "export/gdal_module.h"

#include <new>

#include "export/export_error.h"
#include "platform/program_module.h"

namespace terrak {
namespace {

// What loading once gave: the functions, or why there are none.
struct LoadedExports {
  const GdalExports* Exports = nullptr;
  std::string Error;
};

LoadedExports Load(const std::vector<std::string>& candidates) {
  const ProgramModule module = ProgramModule::Open(candidates, kGdalModuleEntry);
  LoadedExports loaded;
  if (!module.Entry()) {
    loaded.Error = module.Error();
    return loaded;
  }
  const auto entry = reinterpret_cast<decltype(&TerrakGdalExportsV1)>(module.Entry());
  loaded.Exports = entry();
  if (!loaded.Exports) loaded.Error = std::string(kGdalModuleFile) + " offers no exports";
  return loaded;
}

const GdalExports& Require(const LoadedExports& loaded) {
  if (!loaded.Exports) throw ExportError(kGdalModuleMissing + loaded.Error);
  return *loaded.Exports;
}

}  // namespace

const GdalExports& LoadGdalExports(const std::vector<std::string>& candidates) {
  return Require(Load(candidates));
}

const GdalExports& ProgramGdalExports() {
  // Loaded once per process; a module is never unloaded, so the functions stay valid.
  static const LoadedExports loaded = Load(ProgramModuleCandidates(kGdalModuleFile));
  return Require(loaded);
}

void ThrowUnlessDone(const GdalOutcome& outcome) {
  switch (outcome.Status) {
    case GdalStatus::Done: return;
    case GdalStatus::Cancelled: throw ExportCancelled();
    case GdalStatus::OutOfMemory: throw std::bad_alloc();
    case GdalStatus::Failed: break;
  }
  throw ExportError(outcome.Error);
}

}  // namespace terrak
