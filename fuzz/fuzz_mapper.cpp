// Feeds arbitrary bytes as an OpenOrienteering Mapper XML map through opening, reading, the tag
// keys, writing heights and symbols into every object and opening the written text again. The
// only allowed outcome besides success is the program's own message.
//
// TERRAK_FUZZ_SEEDS=folder writes builder-made maps (text and element coordinates) there.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "mapfile/mapper/mapper_map.h"
#include "mapbuild/mapper_build.h"
#include "support/temp_folder.h"

using namespace terrak;

namespace {

void Exercise(std::vector<std::uint8_t> bytes) {
  const auto map = mapper::MapperMap::Open(std::move(bytes));
  const std::vector<FormatSymbol> symbols = map->ReadSymbols();
  const std::vector<mapper::TagKeyCount> keys = map->HeightTagKeys();
  if (!keys.empty()) map->SetHeightTag(keys.front().Key);
  const ObjectsRead read = map->ReadObjects([](std::int32_t) { return true; });
  std::vector<HeightWrite> heights;
  std::vector<std::int64_t> objects;
  for (const FormatObject& object : read.Objects) {
    heights.push_back({object.Key, -1234});
    objects.push_back(object.Key);
  }
  map->WriteHeights(heights);
  if (!symbols.empty()) map->WriteSymbol(objects, symbols.back().Number);
  const auto again = mapper::MapperMap::Open(map->Bytes());
  again->SetHeightTag(map->HeightTag());
  const ObjectsRead reread = again->ReadObjects([](std::int32_t) { return true; });
  if (reread.Objects.size() != read.Objects.size()) std::abort();
  for (const FormatObject& object : reread.Objects) {
    if (object.HeightTenths != -1234) std::abort();
    if (!symbols.empty() && object.Symbol != symbols.back().Number) std::abort();
  }
}

void WriteSeeds(const std::string& folder) {
  for (bool elements : {false, true}) {
    testing::MapperMapBuilder b;
    b.CoordElements(elements);
    b.AddSymbol({.Id = 0, .Type = 2, .Code = "101", .Name = "Contour"});
    b.AddSymbol({.Id = 1, .Type = 4, .Code = "403", .Name = "Rough open land"});
    b.AddObject({.Symbol = 0, .Tags = {{"Elevation", "250"}, {"name", "x"}},
                 .Coords = {{0, 0, 1}, {10, 10, 0}, {20, 10, 0}, {30, 0, 4}, {40, 40, 0}}});
    b.AddObject({.Symbol = 1, .Coords = {{0, 0, 0}, {10, 0, 0}, {0, 10, 18}, {1, 1, 0}, {2, 1, 0}}});
    b.History(true);
    const std::string text = b.Build();
    testing::WriteText(folder + (elements ? "/seed-xmap" : "/seed-omap"), text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* folder = std::getenv("TERRAK_FUZZ_SEEDS")) {
    WriteSeeds(folder);
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    Exercise(std::vector<std::uint8_t>(data, data + size));
  } catch (const MapFormatError&) {
  }
  return 0;
}
