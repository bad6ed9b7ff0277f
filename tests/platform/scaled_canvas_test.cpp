// The scaled canvas: a picture laid out in screen pixels, painted afresh on a larger
// surface. Checked against the screen picture with every pixel enlarged, for placement,
// clipping, measurements and the printer's page.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "platform/bitmap.h"
#include "platform/printcanvas.h"
#include "platform/printers.h"
#include "platform/scaledcanvas.h"

using namespace kvr;

namespace {

constexpr TColor kRed = 0x0000FF, kGreen = 0x008000, kBlue = 0xFF0000;

// 60 x 40: a red box with a green border, a blue one-pixel line and a dashed one.
void picture(TCanvas& c) {
  c.Brush()->SetColor(kRed);
  c.Pen()->SetColor(kGreen);
  c.Rectangle(5, 5, 25, 20);
  c.Pen()->SetColor(kBlue);
  c.MoveTo(30, 10);
  c.LineTo(55, 10);
  c.MoveTo(40, 0);
  c.LineTo(40, 40);
  c.Pen()->SetStyle(psDash);
  c.MoveTo(0, 30);
  c.LineTo(60, 30);
}

void clear(TBitmap& b) {
  b.Canvas()->Brush()->SetColor(clWhite);
  b.Canvas()->FillRect(TRect{0, 0, b.Width(), b.Height()});
}

TEST(ScaledCanvas, DrawsTheScreenPictureWithEveryPixelEnlarged) {
  TBitmap screen(60, 40);
  clear(screen);
  picture(*screen.Canvas());
  for (int k : {2, 3}) {
    TBitmap page(200, 160);
    clear(page);
    DrawScaled(*page.Canvas(), 10, 7, k, 60, 40, picture);
    // Boxes come out exact; stroke ends may differ by a device pixel.
    int differ = 0, box_differ = 0;
    for (int y = 0; y < 40 * k; ++y)
      for (int x = 0; x < 60 * k; ++x) {
        const bool d = page.Canvas()->Pixels(10 + x, 7 + y) != screen.Canvas()->Pixels(x / k, y / k);
        differ += d;
        box_differ += d && x / k < 28 && y / k < 24;
      }
    EXPECT_EQ(box_differ, 0) << k;
    EXPECT_LE(differ, 20) << k;
    // Nothing lands outside the picture's place.
    for (int y = 0; y < 160; ++y)
      for (int x = 0; x < 200; ++x) {
        if (x >= 10 && y >= 7 && x < 10 + 60 * k && y < 7 + 40 * k) continue;
        ASSERT_EQ(page.Canvas()->Pixels(x, y), clWhite) << x << "," << y;
      }
  }
}

TEST(ScaledCanvas, PaintingMeasuresAndClipsInScreenPixels) {
  TBitmap screen(60, 40), page(300, 200);
  clear(page);
  int width_seen = -1, screen_width = screen.Canvas()->TextWidth("Measured");
  TColor read_back = 0;
  DrawScaled(*page.Canvas(), 0, 0, 4.0, 60, 40, [&](TCanvas& c) {
    EXPECT_EQ(c.ClipRect().Right, 60);
    EXPECT_EQ(c.ClipRect().Bottom, 40);
    width_seen = c.TextWidth("Measured");
    c.Brush()->SetColor(kRed);
    c.FillRect(TRect{-100, -100, 1000, 1000});  // cut at the picture's edge
    read_back = c.Pixels(59, 39);
    c.SetClipRect(TRect{10, 10, 20, 20});
    c.Brush()->SetColor(kBlue);
    c.FillRect(TRect{0, 0, 60, 40});
  });
  EXPECT_EQ(width_seen, screen_width);
  EXPECT_EQ(read_back, kRed);
  EXPECT_EQ(page.Canvas()->Pixels(239, 159), kRed);
  EXPECT_EQ(page.Canvas()->Pixels(240, 100), clWhite);
  EXPECT_EQ(page.Canvas()->Pixels(40, 40), kBlue);
  EXPECT_EQ(page.Canvas()->Pixels(79, 79), kBlue);
  EXPECT_EQ(page.Canvas()->Pixels(80, 80), kRed);
}

// The target's clip limits the picture and is the same afterwards, also when the paint
// routine fails half-way; bad scales draw nothing.
TEST(ScaledCanvas, TargetKeepsItsClipAndBadScalesDrawNothing) {
  TBitmap page(100, 100);
  clear(page);
  TCanvas& t = *page.Canvas();
  auto red = [](TCanvas& c) {
    c.Brush()->SetColor(kRed);
    c.FillRect(TRect{0, 0, 50, 50});
  };
  t.SetClipRect(TRect{0, 0, 30, 100});
  DrawScaled(t, 10, 10, 2.0, 50, 50, red);
  EXPECT_EQ(t.Pixels(29, 50), kRed);
  EXPECT_EQ(t.Pixels(30, 50), clWhite);
  EXPECT_EQ(t.ClipRect().Right, 30);
  EXPECT_THROW(DrawScaled(t, 0, 0, 2.0, 50, 50,
                          [](TCanvas& c) {
                            c.FillRect(TRect{0, 0, 1, 1});
                            throw std::runtime_error("paint failed");
                          }),
               std::runtime_error);
  EXPECT_EQ(t.ClipRect().Right, 30);
  t.ResetClip();
  t.Brush()->SetColor(kGreen);
  t.FillRect(TRect{90, 90, 100, 100});  // the whole surface again
  EXPECT_EQ(t.Pixels(95, 95), kGreen);
  for (double bad : {0.0, -2.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
    bool painted = false;
    DrawScaled(t, 0, 0, bad, 50, 50, [&](TCanvas&) { painted = true; });
    EXPECT_FALSE(painted) << bad;
  }
  EXPECT_EQ(ScaledSize(400, 3.125), 1250);
  EXPECT_EQ(ScaledSize(300, 3.125), 938);
  EXPECT_EQ(ScaledSize(-5, 2.0), 0);
}

TEST(ScaledCanvas, PrintsAtThePrintersResolutionWithinThePage) {
  TPrinter& p = Printer();
  if (p.Printing()) p.Abort();
  p.SetResolution(300);
  EXPECT_DOUBLE_EQ(PrintScale(400, 300, 1.0), 3.125);
  EXPECT_DOUBLE_EQ(PrintScale(400, 300, 0.5), 1.5625);
  EXPECT_DOUBLE_EQ(PrintScale(400, 300, 1e9), 2480.0 / 400);  // cut to the page
  EXPECT_DOUBLE_EQ(PrintScale(100, 3508, 2.0), 1.0);
  EXPECT_THROW(PrintScale(400, 300, 0.0), EPrinter);
  EXPECT_THROW(PrintScale(400, 300, std::nan("")), EPrinter);
  p.BeginDoc();
  PrintPicture(100, 200, 3.125, 60, 40, picture);
  EXPECT_EQ(p.Canvas()->Pixels(100 + 16, 200 + 16), kGreen);  // border at screen (5, 5)
  EXPECT_EQ(p.Canvas()->Pixels(100 + 50, 200 + 50), kRed);
  EXPECT_EQ(p.Canvas()->Pixels(99, 200 + 50), clWhite);
  p.Canvas()->Brush()->SetColor(kBlue);
  p.Canvas()->FillRect(TRect{2000, 3000, 2010, 3010});  // the page's clip is its own again
  EXPECT_EQ(p.Canvas()->Pixels(2005, 3005), kBlue);
  p.Abort();
}

}  // namespace
