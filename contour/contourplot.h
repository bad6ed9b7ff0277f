// TContourPlot: a colour-coded map, or the iso-lines, of a function z = f(x, y) over the
// chart's current range of the first axis pair.
//
// The function is sampled on a grid of pivots that always spans the visible range
// exactly (corner pivots on the corners), so zooming or panning moves every pivot and the
// next paint asks for all values again. Each pivot has a z value and a mask byte:
//   0        rendered from z
//   1        not rendered, the chart background shows
//   2..254   painted in MaskPalette colour m
//   255      rendered from z, then colour-inverted
// Typical use:
//   kvr::TContourPlot cp(nullptr);
//   cp.SetBounds(0, 0, 600, 400);
//   cp.CreateWnd();
//   cp.OnEstimateZVal = [](kvr::TObject*, double x, double y, kvr::Integer, kvr::Integer,
//                          double& z, kvr::Byte&) { z = std::sin(x) * std::cos(y); };
//   cp.SetIsoParams(-1, 1, 0.1);
//   cp.Update();
// The pivot values are computed inside painting (CalculatePivotPoints(false)); a caller
// that computes them in advance calls CalculatePivotPoints(true) and the next paint keeps
// them. Changes made with SetMaskVal, FillMask or through the matrices do not repaint:
// call DrawPlot.
//
// The plot is otherwise a 2-D chart: items, annotations, text labels, crosshairs, mouse
// zoom and pan and every output path draw over (or with) the rendered surface. The
// rendered surface is cached; it is rebuilt when DrawPlot, a setter of this class or a
// change of range, margins, size or chart colour asks for it.
//
// Enabled is the plot's own switch of the z-value event (false: every pivot becomes 0);
// it hides the control's enabling of input, which stays reachable as ControlEnabled.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "colorscale/colorscale.h"
#include "platform/bitmap.h"
#include "platform/kvrcolors.h"
#include "platform/matrix.h"
#include "zuvado/customzuvado.h"

namespace kvr {

namespace detail {
struct ContourCells;
}

// Pixel memory of a 32-bit bitmap, indexed from 0.
using TRGB32Array = TRGB32[];
using PRGB32Array = TRGB32*;

enum TContourPlotMode : Byte {
  cpmDots,                // iso-lines as pixels in the colour of their level
  cpmMonoDots,            // iso-lines as pixels, all in IsoColors entry 1
  cpmColorSurface,        // each cell filled with colours interpolated inside it
  cpmColorSurfNoIp,       // each pivot's rectangle in one colour
  cpmColorSurfNoIpTransp  // as cpmColorSurfNoIp, colour index 0 left unpainted
};

// z arrives as 0.0 and Mask as the pivot's current mask byte; the handler returns the
// value and may change the mask.
using TEstimateZValEvent = std::function<void(TObject* Sender, double x, double y, Integer pivx,
                                              Integer pivy, double& z, Byte& Mask)>;

class TContourPlot : public TCustomZUvado {
 public:
  explicit TContourPlot(TComponent* AOwner);
  ~TContourPlot() override;

  // ---- Properties: grid (contour_grid.cpp) ----
  TContourPlotMode PlotMode() const { return FPlotMode; }
  void SetPlotMode(TContourPlotMode Value);
  // Pivot counts, at least 2 each. Any change of the grid size zeroes values and mask.
  Integer NumPivotsX() const { return FNumPivotX; }
  void SetPivotResX(Integer Value);
  void SetNumPivotsX(Integer Value) { SetPivotResX(Value); }
  Integer NumPivotsY() const { return FNumPivotY; }
  void SetPivotResY(Integer Value);
  void SetNumPivotsY(Integer Value) { SetPivotResY(Value); }
  // Five times the pivots along the longer side of the plot area (at least 10); the
  // shorter side gets the count of the same pivot spacing.
  Integer GetPivotRes() const;
  void SetPivotRes(Integer Value);
  Integer PivotResolution() const { return GetPivotRes(); }
  void SetPivotResolution(Integer Value) { SetPivotRes(Value); }
  // Each argument clamped to 10..5000, then divided by 5 (2..1000 pivots per axis).
  void ResizePivotMatrix(Integer ResX, Integer ResY);

  // Pivot (ix, iy), 1-based, x first; 0 outside the grid.
  double GetPivotVal(Integer ix, Integer iy) const { return FPivotMat->GetVal(ix, iy); }
  double PivotMat(Integer ix, Integer iy) const { return GetPivotVal(ix, iy); }
  Byte GetMaskVal(Integer ix, Integer iy) const { return FMaskMat->GetByte(ix, iy); }
  Byte Mask(Integer ix, Integer iy) const { return GetMaskVal(ix, iy); }
  // Neither repaints; ignored outside the grid.
  void SetMaskVal(Integer ix, Integer iy, Byte Value) { FMaskMat->SetByte(ix, iy, Value); }
  void FillMask(Byte Value) { FMaskMat->Fill(Value); }
  // The matrices themselves (resized and zeroed by a change of the grid size).
  TMatrix* PivotMatrix() const { return FPivotMat.get(); }
  TByteMatrix* MaskMatrix() const { return FMaskMat.get(); }

  // ---- Properties: iso levels ----
  // IsoHigh stays above IsoLow: moving one past the other drags the other to 1.0 away.
  double IsoLow() const { return FIsoLow; }
  void SetIsoLow(double Value);
  double IsoHigh() const { return FIsoHigh; }
  void SetIsoHigh(double Value);
  double IsoDist() const { return FIsoDist; }
  void SetIsoDist(double Value);
  void SetIsoParams(double Low, double High, double Dist);
  // Levels IsoLow + (k - 1) * IsoDist, k = 1..NumIsoLevels(); IsoHigh itself is not drawn
  // when the span is a whole number of steps. 0 for a distance that is not above 0.
  Integer NumIsoLevels() const;

  // Extremes met by the last pivot calculation.
  double MaxPivot() const { return FMaximum; }
  double MinPivot() const { return FMinimum; }
  // The plot's switch of OnEstimateZVal (does not mark the surface invalid).
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // The control's enabling of mouse and keyboard input.
  bool ControlEnabled() const { return TControl::Enabled(); }
  void SetControlEnabled(bool Value) { TControl::SetEnabled(Value); }
  bool PivotPreCalc() const { return FPivotPreCalc; }
  // The rendered surface is rebuilt (pivots recalculated) at the next paint.
  bool InvalidDataBmp() const { return FInvalidDataBmp; }

  // Colour scale kept in step with IsoColors and IsoLow..IsoHigh; cleared when it is
  // destroyed first.
  TColorScale* AttachedColorScale() const { return FExtColScale; }
  void SetAttachedColorScale(TColorScale* Value);

  // Colours of the levels and of the surface, entries 1..S (entry 0 is reached just
  // above IsoLow and is used as the table holds it). Changes repaint.
  TColorArray MaskPalette{255};
  TColorArray IsoColors;

  // ---- Events ----
  TEstimateZValEvent OnEstimateZVal;
  TOnPercentDoneEvent OnProgress;

  // ---- Public methods: pivots and rendering (contour_render.cpp) ----
  // Fills the pivot matrix from OnEstimateZVal, reporting progress about every 1 % of the
  // columns. Called by the application it also processes pending messages there (a
  // paint that calculates does not: hosts paint from their paint events). With
  // PreCalcFlag the values are kept by the next paint.
  void CalculatePivotPoints(bool PreCalcFlag);
  void ClearPivotPoints(bool PreCalcFlag);
  double PercentilePivots(double prob) const;
  // UseMask: only pivots whose mask byte is 0.
  double PercentilePivots(double prob, bool UseMask) const;
  // Paints the grid into Bmp, whose top-left is the plot area's top-left shifted by
  // (OffX, OffY), then composes the masked pivots. OnProgress must not resize Bmp.
  void RenderFromPivotPoints(TBitmap* Bmp, Integer OffX, Integer OffY);
  // The text labels, drawn into the chart area on Canvas.
  void RenderLabels(TCanvas* Canvas, Integer OffX, Integer OffY);
  void FeedbackProgress(Integer Percent);
  void IsoColorsChanged();
  // Marks the surface invalid and invalidates the control.
  void DrawPlot();
  void SetSuppressPaint(bool Value) override;

  // ---- Public methods: cell routines (contour_cells.cpp) ----
  // One grid cell: corner (x0, y0) with z1, (x0 + dx, y0) z2, (x0, y0 + dy) z3,
  // (x0 + dx, y0 + dy) z4, subdivided nx by ny. The bitmap pixel of a world point is its
  // chart pixel less the margins plus (OffX, OffY). The canvas forms draw through the
  // canvas; the scan-line forms write into pixel memory: pixel (px, py) is element
  // Stride * py + px, or |Stride| * (BmpHeight - 1 - py) + px for a negative Stride
  // (Pixels then points at the lowest row in memory). Pixels outside 0..|Stride| - 1 by
  // 0..BmpHeight - 1 are skipped.
  void IsoQuad(TCanvas* Canvas, Integer OffX, Integer OffY, double x0, double y0, double dx,
               double dy, double z1, double z2, double z3, double z4, Word nx, Word ny) const;
  void IsoColQuad(TCanvas* Canvas, Integer OffX, Integer OffY, double x0, double y0,
                  double dx, double dy, double z1, double z2, double z3, double z4, Word nx,
                  Word ny) const;
  void IsoQuadSL(PRGB32Array Pixels, Integer Stride, Integer BmpHeight, Integer OffX,
                 Integer OffY, double x0, double y0, double dx, double dy, double z1, double z2,
                 double z3, double z4, Word nx, Word ny) const;
  void IsoColQuadSL(PRGB32Array Pixels, Integer Stride, Integer BmpHeight, Integer OffX,
                    Integer OffY, double x0, double y0, double dx, double dy, double z1,
                    double z2, double z3, double z4, Word nx, Word ny) const;

  // ---- Wrappers that mark the surface invalid first (contour_grid.cpp) ----
  void SetLRim(Integer v);
  void SetMarginLeft(Integer v) { SetLRim(v); }
  void SetRRim(Integer v);
  void SetMarginRight(Integer v) { SetRRim(v); }
  void SetTRim(Integer v);
  void SetMarginTop(Integer v) { SetTRim(v); }
  void SetBRim(Integer v);
  void SetMarginBottom(Integer v) { SetBRim(v); }
  void SetF3DRim(Integer v);
  void SetShadowWidth(Integer v) { SetF3DRim(v); }
  void SetChartCol(TColor v);
  void SetChartColor(TColor v) { SetChartCol(v); }
  void SetScaleCol(TColor v);
  void SetChartFrameColor(TColor v) { SetScaleCol(v); }
  void SetClassVisib(Integer ClassNumber, bool v);
  void SetClassVisible(Integer ClassNumber, bool v) { SetClassVisib(ClassNumber, v); }
  void SetAnnoClassVisib(Integer ClassNumber, bool v);
  void SetAnnoClassVisible(Integer ClassNumber, bool v) { SetAnnoClassVisib(ClassNumber, v); }
  void SetRange(Integer Layer, long double xLo, long double yLo, long double xHi,
                long double yHi);
  void PrintIt(double ScaleF, bool BlkWhite);
  void CopyToBMP(const std::string& FName, bool BlkWhite);
  void CopyToBitmap(TBitmap* ABitmap, bool BlkWhite) { CopyToBitmap(ABitmap, BlkWhite, true); }
  void CopyToBitmap(TBitmap* ABitmap, bool BlkWhite, bool IncludeCrossHairs);
  void CopyToBitmapDAOnly(TBitmap* ABitmap, bool BlkWhite) {
    CopyToBitmapDAOnly(ABitmap, BlkWhite, true);
  }
  void CopyToBitmapDAOnly(TBitmap* ABitmap, bool BlkWhite, bool IncludeCrossHairs);
  void CopyToClipboard(bool BlkWhite) { CopyToClipboard(BlkWhite, true); }
  void CopyToClipboard(bool BlkWhite, bool IncludeCrossHairs);
  void CopyToClipboardDAOnly(bool BlkWhite) { CopyToClipboardDAOnly(BlkWhite, true); }
  void CopyToClipboardDAOnly(bool BlkWhite, bool IncludeCrossHairs);
  void CopyToClipBoardWMF(bool BlkWhite);
  void CopyToClipboardWMF(bool BlkWhite) { CopyToClipBoardWMF(BlkWhite); }
  Integer AddTextLabel(double PosX, double PosY, TColor TxtColor, const std::string& Txt,
                       Integer PropertyTemplate);
  void SetTextLabel(Integer ix, double PosX, double PosY, TColor TxtColor,
                    const std::string& Txt, Integer PropertyTemplate);
  void HideAllTextLabels();
  void ClearAllTextLabels();

  // ---- Component surface ----
  // Painting is allowed from the window on (as for the 2-D chart); nothing is painted here.
  void CreateWnd() override;
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  void ResetComp() override;
  // From another TContourPlot: the chart's state, mode, pivots, mask, colours, grid and
  // iso parameters, extremes and the two events; then the surface is rebuilt.
  void Assign(const TPersistent* Source) override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void InvalidateDataImage() override { FInvalidDataBmp = true; }
  // The cached surface (rebuilt when invalid), then the chart's items, labels and frame.
  void ConstructDataBmpCanvas(TCanvas* Canvas, Integer ox, Integer oy, bool Mono,
                              Integer FirstNew) override;

 private:
  struct TSurfaceKey {
    Integer W = -1, H = -1, ML = 0, MT = 0;
    double Map[8] = {};
    double Range[4] = {};
    TColor Chart = 0;
    unsigned Unmapped = 0;
    bool operator==(const TSurfaceKey&) const = default;
  };
  TSurfaceKey CurrentSurfaceKey() const;
  // Mapping, shift and colour tables of the cell routines for a bitmap at (OffX, OffY).
  void FreezeCells(detail::ContourCells& c, Integer OffX, Integer OffY) const;
  void RebuildGrid();
  void InitMaskPalette();
  void HookTextLabels();
  void Changed();  // marks the surface invalid and invalidates
  // World position of pivot i (x) and j (y) on the current range.
  double PivotX(Integer i) const;
  double PivotY(Integer j) const;
  // Second pass: the masked pivots in three layers composed onto Bmp (contour_masks.cpp).
  void ComposeMasks(TBitmap* Bmp, const detail::ContourCells& c, double dx, double dy);
  Integer ProgressStep() const { return std::max<Integer>(1, FNumPivotX / 100); }
  void ReportProgress(Integer i);

  TContourPlotMode FPlotMode = cpmColorSurface;
  std::unique_ptr<TMatrix> FPivotMat;
  std::unique_ptr<TByteMatrix> FMaskMat;
  Integer FNumPivotX = 2;
  Integer FNumPivotY = 2;
  double FIsoLow = -1.0;
  double FIsoHigh = 1.0;
  double FIsoDist = 0.1;
  double FMaximum = 0;
  double FMinimum = 0;
  bool FEnabled = true;
  bool FPivotPreCalc = false;
  bool FInvalidDataBmp = true;
  TColorScale* FExtColScale = nullptr;
  // The rendered surface (background, pivots, masks) and what it was rendered for.
  std::unique_ptr<TBitmap> FSurface = std::make_unique<TBitmap>();
  TSurfaceKey FSurfaceKey;
  // Set while the surface is rebuilt: a paint from within (messages processed during
  // the calculation) shows the surface as it is instead of starting again.
  bool FBuilding = false;
  // The three mask layers, kept between renderings (fresh memory costs more than the
  // composition itself).
  std::vector<uint32_t> FMaskLayers;
  // Set while a paint calculates the values: no messages are processed then.
  bool FFromPaint = false;
};

// Records TContourPlot on the palette page "KVR".
namespace Kvr_contour {
void Register();
}

}  // namespace kvr
