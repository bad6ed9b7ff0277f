#include "gauge/gauge.h"

#include <algorithm>
#include <cmath>

#include "platform/registry.h"
#include "platform/setters.h"

namespace kvr {

TScaleGauge::TScaleGauge(TComponent* AOwner) : TCustomControl(AOwner), FScale(std::make_unique<TScale>(nullptr)) {
  FScale->SetIsHelper(true);
  FScale->SetSuppressPaint(true);
  FScale->UseForeignCanvas(FGrafBmp.Canvas(), 0, 0);
  FScale->SetName("GaugeScale");
  FScale->SetBounds(0, 0, 300, 75);
  FScale->SetTransparent(true);
  FScale->SetScaleType(sctBottom);
  FScale->SetRange(FGaugeMin, FGaugeMax);
  FScale->SetLogarithmic(FLogarithmic);
  FScale->SetMinTicks(FMinTicks);
  FScale->SetShortTicks(FShortTicks);
  SetBounds(0, 0, 300, 75);
}

TScaleGauge::~TScaleGauge() = default;

bool TScaleGauge::PaintAllowed() const { return Visible() || ComponentState().Contains(csDesigning); }

void TScaleGauge::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  FGaugeWid = Width();
  FGaugeHgt = Height();
  SetScaleDims();
  Changed();
}

void TScaleGauge::SetScaleDims() {
  const Integer w = Width(), h = Height();
  if (Horizontal()) {
    FScale->SetScaleType(sctTop);
    FScale->SetBounds(FCovMargLeft, 0, w, h);
    FScale->SetMarginBottom(FCovMargBottom + 10);
    FScale->SetMarginTop(FCovMargTop);
    FScale->SetMarginLeft(FCovMargLeft);
    FScale->SetMarginRight(FCovMargRight);
  } else {
    FScale->SetScaleType(sctLeft);
    FScale->SetBounds(0, 0, w, h);
    FScale->SetMarginLeft(FCovMargLeft);
    FScale->SetMarginRight(FCovMargRight + 10);
    FScale->SetMarginTop(FCovMargTop);
    FScale->SetMarginBottom(FCovMargBottom);
  }
  // Margin changes alone do not renew the scale's transform.
  FScale->AdjustScalePars();
}

double TScaleGauge::ShownValue() const {
  // The stored value may lie outside a range changed after it was set; the dial shows it
  // at the nearer end, which also keeps a logarithmic dial away from zero.
  return std::clamp(FGaugeValue, std::min(FGaugeMin, FGaugeMax), std::max(FGaugeMin, FGaugeMax));
}

void TScaleGauge::LayDial() {
  double lo = FGaugeMin, hi = FGaugeMax;
  if (!FScaleFixed) {
    const double v = ShownValue();
    if (FLogarithmic) {
      const double r = std::sqrt(FGaugeMax / FGaugeMin);
      lo = v / r;
      hi = v * r;
    } else {
      const double half = std::fabs(FGaugeMax - FGaugeMin) / 2;
      lo = v - half;
      hi = v + half;
    }
  }
  // Linear first, so that the scale never sees a logarithmic mode with a bad range.
  if (!FLogarithmic) FScale->SetLogarithmic(false);
  if (std::isfinite(lo) && std::isfinite(hi) && (lo != FScale->RangeLow() || hi != FScale->RangeHigh()))
    FScale->SetRange(lo, hi);
  if (FLogarithmic) FScale->SetLogarithmic(true);
}

void TScaleGauge::SetValue(double v) {
  if (std::isnan(v)) return;
  v = std::clamp(v, std::min(FGaugeMin, FGaugeMax), std::max(FGaugeMin, FGaugeMax));
  if (!StoreIfChanged(FGaugeValue, v)) return;
  if (!FScaleFixed) LayDial();
  Changed();
}

void TScaleGauge::SetMin(double v) {
  if (!std::isfinite(v) || v == FGaugeMin || (FLogarithmic && v <= 0)) return;
  FGaugeMin = v;
  LayDial();
  Changed();
}

void TScaleGauge::SetMax(double v) {
  if (!std::isfinite(v) || v == FGaugeMax || (FLogarithmic && v <= 0)) return;
  FGaugeMax = v;
  LayDial();
  Changed();
}

void TScaleGauge::SetLogarithmic(bool v) {
  if (v == FLogarithmic) return;
  if (v && !(FGaugeMin > 0 && FGaugeMax > 0)) return;
  FLogarithmic = v;
  LayDial();
  Changed();
}

void TScaleGauge::SetFixedDial(bool v) {
  if (!StoreIfChanged(FScaleFixed, v)) return;
  LayDial();
  if (v) SetScaleDims();
  Changed();
}

void TScaleGauge::SetGaugeZero(double v) {
  if (!std::isnan(v) && StoreIfChanged(FGaugeZero, v)) Changed();
}

void TScaleGauge::SetOrientation(TGaugeOrientation v) {
  if (!StoreIfChanged(FGaugeOrient, v)) return;
  SetScaleDims();
  Changed();
}

void TScaleGauge::SetEnabled(bool v) {
  if (!StoreIfChanged(FEnabled, v)) return;
  TControl::SetEnabled(v);
  Refresh();
}

void TScaleGauge::StoreMargin(Integer& Field, Integer v, Integer Opposite, Integer Extent) {
  // The dial keeps at least 20 pixels.
  if (!StoreMarginIfChanged(Field, v, Opposite, Extent, 20)) return;
  SetScaleDims();
  Changed();
}

void TScaleGauge::SetMarginLeft(Integer v) { StoreMargin(FCovMargLeft, v, FCovMargRight, Width()); }

void TScaleGauge::SetMarginRight(Integer v) { StoreMargin(FCovMargRight, v, FCovMargLeft, Width()); }

void TScaleGauge::SetMarginTop(Integer v) { StoreMargin(FCovMargTop, v, FCovMargBottom, Height()); }

void TScaleGauge::SetMarginBottom(Integer v) { StoreMargin(FCovMargBottom, v, FCovMargTop, Height()); }

void TScaleGauge::SetMinTicks(Integer v) {
  if (!StoreIfChanged(FMinTicks, v)) return;
  FScale->SetMinTicks(v);
  Changed();
}

void TScaleGauge::SetShortTicks(bool v) {
  if (!StoreIfChanged(FShortTicks, v)) return;
  FScale->SetShortTicks(v);
  Changed();
}

void TScaleGauge::SetColorScheme(TColorScheme v) {
  if (!StoreIfChanged(FColorScheme, v)) return;
  FColGrayLine = v == csFixed ? clGray : clBtnShadow;
  FColWhiteLine = v == csFixed ? clWhite : clBtnHighlight;
  Changed();
}

void TScaleGauge::SetFrameStyleInner(TFrameStyle v) {
  if (StoreIfChanged(FInnerFrameSt, v)) Changed();
}

void TScaleGauge::SetFrameStyleOuter(TFrameStyle v) {
  if (StoreIfChanged(FOuterFrameSt, v)) Changed();
}

void TScaleGauge::SetCaption(const std::string& v) {
  if (StoreIfChanged(FCaption, v)) Changed();
}

void TScaleGauge::SetCaptionColor(TColor v) {
  if (StoreIfChanged(FCaptColor, v)) Changed();
}

void TScaleGauge::SetCaptionPosX(Integer v) {
  if (StoreIfChanged(FCaptPosX, v)) Changed();
}

void TScaleGauge::SetCaptionPosY(Integer v) {
  if (StoreIfChanged(FCaptPosY, v)) Changed();
}

void TScaleGauge::SetCaptionSize(Integer v) {
  if (StoreIfChanged(FCaptSize, v)) Changed();
}

void TScaleGauge::SetCaptionStyle(TFontStyles v) {
  if (StoreIfChanged(FCaptStyle, v)) Changed();
}

void TScaleGauge::SetBackground(TGaugeBackground v) {
  if (StoreIfChanged(FGaugeBG, v)) Changed();
}

void TScaleGauge::SetIndexMode(TGaugeIndexMode v) {
  if (StoreIfChanged(FGaugeIdxMode, v)) Changed();
}

void TScaleGauge::SetColorIndex1(TColor v) {
  if (StoreIfChanged(FColorIndex1, v)) Changed();
}

void TScaleGauge::SetColorIndex2(TColor v) {
  if (StoreIfChanged(FColorIndex2, v)) Changed();
}

void TScaleGauge::SetColorBg1(TColor v) {
  if (StoreIfChanged(FColorSclBG1, v)) Changed();
}

void TScaleGauge::SetColorBg2(TColor v) {
  if (StoreIfChanged(FColorSclBG2, v)) Changed();
}

void TScaleGauge::SetColorCover(TColor v) {
  if (StoreIfChanged(FColorCover, v)) Changed();
}

void TScaleGauge::SetColorScale(TColor v) {
  if (StoreIfChanged(FColorScale, v)) Changed();
}

void TScaleGauge::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!OnMouseMoveInGauge) return;
  const Integer w = Width(), h = Height();
  const Integer right = Horizontal() ? w - FCovMargRight : w - (FCovMargRight + 10);
  const Integer bottom = Horizontal() ? h - (FCovMargBottom + 10) : h - FCovMargBottom;
  const bool in = X >= FCovMargLeft && X <= right && Y >= FCovMargTop && Y <= bottom;
  OnMouseMoveInGauge(this, in, Shift, FScale->M2R(Horizontal() ? X : Y));
}

void TScaleGauge::CopyToBitMap(TBitmap* Bitmap, Integer x, Integer y) {
  if (!Bitmap) return;
  if (HandleAllocated())
    Update();
  else if (PaintAllowed())
    RenderImage();
  if (x < 0 || y < 0) {
    Bitmap->SetSize(FGrafBmp.Width(), FGrafBmp.Height());
    x = y = 0;
  }
  Bitmap->Canvas()->Draw(x, y, &FGrafBmp);
}

void TScaleGauge::Assign(const TPersistent* Source) {
  const auto* s = dynamic_cast<const TScaleGauge*>(Source);
  if (!s) {
    TCustomControl::Assign(Source);
    return;
  }
  if (s == this) return;
  FInnerFrameSt = s->FInnerFrameSt;
  FOuterFrameSt = s->FOuterFrameSt;
  FCaption = s->FCaption;
  FCaptColor = s->FCaptColor;
  FCaptPosX = s->FCaptPosX;
  FCaptPosY = s->FCaptPosY;
  FCaptSize = s->FCaptSize;
  FCaptStyle = s->FCaptStyle;
  FGaugeMin = s->FGaugeMin;
  FGaugeMax = s->FGaugeMax;
  FGaugeValue = s->FGaugeValue;
  FGaugeOrient = s->FGaugeOrient;
  FGaugeBG = s->FGaugeBG;
  FGaugeIdxMode = s->FGaugeIdxMode;
  FGaugeZero = s->FGaugeZero;
  // Margins are taken as they are; they were valid for the source's size.
  FCovMargLeft = s->FCovMargLeft;
  FCovMargRight = s->FCovMargRight;
  FCovMargTop = s->FCovMargTop;
  FCovMargBottom = s->FCovMargBottom;
  FLogarithmic = s->FLogarithmic;
  FMinTicks = s->FMinTicks;
  FShortTicks = s->FShortTicks;
  FColorIndex1 = s->FColorIndex1;
  FColorIndex2 = s->FColorIndex2;
  FColorSclBG1 = s->FColorSclBG1;
  FColorSclBG2 = s->FColorSclBG2;
  FColorCover = s->FColorCover;
  FColorScale = s->FColorScale;
  FColBlackLine = s->FColBlackLine;
  FColGrayLine = s->FColGrayLine;
  FColWhiteLine = s->FColWhiteLine;
  FColorScheme = s->FColorScheme;
  FScaleFixed = s->FScaleFixed;
  FScale->SetMinTicks(FMinTicks);
  FScale->SetShortTicks(FShortTicks);
  SetFont(s->Font());
  FEnabled = s->FEnabled;
  TControl::SetEnabled(FEnabled);
  SetScaleDims();
  LayDial();
  Changed();
}

void TScaleGauge::AssignTo(TPersistent* Dest) const {
  if (Dest) Dest->Assign(this);
}

namespace Kvr_gauge {
void Register() {
  RegisterComponents("KVR", {{"TScaleGauge", [](TComponent* o) -> TComponent* { return new TScaleGauge(o); }}});
}
}  // namespace Kvr_gauge

}  // namespace kvr
