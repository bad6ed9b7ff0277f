// Extreme integer and floating inputs: every setter, primitive and event below takes
// values at the ends of its type and must leave a chart that paints and copies. Run in
// the sanitizer build, any signed overflow or invalid conversion on the way aborts.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "zuvado/zuvado.h"

namespace kvr {
namespace {

constexpr Integer kInts[] = {INT_MAX, INT_MIN, -1, 0};

// The opposite end: INT_MIN has no negation of its own.
constexpr Integer neg(Integer v) { return v == INT_MIN ? INT_MAX : -v; }

// A chart with one item of every common kind, text labels and crosshairs on.
class ExtremeChart : public TZUvado {
 public:
  ExtremeChart() : TZUvado(nullptr) {
    SetBounds(0, 0, 240, 180);
    CreateWnd();
    SetRange(1, 0, 0, 100, 100);
    SetRange(2, 0, 0, 100, 100);
    MoveTo(10.0, 10.0);
    DrawTo(90.0, 80.0);
    Rectangle(20.0, 20.0, 40.0, 30.0);
    MarkAt(50.0, 50.0, 2);
    Text(30.0, 60.0, 10, "a text longer than fifteen characters");
    Text(30.0, 40.0, 10, "ofs", 5, -5, taCenter);
    Arrow(5.0, 5.0, 60.0, 70.0, 6);
    SetAnnoMode(true);
    Text(20.0, 20.0, 10, "anno text", 4, 4, taRightJustify);
    Rectangle(5, 5, 30, 30);
    MarkAt(60.0, 60.0, 4);
    SetAnnoMode(false);
    AddTextLabel(50, 50, clBlack, "label", 0);
    CrossHair1()->SetMode(chBoth);
    CrossHair1()->SetPos(30, 30);
    Scale1X()->SetVisible(true);
    Scale1Y()->SetVisible(true);
  }
  void PaintAndCopy() {
    Update();
    ShowGraf();
    TBitmap full;
    CopyToBitmap(&full, false);
    TBitmap bw;
    CopyToBitmap(&bw, true, false);
    TBitmap area;
    CopyToBitmapDAOnly(&area, false);
    double d = 0;
    FindNearestItemScreen(120, 90, tkEverything, 255, d);
    FindNearestAnnoElem(120, 90, tkEverything, 255, false, d);
  }
};

struct IntSetter {
  const char* name;
  std::function<void(ExtremeChart&, Integer)> set;
};

TEST(ZuExtremes, EveryIntegerSetterOfChartScalesAndOverlaysTakesTheEndsOfInteger) {
  const std::vector<IntSetter> setters = {
      {"MarginLeft", [](ExtremeChart& c, Integer v) { c.SetMarginLeft(v); }},
      {"MarginRight", [](ExtremeChart& c, Integer v) { c.SetMarginRight(v); }},
      {"MarginTop", [](ExtremeChart& c, Integer v) { c.SetMarginTop(v); }},
      {"MarginBottom", [](ExtremeChart& c, Integer v) { c.SetMarginBottom(v); }},
      {"ShadowWidth", [](ExtremeChart& c, Integer v) { c.SetShadowWidth(v); }},
      {"CaptionPosX", [](ExtremeChart& c, Integer v) { c.SetCaption("Caption"); c.SetCaptionPosX(v); }},
      {"CaptionPosY", [](ExtremeChart& c, Integer v) { c.SetCaption("Caption"); c.SetCaptionPosY(v); }},
      {"CaptionTrim", [](ExtremeChart& c, Integer v) { c.SetCaption("Caption"); c.SetCaptionTrim(v); }},
      {"MinDupMarkDist", [](ExtremeChart& c, Integer v) {
         c.SetAvoidDuplicateMarks(true);
         c.SetMinDupMarkDist(v);
         c.MarkAt(50.0, 50.0, 2);
         c.MarkAt(50.0, 51.0, 2);
       }},
      {"AllocSize", [](ExtremeChart& c, Integer v) { c.SetAllocSize(v); c.MarkAt(1.0, 1.0, 1); }},
      {"ActiveLayer", [](ExtremeChart& c, Integer v) { c.SetActiveLayer(v); }},
      {"ClassDefault", [](ExtremeChart& c, Integer v) { c.SetClassDefault(v); }},
      {"DataTag", [](ExtremeChart& c, Integer v) { c.SetDataTag(v); }},
      {"Scale1X.CaptionPosX", [](ExtremeChart& c, Integer v) { c.Scale1X()->SetCaptionPosX(v); }},
      {"Scale1X.CaptionPosY", [](ExtremeChart& c, Integer v) { c.Scale1X()->SetCaptionPosY(v); }},
      {"Scale1Y.CaptionPosX", [](ExtremeChart& c, Integer v) { c.Scale1Y()->SetCaptionPosX(v); }},
      {"Scale1Y.CaptionPosY", [](ExtremeChart& c, Integer v) { c.Scale1Y()->SetCaptionPosY(v); }},
      {"Scale1X.DecPlaces", [](ExtremeChart& c, Integer v) { c.Scale1X()->SetDecPlaces(v); }},
      {"Scale1Y.MinTicks", [](ExtremeChart& c, Integer v) { c.Scale1Y()->SetMinTicks(v); }},
      {"Scale1X.ScalePos", [](ExtremeChart& c, Integer v) { c.Scale1X()->SetScalePos(v); }},
      {"Scale1Y.ScalePos", [](ExtremeChart& c, Integer v) { c.Scale1Y()->SetScalePos(v); }},
      {"Scale2X.ScalePos", [](ExtremeChart& c, Integer v) {
         c.Scale2X()->SetVisible(true);
         c.Scale2X()->SetScalePos(v);
       }},
      {"Label.ShadowDx", [](ExtremeChart& c, Integer v) {
         c.TextLabels(1)->SetMode(tlShadow);
         c.TextLabels(1)->SetShadowDx(v);
       }},
      {"Label.ShadowDy", [](ExtremeChart& c, Integer v) {
         c.TextLabels(1)->SetMode(tlShadow);
         c.TextLabels(1)->SetShadowDy(v);
       }},
      {"Label.Layer", [](ExtremeChart& c, Integer v) { c.TextLabels(1)->SetLayer(v); }},
      {"CrossHair.LineWidth", [](ExtremeChart& c, Integer v) { c.CrossHair1()->SetLineWidth(v); }},
      {"CrossHair.Layer", [](ExtremeChart& c, Integer v) { c.CrossHair1()->SetLayer(v); }},
      {"TextOffsets", [](ExtremeChart& c, Integer v) {
         c.Text(50.0, 50.0, 10, "offset text", v, v, taRightJustify);
         c.Text(50.0, 50.0, 10, "offset text", v, neg(v) / 2, taLeftJustify);
       }},
      {"TextSize", [](ExtremeChart& c, Integer v) { c.Text(50.0, 50.0, v, "sized"); }},
      {"PixelItems", [](ExtremeChart& c, Integer v) {
         c.LineOffset(10.0, 10.0, 20.0, 20.0, v, v);
         c.RectangleRelPix(50.0, 50.0, v, v);
         c.Arrow(10.0, 10.0, v, v, v);
         c.DoubleArrow(10.0, 10.0, 50.0, 50.0, v);
         c.MoveTo(v, v);
         c.DrawTo(v, neg(v));
         c.DrawToRelPix(v, v);
         c.Rectangle(v, v, neg(v), 0);
         c.Line(0, v, v, 0);
       }},
      {"AnnoPixelItems", [](ExtremeChart& c, Integer v) {
         c.SetAnnoMode(true);
         c.Rectangle(v, v, neg(v), 0);
         c.Text(50.0, 50.0, 10, "anno", v, v, taCenter);
         c.MarkAt(double(v), double(v), 3);
         c.SetAnnoMode(false);
       }},
      {"MouseAt", [](ExtremeChart& c, Integer v) {
         c.HostMouseMove({}, v, v);
         c.HostMouseDown(mbLeft, {}, v, neg(v));
         c.HostMouseMove({}, neg(v), v);
         c.HostMouseUp(mbLeft, {}, v, v);
       }},
      {"Wheel", [](ExtremeChart& c, Integer v) {
         c.HostMouseWheel({}, v, 100, 100);
         c.HostMouseWheel({}, v, v, v);
       }},
  };
  for (const IntSetter& s : setters)
    for (Integer v : kInts) {
      SCOPED_TRACE(std::string(s.name) + " = " + std::to_string(v));
      ExtremeChart c;
      s.set(c, v);
      c.PaintAndCopy();
    }
}

TEST(ZuExtremes, HugeAndNonFiniteWorldCoordinatesPaintAndHitTest) {
  const double huge = std::numeric_limits<double>::max();
  const double values[] = {huge, -huge, 1e300, -1e300, 2147483648.0, -2147483649.0,
                           std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::denorm_min()};
  for (double v : values) {
    SCOPED_TRACE(v);
    ExtremeChart c;
    c.MarkAt(v, v, 2);
    c.Line(v, 0.0, 0.0, v);
    c.Rectangle(v, v, 1.0, 1.0);
    c.Ellipse(v, v, v, v);
    c.Text(v, v, 10, "far away text");
    c.CursorVert(v);
    c.CrossHair1()->SetPos(v, v);
    c.TextLabels(1)->SetPos(v, v);
    c.PaintAndCopy();
    double d = 0;
    c.FindNearestItemReal(v, v, tkEverything, 255, d);
    c.FindNearestItemScreen(v, v, tkEverything, 255, d);
    c.FindNearestItemAlongAxis(v, 0, tkEverything, 255, d);
    c.FindNearestItemAlongAxis(v, 1, tkEverything, 255, d);
    c.FindNearestAnnoElem(v, v, tkEverything, 255, false, d);
    // A range of extreme width.
    c.SetRange(1, -huge, -huge, huge, huge);
    c.PaintAndCopy();
    c.SetRange(1, 0, 0, std::numeric_limits<double>::denorm_min(),
               std::numeric_limits<double>::denorm_min());
    c.PaintAndCopy();
  }
}

TEST(ZuExtremes, RecordsWithExtremeFieldsFromAFileAreDrawnWithoutOverflow) {
  for (Integer v : kInts) {
    SCOPED_TRACE(v);
    ExtremeChart c;
    // Pen width, sizes and text parameters as a file can hold them.
    for (Integer i = 0; i < c.NumItems(); ++i) {
      TrcChartItem it = c.GetChartItem(i);
      if (!IsTextItem(it.ItemKind)) it.LWid = v;
      it.Param1 = v;
      it.Param2 = v;
      it.Param3 = v;
      it.x2 = double(v);
      it.y2 = double(v);
      c.SetChartItem(i, it);
    }
    for (Integer i = 0; i < c.NumAnnos(); ++i) {
      TrcChartItem it = c.GetAnnoItem(i);
      it.Param1 = v;
      it.Param2 = v;
      it.Param3 = v;
      it.x2 = double(v);
      it.y2 = double(v);
      c.SetAnnoItem(i, it);
    }
    const std::string name = testing::TempDir() + "extreme_" + std::to_string(v);
    c.SaveData(name + ".dat");
    c.SaveAnno(name + ".ann");
    ExtremeChart d;
    ASSERT_EQ(d.LoadData(name + ".dat", false), c.NumItems());
    ASSERT_EQ(d.LoadAnno(name + ".ann", false), c.NumAnnos());
    d.PaintAndCopy();
    double dist = 0;
    for (double q : {0.0, 1e9, -1e9})
      d.FindNearestAnnoElem(q, q, tkEverything, 255, false, dist);
  }
}

}  // namespace
}  // namespace kvr
