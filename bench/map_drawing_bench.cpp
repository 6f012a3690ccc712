// How long the map in its own colours takes: the drawing (what to draw, in the map's colour
// order) and Qt's painting of a 16 km² demo map at one pixel per metre (4000 x 4000 pixels),
// and the whole terrak-cli map run (a process of its own: opening, drawing, painting and the
// PNG) on a demo map of about 13,000 objects and, when OpenOrienteering Mapper is installed,
// on its "complete map" example (4,445 objects of every kind of symbol).
//
//   build/bench/map_drawing_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
//
// The CLI rows give the process's own CPU time (user and system) as their time, so a machine
// shared with other builds shows what the run costs rather than how long it waited for a core.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "grid/map_drape.h"
#include "mainwindow/view_transform.h"
#include "mainwindow/whole_map_paint.h"
#include "mapdraw/map_drawing.h"
#include "mapfile/model_units.h"
#include "mapfile/drawing_source.h"
#include "mapdraw/picture_frame.h"
#include "platform/file_stream.h"
#include "platform/picture_painter.h"
#include "mapbuild/demo_map.h"
#include "support/temp_folder.h"

namespace {

using namespace terrak;

constexpr double kMetrePerPixelDpi = 254;  // 1:10000: a pixel a metre
constexpr const char* kMapperExample = "/usr/share/openorienteering-mapper/examples/complete map.omap";

struct DemoDrawing {
  testing::TempFolder Folder;
  std::string File;
  DrawingSource Source;
};

// The demo map of the given size as OCAD 7 (whose symbols carry their drawing), written and
// read back as terrak-cli reads it. maxPoints splits contours into objects of at most so many
// points: small values make maps of many objects.
std::unique_ptr<DemoDrawing> MakeDrawing(double side, double interval, std::size_t maxPoints) {
  auto drawing = std::make_unique<DemoDrawing>();
  testing::DemoMapOptions options;
  options.Width = options.Depth = side;
  options.Interval = interval;
  options.IndexInterval = 5 * interval;
  options.MaxPoints = maxPoints;
  const testing::DemoMap map = testing::MakeDemoMap(options);
  drawing->File = drawing->Folder.File("demo.ocd");
  testing::WriteBytes(drawing->File, testing::DemoMapBuilder(map, 7, 10000).Build());
  drawing->Source = ReadDrawingSource(ReadWholeFile(drawing->File), drawing->File);
  return drawing;
}

const DemoDrawing& Map16km2() {
  static const std::unique_ptr<DemoDrawing> map = MakeDrawing(4000, 5, 250);
  return *map;
}

// About 13,000 objects: contours every metre, each cut after 9 points.
const DemoDrawing& Map13000() {
  static const std::unique_ptr<DemoDrawing> map = MakeDrawing(4000, 1, 9);
  return *map;
}

mapdraw::MapPicture Draw(const DrawingSource& source) {
  mapdraw::DrawOptions options;
  options.Tolerance = mapdraw::ToleranceFor(kMetrePerPixelDpi / mapdraw::kMicrometresPerInch);
  return mapdraw::DrawMap(source.Definitions, source.Objects, options);
}

void CountPicture(benchmark::State& state, const DrawingSource& source) {
  const mapdraw::MapPicture drawn = Draw(source);
  state.counters["objects"] = static_cast<double>(source.Objects.size());
  state.counters["items"] = static_cast<double>(drawn.Picture.Items.size());
  state.counters["points"] = static_cast<double>(drawn.Picture.Points.size());
}

void BM_Drawing16km2(benchmark::State& state) {
  const DemoDrawing& map = Map16km2();
  for (auto _ : state) benchmark::DoNotOptimize(Draw(map.Source).Picture.Items.data());
  CountPicture(state, map.Source);
}

void BM_Drawing13000Objects(benchmark::State& state) {
  const DemoDrawing& map = Map13000();
  for (auto _ : state) benchmark::DoNotOptimize(Draw(map.Source).Picture.Items.data());
  CountPicture(state, map.Source);
}

void BM_DrawingMapperCompleteMap(benchmark::State& state) {
  if (!FileExists(kMapperExample)) {
    state.SkipWithError("OpenOrienteering Mapper's examples are not installed");
    return;
  }
  const DrawingSource source = ReadDrawingSource(ReadWholeFile(kMapperExample), kMapperExample);
  for (auto _ : state) benchmark::DoNotOptimize(Draw(source).Picture.Items.data());
  CountPicture(state, source);
}

void BM_DrawingAndPainting16km2(benchmark::State& state) {
  const DemoDrawing& map = Map16km2();
  const std::unique_ptr<PicturePainter> painter = MakeProgramPicturePainter();
  std::vector<Colour> pixels;
  for (auto _ : state) {
    const mapdraw::MapPicture drawn = Draw(map.Source);
    const mapdraw::PictureFrame frame = mapdraw::FrameFor(drawn.Extent, kMetrePerPixelDpi);
    painter->Paint(drawn.Picture, frame.View, pixels);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.counters["pixels"] = static_cast<double>(pixels.size());
}

// The main window's repaint with Show Whole Map on after a zoom or a move: the kept drawing of
// the 13,000-object map painted into a 1000 x 700 window (a repaint of an unchanged view only
// copies the pixels kept). Zoom index as the View menu: 6 is 0.25x (the whole map in view), 4
// is 1x, 0 is 16x.
void BM_WholeMapWindowRepaint(benchmark::State& state) {
  const DemoDrawing& map = Map13000();
  const std::unique_ptr<PicturePainter> painter = MakeProgramPicturePainter();
  mapdraw::WholeMapDrawing drawing;
  const mapdraw::MapPicture* drawn = drawing.For(map.File, 1.0 / kPaperMicrometresPerModelUnit);
  if (drawn == nullptr) {
    state.SkipWithError(drawing.Problem().c_str());
    return;
  }
  MapModel model;
  model.MapZoom = static_cast<std::int16_t>(state.range(0));
  MapWindowState window;
  SetUpView(window, model, 1000, 700);
  const PictureView view = WholeMapViewOf(window, model.MapOffsetX, model.MapOffsetY,
                                          kPaperMicrometresPerModelUnit, 1000, 700);
  std::vector<Colour> pixels;
  for (auto _ : state) {
    painter->Paint(drawn->Picture, view, pixels);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.counters["objects"] = static_cast<double>(map.Source.Objects.size());
}

// The 3D viewer's drape where no map bitmap lies beside the map: the kept drawing of the 16 km²
// map painted over a 4000 x 4000 grid at one pixel per metre and reduced to the bitmap's
// palette. The drawing itself is DrawingAndPainting16km2's first part (BM_Drawing16km2).
void BM_Drape16km2(benchmark::State& state) {
  const DemoDrawing& map = Map16km2();
  const std::unique_ptr<PicturePainter> painter = MakeProgramPicturePainter();
  const mapdraw::MapPicture drawn = Draw(map.Source);
  GridState grid;
  grid.GridMinX = grid.GridMinY = -2000;
  grid.GridWidth = grid.GridHeight = 4000;
  for (auto _ : state) {
    DrapeMapDrawing(drawn.Picture, 100, *painter, grid);  // 1:10000: 100 micrometres a metre
    benchmark::DoNotOptimize(grid.BitmapGrid.Data());
  }
  state.counters["cells"] = static_cast<double>(grid.BitmapGrid.Columns() * grid.BitmapGrid.Rows());
}

// The process's CPU seconds of one terrak-cli map run.
double CliSeconds(const std::string& map, const std::string& out, double dpi) {
  rusage before{}, after{};
  getrusage(RUSAGE_CHILDREN, &before);
  const std::string command = std::string("'") + TERRAK_CLI_PATH + "' map '" + map + "' --out '" +
                              out + "' --dpi " + std::to_string(dpi) + " --force >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return -1;
  getrusage(RUSAGE_CHILDREN, &after);
  auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(after.ru_utime) - seconds(before.ru_utime) + seconds(after.ru_stime) -
         seconds(before.ru_stime);
}

void TimeCli(benchmark::State& state, const std::string& map, double dpi, std::size_t objects) {
  testing::TempFolder folder;
  for (auto _ : state) {
    const double seconds = CliSeconds(map, folder.File("map.png"), dpi);
    if (seconds < 0) {
      state.SkipWithError("terrak-cli map failed");
      return;
    }
    state.SetIterationTime(seconds);
  }
  state.counters["objects"] = static_cast<double>(objects);
}

void BM_CliMap13000Objects(benchmark::State& state) {
  const DemoDrawing& map = Map13000();
  TimeCli(state, map.File, kMetrePerPixelDpi, map.Source.Objects.size());
}

void BM_CliMapperCompleteMap(benchmark::State& state) {
  if (!FileExists(kMapperExample)) {
    state.SkipWithError("OpenOrienteering Mapper's examples are not installed");
    return;
  }
  // 1:4000: a pixel a metre at 101.6 dpi.
  TimeCli(state, kMapperExample, 101.6, 4445);
}

BENCHMARK(BM_Drawing16km2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Drawing13000Objects)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawingMapperCompleteMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawingAndPainting16km2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeMapWindowRepaint)->Arg(6)->Arg(4)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Drape16km2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CliMap13000Objects)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_CliMapperCompleteMap)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
