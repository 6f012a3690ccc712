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

// What a module's entry function gave: its table of functions, or why there is none.
template <typename Table>
struct ModuleTable {
  const Table* Functions = nullptr;
  std::string Error;
};

// Opens the first usable of candidates and calls its entry, a function without arguments that
// returns the module's table; a module that returns none is reported with noTable.
template <typename Table>
ModuleTable<Table> OpenModuleTable(const std::vector<std::string>& candidates,
                                   const char* entrySymbol, const std::string& noTable) {
  const ProgramModule module = ProgramModule::Open(candidates, entrySymbol);
  ModuleTable<Table> loaded;
  if (!module.Entry()) {
    loaded.Error = module.Error();
    return loaded;
  }
  using Entry = const Table* (*)();
  loaded.Functions = reinterpret_cast<Entry>(module.Entry())();
  if (!loaded.Functions) loaded.Error = noTable;
  return loaded;
}

// Where a module of this name is looked for, in this order: beside the running executable, in
// the installed module folder relative to it, and in the build tree that made the program (so
// tests, benchmarks and tools find it without being installed).
std::vector<std::string> ProgramModuleCandidates(const std::string& fileName);

}  // namespace terrak
