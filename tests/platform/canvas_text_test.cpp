#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "tests/platform/raster_util.h"

using namespace kvr;
using kvr::test::count_color;

namespace {

TEST(CanvasText, ExtentsAreStableAndAdditive) {
  TBitmap b(10, 10);
  TCanvas& c = *b.Canvas();
  const int h = c.TextHeight("Ag");
  EXPECT_GT(h, 8);
  EXPECT_EQ(c.TextHeight(""), h);  // the cell height belongs to the font
  EXPECT_EQ(c.TextWidth(""), 0);
  EXPECT_EQ(c.TextWidth("12.5"), c.TextWidth("12") + c.TextWidth(".5"));
  EXPECT_EQ(c.TextWidth("12.5"), c.TextWidth("12.5"));
  const int w8 = c.TextWidth("Frequency");
  c.Font()->SetSize(16);
  EXPECT_GT(c.TextWidth("Frequency"), w8 * 3 / 2);
  EXPECT_GT(c.TextHeight("A"), h * 3 / 2);
  // Doubling the resolution at the same point size doubles the pixels.
  c.Font()->SetSize(8);
  c.Font()->SetPixelsPerInch(192);
  EXPECT_NEAR(c.TextHeight("A"), 2 * h, 4);
  // Unknown family names fall back to the default face.
  c.Font()->SetPixelsPerInch(96);
  c.Font()->SetName("No Such Font Family");
  EXPECT_EQ(c.TextHeight("A"), h);
  EXPECT_GT(c.TextWidth("Frequency"), 0);
}

TEST(CanvasText, GlyphsStayInTheirCellAndUseTheFontColour) {
  TBitmap b(120, 40);
  TCanvas& c = *b.Canvas();
  c.Brush()->SetStyle(bsClear);
  c.Font()->SetColor(clBlue);
  c.TextOut(10, 10, "Hxg");
  const int w = c.TextWidth("Hxg"), h = c.TextHeight("Hxg");
  int inked = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      if (c.Pixels(x, y) == clWhite) continue;
      ++inked;
      ASSERT_TRUE(x >= 10 && x < 10 + w + 1 && y >= 10 && y < 10 + h) << x << "," << y;
    }
  EXPECT_GT(inked, 20);
  // Anti-aliased glyphs: every inked pixel lies between white and the font colour.
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      const TColor p = c.Pixels(x, y);
      ASSERT_EQ(GetBValue(p), 255);
      ASSERT_EQ(GetRValue(p), GetGValue(p));
    }
}

TEST(CanvasText, OpaqueBackgroundFillsTheCellClearLeavesIt) {
  TBitmap b(100, 30);
  TCanvas& c = *b.Canvas();
  c.Brush()->SetColor(clYellow);
  c.TextOut(5, 5, "ab");
  const int w = c.TextWidth("ab"), h = c.TextHeight("ab");
  EXPECT_EQ(c.Pixels(5, 5), clYellow);
  EXPECT_EQ(c.Pixels(5 + w - 1, 5 + h - 1), clYellow);
  EXPECT_EQ(c.Pixels(5 + w, 5), clWhite);
  EXPECT_EQ(c.Pixels(5, 5 + h), clWhite);
  c.Brush()->SetStyle(bsClear);
  c.Brush()->SetColor(clRed);
  c.TextOut(60, 5, "ab");
  EXPECT_EQ(count_color(b, clRed), 0);
}

TEST(CanvasText, AlignmentMovesTheReferencePoint) {
  TBitmap b(200, 60);
  TCanvas& c = *b.Canvas();
  c.Brush()->SetColor(clRed);
  const int w = c.TextWidth("Wide"), h = c.TextHeight("Wide");
  EXPECT_EQ(SetTextAlign(c.Handle(), TA_RIGHT | TA_BOTTOM), 0u);
  c.TextOut(100, 50, "Wide");
  EXPECT_EQ(c.Pixels(100 - w, 50 - h), clRed);
  EXPECT_EQ(c.Pixels(99, 49), clRed);
  EXPECT_EQ(c.Pixels(100, 49), clWhite);
  EXPECT_EQ(c.Pixels(99, 50), clWhite);
  SetTextAlign(c.Handle(), TA_LEFT | TA_TOP | TA_UPDATECP);
  c.MoveTo(10, 5);
  c.TextOut(0, 0, "ab");
  EXPECT_EQ(c.PenPos(), Point(10 + c.TextWidth("ab"), 5));
  EXPECT_EQ(c.Pixels(10, 5), clRed);
}

TEST(CanvasText, StylesChangeTheGlyphs) {
  TBitmap b(10, 10);
  TCanvas& c = *b.Canvas();
  c.Font()->SetSize(12);
  const int regular = c.TextWidth("Bold text");
  c.Font()->SetStyle({fsBold});
  EXPECT_GT(c.TextWidth("Bold text"), regular);
  // Underline puts a full-width bar under the text.
  TBitmap u(100, 30);
  TCanvas& uc = *u.Canvas();
  uc.Brush()->SetStyle(bsClear);
  uc.Font()->SetStyle({fsUnderline});
  uc.TextOut(0, 0, "....");
  const int w = uc.TextWidth("....");
  int best = 0;
  for (int y = 0; y < 30; ++y) {
    int n = 0;
    for (int x = 0; x < w; ++x) n += uc.Pixels(x, y) != clWhite;
    best = std::max(best, n);
  }
  EXPECT_GE(best, w - 1);
}

TEST(CanvasText, InvalidUtf8AndHugeTextAreHarmless) {
  TBitmap b(50, 20);
  TCanvas& c = *b.Canvas();
  c.TextOut(0, 0, std::string("\xff\xfe\xc3", 3));
  EXPECT_GT(c.TextWidth(std::string("\xe2\x82", 2)), 0);
  c.TextOut(-2147483647, 2147483647, "far away");
  const std::string long_text(200000, 'W');
  c.Font()->SetSize(72);
  c.TextOut(0, 0, long_text);
  SUCCEED();
}

TEST(CanvasDevice, CapsReportResolutionAspectAndSize) {
  TBitmap b(320, 200);
  HDC dc = b.Canvas()->Handle();
  EXPECT_EQ(GetDeviceCaps(dc, ASPECTX), 36);
  EXPECT_EQ(GetDeviceCaps(dc, ASPECTY), 36);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 320);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 200);
  b.Canvas()->SetResolution(300);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 300);
  EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSY), 0);
}

}  // namespace

// A family that is not installed draws with the one fallback face, even where fontconfig
// would offer a substitute (it maps SimSun to its serif face), so pictures do not depend
// on the fonts a machine happens to have. Installed families match whatever their case;
// generic names keep their kind of face.
TEST(CanvasText, MissingFamiliesTakeTheOneFallbackFace) {
  TBitmap b(40, 40);
  TCanvas& c = *b.Canvas();
  auto width_in = [&](const char* family) {
    c.Font()->SetName(family);
    return c.TextWidth("iiiiiiiiii WWW ffff");
  };
  const int fallback = width_in("DejaVu Sans");
  EXPECT_EQ(width_in("SimSun"), fallback);
  EXPECT_EQ(width_in("No Such Font Family"), fallback);
  EXPECT_EQ(width_in("dejavu sans"), fallback);
  EXPECT_NE(width_in("monospace"), fallback);
  EXPECT_NE(width_in("DejaVu Serif"), fallback);
}
