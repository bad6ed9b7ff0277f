// Hit testing: nearest items, annotation shapes, marking by window, axis detection.
//
// Every search freezes the mapping of both pairs once and walks the raw container, so a
// million items cost one pass over memory and no allocation (texts aside, which have to
// be measured).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <optional>
#include <string>
#include <type_traits>

#include "platform/kvrmath.h"
#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

// Depth of the zone beside an axis line where DetectScale finds the axis.
constexpr Integer kYAxisZone = 50;
constexpr Integer kXAxisZone = 40;

size_t pair_of(Integer Layer) { return Layer >= 2 ? 1 : 0; }

// Which items a search looks at. Annotations also drop tkMoveRelPix under tkNotMoveTo.
struct ItemFilter {
  TrcItem Kind;
  Byte Class;
  bool VisOnly;
  std::array<bool, 2> Vis;
  bool Anno;

  bool Accepts(const TrcChartItem& it) const {
    if (Kind == tkNotMoveTo) {
      if (it.ItemKind == tkMoveTo || (Anno && it.ItemKind == tkMoveRelPix)) return false;
    } else if (Kind != tkEverything && it.ItemKind != Kind) {
      return false;
    }
    if (Class != kAnyClass && it.ItemClass != Class) return false;
    return !VisOnly || (it.Layer >= 1 && it.Layer <= 2 && Vis[size_t(it.Layer - 1)]);
  }
};

// sqrt of this is the documented "nothing found" distance.
constexpr double kNone = uc_MaxDouble;

double sqr(double v) { return v * v; }

double seg2(TPoint q, double ax, double ay, double bx, double by) {
  return sqr(DistanceToSegment(double(q.X), double(q.Y), ax, ay, bx, by));
}

double rect2(TPoint q, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  return sqr(double(DistFromRect(q, TRect{ClampPix(x1), ClampPix(y1), ClampPix(x2), ClampPix(y2)})));
}

// Angle of v reduced to 0 <= v < 2 pi. Stored angles lie within +-pi, so one step
// mostly does; the division is left for records edited by hand.
double turn(double v) {
  constexpr double full = 2 * std::numbers::pi;
  if (v < -full || v >= 2 * full) v = std::fmod(v, full);
  if (v < 0) v += full;
  return v >= full ? v - full : v;
}

// ConvertToScreenCoords on a frozen mapping: world values through the item's pair,
// screen values as offsets from the chart area's corner. Only the point a kind needs
// is converted.
struct ScreenConv {
  const TLayerMap& M;
  Integer L, T;
  TCoordMode Mode;

  bool World(bool Second, bool Y) const {
    switch (Mode) {
      case cmAllScreen: return false;
      case cmWorldMainScreenSec: return !Second;
      case cmScreenMainWorldSec: return Second;
      case cmXScreenYWorld: return Y;
      case cmXWorldYScreen: return !Y;
      default: return true;
    }
  }
  Integer X(double v, bool Second) const {
    return World(Second, false) ? M.X.Map(v) : RoundPix((long double)L + v);
  }
  Integer Y(double v, bool Second) const {
    return World(Second, true) ? M.Y.Map(v) : RoundPix((long double)T + v);
  }
  TPoint P1(const TrcChartItem& it) const { return TPoint{X(it.x, false), Y(it.y, false)}; }
  TPoint P2(const TrcChartItem& it) const { return TPoint{X(it.x2, true), Y(it.y2, true)}; }
};

}  // namespace

Integer TCustomZUvado::DetectScale(Integer CoordX, Integer CoordY) const {
  const Integer right = Width() - FRcRRim;
  const Integer bottom = Height() - FRcBRim;
  const bool inYBand = FRcTRim < CoordY && CoordY < bottom;
  const bool inXBand = FRcLRim < CoordX && CoordX < right;
  // Y axes first, then X axes; layer 1 before layer 2.
  for (Integer i = 1; i <= 2; ++i) {
    const TScaleProps& P = *FScalePropsY[size_t(i - 1)];
    if (!P.Visible() || !inYBand) continue;
    const Integer o = P.ScalePos();
    if (P.ScaleType() == sctRight && right + o < CoordX && CoordX < right + o + kYAxisZone) return i;
    if (P.ScaleType() == sctLeft && FRcLRim - o - kYAxisZone < CoordX && CoordX < FRcLRim - o) return i;
  }
  for (Integer i = 1; i <= 2; ++i) {
    const TScaleProps& P = *FScalePropsX[size_t(i - 1)];
    if (!P.Visible() || !inXBand) continue;
    const Integer o = P.ScalePos();
    if (P.ScaleType() == sctBottom && bottom + o < CoordY && CoordY < bottom + o + kXAxisZone) return -i;
    if (P.ScaleType() == sctTop && FRcTRim - o - kXAxisZone < CoordY && CoordY < FRcTRim - o) return -i;
  }
  return 0;
}

Integer TCustomZUvado::FindNearestItemReal(double mx, double my, TrcItem ItemID,
                                           Byte ClassNumber, double& Dist) const {
  return FindNearestItemReal(mx, my, ItemID, ClassNumber, false, Dist);
}

// Overflowing or NaN distances never compare smaller, so such items are never found.
Integer TCustomZUvado::FindNearestItemReal(double mx, double my, TrcItem ItemID,
                                           Byte ClassNumber, bool VisLayersOnly,
                                           double& Dist) const {
  const ItemFilter f{ItemID, ClassNumber, VisLayersOnly, FLayerVisib, false};
  double best = kNone;
  Integer found = -1;
  if (ItemID != tkNone) {
    TRcItemContainer::Reader items(DataItems());
    const Integer n = DataItems().Count();
    for (Integer i = 0; i < n; ++i) {
      const TrcChartItem& it = items[i];
      if (!f.Accepts(it)) continue;
      const double d = sqr(it.x - mx) + sqr(it.y - my);
      if (d < best) {
        best = d;
        found = i;
      }
    }
  }
  Dist = std::sqrt(best);
  return found;
}

Integer TCustomZUvado::FindNearestItemScreen(double mx, double my, TrcItem ItemID,
                                             Byte ClassNumber, double& Dist) const {
  return FindNearestItemScreen(mx, my, ItemID, ClassNumber, false, Dist);
}

// The query is a point of the active layer; each item is measured where it is drawn,
// i.e. mapped with its own layer, so items of the other pair are found under the mouse.
Integer TCustomZUvado::FindNearestItemScreen(double mx, double my, TrcItem ItemID,
                                             Byte ClassNumber, bool VisLayersOnly,
                                             double& Dist) const {
  const ItemFilter f{ItemID, ClassNumber, VisLayersOnly, FLayerVisib, false};
  const std::array<TLayerMap, 2> maps{LayerMap(1), LayerMap(2)};
  const TPoint q = maps[pair_of(FActiveLayer)].Map(mx, my);
  double best = kNone;
  Integer found = -1;
  if (ItemID != tkNone) {
    TRcItemContainer::Reader items(DataItems());
    const Integer n = DataItems().Count();
    for (Integer i = 0; i < n; ++i) {
      const TrcChartItem& it = items[i];
      if (!f.Accepts(it)) continue;
      const TPoint p = maps[pair_of(it.Layer)].Map(it.x, it.y);
      // Single precision, as documented; the differences may need 33 bits.
      const float dx = float(int64_t(p.X) - q.X), dy = float(int64_t(p.Y) - q.Y);
      const float d = dx * dx + dy * dy;
      if (d < best) {
        best = d;
        found = i;
      }
    }
  }
  Dist = std::sqrt(best);
  return found;
}

Integer TCustomZUvado::FindNearestItemAlongAxis(double pos, Integer Axis, TrcItem ItemID,
                                                Byte ClassNumber, double& dist) const {
  return FindNearestItemAlongAxis(pos, Axis, ItemID, ClassNumber, false, dist);
}

Integer TCustomZUvado::FindNearestItemAlongAxis(double pos, Integer Axis, TrcItem ItemID,
                                                Byte ClassNumber, bool VisLayersOnly,
                                                double& dist) const {
  const ItemFilter f{ItemID, ClassNumber, VisLayersOnly, FLayerVisib, false};
  const std::array<TLayerMap, 2> maps{LayerMap(1), LayerMap(2)};
  const TLayerMap& active = maps[pair_of(FActiveLayer)];
  double best = kNone;
  Integer found = -1;
  // One loop per axis, so that the choice is not made per item.
  auto scan = [&](auto OnX) {
    TRcItemContainer::Reader items(DataItems());
    const Integer n = DataItems().Count();
    const int64_t q = OnX ? active.X.Map(pos) : active.Y.Map(pos);
    int64_t near = std::numeric_limits<int64_t>::max();
    for (Integer i = 0; i < n; ++i) {
      const TrcChartItem& it = items[i];
      if (!f.Accepts(it)) continue;
      const TLayerMap& m = maps[pair_of(it.Layer)];
      const int64_t p = OnX ? m.X.Map(it.x) : m.Y.Map(it.y);
      const int64_t d = p > q ? p - q : q - p;
      if (d < near) {
        near = d;
        found = i;
      }
    }
    if (found >= 0) best = double(near);
  };
  if (ItemID != tkNone && Axis == 0) scan(std::true_type{});
  if (ItemID != tkNone && Axis == 1) scan(std::false_type{});
  dist = found < 0 ? std::sqrt(best) : best;
  return found;
}

Integer TCustomZUvado::MarkItemsInWindow(double xLo, double YLo, double XHi, double YHi,
                                         TrcItem ItemID, Byte ClassNumber) {
  if (ClassNumber == kAnyClass || ItemID == tkNone) return 0;
  if (XHi < xLo) ExChange(xLo, XHi);
  if (YHi < YLo) ExChange(YLo, YHi);
  const ItemFilter f{ItemID, kAnyClass, false, FLayerVisib, false};
  Integer count = 0;
  auto inside = [&](const TrcChartItem& it) {
    return f.Accepts(it) && xLo <= it.x && it.x <= XHi && YLo <= it.y && it.y <= YHi;
  };
  // Modify may look at an item twice (itemstore.h), so the count is a pass of its own.
  for (const TrcChartItem& it : DataItems()) count += inside(it) ? 1 : 0;
  if (count > 0) DataItems().Modify([&](TrcChartItem& it) {
    if (inside(it)) it.ItemClass = ClassNumber;
  });
  if (count > 0) AdjustCanInfoOfSharedCharts();
  return count;
}

// Squared pixel distances of the drawn shapes, with a few departures from a plain
// reading of the two item points where that is not where the item is drawn: offset
// lines and pixel-sized rectangles carry their offsets in Param1/Param2, ellipses are
// measured in pixels like every other kind (a world-unit value would not compare with
// the rest), and an arc is an open curve whose sweep is judged on the screen.
//
// The exact distances of ellipses, segments and rectangles cost a square root or an
// iteration each, so a shape whose bounding box already lies beyond the best distance
// found so far (plus a pixel for the rounding of rectangle distances) is skipped; such a
// shape could not have been strictly nearer.
Integer TCustomZUvado::FindNearestAnnoElem(double mx, double my, TrcItem ItemID,
                                           Byte ClassNumber, bool VisLayersOnly,
                                           double& Dist) {
  const ItemFilter f{ItemID, ClassNumber, VisLayersOnly, FLayerVisib, true};
  const std::array<TLayerMap, 2> maps{LayerMap(1), LayerMap(2)};
  const TPoint q = maps[pair_of(FActiveLayer)].Map(mx, my);
  const double qx = q.X, qy = q.Y;
  TCanvas* canvas = GrafBmp()->Canvas();
  double best = kNone;
  double reach = std::numeric_limits<double>::infinity();
  Integer found = -1;
  auto beyond = [&](double x1, double y1, double x2, double y2) {
    const double dx = std::max({std::min(x1, x2) - qx, qx - std::max(x1, x2), 0.0});
    const double dy = std::max({std::min(y1, y2) - qy, qy - std::max(y1, y2), 0.0});
    return dx * dx + dy * dy > reach;
  };
  const TRcItemContainer& annos = AnnoItems();
  std::optional<TRcItemContainer::Reader> items(std::in_place, annos);
  Integer n = ItemID == tkNone ? 0 : annos.Count();
  for (Integer i = 0; i < n; ++i) {
    // A copy: the text handler below may change the container.
    const TrcChartItem it = (*items)[i];
    if (!f.Accepts(it)) continue;
    const TLayerMap& m = maps[pair_of(it.Layer)];
    const ScreenConv cv{m, FRcLRim, FRcTRim, it.CoordMode};
    double d;
    switch (it.ItemKind) {
      case tkMarkAt:
      case tkLineto: {
        const TPoint p = cv.P1(it);
        const float dx = float(int64_t(p.X) - q.X), dy = float(int64_t(p.Y) - q.Y);
        d = dx * dx + dy * dy;
        break;
      }
      case tkLine:
      case tkArrow:
      case tkDoubleArrow:
      case tkLineOffs:
      case tkLineRelPixOrig: {
        const TPoint p1 = cv.P1(it);
        double x1 = p1.X, y1 = p1.Y, x2, y2;
        if (it.ItemKind == tkLineRelPixOrig) {
          x2 = x1 + RoundPix(it.x2);
          y2 = y1 + RoundPix(it.y2);
        } else {
          const TPoint p2 = cv.P2(it);
          x2 = p2.X;
          y2 = p2.Y;
          if (it.ItemKind == tkLineOffs) {
            x1 += it.Param1, x2 += it.Param1;
            y1 += it.Param2, y2 += it.Param2;
          }
        }
        if (beyond(x1, y1, x2, y2)) continue;
        d = seg2(q, x1, y1, x2, y2);
        break;
      }
      case tkRect:
      case tkRectFrame:
      case tkRectRelPix: {
        int64_t x1, y1, x2, y2;
        const TPoint p1 = cv.P1(it);
        if (it.ItemKind == tkRectRelPix) {
          x1 = int64_t(p1.X) - it.Param1, y1 = int64_t(p1.Y) - it.Param2;
          x2 = int64_t(p1.X) + it.Param1, y2 = int64_t(p1.Y) + it.Param2;
        } else {
          const TPoint p2 = cv.P2(it);
          x1 = p1.X, y1 = p1.Y, x2 = p2.X, y2 = p2.Y;
        }
        if (beyond(double(x1), double(y1), double(x2), double(y2))) continue;
        d = rect2(q, x1, y1, x2, y2);
        break;
      }
      case tk3DBar: {
        const TPoint p1 = cv.P1(it), p2 = cv.P2(it);
        const int64_t x1 = p1.X, y1 = p1.Y, x2 = p2.X, y2 = p2.Y;
        // The back face lies within the depth around the front face.
        const double D = std::fabs(double(it.Param2));
        if (beyond(double(std::min(x1, x2)) - D, double(std::min(y1, y2)) - D,
                   double(std::max(x1, x2)) + D, double(std::max(y1, y2)) + D))
          continue;
        const double a = it.Param1 * std::numbers::pi / 180;
        const int64_t dx = Round(std::cos(a) * it.Param2), dy = -Round(std::sin(a) * it.Param2);
        d = std::min(rect2(q, x1, y1, x2, y2), rect2(q, x1 + dx, y1 + dy, x2 + dx, y2 + dy));
        break;
      }
      case tkText:
      case tkTextOfs: {
        int64_t ax, ay;
        if (it.ItemKind == tkText) {
          const TPoint p = cv.P1(it);
          ax = p.X, ay = p.Y;
        } else {
          ax = RoundPix((long double)m.X.Map(it.x) + it.x2);
          ay = RoundPix((long double)m.Y.Map(it.y) + it.y2);
        }
        const Integer align = it.Param3;
        std::string text = ReadText(it, FLongTextsAnno);
        if (OnBeforeRenderText) {
          // The handler may change the container; it is read afresh from here on.
          OnBeforeRenderText(this, text, i, true);
          items.emplace(annos);
          n = annos.Count();
        }
        Integer w = 0, total = 0, lh = 0;
        CalcTextExtents(text, canvas, w, total, lh);
        ay -= lh / 2;
        if (align == taRightJustify) ax -= w;
        else if (align == taCenter) ax -= w / 2;
        d = rect2(q, ax, ay, ax + w, ay + total);
        break;
      }
      case tkEllipse:
      case tkArc: {
        // The pixel box the item is drawn in (the signs of the semi-axes do not matter).
        const TPoint a = m.Map(it.x - it.x2, it.y - it.y2);
        const TPoint b = m.Map(it.x + it.x2, it.y + it.y2);
        if (beyond(a.X, a.Y, b.X, b.Y)) continue;
        if (it.ItemKind == tkArc) {
          // Swept counter-clockwise on the screen from the first to the second angle;
          // equal angles draw the whole ellipse.
          const TPoint c = m.Map(it.x, it.y);
          const double a1 = it.Param1 / kArcAngleScale;
          const double sweep = turn(it.Param2 / kArcAngleScale - a1);
          const double at = turn(std::atan2(double(c.Y) - qy, qx - c.X) - a1);
          if (sweep != 0 && !(at > 0 && at < sweep)) continue;
        }
        double nx, ny;
        const double e = DistFromEllipse(qx, qy, (double(b.X) - a.X) / 2, (double(b.Y) - a.Y) / 2,
                                         (double(a.X) + b.X) / 2, (double(a.Y) + b.Y) / 2, nx, ny);
        if (!(e < kNone)) continue;
        // An arc is only its outline, also seen from inside.
        d = it.ItemKind == tkEllipse ? e * e : sqr(qx - nx) + sqr(qy - ny);
        break;
      }
      case tkMarkEBar: {
        const double lo = std::fabs(it.x2), up = std::fabs(it.y2);
        const TPoint a = it.Param1 == 0 ? m.Map(it.x, it.y - lo) : m.Map(it.x - lo, it.y);
        const TPoint b = it.Param1 == 0 ? m.Map(it.x, it.y + up) : m.Map(it.x + up, it.y);
        if (beyond(a.X, a.Y, b.X, b.Y)) continue;
        d = seg2(q, a.X, a.Y, b.X, b.Y);
        break;
      }
      case tkCursorVert:
        d = sqr(cv.P1(it).X - qx);
        break;
      case tkCursorHoriz:
        d = sqr(cv.P1(it).Y - qy);
        break;
      default:
        continue;
    }
    if (d < best) {
      best = d;
      found = i;
      reach = sqr(std::sqrt(best) + 1);
    }
  }
  if (found >= annos.Count()) {
    found = -1;
    best = kNone;
  }
  Dist = std::sqrt(best);
  return found;
}

}  // namespace kvr
