// Saving and loading chart item files of a million items (target: under 300 ms each).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "zuvado/zuvado.h"

namespace {

constexpr int kItems = 1000000;

std::string bench_file() {
  const char* env = std::getenv("KVR_BENCH_OUT");
  const std::filesystem::path dir =
      env && *env ? std::filesystem::path(env) : std::filesystem::temp_directory_path();
  return (dir / "kvr_files_bench.dat").string();
}

// A mixed content: marks, lines and some texts, in two layers.
void fill(kvr::TZUvado& chart) {
  for (int i = 0; i < kItems; ++i) {
    chart.SetActiveLayer(1 + (i & 1));
    switch (i % 10) {
      case 0: chart.Line(double(i), 0.0, double(i) + 1, 1.0); break;
      case 5: chart.Text(double(i), 1.0, 8, "label"); break;
      default: chart.MarkAt(double(i), double(i & 1023), kvr::Byte(i & 15));
    }
  }
}

void BM_SaveData(benchmark::State& state) {
  kvr::TZUvado chart(nullptr);
  fill(chart);
  const std::string file = bench_file();
  for (auto _ : state) chart.SaveData(file);
  state.SetItemsProcessed(state.iterations() * kItems);
  std::filesystem::remove(file);
}
BENCHMARK(BM_SaveData)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadData(benchmark::State& state) {
  const std::string file = bench_file();
  {
    kvr::TZUvado source(nullptr);
    fill(source);
    source.SaveData(file);
  }
  kvr::TZUvado chart(nullptr);
  for (auto _ : state) {
    if (chart.LoadData(file, false) != kItems) state.SkipWithError("load failed");
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kItems);
  std::filesystem::remove(file);
}
BENCHMARK(BM_LoadData)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
