// Gallery page of contour plots: the five plot modes on one function (two hills and a
// dip with a saddle between them), masks of every kind, an attached colour scale, a
// zoomed view, and iso-lines drawn as chart items over a colour surface.
#include <cmath>
#include <string>

#include "colorscale/colorscale.h"
#include "contour/contourplot.h"
#include "examples/pages.h"

namespace {

using kvr::Byte;
using kvr::Integer;
using kvr::TContourPlot;
using kvr::TObject;

constexpr int kW = 400;
constexpr int kH = 300;

double hills(double x, double y) {
  return std::exp(-((x - 2) * (x - 2) + (y - 1.5) * (y - 1.5)) / 3) +
         0.7 * std::exp(-((x + 2.5) * (x + 2.5) + (y - 2) * (y - 2)) / 2) -
         0.9 * std::exp(-((x + 0.5) * (x + 0.5) + (y + 2.5) * (y + 2.5)) / 2.5) + 0.02 * x * y;
}

void label(kvr::TCanvas& c, int x, int y, const std::string& s) {
  c.Font()->SetName("DejaVu Sans");
  c.Font()->SetSize(8);
  c.Font()->SetStyle({});
  c.Font()->SetColor(0x404040);
  c.Brush()->SetStyle(kvr::bsClear);
  c.TextOut(x, y, s);
}

void setup(TContourPlot& cp, kvr::TContourPlotMode mode, const std::string& caption) {
  cp.SetBounds(0, 0, kW, kH);
  cp.SetMarginRight(14);
  cp.IsoColors.SetSize(96);
  cp.IsoColors.FillByInterpolation(1, {0x802000, kvr::clBlue, kvr::clAqua, kvr::clLime,
                                       kvr::clYellow, kvr::clRed, 0x000080});
  cp.SetIsoParams(-1.0, 1.2, 0.1);
  cp.SetPlotMode(mode);
  cp.SetCaption(caption);
  cp.SetPivotResolution(400);
  cp.OnEstimateZVal = [](TObject*, double x, double y, Integer, Integer, double& z, Byte&) {
    z = hills(x, y);
  };
}

template <typename Control>
void show(kvr::TCanvas& c, Control& ctl, int x, int y, const std::string& title) {
  ctl.CreateWnd();
  ctl.Repaint();
  label(c, x, y - 15, title);
  c.Draw(x, y, ctl.Surface());
}

// Iso-lines as line items: each cell's crossings of a level, joined in pairs (a cell
// crossed four times joins them in the order they were found).
void iso_line_items(TContourPlot& cp, double level) {
  const int n = 120;
  const double lo = -5.2, step = 10.4 / n;
  auto z = [&](int i, int j) { return hills(lo + i * step, lo + j * step) - level; };
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      const double c[4] = {z(i, j), z(i + 1, j), z(i + 1, j + 1), z(i, j + 1)};
      const int ci[4][2] = {{i, j}, {i + 1, j}, {i + 1, j + 1}, {i, j + 1}};
      double px[4], py[4];
      int k = 0;
      for (int e = 0; e < 4; ++e) {
        const int f = (e + 1) % 4;
        if ((c[e] < 0) == (c[f] < 0)) continue;
        const double t = c[e] / (c[e] - c[f]);
        px[k] = lo + (ci[e][0] + t * (ci[f][0] - ci[e][0])) * step;
        py[k] = lo + (ci[e][1] + t * (ci[f][1] - ci[e][1])) * step;
        ++k;
      }
      for (int s = 0; s + 1 < k; s += 2) cp.Line(px[s], py[s], px[s + 1], py[s + 1]);
    }
}

}  // namespace

void RenderContourPage(kvr::TCanvas& c, int w, int h) {
  c.Brush()->SetColor(kvr::clWhite);
  c.Brush()->SetStyle(kvr::bsSolid);
  c.FillRect(kvr::Rect(0, 0, w, h));
  PageHeading(c, 20, 12, "Contour plots of one function: two hills and a dip, a saddle between");
  const int x0 = 20, dx = kW + 20, y0 = 60, dy = kH + 40;

  const struct {
    kvr::TContourPlotMode mode;
    const char* title;
  } modes[] = {
      {kvr::cpmDots, "cpmDots: iso-lines in the colours of their levels"},
      {kvr::cpmMonoDots, "cpmMonoDots: iso-lines in IsoColors[1]"},
      {kvr::cpmColorSurface, "cpmColorSurface: colours interpolated in each cell"},
      {kvr::cpmColorSurfNoIp, "cpmColorSurfNoIp: one colour per pivot (coarse grid)"},
      {kvr::cpmColorSurfNoIpTransp, "cpmColorSurfNoIpTransp: index 0 left out"},
  };
  for (int k = 0; k < 5; ++k) {
    TContourPlot cp(nullptr);
    setup(cp, modes[k].mode, "");
    if (modes[k].mode == kvr::cpmMonoDots) {
      cp.IsoColors.SetColorElem(1, 0x800000);
      cp.SetIsoDist(0.2);
    }
    if (modes[k].mode >= kvr::cpmColorSurfNoIp) cp.SetPivotResolution(120);
    // Below 0 the transparent mode shows the background.
    if (modes[k].mode == kvr::cpmColorSurfNoIpTransp) cp.SetIsoParams(0.0, 1.2, 0.1);
    show(c, cp, x0 + (k % 3) * dx, y0 + (k / 3) * dy, modes[k].title);
  }

  {
    TContourPlot cp(nullptr);
    setup(cp, kvr::cpmColorSurface, "");
    cp.SetChartColor(0xE0E0E0);
    cp.OnEstimateZVal = [](TObject*, double x, double y, Integer, Integer, double& z, Byte& m) {
      z = hills(x, y);
      m = 0;
      if ((x - 2.5) * (x - 2.5) + (y + 2.5) * (y + 2.5) < 2.5) m = 1;  // hole: background
      else if (y > 3.5 && x < 0) m = 6;                               // palette colour
      else if (x > 1.5 && x < 3.5 && y > -0.5 && y < 2.5) m = 255;    // inverted
    };
    show(c, cp, x0 + 2 * dx, y0 + dy, "masks: 1 (hole), 6 (palette), 255 (inverted)");
  }

  const int y2 = y0 + 2 * dy;
  {
    TContourPlot cp(nullptr);
    kvr::TColorScale cs(nullptr);
    setup(cp, kvr::cpmColorSurface, "z");
    cp.SetBounds(0, 0, kW - 90, kH);
    cs.SetOrientation(kvr::csoVertical);
    cs.SetBounds(0, 0, 86, kH);
    cs.SetMarginTop(16);
    cs.SetMarginBottom(32);
    cs.SetMarginLeft(8);
    cs.SetMarginRight(44);
    cs.CrossHair()->SetVisible(false);
    cp.SetAttachedColorScale(&cs);
    show(c, cp, x0, y2, "colour surface with its attached colour scale");
    show(c, cs, x0 + kW - 88, y2, "");
  }
  {
    TContourPlot cp(nullptr);
    setup(cp, kvr::cpmColorSurface, "zoomed");
    cp.SetRange(1, -3.6, -0.4, 0.6, 3.0);
    show(c, cp, x0 + dx, y2, "zoomed view: the grid follows the range");
  }
  {
    TContourPlot cp(nullptr);
    setup(cp, kvr::cpmColorSurface, "");
    cp.IsoColors.FillByInterpolation(1, {0x705030, 0xC0A080, 0xF0F0F0, 0x80B0E0, 0x3050A0});
    cp.SetDataColor(kvr::clBlack);
    for (double level = -0.8; level < 1.15; level += 0.2) iso_line_items(cp, level);
    cp.SetDataColor(kvr::clRed);
    cp.MarkAt(2.0, 1.5, 3);
    cp.AddTextLabel(2.0, 2.2, kvr::clBlack, "peak", 0);
    show(c, cp, x0 + 2 * dx, y2, "iso-lines as line items over a colour surface");
  }
}
