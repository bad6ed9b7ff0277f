// Gallery page of stand-alone scales: the four orientations, linear spans over twenty
// decades, reversed and logarithmic ranges, durations, date/time axes from half a second
// to three centuries with every date-line choice, user texts and inscriptions.
#include <string>

#include "examples/pages.h"
#include "platform/kvrmath.h"
#include "scale/scale.h"

namespace {

using kvr::TScale;

constexpr int kRowH = 54;

double date(int y, int m, int d, int h = 0, int n = 0, int s = 0, int ms = 0) {
  return kvr::EncodeDate(y, m, d) + kvr::EncodeTime(h, n, s, ms);
}

void heading(kvr::TCanvas& c, int x, int y, const std::string& text) {
  c.Font()->SetName("DejaVu Sans");
  c.Font()->SetSize(11);
  c.Font()->SetStyle({kvr::fsBold});
  c.Font()->SetColor(0x503010);
  c.Brush()->SetStyle(kvr::bsClear);
  c.TextOut(x, y, text);
  c.Font()->SetStyle({});
  c.Font()->SetSize(8);
}

// Paints the scale on its own window and copies the picture onto the page.
void show(kvr::TCanvas& c, TScale& s, int x, int y) {
  s.CreateWnd();
  s.Repaint();
  c.Draw(x, y, s.Surface());
}

// A horizontal axis with labels below and its description as the caption.
void horizontal(kvr::TCanvas& c, int x, int y, int w, double lo, double hi,
                const std::string& caption, int min_ticks = 5,
                void (*tune)(TScale&) = nullptr, int h = kRowH - 6) {
  TScale s(nullptr);
  s.SetBounds(0, 0, w, h);
  s.SetScaleType(kvr::sctBottom);
  s.SetMarginTop(8);
  s.SetMarginLeft(34);
  s.SetMarginRight(34);
  s.SetColorBackGnd(0xFBF8F4);
  s.SetFrameStyle(kvr::rbSingle);
  s.SetRange(lo, hi);
  s.SetMinTicks(min_ticks);
  s.SetCaption(caption);
  s.SetCaptionAnchor(kvr::uaSclBotRgt);
  s.SetCaptionAlignment(kvr::taRightJustify);
  s.SetCaptionPosX(0);
  s.SetCaptionPosY(h - s.MarginTop() - 16);
  if (tune) tune(s);
  show(c, s, x, y);
}

void orientations(kvr::TCanvas& c, int x, int y) {
  heading(c, x, y, "Orientations (types 0 top, 1 bottom, 2 right, 3 left), opaque and transparent");
  y += 24;
  const kvr::TFrameStyle frames[] = {kvr::rbLowered, kvr::rbRaised, kvr::rbEmbossed, kvr::rbEngraved};
  for (int t = 0; t < 2; ++t) {
    TScale s(nullptr);
    s.SetBounds(0, 0, 420, 56);
    s.SetScaleType(static_cast<kvr::TScaleType>(t));
    s.SetFrameStyle(frames[t]);
    if (t == 0) s.SetMarginBottom(12); else s.SetMarginTop(12);
    s.SetRange(0, 100);
    s.SetMinTicks(10);
    s.SetCaption(t == 0 ? "type 0, labels above" : "type 1, labels below");
    s.SetCaptionAnchor(kvr::uaSclBotRgt);
    s.SetCaptionAlignment(kvr::taRightJustify);
    s.SetCaptionPosX(0);
    s.SetCaptionPosY(t == 0 ? -(56 - 12 - 1) + 2 : 28);
    show(c, s, x, y + t * 66);
  }
  for (int t = 2; t < 4; ++t) {
    TScale s(nullptr);
    s.SetBounds(0, 0, 110, 300);
    s.SetScaleType(static_cast<kvr::TScaleType>(t));
    s.SetFrameStyle(frames[t]);
    s.SetMarginTop(22);
    s.SetMarginBottom(14);
    if (t == 2) s.SetMarginLeft(14); else s.SetMarginRight(14);
    s.SetRange(-40, 60);
    s.SetMinTicks(10);
    s.SetCaption("°C");
    s.SetCaptionPosX(t == 2 ? 4 : -24);
    s.SetCaptionPosY(-20);
    s.SetCaptionAlignment(kvr::taLeftJustify);
    show(c, s, x + 440 + (t - 2) * 124, y);
  }
  // Transparent scales painted straight onto the page through a foreign canvas.
  c.Brush()->SetStyle(kvr::bsSolid);
  c.Brush()->SetColor(0xE8F0F8);
  c.FillRect(kvr::Rect(x, y + 140, x + 420, y + 300));
  TScale bottom(nullptr);
  bottom.SetBounds(0, 0, x + 420, 1);
  bottom.SetTransparent(true);
  bottom.SetScaleType(kvr::sctBottom);
  bottom.SetMarginLeft(x + 40);
  bottom.SetMarginRight(20);
  bottom.SetMarginTop(0);
  bottom.SetRange(0, 1);
  bottom.SetMinTicks(5);
  bottom.SetColorScale(0x7F3F00);
  bottom.UseForeignCanvas(&c, 0, y + 262);
  bottom.CreateWnd();
  bottom.ForcePaint();
  TScale left(nullptr);
  left.SetBounds(0, 0, 1, y + 262 + 20 + 1);
  left.SetTransparent(true);
  left.SetScaleType(kvr::sctLeft);
  left.SetMarginTop(y + 152);
  left.SetMarginBottom(20);
  left.SetMarginRight(0);
  left.SetRange(1e-3, 10);
  left.SetLogarithmic(true);
  left.SetColorScale(0x7F3F00);
  left.UseForeignCanvas(&c, x + 40, 0);
  left.CreateWnd();
  left.ForcePaint();
  c.Font()->SetColor(0x7F3F00);
  c.Brush()->SetStyle(kvr::bsClear);
  c.TextOut(x + 240, y + 148, "transparent, on a foreign canvas");
}

void linear_spans(kvr::TCanvas& c, int x, int y) {
  heading(c, x, y, "Linear ranges, automatic decimals");
  y += 24;
  struct R {
    double lo, hi;
    const char* text;
  };
  const R ranges[] = {
      {2.0e-9, 3.0e-9, "span 1e-9"},        {0.0, 1.0e-4, "span 1e-4"},
      {-0.012, 0.004, "span 0.016"},         {-1.0, 1.0, "span 2, zero snapped"},
      {0.0, 10.0, "span 10"},                {1.0e3, 1.0e3 + 250, "span 250"},
      {-5.0e4, 5.0e4, "span 1e5"},           {0.0, 8.0e5, "span 8e5"},
      {0.0, 1.0e7, "span 1e7"},              {-5.0e11, 5.0e11, "span 1e12"}};
  int row = 0;
  for (const R& r : ranges) {
    horizontal(c, x + (row % 2) * 440, y + (row / 2) * kRowH, 420, r.lo, r.hi, r.text, 5);
    ++row;
  }
}

void reversed_and_log(kvr::TCanvas& c, int x, int y) {
  heading(c, x, y, "Reversed and logarithmic ranges");
  y += 24;
  horizontal(c, x, y, 420, 100, -100, "reversed 100 .. -100", 8);
  horizontal(c, x, y + kRowH, 420, 1, 10, "log, 1 decade, decimals -2", 5,
             [](TScale& s) { s.SetLogarithmic(true); });
  horizontal(c, x, y + 2 * kRowH, 420, 1, 10, "log, 1 decade, decimals -3", 5, [](TScale& s) {
    s.SetLogarithmic(true);
    s.SetDecPlaces(-3);
  });
  horizontal(c, x, y + 3 * kRowH, 420, 1e-3, 1e5, "log, 8 decades, decimals -2", 5,
             [](TScale& s) { s.SetLogarithmic(true); });
  horizontal(c, x, y + 4 * kRowH, 420, 1e-3, 1e5, "log, 8 decades, decimals -3 (exponents)", 5,
             [](TScale& s) {
               s.SetLogarithmic(true);
               s.SetDecPlaces(-3);
             });
  horizontal(c, x, y + 5 * kRowH, 420, 0.01, 10, "log, 3 decades, with 2 and 5", 10,
             [](TScale& s) { s.SetLogarithmic(true); });
  // Vertical logarithmic and reversed axes.
  struct V {
    double lo, hi;
    bool log;
    int dec;
    const char* caption;
  };
  const V vs[] = {{1e-3, 1e5, true, -2, "8 dec."},
                  {1e-3, 1e5, true, -3, "10^x"},
                  {1, 1000, true, -2, "3 dec."},
                  {50, -50, false, -2, "rev."}};
  for (int i = 0; i < 4; ++i) {
    TScale s(nullptr);
    s.SetBounds(0, 0, 100, 6 * kRowH - 6);
    s.SetScaleType(kvr::sctLeft);
    s.SetMarginRight(14);
    s.SetMarginTop(24);
    s.SetMarginBottom(12);
    s.SetColorBackGnd(0xFBF8F4);
    s.SetFrameStyle(kvr::rbSingle);
    s.SetRange(vs[i].lo, vs[i].hi);
    s.SetLogarithmic(vs[i].log);
    s.SetDecPlaces(vs[i].dec);
    s.SetMinTicks(i < 2 ? 8 : 10);
    s.SetCaption(vs[i].caption);
    s.SetCaptionAlignment(kvr::taRightJustify);
    s.SetCaptionPosX(-2);
    s.SetCaptionPosY(-20);
    show(c, s, x + 440 + i * 106, y);
  }
}

void durations(kvr::TCanvas& c, int x, int y) {
  heading(c, x, y, "Durations (label type 2)");
  y += 24;
  auto seconds = [](TScale& s) { s.SetLabelType(kvr::ftSeconds); };
  horizontal(c, x, y, 420, 0, 2, "0 .. 2 s", 4, seconds);
  horizontal(c, x + 440, y, 420, -90, 90, "-90 .. 90 s", 6, seconds);
  horizontal(c, x, y + kRowH, 420, 0, 7200, "2 hours", 4, seconds);
  horizontal(c, x + 440, y + kRowH, 420, 0, 43200, "12 hours", 6, seconds);
}

void date_times(kvr::TCanvas& c, int x, int y) {
  heading(c, x, y, "Date and time axes (label type 3)");
  y += 24;
  struct D {
    double lo, hi;
    int ticks;
    const char* text;
  };
  const D ds[] = {
      {date(2024, 3, 9, 14, 5, 7, 250), date(2024, 3, 9, 14, 5, 7, 750), 5, "0.5 s"},
      {date(2024, 3, 9, 14, 5, 0), date(2024, 3, 9, 14, 6, 0), 6, "1 min"},
      {date(2024, 3, 9, 9, 30), date(2024, 3, 9, 11, 30), 6, "2 h"},
      {date(2024, 3, 9), date(2024, 3, 12), 6, "3 days"},
      {date(2024, 3, 4), date(2024, 4, 8), 5, "5 weeks"},
      {date(2023, 11, 1), date(2025, 1, 1), 7, "14 months"},
      {date(1995, 6, 1), date(2025, 6, 1), 6, "30 years"},
      {date(1720, 1, 1), date(2020, 1, 1), 5, "300 years"}};
  for (int i = 0; i < 8; ++i) {
    const bool time_unit = i < 3;
    horizontal(c, x, y + i * (kRowH + 14), 860, ds[i].lo, ds[i].hi,
               ds[i].text, ds[i].ticks,
               time_unit ? [](TScale& s) {
                 s.SetLabelType(kvr::ftDateTime);
                 s.DateFormat()->SetDateForTime(kvr::dftFirst);
               }
                         : [](TScale& s) { s.SetLabelType(kvr::ftDateTime); },
               kRowH + 8);
  }
  y += 8 * (kRowH + 14);
  // Every date-line choice on an hour axis across midnight.
  const char* names[] = {"DateForTime 0 (never)", "1 (first label)", "2 (day change)", "3 (every label)"};
  for (int k = 0; k < 4; ++k) {
    TScale s(nullptr);
    s.SetBounds(0, 0, 420, kRowH + 8);
    s.SetScaleType(kvr::sctBottom);
    s.SetMarginTop(8);
    s.SetMarginLeft(34);
    s.SetMarginRight(34);
    s.SetColorBackGnd(0xFBF8F4);
    s.SetFrameStyle(kvr::rbSingle);
    s.SetLabelType(kvr::ftDateTime);
    s.SetRange(date(2024, 12, 31, 16, 0), date(2025, 1, 1, 12, 0));
    s.SetMinTicks(k == 3 ? 3 : 5);
    s.DateFormat()->SetDateForTime(static_cast<kvr::TDateForTime>(k));
    if (k == 3) s.DateFormat()->SetTimeFormat(kvr::tfAmPm);
    if (k == 2) {
      s.DateFormat()->SetDateOrder(kvr::doYMD);
      s.DateFormat()->SetMonthName(false);
    }
    s.SetCaption(names[k]);
    s.SetCaptionAnchor(kvr::uaSclBotRgt);
    s.SetCaptionAlignment(kvr::taRightJustify);
    s.SetCaptionPosX(0);
    s.SetCaptionPosY(kRowH + 8 - 8 - 16);
    show(c, s, x + (k % 2) * 440, y + (k / 2) * (kRowH + 14));
  }
}

void vertical_times(kvr::TCanvas& c, int x, int y, int h) {
  const double lo[] = {date(2024, 3, 9, 22, 0), date(2024, 1, 1), date(1900, 1, 1)};
  const double hi[] = {date(2024, 3, 10, 6, 0), date(2024, 12, 31), date(2200, 1, 1)};
  for (int i = 0; i < 3; ++i) {
    TScale s(nullptr);
    s.SetBounds(0, 0, i == 0 ? 110 : 96, h);
    s.SetScaleType(i == 0 ? kvr::sctRight : kvr::sctLeft);
    s.SetMarginTop(14);
    s.SetMarginBottom(14);
    if (i == 0) s.SetMarginLeft(10); else s.SetMarginRight(14);
    s.SetColorBackGnd(0xFBF8F4);
    s.SetFrameStyle(kvr::rbSingle);
    s.SetLabelType(kvr::ftDateTime);
    s.SetRange(lo[i], hi[i]);
    s.SetMinTicks(i == 0 ? 4 : 8);
    s.DateFormat()->SetDateForTime(kvr::dftDayChange);
    show(c, s, x + (i == 0 ? 0 : 116 + (i - 1) * 102), y);
  }
}

void texts(kvr::TCanvas& c, int x, int y) {
  heading(c, x, y, "User tick texts and inscriptions");
  y += 24;
  horizontal(c, x, y, 420, 1, 12, "UserTickText", 11, [](TScale& s) {
    s.SetLabelType(kvr::ftUserText);
    s.SetUserTickText("Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec");
    s.SetShortTicks(false);
  });
  horizontal(c, x + 440, y, 420, 0, 100, "inscription &%", 5,
             [](TScale& s) { s.SetScaleInscript("&%"); });
  horizontal(c, x, y + kRowH, 420, 0, 2500, "inscription $&", 5,
             [](TScale& s) { s.SetScaleInscript("$&"); });
  horizontal(c, x + 440, y + kRowH, 420, 0, 40, "inscription & kg", 4,
             [](TScale& s) { s.SetScaleInscript("& kg"); });
}

}  // namespace

void RenderScalesPage(kvr::TCanvas& c, int w, int h) {
  c.Brush()->SetStyle(kvr::bsSolid);
  c.Brush()->SetColor(kvr::clWhite);
  c.FillRect(kvr::Rect(0, 0, w, h));
  const int x = 20;
  int y = 16;
  orientations(c, x, y);
  y += 330;
  linear_spans(c, x, y);
  y += 24 + 5 * kRowH + 16;
  reversed_and_log(c, x, y);
  y += 24 + 6 * kRowH + 16;
  durations(c, x, y);
  y += 24 + 2 * kRowH + 16;
  date_times(c, x, y);
  vertical_times(c, x + 900, y + 24, 10 * (kRowH + 14) - 14);
  y += 24 + 10 * (kRowH + 14) + 16;
  texts(c, x, y);
}
