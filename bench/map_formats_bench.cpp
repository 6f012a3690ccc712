// Opening today's maps and reading their contours, from the file on disk to the objects in the
// neutral form: the real 4 MB Mapper map beside the project, and an OCAD 11 map of 13,000
// objects (3.6 MB) made by the builder.
#include <benchmark/benchmark.h>

#include <memory>

#include "mapfile/map_formats.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"
#include "mapfile/mapper/mapper_map.h"
#include "platform/file_stream.h"
#include "mapbuild/ocad_build9.h"
#include "support/outside_data.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

using namespace terrak;

bool IsContour(std::int32_t symbol) { return symbol == 101000 || symbol == 102000; }

void BM_OpenMapperMapAndReadContours(benchmark::State& state) {
  const std::string file = testing::RealMapperMap();
  if (!std::filesystem::is_regular_file(file)) return state.SkipWithError("the real map is missing");
  std::size_t contours = 0;
  for (auto _ : state) {
    const auto map = mapper::MapperMap::Open(ReadWholeFile(file));
    map->SetHeightTag("f321610");
    contours = map->ReadObjects(IsContour).Objects.size();
    benchmark::DoNotOptimize(contours);
  }
  state.counters["contours"] = static_cast<double>(contours);
}
BENCHMARK(BM_OpenMapperMapAndReadContours)->Unit(benchmark::kMillisecond);

// 13,000 lines of 25 points each, 40 percent of them contours with heights.
std::vector<std::uint8_t> LargeOcad11() {
  testing::Ocad9MapBuilder b(11);
  b.AddSymbol({101000, 2, "Contour"});
  b.AddSymbol({102000, 2, "Index contour"});
  b.AddSymbol({501000, 2, "Road"});
  for (int i = 0; i < 13000; ++i) {
    std::vector<testing::CodedPoint> points;
    for (int k = 0; k < 25; ++k) points.push_back(testing::CodedPoint::At(i * 7 + k * 50, (i % 300) * 100 + k * 13));
    const std::int32_t symbol = i % 5 == 0 ? 102000 : i % 5 == 1 ? 101000 : 501000;
    b.AddObject({.Symbol = symbol, .Points = std::move(points), .Height = 256000 * (200 + i % 50)});
  }
  return b.Build();
}

void BM_OpenOcad11MapAndReadContours(benchmark::State& state) {
  const testing::TempFolder folder;
  const std::string file = folder.File("large.ocd");
  const std::vector<std::uint8_t> bytes = LargeOcad11();
  testing::WriteBytes(file, bytes);
  std::size_t contours = 0;
  for (auto _ : state) {
    const auto map = OpenFormatMap(ReadWholeFile(file), file);
    contours = map->ReadObjects(IsContour).Objects.size();
    benchmark::DoNotOptimize(contours);
  }
  state.counters["contours"] = static_cast<double>(contours);
  state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK(BM_OpenOcad11MapAndReadContours)->Unit(benchmark::kMillisecond);

// The whole open path of the program: the file recognised, checked, copied into the working copy,
// its symbol list and view set up (OpenMapFile), then the selected contours converted into the
// model's objects (ReadObjects), as the main window and terrak-cli do it.
void OpenAndReadThroughTheProgram(benchmark::State& state, const std::string& file,
                                  const std::string& heightTag) {
  const testing::TempFolder folder;
  const std::string workingCopy = folder.File("OCADCopy.tmp");
  testing::ScriptedDialogs dialogs;
  std::size_t contours = 0;
  for (auto _ : state) {
    MapModel model;
    model.MapFileName = file;
    if (OpenMapFile(model, workingCopy, dialogs) != OpenResult::Opened) {
      state.SkipWithError("the map did not open");
      return;
    }
    if (auto* mapper = dynamic_cast<mapper::MapperMap*>(model.Format.get()))
      mapper->SetHeightTag(heightTag);
    model.SelectedSymbols = {{101000, kBlack}, {102000, kBlack}};
    model.SymbolsSelected = true;
    ReadObjects(model, workingCopy);
    contours = model.MapObjects.size();
    benchmark::DoNotOptimize(contours);
  }
  state.counters["contours"] = static_cast<double>(contours);
}

void BM_ProgramOpensMapperMapAndReadsContours(benchmark::State& state) {
  const std::string file = testing::RealMapperMap();
  if (!std::filesystem::is_regular_file(file)) return state.SkipWithError("the real map is missing");
  OpenAndReadThroughTheProgram(state, file, "f321610");
}
BENCHMARK(BM_ProgramOpensMapperMapAndReadsContours)->Unit(benchmark::kMillisecond);

void BM_ProgramOpensOcad11MapAndReadsContours(benchmark::State& state) {
  const testing::TempFolder folder;
  const std::string file = folder.File("large.ocd");
  testing::WriteBytes(file, LargeOcad11());
  OpenAndReadThroughTheProgram(state, file, "");
}
BENCHMARK(BM_ProgramOpensOcad11MapAndReadsContours)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
