// Text labels, crosshairs and the mouse trace: storage, operations and drawing.
#include <algorithm>
#include <string_view>

#include "platform/forms.h"
#include "platform/paintguard.h"
#include "platform/printers.h"
#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

// Crosshair marks: the arms of chCross, the half sides of the white and the black box
// around its centre, and the half side of chBox (ends inclusive).
constexpr int64_t kCrossArm = 13;
constexpr int64_t kCrossOuterBox = 3;
constexpr int64_t kCrossInnerBox = 2;
constexpr int64_t kBoxHalf = 4;
// Padding of a label's box around its text.
constexpr int64_t kLabelPadX = 4;
constexpr int64_t kLabelPadY = 2;

}  // namespace

void TCustomZUvado::ResetOverlays() {
  auto changed = [this](TObject* Sender) { StyleChanged(Sender); };
  for (size_t i = 0; i < FTextLabels.size(); ++i) {
    if (!FTextLabels[i]) FTextLabels[i] = std::make_unique<TTextLabel>();
    TTextLabel& L = *FTextLabels[i];
    WithoutChangeEvent(L, [&](TTextLabel& l) {
      l.SetPos(0, 0);
      l.SetLayer(1);
      l.SetAttachToData(tamBoth);
      l.SetAlignment(taCenter);
      l.SetVerticalAlignment(vaCenter);
      l.SetColorBkg(clWhite);
      l.SetColorBorder(clBlack);
      l.SetShadowDx(3);
      l.SetShadowDy(3);
      l.SetColorShadow(0x808080);
      l.SetTransparent(false);
      l.SetCaption("");
      l.SetFont(Font());
      l.SetMode(tlOff);
      l.SetVisible(false);
    });
    L.OnChange = changed;
  }
  for (size_t i = 0; i < FCrossHair.size(); ++i) {
    if (!FCrossHair[i]) FCrossHair[i] = std::make_unique<TCrossHair>();
    TCrossHair& C = *FCrossHair[i];
    WithoutChangeEvent(C, [&](TCrossHair& c) {
      c.SetPos(0, 0);
      c.SetLayer(Integer(i) + 1);
      c.SetColor(0x0000FF);
      c.SetMode(chOff);
      c.SetLineType(psDashDotDot);
      c.SetLineWidth(1);
      c.SetVisible(true);
    });
    C.OnChange = changed;
  }
  FNumMTrace = 0;
  FColorMTrace = 0xFFFFFF;
  FMTraceInvert = true;
}

TTextLabel* TCustomZUvado::GetFTextLabel(Integer ix) const {
  if (ix < 1 || ix > kNumTextLabels)
    RaiseKvrError<Exception>("Component \"" + Name() + "\": invalid index into TextLabel array");
  return FTextLabels[size_t(ix - 1)].get();
}

void TCustomZUvado::SetFTextLabel(Integer ix, const TTextLabel* Value) {
  TTextLabel* L = GetFTextLabel(ix);
  if (!Value || Value == L) return;
  WithoutChangeEvent(*L, [&](TTextLabel& l) { l.Assign(Value); });
  StyleChanged(this);
}

// The eight look values of a label come from the template or from the chart.
void TCustomZUvado::SetTextLabel(Integer ix, double PosX, double PosY, TColor TxtColor,
                                 const std::string& Txt, Integer PropertyTemplate) {
  if (ix < 1 || ix > kNumTextLabels) return;
  TTextLabel& L = *FTextLabels[size_t(ix - 1)];
  const TTextLabel* T =
      PropertyTemplate >= 1 && PropertyTemplate <= kNumTextLabels
          ? FTextLabels[size_t(PropertyTemplate - 1)].get()
          : nullptr;
  const auto hold = detail::suppress_paint_then_resume(FSuppressPaint, *this);
  L.SetPos(PosX, PosY);
  L.SetLayer(FActiveLayer);
  if (T) {
    const TTextLabel& t = *T;  // may be L itself: each value is then set to itself
    L.SetAttachToData(t.AttachToData());
    L.SetAlignment(t.Alignment());
    L.SetShadowDx(t.ShadowDx());
    L.SetShadowDy(t.ShadowDy());
    L.SetColorShadow(t.ColorShadow());
    L.SetColorBkg(t.ColorBkg());
    L.SetColorBorder(t.ColorBorder());
    L.SetTransparent(t.Transparent());
  } else {
    L.SetAttachToData(tamBoth);
    L.SetAlignment(taCenter);
    L.SetShadowDx(0);
    L.SetShadowDy(0);
    L.SetColorShadow(0x808080);
    L.SetColorBkg(StyledChartColor());
    L.SetColorBorder(FScaleColor);
    L.SetTransparent(false);
  }
  L.SetCaption(Txt);
  L.Font()->SetColor(TxtColor);
  const TTxtLblMode mode = T ? T->Mode() : tlOff;
  L.SetMode(mode == tlOff ? tlSimple : mode);
  L.SetVisible(true);
}

Integer TCustomZUvado::AddTextLabel(double PosX, double PosY, TColor TxtColor,
                                    const std::string& Txt, Integer PropertyTemplate) {
  for (Integer ix = 1; ix <= kNumTextLabels; ++ix) {
    if (FTextLabels[size_t(ix - 1)]->Mode() != tlOff) continue;
    SetTextLabel(ix, PosX, PosY, TxtColor, Txt, PropertyTemplate);
    return ix;
  }
  return 0;
}

void TCustomZUvado::HideAllTextLabels() {
  const auto hold = detail::suppress_paint_then_resume(FSuppressPaint, *this);
  for (auto& L : FTextLabels) L->SetVisible(false);
}

void TCustomZUvado::ClearAllTextLabels() {
  const auto hold = detail::suppress_paint_then_resume(FSuppressPaint, *this);
  for (auto& L : FTextLabels) L->SetMode(tlOff);
}

TCrossHair* TCustomZUvado::CrossHair(Integer chnum) const {
  return chnum >= 1 && chnum <= 4 ? FCrossHair[size_t(chnum - 1)].get() : nullptr;
}

void TCustomZUvado::SetCrossHair(Integer chnum, const TCrossHair* Value) {
  TCrossHair* C = CrossHair(chnum);
  if (!C || !Value || Value == C) return;
  WithoutChangeEvent(*C, [&](TCrossHair& c) { c.Assign(Value); });
  StyleChanged(this);
}

// The chart-area image under the crosshairs is still valid: it is copied back over the
// old crosshairs and the new ones are drawn on top.
void TCustomZUvado::RedrawCrossHairs() {
  const TComponentState st = ComponentState();
  if (!(Visible() || st.Contains(csDesigning)) || st.Contains(csLoading) || FSuppressPaint)
    return;
  FChartBmp->Canvas()->Draw(FRcLRim, FRcTRim, FGrafBmp.get());
  DrawFinish(0, 0, FChartBmp.get(), Canvas());
}

void TCustomZUvado::CrossHairSetPos(Integer chnum, double x, double y) {
  TCrossHair* C = CrossHair(chnum);
  if (!C) return;
  WithoutChangeEvent(*C, [&](TCrossHair& c) { c.SetPos(x, y); });
  if (C->Mode() != chOff) RedrawCrossHairs();
}

double TCustomZUvado::CHPosX(Integer chnum) const {
  const TCrossHair* C = CrossHair(chnum);
  return C ? C->PosX() : 0;
}

double TCustomZUvado::CHPosY(Integer chnum) const {
  const TCrossHair* C = CrossHair(chnum);
  return C ? C->PosY() : 0;
}

void TCustomZUvado::SetCHPosX(Integer chnum, double v) {
  if (TCrossHair* C = CrossHair(chnum)) CrossHairSetPos(chnum, v, C->PosY());
}

void TCustomZUvado::SetCHPosY(Integer chnum, double v) {
  if (TCrossHair* C = CrossHair(chnum)) CrossHairSetPos(chnum, C->PosX(), v);
}

void TCustomZUvado::CrossHairSetup(Integer ch, TColor chColor, TCrossHMode Mode,
                                   TPenStyle LineType, Integer LineWidth) {
  TCrossHair* C = CrossHair(ch);
  if (!C) return;
  WithoutChangeEvent(*C, [&](TCrossHair& c) {
    c.SetColor(chColor);
    c.SetMode(Mode);
    c.SetLineType(LineType);
    c.SetLineWidth(LineWidth);
  });
  RedrawCrossHairs();
}

TColoredPoint TCustomZUvado::GetMTracePoint(Integer idx) const {
  if (idx < 1 || idx > FNumMTrace) {
    TColoredPoint p;
    p.Flags = kTraceNoPoint;
    return p;
  }
  return FMTrace[size_t(idx - 1)];
}

void TCustomZUvado::AddMTracePoint(double x, double y, Word Flags, TColor Color) {
  if (FNumMTrace >= kMaxMTrace) return;
  TColoredPoint& p = FMTrace[size_t(FNumMTrace++)];
  p.X = x;
  p.Y = y;
  p.Flags = Flags;
  p.Color = Color;
}

void TCustomZUvado::ClearMouseTrace() {
  FNumMTrace = 0;
  RepaintChart();
}

void TCustomZUvado::DrawCrossHairs(Integer dx, Integer dy, TBitmap* Bmp) {
  if (Bmp) DrawCrossHairsOnCanvas(Bmp->Canvas(), dx, dy);
}

void TCustomZUvado::DrawCrossHairsOnCanvas(TCanvas* cv, Integer dx, Integer dy) {
  bool any = false;
  for (const auto& C : FCrossHair) any |= C->Mode() != chOff && C->Visible();
  if (!any || !cv) return;
  TPen& pen = *cv->Pen();
  TBrush& brush = *cv->Brush();
  const TColor savedCol = pen.Color();
  const Integer savedWidth = pen.Width();
  const TPenStyle savedStyle = pen.Style();
  const TBrushStyle savedBrush = brush.Style();
  // Wide: margins, offsets, positions and line widths may each be near the int limits.
  const int64_t L = FRcLRim, T = FRcTRim, R = AreaRight(), B = AreaBottom();
  const int64_t ox = dx, oy = dy;
  auto moveto = [&](int64_t x, int64_t y) { cv->MoveTo(ClampPix(x - ox), ClampPix(y - oy)); };
  auto lineto = [&](int64_t x, int64_t y) { cv->LineTo(ClampPix(x - ox), ClampPix(y - oy)); };
  auto rect = [&](int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    cv->Rectangle(ClampPix(x1 - ox), ClampPix(y1 - oy), ClampPix(x2 - ox), ClampPix(y2 - oy));
  };
  for (Integer k = 4; k >= 1; --k) {
    const TCrossHair& C = *FCrossHair[size_t(k - 1)];
    const Integer mode = C.Mode();
    if (mode == chOff || !C.Visible()) continue;
    // A horizontal line needs the Y transform, a vertical one X; the other modes both.
    const unsigned u = UnmappedAxes(C.Layer());
    if (u == 3u || (u != 0 && mode != chHoriz && mode != chVert) ||
        (mode == chHoriz && (u & 2u)) || (mode == chVert && (u & 1u)))
      continue;
    Integer icx, icy;
    R2M(C.Layer(), C.PosX(), C.PosY(), icx, icy);
    const int64_t cx = icx, cy = icy;
    pen.SetColor(C.Color());
    pen.SetWidth(C.LineWidth());
    pen.SetStyle(C.LineType());
    pen.SetMode(pmCopy);
    brush.SetColor(FChartColor);
    const int64_t hw = C.LineWidth() / 2;
    const bool inY = T + hw < cy && cy < B - hw;
    const bool inX = L + hw < cx && cx < R - hw;
    if ((mode == chHoriz || mode == chBoth) && inY) {
      moveto(L + hw + 1, cy);
      lineto(R - hw, cy);
    }
    if ((mode == chVert || mode == chBoth) && inX) {
      moveto(cx, T + hw + 1);
      lineto(cx, B - hw);
    }
    if (mode == chCross && inX && inY) {
      moveto(cx - kCrossArm, cy);
      lineto(cx + kCrossArm + 1, cy);
      moveto(cx, cy - kCrossArm);
      lineto(cx, cy + kCrossArm + 1);
      brush.SetStyle(bsClear);
      pen.SetStyle(psSolid);
      pen.SetColor(clWhite);
      rect(cx - kCrossOuterBox, cy - kCrossOuterBox, cx + kCrossOuterBox + 1,
           cy + kCrossOuterBox + 1);
      pen.SetColor(clBlack);
      rect(cx - kCrossInnerBox, cy - kCrossInnerBox, cx + kCrossInnerBox + 1,
           cy + kCrossInnerBox + 1);
    }
    if (mode == chBox && inX && inY) {
      brush.SetStyle(bsClear);
      rect(cx - kBoxHalf, cy - kBoxHalf, cx + kBoxHalf + 1, cy + kBoxHalf + 1);
    }
  }
  pen.SetColor(savedCol);
  pen.SetWidth(savedWidth);
  pen.SetStyle(savedStyle);
  brush.SetStyle(savedBrush);
}

void TCustomZUvado::DrawMouseTrace(Integer dx, Integer dy, TBitmap* Bmp) {
  if (Bmp) DrawMouseTraceOnCanvas(Bmp->Canvas(), dx, dy);
}

void TCustomZUvado::DrawMouseTraceOnCanvas(TCanvas* cv, Integer dx, Integer dy) {
  if (FNumMTrace == 0 || !cv || UnmappedAxes(FActiveLayer) != 0) return;
  TPen& pen = *cv->Pen();
  const TColor savedCol = pen.Color();
  const TPenMode savedMode = pen.Mode();
  const TPenStyle savedStyle = pen.Style();
  const Integer savedWidth = pen.Width();
  pen.SetStyle(psSolid);
  pen.SetWidth(1);
  const TLayerMap m = LayerMap(FActiveLayer);
  const int64_t mx = int64_t(dx) - FRcLRim, my = int64_t(dy) - FRcTRim;
  auto at = [&](const TColoredPoint& p) {
    return TPoint{ClampPix(m.X.Map(p.X) + mx), ClampPix(m.Y.Map(p.Y) + my)};
  };
  for (Integer i = 1; i < FNumMTrace; ++i) {
    const TColoredPoint& a = FMTrace[size_t(i - 1)];
    const TColoredPoint& b = FMTrace[size_t(i)];
    if (a.Flags & kTraceStrokeEnd) continue;
    pen.SetColor(b.Color);
    pen.SetMode((b.Flags & kTraceInverted) ? pmXor : pmCopy);
    const TPoint pa = at(a), pb = at(b);
    cv->MoveTo(pa.X, pa.Y);
    cv->LineTo(pb.X, pb.Y);
  }
  pen.SetMode(savedMode);
  pen.SetColor(savedCol);
  pen.SetStyle(savedStyle);
  pen.SetWidth(savedWidth);
}

void TCustomZUvado::DrawTextLabels(TCanvas* Canvas, Integer ox, Integer oy) {
  for (Integer k = kNumTextLabels; k >= 1; --k) {
    const TTextLabel& L = *FTextLabels[size_t(k - 1)];
    if (L.Mode() == tlOff || !L.Visible() || !LayerVisible(std::min(L.Layer(), 2))) continue;
    DrawLabel(Canvas, L, ox, oy);
  }
}

void TCustomZUvado::DrawLabel(TCanvas* Canvas, const TTextLabel& L, Integer ox, Integer oy) {
  const TTxtLblAttachMode am = L.AttachToData();
  Integer wx = 0, wy = 0;
  R2M(L.Layer(), L.PosX(), L.PosY(), wx, wy);
  const bool worldX = am == tamXOnly || am == tamBoth, worldY = am == tamYOnly || am == tamBoth;
  const unsigned u = UnmappedAxes(L.Layer());
  if (((u & 1u) && worldX) || ((u & 2u) && worldY)) return;
  int64_t x = (worldX ? int64_t(wx) : int64_t(RoundPix(L.PosX()))) - FRcLRim + ox;
  int64_t y = (worldY ? int64_t(wy) : int64_t(RoundPix(L.PosY()))) - FRcTRim + oy;

  Canvas->SetFont(L.Font());
  if (Canvas == Printer().Canvas()) {
    Canvas->Font()->SetPixelsPerInch(Screen().PixelsPerInch());
    Canvas->Font()->SetSize(L.Font()->Size());
    Canvas->Font()->SetPixelsPerInch(GetDeviceCaps(Canvas->Handle(), LOGPIXELSY));
  }
  TPen& pen = *Canvas->Pen();
  TBrush& brush = *Canvas->Brush();
  pen.SetColor(L.ColorBorder());
  pen.SetStyle(psSolid);
  pen.SetMode(pmCopy);
  brush.SetColor(L.ColorBkg());
  brush.SetStyle(L.Transparent() ? bsClear : bsSolid);

  const std::string& cap = L.Caption();
  Integer w = 0, total = 0, lh = 0;
  const Integer n = CalcTextExtents(cap, Canvas, w, total, lh);
  const int64_t h = Canvas->TextHeight(cap);
  if (L.VerticalAlignment() == vaTop) y += h * n;
  else if (L.VerticalAlignment() == vaCenter) y += (h * n) / 2;
  if (L.Alignment() == taRightJustify) x -= w;
  else if (L.Alignment() == taCenter) x -= w / 2;

  const Integer bl = ClampPix(x - kLabelPadX), bt = ClampPix(y - h * n - kLabelPadY);
  const Integer br = ClampPix(x + w + kLabelPadX), bb = ClampPix(y + kLabelPadY);
  switch (L.Mode()) {
    case tlSimple:
      if (!L.Transparent()) {
        pen.SetColor(L.ColorBkg());
        Canvas->Rectangle(bl, bt, br, bb);
      }
      break;
    case tlBox:
      Canvas->Rectangle(bl, bt, br, bb);
      break;
    case tlUnderline:
      if (!L.Transparent()) {
        pen.SetColor(L.ColorBkg());
        Canvas->Rectangle(bl, bt, br, bb);
      }
      pen.SetColor(L.ColorBorder());
      Canvas->MoveTo(ClampPix(x), ClampPix(y));
      Canvas->LineTo(ClampPix(x + w), ClampPix(y));
      break;
    case tlShadow: {
      const TBrushStyle bs = brush.Style();
      pen.SetColor(L.ColorShadow());
      brush.SetColor(L.ColorShadow());
      brush.SetStyle(bsSolid);
      const int64_t dx = L.ShadowDx(), dy = L.ShadowDy();
      Canvas->Rectangle(ClampPix(bl + dx), ClampPix(bt + dy), ClampPix(br + dx),
                        ClampPix(bb + dy));
      pen.SetColor(L.ColorBorder());
      brush.SetColor(L.ColorBkg());
      brush.SetStyle(bs);
      Canvas->Rectangle(bl, bt, br, bb);
      break;
    }
    default:
      break;
  }
  if (n == 1) {
    Canvas->TextOut(ClampPix(x), ClampPix(y - h), cap);
    return;
  }
  const std::string_view all(cap);
  size_t start = 0;
  for (Integer k = 0; k < n; ++k) {
    size_t end = all.find('\n', start);
    if (end == std::string_view::npos) end = all.size();
    const std::string_view line = all.substr(start, end - start);
    const Integer wk = Canvas->TextWidth(line);
    const int64_t off =
        L.Alignment() == taRightJustify ? w - wk : (L.Alignment() == taCenter ? (w - wk) / 2 : 0);
    Canvas->TextOut(ClampPix(x + off), ClampPix(y - h * n + k * h), line);
    start = end + 1;
  }
}

}  // namespace kvr
