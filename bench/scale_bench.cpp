// Cost of one axis: the tick walk alone, and whole paints of typical axes.
#include <benchmark/benchmark.h>

#include "platform/kvrmath.h"
#include "scale/scale.h"

namespace {

struct CountingSink final : kvr::detail::TickSink {
  int n = 0;
  void on_tick(const kvr::detail::Tick&) override { ++n; }
};

void BM_TickWalkLinear(benchmark::State& state) {
  kvr::detail::TickSetup s;
  s.low = -3.7;
  s.high = 12.9;
  s.min_ticks = 10;
  const kvr::detail::TickPlan plan = kvr::detail::plan_ticks(s);
  for (auto _ : state) {
    CountingSink sink;
    kvr::detail::walk_ticks(s, plan, sink);
    benchmark::DoNotOptimize(sink.n);
  }
}
BENCHMARK(BM_TickWalkLinear);

void paint_axis(benchmark::State& state, void (*setup)(kvr::TScale&), bool horizontal) {
  kvr::TScale s(nullptr);
  s.SetBounds(0, 0, horizontal ? 600 : 90, horizontal ? 50 : 400);
  s.SetScaleType(horizontal ? kvr::sctBottom : kvr::sctLeft);
  setup(s);
  s.CreateWnd();
  s.Repaint();
  for (auto _ : state) s.Repaint();
  state.counters["ticks"] = s.NumTicks();
}

void BM_PaintLinear(benchmark::State& state) {
  paint_axis(state, [](kvr::TScale& s) { s.SetRange(-3.7, 12.9); s.SetMinTicks(10); }, true);
}
BENCHMARK(BM_PaintLinear)->Unit(benchmark::kMicrosecond);

void BM_PaintLinearTransparent(benchmark::State& state) {
  paint_axis(state, [](kvr::TScale& s) {
    s.SetRange(-3.7, 12.9);
    s.SetMinTicks(10);
    s.SetTransparent(true);
  }, true);
}
BENCHMARK(BM_PaintLinearTransparent)->Unit(benchmark::kMicrosecond);

void BM_PaintLogVertical(benchmark::State& state) {
  paint_axis(state, [](kvr::TScale& s) {
    s.SetRange(1e-3, 1e5);
    s.SetLogarithmic(true);
    s.SetMinTicks(10);
  }, false);
}
BENCHMARK(BM_PaintLogVertical)->Unit(benchmark::kMicrosecond);

void BM_PaintHoursWithDates(benchmark::State& state) {
  paint_axis(state, [](kvr::TScale& s) {
    s.SetLabelType(kvr::ftDateTime);
    s.SetRange(kvr::EncodeDate(2024, 3, 9) + 0.5, kvr::EncodeDate(2024, 3, 11));
    s.SetMinTicks(8);
    s.DateFormat()->SetDateForTime(kvr::dftAlways);
  }, true);
}
BENCHMARK(BM_PaintHoursWithDates)->Unit(benchmark::kMicrosecond);

}  // namespace
