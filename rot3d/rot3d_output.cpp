// TRot3D output: files, clipboard and printer, each rendering the picture afresh.
#include <cstdint>

#include "platform/arith.h"
#include "platform/clipbrd.h"
#include "platform/printcanvas.h"
#include "platform/printers.h"
#include "platform/scaledcanvas.h"
#include "platform/svgcanvas.h"
#include "rot3d/rot3d.h"

namespace kvr {

void TRot3D::RenderOnCanvas(TCanvas* Canvas, bool IncludeFrame, bool BlkWhite) {
  if (!Canvas) return;
  PaintPicture(Canvas, IncludeFrame, BlkWhite);
}

void TRot3D::CopyToBMP(const std::string& FName, bool IncludeFrame) {
  TBitmap bmp;
  bmp.SetSize(Width(), Height());
  RenderOnCanvas(bmp.Canvas(), IncludeFrame);
  bmp.SaveToFile(FName);
}

void TRot3D::CopyToWMF(const std::string& FName, bool IncludeFrame) {
  TMetafileCanvas svg(Width(), Height());
  RenderOnCanvas(&svg, IncludeFrame);
  svg.SaveSvgToFile(FName);
}

void TRot3D::CopyToClipboard(bool IncludeFrame) {
  TBitmap bmp;
  bmp.SetSize(Width(), Height());
  RenderOnCanvas(bmp.Canvas(), IncludeFrame);
  Clipboard().Assign(&bmp);
}

void TRot3D::CopyToClipboardWMF(bool IncludeFrame) {
  TMetafileCanvas svg(Width(), Height());
  RenderOnCanvas(&svg, IncludeFrame);
  Clipboard().SetAsMetafile(svg.SvgText());
}

void TRot3D::PrintIt(double ScaleF, bool BlkWhite, bool IncludeFrame) {
  const double s = PrintScale(Width(), Height(), ScaleF);
  TPrinter& p = Printer();
  p.BeginDoc();
  try {
    const Integer x = (p.PageWidth() - ScaledSize(Width(), s)) / 2;
    const Integer y = (p.PageHeight() - ScaledSize(Height(), s)) / 2;
    PrintPicture(x, y, s, Width(), Height(), [&](TCanvas& c) { RenderOnCanvas(&c, IncludeFrame, BlkWhite); });
  } catch (...) {
    p.Abort();
    throw;
  }
  p.EndDoc();
}

void TRot3D::CopyToOpenPrinter(Integer& X, Integer& Y, double ScaleF, bool BlkWhite, bool IncludeFrame) {
  TPrinter& p = Printer();
  if (!p.Printing()) RaiseKvrError<EPrinter>("CopyToOpenPrinter: no print job has been started");
  const double s = PrintScale(Width(), Height(), ScaleF);
  PrintPicture(X, Y, s, Width(), Height(), [&](TCanvas& c) { RenderOnCanvas(&c, IncludeFrame, BlkWhite); });
  const Integer pw = ScaledSize(Width(), s), ph = ScaledSize(Height(), s);
  const int64_t nx = int64_t(X) + pw;
  if (nx + pw > p.PageWidth()) {
    X = 0;
    Y = ClampPix(int64_t(Y) + ph);
  } else {
    X = ClampPix(nx);
  }
}

}  // namespace kvr
