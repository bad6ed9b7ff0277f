// The interface between TCanvas and a concrete surface. TCanvas checks and normalises
// every primitive (sorted corners, excluded right/bottom edges, clear pens and brushes
// already dropped) so that a back end never sees degenerate input.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/graphics.h"
#include "platform/types.h"

namespace kvr {
class TBitmap;
}

namespace kvr::detail {

// On and off runs, in pixels, of the dashed pen styles (empty for the others). Every
// back end draws dashes from this one table.
inline std::span<const int> dash_runs(TPenStyle style) {
  static constexpr int dash[] = {18, 6}, dot[] = {3, 3}, dash_dot[] = {9, 6, 3, 6},
                       dash_dot_dot[] = {9, 3, 3, 3, 3, 3};
  switch (style) {
    case psDash: return dash;
    case psDot: return dot;
    case psDashDot: return dash_dot;
    case psDashDotDot: return dash_dot_dot;
    default: return {};
  }
}

struct Stroke {
  TColor color;  // already resolved to RGB
  TPenStyle style;
  int width;  // >= 1
  TPenMode mode;
};

struct Fill {
  TColor color;  // already resolved to RGB
  TPenMode mode;
};

struct TextStyle {
  const TFont* font;
  TColor color;       // resolved font colour
  TColor background;  // resolved brush colour
  bool opaque;        // fill the text cell with the background
};

class CanvasBackend {
 public:
  virtual ~CanvasBackend() = default;

  // A line from a to b; b itself is left out.
  virtual void line(TPoint a, TPoint b, const Stroke& s) = 0;
  // Connected lines through n >= 2 points; the last point is left out.
  virtual void polyline(const TPoint* p, int n, const Stroke& s) = 0;
  // r is sorted with r.Right > r.Left and r.Bottom > r.Top; either of s and f may be null.
  virtual void rectangle(const TRect& r, const Stroke* s, const Fill* f) = 0;
  virtual void ellipse(const TRect& r, const Stroke* s, const Fill* f) = 0;
  // Counter-clockwise from the radial through start to the radial through end.
  virtual void arc(const TRect& r, TPoint start, TPoint end, const Stroke& s) = 0;
  // Closed polygon, n >= 2, filled with the alternate rule.
  virtual void polygon(const TPoint* p, int n, const Stroke* s, const Fill* f) = 0;
  // (x, y) is the top-left corner of the text cell.
  virtual void text(int x, int y, std::string_view utf8, const TextStyle& t) = 0;
  virtual void set_pixel(int x, int y, TColor rgb) = 0;
  // -1 outside the surface or where the surface cannot be read.
  virtual TColor get_pixel(int x, int y) const = 0;
  // Copies src_rect of the image into dst (stretching when the sizes differ) with a
  // raster operation (SRCCOPY, SRCAND, SRCPAINT, SRCINVERT). Rectangles are sorted.
  virtual void draw_image(const TRect& dst, const TBitmap& image, const TRect& src_rect,
                          int32_t rop) = 0;
  // Limits drawing to r (already sorted); nullptr lifts the limit.
  virtual void set_clip(const TRect* r) = 0;
  // Pixel size of the surface, for GetDeviceCaps' HORZRES/VERTRES.
  virtual int width() const = 0;
  virtual int height() const = 0;
  // The bitmap behind a raster surface; nullptr for vector surfaces.
  virtual TBitmap* bitmap() { return nullptr; }
};

}  // namespace kvr::detail
