// Hit tests over 1,000,000 items of a 1000 x 700 chart: nearest data item in world units,
// on the screen and along one axis, marking by window, and the nearest annotation shape
// (a mix of marks, lines, rectangles, ellipses, arcs, error bars, bars and a few texts).
// Each query runs at a different point so that no answer is cached anywhere.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "zuvado/zuvado.h"

namespace {

constexpr int kItems = 1000000;

std::unique_ptr<kvr::TZUvado> chart(bool Anno) {
  auto c = std::make_unique<kvr::TZUvado>(nullptr);
  c->SetBounds(0, 0, 1000, 700);
  c->CreateWnd();
  c->SetSuppressPaint(true);
  c->SetAllocSize(1000000);
  c->SetRange(1, 0, 0, 100, 100);
  c->SetRange(2, -50, -50, 150, 150);
  c->SetAnnoMode(Anno);
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(0.0, 100.0);
  for (int i = 0; i < kItems; ++i) {
    c->SetActiveLayer(1 + (i % 5 == 0));
    c->SetClassDefault(i % 4);
    const double x = u(rng), y = u(rng);
    if (!Anno) {
      c->MarkAt(x, y, 3);
      continue;
    }
    switch (i % 10) {
      case 0: c->Line(x, y, x + 1, y + 2); break;
      case 1: c->Rectangle(x, y, x + 0.5, y + 0.5); break;
      case 2: c->Ellipse(x, y, 0.4, 0.3); break;
      case 3: c->Arc(x, y, 0.4, 0.3, 0.2, 2.5); break;
      case 4: c->MarkErrorBar(x, y, 0.3, 0.4, kvr::TOrientation(0), 2); break;
      case 5: c->Bar3D(x, y, x + 0.5, y + 1, 5, 30); break;
      case 6: c->RectangleRelPix(x, y, 3, 2); break;
      case 7: c->Arrow(x, y, x + 1, y, 5); break;
      default:
        if (i % 10000 == 8) c->Text(x, y, 8, "label");
        else c->MarkAt(x, y, 3);
        break;
    }
  }
  c->SetActiveLayer(1);
  return c;
}

kvr::TZUvado& data_chart() {
  static auto c = chart(false);
  return *c;
}

kvr::TZUvado& anno_chart() {
  static auto c = chart(true);
  return *c;
}

template <class F>
void run(benchmark::State& state, F search) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(0.0, 100.0);
  for (auto _ : state) {
    const double x = u(rng), y = u(rng);
    benchmark::DoNotOptimize(search(x, y));
  }
}

void BM_FindNearestItemReal(benchmark::State& state) {
  kvr::TZUvado& c = data_chart();
  run(state, [&](double x, double y) {
    double d;
    return c.FindNearestItemReal(x, y, kvr::tkEverything, 255, d);
  });
}
BENCHMARK(BM_FindNearestItemReal)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_FindNearestItemRealFiltered(benchmark::State& state) {
  kvr::TZUvado& c = data_chart();
  run(state, [&](double x, double y) {
    double d;
    return c.FindNearestItemReal(x, y, kvr::tkMarkAt, 2, true, d);
  });
}
BENCHMARK(BM_FindNearestItemRealFiltered)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_FindNearestItemScreen(benchmark::State& state) {
  kvr::TZUvado& c = data_chart();
  run(state, [&](double x, double y) {
    double d;
    return c.FindNearestItemScreen(x, y, kvr::tkEverything, 255, d);
  });
}
BENCHMARK(BM_FindNearestItemScreen)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_FindNearestItemAlongAxis(benchmark::State& state) {
  kvr::TZUvado& c = data_chart();
  run(state, [&](double x, double) {
    double d;
    return c.FindNearestItemAlongAxis(x, 0, kvr::tkEverything, 255, d);
  });
}
BENCHMARK(BM_FindNearestItemAlongAxis)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_MarkItemsInWindow(benchmark::State& state) {
  kvr::TZUvado& c = data_chart();
  run(state, [&](double x, double y) {
    return c.MarkItemsInWindow(x, y, x + 10, y + 10, kvr::tkEverything, 1);
  });
}
BENCHMARK(BM_MarkItemsInWindow)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_FindNearestAnnoElem(benchmark::State& state) {
  kvr::TZUvado& c = anno_chart();
  run(state, [&](double x, double y) {
    double d;
    return c.FindNearestAnnoElem(x, y, kvr::tkEverything, 255, false, d);
  });
}
BENCHMARK(BM_FindNearestAnnoElem)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_DetectScale(benchmark::State& state) {
  kvr::TZUvado& c = data_chart();
  int x = 0;
  for (auto _ : state) {
    x = (x + 7) % 1000;
    benchmark::DoNotOptimize(c.DetectScale(x, 690 - x % 100));
  }
}
BENCHMARK(BM_DetectScale)->Repetitions(5);

}  // namespace
