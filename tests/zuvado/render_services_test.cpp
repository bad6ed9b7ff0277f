// The polyline buffer and the duplicate-mark map the item renderer uses.
#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "zu_test_util.h"

using namespace kvr;
using kvr::test::RecordingCanvas;

TEST(ZuPolyline, BatchesOf200JoinedByTheirLastPoint) {
  TZUvado c(nullptr);
  RecordingCanvas rc;
  c.SetPolylinePenPos(-1, -1);
  for (int i = 0; i < 500; ++i) c.EnterPolyline(i, 2 * i, rc.canvas.get());
  c.FinishPolyLine(rc.canvas.get());
  const auto& p = rc.backend->polylines;
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0].size(), 200u);
  EXPECT_EQ(p[1].size(), 200u);
  EXPECT_EQ(p[2].size(), 103u);
  EXPECT_EQ(p[0].front(), (TPoint{-1, -1}));
  EXPECT_EQ(p[1].front(), p[0].back());
  EXPECT_EQ(p[2].front(), p[1].back());
  EXPECT_EQ(p[2].back(), (TPoint{499, 998}));
  // Every entered point appears, in order, once per batch.
  int expect = 0;
  for (const auto& batch : p)
    for (size_t k = 1; k < batch.size(); ++k, ++expect) EXPECT_EQ(batch[k].X, expect);
  EXPECT_EQ(expect, 500);
  EXPECT_EQ(c.PolylinePenPos(), (TPoint{499, 998}));
  EXPECT_EQ(rc.canvas->PenPos(), (TPoint{499, 998}));
  EXPECT_EQ(c.NumPolylinePoints(), 0);
}

TEST(ZuPolyline, RunOf450GivesTwoHundredTwoHundredFiftyThree) {
  TZUvado c(nullptr);
  RecordingCanvas rc;
  for (int i = 0; i < 450; ++i) c.EnterPolyline(i, i, rc.canvas.get());
  c.FinishPolyLine(rc.canvas.get());
  ASSERT_EQ(rc.backend->polylines.size(), 3u);
  EXPECT_EQ(rc.backend->polylines[2].size(), 53u);
}

// A run that fills the buffer exactly leaves only the joining point, which draws no
// extra polyline; the next run starts from where the pen stands.
TEST(ZuPolyline, ExactBatchAndConsecutiveRuns) {
  TZUvado c(nullptr);
  RecordingCanvas rc;
  for (int i = 1; i <= 199; ++i) c.EnterPolyline(i, 0, rc.canvas.get());
  c.FinishPolyLine(rc.canvas.get());
  ASSERT_EQ(rc.backend->polylines.size(), 1u);
  EXPECT_EQ(rc.backend->polylines[0].size(), 200u);
  c.FinishPolyLine(rc.canvas.get());  // nothing open
  c.EnterPolyline(300, 5, rc.canvas.get());
  c.FinishPolyLine(rc.canvas.get());
  ASSERT_EQ(rc.backend->polylines.size(), 2u);
  EXPECT_EQ(rc.backend->polylines[1], (std::vector<TPoint>{{199, 0}, {300, 5}}));
  // A missing canvas only moves the pen.
  c.EnterPolyline(1, 1, nullptr);
  c.FinishPolyLine(nullptr);
  EXPECT_EQ(c.PolylinePenPos(), (TPoint{1, 1}));
}

TEST(ZuPolyline, DrawsOnARealBitmap) {
  TZUvado c(nullptr);
  TBitmap bmp(50, 50);
  bmp.Canvas()->Pen()->SetColor(clRed);
  c.SetPolylinePenPos(0, 10);
  for (int x = 1; x < 450; ++x) c.EnterPolyline(x % 50, 10, bmp.Canvas());
  c.FinishPolyLine(bmp.Canvas());
  EXPECT_EQ(bmp.Canvas()->Pixels(25, 10), clRed);
  EXPECT_EQ(bmp.Canvas()->Pixels(25, 11), clWhite);
}

TEST(ZuDupMarks, SameTypeWithinDistanceIsSkipped) {
  TZUvado c(nullptr);
  c.SetAvoidDuplicateMarks(true);
  c.ResetDupMarkMap();
  EXPECT_TRUE(c.DupMarkAllowed(10, 10, 2));
  EXPECT_FALSE(c.DupMarkAllowed(11, 10, 2));
  EXPECT_TRUE(c.DupMarkAllowed(11, 10, 3));
  EXPECT_TRUE(c.DupMarkAllowed(12, 10, 2));  // the type-3 stamp replaced the 2
  EXPECT_TRUE(c.DupMarkAllowed(20, 20, 2));
  EXPECT_FALSE(c.DupMarkAllowed(20, 20, 2));
  EXPECT_TRUE(c.DupMarkAllowed(22, 20, 2));  // beyond D = 1
  // A new pass forgets the marks.
  c.ResetDupMarkMap();
  EXPECT_TRUE(c.DupMarkAllowed(20, 20, 2));
}

TEST(ZuDupMarks, DistanceThreeReachesThreePixels) {
  TZUvado c(nullptr);
  c.SetMinDupMarkDist(3);
  c.ResetDupMarkMap();
  EXPECT_TRUE(c.DupMarkAllowed(50, 50, 5));
  EXPECT_FALSE(c.DupMarkAllowed(53, 47, 5));
  EXPECT_TRUE(c.DupMarkAllowed(54, 50, 5));
}

// Marks off the control by more than D are drawn without touching the map; marks near
// its edge stamp only the cells that exist.
TEST(ZuDupMarks, MarksOutsideTheMapAreDrawn) {
  TZUvado c(nullptr);  // 280 x 200
  c.SetMinDupMarkDist(3);
  c.ResetDupMarkMap();
  for (auto [x, y] : {std::pair{-4, 0}, {0, -4}, {283, 10}, {10, 203}, {-2147483647, 2147483647},
                      {2147483647, -2147483647}}) {
    EXPECT_TRUE(c.DupMarkAllowed(x, y, 1));
    EXPECT_TRUE(c.DupMarkAllowed(x, y, 1));
  }
  for (auto [x, y] : {std::pair{-3, -3}, {282, 202}, {282, -3}, {-3, 202}}) {
    EXPECT_TRUE(c.DupMarkAllowed(x, y, 1));
    EXPECT_FALSE(c.DupMarkAllowed(x, y, 1));
  }
  // Without a map (no pass started) everything is drawn.
  TZUvado fresh(nullptr);
  EXPECT_TRUE(fresh.DupMarkAllowed(1, 1, 1));
  EXPECT_TRUE(fresh.DupMarkAllowed(1, 1, 1));
}

TEST(ZuDupMarks, DrawMarkCheckedFollowsTheSwitch) {
  TZUvado c(nullptr);
  TBitmap bmp(40, 40);
  bmp.Canvas()->Pen()->SetColor(clBlue);
  c.ResetDupMarkMap();
  c.DrawMarkChecked(bmp.Canvas(), 0, 5, 5);
  c.DrawMarkChecked(bmp.Canvas(), 0, 5, 5);
  EXPECT_EQ(bmp.Canvas()->Pixels(5, 5), clBlue);
  c.SetAvoidDuplicateMarks(true);
  c.ResetDupMarkMap();
  c.DrawMarkChecked(bmp.Canvas(), 0, 10, 10);
  bmp.Canvas()->Pen()->SetColor(clRed);
  c.DrawMarkChecked(bmp.Canvas(), 0, 11, 11);  // suppressed
  c.DrawMarkChecked(bmp.Canvas(), 0, 13, 13);
  EXPECT_EQ(bmp.Canvas()->Pixels(10, 10), clBlue);
  EXPECT_EQ(bmp.Canvas()->Pixels(11, 11), clWhite);
  EXPECT_EQ(bmp.Canvas()->Pixels(13, 13), clRed);
  c.DrawMarkChecked(nullptr, 0, 20, 20);
}
