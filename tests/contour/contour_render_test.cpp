// The grid walk and the painted plot: the fast colour surface against the cell routine,
// the non-interpolated modes, masks in every mode, pre-calculation, events and progress,
// the cached surface, percentiles and the bounds of the data bitmap.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "contour_test_util.h"
#include "platform/bitmap.h"
#include "platform/svgcanvas.h"
#include "tests/pdf_tools.h"
#include "tests/test_out.h"

namespace {

using kvr::Byte;
using kvr::Integer;
using kvr::TColor;
using kvr::TContourPlot;
using kvr::TObject;
using kvr::test::Plot;

void fill_values(TContourPlot& cp, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> d(-1.5, 1.5);
  for (Integer i = 1; i <= cp.NumPivotsX(); ++i)
    for (Integer j = 1; j <= cp.NumPivotsY(); ++j) cp.PivotMatrix()->SetVal(i, j, d(rng));
}

// The colour surface written cell by cell through the public routine.
void reference_surface(TContourPlot& cp, kvr::TBitmap& bmp) {
  const Integer nx = cp.NumPivotsX(), ny = cp.NumPivotsY();
  const double xl = cp.Scale1X()->RangeLow(), xh = cp.Scale1X()->RangeHigh();
  const double yl = cp.Scale1Y()->RangeLow(), yh = cp.Scale1Y()->RangeHigh();
  const double dx = (xh - xl) / (nx - 1), dy = (yh - yl) / (ny - 1);
  for (Integer i = 1; i < nx; ++i)
    for (Integer j = 1; j < ny; ++j) {
      const Byte m = cp.Mask(i, j);
      if (m != 0 && m != 255) continue;
      cp.IsoColQuadSL(bmp.ScanLine(0), bmp.Width(), bmp.Height(), 0, 0,
                      xl + (i - 1) * (xh - xl) / (nx - 1), yl + (j - 1) * (yh - yl) / (ny - 1),
                      dx, dy, cp.PivotMat(i, j), cp.PivotMat(i + 1, j), cp.PivotMat(i, j + 1),
                      cp.PivotMat(i + 1, j + 1), 5, 5);
    }
}

TEST(ContourRender, FastSurfaceMatchesTheCellRoutine) {
  Plot p;
  TContourPlot& cp = p.cp;
  const Integer sizes[][2] = {{2, 2}, {7, 5}, {44, 30}, {300, 17}, {1000, 1000}};
  const double ranges[][4] = {{-5.2, -5.2, 5.2, 5.2}, {-0.3, 0.1, 0.2, 0.15}, {3, -40, 900, 7}};
  unsigned seed = 1;
  for (const auto& sz : sizes)
    for (const auto& r : ranges) {
      cp.SetRange(1, r[0], r[1], r[2], r[3]);
      cp.AdjustScaling();
      cp.SetNumPivotsX(sz[0]);
      cp.SetNumPivotsY(sz[1]);
      fill_values(cp, seed++);
      cp.SetMaskVal(2, 1, 1);
      const Integer W = cp.Width() - cp.MarginLeft() - cp.MarginRight() + 1;
      const Integer H = cp.Height() - cp.MarginTop() - cp.MarginBottom() + 1;
      kvr::TBitmap fast(W, H), ref(W, H);
      cp.RenderFromPivotPoints(&fast, 0, 0);
      reference_surface(cp, ref);
      for (Integer y = 0; y < H; ++y)
        for (Integer x = 0; x < W; ++x)
          ASSERT_EQ(fast.ScanLine(y)[x].R, ref.ScanLine(y)[x].R)
              << sz[0] << "x" << sz[1] << " at " << x << "," << y;
    }
}

struct Painted : ::testing::Test {
  Plot p;
  TContourPlot& cp = p.cp;
  int calls = 0;
  double value = 0.5;

  void SetUp() override {
    kvr::test::FourColors(cp);
    cp.SetIsoParams(0, 4, 1);
    cp.ResizePivotMatrix(50, 50);  // 10 x 10
    cp.OnEstimateZVal = [this](TObject*, double, double, Integer, Integer, double& z, Byte&) {
      ++calls;
      z = value;
    };
  }
  // Area pixel a quarter cell up and right of pivot (i, j): inside the cell the pivot
  // starts and inside the pivot's own rectangle. fx, fy move the point in cells.
  TColor at_pivot(Integer i, Integer j, double fx = 0.25, double fy = 0.25) {
    const double x = -5.2 + (i - 1 + fx) * 10.4 / (cp.NumPivotsX() - 1);
    const double y = -5.2 + (j - 1 + fy) * 10.4 / (cp.NumPivotsY() - 1);
    Integer px, py;
    cp.R2M(1, x, y, px, py);
    return cp.Surface()->Canvas()->Pixels(px, py);
  }
};

TEST_F(Painted, EachModeColoursTheArea) {
  value = 2.2;  // entry 2
  cp.Update();
  EXPECT_EQ(at_pivot(4, 4), 0x00C000);
  cp.SetPlotMode(kvr::cpmColorSurfNoIp);
  cp.Update();
  EXPECT_EQ(at_pivot(4, 4), 0x00C000);
  EXPECT_EQ(at_pivot(10, 10, -0.25, -0.25), 0x00C000);  // the last pivot has its rectangle too
  cp.SetPlotMode(kvr::cpmDots);
  cp.Update();
  EXPECT_EQ(at_pivot(4, 4), kvr::clWhite);  // constant values: no iso-line
}

TEST_F(Painted, NonInterpolatedModesBelowIsoLow) {
  value = -1;
  cp.SetPlotMode(kvr::cpmColorSurfNoIp);
  cp.Update();
  EXPECT_EQ(at_pivot(5, 5), 0x0000C0);  // entry 1
  cp.SetPlotMode(kvr::cpmColorSurfNoIpTransp);
  cp.Update();
  EXPECT_EQ(at_pivot(5, 5), kvr::clWhite);  // left to the background
  value = 2.2;
  cp.DrawPlot();
  cp.Update();
  EXPECT_EQ(at_pivot(5, 5), 0x00C000);
}

TEST_F(Painted, MasksInEveryMode) {
  value = 2.2;
  cp.SetChartColor(0x405060);
  for (auto mode : {kvr::cpmDots, kvr::cpmMonoDots, kvr::cpmColorSurface, kvr::cpmColorSurfNoIp,
                    kvr::cpmColorSurfNoIpTransp}) {
    cp.SetPlotMode(mode);
    cp.OnEstimateZVal = [this](TObject*, double, double, Integer i, Integer j, double& z,
                               Byte& m) {
      z = value;
      m = i == 3 && j == 3 ? 1 : i == 5 && j == 5 ? 7 : i == 7 && j == 7 ? 255 : 0;
    };
    cp.DrawPlot();
    cp.Update();
    const bool dots = mode == kvr::cpmDots || mode == kvr::cpmMonoDots;
    const TColor data = dots ? 0x405060 : 0x00C000;
    EXPECT_EQ(at_pivot(3, 3), 0x405060) << int(mode);
    EXPECT_EQ(at_pivot(5, 5), cp.MaskPalette.GetColorElem(7)) << int(mode);
    EXPECT_EQ(at_pivot(7, 7), data ^ 0xFFFFFF) << int(mode);
    EXPECT_EQ(at_pivot(4, 6), data) << int(mode);
  }
}

TEST_F(Painted, PreCalculationAsksOncePerPivot) {
  cp.CalculatePivotPoints(true);
  EXPECT_EQ(calls, 100);
  EXPECT_TRUE(cp.PivotPreCalc());
  cp.Update();
  EXPECT_EQ(calls, 100);
  EXPECT_FALSE(cp.PivotPreCalc());
  cp.DrawPlot();
  cp.Update();
  EXPECT_EQ(calls, 200);
}

TEST_F(Painted, CachedSurfaceFollowsTheRange) {
  cp.Update();
  EXPECT_EQ(calls, 100);
  cp.Repaint();  // nothing changed: the surface is reused
  EXPECT_EQ(calls, 100);
  double first_x = 0;
  cp.OnEstimateZVal = [&](TObject*, double x, double, Integer i, Integer j, double& z, Byte&) {
    if (i == 1 && j == 1) first_x = x;
    ++calls;
    z = value;
  };
  cp.TCustomZUvado::SetRange(1, -1, -1, 1, 1);  // the chart's own setter, no wrapper
  cp.Repaint();
  EXPECT_EQ(calls, 200);
  EXPECT_EQ(first_x, -1);
  cp.SetMarginLeft(cp.MarginLeft() + 10);
  cp.Repaint();
  EXPECT_EQ(calls, 300);
  cp.SetMarginLeft(cp.MarginLeft());  // unchanged: nothing to do
  EXPECT_FALSE(cp.InvalidDataBmp());
}

TEST_F(Painted, ItemsAndLabelsOverTheSurface) {
  value = 2.2;
  int before = 0;
  cp.OnBeforeRenderData = [&](TObject*, kvr::TCanvas*, Integer, Integer) { ++before; };
  cp.SetDataColor(0x0000FF);
  cp.Line(-5.2, 0.0, 5.2, 0.0);
  cp.Update();
  Integer px, py;
  cp.R2M(1, 1.0, 0.0, px, py);
  EXPECT_EQ(cp.Surface()->Canvas()->Pixels(px, py), 0x0000FF);
  EXPECT_EQ(cp.Surface()->Canvas()->Pixels(px, py - 5), 0x00C000);
  EXPECT_EQ(before, 1);
  cp.Repaint();
  EXPECT_EQ(before, 1);  // the cached surface is not rebuilt
  ASSERT_TRUE(cp.OnBeforeRenderData);
}

TEST_F(Painted, WithoutHandlerTheGridIsZero) {
  cp.OnEstimateZVal = nullptr;
  cp.Update();
  EXPECT_EQ(cp.MaxPivot(), 0);
  EXPECT_EQ(cp.MinPivot(), 0);
  EXPECT_EQ(cp.PivotMat(3, 3), 0);
}

TEST_F(Painted, ProgressCounts) {
  cp.ResizePivotMatrix(1500, 20);  // 300 columns: a report every 3rd
  std::vector<Integer> seen;
  cp.OnProgress = [&](TObject*, Integer pc) { seen.push_back(pc); };
  cp.CalculatePivotPoints(false);
  EXPECT_EQ(seen.size(), 100u);
  EXPECT_EQ(seen.front(), 1);
  EXPECT_EQ(seen.back(), 100);
  seen.clear();
  kvr::TBitmap bmp(100, 50);
  cp.RenderFromPivotPoints(&bmp, 0, 0);
  // The cells pass stops one column early (299 of 300); the mask pass reports all.
  EXPECT_EQ(seen.size(), 99u + 100u);
  seen.clear();
  cp.SetPlotMode(kvr::cpmColorSurfNoIp);
  cp.RenderFromPivotPoints(&bmp, 0, 0);
  EXPECT_EQ(seen.size(), 200u);
}

TEST(ContourPercentile, WithAndWithoutMask) {
  TContourPlot cp(nullptr);
  cp.ResizePivotMatrix(20, 10);  // 4 x 2
  for (Integer i = 1; i <= 4; ++i)
    for (Integer j = 1; j <= 2; ++j) cp.PivotMatrix()->SetVal(i, j, i * 10 + j);
  const double all = cp.PercentilePivots(0.5);
  EXPECT_EQ(cp.PercentilePivots(0.5, false), all);
  EXPECT_GT(all, 21);
  EXPECT_LT(all, 32);
  // Masking the upper half leaves 11, 12, 21, 22.
  for (Integer j = 1; j <= 2; ++j) {
    cp.SetMaskVal(3, j, 1);
    cp.SetMaskVal(4, j, 255);
  }
  const double masked = cp.PercentilePivots(0.5, true);
  EXPECT_GT(masked, 12);
  EXPECT_LT(masked, 21);
  EXPECT_EQ(cp.PercentilePivots(1.0, true), 22);
}

// The data bitmap of zoomed, panned, tiny and shadowed plots is never written outside
// (a sanitizer build checks the memory; here the painting must simply succeed).
TEST(ContourBounds, ExtremeGridsAndViews) {
  for (Integer shadow : {0, 5})
    for (Integer h : {1, 2, 3, 40})
      for (Integer n : {2, 1000}) {
        Plot p;
        TContourPlot& cp = p.cp;
        cp.SetShadowWidth(shadow);
        cp.SetMarginBottom(cp.Height() - cp.MarginTop() - shadow - h + 1);
        cp.ResizePivotMatrix(5 * n, 5 * n);
        cp.OnEstimateZVal = [](TObject*, double x, double y, Integer i, Integer, double& z,
                               Byte& m) {
          z = kvr::test::Saddle(x, y);
          m = i % 97 == 1 ? Byte(2 + i % 250) : i % 89 == 1 ? 255 : i % 83 == 1 ? 1 : 0;
        };
        for (auto mode : {kvr::cpmDots, kvr::cpmMonoDots, kvr::cpmColorSurface,
                          kvr::cpmColorSurfNoIp, kvr::cpmColorSurfNoIpTransp}) {
          cp.SetPlotMode(mode);
          for (double z : {1.0, 37.0, 1e-6}) {
            if (n > 2 && z == 37.0) continue;
            cp.SetRange(1, 0.3 - 5 / z, -0.2 - 5 / z, 0.3 + 5 / z, -0.2 + 4 / z);
            cp.Repaint();
          }
        }
        EXPECT_EQ(cp.GrafBmp()->Height(), std::max(0, cp.Height() - cp.MarginTop() -
                                                          cp.MarginBottom() - shadow + 1));
      }
}

}  // namespace

namespace {

// A window dragged with the mouse zooms; the repaint asks for every pivot of the new
// range, or keeps the values a zoom handler calculated in advance.
TEST(ContourMouse, ZoomWindowRecalculatesTheGrid) {
  Plot p;
  TContourPlot& cp = p.cp;
  cp.ResizePivotMatrix(50, 50);
  int calls = 0;
  double minx = 1e9, maxx = -1e9;
  cp.OnEstimateZVal = [&](TObject*, double x, double, Integer, Integer, double& z, Byte&) {
    ++calls;
    minx = std::min(minx, x);
    maxx = std::max(maxx, x);
    z = x;
  };
  cp.Update();
  ASSERT_EQ(calls, 100);
  cp.SetMouseAction(kvr::maZoomWindPos);
  int zooms = 0;
  cp.OnZoomPan = [&](TObject*) {
    ++zooms;
    cp.CalculatePivotPoints(true);
  };
  minx = 1e9;
  maxx = -1e9;
  const kvr::TShiftState left{kvr::ssLeft};
  cp.HostMouseDown(kvr::mbLeft, {}, 100, 60);
  cp.HostMouseMove(left, 100, 60);
  cp.HostMouseMove(left, 160, 120);
  cp.HostMouseUp(kvr::mbLeft, {}, 160, 120);
  cp.Update();
  EXPECT_EQ(zooms, 1);
  EXPECT_EQ(calls, 200);  // once in the zoom handler, not again in the repaint
  EXPECT_DOUBLE_EQ(minx, cp.Scale1X()->RangeLow());
  EXPECT_DOUBLE_EQ(maxx, cp.Scale1X()->RangeHigh());
  EXPECT_LT(cp.Scale1X()->RangeHigh() - cp.Scale1X()->RangeLow(), 10);
}

}  // namespace

namespace {

// Bitmap, data-area and vector output show the same surface as the window.
TEST(ContourOutput, BitmapAndVectorCopies) {
  Plot p;
  TContourPlot& cp = p.cp;
  kvr::test::FourColors(cp);
  cp.SetIsoParams(0, 4, 1);
  cp.ResizePivotMatrix(50, 50);
  int calls = 0;
  cp.OnEstimateZVal = [&](TObject*, double, double, Integer, Integer, double& z, Byte&) {
    ++calls;
    z = 2.2;
  };
  cp.Update();
  kvr::TBitmap whole, area;
  cp.CopyToBitmap(&whole, false);
  cp.CopyToBitmapDAOnly(&area, false);
  ASSERT_EQ(whole.Width(), cp.Width());
  EXPECT_EQ(whole.Canvas()->Pixels(cp.MarginLeft() + 30, cp.MarginTop() + 30), 0x00C000);
  EXPECT_EQ(area.Canvas()->Pixels(30, 30), 0x00C000);
  EXPECT_EQ(cp.Surface()->Canvas()->Pixels(cp.MarginLeft() + 30, cp.MarginTop() + 30), 0x00C000);
  // The output wrappers rebuild the surface from the event.
  EXPECT_GT(calls, 100);
  kvr::TMetafileCanvas svg(cp.Width(), cp.Height());
  cp.RenderOnCanvas(&svg, false);
  EXPECT_NE(svg.SvgText().find("<image"), std::string::npos);
}

}  // namespace

namespace {

// Handlers that change the grid size in the middle of a calculation or a rendering.
TEST(ContourReentry, GridResizedByHandlers) {
  Plot p;
  TContourPlot& cp = p.cp;
  cp.ResizePivotMatrix(500, 500);
  int n = 0;
  cp.OnEstimateZVal = [&](TObject*, double x, double, Integer, Integer, double& z, Byte&) {
    if (++n == 500) cp.ResizePivotMatrix(20, 20);
    z = x;
  };
  cp.OnProgress = [&](TObject*, Integer pc) {
    if (pc == 50) cp.ResizePivotMatrix(1000, 30);
  };
  cp.Repaint();
  cp.DrawPlot();
  cp.Repaint();
  EXPECT_GE(cp.NumPivotsX(), 2);
}

}  // namespace

namespace {

// The coloured surface and its iso-lines as a PDF: a valid one-page file.
TEST_F(Painted, PdfOutputIsAValidFile) {
  value = 2.2;
  cp.Update();
  const std::string file = test_out_file("contour.pdf", "contour");
  cp.CopyToPDF(file, false);
  const std::string bytes = kvr::test::read_bytes(file);
  EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
  EXPECT_NE(bytes.find("%%EOF"), std::string::npos);
  if (kvr::test::have_poppler()) {
    EXPECT_NE(kvr::test::pdf_info(file).find("Pages:           1"), std::string::npos);
  }
}

}  // namespace
