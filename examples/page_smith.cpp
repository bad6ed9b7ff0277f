// Gallery page of the Smith chart: the input impedance of a band-pass filter swept over
// frequency, at a large and a small size (different label levels), zoomed around the
// matched point, and copied in black and white.
#include <cmath>
#include <complex>
#include <cstdio>
#include <random>
#include <string>

#include "examples/pages.h"
#include "platform/bitmap.h"
#include "smith/smithchart.h"

namespace {

using kvr::TSmithChart;
using cplx = std::complex<double>;

// Third-order 0.5 dB Chebyshev band-pass, 20 % bandwidth about 1 GHz, resonators of
// unloaded Q 120, normalised to 50 ohm.
cplx filter_input(double f_ghz) {
  const double g1 = 1.5963, g2 = 1.0967, g3 = 1.5963, fbw = 0.2, q = 120;
  const double d = f_ghz - 1 / f_ghz;
  const cplx series1 = g1 / fbw * cplx(1 / q, d);
  const cplx shunt2 = g2 / fbw * cplx(1 / q, d);
  const cplx series3 = g3 / fbw * cplx(1 / q, d);
  return series1 + 1.0 / (shunt2 + 1.0 / (series3 + 1.0));
}

void sweep(TSmithChart& s, int points) {
  std::mt19937 rng(11);
  std::normal_distribution<double> noise(0.0, 0.004);
  s.SetDataColor(0xB05010);
  s.SetFillColor(0xB05010);
  for (int i = 0; i < points; ++i) {
    const double f = 0.7 + 0.6 * i / (points - 1);
    const cplx z = filter_input(f);
    const double u = TSmithChart::CalcReflectionReal(z.real(), z.imag()) + noise(rng);
    const double v = TSmithChart::CalcReflectionImag(z.real(), z.imag()) + noise(rng);
    if (i == 0) s.MoveTo(u, v); else s.DrawTo(u, v);
  }
  for (int i = 0; i < points; ++i) {
    const double f = 0.7 + 0.6 * i / (points - 1);
    const cplx z = filter_input(f);
    s.MarkAt(TSmithChart::CalcReflectionReal(z.real(), z.imag()),
             TSmithChart::CalcReflectionImag(z.real(), z.imag()), 3);
  }
  // A few frequencies named beside their points; the small charts name the ends only.
  s.SetDataColor(0x202020);
  s.SetTextBkStyle(kvr::tbSolid);
  s.SetFillColor(0xFFFFFF);
  const struct { double f; int dx, dy; kvr::TAlignment a; } notes[] = {
      {0.70, -10, 12, kvr::taRightJustify}, {0.90, 10, 0, kvr::taLeftJustify},
      {1.00, -10, -12, kvr::taRightJustify}, {1.10, 8, -10, kvr::taLeftJustify},
      {1.30, -8, 10, kvr::taRightJustify}};
  for (const auto& n : notes) {
    if (points < 100 && n.f > 0.75 && n.f < 1.25) continue;
    const cplx z = filter_input(n.f);
    char txt[32];
    std::snprintf(txt, sizeof txt, "%.2f GHz", n.f);
    s.Text(TSmithChart::CalcReflectionReal(z.real(), z.imag()),
           TSmithChart::CalcReflectionImag(z.real(), z.imag()), 8, txt, n.dx, n.dy, n.a);
  }
  s.SetTextBkStyle(kvr::tbClear);
}

void set_up(TSmithChart& s, int w, int h, const std::string& caption, int points) {
  s.SetBounds(0, 0, w, h);
  s.CreateWnd();
  s.SetSuppressPaint(true);
  s.SetMarginLeft(46);
  s.SetMarginRight(14);
  s.SetMarginTop(24);
  s.SetMarginBottom(34);
  s.SetCaption(caption);
  s.SetCaptionAnchorHoriz(kvr::cahChartLeft);
  s.SetCaptionAlignment(kvr::taLeftJustify);
  s.SetCaptionPosY(-18);
  sweep(s, points);
  s.SetSuppressPaint(false);
}

void place(kvr::TCanvas& c, TSmithChart& s, int x, int y, const std::string& title) {
  s.ShowGraf();
  PageHeading(c, x, y - 22, title);
  c.Draw(x, y, s.Surface());
}

}  // namespace

void RenderSmithPage(kvr::TCanvas& c, int w, int h) {
  c.Pen()->SetMode(kvr::pmCopy);
  c.Pen()->SetColor(0xF0ECE8);
  c.Brush()->SetStyle(kvr::bsSolid);
  c.Brush()->SetColor(0xF0ECE8);
  c.Rectangle(0, 0, w, h);

  TSmithChart large(nullptr);
  set_up(large, 820, 800, "Band-pass filter, input impedance 0.7 .. 1.3 GHz", 121);
  kvr::Integer x0, x1, y;
  large.R2M(1, -1.0, 0.0, x0, y);
  large.R2M(1, 1.0, 0.0, x1, y);
  place(c, large, 20, 40, "Large: diameter " + std::to_string(x1 - x0) + " px, label level " +
                              std::to_string(TSmithChart::LabelLevel(x1 - x0)));

  TSmithChart small(nullptr);
  set_up(small, 380, 360, "Same sweep, small", 61);
  place(c, small, 860, 40, "Small: level 1 labels only");

  TSmithChart zoom(nullptr);
  set_up(zoom, 380, 360, "Zoomed around the matched point", 121);
  zoom.SetRangeXLow(-0.45);
  zoom.SetRangeXHigh(0.45);
  zoom.CentezUvado();
  place(c, zoom, 860, 450, "Zoom: -0.45 .. 0.45, centred");

  TSmithChart bw(nullptr);
  set_up(bw, 380, 360, "Black-and-white copy", 61);
  kvr::TBitmap copy;
  bw.CopyToBitmap(&copy, true);
  PageHeading(c, 860, 860 - 22, "Black-and-white copy (items keep colours)");
  c.Draw(860, 860, &copy);
}
