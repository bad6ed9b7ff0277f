// Live data: one producer thread pushes points as fast as it can into a feed while the
// chart's thread drains and repaints at 60 Hz with a rolling window of 1,000,000 points,
// on a 1000 x 700 chart with axes. Reports the sustained rate (points that reached the
// chart per second), the worst and the median frame (drain + repaint) and the points still
// pending at the end (the producer outran the chart when that is large).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "zuvado/feed.h"
#include "zuvado/zuvado.h"

namespace {

using namespace kvr;
using Clock = std::chrono::steady_clock;

constexpr Integer kWindow = 1000000;
constexpr double kRate = 1e6;  // x units are seconds of a 1 MHz signal
constexpr int kBlock = 4096;   // points per Add

void BM_FeedRolling60Hz(benchmark::State& state) {
  const double seconds = double(state.range(0));
  for (auto _ : state) {
    TZUvado c(nullptr);
    c.SetBounds(0, 0, 1000, 700);
    c.CreateWnd();
    c.SetRange(1, 0, -1.2, 1, 1.2);
    c.SetDataColor(clBlue);
    c.ShowGraf();
    TZUvadoFeed f(c);
    f.SetRollingPoints(kWindow);

    std::atomic<bool> stop{false};
    std::atomic<uint64_t> produced{0};
    std::thread producer([&] {
      std::vector<double> x(kBlock), y(kBlock);
      uint64_t n = 0;
      while (!stop.load(std::memory_order_relaxed)) {
        // Keep the backlog bounded so that memory stays sane when the chart is slower.
        if (f.Pending() > 8u * kWindow) {
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
          continue;
        }
        for (int i = 0; i < kBlock; ++i, ++n) {
          x[size_t(i)] = double(n) / kRate;
          y[size_t(i)] = std::sin(double(n) * 0.01) + 0.1 * std::sin(double(n) * 0.37);
        }
        f.Add(x, y);
        produced.fetch_add(kBlock, std::memory_order_relaxed);
      }
    });

    std::vector<double> frames;
    const auto period = std::chrono::microseconds(16667);
    const auto t0 = Clock::now();
    auto next = t0;
    while (Clock::now() - t0 < std::chrono::duration<double>(seconds)) {
      std::this_thread::sleep_until(next);
      next += period;
      const auto a = Clock::now();
      f.Drain();
      frames.push_back(std::chrono::duration<double, std::milli>(Clock::now() - a).count());
      if (Clock::now() > next) next = Clock::now();  // a slow frame does not queue up frames
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - t0).count();
    stop = true;
    producer.join();

    std::sort(frames.begin(), frames.end());
    state.counters["points_per_s"] = double(f.Drained()) / elapsed;
    state.counters["produced_per_s"] = double(produced.load()) / elapsed;
    state.counters["worst_frame_ms"] = frames.empty() ? 0 : frames.back();
    state.counters["median_frame_ms"] = frames.empty() ? 0 : frames[frames.size() / 2];
    state.counters["frames"] = double(frames.size());
    state.counters["pending_at_end"] = double(f.Pending());
    state.counters["items"] = double(c.NumItems());
  }
}
BENCHMARK(BM_FeedRolling60Hz)->Arg(5)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
