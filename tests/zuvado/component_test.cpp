// The chart as a component: construction, reset, the repaint rule of the setters,
// window creation, Loaded and Assign.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/bitmap.h"
#include "platform/dialogs.h"
#include "platform/kvrcolors.h"
#include "zuvado/zuvado.h"

namespace kvr {
namespace {

// A windowed chart that counts the paints that draw (not those suppressed or made
// while loading).
struct Windowed : TZUvado {
  int paints = 0;
  Windowed() : TZUvado(nullptr) { CreateWnd(); }
  using TCustomZUvado::AddMTracePoint;

 protected:
  void Paint() override {
    if (!SuppressPaint() && !ComponentState().Contains(csLoading)) ++paints;
    TZUvado::Paint();
  }
};

// Whether f made the chart paint.
template <typename F>
bool repaints(Windowed& c, F f) {
  const int before = c.paints;
  f();
  return c.paints > before;
}

std::vector<TColor> pixels(TCustomZUvado& c) {
  TBitmap bmp;
  c.CopyToBitmap(&bmp, false);
  std::vector<TColor> v;
  for (Integer y = 0; y < bmp.Height(); ++y)
    for (Integer x = 0; x < bmp.Width(); ++x) v.push_back(bmp.Canvas()->Pixels(x, y));
  return v;
}

void expect_same_axis(const TScaleProps& a, const TScaleProps& b, const char* what) {
  SCOPED_TRACE(what);
  EXPECT_EQ(a.RangeLow(), b.RangeLow());
  EXPECT_EQ(a.RangeHigh(), b.RangeHigh());
  EXPECT_EQ(a.Caption(), b.Caption());
  EXPECT_EQ(a.Visible(), b.Visible());
  EXPECT_EQ(a.ScaleType(), b.ScaleType());
  EXPECT_EQ(a.ScalePos(), b.ScalePos());
  EXPECT_EQ(a.ColorScale(), b.ColorScale());
  EXPECT_EQ(a.DecPlaces(), b.DecPlaces());
  EXPECT_EQ(a.Logarithmic(), b.Logarithmic());
  EXPECT_EQ(a.MinRange(), b.MinRange());
  EXPECT_EQ(a.MouseAction(), b.MouseAction());
  EXPECT_EQ(a.Font()->Size(), b.Font()->Size());
  EXPECT_EQ(a.DateFormat()->DateSeparator(), b.DateFormat()->DateSeparator());
}

// Every setting a reset restores and Assign copies, read through the public surface.
void expect_same_settings(const TCustomZUvado& a, const TCustomZUvado& b) {
  EXPECT_EQ(a.AllocSize(), b.AllocSize());
  EXPECT_EQ(a.AvoidDuplicateMarks(), b.AvoidDuplicateMarks());
  EXPECT_EQ(a.MinDupMarkDist(), b.MinDupMarkDist());
  EXPECT_EQ(a.ClassDefault(), b.ClassDefault());
  EXPECT_EQ(a.DataColor(), b.DataColor());
  EXPECT_EQ(a.FillColor(), b.FillColor());
  EXPECT_EQ(a.PenStyle(), b.PenStyle());
  EXPECT_EQ(a.LineWidth(), b.LineWidth());
  EXPECT_EQ(a.TextFont()->Name(), b.TextFont()->Name());
  EXPECT_EQ(a.TextFont()->Size(), b.TextFont()->Size());
  EXPECT_EQ(a.TextFontStyle(), b.TextFontStyle());
  EXPECT_EQ(a.TextBkStyle(), b.TextBkStyle());
  EXPECT_EQ(a.TextAlignment(), b.TextAlignment());
  EXPECT_EQ(a.ActiveLayer(), b.ActiveLayer());
  EXPECT_EQ(a.DataTag(), b.DataTag());
  EXPECT_EQ(a.TransparentItems(), b.TransparentItems());
  for (Integer l = 1; l <= 2; ++l) {
    EXPECT_EQ(a.LayerVisible(l), b.LayerVisible(l)) << l;
    EXPECT_EQ(a.MouseAffectsLayer(l), b.MouseAffectsLayer(l)) << l;
  }
  for (Integer k = 0; k < 256; ++k) {
    EXPECT_EQ(a.ClassVisible(k), b.ClassVisible(k)) << k;
    EXPECT_EQ(a.AnnoClassVisible(k), b.AnnoClassVisible(k)) << k;
  }

  EXPECT_EQ(a.MarginLeft(), b.MarginLeft());
  EXPECT_EQ(a.MarginRight(), b.MarginRight());
  EXPECT_EQ(a.MarginTop(), b.MarginTop());
  EXPECT_EQ(a.MarginBottom(), b.MarginBottom());
  EXPECT_EQ(a.ShadowWidth(), b.ShadowWidth());
  EXPECT_EQ(a.ShadowStyle(), b.ShadowStyle());
  EXPECT_EQ(a.ShadowColor(), b.ShadowColor());
  EXPECT_EQ(a.ShadowBakColor(), b.ShadowBakColor());
  EXPECT_EQ(a.ChartColor(), b.ChartColor());
  EXPECT_EQ(a.ChartFrameColor(), b.ChartFrameColor());
  EXPECT_EQ(a.WindColor(), b.WindColor());
  EXPECT_EQ(a.GridColor(), b.GridColor());
  EXPECT_EQ(a.GridStyle(), b.GridStyle());
  EXPECT_EQ(a.GridDx(), b.GridDx());
  EXPECT_EQ(a.GridDy(), b.GridDy());
  EXPECT_EQ(a.Caption(), b.Caption());
  EXPECT_EQ(a.CaptionPosX(), b.CaptionPosX());
  EXPECT_EQ(a.CaptionPosY(), b.CaptionPosY());
  EXPECT_EQ(a.CaptionAlignment(), b.CaptionAlignment());
  EXPECT_EQ(a.CaptionAnchorHoriz(), b.CaptionAnchorHoriz());
  EXPECT_EQ(a.CaptionAnchorVert(), b.CaptionAnchorVert());
  EXPECT_EQ(a.CaptionTrim(), b.CaptionTrim());
  EXPECT_EQ(a.Isometric(), b.Isometric());
  EXPECT_EQ(a.StandardLayout(), b.StandardLayout());
  EXPECT_EQ(a.AutoRedraw(), b.AutoRedraw());
  const TBakGndImg &ia = *a.BackGroundImg(), &ib = *b.BackGroundImg();
  EXPECT_EQ(ia.Name(), ib.Name());
  EXPECT_EQ(ia.FillMode(), ib.FillMode());
  EXPECT_EQ(ia.AreaMode(), ib.AreaMode());
  EXPECT_EQ(ia.AreaColor(), ib.AreaColor());
  EXPECT_EQ(ia.AreaLeft(), ib.AreaLeft());
  for (Integer l = 1; l <= 2; ++l) {
    EXPECT_EQ(a.JointLayers()->GetControlledLayerX(l), b.JointLayers()->GetControlledLayerX(l));
    EXPECT_EQ(a.JointLayers()->GetControlledLayerY(l), b.JointLayers()->GetControlledLayerY(l));
  }
  expect_same_axis(*a.Scale1X(), *b.Scale1X(), "Scale1X");
  expect_same_axis(*a.Scale2X(), *b.Scale2X(), "Scale2X");
  expect_same_axis(*a.Scale1Y(), *b.Scale1Y(), "Scale1Y");
  expect_same_axis(*a.Scale2Y(), *b.Scale2Y(), "Scale2Y");
  EXPECT_EQ(a.Scale2X()->ScaleLocation(), b.Scale2X()->ScaleLocation());
  EXPECT_EQ(a.Scale2Y()->ScaleLocation(), b.Scale2Y()->ScaleLocation());

  EXPECT_EQ(a.MouseAction(), b.MouseAction());
  EXPECT_EQ(a.MouseCursorFixed(), b.MouseCursorFixed());
  EXPECT_EQ(a.MouseTraceColor(), b.MouseTraceColor());
  EXPECT_EQ(a.MouseTraceInvert(), b.MouseTraceInvert());
  EXPECT_EQ(a.PanGridDx(), b.PanGridDx());
  EXPECT_EQ(a.PanGridDy(), b.PanGridDy());
  EXPECT_EQ(a.PanGridOffsX(), b.PanGridOffsX());
  EXPECT_EQ(a.PanGridOffsY(), b.PanGridOffsY());
  EXPECT_EQ(a.ZoomState(), b.ZoomState());
  EXPECT_EQ(a.ZoomRange(), b.ZoomRange());
  for (Integer l = 1; l <= 2; ++l)
    for (Integer i = -15; i <= 0; ++i)
      EXPECT_EQ(a.ZoomStack(l, i), b.ZoomStack(l, i)) << l << " " << i;

  for (Integer k = 1; k <= 4; ++k) {
    const TCrossHair &ca = *a.CrossHair(k), &cb = *b.CrossHair(k);
    EXPECT_EQ(ca.PosX(), cb.PosX()) << k;
    EXPECT_EQ(ca.Layer(), cb.Layer()) << k;
    EXPECT_EQ(ca.Color(), cb.Color()) << k;
    EXPECT_EQ(ca.Mode(), cb.Mode()) << k;
    EXPECT_EQ(ca.LineType(), cb.LineType()) << k;
    EXPECT_EQ(ca.LineWidth(), cb.LineWidth()) << k;
  }
  for (Integer k = 1; k <= 30; ++k) {
    const TTextLabel &la = *a.TextLabels(k), &lb = *b.TextLabels(k);
    EXPECT_EQ(la.PosX(), lb.PosX()) << k;
    EXPECT_EQ(la.Layer(), lb.Layer()) << k;
    EXPECT_EQ(la.AttachToData(), lb.AttachToData()) << k;
    EXPECT_EQ(la.Alignment(), lb.Alignment()) << k;
    EXPECT_EQ(la.VerticalAlignment(), lb.VerticalAlignment()) << k;
    EXPECT_EQ(la.ColorBkg(), lb.ColorBkg()) << k;
    EXPECT_EQ(la.ColorShadow(), lb.ColorShadow()) << k;
    EXPECT_EQ(la.ShadowDx(), lb.ShadowDx()) << k;
    EXPECT_EQ(la.Caption(), lb.Caption()) << k;
    EXPECT_EQ(la.Mode(), lb.Mode()) << k;
    EXPECT_EQ(la.Visible(), lb.Visible()) << k;
    EXPECT_EQ(la.Font()->Size(), lb.Font()->Size()) << k;
  }
}

// Moves nearly every setting away from its default.
void change_everything(TCustomZUvado& c) {
  c.SetAllocSize(7);
  c.SetAvoidDuplicateMarks(true);
  c.SetMinDupMarkDist(3);
  c.SetClassDefault(9);
  c.SetDataColor(clRed);
  c.SetFillColor(clBlue);
  c.SetPenStyle(psDash);
  c.SetLineWidth(3);
  c.TextFont()->SetSize(17);
  c.SetTextBkStyle(tbSolid);
  c.SetTextAlignment(taLeftJustify);
  c.SetDataTag(42);
  c.SetTransparentItems(true);
  c.SetLayerVisible(2, false);
  c.SetMouseAffectsLayer(2, true);
  c.SetClassVisible(200, false);
  c.SetAnnoClassVisible(5, false);
  c.SetStandardLayout(rcl_X2Both_Y2Both);
  c.SetShadowWidth(6);
  c.SetShadowStyle(shsOutlined);
  c.SetShadowColor(0x123456);
  c.SetShadowBakColor(0x654321);
  c.SetChartColor(0xEEEEEE);
  c.SetChartFrameColor(0x0000A0);
  c.SetWindColor(0x00A000);
  c.SetGridColor(0x808000);
  c.SetGridStyle(gsDotLines);
  c.SetGridDx(2.5);
  c.SetGridDy(-1);
  c.SetCaption("a caption");
  c.SetCaptionPosX(7);
  c.SetCaptionPosY(3);
  c.SetCaptionAlignment(taCenter);
  c.SetCaptionAnchorHoriz(cahControlLeft);
  c.SetCaptionAnchorVert(cavChartBottom);
  c.SetCaptionTrim(50);
  c.BackGroundImg()->SetAreaMode(bamRect);
  c.BackGroundImg()->SetAreaColor(0x00FFFF);
  c.BackGroundImg()->SetAreaLeft(0.25);
  c.SetRange(1, 2, 3, 40, 50);
  c.SetRange(2, -5, -6, 5, 6);
  c.JointLayers()->SetL02yControlledBy(1);
  c.Scale1X()->SetCaption("time");
  c.Scale1Y()->SetDecPlaces(4);
  c.Scale2Y()->SetMinRange(0.5);
  c.Scale2X()->SetMouseAction(maPan);
  c.Scale1X()->Font()->SetSize(15);
  c.Scale1Y()->DateFormat()->SetDateSeparator('/');
  c.SetIsometric(true);
  c.ConfineZoomRange(-100, -100, 100, 100);
  c.SetMouseAction(maZoomWind);
  c.SetMouseCursorFixed(false);
  c.SetMouseTraceColor(clRed);
  c.SetMouseTraceInvert(false);
  c.SetPanGridDx(0.5);
  c.SetPanGridDy(2);
  c.SetPanGridOffsX(0.1);
  c.SetPanGridOffsY(0.2);
  c.CrossHairSetup(3, clGreen, chBoth, psDot, 2);
  c.CrossHairSetPos(3, 10, 20);
  c.SetTextLabel(4, 1.5, 2.5, clBlue, "label", 0);
  c.TextLabels(4)->SetVerticalAlignment(vaTop);
  c.TextLabels(4)->Font()->SetSize(19);
  c.SetActiveLayer(2);
  c.SetAutoRedraw(false);
}

TEST(ZuComponent, NewChartIsSuppressedSizedAndWired) {
  TZUvado c(nullptr);
  EXPECT_TRUE(c.SuppressPaint());
  EXPECT_EQ(c.Width(), 280);
  EXPECT_EQ(c.Height(), 200);
  // Construction applies the first standard layout over the declared 50/10/16/32.
  EXPECT_EQ(c.MarginLeft(), 50);
  EXPECT_EQ(c.MarginRight(), 20);
  EXPECT_EQ(c.MarginTop(), 20);
  EXPECT_EQ(c.MarginBottom(), 40);
  EXPECT_EQ(c.CaptionPosY(), -16);
  EXPECT_EQ(c.GrafBmp()->Width(), 280 - 50 - 20 + 1);
  EXPECT_EQ(c.GrafBmp()->Height(), 200 - 20 - 40 + 1);
  EXPECT_TRUE(c.AutoRedraw());
  EXPECT_EQ(c.StyleElements(), TStyleElements{});
  EXPECT_EQ(c.FillColor(), 0xC0C0C0);
  EXPECT_EQ(c.WindColor(), TColor(0xFF00000F));
  EXPECT_EQ(c.ShadowColor(), TColor(0xFF000011));
  EXPECT_EQ(c.ShadowBakColor(), TColor(0xFF00000F));
  EXPECT_EQ(c.TextFont()->Name(), c.Font()->Name());
  EXPECT_EQ(c.TextFont()->Size(), c.Font()->Size());
  EXPECT_NE(c.TextFont(), c.Font());
  EXPECT_EQ(c.MouseAction(), maNone);
  EXPECT_TRUE(c.MouseCursorFixed());
  EXPECT_EQ(c.PanGridDx(), 1.0);
  EXPECT_EQ(c.PanGridDy(), 1.0);
  EXPECT_EQ(c.PanGridOffsX(), 0.0);
  EXPECT_EQ(c.ZoomStack(1, 0), (TRectDouble{0, 1, 1, 0}));
  EXPECT_EQ(c.ZoomStack(1, -1), TRectDouble{});
  for (Integer k = 1; k <= 2; ++k) {
    EXPECT_EQ(c.ScalesX(k)->Name(), "RC_FScale_X_" + std::to_string(k));
    EXPECT_EQ(c.ScalesY(k)->Name(), "RC_FScale_Y_" + std::to_string(k));
    EXPECT_EQ(c.ScalePropsX(k)->ColorScale(), PredefinedColors[size_t(k - 1)]);
    EXPECT_EQ(c.ScalePropsY(k)->ColorScale(), PredefinedColors[size_t(k - 1)]);
    EXPECT_EQ(c.ScalesX(k)->ColorBackGnd(), c.WindColor());
    EXPECT_TRUE(c.ScalesX(k)->SuppressPaint());
  }
  EXPECT_FALSE(c.OnZoomPan || c.OnMouseMoveInChart || c.OnScalesRendered || c.OnTextLabelMove);

  // Nothing is drawn before the window exists, whatever the setters ask for.
  int paints = 0;
  c.OnScalesRendered = [&](TObject*, TCanvas*, Integer, Integer) { ++paints; };
  c.SetChartColor(clRed);
  c.ResetComp();
  EXPECT_EQ(paints, 0);
}

TEST(ZuComponent, CreateWndAllowsPaintingAndLeavesThePaintToTheFramework) {
  TZUvado c(nullptr);
  int paints = 0;
  c.OnScalesRendered = [&](TObject*, TCanvas*, Integer, Integer) { ++paints; };
  c.CreateWnd();
  EXPECT_FALSE(c.SuppressPaint());
  EXPECT_EQ(paints, 0);
  EXPECT_TRUE(c.Dirty());
  c.Update();
  EXPECT_EQ(paints, 1);
  c.SetChartColor(clRed);
  EXPECT_EQ(paints, 2);
}

TEST(ZuComponent, ResetCompRestoresEveryDefault) {
  Windowed c;
  const TZUvado fresh(nullptr);
  c.SetAnnoMode(true);
  c.Text(1.0, 1.0, 8, "an annotation with a long text");
  c.SetAnnoMode(false);
  c.MarkAt(1.0, 2.0, 3);
  c.Text(1.0, 1.0, 8, "a data text longer than fifteen");
  c.ShowGraf();
  c.AddMTracePoint(1, 1, 0, clRed);
  change_everything(c);
  c.SetStyleElements(TStyleElements{seClient});
  c.paints = 0;

  c.ResetComp();
  expect_same_settings(c, fresh);
  EXPECT_EQ(c.NumItems(), 0);
  EXPECT_EQ(c.NumAnnos(), 0);
  EXPECT_EQ(c.NumAllocData(), 0);
  EXPECT_EQ(c.NumLongTextsData(), 0);
  EXPECT_EQ(c.NumLongTextsAnno(), 0);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 0);
  EXPECT_EQ(c.NumMTracePoints(), 0);
  EXPECT_EQ(c.StyleElements(), TStyleElements{});
  EXPECT_FALSE(c.SuppressPaint());  // painting stays allowed
  EXPECT_EQ(c.paints, 1);           // and the reset chart is shown
  // The sub-objects still report to this chart.
  EXPECT_TRUE(repaints(c, [&] { c.CrossHair(1)->SetColor(clBlue); }));
  EXPECT_TRUE(repaints(c, [&] { c.TextLabels(1)->SetCaption("x"); }));
  EXPECT_TRUE(repaints(c, [&] { c.Scale1X()->SetCaption("x"); }));
  EXPECT_TRUE(repaints(c, [&] { c.BackGroundImg()->SetAreaMode(bamLeft); }));
  EXPECT_TRUE(repaints(c, [&] { c.JointLayers()->SetL02xControlledBy(1); }));
  EXPECT_EQ(c.ScalesX(2)->Name(), "RC_FScale_X_2");
}

class ZuComponentSharing : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearMessageDlgLog();
    a.MarkAt(1.0, 1.0, 1);
    a.MarkAt(2.0, 2.0, 1);
    a.Line(0.0, 0.0, 3.0, 3.0);
    b.SetUseDataOf(&a);
    c.SetUseDataOf(&a);
  }
  void TearDown() override { EXPECT_TRUE(MessageDlgLog().empty()); }
  TZUvado a{nullptr}, b{nullptr}, c{nullptr};
};

TEST_F(ZuComponentSharing, ResetOfAUserLeavesTheOwnerAndOtherUsersIntact) {
  b.ResetComp();
  EXPECT_EQ(b.UseDataOf(), nullptr);
  EXPECT_EQ(b.NumItems(), 0);
  EXPECT_EQ(b.ItemCount(tkMarkAt), 0);
  EXPECT_EQ(a.NumItems(), 3);
  EXPECT_EQ(a.ItemCount(tkMarkAt), 2);
  EXPECT_EQ(a.GetChartItem(1).x, 2.0);
  EXPECT_EQ(a.DataUsersNum(), 1);
  EXPECT_EQ(a.DataUsers(1), &c);
  EXPECT_EQ(c.NumItems(), 3);
  // The former user draws into its own container from now on.
  b.MarkAt(5.0, 5.0, 1);
  EXPECT_EQ(b.NumItems(), 1);
  EXPECT_EQ(a.NumItems(), 3);
  c.MarkAt(6.0, 6.0, 1);
  EXPECT_EQ(a.NumItems(), 4);
  EXPECT_EQ(b.NumItems(), 1);
}

TEST_F(ZuComponentSharing, ResetOfAnOwnerReleasesUsersWithTheirItems) {
  a.ResetComp();
  EXPECT_EQ(a.NumItems(), 0);
  EXPECT_EQ(a.DataUsersNum(), 0);
  EXPECT_EQ(a.DataUsers(1), nullptr);
  for (TZUvado* u : {&b, &c}) {
    EXPECT_EQ(u->UseDataOf(), nullptr);
    EXPECT_EQ(u->NumItems(), 3);
    EXPECT_EQ(u->ItemCount(tkMarkAt), 2);
    EXPECT_EQ(u->GetChartItem(2).ItemKind, tkLine);
  }
  // No chart reaches another's container any more.
  a.MarkAt(9.0, 9.0, 1);
  b.ClearGraf();
  EXPECT_EQ(a.NumItems(), 1);
  EXPECT_EQ(c.NumItems(), 3);
  c.MarkAt(8.0, 8.0, 1);
  EXPECT_EQ(b.NumItems(), 0);
  EXPECT_EQ(c.NumItems(), 4);
  // The owner can be shared again.
  b.SetUseDataOf(&a);
  EXPECT_EQ(b.NumItems(), 1);
  EXPECT_EQ(a.DataUsersNum(), 1);
}

TEST_F(ZuComponentSharing, AssignFromAUserCopiesItemsIntoOwnData) {
  b.SetAnnoMode(true);
  b.MarkAt(0.5, 0.5, 2);
  TZUvado t(nullptr);
  t.Assign(&b);
  EXPECT_EQ(t.UseDataOf(), nullptr);
  EXPECT_EQ(t.DataUsersNum(), 0);
  EXPECT_EQ(a.DataUsersNum(), 2);
  EXPECT_EQ(t.NumItems(), 3);
  EXPECT_EQ(t.NumAnnos(), 1);
  EXPECT_EQ(t.ItemCount(tkMarkAt), 2);
  a.ClearGraf();
  EXPECT_EQ(t.NumItems(), 3);
  t.MarkAt(4.0, 4.0, 1);
  EXPECT_EQ(a.NumItems(), 0);
}

TEST_F(ZuComponentSharing, AssignIntoAUserHandsTheItemsToItsPartners) {
  TZUvado s(nullptr);
  s.MarkAt(7.0, 7.0, 4);
  b.Assign(&s);
  EXPECT_EQ(b.UseDataOf(), &a);
  for (TZUvado* u : {&a, &b, &c}) {
    EXPECT_EQ(u->NumItems(), 1);
    EXPECT_EQ(u->ItemCount(tkMarkAt), 1);
    EXPECT_EQ(u->GetChartItem(0).x, 7.0);
  }
  EXPECT_EQ(s.NumItems(), 1);
  a.MarkAt(8.0, 8.0, 1);
  EXPECT_EQ(b.NumItems(), 2);
  EXPECT_EQ(s.NumItems(), 1);
}

TEST(ZuComponent, AssignCopiesEverythingAndTheCopyStandsAlone) {
  Windowed s, t;
  s.SetTag(77);
  s.MarkAt(3.0, 4.0, 2);
  s.Text(1.0, 1.0, 8, "a data text longer than fifteen");
  s.SetAnnoMode(true);
  s.Text(2.0, 2.0, 8, "an annotation with a long text");
  s.SetAnnoMode(false);
  change_everything(s);
  int zooms = 0;
  s.OnZoomPan = [&](TObject*) { ++zooms; };
  s.OnMouseMoveInChart = [&](TObject*, bool, TShiftState, double, double) {};
  s.OnClick = [&](TObject*) {};
  t.paints = 0;

  t.Assign(&s);
  expect_same_settings(t, s);
  EXPECT_EQ(t.Tag(), 77);
  EXPECT_EQ(t.paints, 1);
  ASSERT_EQ(t.NumItems(), s.NumItems());
  EXPECT_EQ(t.NumAllocData(), s.NumAllocData());
  EXPECT_EQ(t.NumAllocAnno(), s.NumAllocAnno());
  EXPECT_EQ(t.ItemCount(tkText), 1);
  EXPECT_EQ(t.DataLongText(1), "a data text longer than fifteen");
  EXPECT_EQ(t.AnnoLongText(0), "an annotation with a long text");
  EXPECT_EQ(t.NumLongTextsData(), 1);
  EXPECT_EQ(t.NumLongTextsAnno(), 1);
  ASSERT_TRUE(t.OnZoomPan && t.OnMouseMoveInChart && t.OnClick);
  t.OnZoomPan(&t);
  EXPECT_EQ(zooms, 1);
  // Same size, same settings: the same picture.
  EXPECT_EQ(pixels(t), pixels(s));

  // The containers are copies.
  s.SetChartItem(0, TrcChartItem{});
  s.SetDataLongText(1, "changed in the source only");
  EXPECT_EQ(t.GetChartItem(0).x, 3.0);
  EXPECT_EQ(t.DataLongText(1), "a data text longer than fifteen");
  // Sub-objects report to their own chart, not to the source.
  t.SetAutoRedraw(true);
  s.SetAutoRedraw(true);
  s.paints = 0;
  EXPECT_TRUE(repaints(t, [&] { t.Scale1X()->SetCaption("own"); }));
  EXPECT_TRUE(repaints(t, [&] { t.Scale1Y()->DateFormat()->SetDateSeparator('.'); }));
  EXPECT_TRUE(repaints(t, [&] { t.CrossHair(2)->SetColor(clBlue); }));
  EXPECT_TRUE(repaints(t, [&] { t.TextLabels(4)->SetCaption("own"); }));
  EXPECT_TRUE(repaints(t, [&] { t.BackGroundImg()->SetAreaColor(clRed); }));
  EXPECT_TRUE(repaints(t, [&] { t.JointLayers()->SetL02xControlledBy(1); }));
  EXPECT_EQ(s.paints, 0);
  EXPECT_EQ(s.Scale1X()->Caption(), "time");
  EXPECT_EQ(s.TextLabels(4)->Caption(), "label");
}

TEST(ZuComponent, AssignFromOtherSourcesChangesNothing) {
  Windowed t;
  t.SetChartColor(clRed);
  TBakGndImg img;
  img.SetAreaMode(bamTop);
  t.paints = 0;
  t.Assign(&img);
  t.Assign(&t);
  t.Assign(nullptr);
  EXPECT_EQ(t.ChartColor(), clRed);
  EXPECT_EQ(t.BackGroundImg()->AreaMode(), bamNone);
  EXPECT_EQ(t.paints, 0);
}

// Each style setter with a value different from the default.
const std::vector<std::pair<const char*, std::function<void(TCustomZUvado&)>>> kStyleSetters = {
    {"ChartFrameColor", [](TCustomZUvado& c) { c.SetChartFrameColor(clRed); }},
    {"ChartColor", [](TCustomZUvado& c) { c.SetChartColor(clRed); }},
    {"WindColor", [](TCustomZUvado& c) { c.SetWindColor(clRed); }},
    {"GridColor", [](TCustomZUvado& c) { c.SetGridColor(clRed); }},
    {"ShadowColor", [](TCustomZUvado& c) { c.SetShadowColor(clRed); }},
    {"ShadowBakColor", [](TCustomZUvado& c) { c.SetShadowBakColor(clRed); }},
    {"Caption", [](TCustomZUvado& c) { c.SetCaption("x"); }},
    {"CaptionPosX", [](TCustomZUvado& c) { c.SetCaptionPosX(3); }},
    {"CaptionPosY", [](TCustomZUvado& c) { c.SetCaptionPosY(3); }},
    {"CaptionAlignment", [](TCustomZUvado& c) { c.SetCaptionAlignment(taCenter); }},
    {"CaptionAnchorHoriz", [](TCustomZUvado& c) { c.SetCaptionAnchorHoriz(cahChartLeft); }},
    {"CaptionAnchorVert", [](TCustomZUvado& c) { c.SetCaptionAnchorVert(cavControlTop); }},
    {"GridStyle", [](TCustomZUvado& c) { c.SetGridStyle(gsLines); }},
    {"ShadowStyle", [](TCustomZUvado& c) { c.SetShadowStyle(shsOutlined); }},
    {"BackGroundImg", [](TCustomZUvado& c) {
       TBakGndImg img;
       img.SetAreaMode(bamTop);
       c.SetBackGroundImg(&img);
     }},
    {"TextAlignment", [](TCustomZUvado& c) { c.SetTextAlignment(taLeftJustify); }},
    {"CaptionTrim", [](TCustomZUvado& c) { c.SetCaptionTrim(40); }},
};

TEST(ZuComponent, StyleSettersRepaintWithAutoRedrawOrWhileDesigning) {
  for (const auto& [name, set] : kStyleSetters) {
    SCOPED_TRACE(name);
    Windowed on, off, designing;
    off.SetAutoRedraw(false);
    designing.SetAutoRedraw(false);
    designing.SetDesigning(true);
    on.paints = off.paints = designing.paints = 0;
    set(on);
    set(off);
    set(designing);
    EXPECT_EQ(on.paints, 1);
    EXPECT_EQ(off.paints, 0);
    EXPECT_EQ(designing.paints, 1);
  }
}

TEST(ZuComponent, DataAttributesAndSuppressedPaintingDoNotRepaint) {
  Windowed c;
  c.paints = 0;
  c.SetDataColor(clRed);
  c.SetFillColor(clRed);
  c.SetPenStyle(psDot);
  c.SetLineWidth(4);
  c.SetClassDefault(7);
  EXPECT_EQ(c.paints, 0);

  c.SetSuppressPaint(true);
  c.SetSuppressPaint(true);
  for (const auto& setter : kStyleSetters) setter.second(c);
  EXPECT_EQ(c.paints, 0);
  c.SetSuppressPaint(false);
  EXPECT_EQ(c.paints, 1);
  c.SetSuppressPaint(false);
  EXPECT_EQ(c.paints, 1);
}

TEST(ZuComponent, CaptionTrimKeepsZeroAndClampsTheRest) {
  TZUvado c(nullptr);
  const std::pair<Integer, Integer> cases[] = {{3, 5}, {0, 0}, {250, 100}, {-7, 5}, {5, 5}, {64, 64}};
  for (const auto& [in, out] : cases) {
    c.SetCaptionTrim(in);
    EXPECT_EQ(c.CaptionTrim(), out) << in;
  }
}

TEST(ZuComponent, SetterRepaintReachesAWindowedHost) {
  Windowed c;
  int told = 0;
  c.OnHostInvalidate = [&](TCustomControl*) { ++told; };
  c.Update();
  told = 0;
  c.SetChartColor(clRed);
  EXPECT_GE(told, 1);
  EXPECT_EQ(c.Surface()->Canvas()->Pixels(c.MarginLeft() + 20, c.MarginTop() + 20), clRed);
  // The host asks for the picture: it is there, and not painted a second time.
  const int paints = c.paints;
  c.HostPicture();
  EXPECT_EQ(c.paints, paints);

  told = 0;
  c.SetAutoRedraw(false);
  c.SetChartColor(clBlue);
  EXPECT_EQ(told, 0);
}

TEST(ZuComponent, LoadedPushesStreamedAxesAndPaintsOnce) {
  Windowed c;
  c.BeginLoading();
  c.Scale1X()->SetCaption("streamed");
  c.Scale1X()->SetRangeHigh(50);
  c.SetChartColor(clRed);
  c.paints = 0;
  EXPECT_TRUE(c.Scale1X()->NotYetLoaded());
  c.Loaded();
  EXPECT_EQ(c.paints, 1);
  EXPECT_EQ(c.ScalesX(1)->Caption(), "streamed");
  EXPECT_EQ(c.ScalesX(1)->RangeHigh(), 50);
  for (Integer k = 1; k <= 2; ++k) {
    EXPECT_FALSE(c.ScalePropsX(k)->NotYetLoaded());
    EXPECT_FALSE(c.ScalePropsY(k)->NotYetLoaded());
  }
}

// TZUvado is what applications hold: the documented surface must be reachable on it.
static_assert(requires(TZUvado& z, double d, Integer i, TBitmap* b) {
  z.ClearGraf();
  z.ClearAnnotations();
  z.ShowGraf();
  z.ShowGrafNewOnly();
  z.ClearMouseTrace();
  z.ResetComp();
  z.SetSuppressPaint(false);
  z.MouseBox(d, d, d, d);
  z.MouseBoxAbort();
  z.DetectScale(i, i);
  z.R2M(1, d, d, i, i);
  z.M2R(1, i, i, d, d);
  z.GetTransformParams(1, d, d, d, d);
  z.ZoomHistory(0);
  z.ClearZoomHistory();
  z.CopyToBitmap(b, false);
  z.Assign(&z);
  z.Loaded();
  z.ZoomState();
  z.TickNumX();
  z.MousePosX();
  z.SetCrossHairPosX(1, d);
  z.SetCrossHairPosY(1, d);
});

}  // namespace
}  // namespace kvr
