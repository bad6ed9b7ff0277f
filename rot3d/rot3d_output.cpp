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
  PrintCentredPage(PrintScale(Width(), Height(), ScaleF), Width(), Height(),
                   [&](TCanvas& c) { RenderOnCanvas(&c, IncludeFrame, BlkWhite); });
}

void TRot3D::CopyToOpenPrinter(Integer& X, Integer& Y, double ScaleF, bool BlkWhite, bool IncludeFrame) {
  if (!Printer().Printing()) RaiseKvrError<EPrinter>("CopyToOpenPrinter: no print job has been started");
  PrintAtRunningPosition(X, Y, PrintScale(Width(), Height(), ScaleF), Width(), Height(),
                         [&](TCanvas& c) { RenderOnCanvas(&c, IncludeFrame, BlkWhite); });
}

}  // namespace kvr
