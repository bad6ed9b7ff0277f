// TPlot3D pictures: the painter's order of the cells, every mesh kind, Handled, the cube,
// the axes' labels, bad data at many angles, and the bitmap file.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "plot3d/plot3d.h"
#include "test_out.h"

namespace {

using kvr::TColor;
using kvr::TPlot3D;

constexpr TColor kBg = kvr::clWhite;

// A 200 x 200 plot seen from straight above (model x right, y down), nodes at 25..175,
// no cube, no axes, no frame.
struct TopView : ::testing::Test {
  TPlot3D p{nullptr};
  void SetUp() override {
    p.SetBounds(0, 0, 200, 200);
    p.CreateWnd();
    p.SetFrameStyle(kvr::rbNone);
    p.SetBoundBoxStyle(kvr::bbNone);
    p.SetVisibleXCoords(false);
    p.SetVisibleYCoords(false);
    p.SetVisibleZCoords(false);
    p.SetViewAngles(0, 0);
    p.SetMagnify(0.5);
    p.SetColorLow(0x000000);
    p.SetColorHigh(0x00FFFF);
    p.GridMat.Resize(2, 2);
    p.GridMat.Fill(50);  // middle of the colour scale
  }
  TColor px(int x, int y) {
    p.Update();
    return p.Surface()->Canvas()->Pixels(x, y);
  }
};

constexpr TColor kMid = 0x008080;

TEST_F(TopView, FlatCellFillsItsSquare) {
  EXPECT_EQ(px(100, 100), kMid);
  EXPECT_EQ(px(20, 100), kBg);
  EXPECT_EQ(px(180, 100), kBg);
  EXPECT_EQ(px(100, 25), 0);  // outline in ColorMesh
  EXPECT_EQ(px(25, 100), 0);
  EXPECT_EQ(p.ProjMapX.GetVal(2, 1), 175);
  EXPECT_EQ(p.ProjMapY.GetVal(2, 2), 175);
  EXPECT_EQ(p.ProjMapZ.GetVal(1, 1), 7500);  // 50 on the -1..1 calibration
  p.SetMeshVisible(false);
  EXPECT_EQ(px(100, 25), kMid);
}

TEST_F(TopView, EveryMeshKindDrawsItsLines) {
  struct Case {
    kvr::TMeshKind kind;
    TColor top, left, diag, corner;  // (100,25), (25,100), (100,100), (25,25)
  };
  const Case cases[] = {
      {kvr::mkMesh, 0, 0, kMid, 0},
      {kvr::mkWaterfallHorz, 0, kMid, kMid, 0},
      {kvr::mkWaterfallVert, kMid, 0, kMid, 0},
      {kvr::mkWaterfallDiag, kMid, kMid, 0, 0},
      {kvr::mkGrid, kMid, kMid, kMid, 0},
  };
  for (const Case& c : cases) {
    p.SetMeshKind(c.kind);
    EXPECT_EQ(px(100, 25), c.top) << int(c.kind);
    EXPECT_EQ(px(25, 100), c.left) << int(c.kind);
    EXPECT_EQ(px(100, 100), c.diag) << int(c.kind);
    EXPECT_EQ(px(25, 25), c.corner) << int(c.kind);
    EXPECT_EQ(px(40, 26), kMid) << int(c.kind);
  }
  // Without the mesh no kind shows a line.
  p.SetMeshVisible(false);
  for (const Case& c : cases) {
    p.SetMeshKind(c.kind);
    EXPECT_EQ(px(100, 100), kMid) << int(c.kind);
    EXPECT_EQ(px(25, 25), kMid) << int(c.kind);
  }
}

TEST_F(TopView, HandledLeavesTheCellToTheHandler) {
  p.GridMat.Resize(3, 2);
  p.GridMat.Fill(50);
  std::vector<int> seen;
  p.OnBeforeRenderPolygon = [&](kvr::TObject*, kvr::TCanvas*, bool& handled, kvr::Integer cx, kvr::Integer cy,
                                kvr::TQuad q, TColor& color) {
    seen.push_back(cx * 10 + cy);
    EXPECT_EQ(q[0].X, cx == 1 ? 25 : 100);
    if (cx == 1) handled = true;
    else color = kvr::clRed;
  };
  EXPECT_EQ(px(60, 100), kBg);
  EXPECT_EQ(px(140, 100), kvr::clRed);
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(TopView, ColourFromLargestNodeOrMean) {
  p.GridMat.SetVal(2, 2, 100);
  EXPECT_EQ(px(100, 100), 0x00FFFF);
  p.SetColorCodeAvg(true);
  EXPECT_EQ(px(100, 100), p.CalcColorCoding(62.5));
}

TEST_F(TopView, MissingNodesLeaveTheirCellsOut) {
  p.GridMat.Resize(3, 3);
  p.GridMat.Fill(50);
  p.GridMat.SetVal(1, 1, std::nan(""));
  // The cell at (1, 1) goes; the others stay.
  EXPECT_EQ(px(50, 50), kBg);
  EXPECT_EQ(px(150, 150), kMid);
  EXPECT_EQ(px(150, 50), kMid);
}

// Level view along model y: a far row and a near row cover the same pixels; the near
// one must stay on top from the front and from the back.
TEST(Plot3DPainter, NearCellCoversFarCell) {
  TPlot3D p(nullptr);
  p.SetBounds(0, 0, 400, 400);
  p.CreateWnd();
  p.SetBoundBoxStyle(kvr::bbNone);
  p.SetVisibleXCoords(false);
  p.SetVisibleYCoords(false);
  p.SetVisibleZCoords(false);
  p.GridMat.Resize(2, 3);
  for (int i = 1; i <= 2; ++i) {
    p.GridMat.SetVal(i, 1, 1);
    p.GridMat.SetVal(i, 2, -1);
    p.GridMat.SetVal(i, 3, 1);
  }
  p.OnBeforeRenderPolygon = [](kvr::TObject*, kvr::TCanvas*, bool&, kvr::Integer, kvr::Integer cy, kvr::TQuad,
                               TColor& color) { color = cy == 1 ? kvr::clRed : kvr::clBlue; };
  // y grows towards the viewer at z angle 0, away from it at 180.
  p.SetViewAngles(80, 0);
  p.Update();
  EXPECT_EQ(p.Surface()->Canvas()->Pixels(200, 200), kvr::clBlue);
  p.SetViewAngles(80, 180);
  p.Update();
  EXPECT_EQ(p.Surface()->Canvas()->Pixels(200, 200), kvr::clRed);
}

// For a flat grid, each step of the visiting order must move towards the viewer (or
// keep the depth), from every side and from above and below.
TEST(Plot3DPainter, VisitingOrderRunsFarToNearAtAllAngles) {
  TPlot3D p(nullptr);
  p.SetBounds(0, 0, 100, 100);
  p.CreateWnd();
  p.GridMat.Resize(5, 4);
  std::vector<std::pair<int, int>> order;
  p.OnBeforeRenderPolygon = [&](kvr::TObject*, kvr::TCanvas*, bool& handled, kvr::Integer cx, kvr::Integer cy,
                                kvr::TQuad, TColor&) {
    order.emplace_back(cx, cy);
    handled = true;
  };
  for (double a : {20.0, 60.0, 100.0, 170.0, 200.0, 280.0, 340.0})
    for (double c : {0.0, 30.0, 89.0, 91.0, 150.0, 181.0, 240.0, 269.0, 271.0, 330.0}) {
      order.clear();
      p.SetViewAngles(a, c);
      p.Repaint();
      ASSERT_EQ(order.size(), 12u);
      auto depth = [&](std::pair<int, int> cell) { return p.Depth(cell.first, cell.second, 0); };
      for (size_t k = 1; k < order.size(); ++k) {
        const auto prev = order[k - 1], cur = order[k];
        if (prev.second == cur.second) {
          EXPECT_GE(depth(cur), depth(prev) - 1e-12) << a << "/" << c << " step " << k;
        }
      }
      // Rows: the first cell of each row against the first of the previous row.
      for (size_t k = 4; k < order.size(); k += 4)
        EXPECT_GE(depth({order[k - 4].first, order[k].second}), depth(order[k - 4]) - 1e-12) << a << "/" << c;
    }
}

TEST(Plot3DCube, NoneDrawsNothingFacesAreShaded) {
  TPlot3D p(nullptr);
  p.SetBounds(0, 0, 400, 400);
  p.CreateWnd();
  p.SetFrameStyle(kvr::rbNone);
  p.SetVisibleXCoords(false);
  p.SetVisibleYCoords(false);
  p.SetVisibleZCoords(false);
  p.SetBoundBoxStyle(kvr::bbNone);
  p.Update();
  const kvr::TBitmap* s = p.Surface();
  for (int y = 0; y < 400; y += 7)
    for (int x = 0; x < 400; x += 7) ASSERT_EQ(s->Canvas()->Pixels(x, y), kBg) << x << "," << y;
  p.SetBoundBoxStyle(kvr::bbFaces);
  p.Update();
  // Every face colour lies between the low and high face colours.
  const TColor c = s->Canvas()->Pixels(200, 200);
  EXPECT_NE(c, kBg);
  EXPECT_GE(kvr::GetRValue(c), 0xC0);
  EXPECT_LE(kvr::GetRValue(c), 0xFE);
  EXPECT_GE(kvr::GetBValue(c), 0xC0);
  p.SetBoundBoxStyle(kvr::bbFrame);
  p.Update();
  EXPECT_EQ(s->Canvas()->Pixels(200, 200), kBg);
}

TEST(Plot3DAxes, LabelsFollowTheRangesAndStayOutsideTheCube) {
  TPlot3D p(nullptr);
  p.SetBounds(0, 0, 500, 500);
  p.CreateWnd();
  p.SetMagnify(0.8);
  p.SetRange(0, 10, -1, 1, 0, 2);
  struct Label {
    kvr::TP3ScaleKind kind;
    std::string text;
    int x, y;
  };
  std::vector<Label> labels;
  p.OnBeforeDrawScaleLabel = [&](kvr::TObject*, kvr::TCanvas*, kvr::TP3ScaleKind k, std::string& s, kvr::Integer x,
                                 kvr::Integer y) {
    labels.push_back({k, s, x, y});
    if (s == "5.0") s = "five";
  };
  for (double c : {15.0, 135.0, 225.0, 315.0}) {
    labels.clear();
    p.SetViewAngles(60, c);
    p.Repaint();
    std::vector<std::string> xs, zs;
    for (const Label& l : labels) {
      if (l.kind == kvr::p3skX) xs.push_back(l.text);
      if (l.kind == kvr::p3skZ) zs.push_back(l.text);
      // Outside the cube's outline: farther from the centre than any cube corner
      // in the label's direction is hard to state; a plain distance bound will do.
      const double r = std::hypot(l.x - 250.0, l.y - 250.0);
      EXPECT_GT(r, 120.0) << c << " " << l.text;
    }
    EXPECT_EQ(xs, (std::vector<std::string>{"0.0", "5.0", "10.0"})) << c;
    ASSERT_FALSE(zs.empty());
    EXPECT_EQ(zs.front(), "0.00");  // automatic decimals for a span of 2
  }
}

// Bad data and odd sizes at many angles: nothing crashes or writes outside.
TEST(Plot3DRobust, BadDataAndSizesAtManyAngles) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Grid {
    int nx, ny;
    double v;
  };
  for (Grid g : {Grid{1, 1, 0}, Grid{1, 7, 1}, Grid{7, 1, 1}, Grid{2, 2, std::nan("")}, Grid{4, 3, inf},
                 Grid{3, 3, 1e300}, Grid{3, 3, -1e300}}) {
    for (int w : {0, 1, 150}) {
      TPlot3D p(nullptr);
      p.SetBounds(0, 0, w, w);
      p.CreateWnd();
      p.SetMagnify(5);
      p.SetSuppressPaint(true);
      p.GridMat.Resize(g.nx, g.ny);
      p.GridMat.Fill(0.5);
      p.GridMat.SetVal(1, 1, g.v);
      p.SetSuppressPaint(false);
      p.AutoScale();
      for (int mk = 0; mk < 5; ++mk) {
        p.SetMeshKind(static_cast<kvr::TMeshKind>(mk));
        for (double a : {0.0, 45.0, 90.0, 200.0, 315.0})
          for (double c : {0.0, 90.0, 135.0, 270.0}) {
            p.SetViewAngles(a, c);
            p.Repaint();
          }
      }
      EXPECT_EQ(p.ProjMapX.NrOfColumns(), g.nx);
    }
  }
}

TEST(Plot3DRobust, OddAxisSettings) {
  TPlot3D p(nullptr);
  p.SetBounds(0, 0, 200, 200);
  p.CreateWnd();
  p.GridMat.Resize(3, 3);
  int labels = 0;
  p.OnBeforeDrawScaleLabel = [&](kvr::TObject*, kvr::TCanvas*, kvr::TP3ScaleKind, std::string& s, kvr::Integer,
                                 kvr::Integer) {
    ++labels;
    EXPECT_LE(s.size(), 14u);
  };
  p.SetMinTickX(0);
  p.SetMinTickY(-3);
  p.SetMinTickZ(1000000);
  p.SetDecPlaceX(40);
  p.SetLabDistY(-50);
  p.SetRange(5, -5, 0, 1e300, -1e-300, 1e-300);
  for (double a : {0.0, 90.0, 180.0, 270.0})
    for (double c : {0.0, 90.0, 180.0, 270.0}) {
      p.SetViewAngles(a, c);
      p.Repaint();
    }
  EXPECT_GT(labels, 0);
}

TEST(Plot3DOutput, CopyToBmpWritesThePicture) {
  TPlot3D p(nullptr);
  p.SetBounds(0, 0, 240, 180);
  p.SetMagnify(0.3);
  p.GridMat.Resize(20, 20);
  p.SetSuppressPaint(true);
  for (int i = 1; i <= 20; ++i)
    for (int j = 1; j <= 20; ++j) p.GridMat.SetVal(i, j, std::sin(i / 4.0) * std::cos(j / 5.0));
  p.SetSuppressPaint(false);
  p.SetColorScaleLow(-1);
  p.SetColorScaleHigh(1);
  const std::string f = test_out_file("surface.png", "plot3d");
  p.CopyToBMP(f, true);
  kvr::TBitmap b;
  b.LoadFromFile(f);
  EXPECT_EQ(b.Width(), 240);
  EXPECT_EQ(b.Height(), 180);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), 0x808080);  // lowered frame
  // Without the frame the corner is background.
  p.CopyToBMP(f, false);
  b.LoadFromFile(f);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), kBg);
}

}  // namespace
