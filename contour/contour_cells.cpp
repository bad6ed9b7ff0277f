// The four public cell routines and the frozen state they share with the grid walk.
#include "contour/contourplot.h"
#include "contour/detail/cells.h"

namespace kvr {

Integer TContourPlot::NumIsoLevels() const {
  const double q = (FIsoHigh - FIsoLow) / FIsoDist;
  // A distance of 0 or below (or a span that is not finite) has no levels to walk; the
  // count is held in 16 bits.
  if (!(FIsoDist > 0) || !std::isfinite(q) || q < 0) return 0;
  return Integer(std::min<int64_t>(Round(q), 65535));
}

void TContourPlot::FreezeCells(detail::ContourCells& c, Integer OffX, Integer OffY) const {
  c.Map = LayerMap(1);
  c.ShiftX = int64_t(OffX) - MarginLeft();
  c.ShiftY = int64_t(OffY) - MarginTop();
  c.IsoLow = FIsoLow;
  c.IsoHigh = FIsoHigh;
  c.IsoDist = FIsoDist;
  c.S = IsoColors.Size();
  c.Span = FIsoHigh - FIsoLow;
  const Integer top = std::max<Integer>(c.S, 1);
  c.Colors.resize(size_t(top) + 1);
  for (Integer k = 0; k <= top; ++k) c.Colors[size_t(k)] = IsoColors.GetColorElem(k);

  const Integer n = NumIsoLevels();
  c.Levels.resize(size_t(n));
  c.LevelColors.resize(size_t(n));
  const TColor first = IsoColors.GetColorElem(1);
  for (Integer k = 1; k <= n; ++k) {
    const double L = FIsoLow + (k - 1) * FIsoDist;
    c.Levels[size_t(k - 1)] = L;
    TColor col = first;
    if (FPlotMode != cpmMonoDots) {
      // The index is a 16-bit value: a wrapped negative index lands above S.
      Integer ix = Integer(Word(Round((L - FIsoLow) * c.S / (FIsoHigh - FIsoLow))));
      if (ix < 1) ix = 1;
      if (ix > c.S) ix = c.S;
      col = IsoColors.GetColorElem(ix);
    }
    c.LevelColors[size_t(k - 1)] = col;
  }
}

void TContourPlot::IsoQuad(TCanvas* Canvas, Integer OffX, Integer OffY, double x0, double y0,
                           double dx, double dy, double z1, double z2, double z3, double z4,
                           Word nx, Word ny) const {
  if (!Canvas) return;
  detail::ContourCells c;
  FreezeCells(c, OffX, OffY);
  detail::iso_quad(c, detail::CanvasSink{Canvas}, x0, y0, dx, dy, z1, z2, z3, z4, nx, ny);
}

void TContourPlot::IsoColQuad(TCanvas* Canvas, Integer OffX, Integer OffY, double x0,
                              double y0, double dx, double dy, double z1, double z2, double z3,
                              double z4, Word nx, Word ny) const {
  if (!Canvas) return;
  detail::ContourCells c;
  FreezeCells(c, OffX, OffY);
  const TColor bc = Canvas->Brush()->Color(), pc = Canvas->Pen()->Color();
  detail::iso_col_quad(c, detail::CanvasSink{Canvas}, x0, y0, dx, dy, z1, z2, z3, z4, nx, ny);
  Canvas->Brush()->SetColor(bc);
  Canvas->Pen()->SetColor(pc);
}

void TContourPlot::IsoQuadSL(PRGB32Array Pixels, Integer Stride, Integer BmpHeight,
                             Integer OffX, Integer OffY, double x0, double y0, double dx,
                             double dy, double z1, double z2, double z3, double z4, Word nx,
                             Word ny) const {
  detail::ContourCells c;
  FreezeCells(c, OffX, OffY);
  detail::iso_quad(c, detail::PixelSink(Pixels, Stride, BmpHeight), x0, y0, dx, dy, z1, z2,
                   z3, z4, nx, ny);
}

void TContourPlot::IsoColQuadSL(PRGB32Array Pixels, Integer Stride, Integer BmpHeight,
                                Integer OffX, Integer OffY, double x0, double y0, double dx,
                                double dy, double z1, double z2, double z3, double z4, Word nx,
                                Word ny) const {
  detail::ContourCells c;
  FreezeCells(c, OffX, OffY);
  detail::iso_col_quad(c, detail::PixelSink(Pixels, Stride, BmpHeight), x0, y0, dx, dy, z1, z2,
                       z3, z4, nx, ny);
}

}  // namespace kvr
