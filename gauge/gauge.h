// TScaleGauge: one value on a linear or logarithmic dial, like an instrument.
//
// The dial area lies inside the four cover margins. The inner helper scale (a TScale
// painting onto this control's bitmap) runs along the dial with its labels towards the
// top (horizontal) or the left (vertical); the index marker sits in the 10-pixel strip
// between the scale's base line and the bottom (right) cover. With FixedDial the index
// moves along a fixed dial; without it the index stays in the middle and the dial is
// centred on the value.
//
//   kvr::TScaleGauge g(nullptr);
//   g.SetBounds(0, 0, 300, 75);
//   g.CreateWnd();
//   g.SetIndexMode(kvr::gimThreadTriangle);
//   g.SetValue(3.7);                 // limited to Min..Max
//   g.Update();                      // picture in g.Surface()
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/control.h"
#include "platform/kvrbase.h"
#include "scale/scale.h"

namespace kvr {

enum TGaugeOrientation : Byte { goHorizontal, goVertical };
enum TGaugeBackground : Byte { gbPlain, gbVertGrad, gbHorizGrad, gbVertMidBand, gbHorizMidBand };
enum TGaugeIndexMode : Byte {
  gimThread,              // a line across the control
  gimTriangle,            // a triangle whose tip touches the base line
  gimThreadTriangle,      // thread in colour 1, triangle in colour 2
  gimThreadTwoTriangles,  // thread, triangle and a mirrored triangle at the top
  gimBand,                // band from the start of the dial, colours 1 to 2 along it
  gimDualColorBand,       // band from GaugeZero; colour 1 above it, colour 2 below
  gimBar                  // short three-pixel bar below the base line
};

// InGauge: the pointer lies on the inner scale's area (margins inclusive); rMousePos:
// the scale value under it along the dial.
using TMouseMoveInGaugeEvent =
    std::function<void(TObject* Sender, bool InGauge, TShiftState Shift, double rMousePos)>;

class TScaleGauge : public TCustomControl {
 public:
  explicit TScaleGauge(TComponent* AOwner);
  ~TScaleGauge() override;

  // Properties
  TFrameStyle FrameStyleInner() const { return FInnerFrameSt; }
  void SetFrameStyleInner(TFrameStyle v);
  TFrameStyle FrameStyleOuter() const { return FOuterFrameSt; }
  void SetFrameStyleOuter(TFrameStyle v);
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
  // A disabled gauge paints in greys and ignores the mouse.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  // Ignored while Logarithmic is set and the value is not positive, and when not finite.
  double Min() const { return FGaugeMin; }
  void SetMin(double v);
  double Max() const { return FGaugeMax; }
  void SetMax(double v);
  // Limited to the range (the smaller of Min and Max is the lower limit); NaN is ignored.
  double Value() const { return FGaugeValue; }
  void SetValue(double v);
  TGaugeOrientation Orientation() const { return FGaugeOrient; }
  void SetOrientation(TGaugeOrientation v);
  TGaugeBackground Background() const { return FGaugeBG; }
  void SetBackground(TGaugeBackground v);
  TGaugeIndexMode IndexMode() const { return FGaugeIdxMode; }
  void SetIndexMode(TGaugeIndexMode v);
  double GaugeZero() const { return FGaugeZero; }
  void SetGaugeZero(double v);
  // Limited so that at least 20 pixels of dial stay between opposite margins.
  Integer MarginLeft() const { return FCovMargLeft; }
  void SetMarginLeft(Integer v);
  Integer MarginRight() const { return FCovMargRight; }
  void SetMarginRight(Integer v);
  Integer MarginTop() const { return FCovMargTop; }
  void SetMarginTop(Integer v);
  Integer MarginBottom() const { return FCovMargBottom; }
  void SetMarginBottom(Integer v);
  // Switching on needs both Min and Max positive; switching off always works.
  bool Logarithmic() const { return FLogarithmic; }
  void SetLogarithmic(bool v);
  Integer MinTicks() const { return FMinTicks; }
  void SetMinTicks(Integer v);
  bool ShortTicks() const { return FShortTicks; }
  void SetShortTicks(bool v);
  TColor ColorIndex1() const { return FColorIndex1; }
  void SetColorIndex1(TColor v);
  TColor ColorIndex2() const { return FColorIndex2; }
  void SetColorIndex2(TColor v);
  TColor ColorBg1() const { return FColorSclBG1; }
  void SetColorBg1(TColor v);
  TColor ColorBg2() const { return FColorSclBG2; }
  void SetColorBg2(TColor v);
  TColor ColorCover() const { return FColorCover; }
  void SetColorCover(TColor v);
  TColor ColorScale() const { return FColorScale; }
  void SetColorScale(TColor v);
  TColorScheme ColorScheme() const { return FColorScheme; }
  void SetColorScheme(TColorScheme v);
  bool FixedDial() const { return FScaleFixed; }
  void SetFixedDial(bool v);

  // Events
  TMouseMoveInGaugeEvent OnMouseMoveInGauge;

  // Public methods
  // The inner scale's value at a pixel along the dial (as last laid out).
  double ConvertPixelToScale(Integer Pixel) const { return FScale->M2R(Pixel); }
  // The pixel of a value on the dial as last laid out.
  Integer ConvertToPixelCoords(double Value) const { return FScale->R2M(Value); }
  // Places the inner scale inside the cover; runs after every change of geometry.
  void SetScaleDims();
  // Copies the image to Bitmap at (x, y); a negative x or y first sizes Bitmap to the
  // image and copies to its origin. The image is brought up to date first.
  void CopyToBitMap(TBitmap* Bitmap, Integer x, Integer y);
  const TScale* Scale() const { return FScale.get(); }

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  // From another TScaleGauge: every published setting and the font (not the handler).
  void Assign(const TPersistent* Source) override;
  void AssignTo(TPersistent* Dest) const;

 protected:
  void Paint() override;
  bool PaintOn(TCanvas& Target) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;

 private:
  bool Horizontal() const { return FGaugeOrient == goHorizontal; }
  bool PaintAllowed() const;
  void Changed() { Invalidate(); }
  // Onto Target, or onto the control's own image when Target is null.
  void RenderImage(TCanvas* Target = nullptr);
  void LayDial();
  double ShownValue() const;
  void PaintBackground(TCanvas* Cv, TColor c1, TColor c2);
  void PaintIndex(TCanvas* Cv, TColor c1, TColor c2);
  // Limits, stores and applies one margin (Opposite: the margin across from it).
  void StoreMargin(Integer& Field, Integer v, Integer Opposite, Integer Extent);

  TFrameStyle FInnerFrameSt = rbLowered;
  TFrameStyle FOuterFrameSt = rbRaised;
  std::string FCaption;
  TColor FCaptColor = clBlack;
  Integer FCaptPosX = 10;
  Integer FCaptPosY = 10;
  Integer FCaptSize = 12;
  TFontStyles FCaptStyle{fsBold};
  bool FEnabled = true;
  double FGaugeMin = -10;
  double FGaugeMax = 10;
  double FGaugeValue = 0;
  Integer FGaugeWid = 300;
  Integer FGaugeHgt = 75;
  TGaugeOrientation FGaugeOrient = goHorizontal;
  TGaugeBackground FGaugeBG = gbVertGrad;
  TGaugeIndexMode FGaugeIdxMode = gimTriangle;
  double FGaugeZero = 0;
  Integer FCovMargLeft = 20;
  Integer FCovMargRight = 10;
  Integer FCovMargTop = 10;
  Integer FCovMargBottom = 20;
  bool FLogarithmic = false;
  Integer FMinTicks = 0;
  bool FShortTicks = false;
  TColor FColorIndex1 = clBlack;
  TColor FColorIndex2 = clRed;
  TColor FColorSclBG1 = clGray;
  TColor FColorSclBG2 = clWhite;
  TColor FColorCover = clSilver;
  TColor FColorScale = clBlack;
  TColor FColBlackLine = clBlack;
  TColor FColGrayLine = clGray;
  TColor FColWhiteLine = clWhite;
  TColorScheme FColorScheme = csFixed;
  std::unique_ptr<TScale> FScale;
  bool FScaleFixed = true;
  TBitmap FGrafBmp;
};

// Records TScaleGauge on the palette page "KVR".
namespace Kvr_gauge {
void Register();
}

}  // namespace kvr
