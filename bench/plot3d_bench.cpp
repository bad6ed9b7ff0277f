// Surface plot of 100 x 100 nodes on a 1000 x 700 control: a full repaint (cube, surface
// far to near, axes) per iteration, turned a little each time so that nothing is reused,
// the same with the picture written as PNG (what the peers in bench/peers measure), the
// PNG encoding alone, and the search for the cell under the pointer.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <memory>

#include "plot3d/plot3d.h"

namespace {

constexpr int kN = 100;

std::unique_ptr<kvr::TPlot3D> plot() {
  auto p = std::make_unique<kvr::TPlot3D>(nullptr);
  p->SetBounds(0, 0, 1000, 700);
  p->CreateWnd();
  p->SetMagnify(1.5);
  p->SetSuppressPaint(true);
  p->GridMat.Resize(kN, kN);
  for (int i = 1; i <= kN; ++i)
    for (int j = 1; j <= kN; ++j) {
      const double x = (i - 50.5) / 8, y = (j - 50.5) / 8, r = std::hypot(x, y);
      p->GridMat.SetVal(i, j, std::sin(2 * r) / r);
    }
  p->SetSuppressPaint(false);
  p->SetColorScaleLow(-0.3);
  p->SetColorScaleHigh(1.0);
  p->SetColorCodingMode(kvr::ccmThreeColors);
  return p;
}

void BM_Plot3DRepaint100(benchmark::State& state) {
  auto p = plot();
  p->Repaint();
  double c = 15;
  for (auto _ : state) {
    c = c >= 75 ? 15 : c + 1;
    p->SetViewAngleZ(c);
    p->Repaint();
    benchmark::DoNotOptimize(p->Surface()->ScanLine(350));
  }
}
BENCHMARK(BM_Plot3DRepaint100)->Unit(benchmark::kMillisecond);

// What a file-producing peer measures: the repaint and the PNG written out.
void BM_Plot3DRepaintAndPng100(benchmark::State& state) {
  auto p = plot();
  p->Repaint();
  const std::string file = "/tmp/kvr_plot3d_bench.png";
  double c = 15;
  for (auto _ : state) {
    c = c >= 75 ? 15 : c + 1;
    p->SetViewAngleZ(c);
    p->Repaint();
    p->Surface()->SaveToFile(file);
  }
  std::remove(file.c_str());
}
BENCHMARK(BM_Plot3DRepaintAndPng100)->Unit(benchmark::kMillisecond);

// The PNG encoding alone, to set against the peers' encoding share.
void BM_Plot3DPngOnly100(benchmark::State& state) {
  auto p = plot();
  p->Repaint();
  for (auto _ : state) benchmark::DoNotOptimize(p->Surface()->SaveToPNGData());
}
BENCHMARK(BM_Plot3DPngOnly100)->Unit(benchmark::kMillisecond);

void BM_Plot3DCellSearch100(benchmark::State& state) {
  auto p = plot();
  p->Repaint();
  kvr::Integer x = 300, cx = 0, cy = 0;
  for (auto _ : state) {
    x = x >= 700 ? 300 : x + 7;
    benchmark::DoNotOptimize(p->CellAt(x, 350, cx, cy));
  }
}
BENCHMARK(BM_Plot3DCellSearch100)->Unit(benchmark::kMicrosecond);

}  // namespace
