// How long the main window's paint takes on the demo map, without the cost of the pixels: the
// objects are rejected by their boxes, flattened into screen points and handed to a canvas that
// only counts the calls.
#include <benchmark/benchmark.h>

#include <memory>

#include "mainwindow/map_paint.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_file.h"
#include "mapbuild/demo_map.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace {

using namespace terrak;

class CountingCanvas : public Canvas {
 public:
  std::int64_t Calls = 0;
  std::int32_t Width() const override { return 1000; }
  std::int32_t Height() const override { return 800; }
  void SetPenColour(Colour c) override { pen_ = c, ++Calls; }
  Colour PenColour() const override { return pen_; }
  void SetPenMode(PenMode) override { ++Calls; }
  void SetBrushColour(Colour) override { ++Calls; }
  Colour BrushColour() const override { return kWhite; }
  void SetFont(const std::string&, int) override { ++Calls; }
  void FillRect(const Rect&) override { ++Calls; }
  void MoveTo(std::int32_t, std::int32_t) override { ++Calls; }
  void LineTo(std::int32_t, std::int32_t) override { ++Calls; }
  void Ellipse(const Rect&) override { ++Calls; }
  void Rectangle(const Rect&) override { ++Calls; }
  void Polygon(const std::vector<Point>&) override { ++Calls; }
  void TextOut(std::int32_t, std::int32_t, const std::string&) override { ++Calls; }
  void DrawFocusRect(const Rect&) override { ++Calls; }
  void DrawPixels(std::int32_t, std::int32_t, const std::vector<Colour>&) override { ++Calls; }

 private:
  Colour pen_ = kBlack;
};

class NoHost : public MapWindowHost {
  void PlaceWindow(int, int, int, int) override {}
  void Invalidate() override {}
  void CloseWindow() override {}
  bool ShowSymbolSelectionDialog() override { return false; }
  void ShowChangeSymbolDialog() override {}
  void ShowColourSchemeDialog() override {}
  bool OpenViewer(const ViewerRequest&) override { return false; }
};

// The demo map of 1500 x 1200 m at 1:15000 with every symbol selected, opened and read as the
// window would.
class DemoMapPaint : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State&) override {
    app_ = std::make_unique<AppState>();
    app_->Paths = folder_.Paths();
    testing::DemoMapOptions options;
    options.Width = 1500;
    options.Depth = 1200;
    testing::OcadMapBuilder builder =
        testing::DemoMapBuilder(testing::MakeDemoMap(options), 7, 15000);
    testing::WriteBytes(folder_.File("demo.ocd"), builder.Build());
    testing::ScriptedDialogs dialogs;
    MapModel& model = app_->Model;
    model.MapFileName = folder_.File("demo.ocd");
    OpenMapFile(model, app_->Paths.WorkingCopy, dialogs);
    for (const TmapSymbol& symbol : model.SymbolList) model.SelectedSymbols.push_back({symbol.Symbol, kBlack});
    model.SymbolsSelected = true;
    app_->Window.OpenMapName = model.MapFileName;
    ReadObjects(model, app_->Paths.WorkingCopy);
  }
  void TearDown(const benchmark::State&) override { app_.reset(); }

 protected:
  testing::TempFolder folder_;
  std::unique_ptr<AppState> app_;
};

BENCHMARK_DEFINE_F(DemoMapPaint, FormPaint)(benchmark::State& state) {
  AppState& app = *app_;
  app.Model.MapZoom = static_cast<std::int16_t>(state.range(0));
  app.Model.MapOffsetX = app.Model.MapOffsetY = 0;
  CountingCanvas canvas;
  testing::ScriptedDialogs dialogs;
  NoHost host;
  MapWindow w{app, canvas, dialogs, host};
  for (auto _ : state) {
    FormPaint(w);
    benchmark::DoNotOptimize(canvas.Calls);
  }
  state.counters["objects"] = static_cast<double>(app.Model.MapObjects.size());
  state.counters["calls/paint"] =
      benchmark::Counter(static_cast<double>(canvas.Calls), benchmark::Counter::kAvgIterations);
}
// Zoom index 0 (16x), 4 (1x) and 6 (0.25x, the whole map in view).
BENCHMARK_REGISTER_F(DemoMapPaint, FormPaint)->Arg(0)->Arg(4)->Arg(6)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
