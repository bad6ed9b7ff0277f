// TPlot3D: colour coding of z values and the colour settings.
#include <algorithm>
#include <cmath>

#include "platform/arith.h"
#include "platform/graphics.h"
#include "platform/setters.h"
#include "plot3d/plot3d.h"

namespace kvr {

namespace {

Integer Mix(Integer lo, Integer hi, double t) { return static_cast<Integer>(RoundPix(lo + t * (hi - lo))); }

// Called for every cell of a surface: plain colours skip the call.
TColor PlainRGB(TColor c) { return c >= 0 ? c & 0xFFFFFF : ColorToRGB(c); }

TColor MixColors(TColor Low, TColor High, double t) {
  Low = PlainRGB(Low);
  High = PlainRGB(High);
  const Integer r = Mix(GetRValue(Low), GetRValue(High), t);
  const Integer g = Mix(GetGValue(Low), GetGValue(High), t);
  const Integer b = Mix(GetBValue(Low), GetBValue(High), t);
  return r + 256 * g + 65536 * b;
}

}  // namespace

TColor TPlot3D::CalcColorCoding(double z) const {
  // NaN takes the low end rather than an undefined table index or byte.
  if (std::isnan(z)) z = FColorScaleLow;
  z = std::clamp(z, FColorScaleLow, FColorScaleHigh);
  double t = (z - FColorScaleLow) / (FColorScaleHigh - FColorScaleLow);
  if (!std::isfinite(t)) t = 0.0;  // limits so far apart that their span overflows
  t = std::clamp(t, 0.0, 1.0);
  switch (FColorCodingMode) {
    case ccmThreeColors:
      return t < 0.5 ? MixColors(FColorFillLow, FColorFillMid, 2 * t)
                     : MixColors(FColorFillMid, FColorFillHigh, 2 * (t - 0.5));
    case ccmColorArray: {
      const Integer s = IsoColors.Size();
      return ColorToRGB(IsoColors.GetColorElem(std::clamp<Integer>(static_cast<Integer>(Round(s * t)), 0, s)));
    }
    default:
      return MixColors(FColorFillLow, FColorFillHigh, t);
  }
}

void TPlot3D::SetColorScaleLow(double v) {
  if (!(v < FColorScaleHigh) || std::isinf(v)) return;
  if (StoreIfChanged(FColorScaleLow, v)) Changed();
}

void TPlot3D::SetColorScaleHigh(double v) {
  if (!(v > FColorScaleLow) || std::isinf(v)) return;
  if (StoreIfChanged(FColorScaleHigh, v)) Changed();
}

void TPlot3D::SetColorScheme(TColorScheme v) {
  if (!StoreIfChanged(FColorScheme, v)) return;
  FColGrayLine = v == csFixed ? clGray : clBtnShadow;
  FColWhiteLine = v == csFixed ? clWhite : clBtnHighlight;
  Changed();
}

}  // namespace kvr
