// TCanvas: the stateful drawing surface every component paints on.
//
// A canvas keeps a pen, a brush, a font, the pen position, the copy mode and the text
// alignment, and hands each primitive to its back end as one call: the raster back end
// of a TBitmap, or the vector (SVG) back end of a metafile canvas. Pixel rules follow
// the desktop framework the components were designed for:
//   - LineTo draws from the pen position and leaves the end pixel out;
//   - Rectangle, Ellipse, Arc and FillRect exclude the right and bottom edges;
//   - Arc runs counter-clockwise from the radial through the start point;
//   - Polygon fills with the alternate rule, then outlines with the pen;
//   - TextOut puts the top-left corner of the text cell at the point (by default).
// Pen modes (copy, xor, not, ...) apply to lines, outlines and brush fills; copy modes
// apply to bitmap transfers. Coordinates anywhere in the 32-bit range are safe.
//
// Threads: distinct canvases may be drawn on from distinct threads at the same time (text
// included: fonts and glyph caches are kept per thread); one canvas, with its pen, brush
// and font, is used by one thread at a time.
#pragma once

#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics.h"
#include "platform/types.h"

namespace kvr {

class TBitmap;
class TCanvas;
namespace detail {
class CanvasBackend;
class RasterBackend;
struct Stroke;
struct PointF;
}

using HDC = TCanvas*;

// Raster operations of CopyMode.
constexpr int32_t SRCCOPY = 0x00CC0020;
constexpr int32_t SRCAND = 0x008800C6;
constexpr int32_t SRCPAINT = 0x00EE0086;
constexpr int32_t SRCINVERT = 0x00660046;
constexpr int32_t cmSrcCopy = SRCCOPY;
constexpr int32_t cmSrcAnd = SRCAND;
constexpr int32_t cmSrcPaint = SRCPAINT;
constexpr int32_t cmSrcInvert = SRCINVERT;

// Text alignment flags of SetTextAlign.
constexpr unsigned TA_NOUPDATECP = 0;
constexpr unsigned TA_UPDATECP = 1;
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;

// Indices of GetDeviceCaps.
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int ASPECTX = 40;
constexpr int ASPECTY = 42;
constexpr int ASPECTXY = 44;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

struct TSize {
  Integer cx = 0;
  Integer cy = 0;
};

class TCanvas : public TPersistent {
 public:
  explicit TCanvas(std::unique_ptr<detail::CanvasBackend> backend);
  ~TCanvas() override;

  TPen* Pen() { return &FPen; }
  TBrush* Brush() { return &FBrush; }
  TFont* Font() { return &FFont; }
  const TPen* Pen() const { return &FPen; }
  const TBrush* Brush() const { return &FBrush; }
  const TFont* Font() const { return &FFont; }
  void SetFont(const TFont* f) { FFont.Assign(f); }

  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(TPoint p) {
    FPenPos = p;
    FPenPosF = TPointDouble{double(p.X), double(p.Y)};
  }
  // The pen position as MoveToF/LineToF left it (the integer one is its rounding).
  TPointDouble PenPosF() const { return FPenPosF; }
  int32_t CopyMode() const { return FCopyMode; }
  void SetCopyMode(int32_t v) { FCopyMode = v; }
  unsigned TextAlign() const { return FTextAlign; }
  // Returns the previous alignment.
  unsigned SetTextAlign(unsigned flags);

  // Drawing is limited to the clip rectangle (right and bottom excluded).
  TRect ClipRect() const;
  void SetClipRect(const TRect& r);
  void ResetClip();

  void MoveTo(Integer X, Integer Y) { SetPenPos(TPoint{X, Y}); }
  void LineTo(Integer X, Integer Y);
  void Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void FillRect(const TRect& r);
  void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  void Arc(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4,
           Integer Y4);
  void Polygon(std::span<const TPoint> Points);
  void Polygon(std::initializer_list<TPoint> Points) { Polygon(std::span(Points.begin(), Points.size())); }
  // Moves the pen position to the last point.
  void Polyline(std::span<const TPoint> Points);
  void Polyline(std::initializer_list<TPoint> Points) { Polyline(std::span(Points.begin(), Points.size())); }

  // Sub-pixel forms of the primitives above, in the same pixel model (integral values
  // mean what the integer calls mean). Vector surfaces (SVG, PDF) and smooth raster
  // drawing keep the fractions; otherwise every coordinate is rounded half to even
  // (RoundPix) and drawn exactly as the integer call. EllipseF takes the bounding box
  // like Ellipse.
  void MoveToF(double X, double Y);
  void LineToF(double X, double Y);
  void PolylineF(std::span<const TPointDouble> Points);
  void PolygonF(std::span<const TPointDouble> Points);
  void EllipseF(double X1, double Y1, double X2, double Y2);
  // True when the surface keeps the fractions of the F calls.
  bool KeepsFractions() const;

  // Smooth drawing: lines, polylines, arcs, ellipses and polygons in copy mode are
  // anti-aliased at sub-pixel positions on a raster canvas; rectangles, text and the
  // other pen modes (exclusive-or bands) are drawn as without it. Also on while a control
  // whose Smooth is set paints on this thread (see TSmoothDrawing).
  bool Smooth() const;
  void SetSmooth(bool v);

  void TextOut(Integer X, Integer Y, std::string_view Text);
  Integer TextWidth(std::string_view Text) const;
  Integer TextHeight(std::string_view Text) const;
  TSize TextExtent(std::string_view Text) const;

  // -1 outside the surface.
  TColor Pixels(Integer X, Integer Y) const;
  void SetPixels(Integer X, Integer Y, TColor Color);

  void Draw(Integer X, Integer Y, const TBitmap* Graphic);
  void StretchDraw(const TRect& Dest, const TBitmap* Graphic);
  // Copies a rectangle of a raster canvas; sources without pixels are ignored.
  void CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SrcRect);

  HDC Handle() { return this; }
  // GetDeviceCaps for this surface: resolution, aspect and size.
  int DeviceCaps(int Index) const;
  // Resolution reported through LOGPIXELSX/LOGPIXELSY (96 for the screen).
  void SetResolution(Integer PixelsPerInch) { FResolution = PixelsPerInch; }
  Integer Resolution() const { return FResolution; }

  // The bitmap behind a raster canvas, nullptr for a vector canvas.
  TBitmap* Bitmap() const;
  detail::CanvasBackend* Backend() const { return FBackend.get(); }

 private:
  bool SmoothStroke(detail::Stroke& s) const;
  bool PixelCentres(std::span<const TPointDouble> Points);
  // The F calls go to the back end with their fractions (vector, or smooth through a
  // scaled raster).
  bool BackendFractions() const;

  TPen FPen;
  TBrush FBrush;
  TFont FFont;
  TPoint FPenPos;
  TPointDouble FPenPosF;  // the same position with the fractions of the ...F calls
  int32_t FCopyMode = SRCCOPY;
  unsigned FTextAlign = 0;
  Integer FResolution = 96;
  bool FClipped = false;
  TRect FClip;
  std::unique_ptr<detail::CanvasBackend> FBackend;
  detail::RasterBackend* FRaster;  // the same back end when it is a raster one
  std::vector<TPoint> FPoints;             // scratch of the ...F calls
  std::vector<detail::PointF> FPointsF;
};

// Smooth drawing on every raster canvas of this thread while it lives (or plain drawing
// when On is false and no outer one asks for smooth). Controls hold one while they paint.
class TSmoothDrawing {
 public:
  explicit TSmoothDrawing(bool On);
  ~TSmoothDrawing();
  TSmoothDrawing(const TSmoothDrawing&) = delete;
  TSmoothDrawing& operator=(const TSmoothDrawing&) = delete;

 private:
  bool FOuter;
};

// The two device calls the components make on a canvas handle.
unsigned SetTextAlign(HDC DC, unsigned Flags);
int GetDeviceCaps(HDC DC, int Index);

}  // namespace kvr
