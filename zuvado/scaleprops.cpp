#include "zuvado/scaleprops.h"

#include <algorithm>
#include <cmath>

namespace kvr {

namespace {

constexpr double kLogFloor = 1e-100;

}  // namespace

TScaleProps::TScaleProps()
    : FDTFormat(std::make_unique<TDTLabel>()), FFont(std::make_unique<TFont>()) {
  FFont->OnChange = [this](TObject*) {
    if (!FAssigning) Changed();
  };
  TScaleProps::Reset();
}

TScaleProps::~TScaleProps() = default;

void TScaleProps::Reset() {
  FCaption.clear();
  FCaptionPosX = 0;
  FCaptionPosY = 0;
  FCaptAlign = taCenter;
  FCaptAnchor = uaSclTopLft;
  FColorScale = clBlack;
  FDTFormat->ResetSilently();  // the chart's handler stays attached
  FDecPlaces = -2;
  FLogAx = false;
  FLabelType = ftNum;
  {
    TFont defaults;
    FAssigning = true;
    FFont->Assign(&defaults);
    FAssigning = false;
  }
  FMinTicks = 3;
  FRangeLow = 0;
  FRangeHigh = 1;
  FShortTicks = true;
  FScaleInscript.clear();
  FScaleType = sctBottom;
  FScalePosX = 0;
  FScalePosY = 0;
  FMinRngDiff = 1e-10;
  FMouseAction = maNone;
  FUserTickText.clear();
  FVisible = false;
}

void TScaleProps::Changed() {
  if (OnChange) OnChange(this);
}

void TScaleProps::SetCaption(const std::string& v) {
  FCaption = v;
  Changed();
}

void TScaleProps::SetCaptionPosX(Integer v) {
  FCaptionPosX = v;
  Changed();
}

void TScaleProps::SetCaptionPosY(Integer v) {
  FCaptionPosY = v;
  Changed();
}

void TScaleProps::SetCaptionAlignment(TAlignment v) {
  FCaptAlign = v;
  Changed();
}

void TScaleProps::SetCaptionAnchor(TScaleUnitAnchor v) {
  FCaptAnchor = v;
  Changed();
}

void TScaleProps::SetColorScale(TColor v) {
  FColorScale = v;
  Changed();
}

// The label object fires its own change event, which the chart listens to.
void TScaleProps::SetDateFormat(const TDTLabel* v) {
  if (v && v != FDTFormat.get()) FDTFormat->Assign(v);
}

void TScaleProps::SetDecPlaces(Integer v) {
  FDecPlaces = std::clamp<Integer>(v, -3, 12);
  Changed();
}

void TScaleProps::SetLogarithmic(bool v) {
  if (!v || NotYetLoaded())
    FLogAx = v;
  else
    FLogAx = FRangeLow >= kLogFloor && FRangeHigh >= kLogFloor && FLabelType != ftDateTime;
  Changed();
}

void TScaleProps::SetLabelType(TFigType v) {
  FLabelType = v;
  if (v == ftDateTime) FLogAx = false;
  if (v == ftSeconds) FDecPlaces = 4;
  Changed();
}

void TScaleProps::SetFont(const TFont* v) {
  if (v && v != FFont.get()) FFont->Assign(v);
}

void TScaleProps::SetMinTicks(Integer v) {
  FMinTicks = v;
  Changed();
}

// A non-finite limit would reach the tick walk of the axis control; it is dropped
// like a logarithmic limit below the floor.
void TScaleProps::SetRangeLow(double v) {
  if (!std::isfinite(v)) return;
  if (std::fabs(FRangeHigh - v) < FMinRngDiff) {
    FRangeLow = v;
    FRangeHigh = v + FMinRngDiff;
  } else if (!(FLogAx && v < kLogFloor)) {
    FRangeLow = v;
  }
  Changed();
}

void TScaleProps::SetRangeHigh(double v) {
  if (!std::isfinite(v)) return;
  if (std::fabs(v - FRangeLow) < FMinRngDiff) {
    FRangeHigh = v;
    FRangeLow = v - FMinRngDiff;
  } else if (!(FLogAx && v < kLogFloor)) {
    FRangeHigh = v;
  }
  Changed();
}

void TScaleProps::SetShortTicks(bool v) {
  FShortTicks = v;
  Changed();
}

void TScaleProps::SetScaleInscript(const std::string& v) {
  FScaleInscript = v;
  Changed();
}

void TScaleProps::SetScaleType(TScaleType v) {
  FScaleType = v;
  Changed();
}

Integer TScaleProps::GetScalePos() const {
  return (FScaleType == sctTop || FScaleType == sctBottom) ? FScalePosY : FScalePosX;
}

void TScaleProps::SetScalePos(Integer v) {
  if (FScaleType == sctTop || FScaleType == sctBottom)
    FScalePosY = v;
  else
    FScalePosX = v;
  Changed();
}

void TScaleProps::SetMinRange(double v) {
  if (!(v > kLogFloor) || !std::isfinite(v)) return;
  FMinRngDiff = v;
  if (std::fabs(FRangeHigh - FRangeLow) < v) {
    const double c = GetScaleCenter();
    FRangeLow = c - v / 2;
    FRangeHigh = c + v / 2;
    Changed();
  }
}

void TScaleProps::SetMouseAction(TMouseActMode v) {
  FMouseAction = v;
  Changed();
}

void TScaleProps::SetUserTickText(const std::string& v) {
  FUserTickText = v;
  Changed();
}

void TScaleProps::SetVisible(bool v) {
  FVisible = v;
  Changed();
}

void TScaleProps::Assign(const TPersistent* Source) {
  const auto* src = dynamic_cast<const TScaleProps*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this) return;
  FCaption = src->FCaption;
  FCaptionPosX = src->FCaptionPosX;
  FCaptionPosY = src->FCaptionPosY;
  FCaptAlign = src->FCaptAlign;
  FCaptAnchor = src->FCaptAnchor;
  FColorScale = src->FColorScale;
  OnChange = src->OnChange;
  {
    // Assign fires no change; the label's own event is held back meanwhile.
    auto handler = std::move(FDTFormat->OnChange);
    FDTFormat->OnChange = nullptr;
    FDTFormat->Assign(src->FDTFormat.get());
    FDTFormat->OnChange = std::move(handler);
  }
  FDecPlaces = src->FDecPlaces;
  FLogAx = src->FLogAx;
  FLabelType = src->FLabelType;
  FAssigning = true;
  FFont->Assign(src->FFont.get());
  FAssigning = false;
  FMinTicks = src->FMinTicks;
  FNotYetLoaded = src->FNotYetLoaded;
  FRangeLow = src->FRangeLow;
  FRangeHigh = src->FRangeHigh;
  FShortTicks = src->FShortTicks;
  FScaleInscript = src->FScaleInscript;
  FScaleType = src->FScaleType;
  FScalePosX = src->FScalePosX;
  FScalePosY = src->FScalePosY;
  FMinRngDiff = src->FMinRngDiff;
  FUserTickText = src->FUserTickText;
  FVisible = src->FVisible;
}

void TScalePropsHoriz::Reset() {
  FScaleLoc = slBottom;
  TScaleProps::Reset();
}

void TScalePropsHoriz::SetScaleLocation(TScaleLocationHoriz v) {
  FScaleLoc = v;
  SetScaleType(v == slTop ? sctTop : sctBottom);
}

void TScalePropsVert::Reset() {
  FScaleLoc = slLeft;
  TScaleProps::Reset();
}

void TScalePropsVert::SetScaleLocation(TScaleLocationVert v) {
  FScaleLoc = v;
  SetScaleType(v == slRight ? sctRight : sctLeft);
}

}  // namespace kvr
