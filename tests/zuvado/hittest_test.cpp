// Nearest-item searches, annotation shapes, marking by window and axis detection.
// RenderChart maps layer-1 world (x, y) to control pixel (50 + x, 268 - y).
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <string>

#include "platform/kvrmath.h"
#include "render_util.h"

using namespace kvr;
using kvr::test::ProbeChart;
using kvr::test::RenderChart;

namespace {

const double kNoDist = std::sqrt(DBL_MAX);
constexpr double kPi = std::numbers::pi;

// Slow reference of the screen search: R2M per item in its own layer.
Integer ScreenReference(const TCustomZUvado& c, double mx, double my, TrcItem id, Byte cls,
                        double& dist) {
  Integer qx, qy;
  c.R2M(c.ActiveLayer(), mx, my, qx, qy);
  double best = DBL_MAX;
  Integer found = -1;
  for (Integer i = 0; i < c.NumItems(); ++i) {
    const TrcChartItem it = c.DataContainer(i);
    if (id != tkEverything && it.ItemKind != id) continue;
    if (cls != 255 && it.ItemClass != cls) continue;
    Integer px, py;
    c.R2M(it.Layer, it.x, it.y, px, py);
    const float dx = float(int64_t(px) - qx), dy = float(int64_t(py) - qy);
    if (dx * dx + dy * dy < best) {
      best = dx * dx + dy * dy;
      found = i;
    }
  }
  dist = std::sqrt(best);
  return found;
}

}  // namespace

TEST(HitTestReal, NearestTiesAndFilters) {
  RenderChart c;
  double d = 0;
  EXPECT_EQ(c.FindNearestItemReal(0, 0, tkEverything, 255, d), -1);
  EXPECT_EQ(d, kNoDist);

  c.MoveTo(0.0, 0.0);         // 0
  c.MarkAt(3.0, 4.0, 1);      // 1: distance 5
  c.MarkAt(-4.0, 3.0, 1);     // 2: distance 5 as well
  c.SetClassDefault(7);
  c.Line(10.0, 0.0, 0.0, 0.0);  // 3
  c.SetActiveLayer(2);
  c.SetClassDefault(0);
  c.MarkAt(0.5, 0.0, 2);      // 4, layer 2

  EXPECT_EQ(c.FindNearestItemReal(0, 0, tkEverything, 255, d), 0);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(c.FindNearestItemReal(0, 0, tkNotMoveTo, 255, d), 4);
  EXPECT_DOUBLE_EQ(d, 0.5);
  EXPECT_EQ(c.FindNearestItemReal(0, 0, tkMarkAt, 0, true, d), 4);
  c.SetLayerVisible(2, false);
  EXPECT_EQ(c.FindNearestItemReal(0, 0, tkMarkAt, 0, true, d), 1);  // lower index of a tie
  EXPECT_DOUBLE_EQ(d, 5);
  EXPECT_EQ(c.FindNearestItemReal(0, 0, tkMarkAt, 0, false, d), 4);
  EXPECT_EQ(c.FindNearestItemReal(0, 0, tkEverything, 7, d), 3);
  EXPECT_DOUBLE_EQ(d, 10);
  EXPECT_EQ(c.FindNearestItemReal(0, 0, tkLine, 0, d), -1);
  EXPECT_EQ(c.FindNearestItemReal(0, 0, tkNone, 255, d), -1);
  EXPECT_EQ(d, kNoDist);
}

TEST(HitTestReal, BadQueriesFindNothingAndNeverFail) {
  RenderChart c;
  c.MarkAt(1.0, 1.0, 1);
  c.MarkAt(std::numeric_limits<double>::quiet_NaN(), 1.0, 1);
  c.MarkAt(1e300, 1e300, 1);
  double d = 0;
  EXPECT_EQ(c.FindNearestItemReal(std::nan(""), 0, tkEverything, 255, d), -1);
  EXPECT_EQ(d, kNoDist);
  EXPECT_EQ(c.FindNearestItemReal(2, 2, tkEverything, 255, d), 0);
  EXPECT_EQ(c.FindNearestItemReal(1e300, 1e300, tkEverything, 255, d), 2);
  // Farther than the square root of the largest double is out of reach.
  EXPECT_EQ(c.FindNearestItemReal(-1e300, -1e300, tkEverything, 255, d), -1);
  EXPECT_EQ(d, kNoDist);
  for (const double v : {std::numeric_limits<double>::infinity(), 1e308, -1e308, std::nan("")}) {
    c.FindNearestItemScreen(v, v, tkEverything, 255, d);
    c.FindNearestItemAlongAxis(v, 0, tkEverything, 255, d);
    c.FindNearestAnnoElem(v, v, tkEverything, 255, false, d);
    EXPECT_EQ(c.MarkItemsInWindow(v, v, v, v, tkEverything, 3), 0);
  }
}

TEST(HitTestScreen, PixelsDecideNotWorldUnits) {
  RenderChart c;
  c.SetRange(1, 0, 0, 340, 2.52);  // x: 1 pixel per unit, y: 100 pixels per unit
  c.MarkAt(0.0, 0.05, 1);          // 0.05 world units, 5 pixels away
  c.MarkAt(3.0, 0.0, 1);           // 3 world units, 3 pixels away
  double d = 0;
  EXPECT_EQ(c.FindNearestItemReal(0, 0, tkMarkAt, 255, d), 0);
  EXPECT_EQ(c.FindNearestItemScreen(0, 0, tkMarkAt, 255, d), 1);
  EXPECT_DOUBLE_EQ(d, 3);
  // Both round onto the same pixel: the lower index wins.
  c.MarkAt(3.2, 0.0, 1);
  c.MarkAt(2.9, 0.0, 1);
  EXPECT_EQ(c.FindNearestItemScreen(3.1, 0, tkMarkAt, 255, d), 1);
  EXPECT_EQ(d, 0);
}

TEST(HitTestScreen, ItemsOfTheOtherLayerAreMeasuredWhereTheyAreDrawn) {
  RenderChart c;
  c.SetRange(2, 100, 100, 440, 352);  // layer-2 (100, 100) lies on layer-1 (0, 0)
  c.MarkAt(30.0, 0.0, 1);
  c.SetActiveLayer(2);
  c.MarkAt(110.0, 100.0, 1);  // drawn 10 pixels right of layer-1 (0, 0)
  c.SetActiveLayer(1);
  double d = 0;
  EXPECT_EQ(c.FindNearestItemScreen(0, 0, tkMarkAt, 255, d), 1);
  EXPECT_DOUBLE_EQ(d, 10);
  EXPECT_EQ(c.FindNearestItemAlongAxis(0, 0, tkMarkAt, 255, d), 1);
  EXPECT_DOUBLE_EQ(d, 10);
  c.SetActiveLayer(2);
  EXPECT_EQ(c.FindNearestItemScreen(115, 100, tkMarkAt, 255, d), 1);
  EXPECT_DOUBLE_EQ(d, 5);
  EXPECT_EQ(c.FindNearestItemScreen(115, 100, tkMarkAt, 255, true, d), 1);
  c.SetLayerVisible(2, false);
  EXPECT_EQ(c.FindNearestItemScreen(115, 100, tkMarkAt, 255, true, d), 0);
  EXPECT_DOUBLE_EQ(d, 15);
}

// Random items on both layers, one of them logarithmic, against R2M item by item.
TEST(HitTestScreen, AgreesWithAPerItemReference) {
  RenderChart c;
  c.SetRange(1, -5, -3, 7, 9);
  c.SetRange(2, 1, 0.01, 1000, 100);
  c.Scale2Y()->SetLogarithmic(true);
  ASSERT_TRUE(c.Scale2Y()->Logarithmic());
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-10, 10), lg(-3, 3);
  for (int i = 0; i < 1500; ++i) {
    c.SetActiveLayer(1 + i % 2);
    c.SetClassDefault(i % 3);
    if (i % 2) c.MarkAt(std::pow(10, lg(rng)), std::pow(10, lg(rng)), 1);
    else c.Line(u(rng), u(rng), u(rng), u(rng));
  }
  for (int k = 0; k < 120; ++k) {
    c.SetActiveLayer(1 + k % 2);
    const double mx = k % 2 ? std::pow(10, lg(rng)) : u(rng);
    const double my = k % 2 ? std::pow(10, lg(rng)) : u(rng);
    const TrcItem id = k % 3 == 0 ? tkEverything : (k % 3 == 1 ? tkLine : tkMarkAt);
    const Byte cls = k % 4 == 0 ? 255 : Byte(k % 3);
    double d = 0, dr = 0;
    EXPECT_EQ(c.FindNearestItemScreen(mx, my, id, cls, d), ScreenReference(c, mx, my, id, cls, dr));
    EXPECT_EQ(d, dr);
  }
}

TEST(HitTestAlongAxis, OneCoordinateInPixels) {
  RenderChart c;
  c.SetRange(1, 0, 0, 34, 252);  // x: 10 pixels per unit
  double d = 0;
  EXPECT_EQ(c.FindNearestItemAlongAxis(0, 0, tkEverything, 255, d), -1);
  c.MarkAt(2.0, 100.0, 1);
  c.MarkAt(5.0, 10.0, 1);
  c.MarkAt(1.0, 10.0, 1);
  EXPECT_EQ(c.FindNearestItemAlongAxis(1.6, 0, tkMarkAt, 255, d), 0);
  EXPECT_DOUBLE_EQ(d, 4);  // pixels, not squared
  EXPECT_EQ(c.FindNearestItemAlongAxis(1.5, 0, tkMarkAt, 255, d), 0);  // tie with item 2
  EXPECT_EQ(c.FindNearestItemAlongAxis(30, 1, tkMarkAt, 255, d), 1);
  EXPECT_DOUBLE_EQ(d, 20);
  EXPECT_EQ(c.FindNearestItemAlongAxis(1.6, 2, tkMarkAt, 255, d), -1);
  EXPECT_EQ(d, kNoDist);
  EXPECT_EQ(c.FindNearestItemAlongAxis(1.6, -1, tkMarkAt, 255, d), -1);
  EXPECT_EQ(c.FindNearestItemAlongAxis(1.6, 0, tkLine, 255, d), -1);
  EXPECT_EQ(d, kNoDist);
}

TEST(HitTestMarkWindow, ClassesOfItemsInsideTheWindow) {
  ProbeChart c;
  c.MoveTo(1.0, 1.0);
  c.MarkAt(1.0, 1.0, 1);
  c.MarkAt(2.0, 3.0, 1);  // on the window's corner
  c.MarkAt(2.5, 1.0, 1);
  c.SetActiveLayer(2);
  c.SetClassDefault(9);
  c.Line(1.5, 2.0, 8.0, 8.0);
  c.SetLayerVisible(2, false);
  const int before = c.propagations;

  EXPECT_EQ(c.MarkItemsInWindow(0, 0, 2, 3, tkEverything, 255), 0);
  EXPECT_EQ(c.DataContainer(0).ItemClass, 0);
  EXPECT_EQ(c.MarkItemsInWindow(0, 0, 2, 3, tkNone, 4), 0);
  EXPECT_EQ(c.propagations, before);

  // Reversed bounds, hidden layer and the current class do not matter.
  EXPECT_EQ(c.MarkItemsInWindow(2, 3, 0, 0, tkNotMoveTo, 4), 3);
  EXPECT_EQ(c.propagations, before + 1);
  const int expect[] = {0, 4, 4, 0, 4};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(c.DataContainer(i).ItemClass, expect[i]) << i;
  EXPECT_EQ(c.MarkItemsInWindow(0, 0, 2, 3, tkMoveTo, 5), 1);
  EXPECT_EQ(c.DataContainer(0).ItemClass, 5);
  EXPECT_EQ(c.MarkItemsInWindow(10, 10, 20, 20, tkEverything, 6), 0);
  EXPECT_EQ(c.propagations, before + 2);
}

TEST(HitTestAnno, ClosedShapesAreZeroInside) {
  RenderChart c;
  c.SetAnnoMode(true);
  c.Rectangle(100.0, 100.0, 200.0, 150.0);  // 0
  c.Ellipse(170.0, 30.0, 60.0, 20.0);       // 1
  c.RectangleRelPix(300.0, 200.0, 10, 5);   // 2: pixel half-sizes around the centre
  c.Rectangle(10, 10, 20, 20);              // 3: screen pixels, control (60..70, 26..36)
  double d = 0;
  EXPECT_EQ(c.FindNearestAnnoElem(150, 120, tkEverything, 255, false, d), 0);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(c.FindNearestAnnoElem(150, 90, tkRect, 255, false, d), 0);
  EXPECT_EQ(d, 10);
  EXPECT_EQ(c.FindNearestAnnoElem(90, 160, tkRect, 255, false, d), 0);
  EXPECT_EQ(d, 14);  // the rectangle distance is whole pixels

  EXPECT_EQ(c.FindNearestAnnoElem(170, 30, tkEverything, 255, false, d), 1);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(c.FindNearestAnnoElem(230, 30, tkEverything, 255, false, d), 1);
  EXPECT_NEAR(d, 0, 1e-9);
  EXPECT_EQ(c.FindNearestAnnoElem(170, 50, tkEverything, 255, false, d), 1);
  EXPECT_NEAR(d, 0, 1e-9);
  // Outside, the ellipse is measured in pixels like every other shape.
  EXPECT_EQ(c.FindNearestAnnoElem(250, 30, tkEllipse, 255, false, d), 1);
  EXPECT_NEAR(d, 20, 1e-9);
  EXPECT_EQ(c.FindNearestAnnoElem(170, 70, tkEllipse, 255, false, d), 1);
  EXPECT_NEAR(d, 20, 1e-9);

  EXPECT_EQ(c.FindNearestAnnoElem(308, 196, tkEverything, 255, false, d), 2);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(c.FindNearestAnnoElem(300, 220, tkRectRelPix, 255, false, d), 2);
  EXPECT_EQ(d, 15);

  EXPECT_EQ(c.FindNearestAnnoElem(15, 238, tkEverything, 255, false, d), 3);
  EXPECT_EQ(d, 0);
}

TEST(HitTestAnno, LinesBarsCursorsAndMarks) {
  RenderChart c;
  c.SetAnnoMode(true);
  c.Line(0.0, 0.0, 100.0, 0.0);                      // 0
  c.LineOffset(0.0, 100.0, 100.0, 100.0, 0, -20);     // 1: drawn at world y = 120
  c.Bar3D(200.0, 50.0, 240.0, 150.0, 20, 45);        // 2: back face 14 pixels right, up
  c.CursorVert(300.0);                               // 3
  c.CursorHoriz(240.0);                              // 4
  c.MarkAt(20.0, 60.0, 1);                           // 5
  c.MarkAt(20.0, 60.0, 1);                           // 6
  c.DrawToRelPix(150.0, 200.0, 30, 0);               // 7: 30 pixels to the right
  c.MarkErrorBar(120.0, 60.0, 10.0, 20.0, TOrientation(0), 1);  // 8: y 50..80
  double d = 0;
  EXPECT_EQ(c.FindNearestAnnoElem(50, 10, tkLine, 255, false, d), 0);
  EXPECT_DOUBLE_EQ(d, 10);
  EXPECT_EQ(c.FindNearestAnnoElem(50, 120, tkEverything, 255, false, d), 1);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(c.FindNearestAnnoElem(250, 140, tkEverything, 255, false, d), 2);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(c.FindNearestAnnoElem(256, 100, tk3DBar, 255, false, d), 2);
  EXPECT_EQ(d, 2);
  EXPECT_EQ(c.FindNearestAnnoElem(305, 0, tkCursorVert, 255, false, d), 3);
  EXPECT_DOUBLE_EQ(d, 5);
  EXPECT_EQ(c.FindNearestAnnoElem(0, 247, tkCursorHoriz, 255, false, d), 4);
  EXPECT_DOUBLE_EQ(d, 7);
  EXPECT_EQ(c.FindNearestAnnoElem(23, 64, tkMarkAt, 255, false, d), 5);  // tie: lower index
  EXPECT_DOUBLE_EQ(d, 5);
  EXPECT_EQ(c.FindNearestAnnoElem(175, 205, tkEverything, 255, false, d), 7);
  EXPECT_DOUBLE_EQ(d, 5);
  EXPECT_EQ(c.FindNearestAnnoElem(124, 78, tkEverything, 255, false, d), 8);
  EXPECT_DOUBLE_EQ(d, 4);
  EXPECT_EQ(c.FindNearestAnnoElem(120, 90, tkMarkEBar, 255, false, d), 8);
  EXPECT_DOUBLE_EQ(d, 10);
}

TEST(HitTestAnno, ArcsCountOnlyInsideTheirSweep) {
  RenderChart c;
  c.SetAnnoMode(true);
  c.Arc(170.0, 126.0, 50.0, 50.0, 0.0, kPi / 2);          // 0: upper right quarter
  const double r = 50 / std::sqrt(2.0);
  double d = 0;
  EXPECT_EQ(c.FindNearestAnnoElem(170 + r, 126 + r, tkArc, 255, false, d), 0);
  EXPECT_LT(d, 1);
  // An open curve: the inside of the sector is not on it.
  EXPECT_EQ(c.FindNearestAnnoElem(180, 136, tkArc, 255, false, d), 0);
  EXPECT_NEAR(d, 50 - std::hypot(10, 10), 1);
  EXPECT_EQ(c.FindNearestAnnoElem(170 - r, 126 - r, tkArc, 255, false, d), -1);
  EXPECT_EQ(d, kNoDist);
  // A sweep across the negative x axis runs from 3/4 pi on through pi to -3/4 pi.
  c.Arc(170.0, 126.0, 50.0, 50.0, 0.75 * kPi, -0.75 * kPi);  // 1
  EXPECT_EQ(c.FindNearestAnnoElem(110, 126, tkArc, 255, false, d), 1);
  EXPECT_NEAR(d, 10, 1e-9);
  EXPECT_EQ(c.FindNearestAnnoElem(170, 60, tkArc, 255, false, d), -1);
  // Equal angles draw the whole ellipse.
  c.Arc(170.0, 126.0, 50.0, 20.0, 1.0, 1.0);  // 2
  EXPECT_EQ(c.FindNearestAnnoElem(170, 100, tkArc, 255, false, d), 2);
  EXPECT_NEAR(d, 6, 1e-9);
}

TEST(HitTestAnno, TextBoxesFollowAlignmentAndTheTextHook) {
  RenderChart c;
  c.SetAnnoMode(true);
  c.SetTextAlignment(taLeftJustify);
  c.Text(100.0, 100.0, 10, "Hello");                     // 0
  c.SetTextAlignment(taRightJustify);
  c.Text(100.0, 200.0, 10, "Hello");                     // 1
  c.Text(0.0, 50.0, 10, "Hello", 30, 0, taLeftJustify);  // 2: anchored 30 pixels right
  Integer w = 0, total = 0, lh = 0;
  TCustomZUvado::CalcTextExtents("Hello", c.GrafBmp()->Canvas(), w, total, lh);
  ASSERT_GT(w, 6);
  double d = 0;
  EXPECT_EQ(c.FindNearestAnnoElem(101, 100, tkText, 255, false, d), 0);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(c.FindNearestAnnoElem(97, 100, tkText, 255, false, d), 0);
  EXPECT_EQ(d, 3);
  EXPECT_EQ(c.FindNearestAnnoElem(100 - w + 1, 200, tkText, 255, false, d), 1);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(c.FindNearestAnnoElem(104, 200, tkText, 255, false, d), 1);
  EXPECT_EQ(d, 4);
  EXPECT_EQ(c.FindNearestAnnoElem(31, 50, tkEverything, 255, false, d), 2);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(c.FindNearestAnnoElem(25, 50, tkTextOfs, 255, false, d), 2);
  EXPECT_EQ(d, 5);

  // The hook sees every text as an annotation, and its text is the one measured.
  int calls = 0;
  c.OnBeforeRenderText = [&](TObject*, std::string& t, Integer Index, bool IsAnnotation) {
    EXPECT_TRUE(IsAnnotation);
    EXPECT_EQ(Index, calls);
    ++calls;
    t = "Hello, a much longer text";
  };
  EXPECT_EQ(c.FindNearestAnnoElem(100 + w + 20, 100, tkEverything, 255, false, d), 0);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(calls, 3);
}

// Each shape gets a class of its own, so a search restricted to that class measures it
// alone; the full search must pick the first of the smallest of those distances.
TEST(HitTestAnno, NearestOfAllAgreesWithEachShapeAlone) {
  RenderChart c;
  c.SetRange(2, -50, 20, 300, 200);
  c.SetAnnoMode(true);
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(0, 250), s(1, 30);
  std::uniform_int_distribution<int> kind(0, 13), px(-20, 20);
  constexpr int kShapes = 240;
  for (int i = 0; i < kShapes; ++i) {
    c.SetClassDefault(i);
    c.SetActiveLayer(1 + i % 2);
    const double x = u(rng), y = u(rng);
    switch (kind(rng)) {
      case 0: c.MarkAt(x, y, 1); break;
      case 1: c.Line(x, y, x + s(rng), y - s(rng)); break;
      case 2: c.Line(Integer(x), Integer(y), x + s(rng), y); break;
      case 3: c.Rectangle(x, y, x + s(rng), y + s(rng)); break;
      case 4: c.RectangleRelPix(x, y, px(rng), px(rng)); break;
      case 5: c.Ellipse(x, y, s(rng), s(rng)); break;
      case 6: c.Arc(x, y, s(rng), s(rng), u(rng) / 40 - 3, u(rng) / 40 - 3); break;
      case 7: c.Bar3D(x, y, x + s(rng), y + s(rng), px(rng), 30 + px(rng)); break;
      case 8: c.LineOffset(x, y, x + s(rng), y, px(rng), px(rng)); break;
      case 9: c.MarkErrorBar(x, y, s(rng), s(rng), TOrientation(i % 2), 1); break;
      case 10: c.Text(x, y, 8, "Tx", px(rng), px(rng), taCenter); break;
      case 11: c.DrawToRelPix(x, y, px(rng), px(rng)); break;
      case 12: c.CursorVert(Integer(x)); break;
      default: c.Arrow(x, y, Integer(x), Integer(y), 4); break;
    }
  }
  for (int k = 0; k < 60; ++k) {
    const double mx = u(rng), my = u(rng);
    double best = DBL_MAX, d = 0;
    Integer expect = -1;
    for (int i = 0; i < kShapes; ++i) {
      if (c.FindNearestAnnoElem(mx, my, tkEverything, Byte(i), false, d) < 0) continue;
      if (d * d < best) {
        best = d * d;
        expect = i;
      }
    }
    ASSERT_EQ(c.FindNearestAnnoElem(mx, my, tkEverything, 255, false, d), expect) << k;
    EXPECT_DOUBLE_EQ(d * d, best);
  }
}

TEST(HitTestAnno, CoordinateModesAgreeWithConvertToScreenCoords) {
  RenderChart c;
  c.SetRange(2, -50, 20, 300, 200);
  c.SetAnnoMode(true);
  c.Line(10.0, 20.0, 130.0, 70.5);
  for (Integer layer = 1; layer <= 2; ++layer) {
    for (int mode = cmAllWorld; mode <= cmXWorldYScreen; ++mode) {
      TrcChartItem it = c.AnnoContainer(0);
      it.CoordMode = TCoordMode(mode);
      it.Layer = layer;
      c.SetAnnoItem(0, it);
      Integer x1, y1, x2, y2;
      c.ConvertToScreenCoords(it, x1, y1, x2, y2);
      for (const double q : {0.0, 60.0, 140.0}) {
        Integer qx, qy;
        c.R2M(1, q, q, qx, qy);
        double d = 0;
        ASSERT_EQ(c.FindNearestAnnoElem(q, q, tkLine, 255, false, d), 0);
        EXPECT_DOUBLE_EQ(d, DistanceToSegment(TPoint{qx, qy}, TPoint{x1, y1}, TPoint{x2, y2}))
            << "mode " << mode << " layer " << layer << " at " << q;
      }
    }
  }
}

// A rectangle's distance is whole pixels: 14.14 counts as 14 and beats a mark at 14.04.
TEST(HitTestAnno, RoundedRectangleDistanceBeatsASlightlyNearerPoint) {
  RenderChart c;
  c.SetAnnoMode(true);
  c.MarkAt(114.0, 101.0, 1);
  c.Rectangle(110.0, 110.0, 150.0, 150.0);
  double d = 0;
  EXPECT_EQ(c.FindNearestAnnoElem(100, 100, tkEverything, 255, false, d), 1);
  EXPECT_EQ(d, 14);
}

TEST(HitTestAnno, FiltersLayersAndKindsThatAreNeverFound) {
  RenderChart c;
  c.SetAnnoMode(true);
  c.MoveTo(0.0, 0.0);
  c.MoveToRelPix(5, 5);
  c.DrawToRelPix(10, 10);
  double d = 0;
  for (const TrcItem id : {tkEverything, tkMoveTo, tkMoveRelPix, tkLineRelPix, tkNotMoveTo})
    EXPECT_EQ(c.FindNearestAnnoElem(0, 0, id, 255, false, d), -1) << int(id);
  EXPECT_EQ(d, kNoDist);

  c.SetRange(2, 100, 100, 440, 352);
  c.SetActiveLayer(2);
  c.SetClassDefault(3);
  c.MarkAt(100.0, 100.0, 1);  // 3: on layer 2, drawn where layer-1 (0, 0) is
  c.SetActiveLayer(1);
  EXPECT_EQ(c.FindNearestAnnoElem(0, 0, tkEverything, 255, false, d), 3);
  EXPECT_EQ(c.FindNearestAnnoElem(0, 0, tkEverything, 2, false, d), -1);
  EXPECT_EQ(c.FindNearestAnnoElem(0, 0, tkNone, 255, false, d), -1);
  c.SetLayerVisible(2, false);
  EXPECT_EQ(c.FindNearestAnnoElem(0, 0, tkEverything, 3, false, d), 3);
  EXPECT_EQ(c.FindNearestAnnoElem(0, 0, tkEverything, 3, true, d), -1);
  // The hook may empty the container while the search runs.
  c.Text(5.0, 5.0, 8, "x");
  c.MarkAt(6.0, 6.0, 1);
  c.OnBeforeRenderText = [&](TObject*, std::string&, Integer, bool) { c.ClearAnnotations(); };
  EXPECT_EQ(c.FindNearestAnnoElem(5, 5, tkEverything, 255, false, d), -1);
}

TEST(HitTestDetectScale, AxisZones) {
  RenderChart c;  // X1 at the bottom, Y1 at the left; pair 2 hidden
  EXPECT_EQ(c.DetectScale(200, 280), -1);
  EXPECT_EQ(c.DetectScale(200, 268 + 45), 0);  // the X zone is 40 pixels high
  EXPECT_EQ(c.DetectScale(200, 268), 0);       // the line itself belongs to the area
  EXPECT_EQ(c.DetectScale(50 - 45, 100), 1);   // the Y zone is 50 pixels wide
  EXPECT_EQ(c.DetectScale(0, 100), 0);
  EXPECT_EQ(c.DetectScale(20, 10), 0);         // above the Y band
  EXPECT_EQ(c.DetectScale(20, 280), 0);        // the corner belongs to neither
  EXPECT_EQ(c.DetectScale(200, 100), 0);

  c.Scale1Y()->SetScalePos(20);
  EXPECT_EQ(c.DetectScale(45, 100), 0);
  EXPECT_EQ(c.DetectScale(25, 100), 1);
  c.Scale1Y()->SetVisible(false);
  EXPECT_EQ(c.DetectScale(25, 100), 0);

  c.Scale2Y()->SetScaleLocation(slRight);
  c.Scale2Y()->SetVisible(true);
  c.Scale2X()->SetScaleLocation(slTop);
  c.Scale2X()->SetVisible(true);
  EXPECT_EQ(c.DetectScale(400 - 10 + 20, 100), 2);
  EXPECT_EQ(c.DetectScale(400 - 10, 100), 0);
  EXPECT_EQ(c.DetectScale(200, 10), -2);
  EXPECT_EQ(c.DetectScale(200, 16), 0);
}
