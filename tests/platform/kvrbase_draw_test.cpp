// Frames, data marks and scaled font sizes, probed on raster canvases.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/kvrbase.h"
#include "platform/svgcanvas.h"

namespace kvr {
namespace {

struct Box {
  int l = 1 << 30, t = 1 << 30, r = -(1 << 30), b = -(1 << 30);
  bool empty() const { return r < l; }
};

// Bounding box of the pixels that differ from the background.
Box ink(TBitmap& bmp, TColor background) {
  Box box;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x)
      if (bmp.Canvas()->Pixels(x, y) != background) {
        box.l = std::min(box.l, x);
        box.r = std::max(box.r, x);
        box.t = std::min(box.t, y);
        box.b = std::max(box.b, y);
      }
  return box;
}

// FNV-1a over the picture, to tell pictures apart.
uint64_t fingerprint(TBitmap& bmp) {
  uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) {
      h ^= static_cast<uint32_t>(bmp.Canvas()->Pixels(x, y));
      h *= 1099511628211ull;
    }
  return h;
}

std::vector<TColor> pixels(TBitmap& bmp) {
  std::vector<TColor> v;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) v.push_back(bmp.Canvas()->Pixels(x, y));
  return v;
}

constexpr int kC = 20;  // mark centre

void draw_mark(TBitmap& bmp, int type) {
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clWhite);
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(Rect(0, 0, bmp.Width(), bmp.Height()));
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clLime);
  DrawMarkOnCanvas(c, type, kC, kC);
}

TEST(KvrBaseMarks, GeometricMarksFillTheirBoxCentred) {
  for (int type = 0; type < kGeometricMarkCount; ++type) {
    SCOPED_TRACE("mark type " + std::to_string(type));
    TBitmap bmp(41, 41);
    draw_mark(bmp, type);
    const Box box = ink(bmp, clWhite);
    const int r = MarkHalfSize(type);
    ASSERT_FALSE(box.empty());
    EXPECT_EQ(box.l, kC - r);
    EXPECT_EQ(box.r, kC + r);
    EXPECT_EQ(box.t, kC - r);
    EXPECT_EQ(box.b, kC + r);
  }
}

TEST(KvrBaseMarks, EveryGeometricMarkLooksDifferent) {
  std::set<uint64_t> seen;
  for (int type = 0; type < kGeometricMarkCount; ++type) {
    TBitmap bmp(41, 41);
    draw_mark(bmp, type);
    EXPECT_TRUE(seen.insert(fingerprint(bmp)).second) << "mark type " << type << " repeats another";
  }
}

TEST(KvrBaseMarks, InteriorsFollowTheFillVariant) {
  // Large squares: open, brush-filled, solid.
  const int base = 10 + 3;
  TColor centre[3];
  for (int fill = 0; fill < 3; ++fill) {
    TBitmap bmp(41, 41);
    draw_mark(bmp, base + fill);
    centre[fill] = bmp.Canvas()->Pixels(kC, kC);
  }
  EXPECT_EQ(centre[0], clWhite);
  EXPECT_EQ(centre[1], clLime);
  EXPECT_EQ(centre[2], clBlack);
}

TEST(KvrBaseMarks, CanvasStateIsLeftAsFound) {
  TBitmap bmp(60, 60);
  TCanvas* c = bmp.Canvas();
  c->Pen()->SetColor(clRed);
  c->Brush()->SetColor(clBlue);
  c->Brush()->SetStyle(bsSolid);
  c->Font()->SetColor(clGreen);
  c->SetTextAlign(TA_CENTER);
  c->MoveTo(3, 4);
  for (int type : {0, 5, 12, 23, 51, 65, 200}) {
    DrawMarkOnCanvas(c, type, 30, 30);
    EXPECT_EQ(c->Pen()->Color(), clRed);
    EXPECT_EQ(c->Brush()->Color(), clBlue);
    EXPECT_EQ(c->Brush()->Style(), bsSolid);
    EXPECT_EQ(c->Font()->Color(), clGreen);
    EXPECT_EQ(c->TextAlign(), TA_CENTER);
    EXPECT_EQ(c->PenPos(), Point(3, 4));
  }
}

TEST(KvrBaseMarks, CharacterMarksUseTheFontCentredInThePenColour) {
  TBitmap bmp(80, 80);
  TCanvas* c = bmp.Canvas();
  c->Font()->SetSize(20);
  c->Pen()->SetColor(clRed);
  c->Brush()->SetColor(clYellow);
  DrawMarkOnCanvas(c, 'H', 40, 40);
  const Box box = ink(bmp, clWhite);
  ASSERT_FALSE(box.empty());
  EXPECT_NEAR((box.l + box.r) / 2.0, 40, 2.0);
  EXPECT_NEAR((box.t + box.b) / 2.0, 40, 4.0);
  bool reddish = false;
  for (TColor p : pixels(bmp))
    if (p != clWhite) {
      // Red blended over white, and no background cell in the brush colour.
      EXPECT_EQ(GetGValue(p), GetBValue(p));
      reddish |= GetRValue(p) > 200 && GetGValue(p) < 80;
    }
  EXPECT_TRUE(reddish);
}

TEST(KvrBaseMarks, OutOfRangeTypesDrawNothing) {
  TBitmap bmp(41, 41);
  DrawMarkOnCanvas(bmp.Canvas(), -1, kC, kC);
  DrawMarkOnCanvas(bmp.Canvas(), 256, kC, kC);
  DrawMarkOnCanvas(nullptr, 3, kC, kC);
  EXPECT_TRUE(ink(bmp, clWhite).empty());
}

constexpr TColor kBg = clRed;
constexpr TColor kHi = 0xF0F0F0, kLt = 0xC0C0C0, kSh = 0x808080, kDk = 0x303030, kLine = 0x101010;

struct FrameCase {
  TFrameStyle style;
  TColor outer_tl, outer_br, inner_tl, inner_br;
};

class KvrBaseFrames : public ::testing::TestWithParam<FrameCase> {};

TEST_P(KvrBaseFrames, EdgesTakeTheirRoleColours) {
  const FrameCase fc = GetParam();
  // Corner order and colour order must not matter.
  for (bool reversed : {false, true}) {
    TBitmap bmp(20, 20);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(kBg);
    c->FillRect(Rect(0, 0, 20, 20));
    c->Pen()->SetColor(clBlue);
    c->Pen()->SetWidth(3);
    if (reversed)
      DrawFrame(c, fc.style, 17, 17, 2, 2, kLine, kSh, kLt, kHi, kDk);
    else
      DrawFrame(c, fc.style, 2, 2, 17, 17, kHi, kLt, kSh, kDk, kLine);
    EXPECT_EQ(c->Pixels(2, 2), fc.outer_tl);
    EXPECT_EQ(c->Pixels(9, 2), fc.outer_tl);
    EXPECT_EQ(c->Pixels(2, 9), fc.outer_tl);
    EXPECT_EQ(c->Pixels(17, 17), fc.outer_br);
    EXPECT_EQ(c->Pixels(17, 2), fc.outer_br);  // far corners belong to the dark side
    EXPECT_EQ(c->Pixels(9, 17), fc.outer_br);
    EXPECT_EQ(c->Pixels(3, 3), fc.inner_tl);
    EXPECT_EQ(c->Pixels(16, 16), fc.inner_br);
    EXPECT_EQ(c->Pixels(9, 9), kBg);
    for (int i = 0; i < 20; ++i) {
      EXPECT_EQ(c->Pixels(i, 1), kBg);
      EXPECT_EQ(c->Pixels(i, 18), kBg);
      EXPECT_EQ(c->Pixels(1, i), kBg);
      EXPECT_EQ(c->Pixels(18, i), kBg);
    }
    EXPECT_EQ(c->Pen()->Color(), clBlue);
    EXPECT_EQ(c->Pen()->Width(), 3);
  }
}

INSTANTIATE_TEST_SUITE_P(
    KvrBase, KvrBaseFrames,
    ::testing::Values(FrameCase{rbNone, kBg, kBg, kBg, kBg},
                      FrameCase{rbSingle, kLine, kLine, kBg, kBg},
                      FrameCase{rbLowered, kSh, kHi, kBg, kBg},
                      FrameCase{rbRaised, kHi, kSh, kBg, kBg},
                      FrameCase{rbEmbossed, kHi, kSh, kSh, kHi},
                      FrameCase{rbEngraved, kSh, kHi, kHi, kSh},
                      FrameCase{rbDoubleLowered, kSh, kHi, kDk, kLt},
                      FrameCase{rbDoubleRaised, kLt, kDk, kHi, kSh},
                      FrameCase{TFrameStyle(kFrameStyleCount), kBg, kBg, kBg, kBg}));

TEST(KvrBaseFrameOnSvg, FramesAreVectorLines) {
  TMetafileCanvas mf(50, 50);
  for (int s = 0; s < kFrameStyleCount; ++s)
    DrawFrame(&mf, TFrameStyle(s), 1, 1, 48, 48, clWhite, clSilver, clGray, clBlack, clBlack);
  const std::string doc = mf.SvgText();
  EXPECT_EQ(doc.find("<image"), std::string::npos);
  EXPECT_NE(doc.find("<line"), std::string::npos);
}

TEST(KvrBaseFont, SizeIsScaledForTheCanvasResolution) {
  TBitmap bmp(10, 10);
  TCanvas* c = bmp.Canvas();
  SetCanvasFontSizeScaled(c, 12);
  EXPECT_EQ(c->Font()->Size(), 12);
  const int screen_px = c->Font()->PixelSize();
  c->SetResolution(300);
  SetCanvasFontSizeScaled(c, 12);
  EXPECT_EQ(c->Font()->Size(), 12);
  EXPECT_EQ(c->Font()->PixelsPerInch(), 300);
  EXPECT_EQ(c->Font()->PixelSize(), 50);  // 12 pt at 300 dpi
  EXPECT_GT(c->Font()->PixelSize(), 3 * screen_px);
}

}  // namespace
}  // namespace kvr
