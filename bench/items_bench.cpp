// Appending chart items: amortised constant time, no allocation per item.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include "zuvado/zuvado.h"

namespace {

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

// Ten million items (about 1 GB of records); reports the peak resident size.
void BM_MarkAtAppendTenMillion(benchmark::State& state) {
  const int n = 10000000;
  for (auto _ : state) {
    kvr::TZUvado chart(nullptr);
    for (int i = 0; i < n; ++i) chart.MarkAt(double(i), double(i & 1023), kvr::Byte(i & 15));
    if (chart.NumItems() != n || chart.DataContainer(n - 1).x != double(n - 1))
      state.SkipWithError("items lost");
    benchmark::ClobberMemory();
  }
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  state.counters["peak_rss_MB"] = double(ru.ru_maxrss) / 1024.0;
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_MarkAtAppendTenMillion)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
