// Mouse interaction, driven only through the host entry points. RenderChart's world
// units are chart-area pixels: control pixel (px, py) is world (px - 50, 268 - py).
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <deque>
#include <functional>
#include <vector>

#include "platform/forms.h"
#include "render_util.h"

using namespace kvr;
using kvr::test::RenderChart;

namespace {

constexpr TShiftState kLeft{ssLeft};

struct Ranges {
  double xLo, xHi, yLo, yHi;
};

Ranges ranges(RenderChart& c, Integer layer = 1) {
  return {c.ScalePropsX(layer)->RangeLow(), c.ScalePropsX(layer)->RangeHigh(),
          c.ScalePropsY(layer)->RangeLow(), c.ScalePropsY(layer)->RangeHigh()};
}

void expect_ranges(RenderChart& c, double xLo, double xHi, double yLo, double yHi,
                   Integer layer = 1) {
  const Ranges r = ranges(c, layer);
  EXPECT_NEAR(r.xLo, xLo, 1e-9);
  EXPECT_NEAR(r.xHi, xHi, 1e-9);
  EXPECT_NEAR(r.yLo, yLo, 1e-9);
  EXPECT_NEAR(r.yHi, yHi, 1e-9);
}

// Press, a first move on the spot (it stores the anchors), the given moves, release.
void drag(RenderChart& c, TPoint from, std::vector<TPoint> moves, TMouseButton up = mbLeft) {
  c.HostMouseDown(mbLeft, {}, from.X, from.Y);
  c.HostMouseMove(kLeft, from.X, from.Y);
  for (TPoint p : moves) c.HostMouseMove(kLeft, p.X, p.Y);
  if (up == mbRight) c.HostMouseDown(mbRight, kLeft, moves.back().X, moves.back().Y);
  c.HostMouseUp(up, up == mbRight ? kLeft : TShiftState{}, moves.back().X, moves.back().Y);
  if (up == mbRight) c.HostMouseUp(mbLeft, {}, moves.back().X, moves.back().Y);
}

std::vector<TRGB32> pixels(RenderChart& c) {
  const TBitmap& b = *c.Surface();
  return std::vector<TRGB32>(b.Bits(), b.Bits() + size_t(b.Width()) * size_t(b.Height()));
}

bool same(const std::vector<TRGB32>& a, const std::vector<TRGB32>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(TRGB32)) == 0;
}

// Scripted input for the nested loop of MouseBox: one step per ProcessMessages call.
struct ScriptedHost {
  std::deque<std::function<void()>> steps;
  ScriptedHost() {
    Application().OnHostProcessMessages = [this] {
      if (steps.empty()) return;
      auto s = std::move(steps.front());
      steps.pop_front();
      s();
    };
  }
  ~ScriptedHost() { Application().OnHostProcessMessages = nullptr; }
};

}  // namespace

TEST(MousePan, ModesMoveTheAffectedLayersFromTheAnchorAndRecordOnRelease) {
  RenderChart c;
  int zoomPans = 0;
  c.OnZoomPan = [&](TObject*) { ++zoomPans; };
  c.SetMouseAction(maPan);
  drag(c, {150, 150}, {{155, 145}, {160, 140}});
  expect_ranges(c, -10, 330, -10, 242);
  expect_ranges(c, 0, 340, 0, 252, 2);
  EXPECT_EQ(zoomPans, 2);
  EXPECT_DOUBLE_EQ(c.ZoomStack(1, 0).Left, -10);
  EXPECT_DOUBLE_EQ(c.ZoomStack(1, -1).Left, 0);

  // A click without a drag records nothing.
  c.HostMouseDown(mbLeft, {}, 100, 100);
  c.HostMouseUp(mbLeft, {}, 100, 100);
  EXPECT_DOUBLE_EQ(c.ZoomStack(1, -1).Left, 0);

  c.SetMAffLayer(2, true);
  c.SetMouseAction(maPanHoriz);
  drag(c, {150, 150}, {{140, 160}});
  expect_ranges(c, 0, 340, -10, 242);
  expect_ranges(c, 10, 350, 0, 252, 2);
  c.SetMouseAction(maPanVert);
  drag(c, {150, 150}, {{140, 160}, {395, 160}});  // the last move is outside: ignored
  expect_ranges(c, 0, 340, 0, 252);

  c.SetMouseAction(maPanGrid);
  c.SetPanGridDx(5);
  c.SetPanGridOffsX(1);
  c.SetPanGridDy(0);
  drag(c, {150, 150}, {{157, 153}});
  expect_ranges(c, -4, 336, 3, 255);
}

TEST(MousePan, LogarithmicAxisPansByFactorAndIgnoresThePanGrid) {
  RenderChart c;
  c.SetRange(1, 1, 0, 1e4, 252);
  c.Scale1X()->SetLogarithmic(true);
  c.SetMouseAction(maPan);
  drag(c, {200, 150}, {{115, 150}});
  EXPECT_NEAR(c.Scale1X()->RangeLow(), 10, 1e-9);
  EXPECT_NEAR(c.Scale1X()->RangeHigh(), 1e5, 1e-6);
  c.SetMouseAction(maPanGrid);
  drag(c, {200, 150}, {{115, 140}});
  EXPECT_NEAR(c.Scale1X()->RangeLow(), 10, 1e-9);
  EXPECT_NEAR(c.Scale1Y()->RangeLow(), -10, 1e-9);
}

TEST(MouseZoom, WindowKeepsDraggedOrderInMode7AndAxisOrderInMode8) {
  RenderChart c;
  int zoomPans = 0;
  c.OnZoomPan = [&](TObject*) { ++zoomPans; };
  c.SetMouseAction(maZoomWind);
  drag(c, {100, 200}, {{150, 150}, {200, 100}});
  expect_ranges(c, 50, 150, 68, 168);
  EXPECT_EQ(zoomPans, 1);
  EXPECT_DOUBLE_EQ(c.ZoomStack(1, 0).Right, 150);

  c.SetRange(1, 0, 0, 340, 252);
  drag(c, {200, 100}, {{100, 200}});
  expect_ranges(c, 150, 50, 168, 68);

  c.SetRange(1, 0, 0, 340, 252);
  c.SetMouseAction(maZoomWindPos);
  drag(c, {200, 100}, {{100, 200}});
  expect_ranges(c, 50, 150, 68, 168);

  // No width: nothing changes and nothing is recorded.
  const TRectDouble newest = c.ZoomStack(1, 0);
  drag(c, {120, 100}, {{120, 200}});
  expect_ranges(c, 50, 150, 68, 168);
  EXPECT_TRUE(c.ZoomStack(1, 0) == newest);
  EXPECT_EQ(c.ZoomState(), 0);
}

TEST(MouseZoom, IsometricWindowIsSquareAndCornersAreClamped) {
  RenderChart c;
  c.SetIsometric(true);
  c.SetMouseAction(maZoomWind);
  double x1, y1, x2, y2;
  c.M2R(1, 100, 200, x1, y1);
  c.M2R(1, 200, 100, x2, y2);  // dragging to (200, 150) is forced to (200, 100)
  drag(c, {100, 200}, {{200, 150}});
  expect_ranges(c, x1, x2, y1, y2);

  c.SetIsometric(false);
  c.SetRange(1, 0, 0, 340, 252);
  drag(c, {100, 200}, {{1000, -1000}});
  expect_ranges(c, 50, 340, 68, 252);
}

TEST(MouseZoom, DragZoomScalesAboutTheAnchorCentre) {
  RenderChart c;
  c.SetMouseAction(maZoomDrag);
  drag(c, {150, 150}, {{184, 150}});
  const double h = 170 * (1 - 34.0 / 400);
  expect_ranges(c, 170 - h, 170 + h, 0, 252);
  c.SetRange(1, 0, 0, 340, 252);
  drag(c, {150, 150}, {{150, 120}});
  expect_ranges(c, 0, 340, 126 - 113.4, 126 + 113.4);
  EXPECT_NEAR(c.ZoomStack(1, 0).Top, 239.4, 1e-9);
}

TEST(MouseBands, RubberBandAndSelectRectReportWithoutChangingRanges) {
  RenderChart c;
  c.SetMAffLayer(2, true);
  std::vector<std::vector<double>> rubber, select;
  int zoomPans = 0;
  c.OnRubberBand = [&](TObject*, Integer l, double a, double b, double d, double e) {
    rubber.push_back({double(l), a, b, d, e});
  };
  c.OnSelectRect = [&](TObject*, Integer l, double a, double b, double d, double e) {
    select.push_back({double(l), a, b, d, e});
  };
  c.OnZoomPan = [&](TObject*) { ++zoomPans; };
  c.SetMouseAction(maRubberBand);
  drag(c, {200, 100}, {{100, 200}});
  ASSERT_EQ(rubber.size(), 2u);
  EXPECT_EQ(rubber[0], (std::vector<double>{1, 150, 168, 50, 68}));
  EXPECT_EQ(rubber[1][0], 2);

  c.SetMouseAction(maSelectRect);
  c.Scale1Y()->SetRangeLow(300);  // descending Y: y1 >= y2
  drag(c, {200, 100}, {{100, 200}});
  ASSERT_EQ(select.size(), 2u);
  EXPECT_EQ(select[1], (std::vector<double>{2, 50, 68, 150, 168}));
  EXPECT_GT(select[0][2], select[0][4]);
  EXPECT_EQ(zoomPans, 2);
  expect_ranges(c, 0, 340, 0, 252, 2);

  drag(c, {200, 100}, {{100, 200}}, mbRight);
  EXPECT_EQ(select.size(), 2u);
}

TEST(MouseBands, XorBandIsDrawnAndRemovedWithoutTrace) {
  for (TMouseActMode mode : {maRubberBand, maZoomWind, maSelectRect}) {
    RenderChart c;
    c.SetMouseAction(mode);
    c.Repaint();
    const auto before = pixels(c);
    c.HostMouseDown(mbLeft, {}, 100, 200);
    c.HostMouseMove(kLeft, 150, 150);
    EXPECT_FALSE(same(before, pixels(c)));
    c.HostMouseMove(kLeft, 300, 60);
    c.HostMouseMove(kLeft, 300, 250);
    EXPECT_EQ(c.ZoomState(), 1);
    c.HostMouseDown(mbRight, kLeft, 300, 250);
    c.HostMouseUp(mbRight, kLeft, 300, 250);
    EXPECT_EQ(c.ZoomState(), 0);
    EXPECT_TRUE(same(before, pixels(c))) << int(mode);
    c.HostMouseUp(mbLeft, {}, 300, 250);
    expect_ranges(c, 0, 340, 0, 252);
    // A release without width or height still takes the band away.
    c.HostMouseDown(mbLeft, {}, 100, 200);
    c.HostMouseMove(kLeft, 100, 100);
    c.HostMouseUp(mbLeft, {}, 100, 100);
    EXPECT_TRUE(same(before, pixels(c))) << int(mode);
  }
}

TEST(MouseClicks, DoubleClickTogglesAxisActionAndSwallowsThePressThatFollows) {
  RenderChart c;
  int downs = 0, ups = 0;
  c.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { ++downs; };
  c.OnMouseUp = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { ++ups; };
  auto dblclick = [&](Integer x, Integer y) {
    c.HostMouseMove({}, x, y);
    c.HostMouseDown(mbLeft, {}, x, y);
    c.HostMouseUp(mbLeft, {}, x, y);
    c.HostDblClick(x, y);
    c.HostMouseUp(mbLeft, {}, x, y);
  };
  c.Scale1X()->SetMouseAction(maPan);
  dblclick(200, 280);
  EXPECT_EQ(c.Scale1X()->MouseAction(), maZoom);
  dblclick(200, 280);
  EXPECT_EQ(c.Scale1X()->MouseAction(), maPan);
  c.Scale1Y()->SetMouseAction(maZoomDrag);
  dblclick(30, 100);
  EXPECT_EQ(c.Scale1Y()->MouseAction(), maZoomDrag);
  EXPECT_EQ(downs, 3);
  EXPECT_EQ(ups, 3);

  c.SetMouseAction(maZoomWind);
  dblclick(150, 150);
  EXPECT_EQ(c.ZoomState(), 0);
  c.HostMouseDown(mbLeft, {}, 150, 150);
  EXPECT_EQ(c.ZoomState(), 1);
}

TEST(MouseAxes, DragOnAnAxisRescalesThroughItsMouseAction) {
  RenderChart c;
  int zoomPans = 0;
  c.OnZoomPan = [&](TObject*) { ++zoomPans; };
  drag(c, {150, 280}, {{160, 280}});  // axis action none
  expect_ranges(c, 0, 340, 0, 252);
  c.Scale1X()->SetMouseAction(maPan);
  c.Scale1Y()->SetMouseAction(maPan);
  drag(c, {150, 280}, {{160, 280}});
  expect_ranges(c, -10, 330, 0, 252);
  drag(c, {20, 100}, {{20, 110}});
  expect_ranges(c, -10, 330, 10, 262);
  EXPECT_EQ(zoomPans, 2);
  // Stretch with the far end fixed: grabbing the right half moves only the high end.
  c.SetRange(1, 0, 0, 340, 252);
  c.Scale1X()->SetMouseAction(maZoom);
  drag(c, {220, 280}, {{135, 280}});
  expect_ranges(c, 0, 340 * 170.0 / 85, 0, 252);
}

TEST(MouseBox, EndsByReleaseRightButtonOrAbort) {
  RenderChart c;
  c.Repaint();
  const auto before = pixels(c);
  double xLo, yLo, xHi, yHi;
  {
    ScriptedHost host;
    host.steps = {[&] { c.HostMouseDown(mbLeft, {}, 200, 100); },
                  [&] { c.HostMouseMove(kLeft, 150, 150); },
                  [&] { c.HostMouseMove(kLeft, 100, 200); },
                  [&] { c.HostMouseUp(mbLeft, {}, 100, 200); }};
    ASSERT_TRUE(c.MouseBox(xLo, yLo, xHi, yHi));
    EXPECT_EQ(std::vector<double>({xLo, yLo, xHi, yHi}), std::vector<double>({50, 68, 150, 168}));
    EXPECT_TRUE(same(before, pixels(c)));

    host.steps = {[&] { c.HostMouseDown(mbLeft, {}, 200, 100); },
                  [&] { c.HostMouseMove(kLeft, 150, 150); },
                  [&] { c.HostMouseUp(mbRight, kLeft, 150, 150); }};
    EXPECT_FALSE(c.MouseBox(xLo, yLo, xHi, yHi));
    EXPECT_TRUE(same(before, pixels(c)));
    host.steps = {[&] { c.HostMouseDown(mbRight, {}, 200, 100); }};
    EXPECT_FALSE(c.MouseBox(xLo, yLo, xHi, yHi));
    host.steps = {[&] { c.HostMouseDown(mbLeft, {}, 200, 100); },
                  [&] { c.HostMouseMove(kLeft, 150, 150); }, [&] { c.MouseBoxAbort(); }};
    EXPECT_FALSE(c.MouseBox(xLo, yLo, xHi, yHi));
    EXPECT_TRUE(same(before, pixels(c)));
    // A hidden chart gets no input: no endless wait.
    c.SetVisible(false);
    EXPECT_FALSE(c.MouseBox(xLo, yLo, xHi, yHi));
    c.SetVisible(true);
  }
  // Without a host no input can come: the box gives up at once.
  EXPECT_FALSE(c.MouseBox(xLo, yLo, xHi, yHi));
}

TEST(MouseOverlays, CrossHairDragPicksTheNearestAndHonoursTheVeto) {
  RenderChart c;
  for (Integer k = 1; k <= 4; ++k) {
    c.CrossHairSetup(k, 0x0000FF, chVert, psSolid, 1);
    c.CrossHairSetPos(k, 50.0 * k, 10);
  }
  c.CrossHairSetPos(4, 150, 10);  // ties with 3: the lower number wins
  c.SetMouseAction(maDragCrossHair);
  std::vector<std::vector<Integer>> asked;
  std::vector<Integer> moved;
  bool allow = false;
  c.OnBeforeCrossHairMove = [&](TObject*, Integer w, Integer dx, Integer dy, bool& a) {
    asked.push_back({w, dx, dy});
    a = allow;
  };
  c.OnCrossHairMove = [&](TObject*, Integer w) { moved.push_back(w); };
  c.HostMouseDown(mbLeft, {}, 160, 100);
  c.HostMouseMove(kLeft, 160, 100);
  c.HostMouseMove(kLeft, 170, 100);
  EXPECT_EQ(c.CHPosX(2), 100);
  allow = true;
  c.HostMouseMove(kLeft, 190, 100);
  c.HostMouseMove(kLeft, 175, 110);
  c.HostMouseUp(mbLeft, {}, 175, 110);
  EXPECT_EQ(asked, (std::vector<std::vector<Integer>>{{2, 10, -158}, {2, 20, -158}, {3, -10, -158}}));
  EXPECT_EQ(moved, std::vector<Integer>{3});
  EXPECT_EQ(c.CHPosX(3), 125);
  EXPECT_EQ(c.CHPosY(3), 158);
  EXPECT_EQ(c.Ctl(175, 150), 0x0000FF);
}

TEST(MouseOverlays, TextLabelDragFollowsAttachMode) {
  RenderChart c;
  c.ClearAllTextLabels();
  c.AddTextLabel(100, 100, 0, "a", 0);
  c.AddTextLabel(200, 200, 0, "b", 0);
  c.TextLabels(1)->SetAttachToData(tamNone);  // (100, 100) in control pixels
  std::vector<Integer> moved;
  c.OnTextLabelMove = [&](TObject*, Integer w) { moved.push_back(w); };
  c.SetMouseAction(maDragLabel);
  drag(c, {255, 70}, {{240, 80}});
  EXPECT_DOUBLE_EQ(c.TextLabels(2)->PosX(), 190);
  EXPECT_DOUBLE_EQ(c.TextLabels(2)->PosY(), 188);
  drag(c, {105, 95}, {{120, 90}});
  EXPECT_DOUBLE_EQ(c.TextLabels(1)->PosX(), 120);
  EXPECT_DOUBLE_EQ(c.TextLabels(1)->PosY(), 90);
  EXPECT_EQ(moved, (std::vector<Integer>{2, 1}));
}

TEST(MouseOverlays, TraceStrokesEndOnReleaseAndStopAt5000Points) {
  RenderChart c;
  c.SetMouseAction(maMouseTrace);
  c.Repaint();
  const TColor before = c.Ctl(120, 150);
  drag(c, {100, 150}, {{140, 150}, {140, 500}});
  ASSERT_EQ(c.NumMTracePoints(), 3);
  EXPECT_EQ(c.MouseTrace(3).Y, 0);  // clamped to the chart area's bottom
  EXPECT_EQ(c.MouseTrace(3).Flags, kTraceInverted | kTraceStrokeEnd);
  EXPECT_EQ(c.MouseTrace(1).Flags, kTraceInverted);
  EXPECT_NE(c.Ctl(120, 150), before);
  c.HostMouseDown(mbLeft, {}, 100, 100);
  for (int i = 0; i < 5100; ++i) c.HostMouseMove(kLeft, 100 + i % 200, 100);
  EXPECT_EQ(c.NumMTracePoints(), 5000);
}

TEST(MouseCursor, FixedShowsDefaultElseTheModesCursor) {
  RenderChart c;
  EXPECT_EQ(Screen().Cursors(1)->Name, "CURHAND");
  EXPECT_EQ(Screen().Cursors(4)->Name, "CURZOOMP");
  c.SetMouseAction(maPan);
  c.HostMouseMove({}, 150, 150);
  EXPECT_EQ(Screen().Cursor(), crDefault);
  c.SetMouseCursorFixed(false);
  const std::vector<std::pair<TMouseActMode, TCursor>> table{
      {maNone, crCross}, {maPan, 1}, {maZoomWind, 2}, {maZoomDrag, 3}, {maZoomWindPos, 4},
      {maSelectRect, crDefault}, {maMouseTrace, crDefault}, {maZoomWind, 2}};
  for (auto [mode, cursor] : table) {
    c.SetMouseAction(mode);
    c.HostMouseMove({}, 150, 150);
    EXPECT_EQ(Screen().Cursor(), cursor) << int(mode);
  }
  c.HostMouseMove({}, 10, 10);
  EXPECT_EQ(Screen().Cursor(), crDefault);
  c.HostMouseEnter();
  c.HostMouseMove({}, 150, 150);
  c.HostMouseLeave();
  EXPECT_EQ(Screen().Cursor(), crDefault);
}

TEST(MouseMoveInChart, ReportsWorldPositionAndWhetherInside) {
  RenderChart c;
  std::vector<std::vector<double>> seen;
  c.OnMouseMoveInChart = [&](TObject*, bool in, TShiftState, double x, double y) {
    seen.push_back({double(in), x, y});
  };
  c.HostMouseMove({}, 150, 100);
  c.HostMouseMove({}, 10, 100);
  EXPECT_EQ(seen, (std::vector<std::vector<double>>{{1, 100, 168}, {0, -40, 168}}));
  EXPECT_EQ(c.MousePosX(), 100);
  EXPECT_EQ(c.MousePosY(), 168);
}

TEST(MouseRobustness, DegenerateChartsAndWildCoordinatesDoNotFail) {
  for (TMouseActMode mode : {maPan, maPanGrid, maZoomWind, maZoomWindPos, maZoomDrag,
                             maDragCrossHair, maDragLabel, maMouseTrace, maSelectRect}) {
    RenderChart c;
    c.SetMouseAction(mode);
    c.Scale1X()->SetMouseAction(maZoom);
    c.SetBounds(0, 0, 40, 30);  // margins larger than the control
    drag(c, {45, 20}, {{INT_MAX, INT_MIN}, {30, 60}});
    c.SetBounds(0, 0, 0, 0);
    EXPECT_NO_THROW(drag(c, {0, 0}, {{1, 1}, {-5, 7}}));
  }
  // A logarithmic axis with a limit <= 0 (possible from a stored form): no range change,
  // no exception.
  RenderChart c;
  c.SetMouseAction(maPan);
  c.BeginLoading();
  c.Scale1X()->SetRangeLow(0);
  c.Scale1X()->SetLogarithmic(true);
  EXPECT_THROW(c.Loaded(), EKvrZUvadoError);
  EXPECT_NO_THROW(drag(c, {150, 150}, {{180, 120}}));
  EXPECT_EQ(c.Scale1Y()->RangeLow(), 0);
}
