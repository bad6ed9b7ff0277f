// World-to-pixel mapping of 10,000,000 points: the frozen per-paint value (what the
// renderer uses) and the R2M call, on linear and logarithmic axes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "zuvado/zuvado.h"

namespace {

constexpr size_t kPoints = 10'000'000;

struct Fixture {
  kvr::TZUvado chart{nullptr};
  std::vector<double> xs, ys;
  explicit Fixture(bool Log) {
    chart.SetBounds(0, 0, 1000, 700);
    chart.SetRange(1, 1, 1, 1e4, 1e3);
    if (Log) {
      chart.Scale1X()->SetLogarithmic(true);
      chart.Scale1Y()->SetLogarithmic(true);
    }
    std::mt19937_64 rng(1);
    std::uniform_real_distribution<double> u(0.5, 2e4);
    xs.resize(kPoints);
    ys.resize(kPoints);
    for (size_t i = 0; i < kPoints; ++i) xs[i] = u(rng), ys[i] = u(rng) / 10;
  }
};

Fixture& fixture(bool Log) {
  static Fixture lin(false), log(true);
  return Log ? log : lin;
}

void BM_LayerMap(benchmark::State& state) {
  Fixture& f = fixture(state.range(0) != 0);
  for (auto _ : state) {
    const kvr::TLayerMap m = f.chart.LayerMap(1);
    int64_t sum = 0;
    for (size_t i = 0; i < kPoints; ++i) {
      const kvr::TPoint p = m.Map(f.xs[i], f.ys[i]);
      sum += p.X + p.Y;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kPoints));
}
BENCHMARK(BM_LayerMap)->Arg(0)->Arg(1)->ArgName("log")->Unit(benchmark::kMillisecond);

void BM_R2M(benchmark::State& state) {
  Fixture& f = fixture(state.range(0) != 0);
  for (auto _ : state) {
    int64_t sum = 0;
    for (size_t i = 0; i < kPoints; ++i) {
      kvr::Integer x, y;
      f.chart.R2M(1, f.xs[i], f.ys[i], x, y);
      sum += x + y;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kPoints));
}
BENCHMARK(BM_R2M)->Arg(0)->Arg(1)->ArgName("log")->Unit(benchmark::kMillisecond);

}  // namespace
