#include "platform/printcanvas.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/arith.h"
#include "platform/canvas.h"
#include "platform/forms.h"
#include "platform/kvrerror.h"
#include "platform/printers.h"

namespace kvr {

double PrintScale(Integer Width, Integer Height, double ScaleF) {
  if (!std::isfinite(ScaleF) || ScaleF <= 0)
    RaiseKvrError<EPrinter>("Invalid scale factor for printing: " + std::to_string(ScaleF));
  TPrinter& p = Printer();
  double s = double(GetDeviceCaps(p.Canvas()->Handle(), LOGPIXELSX)) / Screen().PixelsPerInch() * ScaleF;
  if (Width > 0) s = std::min(s, double(p.PageWidth()) / Width);
  if (Height > 0) s = std::min(s, double(p.PageHeight()) / Height);
  return s;
}

void PrintPicture(Integer X, Integer Y, double Scale, Integer Width, Integer Height, const TScaledPaint& Paint) {
  DrawScaled(*Printer().Canvas(), X, Y, Scale, Width, Height, Paint);
}

void PrintCentredPage(double Scale, Integer Width, Integer Height, const TScaledPaint& Paint) {
  TPrinter& p = Printer();
  p.BeginDoc();
  try {
    const Integer x = (p.PageWidth() - ScaledSize(Width, Scale)) / 2;
    const Integer y = (p.PageHeight() - ScaledSize(Height, Scale)) / 2;
    PrintPicture(x, y, Scale, Width, Height, Paint);
  } catch (...) {
    p.Abort();
    throw;
  }
  p.EndDoc();
}

void PrintAtRunningPosition(Integer& X, Integer& Y, double Scale, Integer Width, Integer Height,
                            const TScaledPaint& Paint) {
  PrintPicture(X, Y, Scale, Width, Height, Paint);
  const Integer pw = ScaledSize(Width, Scale), ph = ScaledSize(Height, Scale);
  const int64_t nx = int64_t(X) + pw;
  if (nx + pw > Printer().PageWidth()) {
    X = 0;
    Y = ClampPix(int64_t(Y) + ph);
  } else {
    X = ClampPix(nx);
  }
}

}  // namespace kvr
