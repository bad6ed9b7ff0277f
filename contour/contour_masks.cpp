// TContourPlot: the masked pivots. Three layers the size of the bitmap are composed onto
// it: the cut-out layer blackens masked areas (SRCAND), the colour layer ORs the palette
// colours in (SRCPAINT) and the invert layer flips the areas of mask 255 (SRCINVERT).
#include <algorithm>

#include "contour/contourplot.h"
#include "contour/detail/cells.h"

namespace kvr {

namespace {

void fill_layer(TBitmap& b, Integer W, Integer H, TColor c) {
  b.SetSize(W, H);
  TCanvas& cv = *b.Canvas();
  cv.Brush()->SetStyle(bsSolid);
  cv.Brush()->SetColor(c);
  cv.Pen()->SetColor(c);
  cv.Pen()->SetMode(pmCopy);
  cv.Rectangle(0, 0, W, H);
}

}  // namespace

void TContourPlot::ComposeMasks(TBitmap* Bmp, const detail::ContourCells& c, double dx,
                                double dy) {
  const Integer W = Bmp->Width(), H = Bmp->Height();
  const Integer nx = FNumPivotX, ny = FNumPivotY;
  bool any = false;
  for (Integer i = 1; i <= nx && !any; ++i)
    for (Integer j = 1; j <= ny; ++j)
      if (FMaskMat->GetByte(i, j) > 1) {
        any = true;
        break;
      }
  // Without masked pivots the three layers would change no pixel; only the progress
  // of the pass is reported.
  if (!any || W <= 0 || H <= 0) {
    for (Integer i = 1; i <= nx; ++i) ReportProgress(i);
    return;
  }
  TBitmap colour, invert, cut;
  fill_layer(colour, W, H, clBlack);
  fill_layer(invert, W, H, clBlack);
  fill_layer(cut, W, H, clWhite);
  const detail::CanvasSink colourSink{colour.Canvas()}, invertSink{invert.Canvas()},
      cutSink{cut.Canvas()};
  for (Integer i = 1; i <= nx; ++i) {
    ReportProgress(i);
    const double x = PivotX(i);
    const int64_t X1 = c.px(x - dx / 2), X2 = c.px(x + dx / 2);
    for (Integer j = 1; j <= ny; ++j) {
      const Byte m = FMaskMat->GetByte(i, j);
      if (m <= 1) continue;
      const double y = PivotY(j);
      const int64_t Y1 = c.py(y - dy / 2), Y2 = c.py(y + dy / 2);
      if (m == 255) {
        invertSink.rect(X1, Y1, X2, Y2, clWhite);
      } else {
        cutSink.rect(X1, Y1, X2, Y2, clBlack);
        colourSink.rect(X1, Y1, X2, Y2, MaskPalette.GetColorElem(m));
      }
    }
  }
  TCanvas& cv = *Bmp->Canvas();
  const int32_t mode = cv.CopyMode();
  cv.SetCopyMode(SRCAND);
  cv.Draw(0, 0, &cut);
  cv.SetCopyMode(SRCPAINT);
  cv.Draw(0, 0, &colour);
  cv.SetCopyMode(SRCINVERT);
  cv.Draw(0, 0, &invert);
  cv.SetCopyMode(mode);
}

}  // namespace kvr
