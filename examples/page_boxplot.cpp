// Gallery page of box plots: five groups of measurements of different spread and skew in
// both orientations (percentiles and mean as marks, or as bars), a table of 35 columns of
// which the first 30 are labelled, a column of text only, and one box coloured by
// OnBeforeBoxDraw.
#include <cmath>
#include <random>
#include <string>

#include "boxplot/boxplot.h"
#include "examples/pages.h"

namespace {

using kvr::TBoxPlot;
using kvr::TDataTable;

// Five production lines, 60 parts each: narrow, wide, skewed right, skewed left and one
// with two populations.
void fill_groups(TDataTable& t) {
  std::mt19937 rng(19);
  std::normal_distribution<double> n01(0.0, 1.0);
  std::lognormal_distribution<double> logn(0.0, 0.6);
  const int rows = 60;
  t.BeginUpdate();
  t.Resize(5, rows);
  const char* names[5] = {"Line A", "Line B", "Line C", "Line D", "Line E"};
  for (int c = 1; c <= 5; ++c) t.SetColName(c, names[c - 1]);
  for (int r = 1; r <= rows; ++r) {
    t.SetElem(1, r, 50 + 1.5 * n01(rng));
    t.SetElem(2, r, 48 + 6.0 * n01(rng));
    t.SetElem(3, r, 42 + 6.0 * logn(rng));
    t.SetElem(4, r, 62 - 6.0 * logn(rng));
    t.SetElem(5, r, (r % 3 ? 45.0 : 57.0) + 1.8 * n01(rng));
  }
  t.EndUpdate();
}

void place(kvr::TCanvas& c, TBoxPlot& b, int x, int y, const std::string& title) {
  b.ShowGraf();
  PageHeading(c, x, y - 20, title);
  c.Draw(x, y, b.Surface());
}

void marks(TBoxPlot& b, TDataTable& t) {
  b.SetBounds(0, 0, 600, 400);
  b.CreateWnd();
  b.SetSuppressPaint(true);
  b.AssignAnotherDataTable(&t);
  b.SetCaption("Part length [mm]: percentiles and mean as marks");
  b.SetGridStyle(kvr::bpgsDotLines);
  b.SetGridColor(0xB0B0B0);
  b.SetShow90Perc(true);
  b.SetSymbol90Perc(21);
  b.SetSymbolMean(5);
  b.SetColorBody(0xF0E0C8);
  b.AutoRange(10);
  b.SetSuppressPaint(false);
}

void bars(TBoxPlot& b, TDataTable& t) {
  b.SetBounds(0, 0, 600, 400);
  b.CreateWnd();
  b.SetSuppressPaint(true);
  b.AssignAnotherDataTable(&t);
  b.SetOrientation(kvr::bpltHorizontal);
  b.SetCaption("The same, horizontal: bars, labels at the left");
  b.SetMarginBottom(32);
  b.SetGridStyle(kvr::bpgsLines);
  b.SetGridColor(0xE0E0E0);
  b.SetShow90Perc(true);
  b.SetSymbolMean(0);
  b.SetBoxWidth(0.6);
  b.SetColorBody(0xD8F0D8);
  b.SetColorMean(0x0000C0);
  b.Labels()->SetPosition(-6);
  b.Labels()->SetColorBkg(0xFFFFFF);
  b.Labels()->SetMode(kvr::tlBox);
  b.AutoRange(22);
  b.SetSuppressPaint(false);
}

void wide(TBoxPlot& b, TDataTable& t) {
  std::mt19937 rng(35);
  std::normal_distribution<double> n01(0.0, 1.0);
  t.BeginUpdate();
  t.Resize(35, 40);
  for (int c = 1; c <= 35; ++c) {
    std::string name = "S";
    name += std::to_string(c);
    t.SetColName(c, name);
    const double level = 20 + 8 * std::sin(c * 0.35), spread = 1.0 + 0.12 * c;
    for (int r = 1; r <= 40; ++r) t.SetElem(c, r, level + spread * n01(rng));
  }
  t.EndUpdate();
  b.SetBounds(0, 0, 1220, 300);
  b.CreateWnd();
  b.SetSuppressPaint(true);
  b.AssignAnotherDataTable(&t);
  b.SetCaption("35 sensors: 35 boxes, the first 30 labelled");
  b.SetMarginBottom(28);
  b.SetShowMean(false);
  b.SetShowMinMax(false);
  b.Labels()->SetPosition(4);
  b.Labels()->SetColorBkg(0xF0F0F0);
  b.AutoRange(8);
  b.SetSuppressPaint(false);
}

void text_column(TBoxPlot& b, TDataTable& t) {
  std::mt19937 rng(7);
  std::normal_distribution<double> n01(0.0, 1.0);
  t.BeginUpdate();
  t.Resize(4, 25);
  t.SetColName(1, "20\\xB0C");
  t.SetColName(2, "40\\xB0C");
  t.SetColName(3, "60\\xB0C");
  t.SetColName(4, "80\\xB0C");
  for (int r = 1; r <= 25; ++r) {
    t.SetElem(1, r, 12 + 1.2 * n01(rng));
    t.SetElem(2, r, 15 + 1.6 * n01(rng));
    t.SetElem(3, r, r % 5 ? "n/a" : "fail");
    t.SetElem(4, r, 21 + 2.5 * n01(rng));
  }
  t.EndUpdate();
  b.SetBounds(0, 0, 600, 400);
  b.CreateWnd();
  b.SetSuppressPaint(true);
  b.AssignAnotherDataTable(&t);
  b.SetCaption("60\xC2\xB0""C gave text only; 40\xC2\xB0""C coloured by OnBeforeBoxDraw");
  b.OnBeforeBoxDraw = [](kvr::TObject*, kvr::Integer Column, kvr::TColor& Lines, kvr::TColor& Body,
                         kvr::TColor& MinMax, kvr::TColor&, kvr::TColor&, kvr::TColor& Median) {
    if (Column != 2) return;
    Lines = 0x000080;
    Body = 0xA0A0FF;
    MinMax = 0x000080;
    Median = 0x000080;
  };
  b.Scale1Y()->SetCaption("yield [%]");
  b.SetMarginLeft(60);
  b.SetMarginTop(40);
  b.Labels()->SetPosition(-6);
  b.Labels()->SetMode(kvr::tlShadow);
  b.Labels()->SetColorBkg(0xE0FFFF);
  b.AutoRange(15);
  b.SetSuppressPaint(false);
}

}  // namespace

void RenderBoxPlotPage(kvr::TCanvas& c, int w, int h) {
  c.Brush()->SetStyle(kvr::bsSolid);
  c.Brush()->SetColor(0xFFFFFF);
  c.Pen()->SetColor(0xFFFFFF);
  c.Rectangle(0, 0, w, h);
  TDataTable groups, sensors, temps;
  fill_groups(groups);
  TBoxPlot a(nullptr), b(nullptr), d(nullptr), e(nullptr);
  marks(a, groups);
  place(c, a, 20, 40, "Vertical; 10/90 % percentiles and means as marks");
  bars(b, groups);
  place(c, b, 640, 40, "Horizontal; percentiles, median and mean as bars");
  wide(d, sensors);
  place(c, d, 20, 480, "A table of 35 columns");
  text_column(e, temps);
  place(c, e, 20, 820, "A column of text only; one box coloured by the event");
  TBoxPlot f(nullptr);
  f.SetBounds(0, 0, 600, 400);
  f.CreateWnd();
  place(c, f, 640, 820, "A new box plot: its own 100 random values");
}
