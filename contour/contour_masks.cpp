// TContourPlot: the masked pivots. Three layers the size of the bitmap are composed onto
// it: the cut-out layer blackens masked areas (AND), the colour layer ORs the palette
// colours in and the invert layer flips the areas of mask 255 (XOR). The layers are
// plain pixel arrays written with the canvas's rectangle rule (both corners included,
// corners in any order), and the three raster operations run as one pass over the
// bitmap; the result is that of drawing them with SRCAND, SRCPAINT and SRCINVERT.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "contour/contourplot.h"
#include "contour/detail/cells.h"

namespace kvr {

namespace {

uint32_t rgb_bits(TColor c) {
  const uint32_t u = static_cast<uint32_t>(c);
  return ((u >> 16) & 0xFF) | (u & 0xFF00) | ((u & 0xFF) << 16);
}

struct Layer {
  int64_t W, H;
  uint32_t* Px;
  Layer(int64_t w, int64_t h, uint32_t* px, uint32_t v) : W(w), H(h), Px(px) {
    std::fill(Px, Px + w * h, v);
  }
  void rect(int64_t xa, int64_t ya, int64_t xb, int64_t yb, uint32_t v) {
    if (xa > xb) std::swap(xa, xb);
    if (ya > yb) std::swap(ya, yb);
    xa = std::max<int64_t>(xa, 0);
    ya = std::max<int64_t>(ya, 0);
    xb = std::min<int64_t>(xb, W - 1);
    yb = std::min<int64_t>(yb, H - 1);
    for (int64_t y = ya; y <= yb; ++y)
      std::fill(Px + y * W + xa, Px + y * W + xb + 1, v);
  }
};

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
  const size_t n = size_t(W) * size_t(H);
  if (FMaskLayers.size() < 3 * n) FMaskLayers.resize(3 * n);
  Layer colour(W, H, FMaskLayers.data(), 0), invert(W, H, FMaskLayers.data() + n, 0),
      cut(W, H, FMaskLayers.data() + 2 * n, 0xFFFFFF);
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
        invert.rect(X1, Y1, X2, Y2, 0xFFFFFF);
      } else {
        cut.rect(X1, Y1, X2, Y2, 0);
        colour.rect(X1, Y1, X2, Y2, rgb_bits(MaskPalette.GetColorElem(m)));
      }
    }
  }
  // The bitmap may have been resized by a progress handler: compose what both cover.
  const int64_t w = std::min<int64_t>(W, Bmp->Width()), h = std::min<int64_t>(H, Bmp->Height());
  for (int64_t y = 0; y < h; ++y) {
    TRGB32* row = Bmp->ScanLine(Integer(y));
    const size_t o = size_t(y * W);
    for (int64_t x = 0; x < w; ++x) {
      TRGB32& p = row[x];
      uint32_t d = uint32_t(p.B) | uint32_t(p.G) << 8 | uint32_t(p.R) << 16;
      d = ((d & cut.Px[o + size_t(x)]) | colour.Px[o + size_t(x)]) ^ invert.Px[o + size_t(x)];
      p.B = Byte(d);
      p.G = Byte(d >> 8);
      p.R = Byte(d >> 16);
    }
  }
}

}  // namespace kvr
