// TRot3D: the picture. Cube faces, axes and hidden edges first, then the items in list
// order, then the cube's frame edges and the axis names on top.
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/arith.h"
#include "platform/detail/mark_stamp.h"
#include "platform/graphics.h"
#include "plot3d/detail/cube_tables.h"
#include "rot3d/rot3d.h"

namespace kvr {

namespace {

using detail::kCubeCornerFaces;
using detail::kCubeFace;
using detail::kCubeNeighbours;

Integer Sign(int n, int bit) { return n & bit ? 1 : -1; }

// One byte of a face colour: low + diff * s div 400, kept a byte.
Integer ShadeByte(Integer low, Integer diff, Integer s) { return std::clamp<Integer>(low + (diff * s) / 400, 0, 255); }

// Codes 200..209 stand for the digits, which as codes 48..57 would be geometric marks.
constexpr Integer kDigitMarkFirst = 200;
constexpr Integer kDigitMarkLast = 209;

}  // namespace

void TRot3D::Paint() {
  if (!Visible()) return;
  PaintPicture(GrafBmp.Canvas(), true, false);
  Canvas()->Draw(0, 0, &GrafBmp);
}

void TRot3D::InitGraf(TCanvas* Canvas) {
  const Integer w = std::max<Integer>(Width(), 0), h = std::max<Integer>(Height(), 0);
  // Resizing to the same size would still cost a fresh allocation per picture.
  if (GrafBmp.Width() != w || GrafBmp.Height() != h) GrafBmp.SetSize(w, h);
  Canvas->SetFont(Font());
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Pen()->SetMode(pmCopy);
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetColor(FChartCol);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(FChartCol);
  Canvas->Rectangle(0, 0, Width(), Height());
}

void TRot3D::PaintPicture(TCanvas* Cv, bool IncludeFrame, bool BlackWhite) {
  const TColor bg = FChartCol;
  if (BlackWhite) FChartCol = clWhite;
  if (Cv == GrafBmp.Canvas()) {
    InitGraf(Cv);
  } else {
    Cv->SetFont(Font());
    Cv->Pen()->SetStyle(psSolid);
    Cv->Pen()->SetMode(pmCopy);
    Cv->Pen()->SetWidth(1);
    Cv->Pen()->SetColor(FChartCol);
    Cv->Brush()->SetStyle(bsSolid);
    Cv->Brush()->SetColor(FChartCol);
    Cv->Rectangle(0, 0, Width(), Height());
  }
  FChartCol = bg;
  if (!ComponentState().Contains(csDesigning)) ConstructDataBmp(Cv, BlackWhite);
  if (IncludeFrame)
    DrawFrame(Cv, FFrameStyle, 0, 0, Width() - 1, Height() - 1, BlackWhite ? clBlack : FFrameCol, 0, 0x808080,
              0xC0C0C0, 0xFFFFFF);
}

void TRot3D::ConstructDataBmp(TCanvas* Canvas, bool BlackWhite) {
  if (!Canvas) return;
  if (OnBeforeRenderData) OnBeforeRenderData(this, Canvas);
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Pen()->SetMode(pmCopy);
  Canvas->Pen()->SetWidth(1);
  // Black and white: cube and axes in black and grey on white faces, the settings put
  // back however the drawing ends (a handler may throw).
  struct Restore {
    TRot3D* r;
    TColor frame, hidden, hi, lo;
    ~Restore() {
      r->FColorCubeFrame = frame;
      r->FColorCubeHidLin = hidden;
      r->FColorCubeFaceHi = hi;
      r->FColorCubeFaceLo = lo;
    }
  } restore{this, FColorCubeFrame, FColorCubeHidLin, FColorCubeFaceHi, FColorCubeFaceLo};
  if (BlackWhite) {
    FColorCubeFrame = clBlack;
    FColorCubeHidLin = clGray;
    FColorCubeFaceHi = FColorCubeFaceLo = clWhite;
  }
  // m: the corner of least depth; its faces are the backdrop and its edges the frame
  // drawn over the items; the edges of the opposite corner b are the hidden ones.
  Integer m = 0;
  Integer least = 0;
  for (int n = 0; n < 8; ++n) {
    const Integer d = FRotMat[2][0] * Sign(n, 4) + FRotMat[2][1] * Sign(n, 2) + FRotMat[2][2] * Sign(n, 1);
    if (n == 0 || d < least) {
      least = d;
      m = n;
    }
  }
  const Integer b = 7 - m;
  if (FBoundBox != bbNone) DrawCube(Canvas, m);
  if (FShowAxes) DrawAxes(Canvas);
  if (FBoundBox != bbNone) DrawEdges(Canvas, b, FColorCubeHidLin);
  DrawPoints(Canvas, BlackWhite);
  Canvas->Pen()->SetWidth(1);
  if (FBoundBox != bbNone) DrawEdges(Canvas, m, FColorCubeFrame);
  if (FShowAxes) DrawAxisNames(Canvas, BlackWhite);
  if (OnDataRendered) OnDataRendered(this, Canvas);
}

void TRot3D::DrawCube(TCanvas* Cv, Integer m) {
  Cv->Pen()->SetColor(FColorCubeFrame);
  const TColor lo = ColorToRGB(FColorCubeFaceLo);
  const TColor diff =
      static_cast<TColor>(static_cast<uint32_t>(ColorToRGB(FColorCubeFaceHi)) - static_cast<uint32_t>(lo));
  for (int f : kCubeCornerFaces[m]) {
    TPoint pts[4];
    Integer sum = 0;
    for (int k = 0; k < 4; ++k) {
      const int c = kCubeFace[f][k];
      pts[k] = Project(CubeCorners[c][0], CubeCorners[c][1], CubeCorners[c][2]);
      sum += FRotMat[2][0] * Sign(c, 4) + FRotMat[2][1] * Sign(c, 2) + FRotMat[2][2] * Sign(c, 1);
    }
    // The face normal's depth component, -400..400.
    const Integer s = -sum / 10;
    const Integer r = ShadeByte(GetRValue(lo), GetRValue(diff), s);
    const Integer g = ShadeByte(GetGValue(lo), GetGValue(diff), s);
    const Integer bl = ShadeByte(GetBValue(lo), GetBValue(diff), s);
    Cv->Brush()->SetColor(r + 256 * g + 65536 * bl);
    Cv->Brush()->SetStyle(FBoundBox == bbFrame ? bsClear : bsSolid);
    Cv->Polygon(pts);
  }
  Cv->Brush()->SetStyle(bsSolid);
}

void TRot3D::DrawEdges(TCanvas* Cv, Integer Corner, TColor Color) {
  Cv->Pen()->SetColor(Color);
  Cv->Pen()->SetWidth(1);
  const auto& c = CubeCorners[Corner];
  const TPoint p = Project(c[0], c[1], c[2]);
  for (int k : kCubeNeighbours[Corner]) {
    const auto& q = CubeCorners[k];
    const TPoint e = Project(q[0], q[1], q[2]);
    Cv->MoveTo(p.X, p.Y);
    Cv->LineTo(e.X, e.Y);
  }
}

void TRot3D::DrawAxes(TCanvas* Cv) {
  const Integer inside = std::min(FAxSize, FBBSize);
  const TPoint o = Project(0, 0, 0);
  // z, y, x: the x axis ends on top.
  for (int a = 2; a >= 0; --a) {
    Integer v[3] = {0, 0, 0};
    v[a] = inside;
    const TPoint p = Project(v[0], v[1], v[2]);
    v[a] = FAxSize;
    const TPoint q = Project(v[0], v[1], v[2]);
    Cv->MoveTo(o.X, o.Y);
    Cv->Pen()->SetColor(FColorCubeHidLin);
    Cv->LineTo(p.X, p.Y);
    Cv->Pen()->SetColor(FColorCubeFrame);
    Cv->LineTo(q.X, q.Y);
  }
}

void TRot3D::DrawAxisNames(TCanvas* Cv, bool BlackWhite) {
  Cv->SetFont(Font());
  if (BlackWhite) Cv->Font()->SetColor(clBlack);
  Cv->Brush()->SetStyle(bsClear);
  const TPoint o = Project(0, 0, 0);
  for (int a = 0; a < 3; ++a) {
    if (FAxName[a].empty()) continue;
    Integer v[3] = {0, 0, 0};
    v[a] = FAxSize;
    const TPoint e = Project(v[0], v[1], v[2]);
    const TSize ext = Cv->TextExtent(FAxName[a]);
    // Beyond the end, away from the origin.
    const Integer x = e.X < o.X ? e.X - ext.cx - 2 : e.X + 3;
    const Integer y = e.Y < o.Y ? e.Y - ext.cy : e.Y;
    Cv->TextOut(x, y, FAxName[a]);
  }
  Cv->Brush()->SetStyle(bsSolid);
}

void TRot3D::DrawPoints(TCanvas* Cv, bool BlackWhite) {
  const Integer n = NRotObj();
  if (n == 0) return;
  if (FScreen.size() < static_cast<size_t>(n)) FScreen.resize(n);
  for (Integer k = 0; k < n; ++k) FScreen[k] = Project(FRotDataX[k], FRotDataY[k], FRotDataZ[k]);

  TPen* pen = Cv->Pen();
  TBrush* brush = Cv->Brush();
  brush->SetStyle(bsSolid);
  TColor penColor = pen->Color();
  Integer penWidth = pen->Width();
  // A point that is not drawn breaks the polyline: the next line point starts afresh.
  bool broken = false;
  bool fontSet = false;
  // Every mark is a fixed set of pixels of its colour (or, smooth, a fixed coverage):
  // copied rather than drawn.
  const bool smooth = detail::can_smooth_stamp_on(*Cv);
  const bool stamp = (detail::can_stamp_on(*Cv) || smooth) && pen->Mode() == pmCopy;
  const TRect clip = Cv->ClipRect();
  for (Integer k = 0; k < n; ++k) {
    const Byte prop = FRotProp[k];
    const TPoint p = FScreen[k];
    if (prop & kPropHidden) {
      broken = true;
      continue;
    }
    const TColor color = BlackWhite ? clBlack : FItemColors[prop & kPropColorMask];
    switch (prop & kPropKindMask) {
      case kPropMoveTo:
        Cv->MoveTo(p.X, p.Y);
        broken = false;
        break;
      case kPropLineTo: {
        if (broken) {
          Cv->MoveTo(p.X, p.Y);
          broken = false;
          break;
        }
        if (color != penColor) {
          pen->SetColor(color);
          penColor = color;
        }
        const Integer w = std::max<Integer>(FLineWid[k], 1);
        if (w != penWidth) {
          pen->SetWidth(w);
          penWidth = w;
        }
        Cv->LineTo(p.X, p.Y);
        break;
      }
      case kPropMark: {
        const Integer mark = FRotMark[k];
        const detail::MarkStamp* ms = !stamp  ? nullptr
                                      : smooth ? detail::smooth_mark_stamp(mark, 1, bsSolid)
                                               : detail::mark_stamp(mark, 1, bsSolid);
        if (ms) {
          detail::stamp_mark_pixels(*Cv, clip, *ms, p.X, p.Y, color, color);
          if (OnLblRequest) {
            DrawLabel(Cv, FBackLink[k], p.X, p.Y);
            fontSet = false;  // the label took the control's font
          }
          break;
        }
        if (color != penColor) {
          pen->SetColor(color);
          penColor = color;
        }
        if (penWidth != 1) {
          pen->SetWidth(1);
          penWidth = 1;
        }
        brush->SetColor(color);
        const TPoint at = Cv->PenPos();
        if (mark < kGeometricMarkCount) {
          DrawMarkOnCanvas(Cv, mark, p.X, p.Y);
          if (OnLblRequest) {
            DrawLabel(Cv, FBackLink[k], p.X, p.Y);
            fontSet = false;  // the label took the control's font
          }
        } else {
          if (!fontSet) {
            Cv->Font()->SetStyle(FTextFontStyle);
            SetCanvasFontSizeScaled(Cv, FTextMarkSize);
            fontSet = true;
          }
          DrawCharMark(Cv, mark, p.X, p.Y, color);
        }
        // A mark sits between the points of a polyline without breaking it.
        Cv->MoveTo(at.X, at.Y);
        break;
      }
      default:
        break;
    }
  }
}

void TRot3D::DrawCharMark(TCanvas* Cv, Integer Code, Integer X, Integer Y, TColor Color) {
  if (Code >= kDigitMarkFirst && Code <= kDigitMarkLast) {
    // Raised by 104 in a byte: 200 + 104 wraps to 48, the digit 0.
    const std::string s(1, static_cast<char>((Code + 104) & 0xFF));
    Cv->Font()->SetColor(Color);
    Cv->Brush()->SetStyle(bsClear);
    const TSize ext = Cv->TextExtent(s);
    Cv->TextOut(X - ext.cx / 2, Y - ext.cy / 2, s);
    Cv->Brush()->SetStyle(bsSolid);
    return;
  }
  DrawMarkOnCanvas(Cv, Code, X, Y);
}

void TRot3D::DrawLabel(TCanvas* Cv, Integer Item, Integer X, Integer Y) {
  std::string text;
  Integer dx = 0, dy = 0;
  TAlignment ha = taCenter;
  TVerticalAlignment va = vaCenter;
  OnLblRequest(this, Item, text, dx, dy, ha, va);
  if (text.empty()) return;
  Cv->SetFont(Font());
  const TSize ext = Cv->TextExtent(text);
  int64_t x = int64_t(X) + dx, y = int64_t(Y) + dy;
  if (ha == taRightJustify)
    x -= ext.cx;
  else if (ha == taCenter)
    x -= ext.cx / 2;
  if (va == vaCenter)
    y -= ext.cy / 2;
  else if (va == vaBottom)
    y -= ext.cy;
  Cv->Brush()->SetStyle(bsClear);
  Cv->TextOut(static_cast<Integer>(std::clamp<int64_t>(x, -30000, 30000)),
              static_cast<Integer>(std::clamp<int64_t>(y, -30000, 30000)), text);
  Cv->Brush()->SetStyle(bsSolid);
}

}  // namespace kvr
