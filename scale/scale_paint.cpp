#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/kvrmath.h"
#include "platform/paintguard.h"
#include "scale/scale.h"
#include "scale/ticklabels.h"

namespace kvr {

namespace {

constexpr int kMajorX = 7;  // major tick length and label gap, horizontal axes
constexpr int kMajorY = 6;  // vertical axes
constexpr int kMinor = 4;
constexpr int kLabelGapY = 2;

// Tick pixels of far-away values sit at the ends of the 32-bit range; offsets from
// them are worked out wide and clamped back.
Integer px(int64_t v) { return ClampPix(v); }

bool is_time_unit(detail::TimeUnit u) {
  return u == detail::TimeUnit::hundredths || u == detail::TimeUnit::seconds ||
         u == detail::TimeUnit::minutes || u == detail::TimeUnit::hours;
}

}  // namespace

// Draws each tick as the walk reports it: mark, tick list entry, event, label and (on
// time axes) the date line. Everything an axis needs per tick is frozen here once.
class ScaleAxisPainter final : public detail::TickSink {
 public:
  ScaleAxisPainter(TScale& s, TCanvas* cv, Integer pos, bool horizontal, const detail::TickSetup& setup,
                   const detail::TickPlan& plan)
      : s_(s), cv_(cv), pos_(pos), horizontal_(horizontal), setup_(setup), plan_(plan) {
    type_ = s.FScaleType;
    outward_ = horizontal ? (type_ == sctBottom ? 1 : -1) : (type_ == sctLeft ? -1 : 1);
    if (plan.family == detail::TickFamily::linear)
      decimals_ = detail::auto_decimals_linear(s.FDecPlaces, setup.low, setup.high);
    else if (plan.family == detail::TickFamily::logarithmic)
      decimals_ = detail::auto_decimals_log(s.FDecPlaces, setup.low, setup.high);
    if (plan.family == detail::TickFamily::date_time) {
      formats_ = detail::date_time_formats(plan.unit, *s.FDTFormat);
      date_line_ = is_time_unit(plan.unit) ? s.FDTFormat->DateForTime() : dftNever;
    }
  }

  void on_tick(const detail::Tick& t) override {
    const Integer p = s_.R2M(t.value);
    int len = t.major ? (horizontal_ ? kMajorX : kMajorY) : kMinor;
    if (!horizontal_ && plan_.family == detail::TickFamily::logarithmic) len = kMajorY;
    if (horizontal_) {
      cv_->MoveTo(p, pos_);
      cv_->LineTo(p, px(int64_t{pos_} + outward_ * len));
    } else {
      cv_->MoveTo(pos_, p);
      cv_->LineTo(px(int64_t{pos_} + outward_ * len), p);
    }
    if (s_.FTickCount < kScaleTickListSize) s_.FScaleTickPos[s_.FTickCount++] = t.value;
    if (s_.OnScaleTickDrawn)
      s_.OnScaleTickDrawn(&s_, cv_, type_, t.value, horizontal_ ? p : pos_, horizontal_ ? pos_ : p);
    if (t.labelled && s_.FLabelType != ftNoFigs) label(t, p);
  }

 private:
  void label(const detail::Tick& t, Integer p) {
    std::string& text = s_.FLabelBuf;
    switch (plan_.family) {
      case detail::TickFamily::date_time:
        detail::date_time_label(formats_.tick, t.value, formats_.year_digits_trimmed, text);
        break;
      case detail::TickFamily::duration:
        detail::duration_label(t.value, plan_.fractions, text);
        break;
      case detail::TickFamily::logarithmic:
        detail::log_label(t.value, t.multiplier, decimals_, s_.FDecPlaces, text);
        break;
      case detail::TickFamily::linear:
        detail::linear_label(t.value, decimals_, s_.FDecPlaces, setup_.low, setup_.high, text);
        break;
    }
    ++labelled_;
    if (plan_.family != detail::TickFamily::date_time) {
      if (s_.FLabelType == ftUserText)
        text = detail::extract_user_text(s_.FUserTicktext, labelled_);
      else if (!s_.FScaleInscript.empty())
        text = detail::add_scale_inscription(text, s_.FScaleInscript);
    }
    if (s_.OnBeforeTickLabel) s_.OnBeforeTickLabel(&s_, type_, t.value, text);
    if (horizontal_)
      place_horizontal(text, p, pos_);
    else
      place_vertical(text, p, false);
    if (date_line_ != dftNever) date_line(t.value, p);
  }

  void date_line(double v, Integer p) {
    Integer y = 0, m = 0, d = 0;
    if (!DecodeDate(detail::to_framework_date(v), y, m, d)) return;
    bool show = false;
    switch (date_line_) {
      case dftFirst: show = remembered_day_ < 0; break;
      case dftDayChange: show = d != remembered_day_; break;
      case dftAlways: show = true; break;
      default: break;
    }
    if (!show) return;
    remembered_day_ = d;
    std::string& text = s_.FDateBuf;
    detail::date_time_label(formats_.date, v, false, text);
    if (s_.OnBeforeTickLabel) s_.OnBeforeTickLabel(&s_, type_, v, text);
    if (horizontal_) {
      const Integer h = cv_->TextHeight(text);
      place_horizontal(text, p, px(int64_t{pos_} + outward_ * h));
    } else {
      place_vertical(text, p, true);
    }
  }

  // Centred on the tick, but kept inside the control with a two-pixel rim.
  void place_horizontal(const std::string& text, Integer p, Integer line) {
    if (text.empty()) return;
    const Integer th = cv_->TextHeight(text);
    const Integer half = cv_->TextWidth(text) / 2;
    const Integer top = px(type_ == sctBottom ? int64_t{line} + kMajorX : int64_t{line} - kMajorX - th);
    Integer left = px(int64_t{p} - half);
    if (left < 2) left = 2;
    if (int64_t{p} + half >= s_.Width() - 2) left = s_.Width() - 2 * half - 2;
    cv_->TextOut(left, top, text);
  }

  // Beside the tick, vertically centred; the date line stands one line higher.
  void place_vertical(const std::string& text, Integer p, bool date) {
    if (text.empty()) return;
    const Integer th = cv_->TextHeight(text);
    const Integer top = px(date ? int64_t{p} - 3 * (th / 2) : int64_t{p} - th / 2);
    const Integer gap = kMajorY + kLabelGapY;
    const Integer left = px(type_ == sctLeft ? int64_t{pos_} - gap - cv_->TextWidth(text)
                                             : int64_t{pos_} + gap);
    cv_->TextOut(left, top, text);
  }

  TScale& s_;
  TCanvas* cv_;
  Integer pos_;
  bool horizontal_;
  const detail::TickSetup& setup_;
  const detail::TickPlan& plan_;
  TScaleType type_ = sctTop;
  int outward_ = 1;
  int decimals_ = 0;
  int labelled_ = 0;
  detail::DateTimeFormats formats_;
  TDateForTime date_line_ = dftNever;
  Integer remembered_day_ = -1;
};

bool TScale::PaintAllowed() const {
  const bool designing = ComponentState().Contains(csDesigning);
  return (Visible() || (designing && !FIsHelper)) && !Loading() && !FSuppressPaint;
}

void TScale::Paint() {
  if (PaintAllowed()) PaintScale();
}

void TScale::ForcePaint() {
  const auto hold = detail::hold_flag(FSuppressPaint, false);
  if (PaintAllowed()) PaintScale();
}

void TScale::PaintScale() {
  TCanvas* target = FForeignCv ? FForeignCv : Canvas();
  target->SetFont(Font());
  if (OnBeforeScaleRendered) OnBeforeScaleRendered(this, target);
  const Integer off_x = FForeignCv && !Horizontal() ? FForCvPosX : 0;
  const Integer off_y = FForeignCv && Horizontal() ? FForCvPosY : 0;
  if (!FTransparent) {
    FBuffer.SetSize(Width(), Height());
    TCanvas* cv = FBuffer.Canvas();
    cv->SetFont(Font());
    cv->Brush()->SetStyle(bsSolid);
    cv->Brush()->SetColor(FColorBackGnd);
    cv->FillRect(Rect(0, 0, Width(), Height()));
    DrawAxisInto(cv, 0);
    DrawFrame(cv, FFrameStyle, 0, 0, Width() - 1, Height() - 1, ColorToRGB(FColWhiteLine), 0xC0C0C0,
              ColorToRGB(FColGrayLine), ColorToRGB(FColBlackLine), ColorToRGB(FColBlackLine));
    target->Draw(off_x, off_y, &FBuffer);
  } else {
    DrawAxisInto(target, Horizontal() ? off_y : off_x);
  }
  if (OnAfterScaleRendered) OnAfterScaleRendered(this, target);
}

void TScale::DrawAxisInto(TCanvas* Cv, Integer offset) {
  int64_t wide = 0;
  switch (FScaleType) {
    case sctTop: wide = int64_t(Height()) - FMarginBottom - 1; break;
    case sctBottom: wide = FMarginTop; break;
    case sctRight: wide = FMarginLeft; break;
    default: wide = int64_t(Width()) - FMarginRight - 1; break;
  }
  const Integer line = px(wide + offset);
  if (Horizontal())
    DrawXScale(Cv, line);
  else
    DrawYScale(Cv, line);
  if (FShowBaseLine) {
    if (Horizontal()) {
      Cv->MoveTo(FMarginLeft, line);
      Cv->LineTo(px(int64_t(Width()) - FMarginRight - 1), line);
    } else {
      Cv->MoveTo(line, FMarginTop);
      Cv->LineTo(line, px(int64_t(Height()) - FMarginBottom - 1));
    }
  }
  DrawCaption(Cv, line);
}

void TScale::DrawCaption(TCanvas* Cv, Integer line) {
  if (FUnitLabel.empty()) return;
  int64_t x = FCaptionPosX, y = FCaptionPosY;
  if (!Horizontal()) {
    x += line;
    if (FCaptionAnchor == uaSclTopLft) y += FMarginTop;
    else if (FCaptionAnchor == uaSclCenter) y += FMarginTop + (int64_t(Height()) - FMarginTop - FMarginBottom) / 2;
    else y += int64_t(Height()) - FMarginBottom;
  } else {
    y += line;
    if (FCaptionAnchor == uaSclTopLft) x += FMarginLeft;
    else if (FCaptionAnchor == uaSclCenter) x += FMarginLeft + (int64_t(Width()) - FMarginLeft - FMarginRight) / 2;
    else x += int64_t(Width()) - FMarginRight;
  }
  const Integer tw = Cv->TextWidth(FUnitLabel);
  if (FCaptionAlignment == taRightJustify) x -= tw;
  else if (FCaptionAlignment == taCenter) x -= tw / 2;
  Cv->TextOut(px(x), px(y), FUnitLabel);
}

void TScale::DrawXScale(TCanvas* Canvas, Integer pos) { DrawAxis(Canvas, pos, true); }

void TScale::DrawYScale(TCanvas* Canvas, Integer pos) { DrawAxis(Canvas, pos, false); }

void TScale::DrawAxis(TCanvas* Cv, Integer pos, bool horizontal) {
  if (!Cv) return;
  // A printer page has its own resolution; text keeps its physical size there.
  const int dpi = GetDeviceCaps(Cv->Handle(), LOGPIXELSY);
  if (dpi > 0 && dpi != Cv->Font()->PixelsPerInch()) SetCanvasFontSizeScaled(Cv, Cv->Font()->Size());
  Cv->Brush()->SetStyle(FTransparent ? bsClear : bsSolid);
  Cv->Brush()->SetColor(FColorBackGnd);
  Cv->Pen()->SetColor(FColorScale);
  Cv->Pen()->SetStyle(psSolid);
  Cv->Pen()->SetWidth(1);
  Cv->Pen()->SetMode(pmCopy);
  Cv->Font()->SetColor(FColorScale);
  if (horizontal) FNumTicks = std::clamp<Integer>(FNumTicks, 2, 20);
  FTickCount = 0;
  FScaleTickPos.resize(kScaleTickListSize);

  detail::TickSetup setup;
  setup.low = FRangeLow;
  setup.high = FRangeHigh;
  setup.logarithmic = FAxLog;
  setup.min_ticks = FNumTicks;
  setup.short_ticks = FShortTicks;
  setup.label_type = FLabelType;
  const detail::TickPlan plan = detail::plan_ticks(setup);

  if (plan.status != detail::TickStatus::ok) {
    const bool invalid = plan.status == detail::TickStatus::invalid_date;
    const Integer c = R2M((FRangeLow + FRangeHigh) / 2);
    if (horizontal) {
      const char* msg = invalid ? "invalid DateTime scale" : "DateTime range is below 1 second";
      Cv->TextOut(px(int64_t{c} - Cv->TextWidth(msg) / 2), px(int64_t{pos} + kMajorX), msg);
    } else {
      static const char* const kInvalid[] = {"invalid", "DateTime", "scale"};
      static const char* const kBelow[] = {"DateTime", "range is", "below 1", "second"};
      const char* const* lines = invalid ? kInvalid : kBelow;
      const int count = invalid ? 3 : 4;
      const Integer h = Cv->TextHeight("T");
      for (int i = 0; i < count; ++i) {
        const Integer left = px(FScaleType == sctLeft ? int64_t{pos} - Cv->TextWidth(lines[i]) - 2
                                                      : int64_t{pos} + 2);
        Cv->TextOut(left, px(int64_t{c} + (i - 1) * h), lines[i]);
      }
    }
    return;
  }
  ScaleAxisPainter painter(*this, Cv, pos, horizontal, setup, plan);
  detail::walk_ticks(setup, plan, painter);
}

}  // namespace kvr
