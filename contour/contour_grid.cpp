// TContourPlot: construction and reset, grid sizing, iso parameters, the attached colour
// scale, the wrappers that mark the surface invalid, Assign and registration.
#include <algorithm>
#include <cmath>

#include "contour/contourplot.h"
#include "platform/registry.h"

namespace kvr {

TContourPlot::TContourPlot(TComponent* AOwner)
    : TCustomZUvado(AOwner),
      FPivotMat(std::make_unique<TMatrix>()),
      FMaskMat(std::make_unique<TByteMatrix>()) {
  IsoColors.OnChange = [this](TObject*) {
    IsoColorsChanged();
    Changed();
  };
  ResetComp();
}

TContourPlot::~TContourPlot() {
  if (FExtColScale) FExtColScale->RemoveFreeNotification(this);
}

void TContourPlot::InitMaskPalette() {
  auto handler = std::move(MaskPalette.OnChange);
  MaskPalette.OnChange = nullptr;
  MaskPalette.SetSize(255);
  MaskPalette.FillByInterpolation(0, {0x000000, 0xFF0000, 0x008000, 0x0000FF, 0x00FFFF,
                                      0xFFFFFF});
  for (Integer k = 0; k < 16; ++k) MaskPalette.SetColorElem(k + 2, PredefinedColors[size_t(k)]);
  MaskPalette.OnChange = std::move(handler);
}

// Labels are drawn over the surface at every paint; a change marks the surface invalid
// all the same, so that a handler of OnBeforeRenderData sees every label change.
void TContourPlot::HookTextLabels() {
  for (Integer i = 1; i <= kNumTextLabels; ++i)
    GetFTextLabel(i)->OnChange = [this](TObject* Sender) {
      FInvalidDataBmp = true;
      StyleChanged(Sender);
    };
}

void TContourPlot::ResetComp() {
  const bool saved = SuppressPaint();
  TCustomZUvado::SetSuppressPaint(true);
  TCustomZUvado::ResetComp();
  OnEstimateZVal = nullptr;
  OnProgress = nullptr;
  HookTextLabels();
  BackGroundImg()->OnChange = [this](TObject* Sender) {
    FInvalidDataBmp = true;
    StyleChanged(Sender);
  };
  SetAttachedColorScale(nullptr);
  FEnabled = true;
  FPivotPreCalc = false;
  // A control narrower than its margins would give fewer than two pivots, whose
  // positions divide by zero.
  const Integer W = Width() - MarginLeft() - MarginRight();
  const Integer H = Height() - MarginTop() - MarginBottom();
  FNumPivotX = std::max<Integer>(2, W / 5);
  FNumPivotY = std::max<Integer>(2, H / 5);
  RebuildGrid();
  InitMaskPalette();
  FPlotMode = cpmColorSurface;
  FIsoLow = -1.0;
  FIsoDist = 0.1;
  FIsoHigh = 1.0;
  Scale1X()->SetRangeHigh(5.2);
  Scale1X()->SetRangeLow(-5.2);
  Scale1Y()->SetRangeHigh(5.2);
  Scale1Y()->SetRangeLow(-5.2);
  Scale2X()->SetVisible(false);
  Scale2Y()->SetVisible(false);
  Scale1X()->SetVisible(true);
  Scale1Y()->SetVisible(true);
  FInvalidDataBmp = true;
  TCustomZUvado::SetSuppressPaint(saved);
}

void TContourPlot::Changed() {
  FInvalidDataBmp = true;
  Invalidate();
}

void TContourPlot::DrawPlot() { Changed(); }

void TContourPlot::SetSuppressPaint(bool Value) {
  if (Value == SuppressPaint()) return;
  if (!Value) FInvalidDataBmp = true;
  TCustomZUvado::SetSuppressPaint(Value);
  if (!Value) Invalidate();
}

void TContourPlot::CreateWnd() {
  FInvalidDataBmp = true;
  TCustomZUvado::CreateWnd();
}

void TContourPlot::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  TCustomZUvado::SetBounds(ALeft, ATop, AWidth, AHeight);
  FInvalidDataBmp = true;
}

// The matrix object is kept (resized and zeroed): an event handler that changes the grid
// size in the middle of a calculation or rendering must not pull it from under the loop.
void TContourPlot::RebuildGrid() {
  FPivotMat->Resize(FNumPivotX, FNumPivotY);
  FPivotMat->Fill(0.0);
  FMaskMat->Resize(FNumPivotX, FNumPivotY);
  FMaskMat->Fill(0);
  Changed();
}

void TContourPlot::SetPlotMode(TContourPlotMode Value) {
  FPlotMode = Value;
  Changed();
}

void TContourPlot::SetPivotResX(Integer Value) {
  FNumPivotX = std::max<Integer>(Value, 2);
  RebuildGrid();
}

void TContourPlot::SetPivotResY(Integer Value) {
  FNumPivotY = std::max<Integer>(Value, 2);
  RebuildGrid();
}

Integer TContourPlot::GetPivotRes() const { return 5 * std::max(FNumPivotX, FNumPivotY); }

void TContourPlot::SetPivotRes(Integer Value) {
  const Integer r = std::max<Integer>(Value, 10);
  const double W = Width() - MarginLeft() - MarginRight();
  const double H = Height() - MarginTop() - MarginBottom();
  // The shorter side's count follows the plot's aspect; a plot without area keeps two.
  auto across = [r](double a, double b) {
    const double v = b > 0 ? r / 5.0 * a / b : 0.0;
    return Integer(std::clamp<int64_t>(Round(v), 0, 1000000)) + 1;
  };
  if (W < H) {
    FNumPivotY = r / 5 + 1;
    FNumPivotX = std::max<Integer>(2, across(W, H));
  } else {
    FNumPivotX = r / 5 + 1;
    FNumPivotY = std::max<Integer>(2, across(H, W));
  }
  RebuildGrid();
}

void TContourPlot::ResizePivotMatrix(Integer ResX, Integer ResY) {
  FNumPivotX = std::clamp<Integer>(ResX, 10, 5000) / 5;
  FNumPivotY = std::clamp<Integer>(ResY, 10, 5000) / 5;
  RebuildGrid();
}

void TContourPlot::SetIsoLow(double Value) {
  if (Value == FIsoLow) return;
  FIsoLow = Value;
  if (FIsoHigh <= FIsoLow) FIsoHigh = FIsoLow + 1.0;
  FInvalidDataBmp = true;
  IsoColorsChanged();
  Invalidate();
}

void TContourPlot::SetIsoHigh(double Value) {
  if (Value == FIsoHigh) return;
  FIsoHigh = Value;
  if (FIsoHigh <= FIsoLow) FIsoLow = FIsoHigh - 1.0;
  FInvalidDataBmp = true;
  IsoColorsChanged();
  Invalidate();
}

void TContourPlot::SetIsoDist(double Value) {
  if (Value == FIsoDist) return;
  FIsoDist = Value;
  Changed();
}

void TContourPlot::SetIsoParams(double Low, double High, double Dist) {
  if (Low == FIsoLow && High == FIsoHigh && Dist == FIsoDist) return;
  FIsoLow = Low;
  if (FIsoHigh <= FIsoLow) FIsoHigh = FIsoLow + 1.0;
  FIsoHigh = High;
  if (FIsoHigh <= FIsoLow) FIsoLow = FIsoHigh - 1.0;
  FIsoDist = Dist;
  FInvalidDataBmp = true;
  IsoColorsChanged();
  Invalidate();
}

void TContourPlot::SetEnabled(bool Value) {
  FEnabled = Value;
  Invalidate();
}

void TContourPlot::IsoColorsChanged() {
  if (!FExtColScale) return;
  // The copy never shrinks a table: a larger one left in the scale would show colours
  // the plot does not use.
  FExtColScale->ColorArray.SetSize(IsoColors.Size());
  FExtColScale->ColorArray.CopyFrom(IsoColors, 1, 1, IsoColors.Size());
  FExtColScale->SetScaleRange(FIsoLow, FIsoHigh);
}

void TContourPlot::SetAttachedColorScale(TColorScale* Value) {
  if (Value == FExtColScale) return;
  if (FExtColScale) FExtColScale->RemoveFreeNotification(this);
  FExtColScale = Value;
  if (FExtColScale) {
    FExtColScale->FreeNotification(this);
    IsoColorsChanged();
  }
}

void TContourPlot::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomZUvado::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FExtColScale) FExtColScale = nullptr;
}

void TContourPlot::SetLRim(Integer v) {
  if (v == MarginLeft()) return;
  FInvalidDataBmp = true;
  TCustomZUvado::SetLRim(v);
}

void TContourPlot::SetRRim(Integer v) {
  if (v == MarginRight()) return;
  FInvalidDataBmp = true;
  TCustomZUvado::SetRRim(v);
}

void TContourPlot::SetTRim(Integer v) {
  if (v == MarginTop()) return;
  FInvalidDataBmp = true;
  TCustomZUvado::SetTRim(v);
}

void TContourPlot::SetBRim(Integer v) {
  if (v == MarginBottom()) return;
  FInvalidDataBmp = true;
  TCustomZUvado::SetBRim(v);
}

void TContourPlot::SetF3DRim(Integer v) {
  if (v == ShadowWidth()) return;
  FInvalidDataBmp = true;
  TCustomZUvado::SetF3DRim(v);
}

void TContourPlot::SetChartCol(TColor v) {
  if (v == ChartColor()) return;
  FInvalidDataBmp = true;
  TCustomZUvado::SetChartCol(v);
}

void TContourPlot::SetScaleCol(TColor v) {
  if (v == ChartFrameColor()) return;
  FInvalidDataBmp = true;
  TCustomZUvado::SetScaleCol(v);
}

void TContourPlot::SetClassVisib(Integer ClassNumber, bool v) {
  FInvalidDataBmp = true;
  TCustomZUvado::SetClassVisib(ClassNumber, v);
}

void TContourPlot::SetAnnoClassVisib(Integer ClassNumber, bool v) {
  FInvalidDataBmp = true;
  TCustomZUvado::SetAnnoClassVisib(ClassNumber, v);
}

void TContourPlot::SetRange(Integer Layer, long double xLo, long double yLo, long double xHi,
                            long double yHi) {
  FInvalidDataBmp = true;
  TCustomZUvado::SetRange(Layer, xLo, yLo, xHi, yHi);
}

void TContourPlot::PrintIt(double ScaleF, bool BlkWhite) {
  FInvalidDataBmp = true;
  TCustomZUvado::PrintIt(ScaleF, BlkWhite);
}

void TContourPlot::CopyToBMP(const std::string& FName, bool BlkWhite) {
  FInvalidDataBmp = true;
  TCustomZUvado::CopyToBMP(FName, BlkWhite);
}

void TContourPlot::CopyToBitmap(TBitmap* ABitmap, bool BlkWhite, bool IncludeCrossHairs) {
  FInvalidDataBmp = true;
  TCustomZUvado::CopyToBitmap(ABitmap, BlkWhite, IncludeCrossHairs);
}

void TContourPlot::CopyToBitmapDAOnly(TBitmap* ABitmap, bool BlkWhite, bool IncludeCrossHairs) {
  FInvalidDataBmp = true;
  TCustomZUvado::CopyToBitmapDAOnly(ABitmap, BlkWhite, IncludeCrossHairs);
}

void TContourPlot::CopyToClipboard(bool BlkWhite, bool IncludeCrossHairs) {
  FInvalidDataBmp = true;
  TCustomZUvado::CopyToClipboard(BlkWhite, IncludeCrossHairs);
}

void TContourPlot::CopyToClipboardDAOnly(bool BlkWhite, bool IncludeCrossHairs) {
  FInvalidDataBmp = true;
  TCustomZUvado::CopyToClipboardDAOnly(BlkWhite, IncludeCrossHairs);
}

void TContourPlot::CopyToClipBoardWMF(bool BlkWhite) {
  FInvalidDataBmp = true;
  TCustomZUvado::CopyToClipboardWMF(BlkWhite);
}

Integer TContourPlot::AddTextLabel(double PosX, double PosY, TColor TxtColor,
                                   const std::string& Txt, Integer PropertyTemplate) {
  FInvalidDataBmp = true;
  return TCustomZUvado::AddTextLabel(PosX, PosY, TxtColor, Txt, PropertyTemplate);
}

void TContourPlot::SetTextLabel(Integer ix, double PosX, double PosY, TColor TxtColor,
                                const std::string& Txt, Integer PropertyTemplate) {
  FInvalidDataBmp = true;
  TCustomZUvado::SetTextLabel(ix, PosX, PosY, TxtColor, Txt, PropertyTemplate);
}

void TContourPlot::HideAllTextLabels() {
  FInvalidDataBmp = true;
  TCustomZUvado::HideAllTextLabels();
}

void TContourPlot::ClearAllTextLabels() {
  FInvalidDataBmp = true;
  TCustomZUvado::ClearAllTextLabels();
}

// The copy's surface is rebuilt: the flag of the source describes the source's picture,
// not the one this plot has cached.
void TContourPlot::Assign(const TPersistent* Source) {
  const auto* src = dynamic_cast<const TContourPlot*>(Source);
  if (!src) {
    TCustomZUvado::Assign(Source);
    return;
  }
  if (src == this) return;
  const bool saved = SuppressPaint();
  TCustomZUvado::SetSuppressPaint(true);
  try {
    TCustomZUvado::Assign(Source);
    HookTextLabels();
    FPlotMode = src->FPlotMode;
    FNumPivotX = src->FNumPivotX;
    FNumPivotY = src->FNumPivotY;
    FPivotMat->Assign(src->FPivotMat.get());
    FMaskMat->Assign(src->FMaskMat.get());
    FIsoLow = src->FIsoLow;
    FIsoHigh = src->FIsoHigh;
    FIsoDist = src->FIsoDist;
    IsoColors.Assign(&src->IsoColors);
    FMaximum = src->FMaximum;
    FMinimum = src->FMinimum;
    OnEstimateZVal = src->OnEstimateZVal;
    OnProgress = src->OnProgress;
    MaskPalette.Assign(&src->MaskPalette);
  } catch (...) {
    TCustomZUvado::SetSuppressPaint(saved);
    throw;
  }
  FInvalidDataBmp = true;
  TCustomZUvado::SetSuppressPaint(saved);
  Invalidate();
}

namespace Kvr_contour {
void Register() {
  RegisterComponents("KVR", {{"TContourPlot", [](TComponent* o) -> TComponent* {
                                return new TContourPlot(o);
                              }}});
}
}  // namespace Kvr_contour

}  // namespace kvr
