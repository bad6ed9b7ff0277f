// Live data: one producer thread pushes points as fast as it can into a feed while the
// chart's thread drains and repaints at 60 Hz with a rolling window of 1,000,000 points,
// on a 1000 x 700 chart with axes. Reports the sustained rate (points that reached the
// chart per second), the worst and the median frame (drain + repaint) and the points still
// pending at the end (the producer outran the chart when that is large), and the page
// faults each thread took after the window was set up.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <ctime>
#include <thread>
#include <vector>

#include "zuvado/feed.h"
#include "zuvado/zuvado.h"

namespace {

using namespace kvr;
using Clock = std::chrono::steady_clock;

double thread_cpu_ms() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) * 1e-6;
}

constexpr Integer kWindow = 1000000;
constexpr double kRate = 1e6;  // x units are seconds of a 1 MHz signal
constexpr int kBlock = 4096;   // points per Add

void BM_FeedRolling60Hz(benchmark::State& state) {
  const double seconds = double(state.range(0));
  // Points per second the producer aims at (0: as fast as it can). Points that the window
  // drops within the same drain never enter the chart, so an unlimited producer measures
  // the feed's hand-over, a limited one the chart at that rate.
  const double rate = double(state.range(1)) * 1e6;
  for (auto _ : state) {
    TZUvado c(nullptr);
    c.SetBounds(0, 0, 1000, 700);
    c.CreateWnd();
    c.SetRange(1, 0, -1.2, 1, 1.2);
    c.SetDataColor(clBlue);
    c.ShowGraf();
    TZUvadoFeed f(c);
    // The same window by span: the feed then finds the cut by reading the oldest items.
    if (state.range(2) != 0) f.SetRollingSpan(kWindow / kRate);
    else f.SetRollingPoints(kWindow);

    std::atomic<bool> stop{false};
    std::atomic<uint64_t> produced{0};
    std::atomic<long> producerFaults{0};
    std::thread producer([&] {
      rusage ru0{}, ru1{};
      getrusage(RUSAGE_THREAD, &ru0);
      // The signal is computed once, so that the producer measures the feed, not sin().
      std::vector<double> x(kBlock), y(kBlock), wave(1 << 16);
      for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = std::sin(double(i) * 0.01) + 0.1 * std::sin(double(i) * 0.37);
      uint64_t n = 0;
      const auto start = Clock::now();
      while (!stop.load(std::memory_order_relaxed)) {
        if (rate > 0 && double(n) > rate * std::chrono::duration<double>(Clock::now() - start).count()) {
          std::this_thread::sleep_for(std::chrono::microseconds(200));
          continue;
        }
        // Keep the backlog bounded so that memory stays sane when the chart is slower.
        if (f.Pending() > 8u * kWindow) {
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
          continue;
        }
        for (int i = 0; i < kBlock; ++i, ++n) {
          x[size_t(i)] = double(n) / kRate;
          y[size_t(i)] = wave[n & (wave.size() - 1)];
        }
        f.Add(x, y);
        produced.fetch_add(kBlock, std::memory_order_relaxed);
      }
      getrusage(RUSAGE_THREAD, &ru1);
      producerFaults = ru1.ru_minflt - ru0.ru_minflt;
    });
    rusage ru0{}, ru1{};
    getrusage(RUSAGE_THREAD, &ru0);

    std::vector<double> frames, cpu;
    const auto period = std::chrono::microseconds(16667);
    const auto t0 = Clock::now();
    auto next = t0;
    while (Clock::now() - t0 < std::chrono::duration<double>(seconds)) {
      std::this_thread::sleep_until(next);
      next += period;
      const auto a = Clock::now();
      const double c0 = thread_cpu_ms();
      f.Drain();
      frames.push_back(std::chrono::duration<double, std::milli>(Clock::now() - a).count());
      cpu.push_back(thread_cpu_ms() - c0);
      if (Clock::now() > next) next = Clock::now();  // a slow frame does not queue up frames
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - t0).count();
    getrusage(RUSAGE_THREAD, &ru1);
    stop = true;
    producer.join();
    state.counters["faults_chart"] = double(ru1.ru_minflt - ru0.ru_minflt);
    state.counters["faults_producer"] = double(producerFaults.load());

    std::sort(frames.begin(), frames.end());
    std::sort(cpu.begin(), cpu.end());
    // Frame time on the chart's thread alone: what the machine's other load does not add.
    state.counters["median_cpu_ms"] = cpu.empty() ? 0 : cpu[cpu.size() / 2];
    state.counters["worst_cpu_ms"] = cpu.empty() ? 0 : cpu.back();
    state.counters["points_per_s"] = double(f.Drained()) / elapsed;
    state.counters["produced_per_s"] = double(produced.load()) / elapsed;
    state.counters["worst_frame_ms"] = frames.empty() ? 0 : frames.back();
    state.counters["median_frame_ms"] = frames.empty() ? 0 : frames[frames.size() / 2];
    state.counters["p95_frame_ms"] = frames.empty() ? 0 : frames[frames.size() * 95 / 100];
    state.counters["frames"] = double(frames.size());
    state.counters["pending_at_end"] = double(f.Pending());
    state.counters["items"] = double(c.NumItems());
  }
}
// Where a frame's time goes at the goal rate (10M points/s at 60 Hz: 166,667 points a
// frame) with the window full: appending the new points in one bulk call, taking the same
// number of oldest items out, and the repaint that scrolling causes.
void BM_FeedFrameParts(benchmark::State& state) {
  constexpr Integer kFrame = 166667;
  TZUvado c(nullptr);
  c.SetBounds(0, 0, 1000, 700);
  c.CreateWnd();
  c.SetRange(1, 0, -1.2, 1, 1.2);
  c.MoveTo(0.0, 0.0);
  for (Integer i = 1; i < kWindow; ++i) c.DrawTo(i / kRate, std::sin(i * 0.01));
  std::vector<double> x(kFrame), y(kFrame);
  double append = 0, remove = 0, paint = 0;
  Integer next = kWindow;
  for (auto _ : state) {
    for (Integer i = 0; i < kFrame; ++i, ++next) {
      x[size_t(i)] = next / kRate;
      y[size_t(i)] = std::sin(next * 0.01);
    }
    auto a = Clock::now();
    c.ContinuePolyline(x, y);
    auto b = Clock::now();
    c.RemoveFirstItems(kFrame);
    auto d = Clock::now();
    c.SetRange(1, (next - kWindow) / kRate, -1.2, next / kRate, 1.2);
    auto e = Clock::now();
    append += std::chrono::duration<double, std::milli>(b - a).count();
    remove += std::chrono::duration<double, std::milli>(d - b).count();
    paint += std::chrono::duration<double, std::milli>(e - d).count();
  }
  const double n = double(state.iterations());
  state.counters["append_ms"] = append / n;
  state.counters["remove_ms"] = remove / n;
  state.counters["repaint_ms"] = paint / n;
}
BENCHMARK(BM_FeedFrameParts)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(BM_FeedRolling60Hz)
    ->Args({5, 10, 0})
    ->Args({5, 0, 0})
    ->Args({5, 10, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace
