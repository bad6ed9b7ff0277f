// The cell rasteriser shared by the contour plot's four cell routines and its grid walk.
//
// ContourCells freezes, once per call or per rendering, everything a cell needs: the
// mapping of the first axis pair, the shift from chart pixels to bitmap pixels, the iso
// levels with their colours and the surface colour table. The cell walks are templates
// over a sink that sets one pixel or one rectangle, so the canvas and the pixel-memory
// forms share every decision and differ only in how a pixel is written.
#pragma once

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/arith.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "zuvado/mapping.h"

namespace kvr::detail {

inline TRGB32 pack_pixel(TColor c) {
  const uint32_t u = static_cast<uint32_t>(c);
  return TRGB32{Byte((u >> 16) & 0xFF), Byte((u >> 8) & 0xFF), Byte(u & 0xFF), 0};
}

struct ContourCells {
  TLayerMap Map;
  int64_t ShiftX = 0;  // bitmap pixel = chart pixel + shift
  int64_t ShiftY = 0;
  double IsoLow = 0;
  double IsoHigh = 1;
  double IsoDist = 0.1;
  double Span = 1;  // IsoHigh - IsoLow
  Integer S = 0;
  std::vector<TColor> Colors;       // entries 0..max(S, 1); black beyond the table
  std::vector<double> Levels;       // L(k) at k - 1
  std::vector<TColor> LevelColors;  // colour of level k at k - 1

  int64_t px(double x) const { return int64_t(Map.X.Map(x)) + ShiftX; }
  int64_t py(double y) const { return int64_t(Map.Y.Map(y)) + ShiftY; }

  // Colour-table index of a surface value: entry 1 at or below IsoLow, else the rounded
  // position in the table, never above S (values just above IsoLow give 0).
  Integer index_of(double z) const {
    if (z <= IsoLow) return 1;
    double t = (z - IsoLow) / Span * S;
    if (t > S) t = S;
    return Integer(Round(t));
  }
  TColor color_of(double z) const { return Colors[size_t(index_of(z))]; }

  // Whether a level lies strictly between lo and hi (lo <= hi).
  bool has_level(double lo, double hi) const {
    const Integer n = Integer(Levels.size());
    if (n == 0 || !(lo < hi)) return false;
    double g = std::floor((lo - IsoLow) / IsoDist);
    g = std::clamp(g, 0.0, double(n));
    for (Integer k = std::max<Integer>(0, Integer(g) - 1); k < n; ++k) {
      const double L = Levels[size_t(k)];
      if (L >= hi) return false;
      if (L > lo) return true;
    }
    return false;
  }

  // Calls f(k) for every level strictly between the two values, in ascending order.
  template <class F>
  void for_levels(double v1, double v2, F&& f) const {
    const double lo = std::min(v1, v2), hi = std::max(v1, v2);
    const Integer n = Integer(Levels.size());
    if (n == 0 || !(lo < hi)) return;
    // Start one step early: the arithmetic guess may be off by a rounding.
    double g = std::floor((lo - IsoLow) / IsoDist);
    g = std::clamp(g, 0.0, double(n));
    for (Integer k = std::max<Integer>(0, Integer(g) - 1); k < n; ++k) {
      const double L = Levels[size_t(k)];
      if (L >= hi) break;
      if (L > lo) f(k);
    }
  }
};

// Pixel memory with a row stride (negative: bottom-up rows, base at the lowest row).
struct PixelSink {
  TRGB32* Base;
  int64_t Stride;
  int64_t Width;
  int64_t Height;

  PixelSink(TRGB32* base, Integer stride, Integer height)
      : Base(base), Stride(stride), Width(std::abs(int64_t(stride))), Height(height) {
    if (!Base || Height < 0) Width = Height = 0;
  }
  TRGB32* row(int64_t y) const {
    return Stride >= 0 ? Base + Stride * y : Base + (-Stride) * (Height - 1 - y);
  }
  void pixel(int64_t x, int64_t y, TColor c) const {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return;
    row(y)[x] = pack_pixel(c);
  }
  // Columns xa..xb by rows yb..ya, inclusive; empty when xa > xb or yb > ya.
  void fill(int64_t xa, int64_t ya, int64_t xb, int64_t yb, TRGB32 p) const {
    if (xa > xb || yb > ya) return;
    xa = std::max<int64_t>(xa, 0);
    xb = std::min<int64_t>(xb, Width - 1);
    yb = std::max<int64_t>(yb, 0);
    ya = std::min<int64_t>(ya, Height - 1);
    if (xa > xb || yb > ya) return;
    for (int64_t y = yb; y <= ya; ++y) std::fill(row(y) + xa, row(y) + xb + 1, p);
  }
  void rect(int64_t xa, int64_t ya, int64_t xb, int64_t yb, TColor c) const {
    fill(xa, ya, xb, yb, pack_pixel(c));
  }
};

// A canvas: rectangles are drawn with the larger coordinate of each axis extended by one,
// so that the canvas's exclusive right and bottom edges cover both corner pixels.
struct CanvasSink {
  TCanvas* C;
  static Integer clip(int64_t v) { return Integer(std::clamp<int64_t>(v, -2147483647, 2147483646)); }
  void pixel(int64_t x, int64_t y, TColor c) const { C->SetPixels(clip(x), clip(y), c); }
  void rect(int64_t xa, int64_t ya, int64_t xb, int64_t yb, TColor c) const {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(c);
    C->Pen()->SetColor(c);
    if (xa == xb && ya == yb) {
      pixel(xa, ya, c);
      return;
    }
    if (xa >= xb) ++xa; else ++xb;
    if (ya >= yb) ++ya; else ++yb;
    C->Rectangle(clip(xa), clip(ya), clip(xb), clip(yb));
  }
};

// Iso-lines of one cell as dots: nx lines of constant x (the far edge excluded) and
// ny + 1 lines of constant y, each crossing of a level with a line one pixel.
template <class Sink>
void iso_quad(const ContourCells& c, const Sink& s, double x0, double y0, double dx, double dy,
              double z1, double z2, double z3, double z4, Word nx, Word ny) {
  if (c.Levels.empty()) return;
  // Every line's values lie within the corners' span (give or take the rounding of the
  // interpolation, a few units in the last place): a cell whose widened span holds no
  // level has no crossing. NaN corners take the full walk, which skips them line by line.
  double lo = std::min(std::min(z1, z2), std::min(z3, z4));
  double hi = std::max(std::max(z1, z2), std::max(z3, z4));
  const double slack = (std::fabs(lo) + std::fabs(hi)) * 8 * DBL_EPSILON;
  lo -= slack;
  hi += slack;
  if (!std::isnan(z1 + z2 + z3 + z4) && !c.has_level(lo, hi)) return;
  for (Integer a = 0; a < nx; ++a) {
    const double X = x0 + a * dx / nx;
    const double zb = z1 + a * (z2 - z1) / nx, zt = z3 + a * (z4 - z3) / nx;
    c.for_levels(zb, zt, [&](Integer k) {
      const double L = c.Levels[size_t(k)];
      s.pixel(c.px(X), c.py(y0 + (L - zb) / (zt - zb) * dy), c.LevelColors[size_t(k)]);
    });
  }
  for (Integer b = 0; b <= ny; ++b) {
    const double Y = ny > 0 ? y0 + b * dy / ny : y0;
    const double zl = ny > 0 ? z1 + b * (z3 - z1) / ny : z1;
    const double zr = ny > 0 ? z2 + b * (z4 - z2) / ny : z2;
    c.for_levels(zl, zr, [&](Integer k) {
      const double L = c.Levels[size_t(k)];
      s.pixel(c.px(x0 + (L - zl) / (zr - zl) * dx), c.py(Y), c.LevelColors[size_t(k)]);
    });
  }
}

// Colour surface of one cell: one rectangle when the four corners share a colour, else
// sub-cells (never smaller than a pixel) coloured by the bilinear value at their origin.
template <class Sink>
void iso_col_quad(const ContourCells& c, const Sink& s, double x0, double y0, double dx,
                  double dy, double z1, double z2, double z3, double z4, Word nx, Word ny) {
  const Integer i1 = c.index_of(z1);
  const int64_t sxa = c.px(x0), sya = c.py(y0), sxb = c.px(x0 + dx), syb = c.py(y0 + dy);
  if (i1 == c.index_of(z2) && i1 == c.index_of(z3) && i1 == c.index_of(z4)) {
    s.rect(sxa, sya, sxb, syb, c.Colors[size_t(i1)]);
    return;
  }
  int64_t mx = nx, my = ny;
  mx = std::max<int64_t>(1, std::min<int64_t>(mx, std::llabs(sxa - sxb)));
  my = std::max<int64_t>(1, std::min<int64_t>(my, std::llabs(sya - syb)));
  const double sdx = dx / mx, sdy = dy / my;
  for (int64_t a = 0; a < mx; ++a) {
    const double zb = z1 + a * (z2 - z1) / mx, zt = z3 + a * (z4 - z3) / mx;
    const double ox = x0 + a * dx / mx;
    const int64_t xa = c.px(ox), xb = c.px(ox + sdx);
    for (int64_t b = 0; b < my; ++b) {
      const double z = zb + b * (zt - zb) / my;
      const double oy = y0 + b * dy / my;
      s.rect(xa, c.py(oy), xb, c.py(oy + sdy), c.color_of(z));
    }
  }
}

}  // namespace kvr::detail
