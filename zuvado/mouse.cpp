// Mouse interaction: chart actions by MouseAction, axis drags, bands, the mouse box.
//
// A left drag keeps its anchors (pixel and the ranges of both pairs) from its first
// move; pans and zooms are always computed from the anchor, never incrementally, so
// rounding does not accumulate. Bands are drawn with an exclusive-or pen straight on the
// window surface and removed by drawing them again.
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "platform/arith.h"
#include "platform/forms.h"
#include "platform/math1.h"
#include "platform/paintguard.h"
#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

constexpr Integer kAxisZone = 50;  // pixels beyond an axis line that still drag it

// Screen cursor numbers the chart registers for its mouse actions.
constexpr TCursor crChartPan = 1;
constexpr TCursor crChartZoomWind = 2;
constexpr TCursor crChartZoomDrag = 3;
constexpr TCursor crChartZoomWindPos = 4;

// Marks one step of a drag for its duration, also when a range operation raises.
struct DragStep {
  bool& Flag;
  bool Saved;
  explicit DragStep(bool& f) : Flag(f), Saved(f) { Flag = true; }
  ~DragStep() { Flag = Saved; }
  DragStep(const DragStep&) = delete;
  DragStep& operator=(const DragStep&) = delete;
};

bool is_window_mode(TMouseActMode m) {
  return m == maRubberBand || m == maZoomWind || m == maZoomWindPos || m == maSelectRect;
}

bool is_pan_mode(TMouseActMode m) {
  return m == maPan || m == maPanHoriz || m == maPanVert || m == maPanGrid;
}

// Never std::clamp: a chart area narrower than nothing has hi < lo.
Integer clamp_into(Integer v, Integer lo, Integer hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Cursor of the chart area per MouseAction; false keeps the current one.
bool cursor_of(TMouseActMode m, TCursor& c) {
  switch (m) {
    case maNone: c = crCross; return true;
    case maPan:
    case maPanHoriz:
    case maPanVert:
    case maPanGrid: c = crChartPan; return true;
    case maZoomWind: c = crChartZoomWind; return true;
    case maZoomDrag: c = crChartZoomDrag; return true;
    case maZoomWindPos: c = crChartZoomWindPos; return true;
    case maRubberBand:
    case maDragCrossHair:
    case maDragLabel:
    case maSelectRect: c = crDefault; return true;
    default: return false;
  }
}

// Pans one axis by s pixels of world movement (positive s raises the range).
void pan_axis(long double& lo, long double& hi, double aLo, double aHi, bool Log, long double s,
              Integer Extent) {
  if (Extent < 1) return;
  if (!Log) {
    const long double d = s * ((long double)aHi - aLo) / Extent;
    lo = aLo + d;
    hi = aHi + d;
  } else if (aLo > 0 && aHi > 0) {
    const long double f = std::exp(s * std::log((long double)aHi / aLo) / Extent);
    lo = aLo * f;
    hi = aHi * f;
  }
}

// The low end snaps to the grid and the high end follows, so the width is kept.
void snap_axis(long double& lo, long double& hi, double Step, double Offs) {
  if (!(Step > 0)) return;
  const long double snapped = std::trunc(lo / Step) * Step + Offs;
  hi += snapped - lo;
  lo = snapped;
}

// Scales the anchor range by f about its centre; a logarithmic axis zooms about the
// geometric centre, which is the centre on the screen and keeps both limits positive.
void zoom_axis(long double& lo, long double& hi, double aLo, double aHi, bool Log, long double f) {
  if (!Log || (aLo > 0 && aHi > 0)) ZoomAboutCentre<long double>(aLo, aHi, Log, f, lo, hi);
}

}  // namespace

void TCustomZUvado::ResetMouse() {
  static constexpr std::pair<TCursor, const char*> kCursors[] = {
      {crChartPan, "CURHAND"}, {crChartZoomWind, "CURZOOMW"}, {crChartZoomDrag, "CURZOOMD"},
      {crChartZoomWindPos, "CURZOOMP"}};
  for (const auto& [id, name] : kCursors) Screen().SetCursors(id, LoadCursor(name));
  FMouseCursorFixed = true;
  FWheelZoom = false;
  FPanGridDx = FPanGridDy = 1;
  FPanGridOffsX = FPanGridOffsY = 0;
  FMousePosX = FMousePosY = 0;
  LButtonWasDown = false;
  FDragFromAxis = false;
  FZoomState = 0;
  MouseBoxState = mbsIdle;
  FWasDblClk = false;
  FSwallowMouseUp = false;
  FBandShown = FBoxShown = false;
  CHNext = TLNext = 1;
}

bool TCustomZUvado::InChartArea(Integer X, Integer Y) const {
  return FRcLRim <= X && X <= AreaRight() && FRcTRim <= Y &&
         Y <= AreaBottom();
}

void TCustomZUvado::ClampToChartArea(Integer& X, Integer& Y) const {
  X = clamp_into(X, FRcLRim, AreaRight());
  Y = clamp_into(Y, FRcTRim, AreaBottom());
}

bool TCustomZUvado::MouseRangesUsable() const {
  const bool wide = AreaWidth() >= 1, high = AreaHeight() >= 1;
  for (size_t i = 0; i < 2; ++i) {
    const TScaleProps& X = *FScalePropsX[i];
    const TScaleProps& Y = *FScalePropsY[i];
    if (wide && X.FLogAx && !(X.FRangeLow > 0 && X.FRangeHigh > 0)) return false;
    if (high && Y.FLogAx && !(Y.FRangeLow > 0 && Y.FRangeHigh > 0)) return false;
  }
  return true;
}

void TCustomZUvado::StoreMouseAnchors(Integer X, Integer Y) {
  for (size_t i = 0; i < 2; ++i) {
    FMAnchorScrX[i] = X;
    FMAnchorScrY[i] = Y;
    FMAnchorRcLoX[i] = FScalePropsX[i]->FRangeLow;
    FMAnchorRcHiX[i] = FScalePropsX[i]->FRangeHigh;
    FMAnchorRcLoY[i] = FScalePropsY[i]->FRangeLow;
    FMAnchorRcHiY[i] = FScalePropsY[i]->FRangeHigh;
  }
}

void TCustomZUvado::XorBand(bool Line, Integer x1, Integer y1, Integer x2, Integer y2) {
  TCanvas* cv = Canvas();
  TPen& pen = *cv->Pen();
  TBrush& brush = *cv->Brush();
  pen.SetMode(pmXor);
  pen.SetColor(clWhite);
  pen.SetStyle(psSolid);
  pen.SetWidth(1);
  brush.SetStyle(bsClear);
  if (Line) {
    cv->MoveTo(x1, y1);
    cv->LineTo(x2, y2);
  } else {
    cv->Rectangle(x1, y1, x2, y2);
  }
  pen.SetMode(pmCopy);
  brush.SetStyle(bsSolid);
  SurfaceChanged();
}

void TCustomZUvado::EraseWindowBand() {
  if (!FBandShown) return;
  XorBand(FBandMode == maRubberBand, WindAnchorX, WindAnchorY, WindOldCornerX, WindOldCornerY);
  FBandShown = false;
}

void TCustomZUvado::EraseMouseBoxBand() {
  if (!FBoxShown) return;
  XorBand(false, MouseBoxX1, MouseBoxY1, MouseBoxX2, MouseBoxY2);
  FBoxShown = false;
}

void TCustomZUvado::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (FWasDblClk) {
    FWasDblClk = false;
    FSwallowMouseUp = true;
    return;
  }
  FSwallowMouseUp = false;
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (MouseBoxState == mbsWaiting) {
    if (Button == mbRight) {
      MouseBoxState = mbsIdle;
    } else {
      MouseBoxX1 = MouseBoxX2 = X;
      MouseBoxY1 = MouseBoxY2 = Y;
      MouseBoxState = mbsDragging;
    }
    // The press belongs to the box; the chart's own action does not start.
    return;
  }
  if (MouseBoxState == mbsDragging) return;
  if (is_window_mode(FMouseAction) && FZoomState == 0 && Button == mbLeft && InChartArea(X, Y)) {
    FZoomState = 1;
    FBandMode = FMouseAction;
    WindAnchorX = WindOldCornerX = X;
    WindAnchorY = WindOldCornerY = Y;
    FBandShown = false;
  }
}

void TCustomZUvado::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  LastMouseX = X;
  LastMouseY = Y;
  TCustomControl::MouseMove(Shift, X, Y);
  const bool left = Shift.Contains(ssLeft);

  if (MouseBoxState == mbsDragging) {
    ClampToChartArea(X, Y);
    EraseMouseBoxBand();
    MouseBoxX2 = X;
    MouseBoxY2 = Y;
    XorBand(false, MouseBoxX1, MouseBoxY1, X, Y);
    FBoxShown = true;
  }

  // While a mouse box is being entered the chart itself stays put, so that the box's
  // corners keep their world meaning.
  if (MouseBoxState == mbsIdle || MouseBoxState == mbsDone) {
    if (!left) {
      LButtonWasDown = false;
      FDragFromAxis = false;
    } else if (!LButtonWasDown) {
      if (DetectScale(X, Y) != 0) {
        StoreMouseAnchors(X, Y);
        LButtonWasDown = true;
        FDragFromAxis = true;
      }
    } else if (FZoomState != 1) {
      AxisDragMove(X, Y);
    }

    switch (FMouseAction) {
      case maPan:
      case maPanHoriz:
      case maPanVert:
      case maPanGrid:
      case maZoomDrag:
        if (!left) break;
        if (!LButtonWasDown) {
          StoreMouseAnchors(X, Y);
          LButtonWasDown = true;
        } else if (InChartArea(X, Y)) {
          if (FMouseAction == maZoomDrag)
            DragZoomMove(X, Y);
          else
            PanMove(X, Y);
        }
        break;
      case maDragCrossHair:
        if (left && InChartArea(X, Y)) CrossHairDragMove(X, Y);
        break;
      case maDragLabel:
        if (left) {
          TextLabelDragMove(X, Y);
          LButtonWasDown = true;
        }
        break;
      case maMouseTrace:
        if (FZoomState == 0 && left) MouseTraceMove(X, Y);
        break;
      default:
        break;
    }
    // A band belongs to the mode it was started in, even if MouseAction changed since.
    if (FZoomState == 1) WindowMove(X, Y);
  }

  UpdateMouseCursor(X, Y);
}

void TCustomZUvado::UpdateMouseCursor(Integer X, Integer Y) {
  double wx, wy;
  M2R(FActiveLayer, X, Y, wx, wy);
  TCursor c = crDefault;
  if (InChartArea(X, Y)) {
    FMousePosX = wx;
    FMousePosY = wy;
    if (!FMouseCursorFixed && !cursor_of(FMouseAction, c)) return;
  }
  Screen().SetCursor(c);
  FChartCursorSet = c != crDefault;
}

void TCustomZUvado::MouseLeave() {
  TCustomControl::MouseLeave();
  // The screen cursor shows over every control: the chart's must not follow the pointer
  // out of the chart.
  if (FChartCursorSet) {
    FChartCursorSet = false;
    Screen().SetCursor(crDefault);
  }
}

void TCustomZUvado::AxisDragMove(Integer X, Integer Y) {
  if (!MouseRangesUsable()) return;
  const DragStep step(FDragStep);
  const Integer W = Width(), H = Height();
  const Integer R = W - FRcRRim - F3DRim, B = H - FRcBRim - F3DRim;
  // The shadow rim counts as margin, so Rescale sees the same extent as the mapping.
  const Integer MR = FRcRRim + F3DRim, MB = FRcBRim + F3DRim;
  auto hold = detail::suppress_paint_then_resume(FSuppressPaint, *this);
  bool any = false;
  for (Integer k = 1; k <= 2; ++k) {
    const size_t i = size_t(k - 1);
    const TScaleProps& PX = *FScalePropsX[i];
    const TScaleProps& PY = *FScalePropsY[i];
    double lo, hi;
    if (PX.MouseAction() != maNone && FRcLRim < X && X < R) {
      const Integer o = PX.ScalePos();
      const Integer line = PX.ScaleType() == sctTop ? FRcTRim - o : H - FRcBRim + o;
      const bool zone = PX.ScaleType() == sctTop ? line - kAxisZone < Y && Y < line
                                                  : line < Y && Y < line + kAxisZone;
      if (zone && Rescale(X, Y, FMAnchorScrX[i], FMAnchorScrY[i], W, H, FRcLRim, MR, FRcTRim, MB,
                          FMAnchorRcLoX[i], FMAnchorRcHiX[i], PX.MouseAction(), PX.ScaleType(),
                          PX.FLogAx, PX.FRangeLow, PX.FRangeHigh, lo, hi)) {
        ForceRange(k, lo, PY.FRangeLow, hi, PY.FRangeHigh, false, true);
        any = true;
      }
    }
    if (PY.MouseAction() != maNone && FRcTRim < Y && Y < B) {
      const Integer o = PY.ScalePos();
      const Integer line = PY.ScaleType() == sctRight ? W - FRcRRim + o : FRcLRim - o;
      const bool zone = PY.ScaleType() == sctRight ? line < X && X < line + kAxisZone
                                                    : line - kAxisZone < X && X < line;
      if (zone && Rescale(X, Y, FMAnchorScrX[i], FMAnchorScrY[i], W, H, FRcLRim, MR, FRcTRim, MB,
                          FMAnchorRcLoY[i], FMAnchorRcHiY[i], PY.MouseAction(), PY.ScaleType(),
                          PY.FLogAx, PY.FRangeLow, PY.FRangeHigh, lo, hi)) {
        ForceRange(k, PX.FRangeLow, lo, PX.FRangeHigh, hi, false, true);
        any = true;
      }
    }
  }
  hold.restore();
  if (any) DoZoomPanEvent();
}

void TCustomZUvado::PanMove(Integer X, Integer Y) {
  if (!MouseRangesUsable()) return;
  const DragStep step(FDragStep);
  auto hold = detail::suppress_paint_then_resume(FSuppressPaint, *this);
  for (Integer k = 1; k <= 2; ++k) {
    const size_t i = size_t(k - 1);
    if (!FMouseAffectsLayer[i]) continue;
    const TScaleProps& PX = *FScalePropsX[i];
    const TScaleProps& PY = *FScalePropsY[i];
    long double xLo = PX.FRangeLow, xHi = PX.FRangeHigh;
    long double yLo = PY.FRangeLow, yHi = PY.FRangeHigh;
    // A logarithmic axis has no pan grid: in grid mode it keeps its range.
    const bool grid = FMouseAction == maPanGrid;
    if (FMouseAction != maPanVert && !(grid && PX.FLogAx)) {
      pan_axis(xLo, xHi, FMAnchorRcLoX[i], FMAnchorRcHiX[i], PX.FLogAx,
               (long double)FMAnchorScrX[i] - X, AreaWidth());
      if (grid) snap_axis(xLo, xHi, FPanGridDx, FPanGridOffsX);
    }
    if (FMouseAction != maPanHoriz && !(grid && PY.FLogAx)) {
      pan_axis(yLo, yHi, FMAnchorRcLoY[i], FMAnchorRcHiY[i], PY.FLogAx,
               (long double)Y - FMAnchorScrY[i], AreaHeight());
      if (grid) snap_axis(yLo, yHi, FPanGridDy, FPanGridOffsY);
    }
    ForceRange(k, xLo, yLo, xHi, yHi, false, true);
  }
  hold.restore();
  DoZoomPanEvent();
}

void TCustomZUvado::DragZoomMove(Integer X, Integer Y) {
  if (!MouseRangesUsable() || Width() < 1 || Height() < 1) return;
  const DragStep step(FDragStep);
  auto hold = detail::suppress_paint_then_resume(FSuppressPaint, *this);
  for (Integer k = 1; k <= 2; ++k) {
    const size_t i = size_t(k - 1);
    if (!FMouseAffectsLayer[i]) continue;
    const TScaleProps& PX = *FScalePropsX[i];
    const TScaleProps& PY = *FScalePropsY[i];
    const long double fx = 1 - ((long double)X - FMAnchorScrX[i]) / Width();
    const long double fy = FIsometric ? fx : 1 + ((long double)Y - FMAnchorScrY[i]) / Height();
    long double xLo = PX.FRangeLow, xHi = PX.FRangeHigh;
    long double yLo = PY.FRangeLow, yHi = PY.FRangeHigh;
    zoom_axis(xLo, xHi, FMAnchorRcLoX[i], FMAnchorRcHiX[i], PX.FLogAx, fx);
    zoom_axis(yLo, yHi, FMAnchorRcLoY[i], FMAnchorRcHiY[i], PY.FLogAx, fy);
    ForceRange(k, xLo, yLo, xHi, yHi, false, true);
  }
  hold.restore();
  DoZoomPanEvent();
}

void TCustomZUvado::WindowMove(Integer X, Integer Y) {
  const Integer top = FRcTRim, bottom = AreaBottom();
  X = clamp_into(X, FRcLRim, AreaRight());
  if (FBandMode != maRubberBand) {
    if ((FBandMode == maZoomWind || FBandMode == maZoomWindPos) && FIsometric) {
      // A square in pixels; 64 bits because Y is not clamped yet.
      const int64_t dx = int64_t(X) - WindAnchorX, dy = int64_t(Y) - WindAnchorY;
      const int64_t y = dy * dx < 1 ? int64_t(WindAnchorY) - dx : int64_t(WindAnchorY) + dx;
      Y = ClampPix(y);
    }
  }
  Y = clamp_into(Y, top, bottom);
  EraseWindowBand();
  XorBand(FBandMode == maRubberBand, WindAnchorX, WindAnchorY, X, Y);
  FBandShown = true;
  WindOldCornerX = X;
  WindOldCornerY = Y;
}

void TCustomZUvado::CrossHairDragMove(Integer X, Integer Y) {
  if (!LButtonWasDown) {
    // Only crosshairs on show can be caught; lines count by their distance across.
    Integer best = 0;
    double bestDist = std::numeric_limits<double>::max();
    Integer bx = 0, by = 0;
    for (Integer k = 1; k <= 4; ++k) {
      const TCrossHair& C = *FCrossHair[size_t(k - 1)];
      const TCrossHMode m = C.Mode();
      if (m == chOff || !C.Visible()) continue;
      Integer cx, cy;
      R2M(C.Layer(), C.PosX(), C.PosY(), cx, cy);
      double d = 0;
      if (m != chHoriz) d += ((double)cx - X) * ((double)cx - X);
      if (m != chVert) d += ((double)cy - Y) * ((double)cy - Y);
      if (d < bestDist) {
        bestDist = d;
        best = k;
        bx = cx;
        by = cy;
      }
    }
    if (best == 0) return;
    CHNext = best;
    bool allow = true;
    if (OnBeforeCrossHairMove)
      OnBeforeCrossHairMove(this, CHNext, ClampPix(int64_t(X) - bx), ClampPix(int64_t(Y) - by),
                            allow);
    if (!allow) return;
    StoreMouseAnchors(X, Y);
    LButtonWasDown = true;
    return;
  }
  if (FDragFromAxis || CHNext < 1 || CHNext > 4) return;
  const TCrossHair& C = *FCrossHair[size_t(CHNext - 1)];
  double wx, wy;
  M2R(std::clamp(C.Layer(), 1, 2), X, Y, wx, wy);
  // Only the overlay is redrawn: the chart-area image under the crosshairs is reused.
  CrossHairSetPos(CHNext, wx, wy);
  DoCrossHMoveEvent(CHNext);
}

void TCustomZUvado::TextLabelDragMove(Integer X, Integer Y) {
  if (!LButtonWasDown) {
    StoreMouseAnchors(X, Y);
    TLNext = 0;
    double bestDist = std::numeric_limits<double>::max();
    for (Integer k = 1; k <= kNumTextLabels; ++k) {
      const TTextLabel& L = *FTextLabels[size_t(k - 1)];
      if (L.Mode() == tlOff || !L.Visible() || !LayerVisible(std::min(L.Layer(), 2))) continue;
      Integer wx, wy;
      R2M(L.Layer(), L.PosX(), L.PosY(), wx, wy);
      const TTxtLblAttachMode am = L.AttachToData();
      const double ax = am == tamXOnly || am == tamBoth ? wx : RoundPix(L.PosX());
      const double ay = am == tamYOnly || am == tamBoth ? wy : RoundPix(L.PosY());
      const double d = (ax - X) * (ax - X) + (ay - Y) * (ay - Y);
      if (d < bestDist) {
        bestDist = d;
        TLNext = k;
      }
    }
    return;
  }
  if (FDragFromAxis || TLNext < 1 || TLNext > kNumTextLabels) return;
  TTextLabel& L = *FTextLabels[size_t(TLNext - 1)];
  double wx, wy;
  M2R(std::clamp(L.Layer(), 1, 2), X, Y, wx, wy);
  const TTxtLblAttachMode am = L.AttachToData();
  const double px = am == tamXOnly || am == tamBoth ? wx : X;
  const double py = am == tamYOnly || am == tamBoth ? wy : Y;
  WithoutChangeEvent(L, [&](TTextLabel& l) { l.SetPos(px, py); });
  RepaintChart();
  DoTxtLblMoveEvent(TLNext);
}

void TCustomZUvado::MouseTraceMove(Integer X, Integer Y) {
  if (FNumMTrace >= kMaxMTrace) return;
  ClampToChartArea(X, Y);
  double wx, wy;
  M2R(FActiveLayer, X, Y, wx, wy);
  AddMTracePoint(wx, wy, FMTraceInvert ? kTraceInverted : 0, FColorMTrace);
  if (FNumMTrace < 2) return;
  const TColoredPoint& prev = FMTrace[size_t(FNumMTrace - 2)];
  if (prev.Flags & kTraceStrokeEnd) return;
  Integer px, py;
  R2M(FActiveLayer, prev.X, prev.Y, px, py);
  TCanvas* cv = Canvas();
  TPen& pen = *cv->Pen();
  pen.SetColor(FColorMTrace);
  pen.SetStyle(psSolid);
  pen.SetWidth(1);
  pen.SetMode(FMTraceInvert ? pmXor : pmCopy);
  cv->MoveTo(px, py);
  cv->LineTo(X, Y);
  pen.SetMode(pmCopy);
  SurfaceChanged();
}

void TCustomZUvado::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (FWasDblClk || FSwallowMouseUp) {
    FWasDblClk = FSwallowMouseUp = false;
    return;
  }
  LButtonWasDown = false;
  FDragFromAxis = false;

  if (MouseBoxState == mbsDragging) {
    EraseMouseBoxBand();
    if (Button == mbRight) {
      MouseBoxState = mbsIdle;
    } else {
      MouseBoxX2 = X;
      MouseBoxY2 = Y;
      MouseBoxState = mbsDone;
    }
  }

  if (FMouseAction == maMouseTrace && FNumMTrace > 0)
    FMTrace[size_t(FNumMTrace - 1)].Flags |= kTraceStrokeEnd;

  // Another button let go during a left drag does not end it.
  if (FZoomState == 1 && Button != mbMiddle) FinishWindow(Button);

  if (is_pan_mode(FMouseAction) || FMouseAction == maZoomDrag) RecordDragInHistory();

  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomZUvado::FinishWindow(TMouseButton Button) {
  FZoomState = 0;
  // Erased in every case: a release without a repaint must not leave the band behind.
  EraseWindowBand();
  if (Button != mbLeft || WindAnchorX == WindOldCornerX || WindAnchorY == WindOldCornerY) return;
  const TMouseActMode mode = FBandMode;
  const bool zoom = mode == maZoomWind || mode == maZoomWindPos;
  if (zoom && !MouseRangesUsable()) return;
  const auto hold = detail::suppress_paint_then_resume(FSuppressPaint, *this);
  for (Integer k = 1; k <= 2; ++k) {
    const size_t i = size_t(k - 1);
    if (!FMouseAffectsLayer[i]) continue;
    double x1, y1, x2, y2;
    M2R(k, WindAnchorX, WindAnchorY, x1, y1);
    M2R(k, WindOldCornerX, WindOldCornerY, x2, y2);
    if (mode == maZoomWindPos || mode == maSelectRect) {
      const TScaleProps& PX = *FScalePropsX[i];
      const TScaleProps& PY = *FScalePropsY[i];
      if ((PX.FRangeLow <= PX.FRangeHigh) != (x1 <= x2)) std::swap(x1, x2);
      if ((PY.FRangeLow <= PY.FRangeHigh) != (y1 <= y2)) std::swap(y1, y2);
    }
    if (mode == maRubberBand)
      DoRubberBandEvent(k, x1, y1, x2, y2);
    else if (mode == maSelectRect)
      DoSelectRectEvent(k, x1, y1, x2, y2);
    else
      ForceRange(k, x1, y1, x2, y2, true, false);
  }
  DoZoomPanEvent();
}

// A click without a drag leaves the ranges as the newest entry has them; recording it
// again would only make the next step back a step to the same place.
void TCustomZUvado::RecordDragInHistory() {
  for (Integer k = 1; k <= 2; ++k) {
    const size_t i = size_t(k - 1);
    const TRectDouble now{FScalePropsX[i]->FRangeLow, FScalePropsY[i]->FRangeHigh,
                          FScalePropsX[i]->FRangeHigh, FScalePropsY[i]->FRangeLow};
    if (!(GetZoomStackEntry(k, 0) == now)) {
      ZoomStateOnStack();
      return;
    }
  }
}

bool TCustomZUvado::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  // Only a turn over the chart area and outside every drag zooms; a drag computes its
  // ranges from its anchor and would undo the zoom at its next move.
  const bool idle = FZoomState == 0 && !LButtonWasDown && MouseBoxState == mbsIdle;
  if (!FWheelZoom || !idle || WheelDelta == 0 || !InChartArea(MousePos.X, MousePos.Y))
    return TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (handled) return true;
  // One notch is WHEEL_DELTA; fine-grained wheels zoom by the matching fraction.
  const long double f = std::pow((long double)kWheelZoomStep, -(long double)WheelDelta / WHEEL_DELTA);
  const bool onlyX = Shift.Contains(ssShift) && !Shift.Contains(ssCtrl);
  const bool onlyY = Shift.Contains(ssCtrl) && !Shift.Contains(ssShift);
  // An isometric chart keeps its aspect: both axes or none.
  if (FIsometric && (onlyX || onlyY)) return true;
  WheelZoomAt(MousePos.X, MousePos.Y, f, !onlyY, !onlyX);
  return true;
}

namespace {

// The range [lo, hi] scaled by f about the world value p; on a logarithmic axis about
// log p, so the point under the pointer stays under it on both kinds.
void zoom_about(long double& lo, long double& hi, long double p, bool Log, long double f) {
  if (!Log) {
    lo = p + (lo - p) * f;
    hi = p + (hi - p) * f;
  } else {
    lo = p * std::pow(lo / p, f);
    hi = p * std::pow(hi / p, f);
  }
}

// A zoom is cut off at the confinement (a pan would slide along it instead); done here
// because ForceRange reads pan or zoom off MouseAction, which a wheel turn is not.
void cut_off(long double& lo, long double& hi, long double zLo, long double zHi) {
  if (zLo == 0 && zHi == 0) return;
  lo = std::clamp(lo, std::min(zLo, zHi), std::max(zLo, zHi));
  hi = std::clamp(hi, std::min(zLo, zHi), std::max(zLo, zHi));
}

}  // namespace

void TCustomZUvado::WheelZoomAt(Integer X, Integer Y, long double f, bool DoX, bool DoY) {
  if (!MouseRangesUsable() || !(f > 0) || !std::isfinite(double(f))) return;
  const bool confined = FZoomRange[0] != 0 || FZoomRange[1] != 0 || FZoomRange[2] != 0 ||
                        FZoomRange[3] != 0;
  {
    const DragStep step(FDragStep);
    auto hold = detail::suppress_paint_then_resume(FSuppressPaint, *this);
    for (Integer k = 1; k <= 2; ++k) {
      const size_t i = size_t(k - 1);
      if (!FMouseAffectsLayer[i]) continue;
      const TScaleProps& PX = *FScalePropsX[i];
      const TScaleProps& PY = *FScalePropsY[i];
      double px, py;
      M2R(k, X, Y, px, py);
      long double xLo = PX.FRangeLow, xHi = PX.FRangeHigh;
      long double yLo = PY.FRangeLow, yHi = PY.FRangeHigh;
      if (DoX && std::isfinite(px) && (!PX.FLogAx || px > 0)) {
        zoom_about(xLo, xHi, px, PX.FLogAx, f);
        if (confined) cut_off(xLo, xHi, FZoomRange[0], FZoomRange[2]);
      }
      if (DoY && std::isfinite(py) && (!PY.FLogAx || py > 0)) {
        zoom_about(yLo, yHi, py, PY.FLogAx, f);
        if (confined) cut_off(yLo, yHi, FZoomRange[1], FZoomRange[3]);
      }
      ForceRange(k, xLo, yLo, xHi, yHi, false, true);
    }
    hold.restore();
  }
  // One history entry per turn, also when both pairs moved.
  RecordDragInHistory();
  DoZoomPanEvent();
}

void TCustomZUvado::DblClick() {
  FWasDblClk = true;
  const Integer s = DetectScale(LastMouseX, LastMouseY);
  if (s != 0 && std::abs(s) <= 2) {
    TScaleProps& P = s < 0 ? static_cast<TScaleProps&>(*FScalePropsX[size_t(-s - 1)])
                           : *FScalePropsY[size_t(s - 1)];
    if (P.MouseAction() == maPan)
      P.SetMouseAction(maZoom);
    else if (P.MouseAction() == maZoom)
      P.SetMouseAction(maPan);
  }
  TCustomControl::DblClick();
}

void TCustomZUvado::WMMouseMove(TWMMouse& Message) {
  if (MouseMoveActive) return;
  MouseMoveActive = true;
  struct Guard {
    bool& Flag;
    ~Guard() { Flag = false; }
  } guard{MouseMoveActive};
  TCustomControl::WMMouseMove(Message);
  if (!OnMouseMoveInChart) return;
  double x, y;
  M2R(FActiveLayer, Message.XPos, Message.YPos, x, y);
  OnMouseMoveInChart(this, InChartArea(Message.XPos, Message.YPos),
                     KeysToShiftState(Message.Keys), x, y);
}

bool TCustomZUvado::MouseBox(double& xLo, double& yLo, double& xHi, double& yHi) {
  // One box at a time: a nested call would take the outer one's input.
  if (MouseBoxState != mbsIdle && MouseBoxState != mbsDone) return false;
  MouseBoxState = mbsWaiting;
  while (MouseBoxState == mbsWaiting || MouseBoxState == mbsDragging) {
    // Input can never arrive without a host, or for a chart without a window that is
    // hidden or disabled; a terminating application ends the wait too.
    if (!Application().OnHostProcessMessages || Application().Terminated() ||
        !HandleAllocated() || !Visible() || !Enabled()) {
      MouseBoxAbort();
      break;
    }
    Application().ProcessMessages();
  }
  if (MouseBoxState != mbsDone) return false;
  MouseBoxState = mbsIdle;
  double x1, y1, x2, y2;
  M2R(FActiveLayer, MouseBoxX1, MouseBoxY1, x1, y1);
  M2R(FActiveLayer, MouseBoxX2, MouseBoxY2, x2, y2);
  xLo = std::min(x1, x2);
  xHi = std::max(x1, x2);
  yLo = std::min(y1, y2);
  yHi = std::max(y1, y2);
  return true;
}

void TCustomZUvado::MouseBoxAbort() {
  EraseMouseBoxBand();
  EraseWindowBand();
  MouseBoxState = mbsIdle;
  FZoomState = 0;
}

void TCustomZUvado::DoZoomPanEvent() {
  if (OnZoomPan) OnZoomPan(this);
}

void TCustomZUvado::DoRubberBandEvent(Integer Layer, double x1, double y1, double x2, double y2) {
  if (OnRubberBand) OnRubberBand(this, Layer, x1, y1, x2, y2);
}

void TCustomZUvado::DoSelectRectEvent(Integer Layer, double x1, double y1, double x2, double y2) {
  if (OnSelectRect) OnSelectRect(this, Layer, x1, y1, x2, y2);
}

void TCustomZUvado::DoCrossHMoveEvent(Integer CrossHair) {
  if (OnCrossHairMove) OnCrossHairMove(this, CrossHair);
}

void TCustomZUvado::DoTxtLblMoveEvent(Integer Label) {
  if (OnTextLabelMove) OnTextLabelMove(this, Label);
}

}  // namespace kvr
