// TSmithChart: the conversions, the isometric ranges from construction on, the range
// setters' single repaint, CentezUvado, reset and registration.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "platform/registry.h"
#include "platform/univconst.h"
#include "smith/smithchart.h"

namespace {

using kvr::Integer;
using kvr::TSmithChart;

class CountingSmith : public TSmithChart {
 public:
  CountingSmith() : TSmithChart(nullptr) {}
  int paints = 0;

 protected:
  void Paint() override {
    if (!SuppressPaint()) ++paints;
    TSmithChart::Paint();
  }
};

// Pixel extents of the unit circle across and down.
struct Extents {
  Integer across, down;
};
Extents unit_circle(const TSmithChart& s) {
  Integer x0, x1, y0, y1, dummy;
  s.R2M(1, -1.0, 0.0, x0, dummy);
  s.R2M(1, 1.0, 0.0, x1, dummy);
  s.R2M(1, 0.0, 1.0, dummy, y0);
  s.R2M(1, 0.0, -1.0, dummy, y1);
  return {x1 - x0, y1 - y0};
}

Integer area_w(const TSmithChart& s) {
  return s.Width() - s.MarginLeft() - s.MarginRight() - s.ShadowWidth();
}
Integer area_h(const TSmithChart& s) {
  return s.Height() - s.MarginTop() - s.MarginBottom() - s.ShadowWidth();
}

// Round means: the same diameter across and down, within the two pixels that separate
// roundings of the four ends can cost. The chart's isometric step counts an extent of W
// pixels as W + 1 while the mapping spans W, which adds up to |1/W - 1/H| of the
// diameter (under one pixel over the visible area).
void expect_round(const TSmithChart& s, const char* where) {
  const Extents e = unit_circle(s);
  const double w = area_w(s), h = area_h(s);
  const double slack = 2 + e.across * std::fabs(1 / w - 1 / h);
  EXPECT_GT(e.across, 0) << where;
  EXPECT_LE(std::abs(e.across - e.down), slack) << where << ": " << e.across << " x " << e.down;
}

TEST(SmithConversions, KnownPointsAndTheOpenCircuit) {
  EXPECT_DOUBLE_EQ(TSmithChart::CalcReflectionReal(1, 0), 0);
  EXPECT_DOUBLE_EQ(TSmithChart::CalcReflectionImag(1, 0), 0);
  EXPECT_NEAR(TSmithChart::CalcReflectionReal(0, 1), 0, 1e-15);
  EXPECT_DOUBLE_EQ(TSmithChart::CalcReflectionImag(0, 1), 1);
  EXPECT_DOUBLE_EQ(TSmithChart::CalcReflectionReal(0, 0), -1);  // short circuit
  EXPECT_DOUBLE_EQ(TSmithChart::CalcReflectionReal(3, 0), 0.5);
  EXPECT_DOUBLE_EQ(TSmithChart::CalcReflectionImag(1, 1), 0.4);
  EXPECT_DOUBLE_EQ(TSmithChart::CalcReflectionImag(1, -1), -0.4);
  EXPECT_EQ(TSmithChart::CalcResistance(1, 0), kvr::uc_MaxReal);
  EXPECT_EQ(TSmithChart::CalcReactance(1, 0), kvr::uc_MaxReal);
  EXPECT_DOUBLE_EQ(TSmithChart::CalcResistance(0, 0), 1);
  EXPECT_DOUBLE_EQ(TSmithChart::CalcReactance(0, 0), 0);
  EXPECT_DOUBLE_EQ(TSmithChart::CalcResistance(-1, 0), 0);
  EXPECT_DOUBLE_EQ(TSmithChart::CalcReactance(0, 1), 1);
  // Towards an open circuit both the resistance and Γ head for their limits.
  EXPECT_GT(TSmithChart::CalcResistance(1 - 1e-9, 0), 1e8);
  EXPECT_NEAR(TSmithChart::CalcReflectionReal(1e12, 0), 1, 1e-11);
  EXPECT_NEAR(TSmithChart::CalcReflectionReal(0, 1e12), 1, 1e-11);
}

TEST(SmithConversions, RoundTripsOverRandomImpedances) {
  std::mt19937 rng(18);
  std::exponential_distribution<double> res(0.5);
  std::normal_distribution<double> rea(0, 4);
  for (int i = 0; i < 5000; ++i) {
    const double r = i < 10 ? 0.0 : res(rng), x = rea(rng);
    const double u = TSmithChart::CalcReflectionReal(r, x);
    const double v = TSmithChart::CalcReflectionImag(r, x);
    // A passive load stays inside the unit circle.
    ASSERT_LE(u * u + v * v, 1 + 1e-12) << r << " " << x;
    const double scale = 1 + std::fabs(r) + std::fabs(x);
    ASSERT_NEAR(TSmithChart::CalcResistance(u, v), r, 1e-9 * scale * scale) << r << " " << x;
    ASSERT_NEAR(TSmithChart::CalcReactance(u, v), x, 1e-9 * scale * scale) << r << " " << x;
  }
  // And the other way round from points of the unit disc.
  std::uniform_real_distribution<double> uni(-1, 1);
  for (int i = 0; i < 5000; ++i) {
    const double u = uni(rng), v = uni(rng);
    if (u * u + v * v > 0.98) continue;
    const double r = TSmithChart::CalcResistance(u, v), x = TSmithChart::CalcReactance(u, v);
    ASSERT_GE(r, 0);
    ASSERT_NEAR(TSmithChart::CalcReflectionReal(r, x), u, 1e-12);
    ASSERT_NEAR(TSmithChart::CalcReflectionImag(r, x), v, 1e-12);
  }
}

TEST(SmithLabels, LevelThresholdsAndTexts) {
  const struct { Integer d, level; } cases[] = {{0, 1},   {300, 1}, {301, 2}, {500, 2},
                                                 {501, 3}, {750, 3}, {751, 4}, {900, 4},
                                                 {901, 5}, {5000, 5}, {-20, 1}};
  for (const auto& c : cases) EXPECT_EQ(TSmithChart::LabelLevel(c.d), c.level) << c.d;
  EXPECT_EQ(TSmithChart::LabelText(0.5), "0.5");
  EXPECT_EQ(TSmithChart::LabelText(1), "1");
  EXPECT_EQ(TSmithChart::LabelText(-0.2), "-0.2");
  EXPECT_EQ(TSmithChart::LabelText(10), "10");
  EXPECT_EQ(TSmithChart::LabelText(-10), "-10");
  EXPECT_EQ(TSmithChart::LabelText(0), "0");
  EXPECT_EQ(TSmithChart::LabelText(2.5), "2.5");
  EXPECT_EQ(TSmithChart::LabelText(1.005), "1");
}

TEST(SmithChart, DefaultsOfConstruction) {
  TSmithChart s(nullptr);
  EXPECT_EQ(s.GridColorLight(), 0xDBDBDB);
  EXPECT_EQ(s.GridColorDark(), 0xA7A7A7);
  EXPECT_EQ(s.DiagramColor(), 0xF8E8E8);
  EXPECT_TRUE(s.Isometric());
  EXPECT_DOUBLE_EQ(s.RangeXLow(), -1.2);
  EXPECT_DOUBLE_EQ(s.RangeXHigh(), 1.2);
  EXPECT_NEAR(s.RangeYLow() + s.RangeYHigh(), 0, 1e-12);
  EXPECT_TRUE(s.Scale1X()->Visible());
  EXPECT_TRUE(s.Scale1Y()->Visible());
  EXPECT_FALSE(s.Scale2X()->Visible());
  EXPECT_FALSE(s.Scale2Y()->Visible());
  // The default control (280 x 200) is wider than high: y shows less than x.
  EXPECT_LT(s.RangeYHigh(), 1.2);
  expect_round(s, "construction");
}

TEST(SmithChart, RoundFromTheFirstPictureThroughResizes) {
  CountingSmith s;
  s.SetBounds(0, 0, 520, 300);
  s.CreateWnd();
  s.Repaint();
  EXPECT_EQ(s.paints, 1);
  expect_round(s, "first picture");
  const struct { Integer w, h; } sizes[] = {{300, 600}, {801, 402}, {137, 95}, {1200, 1199}};
  for (const auto& z : sizes) {
    s.SetBounds(0, 0, z.w, z.h);
    expect_round(s, "resize");
    // The centre stays where it was.
    EXPECT_NEAR(s.RangeYLow() + s.RangeYHigh(), 0, 1e-9);
  }
  s.SetMarginLeft(120);
  expect_round(s, "margin");
  s.SetMarginBottom(5);
  expect_round(s, "margin");
}

TEST(SmithChart, RangeSettersRepaintOnceAndStayIsometric) {
  CountingSmith s;
  s.SetBounds(0, 0, 500, 420);
  s.CreateWnd();
  s.paints = 0;
  s.SetRangeXLow(-0.8);
  EXPECT_EQ(s.paints, 1);
  EXPECT_DOUBLE_EQ(s.RangeXLow(), -0.8);
  expect_round(s, "RangeXLow");
  s.paints = 0;
  s.SetRangeXHigh(1.6);
  EXPECT_EQ(s.paints, 1);
  EXPECT_DOUBLE_EQ(s.RangeXHigh(), 1.6);
  expect_round(s, "RangeXHigh");
  s.paints = 0;
  s.SetRangeYLow(-0.5);
  EXPECT_EQ(s.paints, 1);
  expect_round(s, "RangeYLow");
  // The y span follows the x span and the area's shape, whatever y limit was asked for.
  const double ratio = (area_h(s) + 1.0) / (area_w(s) + 1.0);
  EXPECT_NEAR(s.RangeYHigh() - s.RangeYLow(), 2.4 * ratio, 1e-9);

  s.SetRange(-0.3, -5.0, 0.3, 5.0);
  expect_round(s, "SetRange");
  EXPECT_NEAR(s.RangeYLow() + s.RangeYHigh(), 0, 1e-9);

  s.MarkAt(0.2, 0.1, 1);
  s.MarkAt(0.9, 0.3, 1);
  s.AutoRange(5);
  expect_round(s, "AutoRange");
  EXPECT_NEAR(s.RangeXLow(), 0.2 - 0.035, 1e-9);
  EXPECT_NEAR(s.RangeXHigh(), 0.9 + 0.035, 1e-9);
}

// A caller's batch stays a batch: a range setter inside it neither paints nor ends it.
TEST(SmithChart, RangeSetterInsideABatchKeepsPaintingSuppressed) {
  CountingSmith s;
  s.SetBounds(0, 0, 400, 400);
  s.CreateWnd();
  s.SetSuppressPaint(true);
  s.paints = 0;
  s.SetRangeXLow(-1.0);
  s.SetRangeXHigh(1.0);
  EXPECT_EQ(s.paints, 0);
  EXPECT_TRUE(s.SuppressPaint());
  s.SetSuppressPaint(false);
  EXPECT_EQ(s.paints, 1);
  // Before its window exists the chart does not start painting either.
  CountingSmith early;
  early.SetRangeXLow(-1.0);
  EXPECT_TRUE(early.SuppressPaint());
  EXPECT_EQ(early.paints, 0);
}

TEST(SmithChart, CentezUvadoKeepsBothWidths) {
  // An area of 399 x 199 pixels: (W + 1) : (H + 1) = 2 : 1, so 0..2 by 0..1 is isometric.
  TSmithChart s(nullptr);
  s.SetBounds(0, 0, s.MarginLeft() + 399 + s.MarginRight(),
              s.MarginTop() + 199 + s.MarginBottom());
  s.CreateWnd();
  ASSERT_EQ(area_w(s), 399);
  ASSERT_EQ(area_h(s), 199);
  s.SetRange(0, 0, 2, 1);
  ASSERT_DOUBLE_EQ(s.RangeYLow(), 0);
  ASSERT_DOUBLE_EQ(s.RangeYHigh(), 1);
  s.CentezUvado();
  EXPECT_DOUBLE_EQ(s.RangeXLow(), -1);
  EXPECT_DOUBLE_EQ(s.RangeXHigh(), 1);
  EXPECT_DOUBLE_EQ(s.RangeYLow(), -0.5);
  EXPECT_DOUBLE_EQ(s.RangeYHigh(), 0.5);
  Integer cx, cy;
  s.R2M(1, 0.0, 0.0, cx, cy);
  EXPECT_NEAR(cx, s.MarginLeft() + 399 / 2.0, 0.5);
  EXPECT_NEAR(cy, s.MarginTop() + 199 / 2.0, 0.5);

  // Off centre on another shape: the widths are kept and the picture stays round.
  s.SetBounds(0, 0, 420, 610);
  s.SetRange(0.1, 0.2, 0.7, 0.9);
  const double wx = s.RangeXHigh() - s.RangeXLow(), wy = s.RangeYHigh() - s.RangeYLow();
  s.CentezUvado();
  EXPECT_NEAR(s.RangeXHigh() - s.RangeXLow(), wx, 1e-12);
  EXPECT_NEAR(s.RangeYHigh() - s.RangeYLow(), wy, 1e-12);
  EXPECT_NEAR(s.RangeXLow() + s.RangeXHigh(), 0, 1e-12);
  EXPECT_NEAR(s.RangeYLow() + s.RangeYHigh(), 0, 1e-12);
  expect_round(s, "CentezUvado");
}

// Zooming and panning with the mouse keep the circle round; the pointer's position
// converts to the impedance under it.
TEST(SmithChart, MouseZoomAndPanStayRound) {
  TSmithChart s(nullptr);
  s.SetBounds(0, 0, 640, 420);
  s.CreateWnd();
  const kvr::TShiftState left{kvr::ssLeft};
  auto drag = [&](kvr::TPoint a, kvr::TPoint b) {
    s.HostMouseDown(kvr::mbLeft, {}, a.X, a.Y);
    s.HostMouseMove(left, a.X, a.Y);
    s.HostMouseMove(left, (a.X + b.X) / 2, (a.Y + b.Y) / 2);
    s.HostMouseMove(left, b.X, b.Y);
    s.HostMouseUp(kvr::mbLeft, {}, b.X, b.Y);
  };
  bool reported = false;
  double mu = 9, mv = 9;
  s.OnMouseMoveInChart = [&](kvr::TObject*, bool in, kvr::TShiftState, double u, double v) {
    reported = in;
    mu = u;
    mv = v;
  };
  const double before = s.RangeXHigh() - s.RangeXLow();
  s.SetMouseAction(kvr::maZoomWindPos);
  drag({300, 150}, {420, 190});
  EXPECT_LT(s.RangeXHigh() - s.RangeXLow(), before);
  expect_round(s, "zoom window");
  s.SetMouseAction(kvr::maZoomDrag);
  drag({300, 200}, {360, 160});
  expect_round(s, "drag zoom");
  s.SetMouseAction(kvr::maPan);
  drag({300, 200}, {250, 260});
  expect_round(s, "pan");
  s.ZoomHistory(-2);
  expect_round(s, "history");

  s.SetRange(-1.2, -1.2, 1.2, 1.2);
  Integer x, y;
  s.R2M(1, TSmithChart::CalcReflectionReal(0.5, -0.8), TSmithChart::CalcReflectionImag(0.5, -0.8), x, y);
  s.SetMouseAction(kvr::maNone);
  s.HostMouseMove({}, x, y);
  ASSERT_TRUE(reported);
  // One pixel of position error in Γ on this scale.
  EXPECT_NEAR(TSmithChart::CalcResistance(mu, mv), 0.5, 0.05);
  EXPECT_NEAR(TSmithChart::CalcReactance(mu, mv), -0.8, 0.05);
}

TEST(SmithChart, ResetKeepsASmithChart) {
  TSmithChart s(nullptr);
  s.SetBounds(0, 0, 400, 300);
  s.CreateWnd();
  s.SetRange(0, 0, 3, 1);
  s.SetIsometric(false);
  s.Scale2X()->SetVisible(true);
  s.ResetComp();
  EXPECT_TRUE(s.Isometric());
  EXPECT_DOUBLE_EQ(s.RangeXLow(), -1.2);
  EXPECT_DOUBLE_EQ(s.RangeXHigh(), 1.2);
  EXPECT_FALSE(s.Scale2X()->Visible());
  expect_round(s, "reset");
}

TEST(SmithChart, ColourSettersStoreAndMarkTheWindowDirty) {
  TSmithChart s(nullptr);
  s.SetBounds(0, 0, 300, 300);
  s.CreateWnd();
  s.Update();
  s.SetGridColorLight(0x123456);
  s.SetGridColorDark(0x654321);
  s.SetDiagramColor(0xABCDEF);
  EXPECT_EQ(s.GridColorLight(), 0x123456);
  EXPECT_EQ(s.GridColorDark(), 0x654321);
  EXPECT_EQ(s.DiagramColor(), 0xABCDEF);
  Integer x, y;
  s.R2M(1, -0.62, 0.53, x, y);
  s.Update();  // paints because the setters invalidated the window
  int fill = 0;
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) fill += s.Surface()->Canvas()->Pixels(x + dx, y + dy) == 0xABCDEF;
  EXPECT_GE(fill, 13);
}

TEST(SmithRegistry, RegisterRecordsTheClassOnPageKvr) {
  kvr::Kvr_smith::Register();
  kvr::Kvr_smith::Register();
  int found = 0;
  for (const auto& e : kvr::RegisteredComponents("KVR")) found += e.ClassName == "TSmithChart";
  EXPECT_EQ(found, 1);
  std::unique_ptr<kvr::TComponent> c(kvr::CreateRegisteredComponent("TSmithChart", nullptr));
  ASSERT_NE(c, nullptr);
  auto* s = dynamic_cast<TSmithChart*>(c.get());
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(s->Isometric());
}

}  // namespace
