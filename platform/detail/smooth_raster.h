// Anti-aliased drawing for the raster back end: strokes and fills with exact area
// coverage at sub-pixel positions, blended into the bitmap in one colour.
//
// A shape is built in three steps: begin() with the clip box and the fill rule, any
// number of contours and strokes, then render(). Strokes are the union of one quad per
// segment plus joins and caps, all oriented alike and filled with the nonzero rule, so
// overlapping pieces never blend twice. Coordinates are pixel edges: the centre of
// pixel (x, y) is (x + 0.5, y + 0.5). Geometry far outside the clip is cut before it
// reaches the rasteriser, so huge coordinates cost nothing and never overflow.
//
// The rasteriser (AGG's scanline rasteriser) keeps its cell blocks between shapes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics.h"
#include "platform/types.h"

#include "platform/detail/scan_fill.h"

namespace kvr {
class TBitmap;
}

namespace kvr::detail {

// Ends of an open stroke.
enum class StrokeEnds {
  flush,  // starts at the first point's pixel edge, stops half a pixel before the last
          // point: the pixels a one-pixel classic line covers
  butt,   // exactly at the end points
  round,  // half a pen beyond the end points
};

struct StrokeShape {
  double width;    // > 0
  TPenStyle style; // dashes apply to any width here
  StrokeEnds ends;
  bool round_joins;
};

class SmoothRaster {
 public:
  SmoothRaster();
  ~SmoothRaster();
  SmoothRaster(const SmoothRaster&) = delete;
  SmoothRaster& operator=(const SmoothRaster&) = delete;

  // Starts a new shape limited to clip (pixels, right and bottom excluded).
  void begin(const TRect& clip, bool even_odd);
  // A closed contour; its orientation is kept (even-odd fills do not care).
  void add_contour(const PointF* p, int n);
  void add_stroke(const PointF* p, int n, bool closed, const StrokeShape& s);
  // Points of the ellipse with centre c and half axes rx, ry, from angle a0 through
  // sweep (radians, counter-clockwise on the screen), appended to out.
  static void ellipse_points(PointF c, double rx, double ry, double a0, double sweep, bool closed,
                             std::vector<PointF>& out);
  // Blends the shape into the bitmap in colour px (packed, opaque).
  void render(TBitmap& bmp, uint32_t px);
  // Adds the shape's coverage to out, a buffer of the clip box's size (row stride given),
  // saturating at 255.
  void render_coverage(uint8_t* out, int stride);

 private:
  void add_piece(const PointF* p, int n, bool closed, const StrokeShape& s, bool first_open, bool last_open);
  void add_oriented(const PointF* p, int n);
  void add_disc(PointF c, double r);

  struct Impl;
  std::unique_ptr<Impl> impl_;
  double x0_ = 0, y0_ = 0, x1_ = 0, y1_ = 0;  // clip grown by the pen margin
  double margin_ = 0;
  std::vector<PointF> tmp_, dash_, piece_;  // scratch, kept between shapes
};

// Smooth drawing on this thread: set while a control that asks for it paints, so that
// every raster canvas the paint draws on (the component's own bitmaps included) follows.
bool smooth_paint();
void set_smooth_paint(bool on);

}  // namespace kvr::detail
