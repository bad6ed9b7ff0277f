// Drawing helpers of the base library: frames, data marks and scaled font sizes.
// Everything goes through the public canvas operations, so the helpers draw the same
// on raster and vector canvases.
#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <string>
#include <utility>

#include "platform/arith.h"
#include "platform/detail/utf8.h"
#include "platform/kvrbase.h"

namespace kvr {

namespace {

// Saves the canvas state a helper changes and puts it back on every exit. Plain fields
// rather than pen and brush copies: marks are drawn by the hundred thousand.
class CanvasStateGuard {
 public:
  explicit CanvasStateGuard(TCanvas* c)
      : c_(c),
        pos_(c->PenPos()),
        posf_(c->PenPosF()),
        pen_color_(c->Pen()->Color()),
        pen_style_(c->Pen()->Style()),
        pen_width_(c->Pen()->Width()),
        pen_mode_(c->Pen()->Mode()),
        brush_color_(c->Brush()->Color()),
        brush_style_(c->Brush()->Style()),
        font_color_(c->Font()->Color()) {}
  ~CanvasStateGuard() {
    TPen* p = c_->Pen();
    p->SetColor(pen_color_);
    p->SetStyle(pen_style_);
    p->SetWidth(pen_width_);
    p->SetMode(pen_mode_);
    c_->Brush()->SetColor(brush_color_);
    c_->Brush()->SetStyle(brush_style_);
    c_->Font()->SetColor(font_color_);
    c_->MoveTo(pos_.X, pos_.Y);
    if (RoundPix(posf_.X) == pos_.X && RoundPix(posf_.Y) == pos_.Y) c_->MoveToF(posf_.X, posf_.Y);
  }
  CanvasStateGuard(const CanvasStateGuard&) = delete;
  CanvasStateGuard& operator=(const CanvasStateGuard&) = delete;

 private:
  TCanvas* c_;
  TPoint pos_;
  TPointDouble posf_;  // the position's fractions, kept while it still rounds to pos_
  TColor pen_color_;
  TPenStyle pen_style_;
  Integer pen_width_;
  TPenMode pen_mode_;
  TColor brush_color_;
  TBrushStyle brush_style_;
  TColor font_color_;
};

// Geometric marks change only the brush and the pen position: a lighter guard for the
// per-mark path.
class BrushPosGuard {
 public:
  explicit BrushPosGuard(TCanvas* c)
      : c_(c), pos_(c->PenPos()), color_(c->Brush()->Color()), style_(c->Brush()->Style()) {}
  ~BrushPosGuard() {
    c_->Brush()->SetColor(color_);
    c_->Brush()->SetStyle(style_);
    c_->MoveTo(pos_.X, pos_.Y);
  }
  BrushPosGuard(const BrushPosGuard&) = delete;
  BrushPosGuard& operator=(const BrushPosGuard&) = delete;

 private:
  TCanvas* c_;
  TPoint pos_;
  TColor color_;
  TBrushStyle style_;
};

// Inclusive runs: LineTo leaves its end pixel out, so each run ends one beyond.
void hrun(TCanvas* c, Integer x1, Integer x2, Integer y) {
  if (x2 < x1) return;
  c->MoveTo(x1, y);
  c->LineTo(x2 + 1, y);
}

void vrun(TCanvas* c, Integer x, Integer y1, Integer y2) {
  if (y2 < y1) return;
  c->MoveTo(x, y1);
  c->LineTo(x, y2 + 1);
}

// One ring of a 3-D frame: top and left edges in one colour, bottom and right edges
// in the other. The bottom-right colour owns both far corners, as on push buttons.
void ring(TCanvas* c, Integer l, Integer t, Integer r, Integer b, TColor top_left,
          TColor bottom_right) {
  if (r < l || b < t) return;
  c->Pen()->SetColor(top_left);
  hrun(c, l, r - 1, t);
  vrun(c, l, t + 1, b - 1);
  c->Pen()->SetColor(bottom_right);
  hrun(c, l, r, b);
  if (b > t) vrun(c, r, t, b - 1);
}

// Perceived brightness, scaled by 1000.
int luma(TColor c) { return 299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c); }

}  // namespace

void DrawFrame(TCanvas* Canvas, TFrameStyle Style, Integer Left, Integer Top, Integer Right,
               Integer Bottom, TColor Color1, TColor Color2, TColor Color3, TColor Color4,
               TColor Color5) {
  if (!Canvas || Style == rbNone || static_cast<int>(Style) >= kFrameStyleCount) return;
  // The calling units list the colours in different orders; ranking them by
  // brightness keeps the light on the top-left for every caller.
  std::array<TColor, 5> c{ColorToRGB(Color1), ColorToRGB(Color2), ColorToRGB(Color3),
                          ColorToRGB(Color4), ColorToRGB(Color5)};
  std::stable_sort(c.begin(), c.end(), [](TColor a, TColor b) { return luma(a) > luma(b); });
  const TColor HiLight = c[0], Light = c[1], Shadow = c[2], DkShadow = c[3], Line = c[4];
  if (Right < Left) std::swap(Left, Right);
  if (Bottom < Top) std::swap(Top, Bottom);
  CanvasStateGuard guard(Canvas);
  TPen* pen = Canvas->Pen();
  pen->SetStyle(psSolid);
  pen->SetWidth(1);
  pen->SetMode(pmCopy);

  const Integer l = Left, t = Top, r = Right, b = Bottom;
  switch (Style) {
    case rbSingle:
      ring(Canvas, l, t, r, b, Line, Line);
      break;
    case rbLowered:
      ring(Canvas, l, t, r, b, Shadow, HiLight);
      break;
    case rbRaised:
      ring(Canvas, l, t, r, b, HiLight, Shadow);
      break;
    case rbEmbossed:
      ring(Canvas, l, t, r, b, HiLight, Shadow);
      ring(Canvas, l + 1, t + 1, r - 1, b - 1, Shadow, HiLight);
      break;
    case rbEngraved:
      ring(Canvas, l, t, r, b, Shadow, HiLight);
      ring(Canvas, l + 1, t + 1, r - 1, b - 1, HiLight, Shadow);
      break;
    case rbDoubleLowered:
      ring(Canvas, l, t, r, b, Shadow, HiLight);
      ring(Canvas, l + 1, t + 1, r - 1, b - 1, DkShadow, Light);
      break;
    case rbDoubleRaised:
      ring(Canvas, l, t, r, b, Light, DkShadow);
      ring(Canvas, l + 1, t + 1, r - 1, b - 1, HiLight, Shadow);
      break;
    default:
      break;
  }
}

namespace {

constexpr int kLineMarkSizes[3] = {2, 3, 5};
constexpr int kShapeSizes[2] = {3, 5};
constexpr int kFirstShape = 10;

enum class Shape { square, diamond, circle, tri_up, tri_down, tri_left, tri_right };
enum class Interior { open, brush, solid };

// Code points of the ANSI code page's bytes 128..159 (the rest match Latin-1).
constexpr char32_t kAnsiHigh[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

// Codes the code page leaves undefined (and DEL) give an empty string: no mark.
std::string ansi_char_utf8(int code) {
  char32_t cp = (code >= 128 && code < 160) ? kAnsiHigh[code - 128] : static_cast<char32_t>(code);
  std::string s;
  if (cp != 0xFFFD && cp != 0x7F) detail::utf8_append(s, cp);
  return s;
}

void draw_plus(TCanvas* c, Integer x, Integer y, int r) {
  c->MoveTo(x - r, y);
  c->LineTo(x + r + 1, y);
  c->MoveTo(x, y - r);
  c->LineTo(x, y + r + 1);
}

void draw_cross(TCanvas* c, Integer x, Integer y, int r) {
  c->MoveTo(x - r, y - r);
  c->LineTo(x + r + 1, y + r + 1);
  c->MoveTo(x + r, y - r);
  c->LineTo(x - r - 1, y + r + 1);
}

// Open shapes are outlines only, solid ones are filled in the pen's colour, and the
// others keep the canvas's brush. k counts from the first shape mark.
void set_interior_brush(TCanvas* c, int k) {
  const auto interior = static_cast<Interior>(k % 3);
  if (interior == Interior::open) {
    c->Brush()->SetStyle(bsClear);
  } else if (interior == Interior::solid) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(c->Pen()->Color());
  }
}

void draw_shape(TCanvas* c, Shape shape, Integer x, Integer y, int r) {
  switch (shape) {
    case Shape::square:
      c->Rectangle(x - r, y - r, x + r + 1, y + r + 1);
      break;
    case Shape::circle:
      c->Ellipse(x - r, y - r, x + r + 1, y + r + 1);
      break;
    case Shape::diamond:
      c->Polygon({Point(x, y - r), Point(x + r, y), Point(x, y + r), Point(x - r, y)});
      break;
    case Shape::tri_up:
      c->Polygon({Point(x, y - r), Point(x + r, y + r), Point(x - r, y + r)});
      break;
    case Shape::tri_down:
      c->Polygon({Point(x, y + r), Point(x - r, y - r), Point(x + r, y - r)});
      break;
    case Shape::tri_left:
      c->Polygon({Point(x - r, y), Point(x + r, y - r), Point(x + r, y + r)});
      break;
    case Shape::tri_right:
      c->Polygon({Point(x + r, y), Point(x - r, y + r), Point(x - r, y - r)});
      break;
  }
}

void draw_char_mark(TCanvas* c, Integer code, Integer x, Integer y) {
  const std::string s = ansi_char_utf8(code);
  if (s.empty()) return;
  CanvasStateGuard guard(c);
  // Character marks take the pen's colour so that they match the geometric ones.
  c->Font()->SetColor(c->Pen()->Color());
  c->Brush()->SetStyle(bsClear);
  const unsigned old_align = c->SetTextAlign(TA_LEFT | TA_TOP);
  const TSize ext = c->TextExtent(s);
  c->TextOut(x - ext.cx / 2, y - ext.cy / 2, s);
  c->SetTextAlign(old_align);
}

}  // namespace

int MarkHalfSize(Integer MarkType) {
  if (MarkType < 0 || MarkType > 255) return -1;
  if (MarkType == 0) return 0;
  if (MarkType < kFirstShape) return kLineMarkSizes[(MarkType - 1) % 3];
  if (MarkType < kGeometricMarkCount) return kShapeSizes[((MarkType - kFirstShape) % 6) / 3];
  return -1;
}

void DrawMarkOnCanvas(TCanvas* Canvas, Integer MarkType, Integer x, Integer y) {
  if (!Canvas || MarkType < 0 || MarkType > 255) return;
  if (MarkType >= kGeometricMarkCount) {
    draw_char_mark(Canvas, MarkType, x, y);
    return;
  }
  BrushPosGuard guard(Canvas);
  if (MarkType == 0) {
    Canvas->MoveTo(x, y);
    Canvas->LineTo(x + 1, y);
    return;
  }
  const int r = MarkHalfSize(MarkType);
  if (MarkType < kFirstShape) {
    const int kind = (MarkType - 1) / 3;  // 0 plus, 1 cross, 2 star
    if (kind != 1) draw_plus(Canvas, x, y, r);
    if (kind != 0) draw_cross(Canvas, x, y, r);
    return;
  }
  const int k = MarkType - kFirstShape;
  set_interior_brush(Canvas, k);
  draw_shape(Canvas, static_cast<Shape>(k / 6), x, y, r);
}

bool MarkKeepsFractions(Integer MarkType) {
  if (MarkType <= 0 || MarkType >= kGeometricMarkCount) return false;
  if (MarkType < kFirstShape) return MarkType > 3;  // crosses and stars
  return (MarkType - kFirstShape) / 6 != int(Shape::square);
}

namespace {

void line_f(TCanvas* c, double x0, double y0, double x1, double y1) {
  c->MoveToF(x0, y0);
  c->LineToF(x1, y1);
}

}  // namespace

// The same outlines as DrawMarkOnCanvas, moved by the fractions.
void DrawMarkOnCanvasF(TCanvas* Canvas, Integer MarkType, double x, double y) {
  if (!Canvas || !std::isfinite(x) || !std::isfinite(y)) return;
  if (!MarkKeepsFractions(MarkType) || !Canvas->Smooth() || Canvas->KeepsFractions()) {
    DrawMarkOnCanvas(Canvas, MarkType, RoundPix(x), RoundPix(y));
    return;
  }
  CanvasStateGuard guard(Canvas);
  const double r = MarkHalfSize(MarkType);
  if (MarkType < kFirstShape) {
    if ((MarkType - 1) / 3 == 2) {
      line_f(Canvas, x - r, y, x + r + 1, y);
      line_f(Canvas, x, y - r, x, y + r + 1);
    }
    line_f(Canvas, x - r, y - r, x + r + 1, y + r + 1);
    line_f(Canvas, x + r, y - r, x - r - 1, y + r + 1);
    return;
  }
  const int k = MarkType - kFirstShape;
  set_interior_brush(Canvas, k);
  auto poly = [&](std::initializer_list<TPointDouble> p) { Canvas->PolygonF(std::span(p.begin(), p.size())); };
  switch (static_cast<Shape>(k / 6)) {
    case Shape::circle:
      Canvas->EllipseF(x - r, y - r, x + r + 1, y + r + 1);
      break;
    case Shape::diamond:
      poly({{x, y - r}, {x + r, y}, {x, y + r}, {x - r, y}});
      break;
    case Shape::tri_up:
      poly({{x, y - r}, {x + r, y + r}, {x - r, y + r}});
      break;
    case Shape::tri_down:
      poly({{x, y + r}, {x - r, y - r}, {x + r, y - r}});
      break;
    case Shape::tri_left:
      poly({{x - r, y}, {x + r, y - r}, {x + r, y + r}});
      break;
    case Shape::tri_right:
      poly({{x + r, y}, {x - r, y + r}, {x - r, y - r}});
      break;
    case Shape::square:
      break;
  }
}

void SetCanvasFontSizeScaled(TCanvas* Canvas, Integer Size) {
  if (!Canvas) return;
  int dpi = GetDeviceCaps(Canvas->Handle(), LOGPIXELSY);
  if (dpi <= 0) dpi = 96;
  Canvas->Font()->SetPixelsPerInch(dpi);
  Canvas->Font()->SetSize(Size);
}

}  // namespace kvr
