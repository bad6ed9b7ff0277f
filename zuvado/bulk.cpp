// Bulk entry of points and removal from the front of the data container.
#include <string>

#include "platform/kvrerror.h"
#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

static_assert(sizeof(TRealPoint) == 2 * sizeof(double) && offsetof(TRealPoint, y) == sizeof(double));

void check_lengths(const char* Call, std::size_t NX, std::size_t NY) {
  if (NX != NY)
    RaiseKvrError<EKvrZUvadoError>(std::string("ZUvado: ") + Call + " needs as many y values as x values (" +
                                   std::to_string(NX) + " x, " + std::to_string(NY) + " y)");
}

}  // namespace

// The container keeps the run compactly (itemstore.h); the counters and the partners are
// updated once for the whole run.
void TCustomZUvado::AppendPointRun(const TrcChartItem& First, const TrcChartItem& Rest,
                                   const double* X, const double* Y, std::size_t Stride,
                                   std::size_t N) {
  if (N == 0) return;
  TRcItemContainer& target = FAnnoMode ? FAnnoContainer : *FDataContainer;
  target.AppendPoints(First, Rest, X, Y, Stride, N, FAllocSize);
  if (FAnnoMode) return;
  CountKind(First.ItemKind, 1);
  CountKind(Rest.ItemKind, Integer(N - 1));
  AdjustCanInfoOfSharedCharts();
}

void TCustomZUvado::DrawPolyline(std::span<const double> X, std::span<const double> Y) {
  check_lengths("DrawPolyline", X.size(), Y.size());
  AppendPointRun(NewItem(tkMoveTo, cmAllWorld), NewItem(tkLineto, cmAllWorld), X.data(),
                 Y.data(), 1, X.size());
}

void TCustomZUvado::DrawPolyline(std::span<const TRealPoint> P) {
  if (P.empty()) return;
  AppendPointRun(NewItem(tkMoveTo, cmAllWorld), NewItem(tkLineto, cmAllWorld), &P[0].x,
                 &P[0].y, 2, P.size());
}

void TCustomZUvado::ContinuePolyline(std::span<const double> X, std::span<const double> Y) {
  check_lengths("ContinuePolyline", X.size(), Y.size());
  const TrcChartItem it = NewItem(tkLineto, cmAllWorld);
  AppendPointRun(it, it, X.data(), Y.data(), 1, X.size());
}

void TCustomZUvado::MarkSeries(std::span<const double> X, std::span<const double> Y, Byte mk) {
  check_lengths("MarkSeries", X.size(), Y.size());
  TrcChartItem it = NewItem(tkMarkAt, cmAllWorld);
  it.Param3 = mk;
  AppendPointRun(it, it, X.data(), Y.data(), 1, X.size());
}

void TCustomZUvado::MarkSeries(std::span<const TRealPoint> P, Byte mk) {
  if (P.empty()) return;
  TrcChartItem it = NewItem(tkMarkAt, cmAllWorld);
  it.Param3 = mk;
  AppendPointRun(it, it, &P[0].x, &P[0].y, 2, P.size());
}

// The removed items are counted by kind a stretch at a time; the items that stay are not
// moved but for the occasional closing of the gap (slotarray.h).
void TCustomZUvado::RemoveFirstItems(Integer Count) {
  TRcItemContainer& c = *FDataContainer;
  if (Count <= 0 || c.Count() == 0) return;
  if (Count >= c.Count()) {
    // As RemoveItem of the only item: emptied as ClearGraf does, long texts stay.
    c.Clear();
    FItemCount.fill(0);
    FLastElemOnShow = 0;
  } else {
    c.ForEachStretch(0, Count, [&](const TrcChartItem& it, Integer n) { CountKind(it.ItemKind, -n); });
    c.RemoveFirst(Count);
    FLastElemOnShow = FLastElemOnShow > Count ? FLastElemOnShow - Count : 0;
  }
  AdjustCanInfoOfSharedCharts();
}

}  // namespace kvr
