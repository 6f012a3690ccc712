#include "mapfile/drawing_source.h"

#include "mapfile/map_formats.h"
#include "mapfile/ocad6/ocad6_drawing.h"

namespace terrak {

DrawingSource ReadDrawingSource(std::vector<std::uint8_t> bytes, const std::string& fileName) {
  const MapFileFormat format = RecogniseMapFile(bytes);
  DrawingSource source;
  switch (format.Kind) {
    case MapFileKind::Ocad5To7:
    case MapFileKind::Ocad8: {
      if (format.Version == 5) throw MapFormatError(kNoDrawingOcad5Message, "OCAD 5");
      ocad6::MapDrawing6 map = ocad6::ReadMapDrawing6(bytes);
      source.FormatName = "OCAD " + std::to_string(map.Version);
      source.Scale = map.Scale;
      source.Definitions = std::move(map.Definitions);
      source.Objects = std::move(map.Objects.Objects);
      return source;
    }
    default: {
      const std::unique_ptr<FormatMap> map = OpenFormatMap(std::move(bytes), fileName);
      source.FormatName = map->Info().FormatName;
      source.Scale = map->Info().Scale;
      source.Definitions = map->ReadSymbolDefinitions();
      source.Objects = map->ReadObjects([](std::int32_t) { return true; }).Objects;
      return source;
    }
  }
}

}  // namespace terrak
