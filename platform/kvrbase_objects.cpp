// Setting objects of the base library: crosshairs, text labels, date/time label
// settings.
#include "platform/kvrbase.h"

#include <utility>

#include "platform/setters.h"

namespace kvr {

namespace {

// Ordinals beyond the last value arrive from files and casts; they are ignored.
template <typename E>
bool in_range(E v, E last) {
  return static_cast<unsigned>(v) <= static_cast<unsigned>(last);
}

}  // namespace

// TCrossHair

void TCrossHair::Changed() {
  if (OnChange) OnChange(this);
}

void TCrossHair::SetCrossHColor(TColor v) {
  if (StoreIfChanged(FColor, v)) Changed();
}

void TCrossHair::SetCrossHLayer(Integer v) {
  if (v < 1 || !StoreIfChanged(FLayer, v)) return;
  Changed();
}

void TCrossHair::SetCrossHLineType(TPenStyle v) {
  if (!in_range(v, psInsideFrame) || !StoreIfChanged(FLineType, v)) return;
  Changed();
}

void TCrossHair::SetCrossHLineWid(Integer v) {
  if (v < 1) v = 1;
  if (StoreIfChanged(FLineWid, v)) Changed();
}

void TCrossHair::SetCrossHMode(TCrossHMode v) {
  if (!in_range(v, chBox) || !StoreIfChanged(FMode, v)) return;
  Changed();
}

void TCrossHair::SetCrossHPosX(double v) {
  if (StoreIfChanged(FPosX, v)) Changed();
}

void TCrossHair::SetCrossHPosY(double v) {
  if (StoreIfChanged(FPosY, v)) Changed();
}

void TCrossHair::SetPos(double x, double y) {
  if (FPosX == x && FPosY == y) return;
  FPosX = x;
  FPosY = y;
  Changed();
}

void TCrossHair::SetVisible(bool v) {
  if (StoreIfChanged(FVisible, v)) Changed();
}

void TCrossHair::Assign(const TPersistent* Source) {
  auto* s = dynamic_cast<const TCrossHair*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  if (s == this) return;
  FColor = s->FColor;
  FLayer = s->FLayer;
  FLineType = s->FLineType;
  FLineWid = s->FLineWid;
  FMode = s->FMode;
  FPosX = s->FPosX;
  FPosY = s->FPosY;
  FVisible = s->FVisible;
  Changed();
}

// TCustomTextLabel

TCustomTextLabel::TCustomTextLabel() {
  // The font is a part of the label: its changes are the label's changes.
  FFont.OnChange = [this](TObject*) { Changed(); };
}

void TCustomTextLabel::Changed() {
  if (FUpdating == 0 && OnChange) OnChange(this);
}

void TCustomTextLabel::SetCaption(const std::string& v) {
  if (StoreIfChanged(FCaption, v)) Changed();
}

void TCustomTextLabel::SetFont(const TFont* v) {
  if (!v || v == &FFont) return;
  ++FUpdating;
  FFont.Assign(v);
  --FUpdating;
  Changed();
}

void TCustomTextLabel::SetAlignment(TAlignment v) {
  if (!in_range(v, taCenter) || !StoreIfChanged(FAlignment, v)) return;
  Changed();
}

void TCustomTextLabel::SetVerticalAlignment(TVerticalAlignment v) {
  if (!in_range(v, vaBottom) || !StoreIfChanged(FVerticalAlignment, v)) return;
  Changed();
}

void TCustomTextLabel::SetColorBkg(TColor v) {
  if (StoreIfChanged(FColorBkg, v)) Changed();
}

void TCustomTextLabel::SetColorBorder(TColor v) {
  if (StoreIfChanged(FColorBorder, v)) Changed();
}

void TCustomTextLabel::SetColorShadow(TColor v) {
  if (StoreIfChanged(FColorShadow, v)) Changed();
}

void TCustomTextLabel::SetShadowDx(Integer v) {
  if (StoreIfChanged(FShadowDx, v)) Changed();
}

void TCustomTextLabel::SetShadowDy(Integer v) {
  if (StoreIfChanged(FShadowDy, v)) Changed();
}

void TCustomTextLabel::SetTransparent(bool v) {
  if (StoreIfChanged(FTransparent, v)) Changed();
}

void TCustomTextLabel::SetLayer(Integer v) {
  if (v < 1 || !StoreIfChanged(FLayer, v)) return;
  Changed();
}

void TCustomTextLabel::SetMode(TTxtLblMode v) {
  if (!in_range(v, tlShadow) || !StoreIfChanged(FMode, v)) return;
  Changed();
}

void TCustomTextLabel::SetPosX(double v) {
  if (StoreIfChanged(FPosX, v)) Changed();
}

void TCustomTextLabel::SetPosY(double v) {
  if (StoreIfChanged(FPosY, v)) Changed();
}

void TCustomTextLabel::SetPos(double x, double y) {
  if (FPosX == x && FPosY == y) return;
  FPosX = x;
  FPosY = y;
  Changed();
}

void TCustomTextLabel::SetAttachToData(TTxtLblAttachMode v) {
  if (!in_range(v, tamBoth) || !StoreIfChanged(FAttachToData, v)) return;
  Changed();
}

void TCustomTextLabel::SetVisible(bool v) {
  if (StoreIfChanged(FVisible, v)) Changed();
}

void TCustomTextLabel::AssignSettings(const TCustomTextLabel& s) {
  FCaption = s.FCaption;
  FFont.Assign(&s.FFont);
  FAlignment = s.FAlignment;
  FVerticalAlignment = s.FVerticalAlignment;
  FColorBkg = s.FColorBkg;
  FColorBorder = s.FColorBorder;
  FColorShadow = s.FColorShadow;
  FShadowDx = s.FShadowDx;
  FShadowDy = s.FShadowDy;
  FTransparent = s.FTransparent;
  FLayer = s.FLayer;
  FMode = s.FMode;
  FPosX = s.FPosX;
  FPosY = s.FPosY;
  FAttachToData = s.FAttachToData;
  FVisible = s.FVisible;
}

void TCustomTextLabel::Assign(const TPersistent* Source) {
  auto* s = dynamic_cast<const TCustomTextLabel*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  if (s == this) return;
  // The font would notify on each of its fields; the owner hears of the copy once.
  ++FUpdating;
  AssignSettings(*s);
  --FUpdating;
  Changed();
}

// TDTLabel

void TDTLabel::Changed() {
  if (OnChange) OnChange(this);
}

void TDTLabel::SetDateOrder(TDateOrder v) {
  if (!in_range(v, doYMD) || !StoreIfChanged(FDateOrder, v)) return;
  Changed();
}

void TDTLabel::SetDateForTime(TDateForTime v) {
  if (!in_range(v, dftAlways) || !StoreIfChanged(FDateForTime, v)) return;
  Changed();
}

void TDTLabel::SetDateSeparator(char v) {
  if (v == '\0' || !StoreIfChanged(FDateSeparator, v)) return;
  Changed();
}

void TDTLabel::SetMonthName(bool v) {
  if (StoreIfChanged(FMonthName, v)) Changed();
}

void TDTLabel::SetTimeFormat(TTimeFormat v) {
  if (!in_range(v, tfAmPm) || !StoreIfChanged(FTimeFormat, v)) return;
  Changed();
}

void TDTLabel::SetTimeSeparator(char v) {
  if (v == '\0' || !StoreIfChanged(FTimeSeparator, v)) return;
  Changed();
}

void TDTLabel::SetYearLength(TYearLength v) {
  if (!in_range(v, ylFourDigits) || !StoreIfChanged(FYearLength, v)) return;
  Changed();
}

void TDTLabel::Assign(const TPersistent* Source) {
  auto* s = dynamic_cast<const TDTLabel*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  if (s == this) return;
  FDateOrder = s->FDateOrder;
  FDateForTime = s->FDateForTime;
  FDateSeparator = s->FDateSeparator;
  FMonthName = s->FMonthName;
  FTimeFormat = s->FTimeFormat;
  FTimeSeparator = s->FTimeSeparator;
  FYearLength = s->FYearLength;
  Changed();
}

void TDTLabel::ResetSilently() {
  const TDTLabel defaults;
  TNotifyEvent handler = std::move(OnChange);
  OnChange = nullptr;
  Assign(&defaults);
  OnChange = std::move(handler);
}

}  // namespace kvr
