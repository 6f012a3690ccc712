#include "mapfile/drawing_source.h"

#include "mapfile/map_formats.h"

namespace terrak {

DrawingSource ReadDrawingSource(std::vector<std::uint8_t> bytes, const std::string& fileName) {
  const MapFormatEntry* entry = RegistryEntryFor(RecogniseMapFile(bytes));
  if (entry != nullptr && entry->ReadDrawing != nullptr) return entry->ReadDrawing(std::move(bytes));
  const std::unique_ptr<FormatMap> map = OpenFormatMap(std::move(bytes), fileName);
  DrawingSource source;
  source.FormatName = map->Info().FormatName;
  source.Scale = map->Info().Scale;
  source.Definitions = map->ReadSymbolDefinitions();
  source.Objects = map->ReadObjects([](std::int32_t) { return true; }).Objects;
  return source;
}

}  // namespace terrak
