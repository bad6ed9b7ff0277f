#include "platform/canvas.h"

#include <algorithm>
#include <cmath>

#include "platform/arith.h"
#include "platform/bitmap.h"
#include "platform/detail/canvas_backend.h"
#include "platform/detail/font_engine.h"
#include "platform/detail/raster_backend.h"

namespace kvr {
namespace {

TRect sorted(Integer x1, Integer y1, Integer x2, Integer y2) {
  return TRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

}  // namespace

TCanvas::TCanvas(std::unique_ptr<detail::CanvasBackend> backend)
    : FBackend(std::move(backend)), FRaster(dynamic_cast<detail::RasterBackend*>(FBackend.get())) {}

TCanvas::~TCanvas() = default;

unsigned TCanvas::SetTextAlign(unsigned flags) {
  const unsigned old = FTextAlign;
  FTextAlign = flags;
  return old;
}

TRect TCanvas::ClipRect() const {
  TRect r{0, 0, FBackend->width(), FBackend->height()};
  if (FClipped) {
    r.Left = std::max(r.Left, FClip.Left);
    r.Top = std::max(r.Top, FClip.Top);
    r.Right = std::max(r.Left, std::min(r.Right, FClip.Right));
    r.Bottom = std::max(r.Top, std::min(r.Bottom, FClip.Bottom));
  }
  return r;
}

void TCanvas::SetClipRect(const TRect& r) {
  FClipped = true;
  FClip = sorted(r.Left, r.Top, r.Right, r.Bottom);
  FBackend->set_clip(&FClip);
}

void TCanvas::ResetClip() {
  FClipped = false;
  FBackend->set_clip(nullptr);
}

// Pen and brush turn into one description each per primitive; a clear pen or brush
// gives none, so back ends only see what they have to draw.
static bool stroke_of(const TPen& pen, detail::Stroke& s) {
  if (pen.Style() == psClear || pen.Mode() == pmNop) return false;
  const TColor c = pen.Color();
  s = detail::Stroke{c >= 0 ? c & 0xFFFFFF : ColorToRGB(c), pen.Style(), std::max<Integer>(1, pen.Width()),
                     pen.Mode()};
  return true;
}

static bool fill_of(const TBrush& brush, const TPen& pen, detail::Fill& f) {
  if (brush.Style() == bsClear || pen.Mode() == pmNop) return false;
  f = detail::Fill{ColorToRGB(brush.Color()), pen.Mode()};
  return true;
}

void TCanvas::LineTo(Integer X, Integer Y) {
  const TPoint from = FPenPos;
  SetPenPos(TPoint{X, Y});
  // Dense curves are millions of short lines: the raster surface takes the plain ones
  // without a virtual call.
  if (FRaster && !FRaster->smooth() && FPen.Style() == psSolid && FPen.Mode() == pmCopy && FPen.Width() <= 1 && FPen.Color() >= 0 &&
      FRaster->fast_line(from, FPenPos, FPen.Color() & 0xFFFFFF))
    return;
  detail::Stroke s;
  if (stroke_of(FPen, s)) FBackend->line(from, FPenPos, s);
}

void TCanvas::Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  const TRect r = sorted(X1, Y1, X2, Y2);
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  detail::Stroke s;
  detail::Fill f;
  const bool hs = stroke_of(FPen, s), hf = fill_of(FBrush, FPen, f);
  if (hs || hf) FBackend->rectangle(r, hs ? &s : nullptr, hf ? &f : nullptr);
}

void TCanvas::FillRect(const TRect& r0) {
  const TRect r = sorted(r0.Left, r0.Top, r0.Right, r0.Bottom);
  if (r.Right <= r.Left || r.Bottom <= r.Top || FBrush.Style() == bsClear) return;
  // FillRect ignores the pen, including its mode.
  const detail::Fill f{ColorToRGB(FBrush.Color()), pmCopy};
  FBackend->rectangle(r, nullptr, &f);
}

void TCanvas::Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) {
  const TRect r = sorted(X1, Y1, X2, Y2);
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  detail::Stroke s;
  detail::Fill f;
  const bool hs = stroke_of(FPen, s), hf = fill_of(FBrush, FPen, f);
  if (hs || hf) FBackend->ellipse(r, hs ? &s : nullptr, hf ? &f : nullptr);
}

void TCanvas::Arc(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4,
                  Integer Y4) {
  const TRect r = sorted(X1, Y1, X2, Y2);
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  detail::Stroke s;
  if (stroke_of(FPen, s)) FBackend->arc(r, TPoint{X3, Y3}, TPoint{X4, Y4}, s);
}

void TCanvas::Polygon(std::span<const TPoint> Points) {
  if (Points.size() < 2 || Points.size() > 0x7FFFFFFF) return;
  detail::Stroke s;
  detail::Fill f;
  const bool hs = stroke_of(FPen, s), hf = fill_of(FBrush, FPen, f) && Points.size() >= 3;
  if (!hs && !hf) return;
  // Small cells by the thousand (surface plots) skip the virtual call and the clipping.
  if (FRaster && FRaster->fast_polygon(Points.data(), int(Points.size()), hs ? &s : nullptr, hf ? &f : nullptr))
    return;
  FBackend->polygon(Points.data(), int(Points.size()), hs ? &s : nullptr, hf ? &f : nullptr);
}

void TCanvas::Polyline(std::span<const TPoint> Points) {
  if (Points.empty() || Points.size() > 0x7FFFFFFF) return;
  SetPenPos(Points.back());
  detail::Stroke s;
  if (Points.size() >= 2 && stroke_of(FPen, s)) FBackend->polyline(Points.data(), int(Points.size()), s);
}

namespace {

TPoint rounded(double x, double y) { return TPoint{RoundPix(x), RoundPix(y)}; }
TPoint rounded(TPointDouble p) { return rounded(p.X, p.Y); }

// Coordinates a vector surface can take as they are; anything else goes the integer way,
// which clamps it.
bool finite_point(TPointDouble p) {
  return std::fabs(p.X) <= kMaxPixelCoord && std::fabs(p.Y) <= kMaxPixelCoord;
}

bool finite_points(std::span<const TPointDouble> p) {
  for (const TPointDouble& q : p)
    if (!finite_point(q)) return false;
  return true;
}

bool finite(TPointDouble p) { return std::isfinite(p.X) && std::isfinite(p.Y); }

// The raster form of a point list: each point rounded, in the canvas's scratch buffer.
std::span<const TPoint> round_points(std::span<const TPointDouble> p, std::vector<TPoint>& out) {
  out.resize(p.size());
  for (size_t i = 0; i < p.size(); ++i) out[i] = rounded(p[i]);
  return out;
}

}  // namespace

bool TCanvas::KeepsFractions() const { return FBackend->keeps_fractions(); }

bool TCanvas::Smooth() const { return (FRaster && FRaster->smooth()) || FBackend->smooth_fractions(); }

bool TCanvas::BackendFractions() const {
  return KeepsFractions() || (FPen.Mode() == pmCopy && FBackend->smooth_fractions());
}

void TCanvas::SetSmooth(bool v) {
  if (FRaster) FRaster->set_smooth(v);
}

// Smooth raster drawing takes the fractions too; without it the rounded points go
// through the integer calls, so both kinds of call draw alike.
bool TCanvas::SmoothStroke(detail::Stroke& s) const {
  return FRaster && FPen.Mode() == pmCopy && FRaster->smooth() && stroke_of(FPen, s);
}

void TCanvas::MoveToF(double X, double Y) {
  FPenPos = rounded(X, Y);
  FPenPosF = TPointDouble{X, Y};
}

void TCanvas::LineToF(double X, double Y) {
  // The fractions hold only while nothing else has moved the pen (TextOut, SetPenPos).
  const TPoint r = rounded(FPenPosF);
  const TPointDouble from =
      r.X == FPenPos.X && r.Y == FPenPos.Y ? FPenPosF : TPointDouble{double(FPenPos.X), double(FPenPos.Y)};
  const TPointDouble to{X, Y};
  detail::Stroke s;
  if (BackendFractions() && finite_point(from) && finite_point(to)) {
    MoveToF(X, Y);
    if (stroke_of(FPen, s)) FBackend->line_f(from, to, s);
    return;
  }
  if (SmoothStroke(s) && finite(from) && finite(to)) {
    MoveToF(X, Y);
    const detail::PointF pts[2] = {{from.X + 0.5, from.Y + 0.5}, {to.X + 0.5, to.Y + 0.5}};
    FRaster->smooth_polyline(pts, 2, false, s);
    return;
  }
  const TPoint a = rounded(from), b = rounded(to);
  FPenPos = a;
  LineTo(b.X, b.Y);
  FPenPosF = to;
}

// Centres of the points for the smooth rasteriser, in the canvas's scratch buffer;
// false when a point is not finite.
bool TCanvas::PixelCentres(std::span<const TPointDouble> Points) {
  FPointsF.resize(Points.size());
  for (size_t i = 0; i < Points.size(); ++i) {
    if (!finite(Points[i])) return false;
    FPointsF[i] = {Points[i].X + 0.5, Points[i].Y + 0.5};
  }
  return true;
}

void TCanvas::PolylineF(std::span<const TPointDouble> Points) {
  if (Points.empty() || Points.size() > 0x7FFFFFFF) return;
  detail::Stroke s;
  if (BackendFractions() && finite_points(Points)) {
    MoveToF(Points.back().X, Points.back().Y);
    if (Points.size() >= 2 && stroke_of(FPen, s)) FBackend->polyline_f(Points.data(), int(Points.size()), s);
    return;
  }
  if (SmoothStroke(s) && PixelCentres(Points)) {
    MoveToF(Points.back().X, Points.back().Y);
    if (Points.size() >= 2) FRaster->smooth_polyline(FPointsF.data(), int(Points.size()), false, s);
    return;
  }
  Polyline(round_points(Points, FPoints));
  FPenPosF = Points.back();
}

void TCanvas::PolygonF(std::span<const TPointDouble> Points) {
  if (Points.size() < 2 || Points.size() > 0x7FFFFFFF) return;
  detail::Stroke s;
  detail::Fill f;
  const bool hs = stroke_of(FPen, s), hf = fill_of(FBrush, FPen, f) && Points.size() >= 3;
  if (BackendFractions() && finite_points(Points)) {
    if (hs || hf)
      FBackend->polygon_f(Points.data(), int(Points.size()), hs ? &s : nullptr, hf ? &f : nullptr);
    return;
  }
  if (FRaster && FPen.Mode() == pmCopy && FRaster->smooth() && (hs || hf) && PixelCentres(Points)) {
    FRaster->smooth_polygon(FPointsF.data(), int(Points.size()), hs ? &s : nullptr, hf ? &f : nullptr);
    return;
  }
  Polygon(round_points(Points, FPoints));
}

void TCanvas::EllipseF(double X1, double Y1, double X2, double Y2) {
  const double l = std::min(X1, X2), t = std::min(Y1, Y2), r = std::max(X1, X2), b = std::max(Y1, Y2);
  detail::Stroke s;
  detail::Fill f;
  const bool hs = stroke_of(FPen, s), hf = fill_of(FBrush, FPen, f);
  if (BackendFractions() && finite_point({X1, Y1}) && finite_point({X2, Y2})) {
    if (r > l && b > t && (hs || hf)) FBackend->ellipse_f(l, t, r, b, hs ? &s : nullptr, hf ? &f : nullptr);
    return;
  }
  if (FRaster && FPen.Mode() == pmCopy && FRaster->smooth() && std::isfinite(l + r + t + b)) {
    if (r > l && b > t && (hs || hf)) FRaster->smooth_ellipse(l, t, r, b, hs ? &s : nullptr, hf ? &f : nullptr);
    return;
  }
  Ellipse(RoundPix(X1), RoundPix(Y1), RoundPix(X2), RoundPix(Y2));
}

void TCanvas::TextOut(Integer X, Integer Y, std::string_view Text) {
  const bool update_cp = (FTextAlign & TA_UPDATECP) != 0;
  long long x = update_cp ? FPenPos.X : X, y = update_cp ? FPenPos.Y : Y;
  const int w = detail::text_width(FFont, Text);
  const unsigned horiz = FTextAlign & TA_CENTER;
  if (horiz == TA_CENTER) x -= w / 2;
  else if (horiz == TA_RIGHT) x -= w;
  const unsigned vert = FTextAlign & TA_BASELINE;
  if (vert == TA_BASELINE) y -= detail::font_metrics(FFont).ascent;
  else if (vert == TA_BOTTOM) y -= detail::font_metrics(FFont).height;
  if (update_cp && horiz == TA_LEFT) SetPenPos(TPoint{ClampPix((long long)FPenPos.X + w), FPenPos.Y});
  const detail::TextStyle t{&FFont, ColorToRGB(FFont.Color()), ColorToRGB(FBrush.Color()),
                            FBrush.Style() == bsSolid};
  FBackend->text(ClampPix(x), ClampPix(y), Text, t);
}

Integer TCanvas::TextWidth(std::string_view Text) const { return detail::text_width(FFont, Text); }

Integer TCanvas::TextHeight(std::string_view) const { return detail::font_metrics(FFont).height; }

TSize TCanvas::TextExtent(std::string_view Text) const { return TSize{TextWidth(Text), TextHeight(Text)}; }

TColor TCanvas::Pixels(Integer X, Integer Y) const { return FBackend->get_pixel(X, Y); }

void TCanvas::SetPixels(Integer X, Integer Y, TColor Color) { FBackend->set_pixel(X, Y, ColorToRGB(Color)); }

void TCanvas::Draw(Integer X, Integer Y, const TBitmap* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  const TRect dst{X, Y, ClampPix((long long)X + Graphic->Width()), ClampPix((long long)Y + Graphic->Height())};
  FBackend->draw_image(dst, *Graphic, TRect{0, 0, dst.Right - X, dst.Bottom - Y}, FCopyMode);
}

void TCanvas::StretchDraw(const TRect& Dest, const TBitmap* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  const TRect dst = sorted(Dest.Left, Dest.Top, Dest.Right, Dest.Bottom);
  FBackend->draw_image(dst, *Graphic, TRect{0, 0, Graphic->Width(), Graphic->Height()}, FCopyMode);
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SrcRect) {
  if (!Source) return;
  const TBitmap* src = Source->Bitmap();
  if (!src) return;
  FBackend->draw_image(sorted(Dest.Left, Dest.Top, Dest.Right, Dest.Bottom), *src,
                       sorted(SrcRect.Left, SrcRect.Top, SrcRect.Right, SrcRect.Bottom), FCopyMode);
}

int TCanvas::DeviceCaps(int Index) const {
  switch (Index) {
    case HORZRES: return FBackend->width();
    case VERTRES: return FBackend->height();
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX:
    case LOGPIXELSY: return FResolution;
    default: return 0;
  }
}

TBitmap* TCanvas::Bitmap() const { return FBackend->bitmap(); }

TSmoothDrawing::TSmoothDrawing(bool On) : FOuter(detail::smooth_paint()) {
  detail::set_smooth_paint(FOuter || On);
}

TSmoothDrawing::~TSmoothDrawing() { detail::set_smooth_paint(FOuter); }

unsigned SetTextAlign(HDC DC, unsigned Flags) { return DC ? DC->SetTextAlign(Flags) : 0; }

int GetDeviceCaps(HDC DC, int Index) { return DC ? DC->DeviceCaps(Index) : 0; }

}  // namespace kvr
