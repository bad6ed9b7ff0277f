// Marks copied from a picture of each type give the pixels and the canvas state that
// drawing them gives; surfaces and pens where a copy could differ get no stamp.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <span>
#include <string>

#include "platform/bitmap.h"
#include "platform/detail/mark_stamp.h"
#include "platform/kvrbase.h"
#include "platform/svgcanvas.h"

namespace kvr {
namespace {

constexpr int kW = 61, kH = 47;

void prepare(TCanvas* c, TColor pen, TColor brush, int width, TBrushStyle style) {
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(0xE0E0E0);
  c->FillRect(Rect(0, 0, kW, kH));
  c->Pen()->SetColor(pen);
  c->Pen()->SetWidth(width);
  c->Brush()->SetColor(brush);
  c->Brush()->SetStyle(style);
  c->SetPenPos(TPoint{3, 4});
}

// Every geometric type at places that cut it on each side of the bitmap and of a

// Runs body(got, want, type) on two fresh, identically prepared canvases for every
// geometric type, pen width, brush style and with and without a clip rectangle.
template <class Body>
void for_each_mark_case(bool smooth, void (*background)(TCanvas*), Body body) {
  for (int width : {1, 2, 3, 6}) {
    for (TBrushStyle style : {bsSolid, bsClear}) {
      for (bool clipped : {false, true}) {
        for (int type = 0; type < kGeometricMarkCount; ++type) {
          SCOPED_TRACE("type " + std::to_string(type) + " width " + std::to_string(width) +
                       (style == bsClear ? " clear" : " solid") + (clipped ? " clipped" : ""));
          TBitmap got(kW, kH), want(kW, kH);
          TCanvas *g = got.Canvas(), *w = want.Canvas();
          // Two colours, so that pen and brush pixels cannot be confused.
          for (TCanvas* c : {g, w}) {
            prepare(c, 0x2040C0, 0x10A030, width, style);
            if (background) background(c);
            c->SetSmooth(smooth);
            if (clipped) c->SetClipRect(Rect(7, 5, 50, 40));
          }
          body(g, w, type);
        }
      }
    }
  }
}

int differing_pixels(TCanvas* a, TCanvas* b) {
  int diff = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) diff += a->Pixels(x, y) != b->Pixels(x, y);
  return diff;
}
// clip rectangle, overlapping in turn, for each pen width and brush style.
TEST(MarkStamp, CopiesGiveTheDrawnPixelsAndState) {
  const TPoint at[] = {{30, 23}, {0, 0}, {kW - 1, kH - 1}, {-3, 20}, {kW + 2, 10},
                       {25, -4}, {12, kH + 3}, {9, 8}, {33, 25}};
  for_each_mark_case(false, nullptr, [&](TCanvas* g, TCanvas* w, int type) {
    const detail::MarkStamp* s = detail::mark_stamp_for(*g, type);
    ASSERT_NE(s, nullptr);
    for (const TPoint p : at) {
      detail::stamp_mark(*g, *s, p.X, p.Y);
      DrawMarkOnCanvas(w, type, p.X, p.Y);
      ASSERT_EQ(g->PenPos().X, w->PenPos().X);
      ASSERT_EQ(g->PenPos().Y, w->PenPos().Y);
    }
    EXPECT_EQ(g->Brush()->Style(), w->Brush()->Style());
    EXPECT_EQ(g->Brush()->Color(), w->Brush()->Color());
    EXPECT_EQ(differing_pixels(g, w), 0);
  });
}

TEST(MarkStamp, NoStampWhereACopyCouldDiffer) {
  TBitmap bmp(20, 20);
  TCanvas* c = bmp.Canvas();
  EXPECT_NE(detail::mark_stamp_for(*c, 12), nullptr);
  EXPECT_EQ(detail::mark_stamp_for(*c, -1), nullptr);
  EXPECT_EQ(detail::mark_stamp_for(*c, kGeometricMarkCount), nullptr);  // character marks
  c->Pen()->SetStyle(psDash);
  EXPECT_EQ(detail::mark_stamp_for(*c, 12), nullptr);
  c->Pen()->SetStyle(psSolid);
  c->Pen()->SetMode(pmXor);
  EXPECT_EQ(detail::mark_stamp_for(*c, 12), nullptr);
  c->Pen()->SetMode(pmCopy);
  c->Pen()->SetWidth(40);
  EXPECT_EQ(detail::mark_stamp_for(*c, 12), nullptr);
  c->Pen()->SetWidth(1);
  c->SetSmooth(true);
  EXPECT_EQ(detail::mark_stamp_for(*c, 12), nullptr);
  c->SetSmooth(false);
  c->SetResolution(192);
  EXPECT_EQ(detail::mark_stamp_for(*c, 12), nullptr);
  c->SetResolution(96);
  {
    TSmoothDrawing smooth(true);
    EXPECT_EQ(detail::mark_stamp_for(*c, 12), nullptr);
  }
  const bool was = detail::set_mark_stamps(false);
  EXPECT_EQ(detail::mark_stamp_for(*c, 12), nullptr);
  detail::set_mark_stamps(was);
  EXPECT_NE(detail::mark_stamp_for(*c, 12), nullptr);
  auto svg = CreateSvgCanvas(20, 20);
  EXPECT_EQ(detail::mark_stamp_for(*svg, 12), nullptr);
  TBitmap empty;
  EXPECT_EQ(detail::mark_stamp_for(*empty.Canvas(), 12), nullptr);
}

// The first stamp of a type may be built while a control paints smoothly; it must
// still be the plain picture.
TEST(MarkStamp, BuiltPlainUnderSmoothPainting) {
  const detail::MarkStamp* s;
  {
    TSmoothDrawing smooth(true);
    s = detail::mark_stamp(28, 5, bsSolid);
  }
  ASSERT_NE(s, nullptr);
  TBitmap got(kW, kH), want(kW, kH);
  prepare(got.Canvas(), clRed, clRed, 5, bsSolid);
  prepare(want.Canvas(), clRed, clRed, 5, bsSolid);
  detail::stamp_mark(*got.Canvas(), *s, 30, 20);
  DrawMarkOnCanvas(want.Canvas(), 28, 30, 20);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) ASSERT_EQ(got.Canvas()->Pixels(x, y), want.Canvas()->Pixels(x, y));
}

// Smooth marks: the copies blend the kept coverage and must give the drawn pixels
// exactly, over a background that is not plain (a gradient, earlier marks), cut by
// the bitmap and by a clip rectangle.
TEST(MarkStamp, SmoothCopiesGiveTheDrawnPixels) {
  const TPoint at[] = {{30, 23}, {0, 0}, {kW - 1, kH - 1}, {-3, 20}, {kW + 2, 10},
                       {25, -4}, {12, kH + 3}, {9, 8}, {33, 25}, {31, 24}};
  auto back = [](TCanvas* c) {
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) c->SetPixels(x, y, TColor(((x * 4) << 16) | ((y * 5) << 8) | 0x60));
  };
  int blended = 0, stamped = 0;
  for_each_mark_case(true, back, [&](TCanvas* g, TCanvas* w, int type) {
    ASSERT_EQ(detail::mark_stamp_for(*g, type), nullptr);
    const detail::MarkStamp* s = detail::smooth_mark_stamp_for(*g, type);
    // Line marks are kept only where their lines need no blending.
    if (type >= 10) {
      ASSERT_NE(s, nullptr);
    }
    if (!s) return;
    ++stamped;
    blended += !s->blends.empty();
    for (const TPoint p : at) {
      detail::stamp_mark(*g, *s, p.X, p.Y);
      DrawMarkOnCanvas(w, type, p.X, p.Y);
    }
    EXPECT_EQ(g->PenPos().X, w->PenPos().X);
    EXPECT_EQ(g->Brush()->Style(), w->Brush()->Style());
    EXPECT_EQ(differing_pixels(g, w), 0);
  });
  // Diamonds, circles and triangles are anti-aliased: most stamps blend.
  EXPECT_GT(blended, 300);
  EXPECT_GT(stamped, blended);
}

// Runs of marks copy through a plan of the stamp worked out once; it must put the
// pixels the plain copy puts (checked against drawing above), whole and cut.
TEST(MarkStamp, PlannedCopiesMatchPlainOnes) {
  const TPoint at[] = {{30, 23}, {0, 0}, {kW - 1, kH - 1}, {-3, 20}, {25, -4}, {9, 8}, {31, 24}, {44, 30}};
  for (bool smooth : {false, true}) {
    for (int width : {1, 3, 12}) {
      for (TBrushStyle style : {bsSolid, bsClear}) {
        for (int type = 0; type < kGeometricMarkCount; ++type) {
          SCOPED_TRACE("type " + std::to_string(type) + " width " + std::to_string(width) +
                       (smooth ? " smooth" : ""));
          const detail::MarkStamp* s =
              smooth ? detail::smooth_mark_stamp(type, width, style) : detail::mark_stamp(type, width, style);
          if (!s) continue;
          TBitmap plain(kW, kH), planned(kW, kH);
          prepare(plain.Canvas(), 0x2040C0, 0x10A030, width, style);
          prepare(planned.Canvas(), 0x2040C0, 0x10A030, width, style);
          const TRect clip = Rect(2, 3, kW - 4, kH - 2);
          detail::MarkStamper st(*planned.Canvas(), clip, *s, 0x2040C0, 0x10A030);
          st.plan();
          for (const TPoint p : at) {
            detail::stamp_mark_pixels(*plain.Canvas(), clip, *s, p.X, p.Y, 0x2040C0, 0x10A030);
            st.stamp(p.X, p.Y);
          }
          for (int y = 0; y < kH; ++y)
            ASSERT_EQ(std::memcmp(plain.ScanLine(y), planned.ScanLine(y), size_t(kW) * 4), 0) << "row " << y;
        }
      }
    }
  }
}

int channel_diff(TColor a, TColor b) {
  return std::max({std::abs(int(GetRValue(a)) - int(GetRValue(b))), std::abs(int(GetGValue(a)) - int(GetGValue(b))),
                   std::abs(int(GetBValue(a)) - int(GetBValue(b)))});
}

void gradient(TCanvas* c) {
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) c->SetPixels(x, y, TColor(((x * 4) << 16) | ((y * 5) << 8) | 0x60));
}

// Largest channel difference between stamping each mark at its nearest phase and
// drawing it at (x, y) itself, over the places given, on a gradient under a clip.
int phase_error(int type, int width, TBrushStyle style, std::span<const TPointDouble> at, bool quantise) {
  TBitmap got(kW, kH), want(kW, kH);
  TCanvas *g = got.Canvas(), *w = want.Canvas();
  for (TCanvas* c : {g, w}) {
    prepare(c, 0x2040C0, 0x10A030, width, style);
    gradient(c);
    c->SetSmooth(true);
    c->SetClipRect(Rect(4, 3, kW - 5, kH - 4));
  }
  for (const TPointDouble p : at) {
    const long long qx = std::llround(p.X * detail::kMarkPhases), qy = std::llround(p.Y * detail::kMarkPhases);
    constexpr long long n = detail::kMarkPhases;
    const long long x = (qx - ((qx % n) + n) % n) / n, y = (qy - ((qy % n) + n) % n) / n;
    const int px = int(qx - x * n), py = int(qy - y * n);
    const detail::MarkStamp* s = detail::smooth_mark_stamp(type, width, style, px, py);
    if (!s) {
      ADD_FAILURE() << "no stamp at phase " << px << "," << py;
      return 999;
    }
    detail::stamp_mark_pixels(*g, g->ClipRect(), *s, Integer(x), Integer(y), 0x2040C0, 0x10A030);
    if (quantise) DrawMarkOnCanvasF(w, type, double(qx) / detail::kMarkPhases, double(qy) / detail::kMarkPhases);
    else DrawMarkOnCanvasF(w, type, p.X, p.Y);
  }
  int worst = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) worst = std::max(worst, channel_diff(g->Pixels(x, y), w->Pixels(x, y)));
  return worst;
}

// Marks that keep fractions have a stamp per sixteenth of a pixel in x and y. At those
// places a copy gives the drawing (to a level or two: the scratch and the picture round
// the outline's points alike but not always to the same bit); in between the drawing
// moves by up to a thirty-second of a pixel, a few levels on an edge pixel.
TEST(MarkStamp, SmoothPhaseCopiesFollowTheDrawing) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> ux(-6.0, kW + 6.0), uy(-6.0, kH + 6.0);
  int exact_worst = 0, between_worst = 0, types = 0;
  for (int type = 10; type < kGeometricMarkCount; ++type) {
    if (!MarkKeepsFractions(type)) continue;
    ++types;
    for (int width : {1, 3}) {
      for (TBrushStyle style : {bsSolid, bsClear}) {
        SCOPED_TRACE("type " + std::to_string(type) + " width " + std::to_string(width));
        std::vector<TPointDouble> at;
        std::uniform_int_distribution<int> phase(0, detail::kMarkPhases - 1);
        for (int k = 0; k < 40; ++k)
          at.push_back({std::floor(ux(rng)) + double(phase(rng)) / detail::kMarkPhases,
                        std::floor(uy(rng)) + double(phase(rng)) / detail::kMarkPhases});
        exact_worst = std::max(exact_worst, phase_error(type, width, style, at, true));
        at.clear();
        for (int k = 0; k < 40; ++k) at.push_back({ux(rng), uy(rng)});
        between_worst = std::max(between_worst, phase_error(type, width, style, at, false));
      }
    }
  }
  EXPECT_EQ(types, 36);
  // Crosses and stars blend their two strokes one over the other where they meet,
  // which one coverage cannot give: they are drawn.
  for (int type = 4; type < 10; ++type)
    for (int ph : {0, 3, 7}) EXPECT_EQ(detail::smooth_mark_stamp(type, 1, bsSolid, ph, 1), nullptr);
  EXPECT_EQ(detail::smooth_mark_stamp(12, 1, bsSolid, 1, 0), nullptr);  // squares stay whole
  EXPECT_LE(exact_worst, 2);
  EXPECT_LE(between_worst, 24);
}

// Where smooth drawing does not give whole-pixel copies, or is not on, there is no
// smooth stamp; slanted line marks blend outside any kept coverage and are drawn.
TEST(MarkStamp, NoSmoothStampWhereACopyCouldDiffer) {
  TBitmap bmp(20, 20);
  TCanvas* c = bmp.Canvas();
  EXPECT_EQ(detail::smooth_mark_stamp_for(*c, 13), nullptr);
  EXPECT_EQ(detail::any_mark_stamp_for(*c, 13), detail::mark_stamp_for(*c, 13));
  c->SetSmooth(true);
  EXPECT_NE(detail::smooth_mark_stamp_for(*c, 13), nullptr);
  EXPECT_EQ(detail::any_mark_stamp_for(*c, 13), detail::smooth_mark_stamp_for(*c, 13));
  EXPECT_NE(detail::smooth_mark_stamp_for(*c, 13), detail::mark_stamp(13, 1, bsSolid));
  for (int type : {4, 5, 6, kGeometricMarkCount}) EXPECT_EQ(detail::smooth_mark_stamp_for(*c, type), nullptr);
  c->Pen()->SetMode(pmXor);
  EXPECT_EQ(detail::smooth_mark_stamp_for(*c, 13), nullptr);
  c->Pen()->SetMode(pmCopy);
  c->Pen()->SetStyle(psDot);
  EXPECT_EQ(detail::smooth_mark_stamp_for(*c, 13), nullptr);
  c->Pen()->SetStyle(psSolid);
  c->SetResolution(192);
  EXPECT_EQ(detail::smooth_mark_stamp_for(*c, 13), nullptr);
  c->SetResolution(96);
  const bool was = detail::set_mark_stamps(false);
  EXPECT_EQ(detail::smooth_mark_stamp_for(*c, 13), nullptr);
  detail::set_mark_stamps(was);
  c->SetSmooth(false);
  {
    TSmoothDrawing smooth(true);
    EXPECT_NE(detail::smooth_mark_stamp_for(*c, 13), nullptr);
  }
}

}  // namespace
}  // namespace kvr
