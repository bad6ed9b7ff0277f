// Text labels, crosshairs and the mouse trace.
#include <gtest/gtest.h>

#include "render_util.h"

using namespace kvr;
using kvr::test::RenderChart;
using kvr::test::Shape;
using kvr::test::ShapeCanvas;

namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kGreen = 0x00C000;

ShapeCanvas render(RenderChart& c) {
  ShapeCanvas sc;
  c.ConstructDataBmpCanvas(sc.canvas.get(), 0, 0, false, 0);
  return sc;
}

}  // namespace

TEST(ZuRenderOverlays, LabelSlotsTemplatesAndIndexErrors) {
  RenderChart c;
  c.SetName("Chart1");
  c.ClearAllTextLabels();
  EXPECT_EQ(c.AddTextLabel(1, 2, kRed, "a", 0), 1);
  for (int i = 2; i <= 30; ++i) EXPECT_EQ(c.AddTextLabel(1, 2, kRed, "a", 0), i);
  EXPECT_EQ(c.AddTextLabel(1, 2, kRed, "a", 0), 0);
  c.ClearAllTextLabels();
  EXPECT_EQ(c.AddTextLabel(1, 2, kRed, "a", 0), 1);

  TTextLabel* t = c.TextLabels(5);
  t->SetAlignment(taRightJustify);
  t->SetAttachToData(tamNone);
  t->SetColorBkg(kGreen);
  t->SetColorBorder(kRed);
  t->SetShadowDx(7);
  t->SetTransparent(true);
  t->SetMode(tlShadow);
  t->Font()->SetSize(20);
  t->SetVerticalAlignment(vaTop);
  const Integer ix = c.AddTextLabel(3, 4, 0x123456, "copy", 5);
  ASSERT_EQ(ix, 2);
  const TTextLabel* L = c.TextLabels(ix);
  EXPECT_EQ(L->Alignment(), taRightJustify);
  EXPECT_EQ(L->AttachToData(), tamNone);
  EXPECT_EQ(L->ColorBkg(), kGreen);
  EXPECT_EQ(L->ColorBorder(), kRed);
  EXPECT_EQ(L->ShadowDx(), 7);
  EXPECT_TRUE(L->Transparent());
  EXPECT_EQ(L->Mode(), tlShadow);
  EXPECT_NE(L->Font()->Size(), 20);
  EXPECT_NE(L->VerticalAlignment(), vaTop);
  EXPECT_EQ(L->Font()->Color(), 0x123456);
  EXPECT_TRUE(L->Visible());

  try {
    c.TextLabels(31);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Component \"Chart1\": invalid index into TextLabel array");
  }
  EXPECT_THROW(c.SetTextLabels(0, L), Exception);
  c.SetTextLabel(31, 0, 0, 0, "x", 0);  // ignored
}

TEST(ZuRenderOverlays, LabelPlacementAndBoxes) {
  RenderChart c;
  const Integer ix = c.AddTextLabel(100, 50, kRed, "one\ntwo", 0);
  TTextLabel* L = c.TextLabels(ix);
  L->SetAttachToData(tamNone);
  L->SetVerticalAlignment(vaTop);
  L->SetAlignment(taLeftJustify);
  L->SetMode(tlBox);
  ShapeCanvas sc = render(c);
  auto texts = sc.backend->Of('t');
  ASSERT_EQ(texts.size(), 2u);
  // Control pixel (100, 50) is the first line's top-left corner.
  EXPECT_EQ(texts[0].pts[0], (TPoint{100 - 50, 50 - 16}));
  const Integer h = sc.canvas->TextHeight("one\ntwo");
  EXPECT_EQ(texts[1].pts[0], (TPoint{50, 34 + h}));
  auto rects = sc.backend->Of('r');
  ASSERT_EQ(rects.size(), 1u);
  const Integer w = sc.canvas->TextWidth("one");
  EXPECT_EQ(rects[0].pts[0], (TPoint{50 - 4, 34 - 2}));
  EXPECT_EQ(rects[0].pts[1], (TPoint{50 + w + 4, 34 + 2 * h + 2}));
  EXPECT_EQ(rects[0].pen, ColorToRGB(c.ChartFrameColor()));

  // Shadow mode: the shadow box first, shifted, then the box; world anchors follow R2M.
  L->SetMode(tlShadow);
  L->SetShadowDx(3);
  L->SetShadowDy(4);
  L->SetAttachToData(tamBoth);
  L->SetPos(200, 100);
  L->SetCaption("x");
  sc = render(c);
  rects = sc.backend->Of('r');
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[1].pts[0].X - rects[0].pts[0].X, -3);
  EXPECT_EQ(rects[1].pts[0].Y - rects[0].pts[0].Y, -4);
  EXPECT_EQ(rects[0].fill, 0x808080);
  texts = sc.backend->Of('t');
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].pts[0].Y, 152);  // top-aligned at world (200, 100)
  // Hidden labels and labels on hidden layers are not drawn.
  c.HideAllTextLabels();
  EXPECT_TRUE(render(c).backend->Of('t').empty());
  L->SetVisible(true);
  c.SetLayerVisible(1, false);
  EXPECT_TRUE(render(c).backend->Of('t').empty());
}

TEST(ZuRenderOverlays, CrossHairsDrawMoveAndKeepOut) {
  RenderChart c;
  c.CrossHairSetup(1, kRed, chVert, psSolid, 5);
  c.CrossHairSetPos(1, 3, 100);  // control x 53: beyond half the width from the edge
  EXPECT_EQ(c.Ctl(53, 100), kRed);
  EXPECT_EQ(c.Ctl(55, 100), kRed);
  c.CrossHairSetPos(1, 2, 100);  // control x 52: within it
  EXPECT_NE(c.Ctl(53, 100), kRed);
  EXPECT_NE(c.Ctl(52, 100), kRed);
  c.CrossHairSetPos(1, 150, 100);
  EXPECT_EQ(c.Ctl(200, 100), kRed);
  EXPECT_NE(c.Ctl(53, 100), kRed);  // the old line is gone
  // The crosshair lives in the window image, not in the chart-area image.
  EXPECT_NE(c.Area(150, 100), kRed);

  int paints = 0;
  c.OnScalesRendered = [&](TObject*, TCanvas*, Integer, Integer) { ++paints; };
  c.SetCHPosX(3, 1.0);  // mode 0: stored, nothing drawn
  EXPECT_EQ(c.CHPosX(3), 1.0);
  EXPECT_EQ(paints, 0);
  EXPECT_EQ(c.CHPosX(5), 0.0);
  EXPECT_EQ(c.CrossHair(0), nullptr);
  c.CrossHairSetup(2, kGreen, chBox, psSolid, 1);
  c.CrossHairSetPos(2, 100, 100);
  EXPECT_EQ(c.Ctl(150 - 4, 168 - 4), kGreen);
  EXPECT_EQ(paints, 0);
  c.ResetComp();
  EXPECT_EQ(c.CrossHair(2)->Mode(), chOff);
  EXPECT_EQ(c.CrossHair(2)->Layer(), 2);
}

TEST(ZuRenderOverlays, MouseTraceStrokes) {
  RenderChart c;
  c.AddMTracePoint(10, 10, 0, kRed);
  c.AddMTracePoint(100, 10, kTraceStrokeEnd, kRed);
  c.AddMTracePoint(200, 10, 0, kRed);
  c.AddMTracePoint(200, 100, kTraceInverted, 0xFFFFFF);
  c.SetAutoRedraw(false);
  c.ShowGraf();
  EXPECT_EQ(c.NumMTracePoints(), 4);
  EXPECT_EQ(c.Area(50, 242), kRed);
  EXPECT_NE(c.Area(150, 242), kRed);  // the stroke ended at the second point
  EXPECT_EQ(c.Area(200, 200), 0x000000);  // white xor white
  EXPECT_EQ(c.GetMTracePoint(0).Flags, 0xFFFF);
  EXPECT_EQ(c.GetMTracePoint(2).X, 100);
  c.ClearMouseTrace();
  EXPECT_EQ(c.NumMTracePoints(), 0);
  EXPECT_NE(c.Area(50, 242), kRed);
  for (int i = 0; i < 5100; ++i) c.AddMTracePoint(i, 1, 0, kRed);
  EXPECT_EQ(c.NumMTracePoints(), 5000);
  c.ClearGraf();
  EXPECT_EQ(c.NumMTracePoints(), 0);
}
