// Printing a control: its picture, laid out in screen pixels, drawn as vectors on the
// printer's page at the printer's resolution (see scaledcanvas.h for how).
//
//   const double s = PrintScale(ctl.Width(), ctl.Height(), ScaleF);
//   Printer().BeginDoc();
//   PrintPicture(x, y, s, ctl.Width(), ctl.Height(), [&](TCanvas& c) { ctl.PaintTo(c); });
//   x += ScaledSize(ctl.Width(), s);
//   Printer().EndDoc();
#pragma once

#include "platform/scaledcanvas.h"
#include "platform/types.h"

namespace kvr {

// Printer pixels per screen pixel: the printer's resolution over the screen's, times
// ScaleF, reduced so that a Width x Height picture fits the page. Raises EPrinter unless
// ScaleF is finite and > 0.
double PrintScale(Integer Width, Integer Height, double ScaleF);

// Paints a Width x Height picture onto the printer's page at printer pixel (X, Y),
// Scale printer pixels per screen pixel; the page keeps its own clip. Between documents
// the page has no pixels and nothing lands.
void PrintPicture(Integer X, Integer Y, double Scale, Integer Width, Integer Height, const TScaledPaint& Paint);

// A document of one page with the picture centred on it. When painting raises, the job
// is aborted and the exception passed on.
void PrintCentredPage(double Scale, Integer Width, Integer Height, const TScaledPaint& Paint);

// The picture at (X, Y) on the page of the running job; X and Y then move on to where the
// next picture of this size goes: to the right, or to the start of the next row when it
// would not fit beside this one.
void PrintAtRunningPosition(Integer& X, Integer& Y, double Scale, Integer Width, Integer Height,
                            const TScaledPaint& Paint);

}  // namespace kvr
