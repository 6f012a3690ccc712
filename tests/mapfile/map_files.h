#pragma once
// Small builder-made maps shared by the map file tests.
#include <gtest/gtest.h>

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

  // Writes the bytes as the map and opens it.
  OpenResult OpenBytes(const std::vector<std::uint8_t>& bytes) {
    WriteBytes(Map, bytes);
    Model.MapFileName = Map;
    return OpenMapFile(Model, WorkingCopy, Dialogs);
  }
  // Writes the builder's file (of any version) as the map and opens it.
  template <class Builder>
  OpenResult Open(Builder& builder) {
    return OpenBytes(builder.Build());
  }
  void Select(const std::vector<std::int32_t>& symbols) {
    Model.SelectedSymbols.clear();
    for (std::int32_t s : symbols) Model.SelectedSymbols.push_back({s, 0});
    Model.SymbolsSelected = true;
  }
  // Selects the symbols and reads their objects.
  void Read(const std::vector<std::int32_t>& symbols) {
    Select(symbols);
    ReadObjects(Model, WorkingCopy);
  }
};

// A symbol filter that takes every symbol.
inline bool All(std::int32_t) { return true; }

// The text with the first place of a piece of it replaced.
inline std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at == std::string::npos) return text;
  return text.replace(at, from.size(), to);
}

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
