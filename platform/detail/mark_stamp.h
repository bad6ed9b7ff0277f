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
// Smooth drawing puts a mark at a whole pixel as well, and the rasteriser covers every
// copy alike; smooth_mark_stamp_for keeps that coverage (fill, then outline) and the
// copies blend it in the mark's colours, giving the very pixels of drawing each mark.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/canvas.h"
#include "platform/detail/pixel_ops.h"

namespace kvr::detail {

struct MarkStampRun {
  int16_t dy;
  int16_t dx;
  int16_t len;
  bool brush;  // brush colour, else pen colour
};

// A pixel a smooth mark covers in part: the fill's coverage is blended first and the
// outline's over it, as drawing does.
struct MarkStampBlend {
  int16_t dy;
  int16_t dx;
  uint8_t fill;
  uint8_t pen;
};

struct MarkStamp {
  std::vector<MarkStampRun> runs;
  std::vector<MarkStampBlend> blends;  // smooth stamps only
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

// The stamp of a mark drawn smoothly, or nullptr where it would not be exact.
const MarkStamp* smooth_mark_stamp(Integer type, Integer width, TBrushStyle brush);
const MarkStamp* smooth_mark_stamp_for(const TCanvas& c, Integer type);

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

  void stamp(Integer x, Integer y) const {
    // Whole marks need no clipping per run.
    if (whole(x, y)) {
      uint32_t* at = bits_ + int64_t(y) * stride_ + x;
      for (const MarkStampRun& r : s_.runs) {
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
      for (const MarkStampBlend& b : s_.blends) put(at + int64_t(b.dy) * stride_ + b.dx, b);
      return;
    }
    stamp_clipped(x, y);
  }

 private:
  bool whole(int64_t x, int64_t y) const {
    return y + s_.top >= clip_.Top && y + s_.bottom <= clip_.Bottom && x + s_.left >= clip_.Left &&
           x + s_.right <= clip_.Right;
  }
  void stamp_clipped(Integer x, Integer y) const;
  void put(uint32_t* d, const MarkStampBlend& b) const {
    uint32_t v = *d;
    if (b.fill) v = blend(v, brush_, b.fill);
    if (b.pen) v = blend(v, pen_, b.pen);
    *d = v;
  }

  const MarkStamp& s_;
  TRect clip_;
  uint32_t* bits_;
  int64_t stride_;
  uint32_t pen_, brush_;
  uint32_t pen4_[4], brush4_[4];
};

}  // namespace kvr::detail
