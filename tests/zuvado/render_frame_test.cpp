// Frame rendering: control image, caption, chart-area background, grid, pass order,
// refresh paths and render events, checked by probing pixels.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <set>
#include <string>

#include "platform/bitmap.h"
#include "platform/themes.h"
#include "render_util.h"

using namespace kvr;
using kvr::test::RenderChart;

namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kGreen = 0x00C000;

// Bounding box of the pixels in [x0, x1) x [y0, y1) of the control image that differ
// from bg.
TRect ink_box(RenderChart& c, int x0, int y0, int x1, int y1, TColor bg) {
  TRect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (c.Ctl(x, y) != bg) {
        r.Left = std::min(r.Left, x), r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x), r.Bottom = std::max(r.Bottom, y);
      }
  return r;
}

void hide_axes(RenderChart& c) {
  c.Scale1X()->SetVisible(false);
  c.Scale1Y()->SetVisible(false);
}

std::string temp_file(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("kvr_render_" + name)).string();
}

}  // namespace

TEST(ZuRenderFrame, ControlImageLayers) {
  RenderChart c;
  c.SetShadowWidth(6);
  c.SetShadowColor(kBlue);
  c.SetShadowBakColor(kGreen);
  c.SetChartColor(0xEEEEEE);
  const TColor face = ColorToRGB(clBtnFace);
  EXPECT_EQ(c.Ctl(20, 5), face);                      // WindColor
  EXPECT_EQ(c.Ctl(200, 120), 0xEEEEEE);               // chart area
  EXPECT_EQ(c.Ctl(50, 16), 0);                        // frame, top-left
  EXPECT_EQ(c.Ctl(400 - 10 - 6, 300 - 32 - 6), 0);    // frame, bottom-right
  EXPECT_EQ(c.Ctl(397, 2), kGreen);                   // corner beside the shadow
  EXPECT_EQ(c.Ctl(2, 297), kGreen);
  EXPECT_EQ(c.Ctl(200, 297), kBlue);                  // bottom band
  EXPECT_EQ(c.Ctl(397, 150), kBlue);                  // right band
  EXPECT_EQ(c.Ctl(0, 150), 0);                        // black outline of the face
  // The chart area image has the documented size and carries the frame on its edge.
  EXPECT_EQ(c.GrafBmp()->Width(), 400 - 50 - 10 - 6 + 1);
  EXPECT_EQ(c.GrafBmp()->Height(), 300 - 16 - 32 - 6 + 1);
  EXPECT_EQ(c.Area(0, 0), 0);
  EXPECT_EQ(c.Area(c.GrafBmp()->Width() - 1, c.GrafBmp()->Height() - 1), 0);
}

TEST(ZuRenderFrame, StyleSettersFollowAutoRedrawAndSuppressPaint) {
  RenderChart c;
  c.SetAutoRedraw(false);
  c.SetChartColor(kRed);
  EXPECT_EQ(c.Ctl(200, 120), 0xFFFFFF);  // no repaint
  c.SetAutoRedraw(true);
  int paints = 0;
  c.OnScalesRendered = [&](TObject*, TCanvas*, Integer, Integer) { ++paints; };
  const bool saved = c.SuppressPaint();
  c.SetSuppressPaint(true);
  c.SetChartColor(kBlue);
  c.SetGridStyle(gsLines);
  c.SetCaption("batch");
  EXPECT_EQ(paints, 0);
  EXPECT_EQ(c.Ctl(200, 121), 0xFFFFFF);
  c.SetSuppressPaint(saved);
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(c.Ctl(201, 121), kBlue);
}

// Caption rows and columns are compared between settings, so the font's own metrics
// cancel out.
TEST(ZuRenderFrame, CaptionAnchorsAndTrimming) {
  RenderChart c;
  hide_axes(c);
  const TColor face = ColorToRGB(clBtnFace);
  c.SetCaption("Caption Text");
  c.SetCaptionPosX(3);
  c.SetCaptionPosY(-14);
  c.SetCaptionAnchorHoriz(cahControlLeft);
  c.SetCaptionAlignment(taLeftJustify);
  c.SetCaptionAnchorVert(cavChartTop);
  const TRect top = ink_box(c, 0, 0, 400, 16, face);
  ASSERT_LT(top.Left, 400);
  EXPECT_GE(top.Left, 3);
  EXPECT_LE(top.Left, 5);
  c.SetShadowWidth(5);
  c.SetCaptionAnchorVert(cavChartBottom);
  const TRect bottom = ink_box(c, 2, 230, 48, 294, face);  // inside the outline
  // The shadow width is not subtracted: the caption sits MarginBottom above the
  // control's bottom edge, 5 pixels below the chart area's bottom.
  EXPECT_EQ(bottom.Top - top.Top, (300 - 32) - 16);
  c.SetShadowWidth(0);
  c.SetCaptionAnchorVert(cavChartTop);
  c.SetCaptionAnchorHoriz(cahControlRight);
  c.SetCaptionAlignment(taRightJustify);
  c.SetCaptionPosX(-3);
  const TRect right = ink_box(c, 0, 0, 400, 16, face);
  EXPECT_LE(right.Right, 397);  // glyph ink may overhang its cell by a pixel
  EXPECT_GE(right.Right, 393);
  EXPECT_EQ(right.Right - right.Left, top.Right - top.Left);

  // Trimming: 50 % of a 340 pixel wide chart area.
  c.SetCaptionAnchorHoriz(cahControlLeft);
  c.SetCaptionAlignment(taLeftJustify);
  c.SetCaptionPosX(0);
  c.SetCaption(std::string(80, 'W'));
  c.SetCaptionTrim(0);
  const TRect full = ink_box(c, 0, 0, 400, 16, face);
  EXPECT_GE(full.Right, 399);  // untrimmed: runs off the control
  c.SetCaptionTrim(50);
  const TRect cut = ink_box(c, 0, 0, 400, 16, face);
  EXPECT_LE(cut.Right - cut.Left, 170 + 2);
  EXPECT_GE(cut.Right - cut.Left, 120);
  c.SetCaptionTrim(3);
  EXPECT_EQ(c.CaptionTrim(), 5);
}

TEST(ZuRenderFrame, ShadedAreasAndClamping) {
  RenderChart c;
  TBakGndImg& img = *c.BackGroundImg();
  img.SetAreaColor(kGreen);
  img.SetAreaLeft(100);
  img.SetAreaRight(200);
  img.SetAreaTop(150);
  img.SetAreaBottom(50);
  img.SetAreaMode(bamVStripe);
  EXPECT_EQ(c.Area(150, 20), kGreen);
  EXPECT_EQ(c.Area(50, 20), 0xFFFFFF);
  EXPECT_EQ(c.Area(250, 20), 0xFFFFFF);
  img.SetAreaMode(bamRectInv);
  EXPECT_EQ(c.Area(150, 150), 0xFFFFFF);  // world (150, 102): inside the rectangle
  EXPECT_EQ(c.Area(150, 20), kGreen);
  EXPECT_EQ(c.Area(50, 150), kGreen);
  EXPECT_EQ(c.Area(300, 240), kGreen);
  img.SetAreaMode(bamHStripe);
  EXPECT_EQ(c.Area(20, 150), kGreen);
  EXPECT_EQ(c.Area(20, 50), 0xFFFFFF);
  // Edges far outside are clamped, not wrapped.
  img.SetAreaLeft(-1e15);
  img.SetAreaMode(bamLeft);
  EXPECT_EQ(c.Area(20, 150), 0xFFFFFF);
  img.SetAreaLeft(1e15);
  EXPECT_EQ(c.Area(300, 150), kGreen);
}

TEST(ZuRenderFrame, BackgroundImageModesAndBadFile) {
  TBitmap pic(4, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) pic.Canvas()->SetPixels(x, y, x == 0 ? kRed : kBlue);
  const std::string file = temp_file("bg.bmp");
  pic.SaveToFile(file);
  RenderChart c;
  c.SetChartColor(kGreen);
  c.BackGroundImg()->SetIncludePath(true);
  c.BackGroundImg()->SetFillMode(bfSimple);
  c.BackGroundImg()->SetName(file);
  EXPECT_EQ(c.Area(1, 1), kBlue);
  EXPECT_EQ(c.Area(10, 10), kGreen);  // beyond the image: ChartColor
  c.BackGroundImg()->SetFillMode(bfTile);
  EXPECT_EQ(c.Area(8, 10), kRed);     // column 0 of the third tile
  EXPECT_EQ(c.Area(9, 10), kBlue);
  c.BackGroundImg()->SetFillMode(bfStretch);
  EXPECT_EQ(c.Area(30, 100), kRed);   // the first quarter of the width
  EXPECT_EQ(c.Area(200, 100), kBlue);
  std::filesystem::remove(file);

  c.BackGroundImg()->SetName(temp_file("missing.bmp"));
  EXPECT_EQ(c.BackGroundImg()->Name(), "");
  EXPECT_EQ(c.Area(100, 100), kGreen);
  EXPECT_EQ(c.Area(0, 0), 0);  // painting went on to the frame
  // Without IncludePath only the file name is kept (no repaint here, which would try
  // to load it).
  c.SetAutoRedraw(false);
  c.BackGroundImg()->SetIncludePath(false);
  c.BackGroundImg()->SetName("/some/dir/pic.bmp");
  EXPECT_EQ(c.BackGroundImg()->Name(), "pic.bmp");
}

namespace {

// Columns of row y of the chart area that carry colour col.
std::vector<int> columns_with(const RenderChart& c, int y, TColor col) {
  std::vector<int> r;
  for (int x = 1; x < c.GrafBmp()->Width() - 1; ++x)
    if (c.Area(x, y) == col) r.push_back(x);
  return r;
}

}  // namespace

TEST(ZuRenderFrame, GridSpacingCodes) {
  RenderChart c;
  c.SetGridColor(kRed);
  c.SetGridDx(50);
  c.SetGridStyle(gsVertLines);
  EXPECT_EQ(columns_with(c, 100, kRed), (std::vector<int>{50, 100, 150, 200, 250, 300}));
  EXPECT_TRUE(columns_with(c, 0, kRed).empty() || c.Area(50, 0) != kRed);  // top pixel left out
  // On a linear axis the logarithmic codes act like their absolute value.
  c.SetGridDx(-2);
  EXPECT_EQ(columns_with(c, 100, kRed).size(), 169u);
  // Decades on a logarithmic axis: 2, 5, 10, 20, ..., 500 between 1 and 1000.
  c.SetRange(1, 1, 0, 1000, 252);
  c.Scale1X()->SetLogarithmic(true);
  std::vector<int> expect;
  for (double v : {2., 5., 10., 20., 50., 100., 200., 500.}) {
    Integer px, py;
    c.R2M(1, v, 100, px, py);
    expect.push_back(px - 50);
  }
  EXPECT_EQ(columns_with(c, 100, kRed), expect);
  c.SetGridDx(-1);
  EXPECT_EQ(columns_with(c, 100, kRed).size(), 2u);  // 10, 100
  c.SetGridDx(-3);
  EXPECT_EQ(columns_with(c, 100, kRed).size(), 26u);  // 1..9, 10..90, 100..900 below 1000
  // Dotted lines leave gaps; solid ones do not.
  c.Scale1X()->SetLogarithmic(false);
  c.SetRange(1, 0, 0, 340, 252);
  c.SetGridDy(30);
  c.SetGridStyle(gsHorizLines);
  EXPECT_EQ(columns_with(c, 252 - 30, kRed).size(), 339u);
  c.SetGridStyle(gsHorizDotLines);
  const size_t dotted = columns_with(c, 252 - 30, kRed).size();
  EXPECT_GT(dotted, 50u);
  EXPECT_LT(dotted, 300u);
}

TEST(ZuRenderFrame, GridFollowsTicksAndIsCapped) {
  RenderChart c;
  c.SetGridColor(kRed);
  c.SetGridStyle(gsVertLines);
  // Spacing 0: one line per tick of the axis.
  const Integer ticks = c.TickNumX();
  ASSERT_GT(ticks, 1);
  std::set<double> inner;  // the tick list may name a position twice
  for (Integer i = 1; i <= ticks; ++i) {
    const double v = c.TickPosX(i);
    if (v > 0 && v < 340) inner.insert(v);
  }
  EXPECT_EQ(columns_with(c, 100, kRed).size(), inner.size());
  // 1000 lines at most: one per world unit on a range of 3400 stops at 1000.
  c.SetRange(1, 0, 0, 3400, 252);
  c.SetGridDx(1);
  const auto t0 = std::chrono::steady_clock::now();
  c.ShowGraf();
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));
  EXPECT_EQ(c.Area(50, 100), kRed);   // world 500
  EXPECT_NE(c.Area(150, 100), kRed);  // world 1500: past the cap
  // A step too small to advance ends at the cap as well.
  c.SetGridDx(1e-300);
  c.ShowGraf();
  // Points: 100 x 100 intersections give the first 1000 points only.
  c.SetRange(1, 0.5, 0.5, 340.5, 252.5);
  c.SetGridDx(3.4);
  c.SetGridDy(2.5);
  c.SetGridStyle(gsPoints);
  EXPECT_EQ(c.CountArea(kRed), 1000);
}

TEST(ZuRenderFrame, PassOrderOfDataAndAnnotations) {
  RenderChart c;
  c.SetSuppressPaint(true);
  c.SetFillColor(kRed);
  c.SetDataColor(kRed);
  c.Rectangle(100.0, 100.0, 140.0, 140.0);
  c.SetAnnoMode(true);
  c.SetTextBkStyle(tbSolid);
  c.SetFillColor(kGreen);
  c.SetDataColor(kGreen);
  c.Text(120.0, 120.0, 20, "MMMM");  // added first, drawn last with AnnoTextOnTop
  c.SetFillColor(kBlue);
  c.SetDataColor(kBlue);
  c.Rectangle(100.0, 100.0, 140.0, 140.0);
  c.SetAnnoMode(false);
  c.SetSuppressPaint(false);
  const int cx = 120, cy = 252 - 120;
  // Default: annotations over data, annotation text over annotation shapes; the text
  // cell is filled with the background colour.
  EXPECT_EQ(c.Area(cx - 15, cy), kGreen);
  EXPECT_EQ(c.Area(cx, cy - 19), kBlue);
  c.SetAnnoTextOnTop(false);
  EXPECT_EQ(c.Area(cx - 15, cy), kBlue);
  c.SetAnnoBelowChart(true);
  EXPECT_EQ(c.Area(cx, cy - 19), kRed);
  c.SetAnnosVisible(false);
  c.SetAnnoBelowChart(false);
  EXPECT_EQ(c.Area(cx, cy - 19), kRed);
}

TEST(ZuRenderFrame, RenderEventsAndTheirPlacement) {
  RenderChart c;
  std::string order;
  TCanvas* dataCanvas = nullptr;
  c.OnScalesRendered = [&](TObject* s, TCanvas* cv, Integer top, Integer left) {
    order += "S";
    EXPECT_EQ(s, &c);
    EXPECT_EQ(cv, c.ChartBmp()->Canvas());
    EXPECT_EQ(top, 0);
    EXPECT_EQ(left, 0);
  };
  c.OnBeforeRenderData = [&](TObject*, TCanvas* cv, Integer top, Integer left) {
    order += "B";
    dataCanvas = cv;
    EXPECT_EQ(top, 16);
    EXPECT_EQ(left, 50);
    cv->Brush()->SetColor(kRed);  // restored afterwards
  };
  c.OnBeforeRendezUvadoItem = [&](TObject*, TrcChartItem& it, Integer, bool) {
    order += "I";
    it.Color = kBlue;  // changes the drawn copy only
  };
  c.OnDataRendered = [&](TObject*, TCanvas* cv, Integer, Integer) {
    order += "D";
    cv->SetPixels(5, 5, kGreen);
  };
  c.MarkAt(100.0, 100.0, 0);
  c.SetAutoRedraw(false);
  c.ShowGraf();  // full paint
  EXPECT_EQ(order, "SBID");
  EXPECT_EQ(dataCanvas, c.GrafBmp()->Canvas());
  EXPECT_EQ(c.Area(100, 152), kBlue);
  EXPECT_EQ(c.GetChartItem(0).Color, clBlack);
  EXPECT_EQ(c.Area(5, 5), kGreen);
  EXPECT_EQ(c.Ctl(55, 21), kGreen);  // copied to the window at the margins
  order.clear();
  c.SetAutoRedraw(true);
  c.ShowGraf();  // partial path: no axes
  EXPECT_EQ(order, "BID");
}

TEST(ZuRenderFrame, RefreshPaths) {
  RenderChart c;
  c.SetGridColor(kRed);
  c.SetGridDx(50);
  c.SetGridStyle(gsVertLines);
  c.SetDataColor(kBlue);
  c.MarkAt(20.0, 100.0, 0);
  c.MarkAt(30.0, 100.0, 0);
  c.ShowGraf();
  // New-only drawing keeps the image, draws every item again and leaves the grid alone.
  c.GrafBmp()->Canvas()->Brush()->SetColor(0xFFFFFF);
  c.GrafBmp()->Canvas()->FillRect(TRect{0, 0, 341, 253});
  c.ShowGrafNewOnly();
  EXPECT_EQ(c.Area(20, 152), kBlue);
  EXPECT_EQ(c.Area(30, 152), kBlue);
  EXPECT_NE(c.Area(50, 100), kRed);
  EXPECT_EQ(c.Ctl(50 + 20, 16 + 152), kBlue);
  // ClearGraf empties the data and repaints the area background, not the window.
  c.ClearGraf();
  EXPECT_EQ(c.NumItems(), 0);
  EXPECT_EQ(c.Area(20, 152), 0xFFFFFF);
  EXPECT_EQ(c.Ctl(50 + 20, 16 + 152), kBlue);
}

TEST(ZuRenderFrame, ChartAreaOfZeroWidthStillPaints) {
  RenderChart c;
  c.MarkAt(10.0, 10.0, 3);
  c.SetMarginLeft(500);
  EXPECT_EQ(c.GrafBmp()->Width(), 0);
  c.ShowGraf();
  EXPECT_EQ(c.Ctl(20, 5), ColorToRGB(clBtnFace));
}

TEST(ZuRenderFrame, VisualStyleColoursAndBackgroundObject) {
  RenderChart c;
  c.SetStyleElements(TStyleElements{seFont, seClient, seBorder});  // a new chart follows none
  StyleServices().SetStyleColor(29, 0x102030);
  StyleServices().SetStyleColor(14, 0x405060);
  StyleServices().SetStyleColor(0, 0x0000A0);
  StyleServices().SetEnabled(true);
  c.ShowGraf();
  c.SetAutoRedraw(false);
  c.ShowGraf();  // full paint
  StyleServices().SetEnabled(false);
  EXPECT_EQ(c.Ctl(20, 5), 0x102030);
  EXPECT_EQ(c.Area(100, 100), 0x405060);
  EXPECT_EQ(c.Area(0, 100), 0x0000A0);
  c.SetStyleElements(TStyleElements{seFont});
  StyleServices().SetEnabled(true);
  c.ShowGraf();
  StyleServices().SetEnabled(false);
  EXPECT_EQ(c.Area(100, 100), 0xFFFFFF);

  // Assigning another chart's settings keeps this chart's change handler.
  c.SetAutoRedraw(true);
  RenderChart other;
  other.BackGroundImg()->SetAreaMode(bamLeft);
  other.BackGroundImg()->SetAreaLeft(170);
  other.BackGroundImg()->SetAreaColor(kRed);
  c.SetBackGroundImg(other.BackGroundImg());
  EXPECT_EQ(c.Area(100, 100), kRed);
  int otherPaints = 0;
  other.OnScalesRendered = [&](TObject*, TCanvas*, Integer, Integer) { ++otherPaints; };
  c.BackGroundImg()->SetAreaLeft(50);
  EXPECT_EQ(otherPaints, 0);
  EXPECT_EQ(c.Area(100, 100), 0xFFFFFF);
  c.ResetComp();
  EXPECT_EQ(c.BackGroundImg()->AreaMode(), bamNone);
  EXPECT_EQ(c.BackGroundImg()->AreaColor(), 0xDDDDDD);
  EXPECT_EQ(c.CaptionTrim(), 100);
}
