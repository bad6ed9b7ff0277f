// Gallery page of the chart's outputs: the bitmap copy in colour and in black and white,
// and a printed page at 300 dpi (a detail at full printer resolution and the whole
// page reduced). WriteOutputFiles adds the chart's own vector pictures and the printed
// documents to the gallery folder.
#include <algorithm>
#include <cmath>
#include <string>

#include "examples/pages.h"
#include "platform/bitmap.h"
#include "platform/printers.h"
#include "zuvado/zuvado.h"

namespace {

using kvr::TZUvado;

constexpr int kW = 560;
constexpr int kH = 380;

// A colourful chart: window, chart and shadow colours that the black-and-white
// conversion replaces, items that keep theirs, a text label and two crosshairs.
void output_chart(TZUvado& z, const std::string& caption) {
  z.SetBounds(0, 0, kW, kH);
  z.CreateWnd();
  z.SetSuppressPaint(true);
  z.SetWindColor(0xF0D8B0);
  z.SetChartColor(0xE8FFFF);
  z.SetShadowWidth(6);
  z.SetShadowColor(0x806040);
  z.SetMarginTop(28);
  z.SetCaption(caption);
  z.SetGridStyle(kvr::gsDotLines);
  z.SetGridColor(0x909090);
  z.SetRange(1, 0, -1.5, 10, 1.5);
  z.Scale1X()->SetColorScale(0x800000);
  z.Scale1Y()->SetColorScale(0x800000);
  z.Scale1X()->SetCaption("time [s]");
  z.BackGroundImg()->SetAreaMode(kvr::bamVStripe);
  z.BackGroundImg()->SetAreaColor(0xC8F0C8);
  z.BackGroundImg()->SetAreaLeft(6);
  z.BackGroundImg()->SetAreaRight(8);
  z.SetDataColor(0x0000C0);
  z.SetLineWidth(2);
  z.MoveTo(0.0, 0.0);
  for (int i = 1; i <= 300; ++i) z.DrawTo(i / 30.0, std::sin(i / 30.0 * 1.4) * std::exp(-i / 400.0));
  z.SetLineWidth(1);
  z.SetDataColor(0x008000);
  z.SetPenStyle(kvr::psDash);
  z.MoveTo(0.0, 1.0);
  for (int i = 1; i <= 300; ++i) z.DrawTo(i / 30.0, std::cos(i / 30.0 * 0.9));
  z.SetPenStyle(kvr::psSolid);
  z.SetDataColor(0x800080);
  for (int i = 0; i < 10; ++i) z.MarkAt(0.5 + i, -1.1 + 0.08 * i, kvr::Byte(10 + 4 * (i % 6)));
  z.SetDataColor(0x000000);
  z.SetFillColor(0x80C0FF);
  z.Rectangle(1.2, 0.9, 2.4, 1.3);
  const kvr::Integer lbl = z.AddTextLabel(7.0, 1.2, 0x000000, "shaded band", 0);
  z.TextLabels(lbl)->SetMode(kvr::TTxtLblMode(4));
  z.TextLabels(lbl)->SetColorBkg(0xE0F8FF);
  z.TextLabels(lbl)->SetShadowDx(3);
  z.TextLabels(lbl)->SetShadowDy(3);
  z.CrossHair(2)->SetLayer(1);  // crosshair k starts on layer k
  z.CrossHairSetup(1, 0xFF0000, kvr::chBoth, kvr::psDot, 1);
  z.CrossHairSetPos(1, 3.3, -0.45);
  z.CrossHairSetup(2, 0x0000FF, kvr::chCross, kvr::psSolid, 1);
  z.CrossHairSetPos(2, 8.6, 0.6);
  z.SetSuppressPaint(false);
}

// The whole page reduced by `f` with box averaging, so that thin lines stay visible.
void reduced(kvr::TCanvas& c, const kvr::TBitmap& page, int x, int y, int f) {
  const int w = page.Width() / f, h = page.Height() / f;
  kvr::TBitmap small(w, h);
  for (int j = 0; j < h; ++j) {
    kvr::TRGB32* out = small.ScanLine(j);
    for (int i = 0; i < w; ++i) {
      int r = 0, g = 0, b = 0;
      for (int v = 0; v < f; ++v) {
        const kvr::TRGB32* in = page.ScanLine(j * f + v) + i * f;
        for (int u = 0; u < f; ++u) r += in[u].R, g += in[u].G, b += in[u].B;
      }
      const int n = f * f;
      out[i] = kvr::TRGB32{kvr::Byte(b / n), kvr::Byte(g / n), kvr::Byte(r / n), 255};
    }
  }
  c.Pen()->SetColor(0x808080);
  c.Brush()->SetStyle(kvr::bsClear);
  c.Draw(x, y, &small);
  c.Rectangle(x - 1, y - 1, x + w + 1, y + h + 1);
}

}  // namespace

void RenderOutputPage(kvr::TCanvas& c, int w, int h) {
  c.Brush()->SetStyle(kvr::bsSolid);
  c.Brush()->SetColor(0xFFFFFF);
  c.Pen()->SetColor(0xFFFFFF);
  c.Rectangle(0, 0, w, h);
  TZUvado z(nullptr);
  output_chart(z, "Colour and black and white");
  kvr::TBitmap colour, bw;
  z.CopyToBitmap(&colour, false);
  z.CopyToBitmap(&bw, true);
  PageHeading(c, 20, 20, "CopyToBitmap, colour");
  c.Draw(20, 40, &colour);
  PageHeading(c, 620, 20, "CopyToBitmap, black and white (items keep their colours)");
  c.Draw(620, 40, &bw);

  // Two charts share one page through CopyToOpenPrinter; the page is only shown here,
  // the document is dropped.
  TZUvado second(nullptr);
  output_chart(second, "Second chart on the same page");
  kvr::TPrinter& p = kvr::Printer();
  p.BeginDoc();
  kvr::Integer x = 0, y = 0;
  z.CopyToOpenPrinter(x, y, 0.55, false);
  second.CopyToOpenPrinter(x, y, 0.55, true);
  const kvr::TBitmap& page = *p.Canvas()->Bitmap();
  PageHeading(c, 20, 450, "Printed at 300 dpi, ScaleF 0.55: a detail at printer resolution");
  const int dw = 740, dh = 560;
  c.CopyRect(kvr::TRect{20, 470, 20 + dw, 470 + dh}, p.Canvas(), kvr::TRect{0, 0, dw, dh});
  PageHeading(c, 790, 450, "The whole A4 page, reduced 1:6");
  reduced(c, page, 800, 470, 6);
  p.Abort();
}

std::vector<OutputFile> WriteOutputFiles(const std::filesystem::path& dir) {
  TZUvado z(nullptr);
  output_chart(z, "The chart's own vector output");
  z.CopyToWMF((dir / "chart_vector.svg").string(), false);
  z.CopyToWMF((dir / "chart_vector_bw.svg").string(), true);
  kvr::TPrinter& p = kvr::Printer();
  p.SetOutputPath((dir / "chart_print.pdf").string());
  z.PrintIt(1.0, false);
  TZUvado second(nullptr);
  output_chart(second, "Second chart");
  p.SetOutputPath((dir / "charts_page.pdf").string());
  p.BeginDoc();
  kvr::Integer x = 0, y = 0;
  for (TZUvado* c : {&z, &second, &second, &z}) c->CopyToOpenPrinter(x, y, 0.55, c == &second);
  p.EndDoc();
  return {{"chart_vector.svg", "CopyToWMF, colour (SVG)"},
          {"chart_vector_bw.svg", "CopyToWMF, black and white (SVG)"},
          {"chart_print.pdf", "PrintIt at ScaleF 1 (PDF)"},
          {"charts_page.pdf", "Four charts on one page with CopyToOpenPrinter (PDF)"}};
}
