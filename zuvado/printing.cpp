// Printing: the chart drawn onto a printer page at the printer's resolution.
//
// The rendering code lays the chart out in screen pixels (margins, tick lengths, mark
// sizes, pen widths). Instead of enlarging a screen bitmap, the chart is rendered through
// the platform's scaled canvas, which draws lines, shapes and text afresh at the page's
// resolution while the layout (and every measurement the chart makes, text widths
// included) stays that of the screen. What is the chart's own here is the page handling:
// a page of its own for PrintIt, the caller's page and the running position for
// CopyToOpenPrinter.
#include <cmath>
#include <string>

#include "platform/arith.h"
#include "platform/printcanvas.h"
#include "platform/printers.h"
#include "zuvado/customzuvado.h"

namespace kvr {
namespace {

// Printer pixels per chart pixel for ScaleF, reduced so that the chart fits the page.
double print_scale(const TCustomZUvado& chart, double ScaleF) {
  if (!std::isfinite(ScaleF) || ScaleF <= 0)
    RaiseKvrError<EKvrZUvadoError>("Invalid scale factor for printing: " + std::to_string(ScaleF));
  return PrintScale(chart.Width(), chart.Height(), ScaleF);
}

void print_at(TCustomZUvado& chart, Integer x, Integer y, double scale, bool BlkWhite) {
  PrintPicture(x, y, scale, chart.Width(), chart.Height(),
               [&](TCanvas& canvas) { chart.RenderOnCanvas(&canvas, BlkWhite); });
}

}  // namespace

void TCustomZUvado::PrintIt(double ScaleF, bool BlkWhite) {
  const double s = print_scale(*this, ScaleF);
  TPrinter& p = Printer();
  p.BeginDoc();
  try {
    const Integer x = (p.PageWidth() - ScaledSize(Width(), s)) / 2;
    const Integer y = (p.PageHeight() - ScaledSize(Height(), s)) / 2;
    print_at(*this, x, y, s, BlkWhite);
  } catch (...) {
    p.Abort();
    throw;
  }
  p.EndDoc();
}

void TCustomZUvado::CopyToOpenPrinter(Integer& x, Integer& y, double ScaleF, bool BlkWhite) {
  TPrinter& p = Printer();
  if (!p.Printing())
    RaiseKvrError<EKvrZUvadoError>("CopyToOpenPrinter: no print job has been started");
  const double s = print_scale(*this, ScaleF);
  print_at(*this, x, y, s, BlkWhite);
  const Integer pw = ScaledSize(Width(), s), ph = ScaledSize(Height(), s);
  const long long nx = (long long)x + pw;
  if (nx + pw > p.PageWidth()) {
    x = 0;
    y = ClampPix((long long)y + ph);
  } else {
    x = ClampPix(nx);
  }
}

}  // namespace kvr
