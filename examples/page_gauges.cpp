// Gallery page of colour scales (horizontal, vertical, extended colours, crosshairs) and
// scale gauges (every background, every index mark in both orientations, logarithmic,
// moving dial, disabled).
#include <string>

#include "colorscale/colorscale.h"
#include "examples/pages.h"
#include "gauge/gauge.h"

namespace {

using kvr::TColorScale;
using kvr::TScaleGauge;

constexpr int kGaugeW = 290;
constexpr int kGaugeH = 90;
constexpr int kColW = 305;

void text(kvr::TCanvas& c, int x, int y, const std::string& s, int size, bool bold, kvr::TColor col) {
  c.Font()->SetName("DejaVu Sans");
  c.Font()->SetSize(size);
  c.Font()->SetStyle(bold ? kvr::TFontStyles{kvr::fsBold} : kvr::TFontStyles{});
  c.Font()->SetColor(col);
  c.Brush()->SetStyle(kvr::bsClear);
  c.TextOut(x, y, s);
}

void heading(kvr::TCanvas& c, int x, int y, const std::string& s) { text(c, x, y, s, 12, true, 0x503010); }
void label(kvr::TCanvas& c, int x, int y, const std::string& s) { text(c, x, y, s, 8, false, 0x404040); }

// Paints the control on its own window and copies the picture onto the page.
template <typename Control>
void show(kvr::TCanvas& c, Control& ctl, int x, int y, const std::string& title) {
  ctl.CreateWnd();
  ctl.Repaint();
  if (!title.empty()) label(c, x, y - 15, title);
  c.Draw(x, y, ctl.Surface());
}

void rainbow(TColorScale& cs) {
  cs.ColorArray.SetSize(128);
  cs.ColorArray.FillByInterpolation(1, {0x800000, kvr::clBlue, kvr::clAqua, kvr::clLime, kvr::clYellow,
                                        kvr::clRed, 0x000080});
}

void thermal(TColorScale& cs) {
  cs.ColorArray.SetSize(128);
  cs.ColorArray.FillByInterpolation(1, {kvr::clBlack, 0x0000A0, kvr::clRed, 0x0080FF, kvr::clYellow,
                                        kvr::clWhite});
}

void colour_scales(kvr::TCanvas& c, int x0, int y0) {
  heading(c, x0, y0, "Colour scales");
  const int w = 400, h = 82;
  int y = y0 + 45;
  {
    TColorScale cs(nullptr);
    cs.SetBounds(0, 0, w, h);
    rainbow(cs);
    cs.SetMarginTop(26);
    cs.SetCaption("Surface temperature [\xC2\xB0""C]");
    cs.SetCaptionPosX(16);
    cs.SetCaptionPosY(6);
    cs.SetCaptionSize(9);
    cs.SetScaleRange(-20, 45);
    cs.SetMinTicks(8);
    cs.CrossHair()->SetVisible(false);
    show(c, cs, x0, y, "horizontal, colour range = scale range");
  }
  y += h + 30;
  for (bool extend : {false, true}) {
    TColorScale cs(nullptr);
    cs.SetBounds(0, 0, w, h - 22);
    rainbow(cs);
    cs.SetMarginTop(6);
    cs.SetScaleRange(0, 100);
    cs.SetColorLow(30);
    cs.SetColorHigh(70);
    cs.SetMinTicks(10);
    cs.SetExtendColors(extend);
    cs.CrossHair()->SetVisible(false);
    show(c, cs, x0, y, extend ? "colours 30..70 on 0..100, ExtendColors on" : "colours 30..70 on 0..100, ExtendColors off");
    y += h + 8;
  }
  {
    TColorScale cs(nullptr);
    cs.SetBounds(0, 0, w, h - 22);
    thermal(cs);
    cs.SetMarginTop(6);
    cs.SetScaleRange(0, 1.6);
    cs.SetMinTicks(8);
    cs.SetColorSclBkgd(0xF4F0EC);
    cs.SetFrameStyle(kvr::rbSingle);
    cs.CrossHair()->SetLineType(kvr::psSolid);
    cs.CrossHair()->SetLineWidth(2);
    cs.CrossHair()->SetColor(0x00C000);
    cs.CrossHair()->SetPos(1.12, 1.12);
    show(c, cs, x0, y, "crosshair at 1.12 (solid, width 2), single frame");
    y += h + 8;
  }
  {
    TColorScale cs(nullptr);
    cs.SetBounds(0, 0, w, h - 22);
    cs.SetMarginTop(6);
    cs.SetScaleRange(-1, 1);
    cs.SetColorLow(-0.6);
    cs.SetMinTicks(6);
    cs.CrossHair()->SetPos(0.25, 0.25);
    show(c, cs, x0, y, "default table, dotted crosshair at 0.25, colours from -0.6");
  }

  const int vh = 420, vw = 118;
  int x = x0 + w + 40;
  const int vy = y0 + 45;
  {
    TColorScale cs(nullptr);
    cs.SetOrientation(kvr::csoVertical);
    cs.SetBounds(0, 0, vw, vh);
    rainbow(cs);
    cs.SetMarginRight(60);
    cs.SetMarginTop(34);
    cs.SetCaption("dB");
    cs.SetCaptionPosX(18);
    cs.SetCaptionPosY(8);
    cs.SetCaptionSize(10);
    cs.SetScaleRange(-60, 0);
    cs.SetMinTicks(10);
    cs.CrossHair()->SetVisible(false);
    show(c, cs, x, vy, "vertical");
  }
  x += vw + 30;
  {
    TColorScale cs(nullptr);
    cs.SetOrientation(kvr::csoVertical);
    cs.SetBounds(0, 0, vw, vh);
    thermal(cs);
    cs.SetMarginRight(60);
    cs.SetScaleRange(0, 500);
    cs.SetColorLow(120);
    cs.SetColorHigh(380);
    cs.SetExtendColors(true);
    cs.SetMinTicks(10);
    cs.CrossHair()->SetLineType(kvr::psSolid);
    cs.CrossHair()->SetLineWidth(3);
    cs.CrossHair()->SetColor(0xFF8000);
    cs.CrossHair()->SetPos(310, 310);
    show(c, cs, x, vy, "extended, crosshair");
  }
  x += vw + 30;
  {
    TColorScale cs(nullptr);
    cs.SetOrientation(kvr::csoVertical);
    cs.SetBounds(0, 0, vw, vh);
    cs.SetMarginRight(60);
    cs.SetScaleRange(0, 100);
    cs.SetColorLow(-50);
    cs.SetColorHigh(150);
    cs.SetColorSclBkgd(0xECE4DC);
    cs.SetFrameStyle(kvr::rbRaised);
    cs.SetMinTicks(5);
    cs.CrossHair()->SetVisible(false);
    show(c, cs, x, vy, "colours wider than bar");
  }
}

// A horizontal gauge of the common look; tune sets what the sample shows.
template <typename Tune>
void gauge(kvr::TCanvas& c, int x, int y, const std::string& title, Tune tune) {
  TScaleGauge g(nullptr);
  g.SetBounds(0, 0, kGaugeW, kGaugeH);
  g.SetMarginTop(26);
  g.SetCaptionPosX(22);
  g.SetCaptionPosY(6);
  g.SetCaptionSize(9);
  g.SetMinTicks(5);
  g.SetShortTicks(true);
  g.SetColorIndex1(0x602000);
  g.SetColorIndex2(0x0000E0);
  tune(g);
  show(c, g, x, y, title);
}

void gauges(kvr::TCanvas& c, int x0, int y0) {
  heading(c, x0, y0, "Scale gauges: backgrounds");
  const char* const bg_names[] = {"gbPlain", "gbVertGrad", "gbHorizGrad", "gbVertMidBand", "gbHorizMidBand"};
  int y = y0 + 45;
  for (int i = 0; i < 5; ++i) {
    const int x = x0 + (i % 4) * kColW, row = y + (i / 4) * (kGaugeH + 30);
    gauge(c, x, row, bg_names[i], [&](TScaleGauge& g) {
      g.SetBackground(static_cast<kvr::TGaugeBackground>(i));
      g.SetColorBg1(i == 0 ? 0xF0F0F0 : 0xB0A090);
      g.SetColorBg2(0xFFFCF8);
      g.SetCaption("Pressure [bar]");
      g.SetMin(0);
      g.SetMax(16);
      g.SetValue(6.4 + i);
    });
  }
  gauge(c, x0 + kColW, y + kGaugeH + 30, "Logarithmic, fixed dial", [](TScaleGauge& g) {
    g.SetMin(0.5);
    g.SetMax(2000);
    g.SetLogarithmic(true);
    g.SetMinTicks(2);
    g.SetValue(420);
    g.SetCaption("Flow [l/h]");
    g.SetIndexMode(kvr::gimThreadTriangle);
  });
  gauge(c, x0 + 2 * kColW, y + kGaugeH + 30, "Logarithmic, moving dial", [](TScaleGauge& g) {
    g.SetMin(0.5);
    g.SetMax(2000);
    g.SetLogarithmic(true);
    g.SetMinTicks(2);
    g.SetFixedDial(false);
    g.SetValue(420);
    g.SetCaption("Flow [l/h]");
    g.SetIndexMode(kvr::gimThreadTwoTriangles);
  });
  gauge(c, x0 + 3 * kColW, y + kGaugeH + 30, "Disabled", [](TScaleGauge& g) {
    g.SetCaption("Pressure [bar]");
    g.SetMin(0);
    g.SetMax(16);
    g.SetValue(9.5);
    g.SetIndexMode(kvr::gimThreadTriangle);
    g.SetEnabled(false);
  });

  y += 2 * (kGaugeH + 30) + 30;
  heading(c, x0, y, "Index marks (horizontal)");
  y += 45;
  const char* const idx_names[] = {"gimThread", "gimTriangle", "gimThreadTriangle", "gimThreadTwoTriangles",
                                   "gimBand", "gimDualColorBand", "gimBar"};
  const double values[] = {3.1, -4.6, 6.2, -1.5, 4.4, -3.8, 7.7};
  for (int i = 0; i < 7; ++i) {
    const int x = x0 + (i % 4) * kColW, row = y + (i / 4) * (kGaugeH + 30);
    gauge(c, x, row, idx_names[i], [&](TScaleGauge& g) {
      g.SetIndexMode(static_cast<kvr::TGaugeIndexMode>(i));
      g.SetMin(-12);
      g.SetMax(12);
      g.SetValue(values[i]);
      g.SetCaption("Offset [mm]");
    });
  }
  gauge(c, x0 + 3 * kColW, y + kGaugeH + 30, "Moving dial (index stays in the middle)", [](TScaleGauge& g) {
    g.SetMin(0);
    g.SetMax(360);
    g.SetFixedDial(false);
    g.SetValue(137);
    g.SetCaption("Heading [\xC2\xB0]");
    g.SetIndexMode(kvr::gimThreadTwoTriangles);
  });

  y += 2 * (kGaugeH + 30) + 30;
  heading(c, x0, y, "Index marks (vertical)");
  y += 45;
  const int vw = 112, vh = 330;
  const double vertical_values[] = {68, 31, 87, 44, 76, 28, 57};
  for (int i = 0; i < 8; ++i) {
    TScaleGauge g(nullptr);
    g.SetOrientation(kvr::goVertical);
    g.SetBounds(0, 0, vw, vh);
    g.SetMarginLeft(36);
    g.SetMarginTop(30);
    g.SetMarginBottom(12);
    g.SetMinTicks(10);
    g.SetShortTicks(true);
    g.SetColorIndex1(0x602000);
    g.SetColorIndex2(0x0000E0);
    g.SetCaptionPosX(8);
    g.SetCaptionPosY(8);
    g.SetCaptionSize(9);
    g.SetCaption("Level");
    // Unlabelled ends keep the end labels clear of the cover.
    g.SetMin(-4);
    g.SetMax(104);
    if (i < 7) {
      g.SetIndexMode(static_cast<kvr::TGaugeIndexMode>(i));
      g.SetValue(vertical_values[i]);
      g.SetGaugeZero(50);
    } else {
      g.SetIndexMode(kvr::gimBand);
      g.SetValue(64);
      g.SetEnabled(false);
    }
    std::string title = i < 7 ? std::string(idx_names[i]).substr(3) : "Disabled";
    show(c, g, x0 + i * (vw + 38), y, title);
  }
}

}  // namespace

void RenderGaugesPage(kvr::TCanvas& c, int w, int h) {
  c.Pen()->SetColor(kvr::clWhite);
  c.Brush()->SetStyle(kvr::bsSolid);
  c.Brush()->SetColor(kvr::clWhite);
  c.Rectangle(0, 0, w, h);
  colour_scales(c, 30, 24);
  gauges(c, 30, 560);
}
