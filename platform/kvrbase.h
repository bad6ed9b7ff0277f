// The base library every component builds on: shared enumerations, records and event
// types, frames, data marks, crosshairs, text labels and the settings
// of date/time tick labels.
//
// Enumerations are stored and compared by ordinal (chart files keep them as one byte),
// so the order of their values is part of the contract.
//
// The setting objects (TCrossHair, TCustomTextLabel, TDTLabel) follow one pattern: a
// setter returns when the value is unchanged, clamps or ignores invalid values, stores
// it and fires OnChange. Assign copies the settings, never the OnChange handler, and
// fires OnChange once.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/canvas.h"
#include "platform/graphics.h"
#include "platform/kvrerror.h"
#include "platform/types.h"

namespace kvr {

// Horizontal text placement at an anchor (the framework's ordinals).
enum TAlignment : Byte { taLeftJustify, taRightJustify, taCenter };

// Edge looks of DrawFrame. Values 2..5 are the 3-D looks chart files store by ordinal.
enum TFrameStyle : Byte {
  rbNone,           // no frame
  rbSingle,         // one line in the line colour
  rbLowered,        // one-pixel sunken edge
  rbRaised,         // one-pixel raised edge
  rbEmbossed,       // two-pixel ridge
  rbEngraved,       // two-pixel groove
  rbDoubleLowered,  // two-pixel sunken well
  rbDoubleRaised    // two-pixel raised button
};
constexpr int kFrameStyleCount = 8;

// Side of an axis and where its labels go.
enum TScaleType : Byte { sctTop, sctBottom, sctRight, sctLeft };

// 0: fixed grey and white frame lines; otherwise the system's button colours.
enum TColorScheme : Byte { csFixed, csSystem };

// Bounding cube of the 3-D charts: none, edges only, shaded faces with edges.
enum TBoundingBox : Byte { bbNone, bbFrame, bbFaces };

// Outline of the 2-D chart's shadow band: in the shadow colour, black, or the
// colour of the corners beside it.
enum TShadowStyle : Byte { shsFlat, shsOutlined, shsBlended };

// Direction of error bars.
enum TOrientation : Byte { orVertical, orHorizontal };

// Where the anchor lies on a text block: its top, its middle or its bottom.
enum TVerticalAlignment : Byte { vaTop, vaCenter, vaBottom };

// What a mouse drag does.
enum TMouseActMode : Byte {
  maNone, maPan, maPanHoriz, maPanVert, maPanGrid, maRubberBand, maZoom, maZoomWind,
  maZoomWindPos, maZoomDrag, maDragCrossHair, maDragLabel, maRotate, maRotAndZoom,
  maRotateX, maRotateZ, maSelectRect, maMouseTrace, maScaleDrag
};

// Which part of a range a scale drag moves.
enum TZoomPanMode : Byte { zpmNone, zpmPan, zpmLowEnd, zpmHighEnd };

// Modal mouse box: idle, waiting for the first corner, dragging, finished.
enum TMouseBoxState : Byte { mbsIdle, mbsWaiting, mbsDragging, mbsDone };

enum TCrossHMode : Byte {
  chOff,    // not drawn
  chHoriz,  // horizontal line
  chVert,   // vertical line
  chBoth,   // both lines
  chCross,  // short cross with a small box
  chBox     // small box only
};

enum TTxtLblMode : Byte {
  tlOff,        // label unused
  tlSimple,     // filled box without outline
  tlBox,        // outlined box
  tlUnderline,  // underlined text
  tlShadow      // outlined box with shadow
};

// Which coordinates of a text label are world values (the others are pixels).
enum TTxtLblAttachMode : Byte { tamNone, tamXOnly, tamYOnly, tamBoth };

// How a background image fills the chart area.
enum TBkgFill : Byte { bfSimple, bfStretch, bfTile };

// Tick label families.
enum TFigType : Byte { ftNoFigs, ftNum, ftSeconds, ftDateTime, ftUserText };

enum TAxis : Byte { axX, axY, axZ };

// Zoom-window drag: idle or a window being dragged.
enum TZoomState : Byte { zsIdle, zsDragging };

// Settings of date/time tick labels.
enum TTimeFormat : Byte { tf24Hour, tfHourLetter, tfAmPm };
enum TYearLength : Byte { ylNone, ylTwoDigits, ylFourDigits };
enum TDateOrder : Byte { doMDY, doDMY, doYMD };
// When the date is written under time labels: never, at the first label, when the
// day changes, at every label.
enum TDateForTime : Byte { dftNever, dftFirst, dftDayChange, dftAlways };

// A world rectangle (for zoom states: x low, y high, x high, y low).
struct TRectDouble {
  double Left = 0;
  double Top = 0;
  double Right = 0;
  double Bottom = 0;
  friend bool operator==(const TRectDouble&, const TRectDouble&) = default;
};

// A mouse-trace point: world position, flag word (bit 0 ends a stroke, 2 = drawn
// inverted) and colour. 24 bytes.
struct TColoredPoint {
  double X = 0;
  double Y = 0;
  Word Flags = 0;
  TColor Color = 0;
};
static_assert(sizeof(TColoredPoint) == 24);

// A four-corner polygon in pixels.
using TQuad = std::array<TPoint, 4>;

using TZoomPanEvent = std::function<void(TObject* Sender)>;
using TSelectRectEvent =
    std::function<void(TObject* Sender, Integer Layer, double x1, double y1, double x2, double y2)>;
using TOnPercentDoneEvent = std::function<void(TObject* Sender, Integer Percent)>;

// Draws a frame of the given style on the pixels left..right, top..bottom (all
// inclusive). The five colours are taken by brightness, whatever their order: the
// brightest lights the top-left edges of raised looks, the next the inner light edge,
// the middle one and the fourth shade the bottom-right edges, and the darkest draws
// rbSingle. (Callers pass them in different orders: the controls' outer frames
// $FFFFFF, $C0C0C0, $808080, 0, 0, others from black to white.) System colours are
// resolved first. Draws with a solid one-pixel pen in copy mode; the canvas's pen and
// pen position are restored afterwards. Unknown styles draw nothing.
void DrawFrame(TCanvas* Canvas, TFrameStyle Style, Integer Left, Integer Top, Integer Right,
               Integer Bottom, TColor Color1, TColor Color2, TColor Color3, TColor Color4,
               TColor Color5);

// Data marks. Types 0..51 are geometric marks centred on (x, y) in the current pen:
//   0        single pixel
//   1..9     plus, cross, star (plus and cross) with half sizes 2, 3 and 5
//            (1 small plus, 2 plus, 3 large plus, 4..6 crosses, 7..9 stars)
//   10..51   closed shapes: 10 + 6 * shape + 3 * size + fill, where
//            shape 0 square, 1 diamond, 2 circle, 3..6 triangle pointing up, down,
//            left, right; size 0 half size 3, 1 half size 5; fill 0 open (interior
//            left alone), 1 filled with the current brush, 2 solid in the pen colour.
// Types 52..255 draw the character of that code (in the ANSI code page: Latin-1 with
// the typographic characters at 128..159; undefined codes and DEL draw nothing) in the
// canvas font and the pen colour, centred, without background. Pen, brush, font
// colour, text alignment and pen position are as before on return.
void DrawMarkOnCanvas(TCanvas* Canvas, Integer MarkType, Integer x, Integer y);
constexpr int kGeometricMarkCount = 52;
// The mark centred at a sub-pixel place (pixel centres at whole numbers), for smooth
// raster drawing: crosses, stars, diamonds, circles and triangles keep the fractions;
// dots, pluses and squares stay crisp on the nearest pixel, as do character marks and
// every mark on a surface that is not a smooth raster. Canvas state as DrawMarkOnCanvas.
void DrawMarkOnCanvasF(TCanvas* Canvas, Integer MarkType, double x, double y);
// The types DrawMarkOnCanvasF places at sub-pixel positions on a smooth canvas.
bool MarkKeepsFractions(Integer MarkType);
// Half size of geometric mark types (0 for the pixel); -1 for character marks.
int MarkHalfSize(Integer MarkType);

// Sets the canvas font's size in points at the canvas's vertical resolution, so that
// printer canvases get text of the same physical size as the screen.
void SetCanvasFontSizeScaled(TCanvas* Canvas, Integer Size);

// Runs Set(Obj) with Obj's OnChange detached, for owners that repaint once themselves
// (for objects that notify through an OnChange member).
template <class T, class F>
void WithoutChangeEvent(T& Obj, F&& Set) {
  auto handler = std::move(Obj.OnChange);
  Obj.OnChange = nullptr;
  Set(Obj);
  Obj.OnChange = std::move(handler);
}

// A crosshair of a chart: position in world coordinates of its layer, pen settings,
// mode. Changes reach the owner through OnChange.
class TCrossHair : public TPersistent {
 public:
  TCrossHair() = default;

  TColor Color() const { return FColor; }
  void SetCrossHColor(TColor v);
  void SetColor(TColor v) { SetCrossHColor(v); }
  Integer Layer() const { return FLayer; }
  // Layers are 1 or more; smaller values are ignored.
  void SetCrossHLayer(Integer v);
  void SetLayer(Integer v) { SetCrossHLayer(v); }
  TPenStyle LineType() const { return FLineType; }
  void SetCrossHLineType(TPenStyle v);
  void SetLineType(TPenStyle v) { SetCrossHLineType(v); }
  // Widths below 1 are stored as 1.
  Integer LineWidth() const { return FLineWid; }
  void SetCrossHLineWid(Integer v);
  void SetLineWidth(Integer v) { SetCrossHLineWid(v); }
  TCrossHMode Mode() const { return FMode; }
  void SetCrossHMode(TCrossHMode v);
  void SetMode(TCrossHMode v) { SetCrossHMode(v); }
  double PosX() const { return FPosX; }
  void SetCrossHPosX(double v);
  void SetPosX(double v) { SetCrossHPosX(v); }
  double PosY() const { return FPosY; }
  void SetCrossHPosY(double v);
  void SetPosY(double v) { SetCrossHPosY(v); }
  // Both coordinates with one notification.
  void SetPos(double x, double y);
  // Hidden crosshairs keep their mode; owners draw a crosshair only when it is visible
  // and its mode is not chOff.
  bool Visible() const { return FVisible; }
  void SetVisible(bool v);

  TNotifyEvent OnChange;

  void Assign(const TPersistent* Source) override;

 protected:
  void Changed();

 private:
  TColor FColor = clRed;
  Integer FLayer = 1;
  TPenStyle FLineType = psSolid;
  Integer FLineWid = 1;
  TCrossHMode FMode = chOff;
  double FPosX = 0;
  double FPosY = 0;
  bool FVisible = true;
};

// A movable text label: caption (line feeds separate lines), font, placement at an
// anchor given in pixels or world values, box look. Base of the chart's text labels
// and of the box plot's label template. Changes of the owned font also fire OnChange.
class TCustomTextLabel : public TPersistent {
 public:
  TCustomTextLabel();

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& v);
  TFont* Font() { return &FFont; }
  const TFont* Font() const { return &FFont; }
  // Copies the font's settings (the label keeps its own font object).
  void SetFont(const TFont* v);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment v);
  TColor ColorBkg() const { return FColorBkg; }
  void SetColorBkg(TColor v);
  TColor ColorBorder() const { return FColorBorder; }
  void SetColorBorder(TColor v);
  TColor ColorShadow() const { return FColorShadow; }
  void SetColorShadow(TColor v);
  Integer ShadowDx() const { return FShadowDx; }
  void SetShadowDx(Integer v);
  Integer ShadowDy() const { return FShadowDy; }
  void SetShadowDy(Integer v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  // Layers are 1 or more; smaller values are ignored.
  Integer Layer() const { return FLayer; }
  void SetLayer(Integer v);
  TTxtLblMode Mode() const { return FMode; }
  void SetMode(TTxtLblMode v);
  double PosX() const { return FPosX; }
  void SetPosX(double v);
  double PosY() const { return FPosY; }
  void SetPosY(double v);
  // Both coordinates with one notification.
  void SetPos(double x, double y);
  TTxtLblAttachMode AttachToData() const { return FAttachToData; }
  void SetAttachToData(TTxtLblAttachMode v);
  bool Visible() const { return FVisible; }
  void SetVisible(bool v);

  TNotifyEvent OnChange;

  // From another TCustomTextLabel: every setting including the font.
  void Assign(const TPersistent* Source) override;

 protected:
  void Changed();
  // Runs Assign's copy without notifications; descendants extend it.
  virtual void AssignSettings(const TCustomTextLabel& Source);

 private:
  std::string FCaption;
  TFont FFont;
  TAlignment FAlignment = taCenter;
  TVerticalAlignment FVerticalAlignment = vaBottom;
  TColor FColorBkg = clWhite;
  TColor FColorBorder = clBlack;
  TColor FColorShadow = clGray;
  Integer FShadowDx = 3;
  Integer FShadowDy = 3;
  bool FTransparent = false;
  Integer FLayer = 1;
  TTxtLblMode FMode = tlOff;
  double FPosX = 0;
  double FPosY = 0;
  TTxtLblAttachMode FAttachToData = tamBoth;
  bool FVisible = false;
  int FUpdating = 0;
};

// Settings of date/time tick labels. Separators are single characters.
class TDTLabel : public TPersistent {
 public:
  TDTLabel() = default;

  TDateOrder DateOrder() const { return FDateOrder; }
  void SetDateOrder(TDateOrder v);
  TDateForTime DateForTime() const { return FDateForTime; }
  void SetDateForTime(TDateForTime v);
  char DateSeparator() const { return FDateSeparator; }
  // A NUL separator is ignored.
  void SetDateSeparator(char v);
  bool MonthName() const { return FMonthName; }
  void SetMonthName(bool v);
  TTimeFormat TimeFormat() const { return FTimeFormat; }
  void SetTimeFormat(TTimeFormat v);
  char TimeSeparator() const { return FTimeSeparator; }
  void SetTimeSeparator(char v);
  TYearLength YearLength() const { return FYearLength; }
  void SetYearLength(TYearLength v);

  TNotifyEvent OnChange;

  void Assign(const TPersistent* Source) override;
  // Back to the defaults without firing OnChange, which stays attached.
  void ResetSilently();

 protected:
  void Changed();

 private:
  TDateOrder FDateOrder = doDMY;
  TDateForTime FDateForTime = dftDayChange;
  char FDateSeparator = '-';
  bool FMonthName = true;
  TTimeFormat FTimeFormat = tf24Hour;
  char FTimeSeparator = ':';
  TYearLength FYearLength = ylFourDigits;
};

}  // namespace kvr
