// Gallery page of surface plots: one function (a sum of Gaussians on 60 x 60 nodes) in
// every mesh kind and colour-coding mode, from the front, back, side and below, with and
// without the cube, and in black and white.
#include <cmath>
#include <string>

#include "examples/pages.h"
#include "plot3d/plot3d.h"

namespace {

using kvr::TPlot3D;

constexpr int kW = 240;
constexpr int kH = 210;
constexpr int kCol = 250;
constexpr int kRow = 265;

void fill(TPlot3D& p) {
  p.SetBounds(0, 0, kW, kH);
  p.SetSuppressPaint(true);
  p.GridMat.Resize(60, 60);
  for (int i = 1; i <= 60; ++i)
    for (int j = 1; j <= 60; ++j) {
      const double x = (i - 30.5) / 10.0, y = (j - 30.5) / 10.0;
      const double z = 1.2 * std::exp(-((x - 0.8) * (x - 0.8) + y * y)) -
                       0.7 * std::exp(-((x + 1.2) * (x + 1.2) + (y - 1.0) * (y - 1.0)) / 0.6) +
                       0.5 * std::exp(-((x + 0.3) * (x + 0.3) + (y + 1.6) * (y + 1.6)) / 0.4);
      p.GridMat.SetVal(i, j, z);
    }
  p.SetSuppressPaint(false);
  p.SetRange(-3, 3, -3, 3, -1, 1.5);
  p.SetColorScaleLow(-0.8);
  p.SetColorScaleHigh(1.2);
  p.SetColorLow(0x803000);
  p.SetColorMid(0x40C040);
  p.SetColorHigh(0x0030E0);
  p.SetColorCodingMode(kvr::ccmThreeColors);
  p.SetMagnify(0.36);
  p.SetColorMesh(0x383838);
  p.SetLabDistX(24);
  p.SetLabDistY(24);
  p.SetLabDistZ(14);
  p.SetAutoCenter(false);
  p.SetCentX(kW / 2 - 10);
  p.SetCentY(kH / 2 - 14);
}

void show(kvr::TCanvas& c, TPlot3D& p, int x, int y, const std::string& title, bool blkWhite = false) {
  PanelLabel(c, x, y - 15, title);
  kvr::TBitmap b(kW, kH);
  p.RenderOnCanvas(b.Canvas(), true, blkWhite);
  c.Draw(x, y, &b);
}

}  // namespace

void RenderSurfacePage(kvr::TCanvas& c, int w, int h) {
  c.Brush()->SetStyle(kvr::bsSolid);
  c.Brush()->SetColor(kvr::clWhite);
  c.FillRect(kvr::Rect(0, 0, w, h));
  const int x0 = 15;
  int y = 15;

  PageHeading(c, x0, y, "Mesh kinds");
  const std::pair<kvr::TMeshKind, const char*> kinds[] = {{kvr::mkMesh, "mesh"},
                                                           {kvr::mkWaterfallHorz, "waterfall along x"},
                                                           {kvr::mkWaterfallVert, "waterfall along y"},
                                                           {kvr::mkWaterfallDiag, "diagonals"},
                                                           {kvr::mkGrid, "grid nodes"}};
  for (int k = 0; k < 5; ++k) {
    TPlot3D p(nullptr);
    fill(p);
    p.SetMeshKind(kinds[k].first);
    show(c, p, x0 + k * kCol, y + 45, kinds[k].second);
  }
  y += kRow;

  PageHeading(c, x0, y, "Colour coding");
  for (int k = 0; k < 5; ++k) {
    TPlot3D p(nullptr);
    fill(p);
    std::string t;
    switch (k) {
      case 0:
        p.SetColorCodingMode(kvr::ccmTwoColors);
        t = "two colours";
        break;
      case 1:
        t = "three colours";
        break;
      case 2:
        p.SetColorCodingMode(kvr::ccmColorArray);
        p.IsoColors.SetSize(64);
        p.IsoColors.FillByInterpolation(0, {0x800000, kvr::clBlue, kvr::clAqua, kvr::clLime, kvr::clYellow,
                                            kvr::clRed});
        t = "colour table";
        break;
      case 3:
        p.SetColorCodeAvg(true);
        t = "mean of the four nodes";
        break;
      default:
        p.SetMeshVisible(false);
        t = "without mesh lines";
        break;
    }
    show(c, p, x0 + k * kCol, y + 45, t);
  }
  y += kRow;

  PageHeading(c, x0, y, "View angles");
  const struct {
    double a, c;
    const char* t;
  } views[] = {{60, 15, "front (60, 15)"}, {60, 195, "back (60, 195)"}, {80, 90, "side (80, 90)"},
               {125, 30, "from below (125, 30)"}, {10, 30, "from above (10, 30)"}};
  for (int k = 0; k < 5; ++k) {
    TPlot3D p(nullptr);
    fill(p);
    p.SetViewAngles(views[k].a, views[k].c);
    show(c, p, x0 + k * kCol, y + 45, views[k].t);
  }
  y += kRow;

  PageHeading(c, x0, y, "Cube and output");
  for (int k = 0; k < 5; ++k) {
    TPlot3D p(nullptr);
    fill(p);
    std::string t;
    bool bw = false;
    switch (k) {
      case 0:
        p.SetBoundBoxStyle(kvr::bbNone);
        t = "no cube";
        break;
      case 1:
        p.SetBoundBoxStyle(kvr::bbFrame);
        t = "cube edges only";
        break;
      case 2:
        t = "shaded cube faces";
        break;
      case 3:
        bw = true;
        p.SetViewAngles(66, 135);
        t = "black and white";
        break;
      default:
        p.SetViewAngles(66, 135);
        p.SetVisibleXCoords(false);
        p.SetVisibleYCoords(false);
        p.SetVisibleZCoords(false);
        p.AutoScale();
        p.SetSclZ(0.6);
        t = "no axes, z scaled";
        break;
    }
    show(c, p, x0 + k * kCol, y + 45, t, bw);
  }
}
