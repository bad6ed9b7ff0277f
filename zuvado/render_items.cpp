// Item rendering: one pass over a container and the drawing rule of every item kind.
//
// The mapping of both pairs is frozen at the start of the data rendering (a multiply and
// an add per coordinate); pen, brush and font are touched only when an item needs other
// values than the canvas holds (the FLast* caches); connected lines go out as polylines.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <string_view>

#include "platform/detail/mark_stamp.h"
#include "platform/forms.h"
#include "platform/printers.h"
#include "zuvado/cp1252.h"
#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

// Arc angles are turned into radial points this far out, which only give directions.
constexpr double kArcRadialReach = 1e8;
// Each side of an arrow head leaves the shaft at 20 degrees.
constexpr double kArrowHeadAngle = std::numbers::pi / 9;
// Error-bar whiskers reach this many pixels to each side of the bar.
constexpr Integer kWhiskerHalf = 3;
// Padding of the solid background box of multi-line texts.
constexpr Integer kTextBoxPadX = 4;
constexpr Integer kTextBoxPadY = 2;

bool same(TPoint a, TPoint b) { return a.X == b.X && a.Y == b.Y; }

// Which coordinates of an item are world values: point 1 x, y, point 2 x, y.
struct WorldFlags {
  bool x1, y1, x2, y2;
};

WorldFlags world_flags(TCoordMode cm) {
  switch (cm) {
    case cmAllScreen: return {false, false, false, false};
    case cmWorldMainScreenSec: return {true, true, false, false};
    case cmScreenMainWorldSec: return {false, false, true, true};
    case cmXScreenYWorld: return {false, true, false, true};
    case cmXWorldYScreen: return {true, false, true, false};
    default: return {true, true, true, true};
  }
}

// Shape marks that put a single colour on every pixel they touch: open and solid ones
// (from type 10 on shapes come open, brush-filled, solid in turn), and brush-filled ones
// whose fill is the pen colour. Such a mark drawn twice at one place with only its like
// in between leaves the pixels as they were. 0 for the others: line marks move the
// canvas pen, which later relative items read; character marks blend their edges.
constexpr Integer kFirstShapeMark = 10;
uint64_t one_colour_mark_key(Integer mk, TColor pen, TColor fill, Integer width) {
  if (mk < kFirstShapeMark || mk >= kGeometricMarkCount || width < 0 || width > 0xFFFF) return 0;
  if ((mk - kFirstShapeMark) % 3 == 1 && fill != pen) return 0;
  return (uint64_t(uint32_t(pen)) << 32) | (uint64_t(width) << 16) | uint64_t(mk) | (uint64_t(1) << 8);
}

// Copied from a picture of the mark where that gives the very pixels of drawing it.
void draw_mark(TCanvas* c, Integer mk, Integer x, Integer y) {
  if (const detail::MarkStamp* s = detail::any_mark_stamp_for(*c, mk)) detail::stamp_mark(*c, *s, x, y);
  else DrawMarkOnCanvas(c, mk, x, y);
}

// Smooth raster pictures put slanted and round marks where the curve's points go, to
// a sixteenth of a pixel, copied from the stamp of that phase where there is one.
bool marks_keep_fractions(const TCanvas& c) { return c.Smooth() && !c.KeepsFractions(); }

struct MarkPhase {
  Integer x, y;   // the pixel the phase counts from
  int px, py;     // sixteenths of a pixel on
  double fx() const { return x + double(px) / detail::kMarkPhases; }
  double fy() const { return y + double(py) / detail::kMarkPhases; }
};

MarkPhase mark_phase(double x, double y) {
  auto split = [](double v, Integer& whole, int& part) {
    // The item clamp bounds the place; NaN goes to its low end.
    if (!(v >= -double(kItemClamp))) v = -double(kItemClamp);
    v = std::min(v, double(kItemClamp));
    const int64_t q = std::llround(v * detail::kMarkPhases);
    const int64_t w = q >= 0 ? q / detail::kMarkPhases : -((-q + detail::kMarkPhases - 1) / detail::kMarkPhases);
    whole = Integer(w);
    part = int(q - w * detail::kMarkPhases);
  };
  MarkPhase m{};
  split(x, m.x, m.px);
  split(y, m.y, m.py);
  return m;
}

void draw_mark_phase(TCanvas* c, Integer mk, const MarkPhase& m) {
  if (const detail::MarkStamp* s = detail::smooth_mark_stamp_for(*c, mk, m.px, m.py)) detail::stamp_mark(*c, *s, m.x, m.y);
  else DrawMarkOnCanvasF(c, mk, m.fx(), m.fy());
}

bool in_range(double v, double lo, double hi) { return v >= lo && v <= hi; }

// [a, b] reaches into [lo, hi].
bool overlaps(double a, double b, double lo, double hi) { return b >= lo && a <= hi; }

// Corners of a filled shape; the larger x and y are moved out by one so that the
// canvas's right/bottom exclusion still covers both corners.
TRect shape_box(TPoint a, TPoint b) {
  return TRect{std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X) + 1,
               std::max(a.Y, b.Y) + 1};
}

}  // namespace

// Canvas placement of one item's coordinates: world values through the frozen layer
// mapping, moved from control to canvas pixels; screen values are offsets from the
// chart area's corner. Every result is clamped to +-kItemClamp.
struct TCustomZUvado::TItemConv {
  const TLayerMap& M;
  int64_t mx, my;  // canvas = control + (mx, my)
  Integer ox, oy;
  WorldFlags wf;

  Integer wx(double v) const { return ClampItemPix(int64_t(M.X.Map(v)) + mx); }
  Integer wy(double v) const { return ClampItemPix(int64_t(M.Y.Map(v)) + my); }
  Integer sx(double v) const { return ClampItemPix(int64_t(RoundPix(v)) + ox); }
  Integer sy(double v) const { return ClampItemPix(int64_t(RoundPix(v)) + oy); }
  TPoint world(double x, double y) const { return TPoint{wx(x), wy(y)}; }
  TPoint p1(const TrcChartItem& it) const {
    return TPoint{wf.x1 ? wx(it.x) : sx(it.x), wf.y1 ? wy(it.y) : sy(it.y)};
  }
  TPoint p2(const TrcChartItem& it) const {
    return TPoint{wf.x2 ? wx(it.x2) : sx(it.x2), wf.y2 ? wy(it.y2) : sy(it.y2)};
  }
  // A text's anchor; the pixel offset of tkTextOfs is added before rounding.
  TPoint text_anchor(const TrcChartItem& it) const {
    if (it.ItemKind == tkText) return p1(it);
    return TPoint{ClampItemPix(int64_t(RoundPix((long double)M.X.Map(it.x) + it.x2)) + mx),
                  ClampItemPix(int64_t(RoundPix((long double)M.Y.Map(it.y) + it.y2)) + my)};
  }
};

// Freezes everything an item pass reads per item; the canvas is brought to the state
// the caches describe.
void TCustomZUvado::ResetRenderCache(TCanvas* Canvas, Integer ox, Integer oy) {
  for (size_t i = 0; i < 2; ++i) {
    FPassMap[i] = LayerMap(Integer(i) + 1);
    FPassUnmapped[i] = UnmappedAxes(Integer(i) + 1);
    const TScaleProps& X = *FScalePropsX[i];
    const TScaleProps& Y = *FScalePropsY[i];
    FPassRange[i] = {std::min(X.FRangeLow, X.FRangeHigh), std::max(X.FRangeLow, X.FRangeHigh),
                     std::min(Y.FRangeLow, Y.FRangeHigh), std::max(Y.FRangeLow, Y.FRangeHigh)};
  }
  FPassMarginX = ClampPix(int64_t(ox) - FRcLRim);
  FPassMarginY = ClampPix(int64_t(oy) - FRcTRim);
  FPassOnPrinter = Canvas == Printer().Canvas();

  const TColor chart = StyledChartColor();
  TPen& pen = *Canvas->Pen();
  pen.SetWidth(FLineWidth);
  pen.SetColor(chart);
  pen.SetStyle(psSolid);
  pen.SetMode(pmCopy);
  Canvas->Brush()->SetColor(chart);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Font()->SetColor(chart);
  FLastLWidth = FLineWidth;
  FLastPenCol = chart;
  FLastPenStyle = psSolid;
  FLastBrushCol = chart;
  FLastFontCol = chart;
  SetTextAlign(Canvas->Handle(), 0);
  Canvas->MoveTo(ox, oy);
  FNumPPa = 0;
  SetPolylinePenPos(ox, oy);
  FRunActive = false;
  FPassMerge = pen.Mode() == pmCopy;
  FPassPrecise = Canvas->KeepsFractions() || Canvas->Smooth();
  // Vector output keeps every point; a smooth raster only needs what shows.
  FPassPreciseMerge = FPassMerge && !Canvas->KeepsFractions();
  FPreciseRun.clear();
  FPColOpen = false;
  ResetMarkStamps();
}

// The map covers the control, one bit per pixel so that it stays in the cache; an epoch
// clears only the words it set.
void TCustomZUvado::ResetMarkStamps() {
  const Integer w = std::max(0, Width()), h = std::max(0, Height());
  if (w != FStampW || h != FStampH) {
    FStampW = w;
    FStampH = h;
    FStampBits.assign((size_t(w) * size_t(h) + 63) / 64, 0);
    FStampDirty.clear();
  }
  FStampOpen = false;
}

bool TCustomZUvado::MarkStampedBefore(Integer px, Integer py, uint64_t Key) {
  if (!FStampOpen || Key != FStampKey) {
    for (const uint32_t k : FStampDirty) FStampBits[k] = 0;
    FStampDirty.clear();
    FStampKey = Key;
    FStampOpen = true;
  }
  if (px < 0 || px >= FStampW || py < 0 || py >= FStampH) return false;
  const size_t bit = size_t(py) * size_t(FStampW) + size_t(px);
  uint64_t& word = FStampBits[bit >> 6];
  const uint64_t m = uint64_t(1) << (bit & 63);
  if (word & m) return true;
  if (word == 0) FStampDirty.push_back(uint32_t(bit >> 6));
  word |= m;
  return false;
}

void TCustomZUvado::RenderPass(TCanvas* Canvas, const TRcItemContainer& Items,
                               const TLongTextArray& Texts, bool IsAnnotation, TPassItems Only,
                               bool Mono, Integer ox, Integer oy, Integer First) {
  const std::array<bool, 256>& classVis = IsAnnotation ? FAnnoClassVisib : FClassVisib;
  FStampOpen = false;
  const bool vector = Canvas->KeepsFractions();
  const Integer n = Items.Count();
  TRcItemContainer::Reader items(Items);
  TrcChartItem lead;
  for (Integer i = First > 0 ? First - 1 : 0; i < n; ++i) {
    if (i < First) {
      // Already on the image: it only tells where the line it ends goes on from.
      if (items[i].ItemKind != tkLineto && items[i].ItemKind != tkMoveTo) continue;
      lead = items[i];
      lead.ItemKind = tkMoveTo;
    }
    const TrcChartItem& it = i < First ? lead : items[i];
    if (!classVis[it.ItemClass]) continue;
    if (it.Layer < 1 || it.Layer > 2 || !FLayerVisib[size_t(it.Layer - 1)]) continue;
    if (const unsigned u = FPassUnmapped[size_t(it.Layer - 1)]; u != 0) {
      const WorldFlags wf = world_flags(it.CoordMode);
      if (((u & 1u) && (wf.x1 || wf.x2)) || ((u & 2u) && (wf.y1 || wf.y2))) continue;
    }
    if (Only != TPassItems::All && IsTextItem(it.ItemKind) != (Only == TPassItems::TextsOnly))
      continue;
    if (OnBeforeRendezUvadoItem && i >= First) {
      TrcChartItem copy = it;
      DoOnBeforeRendezUvadoItem(this, copy, i, IsAnnotation);
      DrawContainerItemOnCanvas(Canvas, copy, i, IsAnnotation, Texts, Mono, ox, oy);
    } else {
      DrawContainerItemOnCanvas(Canvas, it, i, IsAnnotation, Texts, Mono, ox, oy);
      // Sub-pixel surfaces take every point at its own position instead.
      if (it.ItemKind == tkLineto && FPassPrecise) {
        if (FPassPreciseMerge) i = AddPreciseLineRun(items, i, n);
        continue;
      }
      if (vector) continue;
      if (it.ItemKind == tkLineto) i = AddLineRun(Canvas, items, i, n);
      else if (it.ItemKind == tkMarkAt) i = AddMarkRun(Canvas, items, i, n, Mono);
    }
  }
  FlushLine(Canvas);
  FStampOpen = false;
}

void TCustomZUvado::DoOnBeforeRendezUvadoItem(TObject* Sender, TrcChartItem& ChartItem,
                                               Integer Index, bool IsAnnotation) {
  if (OnBeforeRendezUvadoItem) OnBeforeRendezUvadoItem(Sender, ChartItem, Index, IsAnnotation);
}

void TCustomZUvado::SetItemPen(TCanvas* Canvas, TColor Col, TPenStyle Style, TColor Fill,
                               bool Force) {
  if (Force || Col != FLastPenCol) {
    Canvas->Pen()->SetColor(Col);
    FLastPenCol = Col;
  }
  if (Force || Style != FLastPenStyle) {
    Canvas->Pen()->SetStyle(Style);
    FLastPenStyle = Style;
  }
  if (Force || Fill != FLastBrushCol) {
    Canvas->Brush()->SetColor(Fill);
    FLastBrushCol = Fill;
  }
}

Integer TCustomZUvado::CalcTextExtents(const std::string& Text, TCanvas* Canvas, Integer& Width,
                                       Integer& TotalHeight, Integer& LineHeight) {
  Integer lines = 1;
  Width = 0;
  const std::string_view all(Text);
  for (size_t start = 0;;) {
    const size_t end = all.find('\n', start);
    const std::string_view piece = all.substr(start, end == std::string_view::npos
                                                         ? std::string_view::npos
                                                         : end - start);
    Width = std::max(Width, Canvas->TextWidth(piece));
    if (end == std::string_view::npos) break;
    ++lines;
    start = end + 1;
  }
  if (Width == 0) Width = Canvas->TextWidth(all);
  LineHeight = Canvas->TextHeight(all) + 1;
  TotalHeight = LineHeight * lines;
  return lines;
}

// The colour rule of monochrome output and the pen width come first; the switch then
// hands the item to the drawing rule of its family.
void TCustomZUvado::DrawContainerItemOnCanvas(TCanvas* Canvas, const TrcChartItem& Item,
                                              Integer Index, bool IsAnnotation,
                                              const TLongTextArray& LongTexts, bool Mono,
                                              Integer ox, Integer oy) {
  const TrcItem kind = Item.ItemKind;
  if (kind != tkMarkAt) FStampOpen = false;
  TColor pc = Item.Color, fc = Item.FillColor;
  if (Mono) {
    pc = clBlack;
    switch (kind) {
      case tkText: case tkTextOfs: fc = clWhite; break;
      case tkRect: case tkRectRelPix: case tkEllipse: case tk3DBar: case tkRectFrame:
      case tkArrow: case tkDoubleArrow:
        fc = clSilver;
        break;
      default: break;
    }
  }
  if (!IsTextItem(kind) && Item.LWid != FLastLWidth) {
    FlushLine(Canvas);
    Canvas->Pen()->SetWidth(Item.LWid);
    FLastLWidth = Item.LWid;
  }
  if (FPassPrecise && DrawPreciseItem(Canvas, Item, pc, fc)) return;
  const TItemConv cv{FPassMap[Item.Layer >= 2 ? 1 : 0], FPassMarginX, FPassMarginY, ox, oy,
                     world_flags(Item.CoordMode)};

  switch (kind) {
    case tkMoveTo: case tkMoveRelPix: case tkLineto: case tkLineRelPix: case tkLineRelPixOrig:
      DrawPathItem(Canvas, Item, cv, pc, fc);
      break;
    case tkLine: case tkLineOffs:
      DrawSegmentItem(Canvas, Item, cv, pc, fc);
      break;
    case tkCursorVert: case tkCursorHoriz:
      DrawCursorItem(Canvas, Item, cv, pc, fc);
      break;
    case tkRect: case tkRectRelPix: case tkEllipse:
      DrawShapeItem(Canvas, Item, cv, pc, fc);
      break;
    case tkArc:
      DrawArcItem(Canvas, Item, cv, pc);
      break;
    case tk3DBar:
      DrawBarItem(Canvas, Item, cv, pc, fc);
      break;
    case tkRectFrame:
      DrawFrameItem(Canvas, Item, cv, fc);
      break;
    case tkArrow: case tkDoubleArrow:
      DrawArrowItem(Canvas, Item, cv, pc, fc);
      break;
    case tkText: case tkTextOfs:
      DrawTextItem(Canvas, Item, cv, Index, IsAnnotation, LongTexts, pc, fc);
      break;
    case tkMarkAt:
      DrawMarkItem(Canvas, Item, cv, pc, fc);
      break;
    case tkMarkEBar:
      DrawErrorBarItem(Canvas, Item, cv, pc, fc);
      break;
    default:
      break;
  }
}

// Moves and connected lines: the only family that leaves the polyline open.
void TCustomZUvado::DrawPathItem(TCanvas* Canvas, const TrcChartItem& Item,
                                 const TItemConv& cv, TColor pc, TColor fc) {
  switch (Item.ItemKind) {
    case tkMoveTo: {
      FlushLine(Canvas);
      const TPoint p = cv.p1(Item);
      SetPolylinePenPos(p.X, p.Y);
      Canvas->MoveTo(p.X, p.Y);
      break;
    }
    case tkMoveRelPix: {
      FlushLine(Canvas);
      const TPoint base = Canvas->PenPos();
      const TPoint p{ClampItemPix(int64_t(base.X) + RoundPix(Item.x)),
                     ClampItemPix(int64_t(base.Y) + RoundPix(Item.y))};
      SetPolylinePenPos(p.X, p.Y);
      Canvas->MoveTo(p.X, p.Y);
      break;
    }
    case tkLineto:
    case tkLineRelPix: {
      TPoint p;
      if (Item.ItemKind == tkLineto) {
        p = cv.p1(Item);
      } else {
        // Relative to the last point of the line being built, which the canvas pen
        // has not reached yet while it waits in the buffer.
        const TPoint base = FRunActive && FRunPending ? TPoint{FRunX, FRunLast}
                            : FNumPPa > 0             ? FPPa[size_t(FNumPPa - 1)]
                                                      : Canvas->PenPos();
        p = TPoint{ClampItemPix(int64_t(base.X) + RoundPix(Item.x)),
                   ClampItemPix(int64_t(base.Y) + RoundPix(Item.y))};
      }
      if (pc != FLastPenCol || Item.PenStyle != FLastPenStyle || fc != FLastBrushCol) {
        FlushLine(Canvas);
        SetItemPen(Canvas, pc, Item.PenStyle, fc, false);
      }
      AddLinePoint(p.X, p.Y, Canvas);
      break;
    }
    case tkLineRelPixOrig: {
      FlushLine(Canvas);
      SetItemPen(Canvas, pc, Item.PenStyle, fc, false);
      const TPoint p = cv.world(Item.x, Item.y);
      const TPoint q{ClampItemPix(int64_t(p.X) + RoundPix(Item.x2)),
                     ClampItemPix(int64_t(p.Y) + RoundPix(Item.y2))};
      if (same(p, q)) {
        Canvas->SetPixels(p.X, p.Y, pc);
      } else {
        SetPolylinePenPos(p.X, p.Y);
        Canvas->MoveTo(p.X, p.Y);
        EnterPolyline(q.X, q.Y, Canvas);
      }
      break;
    }
    default:
      break;
  }
}

void TCustomZUvado::DrawSegmentItem(TCanvas* Canvas, const TrcChartItem& Item,
                                    const TItemConv& cv, TColor pc, TColor fc) {
  FlushLine(Canvas);
  SetItemPen(Canvas, pc, Item.PenStyle, fc, false);
  TPoint a, b;
  if (Item.ItemKind == tkLine) {
    a = cv.p1(Item);
    b = cv.p2(Item);
  } else {
    a = cv.world(Item.x, Item.y);
    b = cv.world(Item.x2, Item.y2);
    a = TPoint{ClampItemPix(int64_t(a.X) + Item.Param1), ClampItemPix(int64_t(a.Y) + Item.Param2)};
    b = TPoint{ClampItemPix(int64_t(b.X) + Item.Param1), ClampItemPix(int64_t(b.Y) + Item.Param2)};
  }
  if (same(a, b)) {
    Canvas->SetPixels(a.X, a.Y, pc);
  } else {
    Canvas->MoveTo(a.X, a.Y);
    Canvas->LineTo(b.X, b.Y);
  }
}

// Cursors span the whole chart area.
void TCustomZUvado::DrawCursorItem(TCanvas* Canvas, const TrcChartItem& Item,
                                   const TItemConv& cv, TColor pc, TColor fc) {
  FlushLine(Canvas);
  SetItemPen(Canvas, pc, Item.PenStyle, fc, true);
  if (Item.ItemKind == tkCursorVert) {
    const Integer x = cv.wf.x1 ? cv.wx(Item.x) : cv.sx(Item.x);
    Canvas->MoveTo(x, cv.oy);
    Canvas->LineTo(x, Height() - FRcBRim - FRcTRim + cv.oy);
  } else {
    const Integer y = cv.wf.y1 ? cv.wy(Item.y) : cv.sy(Item.y);
    Canvas->MoveTo(cv.ox, y);
    Canvas->LineTo(Width() - FRcLRim - FRcRRim + cv.ox, y);
  }
}

void TCustomZUvado::DrawShapeItem(TCanvas* Canvas, const TrcChartItem& Item,
                                  const TItemConv& cv, TColor pc, TColor fc) {
  FlushLine(Canvas);
  SetItemPen(Canvas, pc, Item.PenStyle, fc, false);
  Canvas->Brush()->SetStyle(Item.Transp ? bsClear : bsSolid);
  const TrcItem kind = Item.ItemKind;
  TPoint a, b;
  if (kind == tkRect) {
    a = cv.p1(Item);
    b = cv.p2(Item);
  } else if (kind == tkRectRelPix) {
    const TPoint c = cv.world(Item.x, Item.y);
    a = TPoint{ClampItemPix(int64_t(c.X) - Item.Param1), ClampItemPix(int64_t(c.Y) - Item.Param2)};
    b = TPoint{ClampItemPix(int64_t(c.X) + Item.Param1), ClampItemPix(int64_t(c.Y) + Item.Param2)};
  } else {
    a = cv.world(Item.x - Item.x2, Item.y + Item.y2);
    b = cv.world(Item.x + Item.x2, Item.y - Item.y2);
  }
  if (same(a, b)) {
    Canvas->SetPixels(a.X, a.Y, pc);
  } else if (kind == tkEllipse) {
    Canvas->Ellipse(shape_box(a, b));
  } else {
    Canvas->Rectangle(shape_box(a, b));
  }
}

// An arc touches only the pen colour: neither the style nor the fill applies to it.
void TCustomZUvado::DrawArcItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv,
                                TColor pc) {
  FlushLine(Canvas);
  if (pc != FLastPenCol) {
    Canvas->Pen()->SetColor(pc);
    FLastPenCol = pc;
  }
  const TPoint a = cv.world(Item.x - Item.x2, Item.y - Item.y2);
  const TPoint b = cv.world(Item.x + Item.x2, Item.y + Item.y2);
  if (same(a, b)) {
    Canvas->SetPixels(a.X, a.Y, pc);
    return;
  }
  // The radial points are not clamped.
  const TPoint c = cv.world(Item.x, Item.y);
  const double a1 = Item.Param1 / kArcAngleScale, a2 = Item.Param2 / kArcAngleScale;
  const TRect box = shape_box(a, b);
  Canvas->Arc(box.Left, box.Top, box.Right, box.Bottom,
              Integer(c.X + Round(std::cos(a1) * kArcRadialReach)),
              Integer(c.Y - Round(std::sin(a1) * kArcRadialReach)),
              Integer(c.X + Round(std::cos(a2) * kArcRadialReach)),
              Integer(c.Y - Round(std::sin(a2) * kArcRadialReach)));
}

// Top and side faces receding at the item's angle, then the front face over them.
void TCustomZUvado::DrawBarItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv,
                                TColor pc, TColor fc) {
  FlushLine(Canvas);
  SetItemPen(Canvas, pc, Item.PenStyle, fc, false);
  Canvas->Brush()->SetStyle(bsSolid);
  TPoint p1 = cv.world(Item.x, Item.y), p2 = cv.world(Item.x2, Item.y2);
  if (p1.X > p2.X) std::swap(p1.X, p2.X);
  if (p1.Y > p2.Y) std::swap(p1.Y, p2.Y);
  const double a = Item.Param1 * std::numbers::pi / 180;
  // A depth from a file can be any integer; the ends stay near the surface.
  const Integer dx = ClampItemPix(Round(std::cos(a) * Item.Param2));
  const Integer dy = ClampItemPix(-Round(std::sin(a) * Item.Param2));
  // Beyond a right angle the depth recedes to the left.
  if (Item.Param1 > 90) std::swap(p1.X, p2.X);
  Canvas->Polygon({{p1.X, p1.Y}, {p1.X + dx, p1.Y + dy}, {p2.X + dx, p1.Y + dy}, {p2.X, p1.Y}});
  Canvas->Polygon({{p2.X + dx, p1.Y + dy}, {p2.X, p1.Y}, {p2.X, p2.Y}, {p2.X + dx, p2.Y + dy}});
  Canvas->Rectangle(shape_box(p1, p2));
}

// A rectangle in the fill colour with a one-pixel (lowered, raised) or two-pixel
// (embossed, engraved) edge; the raised and engraved looks swap shadow and highlight.
void TCustomZUvado::DrawFrameItem(TCanvas* Canvas, const TrcChartItem& Item,
                                  const TItemConv& cv, TColor fc) {
  FlushLine(Canvas);
  SetItemPen(Canvas, fc, Item.PenStyle, fc, false);
  Canvas->Brush()->SetStyle(bsSolid);
  const TPoint a = cv.p1(Item), b = cv.p2(Item);
  if (same(a, b)) {
    Canvas->SetPixels(a.X, a.Y, fc);
    return;
  }
  const Integer x1 = std::min(a.X, b.X), x2 = std::max(a.X, b.X);
  const Integer y1 = std::max(a.Y, b.Y), y2 = std::min(a.Y, b.Y);  // y1 is the bottom
  Canvas->Rectangle(x1, y1, x2, y2);
  TColor first = Item.ShadowColor, second = Item.HiLightColor;
  const TFrameStyle fs = Item.FrameStyle;
  if (fs == rbRaised || fs == rbEngraved) std::swap(first, second);
  TPen& pen = *Canvas->Pen();
  if (fs == rbLowered || fs == rbRaised) {
    pen.SetColor(first);
    Canvas->MoveTo(x1, y1);
    Canvas->LineTo(x1, y2);
    Canvas->LineTo(x2, y2);
    pen.SetColor(second);
    Canvas->LineTo(x2, y1);
    Canvas->LineTo(x1, y1);
    FLastPenCol = second;
  } else if (fs == rbEmbossed || fs == rbEngraved) {
    pen.SetColor(first);
    Canvas->MoveTo(x1 + 1, y1);
    Canvas->LineTo(x1 + 1, y2 + 1);
    Canvas->LineTo(x2, y2 + 1);
    Canvas->LineTo(x2, y1);
    Canvas->LineTo(x1 + 1, y1);
    pen.SetColor(second);
    Canvas->MoveTo(x1, y1 - 1);
    Canvas->LineTo(x1, y2);
    Canvas->LineTo(x2 - 1, y2);
    Canvas->LineTo(x2 - 1, y1 - 1);
    Canvas->LineTo(x1, y1 - 1);
    FLastPenCol = second;
  }
}

// Heads are Param1 pixels long, kArrowHeadAngle to each side of the shaft; a
// transparent arrow draws them as two strokes instead of a filled triangle.
void TCustomZUvado::DrawArrowItem(TCanvas* Canvas, const TrcChartItem& Item,
                                  const TItemConv& cv, TColor pc, TColor fc) {
  FlushLine(Canvas);
  SetItemPen(Canvas, pc, Item.PenStyle, fc, false);
  Canvas->Brush()->SetStyle(Item.Transp ? bsClear : bsSolid);
  const TPoint p1 = cv.p1(Item), p2 = cv.p2(Item);
  if (same(p1, p2)) {
    Canvas->SetPixels(p1.X, p1.Y, pc);
    return;
  }
  Canvas->MoveTo(p1.X, p1.Y);
  Canvas->LineTo(p2.X, p2.Y);
  const Integer h = Item.Param1;
  if (h <= 0) return;
  constexpr double pi = std::numbers::pi;
  double phi;
  if (p1.X == p2.X) {
    phi = p2.Y > p1.Y ? pi : 2 * pi;
  } else {
    phi = std::atan(double(p2.Y - p1.Y) / double(p2.X - p1.X)) + (p2.X < p1.X ? 1.5 * pi : 0.5 * pi);
  }
  constexpr double beta = kArrowHeadAngle;
  auto head = [&](TPoint tip, Integer sign) {
    const TPoint bp{ClampItemPix(tip.X + sign * Round(h * std::sin(phi + beta))),
                    ClampItemPix(tip.Y - sign * Round(h * std::cos(phi + beta)))};
    const TPoint bm{ClampItemPix(tip.X + sign * Round(h * std::sin(phi - beta))),
                    ClampItemPix(tip.Y - sign * Round(h * std::cos(phi - beta)))};
    if (Item.Transp) {
      Canvas->MoveTo(tip.X, tip.Y);
      Canvas->LineTo(bp.X, bp.Y);
      Canvas->MoveTo(tip.X, tip.Y);
      Canvas->LineTo(bm.X, bm.Y);
    } else {
      Canvas->Polygon({tip, bp, bm});
    }
  };
  if (Item.ItemKind == tkDoubleArrow) head(p1, +1);
  head(p2, -1);
}

// Marks outside the ranges (world) or the chart area (screen) are not drawn at all.
void TCustomZUvado::DrawMarkItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv,
                                 TColor pc, TColor fc) {
  FlushLine(Canvas);
  const auto& r = FPassRange[Item.Layer >= 2 ? 1 : 0];
  const bool world = Item.CoordMode == cmAllWorld;
  if (world) {
    if (!in_range(Item.x, r[0], r[1]) || !in_range(Item.y, r[2], r[3])) return;
  } else if (!in_range(Item.x, 0, Width() - FRcRRim - FRcLRim) ||
             !in_range(Item.y, 0, Height() - FRcBRim - FRcTRim)) {
    return;
  }
  SetItemPen(Canvas, pc, Item.PenStyle, fc, false);
  const TPoint p = world ? cv.world(Item.x, Item.y) : TPoint{cv.sx(Item.x), cv.sy(Item.y)};
  // The place to the fraction; the map of places taken still counts whole pixels.
  const bool fractions = world && MarkKeepsFractions(Item.Param3) && marks_keep_fractions(*Canvas);
  const MarkPhase phase = fractions ? mark_phase(cv.M.X.Pixel(Item.x) + double(cv.mx), cv.M.Y.Pixel(Item.y) + double(cv.my))
                                    : MarkPhase{};
  if (FPassOnPrinter && Item.Param3 >= kGeometricMarkCount) {
    TFont& f = *Canvas->Font();
    f.SetPixelsPerInch(Screen().PixelsPerInch());
    f.SetSize(FTextFont->Size());
    f.SetPixelsPerInch(GetDeviceCaps(Canvas->Handle(), LOGPIXELSY));
  }
  // The occupancy map is in control pixels.
  if (FAvoidDuplicateMarks) {
    if (!DupMarkAllowed(Integer(p.X - cv.mx), Integer(p.Y - cv.my), Item.Param3)) return;
  } else if (const uint64_t key = one_colour_mark_key(Item.Param3, pc, fc, FLastLWidth);
             key != 0 && FPassMerge && Item.PenStyle == psSolid && !OnBeforeRendezUvadoItem &&
             !FPassOnPrinter && Canvas->Bitmap()) {
    if (!fractions) {
      StampedMark(Canvas, Item.Param3, p, TPoint{Integer(p.X - cv.mx), Integer(p.Y - cv.my)}, key);
    } else if (!MarkStampedBefore(Integer(p.X - cv.mx), Integer(p.Y - cv.my), key)) {
      draw_mark_phase(Canvas, Item.Param3, phase);
    }
    return;
  } else {
    FStampOpen = false;
  }
  if (fractions) draw_mark_phase(Canvas, Item.Param3, phase);
  else draw_mark(Canvas, Item.Param3, p.X, p.Y);
}

// Shape marks leave the canvas pen where it was, so a skipped one leaves no trace.
void TCustomZUvado::StampedMark(TCanvas* Canvas, Integer mk, TPoint p, TPoint ctl,
                                uint64_t Key) {
  if (!MarkStampedBefore(ctl.X, ctl.Y, Key)) draw_mark(Canvas, mk, p.X, p.Y);
}

// Marks right after a stamped one that share all its attributes: the checks and the
// canvas state of the first hold for them, only the place changes.
Integer TCustomZUvado::AddMarkRun(TCanvas* Canvas, TRcItemContainer::Reader& Items, Integer i,
                                  Integer n, bool Mono) {
  const TrcChartItem a = Items[i];
  // An open epoch of the same key vouches for the pass-wide conditions; the item's own
  // pen style is checked as the first of the run may have been out of range.
  if (!FStampOpen || a.CoordMode != cmAllWorld || a.PenStyle != psSolid || FAvoidDuplicateMarks)
    return i;
  const uint64_t key = one_colour_mark_key(a.Param3, Mono ? clBlack : a.Color, a.FillColor, FLastLWidth);
  if (key != FStampKey) return i;
  const size_t layer = a.Layer >= 2 ? 1 : 0;
  const auto& r = FPassRange[layer];
  const TLayerMap& M = FPassMap[layer];
  const int64_t mx = FPassMarginX, my = FPassMarginY;
  // The first mark set the canvas's pen and brush; the rest only copy pixels. They are
  // gathered a few at a time so that their rows of the picture (and words of the map)
  // are on their way from memory while the earlier ones are copied.
  const detail::MarkStamp* ms = detail::any_mark_stamp_for(*Canvas, a.Param3);
  std::optional<detail::MarkStamper> stamper;
  if (ms) {
    stamper.emplace(*Canvas, Canvas->ClipRect(), *ms, Canvas->Pen()->Color(),
                    Canvas->Brush()->Color());
    stamper->plan();
  }
  // Marks at sub-pixel places take the stamp of their phase, fetched once per phase.
  const bool fractions = MarkKeepsFractions(a.Param3) && marks_keep_fractions(*Canvas);
  constexpr int kPhaseCount = detail::kMarkPhases * detail::kMarkPhases;
  std::array<const detail::MarkStamp*, kPhaseCount> phase_stamp{};
  std::array<bool, kPhaseCount> phase_asked{};
  auto stamp_of_phase = [&](const MarkPhase& m) {
    const size_t k = size_t(m.py) * detail::kMarkPhases + size_t(m.px);
    if (!phase_asked[k]) {
      phase_asked[k] = true;
      phase_stamp[k] = detail::smooth_mark_stamp_for(*Canvas, a.Param3, m.px, m.py);
    }
    return phase_stamp[k];
  };
  constexpr int kAhead = 48;
  struct Queued {
    TPoint p;
    int64_t bit;  // in the map of control pixels, -1 off the control
    const detail::MarkStamp* s;  // of the phase, when the place has fractions
  };
  std::array<Queued, kAhead> ahead;
  int queued = 0;
  // The epoch of this key is open (checked above), so the map is read and set here as
  // MarkStampedBefore would, without a call per mark.
  const auto drain = [&] {
    for (int k = 0; k < queued; ++k) {
      const Queued& q = ahead[size_t(k)];
      if (q.bit >= 0) {
        uint64_t& word = FStampBits[size_t(q.bit) >> 6];
        const uint64_t m = uint64_t(1) << (q.bit & 63);
        if (word & m) continue;
        if (word == 0) FStampDirty.push_back(uint32_t(size_t(q.bit) >> 6));
        word |= m;
      }
      if (q.s) stamper->stamp(*q.s, q.p.X, q.p.Y);
      else stamper->stamp(q.p.X, q.p.Y);
    }
    queued = 0;
  };
  const auto same = [&](const TrcChartItem& b) {
    return b.ItemKind == tkMarkAt && b.CoordMode == cmAllWorld && b.Param3 == a.Param3 &&
           b.Color == a.Color && b.FillColor == a.FillColor && b.PenStyle == a.PenStyle &&
           b.LWid == a.LWid && b.ItemClass == a.ItemClass && b.Layer == a.Layer;
  };
  const Integer j = Items.TakeWhile(i + 1, n, same, [&](double x, double y) {
    if (!in_range(x, r[0], r[1]) || !in_range(y, r[2], r[3])) return;
    const double fx = M.X.Pixel(x), fy = M.Y.Pixel(y);
    const TPoint p{ClampItemPix(int64_t(RoundPix(fx)) + mx), ClampItemPix(int64_t(RoundPix(fy)) + my)};
    const detail::MarkStamp* ps = nullptr;
    TPoint at = p;
    if (fractions) {
      const MarkPhase m = mark_phase(fx + double(mx), fy + double(my));
      ps = stamp_of_phase(m);
      if (!stamper || !ps) {
        // Drawn in its turn: the marks queued before it go first.
        if (stamper) drain();
        if (!MarkStampedBefore(Integer(p.X - mx), Integer(p.Y - my), key)) draw_mark_phase(Canvas, a.Param3, m);
        return;
      }
      at = TPoint{m.x, m.y};
    }
    if (!stamper) {
      StampedMark(Canvas, a.Param3, p, TPoint{Integer(p.X - mx), Integer(p.Y - my)}, key);
      return;
    }
    stamper->prefetch(at.X, at.Y);
    const int64_t bx = int64_t(p.X) - mx, by = int64_t(p.Y) - my;
    int64_t bit = -1;
    if (bx >= 0 && bx < FStampW && by >= 0 && by < FStampH) {
      bit = by * FStampW + bx;
      __builtin_prefetch(&FStampBits[size_t(bit) >> 6], 1);
    }
    ahead[size_t(queued++)] = Queued{at, bit, ps};
    if (queued == kAhead) drain();
  });
  if (stamper) drain();
  return j - 1;
}

// Bars from the point to both error ends, each closed by a whisker; the mark goes on top.
void TCustomZUvado::DrawErrorBarItem(TCanvas* Canvas, const TrcChartItem& Item,
                                     const TItemConv& cv, TColor pc, TColor fc) {
  FlushLine(Canvas);
  const auto& r = FPassRange[Item.Layer >= 2 ? 1 : 0];
  const double lo = std::fabs(Item.x2), up = std::fabs(Item.y2);
  if (!overlaps(Item.x - lo, Item.x + up, r[0], r[1]) ||
      !overlaps(Item.y - lo, Item.y + up, r[2], r[3]))
    return;
  SetItemPen(Canvas, pc, Item.PenStyle, fc, false);
  const TPoint p = cv.world(Item.x, Item.y);
  if (Item.Param1 == orVertical) {
    for (const double v : {Item.y - lo, Item.y + up}) {
      const Integer ey = cv.wy(v);
      Canvas->MoveTo(p.X, p.Y);
      Canvas->LineTo(p.X, ey);
      Canvas->MoveTo(p.X - kWhiskerHalf, ey);
      Canvas->LineTo(p.X + kWhiskerHalf + 1, ey);
    }
  } else {
    for (const double v : {Item.x - lo, Item.x + up}) {
      const Integer ex = cv.wx(v);
      Canvas->MoveTo(p.X, p.Y);
      Canvas->LineTo(ex, p.Y);
      Canvas->MoveTo(ex, p.Y - kWhiskerHalf);
      Canvas->LineTo(ex, p.Y + kWhiskerHalf + 1);
    }
  }
  draw_mark(Canvas, Item.Param3, p.X, p.Y);
}

// The anchor is the vertical middle of the first line; Param3 aligns the block.
void TCustomZUvado::DrawTextItem(TCanvas* Canvas, const TrcChartItem& Item, const TItemConv& cv,
                                 Integer Index, bool IsAnnotation,
                                 const TLongTextArray& LongTexts, TColor Pen, TColor Fill) {
  FlushLine(Canvas);
  const TPoint At = cv.text_anchor(Item);
  TFont& font = *Canvas->Font();
  if (Pen != FLastFontCol) {
    font.SetColor(Pen);
    FLastFontCol = Pen;
  }
  if (font.Name() != FTextFont->Name()) font.SetName(FTextFont->Name());
  if (font.Style() != FTextFont->Style()) font.SetStyle(FTextFont->Style());
  if (FPassOnPrinter) {
    font.SetPixelsPerInch(Screen().PixelsPerInch());
    font.SetSize(Item.Param1);
    font.SetPixelsPerInch(GetDeviceCaps(Canvas->Handle(), LOGPIXELSY));
  } else if (font.Size() != Item.Param1) {
    font.SetSize(Item.Param1);
  }
  TBrush& brush = *Canvas->Brush();
  if (Fill != FLastBrushCol) {
    brush.SetColor(Fill);
    FLastBrushCol = Fill;
  }
  // Only the low byte of Param2 holds the background style.
  const bool solid = (Item.Param2 & 0xFF) != tbClear;
  brush.SetStyle(solid ? bsSolid : bsClear);

  // A slot number beyond the 50 long texts names none; the short text is shown.
  std::string text = Item.LWid >= 1 && Item.LWid <= kNumLongTexts
                         ? LongTexts[size_t(Item.LWid - 1)]
                         : detail::cp1252_to_utf8(Item.Text.View());
  if (OnBeforeRenderText) OnBeforeRenderText(this, text, Index, IsAnnotation);

  Integer w = 0, total = 0, lh = 0;
  const Integer lines = CalcTextExtents(text, Canvas, w, total, lh);
  int64_t x = At.X, y = int64_t(At.Y) - lh / 2;
  if (Item.Param3 == taRightJustify) x -= w;
  else if (Item.Param3 == taCenter) x -= w / 2;
  if (lines == 1) {
    Canvas->TextOut(ClampPix(x), ClampPix(y), text);
    return;
  }
  if (solid) {
    if (Fill != FLastPenCol) {
      Canvas->Pen()->SetColor(Fill);
      FLastPenCol = Fill;
    }
    Canvas->Rectangle(ClampPix(x - kTextBoxPadX), ClampPix(y - kTextBoxPadY),
                      ClampPix(x + w + kTextBoxPadX),
                      ClampPix(y + int64_t(lines) * lh + kTextBoxPadY));
  }
  const std::string_view all(text);
  size_t start = 0;
  for (Integer i = 0; i < lines; ++i) {
    size_t end = all.find('\n', start);
    if (end == std::string_view::npos) end = all.size();
    const std::string_view line = all.substr(start, end - start);
    const Integer wi = Canvas->TextWidth(line);
    const int64_t off = Item.Param3 == taRightJustify ? w - wi
                        : Item.Param3 == taCenter     ? (w - wi) / 2
                                                      : 0;
    Canvas->TextOut(ClampPix(x + off), ClampPix(y + int64_t(i) * lh), line);
    start = end + 1;
  }
}

}  // namespace kvr
