// TPlot3D: the three axes along the cube's near edges, with ticks, labels and captions.
//
// Labels go outside the cube: each axis is pushed away from the cube along the model
// direction that points from the cube's inside to its edge (for the x axis at corner
// (sx, sy, sz) that is (0, sy, sz)), projected to the screen. A label's centre lies
// LabDist / 2 pixels plus half the label's extent along that direction from its tick, so
// that no label reaches back over the edge; the caption follows beyond the widest label.
#include <algorithm>
#include <cmath>

#include "platform/arith.h"
#include "platform/kvrbase.h"
#include "platform/math1.h"
#include "platform/stringl.h"
#include "plot3d/plot3d.h"

namespace kvr {

namespace {

constexpr int kTickLen = 5;
constexpr int kMaxTicks = 1000;
constexpr size_t kMaxLabel = 14;

double Sign(int n, int bit) { return n & bit ? 1.0 : -1.0; }

Integer Pix(double v) { return static_cast<Integer>(RoundPix(std::clamp(v, -268435456.0, 268435456.0))); }

}  // namespace

void TPlot3D::DrawCenteredText(TCanvas* Canvas, const std::string& Text, Integer X, Integer Y) {
  const TSize e = Canvas->TextExtent(Text);
  Canvas->TextOut(X - e.cx / 2, Y - e.cy / 2, Text);
}

void TPlot3D::DrawAxes(TCanvas* Cv, Integer Near) {
  const Integer n = Near ^ 1;
  auto corner = [&](Integer k) { return Project(CubeCorners[k].X, CubeCorners[k].Y, CubeCorners[k].Z); };
  if (FVisibleCoords[0]) {
    Integer a = n, b = n ^ 4;
    if (CubeCorners[b].X < CubeCorners[a].X) std::swap(a, b);
    const TPoint p = corner(a), q = corner(b);
    DrawAxis(Cv, p3skX, p.X, p.Y, q.X, q.Y, FRangeLow[0], FRangeHigh[0], n);
  }
  if (FVisibleCoords[1]) {
    Integer a = n, b = n ^ 2;
    if (CubeCorners[b].Y < CubeCorners[a].Y) std::swap(a, b);
    const TPoint p = corner(a), q = corner(b);
    DrawAxis(Cv, p3skY, p.X, p.Y, q.X, q.Y, FRangeLow[1], FRangeHigh[1], n);
  }
  if (FVisibleCoords[2]) {
    // The vertical edge farthest to the right on the screen.
    Integer best = 0;
    double most = -2147483647.0;
    for (int k = 0; k < 8; k += 2) {
      const double v = FRotMat[0][0] * Sign(k, 4) + FRotMat[0][1] * Sign(k, 2);
      if (v > most) {
        most = v;
        best = k;
      }
    }
    const TPoint p = corner(best), q = corner(best | 1);
    DrawAxis(Cv, p3skZ, p.X, p.Y, q.X, q.Y, FRangeLow[2], FRangeHigh[2], best);
  }
}

void TPlot3D::DrawAxis(TCanvas* Canvas, TP3ScaleKind Kind, Integer X1, Integer Y1, Integer X2, Integer Y2,
                       double Low, double High, Integer Corner) {
  const int ax = Kind;
  SetCanvasFontSizeScaled(Canvas, Font()->Size());
  Canvas->Pen()->SetColor(FColorCoords[ax]);
  Canvas->Font()->SetColor(FColorCoords[ax]);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);

  Integer d = FDecPlace[ax];
  if (d == -2) {
    const double r = std::fabs(High - Low);
    if (r >= 1e6 || r <= 1e-4)
      d = -2;
    else if (r >= 100)
      d = 0;
    else
      d = 2 - static_cast<Integer>(Round(std::log(r) / 2.5));
  }

  // Outward direction on the screen (see the top of the file).
  double ox = Kind == p3skX ? 0.0 : Sign(Corner, 4);
  double oy = Kind == p3skY ? 0.0 : Sign(Corner, 2);
  double oz = Kind == p3skZ ? 0.0 : Sign(Corner, 1);
  ox *= FSclXIntern;
  oy *= FSclYIntern;
  oz *= FSclZIntern;
  double ux = FRotMat[0][0] * ox + FRotMat[0][1] * oy + FRotMat[0][2] * oz;
  double uy = FRotMat[1][0] * ox + FRotMat[1][1] * oy + FRotMat[1][2] * oz;
  const double len = std::hypot(ux, uy);
  if (len > 1e-9 && std::isfinite(len)) {
    ux /= len;
    uy /= len;
  } else {
    ux = 0.0;
    uy = 1.0;
  }
  const double gap = FLabDist[ax] / 2.0;
  auto extentAlong = [&](const std::string& s) {
    const TSize e = Canvas->TextExtent(s);
    return std::fabs(ux) * e.cx / 2.0 + std::fabs(uy) * e.cy / 2.0;
  };

  Extended first = 0, dist = 0;
  Word nsub = 1;
  CalcScalePars(FMinTick[ax], Low, High, first, dist, nsub);
  double widest = 0.0;
  // A label that would overlap the last one written is left out (an axis seen nearly
  // end-on would otherwise pile its labels up).
  bool hasLast = false;
  TRect last{};
  if (dist != 0 && High != Low) {
    for (int k = 0; k < kMaxTicks; ++k) {
      const double t = static_cast<double>(first + k * dist);
      if ((t - High) / static_cast<double>(dist) > 0.001) break;
      const double f = (t - Low) / (High - Low);
      const double px = X1 + f * (X2 - X1), py = Y1 + f * (Y2 - Y1);
      Canvas->MoveTo(Pix(px), Pix(py));
      Canvas->LineTo(Pix(px + kTickLen * ux), Pix(py + kTickLen * uy));
      std::string label;
      if (std::fabs(t / (Low - High)) >= 1e-14)
        label = strff(t, 1, d);
      else if (std::fabs(High - Low) <= 100000)
        label = strff(0, 1, d);
      else
        label = d == 0 ? "0" : "0.0";
      if (label.size() > kMaxLabel) label.resize(kMaxLabel);
      const double ext = extentAlong(label);
      const Integer lx = Pix(px + (gap + ext) * ux), ly = Pix(py + (gap + ext) * uy);
      if (OnBeforeDrawScaleLabel) OnBeforeDrawScaleLabel(this, Canvas, Kind, label, lx, ly);
      const TSize e = Canvas->TextExtent(label);
      const TRect box = Rect(lx - e.cx / 2, ly - e.cy / 2, lx - e.cx / 2 + e.cx, ly - e.cy / 2 + e.cy);
      if (hasLast && box.Left < last.Right && last.Left < box.Right && box.Top < last.Bottom &&
          last.Top < box.Bottom)
        continue;
      DrawCenteredText(Canvas, label, lx, ly);
      last = box;
      hasLast = true;
      widest = std::max(widest, 2.0 * extentAlong(label));
    }
  }
  if (X1 != X2 || Y1 != Y2) {
    const std::string& cap = FCaption[ax];
    const double off = gap + widest + extentAlong(cap) + 4;
    DrawCenteredText(Canvas, cap, Pix((X1 + X2) / 2.0 + off * ux), Pix((Y1 + Y2) / 2.0 + off * uy));
  }
  Canvas->Brush()->SetStyle(bsSolid);
}

}  // namespace kvr
