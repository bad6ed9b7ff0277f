// TRot3D mouse through the Host entry points: rotation in both matrix modes without a
// jump at the anchor, zoom with either button by mode, pan, and pointers outside.
#include <gtest/gtest.h>

#include "rot3d/rot3d.h"

namespace {

using kvr::TRot3D;
using kvr::TShiftState;

struct Drag : ::testing::Test {
  TRot3D r{nullptr};
  void SetUp() override {
    r.SetBounds(0, 0, 360, 490);
    r.CreateWnd();
  }
  void press(int x, int y, kvr::TMouseButton b = kvr::mbLeft) {
    r.HostMouseMove({}, x, y);
    r.HostMouseDown(b, {}, x, y);
  }
  void move(int x, int y, kvr::TMouseButton b = kvr::mbLeft) {
    r.HostMouseMove(TShiftState{b == kvr::mbLeft ? kvr::ssLeft : kvr::ssRight}, x, y);
  }
  void release(int x, int y, kvr::TMouseButton b = kvr::mbLeft) { r.HostMouseUp(b, {}, x, y); }
};

TEST_F(Drag, TwoAngleRotationStartsAtTheAnchor) {
  press(100, 100);
  move(100, 100);
  // No movement, no change: in particular no extra full turn.
  EXPECT_DOUBLE_EQ(r.ViewAngleX(), 110);
  EXPECT_DOUBLE_EQ(r.ViewAngleZ(), 210);
  move(90, 149);
  EXPECT_DOUBLE_EQ(r.ViewAngleZ(), 220);
  EXPECT_DOUBLE_EQ(r.ViewAngleX(), 110 + 49 * 360.0 / 490);
  EXPECT_DOUBLE_EQ(r.ViewAngleY(), 150);
  // The matrix follows.
  TRot3D ref(nullptr);
  ref.SetViewAngles(r.ViewAngleX(), 150, 220);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(r.GetRotMat(i, j), ref.GetRotMat(i, j));
  // No wrapping past a full turn.
  move(0, 100);
  EXPECT_DOUBLE_EQ(r.ViewAngleZ(), 310);
  release(0, 100);
  press(350, 100);
  move(0, 100);
  EXPECT_DOUBLE_EQ(r.ViewAngleZ(), 660);
}

TEST_F(Drag, ThreeAngleRotationTurnsXAndY) {
  r.SetMRot3Axes(true);
  press(100, 100);
  move(136, 51);
  EXPECT_DOUBLE_EQ(r.ViewAngleX(), 110 - 36);
  EXPECT_DOUBLE_EQ(r.ViewAngleY(), 150 - 49 * 360.0 / 490);
  EXPECT_DOUBLE_EQ(r.ViewAngleZ(), 210);
}

TEST_F(Drag, RightButtonZoomsOnlyInRotateAndZoom) {
  press(100, 300, kvr::mbRight);
  move(100, 250, kvr::mbRight);
  EXPECT_EQ(r.MagnifyDivisor(), 5000);  // maRotate: the right button does nothing
  release(100, 250, kvr::mbRight);
  r.SetMouseAction(kvr::maRotAndZoom);
  press(100, 300, kvr::mbRight);
  move(100, 250, kvr::mbRight);  // d = 4.9 * 50 / 490 = 0.5
  EXPECT_EQ(r.MagnifyDivisor(), 3077);
  EXPECT_DOUBLE_EQ(r.ViewAngleZ(), 210);
  move(100, 0, kvr::mbRight);  // d = 3.0
  EXPECT_EQ(r.MagnifyDivisor(), 1053);
  move(100, 489, kvr::mbRight);
  EXPECT_EQ(r.MagnifyDivisor(), 40000);  // held at 0.1
  release(100, 489, kvr::mbRight);
  r.SetMagnify(4.5);
  press(100, 489, kvr::mbRight);
  move(100, 0, kvr::mbRight);
  EXPECT_EQ(r.MagnifyDivisor(), 800);  // held at 5.0
}

TEST_F(Drag, LeftButtonZoomAndPan) {
  r.SetMouseAction(kvr::maZoom);
  press(100, 300);
  move(100, 250);
  EXPECT_EQ(r.MagnifyDivisor(), 3077);
  release(100, 250);
  r.SetMouseAction(kvr::maPan);
  press(100, 100);
  move(130, 80);
  EXPECT_EQ(r.CentX(), 180 + 30);
  EXPECT_EQ(r.CentY(), 245 - 20);
  EXPECT_EQ(r.MagnifyDivisor(), 3077);
  // Outside the control nothing moves.
  move(400, 80);
  move(130, -1);
  EXPECT_EQ(r.CentX(), 210);
  EXPECT_EQ(r.CentY(), 225);
  release(130, 80);
  r.SetMouseAction(kvr::maNone);
  press(100, 100);
  move(10, 10);
  EXPECT_EQ(r.CentX(), 210);
  EXPECT_DOUBLE_EQ(r.ViewAngleZ(), 210);
}

}  // namespace
