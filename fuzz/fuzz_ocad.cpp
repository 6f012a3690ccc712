// Feeds arbitrary bytes as a map (any kind the program tells: OCAD 5 to 2018, Mapper XML)
// through everything that reads or patches one, by the program's own open path: opening, the
// symbol list, the objects of every listed symbol, every write, Save As with the files kept
// beside the map. The only allowed outcomes are the program's own messages and file errors.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "mapfile/map_format.h"
#include "mapfile/map_reader.h"
#include "mapfile/map_writer.h"
#include "mapfile/mapper/mapper_map.h"
#include "mapfile/ocad_file.h"
#include "mapfile/ocad_format_error.h"
#include "platform/file_error.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

using namespace terrak;

namespace {

void Exercise(const std::string& mapFile, const std::string& workingCopy,
              const std::string& savedFile) {
  testing::ScriptedDialogs dialogs;
  MapModel model;
  model.MapFileName = mapFile;
  if (OpenMapFile(model, workingCopy, dialogs) != OpenResult::Opened) return;
  for (const TmapSymbol& s : model.SymbolList) model.SelectedSymbols.push_back({s.Symbol, 0});
  // Objects of symbols that are not in the list (area symbols, unknown numbers) too.
  for (int symbol : {0, 1, 101, 102, 103, 201, -1, 101000, 102000, 103002})
    model.SelectedSymbols.push_back({symbol, 0});
  model.SymbolsSelected = true;
  if (auto* mapper = dynamic_cast<mapper::MapperMap*>(model.Format.get())) {
    const std::vector<mapper::TagKeyCount> keys = mapper->HeightTagKeys();
    if (!keys.empty()) mapper->SetHeightTag(keys.front().Key);
  }
  ReadObjects(model, workingCopy);
  TracedObjectList all;
  for (std::size_t i = 0; i < model.MapObjects.size(); ++i)
    all.push_back(static_cast<std::int32_t>(i));
  WriteTracedHeights(model, workingCopy, all, 1234);
  WriteObjectSymbols(model, workingCopy, all,
                     model.SymbolList.empty() ? 102 : model.SymbolList.back().Symbol);
  ReadObjects(model, workingCopy);
  model.MapZoom = 3;
  WriteZoom(model, workingCopy);
  model.MapOffsetX = -1234;
  WriteOffset(model, workingCopy);
  ClearAllHeights(model, workingCopy, dialogs);
  model.MapFileName = savedFile;
  SaveMapAs(model, workingCopy);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const testing::TempFolder folder;
  const std::string mapFile = folder.File("fuzz.ocd");
  testing::WriteBytes(mapFile, std::vector<std::uint8_t>(data, data + size));
  try {
    Exercise(mapFile, folder.File("OCADCopy.tmp"), folder.File("saved.ocd"));
  } catch (const OcadFormatError&) {
  } catch (const MapFormatError&) {
  } catch (const FileError&) {
  }
  return 0;
}
