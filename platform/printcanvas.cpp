#include "platform/printcanvas.h"

#include <algorithm>
#include <cmath>
#include <string>

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

}  // namespace kvr
