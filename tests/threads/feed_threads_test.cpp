// The live-data feed with several producer threads while the chart's thread drains and
// paints: every point arrives exactly once, each producer's points in their order.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "thread_util.h"
#include "zuvado/feed.h"
#include "zuvado/zuvado.h"

namespace kvr {
namespace {

constexpr int kPerProducer = 20000;

// Producer t sends ids t * kPerProducer + i as x, and t as y; singles and spans mixed.
// With `halfway`, it waits at half its points until that holds, so that a test can make
// sure draining overlaps producing however the threads are scheduled.
template <class Halfway>
void produce(TZUvadoFeed& f, int t, Halfway halfway) {
  std::vector<double> x, y;
  bool waited = false;
  for (int i = 0; i < kPerProducer;) {
    if (!waited && i >= kPerProducer / 2) {
      while (!halfway()) std::this_thread::yield();
      waited = true;
    }
    if (i % 7 == 0) {
      f.Add(double(t * kPerProducer + i), double(t));
      ++i;
      continue;
    }
    const int n = std::min(1 + (i % 13) * 5, kPerProducer - i);
    x.clear();
    y.clear();
    for (int k = 0; k < n; ++k) {
      x.push_back(double(t * kPerProducer + i + k));
      y.push_back(double(t));
    }
    f.Add(x, y);
    i += n;
    if (i % 5 == 0) std::this_thread::yield();
  }
}

void produce(TZUvadoFeed& f, int t) {
  produce(f, t, [] { return true; });
}

TEST(FeedThreads, SeveralProducersLoseAndDuplicateNothing) {
  TZUvado c(nullptr);
  c.SetBounds(0, 0, 300, 200);
  c.CreateWnd();
  c.SetRange(1, 0, 0, kThreads * kPerProducer, kThreads);
  TZUvadoFeed f(c);
  std::atomic<int> done{0};
  std::atomic<std::size_t> drains{0};
  // Thread 0 plays the window: it drains (and paints) while the others produce; the
  // producers hold at half their points until a drain has taken something.
  test::run_together(kThreads + 1, [&](int t) {
    if (t > 0) {
      produce(f, t - 1, [&] { return drains.load() > 0; });
      done.fetch_add(1);
      return;
    }
    while (done.load() < kThreads) {
      if (f.Drain() > 0) ++drains;
      std::this_thread::yield();
    }
    if (f.Drain() > 0) ++drains;
  });
  EXPECT_EQ(f.Pending(), 0u);
  EXPECT_GT(drains.load(), 1u);
  ASSERT_EQ(c.NumItems(), kThreads * kPerProducer);
  EXPECT_EQ(f.Drained(), uint64_t(kThreads) * kPerProducer);
  std::vector<int> next(kThreads, 0);
  for (Integer i = 0; i < c.NumItems(); ++i) {
    const TrcChartItem it = c.GetChartItem(i);
    const int t = int(it.y);
    ASSERT_GE(t, 0);
    ASSERT_LT(t, kThreads);
    // In order per producer and each id once: the next id expected from t.
    ASSERT_EQ(int(it.x), t * kPerProducer + next[size_t(t)]) << "item " << i;
    ++next[size_t(t)];
  }
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(next[size_t(t)], kPerProducer);
}

// A rolling window under the same load ends with exactly the newest points.
TEST(FeedThreads, RollingWindowUnderLoadKeepsTheNewestCount) {
  TZUvado c(nullptr);
  c.SetBounds(0, 0, 300, 200);
  c.CreateWnd();
  TZUvadoFeed f(c);
  f.SetRollingPoints(5000);
  std::atomic<int> done{0};
  test::run_together(3, [&](int t) {
    if (t > 0) {
      produce(f, t - 1);
      done.fetch_add(1);
      return;
    }
    while (done.load() < 2) {
      f.Drain();
      EXPECT_LE(c.NumItems(), 5000);
      std::this_thread::yield();
    }
    f.Drain();
  });
  EXPECT_EQ(c.NumItems(), 5000);
  EXPECT_EQ(f.Drained(), 2u * kPerProducer);
  EXPECT_EQ(c.GetChartItem(0).ItemKind, tkMoveTo);
}

}  // namespace
}  // namespace kvr
