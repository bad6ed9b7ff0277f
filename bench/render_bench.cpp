// Full repaint (Paint) of a 1000 x 700 chart with axes: an empty chart with a grid, a
// 1,000,000-point MoveTo/DrawTo polyline and 100,000 marks, and ten million of each. bench/peers/agg_peer.py
// draws the same workloads with another renderer.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "zuvado/zuvado.h"

namespace {

std::unique_ptr<kvr::TZUvado> chart() {
  auto c = std::make_unique<kvr::TZUvado>(nullptr);
  c->SetBounds(0, 0, 1000, 700);
  c->CreateWnd();
  return c;
}

void repaint(benchmark::State& state, kvr::TZUvado& c) {
  c.Repaint();
  for (auto _ : state) {
    c.Repaint();
    benchmark::DoNotOptimize(c.Surface()->ScanLine(350));
  }
}

void BM_PaintEmpty(benchmark::State& state) {
  auto c = chart();
  c->SetRange(1, 0, 0, 10, 10);
  c->SetGridStyle(kvr::gsLines);
  c->SetGridColor(0xD0D0D0);
  repaint(state, *c);
}
BENCHMARK(BM_PaintEmpty)->Unit(benchmark::kMillisecond);

void BM_PaintPolyline1M(benchmark::State& state) {
  auto c = chart();
  c->SetSmooth(state.range(0) != 0);
  c->SetSuppressPaint(true);
  c->SetRange(1, 0, -1.5, 100, 1.5);
  std::mt19937 rng(1);
  std::normal_distribution<double> noise(0.0, 0.1);
  constexpr int n = 1000000;
  for (int i = 0; i < n; ++i) {
    const double x = 100.0 * i / (n - 1);
    const double y = std::sin(x) + noise(rng);
    if (i == 0) c->MoveTo(x, y);
    else c->DrawTo(x, y);
  }
  c->SetSuppressPaint(false);
  repaint(state, *c);
}
BENCHMARK(BM_PaintPolyline1M)->Arg(0)->Arg(1)->ArgName("smooth")->Unit(benchmark::kMillisecond);

// Marks 12 (solid squares), 16 (open diamonds) and 22 (open circles); smooth ones sit
// at sub-pixel places.
void BM_PaintMarks100k(benchmark::State& state) {
  auto c = chart();
  c->SetSmooth(state.range(1) != 0);
  c->SetSuppressPaint(true);
  c->SetRange(1, 0, 0, 10, 10);
  std::mt19937 rng(2);
  std::uniform_real_distribution<double> u(0.0, 10.0);
  c->SetDataColor(0xB07010);
  for (int i = 0; i < 100000; ++i) c->MarkAt(u(rng), u(rng), kvr::Integer(state.range(0)));
  c->SetSuppressPaint(false);
  repaint(state, *c);
}
BENCHMARK(BM_PaintMarks100k)
    ->ArgsProduct({{12, 16, 22}, {0, 1}})
    ->ArgNames({"mark", "smooth"})
    ->Unit(benchmark::kMillisecond);

void BM_PaintPolyline10M(benchmark::State& state) {
  auto c = chart();
  c->SetSuppressPaint(true);
  c->SetRange(1, 0, -1.5, 100, 1.5);
  std::mt19937 rng(1);
  std::normal_distribution<double> noise(0.0, 0.1);
  constexpr int n = 10000000;
  std::vector<double> x(n), y(n);
  for (int i = 0; i < n; ++i) {
    x[size_t(i)] = 100.0 * i / (n - 1);
    y[size_t(i)] = std::sin(x[size_t(i)]) + noise(rng);
  }
  c->DrawPolyline(x, y);
  c->SetSuppressPaint(false);
  repaint(state, *c);
}
BENCHMARK(BM_PaintPolyline10M)->Unit(benchmark::kMillisecond);

void BM_PaintMarks10M(benchmark::State& state) {
  auto c = chart();
  c->SetSuppressPaint(true);
  c->SetRange(1, 0, 0, 10, 10);
  std::mt19937 rng(2);
  std::uniform_real_distribution<double> u(0.0, 10.0);
  c->SetDataColor(0xB07010);
  constexpr int n = 10000000;
  std::vector<double> x(n), y(n);
  for (int i = 0; i < n; ++i) {
    x[size_t(i)] = u(rng);
    y[size_t(i)] = u(rng);
  }
  c->MarkSeries(x, y, 12);
  c->SetSuppressPaint(false);
  repaint(state, *c);
}
BENCHMARK(BM_PaintMarks10M)->Unit(benchmark::kMillisecond);

}  // namespace
