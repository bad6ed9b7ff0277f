#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/bitmap.h"
#include "tests/platform/raster_util.h"
#include "tests/test_out.h"

using namespace kvr;
using kvr::test::snapshot;

namespace {

void expect_same_rgb(const TBitmap& a, const TBitmap& b) {
  ASSERT_EQ(a.Width(), b.Width());
  ASSERT_EQ(a.Height(), b.Height());
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const TRGB32 p = a.ScanLine(y)[x], q = b.ScanLine(y)[x];
      ASSERT_TRUE(p.R == q.R && p.G == q.G && p.B == q.B) << x << "," << y;
    }
}

TEST(BitmapSize, ResizingKeepsThePictureAndRejectsAbsurdSizes) {
  TBitmap b(4, 3);
  b.Canvas()->SetPixels(3, 2, clRed);
  b.SetSize(7, 5);
  EXPECT_EQ(b.Canvas()->Pixels(3, 2), clRed);
  EXPECT_EQ(b.Canvas()->Pixels(6, 4), clWhite);
  b.SetSize(-5, 2);
  EXPECT_TRUE(b.Empty());
  EXPECT_THROW(b.SetSize(70000, 10), Exception);
  EXPECT_THROW(b.SetSize(30000, 30000), Exception);
  EXPECT_EQ(b.Width(), 0);
  b.SetSize(2, 2);
  EXPECT_THROW(b.ScanLine(2), Exception);
  EXPECT_THROW(b.ScanLine(-1), Exception);
  // Drawing on an empty bitmap is a no-op.
  TBitmap e;
  e.Canvas()->Rectangle(0, 0, 10, 10);
  e.Canvas()->TextOut(0, 0, "x");
  EXPECT_EQ(e.Canvas()->Pixels(0, 0), -1);
}

TEST(BitmapFiles, PngAndBmpRoundTripOddSizes) {
  for (int w : {1, 13, 64}) {
    TBitmap b(w, 7);
    kvr::test::noise(b, uint32_t(w));
    for (const char* ext : {".png", ".bmp", ".PNG"}) {
      const std::string path = test_out_file("roundtrip_" + std::to_string(w) + ext);
      b.SaveToFile(path);
      TBitmap r;
      r.LoadFromFile(path);
      expect_same_rgb(b, r);
    }
  }
}

// Pictures of up to 256 colours are written with a palette, others as RGB; either way
// the pixels come back exactly, also when the colour that breaks the palette is the last.
TEST(BitmapFiles, PngPaletteOnlyUpTo256ColoursAndExactEitherWay) {
  auto colour_type = [](const std::vector<uint8_t>& png) { return png.size() > 25 ? int(png[25]) : -1; };
  for (const int colours : {1, 2, 256, 257}) {
    TBitmap b(40, 30);
    // Runs of a colour with a few colours far apart, and the last new colour at the end.
    for (int i = 0; i < 40 * 30; ++i) {
      const int k = std::min(i / 4, colours - 1);
      b.ScanLine(i / 40)[i % 40] = {uint8_t(k * 37), uint8_t(k * 11 + (k >> 8)), uint8_t(255 - k), 255};
    }
    const std::vector<uint8_t> png = b.SaveToPNGData();
    EXPECT_EQ(colour_type(png), colours <= 256 ? 3 : 2) << colours;
    const std::string path = test_out_file("palette_" + std::to_string(colours) + ".png");
    b.SaveToFile(path);
    TBitmap r;
    r.LoadFromFile(path);
    expect_same_rgb(b, r);
  }
}

std::vector<uint8_t> bmp32_top_down(int w, int h) {
  std::vector<uint8_t> v(54 + size_t(w) * h * 4);
  auto put32 = [&](size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
  };
  v[0] = 'B';
  v[1] = 'M';
  put32(2, uint32_t(v.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(w));
  put32(22, uint32_t(-h));
  v[26] = 1;
  v[28] = 32;
  for (int i = 0; i < w * h; ++i) {
    v[54 + 4 * i] = uint8_t(i);      // B
    v[54 + 4 * i + 1] = 0;           // G
    v[54 + 4 * i + 2] = uint8_t(200);  // R
  }
  return v;
}

TEST(BitmapFiles, ReadsTopDown32BitAndBottomUp24Bit) {
  TBitmap b;
  b.LoadFromBMPData(bmp32_top_down(3, 2));
  ASSERT_EQ(b.Width(), 3);
  EXPECT_EQ(b.ScanLine(0)[1].B, 1);  // first row in the file is the top row
  EXPECT_EQ(b.ScanLine(1)[0].B, 3);
  EXPECT_EQ(b.ScanLine(1)[0].R, 200);
  // Our own writer produces bottom-up 24-bit files.
  TBitmap src(5, 2);
  src.Canvas()->SetPixels(0, 0, clRed);
  TBitmap back;
  back.LoadFromBMPData(src.SaveToBMPData());
  EXPECT_EQ(back.Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(back.Canvas()->Pixels(0, 1), clWhite);
}

TEST(BitmapFiles, DamagedFilesRaiseAndLeaveTheBitmapAlone) {
  TBitmap b(2, 2);
  b.Canvas()->SetPixels(0, 0, clBlue);
  std::vector<uint8_t> good = bmp32_top_down(8, 8);
  std::vector<std::vector<uint8_t>> bad = {
      {},
      {'B', 'M'},
      std::vector<uint8_t>(good.begin(), good.begin() + 60),  // truncated pixels
  };
  std::vector<uint8_t> huge = good;
  huge[18] = huge[19] = 0xFF;  // 65535 wide
  huge[22] = huge[23] = huge[24] = 0x7F;
  bad.push_back(huge);
  std::vector<uint8_t> badbpp = good;
  badbpp[28] = 7;
  bad.push_back(badbpp);
  for (const auto& d : bad) {
    EXPECT_THROW(b.LoadFromBMPData(d), Exception);
    EXPECT_THROW(b.LoadFromPNGData(d), Exception);
  }
  const std::vector<uint8_t> png = b.SaveToPNGData();
  EXPECT_THROW(b.LoadFromPNGData(std::vector<uint8_t>(png.begin(), png.begin() + png.size() / 2)), Exception);
  EXPECT_EQ(b.Width(), 2);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clBlue);
  EXPECT_THROW(b.LoadFromFile(test_out_file("does_not_exist.png")), Exception);
}

TEST(BitmapTransfer, CopyModesCombineSourceAndDestination) {
  TBitmap src(2, 1);
  src.Canvas()->SetPixels(0, 0, 0x0F0F0F);
  src.Canvas()->SetPixels(1, 0, 0xF0F000);
  struct Case {
    int32_t mode;
    TColor expect0, expect1;
  } cases[] = {
      {SRCCOPY, 0x0F0F0F, 0xF0F000},
      {SRCAND, 0x0F0F0F & 0x3C3C3C, 0xF0F000 & 0x3C3C3C},
      {SRCPAINT, 0x0F0F0F | 0x3C3C3C, 0xF0F000 | 0x3C3C3C},
      {SRCINVERT, 0x0F0F0F ^ 0x3C3C3C, 0xF0F000 ^ 0x3C3C3C},
  };
  for (const Case& k : cases) {
    TBitmap dst(4, 3);
    dst.Canvas()->Brush()->SetColor(0x3C3C3C);
    dst.Canvas()->FillRect(Rect(0, 0, 4, 3));
    dst.Canvas()->SetCopyMode(k.mode);
    dst.Canvas()->Draw(1, 1, &src);
    EXPECT_EQ(dst.Canvas()->Pixels(1, 1), k.expect0) << std::hex << k.mode;
    EXPECT_EQ(dst.Canvas()->Pixels(2, 1), k.expect1);
    EXPECT_EQ(dst.Canvas()->Pixels(3, 1), 0x3C3C3C);
  }
}

TEST(BitmapTransfer, StretchAndCopyRectSampleTheSource) {
  TBitmap src(2, 2);
  src.Canvas()->SetPixels(0, 0, clRed);
  src.Canvas()->SetPixels(1, 1, clBlue);
  TBitmap dst(10, 10);
  dst.Canvas()->StretchDraw(Rect(2, 2, 6, 6), &src);
  EXPECT_EQ(dst.Canvas()->Pixels(2, 2), clRed);
  EXPECT_EQ(dst.Canvas()->Pixels(3, 3), clRed);
  EXPECT_EQ(dst.Canvas()->Pixels(4, 4), clBlue);
  EXPECT_EQ(dst.Canvas()->Pixels(5, 5), clBlue);
  EXPECT_EQ(dst.Canvas()->Pixels(4, 3), clWhite);
  EXPECT_EQ(dst.Canvas()->Pixels(6, 6), clWhite);
  TBitmap other(10, 10);
  other.Canvas()->CopyRect(Rect(0, 0, 2, 2), dst.Canvas(), Rect(4, 4, 6, 6));
  EXPECT_EQ(other.Canvas()->Pixels(1, 1), clBlue);
  // Overlapping copy within one bitmap reads the picture as it was.
  TBitmap self(6, 1);
  for (int x = 0; x < 6; ++x) self.Canvas()->SetPixels(x, 0, RGB(x * 40, 0, 0));
  self.Canvas()->CopyRect(Rect(1, 0, 6, 1), self.Canvas(), Rect(0, 0, 5, 1));
  for (int x = 1; x < 6; ++x) EXPECT_EQ(self.Canvas()->Pixels(x, 0), RGB((x - 1) * 40, 0, 0));
  // Partly outside on every side: clipped, no crash.
  dst.Canvas()->Draw(-1, -1, &src);
  dst.Canvas()->Draw(9, 9, &src);
  dst.Canvas()->StretchDraw(Rect(-2147483647, -5, 2147483647, 5), &src);
  EXPECT_EQ(dst.Canvas()->Pixels(0, 0), clBlue);
}

}  // namespace
