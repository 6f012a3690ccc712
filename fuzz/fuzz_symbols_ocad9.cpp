// Feeds arbitrary bytes as an OCAD 9 to 2018 map to its symbol definitions (colour strings,
// symbol records of every type, objects' angles) and draws the whole map. Maps saved by
// OpenOrienteering Mapper as OCAD 9 to 12 make a good starting corpus (tools/compare-with-mapper
// --keep leaves them in its work folder).
#include "map_drawing_fuzzing.h"

using namespace terrak;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::DrawMapOfKind(data, size, MapFileKind::Ocad9On);
  return 0;
}
