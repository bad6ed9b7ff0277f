// Contour plot repaints of a 1000 x 700 plot with a 500 x 500 pivot grid whose values come
// from a prepared array through OnEstimateZVal: colour surface and iso-line dots, each a
// full repaint including the pivot calculation, and the mask composition. The peer
// figure (matplotlib's contourf of the same array) comes from bench/peers/contour_peer.py.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "contour/contourplot.h"

namespace {

constexpr int kN = 500;

// Two hills and a dip on -5.2..5.2, the gallery's function.
std::vector<double> prepared() {
  std::vector<double> v(size_t(kN) * kN);
  for (int i = 0; i < kN; ++i)
    for (int j = 0; j < kN; ++j) {
      const double x = -5.2 + i * 10.4 / (kN - 1), y = -5.2 + j * 10.4 / (kN - 1);
      v[size_t(i) * kN + size_t(j)] =
          std::exp(-((x - 2) * (x - 2) + (y - 1.5) * (y - 1.5)) / 3) +
          0.7 * std::exp(-((x + 2.5) * (x + 2.5) + (y - 2) * (y - 2)) / 2) -
          0.9 * std::exp(-((x + 0.5) * (x + 0.5) + (y + 2.5) * (y + 2.5)) / 2.5) + 0.02 * x * y;
    }
  return v;
}

std::unique_ptr<kvr::TContourPlot> plot(kvr::TContourPlotMode mode, const std::vector<double>& z) {
  auto cp = std::make_unique<kvr::TContourPlot>(nullptr);
  cp->SetBounds(0, 0, 1000, 700);
  cp->CreateWnd();
  cp->ResizePivotMatrix(5 * kN, 5 * kN);
  cp->SetIsoParams(-1.0, 1.2, 0.05);
  cp->SetPlotMode(mode);
  cp->OnEstimateZVal = [&z](kvr::TObject*, double, double, kvr::Integer i, kvr::Integer j,
                            double& v, kvr::Byte&) { v = z[size_t(i - 1) * kN + size_t(j - 1)]; };
  return cp;
}

void repaint(benchmark::State& state, kvr::TContourPlot& cp) {
  cp.Repaint();
  for (auto _ : state) {
    cp.DrawPlot();
    cp.Repaint();
    benchmark::DoNotOptimize(cp.Surface()->ScanLine(350));
  }
}

void BM_ContourColorSurface500(benchmark::State& state) {
  const auto z = prepared();
  auto cp = plot(kvr::cpmColorSurface, z);
  repaint(state, *cp);
}
BENCHMARK(BM_ContourColorSurface500)->Unit(benchmark::kMillisecond);

void BM_ContourDots500(benchmark::State& state) {
  const auto z = prepared();
  auto cp = plot(kvr::cpmDots, z);
  repaint(state, *cp);
}
BENCHMARK(BM_ContourDots500)->Unit(benchmark::kMillisecond);

// A tenth of the pivots masked: holes, palette colours and inverted areas in bands.
void BM_ContourMasks500(benchmark::State& state) {
  const auto z = prepared();
  auto cp = plot(kvr::cpmColorSurface, z);
  cp->OnEstimateZVal = [&z](kvr::TObject*, double, double, kvr::Integer i, kvr::Integer j,
                            double& v, kvr::Byte& m) {
    v = z[size_t(i - 1) * kN + size_t(j - 1)];
    const int band = (i / 25) % 10;
    m = band == 3 ? (j < 250 ? 1 : 255) : band == 7 ? kvr::Byte(2 + j % 200) : 0;
    if (band == 7 && i % 25 > 2) m = 0;
  };
  repaint(state, *cp);
}
BENCHMARK(BM_ContourMasks500)->Unit(benchmark::kMillisecond);

// The grid walk alone (values calculated in advance).
void BM_ContourRenderOnly500(benchmark::State& state) {
  const auto z = prepared();
  auto cp = plot(kvr::cpmColorSurface, z);
  cp->CalculatePivotPoints(false);
  kvr::TBitmap bmp(1000 - cp->MarginLeft() - cp->MarginRight() + 1,
                   700 - cp->MarginTop() - cp->MarginBottom() + 1);
  for (auto _ : state) {
    cp->RenderFromPivotPoints(&bmp, 0, 0);
    benchmark::DoNotOptimize(bmp.ScanLine(100));
  }
}
BENCHMARK(BM_ContourRenderOnly500)->Unit(benchmark::kMillisecond);

}  // namespace
