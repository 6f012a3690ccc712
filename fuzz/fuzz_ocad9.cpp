// Feeds arbitrary bytes as an OCAD 9 to 2018 map (and, after a 0xFF 0x00 0xFF separator, as the
// heights file beside it) through opening, reading, every write and opening the written bytes
// again. The only allowed outcome besides success is the program's own message.
//
// TERRAK_FUZZ_SEEDS=folder writes builder-made maps of every version there as a starting corpus.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "mapfile/ocad9/ocad9_map.h"
#include "mapbuild/ocad_build9.h"
#include "support/temp_folder.h"

using namespace terrak;

namespace {

void Exercise(std::vector<std::uint8_t> bytes, const std::optional<std::vector<std::uint8_t>>& sidecar) {
  const auto map = ocad9::Ocad9Map::Open(std::move(bytes), sidecar);
  (void)map->ReadSymbols();
  const ObjectsRead read = map->ReadObjects([](std::int32_t) { return true; });
  std::vector<HeightWrite> heights;
  std::vector<std::int64_t> keys;
  for (const FormatObject& object : read.Objects) {
    heights.push_back({object.Key, 1234});
    keys.push_back(object.Key);
  }
  map->WriteHeights(heights);
  map->WriteSymbol(keys, 103002);
  const std::vector<SidecarFile> sidecars = map->Sidecars();
  const auto again = ocad9::Ocad9Map::Open(
      map->Bytes(), sidecars.empty() ? std::nullopt : std::optional(sidecars[0].Bytes));
  const ObjectsRead reread = again->ReadObjects([](std::int32_t) { return true; });
  if (reread.Objects.size() != read.Objects.size()) std::abort();
  for (const FormatObject& object : reread.Objects)
    if (object.Symbol != 103002 || object.HeightTenths != 1234) std::abort();
}

void WriteSeeds(const std::string& folder) {
  int n = 0;
  for (int version : {9, 10, 11, 12, 2018}) {
    testing::Ocad9MapBuilder b(version);
    b.ScaleParameters("\tm10000\tx500000\ty5000000\ta2\ti2032");
    b.AddSymbol({101000, 2, "Contour"});
    b.AddSymbol({103002, 1, "Knoll"});
    b.AddObject({.Symbol = 101000,
                 .Points = {testing::CodedPoint::At(0, 0), testing::CodedPoint::At(10, 10).FirstControl(),
                            testing::CodedPoint::At(20, 0).SecondControl(),
                            testing::CodedPoint::At(30, 5).NewPart()},
                 .Height = 25600});
    b.AddObject({.Symbol = 103002, .Type = 1, .Status = 2, .Points = {testing::CodedPoint::At(-5, 5)}});
    b.AddObject({.Symbol = 900000, .Type = 5, .Points = {testing::CodedPoint::At(1, 1)}, .Text = "Top"});
    std::vector<std::uint8_t> bytes = b.Build();
    if (version == 9) {
      const std::string sidecar = "\xFF\x00\xFF" + std::string("terrak-heights 1\n") +
                                  std::to_string(b.Layout().Objects[0].EntryPos) + " " +
                                  std::to_string(b.Layout().Objects[0].FilePos) + " 50\n";
      bytes.insert(bytes.end(), sidecar.begin(), sidecar.end());
    }
    testing::WriteBytes(folder + "/seed" + std::to_string(n++), bytes);
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
  static const std::uint8_t kSeparator[] = {0xFF, 0x00, 0xFF};
  const std::uint8_t* end = data + size;
  const std::uint8_t* split = std::search(data, end, std::begin(kSeparator), std::end(kSeparator));
  std::optional<std::vector<std::uint8_t>> sidecar;
  if (split != end) sidecar = std::vector<std::uint8_t>(split + 3, end);
  try {
    Exercise(std::vector<std::uint8_t>(data, split), sidecar);
  } catch (const MapFormatError&) {
  }
  return 0;
}
