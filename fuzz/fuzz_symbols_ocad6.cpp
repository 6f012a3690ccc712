// Feeds arbitrary bytes as an OCAD 6, 7 or 8 map to the drawing reader (colour table, symbol
// records with their elements, objects) and draws the whole map.
//
// TERRAK_FUZZ_SEEDS=folder writes demo maps of versions 6 and 7, which carry symbol drawings.
#include <cstdlib>
#include <string>

#include "map_drawing_fuzzing.h"
#include "mapbuild/demo_map.h"
#include "support/temp_folder.h"

using namespace terrak;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* folder = std::getenv("TERRAK_FUZZ_SEEDS")) {
    testing::DemoMapOptions options;
    options.Width = 200;
    options.Depth = 150;
    const testing::DemoMap map = testing::MakeDemoMap(options);
    for (int version : {6, 7})
      testing::WriteBytes(std::string(folder) + "/demo" + std::to_string(version),
                          testing::DemoMapBuilder(map, version, 10000).Build());
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::DrawMapOfKind(data, size, MapFileKind::Ocad5To7);
  fuzzing::DrawMapOfKind(data, size, MapFileKind::Ocad8);
  return 0;
}
