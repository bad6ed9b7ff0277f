// The raster back end: draws onto the pixels of a TBitmap. Every primitive clips to
// the intersection of the bitmap and the clip rectangle before it steps, picks its span
// writer once, and works in horizontal runs.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/bitmap.h"

#include "platform/detail/canvas_backend.h"
#include "platform/detail/pixel_ops.h"
#include "platform/detail/scan_fill.h"

namespace kvr::detail {

class RasterBackend final : public CanvasBackend {
 public:
  explicit RasterBackend(TBitmap& bitmap) : bmp_(bitmap) {}

  void line(TPoint a, TPoint b, const Stroke& s) override;
  void polyline(const TPoint* p, int n, const Stroke& s) override;
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

 private:
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
};

}  // namespace kvr::detail
