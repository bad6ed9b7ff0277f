// The vector back end of TCanvas: records every primitive as SVG elements.
//
// Geometry follows the raster rules so that a chart looks the same in both: pixel
// (x, y) is the unit square [x, x+1] x [y, y+1], outlines run through pixel centres,
// right and bottom edges of boxes are excluded, and one-pixel lines leave their end
// pixel out. Pen styles 1..4 become dash arrays (one-pixel pens only, as on the raster).
//
// Raster operations have no exact vector form. They are approximated with blend modes:
//   xor, not, not-xor, SRCINVERT   mix-blend-mode: difference (exact for white and black
//                                  operands, so xor bands drawn in white still invert
//                                  and a second pass still restores the picture)
//   mask (and), SRCAND             multiply      merge (or), SRCPAINT   screen
//   not-copy                       the inverted colour, plain
//   black, white                   that colour; nop draws nothing
// Operations that read the inverted destination use the nearest of these.
// Pixels cannot be read back: get_pixel answers -1.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/detail/canvas_backend.h"

namespace kvr::detail {

class SvgBackend final : public CanvasBackend {
 public:
  SvgBackend(int width, int height);

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
  // Sub-pixel geometry stays as it is: a chart's items keep their world positions.
  bool keeps_fractions() const override { return true; }
  void line_f(TPointDouble a, TPointDouble b, const Stroke& s) override;
  void polyline_f(const TPointDouble* p, int n, const Stroke& s) override;
  void polygon_f(const TPointDouble* p, int n, const Stroke* s, const Fill* f) override;
  void ellipse_f(double l, double t, double r, double b, const Stroke* s, const Fill* f) override;
  int width() const override { return width_; }
  int height() const override { return height_; }

  // The complete document: everything drawn so far, closed.
  std::string document() const;
  // Forgets everything drawn; the size stays.
  void clear();
  // Number of elements recorded (for callers that want to know whether anything was drawn).
  int element_count() const { return elements_; }

 private:
  void close_clip();
  // Integer input is passed on through these as doubles, converted once.
  std::vector<TPointDouble> scratch_;
  void stroke_attrs(const Stroke& s, bool closed);
  template <typename Open>
  void closed_shape(Open&& open, const TColor* fill, const char* fill_blend, const Stroke* s,
                    const char* stroke_blend, bool together);

  int width_;
  int height_;
  std::string body_;
  int elements_ = 0;
  int next_clip_id_ = 1;
  bool clip_open_ = false;
  TRect clip_{};
};

// Clipping of vector geometry to a box, shared by the vector back ends: the segment
// (false when nothing is left) and the polygon (Sutherland-Hodgman).
bool clip_segment_to(TPointDouble& a, TPointDouble& b, double x_lo, double y_lo, double x_hi, double y_hi);
void clip_polygon_to(std::vector<TPointDouble>& poly, double x_lo, double y_lo, double x_hi, double y_hi);

// Standard base64 (with padding), as used for embedded images.
std::string base64_encode(const unsigned char* data, size_t size);

}  // namespace kvr::detail
