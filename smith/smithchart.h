// TSmithChart: a 2-D chart of the reflection coefficient plane with a Smith diagram as
// its background.
//
// The world plane of scale pair 1 is the complex plane of Γ = u + jv, shown
// isometrically: the chart switches Isometric on in its constructor, before any range is
// set, and every range operation of this class goes through the isometric step, so the
// unit circle stays round at every size. Data are ordinary items in Γ coordinates; the
// four conversions translate between Γ and the normalised impedance z = r + jx:
//   chart.MoveTo(TSmithChart::CalcReflectionReal(r, x), TSmithChart::CalcReflectionImag(r, x));
//   chart.MarkAt(u, v, 3);
//   chart.ShowGraf();
// Everything else (items, annotations, text labels, crosshairs, mouse, output) is the
// 2-D chart's, on its first scale pair.
//
// The diagram (unit circle, real axis, resistance circles and reactance arcs with their
// labels) is drawn from a fixed table of 20 values; how many labels show depends on the
// diagram's diameter in pixels (LabelLevel).
#pragma once

#include <string>
#include <vector>

#include "zuvado/customzuvado.h"

namespace kvr {

class TSmithChart : public TCustomZUvado {
 public:
  explicit TSmithChart(TComponent* AOwner);

  // ---- Properties: diagram colours (repaint when changed) ----
  TColor GridColorLight() const { return FGridColLight; }
  void SetGridColLight(TColor v);
  void SetGridColorLight(TColor v) { SetGridColLight(v); }
  TColor GridColorDark() const { return FGridColDark; }
  void SetGridColDark(TColor v);
  void SetGridColorDark(TColor v) { SetGridColDark(v); }
  TColor DiagramColor() const { return FDiagramColor; }
  void SetDiagramColor(TColor v);

  // ---- Properties: ranges of scale pair 1 ----
  // Each setter stores the limit, recomputes the y extent for an isometric picture and
  // repaints once. The upper y limit follows and cannot be set.
  double RangeXLow() const;
  void SetRangeLowX(double v);
  void SetRangeXLow(double v) { SetRangeLowX(v); }
  double RangeXHigh() const;
  void SetRangeHighX(double v);
  void SetRangeXHigh(double v) { SetRangeHighX(v); }
  double RangeYLow() const;
  void SetRangeLowY(double v);
  void SetRangeYLow(double v) { SetRangeLowY(v); }
  double RangeYHigh() const;

  // ---- Conversions between z = r + jx and Γ = u + jv ----
  static double CalcReflectionReal(double Resistance, double Reactance);
  static double CalcReflectionImag(double Resistance, double Reactance);
  // uc_MaxReal at Γ = 1 (an open circuit).
  static double CalcResistance(double ReflectionReal, double ReflectionImag);
  static double CalcReactance(double ReflectionReal, double ReflectionImag);

  // ---- Ranges: the 2-D chart's operations on scale pair 1 ----
  // SetRange's form with a layer argument stays available; AutoRange's does not, since
  // AutoRange(1, 3) would be read as a layer there.
  using TCustomZUvado::SetRange;
  void SetRange(long double xLo, long double yLo, long double xHi, long double yHi) {
    TCustomZUvado::SetRange(1, xLo, yLo, xHi, yHi);
  }
  void AutoRange(double Margin) { TCustomZUvado::AutoRange(1, Margin); }
  void AutoRange(double Margin, double MinRange) { TCustomZUvado::AutoRange(1, Margin, MinRange); }
  // Keeps both widths and puts Γ = 0 into the middle.
  void CentezUvado();

  // ---- Diagram helpers ----
  // Label level 1..5 for a diagram of Diameter pixels: one more for each of 300, 500,
  // 750 and 900 pixels exceeded. Table entries up to this level get labels.
  static Integer LabelLevel(Integer Diameter);
  // A label's text: one decimal when the value has a fraction, none otherwise.
  static std::string LabelText(double v);

  // A reset keeps the chart a Smith chart: isometric, range -1.2 .. 1.2, pair 1 shown.
  void ResetComp() override;

  // When the x range of pair 1 has changed since the last mapping, an isometric chart's
  // y extent is brought in line with it and the area's shape (about the y centre) before
  // the mapping is derived: the 2-D chart's zoom window commits the square it drew in
  // pixels as a square in world units, which is not isometric on an area that is not
  // square, and its zoom history holds that square. (Writes of the y limits alone are
  // left as they are; the isometric setters centre them.)
  void AdjustScaling() override;

  void CreateWnd() override { TCustomZUvado::CreateWnd(); }
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override {
    TCustomZUvado::SetBounds(ALeft, ATop, AWidth, AHeight);
  }

 protected:
  // The 2-D chart's background, then the Smith diagram over it.
  void InitGraf(TCanvas* Canvas, Integer Left, Integer Top, Integer Width,
                Integer Height) override;
  // Canvas->Arc's arc; on a raster canvas as a polyline of short chords.
  void DiagramArc(TCanvas* Canvas, Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3,
                  Integer Y3, Integer X4, Integer Y4);

 private:
  void SetSmithAxes();
  void SetRangeLimit(bool X, bool High, double v);
  void DrawDiagram(TCanvas* Canvas, Integer OffX, Integer OffY);

  TColor FGridColLight = 0xDBDBDB;
  TColor FGridColDark = 0xA7A7A7;
  TColor FDiagramColor = 0xF8E8E8;
  std::vector<TPoint> FArcPoints;  // scratch of DiagramArc, kept between paints
  bool FAdjusting = false;
  double FMappedXLow = 0, FMappedXHigh = 0;  // x range of pair 1 at the last mapping
};

namespace Kvr_smith {
// Records TSmithChart on the palette page "KVR".
void Register();
}  // namespace Kvr_smith

}  // namespace kvr
