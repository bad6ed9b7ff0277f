// States a chart must never reach: a logarithmic axis that makes painting fail, and a
// zoom history that a single drag with joint layers fills up.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "render_util.h"

using namespace kvr;
using kvr::test::RenderChart;

namespace {

constexpr TShiftState kLeft{ssLeft};
constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;

// RenderChart's geometry without a window: everything a program sets up in code before
// the chart is shown.
class CodeChart : public TZUvado {
 public:
  CodeChart() : TZUvado(nullptr) {
    SetBounds(0, 0, 400, 300);
    SetMarginLeft(50);
    SetMarginRight(10);
    SetMarginTop(16);
    SetMarginBottom(32);
    SetRange(1, 0, 0, 340, 252);
    SetRange(2, 0, 0, 340, 252);
    SetDataColor(kRed);
    SetFillColor(kRed);
    Rectangle(20.0, 30.0, 60.0, 70.0);
    SetActiveLayer(2);
    SetDataColor(kBlue);
    SetFillColor(kBlue);
    Rectangle(200.0, 100.0, 260.0, 160.0);
    SetActiveLayer(1);
    // World-attached overlays of layer 1.
    CrossHairSetup(1, kRed, chBoth, psSolid, 1);
    CrossHairSetPos(1, 100, 100);
  }
};

std::vector<TRGB32> pixels(const TBitmap& b) {
  return std::vector<TRGB32>(b.Bits(), b.Bits() + size_t(b.Width()) * size_t(b.Height()));
}

bool same(const TBitmap& a, const TBitmap& b) {
  const auto pa = pixels(a), pb = pixels(b);
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         std::memcmp(pa.data(), pb.data(), pa.size() * sizeof(TRGB32)) == 0;
}

}  // namespace

TEST(ZuChartState, WindowCountsAsLoadedForTheLogarithmicSwitch) {
  TZUvado c(nullptr);
  c.SetBounds(0, 0, 400, 300);
  c.CreateWnd();
  for (Integer k = 1; k <= 2; ++k) {
    EXPECT_FALSE(c.ScalePropsX(k)->NotYetLoaded());
    EXPECT_FALSE(c.ScalePropsY(k)->NotYetLoaded());
  }
  // Refused without a message, as after loading; painting goes on working.
  EXPECT_NO_THROW(c.Scale1Y()->SetLogarithmic(true));
  EXPECT_FALSE(c.Scale1Y()->Logarithmic());
  EXPECT_EQ(c.UnmappedAxes(1), 0u);
  EXPECT_NO_THROW(c.Repaint());
  c.SetRange(1, 0, 1, 1, 100);
  c.Scale1Y()->SetLogarithmic(true);
  EXPECT_TRUE(c.Scale1Y()->Logarithmic());
  c.Scale1Y()->SetLogarithmic(false);

  // A stand-alone property object has never loaded; copying it in keeps the chart's state.
  TScalePropsVert fresh;
  c.SetScale1Y(&fresh);
  EXPECT_FALSE(c.Scale1Y()->NotYetLoaded());
  c.Scale1Y()->SetLogarithmic(true);  // range 0 .. 1
  EXPECT_FALSE(c.Scale1Y()->Logarithmic());
}

TEST(ZuChartState, PaintLeavesOutWhatAnUnmappableAxisCarries) {
  CodeChart bad;
  // Before the chart is shown the flag is taken and the transform refuses it.
  EXPECT_THROW(bad.Scale1Y()->SetLogarithmic(true), EKvrZUvadoError);
  ASSERT_TRUE(bad.Scale1Y()->Logarithmic());
  bad.CreateWnd();
  ASSERT_NO_THROW(bad.Repaint());
  EXPECT_EQ(bad.UnmappedAxes(1), 2u);
  EXPECT_EQ(bad.UnmappedAxes(2), 0u);

  // The picture: the chart without the Y axis of pair 1 and without pair 1's world
  // drawing; layer 2 and the rest as usual.
  CodeChart ref;
  ref.SetLayerVisible(1, false);
  ref.CrossHair1()->SetVisible(false);
  ref.Scale1Y()->SetVisible(false);
  ref.CreateWnd();
  ref.Repaint();
  EXPECT_TRUE(same(*bad.Surface(), *ref.Surface()));
  TBitmap a, b;
  ASSERT_NO_THROW(bad.CopyToBitmap(&a, false));
  ref.CopyToBitmap(&b, false);
  EXPECT_TRUE(same(a, b));
  EXPECT_TRUE(same(*bad.Surface(), *ref.Surface()));

  // A usable range brings the axis back.
  bad.Scale1Y()->SetRangeLow(1);
  EXPECT_EQ(bad.UnmappedAxes(1), 0u);
  bad.Repaint();
  EXPECT_FALSE(same(*bad.Surface(), *ref.Surface()));
}

TEST(ZuChartState, RaisingAdjustScalingMarksTheAxesItLeftOld) {
  CodeChart c;
  EXPECT_THROW(c.Scale1X()->SetLogarithmic(true), EKvrZUvadoError);
  // X1 failed first: it and every later axis keep an old transform.
  EXPECT_EQ(c.UnmappedAxes(1), 3u);
  EXPECT_EQ(c.UnmappedAxes(2), 3u);
  c.CreateWnd();
  c.Repaint();
  EXPECT_EQ(c.UnmappedAxes(1), 1u);
  EXPECT_EQ(c.UnmappedAxes(2), 0u);
}

namespace {

// Press, a move on the spot (it stores the anchors), the moves, release.
void drag(RenderChart& c, TPoint from, const std::vector<TPoint>& moves) {
  c.HostMouseDown(mbLeft, {}, from.X, from.Y);
  c.HostMouseMove(kLeft, from.X, from.Y);
  for (TPoint p : moves) c.HostMouseMove(kLeft, p.X, p.Y);
  c.HostMouseUp(mbLeft, {}, moves.back().X, moves.back().Y);
}

std::vector<TPoint> steps(TPoint from, int n, int dx, int dy) {
  std::vector<TPoint> v;
  for (int i = 1; i <= n; ++i) v.push_back({from.X + i * dx, from.Y + i * dy});
  return v;
}

int recorded(RenderChart& c) {
  int n = 0;
  for (Integer i = -15; i <= 0; ++i) n += !(c.ZoomStack(1, i) == TRectDouble{});
  return n;
}

}  // namespace

TEST(ZuChartState, OneDragIsOneHistoryEntryWithJointLayers) {
  struct Gesture {
    TMouseActMode mode;
    bool joinX;
  };
  for (const Gesture g : {Gesture{maPan, true}, Gesture{maPan, false},
                          Gesture{maZoomDrag, true}, Gesture{maZoomDrag, false}}) {
    SCOPED_TRACE(testing::Message() << "mode " << int(g.mode) << (g.joinX ? " x" : " y"));
    RenderChart joint, plain;
    for (RenderChart* c : {&joint, &plain}) {
      c->SetRange(2, 10, 20, 30, 40);
      c->SetMouseAction(g.mode);
    }
    if (g.joinX)
      joint.JointLayers()->SetL02xControlledBy(1);
    else
      joint.JointLayers()->SetL02yControlledBy(1);
    joint.SetRange(2, 10, 20, 30, 40);  // the free direction, recorded like in plain
    const TRectDouble before1 = joint.ZoomStack(1, 0), before2 = joint.ZoomStack(2, 0);
    const int entries = recorded(joint), plainEntries = recorded(plain);
    ASSERT_LT(entries, 10);

    for (RenderChart* c : {&joint, &plain}) drag(*c, {150, 150}, steps({150, 150}, 20, 2, -1));
    EXPECT_EQ(recorded(plain), plainEntries + 1);
    EXPECT_EQ(recorded(joint), entries + 1);
    EXPECT_EQ(joint.ZoomStack(1, -1), before1);
    EXPECT_EQ(joint.ZoomStack(2, -1), before2);
    // The newest entry is the view after the drag, the follower included.
    EXPECT_EQ(joint.ZoomStack(1, 0).Left, joint.Scale1X()->RangeLow());
    EXPECT_EQ(joint.ZoomStack(2, 0).Left, joint.Scale2X()->RangeLow());
    EXPECT_EQ(joint.ZoomStack(2, 0).Top, joint.Scale2Y()->RangeHigh());

    // Back returns to the view before the drag on both pairs.
    joint.ZoomHistory(-1);
    EXPECT_EQ(joint.Scale1X()->RangeLow(), before1.Left);
    EXPECT_EQ(joint.Scale1Y()->RangeHigh(), before1.Top);
    EXPECT_EQ(joint.Scale2X()->RangeLow(), before2.Left);
    EXPECT_EQ(joint.Scale2Y()->RangeHigh(), before2.Top);
  }
}

TEST(ZuChartState, AxisDragWithJointLayersRecordsLikeWithout) {
  RenderChart joint, plain;
  joint.JointLayers()->SetL02xControlledBy(1);
  for (RenderChart* c : {&joint, &plain}) {
    c->Scale1X()->SetMouseAction(maPan);
    c->ClearZoomHistory();
    drag(*c, {150, 280}, steps({150, 280}, 10, 1, 0));
  }
  EXPECT_EQ(joint.Scale1X()->RangeLow(), plain.Scale1X()->RangeLow());
  EXPECT_EQ(joint.Scale2X()->RangeLow(), joint.Scale1X()->RangeLow());
  EXPECT_EQ(recorded(joint), recorded(plain));
}
