#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/arith.h"
#include "platform/bitmap.h"
#include "tests/platform/raster_util.h"

using namespace kvr;
using kvr::test::snapshot;

namespace {

// Ink of a pixel drawn in black on white: 0 untouched, 255 fully covered.
int ink(const TBitmap& b, int x, int y) { return 255 - GetRValue(b.Canvas()->Pixels(x, y)); }

int partial_pixels(const TBitmap& b) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += ink(b, x, y) > 0 && ink(b, x, y) < 255;
  return n;
}

// Bounding box of every inked pixel.
TRect ink_box(const TBitmap& b) {
  TRect r{b.Width(), b.Height(), -1, -1};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (ink(b, x, y) > 0) r = TRect{std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x), std::max(r.Bottom, y)};
  return r;
}

}  // namespace

TEST(CanvasSmooth, DiagonalLineHasPartialEdgesAndTheClassicEnds) {
  TBitmap classic(40, 40), smooth(40, 40);
  smooth.Canvas()->SetSmooth(true);
  for (TBitmap* b : {&classic, &smooth}) {
    b->Canvas()->MoveTo(5, 7);
    b->Canvas()->LineTo(31, 20);
    EXPECT_EQ(b->Canvas()->PenPos(), Point(31, 20));
  }
  EXPECT_EQ(partial_pixels(classic), 0);
  EXPECT_GT(partial_pixels(smooth), 20);
  // Both start on the first point's pixel and stop short of the last point.
  EXPECT_GT(ink(smooth, 5, 7), 128);
  EXPECT_LT(ink(smooth, 31, 20), 128);
  const TRect bc = ink_box(classic), bs = ink_box(smooth);
  EXPECT_NEAR(bs.Left, bc.Left, 1);
  EXPECT_NEAR(bs.Right, bc.Right, 1);
  EXPECT_NEAR(bs.Top, bc.Top, 1);
  EXPECT_NEAR(bs.Bottom, bc.Bottom, 1);
  // The total ink is the line's length, however it is spread.
  long sum = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) sum += ink(smooth, x, y);
  EXPECT_NEAR(sum / 255.0, std::hypot(26.0, 13.0), 2.0);
}

TEST(CanvasSmooth, AxisAlignedShapesStayCrisp) {
  // Whole-pixel horizontal and vertical lines and rectangles cover the classic pixels,
  // fully, so grids and frames do not blur.
  TBitmap classic(30, 30), smooth(30, 30);
  smooth.Canvas()->SetSmooth(true);
  for (TBitmap* b : {&classic, &smooth}) {
    TCanvas& c = *b->Canvas();
    c.MoveTo(2, 4);
    c.LineTo(25, 4);
    c.MoveTo(7, 2);
    c.LineTo(7, 27);
    c.Polyline({Point(10, 10), Point(20, 10), Point(20, 20)});
    c.Brush()->SetStyle(bsClear);
    c.Rectangle(3, 22, 12, 28);
  }
  EXPECT_EQ(snapshot(classic), snapshot(smooth));
}

TEST(CanvasSmooth, ExclusiveOrStaysAliasedAndUndoesItself) {
  TBitmap b(40, 40);
  kvr::test::noise(b, 7);
  const auto before = snapshot(b);
  TCanvas& c = *b.Canvas();
  c.SetSmooth(true);
  c.Pen()->SetMode(pmXor);
  c.Pen()->SetColor(clWhite);
  c.Brush()->SetStyle(bsClear);
  for (int pass = 0; pass < 2; ++pass) {
    c.MoveTo(3, 5);
    c.LineTo(33, 19);
    c.Ellipse(4, 4, 30, 22);
    c.Polygon({Point(5, 30), Point(35, 33), Point(20, 38)});
    c.Arc(2, 2, 38, 38, 38, 20, 20, 2);
    c.PolylineF(std::vector<TPointDouble>{{1.3, 2.7}, {30.6, 12.2}});
    if (pass == 0) {
      EXPECT_NE(snapshot(b), before);
    }
  }
  EXPECT_EQ(snapshot(b), before);
}

TEST(CanvasSmooth, SubPixelPositionsSplitTheCoverage) {
  TBitmap b(30, 12);
  TCanvas& c = *b.Canvas();
  c.SetSmooth(true);
  // Half-way between rows 4 and 5: both get half the ink.
  c.MoveToF(3, 4.5);
  c.LineToF(25, 4.5);
  for (int x = 5; x < 23; ++x) {
    EXPECT_NEAR(ink(b, x, 4), 128, 3) << x;
    EXPECT_NEAR(ink(b, x, 5), 128, 3) << x;
    EXPECT_EQ(ink(b, x, 3), 0);
    EXPECT_EQ(ink(b, x, 6), 0);
  }
  EXPECT_DOUBLE_EQ(c.PenPos().X, 25);
  // A pen moved by other means starts the next line where it stands.
  c.SetPenPos(Point(5, 9));
  c.LineToF(25, 9);
  EXPECT_EQ(ink(b, 5, 9), 255);
  EXPECT_EQ(ink(b, 24, 9), 255);
}

TEST(CanvasSmooth, FloatCallsRoundLikeTheIntegerOnesWhenNotSmooth) {
  TBitmap a(40, 40), b(40, 40);
  const std::vector<TPointDouble> pf{{2.4, 3.6}, {30.5, 8.49}, {11.5, 35.2}, {37.7, 36.1}};
  std::vector<TPoint> pi;
  for (const TPointDouble& p : pf) pi.push_back(Point(RoundPix(p.X), RoundPix(p.Y)));
  a.Canvas()->PolylineF(pf);
  a.Canvas()->PolygonF(pf);
  a.Canvas()->EllipseF(3.5, 4.5, 20.2, 15.7);
  a.Canvas()->MoveToF(0.4, 39.5);
  a.Canvas()->LineToF(39.6, 0.5);
  b.Canvas()->Polyline(pi);
  b.Canvas()->Polygon(pi);
  b.Canvas()->Ellipse(4, 4, 20, 16);
  b.Canvas()->MoveTo(0, 40);
  b.Canvas()->LineTo(40, 0);
  EXPECT_EQ(snapshot(a), snapshot(b));
  EXPECT_EQ(a.Canvas()->PenPos(), b.Canvas()->PenPos());
}

TEST(CanvasSmooth, EllipsesAndPolygonsKeepTheirBoxes) {
  TBitmap b(60, 60);
  TCanvas& c = *b.Canvas();
  c.SetSmooth(true);
  c.Brush()->SetColor(clBlack);
  c.Ellipse(10, 12, 41, 33);
  EXPECT_GT(partial_pixels(b), 10);
  const TRect e = ink_box(b);
  EXPECT_EQ(e, Rect(10, 12, 40, 32));  // inclusive: the box with its right and bottom edges out
  // Mirror symmetry about the box centre.
  for (int y = 12; y < 33; ++y)
    for (int x = 10; x < 41; ++x) EXPECT_NEAR(ink(b, x, y), ink(b, 50 - x, y), 2) << x << "," << y;
  EXPECT_EQ(ink(b, 25, 22), 255);

  TBitmap p(60, 60);
  p.Canvas()->SetSmooth(true);
  p.Canvas()->Brush()->SetColor(clBlack);
  p.Canvas()->Polygon({Point(30, 5), Point(55, 50), Point(5, 50)});
  EXPECT_EQ(ink(p, 30, 35), 255);
  EXPECT_GT(partial_pixels(p), 20);
  const TRect pb = ink_box(p);
  EXPECT_EQ(pb.Top, 5);
  EXPECT_EQ(pb.Bottom, 50);
  EXPECT_NEAR(pb.Left, 5, 1);
  EXPECT_NEAR(pb.Right, 55, 1);
}

TEST(CanvasSmooth, DashesWidePensArcsAndClip) {
  TBitmap b(80, 40);
  TCanvas& c = *b.Canvas();
  c.SetSmooth(true);
  c.Pen()->SetStyle(psDash);
  c.MoveTo(2, 5);
  c.LineTo(78, 5);
  // 18 on, 6 off.
  EXPECT_EQ(ink(b, 10, 5), 255);
  EXPECT_EQ(ink(b, 22, 5), 0);
  EXPECT_EQ(ink(b, 30, 5), 255);
  c.Pen()->SetStyle(psSolid);
  c.Pen()->SetWidth(5);
  c.MoveTo(10, 20);
  c.LineTo(60, 20);
  // Round ends half a pen beyond both points; the pen is 5 wide.
  EXPECT_EQ(ink(b, 35, 18), 255);
  EXPECT_EQ(ink(b, 35, 22), 255);
  EXPECT_EQ(ink(b, 35, 24), 0);
  EXPECT_GT(ink(b, 61, 20), 128);
  EXPECT_EQ(ink(b, 64, 20), 0);
  c.Pen()->SetWidth(1);
  c.SetClipRect(Rect(0, 28, 40, 40));
  c.Arc(10, 20, 70, 60, 70, 40, 10, 40);  // the upper half, clipped to x < 40
  c.ResetClip();
  for (int y = 28; y < 40; ++y)
    for (int x = 40; x < 80; ++x) EXPECT_EQ(ink(b, x, y), 0) << x << "," << y;
  EXPECT_GT(ink(b, 11, 38) + ink(b, 12, 36) + ink(b, 11, 37), 128);
}

TEST(CanvasSmooth, FarAndBrokenCoordinatesAreSafeAndCheap) {
  TBitmap b(100, 100);
  TCanvas& c = *b.Canvas();
  c.SetSmooth(true);
  const auto t0 = std::chrono::steady_clock::now();
  c.MoveTo(-2000000000, -2000000000);
  c.LineTo(2000000000, 2000000000);
  EXPECT_GT(ink(b, 50, 50), 128);  // the diagonal passes through the middle
  c.Pen()->SetStyle(psDot);
  c.MoveToF(-1e15, 50.0);
  c.LineToF(1e15, 50.0);
  int dotted = 0;  // the dots' phase comes from a line 1e15 pixels long: count them
  for (int x = 0; x < 48; ++x) dotted += ink(b, x, 50);
  EXPECT_NEAR(dotted / 255.0, 24, 2);
  c.Pen()->SetStyle(psSolid);
  c.Brush()->SetStyle(bsClear);
  c.Ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  c.PolylineF(std::vector<TPointDouble>{{10, 10}, {nan, 20}, {30, 30}});
  c.EllipseF(nan, 0, 10, 10);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), 0.5);
}

TEST(CanvasSmooth, PaintScopeNestsAndRestores) {
  TBitmap b(10, 10);
  EXPECT_FALSE(b.Canvas()->Smooth());
  {
    TSmoothDrawing on(true);
    EXPECT_TRUE(b.Canvas()->Smooth());
    {
      TSmoothDrawing inner(false);  // an inner control without Smooth keeps the outer's
      EXPECT_TRUE(b.Canvas()->Smooth());
    }
    EXPECT_TRUE(b.Canvas()->Smooth());
  }
  EXPECT_FALSE(b.Canvas()->Smooth());
}
