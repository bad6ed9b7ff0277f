// TPlot3D: the picture. Cube faces and hidden edges first, the surface far to near, then
// the front edges and the axes on top.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/arith.h"
#include "platform/graphics.h"
#include "plot3d/detail/cube_tables.h"
#include "plot3d/plot3d.h"

namespace kvr {

namespace {

using detail::kCubeCornerFaces;
using detail::kCubeFace;
using detail::kCubeNeighbours;

double Sign(int n, int bit) { return n & bit ? 1.0 : -1.0; }

// z rounded half to even and kept an Integer, NaN as 0: the long double Round without
// the x87 code, the same value for every double.
Integer ZUnits(double z) {
  if (std::isnan(z)) return 0;
  return static_cast<Integer>(std::rint(std::clamp(z, -2147483647.0, 2147483647.0)));
}

// One byte of a face colour: low + diff * s div 200, kept a byte.
Integer ShadeByte(Integer low, Integer diff, Integer s) { return std::clamp<Integer>(low + (diff * s) / 200, 0, 255); }

}  // namespace

void TPlot3D::Paint() {
  if (FSuppressPaint || !Visible()) return;
  RenderImage(true);
  Canvas()->Draw(0, 0, &GrafBmp);
}

void TPlot3D::RenderImage(bool IncludeFrame) {
  TCanvas* cv = GrafBmp.Canvas();
  InitGraf(cv);
  if (!ComponentState().Contains(csDesigning)) ConstructDataBmp(cv);
  if (IncludeFrame)
    DrawFrame(cv, FFrameStyle, 0, 0, Width() - 1, Height() - 1, FColorFrame, 0, 0x808080, 0xC0C0C0, 0xFFFFFF);
}

void TPlot3D::InitGraf(TCanvas* Canvas) {
  GrafBmp.SetSize(Width(), Height());
  FillBackground(Canvas);
  if (ComponentState().Contains(csDesigning)) {
    const TColor bg = ColorToRGB(FColorBakGnd);
    const Integer r = GetRValue(bg), g = GetGValue(bg), b = GetBValue(bg);
    Canvas->Font()->SetColor(r * r + g * g + b * b <= 50000 ? clWhite : clBlack);
    Canvas->TextOut(10, 10, "Plot3D");
  }
}

void TPlot3D::FillBackground(TCanvas* Canvas) {
  Canvas->SetFont(Font());
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Pen()->SetMode(pmCopy);
  Canvas->Pen()->SetWidth(1);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(FColorBakGnd);
  Canvas->Pen()->SetColor(FColorBakGnd);
  Canvas->Rectangle(0, 0, Width(), Height());
}

void TPlot3D::DrawOnForeignCanvas(TCanvas* Canvas) {
  if (!Canvas) return;
  FSuppressPaint = true;
  ConstructDataBmp(Canvas);
  SetSuppressPaint(false);
}

void TPlot3D::ConstructDataBmp(TCanvas* Canvas) {
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Pen()->SetMode(pmCopy);
  Canvas->Pen()->SetWidth(1);
  // The far corner m has the least depth towards the viewer; b is the near one.
  Integer far = 0;
  double least = 2147483647.0;
  for (int n = 0; n < 8; ++n) {
    const double d = Depth(Sign(n, 4), Sign(n, 2), Sign(n, 1));
    if (d < least) {
      least = d;
      far = n;
    }
  }
  const Integer near = 7 - far;
  if (FBoundBoxStyle != bbNone) DrawCube(Canvas, near, far);
  DrawSurface(Canvas);
  if (FBoundBoxStyle != bbNone) {
    // Front edges over the surface.
    Canvas->Pen()->SetColor(FColorCubeFrame);
    const TPoint pb = Project(CubeCorners[near].X, CubeCorners[near].Y, CubeCorners[near].Z);
    for (int k : kCubeNeighbours[near]) {
      const TPoint q = Project(CubeCorners[k].X, CubeCorners[k].Y, CubeCorners[k].Z);
      Canvas->MoveTo(pb.X, pb.Y);
      Canvas->LineTo(q.X, q.Y);
    }
  }
  DrawAxes(Canvas, near);
  if (OnDataRendered) OnDataRendered(this, Canvas);
}

void TPlot3D::DrawCube(TCanvas* Cv, Integer Near, Integer Far) {
  Cv->Pen()->SetColor(FColorCubeFrame);
  const TColor lo = ColorToRGB(FColorCubeFaceLow);
  const TColor diff = static_cast<TColor>(static_cast<uint32_t>(ColorToRGB(FColorCubeFaceHigh)) - static_cast<uint32_t>(lo));
  for (int f : kCubeCornerFaces[Near]) {
    TPoint pts[4];
    double sum = 0;
    for (int k = 0; k < 4; ++k) {
      const int c = kCubeFace[f][k];
      pts[k] = Project(CubeCorners[c].X, CubeCorners[c].Y, CubeCorners[c].Z);
      sum += Depth(Sign(c, 4), Sign(c, 2), Sign(c, 1));
    }
    // The face normal's component towards the viewer, -200..200.
    const Integer s = static_cast<Integer>(Round(50.0 * sum));
    const Integer r = ShadeByte(GetRValue(lo), GetRValue(diff), s);
    const Integer g = ShadeByte(GetGValue(lo), GetGValue(diff), s);
    const Integer b = ShadeByte(GetBValue(lo), GetBValue(diff), s);
    Cv->Brush()->SetColor(r + 256 * g + 65536 * b);
    Cv->Brush()->SetStyle(FBoundBoxStyle == bbFrame ? bsClear : bsSolid);
    Cv->Polygon(pts);
  }
  Cv->Brush()->SetStyle(bsSolid);
  // Back edges, before the surface so that it covers them.
  Cv->Pen()->SetColor(FColorCubeHidLin);
  const TPoint pm = Project(CubeCorners[Far].X, CubeCorners[Far].Y, CubeCorners[Far].Z);
  for (int k : kCubeNeighbours[Far]) {
    const TPoint q = Project(CubeCorners[k].X, CubeCorners[k].Y, CubeCorners[k].Z);
    Cv->MoveTo(pm.X, pm.Y);
    Cv->LineTo(q.X, q.Y);
  }
}

void TPlot3D::DrawSurface(TCanvas* Cv) {
  const Integer nx = GridMat.NrOfColumns(), ny = GridMat.NrOfRows();
  if (nx < 1 || ny < 1) return;
  // The maps may lag behind the grid while SuppressPaint batches changes.
  ProjMapX.Resize(nx, ny);
  ProjMapY.Resize(nx, ny);
  ProjMapZ.Resize(nx, ny);
  const double dx = nx > 1 ? 300.0 / (nx - 1) : 1.0;
  const double dy = ny > 1 ? 300.0 / (ny - 1) : 1.0;
  // Every node once, column by column as the grid stores them; the cells below read the
  // points from a plain array rather than two bounds-checked maps per corner.
  const size_t rows = size_t(ny);
  FNodePts.resize(size_t(nx) * rows);
  for (Integer i = 1; i <= nx; ++i)
    for (Integer j = 1; j <= ny; ++j) {
      const size_t k = size_t(i - 1) * rows + size_t(j - 1);
      const double z = CalcIntZ(GridMat.GetVal(i, j));
      const TPoint p = Project(-150.0 + (i - 1) * dx, -150.0 + (j - 1) * dy, z);
      FNodePts[k] = p;
      ProjMapX.SetVal(i, j, p.X);
      ProjMapY.SetVal(i, j, p.Y);
      ProjMapZ.SetVal(i, j, ZUnits(z));
    }
  if (nx < 2 || ny < 2) return;

  const double a = FViewAngle[0], c = FViewAngle[2];
  const bool front = c < 90.0 || c > 270.0;
  const bool flipRows = (a > 180.0) == front;
  const bool flipCols = (a > 180.0) != (c > 180.0);
  TPen* pen = Cv->Pen();
  TBrush* brush = Cv->Brush();
  brush->SetStyle(bsSolid);
  for (Integer r0 = 1; r0 <= ny - 1; ++r0) {
    const Integer r = flipRows ? ny - r0 : r0;
    for (Integer c0 = 1; c0 <= nx - 1; ++c0) {
      const Integer cx = flipCols ? nx - c0 : c0;
      // Corners (cx, r), (cx + 1, r), (cx + 1, r + 1), (cx, r + 1).
      const size_t k0 = size_t(cx - 1) * rows + size_t(r - 1), k1 = k0 + rows;
      const double v[4] = {GridMat.GetVal(cx, r), GridMat.GetVal(cx + 1, r), GridMat.GetVal(cx + 1, r + 1),
                           GridMat.GetVal(cx, r + 1)};
      // A cell with a missing node has no surface to show.
      if (!std::isfinite(v[0] + v[1] + v[2] + v[3])) continue;
      const TQuad quad{FNodePts[k0], FNodePts[k1], FNodePts[k1 + 1], FNodePts[k0 + 1]};
      const double key = FColorCodeAvg ? (v[0] + v[1] + v[2] + v[3]) / 4
                                       : std::max(std::max(v[0], v[1]), std::max(v[2], v[3]));
      TColor color = CalcColorCoding(key);
      bool handled = false;
      if (OnBeforeRenderPolygon) OnBeforeRenderPolygon(this, Cv, handled, cx, r, quad, color);
      if (handled) continue;
      brush->SetColor(color);
      const TColor mesh = FMeshVisible ? FColorMesh : color;
      auto line = [&](const TPoint& p, const TPoint& q) {
        Cv->MoveTo(p.X, p.Y);
        Cv->LineTo(q.X, q.Y);
      };
      if (FMeshKind == mkMesh) {
        pen->SetColor(mesh);
        Cv->Polygon(quad);
        continue;
      }
      pen->SetColor(color);
      Cv->Polygon(quad);
      // The mesh lines follow MeshVisible like the outline of mkMesh.
      pen->SetColor(mesh);
      switch (FMeshKind) {
        case mkWaterfallHorz:
          line(quad[0], quad[1]);
          line(quad[2], quad[3]);
          break;
        case mkWaterfallVert:
          line(quad[0], quad[3]);
          line(quad[2], quad[1]);
          break;
        case mkWaterfallDiag:
          line(quad[0], quad[2]);
          break;
        case mkGrid:
          for (const TPoint& p : quad) Cv->SetPixels(p.X, p.Y, mesh);
          break;
        default:
          break;
      }
    }
  }
}

}  // namespace kvr
