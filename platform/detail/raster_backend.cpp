#include "platform/detail/raster_backend.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "platform/arith.h"
#include "platform/bitmap.h"
#include "platform/detail/font_engine.h"
#include "platform/kvrerror.h"

namespace kvr::detail {
namespace {

// On/off runs of the dashed pen styles, in pixels along the major axis.
struct DashPattern {
  uint32_t mask = 0;  // bit k set: pixel k of the period is drawn
  int period = 0;
};

DashPattern dash_pattern(TPenStyle style) {
  static const auto make = [](TPenStyle st) {
    DashPattern p;
    bool on = true;
    for (int r : dash_runs(st)) {
      for (int i = 0; i < r; ++i) {
        if (on) p.mask |= 1u << p.period;
        ++p.period;
      }
      on = !on;
    }
    return p;
  };
  static const DashPattern dash = make(psDash), dot = make(psDot), dash_dot = make(psDashDot),
                           dash_dot_dot = make(psDashDotDot);
  switch (style) {
    case psDash: return dash;
    case psDot: return dot;
    case psDashDot: return dash_dot;
    case psDashDotDot: return dash_dot_dot;
    default: return {};
  }
}

// floor(a / b) for b > 0.
template <typename T>
T floor_div(T a, T b) {
  T q = a / b;
  if ((a % b != 0) && (a < 0)) --q;
  return q;
}

template <typename T>
T ceil_div(T a, T b) {
  return -floor_div<T>(-a, b);
}

// Pixel span of an ellipse on row y. The ellipse has the centre of box and its
// half axes grown by `grow` pixels. Works on doubled coordinates so that the result
// is exactly symmetric about the centre.
bool ellipse_span(const TRect& box, long double grow, long long y, long long& xa, long long& xb) {
  const long double a2 = (long double)box.Right - box.Left + 2 * grow;  // doubled half axes
  const long double b2 = (long double)box.Bottom - box.Top + 2 * grow;
  if (a2 <= 0 || b2 <= 0) return false;
  const long double yy = 2.0L * y + 1 - ((long double)box.Top + box.Bottom);
  if (std::fabs(yy) > b2) return false;
  const long double t = yy / b2;
  const long double h = a2 * std::sqrt(std::max<long double>(0, 1 - t * t));
  const long long lr = (long long)box.Left + box.Right;
  const long long parity = (lr + 1) & 1;
  long long k = (long long)std::floor(h);
  if (((k - parity) & 1) != 0) --k;
  if (k < 0) return false;
  xa = (-k - 1 + lr) / 2;
  xb = (k - 1 + lr) / 2 + 1;
  return xa < xb;
}

// Pixels of the ellipse on row y that are not on its boundary: all four neighbours
// are inside too. Outline = ellipse minus interior is then closed and one pixel thin.
bool ellipse_interior(const TRect& box, long double grow, long long y, long long& xa, long long& xb) {
  long long a, b, a0, b0, a2, b2;
  if (!ellipse_span(box, grow, y, a, b) || !ellipse_span(box, grow, y - 1, a0, b0) ||
      !ellipse_span(box, grow, y + 1, a2, b2))
    return false;
  xa = std::max({a + 1, a0, a2});
  xb = std::min({b - 1, b0, b2});
  return xa < xb;
}

double ccw_delta(double from, double to) {
  double d = std::fmod(to - from, 2 * M_PI);
  if (d < 0) d += 2 * M_PI;
  return d;
}

void add_oriented(ScanFiller& f, std::vector<PointF>& pts) {
  double area = 0;
  for (size_t i = 0; i < pts.size(); ++i) {
    const PointF& p = pts[i];
    const PointF& q = pts[(i + 1) % pts.size()];
    area += p.x * q.y - q.x * p.y;
  }
  if (area < 0) std::reverse(pts.begin(), pts.end());
  f.add_contour(pts.data(), static_cast<int>(pts.size()));
}

int rop_index(int32_t rop) {
  switch (rop) {
    case SRCCOPY: return 0;
    case SRCAND: return 1;
    case SRCPAINT: return 2;
    case SRCINVERT: return 3;
    case 0x00330008: return 4;  // NOTSRCCOPY
    case 0x00550009: return 5;  // DSTINVERT
    case 0x00000042: return 6;  // BLACKNESS
    case 0x00FF0062: return 7;  // WHITENESS
    default: return 0;
  }
}

template <int Op>
inline uint32_t apply_rop(uint32_t s, uint32_t d) {
  if constexpr (Op == 0) return s | 0xFF000000u;
  else if constexpr (Op == 1) return (s & d & 0xFFFFFFu) | (d & 0xFF000000u);
  else if constexpr (Op == 2) return ((s | d) & 0xFFFFFFu) | (d & 0xFF000000u);
  else if constexpr (Op == 3) return ((s ^ d) & 0xFFFFFFu) | (d & 0xFF000000u);
  else if constexpr (Op == 4) return (~s & 0xFFFFFFu) | 0xFF000000u;
  else if constexpr (Op == 5) return (~d & 0xFFFFFFu) | (d & 0xFF000000u);
  else if constexpr (Op == 6) return 0xFF000000u;
  else return 0xFFFFFFFFu;
}

using RowCopy = void (*)(uint32_t* dst, const uint32_t* src, const int* src_x, int n);

template <int Op>
void copy_row(uint32_t* dst, const uint32_t* src, const int* src_x, int n) {
  if (src_x == nullptr) {
    for (int i = 0; i < n; ++i) dst[i] = apply_rop<Op>(src[i], dst[i]);
  } else {
    for (int i = 0; i < n; ++i) dst[i] = apply_rop<Op>(src[src_x[i]], dst[i]);
  }
}

constexpr RowCopy kRowCopies[8] = {copy_row<0>, copy_row<1>, copy_row<2>, copy_row<3>,
                                   copy_row<4>, copy_row<5>, copy_row<6>, copy_row<7>};

}  // namespace

int RasterBackend::width() const { return bmp_.Width(); }
int RasterBackend::height() const { return bmp_.Height(); }

TRect RasterBackend::compute_clip() const {
  TRect c{0, 0, bmp_.Width(), bmp_.Height()};
  if (user_clip_) {
    c.Left = std::max(c.Left, clip_.Left);
    c.Top = std::max(c.Top, clip_.Top);
    c.Right = std::min(c.Right, clip_.Right);
    c.Bottom = std::min(c.Bottom, clip_.Bottom);
  }
  if (c.Right < c.Left) c.Right = c.Left;
  if (c.Bottom < c.Top) c.Bottom = c.Top;
  return c;
}

uint32_t* RasterBackend::row(int y) const {
  KVR_ASSERT(y >= 0 && y <= bmp_.Height(), "row outside the bitmap");
  return reinterpret_cast<uint32_t*>(const_cast<TBitmap&>(bmp_).Bits()) + size_t(y) * bmp_.Width();
}

void RasterBackend::set_clip(const TRect* r) {
  user_clip_ = r != nullptr;
  if (r) clip_ = *r;
  cached_w_ = -1;
}

void RasterBackend::fill_box(int x0, int y0, int x1, int y1, uint32_t color, SpanWriter w) {
  KVR_ASSERT(0 <= x0 && x0 <= x1 && x1 <= bmp_.Width() && 0 <= y0 && y0 <= y1 && y1 <= bmp_.Height(),
             "box not clipped to the bitmap");
  uint32_t* p = row(y0) + x0;
  const size_t stride = size_t(bmp_.Width());
  const int n = x1 - x0;
  // Small opaque boxes (marks, bars) are the common case: store without the call.
  if (w == span_writer(pmCopy)) {
    for (int y = y0; y < y1; ++y, p += stride) std::fill_n(p, n, color);
    return;
  }
  for (int y = y0; y < y1; ++y, p += stride) w(p, n, color);
}

void RasterBackend::fill_rect_clipped(TRect r, uint32_t color, SpanWriter w) {
  const TRect c = clip_box();
  r.Left = std::max(r.Left, c.Left);
  r.Top = std::max(r.Top, c.Top);
  r.Right = std::min(r.Right, c.Right);
  r.Bottom = std::min(r.Bottom, c.Bottom);
  if (r.Left < r.Right && r.Top < r.Bottom) fill_box(r.Left, r.Top, r.Right, r.Bottom, color, w);
}

SmoothRaster& RasterBackend::aa() {
  if (!aa_) aa_ = std::make_unique<SmoothRaster>();
  return *aa_;
}

const PointF* RasterBackend::centres(const TPoint* p, int n) {
  fpts_.resize(size_t(n));
  for (int i = 0; i < n; ++i) fpts_[size_t(i)] = {p[i].X + 0.5, p[i].Y + 0.5};
  return fpts_.data();
}

TRect RasterBackend::aa_clip() const { return building_ ? building_->box : clip_box(); }

void RasterBackend::aa_finish(uint32_t px, int part) {
  if (building_) aa_->render_coverage(building_->cov[part].data(), building_->box.Width());
  else aa_->render(bmp_, px);
}

// Marks are thousands of copies of one small shape at whole-pixel offsets, which the
// rasteriser covers identically: the coverage of the last such shape is kept, and the
// copies are blended from it.
template <class Draw>
void RasterBackend::small_shape(TPoint anchor, const TRect& extent, int pen, const Stroke* s, const Fill* f,
                                Draw&& draw) {
  ShapeMask& m = mask_;
  if (m.key != key_) {
    m.key = key_;
    m.anchor = anchor;
    const int g = pen / 2 + 2;
    m.box = TRect{extent.Left - g, extent.Top - g, extent.Right + g, extent.Bottom + g};
    const size_t n = size_t(m.box.Width()) * m.box.Height();
    m.cov[0].assign(n, 0);
    m.cov[1].assign(n, 0);
    building_ = &m;
    try {
      draw();
    } catch (...) {
      building_ = nullptr;
      m.key.clear();
      throw;
    }
    building_ = nullptr;
    crop(m);
  }
  const TRect c = clip_box();
  const long long x0 = std::max<long long>((long long)anchor.X + m.box.Left, c.Left);
  const long long x1 = std::min<long long>((long long)anchor.X + m.box.Right, c.Right);
  const long long y0 = std::max<long long>((long long)anchor.Y + m.box.Top, c.Top);
  const long long y1 = std::min<long long>((long long)anchor.Y + m.box.Bottom, c.Bottom);
  if (x0 >= x1 || y0 >= y1) return;
  const uint32_t fp = f ? pack_opaque(f->color) : 0, sp = s ? pack_opaque(s->color) : 0;
  const int mw = m.box.Width();
  for (long long y = y0; y < y1; ++y) {
    uint32_t* rp = row(int(y));
    const size_t base = size_t(y - anchor.Y - m.box.Top) * mw - (anchor.X + m.box.Left);
    for (long long x = x0; x < x1; ++x) {
      uint32_t& d = rp[x];
      if (f) {
        const uint32_t a = m.cov[0][base + x];
        if (a == 255) d = fp;
        else if (a) d = blend(d, fp, a);
      }
      if (s) {
        const uint32_t a = m.cov[1][base + x];
        if (a == 255) d = sp;
        else if (a) d = blend(d, sp, a);
      }
    }
  }
}

// The mask is drawn with room for the pen; the copies only visit what got coverage.
void RasterBackend::crop(ShapeMask& m) {
  const int w = m.box.Width(), h = m.box.Height();
  int l = w, t = h, r = -1, b = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (m.cov[0][size_t(y) * w + x] | m.cov[1][size_t(y) * w + x]) {
        l = std::min(l, x), r = std::max(r, x), t = std::min(t, y), b = std::max(b, y);
      }
  if (r < 0) l = t = 0, r = b = -1;
  const int nw = r - l + 1, nh = b - t + 1;
  for (auto& cov : m.cov) {
    std::vector<uint8_t> out(size_t(nw) * nh);
    for (int y = 0; y < nh; ++y)
      std::copy_n(cov.begin() + size_t(y + t) * w + l, nw, out.begin() + size_t(y) * nw);
    cov.swap(out);
  }
  m.box = TRect{m.box.Left + l, m.box.Top + t, m.box.Left + l + nw, m.box.Top + t + nh};
}

void RasterBackend::smooth_polyline(const PointF* p, int n, bool closed, const Stroke& s) {
  // One-pixel pens keep their dash styles and cover what the classic line covers; wider
  // pens are solid with round ends and joins, like the classic wide line.
  const bool thin = s.width <= 1;
  const StrokeShape shape{double(s.width), thin && s.style != psInsideFrame ? s.style : psSolid,
                          thin ? StrokeEnds::flush : StrokeEnds::round, !thin};
  SmoothRaster& r = aa();
  r.begin(aa_clip(), false);
  r.add_stroke(p, n, closed, shape);
  aa_finish(pack_opaque(s.color), 1);
}

void RasterBackend::smooth_polygon(const PointF* p, int n, const Stroke* s, const Fill* f) {
  if (f && n >= 3) {
    SmoothRaster& r = aa();
    r.begin(aa_clip(), true);
    r.add_contour(p, n);
    aa_finish(pack_opaque(f->color), 0);
  }
  if (s) smooth_polyline(p, n, true, *s);
}

void RasterBackend::smooth_ellipse(double l, double t, double r, double b, const Stroke* s, const Fill* f) {
  const PointF c{(l + r) / 2, (t + b) / 2};
  const double ax = (r - l) / 2, ay = (b - t) / 2;
  // The outline's outer edge lies where the classic one ends: on the box, grown by the
  // part of a wide pen that lies outside it.
  const double w = s ? s->width : 0;
  const double grow = s && s->style != psInsideFrame ? (w - 1) / 2 : 0;
  const double rx = ax + grow - w / 2, ry = ay + grow - w / 2;
  SmoothRaster& aa_r = aa();
  if (f && rx > 0 && ry > 0) {
    fpts_.clear();
    SmoothRaster::ellipse_points(c, s ? rx : ax, s ? ry : ay, 0, 2 * M_PI, true, fpts_);
    aa_r.begin(aa_clip(), true);
    aa_r.add_contour(fpts_.data(), int(fpts_.size()));
    aa_finish(pack_opaque(f->color), 0);
  }
  if (!s) return;
  aa_r.begin(aa_clip(), false);
  fpts_.clear();
  if (rx > 0 && ry > 0) {
    SmoothRaster::ellipse_points(c, rx, ry, 0, 2 * M_PI, true, fpts_);
    aa_r.add_stroke(fpts_.data(), int(fpts_.size()), true, StrokeShape{w, psSolid, StrokeEnds::butt, false});
  } else {
    // Too small for a ring: the pen covers the whole ellipse.
    SmoothRaster::ellipse_points(c, ax + grow, ay + grow, 0, 2 * M_PI, true, fpts_);
    aa_r.add_contour(fpts_.data(), int(fpts_.size()));
  }
  aa_finish(pack_opaque(s->color), 1);
}

void RasterBackend::line(TPoint a, TPoint b, const Stroke& s) {
  if (smooth_for(s.mode)) {
    const TPoint p[2] = {a, b};
    smooth_polyline(centres(p, 2), 2, false, s);
    return;
  }
  if (s.width == 1 && s.mode == pmCopy && s.style == psSolid && fast_line(a, b, s.color)) return;
  line_general(a, b, s);
}

void RasterBackend::line_general(TPoint a, TPoint b, const Stroke& s) {
  if (s.width > 1) {
    const TPoint pts[2] = {a, b};
    wide_polyline(pts, 2, s, false);
  } else {
    thin_line(a, b, s, 0);
  }
}

void RasterBackend::polyline(const TPoint* p, int n, const Stroke& s) {
  if (smooth_for(s.mode)) {
    smooth_polyline(centres(p, n), n, false, s);
    return;
  }
  if (s.width > 1) {
    wide_polyline(p, n, s, false);
    return;
  }
  // The dash pattern runs on across the corners of a polyline.
  long long pos = 0;
  for (int i = 0; i + 1 < n; ++i) {
    thin_line(p[i], p[i + 1], s, pos);
    pos += std::max(std::llabs((long long)p[i + 1].X - p[i].X), std::llabs((long long)p[i + 1].Y - p[i].Y));
  }
}

// Bresenham stepping along the major axis. The step range is cut to the clip box
// first, and the error term is set up directly at the first visible step, so the
// cost depends on the visible length only.
void RasterBackend::thin_line(TPoint a, TPoint b, const Stroke& s, long long pattern_start) {
  const TRect c = clip_box();
  if (c.Left >= c.Right || c.Top >= c.Bottom) return;
  const long long dx = std::llabs((long long)b.X - a.X), dy = std::llabs((long long)b.Y - a.Y);
  const long long n = std::max(dx, dy);
  if (n == 0) return;
  const bool xmajor = dx >= dy;
  const long long m0 = xmajor ? a.X : a.Y, n0 = xmajor ? a.Y : a.X;
  const int sm = (xmajor ? b.X >= a.X : b.Y >= a.Y) ? 1 : -1;
  const int sn = (xmajor ? b.Y >= a.Y : b.X >= a.X) ? 1 : -1;
  const long long dm = xmajor ? dy : dx;  // minor delta
  const long long mlo = xmajor ? c.Left : c.Top, mhi = (xmajor ? c.Right : c.Bottom) - 1;
  const long long nlo = xmajor ? c.Top : c.Left, nhi = (xmajor ? c.Bottom : c.Right) - 1;

  long long i0 = 0, i1 = n - 1, k = 0, rem = n;
  const bool inside = a.X >= c.Left && a.X < c.Right && a.Y >= c.Top && a.Y < c.Bottom &&
                      b.X >= c.Left && b.X < c.Right && b.Y >= c.Top && b.Y < c.Bottom;
  if (!inside) {
    // Steps whose major coordinate is visible.
    i0 = std::max(sm > 0 ? mlo - m0 : m0 - mhi, 0LL);
    i1 = std::min(sm > 0 ? mhi - m0 : m0 - mlo, n - 1);
    if (i0 > i1) return;
    // Minor offset k(i) = floor((2*dm*i + n) / (2n)); cut the steps whose minor
    // coordinate is outside the clip.
    const long long klo = sn > 0 ? nlo - n0 : n0 - nhi;
    const long long khi = sn > 0 ? nhi - n0 : n0 - nlo;
    using Wide = __int128;
    if (dm == 0) {
      if (0 < klo || 0 > khi) return;
    } else {
      // k(i) >= K  <=>  i >= ceil((2nK - n) / (2dm)); k(i) <= K  <=>  i <= ceil((2n(K+1) - n) / (2dm)) - 1
      const Wide lo = ceil_div<Wide>(Wide(2) * n * klo - n, Wide(2) * dm);
      const Wide hi = ceil_div<Wide>(Wide(2) * n * (khi + 1) - n, Wide(2) * dm) - 1;
      if (lo > i0) i0 = lo > Wide(i1) ? i1 + 1 : (long long)lo;
      if (hi < i1) i1 = hi < Wide(i0) ? i0 - 1 : (long long)hi;
      if (i0 > i1) return;
    }
    const Wide num = Wide(2) * dm * i0 + n;
    k = (long long)(num / (Wide(2) * n));
    rem = (long long)(num % (Wide(2) * n));
  }
  const long long two_n = 2 * n, two_dm = 2 * dm;

  const uint32_t pen = pack_opaque(s.color);
  const SpanWriter w = span_writer(s.mode);
  const DashPattern pat = s.style == psSolid ? DashPattern{} : dash_pattern(s.style);
  int ppos = pat.period ? int((pattern_start + i0) % pat.period) : 0;
  uint32_t* const base = row(0);
  const long long stride = bmp_.Width();
  long long m = m0 + sm * i0;
  const bool copy = s.mode == pmCopy;
  for (long long i = i0; i <= i1; ++i) {
    const long long nn = n0 + sn * k;
    bool on = true;
    if (pat.period) {
      on = (pat.mask >> ppos) & 1u;
      if (++ppos == pat.period) ppos = 0;
    }
    if (on) {
      uint32_t* px = xmajor ? base + nn * stride + m : base + m * stride + nn;
      if (copy) *px = pen;
      else w(px, 1, pen);
    }
    m += sm;
    rem += two_dm;
    if (rem >= two_n) {
      rem -= two_n;
      ++k;
    }
  }
}

// Thick lines: the union of one quadrilateral per segment and a round cap at every
// vertex, filled in a single pass so that exclusive-or touches each pixel once.
void RasterBackend::wide_polyline(const TPoint* p, int n, const Stroke& s, bool closed) {
  const TRect c = clip_box();
  if (c.Left >= c.Right || c.Top >= c.Bottom || n < 2) return;
  const double hw = s.width / 2.0;
  const double margin = hw + 2;
  const double bx0 = c.Left - margin, by0 = c.Top - margin, bx1 = c.Right + margin,
               by1 = c.Bottom + margin;
  const int segs = closed ? n : n - 1;
  const int cap_n = 2 * std::clamp(s.width, 4, 32);  // width * 2 would overflow near INT_MAX
  filler_.reset();
  auto add_cap = [&](PointF q) {
    if (q.x < bx0 || q.x > bx1 || q.y < by0 || q.y > by1) return;
    scratch_.clear();
    for (int k = 0; k < cap_n; ++k) {
      const double t = 2 * M_PI * k / cap_n;
      scratch_.push_back({q.x + hw * std::cos(t), q.y + hw * std::sin(t)});
    }
    add_oriented(filler_, scratch_);
  };
  for (int i = 0; i < segs; ++i) {
    PointF a{p[i].X + 0.5, p[i].Y + 0.5};
    PointF b{p[(i + 1) % n].X + 0.5, p[(i + 1) % n].Y + 0.5};
    if (a.x == b.x && a.y == b.y) continue;
    add_cap(a);
    add_cap(b);
    if (!clip_segment(a, b, bx0, by0, bx1, by1)) continue;
    const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    if (len == 0) continue;
    const double nx = -dy / len * hw, ny = dx / len * hw;
    scratch_.assign({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}});
    add_oriented(filler_, scratch_);
  }
  const uint32_t pen = pack_opaque(s.color);
  const SpanWriter w = span_writer(s.mode);
  filler_.fill(c, true, [&](int y, int x0, int x1) { w(row(y) + x0, x1 - x0, pen); });
}

void RasterBackend::rectangle(const TRect& r, const Stroke* s, const Fill* f) {
  const TRect c = clip_box();
  auto fill = [&](long long l, long long t, long long rr, long long b, uint32_t col, SpanWriter w) {
    l = std::max<long long>(l, c.Left);
    t = std::max<long long>(t, c.Top);
    rr = std::min<long long>(rr, c.Right);
    b = std::min<long long>(b, c.Bottom);
    if (l < rr && t < b) fill_box(int(l), int(t), int(rr), int(b), col, w);
  };
  if (!s) {
    fill(r.Left, r.Top, r.Right, r.Bottom, pack_opaque(f->color), span_writer(f->mode));
    return;
  }
  const RectBands b = rect_bands(r, *s);
  // Bands and interior in one colour and mode (solid marks) cover the outer box once.
  if (f && !b.patterned && f->color == s->color && f->mode == s->mode) {
    fill(b.ol, b.ot, b.orr, b.ob, pack_opaque(s->color), span_writer(s->mode));
    return;
  }
  if (f && b.has_interior())
    fill(b.il, b.it, b.ir, b.ib, pack_opaque(f->color), span_writer(f->mode));
  if (b.patterned) {
    const auto pts = rect_outline(r);
    polyline(pts.data(), 5, *s);
    return;
  }
  const uint32_t pen = pack_opaque(s->color);
  const SpanWriter wr = span_writer(s->mode);
  b.for_each_band(
      [&](long long l, long long t, long long rr, long long bb) { fill(l, t, rr, bb, pen, wr); });
}

void RasterBackend::ellipse(const TRect& r, const Stroke* s, const Fill* f) {
  if ((!s || smooth_for(s->mode)) && (!f || smooth_for(f->mode))) {
    const long long w = (long long)r.Right - r.Left, h = (long long)r.Bottom - r.Top;
    const int pen = s ? s->width : 0;
    if (w > kSmallShape || h > kSmallShape || pen > kSmallShape) {
      smooth_ellipse(r.Left, r.Top, r.Right, r.Bottom, s, f);
      return;
    }
    key_.assign({0, int(w), int(h), pen, s ? int(s->style == psInsideFrame) + 1 : 0, f != nullptr});
    small_shape(TPoint{r.Left, r.Top}, TRect{0, 0, int(w), int(h)}, pen, s, f,
                [&] { smooth_ellipse(0, 0, double(w), double(h), s, f); });
    return;
  }
  const TRect c = clip_box();
  if (c.Left >= c.Right || c.Top >= c.Bottom) return;
  const int w = s ? s->width : 0;
  const long double outer = (s && s->style != psInsideFrame) ? (w - 1) / 2.0L : 0.0L;
  const long double inner = outer - (w > 0 ? w - 1 : 0);
  const long long grow = (long long)std::ceil(outer);
  const long long y0 = std::max<long long>(c.Top, (long long)r.Top - grow);
  const long long y1 = std::min<long long>(c.Bottom, (long long)r.Bottom + grow);
  const uint32_t pen = s ? pack_opaque(s->color) : 0;
  const SpanWriter pw = s ? span_writer(s->mode) : nullptr;
  const uint32_t brush = f ? pack_opaque(f->color) : 0;
  const SpanWriter bw = f ? span_writer(f->mode) : nullptr;
  auto run = [&](long long y, long long a, long long b, uint32_t col, SpanWriter wr) {
    a = std::max<long long>(a, c.Left);
    b = std::min<long long>(b, c.Right);
    if (a < b) wr(row(int(y)) + a, int(b - a), col);
  };
  for (long long y = y0; y < y1; ++y) {
    long long oa, ob, ia, ib;
    if (!ellipse_span(r, outer, y, oa, ob)) continue;
    const bool has_inner = ellipse_interior(r, inner, y, ia, ib);
    if (!s) {
      run(y, oa, ob, brush, bw);
      continue;
    }
    if (!has_inner) {
      run(y, oa, ob, pen, pw);
      continue;
    }
    run(y, oa, ia, pen, pw);
    run(y, ib, ob, pen, pw);
    if (f) run(y, ia, ib, brush, bw);
  }
}

void RasterBackend::arc(const TRect& r, TPoint start, TPoint end, const Stroke& s) {
  const TRect c = clip_box();
  if (c.Left >= c.Right || c.Top >= c.Bottom) return;
  const long double lr = (long double)r.Left + r.Right, tb = (long double)r.Top + r.Bottom;
  const double a0 = std::atan2(-double(2.0L * start.Y - tb), double(2.0L * start.X - lr));
  const double a1 = std::atan2(-double(2.0L * end.Y - tb), double(2.0L * end.X - lr));
  const double span = a0 == a1 ? 2 * M_PI : ccw_delta(a0, a1);
  if (smooth_for(s.mode)) {
    const double w = s.width, grow = s.style != psInsideFrame ? (w - 1) / 2 : 0;
    const double rx = (r.Right - r.Left) / 2.0 + grow - w / 2, ry = (r.Bottom - r.Top) / 2.0 + grow - w / 2;
    fpts_.clear();
    SmoothRaster::ellipse_points({double(lr) / 2, double(tb) / 2}, std::max(rx, 0.0), std::max(ry, 0.0), a0, span,
                                 false, fpts_);
    SmoothRaster& aa_r = aa();
    aa_r.begin(c, false);
    aa_r.add_stroke(fpts_.data(), int(fpts_.size()), false, StrokeShape{w, psSolid, StrokeEnds::butt, false});
    aa_r.render(bmp_, pack_opaque(s.color));
    return;
  }
  const long double outer = s.style == psInsideFrame ? 0.0L : (s.width - 1) / 2.0L;
  const long double inner = outer - (s.width - 1);
  const long long grow = (long long)std::ceil(outer);
  const long long y0 = std::max<long long>(c.Top, (long long)r.Top - grow);
  const long long y1 = std::min<long long>(c.Bottom, (long long)r.Bottom + grow);
  const uint32_t pen = pack_opaque(s.color);
  const SpanWriter w = span_writer(s.mode);
  auto plot_run = [&](long long y, long long a, long long b) {
    a = std::max<long long>(a, c.Left);
    b = std::min<long long>(b, c.Right);
    const double yy = -double(2.0L * y + 1 - tb);
    uint32_t* rp = row(int(y));
    for (long long x = a; x < b; ++x) {
      const double ang = std::atan2(yy, double(2.0L * x + 1 - lr));
      if (ccw_delta(a0, ang) <= span) w(rp + x, 1, pen);
    }
  };
  for (long long y = y0; y < y1; ++y) {
    long long oa, ob, ia, ib;
    if (!ellipse_span(r, outer, y, oa, ob)) continue;
    if (!ellipse_interior(r, inner, y, ia, ib)) {
      plot_run(y, oa, ob);
    } else {
      plot_run(y, oa, ia);
      plot_run(y, ib, ob);
    }
  }
}

void RasterBackend::polygon(const TPoint* p, int n, const Stroke* s, const Fill* f) {
  if ((!s || smooth_for(s->mode)) && (!f || smooth_for(f->mode))) {
    const int pen = s ? s->width : 0;
    TRect ext{0, 0, 1, 1};
    bool small = n <= 16 && pen <= kSmallShape;
    for (int i = 0; i < n && small; ++i) {
      const long long dx = (long long)p[i].X - p[0].X, dy = (long long)p[i].Y - p[0].Y;
      small = std::llabs(dx) <= kSmallShape && std::llabs(dy) <= kSmallShape;
      if (small) {
        ext = TRect{std::min<int>(ext.Left, int(dx)), std::min<int>(ext.Top, int(dy)),
                    std::max<int>(ext.Right, int(dx) + 1), std::max<int>(ext.Bottom, int(dy) + 1)};
      }
    }
    if (!small) {
      smooth_polygon(centres(p, n), n, s, f);
      return;
    }
    key_.assign({1, n, pen, s ? int(s->style) + 1 : 0, f != nullptr});
    for (int i = 0; i < n; ++i) {
      key_.push_back(p[i].X - p[0].X);
      key_.push_back(p[i].Y - p[0].Y);
    }
    small_shape(p[0], ext, pen, s, f, [&] {
      std::vector<PointF>& q = shape_pts_;
      q.resize(size_t(n));
      for (int i = 0; i < n; ++i) q[size_t(i)] = {p[i].X - p[0].X + 0.5, p[i].Y - p[0].Y + 0.5};
      smooth_polygon(q.data(), n, s, f);
    });
    return;
  }
  if (f) {
    const uint32_t brush = pack_opaque(f->color);
    const SpanWriter w = span_writer(f->mode);
    auto fill_span = [&](int y, int x0, int x1) { w(row(y) + x0, x1 - x0, brush); };
    if (!filler_.fill_monotone(p, n, clip_box(), fill_span)) {
      filler_.reset();
      filler_.add_contour(p, n);
      filler_.fill(clip_box(), false, fill_span);
    }
  }
  if (!s) return;
  if (s->width > 1) {
    wide_polyline(p, n, *s, true);
    return;
  }
  long long pos = 0;
  for (int i = 0; i < n; ++i) {
    const TPoint a = p[i], b = p[(i + 1) % n];
    thin_line(a, b, *s, pos);
    pos += std::max(std::llabs((long long)b.X - a.X), std::llabs((long long)b.Y - a.Y));
  }
}

namespace {

// Lines of up to seven steps take seven stores from a table, whatever their length.
constexpr int kTableSteps = 7;
constexpr StepTable<kTableSteps> kStepLists{};

// A thin solid line from a towards b, b excluded, both inside the bitmap.
inline void thin_line_inside(uint32_t* base, ptrdiff_t stride, TPoint a, TPoint b, uint32_t pen) {
  const int dx = b.X - a.X, dy = b.Y - a.Y;
  uint32_t* const p0 = base + a.Y * stride + a.X;
  if (kStepLists.holds(dx, dy)) {
    const auto& l = kStepLists.at(dx, dy);
    if (l.n == 0) return;
    for (int i = 0; i < kTableSteps; ++i) p0[l.oy[i] * stride + l.ox[i]] = pen;
    return;
  }
  const int adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const ptrdiff_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -stride : stride;
  const bool xmajor = adx >= ady;
  const ptrdiff_t step_major = xmajor ? sx : sy, step_minor = xmajor ? sy : sx;
  const int len = xmajor ? adx : ady, two_dm = 2 * (xmajor ? ady : adx);
  // Minor offset of step i: floor((2*dm*i + len) / (2*len)), taken as a product with
  // m = ceil(2^46 / (2*len)). With the numerator below 2^30 and 2*len below 2^16 the
  // product's error stays under 1 / (2*len), so the quotient is exact; and no step waits
  // for the one before, as a running remainder would make it.
  const uint64_t d = 2 * uint64_t(len), m = ((uint64_t(1) << 46) + d - 1) / d;
  uint64_t num = uint64_t(len);
  ptrdiff_t major = 0;
  for (int k = 0; k < len; ++k, num += uint64_t(two_dm), major += step_major)
    p0[major + ptrdiff_t((num * m) >> 46) * step_minor] = pen;
}

// Slot i of a run of w pixels (1 <= w <= 8) stores pixel min(i, w - 1).
constexpr std::array<std::array<uint8_t, 8>, 9> make_run_slots() {
  std::array<std::array<uint8_t, 8>, 9> t{};
  for (int w = 1; w <= 8; ++w)
    for (int i = 0; i < 8; ++i) t[w][i] = uint8_t(i < w ? i : w - 1);
  return t;
}
constexpr std::array<std::array<uint8_t, 8>, 9> kRunSlots = make_run_slots();

// w pixels from q on, none when w is 0. Runs of four or more take overlapping stores of
// four; shorter ones three single stores, some repeated, whatever their length, and an
// empty one writes to a scratch word.
inline void fill_run(uint32_t* q, int w, uint32_t c) {
  if (w >= 4) {
    const uint32_t c4[4] = {c, c, c, c};
    uint32_t* const end = q + w - 4;
    for (; q < end; q += 4) std::memcpy(q, c4, sizeof c4);
    std::memcpy(end, c4, sizeof c4);
    return;
  }
  uint32_t sink[1];
  uint32_t* const t = w != 0 ? q : sink;
  const std::array<uint8_t, 8>& slot = kRunSlots[size_t(w)];
  t[slot[0]] = c;
  t[slot[1]] = c;
  t[slot[2]] = c;
}

// fast_polygon's drawing once the polygon is known to fit; N as in fill_monotone_small.
template <int N>
bool draw_small(uint32_t* base, ptrdiff_t stride, const TPoint* p, int count, const Stroke* s, const Fill* f) {
  const int n = N ? N : count;
  if (f) {
    const uint32_t brush = pack_opaque(f->color);
    auto fill_span = [&](int y, int x0, int w) { fill_run(base + y * stride + x0, w, brush); };
    if (!ScanFiller::fill_monotone_small<N>(p, n, fill_span)) return false;
  }
  if (!s) return true;
  const uint32_t pen = pack_opaque(s->color);
  for (int i = 0; i < n; ++i) thin_line_inside(base, stride, p[i], p[i + 1 == n ? 0 : i + 1], pen);
  return true;
}

}  // namespace

bool RasterBackend::fast_polygon(const TPoint* p, int n, const Stroke* s, const Fill* f) {
  if ((s && (s->mode != pmCopy || s->style != psSolid || s->width != 1)) || (f && f->mode != pmCopy) ||
      n > ScanFiller::kSmallCount || smooth())
    return false;
  const TRect c = clip_box();
  if (c.Right > ScanFiller::kSmallCoord || c.Bottom > ScanFiller::kSmallCoord) return false;
  const unsigned cw = unsigned(c.Right - c.Left), ch = unsigned(c.Bottom - c.Top);
  bool inside = true;
  for (int i = 0; i < n; ++i)
    inside &= unsigned(p[i].X) - unsigned(c.Left) < cw && unsigned(p[i].Y) - unsigned(c.Top) < ch;
  if (!inside) return false;
  uint32_t* const base = row(0);
  const ptrdiff_t stride = bmp_.Width();
  return n == 4 ? draw_small<4>(base, stride, p, n, s, f) : draw_small<0>(base, stride, p, n, s, f);
}

void RasterBackend::text(int x, int y, std::string_view utf8, const TextStyle& t) {
  const TRect c = clip_box();
  if (c.Left >= c.Right || c.Top >= c.Bottom || utf8.empty()) return;
  if (t.opaque) {
    const int w = text_width(*t.font, utf8);
    const int h = font_metrics(*t.font).height;
    fill_rect_clipped({x, y, ClampPix((long long)x + w), ClampPix((long long)y + h)},
                      pack_opaque(t.background), span_writer(pmCopy));
  }
  const TextMask m = render_text(*t.font, utf8);
  const uint32_t col = pack_opaque(t.color);
  const long long mx = (long long)x + m.left, my = (long long)y + m.top;
  const long long ya = std::max<long long>(my, c.Top), yb = std::min<long long>(my + m.height, c.Bottom);
  const long long xa = std::max<long long>(mx, c.Left), xb = std::min<long long>(mx + m.width, c.Right);
  for (long long yy = ya; yy < yb; ++yy) {
    const uint8_t* cov = m.coverage + (yy - my) * m.stride;
    uint32_t* rp = row(int(yy));
    for (long long xx = xa; xx < xb; ++xx) {
      const uint32_t a = cov[xx - mx];
      if (a) rp[xx] = blend(rp[xx], col, a);
    }
  }
}

void RasterBackend::set_pixel(int x, int y, TColor rgb) {
  const TRect c = clip_box();
  if (x < c.Left || x >= c.Right || y < c.Top || y >= c.Bottom) return;
  row(y)[x] = pack_opaque(rgb);
}

TColor RasterBackend::get_pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= bmp_.Width() || y >= bmp_.Height()) return -1;
  return unpack_color(row(y)[x]);
}

void RasterBackend::draw_image(const TRect& dst, const TBitmap& image, const TRect& src_rect,
                               int32_t rop) {
  const TRect c = clip_box();
  const long long dw = (long long)dst.Right - dst.Left, dh = (long long)dst.Bottom - dst.Top;
  const long long sw = (long long)src_rect.Right - src_rect.Left, sh = (long long)src_rect.Bottom - src_rect.Top;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || image.Empty()) return;
  if (&image == &bmp_) {
    // Rows of a copy within one bitmap may be overwritten before they are read.
    TBitmap tmp(int(std::min<long long>(sw, 65535)), int(std::min<long long>(sh, 65535)));
    RasterBackend(tmp).draw_image({0, 0, tmp.Width(), tmp.Height()}, image,
                                  {src_rect.Left, src_rect.Top, src_rect.Left + tmp.Width(),
                                   src_rect.Top + tmp.Height()}, SRCCOPY);
    draw_image(dst, tmp, {0, 0, tmp.Width(), tmp.Height()}, rop);
    return;
  }
  const long long x0 = std::max<long long>(dst.Left, c.Left), x1 = std::min<long long>(dst.Right, c.Right);
  const long long y0 = std::max<long long>(dst.Top, c.Top), y1 = std::min<long long>(dst.Bottom, c.Bottom);
  if (x0 >= x1 || y0 >= y1) return;
  const RowCopy copy = kRowCopies[rop_index(rop)];
  const uint32_t* src_base = reinterpret_cast<const uint32_t*>(image.Bits());
  const int iw = image.Width(), ih = image.Height();
  const bool same_size = dw == sw && dh == sh;
  // Source pixel of each destination column, centre sampling; -1 outside the image.
  auto src_x = [&](long long dx) { return src_rect.Left + (long long)(((2 * (dx - dst.Left) + 1) * sw) / (2 * dw)); };
  auto src_y = [&](long long dy) { return src_rect.Top + (long long)(((2 * (dy - dst.Top) + 1) * sh) / (2 * dh)); };
  // Visible destination columns whose source lies inside the image.
  long long cx0 = x0, cx1 = x1;
  while (cx0 < cx1 && (same_size ? src_rect.Left + (cx0 - dst.Left) : src_x(cx0)) < 0) ++cx0;
  while (cx1 > cx0 && (same_size ? src_rect.Left + (cx1 - 1 - dst.Left) : src_x(cx1 - 1)) >= iw) --cx1;
  if (cx0 >= cx1) return;
  const int n = int(cx1 - cx0);
  std::vector<int>& map = map_buf_;
  if (!same_size) {
    map.resize(n);
    const long long first = src_x(cx0);
    for (int i = 0; i < n; ++i) map[i] = int(src_x(cx0 + i) - first);
  }
  for (long long y = y0; y < y1; ++y) {
    const long long sy = same_size ? src_rect.Top + (y - dst.Top) : src_y(y);
    if (sy < 0 || sy >= ih) continue;
    const long long sx0 = same_size ? src_rect.Left + (cx0 - dst.Left) : src_x(cx0);
    const uint32_t* src = src_base + sy * iw + sx0;
    copy(row(int(y)) + cx0, src, same_size ? nullptr : map.data(), n);
  }
}

}  // namespace kvr::detail
