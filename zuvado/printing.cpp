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

}  // namespace

void TCustomZUvado::PrintIt(double ScaleF, bool BlkWhite) {
  PrintCentredPage(print_scale(*this, ScaleF), Width(), Height(),
                   [&](TCanvas& canvas) { RenderOnCanvas(&canvas, BlkWhite); });
}

void TCustomZUvado::CopyToOpenPrinter(Integer& x, Integer& y, double ScaleF, bool BlkWhite) {
  if (!Printer().Printing())
    RaiseKvrError<EKvrZUvadoError>("CopyToOpenPrinter: no print job has been started");
  PrintAtRunningPosition(x, y, print_scale(*this, ScaleF), Width(), Height(),
                         [&](TCanvas& canvas) { RenderOnCanvas(&canvas, BlkWhite); });
}

}  // namespace kvr
