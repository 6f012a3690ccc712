// Feeds arbitrary bytes as an OpenOrienteering Mapper XML map to its symbol definitions
// (colours, line, area, point, text and combined symbols, symbols inside symbols, object
// placements) and draws the whole map. Mapper's example maps make a good starting corpus.
#include "map_drawing_fuzzing.h"

using namespace terrak;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::DrawMapOfKind(data, size, MapFileKind::MapperXml);
  return 0;
}
