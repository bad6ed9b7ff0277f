// Gallery page of picture quality: the same chart drawn classic and smooth, at one and
// at two device pixels per chart pixel.
#include <cmath>
#include <string>

#include "examples/pages.h"
#include "platform/bitmap.h"
#include "zuvado/zuvado.h"

namespace {

using kvr::TZUvado;

constexpr int kW = 300;
constexpr int kH = 220;

void build(TZUvado& z) {
  z.SetBounds(0, 0, kW, kH);
  z.CreateWnd();
  z.SetSuppressPaint(true);
  z.SetCaption("Damped waves");
  z.SetGridStyle(kvr::gsLines);
  z.SetGridColor(0xE0E0E0);
  z.SetRange(1, 0, -1.2, 10, 1.2);
  z.SetDataColor(0xB07010);
  z.MoveTo(0.0, 0.0);
  for (int i = 1; i <= 300; ++i) {
    const double x = i / 30.0;
    z.DrawTo(x, std::exp(-x / 6) * std::sin(2.2 * x));
  }
  z.SetDataColor(0x2020C0);
  z.SetLineWidth(2);
  z.MoveTo(0.0, 1.0);
  for (int i = 1; i <= 300; ++i) {
    const double x = i / 30.0;
    z.DrawTo(x, std::exp(-x / 4) * std::cos(1.7 * x));
  }
  z.SetLineWidth(1);
  z.SetDataColor(0x208020);
  for (int i = 0; i < 12; ++i) z.MarkAt(0.4 + i * 0.8, -0.9 + 0.15 * std::sin(i * 1.3), 14 + (i % 4) * 6);
  z.SetSuppressPaint(false);
  z.ShowGraf();
}

void show(kvr::TCanvas& c, TZUvado& z, bool smooth, double scale, int x, int y, const std::string& title) {
  z.SetSmooth(smooth);
  kvr::TBitmap b;
  z.CopyToBitmapScaled(&b, scale);
  PageHeading(c, x, y - 20, title);
  c.Draw(x, y, &b);
}

}  // namespace

void RenderQualityPage(kvr::TCanvas& c, int w, int h) {
  c.Brush()->SetColor(0xFFFFFF);
  c.FillRect(kvr::Rect(0, 0, w, h));
  TZUvado z(nullptr);
  build(z);
  show(c, z, false, 1, 20, 30, "Classic, 1x");
  show(c, z, true, 1, 640, 30, "Smooth, 1x");
  show(c, z, false, 2, 20, 300, "Classic, 2x");
  show(c, z, true, 2, 640, 300, "Smooth, 2x");
}
