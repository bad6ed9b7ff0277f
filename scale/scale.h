// TScale: one numeric, logarithmic, duration or date/time axis as a window control.
//
// Stand-alone use without a display:
//   kvr::TScale s(nullptr);        // painting waits for the window
//   s.SetBounds(0, 0, 400, 60);
//   s.CreateWnd();                 // loading is complete: painting allowed
//   s.SetRange(0, 250);            // every setter recomputes the transform and repaints
//   s.Update();                    // or Repaint(); the picture is in s.Surface()
// Inside other components a scale is a helper (SetIsHelper, SetSuppressPaint(true)) that
// draws onto the owner's bitmap (UseForeignCanvas) only when the owner calls ForcePaint.
//
// The transform maps a value (or its natural logarithm) linearly onto the pixels between
// the margins: RangeLow on the left or bottom end, RangeHigh on the right or top end.
// Ticks are computed at every paint; GetTickPos reads the list of the last paint
// (at most 250 entries, minor and major ticks in drawing order).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/control.h"
#include "platform/kvrbase.h"
#include "scale/ticks.h"

namespace kvr {

// Where the caption is anchored: start, middle or end of the axis.
enum TScaleUnitAnchor : Byte { uaSclTopLft, uaSclCenter, uaSclBotRgt };

using TScaleTickDrawnEvent =
    std::function<void(TObject* Sender, TCanvas* Canvas, TScaleType ScaleType,
                       double CurrentTickPos, Integer ChartX, Integer ChartY)>;
using TBeforeTickLabelEvent = std::function<void(TObject* Sender, TScaleType ScaleType,
                                                 double CurrentTickPos, std::string& TickLabel)>;
using TScaleRenderedEvent = std::function<void(TObject* Sender, TCanvas* Canvas)>;

constexpr Integer kScaleTickListSize = 250;

class TScale : public TCustomControl {
 public:
  explicit TScale(TComponent* AOwner);
  ~TScale() override;

  // Properties
  const std::string& Caption() const { return FUnitLabel; }
  void SetUnitLabel(const std::string& v);
  void SetCaption(const std::string& v) { SetUnitLabel(v); }
  Integer CaptionPosX() const { return FCaptionPosX; }
  void SetCaptionPosX(Integer v);
  Integer CaptionPosY() const { return FCaptionPosY; }
  void SetCaptionPosY(Integer v);
  TAlignment CaptionAlignment() const { return FCaptionAlignment; }
  void SetCaptionAlignment(TAlignment v);
  TScaleUnitAnchor CaptionAnchor() const { return FCaptionAnchor; }
  void SetCaptionAnchor(TScaleUnitAnchor v);
  TColor ColorBackGnd() const { return FColorBackGnd; }
  void SetColorBackGnd(TColor v);
  TColor ColorScale() const { return FColorScale; }
  void SetColorScale(TColor v);
  TColorScheme ColorScheme() const { return FColorScheme; }
  void SetColorScheme(TColorScheme v);
  // Owned; changes made through it repaint. SetDateFormat copies the settings.
  TDTLabel* DateFormat() { return FDTFormat.get(); }
  const TDTLabel* DateFormat() const { return FDTFormat.get(); }
  void SetDateFormat(const TDTLabel* v);
  // -3..12; -2 automatic, -3 automatic with exponent-only logarithmic labels, -1 exponent
  // form. Other values are ignored.
  Integer DecPlaces() const { return FDecPlaces; }
  void SetDecPlaces(Integer v);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TFrameStyle v);
  TFigType LabelType() const { return FLabelType; }
  void SetLabelType(TFigType v);
  // True is taken only while loading, or when both limits are >= 1e-100 and the labels
  // are not dates.
  bool Logarithmic() const { return FAxLog; }
  void SetLogarithmic(bool v);
  // Negative margins become 0.
  Integer MarginLeft() const { return FMarginLeft; }
  void SetMarginLeft(Integer v);
  Integer MarginRight() const { return FMarginRight; }
  void SetMarginRight(Integer v);
  Integer MarginTop() const { return FMarginTop; }
  void SetMarginTop(Integer v);
  Integer MarginBottom() const { return FMarginBottom; }
  void SetMarginBottom(Integer v);
  // Wanted tick intervals: 0, or clamped to 2..10. Horizontal axes turn 0 into 2 when
  // they paint; vertical axes keep it (and tick as if it were 1).
  Integer MinTicks() const { return FNumTicks; }
  void SetMinTicks(Integer v);
  TMouseActMode MouseAction() const { return FMouseAction; }
  void SetMouseAction(TMouseActMode v) { FMouseAction = v; }
  // Entries of the tick list of the last paint.
  Integer NumTicks() const { return FTickCount; }
  // Setting a limit equal to the other moves the other to the value + 1.
  double RangeLow() const { return FRangeLow; }
  void SetRangeLow(double v);
  double RangeHigh() const { return FRangeHigh; }
  void SetRangeHigh(double v);
  bool ShortTicks() const { return FShortTicks; }
  void SetShortTicks(bool v);
  bool ShowBaseLine() const { return FShowBaseLine; }
  void SetShowBaseLine(bool v);
  const std::string& ScaleInscript() const { return FScaleInscript; }
  void SetScaleInscript(const std::string& v);
  TScaleType ScaleType() const { return FScaleType; }
  void SetScaleType(TScaleType v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  const std::string& UserTickText() const { return FUserTicktext; }
  void SetUserTickText(const std::string& v);

  bool IsHelper() const { return FIsHelper; }
  void SetIsHelper(bool v) { FIsHelper = v; }
  bool SuppressPaint() const { return FSuppressPaint; }
  // Clearing it repaints.
  void SetSuppressPaint(bool v);
  TCanvas* ForeignCanvas() const { return FForeignCv; }
  Integer ForCvPosX() const { return FForCvPosX; }
  void SetForCvPosX(Integer v);
  Integer ForCvPosY() const { return FForCvPosY; }
  void SetForCvPosY(Integer v);

  // Events
  TScaleTickDrawnEvent OnScaleTickDrawn;
  TBeforeTickLabelEvent OnBeforeTickLabel;
  TScaleRenderedEvent OnBeforeScaleRendered;
  TScaleRenderedEvent OnAfterScaleRendered;
  TZoomPanEvent OnZoomPan;

  // Public methods
  // Every setting back to its default, then the transform.
  void ResetComp();
  void AdjustScalePars();
  // World value to pixel along the axis, and back.
  Integer R2M(double Value) const;
  Integer ConvertToPixelCoords(double Value) const { return R2M(Value); }
  double M2R(Integer PixelCoord) const;
  double ConvertPixelToScale(Integer PixelCoord) const { return M2R(PixelCoord); }
  // Entry ix (1-based) of the tick list; 0 outside 1..NumTicks.
  double GetTickPos(Integer ix) const;
  // Equal limits give High := Low + 1.
  void SetRange(double LowVal, double HighVal);
  double GetScaleCenter() const { return (FRangeLow + FRangeHigh) / 2; }
  // Paint onto another canvas from now on (nullptr: the own window again). The offset
  // moves the axis line: y for horizontal axes, x for vertical ones.
  void UseForeignCanvas(TCanvas* ForeignCv, Integer x, Integer y);
  // Runs Paint with the scale drawing onto Target at (0, 0), then points it back at Home,
  // also when Paint raises.
  template <class F>
  void PaintOnForeignCanvas(TCanvas& Target, TCanvas* Home, F&& Paint) {
    UseForeignCanvas(&Target, 0, 0);
    try {
      Paint();
    } catch (...) {
      UseForeignCanvas(Home, 0, 0);
      throw;
    }
    UseForeignCanvas(Home, 0, 0);
  }
  // Paints once even when painting is suppressed.
  void ForcePaint();
  // A transparent stand-alone scale asks its parent to repaint; others repaint themselves.
  void TriggerPaint();
  // Draw a horizontal axis whose line lies at y = pos, or a vertical one at x = pos.
  void DrawXScale(TCanvas* Canvas, Integer pos);
  void DrawYScale(TCanvas* Canvas, Integer pos);
  std::string ExtractUserText(const std::string& Text, Integer Index) const;
  std::string AddScaleInscription(const std::string& Text, const std::string& Inscript) const;

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  void CreateWnd() override;
  void Loaded() override;
  // From another TScale: settings, date format, transform, tick list and the rendering
  // event handlers; neither MouseAction nor OnZoomPan.
  void Assign(const TPersistent* Source) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DblClick() override;

 private:
  friend class ScaleAxisPainter;

  bool Horizontal() const { return FScaleType == sctTop || FScaleType == sctBottom; }
  bool Loading() const { return ComponentState().Contains(csLoading); }
  bool PaintAllowed() const;
  void PaintScale();
  void DrawAxisInto(TCanvas* Cv, Integer offset);
  void DrawCaption(TCanvas* Cv, Integer line);
  void DrawAxis(TCanvas* Cv, Integer pos, bool horizontal);
  void FinishLoading();
  void SetLimitsIntern(double Low, double High);

  std::string FUnitLabel;
  Integer FCaptionPosX = 4;
  Integer FCaptionPosY = 4;
  TAlignment FCaptionAlignment = taCenter;
  TScaleUnitAnchor FCaptionAnchor = uaSclTopLft;
  TColor FColorBackGnd = clBtnFace;
  TColor FColorScale = clBlack;
  TColorScheme FColorScheme = csFixed;
  std::unique_ptr<TDTLabel> FDTFormat;
  Integer FDecPlaces = -2;
  TFrameStyle FFrameStyle = rbLowered;
  TFigType FLabelType = ftNum;
  bool FAxLog = false;
  Integer FMarginLeft = 20;
  Integer FMarginRight = 20;
  Integer FMarginTop = 20;
  Integer FMarginBottom = 20;
  Integer FNumTicks = 3;
  TMouseActMode FMouseAction = maNone;
  double FRangeLow = 0;
  double FRangeHigh = 100;
  bool FShortTicks = true;
  bool FShowBaseLine = true;
  std::string FScaleInscript;
  TScaleType FScaleType = sctTop;
  bool FTransparent = false;
  std::string FUserTicktext;

  double FTransf_k = 0;
  double FTransf_d = 0;
  std::vector<double> FScaleTickPos;
  Integer FTickCount = 0;

  bool FIsHelper = false;
  bool FSuppressPaint = true;
  bool FNotYetLoaded = true;
  TCanvas* FForeignCv = nullptr;
  Integer FForCvPosX = 0;
  Integer FForCvPosY = 0;
  bool FLButtonWasDown = false;
  Integer FMAnchorX = 0;
  Integer FMAnchorY = 0;
  double FMAnchorWorldLow = 0;
  double FMAnchorWorldHigh = 0;
  TColor FColBlackLine = clBlack;
  TColor FColGrayLine = clGray;
  TColor FColWhiteLine = clWhite;

  // Off-screen picture of an opaque scale, kept between paints.
  TBitmap FBuffer;
  // Label buffers reused by every tick.
  std::string FLabelBuf;
  std::string FDateBuf;
};

// Turns a mouse drag on an axis into a new range. MouseAction maPan shifts the range,
// maZoom stretches it with the far end fixed, maZoomDrag zooms about the centre; other
// modes return false and leave NewLow/NewHigh untouched. Results that are not finite
// (a logarithmic axis with a non-positive limit, a degenerate span) also return false.
bool Rescale(Integer X, Integer Y, Integer AnchorX, Integer AnchorY, Integer Width,
             Integer Height, Integer MarginLeft, Integer MarginRight, Integer MarginTop,
             Integer MarginBottom, double AnchorLow, double AnchorHigh,
             TMouseActMode MouseAction, TScaleType ScaleType, bool Logarithmic,
             double RangeLow, double RangeHigh, double& NewLow, double& NewHigh);

}  // namespace kvr
