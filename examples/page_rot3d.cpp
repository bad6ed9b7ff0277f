// Gallery page of 3-D item charts: three clusters of marks, a helix drawn as a polyline,
// labelled points, both handedness, both cube styles, and black and white.
#include <cmath>
#include <random>
#include <string>

#include "examples/pages.h"
#include "rot3d/rot3d.h"

namespace {

using kvr::TRot3D;

constexpr int kW = 400;
constexpr int kH = 330;
constexpr int kCol = 415;
constexpr int kRow = 380;

void set_up(TRot3D& r) {
  r.SetBounds(0, 0, kW, kH);
  r.SetMagnify(0.9);
  r.SetCentY(kH / 2 + 10);
}

// Three Gaussian clusters, each in its own colour and mark.
void clusters(TRot3D& r) {
  std::mt19937 rng(11);
  std::normal_distribution<double> g(0.0, 1.0);
  const struct {
    double x, y, z, s;
    kvr::TColor color;
    kvr::Byte mark;
  } c[] = {{-3, -2, 1, 0.9, 0x2030D0, 17}, {3, -1, -2, 0.7, 0x208020, 11}, {0, 3, 2, 0.6, 0xC06010, 22}};
  for (const auto& k : c) {
    r.SetColorData(k.color);
    for (int i = 0; i < 60; ++i) r.MarkAt(k.x + k.s * g(rng), k.y + k.s * g(rng), k.z + k.s * g(rng), k.mark);
  }
}

void helix(TRot3D& r) {
  r.SetColorData(0xA02080);
  r.SetLineWidth(2);
  for (int i = 0; i <= 400; ++i) {
    const double t = i * 0.05;
    if (i == 0)
      r.Moveto(std::cos(t), std::sin(t), t / 10 - 1);
    else
      r.Drawto(std::cos(t), std::sin(t), t / 10 - 1);
  }
  r.SetLineWidth(1);
  r.SetColorData(0x404040);
  r.Line(0, 0, -1, 0, 0, 1);
}

void show(kvr::TCanvas& c, TRot3D& r, int x, int y, const std::string& title, bool blkWhite = false) {
  PanelLabel(c, x, y - 15, title);
  kvr::TBitmap b(kW, kH);
  r.RenderOnCanvas(b.Canvas(), true, blkWhite);
  c.Draw(x, y, &b);
}

}  // namespace

void RenderRot3DPage(kvr::TCanvas& c, int w, int h) {
  c.Brush()->SetStyle(kvr::bsSolid);
  c.Brush()->SetColor(kvr::clWhite);
  c.FillRect(kvr::Rect(0, 0, w, h));
  const int x0 = 15;
  int y = 15;

  PageHeading(c, x0, y, "Items");
  {
    TRot3D r(nullptr);
    set_up(r);
    clusters(r);
    r.MakeVisible();
    show(c, r, x0, y + 45, "three clusters, marks by cluster");
  }
  {
    TRot3D r(nullptr);
    set_up(r);
    helix(r);
    r.SetIsoMetric(true);
    r.MakeVisible();
    show(c, r, x0 + kCol, y + 45, "helix as a polyline, isometric");
  }
  {
    TRot3D r(nullptr);
    set_up(r);
    const double p[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 4; ++i) {
      r.SetColorData(i == 0 ? kvr::clBlack : kvr::clRed);
      r.MarkAt(p[i][0], p[i][1], p[i][2], 16);
      if (i > 0) {
        r.SetColorData(0x808080);
        r.Line(0, 0, 0, p[i][0], p[i][1], p[i][2]);
      }
    }
    r.SetColorData(0x006000);
    for (int d = 0; d < 10; ++d) r.MarkAt(0.5 + 0.05 * d, 0.5, 0.9 - 0.1 * d, kvr::Byte(200 + d));
    r.OnLblRequest = [&](kvr::TObject*, kvr::Integer obj, std::string& text, kvr::Integer& dx, kvr::Integer& dy,
                         kvr::TAlignment& ha, kvr::TVerticalAlignment& va) {
      const kvr::Tr3ChartItem it = r.GetChartItem(obj);
      if (it.ItemKind != kvr::Tr3Item::tkMarkAt || it.marklw != 16) return;
      static const char* const lbl[] = {"origin", "a", "b", "c"};
      const int k = it.x > 0.5 ? 1 : it.y > 0.5 ? 2 : it.z > 0.5 ? 3 : 0;
      text = lbl[k];
      dx = 6;
      dy = -4;
      ha = kvr::taLeftJustify;
      va = kvr::vaBottom;
    };
    r.SetMagnify(0.7);
    r.MakeVisible();
    show(c, r, x0 + 2 * kCol, y + 45, "labelled points, digit marks 200..209");
  }
  y += kRow;

  PageHeading(c, x0, y, "Handedness, cube and output");
  for (int k = 0; k < 3; ++k) {
    TRot3D r(nullptr);
    set_up(r);
    clusters(r);
    helix(r);
    std::string t;
    bool bw = false;
    switch (k) {
      case 0:
        r.SetAxDir(kvr::adRightHanded);
        r.SetBoundBoxStyle(kvr::bbFrame);
        t = "right-handed, cube edges only";
        break;
      case 1:
        r.SetMRot3Axes(true);
        r.SetViewAngles(100, 20, 30);
        t = "three-angle matrix, shaded faces";
        break;
      default:
        bw = true;
        t = "black and white";
        break;
    }
    r.MakeVisible();
    show(c, r, x0 + k * kCol, y + 45, t, bw);
  }
}
