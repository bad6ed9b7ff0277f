#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "platform/bitmap.h"
#include "tests/platform/raster_util.h"

using namespace kvr;
using kvr::test::count_color;
using kvr::test::snapshot;

namespace {

// Slow reference: every step of the unclipped line, kept where it falls on the bitmap.
std::vector<uint8_t> reference_line(int w, int h, long long x0, long long y0, long long x1, long long y1) {
  std::vector<uint8_t> m(size_t(w) * h);
  const long long dx = std::llabs(x1 - x0), dy = std::llabs(y1 - y0), n = std::max(dx, dy);
  for (long long i = 0; i < n; ++i) {
    // Minor offset rounds half up along the direction of travel.
    const bool xmajor = dx >= dy;
    const long long dm = xmajor ? dy : dx;
    const long long k = (2 * dm * i + n) / (2 * n);
    const long long x = xmajor ? x0 + (x1 >= x0 ? i : -i) : x0 + (x1 >= x0 ? k : -k);
    const long long y = xmajor ? y0 + (y1 >= y0 ? k : -k) : y0 + (y1 >= y0 ? i : -i);
    if (x >= 0 && y >= 0 && x < w && y < h) m[size_t(y) * w + x] = 1;
  }
  return m;
}

TEST(CanvasLine, LineToLeavesTheEndPixelOutAndMovesThePen) {
  TBitmap b(10, 10);
  TCanvas& c = *b.Canvas();
  c.MoveTo(2, 3);
  c.LineTo(6, 3);
  for (int x = 2; x <= 5; ++x) EXPECT_EQ(c.Pixels(x, 3), clBlack) << x;
  EXPECT_EQ(c.Pixels(6, 3), clWhite);
  EXPECT_EQ(c.Pixels(1, 3), clWhite);
  EXPECT_EQ(c.PenPos(), Point(6, 3));
  // A zero-length line draws nothing.
  c.MoveTo(8, 8);
  c.LineTo(8, 8);
  EXPECT_EQ(c.Pixels(8, 8), clWhite);
}

TEST(CanvasLine, PolylineDrawsEachVertexOnceAndEndsAtTheLastPoint) {
  TBitmap b(20, 20);
  TCanvas& c = *b.Canvas();
  c.Pen()->SetMode(pmXor);
  c.Pen()->SetColor(clWhite);
  c.Polyline({{1, 1}, {10, 1}, {10, 10}, {1, 10}});
  // Xor would cancel a vertex drawn twice.
  EXPECT_EQ(c.Pixels(10, 1), clBlack);
  EXPECT_EQ(c.Pixels(10, 10), clBlack);
  EXPECT_EQ(c.Pixels(1, 10), clWhite);
  EXPECT_EQ(c.PenPos(), Point(1, 10));
  EXPECT_EQ(count_color(b, clBlack), 27);
}

TEST(CanvasLine, MatchesTheReferenceStepperEvenWhenClipped) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(-300, 340);
  for (int trial = 0; trial < 400; ++trial) {
    TBitmap b(37, 29);
    TCanvas& c = *b.Canvas();
    const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
    c.MoveTo(x0, y0);
    c.LineTo(x1, y1);
    ASSERT_EQ(kvr::test::mask_of(b, clBlack), reference_line(37, 29, x0, y0, x1, y1))
        << x0 << "," << y0 << " -> " << x1 << "," << y1;
  }
}

// Lines with both ends on the bitmap take the raster back end's fast path (copy mode,
// solid, width 1); everything else steps through the general one. Both are held against
// a slow stepper: at each step along the major axis the pixel nearest the ideal line,
// ties rounded away from the start, the end pixel left out.
std::vector<TPoint> reference_steps(TPoint a, TPoint b) {
  const int dx = b.X - a.X, dy = b.Y - a.Y;
  const int n = std::max(std::abs(dx), std::abs(dy));
  std::vector<TPoint> steps;
  for (int i = 0; i < n; ++i) {
    // Offset along an axis: round(i * d / n), halves away from zero.
    auto offset = [&](int d) {
      const int q = (2 * std::abs(d) * i + n) / (2 * n);
      return d < 0 ? -q : q;
    };
    steps.push_back({a.X + offset(dx), a.Y + offset(dy)});
  }
  return steps;
}

// The sixteen raster operations, from their Boolean definitions.
TColor apply_mode(TPenMode m, TColor pen, TColor dst) {
  const uint32_t p = uint32_t(pen), d = uint32_t(dst);
  uint32_t r = 0;
  switch (m) {
    case pmBlack: r = 0; break;
    case pmWhite: r = ~0u; break;
    case pmNop: r = d; break;
    case pmNot: r = ~d; break;
    case pmCopy: r = p; break;
    case pmNotCopy: r = ~p; break;
    case pmMergePenNot: r = p | ~d; break;
    case pmMaskPenNot: r = p & ~d; break;
    case pmMergeNotPen: r = ~p | d; break;
    case pmMaskNotPen: r = ~p & d; break;
    case pmMerge: r = p | d; break;
    case pmNotMerge: r = ~(p | d); break;
    case pmMask: r = p & d; break;
    case pmNotMask: r = ~(p & d); break;
    case pmXor: r = p ^ d; break;
    case pmNotXor: r = ~(p ^ d); break;
  }
  return TColor(r & 0xFFFFFF);
}

// One period of each pen style, '#' drawn, counted in steps from the line's start.
std::string style_pattern(TPenStyle s) {
  switch (s) {
    case psDot: return "###...";
    case psDash: return std::string(18, '#') + std::string(6, '.');
    case psDashDot: return std::string(9, '#') + std::string(6, '.') + "###" + std::string(6, '.');
    case psDashDotDot: return std::string(9, '#') + "...###...###...";
    default: return "#";
  }
}

enum class Place { OnTheEdges, Inside, InAClipRect };

// Draws a -> a + (dx, dy) on a noisy bitmap with both ends on it (or in the clip
// rectangle) and compares every pixel with the reference. Returns the first mismatch.
::testing::AssertionResult line_matches(int dx, int dy, Place place, TPenMode mode, TPenStyle style) {
  // OnTheEdges: the line's box is the whole bitmap, so ends lie on its edges and corners.
  const int margin = place == Place::OnTheEdges ? 0 : place == Place::Inside ? 1 : 3;
  const int w = std::abs(dx) + 1 + 2 * margin, h = std::abs(dy) + 1 + 2 * margin;
  const TPoint a{margin + (dx < 0 ? -dx : 0), margin + (dy < 0 ? -dy : 0)};
  const TPoint b{a.X + dx, a.Y + dy};
  TBitmap bmp(w, h);
  kvr::test::noise(bmp, uint32_t(dx * 131 + dy * 7 + 1000));
  TCanvas& c = *bmp.Canvas();
  std::vector<TColor> expected(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) expected[size_t(y) * w + x] = c.Pixels(x, y);
  const TColor pen = 0x3C96D2;
  const std::string pattern = style_pattern(style);
  const auto steps = reference_steps(a, b);
  for (size_t i = 0; i < steps.size(); ++i) {
    if (pattern[i % pattern.size()] != '#') continue;
    TColor& e = expected[size_t(steps[i].Y) * w + steps[i].X];
    e = apply_mode(mode, pen, e);
  }
  if (place == Place::InAClipRect)
    c.SetClipRect(Rect(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X) + 1,
                       std::max(a.Y, b.Y) + 1));
  c.Pen()->SetColor(pen);
  c.Pen()->SetMode(mode);
  c.Pen()->SetStyle(style);
  c.MoveTo(a.X, a.Y);
  c.LineTo(b.X, b.Y);
  if (c.PenPos() != b) return ::testing::AssertionFailure() << "pen position";
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (c.Pixels(x, y) != expected[size_t(y) * w + x]) {
        char got[40];
        std::snprintf(got, sizeof got, "%06X instead of %06X", unsigned(c.Pixels(x, y)),
                      unsigned(expected[size_t(y) * w + x]));
        return ::testing::AssertionFailure() << "pixel " << x << "," << y << " of " << a.X << ","
                                             << a.Y << " -> " << b.X << "," << b.Y << " in " << w
                                             << "x" << h << ": " << got;
      }
  return ::testing::AssertionSuccess();
}

TEST(CanvasLine, SolidLinesWithBothEndsOnTheBitmapMatchTheReferenceInEveryDirection) {
  // Every octant and every length up to 40 (the short lines up to 3 steps have their
  // own table), ends on the bitmap's edges, inside it, and on a clip rectangle's edges.
  constexpr int N = 40;
  for (Place place : {Place::OnTheEdges, Place::Inside, Place::InAClipRect})
    for (int dy = -N; dy <= N; ++dy)
      for (int dx = -N; dx <= N; ++dx)
        ASSERT_TRUE(line_matches(dx, dy, place, pmCopy, psSolid)) << "place " << int(place);
}

TEST(CanvasLine, PenModesAndStylesOnLinesInsideTheBitmapMatchTheReference) {
  constexpr int N = 12;
  for (int m = pmBlack; m <= pmNotXor; ++m)
    for (TPenStyle style : {psSolid, psDash, psDot, psDashDot, psDashDotDot})
      for (int dy = -N; dy <= N; ++dy)
        for (int dx = -N; dx <= N; ++dx)
          ASSERT_TRUE(line_matches(dx, dy, Place::Inside, TPenMode(m), style))
              << "mode " << m << " style " << int(style);
  // Long dashed lines run the pattern on over many periods.
  for (TPenStyle style : {psDash, psDashDotDot})
    for (int d : {-97, 97}) {
      ASSERT_TRUE(line_matches(d, 35, Place::Inside, pmXor, style));
      ASSERT_TRUE(line_matches(20, d, Place::OnTheEdges, pmCopy, style));
    }
}

TEST(CanvasLine, HugeCoordinatesAreClippedWithoutSteppingThroughThem) {
  TBitmap b(50, 50);
  TCanvas& c = *b.Canvas();
  // Millions of steps outside: must return at once and still hit the diagonal.
  c.MoveTo(-2147483647, -2147483647);
  c.LineTo(2147483647, 2147483647);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(c.Pixels(i, i), clBlack) << i;
  EXPECT_EQ(count_color(b, clBlack), 50);
  // Nearly horizontal through the middle, from far outside on both ends.
  TBitmap h(64, 8);
  h.Canvas()->MoveTo(-2000000000, 4);
  h.Canvas()->LineTo(2000000000, 4);
  EXPECT_EQ(count_color(h, clBlack), 64);
  // Entirely outside: nothing.
  TBitmap o(16, 16);
  o.Canvas()->MoveTo(-2147483647, 2147483647);
  o.Canvas()->LineTo(2147483647, 2147483000);
  EXPECT_EQ(count_color(o, clBlack), 0);
}

TEST(CanvasLine, PenStylesFollowTheirPatterns) {
  struct Case {
    TPenStyle style;
    std::string pattern;  // one period, '#' drawn
  } cases[] = {
      {psDot, "###..."},
      {psDash, std::string(18, '#') + std::string(6, '.')},
      {psDashDot, std::string(9, '#') + std::string(6, '.') + "###" + std::string(6, '.')},
      {psDashDotDot, std::string(9, '#') + "...###...###..."},
  };
  for (const Case& k : cases) {
    TBitmap b(100, 3);
    TCanvas& c = *b.Canvas();
    c.Pen()->SetStyle(k.style);
    c.MoveTo(0, 1);
    c.LineTo(100, 1);
    for (int x = 0; x < 100; ++x)
      ASSERT_EQ(c.Pixels(x, 1) == clBlack, k.pattern[x % k.pattern.size()] == '#') << k.style << " x=" << x;
  }
  TBitmap b(20, 3);
  b.Canvas()->Pen()->SetStyle(psClear);
  b.Canvas()->MoveTo(0, 1);
  b.Canvas()->LineTo(20, 1);
  EXPECT_EQ(count_color(b, clBlack), 0);
}

TEST(CanvasLine, WidePensAreThickWithRoundEnds) {
  TBitmap b(60, 40);
  TCanvas& c = *b.Canvas();
  c.Pen()->SetWidth(5);
  c.MoveTo(10, 20);
  c.LineTo(50, 20);
  for (int y = 18; y <= 22; ++y) EXPECT_EQ(c.Pixels(30, y), clBlack) << y;
  EXPECT_EQ(c.Pixels(30, 17), clWhite);
  EXPECT_EQ(c.Pixels(30, 23), clWhite);
  // Round caps reach past both ends on the axis but not into the corners.
  EXPECT_EQ(c.Pixels(8, 20), clBlack);
  EXPECT_EQ(c.Pixels(52, 20), clBlack);
  EXPECT_EQ(c.Pixels(8, 18), clWhite);
  // A wide xor polyline touches every pixel once, so drawing it twice restores.
  TBitmap n(60, 40);
  kvr::test::noise(n, 3);
  const auto before = snapshot(n);
  n.Canvas()->Pen()->SetWidth(7);
  n.Canvas()->Pen()->SetMode(pmXor);
  n.Canvas()->Pen()->SetColor(0x55AA33);
  for (int k = 0; k < 2; ++k) n.Canvas()->Polyline({{5, 5}, {50, 10}, {10, 35}, {55, 30}, {5, 5}});
  EXPECT_EQ(snapshot(n), before);
}

TEST(CanvasLine, PenModesCombinePenAndDestination) {
  TBitmap b(4, 1);
  TCanvas& c = *b.Canvas();
  c.SetPixels(0, 0, 0x0F0F0F);
  c.Pen()->SetColor(0x00FF00);
  c.Pen()->SetMode(pmXor);
  c.MoveTo(0, 0);
  c.LineTo(1, 0);
  EXPECT_EQ(c.Pixels(0, 0), 0x0FF00F);
  c.Pen()->SetMode(pmNot);
  c.MoveTo(0, 0);
  c.LineTo(1, 0);
  EXPECT_EQ(c.Pixels(0, 0), 0xF00FF0);
  c.Pen()->SetMode(pmNotXor);
  c.MoveTo(0, 0);
  c.LineTo(1, 0);
  EXPECT_EQ(c.Pixels(0, 0), 0x0F0F0F);
}

}  // namespace
