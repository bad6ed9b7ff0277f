// Frame rendering: the control image (background, shadow, caption, axes), the chart-area
// background and grid, the order of the item passes, and the refresh paths.
#include <algorithm>
#include <cmath>

#include "platform/bitmap.h"
#include "platform/detail/utf8.h"
#include "platform/forms.h"
#include "platform/printers.h"
#include "platform/themes.h"
#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

constexpr Integer kMaxGridLines = 1000;

bool styled(const TControl& c, TStyleElement e) {
  return StyleServices().Enabled() && c.StyleElements().Contains(e);
}

// The style's colour when a visual style paints element e of the control, else Own.
TColor style_or(const TControl& c, TStyleElement e, TStyleColor Styled, TColor Own) {
  return styled(c, e) ? StyleServices().GetStyleColor(Styled) : Own;
}

// One axis of the grid: where its lines start and how the next one follows, by the
// spacing code D (0 = the axis ticks, > 0 linear step, -1..-3 logarithmic decades).
struct GridWalk {
  double D;
  bool Log;
  const TScale* Scale;
  double Lo, Hi;

  double start() const {
    if (D == 0) return Scale->NumTicks() > 0 ? Scale->GetTickPos(1) : Lo;
    if (!Log || D > 0) {
      const double step = std::fabs(D);
      return std::ceil(Lo / step) * step;
    }
    const double l = std::log10(Lo);
    if (D == -1) return std::pow(10.0, std::ceil(l));
    const double k = std::floor(l);
    const double m = double(Round(std::pow(10.0, l - k)));
    if (D == -2) return std::pow(10.0, k) * (m <= 2 ? 2 : m <= 5 ? 5 : 10);
    return std::pow(10.0, k) * m;
  }

  // n: lines drawn so far (at least 1).
  double next(double v, Integer n) const {
    if (D == 0) return n < Scale->NumTicks() ? Scale->GetTickPos(n + 1) : std::max(Lo, Hi);
    if (!Log || D > 0) return v + std::fabs(D);
    if (D == -1) return v * 10;
    double f = std::log10(v);
    if (std::fabs(f - std::nearbyint(f)) < 1e-14) f = std::nearbyint(f);
    const double k = std::floor(f);
    const double m = double(Round(std::pow(10.0, f - k)));
    if (D == -2) return std::pow(10.0, k) * (m < 2 ? 2 : m < 5 ? 5 : 10);
    return std::pow(10.0, k) * (m + 1);
  }
};

}  // namespace

void TCustomZUvado::ResetRenderState() {
  FScaleColor = clBlack;
  FChartColor = clWhite;
  FWindColor = clBtnFace;
  FGridColor = clBlack;
  FGridStyle = gsNone;
  FShadowStyle = shsFlat;
  FShadowColor = clGrayText;
  FShadowBakColor = clBtnFace;
  FChartCaption.clear();
  FCaptTrim = 100;
  FBakGndImg->Reset();
  FBakGndImg->OnChange = [this](TObject* Sender) { StyleChanged(Sender); };
  ResetOverlays();
}

// Painting is allowed from now on, but not done here: the new window is dirty and the
// framework paints it when it is shown.
// A chart built in code is never streamed: its window counts as the end of loading, so
// the axis setters apply their loaded-state checks from here on.
void TCustomZUvado::CreateWnd() {
  TCustomControl::CreateWnd();
  if (!ComponentState().Contains(csLoading)) {
    for (size_t i = 0; i < 2; ++i) {
      FScalePropsX[i]->SetNotYetLoaded(false);
      FScalePropsY[i]->SetNotYetLoaded(false);
    }
  }
  FSuppressPaint = false;
}

void TCustomZUvado::Paint() {
  const TComponentState st = ComponentState();
  if (!(Visible() || st.Contains(csDesigning)) || st.Contains(csLoading) || FSuppressPaint)
    return;
  ConstructChartBmp(FChartBmp->Canvas());
  SizeGrafBmp();
  InitGraf(FGrafBmp->Canvas(), 0, 0, FGrafBmp->Width(), FGrafBmp->Height());
  ConstructDataBmp(FGrafBmp.get(), 0, 0, false, 0);
  DrawMouseTrace(0, 0, FGrafBmp.get());
  FChartBmp->Canvas()->Draw(FRcLRim, FRcTRim, FGrafBmp.get());
  DrawFinish(0, 0, FChartBmp.get(), Canvas());
}

void TCustomZUvado::ConstructChartBmp(TCanvas* Canvas) {
  const Integer W = Width(), H = Height(), SW = F3DRim;
  FChartBmp->SetSize(W, H);
  TPen& pen = *Canvas->Pen();
  TBrush& brush = *Canvas->Brush();
  pen.SetStyle(psSolid);
  pen.SetMode(pmCopy);
  pen.SetWidth(1);
  brush.SetStyle(bsSolid);
  const TColor black = style_or(*this, seBorder, kStyleColorBorder, clBlack);

  const TColor wind = style_or(*this, seClient, kStyleColorWindow, FWindColor);
  pen.SetColor(wind);
  brush.SetColor(wind);
  Canvas->Rectangle(0, 0, W, H);

  if (SW > 0) {
    const TColor bak = style_or(*this, seClient, kStyleColorWindow, FShadowBakColor);
    pen.SetColor(bak);
    brush.SetColor(bak);
    Canvas->Rectangle(W - SW, 0, W, SW);
    Canvas->Rectangle(0, H - SW, SW, H);
    const TColor shade = styled(*this, seClient) ? StyleServices().GetSystemColor(clBtnShadow) : FShadowColor;
    brush.SetColor(shade);
    Integer c = 0;
    if (FShadowStyle == shsFlat) {
      pen.SetColor(shade);
      c = SW - 1;
    } else if (FShadowStyle == shsOutlined) {
      pen.SetColor(black);
    }
    Canvas->Polygon({{c, H - SW}, {SW - 1, H - 1}, {W - 1, H - 1}, {W - SW, H - SW}});
    Canvas->Polygon({{W - SW, H - SW}, {W - 1, H - 1}, {W - 1, SW - 1}, {W - SW, c}});
    pen.SetColor(black);
    Canvas->MoveTo(0, 0);
    Canvas->LineTo(W - SW, 0);
    Canvas->LineTo(W - SW, H - SW);
    Canvas->LineTo(0, H - SW);
    Canvas->LineTo(0, 0);
  }

  pen.SetColor(FScaleColor);
  brush.SetStyle(bsClear);
  Canvas->SetFont(Font());
  if (styled(*this, seFont))
    Canvas->Font()->SetColor(StyleServices().GetStyleFontColor(kStyleFontWindowText));
  // A printer page measures fonts at its own resolution; the size stays in points.
  if (Canvas == Printer().Canvas()) {
    Canvas->Font()->SetPixelsPerInch(Screen().PixelsPerInch());
    Canvas->Font()->SetSize(Font()->Size());
    Canvas->Font()->SetPixelsPerInch(GetDeviceCaps(Canvas->Handle(), LOGPIXELSY));
  }
  if (!FChartCaption.empty()) {
    std::string cap = FChartCaption;
    Integer tw = Canvas->TextWidth(cap);
    if (FCaptTrim != 0 && tw > 0) {
      const int64_t avail = Round(((long double)W - SW - FRcLRim - FRcRRim) * 0.01L * FCaptTrim);
      if (avail < tw) {
        const int64_t keep = Round((long double)detail::utf8_length(cap) * avail / tw) - 2;
        cap = detail::utf8_prefix(cap, std::max<int64_t>(0, keep)) + "...";
        tw = Canvas->TextWidth(cap);
      }
    }
    int64_t x = FCaptionPosX, y = FCaptionPosY;
    switch (FCaptAnchorX) {
      case cahControlLeft: break;
      case cahChartLeft: x += FRcLRim; break;
      case cahChartCenter: x += FRcLRim + (int64_t(W) - FRcLRim - FRcRRim - SW) / 2; break;
      case cahChartRight: x += int64_t(W) - FRcRRim - SW; break;
      case cahControlRight: x += W; break;
    }
    switch (FCaptAnchorY) {
      case cavControlTop: break;
      case cavChartTop: y += FRcTRim; break;
      case cavChartCenter: y += FRcTRim + (int64_t(H) - FRcTRim - FRcBRim - SW) / 2; break;
      case cavChartBottom: y += int64_t(H) - FRcBRim; break;
      case cavControlBottom: y += H; break;
    }
    if (FCaptAlignment == taRightJustify) x -= tw;
    else if (FCaptAlignment == taCenter) x -= tw / 2;
    SetTextAlign(Canvas->Handle(), 0);
    Canvas->TextOut(ClampPix(x), ClampPix(y), cap);
  }

  PrepareScaling();
  for (size_t i = 0; i < 2; ++i) {
    SetScaleProps(FScalesX[i].get(), FScalePropsX[i].get());
    if (!(UnmappedAxes(Integer(i) + 1) & 1u)) FScalesX[i]->ForcePaint();
  }
  for (size_t i = 0; i < 2; ++i) {
    SetScaleProps(FScalesY[i].get(), FScalePropsY[i].get());
    if (!(UnmappedAxes(Integer(i) + 1) & 2u)) FScalesY[i]->ForcePaint();
  }
  if (OnScalesRendered) OnScalesRendered(this, Canvas, 0, 0);
}

TColor TCustomZUvado::StyledChartColor() const {
  return style_or(*this, seClient, kStyleColorGrid, FChartColor);
}

void TCustomZUvado::InitGraf(TCanvas* Canvas, Integer Left, Integer Top, Integer Width,
                             Integer Height) {
  const Integer L = Left, T = Top;
  const Integer R = ClampPix(int64_t(Left) + Width), B = ClampPix(int64_t(Top) + Height);
  TPen& pen = *Canvas->Pen();
  TBrush& brush = *Canvas->Brush();
  pen.SetStyle(psSolid);
  pen.SetMode(pmCopy);
  brush.SetStyle(bsSolid);
  const TColor chart = StyledChartColor();
  brush.SetColor(chart);
  FLastBrushCol = chart;
  pen.SetColor(FScaleColor);

  const TBakGndImg& img = *FBakGndImg;
  if (img.Name().empty()) {
    Canvas->Rectangle(L, T, R, B);
    if (img.AreaMode() == bamNone || UnmappedAxes(FActiveLayer) != 0) return;
    pen.SetColor(img.AreaColor());
    brush.SetColor(img.AreaColor());
    Integer px1, py1, px2, py2;
    R2M(FActiveLayer, img.AreaLeft(), img.AreaTop(), px1, py1);
    R2M(FActiveLayer, img.AreaRight(), img.AreaBottom(), px2, py2);
    const Integer x1 = ClampPix(int64_t(L) + ClampItemPix(px1) - FRcLRim);
    const Integer x2 = ClampPix(int64_t(L) + ClampItemPix(px2) - FRcLRim);
    const Integer y1 = ClampPix(int64_t(T) + ClampItemPix(py1) - FRcTRim);
    const Integer y2 = ClampPix(int64_t(T) + ClampItemPix(py2) - FRcTRim);
    switch (img.AreaMode()) {
      case bamNone: break;
      case bamLeft: Canvas->Rectangle(L, T, x1, B); break;
      case bamRight: Canvas->Rectangle(x2, T, R, B); break;
      case bamTop: Canvas->Rectangle(L, T, R, y1); break;
      case bamBottom: Canvas->Rectangle(L, y2, R, B); break;
      case bamVStripe: Canvas->Rectangle(x1, T, x2, B); break;
      case bamHStripe: Canvas->Rectangle(L, y1, R, y2); break;
      case bamRect: Canvas->Rectangle(x1, y1, x2, y2); break;
      case bamRectInv:
        Canvas->Rectangle(L, T, R, y1);
        Canvas->Rectangle(L, y2, R, B);
        Canvas->Rectangle(L, T, x1, B);
        Canvas->Rectangle(x2, T, R, B);
        break;
      case bamVStripeInv:
        Canvas->Rectangle(L, T, x1, B);
        Canvas->Rectangle(x2, T, R, B);
        break;
      case bamHStripeInv:
        Canvas->Rectangle(L, T, R, y1);
        Canvas->Rectangle(L, y2, R, B);
        break;
    }
    return;
  }

  // A file that cannot be read must never stop painting; the name is dropped so that
  // the next paint does not try again.
  bool loaded = true;
  try {
    FBakGndImg->LoadPicture(*FAuxBmp);
  } catch (...) {
    loaded = false;
  }
  const Integer iw = FAuxBmp->Width(), ih = FAuxBmp->Height();
  if (!loaded || iw <= 0 || ih <= 0) {
    Canvas->Rectangle(L, T, R, B);
    if (!loaded) FBakGndImg->DropName();
    return;
  }
  switch (img.FillMode()) {
    case bfSimple:
      Canvas->Rectangle(L, T, R, B);
      Canvas->Draw(L, T, FAuxBmp.get());
      break;
    case bfStretch:
      Canvas->StretchDraw(TRect{L, T, R, B}, FAuxBmp.get());
      break;
    default: {
      const Integer nx = (Width - 1) / iw + 1, ny = (Height - 1) / ih + 1;
      for (Integer i = 1; i <= nx; ++i)
        for (Integer j = 1; j <= ny; ++j)
          Canvas->StretchDraw(TRect{L + iw * (i - 1), T + ih * (j - 1), L + iw * i, T + ih * j},
                              FAuxBmp.get());
      break;
    }
  }
}

void TCustomZUvado::ConstructDataBmp(TBitmap* Bmp, Integer ox, Integer oy, bool Mono,
                                     Integer FirstNew) {
  if (Bmp) ConstructDataBmpCanvas(Bmp->Canvas(), ox, oy, Mono, FirstNew);
}

void TCustomZUvado::ConstructDataBmpCanvas(TCanvas* Canvas, Integer ox, Integer oy, bool Mono,
                                           Integer FirstNew) {
  if (FAvoidDuplicateMarks) ResetDupMarkMap();
  const Integer top = ClampPix(int64_t(FRcTRim) - oy), left = ClampPix(int64_t(FRcLRim) - ox);
  if (OnBeforeRenderData) {
    const TColor bc = Canvas->Brush()->Color(), pc = Canvas->Pen()->Color();
    OnBeforeRenderData(this, Canvas, top, left);
    Canvas->Brush()->SetColor(bc);
    Canvas->Pen()->SetColor(pc);
  }
  if (FGridStyle != gsNone && FirstNew == 0) DrawGrid(Canvas, ox, oy);

  ResetRenderCache(Canvas, ox, oy);
  const auto annos = [&](TPassItems Only) {
    RenderPass(Canvas, FAnnoContainer, FLongTextsAnno, true, Only, Mono, ox, oy);
  };
  if (!FAnnoBelowChart)
    RenderPass(Canvas, *FDataContainer, FLongTextsData, false, TPassItems::All, Mono, ox, oy,
               FDataPassFirst);
  if (FAnnosVisible) {
    if (FAnnoTextOnTop) {
      annos(TPassItems::AllButTexts);
      annos(TPassItems::TextsOnly);
    } else {
      annos(TPassItems::All);
    }
  }
  if (FAnnoBelowChart)
    RenderPass(Canvas, *FDataContainer, FLongTextsData, false, TPassItems::All, Mono, ox, oy,
               FDataPassFirst);

  Canvas->Pen()->SetWidth(1);
  FLastLWidth = 1;
  DrawTextLabels(Canvas, ox, oy);
  if (OnDataRendered) OnDataRendered(this, Canvas, top, left);

  TPen& pen = *Canvas->Pen();
  pen.SetColor(style_or(*this, seBorder, kStyleColorBorder, FScaleColor));
  pen.SetStyle(psSolid);
  pen.SetMode(pmCopy);
  const Integer Rf = ClampPix(int64_t(ox) + AreaWidth());
  const Integer Bf = ClampPix(int64_t(oy) + AreaHeight());
  Canvas->MoveTo(ox, oy);
  Canvas->LineTo(Rf, oy);
  Canvas->LineTo(Rf, Bf);
  Canvas->LineTo(ox, Bf);
  Canvas->LineTo(ox, oy);
}

// The grid reads the axis ticks of the last paint of the active pair's axes.
void TCustomZUvado::DrawGrid(TCanvas* Canvas, Integer ox, Integer oy) {
  if (UnmappedAxes(FActiveLayer) != 0) return;
  const size_t i = FActiveLayer >= 2 ? 1 : 0;
  const TScaleProps& PX = *FScalePropsX[i];
  const TScaleProps& PY = *FScalePropsY[i];
  double xlo = PX.FRangeLow, xhi = PX.FRangeHigh, ylo = PY.FRangeLow, yhi = PY.FRangeHigh;
  if (xhi < xlo) std::swap(xlo, xhi);
  if (yhi < ylo) std::swap(ylo, yhi);
  const GridWalk gx{FGridDx, PX.FLogAx, FScalesX[i].get(), xlo, xhi};
  const GridWalk gy{FGridDy, PY.FLogAx, FScalesY[i].get(), ylo, yhi};
  const TLayerMap m = LayerMap(FActiveLayer);
  const int64_t mx = int64_t(ox) - FRcLRim, my = int64_t(oy) - FRcTRim;
  auto px = [&](double v) { return ClampItemPix(ClampPix(m.X.Map(v) + mx)); };
  auto py = [&](double v) { return ClampItemPix(ClampPix(m.Y.Map(v) + my)); };

  TPen& pen = *Canvas->Pen();
  Canvas->Brush()->SetColor(StyledChartColor());
  pen.SetColor(FGridColor);
  pen.SetWidth(1);
  pen.SetMode(pmCopy);
  if (FGridStyle == gsPoints) {
    // One counter for both loops: at most 1000 points in all.
    Integer count = 0, nx = 0;
    for (double x = gx.start(); x < xhi && count < kMaxGridLines && nx < kMaxGridLines;) {
      Integer ny = 0;
      for (double y = gy.start(); y < yhi && count < kMaxGridLines;) {
        Canvas->SetPixels(px(x), py(y), FGridColor);
        ++count;
        y = gy.next(y, ++ny);
      }
      x = gx.next(x, ++nx);
    }
    return;
  }
  const bool dotted = FGridStyle == gsHorizDotLines || FGridStyle == gsVertDotLines ||
                      FGridStyle == gsDotLines;
  const bool vert = FGridStyle == gsVertLines || FGridStyle == gsVertDotLines ||
                    FGridStyle == gsLines || FGridStyle == gsDotLines;
  const bool horiz = FGridStyle == gsHorizLines || FGridStyle == gsHorizDotLines ||
                     FGridStyle == gsLines || FGridStyle == gsDotLines;
  pen.SetStyle(dotted ? psDot : psSolid);
  if (vert) {
    const Integer y0 = py(ylo), y1 = py(yhi);
    Integer n = 0;
    for (double x = gx.start(); x < xhi && n < kMaxGridLines;) {
      Canvas->MoveTo(px(x), y0);
      Canvas->LineTo(px(x), y1);
      x = gx.next(x, ++n);
    }
  }
  if (horiz) {
    const Integer x0 = px(xlo), x1 = px(xhi);
    Integer n = 0;
    for (double y = gy.start(); y < yhi && n < kMaxGridLines;) {
      Canvas->MoveTo(x0, py(y));
      Canvas->LineTo(x1, py(y));
      y = gy.next(y, ++n);
    }
  }
  pen.SetStyle(psSolid);
}

void TCustomZUvado::DrawFinish(Integer dx, Integer dy, TBitmap* Bmp, TCanvas* Canvas) {
  if (!Bmp) return;
  DrawCrossHairs(dx, dy, Bmp);
  if (Canvas) Canvas->Draw(dx, dy, Bmp);
  if (Canvas == TCustomControl::Canvas()) SurfaceChanged();
}

void TCustomZUvado::ShowGraf() {
  const TComponentState st = ComponentState();
  if (Visible()) {
    FLastElemOnShow = NumItems() - 1;
    AdjustCanInfoOfSharedCharts();
    if (!FAutoRedraw) {
      Paint();
    } else if (!FSuppressPaint && !st.Contains(csLoading)) {
      SizeGrafBmp();
      InitGraf(FGrafBmp->Canvas(), 0, 0, FGrafBmp->Width(), FGrafBmp->Height());
      ConstructDataBmp(FGrafBmp.get(), 0, 0, false, 0);
      DrawFinish(FRcLRim, FRcTRim, FGrafBmp.get(), Canvas());
    }
  }
  // Charts that show the same data follow; this chart was refreshed just now.
  auto refresh = [this](TCustomZUvado* c) {
    if (c && c != this) c->StyleChanged(this);
  };
  if (TCustomZUvado* owner = FUseDataOf) {
    refresh(owner);
    for (Integer k = 0; k < owner->FDataUsersNum; ++k) refresh(owner->FDataUsers[size_t(k)]);
  }
  for (Integer k = 0; k < FDataUsersNum; ++k) refresh(FDataUsers[size_t(k)]);
}

void TCustomZUvado::ShowGrafNewOnly() {
  if (!Visible()) return;
  if (!FSuppressPaint && !ComponentState().Contains(csLoading)) {
    ConstructDataBmp(FGrafBmp.get(), 0, 0, false, FLastElemOnShow);
    DrawFinish(FRcLRim, FRcTRim, FGrafBmp.get(), Canvas());
  }
  FLastElemOnShow = NumItems() - 1;
  AdjustCanInfoOfSharedCharts();
}

void TCustomZUvado::ShowGrafFrom(Integer First) {
  if (!Visible()) return;
  const Integer n = NumItems();
  if (First < 0) First = 0;
  if (!FSuppressPaint && !ComponentState().Contains(csLoading) && First < n) {
    // The rest of the picture (annotations, labels, frame) is drawn again over the new
    // items, as a full pass would have it.
    struct Restore {
      Integer& v;
      ~Restore() { v = 0; }
    } const restore{FDataPassFirst};
    FDataPassFirst = First;
    ConstructDataBmp(FGrafBmp.get(), 0, 0, false, First > 0 ? First : 1);
    DrawFinish(FRcLRim, FRcTRim, FGrafBmp.get(), Canvas());
  }
  FLastElemOnShow = n - 1;
  AdjustCanInfoOfSharedCharts();
}

void TCustomZUvado::SetScaleCol(TColor v) {
  FScaleColor = v;
  StyleChanged(this);
}

void TCustomZUvado::SetChartCol(TColor v) {
  FChartColor = v;
  StyleChanged(this);
}

void TCustomZUvado::SetWindCol(TColor v) {
  FWindColor = v;
  for (size_t i = 0; i < 2; ++i) {
    FScalesX[i]->SetColorBackGnd(v);
    FScalesY[i]->SetColorBackGnd(v);
  }
  StyleChanged(this);
}

void TCustomZUvado::SetGridCol(TColor v) {
  FGridColor = v;
  StyleChanged(this);
}

void TCustomZUvado::SetGridStyle(GridStyleType v) {
  FGridStyle = v;
  StyleChanged(this);
}

void TCustomZUvado::SetShadowStyle(TShadowStyle v) {
  FShadowStyle = v;
  StyleChanged(this);
}

void TCustomZUvado::SetShadowColor(TColor v) {
  FShadowColor = v;
  StyleChanged(this);
}

void TCustomZUvado::SetShadowBakColor(TColor v) {
  FShadowBakColor = v;
  StyleChanged(this);
}

void TCustomZUvado::SetChartCaption(const std::string& v) {
  FChartCaption = v;
  StyleChanged(this);
}

void TCustomZUvado::SetCaptTrim(Integer v) {
  FCaptTrim = v == 0 ? 0 : std::clamp<Integer>(v, 5, 100);
  StyleChanged(this);
}

// The chart's own object keeps its own change handler: a handler copied from another
// chart would repaint that chart instead.
void TCustomZUvado::SetBakGndFile(const TBakGndImg* v) {
  if (!v) return;
  auto handler = FBakGndImg->OnChange;
  FBakGndImg->Assign(v);
  FBakGndImg->OnChange = std::move(handler);
  StyleChanged(this);
}

}  // namespace kvr
