// The interface between TCanvas and a concrete surface. TCanvas checks and normalises
// every primitive (sorted corners, excluded right/bottom edges, clear pens and brushes
// already dropped) so that a back end never sees degenerate input.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/arith.h"

#include "platform/graphics.h"
#include "platform/types.h"

namespace kvr {
class TBitmap;
}

namespace kvr::detail {

// On and off runs, in pixels, of the dashed pen styles (empty for the others). Every
// back end draws dashes from this one table.
inline std::span<const int> dash_runs(TPenStyle style) {
  static constexpr int dash[] = {18, 6}, dot[] = {3, 3}, dash_dot[] = {9, 6, 3, 6},
                       dash_dot_dot[] = {9, 3, 3, 3, 3, 3};
  switch (style) {
    case psDash: return dash;
    case psDot: return dot;
    case psDashDot: return dash_dot;
    case psDashDotDot: return dash_dot_dot;
    default: return {};
  }
}

struct Stroke {
  TColor color;  // already resolved to RGB
  TPenStyle style;
  int width;  // >= 1
  TPenMode mode;
};

struct Fill {
  TColor color;  // already resolved to RGB
  TPenMode mode;
};

// The ellipse an arc outline runs on (centre, radii inset for the pen) and the parameter
// angles, counter-clockwise on screen, where the radials through start and end meet it;
// sweep in [0, 2 pi). No curve when the box is too small for one.
struct ArcGeometry {
  double cx, cy, rx, ry, start, sweep;
  bool curve() const { return rx > 0 && ry > 0; }
};

inline ArcGeometry arc_geometry(const TRect& r, TPoint start, TPoint end, const Stroke& s) {
  ArcGeometry g;
  const double w = double(r.Right) - r.Left, h = double(r.Bottom) - r.Top;
  const double inset = s.style == psInsideFrame ? std::max(1, s.width) / 2.0 : 0.5;
  g.rx = w / 2.0 - inset;
  g.ry = h / 2.0 - inset;
  g.cx = (double(r.Left) + r.Right) / 2.0;
  g.cy = (double(r.Top) + r.Bottom) / 2.0;
  auto angle = [&](TPoint q) {
    const double dx = q.X + 0.5 - g.cx, dy = q.Y + 0.5 - g.cy;
    if (dx == 0.0 && dy == 0.0) return 0.0;
    return std::atan2(-dy / g.ry, dx / g.rx);
  };
  g.start = angle(start);
  g.sweep = std::fmod(angle(end) - g.start, 2 * std::numbers::pi);
  if (g.sweep < 0) g.sweep += 2 * std::numbers::pi;
  return g;
}

// The outline model of Rectangle: border bands centred on the outermost pixel rows and
// columns (the odd pixel outside at the top-left), or inside the box for the
// inside-frame style; the interior is what the bands leave. A one-pixel dashed outline
// is not banded: it is the closed polyline through the corner pixels.
struct RectBands {
  long long ol, ot, orr, ob;  // outer box of the bands
  long long il, it, ir, ib;   // interior (empty when the bands meet)
  bool patterned;
  bool has_interior() const { return il < ir && it < ib; }
  // Calls band(l, t, r, b) for the four bands, or once for the outer box when the bands
  // meet, so that no pixel is covered twice (exclusive-or outlines stay exact).
  template <class F>
  void for_each_band(F&& band) const {
    if (!has_interior()) {
      band(ol, ot, orr, ob);
      return;
    }
    band(ol, ot, orr, it);
    band(ol, ib, orr, ob);
    band(ol, it, il, ib);
    band(ir, it, orr, ib);
  }
};

inline RectBands rect_bands(const TRect& r, const Stroke& s) {
  const long long w = s.width;
  const bool inside = s.style == psInsideFrame;
  RectBands b{};
  b.ol = (long long)r.Left - (inside ? 0 : (w - 1) / 2);
  b.ot = (long long)r.Top - (inside ? 0 : (w - 1) / 2);
  b.orr = (long long)r.Right + (inside ? 0 : w / 2);
  b.ob = (long long)r.Bottom + (inside ? 0 : w / 2);
  b.il = b.ol + w, b.it = b.ot + w, b.ir = b.orr - w, b.ib = b.ob - w;
  b.patterned = w == 1 && s.style != psSolid && !inside;
  return b;
}

// The closed outline through the corner pixels of r (five points).
inline std::array<TPoint, 5> rect_outline(const TRect& r) {
  return {{{r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1},
           {r.Left, r.Bottom - 1}, {r.Left, r.Top}}};
}

struct TextStyle {
  const TFont* font;
  TColor color;       // resolved font colour
  TColor background;  // resolved brush colour
  bool opaque;        // fill the text cell with the background
};

class CanvasBackend {
 public:
  virtual ~CanvasBackend() = default;

  // A line from a to b; b itself is left out.
  virtual void line(TPoint a, TPoint b, const Stroke& s) = 0;
  // Connected lines through n >= 2 points; the last point is left out.
  virtual void polyline(const TPoint* p, int n, const Stroke& s) = 0;
  // r is sorted with r.Right > r.Left and r.Bottom > r.Top; either of s and f may be null.
  virtual void rectangle(const TRect& r, const Stroke* s, const Fill* f) = 0;
  virtual void ellipse(const TRect& r, const Stroke* s, const Fill* f) = 0;
  // Counter-clockwise from the radial through start to the radial through end.
  virtual void arc(const TRect& r, TPoint start, TPoint end, const Stroke& s) = 0;
  // Closed polygon, n >= 2, filled with the alternate rule.
  virtual void polygon(const TPoint* p, int n, const Stroke* s, const Fill* f) = 0;
  // (x, y) is the top-left corner of the text cell.
  virtual void text(int x, int y, std::string_view utf8, const TextStyle& t) = 0;
  virtual void set_pixel(int x, int y, TColor rgb) = 0;
  // -1 outside the surface or where the surface cannot be read.
  virtual TColor get_pixel(int x, int y) const = 0;
  // Copies src_rect of the image into dst (stretching when the sizes differ) with a
  // raster operation (SRCCOPY, SRCAND, SRCPAINT, SRCINVERT). Rectangles are sorted.
  virtual void draw_image(const TRect& dst, const TBitmap& image, const TRect& src_rect,
                          int32_t rop) = 0;
  // Limits drawing to r (already sorted); nullptr lifts the limit.
  virtual void set_clip(const TRect* r) = 0;
  // Pixel size of the surface, for GetDeviceCaps' HORZRES/VERTRES.
  virtual int width() const = 0;
  virtual int height() const = 0;
  // The bitmap behind a raster surface; nullptr for vector surfaces.
  virtual TBitmap* bitmap() { return nullptr; }

  // Sub-pixel geometry. TCanvas calls these only when keeps_fractions() is true, with
  // finite coordinates inside the pixel range; the pixel model is that of the integer
  // calls (integral values are pixels). The defaults round half to even, so a back end
  // that overrides keeps_fractions() alone still draws what the integer calls draw.
  virtual bool keeps_fractions() const { return false; }
  // A raster device drawn smooth through this back end: the copy-mode F calls come here
  // with their fractions although keeps_fractions() is false.
  virtual bool smooth_fractions() const { return false; }
  virtual void line_f(TPointDouble a, TPointDouble b, const Stroke& s);
  virtual void polyline_f(const TPointDouble* p, int n, const Stroke& s);
  virtual void polygon_f(const TPointDouble* p, int n, const Stroke* s, const Fill* f);
  // l < r and t < b; right and bottom excluded as in ellipse().
  virtual void ellipse_f(double l, double t, double r, double b, const Stroke* s, const Fill* f);
};

inline TPoint round_point(TPointDouble p) { return TPoint{RoundPix(p.X), RoundPix(p.Y)}; }

inline void CanvasBackend::line_f(TPointDouble a, TPointDouble b, const Stroke& s) {
  line(round_point(a), round_point(b), s);
}

inline void CanvasBackend::polyline_f(const TPointDouble* p, int n, const Stroke& s) {
  std::vector<TPoint> q(size_t(std::max(0, n)));
  for (int i = 0; i < n; ++i) q[size_t(i)] = round_point(p[i]);
  polyline(q.data(), n, s);
}

inline void CanvasBackend::polygon_f(const TPointDouble* p, int n, const Stroke* s, const Fill* f) {
  std::vector<TPoint> q(size_t(std::max(0, n)));
  for (int i = 0; i < n; ++i) q[size_t(i)] = round_point(p[i]);
  polygon(q.data(), n, s, f);
}

inline void CanvasBackend::ellipse_f(double l, double t, double r, double b, const Stroke* s, const Fill* f) {
  const TRect q{RoundPix(l), RoundPix(t), RoundPix(r), RoundPix(b)};
  if (q.Right > q.Left && q.Bottom > q.Top) ellipse(q, s, f);
}

}  // namespace kvr::detail
