// The heights core on a map as large as a real event map: 13,000 objects, 2,200 of them
// contours, index contours and form lines traced from a random landscape of 4.5 x 3 km (one
// contour with a known height), the rest slope lines and lines of other symbols. Derivation,
// check and the preview (counts, status text, change set) together must stay under a second.
#include <benchmark/benchmark.h>

#include "heights/check_heights.h"
#include "heights/derive_heights.h"
#include "heightseval/heights_eval.h"

namespace {

using namespace terrak;
using namespace terrak::testing;

struct BenchMap {
  EvalMap Eval;
  heights::HeightMap Map;
};

const BenchMap& LargeMap() {
  static const BenchMap map = [] {
    BenchMap b;
    EvalOptions options;
    options.PieceMin = 80;
    options.PieceMax = 370;
    b.Eval = MakeEvalMap(RandomLandscape(4500, 3000, 5), options);
    // Lines of other symbols up to 13,000 objects: paths, streams, vegetation edges.
    std::uint64_t state = 99;
    const auto next = [&] {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      return static_cast<double>(state >> 11) * 0x1p-53;
    };
    while (b.Eval.Map.Objects.size() < 13000) {
      const heights::Point a{next() * 4500, next() * 3000};
      std::vector<heights::Point> line{a};
      for (int i = 1; i < 12; ++i)
        line.push_back({line.back().X + (next() - 0.5) * 40, line.back().Y + (next() - 0.5) * 40});
      b.Eval.Map.Objects.push_back({kEvalPath, heights::ContourRole::None, std::move(line), {}});
      b.Eval.Truth.push_back({});
    }
    b.Map = WithOneKnown(b.Eval, KnownCandidates(b.Eval, 1, 3).front());
    return b;
  }();
  return map;
}

void Counters(benchmark::State& state, const BenchMap& b) {
  std::int64_t contours = 0;
  for (const heights::HeightObject& o : b.Map.Objects) contours += heights::CarriesHeight(o.Role);
  state.counters["objects"] = static_cast<double>(b.Map.Objects.size());
  state.counters["contour objects"] = static_cast<double>(contours);
}

void BM_DeriveCheckAndPreview(benchmark::State& state) {
  const BenchMap& b = LargeMap();
  heights::HeightCounts counts;
  for (auto _ : state) {
    const heights::Topology topology = heights::AnalyseTopology(b.Map);
    const heights::HeightsResult result = heights::DeriveHeights(b.Map, b.Eval.Roles, topology);
    const std::vector<heights::Finding> findings =
        heights::CheckHeights(b.Map, b.Eval.Roles, topology);
    counts = heights::CountHeights(b.Map, result);
    const std::string status = heights::StatusText(counts);
    const heights::HeightChanges changes = heights::ChangesOf(b.Map, result);
    benchmark::DoNotOptimize(status);
    benchmark::DoNotOptimize(changes);
    benchmark::DoNotOptimize(findings);
  }
  Counters(state, b);
  state.counters["derived"] = counts.Derived;
  state.counters["guessed"] = counts.Guessed;
}
BENCHMARK(BM_DeriveCheckAndPreview)->Unit(benchmark::kMillisecond);

// The parts on their own.
void BM_Topology(benchmark::State& state) {
  const BenchMap& b = LargeMap();
  for (auto _ : state) benchmark::DoNotOptimize(heights::AnalyseTopology(b.Map));
  Counters(state, b);
}
BENCHMARK(BM_Topology)->Unit(benchmark::kMillisecond);

void BM_SolveOnTopology(benchmark::State& state) {
  const BenchMap& b = LargeMap();
  const heights::Topology topology = heights::AnalyseTopology(b.Map);
  for (auto _ : state)
    benchmark::DoNotOptimize(heights::DeriveHeights(b.Map, b.Eval.Roles, topology));
  Counters(state, b);
}
BENCHMARK(BM_SolveOnTopology)->Unit(benchmark::kMillisecond);

void BM_CheckOnTopology(benchmark::State& state) {
  const BenchMap& b = LargeMap();
  const heights::Topology topology = heights::AnalyseTopology(b.Map);
  for (auto _ : state)
    benchmark::DoNotOptimize(heights::CheckHeights(b.Map, b.Eval.Roles, topology));
  Counters(state, b);
}
BENCHMARK(BM_CheckOnTopology)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
