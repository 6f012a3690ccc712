#include "platform/program_module.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace terrak {
namespace {

bool IsFile(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The folder of the running executable, empty when the system does not tell it.
std::string ExecutableFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return {};
  const std::string exe(path, static_cast<std::size_t>(length));
  const std::string::size_type slash = exe.rfind('/');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

}  // namespace

ProgramModule ProgramModule::Open(const std::vector<std::string>& candidates,
                                  const char* entrySymbol) {
  ProgramModule module;
  for (const std::string& path : candidates) {
    if (!IsFile(path)) continue;
    // RTLD_LOCAL keeps the module's libraries out of the program's own symbol lookups.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* reason = dlerror();
      module.error_ = reason ? reason : path + ": cannot be loaded";
      return module;
    }
    dlerror();
    module.entry_ = dlsym(handle, entrySymbol);
    if (!module.entry_) module.error_ = path + ": no " + entrySymbol + " in it";
    return module;
  }
  module.error_ = "not found (looked for";
  for (const std::string& path : candidates) module.error_ += " " + path;
  module.error_ += ")";
  return module;
}

std::vector<std::string> ProgramModuleCandidates(const std::string& fileName) {
  std::vector<std::string> candidates;
  const std::string folder = ExecutableFolder();
  if (!folder.empty()) {
    candidates.push_back(folder + "/" + fileName);
    candidates.push_back(folder + "/" TERRAK_MODULE_DIR_FROM_BIN "/" + fileName);
  }
  candidates.push_back(std::string(TERRAK_MODULE_BUILD_DIR "/") + fileName);
  return candidates;
}

}  // namespace terrak
