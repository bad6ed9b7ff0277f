// The axis property objects of a 2-D chart and the enumerations of its axis layout.
//
// A chart owns four of them (Scale1X, Scale2X: TScalePropsHoriz; Scale1Y, Scale2Y:
// TScalePropsVert) and mirrors each into one internal TScale that ticks and paints the
// axis. Every setter stores and then calls Changed, which fires OnChange; the chart
// hooks OnChange (and the DateFormat's change event) to re-validate its ranges and
// repaint. The range setters keep |RangeHigh - RangeLow| >= MinRange; the chart's own
// range operations write the limits without any notification.
#pragma once

#include <memory>
#include <string>

#include "platform/classes.h"
#include "platform/graphics.h"
#include "platform/kvrbase.h"
#include "scale/scale.h"

namespace kvr {

class TCustomZUvado;

enum TScaleLocationHoriz : Byte { slTop, slBottom };
enum TScaleLocationVert : Byte { slLeft, slRight };

// The five standard arrangements of margins, caption and axes.
enum TrcLayout : Byte {
  rcl_X1Bottom_Y1Left, rcl_X1Bottom_Y2Left, rcl_X1Bottom_Y2Both, rcl_X2Bottom_Y2Left,
  rcl_X2Both_Y2Both
};
constexpr int kNumStdLayouts = 5;

// Where the chart caption is anchored.
enum TCaptionAnchorHoriz : Byte {
  cahControlLeft, cahChartLeft, cahChartCenter, cahChartRight, cahControlRight
};
enum TCaptionAnchorVert : Byte {
  cavControlTop, cavChartTop, cavChartCenter, cavChartBottom, cavControlBottom
};

class TScaleProps : public TPersistent {
 public:
  TScaleProps();
  ~TScaleProps() override;

  // ---- Properties ----
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& v);
  Integer CaptionPosX() const { return FCaptionPosX; }
  void SetCaptionPosX(Integer v);
  Integer CaptionPosY() const { return FCaptionPosY; }
  void SetCaptionPosY(Integer v);
  TAlignment CaptionAlignment() const { return FCaptAlign; }
  void SetCaptionAlignment(TAlignment v);
  TScaleUnitAnchor CaptionAnchor() const { return FCaptAnchor; }
  void SetCaptionAnchor(TScaleUnitAnchor v);
  TColor ColorScale() const { return FColorScale; }
  void SetColorScale(TColor v);
  // Owned; SetDateFormat copies the settings.
  TDTLabel* DateFormat() { return FDTFormat.get(); }
  const TDTLabel* DateFormat() const { return FDTFormat.get(); }
  void SetDateFormat(const TDTLabel* v);
  // Clamped to -3..12.
  Integer DecPlaces() const { return FDecPlaces; }
  void SetDecPlaces(Integer v);
  // Once the chart has loaded, true is refused for a limit below 1e-100 or date labels.
  bool Logarithmic() const { return FLogAx; }
  void SetLogarithmic(bool v);
  // ftDateTime turns Logarithmic off, ftSeconds sets DecPlaces to 4.
  TFigType LabelType() const { return FLabelType; }
  void SetLabelType(TFigType v);
  // Owned; its changes count as changes of this object.
  TFont* Font() { return FFont.get(); }
  const TFont* Font() const { return FFont.get(); }
  void SetFont(const TFont* v);
  Integer MinTicks() const { return FMinTicks; }
  void SetMinTicks(Integer v);
  // A limit closer than MinRange to the other one moves the other to MinRange away.
  // Non-finite values are ignored, and so are limits below 1e-100 on a logarithmic axis.
  double RangeLow() const { return FRangeLow; }
  void SetRangeLow(double v);
  double RangeHigh() const { return FRangeHigh; }
  void SetRangeHigh(double v);
  bool ShortTicks() const { return FShortTicks; }
  void SetShortTicks(bool v);
  const std::string& ScaleInscript() const { return FScaleInscript; }
  void SetScaleInscript(const std::string& v);
  // Side of the axis; horizontal and vertical objects set it through ScaleLocation.
  TScaleType ScaleType() const { return FScaleType; }
  void SetScaleType(TScaleType v);
  // Pixels between the chart area's edge and the axis line.
  Integer ScalePos() const { return GetScalePos(); }
  void SetScalePos(Integer v);
  Integer GetScalePos() const;
  // Minimum span, > 1e-100 (else ignored); a narrower range is widened about its centre.
  double MinRange() const { return FMinRngDiff; }
  void SetMinRange(double v);
  TMouseActMode MouseAction() const { return FMouseAction; }
  void SetMouseAction(TMouseActMode v);
  const std::string& UserTickText() const { return FUserTickText; }
  void SetUserTickText(const std::string& v);
  bool Visible() const { return FVisible; }
  void SetVisible(bool v);
  // True until the owning chart has loaded (or got its window), and again while the
  // chart loads a stored form.
  bool NotYetLoaded() const {
    return FNotYetLoaded || (FOwnerComp && FOwnerComp->ComponentState().Contains(csLoading));
  }
  void SetNotYetLoaded(bool v) { FNotYetLoaded = v; }

  // ---- Events ----
  TNotifyEvent OnChange;

  // ---- Public methods ----
  double GetScaleCenter() const { return (FRangeLow + FRangeHigh) / 2; }
  // From another TScaleProps: every setting and the OnChange handler, but neither
  // MouseAction nor ScaleLocation. Fires no change.
  void Assign(const TPersistent* Source) override;
  // Every setting back to its default (FNotYetLoaded and OnChange stay).
  virtual void Reset();
  void Changed();

 private:
  // The chart's range operations write the limits without notification.
  friend class TCustomZUvado;

  std::string FCaption;
  Integer FCaptionPosX = 0;
  Integer FCaptionPosY = 0;
  TAlignment FCaptAlign = taCenter;
  TScaleUnitAnchor FCaptAnchor = uaSclTopLft;
  TColor FColorScale = clBlack;
  std::unique_ptr<TDTLabel> FDTFormat;
  Integer FDecPlaces = -2;
  bool FLogAx = false;
  TFigType FLabelType = ftNum;
  std::unique_ptr<TFont> FFont;
  Integer FMinTicks = 3;
  bool FNotYetLoaded = true;
  // The owning chart, whose loading counts as not yet loaded; not copied by Assign.
  const TComponent* FOwnerComp = nullptr;
  double FRangeLow = 0;
  double FRangeHigh = 1;
  bool FShortTicks = true;
  std::string FScaleInscript;
  TScaleType FScaleType = sctBottom;
  Integer FScalePosX = 0;
  Integer FScalePosY = 0;
  double FMinRngDiff = 1e-10;
  TMouseActMode FMouseAction = maNone;
  std::string FUserTickText;
  bool FVisible = false;
  // Set while Assign copies the font, whose change event must stay quiet then.
  bool FAssigning = false;
};

class TScalePropsHoriz : public TScaleProps {
 public:
  TScalePropsHoriz() { Reset(); }
  TScaleLocationHoriz ScaleLocation() const { return FScaleLoc; }
  void SetScaleLocation(TScaleLocationHoriz v);
  void Reset() override;

 private:
  TScaleLocationHoriz FScaleLoc = slBottom;
};

class TScalePropsVert : public TScaleProps {
 public:
  TScalePropsVert() { Reset(); }
  TScaleLocationVert ScaleLocation() const { return FScaleLoc; }
  void SetScaleLocation(TScaleLocationVert v);
  void Reset() override;

 private:
  TScaleLocationVert FScaleLoc = slLeft;
};

}  // namespace kvr
