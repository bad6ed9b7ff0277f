// Appending chart items: amortised constant time, no allocation per item.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <vector>

#include "zuvado/zuvado.h"

namespace {

// Opens the chart's item store to the benchmarks' size reports.
struct StoreChart : kvr::TZUvado {
  using kvr::TZUvado::TZUvado;
  using kvr::TCustomZUvado::DataItems;
};

void BM_MarkAtAppend(benchmark::State& state) {
  const int n = int(state.range(0));
  for (auto _ : state) {
    kvr::TZUvado chart(nullptr);
    for (int i = 0; i < n; ++i) chart.MarkAt(double(i), double(i & 1023), kvr::Byte(i & 15));
    benchmark::DoNotOptimize(chart.NumItems());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_MarkAtAppend)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Ten million items that differ in more than x and y, so kept whole (about 1 GB of
// records); reports the peak resident size.
void BM_MarkAtAppendTenMillion(benchmark::State& state) {
  const int n = 10000000;
  for (auto _ : state) {
    StoreChart chart(nullptr);
    for (int i = 0; i < n; ++i) chart.MarkAt(double(i), double(i & 1023), kvr::Byte(i & 15));
    if (chart.NumItems() != n || chart.DataContainer(n - 1).x != double(n - 1))
      state.SkipWithError("items lost");
    benchmark::ClobberMemory();
    state.counters["store_bytes_per_item"] = double(chart.DataItems().StorageBytes()) / n;
  }
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  state.counters["peak_rss_MB"] = double(ru.ru_maxrss) / 1024.0;
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_MarkAtAppendTenMillion)->Iterations(1)->Unit(benchmark::kMillisecond);

// Ten million polyline points from a cold start: a fresh chart each time, so the
// first use of the item memory is timed too. The point arrays are built once outside.
constexpr int kTenMillion = 10000000;

const std::vector<double>& ten_million(bool Y) {
  static const std::vector<double> x = [] {
    std::vector<double> v(kTenMillion);
    for (int i = 0; i < kTenMillion; ++i) v[size_t(i)] = double(i);
    return v;
  }();
  static const std::vector<double> y = [] {
    std::vector<double> v(kTenMillion);
    for (int i = 0; i < kTenMillion; ++i) v[size_t(i)] = double(i & 1023);
    return v;
  }();
  return Y ? y : x;
}

void peak(benchmark::State& state) {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  state.counters["peak_rss_MB"] = double(ru.ru_maxrss) / 1024.0;
}

void BM_DrawPolylineTenMillion(benchmark::State& state) {
  const auto& x = ten_million(false);
  const auto& y = ten_million(true);
  for (auto _ : state) {
    StoreChart chart(nullptr);
    chart.DrawPolyline(x, y);
    if (chart.NumItems() != kTenMillion) state.SkipWithError("items lost");
    benchmark::ClobberMemory();
    state.counters["store_bytes_per_item"] = double(chart.DataItems().StorageBytes()) / kTenMillion;
  }
  peak(state);
  state.SetItemsProcessed(state.iterations() * kTenMillion);
}
BENCHMARK(BM_DrawPolylineTenMillion)->Repetitions(5)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_DrawToTenMillion(benchmark::State& state) {
  const auto& x = ten_million(false);
  const auto& y = ten_million(true);
  for (auto _ : state) {
    StoreChart chart(nullptr);
    chart.MoveTo(x[0], y[0]);
    for (int i = 1; i < kTenMillion; ++i) chart.DrawTo(x[size_t(i)], y[size_t(i)]);
    if (chart.NumItems() != kTenMillion) state.SkipWithError("items lost");
    benchmark::ClobberMemory();
    state.counters["store_bytes_per_item"] = double(chart.DataItems().StorageBytes()) / kTenMillion;
  }
  peak(state);
  state.SetItemsProcessed(state.iterations() * kTenMillion);
}
BENCHMARK(BM_DrawToTenMillion)->Repetitions(5)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_MarkSeriesTenMillion(benchmark::State& state) {
  const auto& x = ten_million(false);
  const auto& y = ten_million(true);
  for (auto _ : state) {
    kvr::TZUvado chart(nullptr);
    chart.MarkSeries(x, y, 12);
    if (chart.NumItems() != kTenMillion) state.SkipWithError("items lost");
    benchmark::ClobberMemory();
  }
  peak(state);
  state.SetItemsProcessed(state.iterations() * kTenMillion);
}
BENCHMARK(BM_MarkSeriesTenMillion)->Repetitions(5)->Iterations(1)->Unit(benchmark::kMillisecond);

// Edits of every item of a compact store: a recolouring keeps the runs, a scaling moves
// every point; both pass over the points twice (the runs are checked, then rewritten).
void BM_EditAllTenMillion(benchmark::State& state) {
  StoreChart chart(nullptr);
  chart.DrawPolyline(ten_million(false), ten_million(true));
  for (auto _ : state) {
    if (state.range(0) == 0) chart.NewColorOfClassItems(kvr::TColor(state.iterations() & 0xFF), 0);
    else chart.ScaleAllItems(1.0, 0.5, 1.0, 0.0);
  }
  if (!chart.DataItems().Compact()) state.SkipWithError("storage turned full");
  state.SetItemsProcessed(state.iterations() * kTenMillion);
}
BENCHMARK(BM_EditAllTenMillion)->Arg(0)->Arg(1)->ArgName("scale")->Unit(benchmark::kMillisecond);

// A rolling window of a million items: each frame appends a block and drops as many
// from the front.
void BM_RollingWindowMillion(benchmark::State& state) {
  constexpr int window = 1000000, block = 16667;  // 1e6 points per second at 60 Hz
  kvr::TZUvado chart(nullptr);
  std::vector<double> x(block), y(block);
  double t = 0;
  auto feed = [&] {
    for (int i = 0; i < block; ++i) {
      x[size_t(i)] = t++;
      y[size_t(i)] = double(i & 255);
    }
    chart.MarkSeries(x, y, 0);
  };
  while (chart.NumItems() < window) feed();
  for (auto _ : state) {
    feed();
    chart.RemoveFirstItems(chart.NumItems() - window);
  }
  state.SetItemsProcessed(state.iterations() * block);
}
BENCHMARK(BM_RollingWindowMillion)->Unit(benchmark::kMicrosecond);

}  // namespace
