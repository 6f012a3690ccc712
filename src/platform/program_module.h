#pragma once
// A shared module of this program (a part kept out of the executable so that its libraries load
// only when a command needs them), opened with dlopen on first use and never closed: the
// libraries behind it keep threads and handlers that must outlive every call.
#include <string>
#include <vector>

namespace terrak {

class ProgramModule {
 public:
  // Opens the first of candidates that exists as a file and looks up its entry symbol. A file
  // that exists but is no usable module is reported rather than passed over, so a broken
  // installation says what is wrong instead of loading some other copy.
  static ProgramModule Open(const std::vector<std::string>& candidates, const char* entrySymbol);

  // The entry symbol's address, null when the module could not be used.
  void* Entry() const { return entry_; }
  // Why the module could not be used (naming the file or the places searched), empty when it can.
  const std::string& Error() const { return error_; }

 private:
  void* entry_ = nullptr;
  std::string error_;
};

// Where a module of this name is looked for, in this order: beside the running executable, in
// the installed module folder relative to it, and in the build tree that made the program (so
// tests, benchmarks and tools find it without being installed).
std::vector<std::string> ProgramModuleCandidates(const std::string& fileName);

}  // namespace terrak
