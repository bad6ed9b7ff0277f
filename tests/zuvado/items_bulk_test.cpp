// Bulk entry of points and removal from the front: the same items, counters, slots and
// pictures as the single calls, and a store that survives a rolling window.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/kvrerror.h"
#include "render_util.h"
#include "zu_test_util.h"

namespace kvr {
namespace {

using test::ProbeChart;
using test::RenderChart;

void expect_same_items(const TCustomZUvado& a, const TCustomZUvado& b) {
  ASSERT_EQ(a.NumItems(), b.NumItems());
  EXPECT_EQ(a.NumAllocData(), b.NumAllocData());
  for (Integer i = 0; i < a.NumItems(); ++i) {
    const TrcChartItem p = a.GetChartItem(i), q = b.GetChartItem(i);
    ASSERT_EQ(std::memcmp(&p, &q, sizeof p), 0) << "item " << i;
  }
  for (int k = 0; k < kNumItemKinds; ++k) EXPECT_EQ(a.ItemCount(TrcItem(k)), b.ItemCount(TrcItem(k)));
}

// Points that cross pixel columns back and forth, so the repaint merges and splits runs.
void wave(std::vector<double>& x, std::vector<double>& y, int n) {
  for (int i = 0; i < n; ++i) {
    x.push_back(10 + 300.0 * i / n + (i % 7 == 0 ? -3.5 : 0));
    y.push_back(126 + 100 * std::sin(i * 0.37) + (i % 5) * 0.4);
  }
}

void set_attributes(TCustomZUvado& c) {
  c.SetAllocSize(7);
  c.SetDataColor(0x3060C0);
  c.SetClassDefault(9);
  c.SetActiveLayer(2);
  c.SetDataTag(-44);
  c.SetFillColor(0x102030);
  c.SetLineWidth(1);
}

TEST(ZuBulk, PolylineAndSeriesAppendExactlyTheItemsOfTheSingleCalls) {
  std::vector<double> x, y;
  wave(x, y, 2500);
  std::vector<TRealPoint> pts;
  for (size_t i = 0; i < x.size(); ++i) pts.push_back({x[i], y[i]});

  ProbeChart single, bulk, bulkPts;
  for (TCustomZUvado* c : {(TCustomZUvado*)&single, (TCustomZUvado*)&bulk, (TCustomZUvado*)&bulkPts}) {
    set_attributes(*c);
    c->MarkAt(1.0, 2.0, 3);  // the runs go behind existing items
  }
  single.MoveTo(x[0], y[0]);
  for (size_t i = 1; i < x.size(); ++i) single.DrawTo(x[i], y[i]);
  for (size_t i = 0; i < x.size(); ++i) single.MarkAt(x[i], y[i], 14);
  const int singleProps = single.propagations;

  bulk.DrawPolyline(x, y);
  bulk.MarkSeries(x, y, 14);
  bulkPts.DrawPolyline(pts);
  bulkPts.MarkSeries(pts, 14);

  expect_same_items(single, bulk);
  expect_same_items(single, bulkPts);
  EXPECT_EQ(bulk.GetChartItem(1).ItemKind, tkMoveTo);
  EXPECT_EQ(bulk.ItemCount(tkLineto), 2499);
  // One propagation per call, not per point.
  EXPECT_EQ(singleProps, 1 + 5000);
  EXPECT_EQ(bulk.propagations, 1 + 2);

  // Empty spans append nothing, a one-point polyline is a lone MoveTo.
  bulk.DrawPolyline(std::span<const double>(), std::span<const double>());
  bulk.MarkSeries(std::span<const TRealPoint>(), 1);
  EXPECT_EQ(bulk.NumItems(), single.NumItems());
  const double one = 5;
  bulk.DrawPolyline(std::span<const double>(&one, 1), std::span<const double>(&one, 1));
  EXPECT_EQ(bulk.TypeOfLastItem(), tkMoveTo);
}

TEST(ZuBulk, AnnoModeRoutesTheRunToTheAnnotationsWithoutCountingIt) {
  ProbeChart single, bulk;
  const std::vector<double> x{1, 2, 3}, y{4, 5, 6};
  for (ProbeChart* c : {&single, &bulk}) c->SetAnnoMode(true);
  single.MoveTo(1.0, 4.0);
  single.DrawTo(2.0, 5.0);
  single.DrawTo(3.0, 6.0);
  bulk.DrawPolyline(x, y);
  ASSERT_EQ(bulk.NumAnnos(), 3);
  EXPECT_EQ(bulk.NumItems(), 0);
  EXPECT_EQ(bulk.ItemCount(tkLineto), 0);
  EXPECT_EQ(bulk.propagations, 0);
  for (Integer i = 0; i < 3; ++i) {
    const TrcChartItem p = single.GetAnnoItem(i), q = bulk.GetAnnoItem(i);
    EXPECT_EQ(std::memcmp(&p, &q, sizeof p), 0) << i;
  }
}

TEST(ZuBulk, UnequalSpansRaiseAndAppendNothing) {
  ProbeChart c;
  c.MarkAt(0.0, 0.0, 1);
  const std::vector<double> x{1, 2, 3}, y{1, 2};
  EXPECT_THROW(c.DrawPolyline(x, y), EKvrZUvadoError);
  try {
    c.MarkSeries(y, x, 2);
    FAIL();
  } catch (const EKvrZUvadoError& e) {
    EXPECT_NE(std::string(e.what()).find("MarkSeries"), std::string::npos);
  }
  EXPECT_EQ(c.NumItems(), 1);
  EXPECT_EQ(c.NumAllocData(), 1000);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 1);
  EXPECT_EQ(c.propagations, 1);
  EXPECT_THROW(c.ContinuePolyline(x, y), EKvrZUvadoError);
  EXPECT_EQ(c.NumItems(), 1);
}

TEST(ZuBulk, ContinuePolylineIsADrawToPerPoint) {
  ProbeChart single, bulk;
  std::vector<double> x, y;
  wave(x, y, 300);
  for (ProbeChart* c : {&single, &bulk}) {
    set_attributes(*c);
    c->MoveTo(-1.0, -1.0);
  }
  for (size_t i = 0; i < x.size(); ++i) single.DrawTo(x[i], y[i]);
  bulk.ContinuePolyline(std::span(x).first(100), std::span(y).first(100));
  bulk.ContinuePolyline(std::span(x).subspan(100), std::span(y).subspan(100));
  expect_same_items(single, bulk);
  EXPECT_EQ(bulk.ItemCount(tkLineto), 300);
  EXPECT_EQ(bulk.propagations, 1 + 2);
}

TEST(ZuBulk, SharingPartnersSeeTheRun) {
  TZUvado owner(nullptr), user(nullptr);
  user.SetUseDataOf(&owner);
  const std::vector<double> x{1, 2, 3, 4}, y{4, 3, 2, 1};
  user.MarkSeries(x, y, 5);
  EXPECT_EQ(owner.NumItems(), 4);
  EXPECT_EQ(owner.ItemCount(tkMarkAt), 4);
  EXPECT_EQ(owner.GetChartItem(3).y, 1.0);
  owner.RemoveFirstItems(3);
  EXPECT_EQ(user.NumItems(), 1);
  EXPECT_EQ(user.ItemCount(tkMarkAt), 1);
  EXPECT_EQ(user.GetChartItem(0).x, 4.0);
}

TEST(ZuBulk, BulkRunsRepaintWithThePixelsOfTheSingleCalls) {
  std::vector<double> x, y;
  wave(x, y, 20000);
  RenderChart single, bulk;
  for (RenderChart* c : {&single, &bulk}) {
    c->SetSuppressPaint(true);
    c->SetDataColor(0x2040A0);
  }
  single.MoveTo(x[0], y[0]);
  for (size_t i = 1; i < x.size(); ++i) single.DrawTo(x[i], y[i]);
  bulk.DrawPolyline(x, y);
  for (RenderChart* c : {&single, &bulk}) c->SetDataColor(0xA02040);
  for (size_t i = 0; i < x.size(); i += 9) single.MarkAt(x[i], y[i], 11);
  std::vector<double> mx, my;
  for (size_t i = 0; i < x.size(); i += 9) {
    mx.push_back(x[i]);
    my.push_back(y[i]);
  }
  bulk.MarkSeries(mx, my, 11);
  for (RenderChart* c : {&single, &bulk}) {
    c->SetSuppressPaint(false);
    c->Repaint();
  }
  int differ = 0;
  for (int py = 0; py < 300; ++py)
    for (int px = 0; px < 400; ++px) differ += single.Ctl(px, py) != bulk.Ctl(px, py);
  EXPECT_EQ(differ, 0);
  EXPECT_GT(bulk.CountArea(0x2040A0), 300);
}

TEST(ZuBulk, RemoveFirstItemsKeepsOrderCountersSlotsAndTheShownMark) {
  ProbeChart c;
  c.SetAllocSize(100);
  std::vector<double> x, y;
  for (int i = 0; i < 1000; ++i) {
    x.push_back(i);
    y.push_back(-i);
  }
  c.DrawPolyline(x, y);
  c.MarkSeries(x, y, 2);
  const Integer slots = c.NumAllocData();
  c.ShowGrafNewOnly();
  c.RemoveFirstItems(0);
  c.RemoveFirstItems(-5);
  EXPECT_EQ(c.NumItems(), 2000);

  c.RemoveFirstItems(1);
  EXPECT_EQ(c.ItemCount(tkMoveTo), 0);
  EXPECT_EQ(c.ItemCount(tkLineto), 999);
  EXPECT_EQ(c.TypeOfFirstItem(), tkLineto);
  c.RemoveFirstItems(1200);
  EXPECT_EQ(c.NumItems(), 799);
  EXPECT_EQ(c.ItemCount(tkLineto), 0);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 799);
  EXPECT_EQ(c.GetChartItem(0).x, 201.0);
  EXPECT_EQ(c.GetChartItem(798).x, 999.0);
  EXPECT_EQ(c.NumAllocData(), slots);  // removal never shrinks the slots

  // Appending after a removal from the front: order and single-call bookkeeping hold.
  c.MarkAt(5000.0, 1.0, 2);
  EXPECT_EQ(c.NumItems(), 800);
  EXPECT_EQ(c.GetChartItem(799).x, 5000.0);
  EXPECT_EQ(c.SearchDataItem(0, 0, 0, kAnyClass, tkMarkAt), 0);

  c.RemoveFirstItems(800);
  EXPECT_EQ(c.NumItems(), 0);
  EXPECT_EQ(c.NumAllocData(), 0);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 0);
  EXPECT_EQ(c.TypeOfLastItem(), tkNone);
  c.RemoveFirstItems(3);  // empty: nothing happens
  EXPECT_EQ(c.NumItems(), 0);
}

// A window of fixed length that slides over many times its own length, through every
// relation of gap, items and storage; compared with a plain model.
TEST(ZuBulk, RollingWindowKeepsTheRightItemsThroughEveryGapAndGrowth) {
  for (const Integer step : {1, 1000, 5000}) {
    TRcItemContainer c;
    std::vector<double> model;
    size_t first = 0;
    double next = 0;
    TrcChartItem it{};
    for (int frame = 0; frame < 400; ++frame) {
      const int add = 37 + (frame * 13) % 700;
      if (frame % 3 == 0) {
        TrcChartItem* s = c.AppendSlots(size_t(add), step);
        for (int i = 0; i < add; ++i) {
          s[i] = it;
          s[i].x = next;
          model.push_back(next++);
        }
      } else {
        for (int i = 0; i < add; ++i) {
          it.x = next;
          c.Append(it, step);
          model.push_back(next++);
        }
      }
      const Integer window = 3000;
      const Integer drop = c.Count() > window ? c.Count() - window : 0;
      c.RemoveFirst(drop);
      first += size_t(drop);
      ASSERT_EQ(size_t(c.Count()), model.size() - first);
      ASSERT_GE(c.NumAlloc(), c.Count());
      for (Integer i = 0; i < c.Count(); i += 211) ASSERT_EQ(c[i].x, model[first + size_t(i)]);
      ASSERT_EQ(c[c.Count() - 1].x, model.back());
      // A window of fixed size runs in storage of bounded size: the gap is closed once it
      // pays for the move, instead of the storage doubling again and again.
      ASSERT_LE(c.Capacity(), size_t(4 * (window + step + 736))) << "frame " << frame;
    }
    TRcItemContainer copy(c);
    ASSERT_EQ(copy.Count(), c.Count());
    EXPECT_EQ(copy[0].x, c[0].x);
  }
}

TEST(ZuBulk, AppendSlotsLeavesNumAllocWhereSingleAppendsDo) {
  for (const Integer step : {1, 3, 1000}) {
    for (const size_t n : {size_t(1), size_t(2), size_t(999), size_t(1000), size_t(1001), size_t(4321)}) {
      TRcItemContainer one, many;
      TrcChartItem it{};
      one.Append(it, step);
      many.Append(it, step);
      for (size_t i = 0; i < n; ++i) one.Append(it, step);
      many.AppendSlots(n, step);
      EXPECT_EQ(one.Count(), many.Count());
      EXPECT_EQ(one.NumAlloc(), many.NumAlloc()) << step << " " << n;
    }
  }
}

}  // namespace
}  // namespace kvr
