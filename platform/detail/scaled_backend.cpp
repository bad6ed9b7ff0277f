#include "platform/detail/scaled_backend.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>

#include "platform/arith.h"
#include "platform/detail/raster_backend.h"

namespace kvr::detail {

ScaledBackend::ScaledBackend(CanvasBackend& device, TPoint origin, double scale, int width, int height,
                             TRect device_clip)
    : dev_(device), raster_(dynamic_cast<RasterBackend*>(&device)), org_(origin), s_(scale), w_(width), h_(height), box_(device_clip) {
  dev_.set_clip(&box_);
}

RasterBackend* ScaledBackend::smooth_device(TPenMode mode) const {
  return raster_ && mode == pmCopy && raster_->smooth() ? raster_ : nullptr;
}

bool ScaledBackend::smooth_fractions() const { return raster_ && raster_->smooth(); }

const ScaledBackend::PointF* ScaledBackend::mids(const TPointDouble* p, int n) {
  mids_.resize(size_t(n));
  for (int i = 0; i < n; ++i) mids_[size_t(i)] = mid(p[i].X, p[i].Y);
  return mids_.data();
}

const ScaledBackend::PointF* ScaledBackend::mids(const TPoint* p, int n) {
  mids_.resize(size_t(n));
  for (int i = 0; i < n; ++i) mids_[size_t(i)] = mid(p[i].X, p[i].Y);
  return mids_.data();
}

Integer ScaledBackend::scaled_size(Integer pixels, double scale) {
  return ClampPix(std::llround(std::floor(double(std::max<Integer>(0, pixels)) * scale + 0.5)));
}

void ScaledBackend::line(TPoint a, TPoint b, const Stroke& s) {
  const TPoint p[2] = {a, b};
  polyline(p, 2, s);
}

void ScaledBackend::polyline(const TPoint* p, int n, const Stroke& s) {
  if (n < 2) return;
  if (s.width > 1) {
    // Wide pens are round-ended on the screen too: same points, wider pen.
    if (RasterBackend* r = smooth_device(s.mode)) {
      r->smooth_polyline(mids(p, n), n, false, scaled(s));
      return;
    }
    dev_.polyline(centres(p, n), n, scaled(s));
    return;
  }
  thin_path(p, n, false, s);
}

void ScaledBackend::rectangle(const TRect& r, const Stroke* s, const Fill* f) {
  if (!s) {
    fill_box(r.Left, r.Top, r.Right, r.Bottom, *f);
    return;
  }
  // The screen's border bands, each scaled as a filled box.
  const RectBands b = rect_bands(r, *s);
  if (f && b.has_interior()) fill_box(b.il, b.it, b.ir, b.ib, *f);
  if (b.patterned) {
    const auto pts = rect_outline(r);
    polyline(pts.data(), 5, *s);
    return;
  }
  const Fill pen{s->color, s->mode};
  b.for_each_band([&](long long l, long long t, long long rr, long long bb) { fill_box(l, t, rr, bb, pen); });
}

void ScaledBackend::ellipse(const TRect& r, const Stroke* s, const Fill* f) {
  const TRect d = box(r.Left, r.Top, r.Right, r.Bottom);
  if (d.Right <= d.Left || d.Bottom <= d.Top) return;
  const Stroke ds = s ? scaled(*s) : Stroke{};
  dev_.ellipse(d, s ? &ds : nullptr, f);
}

void ScaledBackend::arc(const TRect& r, TPoint start, TPoint end, const Stroke& s) {
  const TRect d = box(r.Left, r.Top, r.Right, r.Bottom);
  if (d.Right <= d.Left || d.Bottom <= d.Top) return;
  dev_.arc(d, centre(start), centre(end), scaled(s));
}

void ScaledBackend::polygon(const TPoint* p, int n, const Stroke* s, const Fill* f) {
  const TPoint* q = centres(p, n);
  const bool dashed = s && s->width == 1 && !dash_runs(s->style).empty();
  if (!dashed) {
    const Stroke ds = s ? scaled(*s) : Stroke{};
    dev_.polygon(q, n, s ? &ds : nullptr, f);
    return;
  }
  if (f) dev_.polygon(q, n, nullptr, f);
  thin_path(p, n, true, *s);
}

void ScaledBackend::text(int x, int y, std::string_view utf8, const TextStyle& t) {
  font_.Assign(t.font);
  if (t.font->Size() >= 0) {
    font_.SetPixelsPerInch(std::max(1, int(std::lround(t.font->PixelsPerInch() * s_))));
  } else {
    // A negative size is a pixel height: it scales like any other length.
    font_.SetSize(-std::max(1, int(std::lround(-double(t.font->Size()) * s_))));
  }
  TextStyle ts = t;
  ts.font = &font_;
  dev_.text(edge_x(x), edge_y(y), utf8, ts);
}

void ScaledBackend::set_pixel(int x, int y, TColor rgb) {
  fill_box(x, y, (long long)x + 1, (long long)y + 1, Fill{rgb, pmCopy});
}

TColor ScaledBackend::get_pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return -1;
  const TPoint c = centre({x, y});
  return dev_.get_pixel(c.X, c.Y);
}

void ScaledBackend::draw_image(const TRect& dst, const TBitmap& image, const TRect& src_rect, int32_t rop) {
  const TRect d = box(dst.Left, dst.Top, dst.Right, dst.Bottom);
  if (d.Right > d.Left && d.Bottom > d.Top) dev_.draw_image(d, image, src_rect, rop);
}

void ScaledBackend::set_clip(const TRect* r) {
  TRect c = box_;
  if (r) {
    const TRect d = box(r->Left, r->Top, r->Right, r->Bottom);
    c = TRect{std::max(c.Left, d.Left), std::max(c.Top, d.Top), std::min(c.Right, d.Right),
              std::min(c.Bottom, d.Bottom)};
    c.Right = std::max(c.Left, c.Right);
    c.Bottom = std::max(c.Top, c.Bottom);
  }
  dev_.set_clip(&c);
}

// The device's pixel model puts point v at the centre of pixel v, so the centre of a
// screen pixel maps to mid(...) - 0.5. Dashed one-pixel pens keep the screen's dash
// pattern only through the integer path, which these fall back to.
void ScaledBackend::line_f(TPointDouble a, TPointDouble b, const Stroke& s) {
  const TPointDouble p[2] = {a, b};
  polyline_f(p, 2, s);
}

void ScaledBackend::polyline_f(const TPointDouble* p, int n, const Stroke& s) {
  if (n < 2) return;
  if (s.width <= 1 && !dash_runs(s.style).empty()) {
    CanvasBackend::polyline_f(p, n, s);
    return;
  }
  if (RasterBackend* r = smooth_device(s.mode)) {
    r->smooth_polyline(mids(p, n), n, false, scaled(s));
    return;
  }
  fcorners_.resize(size_t(n));
  for (int i = 0; i < n; ++i) {
    const PointF m = mid(p[i].X, p[i].Y);
    fcorners_[size_t(i)] = {m.x - 0.5, m.y - 0.5};
  }
  dev_.polyline_f(fcorners_.data(), n, scaled(s));
}

void ScaledBackend::polygon_f(const TPointDouble* p, int n, const Stroke* s, const Fill* f) {
  if (s && s->width <= 1 && !dash_runs(s->style).empty()) {
    CanvasBackend::polygon_f(p, n, s, f);
    return;
  }
  if (RasterBackend* r = smooth_device(s ? s->mode : f ? f->mode : pmCopy)) {
    const Stroke ds = s ? scaled(*s) : Stroke{};
    r->smooth_polygon(mids(p, n), n, s ? &ds : nullptr, f);
    return;
  }
  fcorners_.resize(size_t(n));
  for (int i = 0; i < n; ++i) {
    const PointF m = mid(p[i].X, p[i].Y);
    fcorners_[size_t(i)] = {m.x - 0.5, m.y - 0.5};
  }
  const Stroke ds = s ? scaled(*s) : Stroke{};
  dev_.polygon_f(fcorners_.data(), n, s ? &ds : nullptr, f);
}

void ScaledBackend::ellipse_f(double l, double t, double r, double b, const Stroke* s, const Fill* f) {
  const double x0 = org_.X + l * s_, y0 = org_.Y + t * s_, x1 = org_.X + r * s_, y1 = org_.Y + b * s_;
  if (!(x1 > x0) || !(y1 > y0)) return;
  const Stroke ds = s ? scaled(*s) : Stroke{};
  if (RasterBackend* r = smooth_device(s ? s->mode : f ? f->mode : pmCopy)) {
    r->smooth_ellipse(x0, y0, x1, y1, s ? &ds : nullptr, f);
    return;
  }
  dev_.ellipse_f(x0, y0, x1, y1, s ? &ds : nullptr, f);
}

Integer ScaledBackend::edge_x(long long v) const {
  return ClampPix(org_.X + std::llround(std::floor(double(v) * s_ + 0.5)));
}

Integer ScaledBackend::edge_y(long long v) const {
  return ClampPix(org_.Y + std::llround(std::floor(double(v) * s_ + 0.5)));
}

TRect ScaledBackend::box(long long l, long long t, long long r, long long b) const {
  return TRect{edge_x(l), edge_y(t), edge_x(r), edge_y(b)};
}

// The integer point whose pixel centre lies at p.
TPoint ScaledBackend::to_point(PointF p) {
  return TPoint{ClampPix((long long)std::floor(p.x)), ClampPix((long long)std::floor(p.y))};
}

// The corners of a shape on the device, in a buffer the back end keeps.
const TPoint* ScaledBackend::centres(const TPoint* p, int n) {
  corners_.resize(size_t(n));
  for (int i = 0; i < n; ++i) corners_[size_t(i)] = centre(p[i]);
  return corners_.data();
}

int ScaledBackend::pen_width(int w) const { return std::max(1, int(std::lround(w * s_))); }

Stroke ScaledBackend::scaled(const Stroke& s) const {
  Stroke d = s;
  d.width = pen_width(s.width);
  return d;
}

void ScaledBackend::fill_box(long long l, long long t, long long r, long long b, const Fill& f) {
  const TRect d = box(l, t, r, b);
  if (d.Right > d.Left && d.Bottom > d.Top) dev_.rectangle(d, nullptr, &f);
}

// One-pixel screen lines through p[0..n-1] (back to p[0] when closed) with the last
// pixel left out, dashed by the pen style, the pattern running on over the corners.
// Each on-run becomes one device polyline through the corners it passes.
void ScaledBackend::thin_path(const TPoint* p, int n, bool closed, const Stroke& s) {
  const std::span<const int> runs = dash_runs(s.style);
  long long period = 0;
  for (int r : runs) period += r;
  run_.clear();
  long long pos = 0;
  for (int k = 0; k < (closed ? n : n - 1); ++k) {
    const TPoint a = p[k], b = p[(k + 1) % n];
    const long long steps = std::max(std::llabs((long long)b.X - a.X), std::llabs((long long)b.Y - a.Y));
    if (steps == 0) continue;
    // Step i of the screen line is its pixel i and covers the steps [i - 0.5, i + 0.5].
    const double end_t = double(steps) - 0.5;
    double t0 = -0.5, t1 = end_t;
    bool open = false;  // the last on-run reaches the end of this line
    if (visible_steps(a, b, steps, t0, t1)) {
      const PointF pa = mid(a.X, a.Y), pb = mid(b.X, b.Y);
      auto at = [&](double t) {
        return PointF{pa.x + (pb.x - pa.x) * t / double(steps), pa.y + (pb.y - pa.y) * t / double(steps)};
      };
      auto piece = [&](double u0, double u1) {
        if (u0 == -0.5 && !run_.empty()) {
          run_.back() = pa;  // the run goes on round the corner
        } else {
          flush(s);
          run_.push_back(at(u0));
        }
        run_.push_back(at(u1));
        open = u1 == end_t;
        if (!open) flush(s);
      };
      if (runs.empty()) {
        piece(t0, t1);
      } else {
        // Only the on-runs that meet the visible steps, so far-off lines cost nothing.
        long long i = std::max<long long>(0, (long long)std::ceil(t0 + 0.5));
        const long long last = std::min<long long>(steps - 1, (long long)std::floor(t1 + 0.5));
        while (i <= last) {
          long long in_run = (pos + i) % period;
          size_t r = 0;
          while (in_run >= runs[r]) in_run -= runs[r++];
          const long long len = runs[r] - in_run;
          if (r % 2 == 0) piece(std::max(t0, double(i) - 0.5), std::min(t1, double(std::min(last, i + len - 1)) + 0.5));
          i += len;
        }
      }
    }
    if (!open) flush(s);
    pos += steps;
  }
  flush(s);
}

// Draws the pending on-run with a pen of the scaled width. Round ends reach half a pen
// beyond the end points, so these are pulled in to end where the screen pixels end.
void ScaledBackend::flush(const Stroke& s) {
  if (run_.size() < 2) {
    run_.clear();
    return;
  }
  const int w = pen_width(1);
  Stroke ds = s;
  ds.style = psSolid;
  ds.width = w;
  const double hw = w / 2.0;
  PointF& first = run_.front();
  PointF& last = run_.back();
  double len = 0;
  for (size_t i = 1; i < run_.size(); ++i) len += std::hypot(run_[i].x - run_[i - 1].x, run_[i].y - run_[i - 1].y);
  if (w > 1 && len <= 2 * hw) {
    const PointF c{(first.x + last.x) / 2, (first.y + last.y) / 2};
    const TPoint tl = to_point({c.x - hw + 0.5, c.y - hw + 0.5});
    const Fill f{s.color, s.mode};
    dev_.ellipse(TRect{tl.X, tl.Y, tl.X + w, tl.Y + w}, nullptr, &f);
    run_.clear();
    return;
  }
  if (w > 1) {
    auto pull = [hw](PointF& end, const PointF& toward) {
      const double d = std::hypot(toward.x - end.x, toward.y - end.y);
      const double k = std::min(hw, d / 2) / d;
      if (d > 0) end = {end.x + (toward.x - end.x) * k, end.y + (toward.y - end.y) * k};
    };
    pull(first, run_[1]);
    pull(last, run_[run_.size() - 2]);
  }
  if (RasterBackend* r = smooth_device(s.mode)) {
    r->smooth_polyline(run_.data(), int(run_.size()), false, ds);
    run_.clear();
    return;
  }
  pts_.clear();
  for (const PointF& q : run_) pts_.push_back(to_point(q));
  dev_.polyline(pts_.data(), int(pts_.size()), ds);
  run_.clear();
}

// Cuts the steps [t0, t1] of the line a..b to those near the picture.
bool ScaledBackend::visible_steps(TPoint a, TPoint b, long long n, double& t0, double& t1) const {
  const double m = 4 + 64.0;  // beyond any pen that reaches into the picture
  const double lo[2] = {-m, -m}, hi[2] = {w_ + m, h_ + m};
  const double p0[2] = {double(a.X), double(a.Y)};
  const double d[2] = {double((long long)b.X - a.X) / double(n), double((long long)b.Y - a.Y) / double(n)};
  for (int k = 0; k < 2; ++k) {
    if (d[k] == 0) {
      if (p0[k] < lo[k] || p0[k] > hi[k]) return false;
      continue;
    }
    double ta = (lo[k] - p0[k]) / d[k], tb = (hi[k] - p0[k]) / d[k];
    if (ta > tb) std::swap(ta, tb);
    t0 = std::max(t0, ta);
    t1 = std::min(t1, tb);
  }
  return t0 <= t1;
}

}  // namespace kvr::detail
