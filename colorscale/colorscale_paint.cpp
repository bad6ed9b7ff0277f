// Painting and mouse handling of TColorScale.
#include <algorithm>
#include <cmath>

#include "colorscale/colorscale.h"
#include "platform/arith.h"

namespace kvr {

void TColorScale::Paint() {
  if (!PaintAllowed()) return;
  RenderImage();
  Canvas()->Draw(0, 0, &FGrafBmp);
}

// Straight onto another canvas, with the scale drawing there too, so that a scaled
// canvas gets sharp lines and text instead of the enlarged image.
bool TColorScale::PaintOn(TCanvas& Target) {
  if (!PaintAllowed()) return false;
  FScale->PaintOnForeignCanvas(Target, FGrafBmp.Canvas(), [&] { RenderImage(&Target); });
  return true;
}

void TColorScale::RenderImage(TCanvas* Target) {
  const Integer w = Width(), h = Height();
  if (!Target) FGrafBmp.SetSize(w, h);
  TCanvas* cv = Target ? Target : FGrafBmp.Canvas();
  cv->SetFont(Font());
  cv->Pen()->SetMode(pmCopy);
  cv->Pen()->SetStyle(psSolid);
  cv->Pen()->SetWidth(1);
  cv->Pen()->SetColor(FColorSclBkgd);
  cv->Brush()->SetStyle(bsSolid);
  cv->Brush()->SetColor(FColorSclBkgd);
  cv->Rectangle(0, 0, w, h);

  DrawBar(cv);
  if (FFramedColors) {
    cv->Pen()->SetColor(FColorScale);
    cv->Brush()->SetStyle(bsClear);
    if (Horizontal())
      cv->Rectangle(FMarginLeft, FMarginTop, w - FMarginRight, h - FMarginBottom + 1);
    else
      cv->Rectangle(FMarginLeft, FMarginTop, w - FMarginRight + 1, h - FMarginBottom);
  }

  FScale->SetFont(Font());
  FScale->SetColorScale(FColorScale);
  FScale->ForcePaint();

  if (!FCaption.empty()) {
    cv->SetFont(Font());
    cv->Font()->SetSize(FCaptSize);
    cv->Font()->SetStyle(FCaptStyle);
    cv->Font()->SetColor(FCaptColor);
    cv->Brush()->SetStyle(bsClear);
    cv->TextOut(FCaptPosX, FCaptPosY, FCaption);
  }
  if (OnDataRendered) OnDataRendered(this, cv);
  DrawCrossHair(cv);
  DrawFrame(cv, FFrameSt, 0, 0, w - 1, h - 1, FColWhiteLine, clSilver, FColGrayLine, FColBlackLine,
            FColBlackLine);
}

void TColorScale::DrawBar(TCanvas* Cv) {
  const Integer w = Width(), h = Height();
  const Integer n = ColorArray.Size();
  const bool horz = Horizontal();
  const Integer edge_lo = horz ? FMarginLeft : FMarginTop;
  const Integer edge_hi = horz ? w - FMarginRight - 1 : h - FMarginBottom - 1;
  if (n < 1 || edge_hi < edge_lo) return;
  const Integer p_low = FScale->R2M(FColorLow);
  const Integer p_high = FScale->R2M(FColorHigh);
  const Integer a = std::clamp(p_low, edge_lo, edge_hi);
  const Integer b = std::clamp(p_high, edge_lo, edge_hi);
  // A reversed colour range puts a after b; the bar is walked in pixel order either way.
  const Integer from = std::min(a, b), to = std::max(a, b);
  const double span = static_cast<double>(p_high) - p_low;

  Cv->Pen()->SetStyle(psSolid);
  Cv->Pen()->SetWidth(1);
  Cv->Brush()->SetStyle(bsSolid);
  for (Integer t = from; t <= to; ++t) {
    int64_t i = a == b ? n / 2 : Round((t - static_cast<double>(p_low)) / span * n);
    i = std::clamp<int64_t>(i, 1, n);
    Cv->Pen()->SetColor(ColorArray.GetColorElem(static_cast<Integer>(i)));
    if (horz) {
      Cv->MoveTo(t, FMarginTop);
      Cv->LineTo(t, h - FMarginBottom);
    } else {
      Cv->MoveTo(FMarginLeft, t);
      Cv->LineTo(w - FMarginRight, t);
    }
  }
  if (!FExtendColors) return;
  // The part before `from` lies beyond the low end when ColorLow maps to the smaller
  // pixel (left on a horizontal bar, top on a reversed vertical one).
  const bool low_first = p_low < p_high || (p_low == p_high && horz);
  auto fill = [&](Integer t0, Integer t1, Integer idx) {
    if (t1 < t0) return;
    Cv->Brush()->SetColor(ColorArray.GetColorElem(idx));
    if (horz)
      Cv->FillRect(Rect(t0, FMarginTop, t1 + 1, h - FMarginBottom));
    else
      Cv->FillRect(Rect(FMarginLeft, t0, w - FMarginRight, t1 + 1));
  };
  fill(edge_lo, from - 1, low_first ? 1 : n);
  fill(to + 1, edge_hi, low_first ? n : 1);
}

void TColorScale::DrawCrossHair(TCanvas* Cv) {
  if (!FCrossHair->Visible() || FCrossHair->Mode() == chOff) return;
  const Integer w = Width(), h = Height();
  const Integer lw = FCrossHair->LineWidth();
  TPen* pen = Cv->Pen();
  pen->SetColor(FCrossHair->Color());
  pen->SetWidth(lw);
  pen->SetStyle(FCrossHair->LineType());
  if (Horizontal()) {
    const Integer p = FScale->R2M(FCrossHair->PosX());
    Cv->MoveTo(p, FMarginTop + lw / 2 + 1);
    Cv->LineTo(p, h - FMarginBottom - lw / 2);
  } else {
    const Integer p = FScale->R2M(FCrossHair->PosY());
    Cv->MoveTo(FMarginLeft + lw / 2 + 1, p);
    Cv->LineTo(w - FMarginRight - lw / 2, p);
  }
  pen->SetWidth(1);
  pen->SetStyle(psSolid);
}

Integer TColorScale::BarLength() const {
  return Horizontal() ? Width() - FMarginLeft - FMarginRight : Height() - FMarginTop - FMarginBottom;
}

void TColorScale::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || FMouseAction != maScaleDrag) return;
  const Integer len = BarLength();
  if (len <= 0) return;
  FMouseAnchorX = X;
  FMouseAnchorY = Y;
  FAnchorSclLow = FColSclMin;
  FAnchorSclHigh = FColSclMax;
  const Integer near_end = static_cast<Integer>(Round(0.42 * len));
  const Integer far_end = static_cast<Integer>(Round(0.58 * len));
  if (Horizontal()) {
    if (X < FMarginLeft + near_end)
      FZoomPanMode = zpmLowEnd;
    else if (X > FMarginLeft + far_end)
      FZoomPanMode = zpmHighEnd;
    else
      FZoomPanMode = zpmPan;
  } else if (Y < FMarginTop + near_end) {
    FZoomPanMode = zpmHighEnd;
  } else if (Y > FMarginTop + far_end) {
    FZoomPanMode = zpmLowEnd;
  } else {
    FZoomPanMode = zpmPan;
  }
}

void TColorScale::DragScale(Integer X, Integer Y) {
  const Integer len = BarLength();
  if (len <= 0) return;
  const double width = FColSclMax - FColSclMin;
  const double d = Horizontal() ? (X - FMouseAnchorX) * width / len : -(Y - FMouseAnchorY) * width / len;
  double lo = FColSclMin, hi = FColSclMax;
  switch (FZoomPanMode) {
    case zpmPan: lo = FAnchorSclLow - d; hi = FAnchorSclHigh - d; break;
    case zpmLowEnd: lo = FAnchorSclLow - d; break;
    case zpmHighEnd: hi = FAnchorSclHigh - d; break;
    default: return;
  }
  if (!std::isfinite(lo) || !std::isfinite(hi)) return;
  // An end dragged onto or past the other would flip the scale; such moves are refused.
  if ((hi - lo) * (FAnchorSclHigh - FAnchorSclLow) <= 0) return;
  SetScaleRange(lo, hi);
}

void TColorScale::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  const bool left = Shift.Contains(ssLeft);
  if (FMouseAction == maDragCrossHair) {
    const bool shown = FCrossHair->Visible() && FCrossHair->Mode() != chOff;
    if (left && shown) {
      if (!FLeftButWasDown) {
        FLeftButWasDown = true;
      } else {
        double v = FScale->M2R(Horizontal() ? X : Y);
        v = std::clamp(v, std::min(FColSclMin, FColSclMax), std::max(FColSclMin, FColSclMax));
        FCrossHair->SetPos(v, v);
        if (OnCrossHairMove) OnCrossHairMove(this);
      }
    }
  } else if (FMouseAction == maScaleDrag && left && FZoomPanMode != zpmNone) {
    DragScale(X, Y);
  }
  if (OnMouseMoveInScale) {
    const bool in_scale = X >= FMarginLeft && X <= Width() - FMarginRight && Y >= FMarginTop &&
                          Y <= Height() - FMarginBottom;
    OnMouseMoveInScale(this, in_scale, Shift, FScale->M2R(Horizontal() ? X : Y));
  }
}

void TColorScale::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  FLeftButWasDown = false;
  if (FZoomPanMode == zpmNone) return;
  FZoomPanMode = zpmNone;
  if (FMouseAction == maScaleDrag && OnZoomPan) OnZoomPan(this);
}

}  // namespace kvr
