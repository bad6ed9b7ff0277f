// World-to-pixel transform of both axis pairs, item coordinates and tick queries.
#include <cmath>

#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

size_t pair_index(Integer Layer) { return Layer >= 2 ? 1 : 0; }

// Pixel factor and offset of one axis; a range of zero width (limits too close for the
// arithmetic, or equal logarithms) is treated like a zero pixel extent instead of
// dividing by zero.
void axis_params(long double Lo, long double Hi, long double Near, long double Far,
                 long double Extent, long double Centre, long double& K, long double& D) {
  const long double span = Hi - Lo;
  if (Extent < 1 || span == 0 || !std::isfinite(span)) {
    K = 0;
    D = Centre;
    return;
  }
  K = (Far - Near) / span;
  D = (Near * Hi - Far * Lo) / span;
}

}  // namespace

// X: Lo maps to MarginLeft, Hi to R. Y: Lo maps to B, Hi to MarginTop; the factor is
// negative because the screen's y grows downwards.
void TCustomZUvado::AdjustScaling() { ScaleAxes(true); }

// A chart must paint whatever state its ranges are in: an axis that cannot be mapped is
// left out of the picture instead of failing the paint.
void TCustomZUvado::PrepareScaling() {
  try {
    AdjustScaling();
  } catch (const EKvrError&) {
    ScaleAxes(false);
  }
}

// Without Raise every mappable axis is computed and the others only marked.
void TCustomZUvado::ScaleAxes(bool Raise) {
  if (ComponentState().Contains(csLoading)) return;
  const long double W = AreaWidth(), H = AreaHeight();
  const long double R = AreaRight();
  const long double B = AreaBottom();
  unsigned unmapped = 0;
  for (size_t i = 0; i < 2; ++i) {
    for (int axis = 0; axis < 2; ++axis) {
      const unsigned bit = 1u << (2 * i + size_t(axis));
      const TScaleProps& P =
          axis == 0 ? static_cast<const TScaleProps&>(*FScalePropsX[i]) : *FScalePropsY[i];
      const long double extent = axis == 0 ? W : H;
      long double lo = P.FRangeLow, hi = P.FRangeHigh;
      if (P.FLogAx && extent >= 1) {
        if (!(lo > 0 && hi > 0)) {
          if (Raise) {
            // This axis and the ones after it keep an old transform.
            FUnmapped = unmapped | (0xFu & ~(bit - 1));
            RaiseKvrError<EKvrZUvadoError>("Logarithmic axis must not be negative.");
          }
          unmapped |= bit;
          continue;
        }
        lo = std::log(lo);
        hi = std::log(hi);
      }
      long double k, d;
      if (axis == 0) {
        axis_params(lo, hi, FRcLRim, R, extent, Width() / 2.0L, k, d);
        Cpkx[i] = k;
        Cpdx[i] = d;
      } else {
        axis_params(lo, hi, B, FRcTRim, extent, Height() / 2.0L, k, d);
        Cpky[i] = k;
        Cpdy[i] = d;
      }
    }
  }
  FUnmapped = unmapped;
}

TLayerMap TCustomZUvado::LayerMap(Integer Layer) const {
  const size_t i = pair_index(Layer);
  const TScaleProps& X = *FScalePropsX[i];
  const TScaleProps& Y = *FScalePropsY[i];
  TLayerMap m;
  m.X = TAxisMap{double(Cpkx[i]), double(Cpdx[i]), X.FLogAx,
                 X.FRangeHigh < X.FRangeLow ? double(Width()) : 0.0};
  m.Y = TAxisMap{double(Cpky[i]), double(Cpdy[i]), Y.FLogAx,
                 Y.FRangeHigh < Y.FRangeLow ? 0.0 : double(Height())};
  return m;
}

void TCustomZUvado::R2M(Integer Layer, double xin, double yin, Integer& xout,
                        Integer& yout) const {
  const TLayerMap m = LayerMap(Layer);
  xout = m.X.Map(xin);
  yout = m.Y.Map(yin);
}

// A zero factor (no pixel extent) has no inverse; such an axis reports its low limit.
// Layers outside 1..2 are clamped like in R2M.
void TCustomZUvado::M2R(Integer Layer, Integer xin, Integer yin, double& xout,
                        double& yout) const {
  const size_t i = pair_index(Layer);
  const TScaleProps& X = *FScalePropsX[i];
  const TScaleProps& Y = *FScalePropsY[i];
  if (Cpkx[i] == 0) {
    xout = X.FRangeLow;
  } else {
    const long double u = (xin - Cpdx[i]) / Cpkx[i];
    xout = double(X.FLogAx ? std::exp(u) : u);
  }
  if (Cpky[i] == 0) {
    yout = Y.FRangeLow;
  } else {
    const long double u = (yin - Cpdy[i]) / Cpky[i];
    yout = double(Y.FLogAx ? std::exp(u) : u);
  }
}

void TCustomZUvado::GetTransformParams(Integer Layer, double& kx, double& dx, double& ky,
                                       double& dy) const {
  const size_t i = pair_index(Layer);
  kx = double(Cpkx[i]);
  dx = double(Cpdx[i]);
  ky = double(Cpky[i]);
  dy = double(Cpdy[i]);
}

// Screen coordinates are offsets from the chart area's top-left corner.
void TCustomZUvado::ConvertToScreenCoords(const TrcChartItem& Item, Integer& x1, Integer& y1,
                                          Integer& x2, Integer& y2) const {
  bool w1x, w1y, w2x, w2y;
  switch (Item.CoordMode) {
    case cmAllWorld: w1x = w1y = w2x = w2y = true; break;
    case cmAllScreen: w1x = w1y = w2x = w2y = false; break;
    case cmWorldMainScreenSec: w1x = w1y = true, w2x = w2y = false; break;
    case cmScreenMainWorldSec: w1x = w1y = false, w2x = w2y = true; break;
    case cmXScreenYWorld: w1x = w2x = false, w1y = w2y = true; break;
    case cmXWorldYScreen: w1x = w2x = true, w1y = w2y = false; break;
    // A damaged record: treated as world values, as rendering does.
    default: w1x = w1y = w2x = w2y = true; break;
  }
  const TLayerMap m = LayerMap(Item.Layer);
  x1 = w1x ? m.X.Map(Item.x) : RoundPix((long double)FRcLRim + Item.x);
  y1 = w1y ? m.Y.Map(Item.y) : RoundPix((long double)FRcTRim + Item.y);
  x2 = w2x ? m.X.Map(Item.x2) : RoundPix((long double)FRcLRim + Item.x2);
  y2 = w2y ? m.Y.Map(Item.y2) : RoundPix((long double)FRcTRim + Item.y2);
}

double TCustomZUvado::GetTickPosX(Integer ix) const {
  const size_t i = pair_index(FActiveLayer);
  const TScale& S = *FScalesX[i];
  const Integer n = S.NumTicks();
  if (ix < 1 || ix > n) return 0;
  const TScaleProps& P = *FScalePropsX[i];
  return S.GetTickPos(P.FRangeLow > P.FRangeHigh ? n - ix + 1 : ix);
}

double TCustomZUvado::GetTickPosY(Integer ix) const {
  const size_t i = pair_index(FActiveLayer);
  const TScale& S = *FScalesY[i];
  const Integer n = S.NumTicks();
  if (ix < 1 || ix > n) return 0;
  const TScaleProps& P = *FScalePropsY[i];
  return S.GetTickPos(P.FRangeLow > P.FRangeHigh ? n - ix + 1 : ix);
}

Integer TCustomZUvado::GetTickPosXCnt() const { return FScalesX[pair_index(FActiveLayer)]->NumTicks(); }

Integer TCustomZUvado::GetTickPosYCnt() const { return FScalesY[pair_index(FActiveLayer)]->NumTicks(); }

}  // namespace kvr
