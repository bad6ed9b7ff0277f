#include "scale/scale.h"

#include <algorithm>
#include <cmath>

#include "platform/kvrmath.h"
#include "platform/setters.h"
#include "scale/ticklabels.h"

namespace kvr {

namespace {

// The limit that follows a limit set equal to it. Where adding 1 is lost to the
// precision of a large value, a relative step keeps the range from collapsing.
double limit_above(double v) {
  const double w = v + 1;
  if (w == v && std::isfinite(v)) return v + std::fabs(v) * 1e-12;
  return w;
}

}  // namespace

TScale::TScale(TComponent* AOwner) : TCustomControl(AOwner), FDTFormat(std::make_unique<TDTLabel>()) {
  FScaleTickPos.assign(kScaleTickListSize, 0.0);
  FDTFormat->OnChange = [this](TObject*) { TriggerPaint(); };
  TControl::SetBounds(0, 0, 250, 50);
  ResetComp();
}

TScale::~TScale() = default;

void TScale::ResetComp() {
  FUnitLabel.clear();
  FCaptionPosX = 4;
  FCaptionPosY = 4;
  FCaptionAlignment = taCenter;
  FCaptionAnchor = uaSclTopLft;
  FColorBackGnd = clBtnFace;
  FColorScale = clBlack;
  FColorScheme = csFixed;
  FColBlackLine = clBlack;
  FColGrayLine = clGray;
  FColWhiteLine = clWhite;
  FDTFormat->ResetSilently();
  FDecPlaces = -2;
  FFrameStyle = rbLowered;
  FLabelType = ftNum;
  FAxLog = false;
  FMarginLeft = FMarginRight = FMarginTop = FMarginBottom = 20;
  FNumTicks = 3;
  FMouseAction = maNone;
  FRangeLow = 0;
  FRangeHigh = 100;
  FShortTicks = true;
  FShowBaseLine = true;
  FScaleInscript.clear();
  FScaleType = sctTop;
  FTransparent = false;
  FUserTicktext.clear();
  FTickCount = 0;
  FLButtonWasDown = false;
  AdjustScalePars();
}

void TScale::FinishLoading() {
  if (!FNotYetLoaded) return;
  FNotYetLoaded = false;
  if (!FIsHelper) FSuppressPaint = false;
  AdjustScalePars();
}

void TScale::Loaded() {
  TCustomControl::Loaded();
  FinishLoading();
  TriggerPaint();
}

void TScale::CreateWnd() {
  TCustomControl::CreateWnd();
  if (!Loading()) FinishLoading();
}

void TScale::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  AdjustScalePars();
  TriggerPaint();
}

void TScale::AdjustScalePars() {
  if (Loading() || FRangeHigh == FRangeLow) return;
  const double lo = FRangeLow, hi = FRangeHigh;
  if (Horizontal()) {
    const double n = double(Width()) - FMarginLeft - FMarginRight - 1;
    if (n < 1) {
      FTransf_k = 0;
      FTransf_d = Width() / 2.0;
    } else if (!FAxLog) {
      FTransf_k = n / (hi - lo);
      FTransf_d = FMarginLeft - FTransf_k * lo;
    } else if (lo > 0 && hi > 0) {
      FTransf_k = n / (std::log(hi) - std::log(lo));
      FTransf_d = FMarginLeft - FTransf_k * std::log(lo);
    }
  } else {
    const double n = double(Height()) - FMarginTop - FMarginBottom - 1;
    if (n < 1) {
      FTransf_k = 0;
      FTransf_d = Height() / 2.0;
    } else if (!FAxLog) {
      FTransf_k = n / (lo - hi);
      FTransf_d = FMarginTop - FTransf_k * hi;
    } else if (lo > 0 && hi > 0) {
      FTransf_k = n / (std::log(lo) - std::log(hi));
      FTransf_d = FMarginTop - FTransf_k * std::log(hi);
    }
  }
}

Integer TScale::R2M(double Value) const {
  double f;
  if (FAxLog) {
    if (Value > 1e-100)
      f = FTransf_k * std::log(Value) + FTransf_d;
    else
      f = FRangeHigh < FRangeLow ? Width() : 0;
  } else {
    f = FTransf_k * Value + FTransf_d;
  }
  return RoundPix(f);
}

double TScale::M2R(Integer PixelCoord) const {
  // A collapsed axis has no inverse; its low end is the only value it shows.
  if (FTransf_k == 0) return FRangeLow;
  const double u = (PixelCoord - FTransf_d) / FTransf_k;
  return FAxLog ? std::exp(u) : u;
}

double TScale::GetTickPos(Integer ix) const {
  if (ix < 1 || ix > FTickCount) return 0;
  return FScaleTickPos[ix - 1];
}

void TScale::SetLimitsIntern(double Low, double High) {
  FRangeLow = Low;
  FRangeHigh = High;
  AdjustScalePars();
  TriggerPaint();
}

void TScale::SetRange(double LowVal, double HighVal) {
  if (HighVal == LowVal) HighVal = limit_above(LowVal);
  SetLimitsIntern(LowVal, HighVal);
}

void TScale::SetRangeLow(double v) {
  if (v == FRangeLow) return;
  SetLimitsIntern(v, v == FRangeHigh ? limit_above(v) : FRangeHigh);
}

void TScale::SetRangeHigh(double v) {
  if (v == FRangeHigh) return;
  SetLimitsIntern(v == FRangeLow ? limit_above(v) : FRangeLow, v);
}

void TScale::SetLogarithmic(bool v) {
  if (v == FAxLog) return;
  if (v && !Loading() &&
      !(FRangeLow >= 1e-100 && FRangeHigh >= 1e-100 && FLabelType != ftDateTime))
    return;
  FAxLog = v;
  AdjustScalePars();
  TriggerPaint();
}

void TScale::SetDecPlaces(Integer v) {
  if (v == FDecPlaces || v < -3 || v > 12) return;
  FDecPlaces = v;
  AdjustScalePars();
  TriggerPaint();
}

void TScale::SetMinTicks(Integer v) {
  if (v != 0) v = std::clamp<Integer>(v, 2, 10);
  if (StoreIfChanged(FNumTicks, v)) TriggerPaint();
}

void TScale::SetScaleType(TScaleType v) {
  if (!StoreIfChanged(FScaleType, v)) return;
  AdjustScalePars();
  TriggerPaint();
}

void TScale::SetMarginLeft(Integer v) {
  v = std::max<Integer>(v, 0);
  if (!StoreIfChanged(FMarginLeft, v)) return;
  AdjustScalePars();
  TriggerPaint();
}

void TScale::SetMarginRight(Integer v) {
  v = std::max<Integer>(v, 0);
  if (!StoreIfChanged(FMarginRight, v)) return;
  AdjustScalePars();
  TriggerPaint();
}

void TScale::SetMarginTop(Integer v) {
  v = std::max<Integer>(v, 0);
  if (!StoreIfChanged(FMarginTop, v)) return;
  AdjustScalePars();
  TriggerPaint();
}

void TScale::SetMarginBottom(Integer v) {
  v = std::max<Integer>(v, 0);
  if (!StoreIfChanged(FMarginBottom, v)) return;
  AdjustScalePars();
  TriggerPaint();
}

void TScale::SetUnitLabel(const std::string& v) {
  if (StoreIfChanged(FUnitLabel, v)) TriggerPaint();
}

void TScale::SetCaptionPosX(Integer v) {
  if (StoreIfChanged(FCaptionPosX, v)) TriggerPaint();
}

void TScale::SetCaptionPosY(Integer v) {
  if (StoreIfChanged(FCaptionPosY, v)) TriggerPaint();
}

void TScale::SetCaptionAlignment(TAlignment v) {
  if (StoreIfChanged(FCaptionAlignment, v)) TriggerPaint();
}

void TScale::SetCaptionAnchor(TScaleUnitAnchor v) {
  if (StoreIfChanged(FCaptionAnchor, v)) TriggerPaint();
}

void TScale::SetColorBackGnd(TColor v) {
  if (StoreIfChanged(FColorBackGnd, v)) TriggerPaint();
}

void TScale::SetColorScale(TColor v) {
  if (StoreIfChanged(FColorScale, v)) TriggerPaint();
}

void TScale::SetColorScheme(TColorScheme v) {
  if (!StoreIfChanged(FColorScheme, v)) return;
  FColGrayLine = v == csFixed ? clGray : clBtnShadow;
  FColWhiteLine = v == csFixed ? clWhite : clBtnHighlight;
  TriggerPaint();
}

void TScale::SetDateFormat(const TDTLabel* v) {
  if (v && v != FDTFormat.get()) FDTFormat->Assign(v);
}

void TScale::SetFrameStyle(TFrameStyle v) {
  if (StoreIfChanged(FFrameStyle, v)) TriggerPaint();
}

void TScale::SetLabelType(TFigType v) {
  if (StoreIfChanged(FLabelType, v)) TriggerPaint();
}

void TScale::SetShortTicks(bool v) {
  if (StoreIfChanged(FShortTicks, v)) TriggerPaint();
}

void TScale::SetShowBaseLine(bool v) {
  if (StoreIfChanged(FShowBaseLine, v)) TriggerPaint();
}

void TScale::SetScaleInscript(const std::string& v) {
  if (StoreIfChanged(FScaleInscript, v)) TriggerPaint();
}

void TScale::SetTransparent(bool v) {
  if (StoreIfChanged(FTransparent, v)) TriggerPaint();
}

void TScale::SetUserTickText(const std::string& v) {
  if (StoreIfChanged(FUserTicktext, v)) TriggerPaint();
}

void TScale::SetSuppressPaint(bool v) {
  if (!StoreIfChanged(FSuppressPaint, v)) return;
  if (!v) TriggerPaint();
}

void TScale::SetForCvPosX(Integer v) {
  if (StoreIfChanged(FForCvPosX, v)) TriggerPaint();
}

void TScale::SetForCvPosY(Integer v) {
  if (StoreIfChanged(FForCvPosY, v)) TriggerPaint();
}

void TScale::UseForeignCanvas(TCanvas* ForeignCv, Integer x, Integer y) {
  FForeignCv = ForeignCv;
  FForCvPosX = x;
  FForCvPosY = y;
}

void TScale::TriggerPaint() {
  if (FSuppressPaint) return;
  if (FTransparent && !FIsHelper && Parent()) Parent()->Invalidate();
  Invalidate();
}

std::string TScale::ExtractUserText(const std::string& Text, Integer Index) const {
  return detail::extract_user_text(Text, Index);
}

std::string TScale::AddScaleInscription(const std::string& Text, const std::string& Inscript) const {
  return detail::add_scale_inscription(Text, Inscript);
}

void TScale::Assign(const TPersistent* Source) {
  const auto* s = dynamic_cast<const TScale*>(Source);
  if (!s) {
    TCustomControl::Assign(Source);
    return;
  }
  if (s == this) return;
  FUnitLabel = s->FUnitLabel;
  FCaptionPosX = s->FCaptionPosX;
  FCaptionPosY = s->FCaptionPosY;
  FCaptionAlignment = s->FCaptionAlignment;
  FCaptionAnchor = s->FCaptionAnchor;
  FColorBackGnd = s->FColorBackGnd;
  FColorScale = s->FColorScale;
  FColorScheme = s->FColorScheme;
  FColBlackLine = s->FColBlackLine;
  FColGrayLine = s->FColGrayLine;
  FColWhiteLine = s->FColWhiteLine;
  FDecPlaces = s->FDecPlaces;
  FFrameStyle = s->FFrameStyle;
  FLabelType = s->FLabelType;
  FAxLog = s->FAxLog;
  FMarginLeft = s->FMarginLeft;
  FMarginRight = s->FMarginRight;
  FMarginTop = s->FMarginTop;
  FMarginBottom = s->FMarginBottom;
  FNumTicks = s->FNumTicks;
  FRangeLow = s->FRangeLow;
  FRangeHigh = s->FRangeHigh;
  FShortTicks = s->FShortTicks;
  FShowBaseLine = s->FShowBaseLine;
  FScaleInscript = s->FScaleInscript;
  FScaleType = s->FScaleType;
  FTransparent = s->FTransparent;
  FUserTicktext = s->FUserTicktext;
  FTransf_k = s->FTransf_k;
  FTransf_d = s->FTransf_d;
  FScaleTickPos = s->FScaleTickPos;
  FTickCount = s->FTickCount;
  OnScaleTickDrawn = s->OnScaleTickDrawn;
  OnBeforeTickLabel = s->OnBeforeTickLabel;
  OnBeforeScaleRendered = s->OnBeforeScaleRendered;
  OnAfterScaleRendered = s->OnAfterScaleRendered;
  SetFont(s->Font());
  {
    // One repaint for the whole copy.
    auto handler = std::move(FDTFormat->OnChange);
    FDTFormat->OnChange = nullptr;
    FDTFormat->Assign(s->FDTFormat.get());
    FDTFormat->OnChange = std::move(handler);
  }
  TriggerPaint();
}

}  // namespace kvr
