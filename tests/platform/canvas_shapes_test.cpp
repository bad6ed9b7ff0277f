#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "platform/bitmap.h"
#include "tests/platform/raster_util.h"

using namespace kvr;
using kvr::test::count_color;
using kvr::test::mask_of;
using kvr::test::snapshot;

namespace {

TEST(CanvasRect, RightAndBottomEdgesAreExcluded) {
  TBitmap b(10, 10);
  TCanvas& c = *b.Canvas();
  c.Brush()->SetColor(clRed);
  c.Rectangle(6, 5, 2, 2);  // corners in any order
  for (int x = 2; x <= 5; ++x) {
    EXPECT_EQ(c.Pixels(x, 2), clBlack);
    EXPECT_EQ(c.Pixels(x, 4), clBlack);
  }
  EXPECT_EQ(c.Pixels(2, 3), clBlack);
  EXPECT_EQ(c.Pixels(5, 3), clBlack);
  EXPECT_EQ(c.Pixels(3, 3), clRed);
  EXPECT_EQ(c.Pixels(4, 3), clRed);
  EXPECT_EQ(c.Pixels(6, 3), clWhite);
  EXPECT_EQ(c.Pixels(3, 5), clWhite);
  EXPECT_EQ(count_color(b, clBlack) + count_color(b, clRed), 12);

  TBitmap f(10, 10);
  f.Canvas()->Brush()->SetColor(clBlue);
  f.Canvas()->Pen()->SetMode(pmXor);  // the fill of FillRect ignores the pen
  f.Canvas()->FillRect(Rect(1, 1, 4, 3));
  EXPECT_EQ(count_color(f, clBlue), 6);
  EXPECT_EQ(f.Canvas()->Pixels(4, 1), clWhite);
}

TEST(CanvasRect, ClearBrushAndDegenerateBoxes) {
  TBitmap b(10, 10);
  kvr::test::noise(b, 9);
  const auto before = snapshot(b);
  TCanvas& c = *b.Canvas();
  c.Brush()->SetStyle(bsClear);
  c.Pen()->SetStyle(psClear);
  c.Rectangle(1, 1, 8, 8);
  c.Pen()->SetStyle(psSolid);
  c.Rectangle(3, 3, 3, 8);  // empty
  c.Ellipse(4, 4, 9, 4);
  EXPECT_EQ(snapshot(b), before);
  c.Rectangle(1, 1, 8, 8);
  EXPECT_EQ(c.Pixels(4, 4), b.Canvas()->Pixels(4, 4));
  EXPECT_EQ(c.Pixels(1, 1), clBlack);
}

TEST(CanvasRect, WidePenOutlineAndInteriorDoNotOverlap) {
  for (TPenStyle st : {psSolid, psInsideFrame}) {
    TBitmap b(40, 40);
    kvr::test::noise(b, 11);
    const auto before = snapshot(b);
    TCanvas& c = *b.Canvas();
    c.Pen()->SetWidth(4);
    c.Pen()->SetStyle(st);
    c.Pen()->SetMode(pmXor);
    c.Pen()->SetColor(0x123456);
    c.Brush()->SetColor(0x654321);
    c.Rectangle(5, 6, 30, 33);
    c.Rectangle(5, 6, 30, 33);
    EXPECT_EQ(snapshot(b), before) << st;
  }
  TBitmap b(40, 40);
  b.Canvas()->Pen()->SetWidth(3);
  b.Canvas()->Pen()->SetStyle(psInsideFrame);
  b.Canvas()->Rectangle(10, 10, 20, 20);
  EXPECT_EQ(b.Canvas()->Pixels(9, 15), clWhite);
  EXPECT_EQ(b.Canvas()->Pixels(12, 15), clBlack);
  EXPECT_EQ(b.Canvas()->Pixels(13, 15), clWhite);
  EXPECT_EQ(b.Canvas()->Pixels(19, 15), clBlack);
}

// Slow reference for a filled ellipse: pixel centres inside, in doubled integers.
bool inside_ellipse(const TRect& r, int x, int y) {
  const long long A = r.Right - r.Left, B = r.Bottom - r.Top;
  const long long X = 2LL * x + 1 - (r.Left + r.Right), Y = 2LL * y + 1 - (r.Top + r.Bottom);
  return X * X * B * B + Y * Y * A * A <= A * A * B * B;
}

TEST(CanvasEllipse, FilledEllipsesMatchTheReferenceAndAreSymmetric) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> coord(-10, 70);
  for (int trial = 0; trial < 300; ++trial) {
    TBitmap b(60, 50);
    TCanvas& c = *b.Canvas();
    c.Pen()->SetColor(clRed);
    c.Brush()->SetColor(clRed);
    TRect r{coord(rng), coord(rng), coord(rng), coord(rng)};
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    c.Ellipse(r);
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 60; ++x)
        ASSERT_EQ(c.Pixels(x, y) == clRed, r.Right > r.Left && r.Bottom > r.Top && inside_ellipse(r, x, y))
            << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << " at " << x << "," << y;
  }
}

TEST(CanvasEllipse, OutlineStaysInTheBoxAndIsClosed) {
  for (int w : {3, 7, 10, 25, 40}) {
    for (int h : {2, 5, 10, 31}) {
      TBitmap b(50, 40);
      TCanvas& c = *b.Canvas();
      c.Brush()->SetStyle(bsClear);
      c.Ellipse(5, 4, 5 + w, 4 + h);
      int rows_hit = 0;
      for (int y = 0; y < 40; ++y) {
        bool any = false;
        for (int x = 0; x < 50; ++x) {
          if (c.Pixels(x, y) != clBlack) continue;
          any = true;
          ASSERT_TRUE(x >= 5 && x < 5 + w && y >= 4 && y < 4 + h) << w << "x" << h;
          // Mirror images about the box centre.
          ASSERT_EQ(c.Pixels(2 * 5 + w - 1 - x, y), clBlack);
          ASSERT_EQ(c.Pixels(x, 2 * 4 + h - 1 - y), clBlack);
        }
        rows_hit += any;
      }
      EXPECT_EQ(rows_hit, h) << w << "x" << h;  // no gap at the sides
    }
  }
}

TEST(CanvasArc, RunsCounterClockwiseFromStartToEnd) {
  auto quadrants = [](TPoint start, TPoint end) {
    TBitmap b(41, 41);
    b.Canvas()->Arc(0, 0, 41, 41, start.X, start.Y, end.X, end.Y);
    int q[4] = {0, 0, 0, 0};  // upper right, upper left, lower left, lower right
    for (int y = 0; y < 41; ++y)
      for (int x = 0; x < 41; ++x) {
        if (b.Canvas()->Pixels(x, y) != clBlack || x == 20 || y == 20) continue;
        q[(y < 20) ? (x > 20 ? 0 : 1) : (x < 20 ? 2 : 3)]++;
      }
    return std::vector<int>(q, q + 4);
  };
  // From the right radial to the top radial: the upper-right quarter only.
  auto a = quadrants({100, 20}, {20, -100});
  EXPECT_GT(a[0], 10);
  EXPECT_EQ(a[1] + a[2] + a[3], 0);
  // Swapped: the other three quarters.
  auto b = quadrants({20, -100}, {100, 20});
  EXPECT_EQ(b[0], 0);
  EXPECT_GT(b[1], 10);
  EXPECT_GT(b[2], 10);
  EXPECT_GT(b[3], 10);
  // Equal radials: the whole ellipse.
  auto full = quadrants({100, 20}, {100, 20});
  EXPECT_EQ(full[0], full[1]);
  EXPECT_EQ(full[2], full[3]);
  EXPECT_GT(full[0], 10);
}

// Even-odd reference at the centre of pixel (x, y), in exact integer arithmetic:
// count the edges crossed strictly right of the centre.
bool inside_polygon(const std::vector<TPoint>& p, int x, int y) {
  bool in = false;
  for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
    TPoint a = p[i], b = p[j];
    if (a.Y > b.Y) std::swap(a, b);
    // Centre row 2y+1 (doubled) inside [2a.Y, 2b.Y).
    if (!(2LL * a.Y <= 2LL * y + 1 && 2LL * y + 1 < 2LL * b.Y)) continue;
    // crossing x = a.X + (y + 0.5 - a.Y) * dx / dy > x + 0.5
    const long long dy = b.Y - a.Y, dx = b.X - a.X;
    const long long lhs = 2LL * a.X * dy + (2LL * y + 1 - 2LL * a.Y) * dx;
    if (lhs > (2LL * x + 1) * dy) in = !in;
  }
  return in;
}

TEST(CanvasPolygon, FillMatchesTheAlternateRuleReference) {
  std::mt19937 rng(17);
  std::uniform_int_distribution<int> coord(-20, 80);
  std::uniform_int_distribution<int> count(3, 9);
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<TPoint> pts(count(rng));
    for (TPoint& p : pts) p = {coord(rng), coord(rng)};
    TBitmap b(64, 48);
    TCanvas& c = *b.Canvas();
    c.Pen()->SetStyle(psClear);
    c.Brush()->SetColor(clGreen);
    c.Polygon(pts);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x)
        ASSERT_EQ(c.Pixels(x, y) == clGreen, inside_polygon(pts, x, y)) << trial << " " << x << "," << y;
  }
}

TEST(CanvasPolygon, StarCentreStaysEmptyAndOutlineCloses) {
  TBitmap b(100, 100);
  TCanvas& c = *b.Canvas();
  c.Brush()->SetColor(clYellow);
  c.Pen()->SetColor(clBlue);
  std::vector<TPoint> star;
  for (int i = 0; i < 5; ++i) {
    const double a = -M_PI / 2 + i * 4 * M_PI / 5;
    star.push_back({50 + int(std::lround(45 * std::cos(a))), 50 + int(std::lround(45 * std::sin(a)))});
  }
  c.Polygon(star);
  EXPECT_EQ(c.Pixels(50, 52), clWhite);
  EXPECT_EQ(c.Pixels(50, 15), clYellow);
  for (const TPoint& p : star) EXPECT_EQ(c.Pixels(p.X, p.Y), clBlue);
}

TEST(CanvasXor, DrawingEveryShapeTwiceRestoresTheImage) {
  TBitmap b(80, 60);
  kvr::test::noise(b, 21);
  const auto before = snapshot(b);
  TCanvas& c = *b.Canvas();
  c.Pen()->SetMode(pmXor);
  c.Pen()->SetColor(clWhite);
  c.Brush()->SetColor(0x336699);
  for (int k = 0; k < 2; ++k) {
    c.MoveTo(-10, 3);
    c.LineTo(90, 57);
    c.Rectangle(5, 5, 40, 30);
    c.Ellipse(30, 10, 75, 55);
    c.Arc(10, 10, 50, 50, 60, 0, 0, 60);
    c.Polyline({{1, 1}, {70, 5}, {20, 50}});
    c.Brush()->SetStyle(bsClear);
    c.Polygon({{10, 50}, {40, 20}, {70, 50}});
    c.Brush()->SetStyle(bsSolid);
  }
  EXPECT_EQ(snapshot(b), before);
}

TEST(CanvasClip, NothingIsDrawnOutsideTheClipRectangle) {
  TBitmap b(30, 30);
  TCanvas& c = *b.Canvas();
  c.SetClipRect(Rect(10, 10, 20, 20));
  c.Brush()->SetColor(clRed);
  c.Pen()->SetWidth(3);
  c.Rectangle(0, 0, 30, 30);
  c.Ellipse(0, 0, 30, 30);
  c.MoveTo(0, 15);
  c.LineTo(30, 15);
  c.TextOut(0, 12, "clipped text");
  c.SetPixels(2, 2, clRed);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x)
      if (x < 10 || x >= 20 || y < 10 || y >= 20) {
        ASSERT_EQ(c.Pixels(x, y), clWhite) << x << "," << y;
      }
  EXPECT_EQ(c.ClipRect(), Rect(10, 10, 20, 20));
  c.ResetClip();
  EXPECT_EQ(c.ClipRect(), Rect(0, 0, 30, 30));
  c.SetPixels(2, 2, clRed);
  EXPECT_EQ(c.Pixels(2, 2), clRed);
  EXPECT_EQ(c.Pixels(-1, 2), -1);
  EXPECT_EQ(c.Pixels(2, 30), -1);
}

TEST(CanvasHugeCoordinates, ShapesFarOutsideFinishAndClip) {
  TBitmap b(40, 30);
  TCanvas& c = *b.Canvas();
  c.Brush()->SetColor(clRed);
  c.Pen()->SetWidth(9);
  c.Rectangle(-2147483647, -2147483647, 2147483647, 2147483647);
  EXPECT_EQ(count_color(b, clRed), 40 * 30);
  c.Ellipse(-2147483647, -2147483647, 2147483647, 2147483647);
  c.Polygon({{-2147483647, -2147483647}, {2147483647, 0}, {-2147483647, 2147483647}});
  c.Arc(-2000000000, -2000000000, 2000000000, 2000000000, 100, 0, 0, 100);
  c.Polyline({{-2147483647, 5}, {2147483647, 6}, {0, -2147483647}});
  SUCCEED();
}

}  // namespace

namespace {

// Reference model of Rectangle: a band of the pen width centred on the outermost pixel
// rows and columns (inside the box for psInsideFrame), the brush inside the band.
TEST(CanvasRect, RandomBoxesAndPenWidthsMatchTheBandModel) {
  std::mt19937 rng(31);
  std::uniform_int_distribution<int> coord(-8, 48), width(1, 7);
  for (int trial = 0; trial < 300; ++trial) {
    TBitmap b(40, 40);
    TCanvas& c = *b.Canvas();
    const int w = width(rng);
    const bool inside = trial % 2 == 1;
    c.Pen()->SetWidth(w);
    c.Pen()->SetStyle(inside ? psInsideFrame : psSolid);
    c.Pen()->SetColor(clRed);
    c.Brush()->SetColor(clBlue);
    int l = coord(rng), t = coord(rng), r = coord(rng), bt = coord(rng);
    if (l > r) std::swap(l, r);
    if (t > bt) std::swap(t, bt);
    c.Rectangle(l, t, r, bt);
    const int lo = inside ? 0 : (w - 1) / 2, hi = inside ? 0 : w / 2;
    const int ol = l - lo, ot = t - lo, orr = r + hi, ob = bt + hi;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) {
        TColor expect = clWhite;
        if (r > l && bt > t && x >= ol && x < orr && y >= ot && y < ob) {
          const bool band = x < ol + w || x >= orr - w || y < ot + w || y >= ob - w;
          expect = band ? clRed : clBlue;
        }
        ASSERT_EQ(c.Pixels(x, y), expect) << l << "," << t << "," << r << "," << bt << " w" << w << " at " << x << "," << y;
      }
  }
}

}  // namespace
