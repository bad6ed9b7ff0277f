// Geometric marks copied straight into a raster picture.
//
// Charts carry marks by the hundred thousand, and drawing each through the canvas (a
// polygon or an ellipse per mark) costs far more than the pixels it sets. With a plain
// pen in copy mode every geometric mark is a fixed set of pen and brush pixels, so each
// type is drawn once by DrawMarkOnCanvas itself on a scratch bitmap, kept as runs, and
// copied at every point. Use:
//   if (const MarkStamp* s = mark_stamp_for(canvas, type)) stamp_mark(canvas, *s, x, y);
//   else DrawMarkOnCanvas(&canvas, type, x, y);
// mark_stamp_for answers nullptr wherever the copy could differ from drawing: vector and
// scaled canvases, other resolutions, smooth drawing, pen modes other than copy, styled
// or very wide pens, character marks.
//
// Smooth drawing covers every copy of a mark alike where the copies lie the same part
// of a pixel apart: smooth_mark_stamp_for keeps that coverage (fill, then outline) for
// a whole pixel and for each sixteenth of a pixel in x and y (DrawMarkOnCanvasF), and
// the copies blend it in the mark's colours, giving the pixels of drawing each mark
// (to a level or two, where the outline's points round to another bit). Crosses and
// stars, whose strokes blend over each other, are drawn.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/canvas.h"
#include "platform/detail/pixel_ops.h"

namespace kvr::detail {

struct MarkStampRun {
  int16_t dy;
  int16_t dx;
  int16_t len;
  bool brush;  // brush colour, else pen colour
};

// Four pixels from (dx, dy) of a smooth mark, some covered in part: the fill's coverage
// is blended first and the outline's over it, as drawing does. Pixels of a group that
// are not its own have no coverage and keep what they hold.
struct MarkStampBlend {
  int16_t dy;
  int16_t dx;
  uint8_t fill[4];
  uint8_t pen[4];
};

struct MarkStamp {
  std::vector<MarkStampRun> runs;
  std::vector<MarkStampBlend> blends;  // smooth stamps only
  bool blends_fill = false;             // some group has fill coverage
  // Solid shapes fill in the pen colour whatever the brush.
  bool brush_from_pen = false;
  // Extent of the runs around the mark's point (right and bottom excluded).
  int left = 0, top = 0, right = 0, bottom = 0;
};

// Off on this thread, every mark is drawn on the canvas (the reference the copies are
// checked against). Returns the previous setting.
bool set_mark_stamps(bool on);

// The surface itself allows stamps: a plain raster canvas at 96 dpi without smooth drawing.
bool can_stamp_on(const TCanvas& c);

// The stamp of a mark drawn with a solid copy-mode pen of the width and the brush style;
// nullptr for character marks and pens too wide.
const MarkStamp* mark_stamp(Integer type, Integer width, TBrushStyle brush);

// The stamp for the canvas's present pen and brush, or nullptr when it would not be exact.
const MarkStamp* mark_stamp_for(const TCanvas& c, Integer type);

// The surface allows smooth stamps: a raster canvas at 96 dpi drawing smoothly in whole
// pixels (not through a scaled surface).
bool can_smooth_stamp_on(const TCanvas& c);

// Sub-pixel steps per pixel of smooth marks placed with their fractions.
constexpr int kMarkPhases = 16;

// The stamp of a mark drawn smoothly, or nullptr where it would not be exact: at a
// whole pixel as DrawMarkOnCanvas draws it, or px / kMarkPhases and py / kMarkPhases
// of a pixel on as DrawMarkOnCanvasF does (only for the types that keep fractions).
const MarkStamp* smooth_mark_stamp(Integer type, Integer width, TBrushStyle brush, int px = 0, int py = 0);
const MarkStamp* smooth_mark_stamp_for(const TCanvas& c, Integer type, int px = 0, int py = 0);

// Whichever of the two fits the canvas.
inline const MarkStamp* any_mark_stamp_for(const TCanvas& c, Integer type) {
  if (const MarkStamp* s = mark_stamp_for(c, type)) return s;
  return smooth_mark_stamp_for(c, type);
}

// Only the pixels, in the colours given, inside Clip (which lies within the bitmap);
// the canvas state is left alone.
void stamp_mark_pixels(TCanvas& c, const TRect& Clip, const MarkStamp& s, Integer x, Integer y,
                       TColor pen, TColor brush);

// Draws the mark in the pen and brush colours of the canvas, inside its clip rectangle;
// like DrawMarkOnCanvas it leaves pen position and brush as they were.
void stamp_mark(TCanvas& c, const MarkStamp& s, Integer x, Integer y);

// One stamp in fixed colours onto one raster canvas, for runs of marks. Marks land all
// over a picture larger than the cache, so callers that know the next places ask for
// their rows early (prefetch) and copy them a few marks later.
class MarkStamper {
 public:
  MarkStamper(TCanvas& c, const TRect& Clip, const MarkStamp& s, TColor pen, TColor brush);

  void prefetch(Integer x, Integer y) const {
    if (!whole(x, y)) return;
    // Both ends: a run of a few pixels often spans two cache lines.
    const uint32_t* at = bits_ + int64_t(y) * stride_ + x;
    for (int dy = s_.top; dy < s_.bottom; ++dy) {
      __builtin_prefetch(at + dy * stride_ + s_.left, 1);
      __builtin_prefetch(at + dy * stride_ + s_.right - 1, 1);
    }
  }

  // For runs of many marks: the stamp's runs as offsets into the picture with their
  // colours, single pixels apart, worked out once instead of at every mark.
  void plan();

  void stamp(Integer x, Integer y) const {
    if (planned_ && whole(s_, x, y)) {
      stamp_planned(bits_ + int64_t(y) * stride_ + x);
      return;
    }
    stamp(s_, x, y);
  }

  // Another stamp of the same mark (a sub-pixel phase) in the stamper's colours.
  void stamp(const MarkStamp& s, Integer x, Integer y) const {
    // Whole marks need no clipping per run.
    if (whole(s, x, y)) {
      uint32_t* at = bits_ + int64_t(y) * stride_ + x;
      for (const MarkStampRun& r : s.runs) {
        uint32_t* d = at + int64_t(r.dy) * stride_ + r.dx;
        const uint32_t* v = r.brush ? brush4_ : pen4_;
        // Runs are short: blocks of four, the last one overlapping, instead of a loop
        // that works out its tail for every run.
        if (r.len >= 4) {
          for (int k = 0; k + 4 < r.len; k += 4) std::memcpy(d + k, v, 16);
          std::memcpy(d + r.len - 4, v, 16);
        } else {
          for (int k = 0; k < r.len; ++k) d[k] = v[0];
        }
      }
      for (const MarkStampBlend& b : s.blends) put4(s, at + int64_t(b.dy) * stride_ + b.dx, b);
      return;
    }
    stamp_clipped(s, x, y);
  }

 private:
  bool whole(int64_t x, int64_t y) const { return whole(s_, x, y); }
  bool whole(const MarkStamp& s, int64_t x, int64_t y) const {
    return y + s.top >= clip_.Top && y + s.bottom <= clip_.Bottom && x + s.left >= clip_.Left &&
           x + s.right <= clip_.Right;
  }
  void stamp_clipped(const MarkStamp& s, Integer x, Integer y) const;
  void stamp_planned(uint32_t* at) const {
    for (int k = 0; k < n_single_; ++k) at[single_[k].off] = single_[k].px;
    for (int k = 0; k < n_long_; ++k) {
      uint32_t* d = at + long_[k].off;
      const int len = long_[k].len;
      const uint32_t* v = long_[k].v;
      if (len >= 4) {
        for (int i = 0; i + 4 < len; i += 4) std::memcpy(d + i, v, 16);
        std::memcpy(d + len - 4, v, 16);
      } else {
        // Two pairs, overlapping for three pixels.
        std::memcpy(d, v, 8);
        std::memcpy(d + len - 2, v, 8);
      }
    }
    for (int k = 0; k < n_blend_; ++k) put4(s_, at + blend_off_[k], s_.blends[size_t(k)]);
  }
  void put(uint32_t* d, const MarkStampBlend& b, int k) const {
    uint32_t v = *d;
    if (b.fill[k]) v = blend(v, brush_, b.fill[k]);
    if (b.pen[k]) v = blend(v, pen_, b.pen[k]);
    *d = v;
  }
#if defined(__SSE2__)
  // blend() on four pixels at once, to the bit: 16-bit lanes hold src * cov + dst *
  // (255 - cov) + 128 without overflow, and (t + (t >> 8)) >> 8 divides by 255.
  static __m128i blend4(__m128i d, __m128i src16, const uint8_t* cov) {
    const __m128i zero = _mm_setzero_si128();
    uint32_t c4;
    std::memcpy(&c4, cov, 4);
    __m128i c = _mm_cvtsi32_si128(int(c4));
    c = _mm_unpacklo_epi8(c, c);
    c = _mm_unpacklo_epi16(c, c);  // each pixel's coverage in its four bytes
    const __m128i k255 = _mm_set1_epi16(255), k128 = _mm_set1_epi16(128);
    auto half = [&](__m128i dd, __m128i cc) {
      __m128i t = _mm_add_epi16(_mm_mullo_epi16(src16, cc), _mm_mullo_epi16(dd, _mm_sub_epi16(k255, cc)));
      t = _mm_add_epi16(t, k128);
      return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
    };
    const __m128i r = _mm_packus_epi16(half(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(c, zero)),
                                       half(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(c, zero)));
    // Blended pixels come out opaque, untouched ones as they were.
    const __m128i opaque = _mm_andnot_si128(_mm_cmpeq_epi8(c, zero), _mm_set1_epi32(int(0xFF000000u)));
    return _mm_or_si128(r, opaque);
  }
  void put4(const MarkStamp& s, uint32_t* d, const MarkStampBlend& b) const {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    if (s.blends_fill) v = blend4(v, brush16_, b.fill);
    v = blend4(v, pen16_, b.pen);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v);
  }
  __m128i pen16_, brush16_;
#else
  void put4(const MarkStamp&, uint32_t* d, const MarkStampBlend& b) const {
    for (int k = 0; k < 4; ++k) put(d + k, b, k);
  }
#endif

  const MarkStamp& s_;
  TRect clip_;
  uint32_t* bits_;
  int64_t stride_;
  uint32_t pen_, brush_;
  uint32_t pen4_[4], brush4_[4];
  static constexpr int kPlanMax = 64;
  struct Single {
    int32_t off;
    uint32_t px;
  };
  struct Long {
    int32_t off;
    int32_t len;
    const uint32_t* v;
  };
  bool planned_ = false;
  int n_single_ = 0, n_long_ = 0, n_blend_ = 0;
  Single single_[kPlanMax];
  Long long_[kPlanMax];
  int32_t blend_off_[kPlanMax];
};

}  // namespace kvr::detail
