// Marks copied from a picture of each type into the chart's raster image give the
// pixels of drawing every mark through the canvas: the same chart painted with the
// copies switched off is the reference.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "platform/detail/mark_stamp.h"
#include "render_util.h"

namespace kvr {
namespace {

using test::RenderChart;

// Pixels whose channels differ by more than tol.
int differing(RenderChart& fast, RenderChart& plain, int tol = 0) {
  fast.SetSuppressPaint(false);
  fast.Repaint();
  const bool was = detail::set_mark_stamps(false);
  plain.SetSuppressPaint(false);
  plain.Repaint();
  detail::set_mark_stamps(was);
  int d = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) {
      const TColor a = fast.Ctl(x, y), b = plain.Ctl(x, y);
      const bool differs = std::abs(int(GetRValue(a)) - int(GetRValue(b))) > tol ||
                           std::abs(int(GetGValue(a)) - int(GetGValue(b))) > tol ||
                           std::abs(int(GetBValue(a)) - int(GetBValue(b))) > tol;
      if (differs && d < 10) ADD_FAILURE() << x << "," << y << " " << std::hex << a << " " << b;
      d += differs;
    }
  return d;
}

// Every type in two colours, with a fill of its own, wide and dashed pens, in world
// and screen coordinates, on the chart's edges and the control's border; then the
// same once more with duplicates avoided.
void fill(RenderChart& c) {
  c.SetSuppressPaint(true);
  std::mt19937 r(3);
  std::uniform_real_distribution<double> u(-4.0, 344.0);
  for (int type = 0; type < kGeometricMarkCount; ++type) {
    for (int k = 0; k < 12; ++k) {
      c.SetDataColor(k % 2 ? 0xC02000 : 0x0060A0);
      c.SetFillColor(k % 3 ? 0x20C040 : (k % 2 ? 0xC02000 : 0x0060A0));
      c.SetLineWidth(k % 4 == 3 ? 3 : 1);
      c.SetPenStyle(k == 5 ? psDash : psSolid);
      c.MarkAt(u(r), u(r) * 0.75, Byte(type));
    }
    // Cut by the chart area's sides and corners.
    c.MarkAt(0.0, 2.0 * type, Byte(type));
    c.MarkAt(340.0, 2.0 * type + 1, Byte(type));
    c.MarkAt(6.5 * type, 0.0, Byte(type));
    c.MarkAt(6.5 * type + 3, 252.0, Byte(type));
    // Screen coordinates reach the control's border.
    c.MarkAt(Integer(-50 + 8 * type), Integer(-14), Byte(type));
    c.MarkAt(Integer(-48), Integer(-16 + 5 * type), Byte(type));
    c.DrawToRelPix(5, 3);  // from where a line mark left the pen
  }
  // A dense run of one mark, mostly on places already taken.
  c.SetDataColor(0x7000A0);
  c.SetLineWidth(1);
  c.SetPenStyle(psSolid);
  for (int i = 0; i < 3000; ++i) c.MarkAt(u(r) * 0.1 + 150, u(r) * 0.1 + 100, Byte(16 + i / 1000));
}

TEST(ZuRenderMarks, CopiedMarksGiveTheDrawnPixels) {
  RenderChart fast, plain;
  fill(fast);
  fill(plain);
  EXPECT_EQ(differing(fast, plain), 0);
  EXPECT_GT(fast.CountArea(0x7000A0), 100);
  for (RenderChart* c : {&fast, &plain}) c->SetAvoidDuplicateMarks(true);
  EXPECT_EQ(differing(fast, plain), 0);
}

// Smooth charts blend the kept coverage of each mark at its sub-pixel phase; the
// copies must match drawing every mark smoothly there, over the grid and each other
// (to a level: the outline's points may round to another bit in the picture).
TEST(ZuRenderMarks, SmoothCopiedMarksGiveTheDrawnPixels) {
  RenderChart fast, plain;
  for (RenderChart* c : {&fast, &plain}) {
    c->SetSmooth(true);
    c->SetGridStyle(gsLines);
    fill(*c);
  }
  EXPECT_EQ(differing(fast, plain, 2), 0);
  for (RenderChart* c : {&fast, &plain}) c->SetAvoidDuplicateMarks(true);
  EXPECT_EQ(differing(fast, plain, 2), 0);
  // The copies were there to be used.
  EXPECT_NE(detail::smooth_mark_stamp(16, 1, bsSolid), nullptr);
  EXPECT_NE(detail::smooth_mark_stamp(16, 3, bsSolid), nullptr);
}

// On a smooth chart a round or slanted mark sits where its point maps, to the fraction:
// moving the point by a quarter pixel moves the mark's ink by a quarter pixel. Squares
// stay on whole pixels, crisp.
TEST(ZuRenderMarks, SmoothMarksSitAtSubPixelPlaces) {
  RenderChart c;
  c.SetSmooth(true);
  c.SetChartColor(clWhite);
  c.SetDataColor(clBlack);
  const double fr[] = {0.0, 0.25, 0.5, 0.75, 1.0};
  for (int k = 0; k < 5; ++k) {
    c.MarkAt(100.0 + fr[k], 40.0 + 30 * k, 18);  // solid diamond
    c.MarkAt(200.0 + fr[k], 40.0 + 30 * k, 12);  // solid square
  }
  c.Repaint();
  // Ink-weighted mean column in a box around the control pixel of world (x, y).
  auto centre = [&](double x, double y, bool crisp_only) {
    const int cx = 50 + int(x), cy = 16 + 252 - int(y);
    double w = 0, sx = 0;
    bool soft = false;
    for (int yy = cy - 8; yy <= cy + 8; ++yy)
      for (int xx = cx - 8; xx <= cx + 8; ++xx) {
        const int r = GetRValue(c.Ctl(xx, yy));
        soft |= r != 0 && r != 255;
        w += (255 - r) / 255.0;
        sx += (255 - r) / 255.0 * xx;
      }
    if (crisp_only) {
      EXPECT_FALSE(soft);
    }
    return sx / w;
  };
  const double d0 = centre(100, 40, false), s0 = centre(200, 40, true);
  for (int k = 1; k < 5; ++k) {
    SCOPED_TRACE(k);
    EXPECT_NEAR(centre(100 + fr[k], 40 + 30 * k, false) - d0, fr[k], 0.04);
    // Squares follow the nearest pixel.
    const double s = centre(200 + fr[k], 40 + 30 * k, true) - s0;
    EXPECT_TRUE(s == 0 || s == 1) << s;
  }
}

}  // namespace
}  // namespace kvr
