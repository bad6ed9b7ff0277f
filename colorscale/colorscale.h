// TColorScale: a colour bar with a numeric scale beside it, the legend of colour-coded
// charts.
//
// Values map to colours through ColorArray (entries 1..N): ColorLow gives entry 1,
// ColorHigh entry N. The bar lies between the four margins; the inner helper scale
// (a TScale that paints onto this control's bitmap) is drawn in the bottom margin of a
// horizontal bar and in the right margin of a vertical one, and maps values to pixels
// along the bar. The scale range and the colour range are separate: the bar shows the
// colours of the colour range wherever it falls inside the scale range.
//
//   kvr::TColorScale cs(nullptr);
//   cs.SetBounds(0, 0, 300, 75);
//   cs.CreateWnd();
//   cs.ColorArray.FillByInterpolation(1, {kvr::clBlue, kvr::clYellow, kvr::clRed});
//   cs.SetScaleRange(0, 50);          // scale and colour range together
//   cs.Update();                      // picture in cs.Surface()
//
// Mouse: MouseAction maDragCrossHair drags the crosshair with the left button;
// maScaleDrag pans the range (middle of the bar) or moves the nearer end.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/control.h"
#include "platform/kvrbase.h"
#include "platform/kvrcolors.h"
#include "scale/scale.h"

namespace kvr {

enum TColScaleOrientation : Byte { csoHorizontal, csoVertical };

// InScale: the pointer lies on the bar (margins inclusive); rMousePos: the scale value
// under it along the bar.
using TMouseMoveInScaleEvent =
    std::function<void(TObject* Sender, bool InScale, TShiftState Shift, double rMousePos)>;

class TColorScale : public TCustomControl {
 public:
  using TRenderEvent = std::function<void(TObject* Sender, TCanvas* Canvas)>;

  explicit TColorScale(TComponent* AOwner);
  ~TColorScale() override;

  // Properties
  TFrameStyle FrameStyle() const { return FFrameSt; }
  void SetFrameStyle(TFrameStyle v);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& v);
  TColor CaptionColor() const { return FCaptColor; }
  void SetCaptionColor(TColor v);
  Integer CaptionPosX() const { return FCaptPosX; }
  void SetCaptionPosX(Integer v);
  Integer CaptionPosY() const { return FCaptPosY; }
  void SetCaptionPosY(Integer v);
  Integer CaptionSize() const { return FCaptSize; }
  void SetCaptionSize(Integer v);
  TFontStyles CaptionStyle() const { return FCaptStyle; }
  void SetCaptionStyle(TFontStyles v);
  // Both limits go through the inner scale, which keeps them apart; the stored range is
  // the one the scale took. Non-finite values are ignored.
  double ScaleRangeLow() const { return FColSclMin; }
  void SetScaleRangeLow(double v);
  double ScaleRangeHigh() const { return FColSclMax; }
  void SetScaleRangeHigh(double v);
  // ColorLow never exceeds ColorHigh: raising one past the other drags the other along.
  double ColorLow() const { return FColorLow; }
  void SetColorLow(double v);
  double ColorHigh() const { return FColorHigh; }
  void SetColorHigh(double v);
  // Changes made through the returned crosshair repaint the control.
  TCrossHair* CrossHair() { return FCrossHair.get(); }
  const TCrossHair* CrossHair() const { return FCrossHair.get(); }
  // Copies the settings of v.
  void SetCrossHair(const TCrossHair* v);
  bool ExtendColors() const { return FExtendColors; }
  void SetExtendColors(bool v);
  bool FramedColorScale() const { return FFramedColors; }
  void SetFramedColorScale(bool v);
  // Limited to 0 and to leaving at least one pixel of bar to the opposite margin.
  Integer MarginTop() const { return FMarginTop; }
  void SetMarginTop(Integer v);
  Integer MarginBottom() const { return FMarginBottom; }
  void SetMarginBottom(Integer v);
  Integer MarginLeft() const { return FMarginLeft; }
  void SetMarginLeft(Integer v);
  Integer MarginRight() const { return FMarginRight; }
  void SetMarginRight(Integer v);
  // maDragCrossHair and maScaleDrag act; other modes only report mouse moves.
  TMouseActMode MouseAction() const { return FMouseAction; }
  void SetMouseAction(TMouseActMode v);
  TColScaleOrientation Orientation() const { return FColScaleOrient; }
  void SetOrientation(TColScaleOrientation v);
  TColor ColorSclBkgd() const { return FColorSclBkgd; }
  void SetColorSclBkgd(TColor v);
  TColor ColorOfScale() const { return FColorScale; }
  void SetColorOfScale(TColor v);
  // csFixed: frame lines grey and white; otherwise the system's button colours.
  TColorScheme ColorScheme() const { return FColorScheme; }
  void SetColorScheme(TColorScheme v);
  // Tick count of the inner scale (0, or 2..10 as TScale keeps it).
  Integer MinTicks() const { return FScale->MinTicks(); }
  void SetMinTicks(Integer v);
  bool SuppressPaint() const { return FSuppressPaint; }
  // Clearing it repaints.
  void SetSuppPaint(bool v);
  void SetSuppressPaint(bool v) { SetSuppPaint(v); }

  // The colour table, entries 1..N; changes repaint the control.
  TColorArray ColorArray;

  // Events
  TMouseMoveInScaleEvent OnMouseMoveInScale;
  TNotifyEvent OnCrossHairMove;
  // After the caption, before the crosshair; Canvas is the off-screen image.
  TRenderEvent OnDataRendered;
  // When a scale drag ends.
  TZoomPanEvent OnZoomPan;

  // Public methods
  // The table entry of a value; the middle entry when ColorLow = ColorHigh.
  TColor ValueToColor(double Value) const;
  // The value of the table entry nearest to the colour (ColorLow for an empty table).
  double ColorToValue(TColor Color) const;
  Integer ValueToPixel(double Value) const { return FScale->R2M(Value); }
  // Scale range and colour range together; equal limits widen to low - 1 .. high + 1.
  void SetScaleRange(double Low, double High);
  // Copies the image to Bitmap at (x, y); a negative x or y first sizes Bitmap to the
  // image and copies to its origin. The image is brought up to date first.
  void CopyToBitMap(TBitmap* Bitmap, Integer x, Integer y);
  // Places the inner scale along the bar; runs after every change of geometry.
  void SetScaleDims();
  // The helper scale (read only: the colour scale owns its settings).
  const TScale* Scale() const { return FScale.get(); }

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  // From another TColorScale: every published setting and the font (not the colour
  // table, not the handlers).
  void Assign(const TPersistent* Source) override;
  void AssignTo(TPersistent* Dest) const;

 protected:
  void Paint() override;
  bool PaintOn(TCanvas& Target) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

 private:
  bool Horizontal() const { return FColScaleOrient == csoHorizontal; }
  bool PaintAllowed() const;
  void Changed() { Invalidate(); }
  // Onto Target, or onto the control's own image when Target is null.
  void RenderImage(TCanvas* Target = nullptr);
  void DrawBar(TCanvas* Cv);
  void DrawCrossHair(TCanvas* Cv);
  Integer BarLength() const;
  void TakeScaleRange();
  void DragScale(Integer X, Integer Y);
  // Limits, stores and applies one margin (Opposite: the margin across from it).
  void StoreMargin(Integer& Field, Integer v, Integer Opposite, Integer Extent);

  TFrameStyle FFrameSt = rbLowered;
  std::string FCaption;
  TColor FCaptColor = clBlack;
  Integer FCaptPosX = 10;
  Integer FCaptPosY = 10;
  Integer FCaptSize = 12;
  TFontStyles FCaptStyle{fsBold};
  bool FSuppressPaint = false;
  double FColSclMin = -10;
  double FColSclMax = 10;
  double FColorLow = -10;
  double FColorHigh = 10;
  std::unique_ptr<TCrossHair> FCrossHair;
  bool FExtendColors = false;
  bool FFramedColors = true;
  Integer FMarginTop = 8;
  Integer FMarginBottom = 22;
  Integer FMarginLeft = 16;
  Integer FMarginRight = 16;
  TMouseActMode FMouseAction = maNone;
  Integer FMouseAnchorX = 0;
  Integer FMouseAnchorY = 0;
  double FAnchorSclLow = 0;
  double FAnchorSclHigh = 0;
  TZoomPanMode FZoomPanMode = zpmNone;
  bool FLeftButWasDown = false;
  TColScaleOrientation FColScaleOrient = csoHorizontal;
  TColor FColorSclBkgd = clSilver;
  TColor FColorScale = clBlack;
  TColor FColBlackLine = clBlack;
  TColor FColGrayLine = clGray;
  TColor FColWhiteLine = clWhite;
  TColorScheme FColorScheme = csFixed;
  std::unique_ptr<TScale> FScale;
  TBitmap FGrafBmp;
};

// Records TColorScale on the palette page "KVR".
namespace Kvr_colorscale {
void Register();
}

}  // namespace kvr
