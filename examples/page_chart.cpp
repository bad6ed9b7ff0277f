// Gallery page of 2-D charts: every item kind on both layers with annotations, a
// logarithmic axis with decade grid, a date/time axis, 3-D bars over a shaded area.
#include <cmath>
#include <string>

#include "examples/pages.h"
#include "platform/datetime.h"
#include "zuvado/zuvado.h"

namespace {

using kvr::TZUvado;

constexpr int kW = 600;
constexpr int kH = 430;

void place(kvr::TCanvas& c, TZUvado& z, int x, int y, const std::string& title) {
  z.ShowGraf();
  PageHeading(c, x, y - 20, title);
  c.Draw(x, y, z.Surface());
}

void every_item(TZUvado& z) {
  z.SetBounds(0, 0, kW, kH);
  z.CreateWnd();
  const bool saved = z.SuppressPaint();
  z.SetSuppressPaint(true);
  z.SetStandardLayout(kvr::rcl_X2Both_Y2Both);
  z.SetShadowWidth(6);
  z.SetCaption("Every item kind, layers 1 and 2");
  z.SetGridStyle(kvr::gsDotLines);
  z.SetGridColor(0xC0C0C0);
  z.SetRange(1, 0, -1.5, 10, 1.5);
  z.SetRange(2, 0, 0, 100, 100);

  z.SetDataColor(0x0000C0);
  z.MoveTo(0.0, 0.0);
  for (int i = 1; i <= 400; ++i) z.DrawTo(i / 40.0, std::sin(i / 40.0 * 1.3));
  z.SetDataColor(0x008000);
  z.SetLineWidth(2);
  z.Line(0.3, -1.3, 3.0, -0.4);
  z.SetLineWidth(1);
  z.LineOffset(0.3, -1.3, 3.0, -0.4, 0, 8);
  z.SetDataColor(0x800000);
  z.SetFillColor(0xF0D0A0);
  z.Rectangle(3.5, -1.4, 4.6, -0.7);
  z.SetTransparentItems(true);
  z.Rectangle(3.3, -1.45, 4.8, -0.6);
  z.SetTransparentItems(false);
  z.SetFillColor(0x80FFFF);
  z.RectangleRelPix(5.5, -1.0, 12, 8);
  z.SetFillColor(0xD8D8D8);
  z.RectFrame(6.2, -1.4, 7.4, -0.7, kvr::TFrameStyle(3), 0x404040, 0xFFFFFF);
  z.RectFrame(7.7, -1.4, 8.9, -0.7, kvr::TFrameStyle(4), 0x404040, 0xFFFFFF);
  z.SetDataColor(0x000000);
  z.SetFillColor(0xFFC080);
  z.Ellipse(1.5, 1.0, 0.6, 0.25);
  z.SetDataColor(0xC00000);
  z.Arc(3.2, 1.0, 0.5, 0.35, 0.0, 2.5);
  z.SetDataColor(0x000080);
  z.SetFillColor(0x000080);
  z.Arrow(4.3, 0.6, 5.3, 1.2, 10);
  z.DoubleArrow(5.8, 1.2, 7.0, 1.2, 8);
  z.SetDataColor(0x008080);
  for (int i = 0; i < 12; ++i) z.MarkAt(0.4 + i * 0.8, 0.55 + 0.1 * std::cos(i), kvr::Byte(10 + 3 * (i % 12)));
  z.SetDataColor(0x800080);
  for (int i = 0; i < 6; ++i)
    z.MarkErrorBar(7.3 + i * 0.45, -0.1 + 0.15 * i, 0.15, 0.25, kvr::orVertical, 4);
  z.SetDataColor(0x0080FF);
  z.SetPenStyle(kvr::psDash);
  z.CursorVert(9.5);
  z.CursorHoriz(-0.5);
  z.SetPenStyle(kvr::psSolid);
  z.SetDataColor(0x000000);
  z.SetTextBkStyle(kvr::tbSolid);
  z.SetFillColor(0xE0FFE0);
  z.Text(2.0, -0.2, 9, "two-line text\nwith background");
  z.SetTextBkStyle(kvr::tbClear);
  z.Text(8.0, 1.3, 8, "offset text", 0, -14, kvr::taCenter);
  z.SetDataColor(0x006000);
  z.MoveTo(4.9, 0.3);
  z.MoveToRelPix(0, 0);
  for (int i = 0; i < 6; ++i) z.DrawToRelPix(8, i % 2 ? -6 : 6);
  z.DrawToRelPix(1.0, 1.1, 20, -10);

  z.SetActiveLayer(2);
  z.SetDataColor(0xFF00FF);
  z.SetFillColor(0xFFC0FF);
  z.Bar3D(70, 5, 76, 30, 6, 45);
  z.Bar3D(80, 5, 86, 45, 6, 45);
  z.SetActiveLayer(1);

  z.SetAnnoMode(true);
  z.SetDataColor(0x505050);
  z.SetFillColor(0xFFFFE0);
  z.SetTextBkStyle(kvr::tbSolid);
  z.SetTextAlignment(kvr::taLeftJustify);
  z.Text(8, 12, 8, "annotation (screen pixels)");
  z.SetTextBkStyle(kvr::tbClear);
  z.Rectangle(4, 4, 190, 22);
  z.SetAnnoMode(false);
  z.SetTextAlignment(kvr::taCenter);
  z.SetSuppressPaint(saved);
}

void log_axis(TZUvado& z) {
  z.SetBounds(0, 0, kW, kH);
  z.CreateWnd();
  z.SetSuppressPaint(true);
  z.SetMarginLeft(60);
  z.SetMarginTop(30);
  z.SetMarginBottom(45);
  z.SetChartColor(0xFFFBF5);
  z.SetRange(1, 1, -60, 1000, 10);
  z.Scale1X()->SetLogarithmic(true);
  z.Scale1X()->SetCaption("frequency");
  z.SetGridDx(-2);
  z.SetGridStyle(kvr::gsDotLines);
  z.SetGridColor(0xA0A0A0);
  z.BackGroundImg()->SetAreaMode(kvr::bamVStripe);
  z.BackGroundImg()->SetAreaColor(0xD8F0D8);
  z.BackGroundImg()->SetAreaLeft(20);
  z.BackGroundImg()->SetAreaRight(200);
  z.SetCaption("Logarithmic axis, grid code -2, shaded band");
  z.SetCaptionAnchorHoriz(kvr::cahChartCenter);
  z.SetCaptionAlignment(kvr::taCenter);
  z.SetCaptionPosY(-22);
  z.SetDataColor(0xA00000);
  z.SetLineWidth(2);
  bool first = true;
  for (double f = 1; f <= 1000; f *= 1.02) {
    const double g = -20 * std::log10(std::sqrt(1 + std::pow(f / 50, 4)));
    if (first) z.MoveTo(f, g); else z.DrawTo(f, g);
    first = false;
  }
  z.SetLineWidth(1);
  z.SetDataColor(0x000000);
  z.Text(50.0, -3.0, 8, "corner at 50", 6, -10, kvr::taLeftJustify);
  z.SetSuppressPaint(false);
}

void date_axis(TZUvado& z) {
  z.SetBounds(0, 0, kW, kH);
  z.CreateWnd();
  z.SetSuppressPaint(true);
  z.SetShadowWidth(8);
  z.SetShadowStyle(kvr::shsOutlined);
  z.SetMarginBottom(48);
  const double d0 = kvr::EncodeDate(2026, 1, 1);
  z.Scale1X()->SetLabelType(kvr::ftDateTime);
  z.SetRange(1, d0, 0, d0 + 90, 40);
  z.SetGridStyle(kvr::gsLines);
  z.SetGridColor(0xE0E0E0);
  z.BackGroundImg()->SetAreaMode(kvr::bamHStripe);
  z.BackGroundImg()->SetAreaColor(0xE8E0FF);
  z.BackGroundImg()->SetAreaTop(30);
  z.BackGroundImg()->SetAreaBottom(20);
  z.SetCaption("Date/time axis, outlined shadow, horizontal band");
  z.SetDataColor(0x206020);
  double v = 22;
  for (int i = 0; i <= 90; ++i) {
    v += std::sin(i * 0.7) * 1.8 + std::cos(i * 0.23) * 0.9;
    if (i == 0) z.MoveTo(d0 + i, v); else z.DrawTo(d0 + i, v);
    if (i % 10 == 0) z.MarkAt(d0 + i, v, 18);
  }
  // Text labels in their four looks and crosshairs in their five modes.
  const char* looks[4] = {"filled", "outlined", "underlined", "shadowed"};
  for (int m = 1; m <= 4; ++m) {
    const kvr::Integer ix = z.AddTextLabel(d0 + 8 + (m - 1) * 21, 37, 0x000000, looks[m - 1], 0);
    z.TextLabels(ix)->SetMode(kvr::TTxtLblMode(m));
    z.TextLabels(ix)->SetColorBkg(0xE0F8FF);
    z.TextLabels(ix)->SetShadowDx(3);
    z.TextLabels(ix)->SetShadowDy(3);
  }
  const kvr::Integer two = z.AddTextLabel(d0 + 70, 8, 0x800000, "two lines,\nright-aligned", 2);
  z.TextLabels(two)->SetAlignment(kvr::taRightJustify);
  for (int k = 2; k <= 3; ++k) z.CrossHair(k)->SetLayer(1);  // crosshair k starts on layer k
  z.CrossHairSetup(1, 0x0000FF, kvr::chBoth, kvr::psDot, 1);
  z.CrossHairSetPos(1, d0 + 45, 12);
  z.CrossHairSetup(2, 0x008000, kvr::chCross, kvr::psSolid, 1);
  z.CrossHairSetPos(2, d0 + 20, 5);
  z.CrossHairSetup(3, 0x800080, kvr::chBox, kvr::psSolid, 2);
  z.CrossHairSetPos(3, d0 + 80, 32);
  z.SetSuppressPaint(false);
}

void bars(TZUvado& z) {
  z.SetBounds(0, 0, kW, kH);
  z.CreateWnd();
  z.SetSuppressPaint(true);
  z.SetWindColor(0xF4ECE0);
  z.SetRange(1, 0, 0, 8, 100);
  z.SetGridStyle(kvr::gsPoints);
  z.SetGridColor(0x606060);
  z.BackGroundImg()->SetAreaMode(kvr::bamRectInv);
  z.BackGroundImg()->SetAreaColor(0xF0F0F0);
  z.BackGroundImg()->SetAreaLeft(0.5);
  z.BackGroundImg()->SetAreaRight(7.5);
  z.BackGroundImg()->SetAreaTop(90);
  z.BackGroundImg()->SetAreaBottom(0);
  z.SetCaption("3-D bars with a very long caption that the trim setting shortens");
  z.SetCaptionTrim(60);
  z.SetCaptionAnchorHoriz(kvr::cahChartLeft);
  z.SetCaptionAlignment(kvr::taLeftJustify);
  const int h[7] = {35, 62, 48, 80, 27, 55, 70};
  const kvr::TColor col[7] = {0x4040C0, 0x40A040, 0xC04040, 0x40A0C0, 0xA040A0, 0x909030, 0x606060};
  for (int i = 0; i < 7; ++i) {
    z.SetDataColor(0x000000);
    z.SetFillColor(col[i]);
    z.Bar3D(0.7 + i, 0, 1.3 + i, h[i], 8, i < 4 ? 40 : 140);
    z.SetTextBkStyle(kvr::tbClear);
    z.Text(1.0 + i, h[i] + 8.0, 8, std::to_string(h[i]));
  }
  z.SetSuppressPaint(false);
}

}  // namespace

void RenderChartPage(kvr::TCanvas& c, int w, int h) {
  c.Brush()->SetStyle(kvr::bsSolid);
  c.Brush()->SetColor(0xFFFFFF);
  c.Pen()->SetColor(0xFFFFFF);
  c.Rectangle(0, 0, w, h);
  TZUvado a(nullptr), b(nullptr), d(nullptr), e(nullptr);
  every_item(a);
  place(c, a, 20, 40, "Every item kind; annotations; two layers; shadow");
  log_axis(b);
  place(c, b, 640, 40, "Logarithmic axis");
  date_axis(d);
  place(c, d, 20, 520, "Date/time axis, text labels, crosshairs");
  bars(e);
  place(c, e, 640, 520, "3-D bars, shaded area, points grid, trimmed caption");
}
