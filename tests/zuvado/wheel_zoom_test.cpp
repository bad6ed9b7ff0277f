// Wheel zoom about the pointer, driven through the host's wheel entry point. RenderChart's
// world units are chart-area pixels: control pixel (px, py) is world (px - 50, 268 - py).
#include <gtest/gtest.h>

#include <cmath>

#include "render_util.h"

using namespace kvr;
using kvr::test::RenderChart;

namespace {

constexpr Integer kNotch = WHEEL_DELTA;

struct WheelChart : RenderChart {
  int ups = 0, downs = 0, zoomPans = 0;
  WheelChart() {
    OnMouseWheelUp = [this](TObject*, TShiftState, TPoint, bool&) { ++ups; };
    OnMouseWheelDown = [this](TObject*, TShiftState, TPoint, bool&) { ++downs; };
    OnZoomPan = [this](TObject*) { ++zoomPans; };
  }
  double xLo(Integer k = 1) { return ScalePropsX(k)->RangeLow(); }
  double xHi(Integer k = 1) { return ScalePropsX(k)->RangeHigh(); }
  double yLo(Integer k = 1) { return ScalePropsY(k)->RangeLow(); }
  double yHi(Integer k = 1) { return ScalePropsY(k)->RangeHigh(); }
};

TEST(ZuWheelZoom, OffByDefaultTheWheelOnlyFiresItsEvents) {
  WheelChart c;
  EXPECT_FALSE(c.WheelZoom());
  c.HostMouseWheel({}, kNotch, 150, 168);
  c.HostMouseWheel({}, -kNotch, 150, 168);
  EXPECT_EQ(c.ups, 1);
  EXPECT_EQ(c.downs, 1);
  EXPECT_EQ(c.zoomPans, 0);
  EXPECT_EQ(c.xHi(), 340);
  EXPECT_EQ(c.yHi(), 252);
  // Assign copies it, a reset turns it off again.
  c.SetWheelZoom(true);
  WheelChart d;
  d.Assign(&c);
  EXPECT_TRUE(d.WheelZoom());
  c.ResetComp();
  EXPECT_FALSE(c.WheelZoom());
}

TEST(ZuWheelZoom, ZoomsAboutThePointerAndRecordsEachTurn) {
  WheelChart c;
  c.SetWheelZoom(true);
  // World (100, 100) under the pointer stays there; a notch away from the user zooms in.
  EXPECT_TRUE(c.HostMouseWheel({}, kNotch, 150, 168));
  EXPECT_NEAR(c.xLo(), 100 - 100 / 1.25, 1e-9);
  EXPECT_NEAR(c.xHi(), 100 + 240 / 1.25, 1e-9);
  EXPECT_NEAR(c.yLo(), 100 - 100 / 1.25, 1e-9);
  EXPECT_NEAR(c.yHi(), 100 + 152 / 1.25, 1e-9);
  double wx, wy;
  c.M2R(1, 150, 168, wx, wy);
  EXPECT_NEAR(wx, 100, 0.5);
  EXPECT_NEAR(wy, 100, 0.5);
  EXPECT_EQ(c.ups, 0);
  EXPECT_EQ(c.zoomPans, 1);
  EXPECT_NEAR(c.ZoomStack(1, 0).Right, c.xHi(), 1e-9);
  EXPECT_EQ(c.ZoomStack(1, -1).Right, 340);

  // Half a notch the other way zooms out by the matching fraction; two half notches
  // back undo the first turn, and each is its own history entry.
  c.HostMouseWheel({}, -kNotch / 2, 150, 168);
  c.HostMouseWheel({}, -kNotch / 2, 150, 168);
  EXPECT_NEAR(c.xLo(), 0, 1e-9);
  EXPECT_NEAR(c.xHi(), 340, 1e-9);
  EXPECT_NEAR(c.yHi(), 252, 1e-9);
  EXPECT_NEAR(c.ZoomStack(1, -2).Right, 100 + 240 / 1.25, 1e-9);
  c.ZoomHistory(-2);
  EXPECT_NEAR(c.xHi(), 100 + 240 / 1.25, 1e-9);
}

TEST(ZuWheelZoom, ModifierKeysPickOneAxisAndIsometricRefusesThem) {
  WheelChart c;
  c.SetWheelZoom(true);
  c.HostMouseWheel({ssShift}, kNotch, 150, 168);  // X only
  EXPECT_NEAR(c.xHi(), 292, 1e-9);
  EXPECT_EQ(c.yHi(), 252);
  c.HostMouseWheel({ssCtrl}, kNotch, 150, 168);  // Y only
  EXPECT_NEAR(c.xHi(), 292, 1e-9);
  EXPECT_NEAR(c.yHi(), 221.6, 1e-9);

  WheelChart iso;
  iso.SetWheelZoom(true);
  iso.SetIsometric(true);
  const double x0 = iso.xHi(), y0 = iso.yHi();
  iso.HostMouseWheel({ssShift}, kNotch, 150, 168);
  EXPECT_EQ(iso.xHi(), x0);
  EXPECT_EQ(iso.yHi(), y0);
  EXPECT_EQ(iso.ups, 0);  // taken, not passed on as a plain turn
}

TEST(ZuWheelZoom, ConfinedAsAZoomEvenUnderAPanAction) {
  WheelChart c;
  c.SetWheelZoom(true);
  c.ConfineZoomRange(0, 0, 340, 252);
  // Under a pan action the confinement would slide the span; a zoom is cut off instead.
  c.SetMouseAction(maPan);
  c.HostMouseWheel({}, kNotch, 60, 258);  // zoom in near the lower left: world (10, 10)
  c.HostMouseWheel({}, -3 * kNotch, 60, 258);
  EXPECT_EQ(c.xLo(), 0);
  EXPECT_EQ(c.xHi(), 340);
  EXPECT_EQ(c.yLo(), 0);
  EXPECT_EQ(c.yHi(), 252);
}

TEST(ZuWheelZoom, LeavesTheTurnToHandlersOutsideTheAreaAndDuringDrags) {
  WheelChart c;
  c.SetWheelZoom(true);
  c.HostMouseWheel({}, kNotch, 20, 100);  // over the left axis
  EXPECT_EQ(c.ups, 1);
  EXPECT_EQ(c.xHi(), 340);

  bool seen = false;
  c.OnMouseWheel = [&](TObject*, TShiftState, Integer, TPoint, bool& Handled) {
    seen = true;
    Handled = true;
  };
  EXPECT_TRUE(c.HostMouseWheel({}, kNotch, 150, 168));
  EXPECT_TRUE(seen);
  EXPECT_EQ(c.xHi(), 340);
  c.OnMouseWheel = nullptr;

  // A zoom window being dragged keeps the ranges its band was drawn on.
  c.SetMouseAction(maZoomWind);
  c.HostMouseDown(mbLeft, {}, 100, 100);
  c.HostMouseMove({ssLeft}, 120, 120);
  c.HostMouseWheel({ssLeft}, kNotch, 120, 120);
  EXPECT_EQ(c.xHi(), 340);
  c.HostMouseUp(mbLeft, {}, 120, 120);
}

TEST(ZuWheelZoom, BothAffectedLayersAndLogarithmicAxes) {
  WheelChart c;
  c.SetWheelZoom(true);
  c.SetMouseAffectsLayer(2, true);
  c.SetRange(2, 1, 1, 1000, 1000);
  c.Scale2X()->SetLogarithmic(true);
  c.AdjustScaling();
  double before, wy;
  c.M2R(2, 200, 168, before, wy);
  c.HostMouseWheel({}, kNotch, 200, 168);
  double after;
  c.M2R(2, 200, 168, after, wy);
  EXPECT_NEAR(std::log(after), std::log(before), 0.02);
  EXPECT_GT(c.xLo(2), 1);
  EXPECT_LT(c.xHi(2), 1000);
  EXPECT_NEAR(c.xHi(1), 150 + 190 / 1.25, 1e-9);
  // One turn, one history entry for both pairs.
  EXPECT_EQ(c.ZoomStack(1, -1).Right, 340);
  EXPECT_EQ(c.ZoomStack(2, -1).Right, 1000);
}

}  // namespace
