// Tick steps and the geometry helpers of the math library.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "platform/kvrbase.h"
#include "platform/kvrmath.h"

using namespace kvr;

namespace {

struct Ticks {
  long double first, dist;
  Word sub;
};

Ticks ticks(Integer n, long double lo, long double hi) {
  Ticks t{};
  CalcScalePars(n, lo, hi, t.first, t.dist, t.sub);
  return t;
}

// Checks every promise of CalcScalePars for one range; returns a failure text or "".
std::string contract_violation(Integer n, long double lo, long double hi) {
  const Ticks t = ticks(n, lo, hi);
  const long double dir = hi > lo ? 1 : -1;
  const long double step = std::fabs(t.dist);
  if (!(step > 0)) return "zero distance";
  if ((t.dist > 0) != (hi > lo)) return "distance sign";
  if (t.sub < 1) return "no minor count";
  const long double k = std::floor(std::log10(step) + 1e-12L);
  const long double m = step / std::pow(10.0L, k);
  if (std::fabs(m - 1) > 1e-9L && std::fabs(m - 2) > 1e-9L && std::fabs(m - 5) > 1e-9L)
    return "step not 1, 2 or 5 times a power of ten";
  const long double q = t.first / step;
  if (std::fabs(q - std::round(q)) > 1e-6L * std::max(1.0L, std::fabs(q)))
    return "first tick not a multiple of the step";
  if (dir * (t.first - lo) < -1e-9L * step) return "first tick before the low end";
  if (dir * (t.first - t.dist - lo) >= 0) return "an earlier tick would fit";
  const long double intervals = std::fabs(hi - lo) / step;
  if (intervals < 0.6L * n || intervals > 1.6L * n) return "interval count far from wanted";
  return "";
}

}  // namespace

TEST(MathScalePars, KnownRanges) {
  Ticks t = ticks(5, 0, 10);
  EXPECT_EQ(t.first, 0);
  EXPECT_EQ(t.dist, 2);
  EXPECT_EQ(t.sub, 4);

  t = ticks(5, 10, 0);  // reversed: walks down from the low end
  EXPECT_EQ(t.first, 10);
  EXPECT_EQ(t.dist, -2);

  // Decimal steps land on the decimal values, not one ulp beside them.
  t = ticks(6, 0.3, 0.9);
  EXPECT_EQ(static_cast<double>(t.first), 0.3);
  EXPECT_EQ(static_cast<double>(t.dist), 0.1);

  t = ticks(4, -7.3, 12.2);
  EXPECT_EQ(t.first, -5);
  EXPECT_EQ(t.dist, 5);
  EXPECT_EQ(t.sub, 5);
}

TEST(MathScalePars, DegenerateInputGivesNoTicks) {
  const double nan = std::nan("");
  const double inf = HUGE_VAL;
  for (auto [lo, hi] : {std::pair{1.0, 1.0}, {nan, 1.0}, {0.0, nan}, {-inf, 0.0}, {0.0, inf}}) {
    const Ticks t = ticks(5, lo, hi);
    EXPECT_EQ(t.dist, 0) << lo << " " << hi;
    EXPECT_GE(t.sub, 1);
  }
  // A tick count below 1 is taken as 1.
  EXPECT_EQ(contract_violation(1, 0, 10), "");
  EXPECT_NE(ticks(0, 0, 10).dist, 0);
  EXPECT_NE(ticks(-5, 0, 10).dist, 0);
}

TEST(MathScalePars, ContractHoldsOverRandomRanges) {
  std::mt19937_64 rng(12345);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> mag(-300, 300), rel(-13, 4), count(1, 25);
  int failures = 0;
  for (int i = 0; i < 20000 && failures < 5; ++i) {
    const double scale = std::pow(10.0, mag(rng));
    const double lo = unit(rng) * scale;
    double width = std::pow(10.0, rel(rng)) * scale * (0.1 + std::fabs(unit(rng)));
    if (i % 2) width = -width;
    const double hi = lo + width;
    if (hi == lo || !std::isfinite(hi)) continue;
    const Integer n = count(rng);
    const std::string why = contract_violation(n, lo, hi);
    if (!why.empty()) {
      ++failures;
      ADD_FAILURE() << why << ": n=" << n << " lo=" << lo << " hi=" << hi;
    }
  }
}

TEST(MathScalePars, ExtremeRanges) {
  EXPECT_EQ(contract_violation(5, -1.7e308, 1.7e308), "");
  EXPECT_EQ(contract_violation(5, 1.0, 1.0 + 1e-14), "");
  EXPECT_EQ(contract_violation(10, 5e-320, 1e-318), "");
  EXPECT_EQ(contract_violation(1000, 0.0, 1.0), "");
}

TEST(MathGeometry, DistanceToSegmentMatchesSampling) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-50, 50);
  for (int i = 0; i < 200; ++i) {
    const double px = u(rng), py = u(rng), ax = u(rng), ay = u(rng), bx = u(rng), by = u(rng);
    double best = 1e300;
    for (int k = 0; k <= 20000; ++k) {
      const double t = k / 20000.0;
      best = std::min(best, std::hypot(px - (ax + t * (bx - ax)), py - (ay + t * (by - ay))));
    }
    EXPECT_NEAR(DistanceToSegment(px, py, ax, ay, bx, by), best, 0.01);
  }
  // A zero-length segment is a point; point types with X/Y members work too.
  EXPECT_DOUBLE_EQ(DistanceToSegment(TPoint{3, 4}, TPoint{0, 0}, TPoint{0, 0}), 5.0);
}

TEST(MathGeometry, DistFromRect) {
  const TRect r{10, 20, 30, 40};
  EXPECT_EQ(DistFromRect(TPoint{15, 25}, r), 0);
  EXPECT_EQ(DistFromRect(TPoint{30, 40}, r), 0);  // the border counts as inside
  EXPECT_EQ(DistFromRect(TPoint{5, 30}, r), 5);
  EXPECT_EQ(DistFromRect(TPoint{33, 44}, r), 5);  // corner: 3-4-5
  EXPECT_EQ(DistFromRect(TPoint{33, 44}, TRect{30, 40, 10, 20}), 5);  // unordered corners
    // Saturates instead of wrapping around.
  EXPECT_EQ(DistFromRect(TPoint{-2147483647, 0}, TRect{2147483647, 0, 2147483647, 0}), 2147483647);
}

TEST(MathGeometry, DistFromEllipseMatchesSampling) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-40, 40), ax(0.5, 30);
  for (int i = 0; i < 300; ++i) {
    const double a = ax(rng), b = (i % 7 == 0) ? a : ax(rng);
    const double cx = u(rng), cy = u(rng);
    // Every tenth point on an axis through the centre, where naive solvers fail.
    double px = u(rng), py = u(rng);
    if (i % 10 == 1) py = cy;
    if (i % 10 == 2) px = cx;
    double nx = 0, ny = 0;
    const double d = DistFromEllipse(px, py, a, b, cx, cy, nx, ny);
    EXPECT_NEAR((nx - cx) * (nx - cx) / (a * a) + (ny - cy) * (ny - cy) / (b * b), 1.0, 1e-6);
    double best = 1e300;
    for (int k = 0; k < 40000; ++k) {
      const double t = 2 * uc_pi * k / 40000;
      best = std::min(best, std::hypot(px - cx - a * std::cos(t), py - cy - b * std::sin(t)));
    }
    EXPECT_NEAR(std::hypot(px - nx, py - ny), best, 2e-3 * std::max(a, b)) << i;
    const bool inside = (px - cx) * (px - cx) / (a * a) + (py - cy) * (py - cy) / (b * b) <= 1;
    if (inside) EXPECT_EQ(d, 0.0);
    else EXPECT_NEAR(d, best, 2e-3 * std::max(a, b)) << i;
  }
}

TEST(MathGeometry, DistFromEllipseDegenerate) {
  TPoint n{};
  // Flat ellipse: the segment from (-10, 0) to (10, 0).
  EXPECT_DOUBLE_EQ(DistFromEllipse(TPoint{13, 4}, 10, 0, 0, 0, n), 5.0);
  EXPECT_EQ(n, (TPoint{10, 0}));
  EXPECT_DOUBLE_EQ(DistFromEllipse(TPoint{0, 0}, -5, -5, 0, 0, n), 0.0);  // signs ignored
  TPointDouble nd;
  EXPECT_DOUBLE_EQ(DistFromEllipse(TPointDouble{0, 7}, 4, 2, 0, 1, nd), 4.0);
  EXPECT_EQ(nd, (TPointDouble{0, 3}));
  double nx = 0, ny = 0;
  EXPECT_EQ(DistFromEllipse(std::nan(""), 0, 1, 1, 0, 0, nx, ny), uc_MaxDouble);
  EXPECT_EQ(DistFromEllipse(1e308, -1e308, 1, 1, 0, 0, nx, ny) > 0, true);
}

TEST(MathScalar, SignumIntNegExChange) {
  EXPECT_EQ(Signum(-3.5), -1);
  EXPECT_EQ(Signum(0.0), 0);
  EXPECT_EQ(Signum(7), 1);
  EXPECT_EQ(Signum(std::nan("")), 0);
  EXPECT_EQ(IntNeg(-1.5), -2.0);
  EXPECT_EQ(IntNeg(-2.0), -2.0);
  EXPECT_EQ(IntNeg(1.7), 1.0);
  double a = 1, b = 2;
  ExChange(a, b);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 1);
}

TEST(MathScalar, GRandomIsSeedableAndNormal) {
  GRandomize(42);
  const double first = GRandom();
  const double second = GRandom();
  GRandomize(42);
  EXPECT_EQ(GRandom(), first);
  EXPECT_EQ(GRandom(), second);
  GRandomize(43);
  EXPECT_NE(GRandom(), first);

  GRandomize(1);
  const int n = 40000;
  double sum = 0, sum2 = 0;
  int within1 = 0;
  for (int i = 0; i < n; ++i) {
    const double v = GRandom();
    ASSERT_TRUE(std::isfinite(v));
    sum += v;
    sum2 += v * v;
    within1 += std::fabs(v) < 1.0;
  }
  const double mean = sum / n;
  EXPECT_NEAR(mean, 0.0, 0.03);
  EXPECT_NEAR(std::sqrt(sum2 / n - mean * mean), 1.0, 0.03);
  EXPECT_NEAR(within1 / double(n), 0.6827, 0.01);  // normal, not uniform
}
