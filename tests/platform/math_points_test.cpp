#include <gtest/gtest.h>

#include <cmath>

#include "platform/kvrmath.h"

using namespace kvr;

namespace {

TEST(MathGeometry, DistanceToSegmentTakesPointsInEveryForm) {
  // Three brace lists: the plain overload, with fractional coordinates kept.
  EXPECT_DOUBLE_EQ(DistanceToSegment({1, 2}, {0, 0}, {3, 0}), 2.0);
  EXPECT_DOUBLE_EQ(DistanceToSegment({0.5, -1.5}, {0, 0}, {0, 0}), std::hypot(0.5, 1.5));
  EXPECT_DOUBLE_EQ(DistanceToSegment({-1, 0}, {0, 0}, {2, 0}), 1.0);
  // A named first point gives its type to the brace lists that follow.
  const TPoint p{3, 4};
  EXPECT_DOUBLE_EQ(DistanceToSegment(p, {0, 0}, {0, 0}), 5.0);
  const TPointDouble q{1.5, 1};
  EXPECT_DOUBLE_EQ(DistanceToSegment(q, {0, 0}, {3, 0}), 1.0);
  // Mixed point types go through the template.
  EXPECT_DOUBLE_EQ(DistanceToSegment(q, TPoint{0, 3}, TPointDouble{4, 3}), 2.0);
}

}  // namespace
