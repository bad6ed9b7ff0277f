// A back end that takes a picture laid out in screen pixels and draws it, scaled by
// `scale` with its top-left at `origin`, onto another back end (a printer page, a larger
// bitmap). Lines, shapes and text are drawn afresh at the device's resolution, while the
// layout, and every measurement made through the canvas (text widths included), stays
// that of the screen.
//
// Screen pixel v covers the device range [edge(v), edge(v + 1)); one-pixel pens become
// pens of `scale` device pixels, dashes keep their proportions, fonts are set to the
// device's resolution. The device's clip is set to `device_clip` on construction and
// changed by set_clip; the owner restores the device's own clip afterwards.
#pragma once

#include <vector>

#include "platform/detail/canvas_backend.h"
#include "platform/detail/scan_fill.h"
#include "platform/graphics.h"
#include "platform/types.h"

namespace kvr::detail {

class RasterBackend;

class ScaledBackend final : public CanvasBackend {
 public:
  ScaledBackend(CanvasBackend& device, TPoint origin, double scale, int width, int height, TRect device_clip);

  void line(TPoint a, TPoint b, const Stroke& s) override;
  void polyline(const TPoint* p, int n, const Stroke& s) override;
  void rectangle(const TRect& r, const Stroke* s, const Fill* f) override;
  void ellipse(const TRect& r, const Stroke* s, const Fill* f) override;
  void arc(const TRect& r, TPoint start, TPoint end, const Stroke& s) override;
  void polygon(const TPoint* p, int n, const Stroke* s, const Fill* f) override;
  void text(int x, int y, std::string_view utf8, const TextStyle& t) override;
  void set_pixel(int x, int y, TColor rgb) override;
  TColor get_pixel(int x, int y) const override;
  void draw_image(const TRect& dst, const TBitmap& image, const TRect& src_rect, int32_t rop) override;
  void set_clip(const TRect* r) override;
  // Sub-pixel geometry goes on to a device that keeps it, scaled without rounding.
  bool keeps_fractions() const override { return dev_.keeps_fractions(); }
  bool smooth_fractions() const override;
  void line_f(TPointDouble a, TPointDouble b, const Stroke& s) override;
  void polyline_f(const TPointDouble* p, int n, const Stroke& s) override;
  void polygon_f(const TPointDouble* p, int n, const Stroke* s, const Fill* f) override;
  void ellipse_f(double l, double t, double r, double b, const Stroke* s, const Fill* f) override;
  int width() const override { return w_; }
  int height() const override { return h_; }

  // Device pixels covered by `pixels` screen pixels: edge(pixels) - edge(0).
  static Integer scaled_size(Integer pixels, double scale);

 private:
  using PointF = detail::PointF;

  Integer edge_x(long long v) const;
  Integer edge_y(long long v) const;
  TRect box(long long l, long long t, long long r, long long b) const;
  PointF mid(double x, double y) const { return {org_.X + (x + 0.5) * s_, org_.Y + (y + 0.5) * s_}; }
  static TPoint to_point(PointF p);
  TPoint centre(TPoint p) const { return to_point(mid(p.X, p.Y)); }
  const TPoint* centres(const TPoint* p, int n);
  int pen_width(int w) const;
  Stroke scaled(const Stroke& s) const;
  void fill_box(long long l, long long t, long long r, long long b, const Fill& f);
  void thin_path(const TPoint* p, int n, bool closed, const Stroke& s);
  void flush(const Stroke& s);
  bool visible_steps(TPoint a, TPoint b, long long n, double& t0, double& t1) const;
  // The device when it draws smooth in this mode: it then takes the exact device
  // positions instead of whole pixels.
  RasterBackend* smooth_device(TPenMode mode) const;
  const PointF* mids(const TPoint* p, int n);
  const PointF* mids(const TPointDouble* p, int n);

  CanvasBackend& dev_;
  RasterBackend* raster_;  // dev_ when it is a raster surface
  TPoint org_;
  double s_;
  int w_, h_;
  TRect box_;  // the picture's place on the device, within the device's clip
  TFont font_;
  std::vector<PointF> run_;  // the on-run being collected, in device coordinates
  std::vector<TPoint> pts_;
  std::vector<TPoint> corners_;
  std::vector<TPointDouble> fcorners_;
  std::vector<PointF> mids_;
};

}  // namespace kvr::detail
