// The vector PDF back end of TCanvas, on cairo's PDF surface.
//
// The pixel model is the SVG back end's: pixel (x, y) is the unit square [x, x+1] x
// [y, y+1], outlines run through pixel centres, right and bottom edges of boxes are
// excluded and one-pixel lines leave their end pixel out. A pixel is 72/dpi points, so a
// picture laid out at 96 dpi keeps its size on paper. Raster operations become blend
// modes as in SVG (difference, multiply, screen). Text is real text: the fonts are
// embedded and the words can be selected and searched; glyphs sit where the raster
// surface puts them, so labels keep fitting their boxes.
//
// cairo rather than a smaller PDF library because its PDF surface subsets and embeds the
// fonts with a text mapping (selectable, searchable words) from the same fontconfig
// match the glyph engine uses, and has the PDF blend modes the raster operations need.
//
// Pages: the document starts with one page; new_page() ends it and opens the next.
// finish() ends the document and hands out the bytes of the file.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/detail/canvas_backend.h"
#include "platform/detail/font_source.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_font_face cairo_font_face_t;

namespace kvr::detail {

// Text as positioned glyphs: the one form in which text reaches the PDF page.
struct PdfGlyph {
  unsigned long index;     // glyph index in `face`
  double x, y;             // pen position relative to the run's origin, pixels
  const FaceSource* face;  // the face that has the glyph; nullptr: the run font's face
  uint32_t cluster;        // byte offset in the run's text of the first character it shows
};
struct PdfGlyphRun {
  const TFont* font;
  TColor color;
  double x, y;      // origin on the baseline, pixels
  double advance;   // width of the run (underline, strike-out)
  const PdfGlyph* glyphs;
  int glyph_count;
  std::string_view utf8;  // empty: the glyphs are not mapped to text
};

class PdfBackend final : public CanvasBackend {
 public:
  PdfBackend(int width, int height, double dpi);
  ~PdfBackend() override;
  PdfBackend(const PdfBackend&) = delete;
  PdfBackend& operator=(const PdfBackend&) = delete;

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
  int width() const override { return width_; }
  int height() const override { return height_; }

  bool keeps_fractions() const override { return true; }
  void line_f(TPointDouble a, TPointDouble b, const Stroke& s) override;
  void polyline_f(const TPointDouble* p, int n, const Stroke& s) override;
  void polygon_f(const TPointDouble* p, int n, const Stroke* s, const Fill* f) override;
  void ellipse_f(double l, double t, double r, double b, const Stroke* s, const Fill* f) override;

  // Draws positioned glyphs with their text; every text of the back end comes here.
  void draw_glyph_run(const PdfGlyphRun& run);

  // Ends the current page; the next one is width x height pixels.
  void new_page(int width, int height);
  int page_count() const { return pages_; }
  // Ends the document (drawing afterwards is ignored) and returns the file's bytes.
  // Raises Exception when cairo failed.
  const std::string& finish(std::string_view title);

 private:
  bool paint(TColor color, TPenMode mode);
  void stroke_style(const Stroke& s, bool closed);
  void path_points(const TPointDouble* p, int n, bool closed);
  cairo_font_face_t* face_for(const TFont& font);
  cairo_font_face_t* face_for(const FaceSource& src);
  void show_glyphs(const PdfGlyphRun& run, int from, int to, std::span<const uint32_t> starts);

  int width_, height_;
  double dpi_;
  int pages_ = 1;
  bool finished_ = false;
  std::string bytes_;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  std::vector<TPointDouble> points_;   // integer input as doubles
  std::vector<TPointDouble> scratch_;  // device geometry of one primitive
  std::vector<PdfGlyph> glyphs_;
  std::vector<uint32_t> starts_;
  std::map<std::tuple<std::string, bool, bool>, cairo_font_face_t*> faces_;
  std::map<std::tuple<std::string, int, bool, bool>, cairo_font_face_t*> source_faces_;
};

}  // namespace kvr::detail
