// Gallery page of picture quality: the same chart drawn classic and smooth, at one and
// at two device pixels per chart pixel, a region enlarged 8x, the PDF export rendered
// back, and labels in several scripts.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

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

// Runs a converter on a file the chart writes into a private temporary folder and
// loads the PNG it produces; false when the tool is missing or fails.
template <typename Write>
bool convert_export(kvr::TBitmap& out, const char* tool, const std::string& ext, Write write,
                    const std::string& args) {
  namespace fs = std::filesystem;
  if (std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) != 0) return false;
  std::error_code ec;
  const fs::path dir = fs::temp_directory_path(ec) / ("kvr_quality_" + std::to_string(::getpid()));
  fs::create_directories(dir, ec);
  if (ec) return false;
  const std::string in = (dir / ("chart." + ext)).string(), png = (dir / "chart").string();
  write(in);
  std::string cmd = tool;
  cmd += " " + args;
  for (auto at = cmd.find("{in}"); at != std::string::npos; at = cmd.find("{in}")) cmd.replace(at, 4, "'" + in + "'");
  for (auto at = cmd.find("{out}"); at != std::string::npos; at = cmd.find("{out}")) cmd.replace(at, 5, "'" + png + "'");
  const bool ok = std::system((cmd + " 2>/dev/null").c_str()) == 0 && fs::exists(png + ".png");
  if (ok) out.LoadFromFile(png + ".png");
  fs::remove_all(dir, ec);
  return ok;
}

void frame(kvr::TCanvas& c, int x, int y, int w, int h) {
  c.Pen()->SetColor(0x808080);
  c.Brush()->SetStyle(kvr::bsClear);
  c.Rectangle(x, y, x + w, y + h);
}

// A region of the chart's SVG export enlarged 8x by an SVG renderer: item geometry keeps
// its fractions, so the curves stay curves. Without rsvg-convert, the scaled canvas draws
// the same enlargement.
void show_zoomed(kvr::TCanvas& c, TZUvado& z, int x, int y) {
  const int sx = 118 * 8, sy = 36 * 8, w = 400, h = 440;
  kvr::TBitmap b;
  if (convert_export(b, "rsvg-convert", "svg", [&](const std::string& f) { z.CopyToWMF(f, false); },
                     "-z 8 -b white -o {out}.png {in}")) {
    PageHeading(c, x, y - 20, "SVG export, rendered by rsvg-convert, region enlarged 8x");
  } else {
    z.SetSmooth(true);
    z.CopyToBitmapScaled(&b, 8);
    PageHeading(c, x, y - 20, "Smooth, region enlarged 8x (sub-pixel geometry)");
  }
  c.CopyRect(kvr::Rect(x, y, x + w, y + h), b.Canvas(), kvr::Rect(sx, sy, sx + w, sy + h));
  frame(c, x, y, w, h);
}

// The PDF export rendered back by pdftoppm at twice the screen's resolution.
void show_pdf(kvr::TCanvas& c, TZUvado& z, int x, int y) {
  PageHeading(c, x, y - 20, "PDF export, rendered back with pdftoppm at 192 dpi");
  z.SetSmooth(false);
  kvr::TBitmap b;
  if (convert_export(b, "pdftoppm", "pdf", [&](const std::string& f) { z.CopyToPDF(f); },
                     "-q -singlefile -png -r 192 {in} {out}")) {
    c.Draw(x, y, &b);
  } else {
    c.Font()->SetStyle(kvr::TFontStyles{});
    c.Font()->SetColor(0x404040);
    c.TextOut(x + 20, y + 40, "pdftoppm (poppler-utils) is not installed: no rendering of the PDF");
  }
}

// Labels in four scripts on a chart, kerned (HarfBuzz shaping with font fallback).
void show_labels(kvr::TCanvas& c, int x, int y) {
  PageHeading(c, x, y - 20, "Multilingual labels, kerning off (top) and on (bottom)");
  const char* lines[] = {
      "AVATAR Wa To",
      "\xCE\x98\xCE\xB5\xCF\x81\xCE\xBC\xCE\xBF\xCE\xBA\xCF\x81\xCE\xB1\xCF\x83\xCE\xAF\xCE\xB1 "
      "(\xCE\xB8, \xC2\xB0" "C)",                                            // Greek: temperature
      "\xE6\xB8\xA9\xE5\xBA\xA6\xE6\x9B\xB2\xE7\xBA\xBF",                          // CJK: temperature curve
      "\xD8\xAF\xD8\xB1\xD8\xAC\xD8\xA9 \xD8\xA7\xD9\x84\xD8\xAD\xD8\xB1\xD8\xA7\xD8\xB1\xD8\xA9",  // Arabic
  };
  for (int kern = 0; kern < 2; ++kern) {
    TZUvado z(nullptr);
    z.SetBounds(0, 0, 560, 200);
    z.CreateWnd();
    z.SetSuppressPaint(true);
    z.SetCaption(lines[0]);
    z.SetGridStyle(kvr::gsLines);
    z.SetGridColor(0xE0E0E0);
    z.SetRange(1, 0, 0, 10, 10);
    z.TextFont()->SetSize(13);
    z.TextFont()->SetKerning(kern != 0);
    z.SetDataColor(0x303030);
    for (int i = 0; i < 4; ++i) z.Text(5.0, 8.5 - i * 2.3, 13, lines[i]);
    z.SetSmooth(true);
    z.SetSuppressPaint(false);
    z.ShowGraf();
    kvr::TBitmap b;
    z.CopyToBitmapScaled(&b, 1);
    c.Draw(x, y + kern * 220, &b);
  }
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
  show_zoomed(c, z, 20, 800);
  show_pdf(c, z, 640, 800);
  show_labels(c, 20, 1300);
}
