#include <cmath>

#include "platform/math1.h"
#include "platform/paintguard.h"
#include "scale/scale.h"

namespace kvr {

bool Rescale(Integer iX, Integer iY, Integer iAnchorX, Integer iAnchorY, Integer iWidth,
             Integer iHeight, Integer iMarginLeft, Integer iMarginRight, Integer iMarginTop,
             Integer iMarginBottom, double AnchorLow, double AnchorHigh,
             TMouseActMode MouseAction, TScaleType ScaleType, bool Logarithmic,
             double RangeLow, double RangeHigh, double& NewLow, double& NewHigh) {
  // Pixel differences are taken in double: the pointer may be anywhere, INT_MIN included.
  const double X = iX, Y = iY, AnchorX = iAnchorX, AnchorY = iAnchorY, Width = iWidth,
               Height = iHeight, MarginLeft = iMarginLeft, MarginRight = iMarginRight,
               MarginTop = iMarginTop, MarginBottom = iMarginBottom;
  const bool horizontal = ScaleType == sctTop || ScaleType == sctBottom;
  const double span_x = Width - MarginLeft - MarginRight;
  const double span_y = Height - MarginTop - MarginBottom;
  const double r = Logarithmic ? std::log(RangeHigh / RangeLow) : RangeHigh - RangeLow;
  double lo = 0, hi = 0;
  switch (MouseAction) {
    case maPan: {
      if (horizontal) {
        if (Logarithmic) {
          const double f = std::exp((AnchorX - X) * r / span_x);
          lo = AnchorLow * f, hi = AnchorHigh * f;
        } else {
          const double d = (X - AnchorX) * r / span_x;
          lo = AnchorLow - d, hi = AnchorHigh - d;
        }
      } else if (Logarithmic) {
        const double f = std::exp((Y - AnchorY) * r / span_y);
        lo = AnchorLow * f, hi = AnchorHigh * f;
      } else {
        const double d = (Y - AnchorY) * r / span_y;
        lo = AnchorLow + d, hi = AnchorHigh + d;
      }
      break;
    }
    case maZoom: {
      // The end the pointer grabbed moves; the far end stays.
      bool keep_low;
      double t;
      if (horizontal) {
        keep_low = AnchorX >= span_x / 2 + MarginLeft;
        t = keep_low ? (AnchorX - X) / span_x : (X - AnchorX) / span_x;
      } else {
        keep_low = AnchorY <= span_y / 2 + MarginTop;
        t = keep_low ? (Y - AnchorY) / span_y : (AnchorY - Y) / span_y;
      }
      if (Logarithmic) {
        ZoomAboutCentre(AnchorLow, AnchorHigh, true, t + 1, lo, hi);
        if (keep_low) lo = AnchorLow; else hi = AnchorHigh;
      } else {
        const double a = AnchorHigh - AnchorLow;
        double num, den;
        if (horizontal) {
          num = keep_low ? AnchorX - MarginLeft : Width - AnchorX - MarginRight;
          den = keep_low ? X - MarginLeft : Width - X - MarginRight;
        } else {
          num = keep_low ? Height - AnchorY - MarginBottom : AnchorY - MarginTop;
          den = keep_low ? Height - Y - MarginBottom : Y - MarginTop;
        }
        if (den == 0) return false;
        lo = keep_low ? AnchorLow : AnchorHigh - a * num / den;
        hi = keep_low ? AnchorLow + a * num / den : AnchorHigh;
      }
      break;
    }
    case maZoomDrag: {
      const double q = horizontal ? 1 - (X - AnchorX) / Width : 1 + (Y - AnchorY) / Height;
      ZoomAboutCentre(AnchorLow, AnchorHigh, Logarithmic, q, lo, hi);
      break;
    }
    default:
      return false;
  }
  // A range that is not finite, or collapsed to a point, would wreck the axis.
  if (!std::isfinite(lo) || !std::isfinite(hi) || lo == hi) return false;
  NewLow = lo;
  NewHigh = hi;
  return true;
}

void TScale::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft) FLButtonWasDown = false;
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TScale::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!Shift.Contains(ssLeft)) {
    FLButtonWasDown = false;
    return;
  }
  const bool on_axis =
      Horizontal() ? X > FMarginLeft && X < Width() - FMarginRight && Y > 0 && Y < Height()
                   : X > 0 && X < Width() && Y > FMarginTop && Y < Height() - FMarginBottom;
  if (!on_axis) return;
  if (!FLButtonWasDown) {
    FLButtonWasDown = true;
    FMAnchorX = X;
    FMAnchorY = Y;
    FMAnchorWorldLow = FRangeLow;
    FMAnchorWorldHigh = FRangeHigh;
    return;
  }
  double lo = 0, hi = 0;
  if (!Rescale(X, Y, FMAnchorX, FMAnchorY, Width(), Height(), FMarginLeft, FMarginRight, FMarginTop,
               FMarginBottom, FMAnchorWorldLow, FMAnchorWorldHigh, FMouseAction, FScaleType, FAxLog,
               FRangeLow, FRangeHigh, lo, hi))
    return;
  auto hold = detail::suppress_paint_then_resume(FSuppressPaint, *this);
  SetRange(lo, hi);
  hold.restore();
  if (OnZoomPan) OnZoomPan(this);
}

void TScale::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft) FLButtonWasDown = false;
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TScale::DblClick() {
  if (FMouseAction == maPan)
    FMouseAction = maZoom;
  else if (FMouseAction == maZoom)
    FMouseAction = maPan;
  TCustomControl::DblClick();
}

}  // namespace kvr
