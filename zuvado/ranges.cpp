// Every way a range is set: explicitly, from the data, by union of layers, isometric,
// confined, and kept in step across joint layers.
#include <cmath>

#include "platform/paintguard.h"
#include "platform/univconst.h"
#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

constexpr long double kLogFloor = 1e-100L;

bool valid_pair(Integer Layer) { return Layer == 1 || Layer == 2; }
size_t pair_slot(Integer Layer) { return Layer == 2 ? 1 : 0; }

struct Extents {
  double MinX, MinY, MaxX, MaxY;
};

void widen_equal(double& Min, double& Max) {
  if (Min == Max) {
    Min -= 1;
    Max += 1;
  }
}

// Margin m (a fraction) on one axis: by a share of the span, or by a factor on a
// logarithmic axis.
void apply_margin(double& Min, double& Max, double m, bool Log) {
  if (!Log) {
    const double d = (Max - Min) * m;
    Min -= d;
    Max += d;
  } else {
    const double r = Min > 0 ? Max / Min : Max;
    const double f = std::pow(r, m);
    Max *= f;
    Min /= f;
  }
}

// A span narrower than MinRange percent of the centre is widened; a centre <= 0 never
// widens.
void apply_min_span(double& Min, double& Max, double MinRange) {
  const double c = (Min + Max) / 2;
  const double t = MinRange * c / 100;
  if (t > std::fabs(Max - Min)) {
    Min -= t;
    Max += t;
  }
}

}  // namespace

// One axis of a commit. A limit that is not finite is dropped like a span below the
// minimum. On a logarithmic axis each valid limit is written on its own; the result must
// still keep the minimum span, so that a dropped limit cannot leave Lo = Hi behind.
void TCustomZUvado::CommitAxis(TScaleProps& P, long double Lo, long double Hi, bool& Changed) {
  if (!std::isfinite(Lo) || !std::isfinite(Hi)) return;
  const long double minSpan = 0.99L * P.FMinRngDiff;
  if (!(std::fabs(Lo - Hi) >= minSpan)) return;
  if (!P.FLogAx) {
    P.FRangeHigh = double(Hi);
    P.FRangeLow = double(Lo);
    Changed = true;
    return;
  }
  const double lo = Lo >= kLogFloor ? double(Lo) : P.FRangeLow;
  const double hi = Hi >= kLogFloor ? double(Hi) : P.FRangeHigh;
  if (!(std::fabs((long double)hi - lo) >= minSpan)) return;
  if (Lo >= kLogFloor) {
    P.FRangeLow = lo;
    Changed = true;
  }
  if (Hi >= kLogFloor) {
    P.FRangeHigh = hi;
    Changed = true;
  }
}

void TCustomZUvado::ForceRngIntern(Integer Layer, long double xLo, long double yLo,
                                   long double xHi, long double yHi, bool PushZoomState,
                                   bool ApplyZoomRange) {
  if (!valid_pair(Layer)) return;
  const auto& Z = FZoomRange;
  if (ApplyZoomRange && (Z[0] != 0 || Z[1] != 0 || Z[2] != 0 || Z[3] != 0)) {
    // Under panning the span travels with the clamped limit (a pan slides along the
    // border); a zoom is cut off there.
    const double dX = double(xHi - xLo), dY = double(yHi - yLo);
    const bool panX = FMouseAction == maPan || FMouseAction == maPanHoriz ||
                      FMouseAction == maPanGrid;
    const bool panY = FMouseAction == maPan || FMouseAction == maPanVert ||
                      FMouseAction == maPanGrid;
    auto confine = [](long double& Lo, long double& Hi, long double ZLo, long double ZHi,
                      double d, bool Pan) {
      if (Lo < ZLo) {
        Lo = ZLo;
        if (Pan) Hi = ZLo + d;
      }
      if (Lo > ZHi) {
        Lo = ZHi;
        if (Pan) Hi = ZHi + d;
      }
      if (Hi < ZLo) {
        Hi = ZLo;
        if (Pan) Lo = ZLo - d;
      }
      if (Hi > ZHi) {
        Hi = ZHi;
        if (Pan) Lo = ZHi - d;
      }
    };
    confine(xLo, xHi, Z[0], Z[2], dX, panX);
    confine(yLo, yHi, Z[1], Z[3], dY, panY);
  }
  const size_t i = size_t(Layer - 1);
  bool changed = false;
  CommitAxis(*FScalePropsX[i], xLo, xHi, changed);
  CommitAxis(*FScalePropsY[i], yLo, yHi, changed);
  SetScaleProps(FScalesX[i].get(), FScalePropsX[i].get());
  SetScaleProps(FScalesY[i].get(), FScalePropsY[i].get());
  if (PushZoomState && changed) ZoomStateOnStack();
  AdjustScaling();
}

void TCustomZUvado::ForceRange(Integer Layer, long double xLo, long double yLo,
                               long double xHi, long double yHi, bool PushZoomState,
                               bool ApplyZoomRange) {
  if (!valid_pair(Layer)) return;
  const auto hold = detail::suppress_paint_then_resume(FSuppressPaint, *this);
  const size_t i = size_t(Layer - 1);
  // A direction that follows another pair cannot be set directly.
  if (FJointLayers->GetControlledLayerX(Layer) != Layer) {
    xLo = FScalePropsX[i]->FRangeLow;
    xHi = FScalePropsX[i]->FRangeHigh;
  }
  if (FJointLayers->GetControlledLayerY(Layer) != Layer) {
    yLo = FScalePropsY[i]->FRangeLow;
    yHi = FScalePropsY[i]->FRangeHigh;
  }
  ForceRngIntern(Layer, xLo, yLo, xHi, yHi, PushZoomState, ApplyZoomRange);
  for (Integer k = 1; k <= 2; ++k) {
    if (k == Layer) continue;
    const Integer mx = FJointLayers->GetControlledLayerX(k);
    const Integer my = FJointLayers->GetControlledLayerY(k);
    if (mx != Layer && my != Layer) continue;
    const TScaleProps& X = *FScalePropsX[pair_slot(mx)];
    const TScaleProps& Y = *FScalePropsY[pair_slot(my)];
    ForceRngIntern(k, X.FRangeLow, Y.FRangeLow, X.FRangeHigh, Y.FRangeHigh, !FDragStep,
                   false);
  }
}

// Joining copies the controlling pair's range in that direction once.
void TCustomZUvado::ApplyJointRange(Integer Layer, Integer Source, bool InX) {
  if (!valid_pair(Layer) || !valid_pair(Source)) return;
  const TScaleProps& X = *FScalePropsX[size_t((InX ? Source : Layer) - 1)];
  const TScaleProps& Y = *FScalePropsY[size_t((InX ? Layer : Source) - 1)];
  ForceRngIntern(Layer, X.FRangeLow, Y.FRangeLow, X.FRangeHigh, Y.FRangeHigh, false, false);
}

void TCustomZUvado::SetRangeIntern(Integer Layer, bool PushZoomState, long double xLo,
                                   long double yLo, long double xHi, long double yHi,
                                   bool ApplyZoomRange) {
  if (!valid_pair(Layer)) return;
  const TScaleProps& X = *FScalePropsX[size_t(Layer - 1)];
  const TScaleProps& Y = *FScalePropsY[size_t(Layer - 1)];
  if (xHi == xLo) {
    if (!X.FLogAx) {
      xLo -= X.FMinRngDiff / 2;
      xHi += X.FMinRngDiff / 2;
    } else {
      xLo /= 1.1L;
      xHi *= 1.1L;
    }
  }
  if (yHi == yLo) {
    if (!Y.FLogAx) {
      yLo -= Y.FMinRngDiff / 2;
      yHi += Y.FMinRngDiff / 2;
    } else {
      yLo /= 1.1L;
      yHi *= 1.1L;
    }
  }
  if (FIsometric) {
    const long double cy = (yLo + yHi) / 2;
    const long double s = IsoSpan(xHi - xLo, AreaWidth());
    yHi = cy + s / 2;
    yLo = cy - s / 2;
  }
  ForceRange(Layer, xLo, yLo, xHi, yHi, PushZoomState, ApplyZoomRange);
}

void TCustomZUvado::SetRange(Integer Layer, long double xLo, long double yLo, long double xHi,
                             long double yHi) {
  if (Layer == 0) {
    SetRangeIntern(1, true, xLo, yLo, xHi, yHi, false);
    SetRangeIntern(2, true, xLo, yLo, xHi, yHi, false);
  } else if (valid_pair(Layer)) {
    SetRangeIntern(Layer, true, xLo, yLo, xHi, yHi, false);
  } else {
    return;
  }
  if (!ComponentState().Contains(csLoading)) StyleChanged(this);
}

void TCustomZUvado::SetEqualRangeDir(TLayerSet Layers, bool DoX, bool DoY) {
  long double u[4] = {0, 0, 0, 0};  // x low, y low, x high, y high
  bool first = true;
  for (Integer k = 1; k <= 2; ++k) {
    if (!Layers.Contains(k)) continue;
    const TScaleProps& X = *FScalePropsX[size_t(k - 1)];
    const TScaleProps& Y = *FScalePropsY[size_t(k - 1)];
    if (first) {
      u[0] = X.FRangeLow, u[1] = Y.FRangeLow, u[2] = X.FRangeHigh, u[3] = Y.FRangeHigh;
      first = false;
      continue;
    }
    if (X.FRangeLow < u[0]) u[0] = X.FRangeLow;
    if (Y.FRangeLow < u[1]) u[1] = Y.FRangeLow;
    if (X.FRangeHigh > u[2]) u[2] = X.FRangeHigh;
    if (Y.FRangeHigh > u[3]) u[3] = Y.FRangeHigh;
  }
  for (Integer k = 1; k <= 2; ++k) {
    if (!Layers.Contains(k)) continue;
    const TScaleProps& X = *FScalePropsX[size_t(k - 1)];
    const TScaleProps& Y = *FScalePropsY[size_t(k - 1)];
    SetRangeIntern(k, true, DoX ? u[0] : X.FRangeLow, DoY ? u[1] : Y.FRangeLow,
                   DoX ? u[2] : X.FRangeHigh, DoY ? u[3] : Y.FRangeHigh, false);
  }
}

void TCustomZUvado::SetEqualRange(TLayerSet Layers) { SetEqualRangeDir(Layers, true, true); }

void TCustomZUvado::SetEqualRangeXOnly(TLayerSet Layers) {
  SetEqualRangeDir(Layers, true, false);
}

void TCustomZUvado::SetEqualRangeYOnly(TLayerSet Layers) {
  SetEqualRangeDir(Layers, false, true);
}

void TCustomZUvado::ConfineZoomRange(double xLo, double yLo, double xHi, double yHi) {
  FZoomRange = {xLo, yLo, xHi, yHi};
}

void TCustomZUvado::LLCalcExtents(Integer Layer, double Margin, double MinRange, double& MinX,
                                  double& MinY, double& MaxX, double& MaxY) const {
  MinX = MinY = uc_MaxDouble;
  MaxX = MaxY = -uc_MaxDouble;
  auto include_min = [&](double x, double y) {
    if (x < MinX) MinX = x;
    if (y < MinY) MinY = y;
  };
  auto include_max = [&](double x, double y) {
    if (x > MaxX) MaxX = x;
    if (y > MaxY) MaxY = y;
  };
  bool found = false;
  for (const TrcChartItem& it : DataItems()) {
    if (it.Layer != Layer) continue;
    found = true;
    if (it.ItemKind != tkMoveRelPix && it.ItemKind != tkLineRelPix) {
      include_min(it.x, it.y);
      include_max(it.x, it.y);
    }
    switch (it.ItemKind) {
      case tkLine: case tkRect: case tkRectFrame: case tk3DBar: case tkArrow:
      case tkDoubleArrow: case tkLineOffs:
        include_min(it.x2, it.y2);
        include_max(it.x2, it.y2);
        break;
      case tkEllipse: case tkArc:
        include_min(it.x - it.x2, it.y - it.y2);
        include_max(it.x + it.x2, it.y + it.y2);
        break;
      default:
        break;
    }
  }
  const size_t i = pair_slot(Layer);
  const bool logX = FScalePropsX[i]->FLogAx, logY = FScalePropsY[i]->FLogAx;
  if (!found) {
    MinX = MinY = MaxX = MaxY = 0;
  } else {
    apply_margin(MinX, MaxX, Margin / 100, logX);
    apply_margin(MinY, MaxY, Margin / 100, logY);
  }
  apply_min_span(MinX, MaxX, MinRange);
  apply_min_span(MinY, MaxY, MinRange);
}

// Shared by AutoRange and its one-direction forms; the direction not asked for keeps
// the pair's current limits.
void TCustomZUvado::AutoRangeDir(Integer Layer, double Margin, double MinRange, bool DoX,
                                 bool DoY) {
  if (valid_pair(Layer)) {
    const size_t i = size_t(Layer - 1);
    Extents e{};
    LLCalcExtents(Layer, Margin, MinRange, e.MinX, e.MinY, e.MaxX, e.MaxY);
    widen_equal(e.MinX, e.MaxX);
    widen_equal(e.MinY, e.MaxY);
    if (!DoX || !DoY) FIsometric = false;
    if (FIsometric) {
      const long double s = IsoSpan((long double)e.MaxX - e.MinX, AreaWidth());
      const long double c = ((long double)e.MinY + e.MaxY) / 2;
      e.MaxY = double(c + s / 2);
      e.MinY = double(c - s / 2);
    }
    const TScaleProps& X = *FScalePropsX[i];
    const TScaleProps& Y = *FScalePropsY[i];
    ForceRange(Layer, DoX ? e.MinX : X.FRangeLow, DoY ? e.MinY : Y.FRangeLow,
               DoX ? e.MaxX : X.FRangeHigh, DoY ? e.MaxY : Y.FRangeHigh, true, false);
  } else if (Layer == 0) {
    Extents E[2];
    for (size_t i = 0; i < 2; ++i)
      LLCalcExtents(Integer(i + 1), 0, 0, E[i].MinX, E[i].MinY, E[i].MaxX, E[i].MaxY);
    // A pair that follows another widens its master's extents.
    for (Integer k = 1; k <= 2; ++k) {
      if (!LayerVisible(k)) continue;
      const Extents& ek = E[k - 1];
      const Integer mx = FJointLayers->GetControlledLayerX(k);
      if (DoX && mx != k && valid_pair(mx)) {
        Extents& em = E[mx - 1];
        if (ek.MinX < em.MinX) em.MinX = ek.MinX;
        if (ek.MaxX > em.MaxX) em.MaxX = ek.MaxX;
      }
      const Integer my = FJointLayers->GetControlledLayerY(k);
      if (DoY && my != k && valid_pair(my)) {
        Extents& em = E[my - 1];
        if (ek.MinY < em.MinY) em.MinY = ek.MinY;
        if (ek.MaxY > em.MaxY) em.MaxY = ek.MaxY;
      }
    }
    for (size_t i = 0; i < 2; ++i) {
      Extents& e = E[i];
      widen_equal(e.MinX, e.MaxX);
      widen_equal(e.MinY, e.MaxY);
      if (Margin > 0) {
        apply_margin(e.MinX, e.MaxX, Margin / 100, FScalePropsX[i]->FLogAx);
        apply_margin(e.MinY, e.MaxY, Margin / 100, FScalePropsY[i]->FLogAx);
        apply_min_span(e.MinX, e.MaxX, MinRange);
        apply_min_span(e.MinY, e.MaxY, MinRange);
      }
    }
    for (Integer k = 1; k <= 2; ++k) {
      const Extents& ex = E[pair_slot(FJointLayers->GetControlledLayerX(k))];
      const Extents& ey = E[pair_slot(FJointLayers->GetControlledLayerY(k))];
      const TScaleProps& X = *FScalePropsX[size_t(k - 1)];
      const TScaleProps& Y = *FScalePropsY[size_t(k - 1)];
      ForceRngIntern(k, DoX ? ex.MinX : X.FRangeLow, DoY ? ey.MinY : Y.FRangeLow,
                     DoX ? ex.MaxX : X.FRangeHigh, DoY ? ey.MaxY : Y.FRangeHigh, false, true);
    }
  } else {
    return;
  }
  StyleChanged(this);
}

void TCustomZUvado::AutoRange(Integer Layer, double Margin, double MinRange) {
  AutoRangeDir(Layer, Margin, MinRange, true, true);
}

void TCustomZUvado::AutoRangeXOnly(Integer Layer, double Margin, double MinRange) {
  AutoRangeDir(Layer, Margin, MinRange, true, false);
}

void TCustomZUvado::AutoRangeYOnly(Integer Layer, double Margin, double MinRange) {
  AutoRangeDir(Layer, Margin, MinRange, false, true);
}

void TCustomZUvado::SetIsoMetric(bool Value) {
  FIsometric = Value;
  if (Value) IsometricYAdjust(AreaWidth());
  ZoomStateOnStack();
  StyleChanged(this);
}

void TCustomZUvado::SetGridDx(double v) {
  if (v < -3.0) return;
  FGridDx = v;
  StyleChanged(this);
}

void TCustomZUvado::SetGridDy(double v) {
  if (v < -3.0) return;
  FGridDy = v;
  StyleChanged(this);
}

}  // namespace kvr
