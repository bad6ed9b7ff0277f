// The world-to-pixel mapping of one axis pair as a value.
//
// A renderer takes the pair's TLayerMap once per paint (TCustomZUvado::LayerMap) and
// maps every point with it: a multiply and an add per coordinate (a logarithm on a
// logarithmic axis), no property reads, no allocation. R2M uses the same value, so
// rendering, hit testing and R2M agree to the pixel.
#pragma once

#include <cmath>

#include "platform/arith.h"
#include "platform/types.h"

namespace kvr {

// Items and grid lines are drawn within +-30000 pixels of the chart area: far enough to
// leave the bitmap on every side, near enough that wide pens and arrow heads stay in range.
constexpr int64_t kItemClamp = 30000;
inline Integer ClampItemPix(int64_t v) {
  return Integer(v < -kItemClamp ? -kItemClamp : (v > kItemClamp ? kItemClamp : v));
}

struct TAxisMap {
  // Frozen from the extended-precision transform; doubles keep the per-point work on
  // the SSE unit.
  double K = 0;  // pixel = K * u + D, u = v or ln v
  double D = 0;
  bool Log = false;
  // Pixel of values <= 1e-100 on a logarithmic axis (the far edge of the control).
  double NonPos = 0;

  // Unrounded pixel position.
  double Pixel(double v) const {
    if (!Log) return K * v + D;
    return v > 1e-100 ? K * std::log(v) + D : NonPos;
  }
  // Clamped to +-2147483647, then rounded half to even.
  Integer Map(double v) const { return RoundPix(Pixel(v)); }
};

struct TLayerMap {
  TAxisMap X;
  TAxisMap Y;
  TPoint Map(double x, double y) const { return TPoint{X.Map(x), Y.Map(y)}; }
};

}  // namespace kvr
