// PDF output through cairo. See pdf_backend.h for the pixel model; the geometry mirrors
// the SVG back end so that both vector forms of a picture agree.
#include "platform/detail/pdf_backend.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/arith.h"
#include "platform/bitmap.h"
#include "platform/detail/font_engine.h"
#include "platform/detail/font_source.h"
#include "platform/detail/svg_backend.h"
#include "platform/detail/utf8.h"
#include "platform/kvrerror.h"

namespace kvr::detail {

namespace {

// cairo keeps coordinates in 24.8 fixed point; geometry reaching beyond this margin
// around the page is clipped first so that the visible part stays exact.
constexpr double kClipMargin = 65536.0;

cairo_status_t append_bytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

TColor invert(TColor c) { return (~c) & 0xFFFFFF; }

TPointDouble centre(TPointDouble p) { return {p.X + 0.5, p.Y + 0.5}; }

TPointDouble as_double(TPoint p) { return {double(p.X), double(p.Y)}; }

// A one-pixel line covers the pixels a .. b-1: with butt caps from the centres moved
// back by half a step along the line it covers exactly their squares.
TPointDouble half_step(TPointDouble a, TPointDouble b) {
  const double dx = b.X - a.X, dy = b.Y - a.Y;
  const double n = std::max(std::fabs(dx), std::fabs(dy));
  if (n == 0.0) return {0.0, 0.0};
  return {dx / (2.0 * n), dy / (2.0 * n)};
}

cairo_operator_t blend_for_rop(int32_t rop) {
  switch (rop) {
    case SRCINVERT: return CAIRO_OPERATOR_DIFFERENCE;
    case SRCAND: return CAIRO_OPERATOR_MULTIPLY;
    case SRCPAINT: return CAIRO_OPERATOR_SCREEN;
    default: return CAIRO_OPERATOR_OVER;
  }
}

}  // namespace

PdfBackend::PdfBackend(int width, int height, double dpi)
    : width_(std::max(0, width)), height_(std::max(0, height)), dpi_(dpi > 0 ? dpi : 96.0) {
  const double k = 72.0 / dpi_;
  surface_ = cairo_pdf_surface_create_for_stream(&append_bytes, &bytes_, std::max(1.0, width_ * k),
                                                 std::max(1.0, height_ * k));
  cr_ = cairo_create(surface_);
  cairo_scale(cr_, k, k);
}

PdfBackend::~PdfBackend() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
  for (auto& [key, face] : faces_) cairo_font_face_destroy(face);
  for (auto& [key, face] : source_faces_) cairo_font_face_destroy(face);
}

// Source colour and operator of a pen mode; false when the mode draws nothing.
bool PdfBackend::paint(TColor c, TPenMode mode) {
  cairo_operator_t op = CAIRO_OPERATOR_OVER;
  switch (mode) {
    case pmBlack: c = 0x000000; break;
    case pmWhite: c = 0xFFFFFF; break;
    case pmNop: return false;
    case pmNot: c = 0xFFFFFF, op = CAIRO_OPERATOR_DIFFERENCE; break;
    case pmNotCopy: c = invert(c); break;
    case pmXor: op = CAIRO_OPERATOR_DIFFERENCE; break;
    case pmNotXor: c = invert(c), op = CAIRO_OPERATOR_DIFFERENCE; break;
    case pmMask:
    case pmMaskPenNot: op = CAIRO_OPERATOR_MULTIPLY; break;
    case pmMaskNotPen:
    case pmNotMerge: c = invert(c), op = CAIRO_OPERATOR_MULTIPLY; break;
    case pmMerge:
    case pmMergePenNot: op = CAIRO_OPERATOR_SCREEN; break;
    case pmMergeNotPen:
    case pmNotMask: c = invert(c), op = CAIRO_OPERATOR_SCREEN; break;
    default: break;
  }
  cairo_set_source_rgb(cr_, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
  cairo_set_operator(cr_, op);
  return true;
}

// Closed figures get mitred corners, open ones round joins; wide open lines round ends.
void PdfBackend::stroke_style(const Stroke& s, bool closed) {
  cairo_set_line_width(cr_, std::max(1, s.width));
  cairo_set_line_join(cr_, closed ? CAIRO_LINE_JOIN_MITER : CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr_, s.width > 1 && !closed ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
  const std::span<const int> runs = s.width > 1 ? std::span<const int>() : dash_runs(s.style);
  double dashes[8];
  const int n = int(std::min<size_t>(runs.size(), 8));
  for (int i = 0; i < n; ++i) dashes[i] = runs[size_t(i)];
  cairo_set_dash(cr_, n ? dashes : nullptr, n, 0.0);
}

void PdfBackend::path_points(const TPointDouble* p, int n, bool closed) {
  cairo_new_path(cr_);
  cairo_move_to(cr_, p[0].X, p[0].Y);
  for (int i = 1; i < n; ++i) cairo_line_to(cr_, p[i].X, p[i].Y);
  if (closed) cairo_close_path(cr_);
}

void PdfBackend::line(TPoint a, TPoint b, const Stroke& s) { line_f(as_double(a), as_double(b), s); }

void PdfBackend::line_f(TPointDouble a, TPointDouble b, const Stroke& s) {
  if (a == b) return;
  TPointDouble p0 = centre(a), p1 = centre(b);
  if (s.width <= 1) {
    const TPointDouble h = half_step(a, b);
    p0 = {p0.X - h.X, p0.Y - h.Y};
    p1 = {p1.X - h.X, p1.Y - h.Y};
  }
  if (!clip_segment_to(p0, p1, -kClipMargin, -kClipMargin, width_ + kClipMargin, height_ + kClipMargin)) return;
  if (!paint(s.color, s.mode)) return;
  const TPointDouble pts[2] = {p0, p1};
  path_points(pts, 2, false);
  stroke_style(s, false);
  cairo_stroke(cr_);
}

void PdfBackend::polyline(const TPoint* p, int n, const Stroke& s) {
  if (n < 2) return;
  points_.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) points_[size_t(i)] = as_double(p[i]);
  polyline_f(points_.data(), n, s);
}

void PdfBackend::polyline_f(const TPointDouble* pts, int n, const Stroke& s) {
  if (n < 2) return;
  const double lo = -kClipMargin, hi_x = width_ + kClipMargin, hi_y = height_ + kClipMargin;
  for (int i = 0; i < n; ++i) {
    if (pts[i].X < lo || pts[i].X > hi_x || pts[i].Y < lo || pts[i].Y > hi_y) {
      // Rare: segment by segment, each clipped on its own.
      for (int k = 0; k + 1 < n; ++k) line_f(pts[k], pts[k + 1], s);
      return;
    }
  }
  scratch_.resize(size_t(n));
  for (int i = 0; i < n; ++i) scratch_[size_t(i)] = centre(pts[i]);
  if (s.width <= 1) {
    // Only the ends move: the first back to its pixel's edge, the last so that its
    // pixel is left out, as with LineTo.
    int i = 0;
    while (i + 1 < n && pts[i] == pts[i + 1]) ++i;
    if (i + 1 >= n) return;
    const TPointDouble h0 = half_step(pts[i], pts[i + 1]);
    scratch_[0] = {scratch_[0].X - h0.X, scratch_[0].Y - h0.Y};
    int j = n - 1;
    while (j > 0 && pts[j] == pts[j - 1]) --j;
    const TPointDouble h1 = half_step(pts[j - 1], pts[j]);
    scratch_[size_t(n - 1)] = {scratch_[size_t(n - 1)].X - h1.X, scratch_[size_t(n - 1)].Y - h1.Y};
  }
  if (!paint(s.color, s.mode)) return;
  path_points(scratch_.data(), n, false);
  stroke_style(s, false);
  cairo_stroke(cr_);
}

void PdfBackend::rectangle(const TRect& r_in, const Stroke* s, const Fill* f) {
  const int sw = s ? std::max(1, s->width) : 1;
  const bool inside = s && s->style == psInsideFrame;
  // The raster centres wide bands on the edge pixels, the odd pixel outside at the
  // top-left and inside at the bottom-right; inside-frame bands stay in the box.
  const double out_lo = (s && !inside) ? (sw - 1) / 2 : 0;
  const double out_hi = (s && !inside) ? sw / 2 : 0;
  const double half = sw / 2.0;
  const double l = std::max(r_in.Left - out_lo, -kClipMargin - half);
  const double t = std::max(r_in.Top - out_lo, -kClipMargin - half);
  const double r = std::min(r_in.Right + out_hi, width_ + kClipMargin + half);
  const double b = std::min(r_in.Bottom + out_hi, height_ + kClipMargin + half);
  if (r <= l || b <= t) return;
  if (!s) {
    if (!paint(f->color, f->mode)) return;
    cairo_rectangle(cr_, l, t, r - l, b - t);
    cairo_fill(cr_);
    return;
  }
  // Bands that meet leave no interior: the whole box is outline.
  if (r - l <= 2 * half || b - t <= 2 * half) {
    if (!paint(s->color, s->mode)) return;
    cairo_rectangle(cr_, l, t, r - l, b - t);
    cairo_fill(cr_);
    return;
  }
  // A blended fill stays clear of the outline so that no point is blended twice.
  if (f && paint(f->color, f->mode)) {
    const double in = f->mode == pmCopy ? half : sw;
    if (r - l > 2 * in && b - t > 2 * in) {
      cairo_rectangle(cr_, l + in, t + in, r - l - 2 * in, b - t - 2 * in);
      cairo_fill(cr_);
    }
  }
  if (!paint(s->color, s->mode)) return;
  cairo_rectangle(cr_, l + half, t + half, r - l - sw, b - t - sw);
  stroke_style(*s, true);
  cairo_stroke(cr_);
}

void PdfBackend::ellipse(const TRect& r, const Stroke* s, const Fill* f) {
  ellipse_f(r.Left, r.Top, r.Right, r.Bottom, s, f);
}

void PdfBackend::ellipse_f(double l, double t, double r, double b, const Stroke* s, const Fill* f) {
  const int sw = s ? std::max(1, s->width) : 1;
  const double inset = (s && s->style == psInsideFrame) ? sw / 2.0 : 0.5;
  const double rx = (r - l) / 2.0 - inset, ry = (b - t) / 2.0 - inset;
  if (rx <= 0 || ry <= 0) {
    const TRect box{RoundPix(l), RoundPix(t), std::max(RoundPix(l) + 1, RoundPix(r)),
                    std::max(RoundPix(t) + 1, RoundPix(b))};
    rectangle(box, s, s ? nullptr : f);
    return;
  }
  const double cx = (l + r) / 2.0, cy = (t + b) / 2.0;
  if (std::fabs(cx) > kClipMargin + width_ + rx || std::fabs(cy) > kClipMargin + height_ + ry) return;
  auto shape = [&] {
    cairo_new_path(cr_);
    cairo_save(cr_);
    cairo_translate(cr_, cx, cy);
    cairo_scale(cr_, rx, ry);
    cairo_arc(cr_, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_restore(cr_);
  };
  if (f && paint(f->color, f->mode)) {
    shape();
    cairo_fill(cr_);
  }
  if (s && paint(s->color, s->mode)) {
    shape();
    stroke_style(*s, true);
    cairo_stroke(cr_);
  }
}

void PdfBackend::arc(const TRect& r, TPoint start, TPoint end, const Stroke& s) {
  const ArcGeometry g = arc_geometry(r, start, end, s);
  if (!g.curve()) {
    rectangle(r, &s, nullptr);
    return;
  }
  const double cx = g.cx, cy = g.cy, rx = g.rx, ry = g.ry, ts = g.start;
  // Start and end on one radial: all of it. cairo's angles run the other way in y-down space.
  const double sweep = g.sweep < 1e-12 ? 2 * std::numbers::pi : g.sweep;
  if (!paint(s.color, s.mode)) return;
  cairo_new_path(cr_);
  cairo_save(cr_);
  cairo_translate(cr_, cx, cy);
  cairo_scale(cr_, rx, ry);
  cairo_arc_negative(cr_, 0, 0, 1, -ts, -ts - sweep);
  cairo_restore(cr_);
  stroke_style(s, false);
  cairo_stroke(cr_);
}

void PdfBackend::polygon(const TPoint* p, int n, const Stroke* s, const Fill* f) {
  if (n < 2) return;
  points_.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) points_[size_t(i)] = as_double(p[i]);
  polygon_f(points_.data(), n, s, f);
}

void PdfBackend::polygon_f(const TPointDouble* pts, int n, const Stroke* s, const Fill* f) {
  if (n < 2) return;
  scratch_.resize(size_t(n));
  for (int i = 0; i < n; ++i) scratch_[size_t(i)] = centre(pts[i]);
  const double lo = -kClipMargin, hi_x = width_ + kClipMargin, hi_y = height_ + kClipMargin;
  if (std::any_of(scratch_.begin(), scratch_.end(),
                  [&](const TPointDouble& q) { return q.X < lo || q.X > hi_x || q.Y < lo || q.Y > hi_y; })) {
    clip_polygon_to(scratch_, lo, lo, hi_x, hi_y);
    if (scratch_.size() < 2) return;
  }
  const int m = int(scratch_.size());
  if (f && paint(f->color, f->mode)) {
    path_points(scratch_.data(), m, true);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr_);
  }
  if (s && paint(s->color, s->mode)) {
    path_points(scratch_.data(), m, true);
    stroke_style(*s, true);
    cairo_stroke(cr_);
  }
}

// The face the glyph engine draws the font with (the same lookup and the same one
// fallback), so the PDF embeds the face the raster picture shows.
cairo_font_face_t* PdfBackend::face_for(const TFont& font) {
  const bool bold = font.Style().Contains(fsBold), italic = font.Style().Contains(fsItalic);
  const FaceSource* src = resolve_face(font.Name(), bold, italic);
  if (!src) src = resolve_face("DejaVu Sans", bold, italic);
  if (src) return face_for(*src);
  auto key = std::make_tuple(font.Name(), bold, italic);
  if (auto it = faces_.find(key); it != faces_.end()) return it->second;
  cairo_font_face_t* face =
      cairo_toy_font_face_create("sans-serif", italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                                 bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  faces_.emplace(std::move(key), face);
  return face;
}

void PdfBackend::text(int x, int y, std::string_view raw, const TextStyle& t) {
  if (!t.font || raw.empty()) return;
  if (x < -kClipMargin || x > width_ + kClipMargin || y < -kClipMargin || y > height_ + kClipMargin) return;
  // cairo takes valid UTF-8 only; broken bytes become the replacement character, which
  // is also what the raster surface shows for them.
  std::string utf8;
  utf8.reserve(raw.size());
  for (size_t i = 0; i < raw.size();) {
    const char32_t cp = utf8_next(raw, i, Utf8Bad::sequence);
    if (cp >= 0x20 || cp == '\t') utf8_append(utf8, cp);
  }
  const FontMetrics m = font_metrics(*t.font);
  if (t.opaque && paint(t.background, pmCopy)) {
    cairo_rectangle(cr_, x, y, text_width(*t.font, raw), m.height);
    cairo_fill(cr_);
  }
  if (utf8.empty()) return;
  // The glyphs of the shaping the raster surface draws: fallback faces, right-to-left
  // order and kerning come out alike, and the clusters keep the words selectable.
  glyphs_.clear();
  int32_t pen = 0;
  for (const ShapedGlyph& g : shape_text(*t.font, utf8)) {
    glyphs_.push_back({g.glyph, (pen + g.x_offset) / 64.0, -g.y_offset / 64.0, g.face, g.cluster});
    pen += g.x_advance;
  }
  const PdfGlyphRun run{t.font, t.color, double(x), double(y) + m.ascent, pen / 64.0, glyphs_.data(),
                        int(glyphs_.size()), utf8};
  draw_glyph_run(run);
}

// The face file the shaper took a glyph from, with the style it had to make up.
cairo_font_face_t* PdfBackend::face_for(const FaceSource& src) {
  auto key = std::make_tuple(src.file, src.index, src.synth_bold, src.synth_italic);
  if (auto it = source_faces_.find(key); it != source_faces_.end()) return it->second;
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FILE, reinterpret_cast<const FcChar8*>(src.file.c_str()));
  FcPatternAddInteger(pat, FC_INDEX, src.index);
  cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pat);
  FcPatternDestroy(pat);
  if (face && cairo_font_face_status(face) == CAIRO_STATUS_SUCCESS) {
    unsigned synth = 0;
    if (src.synth_bold) synth |= CAIRO_FT_SYNTHESIZE_BOLD;
    if (src.synth_italic) synth |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
    if (synth) cairo_ft_font_face_set_synthesize(face, synth);
  }
  source_faces_.emplace(std::move(key), face);
  return face;
}

// Glyphs [from, to) of one face whose characters follow each other in the text, forwards
// or backwards (right-to-left): one text object that maps the glyphs to their bytes.
void PdfBackend::show_glyphs(const PdfGlyphRun& run, int from, int to, std::span<const uint32_t> starts) {
  static thread_local std::vector<cairo_glyph_t> cglyphs_;
  static thread_local std::vector<cairo_text_cluster_t> cclusters_;
  const PdfGlyph* gl = run.glyphs;
  cairo_set_font_face(cr_, gl[from].face ? face_for(*gl[from].face) : face_for(*run.font));
  cairo_set_font_size(cr_, run.font->PixelSize());
  cglyphs_.clear();
  for (int i = from; i < to; ++i) cglyphs_.push_back({gl[i].index, run.x + gl[i].x, run.y + gl[i].y});
  if (run.utf8.empty() || gl[from].cluster >= run.utf8.size()) {
    cairo_show_glyphs(cr_, cglyphs_.data(), int(cglyphs_.size()));
    return;
  }
  // A cluster reaches up to the next larger cluster start (or the end of the text).
  auto end_of = [&](uint32_t c) {
    const auto it = std::upper_bound(starts.begin(), starts.end(), c);
    return it == starts.end() ? uint32_t(run.utf8.size()) : *it;
  };
  const bool backward = to - from > 1 && gl[to - 1].cluster < gl[from].cluster;
  cclusters_.clear();
  uint32_t lo = UINT32_MAX, hi = 0;
  for (int i = from; i < to;) {
    int j = i + 1;
    while (j < to && gl[j].cluster == gl[i].cluster) ++j;
    const uint32_t c = gl[i].cluster, e = end_of(c);
    cclusters_.push_back({int(e - c), j - i});
    lo = std::min(lo, c);
    hi = std::max(hi, e);
    i = j;
  }
  cairo_show_text_glyphs(cr_, run.utf8.data() + lo, int(hi - lo), cglyphs_.data(), int(cglyphs_.size()),
                         cclusters_.data(), int(cclusters_.size()),
                         backward ? CAIRO_TEXT_CLUSTER_FLAG_BACKWARD : cairo_text_cluster_flags_t(0));
}

void PdfBackend::draw_glyph_run(const PdfGlyphRun& run) {
  if (!run.font || run.glyph_count <= 0 || !paint(run.color, pmCopy)) return;
  const PdfGlyph* gl = run.glyphs;
  starts_.clear();
  for (int i = 0; i < run.glyph_count; ++i)
    if (gl[i].cluster < run.utf8.size()) starts_.push_back(gl[i].cluster);
  std::sort(starts_.begin(), starts_.end());
  starts_.erase(std::unique(starts_.begin(), starts_.end()), starts_.end());
  auto next_start = [&](uint32_t c) {
    const auto it = std::upper_bound(starts_.begin(), starts_.end(), c);
    return it == starts_.end() ? uint32_t(run.utf8.size()) : *it;
  };
  // Pieces of one face and one direction whose clusters are neighbours in the text.
  for (int from = 0; from < run.glyph_count;) {
    int to = from + 1;
    int dir = 0;
    for (; to < run.glyph_count; ++to) {
      const PdfGlyph &p = gl[to - 1], &q = gl[to];
      if (q.face != p.face || q.cluster >= run.utf8.size()) break;
      if (q.cluster == p.cluster) continue;
      const int d = q.cluster == next_start(p.cluster) ? 1 : p.cluster == next_start(q.cluster) ? -1 : 0;
      if (d == 0 || (dir != 0 && d != dir)) break;
      dir = d;
    }
    show_glyphs(run, from, to, starts_);
    from = to;
  }
  const TFontStyles st = run.font->Style();
  if (!st.Contains(fsUnderline) && !st.Contains(fsStrikeOut)) return;
  const FontMetrics m = font_metrics(*run.font);
  auto bar = [&](double top) {
    cairo_rectangle(cr_, run.x, top, run.advance, m.line_thickness);
    cairo_fill(cr_);
  };
  if (st.Contains(fsUnderline)) bar(run.y + m.underline_pos - m.line_thickness / 2);
  if (st.Contains(fsStrikeOut)) bar(run.y - m.strike_pos);
}

void PdfBackend::set_pixel(int x, int y, TColor rgb) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || !paint(rgb, pmCopy)) return;
  cairo_rectangle(cr_, x, y, 1, 1);
  cairo_fill(cr_);
}

TColor PdfBackend::get_pixel(int, int) const { return -1; }

void PdfBackend::draw_image(const TRect& dst, const TBitmap& image, const TRect& src_rect, int32_t rop) {
  // Only the part of the source that exists is embedded; the destination shrinks in
  // proportion so that the picture keeps its place and scale.
  const TRect src{std::max(src_rect.Left, 0), std::max(src_rect.Top, 0), std::min(src_rect.Right, image.Width()),
                  std::min(src_rect.Bottom, image.Height())};
  if (src.Right <= src.Left || src.Bottom <= src.Top) return;
  const double sw = double(src_rect.Right) - src_rect.Left, sh = double(src_rect.Bottom) - src_rect.Top;
  if (sw <= 0 || sh <= 0) return;
  const double kx = (double(dst.Right) - dst.Left) / sw, ky = (double(dst.Bottom) - dst.Top) / sh;
  const double x0 = dst.Left + (src.Left - src_rect.Left) * kx;
  const double y0 = dst.Top + (src.Top - src_rect.Top) * ky;
  const double x1 = dst.Left + (double(src.Right) - src_rect.Left) * kx;
  const double y1 = dst.Top + (double(src.Bottom) - src_rect.Top) * ky;
  if (x1 <= x0 || y1 <= y0) return;
  cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_RGB24, src.Width(), src.Height());
  if (cairo_surface_status(img) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(img);
    return;
  }
  unsigned char* data = cairo_image_surface_get_data(img);
  const int stride = cairo_image_surface_get_stride(img);
  // cairo's RGB24 is B, G, R, unused on little-endian machines: the bitmap's own layout.
  for (int row = 0; row < src.Height(); ++row)
    std::memcpy(data + size_t(row) * stride, image.ScanLine(src.Top + row) + src.Left, size_t(src.Width()) * 4);
  cairo_surface_mark_dirty(img);
  cairo_save(cr_);
  cairo_translate(cr_, x0, y0);
  cairo_scale(cr_, (x1 - x0) / src.Width(), (y1 - y0) / src.Height());
  cairo_set_source_surface(cr_, img, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
  cairo_set_operator(cr_, blend_for_rop(rop));
  cairo_rectangle(cr_, 0, 0, src.Width(), src.Height());
  cairo_fill(cr_);
  cairo_restore(cr_);
  cairo_surface_destroy(img);
}

void PdfBackend::set_clip(const TRect* r) {
  cairo_reset_clip(cr_);
  if (!r) return;
  cairo_new_path(cr_);
  cairo_rectangle(cr_, r->Left, r->Top, double(r->Right) - r->Left, double(r->Bottom) - r->Top);
  cairo_clip(cr_);
}

void PdfBackend::new_page(int width, int height) {
  if (finished_) return;
  cairo_show_page(cr_);
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  const double k = 72.0 / dpi_;
  cairo_pdf_surface_set_size(surface_, std::max(1.0, width_ * k), std::max(1.0, height_ * k));
  ++pages_;
}

const std::string& PdfBackend::finish(std::string_view title) {
  if (finished_) return bytes_;
  finished_ = true;
  if (!title.empty()) {
    const std::string t(title);
    cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_TITLE, t.c_str());
  }
  cairo_surface_finish(surface_);
  const cairo_status_t st = cairo_surface_status(surface_);
  if (st != CAIRO_STATUS_SUCCESS) {
    bytes_.clear();
    RaiseKvrError<Exception>(std::string("PDF output failed: ") + cairo_status_to_string(st));
  }
  return bytes_;
}

}  // namespace kvr::detail
