// The drawing primitives: each call appends one item and draws nothing. Every overload
// family funnels into one ...Intern worker that receives doubles and the coordinate
// mode its argument types stand for.
#include <cmath>

#include "platform/arith.h"
#include "platform/univconst.h"
#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

bool keeps_fill_color(TrcItem k) {
  return k != tkMarkAt && k != tkMarkEBar && k != tkMoveTo && k != tkMoveRelPix;
}

bool keeps_transparency(TrcItem k) {
  return k == tkRect || k == tkRectRelPix || k == tkEllipse || k == tkArc || k == tkArrow ||
         k == tkDoubleArrow;
}

// Radians clamped to -pi..pi, in units of 1e-8 radian, ties to even.
Integer arc_angle(double a) {
  if (a > uc_pi) a = uc_pi;
  if (a < -uc_pi) a = -uc_pi;
  return Integer(Round(static_cast<long double>(a) * kArcAngleScale));
}

}  // namespace

// Starts from an all-zero byte image so that unused fields and padding never carry
// stale values into the file image.
TrcChartItem TCustomZUvado::NewItem(TrcItem Kind, TCoordMode cm) const {
  TrcChartItem it;
  std::memset(static_cast<void*>(&it), 0, sizeof it);
  it.ItemKind = Kind;
  it.Layer = FActiveLayer;
  it.ItemClass = FClassDefault;
  it.Color = FDataColor;
  it.PenStyle = FPenStyle;
  it.Tag = FDataTag;
  it.LWid = FLineWidth;
  it.CoordMode = FAnnoMode ? cm : cmAllWorld;
  if (keeps_fill_color(Kind)) it.FillColor = FFillColor;
  if (keeps_transparency(Kind)) it.Transp = FTransparentItems;
  return it;
}

void TCustomZUvado::AppendItem(const TrcChartItem& Item) {
  if (FAnnoMode) {
    FAnnoContainer.Append(Item, FAllocSize);
    return;
  }
  FDataContainer->Append(Item, FAllocSize);
  CountKind(Item.ItemKind, +1);
  AdjustCanInfoOfSharedCharts();
}

void TCustomZUvado::MoveToIntern(double x, double y, TCoordMode cm) {
  TrcChartItem it = NewItem(tkMoveTo, cm);
  it.x = x;
  it.y = y;
  AppendItem(it);
}

void TCustomZUvado::DrawToIntern(double x, double y, TCoordMode cm) {
  TrcChartItem it = NewItem(tkLineto, cm);
  it.x = x;
  it.y = y;
  AppendItem(it);
}

void TCustomZUvado::LineIntern(double x1, double y1, double x2, double y2, TCoordMode cm) {
  TrcChartItem it = NewItem(tkLine, cm);
  it.x = x1;
  it.y = y1;
  it.x2 = x2;
  it.y2 = y2;
  AppendItem(it);
}

void TCustomZUvado::RectangleIntern(double x1, double y1, double x2, double y2, TCoordMode cm) {
  TrcChartItem it = NewItem(tkRect, cm);
  it.x = x1;
  it.y = y1;
  it.x2 = x2;
  it.y2 = y2;
  AppendItem(it);
}

void TCustomZUvado::RectFrameIntern(double x1, double y1, double x2, double y2,
                                    TFrameStyle FrameStyle, TColor ShadowColor,
                                    TColor HiLightColor, TCoordMode cm) {
  TrcChartItem it = NewItem(tkRectFrame, cm);
  it.x = x1;
  it.y = y1;
  it.x2 = x2;
  it.y2 = y2;
  it.LWid = 1;
  it.FrameStyle = FrameStyle;
  it.ShadowColor = ShadowColor;
  it.HiLightColor = HiLightColor;
  AppendItem(it);
}

void TCustomZUvado::ArrowIntern(double x1, double y1, double x2, double y2, Integer HeadSize,
                                TCoordMode cm) {
  TrcChartItem it = NewItem(tkArrow, cm);
  it.x = x1;
  it.y = y1;
  it.x2 = x2;
  it.y2 = y2;
  it.Param1 = HeadSize;
  AppendItem(it);
}

void TCustomZUvado::DoubleArrowIntern(double x1, double y1, double x2, double y2,
                                      Integer HeadSize, TCoordMode cm) {
  TrcChartItem it = NewItem(tkDoubleArrow, cm);
  it.x = x1;
  it.y = y1;
  it.x2 = x2;
  it.y2 = y2;
  it.Param1 = HeadSize;
  AppendItem(it);
}

void TCustomZUvado::MarkAtIntern(double x, double y, Byte mk, TCoordMode cm) {
  TrcChartItem it = NewItem(tkMarkAt, cm);
  it.x = x;
  it.y = y;
  it.Param3 = mk;
  AppendItem(it);
}

void TCustomZUvado::CursorVertIntern(double x, TCoordMode cm) {
  TrcChartItem it = NewItem(tkCursorVert, cm);
  it.x = x;
  AppendItem(it);
}

void TCustomZUvado::CursorHorizIntern(double y, TCoordMode cm) {
  TrcChartItem it = NewItem(tkCursorHoriz, cm);
  it.y = y;
  AppendItem(it);
}

// The long-text slot comes from the container the item goes to.
void TCustomZUvado::TextIntern(double x, double y, Integer size, const std::string& txt,
                               Integer dx, Integer dy, TAlignment Alignment, TCoordMode cm) {
  TrcChartItem it = NewItem(dx == 0 && dy == 0 ? tkText : tkTextOfs, cm);
  it.x = x;
  it.y = y;
  it.x2 = dx;
  it.y2 = dy;
  it.LWid = 0;
  if (FAnnoMode)
    StoreText(it, txt, FLongTextsAnno, FNumLongTextsAnno);
  else
    StoreText(it, txt, FLongTextsData, FNumLongTextsData);
  it.Param1 = size;
  it.Param2 = FTextBkStyle;
  it.Param3 = Alignment;
  AppendItem(it);
}

void TCustomZUvado::MoveTo(double x, double y) { MoveToIntern(x, y, cmAllWorld); }
void TCustomZUvado::MoveTo(Integer x, Integer y) { MoveToIntern(x, y, cmAllScreen); }
void TCustomZUvado::MoveTo(Integer x, double y) { MoveToIntern(x, y, cmXScreenYWorld); }
void TCustomZUvado::MoveTo(double x, Integer y) { MoveToIntern(x, y, cmXWorldYScreen); }

void TCustomZUvado::DrawTo(double x, double y) { DrawToIntern(x, y, cmAllWorld); }
void TCustomZUvado::DrawTo(Integer x, Integer y) { DrawToIntern(x, y, cmAllScreen); }
void TCustomZUvado::DrawTo(Integer x, double y) { DrawToIntern(x, y, cmXScreenYWorld); }
void TCustomZUvado::DrawTo(double x, Integer y) { DrawToIntern(x, y, cmXWorldYScreen); }

// The relative-pixel kinds are pixels by their kind; their mode stays world.
void TCustomZUvado::MoveToRelPix(Integer dx, Integer dy) {
  TrcChartItem it = NewItem(tkMoveRelPix, cmAllWorld);
  it.x = dx;
  it.y = dy;
  AppendItem(it);
}

void TCustomZUvado::DrawToRelPix(Integer dx, Integer dy) {
  TrcChartItem it = NewItem(tkLineRelPix, cmAllWorld);
  it.x = dx;
  it.y = dy;
  AppendItem(it);
}

void TCustomZUvado::DrawToRelPix(double x, double y, Integer dx, Integer dy) {
  TrcChartItem it = NewItem(tkLineRelPixOrig, cmAllWorld);
  it.x = x;
  it.y = y;
  it.x2 = dx;
  it.y2 = dy;
  AppendItem(it);
}

void TCustomZUvado::Line(double x1, double y1, double x2, double y2) {
  LineIntern(x1, y1, x2, y2, cmAllWorld);
}
void TCustomZUvado::Line(Integer x1, Integer y1, Integer x2, Integer y2) {
  LineIntern(x1, y1, x2, y2, cmAllScreen);
}
void TCustomZUvado::Line(double x1, double y1, Integer x2, Integer y2) {
  LineIntern(x1, y1, x2, y2, cmWorldMainScreenSec);
}
void TCustomZUvado::Line(Integer x1, Integer y1, double x2, double y2) {
  LineIntern(x1, y1, x2, y2, cmScreenMainWorldSec);
}

void TCustomZUvado::LineOffset(double x1, double y1, double x2, double y2, Integer dx,
                               Integer dy) {
  TrcChartItem it = NewItem(tkLineOffs, cmAllWorld);
  it.x = x1;
  it.y = y1;
  it.x2 = x2;
  it.y2 = y2;
  it.Param1 = dx;
  it.Param2 = dy;
  AppendItem(it);
}

void TCustomZUvado::Rectangle(double x1, double y1, double x2, double y2) {
  RectangleIntern(x1, y1, x2, y2, cmAllWorld);
}
void TCustomZUvado::Rectangle(Integer x1, Integer y1, Integer x2, Integer y2) {
  RectangleIntern(x1, y1, x2, y2, cmAllScreen);
}
void TCustomZUvado::Rectangle(double x1, double y1, Integer x2, Integer y2) {
  RectangleIntern(x1, y1, x2, y2, cmWorldMainScreenSec);
}
void TCustomZUvado::Rectangle(Integer x1, Integer y1, double x2, double y2) {
  RectangleIntern(x1, y1, x2, y2, cmScreenMainWorldSec);
}

void TCustomZUvado::RectangleRelPix(double centx, double centy, Integer dx, Integer dy) {
  TrcChartItem it = NewItem(tkRectRelPix, cmAllWorld);
  it.x = centx;
  it.y = centy;
  it.Param1 = dx;
  it.Param2 = dy;
  AppendItem(it);
}

void TCustomZUvado::RectFrame(double x1, double y1, double x2, double y2, TFrameStyle FrameStyle,
                              TColor ShadowColor, TColor HiLightColor) {
  RectFrameIntern(x1, y1, x2, y2, FrameStyle, ShadowColor, HiLightColor, cmAllWorld);
}
void TCustomZUvado::RectFrame(Integer x1, Integer y1, Integer x2, Integer y2,
                              TFrameStyle FrameStyle, TColor ShadowColor, TColor HiLightColor) {
  RectFrameIntern(x1, y1, x2, y2, FrameStyle, ShadowColor, HiLightColor, cmAllScreen);
}
void TCustomZUvado::RectFrame(double x1, double y1, Integer x2, Integer y2,
                              TFrameStyle FrameStyle, TColor ShadowColor, TColor HiLightColor) {
  RectFrameIntern(x1, y1, x2, y2, FrameStyle, ShadowColor, HiLightColor, cmWorldMainScreenSec);
}
void TCustomZUvado::RectFrame(Integer x1, Integer y1, double x2, double y2,
                              TFrameStyle FrameStyle, TColor ShadowColor, TColor HiLightColor) {
  RectFrameIntern(x1, y1, x2, y2, FrameStyle, ShadowColor, HiLightColor, cmScreenMainWorldSec);
}

void TCustomZUvado::Bar3D(double llx, double lly, double urx, double ury, Integer Depth,
                          Integer Angle) {
  TrcChartItem it = NewItem(tk3DBar, cmAllWorld);
  it.x = llx;
  it.y = lly;
  it.x2 = urx;
  it.y2 = ury;
  it.Param1 = Angle > 180 ? 180 : (Angle < 0 ? 0 : Angle);
  it.Param2 = Depth;
  AppendItem(it);
}

void TCustomZUvado::Ellipse(double cx, double cy, double HorizAxLeng, double VertAxLeng) {
  TrcChartItem it = NewItem(tkEllipse, cmAllWorld);
  it.x = cx;
  it.y = cy;
  it.x2 = HorizAxLeng;
  it.y2 = VertAxLeng;
  AppendItem(it);
}

void TCustomZUvado::Arc(double cx, double cy, double HorizAxLeng, double VertAxLeng,
                        double Angle1, double Angle2) {
  TrcChartItem it = NewItem(tkArc, cmAllWorld);
  it.x = cx;
  it.y = cy;
  it.x2 = HorizAxLeng;
  it.y2 = VertAxLeng;
  it.Param1 = arc_angle(Angle1);
  it.Param2 = arc_angle(Angle2);
  AppendItem(it);
}

void TCustomZUvado::Arrow(double x1, double y1, double x2, double y2, Integer HeadSize) {
  ArrowIntern(x1, y1, x2, y2, HeadSize, cmAllWorld);
}
void TCustomZUvado::Arrow(Integer x1, Integer y1, Integer x2, Integer y2, Integer HeadSize) {
  ArrowIntern(x1, y1, x2, y2, HeadSize, cmAllScreen);
}
void TCustomZUvado::Arrow(double x1, double y1, Integer x2, Integer y2, Integer HeadSize) {
  ArrowIntern(x1, y1, x2, y2, HeadSize, cmWorldMainScreenSec);
}
void TCustomZUvado::Arrow(Integer x1, Integer y1, double x2, double y2, Integer HeadSize) {
  ArrowIntern(x1, y1, x2, y2, HeadSize, cmScreenMainWorldSec);
}
void TCustomZUvado::Arrow(double x1, Integer y1, double x2, Integer y2, Integer HeadSize) {
  ArrowIntern(x1, y1, x2, y2, HeadSize, cmXWorldYScreen);
}
void TCustomZUvado::Arrow(Integer x1, double y1, Integer x2, double y2, Integer HeadSize) {
  ArrowIntern(x1, y1, x2, y2, HeadSize, cmXScreenYWorld);
}

void TCustomZUvado::DoubleArrow(double x1, double y1, double x2, double y2, Integer HeadSize) {
  DoubleArrowIntern(x1, y1, x2, y2, HeadSize, cmAllWorld);
}
void TCustomZUvado::DoubleArrow(Integer x1, Integer y1, Integer x2, Integer y2,
                                Integer HeadSize) {
  DoubleArrowIntern(x1, y1, x2, y2, HeadSize, cmAllScreen);
}
void TCustomZUvado::DoubleArrow(double x1, double y1, Integer x2, Integer y2, Integer HeadSize) {
  DoubleArrowIntern(x1, y1, x2, y2, HeadSize, cmWorldMainScreenSec);
}
void TCustomZUvado::DoubleArrow(Integer x1, Integer y1, double x2, double y2, Integer HeadSize) {
  DoubleArrowIntern(x1, y1, x2, y2, HeadSize, cmScreenMainWorldSec);
}
void TCustomZUvado::DoubleArrow(double x1, Integer y1, double x2, Integer y2, Integer HeadSize) {
  DoubleArrowIntern(x1, y1, x2, y2, HeadSize, cmXWorldYScreen);
}
void TCustomZUvado::DoubleArrow(Integer x1, double y1, Integer x2, double y2, Integer HeadSize) {
  DoubleArrowIntern(x1, y1, x2, y2, HeadSize, cmXScreenYWorld);
}

void TCustomZUvado::MarkAt(double x, double y, Byte mk) { MarkAtIntern(x, y, mk, cmAllWorld); }
void TCustomZUvado::MarkAt(Integer x, Integer y, Byte mk) { MarkAtIntern(x, y, mk, cmAllScreen); }

void TCustomZUvado::MarkErrorBar(double x, double y, double dlower, double dupper,
                                 TOrientation Dir, Byte mk) {
  TrcChartItem it = NewItem(tkMarkEBar, cmAllWorld);
  it.x = x;
  it.y = y;
  it.x2 = dlower;
  it.y2 = dupper;
  it.Param1 = Dir;
  it.Param3 = mk;
  AppendItem(it);
}

void TCustomZUvado::CursorVert(double x) { CursorVertIntern(x, cmAllWorld); }
void TCustomZUvado::CursorVert(Integer x) { CursorVertIntern(x, cmAllScreen); }
void TCustomZUvado::CursorHoriz(double y) { CursorHorizIntern(y, cmAllWorld); }
void TCustomZUvado::CursorHoriz(Integer y) { CursorHorizIntern(y, cmAllScreen); }

void TCustomZUvado::Text(double x, double y, Integer size, const std::string& txt) {
  TextIntern(x, y, size, txt, 0, 0, FTextAlignment, cmAllWorld);
}
void TCustomZUvado::Text(Integer x, Integer y, Integer size, const std::string& txt) {
  TextIntern(x, y, size, txt, 0, 0, FTextAlignment, cmAllScreen);
}
void TCustomZUvado::Text(Integer x, double y, Integer size, const std::string& txt) {
  TextIntern(x, y, size, txt, 0, 0, FTextAlignment, cmXScreenYWorld);
}
void TCustomZUvado::Text(double x, Integer y, Integer size, const std::string& txt) {
  TextIntern(x, y, size, txt, 0, 0, FTextAlignment, cmXWorldYScreen);
}
void TCustomZUvado::Text(double x, double y, Integer size, const std::string& txt, Integer dx,
                         Integer dy, TAlignment Alignment) {
  TextIntern(x, y, size, txt, dx, dy, Alignment, cmAllWorld);
}

}  // namespace kvr
