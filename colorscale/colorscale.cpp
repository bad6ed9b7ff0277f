#include "colorscale/colorscale.h"

#include <algorithm>
#include <cmath>

#include "platform/arith.h"
#include "platform/paintguard.h"
#include "platform/registry.h"
#include "platform/setters.h"

namespace kvr {

TColorScale::TColorScale(TComponent* AOwner)
    : TCustomControl(AOwner), FCrossHair(std::make_unique<TCrossHair>()), FScale(std::make_unique<TScale>(nullptr)) {
  FCrossHair->SetColor(clRed);
  FCrossHair->SetMode(chBoth);
  FCrossHair->SetLineType(psDot);
  FCrossHair->SetLineWidth(1);
  FCrossHair->SetPos(0, 0);
  FCrossHair->OnChange = [this](TObject*) { Changed(); };
  ColorArray.OnChange = [this](TObject*) { Changed(); };

  FScale->SetIsHelper(true);
  FScale->SetSuppressPaint(true);
  FScale->UseForeignCanvas(FGrafBmp.Canvas(), 0, 0);
  FScale->SetName("ColorScale");
  FScale->SetBounds(0, 0, 300, 75);
  FScale->SetFrameStyle(rbNone);
  FScale->SetTransparent(true);
  FScale->SetScaleType(sctBottom);
  FScale->SetRange(FColSclMin, FColSclMax);
  SetBounds(0, 0, 300, 75);
}

TColorScale::~TColorScale() = default;

bool TColorScale::PaintAllowed() const {
  return (Visible() && !FSuppressPaint) || ComponentState().Contains(csDesigning);
}

void TColorScale::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  SetScaleDims();
  Changed();
}

void TColorScale::SetScaleDims() {
  const Integer w = Width(), h = Height();
  if (Horizontal()) {
    FScale->SetScaleType(sctBottom);
    FScale->SetBounds(0, 0, w, h);
    FScale->SetMarginTop(h - FMarginBottom);
    FScale->SetMarginLeft(FMarginLeft);
    FScale->SetMarginRight(FMarginRight);
  } else {
    FScale->SetScaleType(sctRight);
    FScale->SetBounds(0, 0, w, h);
    FScale->SetMarginLeft(w - FMarginRight);
    FScale->SetMarginTop(FMarginTop);
    FScale->SetMarginBottom(FMarginBottom);
  }
  // Margin changes alone do not renew the scale's transform.
  FScale->AdjustScalePars();
}

void TColorScale::TakeScaleRange() {
  FColSclMin = FScale->RangeLow();
  FColSclMax = FScale->RangeHigh();
}

void TColorScale::SetScaleRangeLow(double v) {
  if (!std::isfinite(v) || v == FColSclMin) return;
  FScale->SetRangeLow(v);
  TakeScaleRange();
  Changed();
}

void TColorScale::SetScaleRangeHigh(double v) {
  if (!std::isfinite(v) || v == FColSclMax) return;
  FScale->SetRangeHigh(v);
  TakeScaleRange();
  Changed();
}

void TColorScale::SetScaleRange(double Low, double High) {
  if (!std::isfinite(Low) || !std::isfinite(High)) return;
  if (Low == High) {
    Low -= 1;
    High += 1;
  }
  FScale->SetRange(Low, High);
  TakeScaleRange();
  // Where +-1 is lost to the precision of a huge value the scale widened the range
  // itself; the colour range follows it so that the two stay alike.
  FColorLow = FColSclMin;
  FColorHigh = FColSclMax;
  Changed();
}

void TColorScale::SetColorLow(double v) {
  if (!std::isfinite(v) || !StoreIfChanged(FColorLow, v)) return;
  if (FColorHigh < v) FColorHigh = v;
  Changed();
}

void TColorScale::SetColorHigh(double v) {
  if (!std::isfinite(v) || !StoreIfChanged(FColorHigh, v)) return;
  if (FColorLow > v) FColorLow = v;
  Changed();
}

void TColorScale::StoreMargin(Integer& Field, Integer v, Integer Opposite, Integer Extent) {
  // The bar keeps at least one pixel.
  if (!StoreMarginIfChanged(Field, v, Opposite, Extent, 1)) return;
  SetScaleDims();
  Changed();
}

void TColorScale::SetMarginTop(Integer v) { StoreMargin(FMarginTop, v, FMarginBottom, Height()); }

void TColorScale::SetMarginBottom(Integer v) { StoreMargin(FMarginBottom, v, FMarginTop, Height()); }

void TColorScale::SetMarginLeft(Integer v) { StoreMargin(FMarginLeft, v, FMarginRight, Width()); }

void TColorScale::SetMarginRight(Integer v) { StoreMargin(FMarginRight, v, FMarginLeft, Width()); }

void TColorScale::SetOrientation(TColScaleOrientation v) {
  if (!StoreIfChanged(FColScaleOrient, v)) return;
  SetScaleDims();
  Changed();
}

void TColorScale::SetFrameStyle(TFrameStyle v) {
  if (StoreIfChanged(FFrameSt, v)) Changed();
}

void TColorScale::SetCaption(const std::string& v) {
  if (StoreIfChanged(FCaption, v)) Changed();
}

void TColorScale::SetCaptionColor(TColor v) {
  if (StoreIfChanged(FCaptColor, v)) Changed();
}

void TColorScale::SetCaptionPosX(Integer v) {
  if (StoreIfChanged(FCaptPosX, v)) Changed();
}

void TColorScale::SetCaptionPosY(Integer v) {
  if (StoreIfChanged(FCaptPosY, v)) Changed();
}

void TColorScale::SetCaptionSize(Integer v) {
  if (StoreIfChanged(FCaptSize, v)) Changed();
}

void TColorScale::SetCaptionStyle(TFontStyles v) {
  if (StoreIfChanged(FCaptStyle, v)) Changed();
}

void TColorScale::SetCrossHair(const TCrossHair* v) {
  if (v && v != FCrossHair.get()) FCrossHair->Assign(v);
}

void TColorScale::SetExtendColors(bool v) {
  if (StoreIfChanged(FExtendColors, v)) Changed();
}

void TColorScale::SetFramedColorScale(bool v) {
  if (StoreIfChanged(FFramedColors, v)) Changed();
}

void TColorScale::SetMouseAction(TMouseActMode v) {
  if (!StoreIfChanged(FMouseAction, v)) return;
  FZoomPanMode = zpmNone;
  FLeftButWasDown = false;
}

void TColorScale::SetColorSclBkgd(TColor v) {
  if (StoreIfChanged(FColorSclBkgd, v)) Changed();
}

void TColorScale::SetColorOfScale(TColor v) {
  if (StoreIfChanged(FColorScale, v)) Changed();
}

void TColorScale::SetColorScheme(TColorScheme v) {
  if (!StoreIfChanged(FColorScheme, v)) return;
  FColGrayLine = v == csFixed ? clGray : clBtnShadow;
  FColWhiteLine = v == csFixed ? clWhite : clBtnHighlight;
  Changed();
}

void TColorScale::SetMinTicks(Integer v) {
  if (v == FScale->MinTicks()) return;
  FScale->SetMinTicks(v);
  Changed();
}

void TColorScale::SetSuppPaint(bool v) {
  if (!StoreIfChanged(FSuppressPaint, v)) return;
  if (!v) Changed();
}

TColor TColorScale::ValueToColor(double Value) const {
  const Integer n = ColorArray.Size();
  if (n < 1) return ColorArray.GetColorElem(0);
  const double span = FColorHigh - FColorLow;
  double idx = span == 0 ? n / 2.0 : (Value - FColorLow) * n / span;
  // Written so that NaN lands on the first entry.
  idx = idx > n ? n : (idx >= 1 ? idx : 1);
  return ColorArray.GetColorElem(static_cast<Integer>(Round(idx)));
}

double TColorScale::ColorToValue(TColor Color) const {
  const Integer n = ColorArray.Size();
  if (n < 1) return FColorLow;
  double dist = 0;
  const Integer i = ColorArray.ColorToIndex(Color, dist);
  return (FColorHigh - FColorLow) * i / n + FColorLow;
}

void TColorScale::CopyToBitMap(TBitmap* Bitmap, Integer x, Integer y) {
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

void TColorScale::Assign(const TPersistent* Source) {
  const auto* s = dynamic_cast<const TColorScale*>(Source);
  if (!s) {
    TCustomControl::Assign(Source);
    return;
  }
  if (s == this) return;
  const auto hold = detail::suppress_paint_then(FSuppressPaint, [this] { Changed(); });
  FFrameSt = s->FFrameSt;
  FCaption = s->FCaption;
  FCaptColor = s->FCaptColor;
  FCaptPosX = s->FCaptPosX;
  FCaptPosY = s->FCaptPosY;
  FCaptSize = s->FCaptSize;
  FCaptStyle = s->FCaptStyle;
  FExtendColors = s->FExtendColors;
  FFramedColors = s->FFramedColors;
  FMouseAction = s->FMouseAction;
  FColScaleOrient = s->FColScaleOrient;
  FColorSclBkgd = s->FColorSclBkgd;
  FColorScale = s->FColorScale;
  FColorScheme = s->FColorScheme;
  FColBlackLine = s->FColBlackLine;
  FColGrayLine = s->FColGrayLine;
  FColWhiteLine = s->FColWhiteLine;
  // Margins are taken as they are; they were valid for the source's size.
  FMarginTop = s->FMarginTop;
  FMarginBottom = s->FMarginBottom;
  FMarginLeft = s->FMarginLeft;
  FMarginRight = s->FMarginRight;
  FScale->SetMinTicks(s->FScale->MinTicks());
  FScale->SetRange(s->FColSclMin, s->FColSclMax);
  TakeScaleRange();
  FColorLow = s->FColorLow;
  FColorHigh = s->FColorHigh;
  FCrossHair->Assign(s->FCrossHair.get());
  SetFont(s->Font());
  SetScaleDims();
}

void TColorScale::AssignTo(TPersistent* Dest) const {
  if (Dest) Dest->Assign(this);
}

namespace Kvr_colorscale {
void Register() {
  RegisterComponents("KVR", {{"TColorScale", [](TComponent* o) -> TComponent* { return new TColorScale(o); }}});
}
}  // namespace Kvr_colorscale

}  // namespace kvr
