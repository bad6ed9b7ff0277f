// The shared setter steps and the zoom step of the mouse code.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/math1.h"
#include "platform/setters.h"

using namespace kvr;

TEST(Setters, StoreIfChangedComparesWithEquality) {
  std::string s = "a";
  EXPECT_FALSE(StoreIfChanged(s, "a"));
  EXPECT_TRUE(StoreIfChanged(s, "b"));
  EXPECT_EQ(s, "b");
  // NaN never equals itself: a setter fed NaN stores and notifies every time.
  double d = 1.0;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(StoreIfChanged(d, nan));
  EXPECT_TRUE(StoreIfChanged(d, nan));
  EXPECT_TRUE(StoreIfChanged(d, 0.0));
  EXPECT_FALSE(StoreIfChanged(d, -0.0));  // -0 == 0: kept as it was
  EXPECT_FALSE(std::signbit(d));
}

TEST(Setters, MarginLeavesTheFreeSpace) {
  Integer m = 5;
  EXPECT_FALSE(StoreMarginIfChanged(m, 5, 10, 100, 20));
  EXPECT_TRUE(StoreMarginIfChanged(m, 500, 10, 100, 20));
  EXPECT_EQ(m, 70);
  EXPECT_TRUE(StoreMarginIfChanged(m, -3, 10, 100, 20));
  EXPECT_EQ(m, 0);
  // An opposite margin that already fills the control leaves none.
  EXPECT_FALSE(StoreMarginIfChanged(m, 40, 100, 100, 1));
  EXPECT_EQ(m, 0);
}

TEST(ZoomStep, LinearAboutTheMiddleLogAboutTheGeometricCentre) {
  double lo = 0, hi = 0;
  ZoomAboutCentre(10.0, 20.0, false, 2.0, lo, hi);
  EXPECT_DOUBLE_EQ(lo, 5.0);
  EXPECT_DOUBLE_EQ(hi, 25.0);
  ZoomAboutCentre(1.0, 100.0, true, 0.5, lo, hi);
  EXPECT_DOUBLE_EQ(lo, std::sqrt(10.0));
  EXPECT_DOUBLE_EQ(hi, std::sqrt(1000.0));
  ZoomAboutCentre(1.0, 100.0, true, -1.0, lo, hi);  // the pointer dragged past the anchor
  EXPECT_DOUBLE_EQ(lo, 100.0);
  EXPECT_DOUBLE_EQ(hi, 1.0);
  long double llo = 0, lhi = 0;
  ZoomAboutCentre<long double>(1e-300, 1e300, true, 3.0L, llo, lhi);
  EXPECT_GT(llo, 0.0L);  // long double holds what double cannot
  EXPECT_NEAR(std::log10(lhi), 900.0L, 1e-9L);
}
