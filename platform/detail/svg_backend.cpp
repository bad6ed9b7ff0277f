// SVG recording of canvas primitives. See svg_backend.h for the pixel model and the
// approximation of raster operations.
#include "platform/detail/svg_backend.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "platform/arith.h"
#include "platform/bitmap.h"
#include "platform/detail/font_engine.h"
#include "platform/detail/scan_fill.h"
#include "platform/detail/utf8.h"

namespace kvr::detail {

namespace {

// Renderers keep coordinates in single precision; geometry reaching beyond this margin
// around the surface is clipped first so that the visible part stays exact.
constexpr double kClipMargin = 65536.0;

void num(std::string& out, double v) {
  v = std::round(v * 1000.0) / 1000.0;
  if (v == 0.0) v = 0.0;  // no "-0"
  char buf[40];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, res.ptr);
}

void attr(std::string& out, const char* name, double v) {
  out += ' ';
  out += name;
  out += "=\"";
  num(out, v);
  out += '"';
}

void colour(std::string& out, TColor c) {
  static const char hex[] = "0123456789abcdef";
  const Byte rgb[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
  out += '#';
  for (Byte b : rgb) {
    out += hex[b >> 4];
    out += hex[b & 15];
  }
}

TColor invert(TColor c) { return (~c) & 0xFFFFFF; }

// What a pen mode or copy mode becomes in SVG: a colour and an optional blend mode.
struct Paint {
  TColor color = 0;
  const char* blend = nullptr;
  bool skip = false;
};

Paint paint_for(TColor c, TPenMode mode) {
  switch (mode) {
    case pmBlack: return {0x000000, nullptr, false};
    case pmWhite: return {0xFFFFFF, nullptr, false};
    case pmNop: return {0, nullptr, true};
    case pmNot: return {0xFFFFFF, "difference", false};
    case pmNotCopy: return {invert(c), nullptr, false};
    case pmXor: return {c, "difference", false};
    case pmNotXor: return {invert(c), "difference", false};
    case pmMask:
    case pmMaskPenNot: return {c, "multiply", false};
    case pmMaskNotPen:
    case pmNotMerge: return {invert(c), "multiply", false};
    case pmMerge:
    case pmMergePenNot: return {c, "screen", false};
    case pmMergeNotPen:
    case pmNotMask: return {invert(c), "screen", false};
    case pmCopy:
    default: return {c, nullptr, false};
  }
}

const char* blend_for_rop(int32_t rop) {
  switch (rop) {
    case SRCINVERT: return "difference";
    case SRCAND: return "multiply";
    case SRCPAINT: return "screen";
    default: return nullptr;
  }
}

void blend_attr(std::string& out, const char* blend) {
  if (!blend) return;
  out += " style=\"mix-blend-mode:";
  out += blend;
  out += '"';
}

// The dash table as an SVG dash array; nullptr for undashed styles.
const char* dash_array(TPenStyle style) {
  static const auto make = [](TPenStyle st) {
    std::string a;
    for (int r : dash_runs(st)) {
      if (!a.empty()) a += ' ';
      a += std::to_string(r);
    }
    return a;
  };
  static const std::string dash = make(psDash), dot = make(psDot), dash_dot = make(psDashDot),
                           dash_dot_dot = make(psDashDotDot);
  switch (style) {
    case psDash: return dash.c_str();
    case psDot: return dot.c_str();
    case psDashDot: return dash_dot.c_str();
    case psDashDotDot: return dash_dot_dot.c_str();
    default: return nullptr;
  }
}

struct Pt {
  double x, y;
};

// Sutherland-Hodgman against one axis-aligned half plane.
template <typename Inside, typename Cut>
void clip_edge(std::vector<Pt>& poly, Inside inside, Cut cut) {
  if (poly.empty()) return;
  std::vector<Pt> out;
  out.reserve(poly.size() + 4);
  Pt prev = poly.back();
  bool prev_in = inside(prev);
  for (const Pt& cur : poly) {
    const bool cur_in = inside(cur);
    if (cur_in != prev_in) out.push_back(cut(prev, cur));
    if (cur_in) out.push_back(cur);
    prev = cur;
    prev_in = cur_in;
  }
  poly.swap(out);
}

void clip_polygon(std::vector<Pt>& poly, double x_lo, double y_lo, double x_hi, double y_hi) {
  auto at_x = [](const Pt& a, const Pt& b, double x) {
    return Pt{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)};
  };
  auto at_y = [](const Pt& a, const Pt& b, double y) {
    return Pt{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y};
  };
  clip_edge(poly, [&](const Pt& p) { return p.x >= x_lo; },
            [&](const Pt& a, const Pt& b) { return at_x(a, b, x_lo); });
  clip_edge(poly, [&](const Pt& p) { return p.x <= x_hi; },
            [&](const Pt& a, const Pt& b) { return at_x(a, b, x_hi); });
  clip_edge(poly, [&](const Pt& p) { return p.y >= y_lo; },
            [&](const Pt& a, const Pt& b) { return at_y(a, b, y_lo); });
  clip_edge(poly, [&](const Pt& p) { return p.y <= y_hi; },
            [&](const Pt& a, const Pt& b) { return at_y(a, b, y_hi); });
}

// A one-pixel line covers the pixels a .. b-1; drawn with butt caps from the centres
// moved back by half a step along the line, it covers exactly their squares.
Pt half_step(TPointDouble a, TPointDouble b) {
  const double dx = b.X - a.X, dy = b.Y - a.Y;
  const double n = std::max(std::fabs(dx), std::fabs(dy));
  if (n == 0.0) return {0.0, 0.0};
  return {dx / (2.0 * n), dy / (2.0 * n)};
}

Pt centre(TPointDouble p) { return {p.X + 0.5, p.Y + 0.5}; }

TPointDouble as_double(TPoint p) { return {double(p.X), double(p.Y)}; }

// Appends UTF-8 text as XML character data: markup characters escaped, invalid bytes
// and characters XML cannot hold replaced or dropped.
void append_text(std::string& out, std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    char32_t cp = utf8_next(s, i, Utf8Bad::sequence);
    if (cp == 0xFFFE || cp == 0xFFFF) cp = kReplacementChar;
    if (cp < 0x20 && cp != '\t') continue;
    switch (cp) {
      case '&': out += "&amp;"; continue;
      case '<': out += "&lt;"; continue;
      case '>': out += "&gt;"; continue;
      case '"': out += "&quot;"; continue;
      default: break;
    }
    utf8_append(out, cp);
  }
}

// CSS font-family list: the resolved family first, then the requested name, then the
// faces that supplied characters the font lacks, then the generic family the name
// suggests, so that viewers without the fonts stay close.
std::string family_list(const TFont& font, std::span<const ShapedGlyph> glyphs) {
  std::string out;
  auto add = [&out](const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return;
    std::string quoted = "'";
    for (char ch : name)
      if (ch != '\'' && ch != '"' && ch != '<' && ch != '>' && ch != '&') quoted += ch;
    quoted += "'";
    if (out.find(quoted) != std::string::npos) return;
    if (!out.empty()) out += ", ";
    out += quoted;
  };
  add(font_family(font));
  add(font.Name());
  for (const ShapedGlyph& g : glyphs) add(g.face->family);
  const std::string& n = font.Name();
  const char* generic = "sans-serif";
  if (n.find("Mono") != std::string::npos || n.find("Courier") != std::string::npos)
    generic = "monospace";
  else if (n.find("Serif") != std::string::npos && n.find("Sans") == std::string::npos)
    generic = "serif";
  else if (n.find("Times") != std::string::npos)
    generic = "serif";
  if (!out.empty()) out += ", ";
  out += generic;
  return out;
}

}  // namespace

bool clip_segment_to(TPointDouble& a, TPointDouble& b, double x_lo, double y_lo, double x_hi, double y_hi) {
  Pt p0{a.X, a.Y}, p1{b.X, b.Y};
  if (!clip_segment(p0, p1, x_lo, y_lo, x_hi, y_hi)) return false;
  a = {p0.x, p0.y};
  b = {p1.x, p1.y};
  return true;
}

void clip_polygon_to(std::vector<TPointDouble>& poly, double x_lo, double y_lo, double x_hi, double y_hi) {
  std::vector<Pt> v;
  v.reserve(poly.size() + 4);
  for (const TPointDouble& p : poly) v.push_back({p.X, p.Y});
  clip_polygon(v, x_lo, y_lo, x_hi, y_hi);
  poly.resize(v.size());
  for (size_t i = 0; i < v.size(); ++i) poly[i] = {v[i].x, v[i].y};
}

std::string base64_encode(const unsigned char* data, size_t size) {
  static const char table[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((size + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < size; i += 3) {
    const uint32_t v = (uint32_t(data[i]) << 16) | (uint32_t(data[i + 1]) << 8) | data[i + 2];
    out += table[v >> 18];
    out += table[(v >> 12) & 63];
    out += table[(v >> 6) & 63];
    out += table[v & 63];
  }
  if (i < size) {
    uint32_t v = uint32_t(data[i]) << 16;
    if (i + 1 < size) v |= uint32_t(data[i + 1]) << 8;
    out += table[v >> 18];
    out += table[(v >> 12) & 63];
    out += (i + 1 < size) ? table[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

SvgBackend::SvgBackend(int width, int height)
    : width_(std::max(0, width)), height_(std::max(0, height)) {}

void SvgBackend::clear() {
  body_.clear();
  elements_ = 0;
  clip_open_ = false;
}

std::string SvgBackend::document() const {
  std::string out;
  out.reserve(body_.size() + 256);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
  out +=
      "<svg xmlns=\"http://www.w3.org/2000/svg\" "
      "xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\"";
  attr(out, "width", width_);
  attr(out, "height", height_);
  out += " viewBox=\"0 0 ";
  num(out, width_);
  out += ' ';
  num(out, height_);
  out += "\">\n";
  out += body_;
  if (clip_open_) out += "</g>\n";
  out += "</svg>\n";
  return out;
}

void SvgBackend::close_clip() {
  if (!clip_open_) return;
  body_ += "</g>\n";
  clip_open_ = false;
}

void SvgBackend::set_clip(const TRect* r) {
  if (!r) {
    close_clip();
    return;
  }
  if (clip_open_ && clip_ == *r) return;
  close_clip();
  const int id = next_clip_id_++;
  body_ += "<clipPath id=\"clip";
  body_ += std::to_string(id);
  body_ += "\"><rect";
  attr(body_, "x", r->Left);
  attr(body_, "y", r->Top);
  attr(body_, "width", double(r->Right) - r->Left);
  attr(body_, "height", double(r->Bottom) - r->Top);
  body_ += "/></clipPath>\n<g clip-path=\"url(#clip";
  body_ += std::to_string(id);
  body_ += ")\">\n";
  clip_open_ = true;
  clip_ = *r;
}

// Stroke attributes; `closed` figures get mitred corners, open ones round joins.
void SvgBackend::stroke_attrs(const Stroke& s, bool closed) {
  const Paint p = paint_for(s.color, s.mode);
  body_ += " stroke=\"";
  colour(body_, p.color);
  body_ += '"';
  if (s.width > 1) {
    attr(body_, "stroke-width", s.width);
    body_ += closed ? " stroke-linejoin=\"miter\"" : " stroke-linecap=\"round\" stroke-linejoin=\"round\"";
    return;
  }
  if (!closed) body_ += " stroke-linejoin=\"round\"";
  if (const char* dash = dash_array(s.style)) {
    body_ += " stroke-dasharray=\"";
    body_ += dash;
    body_ += '"';
  }
}

void SvgBackend::line(TPoint a, TPoint b, const Stroke& s) { line_f(as_double(a), as_double(b), s); }

void SvgBackend::line_f(TPointDouble a, TPointDouble b, const Stroke& s) {
  const Paint p = paint_for(s.color, s.mode);
  if (p.skip || a == b) return;
  Pt p0 = centre(a), p1 = centre(b);
  if (s.width <= 1) {
    const Pt h = half_step(a, b);
    p0 = {p0.x - h.x, p0.y - h.y};
    p1 = {p1.x - h.x, p1.y - h.y};
  }
  if (!clip_segment(p0, p1, -kClipMargin, -kClipMargin, width_ + kClipMargin,
                    height_ + kClipMargin))
    return;
  body_ += "<line";
  attr(body_, "x1", p0.x);
  attr(body_, "y1", p0.y);
  attr(body_, "x2", p1.x);
  attr(body_, "y2", p1.y);
  stroke_attrs(s, false);
  blend_attr(body_, p.blend);
  body_ += "/>\n";
  ++elements_;
}

void SvgBackend::polyline(const TPoint* pts, int n, const Stroke& s) {
  if (n < 2) return;
  scratch_.resize(size_t(n));
  for (int i = 0; i < n; ++i) scratch_[size_t(i)] = as_double(pts[i]);
  polyline_f(scratch_.data(), n, s);
}

void SvgBackend::polyline_f(const TPointDouble* pts, int n, const Stroke& s) {
  const Paint p = paint_for(s.color, s.mode);
  if (p.skip || n < 2) return;
  const double lo_x = -kClipMargin, lo_y = -kClipMargin;
  const double hi_x = width_ + kClipMargin, hi_y = height_ + kClipMargin;
  bool far = false;
  for (int i = 0; i < n; ++i)
    if (pts[i].X < lo_x || pts[i].X > hi_x || pts[i].Y < lo_y || pts[i].Y > hi_y) far = true;
  if (far) {
    // Rare: segment by segment, each clipped on its own.
    for (int i = 0; i + 1 < n; ++i) line_f(pts[i], pts[i + 1], s);
    return;
  }
  std::vector<Pt> v;
  v.reserve(n);
  for (int i = 0; i < n; ++i) v.push_back(centre(pts[i]));
  if (s.width <= 1) {
    // Only the ends move: the first back to its pixel's edge, the last so that its
    // pixel is left out, as with LineTo.
    int i = 0;
    while (i + 1 < n && pts[i] == pts[i + 1]) ++i;
    if (i + 1 >= n) return;
    const Pt h0 = half_step(pts[i], pts[i + 1]);
    v[0] = {v[0].x - h0.x, v[0].y - h0.y};
    int j = n - 1;
    while (j > 0 && pts[j] == pts[j - 1]) --j;
    const Pt h1 = half_step(pts[j - 1], pts[j]);
    v[n - 1] = {v[n - 1].x - h1.x, v[n - 1].y - h1.y};
  }
  body_ += "<polyline points=\"";
  for (int i = 0; i < n; ++i) {
    if (i) body_ += ' ';
    num(body_, v[i].x);
    body_ += ',';
    num(body_, v[i].y);
  }
  body_ += "\" fill=\"none\"";
  stroke_attrs(s, false);
  blend_attr(body_, p.blend);
  body_ += "/>\n";
  ++elements_;
}

void SvgBackend::rectangle(const TRect& r_in, const Stroke* s, const Fill* f) {
  Paint fp, sp;
  if (f) fp = paint_for(f->color, f->mode);
  if (s) sp = paint_for(s->color, s->mode);
  const bool fill = f && !fp.skip;
  const bool stroke = s && !sp.skip;
  if (!fill && !stroke) return;

  const int sw = stroke ? std::max(1, s->width) : 1;
  const bool inside = stroke && s->style == psInsideFrame;
  // The raster centres wide bands on the edge pixels, the odd pixel outside at the
  // top-left and inside at the bottom-right; inside-frame bands stay in the box.
  const double out_lo = (stroke && !inside) ? (sw - 1) / 2 : 0;
  const double out_hi = (stroke && !inside) ? sw / 2 : 0;
  double l = r_in.Left - out_lo, t = r_in.Top - out_lo;
  double r = r_in.Right + out_hi, b = r_in.Bottom + out_hi;
  const double half = sw / 2.0;
  // Far edges are moved in to the margin; they stay out of sight, as does their outline.
  l = std::max(l, -kClipMargin - half);
  t = std::max(t, -kClipMargin - half);
  r = std::min(r, width_ + kClipMargin + half);
  b = std::min(b, height_ + kClipMargin + half);
  if (r <= l || b <= t) return;

  auto open = [&](double x, double y, double w, double h) {
    body_ += "<rect";
    attr(body_, "x", x);
    attr(body_, "y", y);
    attr(body_, "width", w);
    attr(body_, "height", h);
  };
  auto fill_attr = [&](TColor c) {
    body_ += " fill=\"";
    colour(body_, c);
    body_ += '"';
  };

  if (!stroke) {
    open(l, t, r - l, b - t);
    fill_attr(fp.color);
    blend_attr(body_, fp.blend);
    body_ += "/>\n";
    ++elements_;
    return;
  }
  // Bands that meet leave no interior: the whole box is outline.
  if (r - l <= 2 * half || b - t <= 2 * half) {
    open(l, t, r - l, b - t);
    fill_attr(sp.color);
    blend_attr(body_, sp.blend);
    body_ += "/>\n";
    ++elements_;
    return;
  }
  const bool together = fill && !fp.blend && !sp.blend;
  if (fill && !together && r - l > 2 * sw && b - t > 2 * sw) {
    // Blended fill and outline stay apart so that no pixel is blended twice.
    open(l + sw, t + sw, r - l - 2 * sw, b - t - 2 * sw);
    fill_attr(fp.color);
    blend_attr(body_, fp.blend);
    body_ += "/>\n";
    ++elements_;
  }
  open(l + half, t + half, r - l - sw, b - t - sw);
  if (fill && together)
    fill_attr(fp.color);
  else
    body_ += " fill=\"none\"";
  stroke_attrs(*s, true);
  blend_attr(body_, sp.blend);
  body_ += "/>\n";
  ++elements_;
}

// A closed shape whose geometry `open` writes: when fill and outline blend differently
// the fill is an element of its own, otherwise one element carries both.
template <typename Open>
void SvgBackend::closed_shape(Open&& open, const TColor* fill, const char* fill_blend, const Stroke* s,
                              const char* stroke_blend, bool together) {
  if (fill && !together) {
    open();
    body_ += " fill=\"";
    colour(body_, *fill);
    body_ += '"';
    blend_attr(body_, fill_blend);
    body_ += "/>\n";
    ++elements_;
  }
  open();
  if (fill && together) {
    body_ += " fill=\"";
    colour(body_, *fill);
    body_ += '"';
  } else {
    body_ += " fill=\"none\"";
  }
  if (s) stroke_attrs(*s, true);
  blend_attr(body_, s ? stroke_blend : fill_blend);
  body_ += "/>\n";
  ++elements_;
}

void SvgBackend::ellipse(const TRect& r, const Stroke* s, const Fill* f) {
  ellipse_f(r.Left, r.Top, r.Right, r.Bottom, s, f);
}

void SvgBackend::ellipse_f(double l, double t, double r, double b, const Stroke* s, const Fill* f) {
  Paint fp, sp;
  if (f) fp = paint_for(f->color, f->mode);
  if (s) sp = paint_for(s->color, s->mode);
  const bool fill = f && !fp.skip;
  const bool stroke = s && !sp.skip;
  if (!fill && !stroke) return;
  const double w = r - l, h = b - t;
  const int sw = stroke ? std::max(1, s->width) : 1;
  const double inset = (stroke && s->style == psInsideFrame) ? sw / 2.0 : 0.5;
  const double rx = w / 2.0 - inset, ry = h / 2.0 - inset;
  if (rx <= 0 || ry <= 0) {
    const TRect box{RoundPix(l), RoundPix(t), std::max(RoundPix(l) + 1, RoundPix(r)),
                    std::max(RoundPix(t) + 1, RoundPix(b))};
    rectangle(box, stroke ? s : nullptr, stroke ? nullptr : f);
    return;
  }
  const double cx = (l + r) / 2.0, cy = (t + b) / 2.0;
  const bool together = !fill || !stroke || (!fp.blend && !sp.blend);
  auto open = [&] {
    body_ += "<ellipse";
    attr(body_, "cx", cx);
    attr(body_, "cy", cy);
    attr(body_, "rx", rx);
    attr(body_, "ry", ry);
  };
  closed_shape(open, fill ? &fp.color : nullptr, fp.blend, stroke ? s : nullptr, sp.blend, together);
}

void SvgBackend::arc(const TRect& r, TPoint start, TPoint end, const Stroke& s) {
  const Paint p = paint_for(s.color, s.mode);
  if (p.skip) return;
  const ArcGeometry g = arc_geometry(r, start, end, s);
  if (!g.curve()) {
    rectangle(r, &s, nullptr);
    return;
  }
  const double cx = g.cx, cy = g.cy, rx = g.rx, ry = g.ry, ts = g.start, sweep = g.sweep;
  auto point = [&](double t) { return Pt{cx + rx * std::cos(t), cy - ry * std::sin(t)}; };
  const Pt ps = point(ts);

  body_ += "<path d=\"M";
  num(body_, ps.x);
  body_ += ',';
  num(body_, ps.y);
  auto arc_to = [&](const Pt& q, bool large) {
    body_ += " A";
    num(body_, rx);
    body_ += ',';
    num(body_, ry);
    body_ += large ? " 0 1 0 " : " 0 0 0 ";
    num(body_, q.x);
    body_ += ',';
    num(body_, q.y);
  };
  if (sweep < 1e-12) {
    // Start and end on one radial: the whole ellipse, as two halves.
    arc_to(point(ts + std::numbers::pi), false);
    arc_to(ps, false);
  } else {
    arc_to(point(ts + sweep), sweep > std::numbers::pi);
  }
  body_ += "\" fill=\"none\"";
  stroke_attrs(s, false);
  blend_attr(body_, p.blend);
  body_ += "/>\n";
  ++elements_;
}

void SvgBackend::polygon(const TPoint* pts, int n, const Stroke* s, const Fill* f) {
  if (n < 2) return;
  scratch_.resize(size_t(n));
  for (int i = 0; i < n; ++i) scratch_[size_t(i)] = as_double(pts[i]);
  polygon_f(scratch_.data(), n, s, f);
}

void SvgBackend::polygon_f(const TPointDouble* pts, int n, const Stroke* s, const Fill* f) {
  if (n < 2) return;
  Paint fp, sp;
  if (f) fp = paint_for(f->color, f->mode);
  if (s) sp = paint_for(s->color, s->mode);
  const bool fill = f && !fp.skip;
  const bool stroke = s && !sp.skip;
  if (!fill && !stroke) return;

  std::vector<Pt> v;
  v.reserve(n);
  for (int i = 0; i < n; ++i) v.push_back(centre(pts[i]));
  const double lo_x = -kClipMargin, lo_y = -kClipMargin;
  const double hi_x = width_ + kClipMargin, hi_y = height_ + kClipMargin;
  if (std::any_of(v.begin(), v.end(), [&](const Pt& q) {
        return q.x < lo_x || q.x > hi_x || q.y < lo_y || q.y > hi_y;
      })) {
    clip_polygon(v, lo_x, lo_y, hi_x, hi_y);
    if (v.size() < 2) return;
  }
  const bool together = !fill || !stroke || (!fp.blend && !sp.blend);
  auto open = [&] {
    body_ += "<polygon points=\"";
    for (size_t i = 0; i < v.size(); ++i) {
      if (i) body_ += ' ';
      num(body_, v[i].x);
      body_ += ',';
      num(body_, v[i].y);
    }
    body_ += "\" fill-rule=\"evenodd\"";
  };
  closed_shape(open, fill ? &fp.color : nullptr, fp.blend, stroke ? s : nullptr, sp.blend, together);
}

void SvgBackend::text(int x, int y, std::string_view utf8, const TextStyle& t) {
  if (!t.font || utf8.empty()) return;
  if (x < -kClipMargin || x > width_ + kClipMargin || y < -kClipMargin ||
      y > height_ + kClipMargin)
    return;
  const FontMetrics m = font_metrics(*t.font);
  if (t.opaque) {
    body_ += "<rect";
    attr(body_, "x", x);
    attr(body_, "y", y);
    attr(body_, "width", text_width(*t.font, utf8));
    attr(body_, "height", m.height);
    body_ += " fill=\"";
    colour(body_, t.background);
    body_ += "\"/>\n";
    ++elements_;
  }
  const TFontStyles st = t.font->Style();
  const int width = text_width(*t.font, utf8);
  const std::string own = font_family(*t.font);
  // The span stays valid until the next call into the font engine.
  const std::span<const ShapedGlyph> glyphs = shape_text(*t.font, utf8);
  const std::string families = family_list(*t.font, glyphs);
  const bool fallback = std::any_of(glyphs.begin(), glyphs.end(),
                                    [&own](const ShapedGlyph& g) { return g.face->family != own; });
  body_ += "<text";
  attr(body_, "x", x);
  attr(body_, "y", double(y) + m.ascent);
  // A viewer may take other faces for the characters the font lacks; the text is held
  // to the width it was laid out with.
  if (fallback) attr(body_, "textLength", width);
  body_ += " font-family=\"";
  body_ += families;
  body_ += '"';
  attr(body_, "font-size", t.font->PixelSize());
  if (st.Contains(fsBold)) body_ += " font-weight=\"bold\"";
  if (st.Contains(fsItalic)) body_ += " font-style=\"italic\"";
  if (st.Contains(fsUnderline) || st.Contains(fsStrikeOut)) {
    body_ += " text-decoration=\"";
    if (st.Contains(fsUnderline)) body_ += "underline";
    if (st.Contains(fsUnderline) && st.Contains(fsStrikeOut)) body_ += ' ';
    if (st.Contains(fsStrikeOut)) body_ += "line-through";
    body_ += '"';
  }
  body_ += " fill=\"";
  colour(body_, t.color);
  body_ += "\" xml:space=\"preserve\">";
  append_text(body_, utf8);
  body_ += "</text>\n";
  ++elements_;
}

void SvgBackend::set_pixel(int x, int y, TColor rgb) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  body_ += "<rect";
  attr(body_, "x", x);
  attr(body_, "y", y);
  body_ += " width=\"1\" height=\"1\" fill=\"";
  colour(body_, rgb);
  body_ += "\"/>\n";
  ++elements_;
}

TColor SvgBackend::get_pixel(int, int) const { return -1; }

void SvgBackend::draw_image(const TRect& dst, const TBitmap& image, const TRect& src_rect,
                            int32_t rop) {
  // Only the part of the source that exists is embedded; the destination shrinks in
  // proportion so that the picture keeps its place and scale.
  const TRect src{std::max(src_rect.Left, 0), std::max(src_rect.Top, 0),
                  std::min(src_rect.Right, image.Width()),
                  std::min(src_rect.Bottom, image.Height())};
  if (src.Right <= src.Left || src.Bottom <= src.Top) return;
  const double sw = double(src_rect.Right) - src_rect.Left;
  const double sh = double(src_rect.Bottom) - src_rect.Top;
  if (sw <= 0 || sh <= 0) return;
  const double kx = (double(dst.Right) - dst.Left) / sw;
  const double ky = (double(dst.Bottom) - dst.Top) / sh;
  const double x0 = dst.Left + (src.Left - src_rect.Left) * kx;
  const double y0 = dst.Top + (src.Top - src_rect.Top) * ky;
  const double x1 = dst.Left + (double(src.Right) - src_rect.Left) * kx;
  const double y1 = dst.Top + (double(src.Bottom) - src_rect.Top) * ky;
  if (x1 <= x0 || y1 <= y0) return;

  TBitmap part(src.Width(), src.Height());
  for (int row = 0; row < src.Height(); ++row) {
    const TRGB32* from = image.ScanLine(src.Top + row) + src.Left;
    TRGB32* to = part.ScanLine(row);
    for (int col = 0; col < src.Width(); ++col) {
      to[col] = from[col];
      to[col].A = 255;  // the copy modes ignore alpha; so does the picture
    }
  }
  const std::vector<uint8_t> png = part.SaveToPNGData();

  body_ += "<image";
  attr(body_, "x", x0);
  attr(body_, "y", y0);
  attr(body_, "width", x1 - x0);
  attr(body_, "height", y1 - y0);
  body_ += " preserveAspectRatio=\"none\" style=\"image-rendering:pixelated";
  if (const char* blend = blend_for_rop(rop)) {
    body_ += ";mix-blend-mode:";
    body_ += blend;
  }
  body_ += "\" xlink:href=\"data:image/png;base64,";
  body_ += base64_encode(png.data(), png.size());
  body_ += "\"/>\n";
  ++elements_;
}

}  // namespace kvr::detail
