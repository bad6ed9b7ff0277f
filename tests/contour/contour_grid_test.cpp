// TContourPlot: defaults, grid sizing, pivot and mask access, iso parameter coupling,
// the attached colour scale and Assign.
#include <gtest/gtest.h>

#include <memory>

#include "contour_test_util.h"
#include "platform/registry.h"

namespace {

using kvr::TContourPlot;
using kvr::test::Plot;

TEST(ContourRegistry, RecordedOnPageKvrOnce) {
  kvr::Kvr_contour::Register();
  kvr::Kvr_contour::Register();
  int found = 0;
  for (const auto& e : kvr::RegisteredComponents("KVR"))
    if (e.ClassName == "TContourPlot") {
      ++found;
      std::unique_ptr<kvr::TComponent> made(e.Factory(nullptr));
      EXPECT_NE(dynamic_cast<TContourPlot*>(made.get()), nullptr);
    }
  EXPECT_EQ(found, 1);
}

TEST(ContourDefaults, ResetCompSettings) {
  TContourPlot cp(nullptr);
  // The control's size less the margins, a pivot every five pixels.
  const int W = cp.Width() - cp.MarginLeft() - cp.MarginRight();
  const int H = cp.Height() - cp.MarginTop() - cp.MarginBottom();
  EXPECT_EQ(cp.NumPivotsX(), W / 5);
  EXPECT_EQ(cp.NumPivotsY(), H / 5);
  EXPECT_EQ(cp.PivotMatrix()->NrOfColumns(), W / 5);
  EXPECT_EQ(cp.MaskMatrix()->NrOfRows(), H / 5);
  EXPECT_EQ(cp.PlotMode(), kvr::cpmColorSurface);
  EXPECT_EQ(cp.IsoLow(), -1.0);
  EXPECT_EQ(cp.IsoHigh(), 1.0);
  EXPECT_EQ(cp.IsoDist(), 0.1);
  EXPECT_TRUE(cp.Enabled());
  EXPECT_FALSE(cp.PivotPreCalc());
  EXPECT_TRUE(cp.InvalidDataBmp());
  EXPECT_EQ(cp.AttachedColorScale(), nullptr);
  EXPECT_EQ(cp.Scale1X()->RangeLow(), -5.2);
  EXPECT_EQ(cp.Scale1X()->RangeHigh(), 5.2);
  EXPECT_EQ(cp.Scale1Y()->RangeLow(), -5.2);
  EXPECT_EQ(cp.Scale1Y()->RangeHigh(), 5.2);
  EXPECT_TRUE(cp.Scale1X()->Visible());
  EXPECT_FALSE(cp.Scale2X()->Visible());
  EXPECT_FALSE(cp.Scale2Y()->Visible());
  // Mask palette: interpolated black .. white, then the 16 predefined colours at 2..17.
  EXPECT_EQ(cp.MaskPalette.Size(), 255);
  EXPECT_EQ(cp.MaskPalette.GetColorElem(0), 0x000000);
  EXPECT_EQ(cp.MaskPalette.GetColorElem(255), 0xFFFFFF);
  EXPECT_EQ(cp.MaskPalette.GetColorElem(1), kvr::InterpolateColor(0, 0xFF0000, 1.0 * 5 / 255));
  for (int k = 0; k < 16; ++k)
    EXPECT_EQ(cp.MaskPalette.GetColorElem(k + 2), kvr::PredefinedColors[size_t(k)]) << k;
  EXPECT_EQ(cp.MaskPalette.GetColorElem(102), 0x008000);
}

TEST(ContourGrid, SizingRules) {
  Plot p;
  TContourPlot& cp = p.cp;
  const double W = cp.Width() - cp.MarginLeft() - cp.MarginRight();
  const double H = cp.Height() - cp.MarginTop() - cp.MarginBottom();
  ASSERT_GT(W, H);
  cp.SetNumPivotsX(1);
  EXPECT_EQ(cp.NumPivotsX(), 2);
  cp.SetNumPivotsY(-7);
  EXPECT_EQ(cp.NumPivotsY(), 2);
  // The wider side takes r div 5 + 1.
  cp.SetPivotResolution(3);
  EXPECT_EQ(cp.NumPivotsX(), 3);
  EXPECT_EQ(cp.NumPivotsY(), kvr::Round(2 * H / W) + 1);
  cp.SetPivotResolution(200);
  EXPECT_EQ(cp.NumPivotsX(), 41);
  EXPECT_EQ(cp.NumPivotsY(), kvr::Round(40 * H / W) + 1);
  EXPECT_EQ(cp.PivotResolution(), 205);
  // A tall plot sizes y from the resolution.
  cp.SetBounds(0, 0, 160, 400);
  cp.SetPivotResolution(100);
  EXPECT_EQ(cp.NumPivotsY(), 21);
  const double W2 = cp.Width() - cp.MarginLeft() - cp.MarginRight();
  const double H2 = cp.Height() - cp.MarginTop() - cp.MarginBottom();
  EXPECT_EQ(cp.NumPivotsX(), kvr::Round(20 * W2 / H2) + 1);

  cp.ResizePivotMatrix(20000, 3);
  EXPECT_EQ(cp.NumPivotsX(), 1000);
  EXPECT_EQ(cp.NumPivotsY(), 2);
  cp.ResizePivotMatrix(37, 5000);
  EXPECT_EQ(cp.NumPivotsX(), 7);
  EXPECT_EQ(cp.NumPivotsY(), 1000);
}

TEST(ContourGrid, ResizeZeroesValuesAndMask) {
  Plot p;
  TContourPlot& cp = p.cp;
  cp.OnEstimateZVal = [](kvr::TObject*, double, double, kvr::Integer, kvr::Integer, double& z,
                         kvr::Byte& m) {
    z = 3;
    m = 7;
  };
  cp.CalculatePivotPoints(false);
  EXPECT_EQ(cp.PivotMat(1, 1), 3);
  EXPECT_EQ(cp.Mask(2, 3), 7);
  cp.SetNumPivotsX(cp.NumPivotsX());  // same count still rebuilds
  EXPECT_EQ(cp.PivotMat(1, 1), 0);
  EXPECT_EQ(cp.Mask(2, 3), 0);
  EXPECT_TRUE(cp.InvalidDataBmp());
}

TEST(ContourGrid, PivotAndMaskAccessOutsideTheGrid) {
  TContourPlot cp(nullptr);
  cp.ResizePivotMatrix(20, 15);  // 4 x 3
  cp.SetMaskVal(4, 3, 9);
  cp.SetMaskVal(5, 3, 9);
  cp.SetMaskVal(0, 1, 9);
  EXPECT_EQ(cp.Mask(4, 3), 9);
  EXPECT_EQ(cp.Mask(5, 3), 0);
  EXPECT_EQ(cp.Mask(0, 1), 0);
  EXPECT_EQ(cp.GetPivotVal(0, 1), 0.0);
  EXPECT_EQ(cp.GetPivotVal(1, 4), 0.0);
  cp.FillMask(2);
  int sum = 0;
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 3; ++j) sum += cp.Mask(i, j);
  EXPECT_EQ(sum, 24);
}

TEST(ContourIso, CouplingOfLowAndHigh) {
  TContourPlot cp(nullptr);
  cp.SetIsoLow(5);
  EXPECT_EQ(cp.IsoHigh(), 6);
  cp.SetIsoParams(-1, 1, 0.1);
  cp.SetIsoHigh(-3);
  EXPECT_EQ(cp.IsoLow(), -4);
  EXPECT_EQ(cp.IsoHigh(), -3);
  // Low first (drags High to 11), then High (drags Low to 1).
  cp.SetIsoParams(10, 2, 0.5);
  EXPECT_EQ(cp.IsoHigh(), 2);
  EXPECT_EQ(cp.IsoLow(), 1);
  EXPECT_EQ(cp.IsoDist(), 0.5);
}

TEST(ContourIso, LevelCount) {
  TContourPlot cp(nullptr);
  cp.SetIsoParams(0, 1, 0.25);
  EXPECT_EQ(cp.NumIsoLevels(), 4);
  cp.SetIsoDist(0.3);  // 3.33 levels round to 3
  EXPECT_EQ(cp.NumIsoLevels(), 3);
  cp.SetIsoDist(0.4);  // 2.5 rounds to even
  EXPECT_EQ(cp.NumIsoLevels(), 2);
  cp.SetIsoDist(0);
  EXPECT_EQ(cp.NumIsoLevels(), 0);
  cp.SetIsoDist(-0.1);
  EXPECT_EQ(cp.NumIsoLevels(), 0);
  cp.SetIsoDist(1e-9);
  EXPECT_EQ(cp.NumIsoLevels(), 65535);
}

TEST(ContourColorScale, KeptInStepAndForgottenWhenDestroyed) {
  TContourPlot cp(nullptr);
  kvr::test::FourColors(cp);
  auto cs = std::make_unique<kvr::TColorScale>(nullptr);
  ASSERT_GT(cs->ColorArray.Size(), 4);
  cp.SetAttachedColorScale(cs.get());
  EXPECT_EQ(cs->ColorArray.Size(), 4);  // a larger table is cut to the plot's
  EXPECT_EQ(cs->ColorArray.GetColorElem(3), 0xC00000);
  EXPECT_EQ(cs->ScaleRangeLow(), -1);
  EXPECT_EQ(cs->ScaleRangeHigh(), 1);
  cp.SetIsoHigh(4);
  EXPECT_EQ(cs->ScaleRangeHigh(), 4);
  EXPECT_EQ(cs->ColorHigh(), 4);
  cp.IsoColors.SetColorElem(2, 0x123456);
  EXPECT_EQ(cs->ColorArray.GetColorElem(2), 0x123456);
  // IsoDist alone does not touch the colour scale.
  cs->SetScaleRange(0, 50);
  cp.SetIsoDist(0.5);
  EXPECT_EQ(cs->ScaleRangeHigh(), 50);
  cs.reset();
  EXPECT_EQ(cp.AttachedColorScale(), nullptr);
  cp.SetIsoLow(-2);  // no dangling pointer is followed
}

TEST(ContourColorScale, PlotDestroyedFirst) {
  kvr::TColorScale cs(nullptr);
  {
    TContourPlot cp(nullptr);
    cp.SetAttachedColorScale(&cs);
  }
  cs.SetScaleRange(1, 2);
  EXPECT_EQ(cs.ScaleRangeHigh(), 2);
}

TEST(ContourEnabled, SeparateFromInputEnabling) {
  TContourPlot cp(nullptr);
  cp.SetEnabled(false);
  EXPECT_FALSE(cp.Enabled());
  EXPECT_TRUE(cp.ControlEnabled());
  cp.SetControlEnabled(false);
  EXPECT_FALSE(cp.ControlEnabled());
  int calls = 0;
  cp.OnEstimateZVal = [&](kvr::TObject*, double, double, kvr::Integer, kvr::Integer, double& z,
                          kvr::Byte&) {
    ++calls;
    z = 1;
  };
  cp.CalculatePivotPoints(false);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(cp.MaxPivot(), 0);
}

TEST(ContourAssign, CopiesGridLevelsAndEvents) {
  TContourPlot a(nullptr), b(nullptr);
  a.ResizePivotMatrix(30, 40);
  a.SetIsoParams(0, 10, 2);
  a.SetPlotMode(kvr::cpmDots);
  a.OnEstimateZVal = [](kvr::TObject*, double x, double, kvr::Integer, kvr::Integer, double& z,
                        kvr::Byte&) { z = x; };
  a.CalculatePivotPoints(false);
  a.SetMaskVal(2, 2, 255);
  a.IsoColors.SetColorElem(1, 0xABCDEF);
  a.MaskPalette.SetColorElem(40, 0x010203);
  b.Assign(&a);
  EXPECT_EQ(b.NumPivotsX(), 6);
  EXPECT_EQ(b.NumPivotsY(), 8);
  EXPECT_EQ(b.PivotMat(6, 1), a.PivotMat(6, 1));
  EXPECT_EQ(b.Mask(2, 2), 255);
  EXPECT_EQ(b.IsoHigh(), 10);
  EXPECT_EQ(b.IsoDist(), 2);
  EXPECT_EQ(b.PlotMode(), kvr::cpmDots);
  EXPECT_EQ(b.MaxPivot(), a.MaxPivot());
  EXPECT_EQ(b.IsoColors.GetColorElem(1), 0xABCDEF);
  EXPECT_EQ(b.MaskPalette.GetColorElem(40), 0x010203);
  EXPECT_TRUE(b.InvalidDataBmp());
  ASSERT_TRUE(b.OnEstimateZVal);
  // The copy's own colours still reach the copy, not the source.
  b.IsoColors.SetColorElem(1, 0x111111);
  EXPECT_EQ(a.IsoColors.GetColorElem(1), 0xABCDEF);
}

}  // namespace
