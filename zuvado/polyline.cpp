// The polyline buffer that turns runs of pen-connected points into few canvas calls,
// and the merging of points that stay in one pixel column before they enter it.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "zuvado/customzuvado.h"

namespace kvr {
namespace {

// Whether DrawTo item b carries on the dense run that DrawTo item a began: same look,
// class and layer, in world coordinates.
bool continues_line_run(const TrcChartItem& a, const TrcChartItem& b) {
  return b.ItemKind == tkLineto && b.CoordMode == cmAllWorld && b.Color == a.Color &&
         b.FillColor == a.FillColor && b.PenStyle == a.PenStyle && b.LWid == a.LWid &&
         b.ItemClass == a.ItemClass && b.Layer == a.Layer;
}

}  // namespace

void TCustomZUvado::SetPolylinePenPos(Integer x, Integer y) {
  FLastMoveToX = x;
  FLastMoveToY = y;
}

// A full batch is drawn at once and its last point opens the next one, so the batches
// join without a gap and without drawing that point twice as a separate segment.
void TCustomZUvado::EnterPolyline(Integer x, Integer y, TCanvas* Canvas) {
  if (FNumPPa == 0) {
    FPPa[0] = TPoint{FLastMoveToX, FLastMoveToY};
    FNumPPa = 1;
  }
  FPPa[size_t(FNumPPa++)] = TPoint{x, y};
  if (FNumPPa == kPolylineBatch) {
    FinishPolyLine(Canvas);
    FPPa[0] = TPoint{x, y};
    FNumPPa = 1;
  }
}

// A single buffered point (a batch that ended exactly on a full buffer) has nothing to
// draw; the pen already stands there.
void TCustomZUvado::FinishPolyLine(TCanvas* Canvas) {
  if (FNumPPa == 0) return;
  const TPoint last = FPPa[size_t(FNumPPa - 1)];
  if (Canvas) {
    if (FNumPPa >= 2) Canvas->Polyline(std::span<const TPoint>(FPPa.data(), size_t(FNumPPa)));
    Canvas->MoveTo(last.X, last.Y);
  }
  FLastMoveToX = last.X;
  FLastMoveToY = last.Y;
  FNumPPa = 0;
}

TPoint TCustomZUvado::LineTail() const {
  return FNumPPa > 0 ? FPPa[size_t(FNumPPa - 1)] : TPoint{FLastMoveToX, FLastMoveToY};
}

// In one pixel column a run of connected points covers exactly the span between its
// lowest and highest point, so first -> lowest -> highest -> last draws the same pixels
// with at most three points. Only for solid one-pixel pens in copy mode, where neither
// the dash phase, the line ends nor the order of overdraw can show.
void TCustomZUvado::AddLinePoint(Integer x, Integer y, TCanvas* Canvas) {
  if (!FPassMerge || FLastPenStyle != psSolid || FLastLWidth > 1) {
    EnterPolyline(x, y, Canvas);
    return;
  }
  if (!FRunActive) {
    const TPoint t = LineTail();
    FRunActive = true;
    FRunPending = false;
    FRunX = t.X;
    FRunMin = FRunMax = FRunLast = t.Y;
  }
  if (x == FRunX) {
    FRunMin = std::min(FRunMin, y);
    FRunMax = std::max(FRunMax, y);
    FRunLast = y;
    FRunPending = true;
    return;
  }
  if (FRunPending) EnterColumnRun(Canvas);
  EnterPolyline(x, y, Canvas);
  FRunX = x;
  FRunMin = FRunMax = FRunLast = y;
  FRunPending = false;
}

// The attributes compared are all that DrawContainerItemOnCanvas reads for a world
// tkLineto, so every point takes the path the single item would take, minus the
// per-item dispatch.
Integer TCustomZUvado::AddLineRun(TCanvas* Canvas, TRcItemContainer::Reader& Items, Integer i,
                                  Integer n) {
  const TrcChartItem a = Items[i];
  if (a.ItemKind != tkLineto || a.CoordMode != cmAllWorld) return i;
  const TLayerMap& M = FPassMap[a.Layer >= 2 ? 1 : 0];
  const int64_t mx = FPassMarginX, my = FPassMarginY;
  return Items.TakeWhile(
             i + 1, n, [&](const TrcChartItem& b) { return continues_line_run(a, b); },
             [&](double x, double y) {
               AddLinePoint(ClampItemPix(int64_t(M.X.Map(x)) + mx), ClampItemPix(int64_t(M.Y.Map(y)) + my),
                            Canvas);
             }) -
         1;
}

// Points equal to the one before add nothing to the picture.
void TCustomZUvado::EnterColumnRun(TCanvas* Canvas) {
  for (const Integer v : {FRunMin, FRunMax, FRunLast})
    if (LineTail().Y != v) EnterPolyline(FRunX, v, Canvas);
}

// Smooth drawing keeps the points' fractions, but a pixel column still takes only its
// first, lowest, highest and last point, in their order: the stroke covers the same span
// (a finer column costs the speed of the million-point curve, as the benchmark shows).
namespace {
constexpr double kColumnsPerPixel = 1.0;

int64_t precise_column(double x) { return int64_t(std::floor(x * kColumnsPerPixel + 0.5)); }
}  // namespace

void TCustomZUvado::AddPrecisePoint(TPointDouble p) {
  if (!FPassPreciseMerge || FLastPenStyle != psSolid || FLastLWidth > 1) {
    FPColOpen = false;
    FPreciseRun.push_back(p);
    return;
  }
  if (!FPColOpen && !FPreciseRun.empty()) {
    const TPointDouble t = FPreciseRun.back();
    FPColOpen = true;
    FPCol = precise_column(t.X);
    FPColMin = FPColMax = FPColLast = t;
    FPColMaxFirst = false;
    FPColCount = 0;
  }
  if (FPColOpen && precise_column(p.X) == FPCol) {
    if (FPColCount < int(FPColPts.size())) FPColPts[size_t(FPColCount)] = p;
    ++FPColCount;
    if (p.Y < FPColMin.Y) {
      FPColMin = p;
      FPColMaxFirst = true;
    } else if (p.Y > FPColMax.Y) {
      FPColMax = p;
      FPColMaxFirst = false;
    }
    FPColLast = p;
    return;
  }
  EnterPreciseColumn();
  FPreciseRun.push_back(p);
  FPColOpen = true;
  FPCol = precise_column(p.X);
  FPColMin = FPColMax = FPColLast = p;
  FPColMaxFirst = false;
  FPColCount = 0;
}

// The column's first point is in the run already; points equal to the one before add
// nothing.
void TCustomZUvado::EnterPreciseColumn() {
  if (!FPColOpen) return;
  FPColOpen = false;
  // A sparse column goes as it is: merging would only bend it.
  if (FPColCount <= int(FPColPts.size())) {
    for (int i = 0; i < FPColCount; ++i) FPreciseRun.push_back(FPColPts[size_t(i)]);
    return;
  }
  // The extremes stand on the column's centre, so the stroke between them fills the
  // whole column as the dense points do.
  const double cx = double(FPCol) / kColumnsPerPixel;
  TPointDouble a = FPColMaxFirst ? FPColMax : FPColMin, b = FPColMaxFirst ? FPColMin : FPColMax;
  a.X = b.X = cx;
  for (const TPointDouble& q : {a, b, FPColLast}) {
    const TPointDouble& t = FPreciseRun.back();
    if (q.X != t.X || q.Y != t.Y) FPreciseRun.push_back(q);
  }
}

// The bulk twin of AddLineRun for the sub-pixel path: the same attributes end the run.
Integer TCustomZUvado::AddPreciseLineRun(TRcItemContainer::Reader& Items, Integer i, Integer n) {
  const TrcChartItem a = Items[i];
  if (a.ItemKind != tkLineto || a.CoordMode != cmAllWorld || FPreciseRun.empty()) return i;
  const TLayerMap& M = FPassMap[a.Layer >= 2 ? 1 : 0];
  const double mx = FPassMarginX, my = FPassMarginY, lim = double(kItemClamp);
  auto clamp = [lim](double v) { return v >= -lim ? std::min(v, lim) : -lim; };
  return Items.TakeWhile(
             i + 1, n, [&](const TrcChartItem& b) { return continues_line_run(a, b); },
             [&](double x, double y) {
               AddPrecisePoint(TPointDouble{clamp(M.X.Pixel(x) + mx), clamp(M.Y.Pixel(y) + my)});
             }) -
         1;
}

void TCustomZUvado::FlushLine(TCanvas* Canvas) {
  if (!FPreciseRun.empty()) FlushPreciseLine(Canvas);
  if (FRunActive && FRunPending) EnterColumnRun(Canvas);
  FRunActive = false;
  FinishPolyLine(Canvas);
}

}  // namespace kvr
