// Axis property objects of the chart, their axis controls, margins, resizing and the
// standard layouts.
#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/kvrcolors.h"
#include "platform/setters.h"
#include "platform/paintguard.h"
#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

// TBitmap refuses sides beyond 65535 and areas beyond 2^28 pixels; a huge chart keeps
// a cropped image instead of failing in a setter.
void size_bitmap(TBitmap& Bmp, int64_t W, int64_t H) {
  W = std::clamp<int64_t>(W, 0, 65535);
  H = std::clamp<int64_t>(H, 0, 65535);
  if (W > 0 && W * H > (int64_t{1} << 28)) H = (int64_t{1} << 28) / W;
  if (Bmp.Width() != W || Bmp.Height() != H) Bmp.SetSize(Integer(W), Integer(H));
}

struct AxisRow {
  Byte Loc;  // TScaleLocationHoriz for X, TScaleLocationVert for Y
  Integer CaptX, CaptY;
  TAlignment Align;
  TScaleUnitAnchor Anchor;
  Integer Pos;
  bool Visible;
};

struct LayoutRow {
  Integer L, R, T, B;
  Integer CaptX, CaptY;
  TAlignment Align;
  TCaptionAnchorHoriz AnchorX;
  TCaptionAnchorVert AnchorY;
  AxisRow X1, X2, Y1, Y2;
};

constexpr LayoutRow kLayouts[kNumStdLayouts] = {
    // rcl_X1Bottom_Y1Left
    {50, 20, 20, 40, 0, -16, taRightJustify, cahChartRight, cavChartTop,
     {slBottom, 0, 22, taCenter, uaSclCenter, 0, true},
     {slBottom, 10, 100, taCenter, uaSclCenter, 0, false},
     {slLeft, 0, -16, taLeftJustify, uaSclTopLft, 0, true},
     {slLeft, 10, 100, taRightJustify, uaSclTopLft, 0, false}},
    // rcl_X1Bottom_Y2Left
    {100, 20, 24, 40, 0, -16, taRightJustify, cahChartRight, cavChartTop,
     {slBottom, 0, 22, taCenter, uaSclCenter, 0, true},
     {slBottom, 10, 100, taCenter, uaSclCenter, 0, false},
     {slLeft, 0, -23, taRightJustify, uaSclTopLft, 0, true},
     {slLeft, 0, -23, taRightJustify, uaSclTopLft, 50, true}},
    // rcl_X1Bottom_Y2Both
    {50, 50, 24, 40, 0, -20, taCenter, cahChartCenter, cavChartTop,
     {slBottom, 0, 22, taCenter, uaSclCenter, 0, true},
     {slBottom, 10, 100, taCenter, uaSclCenter, 0, false},
     {slLeft, 0, -23, taRightJustify, uaSclTopLft, 0, true},
     {slRight, 0, -23, taLeftJustify, uaSclTopLft, 0, true}},
    // rcl_X2Bottom_Y2Left
    {100, 20, 24, 70, 0, -16, taRightJustify, cahChartRight, cavChartTop,
     {slBottom, -20, 7, taRightJustify, uaSclTopLft, 0, true},
     {slBottom, -20, 7, taRightJustify, uaSclTopLft, 30, true},
     {slLeft, 0, -23, taRightJustify, uaSclTopLft, 0, true},
     {slLeft, 0, -23, taRightJustify, uaSclTopLft, 50, true}},
    // rcl_X2Both_Y2Both
    {50, 50, 64, 40, 0, -60, taCenter, cahChartCenter, cavChartTop,
     {slBottom, 0, 20, taCenter, uaSclCenter, 0, true},
     {slTop, 0, -40, taCenter, uaSclCenter, 0, true},
     {slLeft, 0, -40, taRightJustify, uaSclTopLft, 0, true},
     {slRight, 0, -40, taLeftJustify, uaSclTopLft, 0, true}},
};

void apply_axis_row(TScaleProps& P, const AxisRow& Row) {
  if (auto* h = dynamic_cast<TScalePropsHoriz*>(&P))
    h->SetScaleLocation(TScaleLocationHoriz(Row.Loc));
  else if (auto* v = dynamic_cast<TScalePropsVert*>(&P))
    v->SetScaleLocation(TScaleLocationVert(Row.Loc));
  P.SetCaptionPosX(Row.CaptX);
  P.SetCaptionPosY(Row.CaptY);
  P.SetCaptionAlignment(Row.Align);
  P.SetCaptionAnchor(Row.Anchor);
  P.SetScalePos(Row.Pos);
  P.SetVisible(Row.Visible);
}

}  // namespace

TScaleProps* TCustomZUvado::GetScalePropsX(Integer sclix) const {
  return FScalePropsX[(sclix == 2) ? 1 : 0].get();
}

TScaleProps* TCustomZUvado::GetScalePropsY(Integer sclix) const {
  return FScalePropsY[(sclix == 2) ? 1 : 0].get();
}

// The chart's own handler and loading state survive the copy: a handler taken over from
// another chart's object would route this chart's changes to that chart.
void TCustomZUvado::SetScalePropsX(Integer sclix, const TScaleProps* v) {
  if (sclix < 1 || sclix > 2 || !v) return;
  TScaleProps& own = *FScalePropsX[size_t(sclix - 1)];
  auto handler = own.OnChange;
  const bool notYetLoaded = own.FNotYetLoaded;
  own.Assign(v);
  own.OnChange = std::move(handler);
  own.SetNotYetLoaded(notYetLoaded);
  if (ComponentState().Contains(csDesigning)) RepaintChart();
}

void TCustomZUvado::SetScalePropsY(Integer sclix, const TScaleProps* v) {
  if (sclix < 1 || sclix > 2 || !v) return;
  TScaleProps& own = *FScalePropsY[size_t(sclix - 1)];
  auto handler = own.OnChange;
  const bool notYetLoaded = own.FNotYetLoaded;
  own.Assign(v);
  own.OnChange = std::move(handler);
  own.SetNotYetLoaded(notYetLoaded);
  if (ComponentState().Contains(csDesigning)) RepaintChart();
}

TScale* TCustomZUvado::ScalesX(Integer k) const {
  return (k == 1 || k == 2) ? FScalesX[size_t(k - 1)].get() : nullptr;
}

TScale* TCustomZUvado::ScalesY(Integer k) const {
  return (k == 1 || k == 2) ? FScalesY[size_t(k - 1)].get() : nullptr;
}

void TCustomZUvado::ResetAxes() {
  const auto hold = detail::suppress_paint(FSuppressPaint);
  Fxasp = std::max(1, Canvas()->DeviceCaps(ASPECTX));
  Fyasp = std::max(1, Canvas()->DeviceCaps(ASPECTY));
  FIsometric = false;
  FZoomRange = {};
  FGridDx = FGridDy = 0;
  FMouseAction = maNone;
  F3DRim = 0;
  FCaptionPosX = 0;
  FCaptionPosY = -15;
  FCaptAlignment = taRightJustify;
  FCaptAnchorX = cahChartRight;
  FCaptAnchorY = cavChartTop;
  size_bitmap(*FChartBmp, Width(), Height());
  SizeGrafBmp();

  for (size_t i = 0; i < 2; ++i) {
    const std::string layer = std::to_string(i + 1);
    TScaleProps* props[2] = {FScalePropsX[i].get(), FScalePropsY[i].get()};
    TScale* scales[2] = {FScalesX[i].get(), FScalesY[i].get()};
    for (int a = 0; a < 2; ++a) {
      TScaleProps& P = *props[a];
      P.FOwnerComp = this;
      P.OnChange = nullptr;
      P.DateFormat()->OnChange = nullptr;
      P.Reset();
      TScale& S = *scales[a];
      S.ResetComp();
      S.OnScaleTickDrawn = [this](TObject* Sender, TCanvas* Cv, TScaleType ST, double Pos,
                                  Integer X, Integer Y) {
        if (OnScaleTickDrawn) OnScaleTickDrawn(Sender, Cv, ST, Pos, X, Y);
      };
      S.OnBeforeTickLabel = [this](TObject* Sender, TScaleType ST, double Pos,
                                   std::string& Label) {
        if (OnBeforeTickLabel) OnBeforeTickLabel(Sender, ST, Pos, Label);
      };
      S.SetMouseAction(maZoom);
      S.OnZoomPan = [this](TObject* Sender) { ScaleZoomPan(Sender); };
      S.SetTransparent(true);
      S.SetColorBackGnd(FWindColor);
      S.SetFrameStyle(rbNone);
      S.SetBounds(0, 0, Width(), Height());
      S.SetIsHelper(true);
      S.SetSuppressPaint(true);
      S.UseForeignCanvas(FChartBmp->Canvas(), 0, 0);
      S.SetName((a == 0 ? "RC_FScale_X_" : "RC_FScale_Y_") + layer);
      P.SetColorScale(PredefinedColors[i]);
      P.SetScalePos(0);
    }
    FScalePropsX[i]->SetScaleType(i == 0 ? sctBottom : sctTop);
    FScalePropsY[i]->SetScaleType(i == 0 ? sctLeft : sctRight);
    for (TScaleProps* P : props) {
      P->OnChange = [this](TObject* Sender) { ScalePropsChanged(Sender); };
      P->DateFormat()->OnChange = [this](TObject* Sender) { ScalePropsChanged(Sender); };
    }
  }
  ApplyMarginsToScales();
  FStdLayout = rcl_X1Bottom_Y1Left;
  SetStdLayout(FStdLayout);
  AdjustScaling();
  ClearZoomHistory();
}

void TCustomZUvado::SetScaleProps(TScale* Scale, const TScaleProps* Props) {
  if (!Scale || !Props) return;
  Scale->SetScaleType(Props->FScaleType);
  const Integer pos = Props->GetScalePos();
  switch (Props->FScaleType) {
    case sctTop: Scale->SetMarginBottom(ClampPix(int64_t(pos) + Height() - FRcTRim - 1)); break;
    case sctBottom: Scale->SetMarginTop(ClampPix(int64_t(pos) + AreaBottom())); break;
    case sctRight: Scale->SetMarginLeft(ClampPix(int64_t(pos) + AreaRight())); break;
    case sctLeft: Scale->SetMarginRight(ClampPix(int64_t(pos) + Width() - FRcLRim - 1)); break;
  }
  Scale->SetRangeLow(Props->FRangeLow);
  Scale->SetRangeHigh(Props->FRangeHigh);
  Scale->SetVisible(Props->FVisible);
  Scale->SetCaption(Props->FCaption);
  Scale->SetCaptionPosX(Props->FCaptionPosX);
  Scale->SetCaptionPosY(Props->FCaptionPosY);
  Scale->SetCaptionAlignment(Props->FCaptAlign);
  Scale->SetCaptionAnchor(Props->FCaptAnchor);
  Scale->SetColorScale(Props->FColorScale);
  Scale->SetDecPlaces(Props->FDecPlaces);
  Scale->SetLogarithmic(Props->FLogAx);
  Scale->SetLabelType(Props->FLabelType);
  Scale->SetShortTicks(Props->FShortTicks);
  Scale->SetMinTicks(Props->FMinTicks);
  Scale->SetScaleInscript(Props->FScaleInscript);
  Scale->SetUserTickText(Props->FUserTickText);
  Scale->SetFont(Props->FFont.get());
  Scale->SetDateFormat(Props->FDTFormat.get());
}

// Every property edit re-validates all four ranges (joint layers included) before the
// one repaint, so a half-edited state is never drawn.
void TCustomZUvado::ScalePropsChanged(TObject* Sender) {
  (void)Sender;
  const auto hold = detail::suppress_paint_then(FSuppressPaint, [this] { RepaintChart(); });
  for (size_t i = 0; i < 2; ++i) {
    SetScaleProps(FScalesX[i].get(), FScalePropsX[i].get());
    SetScaleProps(FScalesY[i].get(), FScalePropsY[i].get());
  }
  for (Integer k = 1; k <= 2; ++k) {
    const TScaleProps& X = *FScalePropsX[size_t(k - 1)];
    const TScaleProps& Y = *FScalePropsY[size_t(k - 1)];
    ForceRange(k, X.FRangeLow, Y.FRangeLow, X.FRangeHigh, Y.FRangeHigh, false, false);
  }
}

void TCustomZUvado::SizeGrafBmp() {
  size_bitmap(*FGrafBmp, std::max<int64_t>(0, int64_t(AreaWidth()) + 1),
              std::max<int64_t>(0, int64_t(AreaHeight()) + 1));
}

// The axis controls span the whole chart; these margins put their ends exactly on the
// chart area (the last pixel is Width - MarginRight - ShadowWidth).
void TCustomZUvado::ApplyMarginsToScales() {
  for (size_t i = 0; i < 2; ++i) {
    FScalesX[i]->SetMarginLeft(FRcLRim);
    FScalesX[i]->SetMarginRight(ClampPix(int64_t(FRcRRim) + F3DRim - 1));
    FScalesY[i]->SetMarginTop(FRcTRim);
    FScalesY[i]->SetMarginBottom(ClampPix(int64_t(FRcBRim) + F3DRim - 1));
  }
}

long double TCustomZUvado::IsoSpan(long double dx, Integer ExtentX) const {
  return dx * ((long double)AreaHeight() + 1) / ((long double)ExtentX + 1) * Fyasp / Fxasp;
}

// Goes through the property setters, which notify the chart; a span that is not finite
// (an area of width -1) is refused there.
void TCustomZUvado::IsometricYAdjust(Integer ExtentX) {
  if (!FIsometric) return;
  for (size_t i = 0; i < 2; ++i) {
    TScaleProps& X = *FScalePropsX[i];
    TScaleProps& Y = *FScalePropsY[i];
    const long double c = ((long double)Y.FRangeLow + Y.FRangeHigh) / 2;
    const long double s = IsoSpan((long double)X.FRangeHigh - X.FRangeLow, ExtentX);
    Y.SetRangeHigh(double(c + s / 2));
    Y.SetRangeLow(double(c - s / 2));
  }
}

void TCustomZUvado::SetLRim(Integer v) {
  FRcLRim = v;
  SizeGrafBmp();
  IsometricYAdjust(AreaWidth());
  for (size_t i = 0; i < 2; ++i) {
    SetScaleProps(FScalesX[i].get(), FScalePropsX[i].get());
    SetScaleProps(FScalesY[i].get(), FScalePropsY[i].get());
    FScalesX[i]->SetMarginLeft(FRcLRim);
  }
  AdjustScaling();
  StyleChanged(this);
}

void TCustomZUvado::SetRRim(Integer v) {
  FRcRRim = v;
  SizeGrafBmp();
  IsometricYAdjust(AreaWidth());
  for (size_t i = 0; i < 2; ++i) {
    SetScaleProps(FScalesX[i].get(), FScalePropsX[i].get());
    SetScaleProps(FScalesY[i].get(), FScalePropsY[i].get());
    FScalesX[i]->SetMarginRight(ClampPix(int64_t(FRcRRim) + F3DRim - 1));
  }
  AdjustScaling();
  StyleChanged(this);
}

void TCustomZUvado::SetTRim(Integer v) {
  FRcTRim = v;
  SizeGrafBmp();
  IsometricYAdjust(AreaWidth());
  for (size_t i = 0; i < 2; ++i) {
    SetScaleProps(FScalesX[i].get(), FScalePropsX[i].get());
    SetScaleProps(FScalesY[i].get(), FScalePropsY[i].get());
    FScalesY[i]->SetMarginTop(FRcTRim);
  }
  AdjustScaling();
  StyleChanged(this);
}

void TCustomZUvado::SetBRim(Integer v) {
  FRcBRim = v;
  SizeGrafBmp();
  IsometricYAdjust(AreaWidth());
  for (size_t i = 0; i < 2; ++i) {
    SetScaleProps(FScalesX[i].get(), FScalePropsX[i].get());
    SetScaleProps(FScalesY[i].get(), FScalePropsY[i].get());
    FScalesY[i]->SetMarginBottom(ClampPix(int64_t(FRcBRim) + F3DRim - 1));
  }
  AdjustScaling();
  StyleChanged(this);
}

void TCustomZUvado::SetF3DRim(Integer v) {
  F3DRim = std::clamp<Integer>(v, 0, 32);
  SizeGrafBmp();
  for (size_t i = 0; i < 2; ++i) {
    SetScaleProps(FScalesX[i].get(), FScalePropsX[i].get());
    SetScaleProps(FScalesY[i].get(), FScalePropsY[i].get());
    FScalesX[i]->SetMarginRight(ClampPix(int64_t(FRcRRim) + F3DRim - 1));
    FScalesY[i]->SetMarginBottom(ClampPix(int64_t(FRcBRim) + F3DRim - 1));
  }
  AdjustScaling();
  StyleChanged(this);
}

// The isometric step uses the chart area's width with the shadow counted once, like
// every other isometric computation, so that a resize keeps the aspect.
void TCustomZUvado::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  const auto hold = detail::suppress_paint(FSuppressPaint);
  AHeight = ClampPix(std::max<int64_t>(AHeight, int64_t(FRcTRim) + FRcBRim + F3DRim + 20));
  AWidth = ClampPix(std::max<int64_t>(AWidth, int64_t(FRcLRim) + FRcRRim + F3DRim + 80));
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  IsometricYAdjust(AreaWidth());
  for (size_t i = 0; i < 2; ++i) {
    SetScaleProps(FScalesX[i].get(), FScalePropsX[i].get());
    SetScaleProps(FScalesY[i].get(), FScalePropsY[i].get());
    FScalesX[i]->SetBounds(0, 0, Width(), Height());
    FScalesY[i]->SetBounds(0, 0, Width(), Height());
  }
  ApplyMarginsToScales();
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  size_bitmap(*FChartBmp, Width(), Height());
  SizeGrafBmp();
  AdjustScaling();
}

void TCustomZUvado::SetStdLayout(TrcLayout Value) {
  if (unsigned(Value) >= unsigned(kNumStdLayouts)) return;
  const LayoutRow& row = kLayouts[Value];
  const auto hold = detail::suppress_paint_then_resume(FSuppressPaint, *this);
  SetLRim(row.L);
  SetRRim(row.R);
  SetTRim(row.T);
  SetBRim(row.B);
  SetCaptPosX(row.CaptX);
  SetCaptPosY(row.CaptY);
  SetCaptAlignment(row.Align);
  SetCaptAnchorX(row.AnchorX);
  SetCaptAnchorY(row.AnchorY);
  apply_axis_row(*FScalePropsX[0], row.X1);
  apply_axis_row(*FScalePropsY[0], row.Y1);
  apply_axis_row(*FScalePropsX[1], row.X2);
  apply_axis_row(*FScalePropsY[1], row.Y2);
  for (size_t i = 0; i < 2; ++i) {
    SetScaleProps(FScalesX[i].get(), FScalePropsX[i].get());
    SetScaleProps(FScalesY[i].get(), FScalePropsY[i].get());
  }
  FStdLayout = Value;
}

void TCustomZUvado::SetCaptPosX(Integer v) {
  FCaptionPosX = v;
  StyleChanged(this);
}

void TCustomZUvado::SetCaptPosY(Integer v) {
  FCaptionPosY = v;
  StyleChanged(this);
}

void TCustomZUvado::SetCaptAlignment(TAlignment v) {
  FCaptAlignment = v;
  StyleChanged(this);
}

void TCustomZUvado::SetCaptAnchorX(TCaptionAnchorHoriz v) {
  FCaptAnchorX = v;
  StyleChanged(this);
}

void TCustomZUvado::SetCaptAnchorY(TCaptionAnchorVert v) {
  FCaptAnchorY = v;
  StyleChanged(this);
}

void TCustomZUvado::SetSuppressPaint(bool Value) {
  if (!StoreIfChanged(FSuppressPaint, Value)) return;
  if (!Value) RepaintChart();
}

void TCustomZUvado::Loaded() {
  TCustomControl::Loaded();
  for (size_t i = 0; i < 2; ++i) {
    SetScaleProps(FScalesX[i].get(), FScalePropsX[i].get());
    SetScaleProps(FScalesY[i].get(), FScalePropsY[i].get());
    FScalePropsX[i]->SetNotYetLoaded(false);
    FScalePropsY[i]->SetNotYetLoaded(false);
  }
  AdjustScaling();
  RepaintChart();
}

}  // namespace kvr
