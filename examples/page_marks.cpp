// Gallery page of the base library: all 256 data mark types in a numbered grid and
// every frame style.
#include <algorithm>
#include <string>

#include "examples/pages.h"
#include "platform/kvrbase.h"

using namespace kvr;

namespace {

constexpr TColor kInk = 0x5A2A10;       // pen of the marks
constexpr TColor kFill = 0x4FB0FF;      // brush of the brush-filled marks
constexpr TColor kRule = 0xD8D0C8;
constexpr TColor kLabel = 0x807870;
constexpr TColor kFace = 0xE8E4E0;

void title(TCanvas& c, int x, int y, const std::string& s) {
  c.Font()->SetSize(10);
  c.Font()->SetStyle({fsBold});
  c.Font()->SetColor(0x503010);
  c.Brush()->SetStyle(bsClear);
  c.TextOut(x, y, s);
  c.Font()->SetStyle({});
}

void mark_grid(TCanvas& c, int x0, int y0, int cell_w, int cell_h) {
  for (int type = 0; type < 256; ++type) {
    const int col = type % 16, row = type / 16;
    const int x = x0 + col * cell_w, y = y0 + row * cell_h;
    // Geometric marks on a white cell, character marks on a tinted one.
    c.Pen()->SetColor(kRule);
    c.Pen()->SetStyle(psSolid);
    c.Pen()->SetWidth(1);
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(type < kGeometricMarkCount ? clWhite : 0xF4F8FC);
    c.Rectangle(x, y, x + cell_w + 1, y + cell_h + 1);

    c.Font()->SetSize(6);
    c.Font()->SetColor(kLabel);
    c.Brush()->SetStyle(bsClear);
    c.TextOut(x + 2, y + 1, std::to_string(type));

    c.Pen()->SetColor(kInk);
    c.Brush()->SetColor(kFill);
    c.Brush()->SetStyle(bsSolid);
    c.Font()->SetSize(11);
    DrawMarkOnCanvas(&c, type, x + cell_w / 2 + 6, y + cell_h / 2 + 3);
  }
}

void frame_row(TCanvas& c, int x0, int y0, int w) {
  static const char* names[kFrameStyleCount] = {
      "rbNone", "rbSingle", "rbLowered", "rbRaised",
      "rbEmbossed", "rbEngraved", "rbDoubleLowered", "rbDoubleRaised"};
  const int gap = 10;
  const int fw = std::max(40, (w - gap * (kFrameStyleCount - 1)) / kFrameStyleCount);
  const int fh = 56;
  for (int s = 0; s < kFrameStyleCount; ++s) {
    const int x = x0 + s * (fw + gap);
    c.Pen()->SetColor(kFace);
    c.Brush()->SetColor(kFace);
    c.Brush()->SetStyle(bsSolid);
    c.Rectangle(x, y0, x + fw, y0 + fh);
    DrawFrame(&c, TFrameStyle(s), x + 6, y0 + 6, x + fw - 7, y0 + fh - 7, clWhite, clSilver,
              clGray, clBlack, clBlack);
    c.Font()->SetSize(7);
    c.Font()->SetColor(clBlack);
    c.Brush()->SetStyle(bsClear);
    const std::string label = std::to_string(s) + " " + names[s];
    c.TextOut(x + (fw - c.TextWidth(label)) / 2, y0 + fh + 4, label);
  }
}

}  // namespace

void RenderMarksPage(TCanvas& c, int w, int h) {
  c.Pen()->SetMode(pmCopy);
  c.Pen()->SetColor(0xF0ECE8);
  c.Brush()->SetColor(0xF0ECE8);
  c.Brush()->SetStyle(bsSolid);
  c.Rectangle(0, 0, w, h);

  const int margin = 20;
  const int frames_h = 100;
  const int cell_w = std::max(24, (w - 2 * margin) / 16);
  const int cell_h = std::max(20, (h - 2 * margin - 30 - frames_h) / 16);

  title(c, margin, 8, "Data marks 0..255 (0..51 geometric, 52..255 characters of the canvas font)");
  mark_grid(c, margin, 30, cell_w, cell_h);

  const int fy = 30 + 16 * cell_h + 14;
  title(c, margin, fy, "Frame styles");
  frame_row(c, margin, fy + 22, w - 2 * margin);
}
