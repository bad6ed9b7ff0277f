// Full repaint (Paint) of an 800 x 800 Smith chart: the diagram alone, and with 10,000
// markers of a swept impedance over it. The target is under 5 ms for the second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

#include "smith/smithchart.h"

namespace {

std::unique_ptr<kvr::TSmithChart> chart() {
  auto c = std::make_unique<kvr::TSmithChart>(nullptr);
  c->SetBounds(0, 0, 800, 800);
  c->CreateWnd();
  return c;
}

void repaint(benchmark::State& state, kvr::TSmithChart& c) {
  c.Repaint();
  for (auto _ : state) {
    c.Repaint();
    benchmark::DoNotOptimize(c.Surface()->ScanLine(400));
  }
}

void BM_SmithDiagram(benchmark::State& state) {
  auto c = chart();
  repaint(state, *c);
}
BENCHMARK(BM_SmithDiagram)->Unit(benchmark::kMillisecond);

void BM_SmithMarkers10k(benchmark::State& state) {
  auto c = chart();
  c->SetSuppressPaint(true);
  std::mt19937 rng(3);
  std::normal_distribution<double> noise(0.0, 0.02);
  c->SetDataColor(0xB05010);
  for (int i = 0; i < 10000; ++i) {
    const double x = -4 + 8.0 * i / 9999;  // reactance sweep at r = 0.5 with scatter
    const double u = kvr::TSmithChart::CalcReflectionReal(0.5, x) + noise(rng);
    const double v = kvr::TSmithChart::CalcReflectionImag(0.5, x) + noise(rng);
    c->MarkAt(u, v, 3);
  }
  c->SetSuppressPaint(false);
  repaint(state, *c);
}
BENCHMARK(BM_SmithMarkers10k)->Unit(benchmark::kMillisecond);

}  // namespace
