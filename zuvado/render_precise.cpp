// Items at sub-pixel positions. On a vector surface the pixel grid is only the layout's:
// connected lines, segments and ellipses in world coordinates go out where the mapping
// puts them, so a zoomed SVG or PDF shows the data and not the staircase of the screen.
// Smooth raster drawing takes the same path, so its curves are not snapped either.
// Axes, grid, texts and every other item keep the pixel rules of render_items.cpp, which
// the raster surfaces always use.
#include <algorithm>

#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

// The unrounded counterpart of the item clamp: the same bounds, NaN at the low end.
double clamp_item(double v) {
  if (!(v >= -double(kItemClamp))) return -double(kItemClamp);
  return std::min(v, double(kItemClamp));
}

bool same_pixel(TPointDouble a, TPointDouble b) {
  return RoundPix(a.X) == RoundPix(b.X) && RoundPix(a.Y) == RoundPix(b.Y);
}

}  // namespace

void TCustomZUvado::SetPreciseLineStart(TPointDouble p) {
  FPreciseFrom = p;
  SetPolylinePenPos(RoundPix(p.X), RoundPix(p.Y));
}

TPointDouble TCustomZUvado::PreciseLineStart() const {
  if (RoundPix(FPreciseFrom.X) == FLastMoveToX && RoundPix(FPreciseFrom.Y) == FLastMoveToY) return FPreciseFrom;
  return TPointDouble{double(FLastMoveToX), double(FLastMoveToY)};
}

void TCustomZUvado::FlushPreciseLine(TCanvas* Canvas) {
  if (FPreciseRun.empty()) return;
  EnterPreciseColumn();
  const TPointDouble last = FPreciseRun.back();
  if (Canvas) {
    if (FPreciseRun.size() >= 2) Canvas->PolylineF(FPreciseRun);
    Canvas->MoveToF(last.X, last.Y);
  }
  // Items drawn by the pixel rules go on from the rounded end.
  SetPreciseLineStart(last);
  FPreciseRun.clear();
}

bool TCustomZUvado::DrawPreciseItem(TCanvas* Canvas, const TrcChartItem& Item, TColor pc, TColor fc) {
  const TrcItem kind = Item.ItemKind;
  const bool handled = Item.CoordMode == cmAllWorld &&
                       (kind == tkMoveTo || kind == tkLineto || kind == tkLine || kind == tkLineOffs ||
                        kind == tkEllipse);
  if (!handled) {
    // Relative items measure from the pen, which must stand where the line ended.
    if (!FPreciseRun.empty() && !IsTextItem(kind)) FlushPreciseLine(Canvas);
    return false;
  }
  const TLayerMap& m = FPassMap[Item.Layer >= 2 ? 1 : 0];
  auto at = [&](double x, double y) {
    return TPointDouble{clamp_item(m.X.Pixel(x) + FPassMarginX), clamp_item(m.Y.Pixel(y) + FPassMarginY)};
  };
  switch (kind) {
    case tkMoveTo: {
      FlushLine(Canvas);
      const TPointDouble p = at(Item.x, Item.y);
      Canvas->MoveToF(p.X, p.Y);
      SetPreciseLineStart(p);
      return true;
    }
    case tkLineto: {
      // Whatever the pixel rules left in their buffer is drawn first.
      if (FNumPPa > 0 || FRunActive) FlushLine(Canvas);
      if (pc != FLastPenCol || Item.PenStyle != FLastPenStyle || fc != FLastBrushCol) {
        FlushLine(Canvas);
        SetItemPen(Canvas, pc, Item.PenStyle, fc, false);
      }
      // A connected line starts where the last one ended or the last move went, as
      // with the pixel rules (segments in between do not move it).
      if (FPreciseRun.empty()) {
        FPColOpen = false;
        FPreciseRun.push_back(PreciseLineStart());
      }
      AddPrecisePoint(at(Item.x, Item.y));
      return true;
    }
    case tkLine:
    case tkLineOffs: {
      TPointDouble a = at(Item.x, Item.y), b = at(Item.x2, Item.y2);
      if (kind == tkLineOffs) {
        a = TPointDouble{clamp_item(a.X + Item.Param1), clamp_item(a.Y + Item.Param2)};
        b = TPointDouble{clamp_item(b.X + Item.Param1), clamp_item(b.Y + Item.Param2)};
      }
      FlushLine(Canvas);
      // A segment within one pixel is the pixel, as on the screen.
      if (same_pixel(a, b)) return false;
      SetItemPen(Canvas, pc, Item.PenStyle, fc, false);
      Canvas->MoveToF(a.X, a.Y);
      Canvas->LineToF(b.X, b.Y);
      return true;
    }
    case tkEllipse: {
      const TPointDouble a = at(Item.x - Item.x2, Item.y + Item.y2);
      const TPointDouble b = at(Item.x + Item.x2, Item.y - Item.y2);
      FlushLine(Canvas);
      if (same_pixel(a, b)) return false;
      SetItemPen(Canvas, pc, Item.PenStyle, fc, false);
      Canvas->Brush()->SetStyle(Item.Transp ? bsClear : bsSolid);
      // The box reaches one pixel past the larger corner, as the pixel rules' box does.
      Canvas->EllipseF(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X) + 1, std::max(a.Y, b.Y) + 1);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace kvr
