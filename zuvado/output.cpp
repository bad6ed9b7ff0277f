// The chart's picture on other targets than its window: bitmaps, files, clipboard.
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/clipbrd.h"
#include "platform/paintguard.h"
#include "platform/pdfcanvas.h"
#include "platform/scaledcanvas.h"
#include "platform/svgcanvas.h"
#include "zuvado/customzuvado.h"

namespace kvr {
namespace {

// The four axis property objects in a fixed order: X1, X2, Y1, Y2.
template <typename Chart>
std::array<TScaleProps*, 4> all_axes(Chart& c) {
  return {c.Scale1X(), c.Scale2X(), c.Scale1Y(), c.Scale2Y()};
}

}  // namespace

void TCustomZUvado::BackupColorsAndMakeBW() {
  if (FBWActive) return;  // a second call would save the black-and-white values
  FBWActive = true;
  TBWBackup& b = FBWBackup;
  b = {WindColor(), ChartFrameColor(), ChartColor(), Font()->Color(), ShadowColor(), ShadowBakColor(), {}, {}};
  // The window keeps its picture while colours swap.
  const auto hold = detail::suppress_paint(FSuppressPaint);
  SetWindColor(clWhite);
  SetChartColor(clWhite);
  SetChartFrameColor(clBlack);
  Font()->SetColor(clBlack);
  SetShadowColor(0xC0C0C0);
  SetShadowBakColor(clWhite);
  const auto axes = all_axes(*this);
  for (size_t i = 0; i < axes.size(); ++i) {
    b.ScaleColor[i] = axes[i]->ColorScale();
    b.ScaleFont[i] = axes[i]->Font()->Color();
    axes[i]->SetColorScale(clBlack);
    axes[i]->Font()->SetColor(clBlack);
  }
}

void TCustomZUvado::ReloadBackupColors() {
  if (!FBWActive) return;
  FBWActive = false;
  const TBWBackup& b = FBWBackup;
  const auto hold = detail::suppress_paint(FSuppressPaint);
  SetWindColor(b.Wind);
  SetChartColor(b.Chart);
  SetChartFrameColor(b.Frame);
  Font()->SetColor(b.Font);
  SetShadowColor(b.Shadow);
  SetShadowBakColor(b.ShadowBak);
  const auto axes = all_axes(*this);
  for (size_t i = 0; i < axes.size(); ++i) {
    axes[i]->SetColorScale(b.ScaleColor[i]);
    axes[i]->Font()->SetColor(b.ScaleFont[i]);
  }
}

void TCustomZUvado::RenderPicture(bool BlkWhite, bool IncludeCrossHairs) {
  if (BlkWhite) BackupColorsAndMakeBW();
  try {
    ConstructChartBmp(FChartBmp->Canvas());
    SizeGrafBmp();
    InitGraf(FGrafBmp->Canvas(), 0, 0, FGrafBmp->Width(), FGrafBmp->Height());
    ConstructDataBmp(FGrafBmp.get(), 0, 0, false, 0);
    DrawMouseTrace(0, 0, FGrafBmp.get());
    FChartBmp->Canvas()->Draw(FRcLRim, FRcTRim, FGrafBmp.get());
    if (IncludeCrossHairs) DrawCrossHairs(0, 0, FChartBmp.get());
  } catch (...) {
    if (BlkWhite) ReloadBackupColors();
    throw;
  }
  if (BlkWhite) ReloadBackupColors();
}

// The chart bitmaps are the window's picture too (crosshair moves redraw from them), so
// after a black-and-white output they get their colours back.
void TCustomZUvado::RestorePicture(bool WasBlkWhite) {
  if (WasBlkWhite) RenderPicture(false, true);
}

void TCustomZUvado::CopyToBitmap(TBitmap* ABitmap, bool BlkWhite, bool IncludeCrossHairs) {
  if (!ABitmap) return;
  RenderPicture(BlkWhite, IncludeCrossHairs);
  ABitmap->Assign(FChartBmp.get());
  RestorePicture(BlkWhite);
}

void TCustomZUvado::CopyToBitmapDAOnly(TBitmap* ABitmap, bool BlkWhite, bool IncludeCrossHairs) {
  if (!ABitmap) return;
  RenderPicture(BlkWhite, false);
  ABitmap->Assign(FGrafBmp.get());
  // Crosshairs go onto the copy: the chart-area bitmap stays free of them.
  if (IncludeCrossHairs) DrawCrossHairs(FRcLRim, FRcTRim, ABitmap);
  RestorePicture(BlkWhite);
}

void TCustomZUvado::CopyToBMP(const std::string& FName, bool BlkWhite, double Scale) {
  TBitmap bmp;
  if (Scale == 1.0) {
    CopyToBitmap(&bmp, BlkWhite);
  } else {
    if (!std::isfinite(Scale) || Scale <= 0)
      RaiseKvrError<EKvrZUvadoError>("Invalid scale factor for the picture: " + std::to_string(Scale));
    // Drawn afresh at the new resolution, not enlarged.
    bmp.SetSize(ScaledSize(Width(), Scale), ScaledSize(Height(), Scale));
    const TSmoothDrawing smooth(Smooth());
    DrawScaled(*bmp.Canvas(), 0, 0, Scale, Width(), Height(), [&](TCanvas& c) { RenderOnCanvas(&c, BlkWhite); });
  }
  bmp.SaveToFile(FName);
}

void TCustomZUvado::CopyToClipboard(bool BlkWhite, bool IncludeCrossHairs) {
  TBitmap bmp;
  CopyToBitmap(&bmp, BlkWhite, IncludeCrossHairs);
  Clipboard().Assign(&bmp);
}

void TCustomZUvado::CopyToClipboardDAOnly(bool BlkWhite, bool IncludeCrossHairs) {
  TBitmap bmp;
  CopyToBitmapDAOnly(&bmp, BlkWhite, IncludeCrossHairs);
  Clipboard().Assign(&bmp);
}

void TCustomZUvado::RenderOnCanvas(TCanvas* C, bool BlkWhite, bool IncludeCrossHairs) {
  if (!C) return;
  if (BlkWhite) BackupColorsAndMakeBW();
  // The axis controls paint onto whatever canvas the chart renders on; afterwards they
  // go back to the chart bitmap.
  auto point_axes = [this](TCanvas* target) {
    for (size_t i = 0; i < 2; ++i) {
      FScalesX[i]->UseForeignCanvas(target, 0, 0);
      FScalesY[i]->UseForeignCanvas(target, 0, 0);
    }
  };
  const Integer L = FRcLRim, T = FRcTRim;
  const Integer Wd = ClampPix(std::max<int64_t>(0, int64_t(AreaWidth()) + 1));
  const Integer Hd = ClampPix(std::max<int64_t>(0, int64_t(AreaHeight()) + 1));
  try {
    point_axes(C);
    ConstructChartBmp(C);
    point_axes(FChartBmp->Canvas());
    C->SetClipRect(Rect(L, T, ClampPix(int64_t(L) + Wd), ClampPix(int64_t(T) + Hd)));
    InitGraf(C, L, T, Wd, Hd);
    ConstructDataBmpCanvas(C, L, T, false, 0);
    // The same overlays as on the window: the trace inside the chart area, the
    // crosshairs over the whole picture.
    DrawMouseTraceOnCanvas(C, L, T);
    C->ResetClip();
    if (IncludeCrossHairs) DrawCrossHairsOnCanvas(C, 0, 0);
  } catch (...) {
    point_axes(FChartBmp->Canvas());
    C->ResetClip();
    if (BlkWhite) ReloadBackupColors();
    throw;
  }
  if (BlkWhite) ReloadBackupColors();
  // ConstructChartBmp resized the chart bitmap: give the window's picture back.
  RenderPicture(false, true);
}

bool TCustomZUvado::PaintOn(TCanvas& Target) {
  const TComponentState st = ComponentState();
  if (!(Visible() || st.Contains(csDesigning)) || st.Contains(csLoading) || FSuppressPaint) return false;
  RenderOnCanvas(&Target, false, true);
  return true;
}

void TCustomZUvado::CopyToWMF(const std::string& FName, bool BlkWhite) {
  TMetafileCanvas svg(Width(), Height());
  RenderOnCanvas(&svg, BlkWhite);
  svg.SaveSvgToFile(FName);
}

void TCustomZUvado::CopyToPDF(const std::string& FName, bool BlkWhite) {
  TPdfCanvas pdf(Width(), Height());
  RenderOnCanvas(&pdf, BlkWhite);
  pdf.SavePdfToFile(FName, Name());
}

void TCustomZUvado::CopyToClipboardWMF(bool BlkWhite) {
  TMetafileCanvas svg(Width(), Height());
  RenderOnCanvas(&svg, BlkWhite);
  Clipboard().SetAsMetafile(svg.SvgText());
}

}  // namespace kvr
