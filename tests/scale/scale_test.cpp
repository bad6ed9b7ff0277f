// TScale: property rules, the transform, painted labels and their placement, the
// tick list, painting rules of helpers, and mouse rescaling.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <regex>
#include <string>
#include <vector>

#include "platform/kvrmath.h"
#include "platform/svgcanvas.h"
#include "scale/scale.h"

namespace {

using kvr::TScale;

struct Label {
  double value;
  std::string text;
};

// A stand-alone scale with its window, recording every label text.
struct ScaleFixture : ::testing::Test {
  TScale s{nullptr};
  std::vector<Label> labels;

  void SetUp() override {
    s.SetBounds(0, 0, 300, 60);
    s.CreateWnd();
    s.OnBeforeTickLabel = [this](kvr::TObject*, kvr::TScaleType, double v, std::string& t) {
      labels.push_back({v, t});
    };
  }
  std::vector<std::string> paint() {
    labels.clear();
    s.Repaint();
    std::vector<std::string> out;
    for (const Label& l : labels) out.push_back(l.text);
    return out;
  }
};

using Texts = std::vector<std::string>;

// Left edges of the texts an SVG canvas recorded, by text.
std::vector<std::pair<std::string, int>> svg_texts(const kvr::TMetafileCanvas& mf) {
  std::vector<std::pair<std::string, int>> out;
  const std::string doc = mf.SvgText();
  const std::regex re("<text x=\"(-?[0-9.]+)\"[^>]*>([^<]*)</text>");
  for (auto it = std::sregex_iterator(doc.begin(), doc.end(), re); it != std::sregex_iterator(); ++it)
    out.emplace_back((*it)[2].str(), static_cast<int>(std::lround(std::stod((*it)[1].str()))));
  return out;
}

TEST(ScaleProperties, DefaultsAndSetterRules) {
  TScale s(nullptr);
  EXPECT_EQ(s.Caption(), "");
  EXPECT_EQ(s.CaptionPosX(), 4);
  EXPECT_EQ(s.CaptionAlignment(), kvr::taCenter);
  EXPECT_EQ(s.DecPlaces(), -2);
  EXPECT_EQ(s.FrameStyle(), kvr::rbLowered);
  EXPECT_EQ(s.LabelType(), kvr::ftNum);
  EXPECT_EQ(s.MarginLeft(), 20);
  EXPECT_EQ(s.MinTicks(), 3);
  EXPECT_EQ(s.RangeHigh(), 100);
  EXPECT_TRUE(s.ShortTicks());
  EXPECT_TRUE(s.SuppressPaint());
  EXPECT_EQ(s.DateFormat()->DateOrder(), kvr::doDMY);

  s.SetMinTicks(1);
  EXPECT_EQ(s.MinTicks(), 2);
  s.SetMinTicks(50);
  EXPECT_EQ(s.MinTicks(), 10);
  s.SetMinTicks(0);
  EXPECT_EQ(s.MinTicks(), 0);
  s.SetMarginTop(-5);
  EXPECT_EQ(s.MarginTop(), 0);
  s.SetDecPlaces(-4);
  EXPECT_EQ(s.DecPlaces(), -2);
  s.SetDecPlaces(12);
  EXPECT_EQ(s.DecPlaces(), 12);
}

TEST(ScaleProperties, EqualLimitsPushTheOtherLimit) {
  TScale s(nullptr);
  s.SetRange(5, 7);
  s.SetRangeHigh(5);
  EXPECT_EQ(s.RangeLow(), 6);
  EXPECT_EQ(s.RangeHigh(), 5);
  s.SetRangeLow(5);
  EXPECT_EQ(s.RangeHigh(), 6);
  s.SetRange(3, 3);
  EXPECT_EQ(s.RangeHigh(), 4);
  // Where + 1 is lost in the value's precision the range must still not collapse.
  s.SetRange(1e20, 1e20);
  EXPECT_GT(s.RangeHigh(), s.RangeLow());
}

TEST(ScaleProperties, LogarithmicNeedsPositiveLimitsAndNoDates) {
  TScale s(nullptr);
  s.SetLogarithmic(true);  // 0..100
  EXPECT_FALSE(s.Logarithmic());
  s.SetRange(1, 100);
  s.SetLabelType(kvr::ftDateTime);
  s.SetLogarithmic(true);
  EXPECT_FALSE(s.Logarithmic());
  s.SetLabelType(kvr::ftNum);
  s.SetLogarithmic(true);
  EXPECT_TRUE(s.Logarithmic());
  s.BeginLoading();
  s.SetLogarithmic(false);
  s.SetRange(-1, 1);
  s.SetLogarithmic(true);  // taken while loading
  EXPECT_TRUE(s.Logarithmic());
}

TEST(ScaleTransform, MarginsMapTheLimits) {
  TScale s(nullptr);
  s.SetBounds(0, 0, 100, 100);
  s.SetMarginLeft(10);
  s.SetMarginRight(10);
  s.SetMarginTop(10);
  s.SetMarginBottom(10);
  s.SetRange(0, 1);
  EXPECT_EQ(s.R2M(0), 10);
  EXPECT_EQ(s.R2M(1), 89);
  EXPECT_DOUBLE_EQ(s.M2R(89), 1);
  EXPECT_EQ(s.ConvertToPixelCoords(0.5), 50);  // 49.5 rounds to even
  s.SetScaleType(kvr::sctLeft);
  EXPECT_EQ(s.R2M(1), 10);
  EXPECT_EQ(s.R2M(0), 89);
  s.SetRange(1, 1000);
  s.SetLogarithmic(true);
  EXPECT_EQ(s.R2M(1000), 10);
  EXPECT_EQ(s.R2M(1), 89);
  EXPECT_NEAR(s.ConvertPixelToScale(10), 1000, 1e-9);
}

TEST(ScaleTransform, LogarithmOfNothingGoesToAnEdge) {
  TScale s(nullptr);
  s.SetBounds(0, 0, 200, 150);
  s.SetRange(1, 100);
  s.SetLogarithmic(true);
  EXPECT_EQ(s.R2M(0), 0);
  s.SetRange(100, 1);
  EXPECT_EQ(s.R2M(-3), 200);
  s.SetScaleType(kvr::sctRight);
  EXPECT_EQ(s.R2M(0), 200);  // the width, on vertical axes too
  const int before = s.R2M(100);
  EXPECT_EQ(before, 129);  // 20 + 109: the reversed range puts 100 at the bottom
  s.SetRange(-5, 100);     // the log transform stays as it was
  EXPECT_EQ(s.R2M(100), before);
}

TEST(ScaleTransform, CollapsedAxisAndNonFiniteLimitsAreHarmless) {
  TScale s(nullptr);
  s.SetBounds(0, 0, 30, 30);  // 30 - 20 - 20 - 1 < 1 pixel
  EXPECT_EQ(s.R2M(42), 15);
  EXPECT_EQ(s.M2R(7), s.RangeLow());
  s.SetBounds(0, 0, 300, 60);
  s.CreateWnd();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (kvr::TFigType t : {kvr::ftNum, kvr::ftSeconds, kvr::ftDateTime}) {
    s.SetLabelType(t);
    s.SetRange(nan, 1);
    s.Repaint();
    s.SetRange(-inf, inf);
    s.Repaint();
    s.SetScaleType(kvr::sctLeft);
    s.SetMinTicks(0);
    s.Repaint();
    s.SetScaleType(kvr::sctTop);
  }
  s.SetLabelType(kvr::ftNum);
  s.SetRange(1, 10);
  s.SetLogarithmic(true);
  s.SetRangeLow(-10);
  s.Repaint();
  EXPECT_GT(s.NumTicks(), 0);
}

TEST_F(ScaleFixture, LinearLabelsAndTheTickList) {
  s.SetRange(0, 10);
  s.SetMinTicks(3);
  EXPECT_EQ(paint(), (Texts{"0.0", "5.0", "10.0"}));
  EXPECT_EQ(s.NumTicks(), 14);
  EXPECT_EQ(s.GetTickPos(1), 0);
  EXPECT_EQ(s.GetTickPos(14), 10);
  EXPECT_EQ(s.GetTickPos(15), 0);
  EXPECT_EQ(s.GetTickPos(0), 0);
  s.SetRange(0, 1000);
  EXPECT_EQ(paint(), (Texts{"0", "500", "1000"}));
  s.SetRange(0, 1e7);
  EXPECT_EQ(paint(), (Texts{"0.0", " 5.0E+06", " 1.0E+07"}));  // zero of a wide span
  s.SetRange(1.5, -1.5);  // reversed, zero snapped
  EXPECT_EQ(paint(), (Texts{"1.00", "0.00", "-1.00"}));
}

TEST_F(ScaleFixture, MinTicksIsClampedOnlyOnHorizontalAxes) {
  s.SetMinTicks(0);
  s.SetScaleType(kvr::sctLeft);
  s.SetBounds(0, 0, 80, 300);
  s.SetRange(0, 10);
  EXPECT_EQ(paint(), (Texts{"0.0", "10.0"}));  // as if one interval were asked
  EXPECT_EQ(s.MinTicks(), 0);
  s.SetScaleType(kvr::sctBottom);
  s.SetBounds(0, 0, 300, 60);
  EXPECT_EQ(paint(), (Texts{"0.0", "5.0", "10.0"}));  // two intervals
  EXPECT_EQ(s.MinTicks(), 2);
}

TEST_F(ScaleFixture, TickListKeepsTheFirst250) {
  s.SetRange(1e-50, 1e250);
  s.SetLogarithmic(true);
  s.SetMinTicks(10);
  paint();
  EXPECT_EQ(labels.size(), 301u);  // every decade is drawn
  EXPECT_EQ(s.NumTicks(), 250);
  EXPECT_NEAR(std::log10(s.GetTickPos(250)), 199, 1e-9);
  EXPECT_EQ(s.GetTickPos(251), 0);
}

TEST_F(ScaleFixture, LogarithmicLabels) {
  s.SetRange(1, 1e6);
  s.SetLogarithmic(true);
  s.SetDecPlaces(-3);
  EXPECT_EQ(paint(), (Texts{"0", "1", "2", "3", "4", "5", "6"}));
  s.SetRange(0.01, 10);
  s.SetDecPlaces(-2);
  s.SetMinTicks(10);
  EXPECT_EQ(paint(), (Texts{"0.01", "0.02", "0.05", "0.1", "0.2", "0.5", "1", "2", "5", "10"}));
}

TEST_F(ScaleFixture, UserTextsInscriptionsAndDecPlacesZero) {
  s.SetRange(0, 4);
  s.SetMinTicks(4);
  s.SetLabelType(kvr::ftUserText);
  s.SetUserTickText("Jan|Feb|Mar");
  EXPECT_EQ(paint(), (Texts{"Jan", "Feb", "Mar", "Mar", "Mar"}));
  s.SetLabelType(kvr::ftNum);
  s.SetRange(0, 100);
  s.SetMinTicks(2);
  s.SetScaleInscript("&%");
  EXPECT_EQ(paint(), (Texts{"0%", "50%", "100%"}));
  s.SetScaleInscript("");
  s.SetRange(0, 2);
  s.SetMinTicks(4);
  s.SetDecPlaces(0);
  EXPECT_EQ(paint(), (Texts{"0", "", "1", "", "2"}));
  s.SetLabelType(kvr::ftNoFigs);
  EXPECT_TRUE(paint().empty());
  EXPECT_GT(s.NumTicks(), 0);
}

TEST_F(ScaleFixture, EventMayReplaceTheText) {
  s.SetRange(0, 10);
  s.OnBeforeTickLabel = [](kvr::TObject*, kvr::TScaleType, double v, std::string& t) {
    t = v > 5 ? "end" : t;
  };
  kvr::TMetafileCanvas mf(300, 60);
  s.SetTransparent(true);
  s.UseForeignCanvas(&mf, 0, 0);
  s.Repaint();
  const auto texts = svg_texts(mf);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts.back().first, "end");
}

TEST_F(ScaleFixture, DurationLabels) {
  s.SetLabelType(kvr::ftSeconds);
  s.SetRange(-90, 90);
  s.SetMinTicks(6);
  EXPECT_EQ(paint(), (Texts{"00:01:30", "00:01:00", "00:00:30", "00:00:00", "00:00:30",
                            "00:01:00", "00:01:30"}));
  s.SetRange(0, 1);
  s.SetMinTicks(2);
  s.SetScaleInscript("& s");
  EXPECT_EQ(paint(), (Texts{"00:00:00.000 s", "00:00:00.500 s", "00:00:01.000 s"}));
}

TEST_F(ScaleFixture, DateLineChoices) {
  // 12:00 .. 12:00 the next day in 4 intervals: labels every 6 hours.
  s.SetLabelType(kvr::ftDateTime);
  s.SetRange(kvr::EncodeDate(2024, 3, 9) + 0.5, kvr::EncodeDate(2024, 3, 10) + 0.5);
  s.SetMinTicks(4);
  auto dates = [&] {
    Texts d;
    for (const std::string& t : paint())
      if (t.find(':') == std::string::npos) d.push_back(t);
    return d;
  };
  s.DateFormat()->SetDateForTime(kvr::dftNever);
  EXPECT_EQ(paint(), (Texts{"12:00", "18:00", "00:00", "06:00", "12:00"}));
  s.DateFormat()->SetDateForTime(kvr::dftFirst);
  EXPECT_EQ(dates(), (Texts{"09-Mar-2024"}));
  s.DateFormat()->SetDateForTime(kvr::dftDayChange);
  EXPECT_EQ(dates(), (Texts{"09-Mar-2024", "10-Mar-2024"}));
  s.DateFormat()->SetDateForTime(kvr::dftAlways);
  EXPECT_EQ(dates().size(), 5u);
  // Day ticks never carry a date line.
  s.SetRange(kvr::EncodeDate(2024, 3, 4), kvr::EncodeDate(2024, 4, 8));
  s.SetMinTicks(5);
  s.DateFormat()->SetYearLength(kvr::ylNone);
  EXPECT_EQ(paint(), (Texts{"04-Mar", "11-Mar", "18-Mar", "25-Mar", "01-Apr", "08-Apr"}));
}

TEST(ScalePlacement, HorizontalLabelsStayInsideTheControl) {
  // 300 pixels wide; ticks at pixels 5, 150 and 290 (range 0..100 over 5..290 is
  // not round, so ticks land where the rule says).
  TScale s(nullptr);
  s.SetBounds(0, 0, 300, 60);
  s.SetMarginLeft(5);
  s.SetMarginRight(9);
  s.SetMarginTop(10);
  s.SetScaleType(kvr::sctBottom);
  s.SetTransparent(true);
  s.SetRange(0, 100);
  s.SetMinTicks(2);
  s.OnBeforeTickLabel = [](kvr::TObject*, kvr::TScaleType, double, std::string& t) { t = "WWWWW"; };
  kvr::TMetafileCanvas mf(300, 60);
  s.UseForeignCanvas(&mf, 0, 0);
  s.CreateWnd();
  s.ForcePaint();
  const int half = mf.TextWidth("WWWWW") / 2;
  ASSERT_GT(half, 10);
  const auto texts = svg_texts(mf);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].second, 2);
  EXPECT_EQ(texts[1].second, s.R2M(50) - half);
  EXPECT_EQ(texts[2].second, 300 - 2 * half - 2);
}

TEST(ScalePlacement, DateMessagesReplaceTicks) {
  for (bool vertical : {false, true}) {
    for (bool invalid : {false, true}) {
      TScale s(nullptr);
      s.SetBounds(0, 0, vertical ? 100 : 300, vertical ? 200 : 60);
      s.SetScaleType(vertical ? kvr::sctLeft : kvr::sctBottom);
      s.SetTransparent(true);
      s.SetLabelType(kvr::ftDateTime);
      if (invalid)
        s.SetRange(45000, 44000);
      else
        s.SetRange(45000, 45000 + 0.005 / 86400);
      kvr::TMetafileCanvas mf(300, 200);
      s.UseForeignCanvas(&mf, 0, 0);
      s.CreateWnd();
      s.ForcePaint();
      EXPECT_EQ(s.NumTicks(), 0);
      Texts got;
      for (const auto& t : svg_texts(mf)) got.push_back(t.first);
      Texts want;
      if (!vertical)
        want = {invalid ? "invalid DateTime scale" : "DateTime range is below 1 second"};
      else if (invalid)
        want = {"invalid", "DateTime", "scale"};
      else
        want = {"DateTime", "range is", "below 1", "second"};
      EXPECT_EQ(got, want);
    }
  }
}

TEST(ScalePaintRules, HelpersPaintOnlyWhenForced) {
  TScale s(nullptr);
  s.SetIsHelper(true);
  s.SetTransparent(true);
  s.SetSuppressPaint(true);
  s.SetBounds(0, 0, 200, 50);
  s.CreateWnd();
  int rendered = 0;
  s.OnAfterScaleRendered = [&](kvr::TObject*, kvr::TCanvas*) { ++rendered; };
  kvr::TBitmap target(200, 50);
  s.UseForeignCanvas(target.Canvas(), 0, 0);
  s.SetRange(0, 50);
  s.Update();
  s.Repaint();
  EXPECT_EQ(rendered, 0);
  s.ForcePaint();
  EXPECT_EQ(rendered, 1);
  EXPECT_TRUE(s.SuppressPaint());
  EXPECT_GT(s.NumTicks(), 0);
  s.SetVisible(false);
  s.ForcePaint();
  EXPECT_EQ(rendered, 1);
}

TEST(ScalePaintRules, OpaqueScaleFillsItsBackground) {
  TScale s(nullptr);
  s.SetBounds(0, 0, 200, 50);
  s.SetColorBackGnd(0x00C0FF);
  s.SetFrameStyle(kvr::rbSingle);
  s.CreateWnd();
  s.Update();
  EXPECT_EQ(s.Canvas()->Pixels(100, 5), 0x00C0FF);
  EXPECT_EQ(s.Canvas()->Pixels(0, 0), kvr::clBlack);  // frame
  EXPECT_EQ(s.Canvas()->Pixels(100, 29), kvr::clBlack);  // base line at 50 - 20 - 1
}

TEST(ScalePaintRules, AssignCopiesSettingsButNotMouseBehaviour) {
  TScale a(nullptr), b(nullptr);
  a.SetRange(3, 9);
  a.SetCaption("volts");
  a.SetMouseAction(kvr::maPan);
  a.DateFormat()->SetTimeSeparator('.');
  int zoomed = 0;
  a.OnZoomPan = [&](kvr::TObject*) { ++zoomed; };
  a.OnBeforeTickLabel = [](kvr::TObject*, kvr::TScaleType, double, std::string&) {};
  b.Assign(&a);
  EXPECT_EQ(b.RangeLow(), 3);
  EXPECT_EQ(b.Caption(), "volts");
  EXPECT_EQ(b.DateFormat()->TimeSeparator(), '.');
  EXPECT_EQ(b.MouseAction(), kvr::maNone);
  EXPECT_FALSE(b.OnZoomPan);
  EXPECT_TRUE(b.OnBeforeTickLabel);
  EXPECT_EQ(b.R2M(9), a.R2M(9));
}

TEST(ScaleRescale, ModesByHand) {
  double lo = -1, hi = -1;
  // Shift: +10 pixels of a 100-pixel span move 0..100 down by 10.
  ASSERT_TRUE(kvr::Rescale(60, 10, 50, 10, 140, 60, 20, 20, 20, 20, 0, 100, kvr::maPan, kvr::sctBottom,
                           false, 0, 100, lo, hi));
  EXPECT_DOUBLE_EQ(lo, -10);
  EXPECT_DOUBLE_EQ(hi, 90);
  // Vertical shift runs the other way round.
  ASSERT_TRUE(kvr::Rescale(10, 60, 10, 50, 60, 140, 20, 20, 20, 20, 0, 100, kvr::maPan, kvr::sctLeft,
                           false, 0, 100, lo, hi));
  EXPECT_DOUBLE_EQ(lo, 10);
  EXPECT_DOUBLE_EQ(hi, 110);
  // Logarithmic shift: a tenth of the span is a tenth of the two decades.
  ASSERT_TRUE(kvr::Rescale(60, 10, 50, 10, 140, 60, 20, 20, 20, 20, 1, 100, kvr::maPan, kvr::sctBottom,
                           true, 1, 100, lo, hi));
  EXPECT_NEAR(lo, std::pow(10.0, -0.2), 1e-12);
  EXPECT_NEAR(hi, std::pow(10.0, 1.8), 1e-9);
  // Stretch, right half grabbed: low end fixed, 100 * 80 / 100.
  ASSERT_TRUE(kvr::Rescale(120, 10, 100, 10, 140, 60, 20, 20, 20, 20, 0, 100, kvr::maZoom,
                           kvr::sctBottom, false, 0, 100, lo, hi));
  EXPECT_DOUBLE_EQ(lo, 0);
  EXPECT_DOUBLE_EQ(hi, 80);
  // Stretch, left half grabbed: high end fixed, 100 - 100 * 80 / 90.
  ASSERT_TRUE(kvr::Rescale(30, 10, 40, 10, 140, 60, 20, 20, 20, 20, 0, 100, kvr::maZoom,
                           kvr::sctBottom, false, 0, 100, lo, hi));
  EXPECT_DOUBLE_EQ(hi, 100);
  EXPECT_NEAR(lo, 100 - 800.0 / 9, 1e-12);
  // Stretch, upper half of a vertical axis: (140 - 40 - 20) / (140 - 60 - 20).
  ASSERT_TRUE(kvr::Rescale(10, 60, 10, 40, 60, 140, 20, 20, 20, 20, 0, 100, kvr::maZoom, kvr::sctLeft,
                           false, 0, 100, lo, hi));
  EXPECT_DOUBLE_EQ(lo, 0);
  EXPECT_NEAR(hi, 100 * 80.0 / 60, 1e-12);
  // Zoom about the centre: q = 1 - 10/140.
  ASSERT_TRUE(kvr::Rescale(80, 10, 70, 10, 140, 60, 20, 20, 20, 20, 0, 100, kvr::maZoomDrag,
                           kvr::sctBottom, false, 0, 100, lo, hi));
  EXPECT_NEAR(lo, 50 - 50 * 13.0 / 14, 1e-12);
  EXPECT_NEAR(hi, 50 + 50 * 13.0 / 14, 1e-12);
  // Logarithmic zoom keeps the geometric centre.
  ASSERT_TRUE(kvr::Rescale(10, 90, 10, 20, 60, 140, 20, 20, 20, 20, 1, 100, kvr::maZoomDrag,
                           kvr::sctLeft, true, 1, 100, lo, hi));
  EXPECT_NEAR(lo * hi, 100, 1e-9);
  EXPECT_NEAR(hi, std::pow(10.0, 2.5), 1e-9);
}

TEST(ScaleRescale, RefusesOtherModesAndBrokenResults) {
  double lo = 7, hi = 8;
  EXPECT_FALSE(kvr::Rescale(60, 10, 50, 10, 140, 60, 20, 20, 20, 20, 0, 100, kvr::maNone,
                            kvr::sctBottom, false, 0, 100, lo, hi));
  EXPECT_FALSE(kvr::Rescale(60, 10, 50, 10, 140, 60, 20, 20, 20, 20, -1, 100, kvr::maPan,
                            kvr::sctBottom, true, -1, 100, lo, hi));
  EXPECT_FALSE(kvr::Rescale(20, 10, 100, 10, 140, 60, 20, 20, 20, 20, 0, 100, kvr::maZoom,
                            kvr::sctBottom, false, 0, 100, lo, hi));
  EXPECT_EQ(lo, 7);
  EXPECT_EQ(hi, 8);
}

TEST(ScaleMouse, DragShiftsAndDoubleClickToggles) {
  TScale s(nullptr);
  s.SetBounds(0, 0, 140, 60);
  s.SetScaleType(kvr::sctBottom);
  s.CreateWnd();
  s.SetMouseAction(kvr::maPan);
  int zoomed = 0;
  s.OnZoomPan = [&](kvr::TObject*) { ++zoomed; };
  const kvr::TShiftState left{kvr::ssLeft};
  s.HostMouseDown(kvr::mbLeft, left, 50, 10);
  s.HostMouseMove(left, 50, 10);  // anchors the drag
  EXPECT_EQ(zoomed, 0);
  s.HostMouseMove(left, 60, 10);
  EXPECT_EQ(zoomed, 1);
  EXPECT_DOUBLE_EQ(s.RangeLow(), -10);
  EXPECT_DOUBLE_EQ(s.RangeHigh(), 90);
  s.HostMouseMove(left, 70, 10);  // measured from the anchor, not the last move
  EXPECT_DOUBLE_EQ(s.RangeLow(), -20);
  s.HostMouseMove(left, 10, 10);  // left of the axis: ignored
  EXPECT_DOUBLE_EQ(s.RangeLow(), -20);
  s.HostMouseUp(kvr::mbLeft, {}, 70, 10);
  s.HostMouseMove({}, 90, 10);
  EXPECT_EQ(zoomed, 2);
  EXPECT_FALSE(s.SuppressPaint());

  // A new press anchors afresh.
  s.HostMouseDown(kvr::mbLeft, left, 100, 10);
  s.HostMouseMove(left, 100, 10);
  s.HostMouseMove(left, 90, 10);
  EXPECT_DOUBLE_EQ(s.RangeLow(), -10);

  s.HostMouseUp(kvr::mbLeft, {}, 90, 10);
  s.HostDblClick(90, 10);
  EXPECT_EQ(s.MouseAction(), kvr::maZoom);
  s.HostMouseUp(kvr::mbLeft, {}, 90, 10);
  s.HostDblClick(90, 10);
  EXPECT_EQ(s.MouseAction(), kvr::maPan);
  s.SetMouseAction(kvr::maZoomDrag);
  s.HostDblClick(90, 10);
  EXPECT_EQ(s.MouseAction(), kvr::maZoomDrag);
}

}  // namespace
