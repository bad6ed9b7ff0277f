// Item rendering: placement per coordinate mode, polyline batches, filters, the shapes
// each kind sends to the canvas, texts, marks, monochrome output.
#include <gtest/gtest.h>

#include "render_util.h"

using namespace kvr;
using kvr::test::RenderChart;
using kvr::test::Shape;
using kvr::test::ShapeCanvas;

namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;

// Runs the chart-area rendering onto a recording canvas.
ShapeCanvas render(RenderChart& c, Integer ox = 0, Integer oy = 0, bool mono = false) {
  ShapeCanvas sc;
  sc.canvas->Font()->Assign(c.Font());
  c.ConstructDataBmpCanvas(sc.canvas.get(), ox, oy, mono, 0);
  return sc;
}

std::vector<TPoint> pts(std::initializer_list<TPoint> l) { return l; }

// The frame of the chart area is four lines; anything else drew something.
size_t item_lines(const ShapeCanvas& sc) { return sc.backend->Of('l').size() - 4; }

}  // namespace

TEST(ZuRenderItems, CoordModesPlaceBothPoints) {
  // Mode: whether x1, y1, x2, y2 are world values.
  const bool world[6][4] = {{1, 1, 1, 1}, {0, 0, 0, 0}, {1, 1, 0, 0},
                            {0, 0, 1, 1}, {0, 1, 0, 1}, {1, 0, 1, 0}};
  for (int mode = 0; mode < 6; ++mode) {
    for (const TPoint off : {TPoint{0, 0}, TPoint{7, 5}}) {
      RenderChart c;
      c.Rectangle(20.0, 30.0, 60.0, 70.0);
      TrcChartItem it = c.GetChartItem(0);
      it.CoordMode = TCoordMode(mode);
      c.SetChartItem(0, it);
      const ShapeCanvas sc = render(c, off.X, off.Y);
      const auto r = sc.backend->Of('r');
      ASSERT_EQ(r.size(), 1u) << mode;
      const int x1 = 20 + off.X, x2 = 60 + off.X;
      const int y1 = (world[mode][1] ? 252 - 30 : 30) + off.Y;
      const int y2 = (world[mode][3] ? 252 - 70 : 70) + off.Y;
      EXPECT_EQ(r[0].pts, pts({{x1, std::min(y1, y2)}, {x2 + 1, std::max(y1, y2) + 1}}))
          << "mode " << mode << " offset " << off.X;
    }
  }
  // Layer 2 maps through its own pair; a far-away value is clamped to 30000.
  RenderChart c;
  c.SetRange(2, 0, 0, 34, 25.2);
  c.SetActiveLayer(2);
  c.Rectangle(2.0, 3.0, 6.0, 1e12);
  const ShapeCanvas sc = render(c);
  ASSERT_EQ(sc.backend->Of('r').size(), 1u);
  EXPECT_EQ(sc.backend->Of('r')[0].pts, pts({{20, -30000}, {61, 252 - 30 + 1}}));
}

TEST(ZuRenderItems, ConnectedLinesGoOutInBatches) {
  RenderChart c;
  c.MoveTo(0.0, 0.0);
  for (int i = 1; i <= 500; ++i) c.DrawTo(i * 1.0, 100.0 + i % 2);
  ShapeCanvas sc = render(c);
  const auto& p = sc.backend->polylines;
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0].size(), 200u);
  EXPECT_EQ(p[1].size(), 200u);
  EXPECT_EQ(p[2].size(), 103u);
  EXPECT_EQ(p[0][0], (TPoint{0, 252}));
  EXPECT_EQ(p[1][0], p[0].back());
  EXPECT_EQ(item_lines(sc), 0u);  // no single LineTo calls

  // A change of colour or width ends the batch; relative points follow the last point.
  RenderChart d;
  d.MoveTo(10.0, 10.0);
  d.DrawTo(20.0, 10.0);
  d.SetDataColor(kRed);
  d.DrawTo(30.0, 10.0);
  d.SetLineWidth(3);
  d.DrawTo(40.0, 10.0);
  d.SetLineWidth(1);
  d.MoveToRelPix(5, -5);
  d.DrawToRelPix(10, 0);
  d.DrawToRelPix(0, 10);
  d.DrawToRelPix(100.0, 100.0, 4, 0);
  sc = render(d);
  const auto& q = sc.backend->polylines;
  ASSERT_EQ(q.size(), 5u);
  EXPECT_EQ(q[0], pts({{10, 242}, {20, 242}}));
  EXPECT_EQ(q[1], pts({{20, 242}, {30, 242}}));
  EXPECT_EQ(q[2], pts({{30, 242}, {40, 242}}));
  EXPECT_EQ(q[3], pts({{45, 237}, {55, 237}, {55, 247}}));
  EXPECT_EQ(q[4], pts({{100, 152}, {104, 152}}));
}

// Dense runs in one pixel column are merged; the pixels must be those of the same
// segments drawn one by one.
TEST(ZuRenderItems, MergedColumnsDrawTheSamePixels) {
  RenderChart merged, reference;
  for (RenderChart* c : {&merged, &reference}) c->SetDataColor(kRed);
  uint32_t seed = 12345;
  auto rnd = [&] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
  double px = 10, py = 100;
  merged.MoveTo(px, py);
  for (int i = 0; i < 3000; ++i) {
    const double x = 10 + i * 0.07 + (i % 500 == 0 ? 3 : 0);
    const double y = 20 + (rnd() % 2000) / 10.0;
    merged.DrawTo(x, y);
    reference.Line(px, py, x, y);
    px = x, py = y;
  }
  merged.DrawTo(px + 5, py + 5);  // a last point apart from its predecessor
  reference.Line(px, py, px + 5, py + 5);
  merged.ShowGraf();
  reference.ShowGraf();
  int diff = 0;
  for (int y = 0; y < 253; ++y)
    for (int x = 0; x < 341; ++x) diff += merged.Area(x, y) != reference.Area(x, y);
  EXPECT_EQ(diff, 0);
  EXPECT_GT(merged.CountArea(kRed), 5000);
  // Far fewer points reach the canvas than were stored.
  const ShapeCanvas sc = render(merged);
  size_t sent = 0;
  for (const auto& b : sc.backend->polylines) sent += b.size();
  EXPECT_LT(sent, 1200u);
}

TEST(ZuRenderItems, ClassAndLayerFilters) {
  RenderChart c;
  auto box = [&](double x) { c.Rectangle(x, 10.0, x + 5, 15.0); };
  box(10);
  c.SetClassDefault(3);
  box(20);
  c.SetClassDefault(0);
  c.SetActiveLayer(2);
  box(30);
  c.SetActiveLayer(1);
  c.SetAnnoMode(true);
  c.SetClassDefault(3);
  box(40);
  c.SetAnnoMode(false);
  auto drawn_x = [&] {
    std::vector<int> xs;
    for (const Shape& s : render(c).backend->Of('r')) xs.push_back(s.pts[0].X);
    return xs;
  };
  EXPECT_EQ(drawn_x(), (std::vector<int>{10, 20, 30, 40}));
  c.SetClassVisible(3, false);
  EXPECT_EQ(drawn_x(), (std::vector<int>{10, 30, 40}));
  c.SetAnnoClassVisible(3, false);
  c.SetLayerVisible(2, false);
  EXPECT_EQ(drawn_x(), (std::vector<int>{10}));
}

TEST(ZuRenderItems, ArrowHeads) {
  RenderChart c;
  c.SetAnnoMode(true);
  c.SetDataColor(kRed);
  c.SetFillColor(kBlue);
  c.Arrow(100, 100, 110, 100, 8);
  c.DoubleArrow(50, 50, 50, 80, 8);
  c.SetTransparentItems(true);
  c.Arrow(200, 100, 210, 100, 8);
  const ShapeCanvas sc = render(c);
  const auto poly = sc.backend->Of('p');
  ASSERT_EQ(poly.size(), 3u);
  // Barbs 20 degrees off the shaft: (10 - 8 cos 20, +-8 sin 20) from the tail.
  EXPECT_EQ(poly[0].pts, pts({{110, 100}, {102, 97}, {102, 103}}));
  EXPECT_EQ(poly[0].pen, kRed);
  EXPECT_EQ(poly[0].fill, kBlue);
  EXPECT_EQ(poly[1].pts, pts({{50, 50}, {47, 58}, {53, 58}}));  // tail head
  EXPECT_EQ(poly[2].pts, pts({{50, 80}, {53, 72}, {47, 72}}));
  // Transparent heads are two lines from the tip.
  const auto lines = sc.backend->Of('l');
  int fromTip = 0;
  for (const Shape& s : lines) fromTip += s.pts[0] == TPoint{210, 100};
  EXPECT_EQ(fromTip, 2);
}

TEST(ZuRenderItems, BarsAndFramedRectangles) {
  RenderChart c;
  c.Bar3D(10, 10, 30, 50, 10, 45);
  c.Bar3D(10, 10, 30, 50, 10, 135);
  const ShapeCanvas sc = render(c);
  const auto poly = sc.backend->Of('p');
  const auto rect = sc.backend->Of('r');
  ASSERT_EQ(poly.size(), 4u);
  ASSERT_EQ(rect.size(), 2u);
  EXPECT_EQ(poly[0].pts, pts({{10, 202}, {17, 195}, {37, 195}, {30, 202}}));
  EXPECT_EQ(poly[1].pts, pts({{37, 195}, {30, 202}, {30, 242}, {37, 235}}));
  EXPECT_EQ(rect[0].pts, pts({{10, 202}, {31, 243}}));
  // Past 90 degrees the side face goes to the left.
  EXPECT_EQ(poly[2].pts, pts({{30, 202}, {23, 195}, {3, 195}, {10, 202}}));
  EXPECT_EQ(poly[3].pts, pts({{3, 195}, {10, 202}, {10, 242}, {3, 235}}));
  EXPECT_EQ(rect[1].pts, pts({{10, 202}, {31, 243}}));

  // Lowered frame: shadow colour left and top, highlight right and bottom.
  RenderChart f;
  const TColor S = 0x202020, H = 0xE0E0E0, fill = 0x00C0C0;
  f.SetFillColor(fill);
  f.RectFrame(20.0, 20.0, 60.0, 60.0, TFrameStyle(2), S, H);
  f.ShowGraf();
  EXPECT_EQ(f.Area(20, 210), S);
  EXPECT_EQ(f.Area(40, 192), S);
  EXPECT_EQ(f.Area(60, 210), H);
  EXPECT_EQ(f.Area(40, 232), H);
  EXPECT_EQ(f.Area(40, 210), fill);
  TrcChartItem it = f.GetChartItem(0);
  it.FrameStyle = TFrameStyle(3);  // raised
  f.SetChartItem(0, it);
  f.ShowGraf();
  EXPECT_EQ(f.Area(20, 210), H);
  EXPECT_EQ(f.Area(60, 210), S);
}

TEST(ZuRenderItems, TextAnchorsBackgroundsAndLongTexts) {
  RenderChart c;
  for (int a = 0; a < 3; ++a) {
    c.SetTextAlignment(TAlignment(a == 0 ? taLeftJustify : a == 1 ? taRightJustify : taCenter));
    c.Text(100.0, 100.0, 12, "Anchor");
  }
  c.SetTextBkStyle(tbSolid);
  c.SetFillColor(kBlue);
  c.SetTextAlignment(taRightJustify);
  c.Text(200.0, 100.0, 12, "one\nlonger line");
  ShapeCanvas sc = render(c);
  Integer W, T, LH;
  TCustomZUvado::CalcTextExtents("Anchor", sc.canvas.get(), W, T, LH);
  const auto texts = sc.backend->Of('t');
  ASSERT_EQ(texts.size(), 5u);
  const int y = 152 - LH / 2;
  EXPECT_EQ(texts[0].pts[0], (TPoint{100, y}));
  EXPECT_EQ(texts[1].pts[0], (TPoint{100 - W, y}));
  EXPECT_EQ(texts[2].pts[0], (TPoint{100 - W / 2, y}));
  EXPECT_EQ(texts[0].fill, -1);  // clear background
  // Two lines, right-aligned, on a background 4 pixels wider and 2 taller all round.
  Integer W2, T2, LH2;
  EXPECT_EQ(TCustomZUvado::CalcTextExtents("one\nlonger line", sc.canvas.get(), W2, T2, LH2), 2);
  EXPECT_EQ(W2, sc.canvas->TextWidth("longer line"));
  EXPECT_EQ(T2, 2 * LH2);
  const int x = 200 - W2, y2 = 152 - LH2 / 2;
  const auto rects = sc.backend->Of('r');
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].pts, pts({{x - 4, y2 - 2}, {x + W2 + 4, y2 + 2 * LH2 + 2}}));
  EXPECT_EQ(rects[0].fill, kBlue);
  EXPECT_EQ(texts[3].text, "one");
  EXPECT_EQ(texts[3].pts[0], (TPoint{x + W2 - sc.canvas->TextWidth("one"), y2}));
  EXPECT_EQ(texts[4].text, "longer line");
  EXPECT_EQ(texts[4].pts[0], (TPoint{x, y2 + LH2}));
  EXPECT_EQ(texts[4].fill, kBlue);

  // Long text 3 replaces the short text; the render event may change either.
  RenderChart d;
  for (int i = 1; i <= 3; ++i) d.Text(10.0, 10.0, 8, "long text number " + std::to_string(i));
  d.Text(10.0, 10.0, 8, "short");
  TrcChartItem it = d.GetChartItem(3);
  it.LWid = 3;
  d.SetChartItem(3, it);
  d.OnBeforeRenderText = [](TObject*, std::string& t, Integer idx, bool anno) {
    if (idx == 0 && !anno) t = "changed";
  };
  sc = render(d);
  const auto dt = sc.backend->Of('t');
  ASSERT_EQ(dt.size(), 4u);
  EXPECT_EQ(dt[0].text, "changed");
  EXPECT_EQ(dt[3].text, "long text number 3");
}

TEST(ZuRenderItems, MarksVisibilityAndDuplicates) {
  auto lines_of = [](void (*fill)(RenderChart&)) {
    RenderChart c;
    fill(c);
    return item_lines(render(c));
  };
  const size_t one = lines_of([](RenderChart& c) { c.MarkAt(100.0, 100.0, 2); });
  ASSERT_GT(one, 0u);
  // World marks outside the axis range are skipped although inside the bitmap.
  EXPECT_EQ(lines_of([](RenderChart& c) { c.MarkAt(340.4, 100.0, 2); }), 0u);
  EXPECT_EQ(lines_of([](RenderChart& c) { c.MarkAt(339.6, 100.0, 2); }), one);
  EXPECT_EQ(lines_of([](RenderChart& c) {
              c.SetAnnoMode(true);
              c.MarkAt(341, 10, 2);
              c.MarkAt(10, -1, 2);
            }),
            0u);
  EXPECT_EQ(lines_of([](RenderChart& c) {
              c.SetAnnoMode(true);
              c.MarkAt(340, 252, 2);
            }),
            one);
  // Duplicates within the distance are suppressed per mark type.
  EXPECT_EQ(lines_of([](RenderChart& c) {
              c.SetAvoidDuplicateMarks(true);
              c.SetMinDupMarkDist(2);
              c.MarkAt(100.0, 100.0, 2);
              c.MarkAt(101.0, 100.0, 2);
              c.MarkAt(104.0, 100.0, 2);
            }),
            2 * one);
  EXPECT_EQ(lines_of([](RenderChart& c) {
              c.SetAvoidDuplicateMarks(true);
              c.MarkAt(100.0, 100.0, 2);
              c.MarkAt(100.0, 100.0, 5);
            }),
            2 * one);
}

TEST(ZuRenderItems, ErrorBarsCursorsAndDegenerateShapes) {
  RenderChart c;
  c.SetDataColor(kRed);
  c.MarkErrorBar(100.0, 100.0, 10.0, 20.0, orVertical, 0);
  c.CursorVert(50.0);
  c.Rectangle(200.0, 100.0, 200.2, 100.2);
  c.Line(210.0, 100.0, 210.0, 100.0);
  c.Ellipse(220.0, 100.0, 0.1, 0.1);
  const ShapeCanvas sc = render(c);
  const auto l = sc.backend->Of('l');
  ASSERT_GE(l.size(), 6u);
  EXPECT_EQ(l[0].pts, pts({{100, 152}, {100, 162}}));
  EXPECT_EQ(l[1].pts, pts({{97, 162}, {104, 162}}));
  EXPECT_EQ(l[2].pts, pts({{100, 152}, {100, 132}}));
  EXPECT_EQ(l[3].pts, pts({{97, 132}, {104, 132}}));
  EXPECT_EQ(l[4].pts[0], (TPoint{100, 152}));  // the mark on the centre
  EXPECT_EQ(l[5].pts, pts({{50, 0}, {50, 252}}));
  const auto px = sc.backend->Of('x');
  ASSERT_EQ(px.size(), 3u);  // three collapsed shapes
  EXPECT_EQ(px[0].pts[0], (TPoint{200, 152}));
  EXPECT_EQ(px[1].pts[0], (TPoint{210, 152}));
  EXPECT_EQ(px[2].pts[0], (TPoint{220, 152}));
  EXPECT_EQ(px[0].pen, kRed);
  EXPECT_TRUE(sc.backend->Of('r').empty());
  EXPECT_TRUE(sc.backend->Of('e').empty());

  // On the real bitmap a collapsed rectangle is exactly one pixel.
  RenderChart b;
  b.SetDataColor(kRed);
  b.SetFillColor(kRed);
  b.Rectangle(200.0, 100.0, 200.2, 100.2);
  b.ShowGraf();
  EXPECT_EQ(b.CountArea(kRed), 1);
}

TEST(ZuRenderItems, MonochromeOutput) {
  RenderChart c;
  c.SetDataColor(kRed);
  c.SetFillColor(kBlue);
  c.Ellipse(100.0, 100.0, 20.0, 10.0);
  c.SetTextBkStyle(tbSolid);
  c.Text(50.0, 50.0, 10, "mono");
  c.MoveTo(0.0, 0.0);
  c.DrawTo(10.0, 10.0);
  const ShapeCanvas sc = render(c, 0, 0, true);
  const auto e = sc.backend->Of('e');
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].pen, 0);
  EXPECT_EQ(e[0].fill, 0xC0C0C0);
  const auto t = sc.backend->Of('t');
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].pen, 0);
  EXPECT_EQ(t[0].fill, 0xFFFFFF);
  ASSERT_EQ(sc.backend->polylines.size(), 1u);
}

TEST(ZuRenderItems, CalcTextExtentsCountsLines) {
  RenderChart c;
  TCanvas* cv = c.GrafBmp()->Canvas();
  Integer W, T, LH;
  EXPECT_EQ(TCustomZUvado::CalcTextExtents("", cv, W, T, LH), 1);
  EXPECT_EQ(W, 0);
  EXPECT_EQ(LH, cv->TextHeight("") + 1);
  EXPECT_EQ(TCustomZUvado::CalcTextExtents("a\nbbbb\n", cv, W, T, LH), 3);
  EXPECT_EQ(W, cv->TextWidth("bbbb"));
  EXPECT_EQ(T, 3 * LH);
}
