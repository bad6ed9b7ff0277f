// What each primitive stores: kind, coordinate mode per overload and container, the
// kind-specific fields and the clamped values.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "zu_test_util.h"

using namespace kvr;

namespace {

struct Overload {
  std::string name;
  std::function<void(TZUvado&)> call;
  TrcItem kind;
  TCoordMode annoMode;
  double x, y, x2, y2;
};

std::vector<Overload> AllOverloads() {
  const auto fs = rbRaised;
  return {
      {"MoveTo dd", [](TZUvado& c) { c.MoveTo(1.5, 2.5); }, tkMoveTo, cmAllWorld, 1.5, 2.5, 0, 0},
      {"MoveTo ii", [](TZUvado& c) { c.MoveTo(10, 20); }, tkMoveTo, cmAllScreen, 10, 20, 0, 0},
      {"MoveTo id", [](TZUvado& c) { c.MoveTo(10, 2.5); }, tkMoveTo, cmXScreenYWorld, 10, 2.5, 0, 0},
      {"MoveTo di", [](TZUvado& c) { c.MoveTo(1.5, 20); }, tkMoveTo, cmXWorldYScreen, 1.5, 20, 0, 0},
      {"DrawTo dd", [](TZUvado& c) { c.DrawTo(1.5, 2.5); }, tkLineto, cmAllWorld, 1.5, 2.5, 0, 0},
      {"DrawTo ii", [](TZUvado& c) { c.DrawTo(10, 20); }, tkLineto, cmAllScreen, 10, 20, 0, 0},
      {"DrawTo id", [](TZUvado& c) { c.DrawTo(10, 2.5); }, tkLineto, cmXScreenYWorld, 10, 2.5, 0, 0},
      {"DrawTo di", [](TZUvado& c) { c.DrawTo(1.5, 20); }, tkLineto, cmXWorldYScreen, 1.5, 20, 0, 0},
      {"MoveToRelPix", [](TZUvado& c) { c.MoveToRelPix(3, -4); }, tkMoveRelPix, cmAllWorld, 3, -4, 0, 0},
      {"DrawToRelPix", [](TZUvado& c) { c.DrawToRelPix(3, -4); }, tkLineRelPix, cmAllWorld, 3, -4, 0, 0},
      {"DrawToRelPix orig", [](TZUvado& c) { c.DrawToRelPix(1.5, 2.5, 3, -4); }, tkLineRelPixOrig,
       cmAllWorld, 1.5, 2.5, 3, -4},
      {"Line dddd", [](TZUvado& c) { c.Line(1.0, 2.0, 3.0, 4.0); }, tkLine, cmAllWorld, 1, 2, 3, 4},
      {"Line iiii", [](TZUvado& c) { c.Line(1, 2, 3, 4); }, tkLine, cmAllScreen, 1, 2, 3, 4},
      {"Line ddii", [](TZUvado& c) { c.Line(1.0, 2.0, 3, 4); }, tkLine, cmWorldMainScreenSec, 1, 2, 3, 4},
      {"Line iidd", [](TZUvado& c) { c.Line(1, 2, 3.0, 4.0); }, tkLine, cmScreenMainWorldSec, 1, 2, 3, 4},
      {"LineOffset", [](TZUvado& c) { c.LineOffset(1.0, 2.0, 3.0, 4.0, 5, 6); }, tkLineOffs,
       cmAllWorld, 1, 2, 3, 4},
      {"Rectangle dddd", [](TZUvado& c) { c.Rectangle(1.0, 2.0, 3.0, 4.0); }, tkRect, cmAllWorld, 1, 2, 3, 4},
      {"Rectangle iiii", [](TZUvado& c) { c.Rectangle(1, 2, 3, 4); }, tkRect, cmAllScreen, 1, 2, 3, 4},
      {"Rectangle ddii", [](TZUvado& c) { c.Rectangle(1.0, 2.0, 3, 4); }, tkRect,
       cmWorldMainScreenSec, 1, 2, 3, 4},
      {"Rectangle iidd", [](TZUvado& c) { c.Rectangle(1, 2, 3.0, 4.0); }, tkRect,
       cmScreenMainWorldSec, 1, 2, 3, 4},
      {"RectangleRelPix", [](TZUvado& c) { c.RectangleRelPix(1.0, 2.0, 5, 6); }, tkRectRelPix,
       cmAllWorld, 1, 2, 0, 0},
      {"RectFrame dddd", [fs](TZUvado& c) { c.RectFrame(1.0, 2.0, 3.0, 4.0, fs, clGray, clWhite); },
       tkRectFrame, cmAllWorld, 1, 2, 3, 4},
      {"RectFrame iiii", [fs](TZUvado& c) { c.RectFrame(1, 2, 3, 4, fs, clGray, clWhite); },
       tkRectFrame, cmAllScreen, 1, 2, 3, 4},
      {"RectFrame ddii", [fs](TZUvado& c) { c.RectFrame(1.0, 2.0, 3, 4, fs, clGray, clWhite); },
       tkRectFrame, cmWorldMainScreenSec, 1, 2, 3, 4},
      {"RectFrame iidd", [fs](TZUvado& c) { c.RectFrame(1, 2, 3.0, 4.0, fs, clGray, clWhite); },
       tkRectFrame, cmScreenMainWorldSec, 1, 2, 3, 4},
      {"Bar3D", [](TZUvado& c) { c.Bar3D(1.0, 2.0, 3.0, 4.0, 5, 30); }, tk3DBar, cmAllWorld, 1, 2, 3, 4},
      {"Ellipse", [](TZUvado& c) { c.Ellipse(1.0, 2.0, 3.0, 4.0); }, tkEllipse, cmAllWorld, 1, 2, 3, 4},
      {"Arc", [](TZUvado& c) { c.Arc(1.0, 2.0, 3.0, 4.0, 0.5, 1.0); }, tkArc, cmAllWorld, 1, 2, 3, 4},
      {"Arrow dddd", [](TZUvado& c) { c.Arrow(1.0, 2.0, 3.0, 4.0, 9); }, tkArrow, cmAllWorld, 1, 2, 3, 4},
      {"Arrow iiii", [](TZUvado& c) { c.Arrow(1, 2, 3, 4, 9); }, tkArrow, cmAllScreen, 1, 2, 3, 4},
      {"Arrow ddii", [](TZUvado& c) { c.Arrow(1.0, 2.0, 3, 4, 9); }, tkArrow, cmWorldMainScreenSec, 1, 2, 3, 4},
      {"Arrow iidd", [](TZUvado& c) { c.Arrow(1, 2, 3.0, 4.0, 9); }, tkArrow, cmScreenMainWorldSec, 1, 2, 3, 4},
      {"Arrow didi", [](TZUvado& c) { c.Arrow(1.0, 2, 3.0, 4, 9); }, tkArrow, cmXWorldYScreen, 1, 2, 3, 4},
      {"Arrow idid", [](TZUvado& c) { c.Arrow(1, 2.0, 3, 4.0, 9); }, tkArrow, cmXScreenYWorld, 1, 2, 3, 4},
      {"DoubleArrow dddd", [](TZUvado& c) { c.DoubleArrow(1.0, 2.0, 3.0, 4.0, 9); }, tkDoubleArrow,
       cmAllWorld, 1, 2, 3, 4},
      {"DoubleArrow iiii", [](TZUvado& c) { c.DoubleArrow(1, 2, 3, 4, 9); }, tkDoubleArrow,
       cmAllScreen, 1, 2, 3, 4},
      {"DoubleArrow ddii", [](TZUvado& c) { c.DoubleArrow(1.0, 2.0, 3, 4, 9); }, tkDoubleArrow,
       cmWorldMainScreenSec, 1, 2, 3, 4},
      {"DoubleArrow iidd", [](TZUvado& c) { c.DoubleArrow(1, 2, 3.0, 4.0, 9); }, tkDoubleArrow,
       cmScreenMainWorldSec, 1, 2, 3, 4},
      {"DoubleArrow didi", [](TZUvado& c) { c.DoubleArrow(1.0, 2, 3.0, 4, 9); }, tkDoubleArrow,
       cmXWorldYScreen, 1, 2, 3, 4},
      {"DoubleArrow idid", [](TZUvado& c) { c.DoubleArrow(1, 2.0, 3, 4.0, 9); }, tkDoubleArrow,
       cmXScreenYWorld, 1, 2, 3, 4},
      {"MarkAt dd", [](TZUvado& c) { c.MarkAt(1.5, 2.5, 7); }, tkMarkAt, cmAllWorld, 1.5, 2.5, 0, 0},
      {"MarkAt ii", [](TZUvado& c) { c.MarkAt(10, 20, 7); }, tkMarkAt, cmAllScreen, 10, 20, 0, 0},
      {"MarkErrorBar", [](TZUvado& c) { c.MarkErrorBar(1.0, 2.0, 0.5, 0.25, orHorizontal, 7); },
       tkMarkEBar, cmAllWorld, 1, 2, 0.5, 0.25},
      {"CursorVert d", [](TZUvado& c) { c.CursorVert(1.5); }, tkCursorVert, cmAllWorld, 1.5, 0, 0, 0},
      {"CursorVert i", [](TZUvado& c) { c.CursorVert(15); }, tkCursorVert, cmAllScreen, 15, 0, 0, 0},
      {"CursorHoriz d", [](TZUvado& c) { c.CursorHoriz(2.5); }, tkCursorHoriz, cmAllWorld, 0, 2.5, 0, 0},
      {"CursorHoriz i", [](TZUvado& c) { c.CursorHoriz(25); }, tkCursorHoriz, cmAllScreen, 0, 25, 0, 0},
      {"Text dd", [](TZUvado& c) { c.Text(1.5, 2.5, 9, "t"); }, tkText, cmAllWorld, 1.5, 2.5, 0, 0},
      {"Text ii", [](TZUvado& c) { c.Text(10, 20, 9, "t"); }, tkText, cmAllScreen, 10, 20, 0, 0},
      {"Text id", [](TZUvado& c) { c.Text(10, 2.5, 9, "t"); }, tkText, cmXScreenYWorld, 10, 2.5, 0, 0},
      {"Text di", [](TZUvado& c) { c.Text(1.5, 20, 9, "t"); }, tkText, cmXWorldYScreen, 1.5, 20, 0, 0},
      {"Text long", [](TZUvado& c) { c.Text(1.5, 2.5, 9, "t", 0, 0, taLeftJustify); }, tkText,
       cmAllWorld, 1.5, 2.5, 0, 0},
      {"Text offset", [](TZUvado& c) { c.Text(1.5, 2.5, 9, "t", 5, -6, taLeftJustify); }, tkTextOfs,
       cmAllWorld, 1.5, 2.5, 5, -6},
  };
}

}  // namespace

TEST(ZuPrimitives, EveryOverloadStoresItsModeInAnnotationsAndWorldInData) {
  for (const Overload& o : AllOverloads()) {
    SCOPED_TRACE(o.name);
    TZUvado c(nullptr);
    o.call(c);
    c.SetAnnoMode(true);
    o.call(c);
    ASSERT_EQ(c.NumItems(), 1);
    ASSERT_EQ(c.NumAnnos(), 1);
    const TrcChartItem d = c.DataContainer(0), a = c.AnnoContainer(0);
    EXPECT_EQ(d.ItemKind, o.kind);
    EXPECT_EQ(a.ItemKind, o.kind);
    EXPECT_EQ(d.CoordMode, cmAllWorld);
    EXPECT_EQ(a.CoordMode, o.annoMode);
    for (const TrcChartItem* it : {&d, &a}) {
      EXPECT_EQ(it->x, o.x);
      EXPECT_EQ(it->y, o.y);
      EXPECT_EQ(it->x2, o.x2);
      EXPECT_EQ(it->y2, o.y2);
      EXPECT_EQ(it->Layer, 1);
    }
    EXPECT_EQ(c.ItemCount(o.kind), 1);
  }
}

// Fields that a kind does not use stay cleared, whatever was in the slot before.
TEST(ZuPrimitives, CommonFieldsFollowTheKind) {
  TZUvado c(nullptr);
  c.SetFillColor(clAqua);
  c.SetTransparentItems(true);
  c.SetLineWidth(4);
  c.SetDataTag(-7);
  c.Text(0.0, 0.0, 9, "garbage source text");
  c.RemoveLastItem();
  c.Text(1.0, 1.0, 9, "x");
  c.RemoveLastItem();
  for (const Overload& o : AllOverloads()) o.call(c);
  for (Integer i = 0; i < c.NumItems(); ++i) {
    const TrcChartItem it = c.DataContainer(i);
    SCOPED_TRACE(int(it.ItemKind));
    const bool noFill = it.ItemKind == tkMarkAt || it.ItemKind == tkMarkEBar ||
                        it.ItemKind == tkMoveTo || it.ItemKind == tkMoveRelPix;
    EXPECT_EQ(it.FillColor, noFill ? 0 : clAqua);
    const bool transp = it.ItemKind == tkRect || it.ItemKind == tkRectRelPix ||
                        it.ItemKind == tkEllipse || it.ItemKind == tkArc ||
                        it.ItemKind == tkArrow || it.ItemKind == tkDoubleArrow;
    EXPECT_EQ(it.Transp, transp);
    const bool text = IsTextItem(it.ItemKind);
    EXPECT_EQ(it.LWid, it.ItemKind == tkRectFrame ? 1 : (text ? 0 : 4));
    EXPECT_EQ(it.Tag, -7);
    if (!text) {
      EXPECT_EQ(it.Text.Len, 0);
    }
  }
}

TEST(ZuPrimitives, KindParameters) {
  TZUvado c(nullptr);
  c.SetTextBkStyle(tbSolid);
  c.SetTextAlignment(taRightJustify);
  c.RectFrame(0.0, 0.0, 1.0, 1.0, rbEngraved, 0x123456, 0x654321);
  c.Text(1.0, 1.0, 14, "abc");
  c.Text(1.0, 1.0, 11, "abc", 0, 3, taLeftJustify);
  c.MarkErrorBar(1.0, 1.0, 0.1, 0.2, orHorizontal, 33);
  c.LineOffset(0.0, 0.0, 1.0, 1.0, -5, 6);
  c.RectangleRelPix(0.0, 0.0, 7, -8);
  c.Arrow(0.0, 0.0, 1.0, 1.0, 12);
  const TrcChartItem f = c.DataContainer(0), t = c.DataContainer(1), o = c.DataContainer(2),
                     e = c.DataContainer(3), l = c.DataContainer(4), r = c.DataContainer(5),
                     a = c.DataContainer(6);
  EXPECT_EQ(f.FrameStyle, rbEngraved);
  EXPECT_EQ(f.ShadowColor, 0x123456);
  EXPECT_EQ(f.HiLightColor, 0x654321);
  EXPECT_EQ(t.Param1, 14);
  EXPECT_EQ(t.Param2, tbSolid);
  EXPECT_EQ(t.Param3, taRightJustify);
  EXPECT_EQ(o.ItemKind, tkTextOfs);
  EXPECT_EQ(o.Param1, 11);
  EXPECT_EQ(o.Param3, taLeftJustify);
  EXPECT_EQ(o.y2, 3.0);
  EXPECT_EQ(e.Param1, orHorizontal);
  EXPECT_EQ(e.Param3, 33);
  EXPECT_EQ(l.Param1, -5);
  EXPECT_EQ(l.Param2, 6);
  EXPECT_EQ(r.Param1, 7);
  EXPECT_EQ(r.Param2, -8);
  EXPECT_EQ(a.Param1, 12);
  EXPECT_EQ(c.ItemCount(tkText), 1);
  EXPECT_EQ(c.ItemCount(tkTextOfs), 1);
}

TEST(ZuPrimitives, Bar3DAngleIsClampedDepthIsNot) {
  TZUvado c(nullptr);
  c.Bar3D(0.0, 0.0, 1.0, 1.0, 4, 200);
  c.Bar3D(0.0, 0.0, 1.0, 1.0, -9, -5);
  c.Bar3D(0.0, 0.0, 1.0, 1.0, 0, 180);
  EXPECT_EQ(c.DataContainer(0).Param1, 180);
  EXPECT_EQ(c.DataContainer(0).Param2, 4);
  EXPECT_EQ(c.DataContainer(1).Param1, 0);
  EXPECT_EQ(c.DataContainer(1).Param2, -9);
  EXPECT_EQ(c.DataContainer(2).Param1, 180);
}

TEST(ZuPrimitives, ArcAnglesAreClampedAndScaled) {
  TZUvado c(nullptr);
  c.Arc(0.0, 0.0, 1.0, 1.0, 4.0, -4.0);
  c.Arc(0.0, 0.0, 1.0, 1.0, 0.5, -1.234567891);
  c.Arc(0.0, 0.0, 1.0, 1.0, 0.4e-8, 1e300);
  EXPECT_EQ(c.DataContainer(0).Param1, 314159265);
  EXPECT_EQ(c.DataContainer(0).Param2, -314159265);
  EXPECT_EQ(c.DataContainer(1).Param1, 50000000);
  EXPECT_EQ(c.DataContainer(1).Param2, -123456789);
  EXPECT_EQ(c.DataContainer(2).Param1, 0);
  EXPECT_EQ(c.DataContainer(2).Param2, 314159265);
}

TEST(ZuPrimitives, EveryDataAppendPropagatesOnce) {
  kvr::test::ProbeChart c;
  const auto all = AllOverloads();
  for (const Overload& o : all) o.call(c);
  EXPECT_EQ(c.propagations, int(all.size()));
  EXPECT_EQ(c.paints, 0);
}
