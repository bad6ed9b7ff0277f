#include "platform/detail/smooth_raster.h"

#include <agg_rasterizer_scanline_aa.h>
#include <agg_scanline_u.h>

#include <algorithm>
#include <cmath>

#include "platform/bitmap.h"
#include "platform/detail/canvas_backend.h"
#include "platform/detail/pixel_ops.h"

namespace kvr::detail {
namespace {

thread_local bool t_smooth_paint = false;

bool finite(PointF p) { return std::isfinite(p.x) && std::isfinite(p.y); }

}  // namespace

bool smooth_paint() { return t_smooth_paint; }
void set_smooth_paint(bool on) { t_smooth_paint = on; }

// The double-precision clipper: coordinates are cut in doubles before they become the
// rasteriser's 24.8 fixed point, which would overflow far outside the bitmap.
struct SmoothRaster::Impl {
  agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl> ras;
  agg::scanline_u8 sl;
  TRect clip{};
};

SmoothRaster::SmoothRaster() : impl_(std::make_unique<Impl>()) {}
SmoothRaster::~SmoothRaster() = default;

void SmoothRaster::begin(const TRect& clip, bool even_odd) {
  impl_->ras.reset();
  impl_->ras.filling_rule(even_odd ? agg::fill_even_odd : agg::fill_non_zero);
  impl_->ras.clip_box(clip.Left, clip.Top, clip.Right, clip.Bottom);
  impl_->clip = clip;
}

void SmoothRaster::add_contour(const PointF* p, int n) {
  if (n < 3) return;
  for (int i = 0; i < n; ++i)
    if (!finite(p[i])) return;
  auto& ras = impl_->ras;
  ras.move_to_d(p[0].x, p[0].y);
  for (int i = 1; i < n; ++i) ras.line_to_d(p[i].x, p[i].y);
  ras.close_polygon();
}

// Pieces of a stroke overlap; with the nonzero rule they only unite when every piece
// winds the same way.
void SmoothRaster::add_oriented(const PointF* p, int n) {
  double area = 0;
  for (int i = 0; i < n; ++i) {
    const PointF& a = p[i];
    const PointF& b = p[(i + 1) % n];
    area += a.x * b.y - b.x * a.y;
  }
  if (area == 0) return;
  auto& ras = impl_->ras;
  if (area > 0) {
    ras.move_to_d(p[0].x, p[0].y);
    for (int i = 1; i < n; ++i) ras.line_to_d(p[i].x, p[i].y);
  } else {
    ras.move_to_d(p[n - 1].x, p[n - 1].y);
    for (int i = n - 2; i >= 0; --i) ras.line_to_d(p[i].x, p[i].y);
  }
  ras.close_polygon();
}

void SmoothRaster::add_disc(PointF c, double r) {
  if (c.x < x0_ || c.x > x1_ || c.y < y0_ || c.y > y1_) return;
  tmp_.clear();
  ellipse_points(c, r, r, 0, 2 * M_PI, true, tmp_);
  add_oriented(tmp_.data(), int(tmp_.size()));
}

void SmoothRaster::ellipse_points(PointF c, double rx, double ry, double a0, double sweep, bool closed,
                                  std::vector<PointF>& out) {
  // Steps short enough that the chords stay within a tenth of a pixel of the curve.
  const double r = std::max({rx, ry, 0.5});
  const double step = 2 * std::acos(std::max(-1.0, 1 - 0.1 / r));
  const int n = std::clamp(int(std::ceil(sweep / step)), closed ? 8 : 2, 4096);
  for (int i = 0; i < n + (closed ? 0 : 1); ++i) {
    const double a = a0 + sweep * i / n;
    out.push_back({c.x + rx * std::cos(a), c.y - ry * std::sin(a)});
  }
}

void SmoothRaster::add_stroke(const PointF* p, int n, bool closed, const StrokeShape& s) {
  if (n < 2 || !(s.width > 0)) return;
  for (int i = 0; i < n; ++i)
    if (!finite(p[i])) return;
  const TRect& c = impl_->clip;
  margin_ = s.width / 2 + 2;
  x0_ = c.Left - margin_, y0_ = c.Top - margin_, x1_ = c.Right + margin_, y1_ = c.Bottom + margin_;
  const std::span<const int> runs = dash_runs(s.style);
  if (runs.empty()) {
    add_piece(p, n, closed, s, true, true);
    return;
  }
  // The dash pattern runs on over the corners, measured along the path. Only the part
  // of a segment near the clip is walked dash by dash; the rest moves the pattern on in
  // one step, so far-off lines cost nothing.
  StrokeShape piece = s;
  piece.ends = StrokeEnds::butt;
  double period = 0;
  for (int r : runs) period += r;
  size_t ri = 0;
  double left = runs[0];
  bool on = true;
  auto next = [&] {
    on = !on;
    ri = (ri + 1) % runs.size();
    left = runs[ri];
  };
  auto advance = [&](double d) {
    if (d < left) {
      left -= d;
      return;
    }
    d = std::fmod(d - left, period);  // whole periods keep the phase: runs come in pairs
    next();
    while (d >= left) {
      d -= left;
      next();
    }
    left -= d;
  };
  auto flush = [&] {
    if (on && dash_.size() >= 2) add_piece(dash_.data(), int(dash_.size()), false, piece, false, false);
  };
  dash_.assign(1, p[0]);
  const int segs = closed ? n : n - 1;
  for (int k = 0; k < segs; ++k) {
    const PointF a = p[k], b = p[(k + 1) % n];
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    if (len == 0) continue;
    PointF ca = a, cb = b;
    if (!clip_segment(ca, cb, x0_, y0_, x1_, y1_)) {
      flush();
      advance(len);
      dash_.assign(1, b);
      continue;
    }
    const double ta = std::hypot(ca.x - a.x, ca.y - a.y), tb = std::min(len, std::hypot(cb.x - a.x, cb.y - a.y));
    double t = ta;
    if (ta > 0) {
      flush();
      advance(ta);
      dash_.assign(1, ca);
    }
    while (tb - t >= left) {
      t += left;
      const double f = t / len;
      const PointF q{a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f};
      dash_.push_back(q);
      if (on) add_piece(dash_.data(), int(dash_.size()), false, piece, false, false);
      dash_.assign(1, q);
      next();
    }
    left -= tb - t;
    if (tb < len) {
      if (on) dash_.push_back(cb);
      flush();
      advance(len - tb);
      dash_.assign(1, b);
    } else if (on) {
      dash_.push_back(b);
    } else {
      dash_.assign(1, b);
    }
  }
  flush();
}

void SmoothRaster::add_piece(const PointF* p, int n, bool closed, const StrokeShape& s, bool first_open,
                             bool last_open) {
  const double hw = s.width / 2;
  // Repeated points give no direction.
  std::vector<PointF>& q = piece_;
  q.clear();
  for (int i = 0; i < n; ++i)
    if (q.empty() || q.back().x != p[i].x || q.back().y != p[i].y) q.push_back(p[i]);
  if (closed && q.size() > 1 && q.front().x == q.back().x && q.front().y == q.back().y) q.pop_back();
  const int m = int(q.size());
  if (m < 2) {
    if (m == 1 && (s.ends == StrokeEnds::round || closed)) add_disc(q[0], hw);
    return;
  }
  if (!closed) {
    auto dir = [](PointF from, PointF to) {
      const double dx = to.x - from.x, dy = to.y - from.y, l = std::hypot(dx, dy);
      return PointF{dx / l, dy / l};
    };
    if (s.ends == StrokeEnds::flush) {
      // The classic line covers [first, last) along its major axis: start half a pixel
      // back, end half a pixel short.
      const PointF d0 = dir(q[0], q[1]), d1 = dir(q[m - 2], q[m - 1]);
      if (first_open) q[0] = {q[0].x - 0.5 * d0.x, q[0].y - 0.5 * d0.y};
      if (last_open) q[m - 1] = {q[m - 1].x - 0.5 * d1.x, q[m - 1].y - 0.5 * d1.y};
    } else if (s.ends == StrokeEnds::round) {
      add_disc(q[0], hw);
      add_disc(q[m - 1], hw);
    }
  }
  const int segs = closed ? m : m - 1;
  PointF quad[4];
  for (int i = 0; i < segs; ++i) {
    PointF a = q[i], b = q[(i + 1) % m];
    if (!clip_segment(a, b, x0_, y0_, x1_, y1_)) continue;
    const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    if (len == 0) continue;
    const double nx = -dy / len * hw, ny = dx / len * hw;
    quad[0] = {a.x + nx, a.y + ny};
    quad[1] = {b.x + nx, b.y + ny};
    quad[2] = {b.x - nx, b.y - ny};
    quad[3] = {a.x - nx, a.y - ny};
    add_oriented(quad, 4);
  }
  // Joins fill the wedge the two quads leave open on the outer side of a corner.
  for (int i = closed ? 0 : 1; i < (closed ? m : m - 1); ++i) {
    const PointF v = q[i], u = q[(i + m - 1) % m], w = q[(i + 1) % m];
    if (v.x < x0_ || v.x > x1_ || v.y < y0_ || v.y > y1_) continue;
    if (s.round_joins) {
      add_disc(v, hw);
      continue;
    }
    const double l1 = std::hypot(v.x - u.x, v.y - u.y), l2 = std::hypot(w.x - v.x, w.y - v.y);
    const PointF n1{-(v.y - u.y) / l1 * hw, (v.x - u.x) / l1 * hw};
    const PointF n2{-(w.y - v.y) / l2 * hw, (w.x - v.x) / l2 * hw};
    const PointF t1[3] = {v, {v.x + n1.x, v.y + n1.y}, {v.x + n2.x, v.y + n2.y}};
    const PointF t2[3] = {v, {v.x - n1.x, v.y - n1.y}, {v.x - n2.x, v.y - n2.y}};
    add_oriented(t1, 3);
    add_oriented(t2, 3);
  }
}

void SmoothRaster::render(TBitmap& bmp, uint32_t px) {
  auto& ras = impl_->ras;
  auto& sl = impl_->sl;
  const TRect& c = impl_->clip;
  if (c.Left >= c.Right || c.Top >= c.Bottom || !ras.rewind_scanlines()) return;
  sl.reset(ras.min_x(), ras.max_x());
  uint32_t* const bits = reinterpret_cast<uint32_t*>(bmp.Bits());
  const size_t stride = size_t(bmp.Width());
  while (ras.sweep_scanline(sl)) {
    const int y = sl.y();
    if (y < c.Top || y >= c.Bottom) continue;
    uint32_t* const row = bits + size_t(y) * stride;
    auto span = sl.begin();
    for (unsigned k = sl.num_spans(); k > 0; --k, ++span) {
      int x = span->x, len = span->len;
      const agg::int8u* cov = span->covers;
      if (x < c.Left) {
        len -= c.Left - x;
        cov += c.Left - x;
        x = c.Left;
      }
      len = std::min(len, c.Right - x);
      for (int i = 0; i < len; ++i) {
        const uint32_t a = cov[i];
        if (a == 255) row[x + i] = px;
        else if (a) row[x + i] = blend(row[x + i], px, a);
      }
    }
  }
}

void SmoothRaster::render_coverage(uint8_t* out, int stride) {
  auto& ras = impl_->ras;
  auto& sl = impl_->sl;
  const TRect& c = impl_->clip;
  if (c.Left >= c.Right || c.Top >= c.Bottom || !ras.rewind_scanlines()) return;
  sl.reset(ras.min_x(), ras.max_x());
  while (ras.sweep_scanline(sl)) {
    const int y = sl.y();
    if (y < c.Top || y >= c.Bottom) continue;
    uint8_t* const row = out + size_t(y - c.Top) * stride;
    auto span = sl.begin();
    for (unsigned k = sl.num_spans(); k > 0; --k, ++span) {
      int x = span->x, len = span->len;
      const agg::int8u* cov = span->covers;
      if (x < c.Left) {
        len -= c.Left - x;
        cov += c.Left - x;
        x = c.Left;
      }
      len = std::min(len, c.Right - x);
      for (int i = 0; i < len; ++i) row[x - c.Left + i] = uint8_t(std::min(255, row[x - c.Left + i] + cov[i]));
    }
  }
}

}  // namespace kvr::detail
