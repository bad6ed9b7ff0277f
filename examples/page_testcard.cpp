// The drawing surface's test card: pen styles and widths, brushes, exclusive-or
// bands, ellipses, arcs, polygons and text.
#include <cmath>
#include <string>

#include "examples/pages.h"

using namespace kvr;

namespace {

void heading(TCanvas& c, int x, int y, const std::string& s) {
  c.Font()->SetSize(10);
  c.Font()->SetStyle({fsBold});
  c.Font()->SetColor(0x503010);
  c.Brush()->SetStyle(bsClear);
  c.TextOut(x, y, s);
  c.Font()->SetStyle({});
  c.Font()->SetSize(8);
  c.Font()->SetColor(clBlack);
}

void panel(TCanvas& c, int x, int y, int w, int h, const std::string& title) {
  c.Pen()->SetColor(0xD0C8C0);
  c.Pen()->SetWidth(1);
  c.Pen()->SetStyle(psSolid);
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(clWhite);
  c.Rectangle(x, y, x + w, y + h);
  heading(c, x + 10, y + 6, title);
}

void pens(TCanvas& c, int x, int y) {
  panel(c, x, y, 430, 300, "Pen styles and widths");
  static const char* names[] = {"solid", "dash", "dot", "dash-dot", "dash-dot-dot", "clear", "inside frame"};
  for (int s = 0; s <= 6; ++s) {
    const int yy = y + 40 + s * 18;
    c.Brush()->SetStyle(bsClear);
    c.TextOut(x + 12, yy - 7, names[s]);
    c.Pen()->SetStyle(TPenStyle(s));
    c.Pen()->SetColor(0x202020);
    c.Pen()->SetWidth(1);
    c.MoveTo(x + 110, yy);
    c.LineTo(x + 410, yy);
  }
  static const TColor colors[] = {0xB04010, 0x2080D0, 0x30A030, 0x1010C0, 0x808000, 0x800080};
  const int widths[] = {1, 2, 3, 5, 8, 12};
  c.Pen()->SetStyle(psSolid);
  for (int i = 0; i < 6; ++i) {
    const int yy = y + 180 + i * 19;
    c.Pen()->SetWidth(1);
    c.TextOut(x + 12, yy - 7, "width " + std::to_string(widths[i]));
    c.Pen()->SetColor(colors[i]);
    c.Pen()->SetWidth(widths[i]);
    c.MoveTo(x + 110, yy);
    c.LineTo(x + 250, yy);
    c.Polyline({{x + 270, yy + 6}, {x + 300, yy - 6}, {x + 330, yy + 6}, {x + 360, yy - 6}, {x + 400, yy}});
  }
  c.Pen()->SetWidth(1);
  c.Pen()->SetColor(clBlack);
}

void brushes(TCanvas& c, int x, int y) {
  panel(c, x, y, 430, 300, "Brushes, rectangles and exclusive-or bands");
  // A colourful backdrop to show what the clear brush leaves visible.
  c.Brush()->SetStyle(bsSolid);
  for (int i = 0; i < 16; ++i) {
    c.Pen()->SetColor(RGB(255 - i * 10, 120 + i * 8, 60 + i * 12));
    c.Brush()->SetColor(c.Pen()->Color());
    c.Rectangle(x + 20 + i * 24, y + 40, x + 44 + i * 24, y + 140);
  }
  c.Pen()->SetColor(clBlack);
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(0xF0E0C0);
  c.Rectangle(x + 40, y + 60, x + 160, y + 120);
  c.Brush()->SetStyle(bsClear);
  c.Pen()->SetWidth(3);
  c.Rectangle(x + 180, y + 60, x + 300, y + 120);
  c.Pen()->SetWidth(1);
  c.Brush()->SetStyle(bsClear);
  c.TextOut(x + 62, y + 84, "solid brush");
  c.TextOut(x + 204, y + 84, "clear brush");
  // Exclusive-or: a band drawn once shows inverted colours, drawn twice disappears.
  c.Pen()->SetMode(pmXor);
  c.Pen()->SetColor(clWhite);
  c.Brush()->SetStyle(bsClear);
  c.Rectangle(x + 320, y + 55, x + 400, y + 125);
  c.Rectangle(x + 326, y + 61, x + 394, y + 119);
  c.Rectangle(x + 326, y + 61, x + 394, y + 119);
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(clWhite);
  c.Rectangle(x + 10, y + 120, x + 420, y + 160);
  c.Pen()->SetMode(pmCopy);
  c.Brush()->SetStyle(bsClear);
  c.Font()->SetColor(clBlack);
  c.TextOut(x + 20, y + 180, "xor band; the inner xor frame was drawn twice and is gone");
  // Framed and filled rectangles side by side in a few pen widths.
  const int widths[] = {1, 2, 4, 6};
  for (int i = 0; i < 4; ++i) {
    c.Pen()->SetWidth(widths[i]);
    c.Pen()->SetColor(0x804020);
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(0xC0E0F8);
    c.Rectangle(x + 30 + i * 100, y + 205, x + 100 + i * 100, y + 280);
  }
  c.Pen()->SetWidth(1);
}

void shapes(TCanvas& c, int x, int y) {
  panel(c, x, y, 430, 300, "Ellipses, arcs and polygons");
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(0x90D0F0);
  c.Pen()->SetColor(0x305070);
  c.Ellipse(x + 20, y + 40, x + 120, y + 110);
  c.Pen()->SetWidth(4);
  c.Brush()->SetColor(0xC0F0C0);
  c.Ellipse(x + 140, y + 40, x + 210, y + 110);
  c.Pen()->SetWidth(1);
  c.Brush()->SetStyle(bsClear);
  c.Ellipse(x + 230, y + 50, x + 250, y + 70);
  c.Ellipse(x + 260, y + 50, x + 270, y + 60);
  c.Ellipse(x + 280, y + 50, x + 283, y + 53);
  // Arcs run counter-clockwise from the start radial to the end radial.
  const int cx = x + 360, cy = y + 80;
  for (int k = 0; k < 4; ++k) {
    const int r = 20 + k * 9;
    const double a0 = k * 0.6, a1 = a0 + 1.2 + k * 0.8;
    c.Pen()->SetColor(RGB(200 - k * 40, 60 + k * 40, 40 + k * 50));
    c.Pen()->SetWidth(k + 1);
    c.Arc(cx - r, cy - r, cx + r, cy + r, cx + int(100 * std::cos(a0)), cy - int(100 * std::sin(a0)),
          cx + int(100 * std::cos(a1)), cy - int(100 * std::sin(a1)));
  }
  c.Pen()->SetWidth(1);
  // A five-pointed star: the alternate rule leaves the centre empty.
  c.Pen()->SetColor(0x2020A0);
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(0x40C0FF);
  TPoint star[5];
  for (int i = 0; i < 5; ++i) {
    const double a = -M_PI / 2 + i * 4 * M_PI / 5;
    star[i] = {x + 80 + int(std::lround(60 * std::cos(a))), y + 200 + int(std::lround(60 * std::sin(a)))};
  }
  c.Polygon(star);
  c.Brush()->SetColor(0xE0A0C0);
  c.Pen()->SetWidth(3);
  c.Polygon({{x + 170, y + 260}, {x + 220, y + 150}, {x + 270, y + 260}});
  c.Pen()->SetWidth(1);
  c.Pen()->SetColor(0x008000);
  TPoint wave[60];
  for (int i = 0; i < 60; ++i)
    wave[i] = {x + 290 + i * 2, y + 205 + int(std::lround(40 * std::sin(i * 0.25) * std::exp(-i * 0.02)))};
  c.Polyline(wave);
}

void texts(TCanvas& c, int x, int y) {
  panel(c, x, y, 430, 300, "Text");
  int yy = y + 34;
  for (int size : {6, 8, 10, 12, 14, 18}) {
    c.Font()->SetSize(size);
    c.Brush()->SetStyle(bsClear);
    c.TextOut(x + 14, yy, std::to_string(size) + " pt  10⁻³ µV  −12.5 … 1.0E+06");
    yy += c.TextHeight("Ag") + 2;
  }
  c.Font()->SetSize(10);
  struct S {
    TFontStyles st;
    const char* name;
  } styles[] = {{{fsBold}, "bold"}, {{fsItalic}, "italic"}, {{fsUnderline}, "underline"}, {{fsStrikeOut}, "strike-out"}};
  int xx = x + 14;
  for (const S& s : styles) {
    c.Font()->SetStyle(s.st);
    c.TextOut(xx, yy + 6, s.name);
    xx += c.TextWidth(s.name) + 18;
  }
  c.Font()->SetStyle({});
  // Opaque and clear backgrounds over a hatch of lines.
  for (int i = 0; i < 40; ++i) {
    c.Pen()->SetColor(0xC0C0C0);
    c.MoveTo(x + 14 + i * 10, yy + 36);
    c.LineTo(x + 34 + i * 10, yy + 76);
  }
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(0xA0FFFF);
  c.Font()->SetColor(0x000080);
  c.TextOut(x + 24, yy + 46, "opaque background");
  c.Brush()->SetStyle(bsClear);
  c.Font()->SetColor(0x800000);
  c.TextOut(x + 224, yy + 46, "clear background");
  c.Font()->SetColor(clBlack);
  c.Font()->SetSize(8);
}

}  // namespace

void RenderTestCard(TCanvas& c, int w, int h) {
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(0xF4F0EC);
  c.FillRect({0, 0, w, h});
  c.Font()->SetName("DejaVu Sans");
  c.Font()->SetSize(14);
  c.Font()->SetStyle({fsBold});
  c.Brush()->SetStyle(bsClear);
  c.TextOut(20, 12, "Drawing surface test card");
  c.Font()->SetStyle({});
  c.Font()->SetSize(8);
  pens(c, 20, 44);
  brushes(c, 470, 44);
  shapes(c, 20, 364);
  texts(c, 470, 364);
}
