// World-to-pixel mapping of both axis pairs. The probe chart's area is x = 50 .. 350,
// y = 20 .. 200 (300 x 180 pixels); expectations are worked out by hand from that.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "axes_probe.h"

namespace kvr {
namespace {

using test::AxesChart;

TPoint r2m(const TCustomZUvado& c, Integer Layer, double x, double y) {
  TPoint p;
  c.R2M(Layer, x, y, p.X, p.Y);
  return p;
}

TEST(ZuMapping, LinearPairsMapTheirLimitsOntoTheChartArea) {
  AxesChart c;
  c.SetRange(1, 0, 0, 300, 180);
  c.SetRange(2, 10, 50, 0, -40);  // both directions reversed
  EXPECT_EQ(r2m(c, 1, 0, 0), (TPoint{50, 200}));
  EXPECT_EQ(r2m(c, 1, 300, 180), (TPoint{350, 20}));
  EXPECT_EQ(r2m(c, 1, 100, 30), (TPoint{150, 170}));
  EXPECT_EQ(r2m(c, 2, 10, 50), (TPoint{50, 200}));
  EXPECT_EQ(r2m(c, 2, 0, -40), (TPoint{350, 20}));
  EXPECT_EQ(r2m(c, 2, 5, 5), (TPoint{200, 110}));
  // Layers outside 1..2 are clamped.
  EXPECT_EQ(r2m(c, 0, 100, 30), r2m(c, 1, 100, 30));
  EXPECT_EQ(r2m(c, 9, 5, 5), r2m(c, 2, 5, 5));

  double kx, dx, ky, dy;
  c.GetTransformParams(1, kx, dx, ky, dy);
  EXPECT_EQ(kx, 1);
  EXPECT_EQ(dx, 50);
  EXPECT_EQ(ky, -1);
  EXPECT_EQ(dy, 200);
  c.GetTransformParams(2, kx, dx, ky, dy);
  EXPECT_EQ(kx, -30);
  EXPECT_EQ(dx, 350);
}

TEST(ZuMapping, LogarithmicAxesAndNonPositiveValues) {
  AxesChart c;
  c.SetRange(1, 1, 1, 1000, 100);
  c.Scale1X()->SetLogarithmic(true);
  c.Scale1Y()->SetLogarithmic(true);
  EXPECT_EQ(r2m(c, 1, 10, 10), (TPoint{150, 110}));
  EXPECT_EQ(r2m(c, 1, 100, 100), (TPoint{250, 20}));
  // Non-positive values go to the far edge of the control.
  EXPECT_EQ(r2m(c, 1, 0, 0), (TPoint{0, 240}));
  EXPECT_EQ(r2m(c, 1, -5, 1e-101), (TPoint{0, 240}));
  c.SetRange(1, 1000, 100, 1, 1);
  EXPECT_EQ(r2m(c, 1, 0, 0), (TPoint{370, 0}));
  EXPECT_EQ(r2m(c, 1, 10, 10), (TPoint{250, 110}));
  double x, y;
  c.M2R(1, 250, 110, x, y);
  EXPECT_NEAR(x, 10, 1e-9);
  EXPECT_NEAR(y, 10, 1e-9);
}

TEST(ZuMapping, FarValuesAreClampedAndHalvesRoundToEven) {
  AxesChart c;
  c.SetRange(1, 0, 0, 300, 180);
  EXPECT_EQ(r2m(c, 1, 1e300, -1e300), (TPoint{2147483647, 2147483647}));
  EXPECT_EQ(r2m(c, 1, -1e300, 1e300), (TPoint{-2147483647, -2147483647}));
  EXPECT_EQ(r2m(c, 1, 2147483600.0, 0).X, 2147483647);
  EXPECT_EQ(r2m(c, 1, 2147483000.0, 0).X, 2147483050);
  // Pixel 2.5 -> 2, 3.5 -> 4, -0.5 -> 0; y = 200 - v.
  EXPECT_EQ(r2m(c, 1, -47.5, 197.5), (TPoint{2, 2}));
  EXPECT_EQ(r2m(c, 1, -46.5, 196.5), (TPoint{4, 4}));
  EXPECT_EQ(r2m(c, 1, -50.5, 0).X, 0);
  // Bad input lands somewhere, without trapping.
  const TPoint p = r2m(c, 1, NAN, INFINITY);
  EXPECT_EQ(p.Y, -2147483647);
}

TEST(ZuMapping, PixelsBackToWorld) {
  AxesChart c;
  c.SetRange(1, 0, 0, 300, 180);
  c.SetRange(2, -1, 4, 1, 2);
  double x, y;
  c.M2R(1, 60, 190, x, y);
  EXPECT_DOUBLE_EQ(x, 10);
  EXPECT_DOUBLE_EQ(y, 10);
  c.M2R(2, 200, 20, x, y);
  EXPECT_DOUBLE_EQ(x, 0);
  EXPECT_DOUBLE_EQ(y, 2);
  c.M2R(5, 200, 20, x, y);  // clamped to pair 2
  EXPECT_DOUBLE_EQ(x, 0);
}

TEST(ZuMapping, ItemCoordinatesByMode) {
  AxesChart c;
  c.SetRange(1, 100, 0, 400, 180);  // world x maps to x - 50, screen x to 50 + x
  TrcChartItem it{};
  it.Layer = 1;
  it.x = 10, it.y = 20, it.x2 = 30, it.y2 = 40;
  struct Case {
    TCoordMode Mode;
    TPoint P1, P2;
  };
  const Case cases[] = {
      {cmAllWorld, {-40, 180}, {-20, 160}},
      {cmAllScreen, {60, 40}, {80, 60}},
      {cmWorldMainScreenSec, {-40, 180}, {80, 60}},
      {cmScreenMainWorldSec, {60, 40}, {-20, 160}},
      {cmXScreenYWorld, {60, 180}, {80, 160}},
      {cmXWorldYScreen, {-40, 40}, {-20, 60}},
  };
  for (const Case& k : cases) {
    it.CoordMode = k.Mode;
    TPoint a{7, 7}, b{7, 7};
    c.ConvertToScreenCoords(it, a.X, a.Y, b.X, b.Y);
    EXPECT_EQ(a, k.P1) << int(k.Mode);
    EXPECT_EQ(b, k.P2) << int(k.Mode);
  }
  // A damaged mode still writes every output (callers' variables may be uninitialised).
  it.CoordMode = TCoordMode(17);
  TPoint a{7, 7}, b{7, 7};
  c.ConvertToScreenCoords(it, a.X, a.Y, b.X, b.Y);
  EXPECT_EQ(a, (TPoint{-40, 180}));
  EXPECT_EQ(b, (TPoint{-20, 160}));
  it.CoordMode = cmAllScreen;
  it.x = 0.5, it.y = 1.5;  // 50.5 -> 50, 21.5 -> 22
  c.ConvertToScreenCoords(it, a.X, a.Y, b.X, b.Y);
  EXPECT_EQ(a, (TPoint{50, 22}));
}

TEST(ZuMapping, DegenerateAreasAndBadLogarithmicLimits) {
  AxesChart c;
  c.SetRange(1, 0, 0, 300, 180);
  c.SetLRim(400);  // no pixel extent left in x
  EXPECT_EQ(r2m(c, 1, 123, 0).X, 185);
  EXPECT_EQ(r2m(c, 1, -1e9, 0).X, 185);
  double x, y;
  c.M2R(1, 10, 10, x, y);
  EXPECT_TRUE(std::isfinite(x));

  AxesChart d;
  // Before loading the property object takes the flag; the transform refuses it.
  try {
    d.Scale2Y()->SetLogarithmic(true);
    FAIL() << "no error raised";
  } catch (const EKvrZUvadoError& e) {
    EXPECT_STREQ(e.what(), "Logarithmic axis must not be negative.");
  }
  EXPECT_FALSE(d.SuppressPaint());
  // Pair 1 was computed before the failing axis.
  EXPECT_EQ(r2m(d, 1, 1, 1), (TPoint{350, 20}));
}

// The frozen value and R2M agree everywhere, also on log axes and far outside.
TEST(ZuMapping, LayerMapMatchesR2M) {
  AxesChart c;
  c.SetRange(1, -3.7, 1e-3, 12.25, 5e4);
  c.Scale1Y()->SetLogarithmic(true);
  const TLayerMap m = c.LayerMap(1);
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-1e3, 1e5);
  for (int i = 0; i < 2000; ++i) {
    const double x = u(rng), y = i % 3 ? u(rng) : -u(rng);
    EXPECT_EQ(m.Map(x, y), r2m(c, 1, x, y));
  }
}

}  // namespace
}  // namespace kvr
