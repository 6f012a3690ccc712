#pragma once
// Small builder-made maps shared by the map file tests.
#include <string>
#include <vector>

#include "mapfile/map_model.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"
#include "mapbuild/ocad_builder.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak::testing {

// A test's map file and working copy in a fresh folder.
struct MapFiles {
  TempFolder Folder;
  std::string Map = Folder.File("map.ocd");
  std::string WorkingCopy = Folder.File("OCADCopy.tmp");
  ScriptedDialogs Dialogs;
  MapModel Model;

  // Writes the builder's file as the map and opens it.
  OpenResult Open(OcadMapBuilder& builder) {
    WriteBytes(Map, builder.Build());
    Model.MapFileName = Map;
    return OpenMapFile(Model, WorkingCopy, Dialogs);
  }
  void Select(std::initializer_list<std::int16_t> symbols) {
    Model.SelectedSymbols.clear();
    for (std::int16_t s : symbols) Model.SelectedSymbols.push_back({s, 0});
    Model.SymbolsSelected = true;
  }
  // Selects the symbols and reads their objects.
  void Read(std::initializer_list<std::int16_t> symbols) {
    Select(symbols);
    ReadObjects(Model, WorkingCopy);
  }
};

// The byte positions at which two files differ (files of different length differ everywhere
// past the shorter one's end, reported as one position).
inline std::vector<std::size_t> DifferingBytes(const std::vector<std::uint8_t>& a,
                                               const std::vector<std::uint8_t>& b) {
  std::vector<std::size_t> positions;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] != b[i]) positions.push_back(i);
  if (a.size() != b.size()) positions.push_back(std::min(a.size(), b.size()));
  return positions;
}

}  // namespace terrak::testing
