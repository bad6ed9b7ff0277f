// TScaleGauge: value clamping, logarithmic refusals, margin limits, the dial mapping of
// fixed and moving dials, painted backgrounds and every index mode in both orientations.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "gauge/gauge.h"
#include "platform/kvrcolors.h"
#include "platform/registry.h"

namespace {

using kvr::TColor;
using kvr::TScaleGauge;

constexpr TColor kBg = kvr::clWhite;
constexpr TColor kC1 = kvr::clBlue;
constexpr TColor kC2 = kvr::clRed;

struct GaugeFixture : ::testing::Test {
  TScaleGauge g{nullptr};

  void SetUp() override {
    g.SetBounds(0, 0, 300, 75);
    g.CreateWnd();
  }
  TColor px(int x, int y) {
    g.Update();
    return g.Surface()->Canvas()->Pixels(x, y);
  }
};

TEST(GaugeRegistry, RegisterRecordsTheClassOnPageKvr) {
  kvr::Kvr_gauge::Register();
  bool found = false;
  for (const auto& e : kvr::RegisteredComponents("KVR"))
    if (e.ClassName == "TScaleGauge") {
      found = true;
      std::unique_ptr<kvr::TComponent> made(e.Factory(nullptr));
      EXPECT_NE(dynamic_cast<TScaleGauge*>(made.get()), nullptr);
    }
  EXPECT_TRUE(found);
  std::unique_ptr<kvr::TComponent> byname(kvr::CreateRegisteredComponent("TScaleGauge", nullptr));
  EXPECT_NE(byname, nullptr);
}

TEST(GaugeDefaults, ConstructorSettings) {
  TScaleGauge g(nullptr);
  EXPECT_EQ(g.Width(), 300);
  EXPECT_EQ(g.Height(), 75);
  EXPECT_EQ(g.Min(), -10);
  EXPECT_EQ(g.Max(), 10);
  EXPECT_EQ(g.Value(), 0);
  EXPECT_EQ(g.Background(), kvr::gbVertGrad);
  EXPECT_EQ(g.IndexMode(), kvr::gimTriangle);
  EXPECT_EQ(g.FrameStyleInner(), kvr::rbLowered);
  EXPECT_EQ(g.FrameStyleOuter(), kvr::rbRaised);
  EXPECT_EQ(g.MarginLeft(), 20);
  EXPECT_EQ(g.MarginRight(), 10);
  EXPECT_EQ(g.MarginTop(), 10);
  EXPECT_EQ(g.MarginBottom(), 20);
  EXPECT_EQ(g.ColorIndex2(), kvr::clRed);
  EXPECT_TRUE(g.FixedDial());
  EXPECT_TRUE(g.Enabled());
  EXPECT_EQ(g.Scale()->Name(), "GaugeScale");
  EXPECT_EQ(g.Scale()->ScaleType(), kvr::sctTop);
  EXPECT_EQ(g.Scale()->MarginBottom(), 30);
}

TEST_F(GaugeFixture, ValueIsLimitedToTheRangeEitherWayRound) {
  g.SetValue(25);
  EXPECT_EQ(g.Value(), 10);
  g.SetValue(-3.5);
  EXPECT_EQ(g.Value(), -3.5);
  g.SetMin(10);
  g.SetMax(-10);
  g.SetValue(25);
  EXPECT_EQ(g.Value(), 10);
  g.SetValue(-25);
  EXPECT_EQ(g.Value(), -10);
  g.SetValue(std::nan(""));
  EXPECT_EQ(g.Value(), -10);
  g.SetValue(std::numeric_limits<double>::infinity());
  EXPECT_EQ(g.Value(), 10);
  g.SetMin(std::nan(""));
  g.SetMax(-std::numeric_limits<double>::infinity());
  EXPECT_EQ(g.Min(), 10);
  EXPECT_EQ(g.Max(), -10);
}

TEST_F(GaugeFixture, LogarithmicNeedsPositiveLimits) {
  g.SetLogarithmic(true);  // Min is -10
  EXPECT_FALSE(g.Logarithmic());
  EXPECT_FALSE(g.Scale()->Logarithmic());
  g.SetMin(1);
  g.SetMax(1000);
  g.SetLogarithmic(true);
  EXPECT_TRUE(g.Logarithmic());
  EXPECT_TRUE(g.Scale()->Logarithmic());
  g.SetMin(0);
  g.SetMax(-5);
  EXPECT_EQ(g.Min(), 1);
  EXPECT_EQ(g.Max(), 1000);
  g.SetMin(10);
  EXPECT_EQ(g.Scale()->RangeLow(), 10);
  // Decades are evenly spaced: 100 lies half-way between 10 and 1000.
  const int lo = g.ConvertToPixelCoords(10), hi = g.ConvertToPixelCoords(1000);
  EXPECT_NEAR(g.ConvertToPixelCoords(100), (lo + hi) / 2.0, 1);
  g.SetLogarithmic(false);
  EXPECT_FALSE(g.Scale()->Logarithmic());
  g.SetMin(-1);
  EXPECT_EQ(g.Min(), -1);
}

TEST_F(GaugeFixture, MarginsKeepTwentyPixelsOfDial) {
  g.SetMarginLeft(400);
  EXPECT_EQ(g.MarginLeft(), 270);
  g.SetMarginRight(100);
  EXPECT_EQ(g.MarginRight(), 10);
  g.SetMarginTop(60);
  EXPECT_EQ(g.MarginTop(), 75 - 20 - 20);
  g.SetMarginBottom(-4);
  EXPECT_EQ(g.MarginBottom(), 0);
  g.Repaint();
}

TEST_F(GaugeFixture, FixedDialMapsTheRangeBetweenTheMargins) {
  EXPECT_EQ(g.ConvertToPixelCoords(-10), 20);
  EXPECT_EQ(g.ConvertToPixelCoords(10), 300 - 10 - 1);
  EXPECT_DOUBLE_EQ(g.ConvertPixelToScale(20), -10);
  g.SetMarginLeft(50);
  EXPECT_EQ(g.ConvertToPixelCoords(-10), 50);
  g.SetOrientation(kvr::goVertical);
  g.SetBounds(0, 0, 90, 300);
  EXPECT_EQ(g.Scale()->ScaleType(), kvr::sctLeft);
  EXPECT_EQ(g.ConvertToPixelCoords(-10), 300 - 20 - 1);
  EXPECT_EQ(g.ConvertToPixelCoords(10), 10);
  EXPECT_EQ(g.Scale()->MarginRight(), 20);
}

TEST_F(GaugeFixture, MovingDialCentresTheRangeOnTheValue) {
  g.SetFixedDial(false);
  g.SetValue(4);
  EXPECT_DOUBLE_EQ(g.Scale()->RangeLow(), -6);
  EXPECT_DOUBLE_EQ(g.Scale()->RangeHigh(), 14);
  EXPECT_NEAR(g.ConvertPixelToScale(20 + 270 / 2), 4, 0.1);
  g.SetMin(1);
  g.SetMax(100);
  g.SetLogarithmic(true);
  g.SetValue(50);
  EXPECT_DOUBLE_EQ(g.Scale()->RangeLow(), 5);
  EXPECT_DOUBLE_EQ(g.Scale()->RangeHigh(), 500);
  g.SetFixedDial(true);
  EXPECT_EQ(g.Scale()->RangeLow(), 1);
  EXPECT_EQ(g.Scale()->RangeHigh(), 100);
  // A value left outside a narrowed range is shown at the nearer end, never at 0.
  g.SetLogarithmic(false);
  g.SetMin(-10);
  g.SetValue(-5);
  g.SetMin(1);
  g.SetLogarithmic(true);
  g.SetFixedDial(false);
  EXPECT_DOUBLE_EQ(g.Scale()->RangeLow(), 0.1);
  EXPECT_DOUBLE_EQ(g.Scale()->RangeHigh(), 10);
  g.Repaint();
}

TEST_F(GaugeFixture, BackgroundsCoverAndFrames) {
  g.SetIndexMode(kvr::gimThread);
  g.SetValue(-10);
  g.SetColorBg1(kvr::clBlack);
  g.SetColorBg2(kvr::clWhite);
  const int n = 300 - 20 - 10, y = 15;
  EXPECT_EQ(px(20 + 100, y), kvr::InterpolateColor(0, kvr::clWhite, 100.0 / n));
  EXPECT_EQ(px(5, 30), kvr::clSilver);
  EXPECT_EQ(px(150, 70), kvr::clSilver);
  g.SetBackground(kvr::gbPlain);
  EXPECT_EQ(px(120, y), kvr::clBlack);
  g.SetBackground(kvr::gbHorizGrad);
  const int m = 75 - 10 - 20;
  EXPECT_EQ(px(120, 10 + 5), kvr::InterpolateColor(0, kvr::clWhite, 5.0 / m));
  g.SetBackground(kvr::gbVertMidBand);
  EXPECT_EQ(px(20 + 40, y), kvr::InterpolateColor(0, kvr::clWhite, 80.0 / n));
  EXPECT_EQ(px(20 + n - 40, y), px(20 + 40, y));
  EXPECT_EQ(px(20 + n / 2, y), kvr::clWhite);
  g.SetBackground(kvr::gbHorizMidBand);
  EXPECT_EQ(px(120, 10 + 3), kvr::InterpolateColor(0, kvr::clWhite, 6.0 / m));
  EXPECT_EQ(px(120, 10 + m - 3), px(120, 13));
  g.SetColorCover(kvr::clYellow);
  EXPECT_EQ(px(150, 72), kvr::clYellow);
}

// Index figures probed in dial coordinates: `along` the dial, `across` it from the
// base of the index strip (positive towards the cover).
struct IndexProbe : GaugeFixture, ::testing::WithParamInterface<kvr::TGaugeOrientation> {
  bool horz() const { return GetParam() == kvr::goHorizontal; }
  int base() const { return horz() ? 75 - 30 : 75 - 20; }
  TColor at(int along, int across) { return horz() ? px(along, base() + across) : px(base() + across, along); }
  // A pixel in the upper part of the dial, clear of labels.
  TColor far_side(int along) { return horz() ? px(along, 12) : px(24, along); }

  void SetUp() override {
    GaugeFixture::SetUp();
    g.SetOrientation(GetParam());
    if (!horz()) g.SetBounds(0, 0, 75, 300);
    g.SetBackground(kvr::gbPlain);
    g.SetColorBg1(kBg);
    g.SetColorIndex1(kC1);
    g.SetColorIndex2(kC2);
    g.SetValue(5);
  }
  int p() const { return g.ConvertToPixelCoords(5); }
};

TEST_P(IndexProbe, ThreadCrossesTheDial) {
  g.SetIndexMode(kvr::gimThread);
  EXPECT_EQ(far_side(p()), kC1);
  EXPECT_EQ(at(p(), 5), kC1);
  EXPECT_EQ(at(p() + 2, 5), kBg);
}

TEST_P(IndexProbe, TriangleTouchesTheBaseLine) {
  g.SetIndexMode(kvr::gimTriangle);
  EXPECT_EQ(at(p(), 0), kC1);  // tip, one pixel wide
  EXPECT_EQ(at(p() + 1, 0), kBg);
  EXPECT_EQ(at(p() - 4, 8), kC1);  // widest row the inner frame leaves visible
  EXPECT_EQ(at(p() + 4, 8), kC1);
  EXPECT_EQ(at(p() + 5, 8), kBg);
  EXPECT_EQ(at(p(), 10), kvr::clSilver);  // cover
  EXPECT_EQ(far_side(p()), kBg);
  const int tick_line = -1;  // the scale's base line lies just before the strip
  EXPECT_EQ(at(p() + 20, tick_line), kvr::clBlack);
}

TEST_P(IndexProbe, ThreadWithTrianglesInTwoColours) {
  g.SetIndexMode(kvr::gimThreadTriangle);
  EXPECT_EQ(far_side(p()), kC1);
  EXPECT_EQ(at(p(), 5), kC2);
  EXPECT_EQ(at(p() + 3, 8), kC2);
  g.SetIndexMode(kvr::gimThreadTwoTriangles);
  const int mirror = (horz() ? 10 : 20) + 10;  // MarginTop (MarginLeft) + 10: tip points inwards
  auto top = [&](int along, int row) { return horz() ? px(along, row) : px(row, along); };
  EXPECT_EQ(top(p(), mirror - 1), kC2);
  EXPECT_EQ(top(p() + 1, mirror - 1), kBg);
  EXPECT_EQ(top(p() + 4, mirror - 9), kC2);
  EXPECT_EQ(top(p() + 5, mirror - 9), kBg);
  EXPECT_EQ(at(p() + 3, 8), kC2);
}

TEST_P(IndexProbe, BandGrowsFromTheLowEndWithInterpolatedColours) {
  g.SetIndexMode(kvr::gimBand);
  const int start = horz() ? 20 : 300 - 20 - 1;
  const int step = horz() ? 1 : -1;
  const double len = horz() ? 270 : 270;
  EXPECT_EQ(at(start + 3 * step, 2), kvr::InterpolateColor(kC1, kC2, 3 / len));
  EXPECT_EQ(at(p(), 7), kvr::InterpolateColor(kC1, kC2, std::abs(p() - start) / len));
  EXPECT_EQ(at(p(), 8), kBg);
  EXPECT_EQ(at(p() + step * 2, 3), kBg);
  g.SetValue(-10);  // at the start: one cell
  EXPECT_EQ(at(start + step * 2, 3), kBg);
}

TEST_P(IndexProbe, DualColourBandRunsFromGaugeZero) {
  g.SetIndexMode(kvr::gimDualColorBand);
  const int z = g.ConvertToPixelCoords(0);
  const int mid = (z + p()) / 2;
  EXPECT_EQ(at(mid, 4), kC1);
  EXPECT_EQ(at(z, 4), kC1);
  EXPECT_EQ(at(2 * z - p(), 4), kBg);
  g.SetValue(-5);
  EXPECT_EQ(at((z + g.ConvertToPixelCoords(-5)) / 2, 4), kC2);
  EXPECT_EQ(at(mid, 4), kBg);
  g.SetGaugeZero(-8);
  EXPECT_EQ(at(g.ConvertToPixelCoords(-6.5), 4), kC1);
}

TEST_P(IndexProbe, BarIsThreePixelsWide) {
  g.SetIndexMode(kvr::gimBar);
  EXPECT_EQ(at(p(), 0), kBg);
  EXPECT_EQ(at(p(), 1), kC1);
  EXPECT_EQ(at(p() - 1, 1), kBg);
  EXPECT_EQ(at(p() - 1, 2), kC1);
  EXPECT_EQ(at(p() + 1, 8), kC1);
  EXPECT_EQ(at(p() + 2, 5), kBg);
  EXPECT_EQ(far_side(p()), kBg);
}

TEST_P(IndexProbe, MovingDialKeepsTheIndexInTheMiddle) {
  g.SetIndexMode(kvr::gimThread);
  g.SetFixedDial(false);
  const int mid = horz() ? 20 + (300 - 30) / 2 : 10 + (300 - 30) / 2;
  EXPECT_EQ(at(mid, 5), kC1);
  EXPECT_NEAR(g.ConvertPixelToScale(mid), 5, 0.1);
}

TEST_P(IndexProbe, DisabledGaugePaintsInGreys) {
  g.SetIndexMode(kvr::gimThreadTriangle);
  g.SetEnabled(false);
  EXPECT_FALSE(g.Enabled());
  EXPECT_EQ(at(p(), 5), kvr::clGray);
  EXPECT_EQ(far_side(p()), kvr::clGray);
  EXPECT_EQ(at(p() + 20, 5), TColor{0xE9E9EE});
  g.SetEnabled(true);
  EXPECT_EQ(at(p(), 5), kC2);
}

INSTANTIATE_TEST_SUITE_P(Gauge, IndexProbe, ::testing::Values(kvr::goHorizontal, kvr::goVertical),
                         [](const auto& info) {
                           return std::string(info.param == kvr::goHorizontal ? "Horizontal" : "Vertical");
                         });

TEST_F(GaugeFixture, MouseMoveInGaugeReportsTheScaleAreaInclusively) {
  int calls = 0;
  bool in = false;
  double value = 0;
  g.OnMouseMoveInGauge = [&](kvr::TObject*, bool i, kvr::TShiftState, double v) {
    ++calls;
    in = i;
    value = v;
  };
  g.HostMouseMove({}, 20, 10);
  EXPECT_TRUE(in);
  EXPECT_NEAR(value, -10, 1e-9);
  g.HostMouseMove({}, 290, 45);
  EXPECT_TRUE(in);
  g.HostMouseMove({}, 291, 30);
  EXPECT_FALSE(in);
  g.HostMouseMove({}, 100, 46);
  EXPECT_FALSE(in);
  EXPECT_DOUBLE_EQ(value, g.ConvertPixelToScale(100));
  g.SetOrientation(kvr::goVertical);
  g.SetBounds(0, 0, 75, 300);
  g.HostMouseMove({}, 45, 280);
  EXPECT_TRUE(in);
  EXPECT_DOUBLE_EQ(value, g.ConvertPixelToScale(280));
  g.HostMouseMove({}, 56, 100);
  EXPECT_FALSE(in);
  const int before = calls;
  g.SetEnabled(false);
  g.HostMouseMove({}, 30, 100);
  EXPECT_EQ(calls, before);
}

TEST_F(GaugeFixture, AssignAndCopyToBitMap) {
  g.SetMin(1);
  g.SetMax(100);
  g.SetLogarithmic(true);
  g.SetValue(20);
  g.SetIndexMode(kvr::gimBar);
  g.SetCaption("bar");
  g.SetMarginLeft(40);
  g.SetFixedDial(false);
  TScaleGauge other(nullptr);
  other.Assign(&g);
  EXPECT_TRUE(other.Logarithmic());
  EXPECT_TRUE(other.Scale()->Logarithmic());
  EXPECT_EQ(other.Value(), 20);
  EXPECT_EQ(other.IndexMode(), kvr::gimBar);
  EXPECT_EQ(other.Caption(), "bar");
  EXPECT_EQ(other.MarginLeft(), 40);
  EXPECT_FALSE(other.FixedDial());
  EXPECT_DOUBLE_EQ(other.Scale()->RangeLow(), 2);

  kvr::TBitmap bmp;
  g.CopyToBitMap(&bmp, 0, -1);
  ASSERT_EQ(bmp.Width(), 300);
  EXPECT_EQ(bmp.Canvas()->Pixels(150, 40), px(150, 40));
  // Without a window the image is rendered for the copy.
  kvr::TBitmap copy;
  other.CopyToBitMap(&copy, -1, -1);
  EXPECT_EQ(copy.Width(), 300);
  EXPECT_EQ(copy.Canvas()->Pixels(150, 40), px(150, 40));
}

}  // namespace
