// The four cell routines: pixel placement in both strides, level dots, uniform and mixed
// cells, the canvas forms against the pixel forms, and the bounds of pixel memory.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "contour_test_util.h"
#include "platform/bitmap.h"

namespace {

using kvr::Integer;
using kvr::TColor;
using kvr::TRGB32;

TColor color_at(const std::vector<TRGB32>& buf, Integer idx) {
  const TRGB32 p = buf[size_t(idx)];
  return TColor(p.R) | TColor(p.G) << 8 | TColor(p.B) << 16;
}

struct Cells : ::testing::Test {
  kvr::test::Plot p;
  kvr::TContourPlot& cp = p.cp;
  static constexpr Integer W = 60, H = 40;
  std::vector<TRGB32> buf = std::vector<TRGB32>(size_t(W * H), TRGB32{1, 2, 3, 9});

  void SetUp() override {
    kvr::test::FourColors(cp);
    cp.SetIsoParams(0, 4, 1);
    cp.AdjustScaling();
  }
  // Bitmap pixel of a world point for an offset (OffX, OffY).
  void pix(double x, double y, Integer ox, Integer oy, Integer& px, Integer& py) {
    cp.R2M(1, x, y, px, py);
    px += ox - cp.MarginLeft();
    py += oy - cp.MarginTop();
  }
  int painted() const {
    int n = 0;
    for (const TRGB32& q : buf) n += q.A != 9;
    return n;
  }
};

TEST_F(Cells, UniformCellFillsItsPixelRectangleInBothStrides) {
  // z = 2.2 everywhere: t = 2.2 / 4 * 4 = 2.2, entry 2.
  Integer xa, ya, xb, yb;
  const Integer ox = 0, oy = -80;
  pix(-4.5, -2, ox, oy, xa, ya);
  pix(-4.0, -1, ox, oy, xb, yb);
  ASSERT_LT(xa, xb);
  ASSERT_GT(ya, yb);
  ASSERT_TRUE(xa > 0 && xb < W - 1 && yb > 0 && ya < H - 1);
  cp.IsoColQuadSL(buf.data(), W, H, ox, oy, -4.5, -2, 0.5, 1, 2.2, 2.2, 2.2, 2.2, 5, 5);
  EXPECT_EQ(painted(), (xb - xa + 1) * (ya - yb + 1));
  EXPECT_EQ(color_at(buf, W * ya + xa), 0x00C000);
  EXPECT_EQ(color_at(buf, W * yb + xb), 0x00C000);
  EXPECT_EQ(buf[size_t(W * ya + xa)].A, 0);
  EXPECT_EQ(buf[size_t(W * (ya + 1) + xa)].A, 9);
  EXPECT_EQ(buf[size_t(W * ya + xb + 1)].A, 9);

  // Bottom-up memory: row py lives at |Stride| * (H - 1 - py).
  std::vector<TRGB32> up(size_t(W * H), TRGB32{1, 2, 3, 9});
  cp.IsoColQuadSL(up.data(), -W, H, ox, oy, -4.5, -2, 0.5, 1, 2.2, 2.2, 2.2, 2.2, 5, 5);
  for (Integer y = 0; y < H; ++y)
    for (Integer x = 0; x < W; ++x)
      ASSERT_EQ(up[size_t(W * (H - 1 - y) + x)].A, buf[size_t(W * y + x)].A) << x << "," << y;
}

TEST_F(Cells, ColorOfValuesAtAndJustAboveIsoLow) {
  // At IsoLow: entry 1. Just above: index 0 (no lower bound). Above IsoHigh: entry S.
  const double zs[] = {0.0, 0.1, 9.0};
  const TColor want[] = {0x0000C0, 0x101010, 0x00C0C0};
  for (int k = 0; k < 3; ++k) {
    std::fill(buf.begin(), buf.end(), TRGB32{1, 2, 3, 9});
    const double z = zs[k];
    cp.IsoColQuadSL(buf.data(), W, H, 0, -80, -4.5, -2, 0.5, 1, z, z, z, z, 5, 5);
    Integer x, y;
    pix(-4.5, -2, 0, -80, x, y);
    ASSERT_TRUE(x >= 0 && x < W && y >= 0 && y < H);
    EXPECT_EQ(color_at(buf, W * y + x), want[k]) << z;
  }
}

TEST_F(Cells, MixedCellIsSubdividedByItsBilinearValue) {
  // Values rise along x from 0 to 4: the left sub-cells take low entries, the right high.
  Integer xa, ya, xb, yb;
  pix(-4.5, -2, 0, -80, xa, ya);
  pix(-3.0, -1, 0, -80, xb, yb);
  ASSERT_TRUE(xa >= 0 && xb < W && yb >= 0 && ya < H);
  cp.IsoColQuadSL(buf.data(), W, H, 0, -80, -4.5, -2, 1.5, 1, 0.0, 4.0, 0.0, 4.0, 5, 5);
  EXPECT_EQ(color_at(buf, W * ya + xa), 0x0000C0);       // z = 0: entry 1
  EXPECT_EQ(color_at(buf, W * ya + xb - 1), 0xC00000);   // last column's origin z = 3.2
  int columns_with_entry2 = 0;
  for (Integer x = xa; x <= xb; ++x) columns_with_entry2 += color_at(buf, W * ya + x) == 0x00C000;
  EXPECT_GT(columns_with_entry2, 0);
}

TEST_F(Cells, MirroredCornersWriteNothing) {
  cp.IsoColQuadSL(buf.data(), W, H, 0, -80, -4.0, -2, -0.5, 1, 2, 2, 2, 2, 5, 5);
  EXPECT_EQ(painted(), 0);
}

TEST_F(Cells, LevelDotsOnTheInterpolationLines) {
  // z = 0 at the bottom, 4 at the top, constant along x: levels 1, 2, 3 cross each of the
  // five lines of constant x; the lines of constant y have no crossing.
  cp.SetIsoParams(0, 4, 1);
  ASSERT_EQ(cp.NumIsoLevels(), 4);
  cp.IsoQuadSL(buf.data(), W, H, 0, -90, -4.5, -3, 1.0, 2.0, 0, 0, 4, 4, 5, 5);
  for (int a = 0; a < 5; ++a)
    for (int k = 1; k <= 3; ++k) {
      Integer x, y;
      pix(-4.5 + a * 0.2, -3 + k * 0.5, 0, -90, x, y);
      ASSERT_TRUE(x >= 0 && x < W && y >= 0 && y < H);
      EXPECT_NE(buf[size_t(W * y + x)].A, 9) << a << " " << k;
      // Level k takes entry Round(k * 4 / 4) = k.
      EXPECT_EQ(color_at(buf, W * y + x), cp.IsoColors.GetColorElem(k));
    }
  // Level 0 equals the corner value: no dot at the bottom edge.
  Integer x, y;
  pix(-4.5, -3, 0, -90, x, y);
  ASSERT_TRUE(x >= 0 && x < W && y >= 0 && y < H);
  EXPECT_EQ(buf[size_t(W * y + x)].A, 9);
}

TEST_F(Cells, EqualCornersGiveNoDotsAndMonoUsesEntryOne) {
  cp.IsoQuadSL(buf.data(), W, H, 0, -90, -4.5, -3, 1.0, 2.0, 2, 2, 2, 2, 5, 5);
  EXPECT_EQ(painted(), 0);
  cp.SetPlotMode(kvr::cpmMonoDots);
  cp.IsoQuadSL(buf.data(), W, H, 0, -90, -4.5, -3, 1.0, 2.0, 0, 4, 0, 4, 5, 5);
  ASSERT_GT(painted(), 0);
  for (const TRGB32& q : buf)
    if (q.A != 9) {
      EXPECT_EQ(TColor(q.R) | TColor(q.G) << 8 | TColor(q.B) << 16, 0x0000C0);
    }
}

// The canvas forms set the same pixels as the pixel-memory forms.
TEST_F(Cells, CanvasFormsMatchPixelForms) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> zd(-1, 5), pos(-5, 4);
  for (int round = 0; round < 40; ++round) {
    const double x0 = pos(rng), y0 = pos(rng), z[4] = {zd(rng), zd(rng), zd(rng), zd(rng)};
    const bool dots = round % 2 == 0;
    kvr::TBitmap a(W, H), b(W, H);
    for (auto* bm : {&a, &b}) {
      bm->Canvas()->Brush()->SetColor(0x777777);
      bm->Canvas()->FillRect(kvr::Rect(0, 0, W, H));
    }
    if (dots) {
      cp.IsoQuad(a.Canvas(), 10, 5, x0, y0, 0.9, 0.7, z[0], z[1], z[2], z[3], 5, 5);
      cp.IsoQuadSL(b.ScanLine(0), W, H, 10, 5, x0, y0, 0.9, 0.7, z[0], z[1], z[2], z[3], 5, 5);
    } else {
      cp.IsoColQuad(a.Canvas(), 10, 5, x0, y0, 0.9, 0.7, z[0], z[1], z[2], z[3], 5, 5);
      cp.IsoColQuadSL(b.ScanLine(0), W, H, 10, 5, x0, y0, 0.9, 0.7, z[0], z[1], z[2], z[3], 5, 5);
    }
    for (Integer y = 0; y < H; ++y)
      for (Integer x = 0; x < W; ++x)
        ASSERT_EQ(a.Canvas()->Pixels(x, y), b.Canvas()->Pixels(x, y))
            << "round " << round << " at " << x << "," << y;
  }
}

// Cells that map partly or wholly outside the memory write nothing outside it (the
// canaries around the buffer stay).
TEST_F(Cells, OutsideCellsStayInsideMemory) {
  const Integer w = 7, h = 3;
  std::vector<TRGB32> mem(size_t(w * h + 2 * w), TRGB32{0, 0, 0, 9});
  TRGB32* inner = mem.data() + w;
  for (Integer stride : {w, -w})
    for (double x0 : {-6.0, -5.3, -4.9, 4.8, 5.1})
      for (double y0 : {-6.0, -5.3, 4.9, 5.1}) {
        cp.IsoColQuadSL(inner, stride, h, 0, 0, x0, y0, 0.6, 0.6, 0, 4, 1, 3, 5, 5);
        cp.IsoQuadSL(inner, stride, h, 0, 0, x0, y0, 0.6, 0.6, 0, 4, 1, 3, 5, 5);
        cp.IsoColQuadSL(inner, stride, h, 500, -300, x0, y0, 3, 3, 2, 2, 2, 2, 5, 5);
      }
  for (Integer k = 0; k < w; ++k) {
    EXPECT_EQ(mem[size_t(k)].A, 9);
    EXPECT_EQ(mem[size_t(w * h + w + k)].A, 9);
  }
  cp.IsoColQuadSL(nullptr, w, h, 0, 0, -5, -5, 1, 1, 1, 1, 1, 1, 5, 5);
}

}  // namespace

namespace {

// The dots routine against the rule written out directly: every level strictly between
// the ends of each interpolation line gives one pixel. Corner values on the levels and
// cells without a level inside are common here.
TEST_F(Cells, DotsMatchTheRuleWrittenOut) {
  cp.SetIsoParams(-1, 1, 0.25);
  const int n = cp.NumIsoLevels();
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> quarter(-5, 5);
  std::uniform_real_distribution<double> zd(-1.2, 1.2), pos(-5, 3);
  for (int round = 0; round < 300; ++round) {
    double z[4];
    for (double& v : z) v = round % 3 == 0 ? quarter(rng) * 0.25 : zd(rng);
    if (round % 5 == 0) z[1] = z[2] = z[3] = z[0] + 0.01;  // a narrow span
    const double x0 = pos(rng), y0 = pos(rng) + 1.5, dx = 0.8, dy = 0.6;
    std::vector<TRGB32> got(size_t(W * H), TRGB32{0, 0, 0, 9}), want = got;
    cp.IsoQuadSL(got.data(), W, H, 0, -60, x0, y0, dx, dy, z[0], z[1], z[2], z[3], 5, 5);
    auto put = [&](double x, double y, int k) {
      Integer px, py;
      pix(x, y, 0, -60, px, py);
      if (px < 0 || py < 0 || px >= W || py >= H) return;
      const double L = -1 + k * 0.25;
      Integer ix = Integer(kvr::Round((L + 1) * cp.IsoColors.Size() / 2.0));
      ix = std::clamp<Integer>(ix, 1, cp.IsoColors.Size());
      const TColor c = cp.IsoColors.GetColorElem(ix);
      want[size_t(W * py + px)] = TRGB32{kvr::Byte(c >> 16), kvr::Byte(c >> 8), kvr::Byte(c), 0};
    };
    for (int a = 0; a < 5; ++a) {
      const double zb = z[0] + a * (z[1] - z[0]) / 5, zt = z[2] + a * (z[3] - z[2]) / 5;
      for (int k = 0; k < n; ++k) {
        const double L = -1 + k * 0.25;
        if (std::min(zb, zt) < L && L < std::max(zb, zt))
          put(x0 + a * dx / 5, y0 + (L - zb) / (zt - zb) * dy, k);
      }
    }
    for (int b = 0; b <= 5; ++b) {
      const double zl = z[0] + b * (z[2] - z[0]) / 5, zr = z[1] + b * (z[3] - z[1]) / 5;
      for (int k = 0; k < n; ++k) {
        const double L = -1 + k * 0.25;
        if (std::min(zl, zr) < L && L < std::max(zl, zr))
          put(x0 + (L - zl) / (zr - zl) * dx, y0 + b * dy / 5, k);
      }
    }
    for (size_t i = 0; i < got.size(); ++i)
      ASSERT_TRUE(got[i].A == want[i].A && got[i].R == want[i].R && got[i].B == want[i].B)
          << "round " << round << " pixel " << i;
  }
}

}  // namespace
