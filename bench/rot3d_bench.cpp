// 3-D item chart on a 1000 x 700 control with 100,000 marks in three clusters and a
// helix of 100,000 points: building the point list, a full repaint, and one step of a
// rotating drag (matrix and repaint) through the mouse entry points.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

#include "rot3d/rot3d.h"

namespace {

constexpr int kMarks = 100000;
constexpr int kLine = 100000;

std::unique_ptr<kvr::TRot3D> chart() {
  auto r = std::make_unique<kvr::TRot3D>(nullptr);
  r->SetBounds(0, 0, 1000, 700);
  r->CreateWnd();
  r->SetMagnify(1.2);
  std::mt19937 rng(1);
  std::normal_distribution<double> g(0.0, 1.0);
  const kvr::TColor colors[3] = {0x2030D0, 0x208020, 0xC06010};
  const kvr::Byte marks[3] = {17, 11, 22};
  for (int i = 0; i < kMarks; ++i) {
    const int c = i % 3;
    r->SetColorData(colors[c]);
    r->MarkAt(3.0 * c - 3 + g(rng), c - 1 + g(rng), g(rng), marks[c]);
  }
  r->SetColorData(0xA02080);
  for (int i = 0; i < kLine; ++i) {
    const double t = i * 0.002;
    if (i == 0)
      r->Moveto(4 * std::cos(t), 4 * std::sin(t), t / 50 - 2);
    else
      r->Drawto(4 * std::cos(t), 4 * std::sin(t), t / 50 - 2);
  }
  return r;
}

void BM_Rot3DMakeVisible(benchmark::State& state) {
  auto r = chart();
  for (auto _ : state) {
    r->MakeVisible();
    benchmark::DoNotOptimize(r->RotDataX(0));
  }
}
BENCHMARK(BM_Rot3DMakeVisible)->Unit(benchmark::kMillisecond);

void BM_Rot3DRepaint(benchmark::State& state) {
  auto r = chart();
  r->MakeVisible();
  for (auto _ : state) {
    r->Repaint();
    benchmark::DoNotOptimize(r->Surface()->ScanLine(350));
  }
}
BENCHMARK(BM_Rot3DRepaint)->Unit(benchmark::kMillisecond);

void BM_Rot3DDragStep(benchmark::State& state) {
  auto r = chart();
  r->MakeVisible();
  r->SetMouseAction(kvr::maRotate);
  r->HostMouseMove({}, 500, 350);
  r->HostMouseDown(kvr::mbLeft, {}, 500, 350);
  kvr::Integer x = 500;
  for (auto _ : state) {
    x = x >= 900 ? 100 : x + 3;
    r->HostMouseMove(kvr::TShiftState{kvr::ssLeft}, x, 350);
    r->Update();
    benchmark::DoNotOptimize(r->Surface()->ScanLine(350));
  }
}
BENCHMARK(BM_Rot3DDragStep)->Unit(benchmark::kMillisecond);

}  // namespace
