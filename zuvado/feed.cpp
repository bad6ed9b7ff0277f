// Live points handed from acquisition threads to a chart (threading contract in feed.h).
#include "zuvado/feed.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>
#include <utility>

#include "platform/pagedblock.h"

namespace kvr {

namespace {

// Windows whose storage would exceed this (about 16 million points kept compactly)
// commit their memory as they fill instead: a slow feed should not hold gigabytes it may
// never use.
constexpr std::size_t kMaxReservedBytes = std::size_t(512) << 20;

}  // namespace

TZUvadoFeed::TZUvadoFeed(TCustomZUvado& Chart) : FChart(Chart) {}

void TZUvadoFeed::Add(double x, double y) {
  const std::lock_guard<std::mutex> g(FLock);
  FIn.X.push_back(x);
  FIn.Y.push_back(y);
}

void TZUvadoFeed::Add(std::span<const double> X, std::span<const double> Y) {
  if (X.size() != Y.size())
    throw EKvrZUvadoError("TZUvadoFeed.Add: " + std::to_string(X.size()) + " x values but " +
                          std::to_string(Y.size()) + " y values");
  const std::lock_guard<std::mutex> g(FLock);
  FIn.X.insert(FIn.X.end(), X.begin(), X.end());
  FIn.Y.insert(FIn.Y.end(), Y.begin(), Y.end());
}

std::size_t TZUvadoFeed::Pending() const {
  const std::lock_guard<std::mutex> g(FLock);
  return FIn.X.size();
}

void TZUvadoFeed::SetRollingPoints(Integer N) {
  FRollPoints = N > 0 ? N : 0;
  ReserveWindow();
}

// The window, as much again for the newest drain (a drain enters at most a window of
// points), NumAlloc's step, and the partial huge page that stays in front when the
// oldest items' pages are handed to the end: then no drain grows the storage.
void TZUvadoFeed::ReserveWindow() {
  if (FRollPoints <= 0) return;
  const std::size_t slot = FChart.DataItems().SlotBytes();
  const std::size_t slots = 2 * std::size_t(FRollPoints) + std::size_t(FChart.AllocSize()) +
                            detail::PagedBlock::kHugePage / slot + 1;
  if (slots > kMaxReservedBytes / slot) return;
  try {
    FChart.DataItems().Reserve(slots);
  } catch (const std::bad_alloc&) {
    // Appending commits the memory as it goes, as without a reservation.
  }
}

std::size_t TZUvadoFeed::Drain() {
  ReserveWindow();
  {
    // FOut is empty here and keeps its capacity, so the producers' next points go into
    // memory that is already there.
    const std::lock_guard<std::mutex> g(FLock);
    std::swap(FIn, FOut);
  }
  const std::size_t n = FOut.X.size();
  if (n == 0) return 0;
  const Integer first = FChart.NumItems();
  const Integer excess = ExcessItems(FOut.X);
  // Points that the window drops again in this same drain never enter the chart: after a
  // long pause (or a producer faster than the repaint) a drain would otherwise append and
  // remove millions of items that are never seen.
  const std::size_t skip = std::size_t(std::max<Integer>(0, excess - first));
  MoveToChart(std::span<const double>(FOut.X).subspan(skip), std::span<const double>(FOut.Y).subspan(skip),
              excess - Integer(skip));
  FOut.X.clear();
  FOut.Y.clear();
  FDrained += n;
  if (Rolling())
    Scroll();
  else
    FChart.ShowGrafFrom(first);
  return n;
}

Integer TZUvadoFeed::ExcessItems(std::span<const double> NewX) const {
  const int64_t have = FChart.NumItems();
  const int64_t total = have + int64_t(NewX.size());
  int64_t excess = 0;
  if (FRollPoints > 0) excess = std::max<int64_t>(0, total - FRollPoints);
  if (FRollSpan > 0 && !NewX.empty() && std::isfinite(NewX.back())) {
    const double cut = NewX.back() - FRollSpan;
    // x does not decrease, so the leaving items are a prefix: scan only that far.
    int64_t k = excess;
    TRcItemContainer::Reader items(FChart.DataItems());
    while (k < have && items[Integer(k)].x < cut) ++k;
    if (k >= have)
      while (k < total && NewX[size_t(k - have)] < cut) ++k;
    excess = std::max(excess, k);
  }
  return Integer(std::min<int64_t>(excess, total));
}

// Points enter through the bulk calls (one sweep, partners updated once), and the leaving
// items go from the front of the store without moving the ones that stay.
void TZUvadoFeed::MoveToChart(std::span<const double> X, std::span<const double> Y,
                              Integer RemoveFirst) {
  TCustomZUvado& c = FChart;
  const bool anno = c.AnnoMode();
  if (anno) c.SetAnnoMode(false);
  if (FMark != 0) {
    c.MarkSeries(X, Y, FMark);
  } else if (!X.empty()) {
    const TrcItem last = c.NumItems() > 0 ? c.TypeOfLastItem() : tkNone;
    if (FBreak || (last != tkLineto && last != tkMoveTo))
      c.DrawPolyline(X, Y);
    else
      c.ContinuePolyline(X, Y);
  }
  FBreak = false;
  if (RemoveFirst > 0) {
    c.RemoveFirstItems(RemoveFirst);
    // The line now starts at its oldest kept point, which must not be joined to the
    // pen's start position.
    if (c.NumItems() > 0 && c.TypeOfFirstItem() == tkLineto) {
      TrcChartItem it = c.GetChartItem(0);
      it.ItemKind = tkMoveTo;
      c.SetItemParams(0, it);
    }
  }
  if (anno) c.SetAnnoMode(true);
}

// The x range of the items' layer ends at the newest point and spans the rolling window
// (or, by count alone, reaches back to the oldest kept point). The axis keeps its
// direction. ForceRange repaints the whole chart, axes included.
void TZUvadoFeed::Scroll() {
  TCustomZUvado& c = FChart;
  const Integer n = c.NumItems();
  if (n == 0) return;
  const Integer layer = c.ActiveLayer();
  const double hi = c.GetChartItem(n - 1).x;
  double lo = c.GetChartItem(0).x;
  if (FRollSpan > 0) lo = std::max(lo, hi - FRollSpan);
  if (FRollSpan > 0 && FRollPoints == 0) lo = hi - FRollSpan;
  const TScaleProps& PX = *c.GetScalePropsX(layer);
  const TScaleProps& PY = *c.GetScalePropsY(layer);
  if (!(std::isfinite(lo) && std::isfinite(hi) && lo < hi)) {
    c.ShowGraf();
    return;
  }
  const bool reversed = PX.RangeLow() > PX.RangeHigh();
  c.ForceRange(layer, reversed ? hi : lo, PY.RangeLow(), reversed ? lo : hi, PY.RangeHigh(),
               false, false);
}

}  // namespace kvr
