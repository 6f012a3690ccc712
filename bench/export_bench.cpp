// The exports of a 16 km2 terrain (4000 x 4000 cells, the demo terrain sampled one cell per
// metre, the demo map image draped over it): the DEM as a GeoTIFF (north up, and turned by
// 2 degrees so it is resampled), the textured glTF binary at grid intervals 1 and 5, and the STL
// at interval 5. Each run makes the whole file in memory; nothing is written to the disk.
//
// Medians of several runs: export_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only
// The "cpu" column counts every thread of the process (GDAL compresses on the calling thread).
#include <benchmark/benchmark.h>

#include "export/dem_export.h"
#include "export/glb_export.h"
#include "export/palette_png.h"
#include "export/terrain_mesh.h"
#include "export/stl_export.h"
#include "support/demo_grid.h"

namespace {

using namespace terrak;

const GridState& Grid16km2() {
  static const GridState grid = [] {
    testing::DemoMapOptions options;
    options.Width = options.Depth = 4000;
    return testing::MakeDemoGrid(testing::MakeDemoMap(options), true);
  }();
  return grid;
}

Georeferencing Utm31(double angle) {
  Georeferencing g = GeoreferencingFromOffsetAngle(431000.0, 4650000.0, angle, 1.0);
  g.EpsgCode = 32631;
  return g;
}

void Bytes(benchmark::State& state, const ExportedFiles& files) {
  std::size_t bytes = 0;
  for (const ExportedFile& f : files.Files) bytes += f.Bytes.size();
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void DemGeoTiff(benchmark::State& state) {
  const Georeferencing g = Utm31(static_cast<double>(state.range(0)));
  for (auto _ : state) {
    const ExportedFiles files = ExportDem(Grid16km2(), g, DemOptions{});
    benchmark::DoNotOptimize(files.Files.data());
    Bytes(state, files);
  }
}
BENCHMARK(DemGeoTiff)->Arg(0)->Arg(2)->ArgName("angle")->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void MeshGlb(benchmark::State& state) {
  GlbOptions options;
  options.Interval = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    const ExportedFiles files = ExportGlb(Grid16km2(), Utm31(0), options);
    benchmark::DoNotOptimize(files.Files.data());
    Bytes(state, files);
  }
}
BENCHMARK(MeshGlb)->Arg(1)->Arg(5)->ArgName("interval")->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The two big parts of the glTF export on their own: the mesh (measured, then every vertex
// and triangle made) and the texture.
void MeshOnly(benchmark::State& state) {
  const ExportProgressCallback none;
  ExportProgress progress(none);
  for (auto _ : state) {
    const TerrainMesh mesh(Grid16km2(), static_cast<std::int32_t>(state.range(0)), 1.0);
    std::size_t values = 0;
    const auto count = [&values](const auto& column) { values += column.size(); };
    mesh.Positions(count, progress);
    mesh.Normals(count, progress);
    mesh.TexCoords(count, progress);
    mesh.Indices(count, progress);
    benchmark::DoNotOptimize(values);
  }
}
BENCHMARK(MeshOnly)->Arg(1)->ArgName("interval")->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void TexturePng(benchmark::State& state) {
  for (auto _ : state) {
    const auto png = BitmapAsPng(Grid16km2().BitmapGrid, Grid16km2().BitmapPalette, kMaxTextureSide);
    benchmark::DoNotOptimize(png.data());
  }
}
BENCHMARK(TexturePng)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void PrintStl(benchmark::State& state) {
  StlOptions options;
  options.Interval = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    const ExportedFiles files = ExportStl(Grid16km2(), Utm31(0), options);
    benchmark::DoNotOptimize(files.Files.data());
    Bytes(state, files);
  }
}
BENCHMARK(PrintStl)->Arg(5)->ArgName("interval")->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Grid16km2();  // made once, before any timing
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
