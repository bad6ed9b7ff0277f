// TPlot3D mouse: rotate, rotate about one axis, zoom, pan through the Host entry points,
// the OnMouseAction handler's changes, and the cell under the pointer.
#include <gtest/gtest.h>

#include <vector>

#include "plot3d/plot3d.h"

namespace {

using kvr::TPlot3D;
using kvr::TShiftState;

struct Drag : ::testing::Test {
  TPlot3D p{nullptr};
  void SetUp() override {
    p.SetBounds(0, 0, 360, 360);
    p.CreateWnd();
  }
  // Hover at (x0, y0), press, move to (x1, y1) with the button held.
  void drag(int x0, int y0, int x1, int y1, kvr::TMouseButton b = kvr::mbLeft) {
    p.HostMouseMove({}, x0, y0);
    p.HostMouseDown(b, {}, x0, y0);
    p.HostMouseMove(TShiftState{b == kvr::mbLeft ? kvr::ssLeft : kvr::ssRight}, x1, y1);
  }
};

TEST_F(Drag, RotateBothAxesWithinLimits) {
  drag(100, 100, 90, 80);
  EXPECT_DOUBLE_EQ(p.ViewAngleZ(), 15 + 10);
  EXPECT_DOUBLE_EQ(p.ViewAngleX(), 60 + 20);
  EXPECT_DOUBLE_EQ(p.GetRotMat(3, 3), std::cos(80 * M_PI / 180));
  p.HostMouseUp(kvr::mbLeft, {}, 90, 80);
  // Past 360 wraps once; the x limit holds the angle.
  p.SetViewAngLimits(1, 0, 70);
  drag(200, 200, 250, 100);
  EXPECT_DOUBLE_EQ(p.ViewAngleX(), 70);
  EXPECT_DOUBLE_EQ(p.ViewAngleZ(), 25 - 50 + 360);
  // Without limits (rotate and zoom) the same drag goes past them.
  p.HostMouseUp(kvr::mbLeft, {}, 250, 100);
  p.SetMouseAction(kvr::maRotAndZoom);
  drag(200, 200, 200, 150);
  EXPECT_DOUBLE_EQ(p.ViewAngleX(), 120);
}

TEST_F(Drag, RotateAboutOneAxis) {
  p.SetMouseAction(kvr::maRotateX);
  drag(100, 100, 40, 130);
  EXPECT_DOUBLE_EQ(p.ViewAngleX(), 90);
  EXPECT_DOUBLE_EQ(p.ViewAngleZ(), 15);
  p.HostMouseUp(kvr::mbLeft, {}, 40, 130);
  p.SetMouseAction(kvr::maRotateZ);
  drag(100, 100, 130, 0);
  EXPECT_DOUBLE_EQ(p.ViewAngleX(), 90);
  EXPECT_DOUBLE_EQ(p.ViewAngleZ(), 15 - 30 + 360);
}

TEST_F(Drag, ZoomStaysInItsLimitsAndPanMovesTheCentre) {
  int zoompan = 0;
  p.OnZoomPan = [&](kvr::TObject*) { ++zoompan; };
  p.SetMouseAction(kvr::maZoom);
  drag(100, 200, 100, 20);
  EXPECT_DOUBLE_EQ(p.Magnification(), 1 + 180 * 4.9 / 360 / 2);
  p.HostMouseUp(kvr::mbLeft, {}, 100, 20);
  drag(100, 0, 100, 360);
  EXPECT_NEAR(p.Magnification(), 0.1, 1e-12);
  EXPECT_GE(p.Magnification(), 0.1);
  p.HostMouseUp(kvr::mbLeft, {}, 100, 360);
  p.SetMouseAction(kvr::maRotAndZoom);
  drag(0, 360, 0, 0, kvr::mbRight);  // right button zooms here
  EXPECT_NEAR(p.Magnification(), 0.1 + 4.9 / 2, 1e-12);
  p.HostMouseUp(kvr::mbRight, {}, 0, 0);
  EXPECT_EQ(zoompan, 3);

  p.SetMouseAction(kvr::maPan);
  drag(100, 100, 130, 90);
  EXPECT_EQ(p.CentX(), 180 + 30);
  EXPECT_EQ(p.CentY(), 180 - 10);
  EXPECT_EQ(zoompan, 4);
  // Outside the control nothing happens.
  p.HostMouseMove(TShiftState{kvr::ssLeft}, 400, 90);
  EXPECT_EQ(p.CentX(), 210);
}

TEST_F(Drag, HandlerMayChangeTheLiveValues) {
  p.OnMouseAction = [](kvr::TObject*, kvr::Integer& cx, kvr::Integer&, double& ax, double& az, double& mag,
                       TShiftState) {
    cx = 7;
    ax = 30;
    az = -90;
    mag = 99;
  };
  drag(100, 100, 110, 110);
  EXPECT_EQ(p.ViewAngleX(), 30);
  EXPECT_EQ(p.ViewAngleZ(), 270);
  EXPECT_EQ(p.Magnification(), 5.0);
  EXPECT_EQ(p.CentX(), 7);
  EXPECT_DOUBLE_EQ(p.GetRotMat(1, 1), 0.0);  // matrix follows the handler's angles
}

TEST(Plot3DMouseOver, ReportsTheCellUnderThePointer) {
  TPlot3D p(nullptr);
  p.SetBounds(0, 0, 200, 200);
  p.CreateWnd();
  p.SetViewAngles(0, 0);
  p.SetMagnify(0.5);
  p.GridMat.Resize(3, 3);
  p.Update();
  struct Report {
    bool over;
    int x, y;
  };
  std::vector<Report> got;
  p.OnMouseMoveOverPlot = [&](kvr::TObject*, bool over, TShiftState, kvr::Integer x, kvr::Integer y) {
    got.push_back({over, x, y});
  };
  p.HostMouseMove({}, 50, 140);
  p.HostMouseMove({}, 150, 40);
  p.HostMouseMove({}, 10, 10);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_TRUE(got[0].over);
  EXPECT_EQ(got[0].x, 1);
  EXPECT_EQ(got[0].y, 2);
  EXPECT_EQ(got[1].x, 2);
  EXPECT_EQ(got[1].y, 1);
  EXPECT_FALSE(got[2].over);
  EXPECT_EQ(got[2].x, 0);

  // Two cells under one pixel: the one whose first node lies higher wins.
  p.GridMat.Resize(2, 3);
  for (int i = 1; i <= 2; ++i) {
    p.GridMat.SetVal(i, 1, -1);
    p.GridMat.SetVal(i, 2, 1);
    p.GridMat.SetVal(i, 3, -1);
  }
  p.SetMagnify(0.5);
  p.SetViewAngles(80, 0);
  p.Update();
  kvr::Integer cx = 0, cy = 0;
  ASSERT_TRUE(p.CellAt(100, 100, cx, cy));
  EXPECT_EQ(cy, 2);
}

}  // namespace
