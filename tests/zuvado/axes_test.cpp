// Axis property objects, their axis controls, margins, resizing and standard layouts.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/kvrcolors.h"
#include "axes_probe.h"

namespace kvr {
namespace {

using test::AxesChart;

TEST(ZuAxes, NewChartCarriesTheFirstLayout) {
  TZUvado chart(nullptr);
  EXPECT_EQ(chart.Width(), 280);
  EXPECT_EQ(chart.Height(), 200);
  EXPECT_EQ(chart.MarginLeft(), 50);
  EXPECT_EQ(chart.RRim(), 20);
  EXPECT_EQ(chart.MarginTop(), 20);
  EXPECT_EQ(chart.BRim(), 40);
  EXPECT_EQ(chart.ShadowWidth(), 0);
  EXPECT_EQ(chart.StandardLayout(), rcl_X1Bottom_Y1Left);
  EXPECT_EQ(chart.CaptionPosY(), -16);
  EXPECT_EQ(chart.CaptionAnchorHoriz(), cahChartRight);
  // The layout moved X2 to the bottom and Y2 to the left, both hidden.
  EXPECT_TRUE(chart.Scale1X()->Visible());
  EXPECT_FALSE(chart.Scale2X()->Visible());
  EXPECT_EQ(chart.Scale2X()->ScaleType(), sctBottom);
  EXPECT_EQ(chart.Scale2Y()->ScaleType(), sctLeft);
  EXPECT_EQ(chart.Scale1Y()->CaptionPosY(), -16);
  EXPECT_EQ(chart.Scale1Y()->CaptionAlignment(), taLeftJustify);
  EXPECT_EQ(chart.Scale1X()->ColorScale(), PredefinedColors[0]);
  EXPECT_EQ(chart.Scale2Y()->ColorScale(), PredefinedColors[1]);
  EXPECT_EQ(chart.Scale1X()->RangeLow(), 0);
  EXPECT_EQ(chart.Scale2Y()->RangeHigh(), 1);
  EXPECT_EQ(chart.ScalesX(1)->Name(), "RC_FScale_X_1");
  EXPECT_EQ(chart.ScalesY(2)->Name(), "RC_FScale_Y_2");
  EXPECT_EQ(chart.ScalesX(1)->MouseAction(), maZoom);
  EXPECT_EQ(chart.ScalesX(3), nullptr);
  // Chart area 210 x 140 pixels; its image holds both end pixels.
  EXPECT_EQ(chart.GrafBmp()->Width(), 211);
  EXPECT_EQ(chart.GrafBmp()->Height(), 141);
}

TEST(ZuAxes, RangeSettersKeepTheMinimumSpan) {
  TScalePropsHoriz p;
  int changes = 0;
  p.OnChange = [&](TObject*) { ++changes; };
  p.SetRangeHigh(5);
  p.SetRangeLow(5);
  EXPECT_EQ(p.RangeLow(), 5);
  EXPECT_EQ(p.RangeHigh(), 5 + 1e-10);
  p.SetRangeHigh(5);  // closer than MinRange to the low limit: low moves down
  EXPECT_EQ(p.RangeHigh(), 5);
  EXPECT_EQ(p.RangeLow(), 5 - 1e-10);
  EXPECT_EQ(changes, 3);

  TScalePropsVert q;
  changes = 0;
  q.OnChange = [&](TObject*) { ++changes; };
  q.SetMinRange(10);
  EXPECT_EQ(q.RangeLow(), -4.5);
  EXPECT_EQ(q.RangeHigh(), 5.5);
  EXPECT_EQ(changes, 1);
  q.SetMinRange(1);  // span already wide enough: stored, no change event
  EXPECT_EQ(q.MinRange(), 1);
  EXPECT_EQ(changes, 1);
  q.SetMinRange(1e-100);
  q.SetMinRange(-3);
  q.SetMinRange(NAN);
  EXPECT_EQ(q.MinRange(), 1);
  q.SetRangeLow(NAN);
  q.SetRangeHigh(INFINITY);
  EXPECT_EQ(q.RangeLow(), -4.5);
  EXPECT_EQ(q.RangeHigh(), 5.5);
}

TEST(ZuAxes, LogarithmicAndLabelRules) {
  TScalePropsHoriz p;
  int changes = 0;
  p.OnChange = [&](TObject*) { ++changes; };
  // Before the chart has loaded the flag is taken as it comes.
  p.SetLogarithmic(true);
  EXPECT_TRUE(p.Logarithmic());
  p.SetLogarithmic(false);
  p.SetNotYetLoaded(false);
  changes = 0;
  p.SetLogarithmic(true);  // RangeLow 0
  EXPECT_FALSE(p.Logarithmic());
  EXPECT_EQ(changes, 1);
  p.SetRangeLow(1);
  p.SetRangeHigh(100);
  p.SetLogarithmic(true);
  EXPECT_TRUE(p.Logarithmic());
  p.SetRangeLow(-5);  // ignored on a logarithmic axis
  EXPECT_EQ(p.RangeLow(), 1);
  p.SetLabelType(ftDateTime);
  EXPECT_FALSE(p.Logarithmic());
  p.SetLogarithmic(true);  // refused with date labels
  EXPECT_FALSE(p.Logarithmic());
  p.SetLabelType(ftSeconds);
  EXPECT_EQ(p.DecPlaces(), 4);
  p.SetDecPlaces(40);
  EXPECT_EQ(p.DecPlaces(), 12);
  p.SetDecPlaces(-9);
  EXPECT_EQ(p.DecPlaces(), -3);
  changes = 0;
  p.Font()->SetSize(14);  // the font's own change counts as a change
  EXPECT_EQ(changes, 1);
}

TEST(ZuAxes, ScalePosFollowsTheAxisDirection) {
  TScalePropsVert p;
  p.SetScaleLocation(slRight);
  EXPECT_EQ(p.ScaleType(), sctRight);
  p.SetScalePos(7);
  p.SetScaleType(sctTop);
  EXPECT_EQ(p.ScalePos(), 0);
  p.SetScalePos(3);
  p.SetScaleType(sctLeft);
  EXPECT_EQ(p.ScalePos(), 7);
}

TEST(ZuAxes, AssignCopiesSettingsQuietly) {
  TScalePropsHoriz src, dst;
  src.SetCaption("Volt");
  src.SetRangeLow(-3);
  src.SetMinRange(0.5);
  src.SetMouseAction(maPan);
  src.SetScaleLocation(slTop);
  src.Font()->SetSize(13);
  src.DateFormat()->SetDateSeparator('/');
  src.SetNotYetLoaded(false);
  int srcChanges = 0;
  src.OnChange = [&](TObject*) { ++srcChanges; };
  int dstDateChanges = 0;
  dst.DateFormat()->OnChange = [&](TObject*) { ++dstDateChanges; };
  dst.Assign(&src);
  EXPECT_EQ(srcChanges, 0);
  EXPECT_EQ(dstDateChanges, 0);
  EXPECT_EQ(dst.Caption(), "Volt");
  EXPECT_EQ(dst.RangeLow(), -3);
  EXPECT_EQ(dst.MinRange(), 0.5);
  EXPECT_EQ(dst.Font()->Size(), 13);
  EXPECT_EQ(dst.DateFormat()->DateSeparator(), '/');
  EXPECT_EQ(dst.ScaleType(), sctTop);
  EXPECT_FALSE(dst.NotYetLoaded());
  EXPECT_EQ(dst.MouseAction(), maNone);
  EXPECT_EQ(dst.ScaleLocation(), slBottom);
  dst.SetVisible(true);  // the handler came along
  EXPECT_EQ(srcChanges, 1);
}

TEST(ZuAxes, ChartPropertyObjectsKeepTheirOwnHandler) {
  AxesChart a, b;
  EXPECT_EQ(a.ScalePropsX(3), a.Scale1X());
  EXPECT_EQ(a.ScalePropsY(0), a.Scale1Y());
  TScalePropsHoriz other;
  other.SetCaption("x");
  a.SetScalePropsX(3, &other);
  EXPECT_EQ(a.Scale1X()->Caption(), "");

  a.SetScale1X(b.Scale1X());
  b.paints = 0;
  a.Scale1X()->SetRangeHigh(300);
  EXPECT_EQ(b.paints, 0);
  EXPECT_EQ(a.paints, 1);
  Integer x, y;
  a.R2M(1, 300, 0, x, y);
  EXPECT_EQ(x, 350);
}

TEST(ZuAxes, MarginsAndShadowReachTheAxisControls) {
  AxesChart c;
  c.SetShadowWidth(40);
  EXPECT_EQ(c.ShadowWidth(), 32);
  c.SetShadowWidth(-1);
  EXPECT_EQ(c.ShadowWidth(), 0);
  c.SetShadowWidth(6);
  EXPECT_EQ(c.ScalesX(2)->MarginRight(), 20 + 6 - 1);
  EXPECT_EQ(c.ScalesY(1)->MarginBottom(), 40 + 6 - 1);
  c.SetLRim(70);
  c.SetTRim(30);
  EXPECT_EQ(c.ScalesX(1)->MarginLeft(), 70);
  EXPECT_EQ(c.ScalesY(2)->MarginTop(), 30);
  EXPECT_EQ(c.GrafBmp()->Width(), 370 - 70 - 20 - 6 + 1);
  EXPECT_EQ(c.GrafBmp()->Height(), 240 - 30 - 40 - 6 + 1);
  // The axis line of a bottom axis sits ScalePos pixels below the chart area.
  c.Scale1X()->SetScalePos(5);
  EXPECT_EQ(c.ScalesX(1)->MarginTop(), 5 + 240 - 40 - 6);
  c.Scale1Y()->SetScalePos(4);  // left axis: line at x = MarginLeft - 4
  EXPECT_EQ(c.ScalesY(1)->MarginRight(), 4 + 370 - 70 - 1);
  // With these margins the axis control maps its range onto the chart area.
  c.SetRange(1, 0, 0, 10, 10);
  Integer x, y;
  c.R2M(1, 10, 0, x, y);
  EXPECT_EQ(c.ScalesX(1)->R2M(10), x);
  EXPECT_EQ(c.ScalesX(1)->R2M(0), 70);
}

TEST(ZuAxes, StandardLayoutsAndMinimumSize) {
  AxesChart c;
  c.SetStandardLayout(rcl_X2Both_Y2Both);
  EXPECT_EQ(c.StandardLayout(), rcl_X2Both_Y2Both);
  EXPECT_EQ(c.MarginLeft(), 50);
  EXPECT_EQ(c.MarginRight(), 50);
  EXPECT_EQ(c.MarginTop(), 64);
  EXPECT_EQ(c.MarginBottom(), 40);
  EXPECT_EQ(c.CaptionPosY(), -60);
  for (Integer k = 1; k <= 2; ++k) {
    EXPECT_TRUE(c.ScalePropsX(k)->Visible());
    EXPECT_TRUE(c.ScalePropsY(k)->Visible());
  }
  EXPECT_EQ(c.Scale2X()->ScaleType(), sctTop);
  EXPECT_EQ(c.Scale2X()->ScaleLocation(), slTop);
  EXPECT_EQ(c.Scale2Y()->ScaleType(), sctRight);
  EXPECT_EQ(c.ScalesY(2)->ScaleType(), sctRight);
  EXPECT_TRUE(c.ScalesY(2)->Visible());
  EXPECT_EQ(c.paints, 1);  // one repaint for the whole layout

  c.SetStandardLayout(rcl_X2Bottom_Y2Left);
  EXPECT_EQ(c.Scale2X()->ScalePos(), 30);
  EXPECT_EQ(c.Scale2Y()->ScalePos(), 50);
  EXPECT_EQ(c.MarginBottom(), 70);
  c.SetStandardLayout(TrcLayout(9));
  EXPECT_EQ(c.StandardLayout(), rcl_X2Bottom_Y2Left);

  TZUvado fresh(nullptr);
  fresh.SetBounds(0, 0, 10, 10);
  EXPECT_EQ(fresh.Width(), 150);
  EXPECT_EQ(fresh.Height(), 80);
}

TEST(ZuAxes, PropertyEditsRevalidateAndRepaintOnce) {
  AxesChart c;
  c.Scale1X()->SetRangeHigh(300);
  EXPECT_EQ(c.paints, 1);
  Integer x, y;
  c.R2M(1, 150, 0, x, y);
  EXPECT_EQ(x, 200);
  EXPECT_EQ(c.ScalesX(1)->RangeHigh(), 300);
  // Edits do not record zoom states.
  EXPECT_EQ(c.ZoomStack(1, 0).Right, 1);
  // The axis control's drag handler takes the same path.
  c.ScalesX(1)->OnZoomPan(c.ScalesX(1));
  EXPECT_EQ(c.paints, 2);
}

TEST(ZuAxes, IsometricChartsKeepTheAspectOnResizeAndMargins) {
  AxesChart c;
  c.SetRange(1, 0, 0, 300, 180);
  c.SetIsometric(true);
  // One world unit per pixel on both axes: (H + 1) / (W + 1) of the X span.
  EXPECT_NEAR(c.Scale1Y()->RangeHigh() - c.Scale1Y()->RangeLow(), 300.0 * 181 / 301, 1e-9);
  c.SetShadowWidth(10);
  c.SetBounds(0, 0, 470, 240);  // W = 390, H = 170
  const double span = c.Scale1Y()->RangeHigh() - c.Scale1Y()->RangeLow();
  EXPECT_NEAR(span, 300.0 * 171 / 391, 1e-9);
  EXPECT_NEAR(c.Scale1Y()->GetScaleCenter(), 90, 1e-9);
  c.SetMarginTop(40);  // H = 150
  EXPECT_NEAR(c.Scale1Y()->RangeHigh() - c.Scale1Y()->RangeLow(), 300.0 * 151 / 391, 1e-9);
}

TEST(ZuAxes, LoadedClearsTheNotYetLoadedMarks) {
  AxesChart c;
  EXPECT_TRUE(c.Scale2Y()->NotYetLoaded());
  c.Loaded();
  EXPECT_FALSE(c.Scale1X()->NotYetLoaded());
  EXPECT_FALSE(c.Scale2Y()->NotYetLoaded());
  c.Scale1X()->SetLogarithmic(true);  // range 0..1 now refuses the switch
  EXPECT_FALSE(c.Scale1X()->Logarithmic());
}

}  // namespace
}  // namespace kvr
