// Frame times of the 3D viewer at 1200 x 900 on demo terrains of 1, 4, 16 and 64 square
// kilometres: the wedding cake, the wire mesh at grid interval 5, the draped map (every cell) and
// the ray-traced terrain, each seen from the North preset; the reference paths for comparison.
// With TERRAK_BENCH_O3D naming a 3D map file (terrak-cli grid MAP.ocd --symbols 101,102 --o3d
// FILE.o3d makes one from any map), the mesh and the draped map of that file's grid, as the
// grid construction built it, from its North viewpoint, are measured too.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <memory>

#include "terrain/map3d_file.h"
#include "support/demo_grid.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "viewer/depth_ramp.h"
#include "viewer/paint.h"
#include "viewer/viewpoint_placement.h"

namespace terrak {
namespace {

struct DemoScene {
  testing::TempFolder Folder;
  MapModel Model;
  GridState Grid;
  Settings Config;
};

// One scene per map side, made once: the map, its contours read back, its grid and bitmap.
const DemoScene& SceneOfSide(int side) {
  static std::map<int, std::unique_ptr<DemoScene>> scenes;
  std::unique_ptr<DemoScene>& scene = scenes[side];
  if (!scene) {
    scene = std::make_unique<DemoScene>();
    testing::DemoMapOptions options;
    options.Width = options.Depth = side;
    const testing::DemoMap map = testing::MakeDemoMap(options);
    scene->Model = testing::OpenDemoModel(map, 10000, scene->Folder.Path());
    scene->Grid = testing::MakeDemoGrid(map, true);
  }
  return *scene;
}

class NoBuild : public GridConstruction {
 public:
  void Build(GridState&, const ViewerState&) override {}
};

enum class Mode { Contours, Mesh, Draped, Rays };

void PaintFramesOf(benchmark::State& state, GridState grid, const ViewpointBlock& views,
                   const MapModel& model, const Settings& config, Mode mode, bool reference,
                   int threads, bool map3d) {
  grid.ShowMapBitmap = mode == Mode::Draped || mode == Mode::Rays;
  ViewerState viewer;
  viewer.Viewpoints = views;
  viewer.Current() = viewer.Viewpoints[kNorthView];
  viewer.DepthRamp = BuildDepthRamp(config.Front3dColour, config.Back3dColour);
  viewer.ContourMode = mode == Mode::Contours;
  viewer.RayTraceMode = mode == Mode::Rays;
  viewer.Map3dLoaded = map3d;
  viewer.RenderWidth = 1200;
  viewer.RenderHeight = 900;
  NoBuild noBuild;
  const PaintScene scene{viewer, grid, model, config, noBuild};
  PaintOptions options;
  options.Reference = reference;
  options.Threads = threads;
  for (auto _ : state) {
    commonpaint(scene, options);
    benchmark::DoNotOptimize(viewer.Composed.Pixels.data());
  }
  state.counters["cells"] = static_cast<double>(grid.HeightGrid.Columns() * grid.HeightGrid.Rows());
}

void PaintFrames(benchmark::State& state, Mode mode, bool reference, int threads = 0) {
  const DemoScene& demo = SceneOfSide(static_cast<int>(state.range(0)));
  ViewpointBlock views{};
  PlaceViewpoints(demo.Model, views);
  PaintFramesOf(state, demo.Grid, views, demo.Model, demo.Config, mode, reference, threads, false);
}

// The grid and viewpoints of a 3D map file, read once.
struct FileScene {
  GridState Grid;
  ViewpointBlock Views{};
  MapModel Model;
  Settings Config;
};

void PaintFileFrames(benchmark::State& state, const FileScene& file, Mode mode, int threads) {
  PaintFramesOf(state, file.Grid, file.Views, file.Model, file.Config, mode, false, threads, true);
}

void BM_WeddingCake(benchmark::State& s) { PaintFrames(s, Mode::Contours, false); }
void BM_Mesh(benchmark::State& s) { PaintFrames(s, Mode::Mesh, false); }
void BM_MeshReference(benchmark::State& s) { PaintFrames(s, Mode::Mesh, true); }
void BM_Draped(benchmark::State& s) { PaintFrames(s, Mode::Draped, false); }
void BM_DrapedOneThread(benchmark::State& s) { PaintFrames(s, Mode::Draped, false, 1); }
void BM_DrapedReference(benchmark::State& s) { PaintFrames(s, Mode::Draped, true); }
void BM_RayTrace(benchmark::State& s) { PaintFrames(s, Mode::Rays, false); }
void BM_RayTraceOneThread(benchmark::State& s) { PaintFrames(s, Mode::Rays, false, 1); }

void BM_MeshOneThread(benchmark::State& s) { PaintFrames(s, Mode::Mesh, false, 1); }

#define TERRAK_SIDES ->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime()
// The 64 km2 terrain takes a minute or two to make; the reference paints leave it out.
#define TERRAK_SIDES_TO_64 TERRAK_SIDES->Arg(8000)
BENCHMARK(BM_WeddingCake) TERRAK_SIDES_TO_64;
BENCHMARK(BM_Mesh) TERRAK_SIDES_TO_64;
BENCHMARK(BM_MeshOneThread) TERRAK_SIDES_TO_64;
BENCHMARK(BM_MeshReference) TERRAK_SIDES;
BENCHMARK(BM_Draped) TERRAK_SIDES_TO_64;
BENCHMARK(BM_DrapedOneThread) TERRAK_SIDES_TO_64;
BENCHMARK(BM_DrapedReference) TERRAK_SIDES;
BENCHMARK(BM_RayTrace) TERRAK_SIDES_TO_64;
BENCHMARK(BM_RayTraceOneThread) TERRAK_SIDES_TO_64;

}  // namespace
}  // namespace terrak

int main(int argc, char** argv) {
  using terrak::FileScene;
  using terrak::Mode;
  benchmark::Initialize(&argc, argv);
  static FileScene file;  // lives as long as the benchmarks that read it
  if (const char* name = std::getenv("TERRAK_BENCH_O3D")) {
    terrak::testing::ScriptedDialogs dialogs;
    if (!terrak::Read3dMap(name, file.Grid, file.Views, dialogs)) return 1;
    file.Model.MapScale = 10000;
    const auto add = [](const char* title, Mode mode, int threads) {
      benchmark::RegisterBenchmark(title, [mode, threads](benchmark::State& s) {
        terrak::PaintFileFrames(s, file, mode, threads);
      })->Unit(benchmark::kMillisecond)->UseRealTime();
    };
    add("BM_FileMesh", Mode::Mesh, 0);
    add("BM_FileMeshOneThread", Mode::Mesh, 1);
    add("BM_FileDraped", Mode::Draped, 0);
    add("BM_FileDrapedOneThread", Mode::Draped, 1);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
