// Hit testing: nearest items, annotation shapes, marking by window, axis detection.
#include "zuvado/customzuvado.h"

namespace kvr {

Integer TCustomZUvado::DetectScale(Integer CoordX, Integer CoordY) const {
  const Integer right = Width() - FRcRRim;
  const Integer bottom = Height() - FRcBRim;
  const bool inYBand = FRcTRim < CoordY && CoordY < bottom;
  const bool inXBand = FRcLRim < CoordX && CoordX < right;
  // Y axes first, then X axes; layer 1 before layer 2.
  for (Integer i = 1; i <= 2; ++i) {
    const TScaleProps& P = *FScalePropsY[size_t(i - 1)];
    if (!P.Visible() || !inYBand) continue;
    const Integer o = P.ScalePos();
    if (P.ScaleType() == sctRight && right + o < CoordX && CoordX < right + o + 50) return i;
    if (P.ScaleType() == sctLeft && FRcLRim - o - 50 < CoordX && CoordX < FRcLRim - o) return i;
  }
  for (Integer i = 1; i <= 2; ++i) {
    const TScaleProps& P = *FScalePropsX[size_t(i - 1)];
    if (!P.Visible() || !inXBand) continue;
    const Integer o = P.ScalePos();
    if (P.ScaleType() == sctBottom && bottom + o < CoordY && CoordY < bottom + o + 40) return -i;
    if (P.ScaleType() == sctTop && FRcTRim - o - 40 < CoordY && CoordY < FRcTRim - o) return -i;
  }
  return 0;
}

}  // namespace kvr
