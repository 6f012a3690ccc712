// The grid construction on demo maps of 1, 4, 16 and 64 square kilometres at 1:10000 with 5 m
// contours, end to end and stage by stage. The maps are made at start-up with the demo map
// generator, written as OCAD files and read back as the program reads them; the map bitmap stage
// uses a stand-in image loader, so it measures the program's own writing and reading of the
// stretched bitmap.
//
// Medians of several runs: grid_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "grid/build_grid.h"
#include "grid/interpolate.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"
#include "mapbuild/demo_map.h"
#include "support/fake_image_stretcher.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

using namespace terrak;

// One demo map, read, with the grid as it stands after each stage.
struct BenchMap {
  std::string Name;
  MapModel Model;
  Settings Options;
  GridBuildState Build;
  GridState AfterPaint, AfterWrap, AfterInterpolation, AfterFinish;
  GridBuildState BuildAfterPaint, BuildAfterWrap;  // with the contour tiles each stage leaves
  std::int64_t Cells = 0;
};

struct Services {
  testing::SilentProgress Progress;
  testing::ScriptedDialogs Dialogs;
  testing::FakeImageStretcher Stretcher;
  GridServices Get(bool withBitmap) { return {Progress, Dialogs, withBitmap ? &Stretcher : nullptr}; }
};

std::unique_ptr<BenchMap> MakeBenchMap(const testing::TempFolder& folder, double side) {
  auto map = std::make_unique<BenchMap>();
  map->Name = std::to_string(static_cast<int>(side * side / 1e6)) + "km2";
  testing::DemoMapOptions options;
  options.Width = side;
  options.Depth = side;
  options.Interval = 5;
  const std::string file = folder.File("demo" + map->Name + ".ocd");
  testing::WriteBytes(file, testing::DemoMapBuilder(testing::MakeDemoMap(options), 7, 10000).Build());
  testing::WriteBytes(folder.File("demo" + map->Name + ".bmp"), {0});  // found beside the map
  testing::ScriptedDialogs dialogs;
  MapModel& model = map->Model;
  model.MapFileName = file;
  const std::string workingCopy = folder.File("OCADCopy.tmp");
  OpenMapFile(model, workingCopy, dialogs);
  model.SelectedSymbols = {{testing::kDemoContour, kBlack}, {testing::kDemoIndexContour, kBlack}};
  model.SymbolsSelected = true;
  ReadObjects(model, workingCopy);

  UseSystemPaths(map->Build, folder.Paths());
  map->Build.CurveSteps = GridCurveSteps(model.MapScale);
  Services services;
  GridState grid;
  PrepareGrid(model, grid, map->Build, services.Get(false));
  PaintGrid(model, grid, map->Build, services.Get(false));
  map->AfterPaint = grid;
  map->BuildAfterPaint = map->Build;
  // The shrink-wrap below writes into the tiles: the benchmark's runs start from their own.
  map->BuildAfterPaint.Tiles = std::make_shared<ContourTiles>(*map->Build.Tiles);
  ShrinkWrapGrid(map->Options, grid, map->Build, services.Get(false));
  map->AfterWrap = grid;
  map->BuildAfterWrap = map->Build;
  InterpolateGrid(grid, map->Build, services.Get(false));
  map->AfterInterpolation = grid;
  FinishGrid(map->Options, grid, map->Build, services.Get(false));
  map->AfterFinish = grid;
  map->Cells = grid.HeightGrid.Columns() * grid.HeightGrid.Rows();
  return map;
}

void Report(benchmark::State& state, const BenchMap& map) {
  state.SetItemsProcessed(state.iterations() * map.Cells);
  state.counters["cells"] = static_cast<double>(map.Cells);
}

// Runs stage on a fresh copy of input (and of inputBuild, or the map's build state) each
// iteration; the copies are not timed.
template <typename Stage>
void TimeStage(benchmark::State& state, const BenchMap& map, const GridState& input, Stage stage,
               const GridBuildState* inputBuild = nullptr) {
  for (auto _ : state) {
    state.PauseTiming();
    GridState grid = input;
    GridBuildState build = inputBuild != nullptr ? *inputBuild : map.Build;
    // The stages write into the tiles: each run has its own.
    if (build.Tiles) build.Tiles = std::make_shared<ContourTiles>(*build.Tiles);
    Services services;
    state.ResumeTiming();
    stage(grid, build, services);
    benchmark::DoNotOptimize(grid.HeightGrid.Data());
  }
  Report(state, map);
}

void Register(const BenchMap& map) {
  const auto add = [&](const std::string& stage, auto body) {
    benchmark::RegisterBenchmark((stage + "/" + map.Name).c_str(), body)
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime()
        ->UseRealTime();
  };
  const BenchMap* m = &map;
  add("BuildGrid", [m](benchmark::State& state) {
    TimeStage(state, *m, GridState{}, [m](GridState& grid, GridBuildState& build, Services& s) {
      BuildGrid(m->Model, m->Options, grid, build, s.Get(false));
    });
  });
  add("Stage1_ExtentAndPainting", [m](benchmark::State& state) {
    TimeStage(state, *m, GridState{}, [m](GridState& grid, GridBuildState& build, Services& s) {
      PrepareGrid(m->Model, grid, build, s.Get(false));
      PaintGrid(m->Model, grid, build, s.Get(false));
    });
  });
  add("Stage2_ShrinkWrap", [m](benchmark::State& state) {
    TimeStage(
        state, *m, m->AfterPaint,
        [m](GridState& grid, GridBuildState& build, Services& s) {
          ShrinkWrapGrid(m->Options, grid, build, s.Get(false));
        },
        &m->BuildAfterPaint);
  });
  add("Stage3_Interpolation", [m](benchmark::State& state) {
    TimeStage(
        state, *m, m->AfterWrap,
        [](GridState& grid, GridBuildState& build, Services& s) {
          InterpolateGrid(grid, build, s.Get(false));
        },
        &m->BuildAfterWrap);
  });
  add("Stage4_ExcessAndSmoothing", [m](benchmark::State& state) {
    TimeStage(state, *m, m->AfterInterpolation,
              [m](GridState& grid, GridBuildState& build, Services& s) {
                FinishGrid(m->Options, grid, build, s.Get(false));
              });
  });
  add("Stage5_MapBitmap", [m](benchmark::State& state) {
    TimeStage(state, *m, m->AfterFinish, [m](GridState& grid, GridBuildState& build, Services& s) {
      FindMapBitmap(m->Model, grid, build, s.Get(true));
    });
  });
  if (m->Cells < 2'000'000)
    add("Stage3_InterpolationPlain", [m](benchmark::State& state) {
      TimeStage(state, *m, m->AfterWrap, [](GridState& grid, GridBuildState&, Services& s) {
        InterpolateHeightsPlain(grid, s.Progress);
      });
    });
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const testing::TempFolder folder;
  std::vector<std::unique_ptr<BenchMap>> maps;
  for (const double side : {1000.0, 2000.0, 4000.0, 8000.0}) maps.push_back(MakeBenchMap(folder, side));
  for (const auto& map : maps) Register(*map);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
