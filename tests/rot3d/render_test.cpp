// TRot3D pictures: the drawing order of faces, axes, hidden edges, items and frame edges
// checked by pixels, the cube styles, marks and their labels, colours past the table,
// line widths, breaks at bad points, the events, and a control without size.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "rot3d/rot3d.h"

namespace {

using kvr::TColor;
using kvr::TRot3D;

constexpr TColor kBg = kvr::clWhite;
constexpr TColor kFrame = 0x404040;
constexpr TColor kHidden = 0xB0B0B0;
constexpr TColor kFaceHigh = 0xEEEEEE;

// Seen from straight above: model x right, y down, 4 model units to a pixel, world =
// model. The cube spans pixels 50..250; its frame edges are the top and left sides, its
// hidden edges the bottom and right sides.
struct TopView : ::testing::Test {
  TRot3D r{nullptr};
  void SetUp() override {
    r.SetBounds(0, 0, 300, 300);
    r.CreateWnd();
    r.SetFrameStyle(kvr::rbNone);
    r.SetShowAxes(false);
    r.SetViewAngles(0, 0, 0);
    r.SetMagnify(1.0);
    r.SetAutoOrigin(false);
    r.SetAutoScale(false);
    r.SetScaleFactors(1, 1, 1);
    r.SetOrigins(0, 0, 0);
  }
  TColor px(int x, int y) {
    r.Update();
    return r.Surface()->Canvas()->Pixels(x, y);
  }
  // A red line along the top edge and a blue one along the right edge.
  void edge_lines() {
    r.SetColorData(kvr::clRed);
    r.Line(-600, -400, 0, 600, -400, 0);
    r.SetColorData(kvr::clBlue);
    r.Line(400, -600, 0, 400, 600, 0);
    r.MakeVisible();
  }
};

TEST_F(TopView, FrameEdgesOverItemsHiddenEdgesUnder) {
  edge_lines();
  EXPECT_EQ(px(150, 50), kFrame);
  EXPECT_EQ(px(20, 50), kvr::clRed);
  EXPECT_EQ(px(250, 150), kvr::clBlue);
  EXPECT_EQ(px(250, 20), kvr::clBlue);
  EXPECT_EQ(px(150, 150), kFaceHigh);  // the face towards the viewer, fully lit
  EXPECT_EQ(px(150, 250), kHidden);
  EXPECT_EQ(px(50, 150), kFrame);
  EXPECT_EQ(px(20, 150), kBg);
}

TEST_F(TopView, CubeStyles) {
  edge_lines();
  r.SetBoundBoxStyle(kvr::bbFrame);
  EXPECT_EQ(px(150, 150), kBg);
  EXPECT_EQ(px(150, 50), kFrame);
  EXPECT_EQ(px(150, 250), kHidden);
  r.SetBoundBoxStyle(kvr::bbNone);
  EXPECT_EQ(px(150, 50), kvr::clRed);
  EXPECT_EQ(px(50, 150), kBg);
  EXPECT_EQ(px(150, 250), kBg);
  EXPECT_EQ(px(150, 150), kBg);
}

TEST_F(TopView, AxesInsideAndOutsideTheBoxUnderTheItems) {
  r.SetShowAxes(true);
  r.SetAxNameX("");
  r.SetAxNameY("");
  r.SetAxNameZ("");
  r.SetColorData(kvr::clRed);
  r.Line(200, -600, 0, 200, 600, 0);  // crosses the x axis at pixel 200
  r.MakeVisible();
  EXPECT_EQ(px(180, 150), kHidden);
  EXPECT_EQ(px(280, 150), kFrame);
  EXPECT_EQ(px(150, 200), kHidden);
  EXPECT_EQ(px(150, 280), kFrame);
  EXPECT_EQ(px(200, 150), kvr::clRed);
  r.SetAxSize(200);  // shorter than the box: no outer part
  EXPECT_EQ(px(180, 150), kHidden);
  EXPECT_EQ(px(220, 150), kFaceHigh);
}

TEST_F(TopView, NothingShowsBeforeMakeVisible) {
  r.SetColorData(kvr::clRed);
  r.Line(-600, -400, 0, 600, -400, 0);
  r.Repaint();
  EXPECT_EQ(px(20, 50), kBg);
  r.MakeVisible();
  EXPECT_EQ(px(20, 50), kvr::clRed);
  r.Clear();
  r.Repaint();
  EXPECT_EQ(px(20, 50), kBg);
}

TEST_F(TopView, MarksAskForLabels) {
  r.SetColorData(kvr::clGreen);
  r.MarkAt(0, 0, 0, 12);    // solid square
  r.MarkAt(200, 0, 0, 65);  // character: no label
  std::vector<int> asked;
  r.OnLblRequest = [&](kvr::TObject* s, kvr::Integer obj, std::string& text, kvr::Integer& dx, kvr::Integer& dy,
                       kvr::TAlignment& ha, kvr::TVerticalAlignment& va) {
    EXPECT_EQ(s, &r);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
    EXPECT_EQ(ha, kvr::taCenter);
    EXPECT_EQ(va, kvr::vaCenter);
    asked.push_back(obj);
    text = "WWW";
    dx = -120;
    dy = -120;
    ha = kvr::taLeftJustify;
    va = kvr::vaTop;
  };
  r.MakeVisible();
  EXPECT_EQ(px(150, 150), kvr::clGreen);
  EXPECT_EQ(asked, std::vector<int>{0});
  // The label's top-left corner lies at (30, 30), outside the cube.
  int inked = 0;
  for (int y = 30; y < 45; ++y)
    for (int x = 30; x < 60; ++x) inked += px(x, y) != kBg;
  EXPECT_GT(inked, 10);
  int before = 0;
  for (int y = 15; y < 30; ++y)
    for (int x = 15; x < 30; ++x) before += px(x, y) != kBg;
  EXPECT_EQ(before, 0);
}

TEST_F(TopView, ColoursPastTheTableDrawInItsLastEntry) {
  r.SetBoundBoxStyle(kvr::bbNone);
  for (int i = 0; i < 40; ++i) {
    r.SetColorData(0x200000 + i);
    r.MarkAt(-500 + 20 * i, 0, 0, 0);
  }
  r.MakeVisible();
  EXPECT_EQ(px(25, 150), TColor(0x200000));
  EXPECT_EQ(px(25 + 5 * 14, 150), TColor(0x20000E));
  for (int i = 15; i < 40; ++i) EXPECT_EQ(px(25 + 5 * i, 150), r.ItemColor(31)) << i;
}

TEST_F(TopView, LineWidthAndBreaksAtBadPoints) {
  r.SetBoundBoxStyle(kvr::bbNone);
  r.SetColorData(kvr::clRed);
  r.Moveto(-600, -200, 0);
  r.SetLineWidth(3);
  r.Drawto(600, -200, 0);
  r.SetLineWidth(1);
  r.Moveto(-400, 200, 0);
  r.Drawto(0, std::nan(""), 0);
  r.Drawto(400, 200, 0);  // starts afresh here
  r.Drawto(400, 0, 0);
  r.MakeVisible();
  EXPECT_EQ(px(150, 99), kvr::clRed);
  EXPECT_EQ(px(150, 101), kvr::clRed);
  EXPECT_EQ(px(150, 102), kBg);
  EXPECT_EQ(px(150, 200), kBg);
  EXPECT_EQ(px(100, 200), kBg);
  EXPECT_EQ(px(250, 175), kvr::clRed);
  EXPECT_EQ(px(251, 175), kBg);
}

TEST_F(TopView, EventsBracketThePicture) {
  std::vector<std::string> order;
  r.OnBeforeRenderData = [&](kvr::TObject*, kvr::TCanvas* c) {
    order.push_back("before");
    c->Brush()->SetColor(kvr::clYellow);
    c->FillRect(kvr::Rect(0, 0, 300, 300));
  };
  r.OnDataRendered = [&](kvr::TObject*, kvr::TCanvas* c) {
    order.push_back("after");
    c->SetPixels(150, 150, kvr::clRed);
  };
  EXPECT_EQ(px(20, 20), kvr::clYellow);
  EXPECT_EQ(px(100, 100), kFaceHigh);
  EXPECT_EQ(px(150, 150), kvr::clRed);
  EXPECT_EQ(order, (std::vector<std::string>{"before", "after"}));
}

TEST_F(TopView, BlackAndWhiteCopy) {
  edge_lines();
  r.SetColozUvado(kvr::clYellow);
  kvr::TBitmap b(300, 300);
  r.RenderOnCanvas(b.Canvas(), false, true);
  EXPECT_EQ(b.Canvas()->Pixels(20, 50), kvr::clBlack);
  EXPECT_EQ(b.Canvas()->Pixels(20, 150), kBg);
  EXPECT_EQ(b.Canvas()->Pixels(150, 150), kBg);
  EXPECT_EQ(r.ColozUvado(), kvr::clYellow);
  EXPECT_EQ(r.ColorCubeFaceHigh(), kFaceHigh);
  EXPECT_EQ(px(20, 150), kvr::clYellow);
  EXPECT_EQ(px(150, 150), kFaceHigh);
}

TEST(Rot3DRender, ControlWithoutSizeOrItems) {
  TRot3D r(nullptr);
  r.CreateWnd();
  r.Repaint();
  r.MakeVisible();
  r.Clear();
  r.MarkAt(1, 2, 3, 60);
  r.Drawto(4, 5, 6);
  r.MakeVisible();
  r.Repaint();
  r.HostMouseMove({}, 0, 0);
  r.HostMouseDown(kvr::mbLeft, {}, 0, 0);
  r.HostMouseMove(kvr::TShiftState{kvr::ssLeft}, 5, 5);
  double d = 0;
  EXPECT_EQ(r.FindNearestItemScreen(0, 0, kvr::Tr3Item::tkEverything, d), 0);
  kvr::TBitmap b;
  r.RenderOnCanvas(b.Canvas(), true, true);
}

}  // namespace

namespace {

// Marks are stamped into raster pictures from a copy of each type; the result must be
// what drawing every mark on the canvas gives, at the edges and under a clip too.
void stamped_marks_match(bool smooth) {
  TRot3D r(nullptr);
  r.SetBounds(0, 0, 130, 110);
  r.SetBoundBoxStyle(kvr::bbNone);
  r.SetShowAxes(false);
  r.SetViewAngles(0, 0, 0);
  r.SetMagnify(1.0);
  r.SetAutoOrigin(false);
  r.SetAutoScale(false);
  r.SetScaleFactors(1, 1, 1);
  r.SetOrigins(0, 0, 0);
  const TColor colors[] = {kvr::clRed, 0x00A000, kvr::clBlue, 0x808000};
  for (int type = 0; type < kvr::kGeometricMarkCount; ++type) {
    r.SetColorData(colors[type % 4]);
    // Pixel centres on a 13-pixel grid from (-4, -4), so that some marks are cut.
    const int px = -4 + 13 * (type % 11), py = -4 + 13 * (type / 11);
    r.MarkAt(4.0 * (px - 65), 4.0 * (py - 55), 0, kvr::Byte(type));
  }
  r.MarkAt(4.0 * (128 - 65), 4.0 * (108 - 55), 0, 40);  // bottom-right corner
  r.MakeVisible();
  for (bool clipped : {false, true}) {
    kvr::TBitmap got(130, 110), want(130, 110);
    got.Canvas()->SetSmooth(smooth);
    want.Canvas()->SetSmooth(smooth);
    if (clipped) {
      got.Canvas()->SetClipRect(kvr::Rect(7, 9, 101, 77));
      want.Canvas()->SetClipRect(kvr::Rect(7, 9, 101, 77));
    }
    r.RenderOnCanvas(got.Canvas(), false);
    kvr::TCanvas* c = want.Canvas();
    c->Brush()->SetStyle(kvr::bsSolid);
    c->Brush()->SetColor(kBg);
    c->FillRect(kvr::Rect(0, 0, 130, 110));
    for (int k = 0; k < r.NRotObj(); ++k) {
      const TColor col = r.ItemColor(r.RotProp(k) & TRot3D::kPropColorMask);
      c->Pen()->SetColor(col);
      c->Brush()->SetColor(col);
      const kvr::TPoint p = r.Project(r.RotDataX(k), r.RotDataY(k), r.RotDataZ(k));
      kvr::DrawMarkOnCanvas(c, r.RotMark(k), p.X, p.Y);
    }
    int diff = 0;
    for (int y = 0; y < 110; ++y)
      for (int x = 0; x < 130; ++x) diff += got.Canvas()->Pixels(x, y) != c->Pixels(x, y);
    EXPECT_EQ(diff, 0) << (clipped ? "clipped" : "whole");
  }
}

TEST(Rot3DRender, StampedMarksMatchTheCanvasMarks) { stamped_marks_match(false); }

// Smooth pictures blend each mark's coverage kept from one smooth drawing.
TEST(Rot3DRender, SmoothStampedMarksMatchTheCanvasMarks) { stamped_marks_match(true); }

}  // namespace
