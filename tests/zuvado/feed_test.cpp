// The live-data feed on one thread: what a drain puts into the chart, the rolling window,
// and painting only the new items.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>
#include <vector>

#include "render_util.h"
#include "zuvado/feed.h"

using namespace kvr;
using kvr::test::RenderChart;

namespace {

std::vector<double> xs(const TCustomZUvado& c) {
  std::vector<double> v;
  for (Integer i = 0; i < c.NumItems(); ++i) v.push_back(c.GetChartItem(i).x);
  return v;
}

std::vector<double> seq(double from, int n) {
  std::vector<double> v;
  for (int i = 0; i < n; ++i) v.push_back(from + i);
  return v;
}

TEST(ZuFeed, DrainBuildsOneLineAcrossDrainsAndMarksOnRequest) {
  RenderChart c;
  TZUvadoFeed f(c);
  EXPECT_EQ(f.Drain(), 0u);
  f.Add(1, 10);
  const std::vector<double> x = seq(2, 3), y = {20, 30, 40};
  f.Add(x, y);
  EXPECT_EQ(f.Pending(), 4u);
  EXPECT_EQ(f.Drain(), 4u);
  EXPECT_EQ(f.Pending(), 0u);
  f.Add(5, 50);
  f.Drain();
  ASSERT_EQ(c.NumItems(), 5);
  EXPECT_EQ(xs(c), seq(1, 5));
  EXPECT_EQ(c.GetChartItem(0).ItemKind, tkMoveTo);
  EXPECT_EQ(c.ItemCount(tkLineto), 4);  // the second drain joins the first
  EXPECT_EQ(c.GetChartItem(4).y, 50);

  f.BreakLine();
  f.Add(6, 60);
  f.SetMark(3);
  f.Drain();  // marks never join; the break is used up by the line it would have cut
  f.SetMark(0);
  f.Add(7, 70);
  f.Drain();
  EXPECT_EQ(c.GetChartItem(5).ItemKind, tkMarkAt);
  EXPECT_EQ(c.GetChartItem(5).Param3, 3);
  EXPECT_EQ(c.GetChartItem(6).ItemKind, tkMoveTo);
  EXPECT_EQ(f.Drained(), 7u);

  // Annotation mode of the chart does not divert the points, and stays on.
  c.SetAnnoMode(true);
  f.Add(8, 80);
  f.Drain();
  EXPECT_TRUE(c.AnnoMode());
  EXPECT_EQ(c.NumItems(), 8);
  EXPECT_EQ(c.NumAnnos(), 0);

  const std::vector<double> two = {1, 2}, one = {1};
  EXPECT_THROW(f.Add(two, one), EKvrZUvadoError);
  EXPECT_EQ(f.Pending(), 0u);
}

TEST(ZuFeed, RollingByPointsKeepsTheNewestAndScrolls) {
  RenderChart c;
  c.SetAllocSize(10);
  TZUvadoFeed f(c);
  f.SetRollingPoints(100);
  // Chunks below, at and far above the window size.
  for (int chunk : {30, 70, 1, 250, 99}) {
    const double from = c.NumItems() ? c.GetChartItem(c.NumItems() - 1).x + 1 : 0;
    const std::vector<double> x = seq(from, chunk), y(size_t(chunk), 5.0);
    f.Add(x, y);
    f.Drain();
    const double last = from + chunk - 1;
    const Integer want = Integer(std::min(100.0, last + 1));
    ASSERT_EQ(c.NumItems(), want);
    EXPECT_EQ(c.GetChartItem(want - 1).x, last);
    EXPECT_EQ(c.GetChartItem(0).x, last - want + 1);
    EXPECT_EQ(c.GetChartItem(0).ItemKind, tkMoveTo);  // no line from the pen's start
    EXPECT_EQ(c.ItemCount(tkLineto), want - 1);
    EXPECT_EQ(c.ItemCount(tkMoveTo), 1);
    if (want > 1) {
      EXPECT_EQ(c.Scale1X()->RangeLow(), last - want + 1);
      EXPECT_EQ(c.Scale1X()->RangeHigh(), last);
    }
  }
  // Points the window would drop in the same drain never entered the chart.
  EXPECT_LE(c.NumAllocData(), 210);  // 350 if the 250-point chunk had gone in whole
  EXPECT_EQ(f.Drained(), 450u);
  // The y range and the zoom history are the user's.
  EXPECT_EQ(c.Scale1Y()->RangeHigh(), 252);
  EXPECT_EQ(c.ZoomStack(1, 0).Right, 340);
}

TEST(ZuFeed, RollingBySpanKeepsTheLastXUnits) {
  RenderChart c;
  TZUvadoFeed f(c);
  f.SetRollingSpan(10);
  for (int i = 0; i < 25; ++i) f.Add(i * 0.5, 1);  // x 0 .. 12
  f.Drain();
  // Points with x >= 12 - 10 stay: 2.0 .. 12.0 in steps of 0.5.
  ASSERT_EQ(c.NumItems(), 21);
  EXPECT_EQ(c.GetChartItem(0).x, 2.0);
  EXPECT_EQ(c.Scale1X()->RangeLow(), 2.0);
  EXPECT_EQ(c.Scale1X()->RangeHigh(), 12.0);
  // A jump past the whole window leaves only the new points; a reversed axis stays so.
  c.SetRange(1, 12, 0, 2, 252);
  const std::vector<double> x = {100, 101}, y = {1, 1};
  f.Add(x, y);
  f.Drain();
  ASSERT_EQ(c.NumItems(), 2);
  EXPECT_EQ(c.GetChartItem(0).ItemKind, tkMoveTo);
  EXPECT_EQ(c.Scale1X()->RangeLow(), 101);
  EXPECT_EQ(c.Scale1X()->RangeHigh(), 91);
  // Both limits: the tighter one wins.
  f.SetRollingPoints(1);
  f.Add(102, 1);
  f.Drain();
  EXPECT_EQ(c.NumItems(), 1);
  f.SetRollingPoints(8);
  for (int i = 0; i < 10; ++i) f.Add(300 + 5 * i, 1);  // the count drops the old point,
  f.Drain();                                           // the span all but 335 .. 345
  ASSERT_EQ(c.NumItems(), 3);
  EXPECT_EQ(c.GetChartItem(0).x, 335);
}

struct StoreChart : RenderChart {
  using TCustomZUvado::DataItems;
};

// The window's storage is there before the first point and does not change as the
// window rolls on, whatever the drains bring; a chart that lost it gets it back at the
// next drain. Windows too large to commit ahead grow as they fill.
TEST(ZuFeed, RollingWindowStorageIsReservedOnceAndStaysPut) {
  StoreChart c;
  TZUvadoFeed f(c);
  const Integer window = 25000;
  f.SetRollingPoints(window);
  const std::size_t reserved = c.DataItems().StorageBytes();
  EXPECT_GE(reserved, 2 * std::size_t(window) * c.DataItems().SlotBytes());
  EXPECT_EQ(c.NumItems(), 0);
  EXPECT_EQ(c.NumAllocData(), 0);
  double next = 0;
  for (int chunk : {1, 24999, 3, 25000, 12345, 70000, 7, 20000, 20000, 20000, 20000, 9999}) {
    const std::vector<double> x = seq(next, chunk), y(size_t(chunk), 1.0);
    f.Add(x, y);
    f.Drain();
    next += chunk;
    const Integer want = Integer(std::min<double>(window, next));
    ASSERT_EQ(c.NumItems(), want);
    ASSERT_EQ(c.DataItems().StorageBytes(), reserved) << chunk;
    for (Integer i = 0; i < want; i += 97) ASSERT_EQ(c.GetChartItem(i).x, next - want + i);
    ASSERT_EQ(c.GetChartItem(want - 1).x, next - 1);
  }
  c.ClearGraf();
  EXPECT_LT(c.DataItems().StorageBytes(), reserved);
  f.Add(next, 1);
  f.Drain();
  EXPECT_EQ(c.DataItems().StorageBytes(), reserved);
  EXPECT_EQ(c.NumItems(), 1);

  StoreChart big;
  TZUvadoFeed g(big);
  g.SetRollingPoints(20000000);  // over 600 MB ahead: not reserved
  EXPECT_LT(big.DataItems().StorageBytes(), std::size_t(1) << 20);
  g.Add(1, 1);
  g.Drain();
  EXPECT_EQ(big.NumItems(), 1);
}

// Drawing only the new items over the image gives the picture a full repaint gives,
// frame and grid included.
TEST(ZuFeed, NewOnlyPaintingMatchesAFullRepaint) {
  RenderChart fed, whole;
  for (RenderChart* c : {&fed, &whole}) {
    c->SetDataColor(clBlue);
    c->SetGridStyle(gsDotLines);
    c->ShowGraf();
  }
  TZUvadoFeed f(fed);
  std::vector<double> x, y;
  for (int i = 0; i < 3000; ++i) {
    x.push_back(i * 0.1);
    y.push_back(126 + 100 * std::sin(i * 0.05));
  }
  whole.MoveTo(x[0], y[0]);
  for (size_t i = 1; i < x.size(); ++i) whole.DrawTo(x[i], y[i]);
  whole.ShowGraf();
  for (size_t from = 0; from < x.size(); from += 437) {
    const size_t n = std::min<size_t>(437, x.size() - from);
    f.Add(std::span(x).subspan(from, n), std::span(y).subspan(from, n));
    f.Drain();
  }
  const TBitmap& a = *fed.GrafBmp();
  const TBitmap& b = *whole.GrafBmp();
  ASSERT_EQ(a.Width(), b.Width());
  ASSERT_EQ(a.Height(), b.Height());
  EXPECT_EQ(std::memcmp(a.Bits(), b.Bits(), size_t(a.Width()) * size_t(a.Height()) * 4), 0);
  EXPECT_GT(fed.CountArea(clBlue), 300);
}

}  // namespace
