#include "export/gdal_module.h"

#include <new>
#include <type_traits>

#include "export/export_error.h"
#include "platform/program_module.h"

namespace terrak {
namespace {

// The entry the module exports is the one OpenModuleTable calls.
static_assert(std::is_same_v<decltype(&TerrakGdalExportsV2), const GdalExports* (*)()>);
using LoadedExports = ModuleTable<GdalExports>;

LoadedExports Load(const std::vector<std::string>& candidates) {
  return OpenModuleTable<GdalExports>(candidates, kGdalModuleEntry,
                                      std::string(kGdalModuleFile) + " offers no exports");
}

const GdalExports& Require(const LoadedExports& loaded) {
  if (!loaded.Functions) throw ExportError(kGdalModuleMissing + loaded.Error);
  return *loaded.Functions;
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
