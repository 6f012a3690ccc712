// Frame times of the 3D viewer at 1200 x 900 on demo terrains of 1, 4 and 16 square kilometres:
// the wedding cake, the wire mesh at grid interval 5, the draped map (every cell) and the
// ray-traced terrain, each seen from the North preset; the reference paths for comparison.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "support/demo_grid.h"
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

void PaintFrames(benchmark::State& state, Mode mode, bool reference, int threads = 0) {
  const int side = static_cast<int>(state.range(0));
  const DemoScene& demo = SceneOfSide(side);
  GridState grid = demo.Grid;
  grid.ShowMapBitmap = mode == Mode::Draped || mode == Mode::Rays;
  ViewerState viewer;
  PlaceViewpoints(demo.Model, viewer.Viewpoints);
  viewer.Current() = viewer.Viewpoints[kNorthView];
  viewer.DepthRamp = BuildDepthRamp(demo.Config.Front3dColour, demo.Config.Back3dColour);
  viewer.ContourMode = mode == Mode::Contours;
  viewer.RayTraceMode = mode == Mode::Rays;
  viewer.RenderWidth = 1200;
  viewer.RenderHeight = 900;
  NoBuild noBuild;
  const PaintScene scene{viewer, grid, demo.Model, demo.Config, noBuild};
  PaintOptions options;
  options.Reference = reference;
  options.Threads = threads;
  for (auto _ : state) {
    commonpaint(scene, options);
    benchmark::DoNotOptimize(viewer.Composed.Pixels.data());
  }
  state.counters["cells"] = static_cast<double>(grid.HeightGrid.Columns() * grid.HeightGrid.Rows());
}

void BM_WeddingCake(benchmark::State& s) { PaintFrames(s, Mode::Contours, false); }
void BM_Mesh(benchmark::State& s) { PaintFrames(s, Mode::Mesh, false); }
void BM_MeshReference(benchmark::State& s) { PaintFrames(s, Mode::Mesh, true); }
void BM_Draped(benchmark::State& s) { PaintFrames(s, Mode::Draped, false); }
void BM_DrapedOneThread(benchmark::State& s) { PaintFrames(s, Mode::Draped, false, 1); }
void BM_DrapedReference(benchmark::State& s) { PaintFrames(s, Mode::Draped, true); }
void BM_RayTrace(benchmark::State& s) { PaintFrames(s, Mode::Rays, false); }
void BM_RayTraceOneThread(benchmark::State& s) { PaintFrames(s, Mode::Rays, true); }

#define TERRAK_SIDES ->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(BM_WeddingCake) TERRAK_SIDES;
BENCHMARK(BM_Mesh) TERRAK_SIDES;
BENCHMARK(BM_MeshReference) TERRAK_SIDES;
BENCHMARK(BM_Draped) TERRAK_SIDES;
BENCHMARK(BM_DrapedOneThread) TERRAK_SIDES;
BENCHMARK(BM_DrapedReference) TERRAK_SIDES;
BENCHMARK(BM_RayTrace) TERRAK_SIDES;
BENCHMARK(BM_RayTraceOneThread) TERRAK_SIDES;

}  // namespace
}  // namespace terrak

BENCHMARK_MAIN();
