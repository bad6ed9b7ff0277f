// The zoom history ring: recording, replay, wrapping and bounds.
#include <gtest/gtest.h>

#include "axes_probe.h"

namespace kvr {
namespace {

using test::AxesChart;

TEST(ZuZoom, ResetLeavesOneState) {
  AxesChart c;
  EXPECT_EQ(c.ZoomStack(1, 0), (TRectDouble{0, 1, 1, 0}));
  EXPECT_EQ(c.ZoomStack(2, 0), (TRectDouble{0, 1, 1, 0}));
  EXPECT_EQ(c.ZoomStack(1, -1), TRectDouble{});
  c.ZoomHistory(-1);  // empty slot: ranges stay, the chart repaints
  EXPECT_EQ(c.Scale1X()->RangeHigh(), 1);
  EXPECT_EQ(c.paints, 1);
  EXPECT_EQ(c.ZoomStack(3, 0), TRectDouble{});
  EXPECT_EQ(c.ZoomStack(1, 1), TRectDouble{});
}

TEST(ZuZoom, ReplayReturnsWithoutRecording) {
  AxesChart c;
  c.SetRange(1, 0, 0, 10, 10);
  EXPECT_EQ(c.ZoomStack(1, 0), (TRectDouble{0, 10, 10, 0}));
  c.ZoomHistory(-1);
  EXPECT_EQ(c.Scale1X()->RangeHigh(), 1);
  EXPECT_EQ(c.Scale1Y()->RangeHigh(), 1);
  c.ZoomHistory(-1);
  EXPECT_EQ(c.Scale1X()->RangeHigh(), 1);
  c.ZoomHistory(0);
  EXPECT_EQ(c.Scale1X()->RangeHigh(), 10);
  EXPECT_EQ(c.ZoomStack(1, 0), (TRectDouble{0, 10, 10, 0}));
  const int paints = c.paints;
  c.ZoomHistory(1);
  c.ZoomHistory(-16);
  EXPECT_EQ(c.paints, paints);
  EXPECT_EQ(c.Scale1X()->RangeHigh(), 10);
}

// State n (1-based) has the X range 0 .. n; the reset state is state 0 (0 .. 1).
TEST(ZuZoom, RingKeepsTheLastSixteenStates) {
  AxesChart c;
  for (int n = 2; n <= 16; ++n) c.SetRange(1, 0, 0, n, 1);
  // 16 states: the reset state is still the oldest.
  EXPECT_EQ(c.ZoomStack(1, 0).Right, 16);
  EXPECT_EQ(c.ZoomStack(1, -15).Right, 1);
  c.SetRange(1, 0, 0, 17, 1);
  EXPECT_EQ(c.ZoomStack(1, -15).Right, 2);
  for (int n = 18; n <= 20; ++n) c.SetRange(1, 0, 0, n, 1);
  // 20 recorded states (1 .. 20): the 5th is the oldest kept.
  EXPECT_EQ(c.ZoomStack(1, -15).Right, 5);
  EXPECT_EQ(c.ZoomStack(1, 0).Right, 20);
  c.ZoomHistory(-15);
  EXPECT_EQ(c.Scale1X()->RangeHigh(), 5);
  c.ClearZoomHistory();
  EXPECT_EQ(c.ZoomStack(1, 0).Right, 5);
  EXPECT_EQ(c.ZoomStack(1, -1), TRectDouble{});
}

TEST(ZuZoom, RecordsOnlyCommittedChanges) {
  AxesChart c;
  c.SetRange(1, 0, 0, 10, 10);
  c.ForceRange(1, 5, 5, 5, 5, true, false);  // both spans too small: nothing written
  EXPECT_EQ(c.ZoomStack(1, -1).Right, 1);
  EXPECT_EQ(c.ZoomStack(1, 0).Right, 10);
  c.ForceRange(1, 0, 0, 20, 20, false, false);
  EXPECT_EQ(c.ZoomStack(1, 0).Right, 10);
  c.SetIsometric(true);
  EXPECT_EQ(c.ZoomStack(1, 0).Right, 20);
  EXPECT_EQ(c.ZoomStack(1, -1).Right, 10);
}

}  // namespace
}  // namespace kvr
