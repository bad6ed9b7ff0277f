// TSmithChart: construction, colours, conversions, ranges and registration. The diagram
// itself is drawn in smithdiagram.cpp.
#include "smith/smithchart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/registry.h"
#include "platform/univconst.h"

namespace kvr {

// The base constructor has run ResetComp (its own: a virtual call does not reach this
// class there), so the Smith state is set here. Isometric goes on before the ranges, and
// the ranges then go through the isometric step: the first picture is round.
TSmithChart::TSmithChart(TComponent* AOwner) : TCustomZUvado(AOwner) {
  FGridColLight = 0xDBDBDB;
  FGridColDark = 0xA7A7A7;
  FDiagramColor = 0xF8E8E8;
  SetSmithAxes();
}

void TSmithChart::ResetComp() {
  const bool saved = SuppressPaint();
  SetSuppressPaint(true);
  try {
    TCustomZUvado::ResetComp();
    SetSmithAxes();
  } catch (...) {
    SetSuppressPaint(saved);
    throw;
  }
  SetSuppressPaint(saved);
}

// Pair 2 hidden, pair 1 shown, isometric on, then -1.2 .. 1.2 on both axes (high before
// low, x first). The y limits written last are not made isometric by themselves, so the
// isometric step is applied once more after the four limits: the y extent is
// recomputed about its centre (0) from the x span and the area's shape.
void TSmithChart::SetSmithAxes() {
  const bool saved = SuppressPaint();
  SetSuppressPaint(true);
  try {
    Scale2X()->SetVisible(false);
    Scale2Y()->SetVisible(false);
    Scale1X()->SetVisible(true);
    Scale1Y()->SetVisible(true);
    SetIsometric(true);
    Scale1X()->SetRangeHigh(1.2);
    Scale1X()->SetRangeLow(-1.2);
    Scale1Y()->SetRangeHigh(1.2);
    Scale1Y()->SetRangeLow(-1.2);
    SetIsometric(true);
    ClearZoomHistory();
  } catch (...) {
    SetSuppressPaint(saved);
    throw;
  }
  SetSuppressPaint(saved);
}

void TSmithChart::AdjustScaling() {
  TScaleProps& X = *Scale1X();
  TScaleProps& Y = *Scale1Y();
  const bool moved = X.RangeLow() != FMappedXLow || X.RangeHigh() != FMappedXHigh;
  if (moved && Isometric() && !FAdjusting && !X.Logarithmic() && !Y.Logarithmic() &&
      !ComponentState().Contains(csLoading)) {
    const long double ax = std::max(1, Canvas()->DeviceCaps(ASPECTX));
    const long double ay = std::max(1, Canvas()->DeviceCaps(ASPECTY));
    const long double now = (long double)Y.RangeHigh() - Y.RangeLow();
    // A reversed y axis stays reversed.
    long double span = ((long double)X.RangeHigh() - X.RangeLow()) * (AreaHeight() + 1.0L) /
                       (AreaWidth() + 1.0L) * ay / ax;
    if ((now < 0) != (span < 0)) span = -span;
    const long double c = ((long double)Y.RangeLow() + Y.RangeHigh()) / 2;
    const bool usable = std::isfinite(span) && span != 0 && AreaWidth() >= 0;
    if (usable && std::fabs(now - span) > 1e-12L * std::fabs(span)) {
      // Written without notification: the chart is in the middle of a range operation.
      FAdjusting = true;
      TNotifyEvent handler = std::move(Y.OnChange);
      Y.OnChange = nullptr;
      try {
        Y.SetRangeHigh(double(c + span / 2));
        Y.SetRangeLow(double(c - span / 2));
      } catch (...) {
        Y.OnChange = std::move(handler);
        FAdjusting = false;
        throw;
      }
      Y.OnChange = std::move(handler);
      FAdjusting = false;
      SetScaleProps(ScalesY(1), &Y);
    }
  }
  FMappedXLow = X.RangeLow();
  FMappedXHigh = X.RangeHigh();
  TCustomZUvado::AdjustScaling();
}

void TSmithChart::SetGridColLight(TColor v) {
  if (v == FGridColLight) return;
  FGridColLight = v;
  Invalidate();
}

void TSmithChart::SetGridColDark(TColor v) {
  if (v == FGridColDark) return;
  FGridColDark = v;
  Invalidate();
}

void TSmithChart::SetDiagramColor(TColor v) {
  if (v == FDiagramColor) return;
  FDiagramColor = v;
  Invalidate();
}

double TSmithChart::CalcReflectionReal(double Resistance, double Reactance) {
  const double R = Resistance, X = Reactance;
  return 1 - 2 / ((1 + R) + X * X / (1 + R));
}

double TSmithChart::CalcReflectionImag(double Resistance, double Reactance) {
  const double R = Resistance, X = Reactance;
  if (X == 0) return 0;
  return 2 / ((1 + R) * (1 + R) / X + X);
}

double TSmithChart::CalcResistance(double ReflectionReal, double ReflectionImag) {
  const double u = ReflectionReal, v = ReflectionImag;
  const double d = (u - 1) * (u - 1) + v * v;
  if (d == 0) return uc_MaxReal;
  return -1 - 2 * (u - 1) / d;
}

double TSmithChart::CalcReactance(double ReflectionReal, double ReflectionImag) {
  const double u = ReflectionReal, v = ReflectionImag;
  const double d = (u - 1) * (u - 1) + v * v;
  if (d == 0) return uc_MaxReal;
  return 2 * v / d;
}

double TSmithChart::RangeXLow() const { return Scale1X()->RangeLow(); }
double TSmithChart::RangeXHigh() const { return Scale1X()->RangeHigh(); }
double TSmithChart::RangeYLow() const { return Scale1Y()->RangeLow(); }
double TSmithChart::RangeYHigh() const { return Scale1Y()->RangeHigh(); }

// Painting is held back while the property object notifies the chart and the isometric
// step moves the other extent; giving back the caller's setting paints the result once
// (and nothing while the caller holds painting back, or before the window exists).
void TSmithChart::SetRangeLimit(bool X, bool High, double v) {
  const bool saved = SuppressPaint();
  SetSuppressPaint(true);
  TScaleProps* P = X ? static_cast<TScaleProps*>(Scale1X()) : Scale1Y();
  try {
    if (High) P->SetRangeHigh(v);
    else P->SetRangeLow(v);
    SetIsometric(true);
  } catch (...) {
    SetSuppressPaint(saved);
    throw;
  }
  SetSuppressPaint(saved);
}

void TSmithChart::SetRangeLowX(double v) { SetRangeLimit(true, false, v); }
void TSmithChart::SetRangeHighX(double v) { SetRangeLimit(true, true, v); }
void TSmithChart::SetRangeLowY(double v) { SetRangeLimit(false, false, v); }

void TSmithChart::CentezUvado() {
  const double wx = Scale1X()->RangeHigh() - Scale1X()->RangeLow();
  const double wy = Scale1Y()->RangeHigh() - Scale1Y()->RangeLow();
  SetRange(-wx / 2, -wy / 2, wx / 2, wy / 2);
}

Integer TSmithChart::LabelLevel(Integer Diameter) {
  Integer level = 1;
  for (Integer t : {300, 500, 750, 900})
    if (Diameter > t) ++level;
  return level;
}

std::string TSmithChart::LabelText(double v) {
  if (!std::isfinite(v)) return std::string();
  char buf[64];
  const double frac = v - std::trunc(v);
  std::snprintf(buf, sizeof buf, std::fabs(frac) > 0.01 ? "%.1f" : "%.0f", v);
  // A value like -0.001 would print as "-0"; the sign of zero is not shown.
  if (buf[0] == '-' && std::strtod(buf, nullptr) == 0) return buf + 1;
  return buf;
}

namespace Kvr_smith {
void Register() {
  RegisterComponents("KVR", {{"TSmithChart", [](TComponent* o) -> TComponent* { return new TSmithChart(o); }}});
}
}  // namespace Kvr_smith

}  // namespace kvr
