// Raster canvas throughput: short lines, small filled rectangles, text, polygons.
#include <benchmark/benchmark.h>

#include <random>

#include "platform/bitmap.h"

using namespace kvr;

namespace {

void BM_ShortLineTo(benchmark::State& state) {
  TBitmap bmp(1000, 700);
  TCanvas* c = bmp.Canvas();
  std::mt19937 rng(1);
  std::uniform_int_distribution<int> step(-3, 3);
  std::vector<TPoint> pts(1'000'000);
  int x = 500, y = 350;
  for (auto& p : pts) {
    x = std::clamp(x + step(rng), 0, 999);
    y = std::clamp(y + step(rng), 0, 699);
    p = {x, y};
  }
  for (auto _ : state) {
    c->MoveTo(500, 350);
    for (const TPoint& p : pts) c->LineTo(p.X, p.Y);
    benchmark::DoNotOptimize(bmp.Bits());
  }
  state.SetItemsProcessed(state.iterations() * pts.size());
}
BENCHMARK(BM_ShortLineTo)->Unit(benchmark::kMillisecond);

void BM_FilledRect5x5(benchmark::State& state) {
  TBitmap bmp(1000, 700);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clBlue);
  c->Pen()->SetColor(clRed);
  for (auto _ : state) {
    for (int i = 0; i < 100'000; ++i) {
      const int x = (i * 37) % 995, y = (i * 91) % 695;
      c->Rectangle(x, y, x + 5, y + 5);
    }
    benchmark::DoNotOptimize(bmp.Bits());
  }
  state.SetItemsProcessed(state.iterations() * 100'000);
}
BENCHMARK(BM_FilledRect5x5)->Unit(benchmark::kMillisecond);

void BM_TextOut(benchmark::State& state) {
  TBitmap bmp(1000, 700);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetStyle(bsClear);
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) c->TextOut((i * 13) % 900, (i * 7) % 680, "1.25E+03");
    benchmark::DoNotOptimize(bmp.Bits());
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_TextOut)->Unit(benchmark::kMillisecond);

void BM_WidePolyline(benchmark::State& state) {
  TBitmap bmp(1000, 700);
  TCanvas* c = bmp.Canvas();
  c->Pen()->SetWidth(3);
  std::vector<TPoint> pts(200);
  for (int i = 0; i < 200; ++i) pts[i] = {i * 5, 350 + int(200 * std::sin(i * 0.1))};
  for (auto _ : state) {
    c->Polyline(pts);
    benchmark::DoNotOptimize(bmp.Bits());
  }
}
BENCHMARK(BM_WidePolyline)->Unit(benchmark::kMicrosecond);

void BM_HugeCoordinateLines(benchmark::State& state) {
  TBitmap bmp(1000, 700);
  TCanvas* c = bmp.Canvas();
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      c->MoveTo(-2147483647 + i, -2000000000);
      c->LineTo(2147483647 - i, 2000000000 - i * 1000);
    }
    benchmark::DoNotOptimize(bmp.Bits());
  }
}
BENCHMARK(BM_HugeCoordinateLines)->Unit(benchmark::kMillisecond);

}  // namespace
