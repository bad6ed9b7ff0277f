// TPlot3D output: files, clipboard and printer, each rendering the picture afresh.
#include <cmath>
#include <utility>
#include <vector>

#include "platform/arith.h"
#include "platform/clipbrd.h"
#include "platform/pdfcanvas.h"
#include "platform/printcanvas.h"
#include "platform/printers.h"
#include "platform/scaledcanvas.h"
#include "platform/svgcanvas.h"
#include "plot3d/plot3d.h"

namespace kvr {

void TPlot3D::RenderOnCanvas(TCanvas* Canvas, bool IncludeFrame, bool BlkWhite) {
  if (!Canvas) return;
  // Black and white: the settings swapped for the output and back afterwards.
  struct Swap {
    TColor* field;
    TColor saved;
  };
  std::vector<Swap> swaps;
  if (BlkWhite) {
    auto set = [&](TColor& f, TColor v) {
      swaps.push_back({&f, f});
      f = v;
    };
    set(FColorBakGnd, clWhite);
    set(FColorFrame, clBlack);
    set(FColorCubeFrame, clBlack);
    set(FColorCubeHidLin, clGray);
    set(FColorCubeFaceLow, clWhite);
    set(FColorCubeFaceHigh, clWhite);
    for (TColor& c : FColorCoords) set(c, clBlack);
  }
  FillBackground(Canvas);
  ConstructDataBmp(Canvas);
  if (IncludeFrame)
    DrawFrame(Canvas, FFrameStyle, 0, 0, Width() - 1, Height() - 1, FColorFrame, 0, 0x808080, 0xC0C0C0, 0xFFFFFF);
  for (auto it = swaps.rbegin(); it != swaps.rend(); ++it) *it->field = it->saved;
}

void TPlot3D::CopyToBMP(const std::string& FName, bool IncludeFrame) {
  GrafBmp.SetSize(Width(), Height());
  RenderOnCanvas(GrafBmp.Canvas(), IncludeFrame);
  GrafBmp.SaveToFile(FName);
}

void TPlot3D::CopyToWMF(const std::string& FName, bool IncludeFrame) {
  TMetafileCanvas svg(Width(), Height());
  RenderOnCanvas(&svg, IncludeFrame);
  svg.SaveSvgToFile(FName);
}

void TPlot3D::CopyToPDF(const std::string& FName, bool IncludeFrame) {
  TPdfCanvas pdf(Width(), Height());
  RenderOnCanvas(&pdf, IncludeFrame);
  pdf.SavePdfToFile(FName, Name());
}

void TPlot3D::CopyToClipboard(bool IncludeFrame) {
  TBitmap bmp;
  bmp.SetSize(Width(), Height());
  RenderOnCanvas(bmp.Canvas(), IncludeFrame);
  Clipboard().Assign(&bmp);
}

void TPlot3D::CopyToClipboardWMF(bool IncludeFrame) {
  TMetafileCanvas svg(Width(), Height());
  RenderOnCanvas(&svg, IncludeFrame);
  Clipboard().SetAsMetafile(svg.SvgText());
}

void TPlot3D::PrintIt(double ScaleF, bool BlkWhite, bool IncludeFrame) {
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

void TPlot3D::CopyToOpenPrinter(Integer& X, Integer& Y, double ScaleF, bool BlkWhite, bool IncludeFrame) {
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
