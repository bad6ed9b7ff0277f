// Crosshairs, text labels and date/time label settings: change notification, value
// checks and Assign; the error classes.
#include <gtest/gtest.h>

#include "platform/kvrbase.h"

namespace kvr {
namespace {

struct Counter {
  int calls = 0;
  TObject* last = nullptr;
  TNotifyEvent handler() {
    return [this](TObject* s) {
      ++calls;
      last = s;
    };
  }
};

TEST(KvrBaseCrossHair, SettersNotifyOnlyOnRealChanges) {
  TCrossHair ch;
  Counter n;
  ch.OnChange = n.handler();
  ch.SetCrossHColor(clBlue);
  ch.SetCrossHColor(clBlue);
  ch.SetCrossHMode(chBoth);
  ch.SetCrossHLineType(psDot);
  ch.SetCrossHLayer(2);
  ch.SetCrossHLineWid(3);
  ch.SetPos(1.5, -2.5);
  ch.SetPos(1.5, -2.5);
  ch.SetCrossHPosX(4);
  EXPECT_EQ(n.calls, 7);
  EXPECT_EQ(n.last, &ch);
  EXPECT_EQ(ch.Color(), clBlue);
  EXPECT_EQ(ch.Mode(), chBoth);
  EXPECT_EQ(ch.LineType(), psDot);
  EXPECT_EQ(ch.Layer(), 2);
  EXPECT_EQ(ch.LineWidth(), 3);
  EXPECT_EQ(ch.PosX(), 4.0);
  EXPECT_EQ(ch.PosY(), -2.5);
}

TEST(KvrBaseCrossHair, InvalidValuesAreIgnoredOrClamped) {
  TCrossHair ch;
  Counter n;
  ch.OnChange = n.handler();
  ch.SetCrossHLayer(0);
  ch.SetCrossHMode(TCrossHMode(6));
  ch.SetCrossHLineType(TPenStyle(9));
  EXPECT_EQ(n.calls, 0);
  EXPECT_EQ(ch.Layer(), 1);
  EXPECT_EQ(ch.Mode(), chOff);
  ch.SetCrossHLineWid(5);
  ch.SetCrossHLineWid(-4);
  EXPECT_EQ(ch.LineWidth(), 1);
  EXPECT_EQ(n.calls, 2);
}

TEST(KvrBaseCrossHair, AssignCopiesValuesKeepsHandlerNotifiesOnce) {
  TCrossHair src, dst;
  src.SetCrossHColor(clLime);
  src.SetCrossHMode(chCross);
  src.SetCrossHLineType(psDashDotDot);
  src.SetCrossHLineWid(2);
  src.SetCrossHLayer(3);
  src.SetPos(7, 8);
  src.SetVisible(false);
  Counter ns, nd;
  src.OnChange = ns.handler();
  dst.OnChange = nd.handler();
  dst.Assign(&src);
  EXPECT_EQ(nd.calls, 1);
  EXPECT_EQ(ns.calls, 0);
  EXPECT_EQ(dst.Color(), clLime);
  EXPECT_EQ(dst.Mode(), chCross);
  EXPECT_EQ(dst.LineType(), psDashDotDot);
  EXPECT_EQ(dst.LineWidth(), 2);
  EXPECT_EQ(dst.Layer(), 3);
  EXPECT_EQ(dst.PosX(), 7.0);
  EXPECT_EQ(dst.PosY(), 8.0);
  EXPECT_FALSE(dst.Visible());
  // The handler stays the destination's own.
  dst.SetCrossHColor(clRed);
  EXPECT_EQ(nd.calls, 2);
  EXPECT_EQ(ns.calls, 0);

  TDTLabel other;
  dst.Assign(&other);
  EXPECT_EQ(nd.calls, 2);
}

TEST(KvrBaseTextLabel, DefaultsAndNotifications) {
  TCustomTextLabel lbl;
  EXPECT_EQ(lbl.Mode(), tlOff);
  EXPECT_EQ(lbl.AttachToData(), tamBoth);
  EXPECT_EQ(lbl.Alignment(), taCenter);
  EXPECT_FALSE(lbl.Visible());
  Counter n;
  lbl.OnChange = n.handler();
  lbl.SetCaption("a\nb");
  lbl.SetCaption("a\nb");
  lbl.SetMode(tlShadow);
  lbl.SetMode(TTxtLblMode(5));
  lbl.SetAttachToData(TTxtLblAttachMode(4));
  lbl.SetLayer(0);
  lbl.SetPos(3, 4);
  EXPECT_EQ(n.calls, 3);
  // The owned font is part of the label.
  lbl.Font()->SetSize(14);
  EXPECT_EQ(n.calls, 4);
  TFont f;
  f.SetName("DejaVu Serif");
  f.SetSize(20);
  f.SetColor(clRed);
  lbl.SetFont(&f);
  EXPECT_EQ(n.calls, 5);
  EXPECT_EQ(lbl.Font()->Size(), 20);
  EXPECT_EQ(lbl.Font()->Color(), clRed);
}

TEST(KvrBaseTextLabel, AssignCopiesEverythingWithOneNotification) {
  TCustomTextLabel src, dst;
  src.SetCaption("Peak");
  src.Font()->SetSize(17);
  src.Font()->SetStyle(TFontStyles{fsBold});
  src.SetAlignment(taRightJustify);
  src.SetVerticalAlignment(vaTop);
  src.SetColorBkg(clYellow);
  src.SetColorBorder(clNavy);
  src.SetColorShadow(clSilver);
  src.SetShadowDx(-2);
  src.SetShadowDy(5);
  src.SetTransparent(true);
  src.SetLayer(2);
  src.SetMode(tlUnderline);
  src.SetPos(1.25, 9.5);
  src.SetAttachToData(tamYOnly);
  src.SetVisible(true);
  Counter n;
  dst.OnChange = n.handler();
  dst.Assign(&src);
  EXPECT_EQ(n.calls, 1);
  EXPECT_EQ(dst.Caption(), "Peak");
  EXPECT_EQ(dst.Font()->Size(), 17);
  EXPECT_TRUE(dst.Font()->Style().Contains(fsBold));
  EXPECT_EQ(dst.Alignment(), taRightJustify);
  EXPECT_EQ(dst.VerticalAlignment(), vaTop);
  EXPECT_EQ(dst.ColorBkg(), clYellow);
  EXPECT_EQ(dst.ColorBorder(), clNavy);
  EXPECT_EQ(dst.ColorShadow(), clSilver);
  EXPECT_EQ(dst.ShadowDx(), -2);
  EXPECT_EQ(dst.ShadowDy(), 5);
  EXPECT_TRUE(dst.Transparent());
  EXPECT_EQ(dst.Layer(), 2);
  EXPECT_EQ(dst.Mode(), tlUnderline);
  EXPECT_EQ(dst.PosX(), 1.25);
  EXPECT_EQ(dst.PosY(), 9.5);
  EXPECT_EQ(dst.AttachToData(), tamYOnly);
  EXPECT_TRUE(dst.Visible());
  // The copied font stays the label's own.
  EXPECT_NE(dst.Font(), src.Font());
  src.Font()->SetSize(30);
  EXPECT_EQ(dst.Font()->Size(), 17);
  dst.Font()->SetSize(9);
  EXPECT_EQ(n.calls, 2);
}

// A descendant's own settings travel with Assign through AssignSettings.
class TPositionedLabel : public TCustomTextLabel {
 public:
  int Position = 8;

 protected:
  void AssignSettings(const TCustomTextLabel& Source) override {
    TCustomTextLabel::AssignSettings(Source);
    if (auto* p = dynamic_cast<const TPositionedLabel*>(&Source)) Position = p->Position;
  }
};

TEST(KvrBaseTextLabel, DescendantsExtendAssign) {
  TPositionedLabel a, b;
  a.Position = -3;
  a.SetCaption("x");
  b.Assign(&a);
  EXPECT_EQ(b.Position, -3);
  EXPECT_EQ(b.Caption(), "x");
  TCustomTextLabel plain;
  plain.SetCaption("y");
  b.Assign(&plain);
  EXPECT_EQ(b.Position, -3);
  EXPECT_EQ(b.Caption(), "y");
}

TEST(KvrBaseDTLabel, DefaultsSettersAndAssign) {
  TDTLabel d;
  EXPECT_EQ(d.TimeFormat(), tf24Hour);
  EXPECT_EQ(d.DateSeparator(), '-');
  EXPECT_EQ(d.TimeSeparator(), ':');
  EXPECT_EQ(d.YearLength(), ylFourDigits);
  EXPECT_TRUE(d.MonthName());
  EXPECT_EQ(d.DateForTime(), dftDayChange);
  EXPECT_EQ(d.DateOrder(), doDMY);
  Counter n;
  d.OnChange = n.handler();
  d.SetDateOrder(doYMD);
  d.SetDateOrder(TDateOrder(3));
  d.SetDateSeparator('/');
  d.SetDateSeparator('\0');
  d.SetYearLength(ylNone);
  d.SetMonthName(false);
  d.SetTimeFormat(tfAmPm);
  d.SetTimeSeparator('.');
  d.SetDateForTime(dftAlways);
  d.SetDateForTime(TDateForTime(4));
  EXPECT_EQ(n.calls, 7);
  EXPECT_EQ(d.DateOrder(), doYMD);
  EXPECT_EQ(d.DateSeparator(), '/');

  TDTLabel e;
  Counter m;
  e.OnChange = m.handler();
  e.Assign(&d);
  EXPECT_EQ(m.calls, 1);
  EXPECT_EQ(e.DateOrder(), doYMD);
  EXPECT_EQ(e.DateSeparator(), '/');
  EXPECT_EQ(e.YearLength(), ylNone);
  EXPECT_FALSE(e.MonthName());
  EXPECT_EQ(e.TimeFormat(), tfAmPm);
  EXPECT_EQ(e.TimeSeparator(), '.');
  EXPECT_EQ(e.DateForTime(), dftAlways);
}

TEST(KvrBaseErrors, UnitErrorsAreBaseErrors) {
  try {
    RaiseKvrError("bad range");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "bad range");
    EXPECT_NE(dynamic_cast<const EKvrError*>(&e), nullptr);
  }
  EXPECT_THROW(throw EKvrZUvadoError("z"), EKvrError);
  EXPECT_THROW(throw EKvrRot3DError("r"), EKvrError);
}

}  // namespace
}  // namespace kvr
