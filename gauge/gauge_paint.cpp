// Painting of TScaleGauge: background, scale, index, cover, caption, frames.
#include <algorithm>
#include <cmath>

#include "gauge/gauge.h"
#include "platform/kvrcolors.h"

namespace kvr {

namespace {

constexpr TColor kDisabledBg = 0xE9E9EE;
constexpr TColor kDisabledFg = clGray;
constexpr int kStrip = 10;  // index strip between the base line and the cover
constexpr int kBand = 8;
// Dial positions are kept this far off any control, so the index shapes around them
// stay within int.
constexpr Integer kFar = Integer(1) << 28;

}  // namespace

void TScaleGauge::Paint() {
  if (!PaintAllowed()) return;
  RenderImage();
  Canvas()->Draw(0, 0, &FGrafBmp);
}

// Straight onto another canvas, with the scale drawing there too, so that a scaled
// canvas gets sharp lines and text instead of the enlarged image.
bool TScaleGauge::PaintOn(TCanvas& Target) {
  if (!PaintAllowed()) return false;
  FScale->PaintOnForeignCanvas(Target, FGrafBmp.Canvas(), [&] { RenderImage(&Target); });
  return true;
}

void TScaleGauge::RenderImage(TCanvas* Target) {
  LayDial();
  const Integer w = Width(), h = Height();
  if (!Target) FGrafBmp.SetSize(w, h);
  TCanvas* cv = Target ? Target : FGrafBmp.Canvas();
  cv->SetFont(Font());
  cv->Pen()->SetMode(pmCopy);
  cv->Pen()->SetStyle(psSolid);
  cv->Pen()->SetWidth(1);

  const TColor bg1 = FEnabled ? FColorSclBG1 : kDisabledBg;
  const TColor bg2 = FEnabled ? FColorSclBG2 : kDisabledBg;
  const TColor scale = FEnabled ? FColorScale : kDisabledFg;
  const TColor idx1 = FEnabled ? FColorIndex1 : kDisabledFg;
  const TColor idx2 = FEnabled ? FColorIndex2 : kDisabledFg;
  const TColor capt = FEnabled ? FCaptColor : kDisabledFg;

  PaintBackground(cv, bg1, bg2);
  FScale->SetFont(Font());
  FScale->SetColorScale(scale);
  FScale->ForcePaint();
  PaintIndex(cv, idx1, idx2);

  const Integer l = FCovMargLeft, r = FCovMargRight, t = FCovMargTop, b = FCovMargBottom;
  cv->Pen()->SetStyle(psSolid);
  cv->Pen()->SetWidth(1);
  cv->Pen()->SetColor(FColorCover);
  cv->Brush()->SetStyle(bsSolid);
  cv->Brush()->SetColor(FColorCover);
  cv->Rectangle(0, 0, l, h);
  cv->Rectangle(w - r, 0, w, h);
  cv->Rectangle(0, 0, w, t);
  cv->Rectangle(0, h - b, w, h);

  if (!FCaption.empty()) {
    cv->SetFont(Font());
    cv->Font()->SetSize(FCaptSize);
    cv->Font()->SetStyle(FCaptStyle);
    cv->Font()->SetColor(capt);
    cv->Brush()->SetStyle(bsClear);
    cv->TextOut(FCaptPosX, FCaptPosY, FCaption);
  }
  DrawFrame(cv, FInnerFrameSt, l, t, w - r - 1, h - b - 1, FColWhiteLine, clSilver, FColGrayLine,
            FColBlackLine, FColBlackLine);
  DrawFrame(cv, FOuterFrameSt, 0, 0, w - 1, h - 1, FColWhiteLine, clSilver, FColGrayLine, FColBlackLine,
            FColBlackLine);
}

void TScaleGauge::PaintBackground(TCanvas* Cv, TColor c1, TColor c2) {
  const Integer w = Width(), h = Height();
  const Integer l = FCovMargLeft, t = FCovMargTop;
  Cv->Brush()->SetStyle(bsSolid);
  Cv->Brush()->SetColor(c1);
  Cv->FillRect(Rect(0, 0, w, h));
  const bool along_x = FGaugeBG == gbVertGrad || FGaugeBG == gbVertMidBand;
  const Integer n = along_x ? w - l - FCovMargRight : h - t - FCovMargBottom;
  if (FGaugeBG == gbPlain || n <= 0) return;
  // Lines across the whole control: the cover hides what lies outside the dial.
  auto line = [&](Integer i, double fraction) {
    Cv->Brush()->SetColor(InterpolateColor(c1, c2, fraction));
    if (along_x)
      Cv->FillRect(Rect(l + i, 0, l + i + 1, h));
    else
      Cv->FillRect(Rect(0, t + i, w, t + i + 1));
  };
  if (FGaugeBG == gbVertGrad || FGaugeBG == gbHorizGrad) {
    for (Integer i = 0; i <= n; ++i) line(i, static_cast<double>(i) / n);
  } else {
    for (Integer i = 0; i <= n / 2; ++i) {
      const double f = 2.0 * i / n;
      line(i, f);
      line(n - i, f);
    }
  }
}

void TScaleGauge::PaintIndex(TCanvas* Cv, TColor c1, TColor c2) {
  const Integer w = Width(), h = Height();
  const Integer l = FCovMargLeft, r = FCovMargRight, t = FCovMargTop, b = FCovMargBottom;
  const bool horz = Horizontal();
  // Along the dial: first and last pixel; across it: the strip below (right of) the line.
  const Integer d0 = horz ? l : t;
  const Integer d1 = horz ? w - r - 1 : h - b - 1;
  const Integer base = horz ? h - (b + kStrip) : w - (r + kStrip);
  const Integer mirror = (horz ? t : l) + kStrip;
  const double shown = ShownValue();
  const Integer p = FScaleFixed ? std::clamp(FScale->R2M(shown), -kFar, kFar)
                                : (horz ? l + (w - l - r) / 2 : t + (h - t - b) / 2);

  TPen* pen = Cv->Pen();
  pen->SetStyle(psSolid);
  pen->SetWidth(1);
  Cv->Brush()->SetStyle(bsSolid);
  // One segment across the dial at `along`, from `a` to `b` (end excluded) in the
  // direction across it.
  auto across = [&](Integer along, Integer a, Integer e) {
    if (horz) {
      Cv->MoveTo(along, a);
      Cv->LineTo(along, e);
    } else {
      Cv->MoveTo(a, along);
      Cv->LineTo(e, along);
    }
  };
  // One row of a triangle (across the dial at offset `off`) spanning lo..hi along it.
  auto row = [&](Integer off, Integer lo, Integer hi) {
    if (horz) {
      Cv->MoveTo(lo, off);
      Cv->LineTo(hi, off);
    } else {
      Cv->MoveTo(off, lo);
      Cv->LineTo(off, hi);
    }
  };
  auto thread = [&](TColor c) {
    pen->SetColor(c);
    across(p, 0, horz ? h : w);
  };
  auto triangle = [&](TColor c) {
    pen->SetColor(c);
    for (Integer k = 1; k <= kStrip; ++k) row(base + k - 1, p - k / 2, p + 1 + k / 2);
  };
  auto top_triangle = [&](TColor c) {
    pen->SetColor(c);
    for (Integer k = 1; k <= kStrip; ++k) row(mirror - k, p - k / 2, p + 1 + k / 2);
  };
  // A band cell range along the dial (inclusive, clipped to the dial) in one colour.
  auto band = [&](Integer from, Integer to, TColor c) {
    from = std::max(from, d0);
    to = std::min(to, d1);
    if (to < from) return;
    Cv->Brush()->SetColor(c);
    if (horz)
      Cv->FillRect(Rect(from, base, to + 1, base + kBand));
    else
      Cv->FillRect(Rect(base, from, base + kBand, to + 1));
  };

  switch (FGaugeIdxMode) {
    case gimThread:
      thread(c1);
      break;
    case gimTriangle:
      triangle(c1);
      break;
    case gimThreadTriangle:
      thread(c1);
      triangle(c2);
      break;
    case gimThreadTwoTriangles:
      thread(c1);
      triangle(c2);
      top_triangle(c2);
      break;
    case gimBand: {
      // Grows from the low end: the left end, or the bottom of a vertical dial.
      const double len = d1 - d0 + 1;
      if (horz) {
        for (Integer x = d0; x <= std::min(p, d1); ++x) band(x, x, InterpolateColor(c1, c2, (x - d0) / len));
      } else {
        for (Integer y = d1; y >= std::max(p, d0); --y) band(y, y, InterpolateColor(c1, c2, (d1 - y) / len));
      }
      break;
    }
    case gimDualColorBand: {
      const Integer z = std::clamp(FScale->R2M(FGaugeZero), -kFar, kFar);
      band(std::min(z, p), std::max(z, p), shown >= FGaugeZero ? c1 : c2);
      break;
    }
    case gimBar:
      pen->SetColor(c1);
      across(p, base + 1, base + kStrip);
      across(p - 1, base + 2, base + kStrip);
      across(p + 1, base + 2, base + kStrip);
      break;
  }
}

}  // namespace kvr
