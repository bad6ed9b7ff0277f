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
  PrintCentredPage(PrintScale(Width(), Height(), ScaleF), Width(), Height(),
                   [&](TCanvas& c) { RenderOnCanvas(&c, IncludeFrame, BlkWhite); });
}

void TPlot3D::CopyToOpenPrinter(Integer& X, Integer& Y, double ScaleF, bool BlkWhite, bool IncludeFrame) {
  if (!Printer().Printing()) RaiseKvrError<EPrinter>("CopyToOpenPrinter: no print job has been started");
  PrintAtRunningPosition(X, Y, PrintScale(Width(), Height(), ScaleF), Width(), Height(),
                         [&](TCanvas& c) { RenderOnCanvas(&c, IncludeFrame, BlkWhite); });
}

}  // namespace kvr
