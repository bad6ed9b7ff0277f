// TPlot3D geometry: angles and their normalisation, the rotation matrix, projection,
// magnification and centres, ranges and z calibration, AutoScale, Reset, the grid's
// bookkeeping under SuppressPaint, and the colour coding.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "platform/registry.h"
#include "plot3d/plot3d.h"

namespace {

using kvr::TColor;
using kvr::TPlot3D;

TEST(Plot3DRegistry, RegisterRecordsTheClassOnPageKvr) {
  kvr::Kvr_plot3d::Register();
  std::unique_ptr<kvr::TComponent> made(kvr::CreateRegisteredComponent("TPlot3D", nullptr));
  EXPECT_NE(dynamic_cast<TPlot3D*>(made.get()), nullptr);
}

TEST(Plot3DGeometry, Defaults) {
  TPlot3D p(nullptr);
  p.SetBounds(0, 0, 301, 201);
  EXPECT_EQ(p.ViewAngleX(), 60.0);
  EXPECT_EQ(p.ViewAngleZ(), 15.0);
  EXPECT_EQ(p.Magnification(), 1.0);
  EXPECT_EQ(p.CentX(), 150);
  EXPECT_EQ(p.CentY(), 100);
  EXPECT_EQ(p.RangeZLow(), -1.0);
  EXPECT_EQ(p.CalcIntZ(-1.0), -150.0);
  EXPECT_EQ(p.CalcIntZ(1.0), 150.0);
  EXPECT_EQ(p.ColorMid(), 0xFF0000);
  EXPECT_EQ(p.MouseAction(), kvr::maRotate);
  EXPECT_EQ(p.BoundBoxStyle(), kvr::bbFaces);
  EXPECT_FALSE(p.SuppressPaint());
  for (int n = 0; n < 8; ++n) {
    EXPECT_EQ(p.CubeCorners[n].X, n & 4 ? 150.0 : -150.0);
    EXPECT_EQ(p.CubeCorners[n].Z, n & 1 ? 150.0 : -150.0);
  }
}

TEST(Plot3DGeometry, AnglesAreNormalised) {
  TPlot3D p(nullptr);
  p.SetViewAngleX(725);
  EXPECT_DOUBLE_EQ(p.ViewAngleX(), 5.0);
  p.SetViewAngleZ(-90);
  EXPECT_DOUBLE_EQ(p.ViewAngleZ(), 270.0);
  p.SetViewAngles(360, -720);
  EXPECT_EQ(p.ViewAngleX(), 360.0);
  EXPECT_EQ(p.ViewAngleZ(), 360.0);  // -720 wraps to 0, +360
  p.SetViewAngles(std::numeric_limits<double>::quiet_NaN(), 10);
  EXPECT_EQ(p.ViewAngleX(), 360.0);  // refused as a whole
  EXPECT_EQ(p.ViewAngleZ(), 360.0);
}

TEST(Plot3DGeometry, MatrixHasExactZerosAtRightAngles) {
  TPlot3D p(nullptr);
  p.SetViewAngles(0, 0);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(p.GetRotMat(i, j), i == j ? 1.0 : 0.0) << i << "," << j;
  EXPECT_EQ(p.GetRotMat(0, 1), 0.0);
  EXPECT_EQ(p.GetRotMat(4, 4), 0.0);
  for (double a : {90.0, 180.0, 270.0, 360.0})
    for (double c : {90.0, 180.0, 270.0, 360.0}) {
      p.SetViewAngles(a, c);
      double det = 0;
      for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
          const double v = p.GetRotMat(i, j);
          EXPECT_TRUE(v == 0.0 || v == 1.0 || v == -1.0) << a << "/" << c << " (" << i << "," << j << ") " << v;
        }
      // Still a rotation: row 3 is row 1 x row 2.
      det = p.GetRotMat(1, 1) * (p.GetRotMat(2, 2) * p.GetRotMat(3, 3) - p.GetRotMat(2, 3) * p.GetRotMat(3, 2)) -
            p.GetRotMat(1, 2) * (p.GetRotMat(2, 1) * p.GetRotMat(3, 3) - p.GetRotMat(2, 3) * p.GetRotMat(3, 1)) +
            p.GetRotMat(1, 3) * (p.GetRotMat(2, 1) * p.GetRotMat(3, 2) - p.GetRotMat(2, 2) * p.GetRotMat(3, 1));
      EXPECT_EQ(det, 1.0);
    }
}

TEST(Plot3DGeometry, ProjectionOfKnownPoints) {
  TPlot3D p(nullptr);
  p.SetBounds(0, 0, 400, 300);
  p.SetViewAngles(0, 0);
  EXPECT_EQ(p.Project(100, 50, 30).X, 300);
  EXPECT_EQ(p.Project(100, 50, 30).Y, 200);
  // Looking level (x angle 90): screen x follows model x, +z goes up.
  p.SetViewAngles(90, 0);
  EXPECT_EQ(p.Project(40, 99, 70).X, 240);
  EXPECT_EQ(p.Project(40, 99, 70).Y, 80);
  // Turned about z by 90: model y runs to the left, model x downwards.
  p.SetViewAngles(0, 90);
  EXPECT_EQ(p.Project(0, 50, 0).X, 150);
  EXPECT_EQ(p.Project(50, 0, 0).Y, 200);
  // Scale factors and magnification multiply; the centre adds.
  p.SetViewAngles(0, 0);
  p.SetSclX(2);
  p.SetMagnify(1.5);
  p.SetAutoCenter(false);
  p.SetCentX(10);
  EXPECT_EQ(p.Project(10, 0, 0).X, 10 + 30);
  // The initial view shows +z upwards.
  TPlot3D q(nullptr);
  q.SetBounds(0, 0, 400, 300);
  EXPECT_LT(q.Project(0, 0, 100).Y, q.Project(0, 0, -100).Y);
  // Runaway and missing values stay far outside but within int.
  const kvr::TPoint far = q.Project(0, 0, 1e300);
  EXPECT_LT(far.Y, -100000000);
  const kvr::TPoint nan = q.Project(std::nan(""), 0, 0);
  EXPECT_LT(nan.X, -100000000);
}

TEST(Plot3DGeometry, MagnificationAndCentreClamps) {
  TPlot3D p(nullptr);
  p.SetBounds(0, 0, 200, 100);
  p.SetMagnify(10);
  EXPECT_EQ(p.Magnification(), 5.0);
  p.SetMagnify(0);
  EXPECT_EQ(p.Magnification(), 0.1);
  // AutoCenter ignores the value and re-centres.
  p.SetCentX(7);
  EXPECT_EQ(p.CentX(), 100);
  p.SetAutoCenter(false);
  p.SetCentX(5 * 200);
  EXPECT_EQ(p.CentX(), 400);
  p.SetCentY(-5 * 100);
  EXPECT_EQ(p.CentY(), -100);
  p.SetAutoCenter(true);
  EXPECT_EQ(p.CentX(), 100);
  EXPECT_EQ(p.CentY(), 50);
  p.SetBounds(0, 0, 60, 40);
  EXPECT_EQ(p.CentX(), 30);
  EXPECT_EQ(p.CentY(), 20);
}

TEST(Plot3DGeometry, RangesAndCalibration) {
  TPlot3D p(nullptr);
  p.SetRange(1, 1, 0, 2, 10, 20);
  EXPECT_EQ(p.RangeXLow(), 0.5);
  EXPECT_EQ(p.RangeXHigh(), 1.5);
  EXPECT_EQ(p.RangeYHigh(), 2.0);
  EXPECT_DOUBLE_EQ(p.CalcIntZ(10), -150.0);
  EXPECT_DOUBLE_EQ(p.CalcIntZ(20), 150.0);
  EXPECT_DOUBLE_EQ(p.CalcIntZ(15), 0.0);
  p.SetRangeLowZ(20);  // equal to the high end: lowered by one
  EXPECT_EQ(p.RangeZLow(), 19.0);
  EXPECT_DOUBLE_EQ(p.CalcIntZ(19), -150.0);
  p.SetRangeHighY(0);  // equal to the low end: raised by one
  EXPECT_EQ(p.RangeYHigh(), 1.0);
  p.SetRangeLowZ(std::numeric_limits<double>::infinity());
  EXPECT_EQ(p.RangeZLow(), 19.0);
  EXPECT_TRUE(std::isfinite(p.CalcIntZ(19.5)));
}

TEST(Plot3DGeometry, AutoScaleAndReset) {
  TPlot3D p(nullptr);
  p.SetBounds(0, 0, 200, 100);
  p.GridMat.Resize(10, 40);
  p.GridMat.SetVal(1, 1, -4);
  p.GridMat.SetVal(2, 2, 4);
  p.AutoScale();
  EXPECT_EQ(p.ScaleFactX(), 4.0);
  EXPECT_EQ(p.ScaleFactY(), 1.0);
  EXPECT_DOUBLE_EQ(p.ScaleFactZ(), 2.0 / 8.0);
  p.Clear();
  p.AutoScale();
  EXPECT_EQ(p.ScaleFactZ(), 1.0);  // flat grid

  p.SetAutoCenter(false);
  p.SetCentX(3);
  p.SetMagnify(3);
  p.Reset();
  EXPECT_EQ(p.CentX(), 100);
  EXPECT_EQ(p.ScaleFactX(), 1.0);
  EXPECT_EQ(p.ViewAngleX(), 66.0);
  EXPECT_EQ(p.ViewAngleZ(), 135.0);
  EXPECT_EQ(p.Magnification(), 1.0);
  EXPECT_DOUBLE_EQ(p.GetRotMat(1, 1), std::cos(135.0 * M_PI / 180.0));
}

TEST(Plot3DGeometry, SuppressPaintBatchesTheGridScan) {
  TPlot3D p(nullptr);
  p.GridMat.Resize(3, 4);
  EXPECT_EQ(p.ProjMapX.NrOfColumns(), 3);
  EXPECT_EQ(p.ProjMapZ.NrOfRows(), 4);
  p.SetSuppressPaint(true);
  p.GridMat.Resize(5, 6);
  p.GridMat.SetVal(2, 3, 7.5);
  p.GridMat.SetVal(1, 1, -2);
  EXPECT_EQ(p.MaxZ(), 0.0);  // not scanned yet
  EXPECT_EQ(p.ProjMapY.NrOfColumns(), 3);
  p.SetSuppressPaint(false);
  EXPECT_EQ(p.MaxZ(), 7.5);
  EXPECT_EQ(p.MinZ(), -2.0);
  EXPECT_EQ(p.ProjMapY.NrOfColumns(), 5);
  EXPECT_EQ(p.ProjMapY.NrOfRows(), 6);
  // NaN cells do not spoil the extremes.
  p.GridMat.SetVal(3, 3, std::nan(""));
  EXPECT_EQ(p.MaxZ(), 7.5);
  p.Clear();
  EXPECT_EQ(p.MaxZ(), 0.0);
  EXPECT_EQ(p.GridMat.GetVal(2, 3), 0.0);
}

TEST(Plot3DColor, TwoAndThreeColoursAndTable) {
  TPlot3D p(nullptr);
  p.SetColorLow(0x000000);
  p.SetColorHigh(0x00FFFF);
  EXPECT_EQ(p.CalcColorCoding(0), 0x000000);
  EXPECT_EQ(p.CalcColorCoding(100), 0x00FFFF);
  EXPECT_EQ(p.CalcColorCoding(250), 0x00FFFF);  // clamped
  EXPECT_EQ(p.CalcColorCoding(-5), 0x000000);
  EXPECT_EQ(p.CalcColorCoding(50), 0x008080);   // 127.5 rounds to even
  EXPECT_EQ(p.CalcColorCoding(std::nan("")), 0x000000);

  p.SetColorCodingMode(kvr::ccmThreeColors);
  p.SetColorMid(0x123456);
  p.SetColorScaleLow(-10);
  p.SetColorScaleHigh(30);
  EXPECT_EQ(p.CalcColorCoding(10), 0x123456);  // the middle
  EXPECT_EQ(p.CalcColorCoding(0), kvr::RGB(0x56 / 2, 0x34 / 2, 0x12 / 2));
  EXPECT_EQ(p.CalcColorCoding(30), 0x00FFFF);

  p.SetColorCodingMode(kvr::ccmColorArray);
  p.IsoColors.SetSize(4);
  for (int i = 0; i <= 4; ++i) p.IsoColors.SetColorElem(i, 0x10 * (i + 1));
  EXPECT_EQ(p.CalcColorCoding(-10), 0x10);
  EXPECT_EQ(p.CalcColorCoding(30), 0x50);
  EXPECT_EQ(p.CalcColorCoding(-10 + 40 * 0.24), 0x20);  // Round(4 * 0.24) = 1
  EXPECT_EQ(p.CalcColorCoding(1e308), 0x50);
}

TEST(Plot3DColor, ColourScaleLimitsKeepTheirOrder) {
  TPlot3D p(nullptr);
  p.SetColorScaleHigh(p.ColorScaleLow());
  EXPECT_EQ(p.ColorScaleHigh(), 100.0);
  p.SetColorScaleLow(100);
  EXPECT_EQ(p.ColorScaleLow(), 0.0);
  p.SetColorScaleLow(std::nan(""));
  EXPECT_EQ(p.ColorScaleLow(), 0.0);
  p.SetColorScaleLow(-5);
  EXPECT_EQ(p.ColorScaleLow(), -5.0);
  // Limits whose span overflows still give a colour.
  p.SetColorScaleLow(-1e308);
  p.SetColorScaleHigh(1e308);
  EXPECT_EQ(p.CalcColorCoding(0), p.ColorLow());
}

}  // namespace
