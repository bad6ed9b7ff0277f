// The raster back end: draws onto the pixels of a TBitmap. Every primitive clips to
// the intersection of the bitmap and the clip rectangle before it steps, picks its span
// writer once, and works in horizontal runs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/bitmap.h"

#include "platform/detail/canvas_backend.h"
#include "platform/detail/pixel_ops.h"
#include "platform/detail/scan_fill.h"
#include "platform/detail/smooth_raster.h"

namespace kvr::detail {

class RasterBackend final : public CanvasBackend {
 public:
  explicit RasterBackend(TBitmap& bitmap) : bmp_(bitmap) {}

  void line(TPoint a, TPoint b, const Stroke& s) override;
  // A thin solid copy-mode line with both ends visible; false when the line is not
  // of that kind and needs the general path. Inline so that the canvas can call it
  // without a virtual call: dense curves are millions of such lines.
  bool fast_line(TPoint a, TPoint b, TColor rgb);
  void polyline(const TPoint* p, int n, const Stroke& s) override;
  // polygon() for a small contour inside the clip, filled and outlined in copy mode with
  // a thin solid pen (either may be missing): the same pixels by a shorter way, as
  // surface plots draw thousands of small cells. False, with nothing drawn, for any
  // other polygon.
  bool fast_polygon(const TPoint* p, int n, const Stroke* s, const Fill* f);
  void rectangle(const TRect& r, const Stroke* s, const Fill* f) override;
  void ellipse(const TRect& r, const Stroke* s, const Fill* f) override;
  void arc(const TRect& r, TPoint start, TPoint end, const Stroke& s) override;
  void polygon(const TPoint* p, int n, const Stroke* s, const Fill* f) override;
  void text(int x, int y, std::string_view utf8, const TextStyle& t) override;
  void set_pixel(int x, int y, TColor rgb) override;
  TColor get_pixel(int x, int y) const override;
  void draw_image(const TRect& dst, const TBitmap& image, const TRect& src_rect,
                  int32_t rop) override;
  void set_clip(const TRect* r) override;
  int width() const override;
  int height() const override;
  TBitmap* bitmap() override { return &bmp_; }

  // Smooth drawing: lines, outlines and fills in copy mode are anti-aliased (the other
  // pen modes stay aliased, so that drawing twice still restores the picture). On when
  // set here or while a control that asks for it paints on this thread.
  void set_smooth(bool on) { smooth_ = on; }
  bool smooth() const { return smooth_ || smooth_paint(); }
  // Sub-pixel shapes for smooth drawing; (x, y) is the centre of pixel (x, y) when both
  // are whole numbers, as with the integer calls.
  void smooth_polyline(const PointF* p, int n, bool closed, const Stroke& s);
  void smooth_polygon(const PointF* p, int n, const Stroke* s, const Fill* f);
  // l, t, r, b are pixel edges (the box of Ellipse).
  void smooth_ellipse(double l, double t, double r, double b, const Stroke* s, const Fill* f);

  // Coverage of the last small smooth shape (a mark): fill and outline. Mark stamps
  // take it over from a scratch canvas that drew one mark.
  struct ShapeMask {
    std::vector<int> key;  // empty until a small shape was drawn
    TPoint anchor{};       // of the drawing that built the mask
    TRect box{};           // relative to the shape's anchor
    std::vector<uint8_t> cov[2];
  };
  const ShapeMask& last_small_shape() const { return mask_; }
  // While set, smooth shapes add their coverage to m (over m.box, in pixels) instead
  // of drawing; stamps of marks at sub-pixel places are made this way.
  void capture_coverage(ShapeMask* m) { building_ = m; }

 private:
  bool smooth_for(TPenMode m) const { return m == pmCopy && smooth(); }
  static constexpr int kSmallShape = 48;
  template <class Draw>
  void small_shape(TPoint anchor, const TRect& extent, int pen, const Stroke* s, const Fill* f, Draw&& draw);
  static void crop(ShapeMask& m);
  TRect aa_clip() const;
  void aa_finish(uint32_t px, int part);
  SmoothRaster& aa();
  const PointF* centres(const TPoint* p, int n);
  // Bitmap bounds meet the clip rectangle; cached until either changes.
  TRect clip_box() const {
    if (cached_w_ != bmp_.Width() || cached_h_ != bmp_.Height()) {
      cached_clip_ = compute_clip();
      cached_w_ = bmp_.Width();
      cached_h_ = bmp_.Height();
    }
    return cached_clip_;
  }
  TRect compute_clip() const;
  uint32_t* row(int y) const;
  // Fills [x0, x1) x [y0, y1), already clipped.
  void fill_box(int x0, int y0, int x1, int y1, uint32_t color, SpanWriter w);
  void fill_rect_clipped(TRect r, uint32_t color, SpanWriter w);
  // Everything but the fast path of line(), kept out of line so that the fast path
  // stays small.
  [[gnu::noinline]] void line_general(TPoint a, TPoint b, const Stroke& s);
  void thin_line(TPoint a, TPoint b, const Stroke& s, long long pattern_start);
  void wide_polyline(const TPoint* p, int n, const Stroke& s, bool closed);

  TBitmap& bmp_;
  bool user_clip_ = false;
  TRect clip_{};
  mutable TRect cached_clip_{};
  mutable int cached_w_ = -1, cached_h_ = -1;
  ScanFiller filler_;
  std::vector<PointF> scratch_;
  std::vector<int> map_buf_;
  bool smooth_ = false;
  std::unique_ptr<SmoothRaster> aa_;  // made on first smooth use
  std::vector<PointF> fpts_;
  ShapeMask mask_;
  ShapeMask* building_ = nullptr;  // set while mask_ is being drawn
  std::vector<int> key_;
  std::vector<PointF> shape_pts_;
};

// Pixel offsets of every line of at most Steps steps by the thin line's stepping rule
// (step i has minor offset floor((2*dm*i + n) / (2n))). Slots past a line's length hold
// its first pixel, so that a caller may take the same stores for every line.
template <int Steps>
struct StepTable {
  struct Line {
    int8_t n;
    int8_t ox[Steps], oy[Steps];
  };
  static constexpr int kSide = 2 * Steps + 1;
  std::array<Line, kSide * kSide> lines{};

  constexpr StepTable() {
    for (int dy = -Steps; dy <= Steps; ++dy)
      for (int dx = -Steps; dx <= Steps; ++dx) {
        Line& l = lines[(dy + Steps) * kSide + dx + Steps];
        const int adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
        const bool xmajor = adx >= ady;
        const int n = xmajor ? adx : ady, dm = xmajor ? ady : adx;
        l.n = int8_t(n);
        for (int i = 0; i < n; ++i) {
          const int k = (2 * dm * i + n) / (2 * n);
          const int ox = xmajor ? i : k, oy = xmajor ? k : i;
          l.ox[i] = int8_t(dx < 0 ? -ox : ox);
          l.oy[i] = int8_t(dy < 0 ? -oy : oy);
        }
      }
  }
  // The line from (0, 0) by (dx, dy); both within [-Steps, Steps].
  constexpr const Line& at(int dx, int dy) const { return lines[(dy + Steps) * kSide + dx + Steps]; }
  static constexpr bool holds(int dx, int dy) {
    return unsigned(dx + Steps) < unsigned(kSide) && unsigned(dy + Steps) < unsigned(kSide);
  }
};

inline constexpr StepTable<3> kShortLines{};

inline bool RasterBackend::fast_line(TPoint a, TPoint b, TColor rgb) {
  const TRect c = clip_box();
  const uint32_t cw = uint32_t(c.Right) - uint32_t(c.Left), ch = uint32_t(c.Bottom) - uint32_t(c.Top);
  if (!(uint32_t(a.X) - uint32_t(c.Left) < cw && uint32_t(b.X) - uint32_t(c.Left) < cw &&
        uint32_t(a.Y) - uint32_t(c.Top) < ch && uint32_t(b.Y) - uint32_t(c.Top) < ch))
    return false;
  const int dx = b.X - a.X, dy = b.Y - a.Y;
  const int adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const ptrdiff_t stride = bmp_.Width();
  uint32_t* const p0 = row(a.Y) + a.X;
  const uint32_t pen = pack_opaque(rgb);
  if (adx <= 3 && ady <= 3) {
    // A fixed number of writes, no branches; writes past the segment's length go to a
    // scratch word.
    const auto& l = kShortLines.at(dx, dy);
    uint32_t sink;
    for (int i = 0; i < 3; ++i) *(i < l.n ? p0 + l.oy[i] * stride + l.ox[i] : &sink) = pen;
    return true;
  }
  const ptrdiff_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -stride : stride;
  const bool xmajor = adx >= ady;
  const ptrdiff_t step_major = xmajor ? sx : sy, step_minor = xmajor ? sy : sx;
  const int n = xmajor ? adx : ady, two_dm = 2 * (xmajor ? ady : adx), two_n = 2 * n;
  uint32_t* p = p0;
  // Branch-free minor steps: their pattern is unpredictable.
  int rem = n;
  for (int i = 0; i < n; ++i) {
    *p = pen;
    rem += two_dm;
    const int carry = -int(rem >= two_n);
    rem -= two_n & carry;
    p += step_major + (step_minor & ptrdiff_t(carry));
  }
  return true;
}

}  // namespace kvr::detail
