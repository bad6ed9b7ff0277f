// Range operations: explicit ranges, limits, confinement, joint layers, isometric
// ranges, auto-ranging and equal ranges.
#include <gtest/gtest.h>

#include <cmath>

#include "axes_probe.h"

namespace kvr {
namespace {

using test::AxesChart;

void expect_x(const TCustomZUvado& c, Integer k, double lo, double hi) {
  EXPECT_DOUBLE_EQ(c.ScalePropsX(k)->RangeLow(), lo);
  EXPECT_DOUBLE_EQ(c.ScalePropsX(k)->RangeHigh(), hi);
}

void expect_y(const TCustomZUvado& c, Integer k, double lo, double hi) {
  EXPECT_DOUBLE_EQ(c.ScalePropsY(k)->RangeLow(), lo);
  EXPECT_DOUBLE_EQ(c.ScalePropsY(k)->RangeHigh(), hi);
}

TEST(ZuRanges, EqualLimitsAreWidened) {
  AxesChart c;
  c.SetRange(1, 5, 0, 5, 10);
  EXPECT_EQ(c.Scale1X()->RangeLow(), double(5.0L - 5e-11L));
  EXPECT_EQ(c.Scale1X()->RangeHigh(), double(5.0L + 5e-11L));
  expect_y(c, 1, 0, 10);

  c.SetRange(1, 1, 1, 10, 10);
  c.Scale1X()->SetLogarithmic(true);
  c.SetRange(1, 10, 1, 10, 100);
  EXPECT_EQ(c.Scale1X()->RangeLow(), double(10.0L / 1.1L));
  EXPECT_EQ(c.Scale1X()->RangeHigh(), double(10.0L * 1.1L));
  // Layer 0 sets both pairs.
  c.SetRange(0, 2, 3, 4, 5);
  expect_x(c, 2, 2, 4);
  expect_y(c, 1, 3, 5);
}

TEST(ZuRanges, RequestsFailingATestAreDroppedPerAxis) {
  AxesChart c;
  c.SetRange(1, 0, 0, 10, 10);
  c.ForceRange(1, 3, 20, 3 + 0.98e-10, 30, false, false);
  expect_x(c, 1, 0, 10);
  expect_y(c, 1, 20, 30);
  c.ForceRange(1, 3, 20, 3 + 0.995e-10, 30, false, false);  // 0.99 x MinRange passes
  EXPECT_EQ(c.Scale1X()->RangeLow(), 3);
  c.SetRange(1, NAN, -INFINITY, 4, 8);
  EXPECT_EQ(c.Scale1X()->RangeLow(), 3);
  expect_y(c, 1, 20, 30);
  c.ForceRange(3, 0, 0, 1, 1, true, false);  // no such pair
  expect_y(c, 1, 20, 30);
}

TEST(ZuRanges, LogarithmicLimitsStayPositive) {
  AxesChart c;
  c.SetRange(1, 1, 1, 100, 100);
  c.Scale1X()->SetLogarithmic(true);
  c.ForceRngIntern(1, -5, 1, 1000, 100, false, false);
  expect_x(c, 1, 1, 1000);
  c.ForceRngIntern(1, 10, 1, 0, 100, false, false);
  expect_x(c, 1, 10, 1000);
  // Only the low limit is valid and it equals the kept high one: nothing is written.
  c.ForceRngIntern(1, 1000, 1, -1, 100, false, false);
  expect_x(c, 1, 10, 1000);
}

TEST(ZuRanges, ConfinementCutsZoomsAndSlidesPans) {
  AxesChart c;
  c.ConfineZoomRange(0, 0, 100, 100);
  c.SetMouseAction(maNone);
  c.ForceRange(1, -10, 10, 50, 20, false, true);
  expect_x(c, 1, 0, 50);
  c.SetMouseAction(maPan);
  c.ForceRange(1, -10, 10, 50, 20, false, true);
  expect_x(c, 1, 0, 60);
  c.ForceRange(1, 70, 95, 120, 115, false, true);
  expect_x(c, 1, 50, 100);
  expect_y(c, 1, 80, 100);
  // Horizontal panning slides x only; y is cut.
  c.SetMouseAction(maPanHoriz);
  c.ForceRange(1, 70, 95, 120, 115, false, true);
  expect_x(c, 1, 50, 100);
  expect_y(c, 1, 95, 100);
  c.SetMouseAction(maPanVert);
  c.ForceRange(1, -20, -10, 30, 10, false, true);
  expect_x(c, 1, 0, 30);
  expect_y(c, 1, 0, 20);
  // Without ApplyZoomRange, or with an all-zero rectangle, nothing is confined.
  c.ForceRange(1, -20, -10, 30, 10, false, false);
  expect_x(c, 1, -20, 30);
  c.ConfineZoomRange(0, 0, 0, 0);
  c.ForceRange(1, -30, -10, 30, 10, false, true);
  expect_x(c, 1, -30, 30);
}

TEST(ZuRanges, JointLayersFollowAndRecord) {
  AxesChart c;
  c.SetRange(1, 0, 0, 10, 10);
  c.SetRange(2, 100, 100, 200, 200);
  c.JointLayers()->SetL02xControlledBy(1);
  expect_x(c, 2, 0, 10);  // joining copies the master's range
  c.SetRange(2, 50, 60, 70, 80);
  expect_x(c, 2, 0, 10);
  expect_y(c, 2, 60, 80);
  c.SetRange(1, -5, 1, 5, 2);
  expect_x(c, 2, -5, 5);
  expect_y(c, 2, 60, 80);
  EXPECT_EQ(c.ZoomStack(2, 0).Left, -5);
  EXPECT_EQ(c.ZoomStack(2, 0).Right, 5);
  c.JointLayers()->SetL02xControlledBy(2);
  c.SetRange(2, 50, 60, 70, 80);
  expect_x(c, 2, 50, 70);
}

TEST(ZuRanges, IsometricRanges) {
  AxesChart c;
  c.SetRange(1, 0, 0, 300, 10);
  c.SetIsometric(true);
  // Y span = X span x (H + 1) / (W + 1) about the old centre 5.
  const double s = 300.0 * 181 / 301;
  EXPECT_NEAR(c.Scale1Y()->RangeLow(), 5 - s / 2, 1e-9);
  EXPECT_NEAR(c.Scale1Y()->RangeHigh(), 5 + s / 2, 1e-9);
  c.SetRange(1, 0, 100, 602, 102);
  EXPECT_NEAR(c.Scale1Y()->RangeHigh() - c.Scale1Y()->RangeLow(), 362, 1e-9);
  EXPECT_NEAR(c.Scale1Y()->GetScaleCenter(), 101, 1e-9);
  // AutoRange keeps it; the one-direction forms switch it off.
  c.MarkAt(0.0, 0.0, 1);
  c.MarkAt(301.0, 1.0, 1);
  c.AutoRange(1, 0);
  EXPECT_NEAR(c.Scale1Y()->RangeHigh() - c.Scale1Y()->RangeLow(), 181, 1e-9);
  c.AutoRangeXOnly(1, 0);
  EXPECT_FALSE(c.Isometric());
}

TEST(ZuRanges, AutoRangeMarginsAndMinimumSpans) {
  AxesChart c;
  c.MarkAt(3.0, 7.0, 1);
  c.AutoRange(1, 10);
  expect_x(c, 1, 2, 4);
  expect_y(c, 1, 6, 8);
  c.AutoRange(2, 10);  // no items on pair 2
  expect_x(c, 2, -1, 1);
  expect_y(c, 2, -1, 1);
  EXPECT_EQ(c.ZoomStack(2, 0).Left, -1);

  c.ClearGraf();
  c.Line(0.0, 100.0, 100.0, 100.5);
  c.AutoRange(1, 10, 10);
  expect_x(c, 1, -10, 110);
  // Y 99.95 .. 100.55 after the margin, narrower than 10 % of the centre 100.25: widened
  // by that much on each side.
  EXPECT_NEAR(c.Scale1Y()->RangeLow(), 99.95 - 10.025, 1e-9);
  EXPECT_NEAR(c.Scale1Y()->RangeHigh(), 100.55 + 10.025, 1e-9);

  // Ellipses count with their half axes; relative pixel moves do not count.
  c.ClearGraf();
  c.Ellipse(10.0, 20.0, 4.0, 2.0);
  c.MoveToRelPix(500, 500);
  double a, b, d, e;
  c.LLCalcExtents(1, 0, 0, a, b, d, e);
  EXPECT_EQ(a, 6);
  EXPECT_EQ(b, 18);
  EXPECT_EQ(d, 14);
  EXPECT_EQ(e, 22);

  // Logarithmic margin: a factor of (Max / Min) ^ m.
  c.ClearGraf();
  c.MarkAt(1.0, 1.0, 1);
  c.MarkAt(100.0, 2.0, 1);
  c.SetRange(1, 1, 1, 10, 10);
  c.Scale1X()->SetLogarithmic(true);
  c.AutoRangeXOnly(1, 50);
  EXPECT_NEAR(c.Scale1X()->RangeLow(), 0.1, 1e-12);
  EXPECT_NEAR(c.Scale1X()->RangeHigh(), 1000, 1e-9);
  expect_y(c, 1, 1, 10);
}

TEST(ZuRanges, AutoRangeOfAllLayersMergesJoinedLayers) {
  AxesChart c;
  c.MarkAt(0.0, 0.0, 1);
  c.MarkAt(10.0, 10.0, 1);
  c.SetActiveLayer(2);
  c.MarkAt(-20.0, 50.0, 1);
  c.MarkAt(5.0, 60.0, 1);
  c.JointLayers()->SetL02xControlledBy(1);
  const int before = c.paints;
  c.AutoRange(0, 0);
  expect_x(c, 1, -20, 10);
  expect_x(c, 2, -20, 10);
  expect_y(c, 1, 0, 10);
  expect_y(c, 2, 50, 60);
  EXPECT_EQ(c.paints, before + 1);
  EXPECT_EQ(c.ZoomStack(1, 0).Left, 0);  // this path records nothing
  // A hidden follower does not widen its master.
  c.SetLayerVisible(2, false);
  c.AutoRangeYOnly(0, 0);
  c.AutoRangeXOnly(0, 0);
  expect_x(c, 1, 0, 10);
  expect_x(c, 2, 0, 10);
  expect_y(c, 2, 50, 60);
}

TEST(ZuRanges, EqualRangesTakeTheUnion) {
  AxesChart c;
  c.SetRange(1, 0, 0, 10, 10);
  c.SetRange(2, -5, 2, 5, 20);
  c.SetEqualRangeXOnly(TLayerSet{1, 2});
  expect_x(c, 1, -5, 10);
  expect_x(c, 2, -5, 10);
  expect_y(c, 1, 0, 10);
  expect_y(c, 2, 2, 20);
  c.SetEqualRangeYOnly(TLayerSet{2});
  expect_y(c, 2, 2, 20);
  c.SetEqualRange(TLayerSet{1, 2});
  expect_y(c, 1, 0, 20);
  expect_y(c, 2, 0, 20);
  const TRectDouble top = c.ZoomStack(1, 0);
  c.SetEqualRange(TLayerSet{});
  EXPECT_EQ(c.ZoomStack(1, 0), top);
}

TEST(ZuRanges, GridSpacingAndTickQueries) {
  AxesChart c;
  c.SetGridDx(-5);
  EXPECT_EQ(c.GridDx(), 0);
  c.SetGridDx(-3);
  c.SetGridDy(2.5);
  EXPECT_EQ(c.GridDx(), -3);
  EXPECT_EQ(c.GridDy(), 2.5);
  EXPECT_EQ(c.paints, 2);

  c.SetRange(1, 0, 0, 10, 10);
  c.ScalesX(1)->ForcePaint();
  const Integer n = c.TickNumX();
  ASSERT_GT(n, 1);
  const double first = c.TickPosX(1), last = c.TickPosX(n);
  EXPECT_EQ(c.TickPosX(0), 0);
  EXPECT_EQ(c.TickPosX(n + 1), 0);
  c.SetRange(1, 10, 0, 0, 10);
  c.ScalesX(1)->ForcePaint();
  ASSERT_EQ(c.TickNumX(), n);
  EXPECT_EQ(c.TickPosX(1), c.ScalesX(1)->GetTickPos(n));
  EXPECT_EQ(c.TickPosX(n), c.ScalesX(1)->GetTickPos(1));
  (void)first, (void)last;
}

}  // namespace
}  // namespace kvr
