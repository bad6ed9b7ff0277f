// TColorScale: value/colour and value/pixel conversions, range and margin rules, the
// painted bar, extension and crosshair, and the two mouse modes driven as a host would.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "colorscale/colorscale.h"
#include "platform/arith.h"
#include "platform/registry.h"

namespace {

using kvr::TColorScale;
using kvr::TShiftState;

constexpr int kN = 10;

kvr::TColor entry(int i) { return kvr::RGB(i * 25, 255 - i * 25, 90); }

struct ColorScaleFixture : ::testing::Test {
  TColorScale cs{nullptr};

  void SetUp() override {
    cs.SetBounds(0, 0, 300, 75);
    cs.CreateWnd();
    cs.ColorArray.SetSize(kN);
    for (int i = 0; i <= kN; ++i) cs.ColorArray.SetColorElem(i, entry(i));
  }
  void vertical() {
    cs.SetOrientation(kvr::csoVertical);
    cs.SetBounds(0, 0, 90, 300);
  }
  kvr::TColor px(int x, int y) {
    cs.Update();
    return cs.Surface()->Canvas()->Pixels(x, y);
  }
  // The table index the bar should show at pixel t, worked out from the two end pixels.
  int expected_index(int t) {
    const int lo = cs.ValueToPixel(cs.ColorLow()), hi = cs.ValueToPixel(cs.ColorHigh());
    const double f = (t - lo) / double(hi - lo) * kN;
    return std::clamp<int>(static_cast<int>(kvr::Round(f)), 1, kN);
  }
};

TEST(ColorScaleRegistry, RegisterRecordsTheClassOnPageKvr) {
  kvr::Kvr_colorscale::Register();
  kvr::Kvr_colorscale::Register();
  const auto entries = kvr::RegisteredComponents("KVR");
  int found = 0;
  for (const auto& e : entries)
    if (e.ClassName == "TColorScale") {
      ++found;
      std::unique_ptr<kvr::TComponent> made(e.Factory(nullptr));
      EXPECT_NE(dynamic_cast<TColorScale*>(made.get()), nullptr);
    }
  EXPECT_EQ(found, 1);
  EXPECT_TRUE(kvr::RegisteredComponents("nope").empty());
}

TEST(ColorScaleDefaults, ConstructorSettings) {
  TColorScale cs(nullptr);
  EXPECT_EQ(cs.Width(), 300);
  EXPECT_EQ(cs.Height(), 75);
  EXPECT_EQ(cs.MarginTop(), 8);
  EXPECT_EQ(cs.MarginBottom(), 22);
  EXPECT_EQ(cs.MarginLeft(), 16);
  EXPECT_EQ(cs.MarginRight(), 16);
  EXPECT_EQ(cs.ScaleRangeLow(), -10);
  EXPECT_EQ(cs.ScaleRangeHigh(), 10);
  EXPECT_EQ(cs.ColorLow(), -10);
  EXPECT_EQ(cs.ColorHigh(), 10);
  EXPECT_EQ(cs.CrossHair()->Color(), kvr::clRed);
  EXPECT_EQ(cs.CrossHair()->Mode(), kvr::chBoth);
  EXPECT_EQ(cs.CrossHair()->LineType(), kvr::psDot);
  EXPECT_EQ(cs.FrameStyle(), kvr::rbLowered);
  EXPECT_EQ(cs.ColorSclBkgd(), kvr::clSilver);
  EXPECT_TRUE(cs.FramedColorScale());
  EXPECT_EQ(cs.Scale()->Name(), "ColorScale");
  EXPECT_EQ(cs.Scale()->ScaleType(), kvr::sctBottom);
}

TEST_F(ColorScaleFixture, ValueToColorRoundsHalfEvenAndClampsToTheTable) {
  cs.SetScaleRange(0, 10);
  EXPECT_EQ(cs.ValueToColor(3), entry(3));
  EXPECT_EQ(cs.ValueToColor(2.5), entry(2));
  EXPECT_EQ(cs.ValueToColor(3.5), entry(4));
  EXPECT_EQ(cs.ValueToColor(0), entry(1));  // index 0 is never returned
  EXPECT_EQ(cs.ValueToColor(-100), entry(1));
  EXPECT_EQ(cs.ValueToColor(100), entry(kN));
  EXPECT_EQ(cs.ValueToColor(std::numeric_limits<double>::infinity()), entry(kN));
  EXPECT_EQ(cs.ValueToColor(std::nan("")), entry(1));
  // A colour range that is not the scale range.
  cs.SetColorLow(5);
  cs.SetColorHigh(7);
  EXPECT_EQ(cs.ValueToColor(6), entry(5));
}

TEST_F(ColorScaleFixture, EqualColorLimitsGiveTheMiddleEntry) {
  cs.SetColorHigh(3);
  cs.SetColorLow(3);
  for (double v : {-50.0, 3.0, 50.0}) EXPECT_EQ(cs.ValueToColor(v), entry(5));
  cs.ColorArray.SetSize(9);  // 4.5 rounds to the even 4
  EXPECT_EQ(cs.ValueToColor(0), entry(4));
}

TEST_F(ColorScaleFixture, ColorToValueInvertsTheTable) {
  cs.SetScaleRange(-10, 10);
  for (int i = 1; i <= kN; ++i) EXPECT_DOUBLE_EQ(cs.ColorToValue(entry(i)), -10 + 20.0 * i / kN);
  // A colour near entry 7 gives the value of entry 7; round trips stay on their entry.
  EXPECT_DOUBLE_EQ(cs.ColorToValue(entry(7) + 1), 4.0);
  for (int i = 1; i <= kN; ++i) EXPECT_EQ(cs.ValueToColor(cs.ColorToValue(entry(i))), entry(i));
  cs.ColorArray.SetSize(0);
  EXPECT_EQ(cs.ColorToValue(kvr::clRed), -10);
  cs.ValueToColor(1);  // empty table: no crash
}

TEST_F(ColorScaleFixture, ValueToPixelFollowsRangeMarginsAndOrientation) {
  cs.SetScaleRange(0, 100);
  EXPECT_EQ(cs.ValueToPixel(0), 16);
  EXPECT_EQ(cs.ValueToPixel(100), 300 - 16 - 1);
  cs.SetMarginLeft(40);
  EXPECT_EQ(cs.ValueToPixel(0), 40);
  cs.SetMarginRight(60);
  EXPECT_EQ(cs.ValueToPixel(100), 239);
  vertical();
  EXPECT_EQ(cs.ValueToPixel(0), 300 - 22 - 1);
  EXPECT_EQ(cs.ValueToPixel(100), 8);
  EXPECT_EQ(cs.Scale()->ScaleType(), kvr::sctRight);
  EXPECT_EQ(cs.Scale()->MarginLeft(), 90 - cs.MarginRight());
}

TEST_F(ColorScaleFixture, RangeSetters) {
  cs.SetScaleRange(5, 5);
  EXPECT_EQ(cs.ScaleRangeLow(), 4);
  EXPECT_EQ(cs.ScaleRangeHigh(), 6);
  EXPECT_EQ(cs.ColorLow(), 4);
  EXPECT_EQ(cs.ColorHigh(), 6);

  cs.SetColorLow(9);  // above ColorHigh: drags it up
  EXPECT_EQ(cs.ColorLow(), 9);
  EXPECT_EQ(cs.ColorHigh(), 9);
  cs.SetColorHigh(-2);  // below ColorLow: drags it down
  EXPECT_EQ(cs.ColorLow(), -2);
  EXPECT_EQ(cs.ColorHigh(), -2);
  EXPECT_EQ(cs.ScaleRangeLow(), 4);  // the scale range is not touched

  cs.SetScaleRangeLow(6);  // equal to the high limit: the scale moves it to 7
  EXPECT_EQ(cs.ScaleRangeLow(), 6);
  EXPECT_EQ(cs.ScaleRangeHigh(), 7);
  cs.SetScaleRangeHigh(6);
  EXPECT_EQ(cs.ScaleRangeLow(), 7);
  EXPECT_EQ(cs.ScaleRangeHigh(), 6);

  const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
  cs.SetScaleRange(nan, 1);
  cs.SetScaleRange(0, inf);
  cs.SetScaleRangeLow(nan);
  cs.SetColorHigh(inf);
  EXPECT_EQ(cs.ScaleRangeLow(), 7);
  EXPECT_EQ(cs.ScaleRangeHigh(), 6);
  EXPECT_EQ(cs.ColorHigh(), -2);
}

TEST_F(ColorScaleFixture, MarginsKeepOnePixelOfBar) {
  cs.SetMarginTop(100);
  EXPECT_EQ(cs.MarginTop(), 75 - 22 - 1);
  cs.SetMarginBottom(60);
  EXPECT_EQ(cs.MarginBottom(), 75 - 52 - 1);
  cs.SetMarginLeft(400);
  EXPECT_EQ(cs.MarginLeft(), 300 - 16 - 1);
  cs.SetMarginRight(-5);
  EXPECT_EQ(cs.MarginRight(), 0);
  cs.Repaint();  // a one-pixel bar still paints
}

TEST_F(ColorScaleFixture, HorizontalBarPaintsTheTableAcrossTheColourRange) {
  cs.SetScaleRange(0, 10);
  const int y = 20;
  for (int x = 17; x < 283; x += 7) EXPECT_EQ(px(x, y), entry(expected_index(x))) << x;
  EXPECT_EQ(px(150, 5), kvr::clSilver);               // above the bar
  EXPECT_EQ(px(150, 8), kvr::clBlack);                // frame
  EXPECT_EQ(px(16, y), kvr::clBlack);
  EXPECT_EQ(px(150, 9), entry(expected_index(150)));  // first bar row
  EXPECT_EQ(px(150, 52), entry(expected_index(150)));  // last bar row
  cs.SetFramedColorScale(false);
  EXPECT_EQ(px(150, 8), entry(expected_index(150)));
  EXPECT_EQ(px(16, y), entry(1));
  EXPECT_EQ(px(283, y), entry(kN));
}

TEST_F(ColorScaleFixture, NarrowColourRangeLeavesBackgroundOrExtendsEndColours) {
  cs.SetScaleRange(0, 10);
  cs.SetColorLow(4);
  cs.SetColorHigh(6);
  const int a = cs.ValueToPixel(4), b = cs.ValueToPixel(6), y = 20;
  EXPECT_EQ(px(a - 3, y), kvr::clSilver);
  EXPECT_EQ(px(b + 3, y), kvr::clSilver);
  EXPECT_EQ(px(a, y), entry(1));
  EXPECT_EQ(px(b, y), entry(kN));
  cs.SetExtendColors(true);
  EXPECT_EQ(px(20, y), entry(1));
  EXPECT_EQ(px(a - 1, y), entry(1));
  EXPECT_EQ(px(b + 1, y), entry(kN));
  EXPECT_EQ(px(280, y), entry(kN));
  EXPECT_EQ(px(10, y), kvr::clSilver);  // the margin stays background

  vertical();
  const int va = cs.ValueToPixel(4), vb = cs.ValueToPixel(6), x = 30;
  EXPECT_GT(va, vb);
  EXPECT_EQ(px(x, va + 5), entry(1));  // below the low end
  EXPECT_EQ(px(x, vb - 5), entry(kN));
  cs.SetExtendColors(false);
  EXPECT_EQ(px(x, va + 5), kvr::clSilver);
  EXPECT_EQ(px(x, (va + vb) / 2), entry(kN / 2));
}

TEST_F(ColorScaleFixture, WideColourRangeShowsOnlyItsVisiblePart) {
  cs.SetScaleRange(-10, 10);
  cs.SetColorLow(-30);
  cs.SetColorHigh(30);
  cs.SetFramedColorScale(false);
  // The bar shows the middle third of the table, interpolated along the whole range.
  EXPECT_EQ(expected_index(16), 3);
  EXPECT_EQ(expected_index(283), 7);
  EXPECT_EQ(px(16, 20), entry(3));
  EXPECT_EQ(px(150, 20), entry(expected_index(150)));
  EXPECT_EQ(px(283, 20), entry(7));
}

TEST_F(ColorScaleFixture, ReversedColourRangeStillPaints) {
  // A reversed scale with an ascending colour range puts ColorLow on the right.
  cs.SetScaleRange(10, 0);
  cs.SetColorHigh(10);
  cs.SetColorLow(0);
  cs.SetFramedColorScale(false);
  EXPECT_EQ(px(16, 20), entry(kN));
  EXPECT_EQ(px(283, 20), entry(1));
  EXPECT_EQ(px(150, 20), entry(expected_index(150)));
  cs.SetColorLow(2);
  cs.SetExtendColors(true);
  EXPECT_EQ(px(280, 20), entry(1));
}

TEST_F(ColorScaleFixture, CrossHairIsDrawnAtItsValue) {
  cs.SetScaleRange(0, 10);
  cs.CrossHair()->SetLineType(kvr::psSolid);
  cs.CrossHair()->SetPos(2.5, 7.5);
  const int p = cs.ValueToPixel(2.5);
  EXPECT_EQ(px(p, 20), kvr::clRed);
  EXPECT_EQ(px(p, 8), kvr::clBlack);  // starts one pixel inside the frame
  EXPECT_EQ(px(p, 9), kvr::clRed);
  EXPECT_EQ(px(p, 52), kvr::clRed);
  EXPECT_NE(px(p + 1, 20), kvr::clRed);
  cs.CrossHair()->SetVisible(false);
  EXPECT_NE(px(p, 20), kvr::clRed);
  cs.CrossHair()->SetVisible(true);
  cs.CrossHair()->SetMode(kvr::chOff);
  EXPECT_NE(px(p, 20), kvr::clRed);
  cs.CrossHair()->SetMode(kvr::chBoth);

  vertical();
  const int q = cs.ValueToPixel(7.5);
  EXPECT_EQ(px(40, q), kvr::clRed);
  EXPECT_NE(px(40, cs.ValueToPixel(2.5)), kvr::clRed);
}

TEST_F(ColorScaleFixture, DataRenderedEventSeesTheBarBeforeTheCrossHair) {
  cs.SetScaleRange(0, 10);
  cs.CrossHair()->SetLineType(kvr::psSolid);
  cs.CrossHair()->SetPos(5, 5);
  int calls = 0;
  kvr::TColor seen = 0;
  cs.OnDataRendered = [&](kvr::TObject* s, kvr::TCanvas* c) {
    EXPECT_EQ(s, &cs);
    seen = c->Pixels(cs.ValueToPixel(5), 20);
    ++calls;
  };
  cs.Repaint();
  EXPECT_EQ(calls, 1);
  EXPECT_NE(seen, kvr::clRed);
  cs.SetSuppPaint(true);
  cs.Repaint();
  EXPECT_EQ(calls, 1);
  cs.SetSuppPaint(false);
  cs.Update();
  EXPECT_EQ(calls, 2);
}

TEST_F(ColorScaleFixture, CrossHairDragMovesAfterTheFirstMoveAndStaysInRange) {
  cs.SetScaleRange(0, 10);
  cs.SetMouseAction(kvr::maDragCrossHair);
  int moved = 0;
  cs.OnCrossHairMove = [&](kvr::TObject*) { ++moved; };
  const TShiftState held{kvr::ssLeft};
  cs.HostMouseDown(kvr::mbLeft, held, 100, 20);
  cs.HostMouseMove(held, 120, 20);
  EXPECT_EQ(moved, 0);
  EXPECT_EQ(cs.CrossHair()->PosX(), 0);
  cs.HostMouseMove(held, 150, 20);
  EXPECT_EQ(moved, 1);
  EXPECT_DOUBLE_EQ(cs.CrossHair()->PosX(), cs.Scale()->M2R(150));
  EXPECT_DOUBLE_EQ(cs.CrossHair()->PosY(), cs.Scale()->M2R(150));
  cs.HostMouseMove(held, 295, 20);
  EXPECT_EQ(cs.CrossHair()->PosX(), 10);
  cs.HostMouseMove(held, 2, 20);
  EXPECT_EQ(cs.CrossHair()->PosX(), 0);
  cs.HostMouseUp(kvr::mbLeft, {}, 2, 20);
  cs.HostMouseMove({}, 150, 20);
  EXPECT_EQ(cs.CrossHair()->PosX(), 0);
  EXPECT_EQ(moved, 3);
  // A hidden crosshair is not dragged.
  cs.CrossHair()->SetVisible(false);
  cs.HostMouseDown(kvr::mbLeft, held, 100, 20);
  cs.HostMouseMove(held, 120, 20);
  cs.HostMouseMove(held, 150, 20);
  EXPECT_EQ(moved, 3);
  cs.HostMouseUp(kvr::mbLeft, {}, 150, 20);

  vertical();
  cs.CrossHair()->SetVisible(true);
  cs.HostMouseDown(kvr::mbLeft, held, 40, 100);
  cs.HostMouseMove(held, 40, 101);
  cs.HostMouseMove(held, 40, 100);
  EXPECT_DOUBLE_EQ(cs.CrossHair()->PosY(), cs.Scale()->M2R(100));
  EXPECT_GT(cs.CrossHair()->PosY(), 5);
}

// Drags from (x0, y0) to (x1, y1) in scale-drag mode and returns the zoom-pan count.
int drag(TColorScale& cs, int x0, int y0, int x1, int y1) {
  int ends = 0;
  cs.OnZoomPan = [&](kvr::TObject*) { ++ends; };
  const TShiftState held{kvr::ssLeft};
  cs.HostMouseDown(kvr::mbLeft, held, x0, y0);
  cs.HostMouseMove(held, x1, y1);
  cs.HostMouseUp(kvr::mbLeft, {}, x1, y1);
  cs.OnZoomPan = nullptr;  // the handler refers to this frame
  return ends;
}

TEST_F(ColorScaleFixture, HorizontalScaleDragZonesAndResults) {
  cs.SetMouseAction(kvr::maScaleDrag);
  // Bar 268 px: the low zone ends before 16 + 113, the high zone starts after 16 + 155.
  struct Case { int x; double lo, hi; };
  for (const Case& c : {Case{60, -15, 10}, Case{128, -15, 10}, Case{129, -15, 5},
                        Case{171, -15, 5}, Case{172, -10, 5}, Case{250, -10, 5}}) {
    cs.SetScaleRange(-10, 10);
    EXPECT_EQ(drag(cs, c.x, 30, c.x + 67, 30), 1) << c.x;  // 67 px = a quarter of the bar = 5
    EXPECT_DOUBLE_EQ(cs.ScaleRangeLow(), c.lo) << c.x;
    EXPECT_DOUBLE_EQ(cs.ScaleRangeHigh(), c.hi) << c.x;
    EXPECT_EQ(cs.ColorLow(), cs.ScaleRangeLow());
    EXPECT_EQ(cs.ColorHigh(), cs.ScaleRangeHigh());
  }
  // Moves use the current width: after the first stretch the second step is 25/20 larger.
  cs.SetScaleRange(-10, 10);
  const TShiftState held{kvr::ssLeft};
  cs.HostMouseDown(kvr::mbLeft, held, 250, 30);
  cs.HostMouseMove(held, 250 - 67, 30);
  EXPECT_DOUBLE_EQ(cs.ScaleRangeHigh(), 15);
  cs.HostMouseMove(held, 250 - 67, 30);
  EXPECT_DOUBLE_EQ(cs.ScaleRangeHigh(), 10 + 67 * 25.0 / 268);
  cs.HostMouseUp(kvr::mbLeft, {}, 183, 30);
}

TEST_F(ColorScaleFixture, VerticalScaleDragZonesAndResults) {
  vertical();
  cs.SetMouseAction(kvr::maScaleDrag);
  // Bar 270 px: high zone above 8 + 113, low zone below 8 + 157; 27 px up = 2.
  cs.SetScaleRange(-10, 10);
  drag(cs, 40, 60, 40, 33);
  EXPECT_DOUBLE_EQ(cs.ScaleRangeHigh(), 8);
  EXPECT_DOUBLE_EQ(cs.ScaleRangeLow(), -10);
  cs.SetScaleRange(-10, 10);
  drag(cs, 40, 140, 40, 113);
  EXPECT_DOUBLE_EQ(cs.ScaleRangeLow(), -12);
  EXPECT_DOUBLE_EQ(cs.ScaleRangeHigh(), 8);
  cs.SetScaleRange(-10, 10);
  drag(cs, 40, 250, 40, 223);
  EXPECT_DOUBLE_EQ(cs.ScaleRangeLow(), -12);
  EXPECT_DOUBLE_EQ(cs.ScaleRangeHigh(), 10);
}

TEST_F(ColorScaleFixture, ScaleDragNeverFlipsTheScaleAndOtherModesDoNothing) {
  cs.SetMouseAction(kvr::maScaleDrag);
  cs.SetScaleRange(-10, 10);
  drag(cs, 30, 30, 30 - 600, 30);  // low end dragged far beyond the high end
  EXPECT_EQ(cs.ScaleRangeLow(), -10);
  EXPECT_EQ(cs.ScaleRangeHigh(), 10);
  // A right-button drag and a move without a press change nothing.
  cs.HostMouseDown(kvr::mbRight, {kvr::ssRight}, 150, 30);
  cs.HostMouseMove({kvr::ssRight}, 200, 30);
  cs.HostMouseUp(kvr::mbRight, {}, 200, 30);
  cs.HostMouseMove({kvr::ssLeft}, 250, 30);
  EXPECT_EQ(cs.ScaleRangeLow(), -10);
  EXPECT_EQ(cs.ScaleRangeHigh(), 10);
  cs.SetMouseAction(kvr::maNone);
  EXPECT_EQ(drag(cs, 150, 30, 200, 30), 0);
  EXPECT_EQ(cs.ScaleRangeLow(), -10);
}

TEST_F(ColorScaleFixture, MouseMoveInScaleReportsBarHitsInclusively) {
  cs.SetScaleRange(0, 10);
  bool in = false;
  double value = -1;
  cs.OnMouseMoveInScale = [&](kvr::TObject*, bool i, TShiftState, double v) {
    in = i;
    value = v;
  };
  cs.HostMouseMove({}, 16, 8);
  EXPECT_TRUE(in);
  EXPECT_DOUBLE_EQ(value, 0);
  cs.HostMouseMove({}, 284, 53);
  EXPECT_TRUE(in);
  cs.HostMouseMove({}, 285, 30);
  EXPECT_FALSE(in);
  cs.HostMouseMove({}, 100, 54);
  EXPECT_FALSE(in);
  EXPECT_DOUBLE_EQ(value, cs.Scale()->M2R(100));
  vertical();
  cs.HostMouseMove({}, 40, 100);
  EXPECT_TRUE(in);
  EXPECT_DOUBLE_EQ(value, cs.Scale()->M2R(100));
}

TEST_F(ColorScaleFixture, AssignAndCopyToBitMap) {
  cs.SetScaleRange(2, 8);
  cs.SetColorLow(3);
  cs.SetCaption("mV");
  cs.SetExtendColors(true);
  cs.SetMarginLeft(30);
  cs.SetMinTicks(6);
  cs.CrossHair()->SetPos(4, 4);
  TColorScale other(nullptr);
  other.Assign(&cs);
  EXPECT_EQ(other.ScaleRangeLow(), 2);
  EXPECT_EQ(other.ScaleRangeHigh(), 8);
  EXPECT_EQ(other.ColorLow(), 3);
  EXPECT_EQ(other.Caption(), "mV");
  EXPECT_TRUE(other.ExtendColors());
  EXPECT_EQ(other.MarginLeft(), 30);
  EXPECT_EQ(other.MinTicks(), 6);
  EXPECT_EQ(other.CrossHair()->PosX(), 4);
  EXPECT_EQ(other.ValueToPixel(2), 30);

  kvr::TBitmap bmp;
  cs.CopyToBitMap(&bmp, -1, 0);
  ASSERT_EQ(bmp.Width(), 300);
  ASSERT_EQ(bmp.Height(), 75);
  EXPECT_EQ(bmp.Canvas()->Pixels(150, 20), px(150, 20));
  kvr::TBitmap big(400, 100);
  cs.CopyToBitMap(&big, 50, 10);
  EXPECT_EQ(big.Width(), 400);
  EXPECT_EQ(big.Canvas()->Pixels(200, 30), px(150, 20));
  EXPECT_EQ(big.Canvas()->Pixels(20, 30), kvr::clWhite);
}

}  // namespace
