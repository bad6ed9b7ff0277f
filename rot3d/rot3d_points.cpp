// TRot3D: the point list built from the items, and the nearest-item searches.
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>

#include "platform/arith.h"
#include "platform/kvrerror.h"
#include "platform/univconst.h"
#include "rot3d/rot3d.h"

namespace kvr {

namespace {

constexpr TColor kFixedColors[TRot3D::kNumFixedColors] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

// Extent and sum of one axis over the finite values only.
struct AxisStats {
  double sum = 0;
  double min = std::numeric_limits<double>::infinity();
  double max = -std::numeric_limits<double>::infinity();
  size_t n = 0;
  void add(double v) {
    if (!std::isfinite(v)) return;
    sum += v;
    min = std::min(min, v);
    max = std::max(max, v);
    ++n;
  }
  double centre() const {
    if (n == 0) return 0.0;
    const double c = sum / static_cast<double>(n);
    // A sum of huge values can overflow where their middle does not.
    return std::isfinite(c) ? c : min / 2 + max / 2;
  }
  double extent() const { return n == 0 ? 0.0 : max - min; }
};

// Round((v - centre) * f), limited so that projections stay exact; false for a value
// that has no place in the model.
bool ToModel(double v, double centre, double f, Integer& out) {
  const double m = (v - centre) * f;
  if (!std::isfinite(m)) {
    out = 0;
    return false;
  }
  const double lim = TRot3D::kModelLimit;
  out = static_cast<Integer>(Round(std::clamp(m, -lim, lim)));
  return true;
}

}  // namespace

void TRot3D::AllocatePoints(size_t Count) {
  FRotDataX.resize(Count);
  FRotDataY.resize(Count);
  FRotDataZ.resize(Count);
  FBackLink.resize(Count);
  FRotProp.resize(Count);
  FRotMark.resize(Count);
  FLineWid.resize(Count);
}

Byte TRot3D::ColorIndex(TColor c) {
  // The last matching entry wins, as the table is searched to its end.
  Integer found = -1;
  for (Integer i = 0; i < FNumItemColors; ++i)
    if (FItemColors[i] == c) found = i;
  if (found >= 0) return static_cast<Byte>(found);
  if (FNumItemColors < kNumItemColors) {
    FItemColors[FNumItemColors] = c;
    return static_cast<Byte>(FNumItemColors++);
  }
  return kNumItemColors - 1;
}

void TRot3D::MakeVisible() {
  using enum Tr3Item;
  AxisStats st[3];
  size_t count = 0;
  for (Integer i = 0; i < FNumChartItems; ++i) {
    const Tr3ChartItem& it = FItems[i];
    st[0].add(it.x);
    st[1].add(it.y);
    st[2].add(it.z);
    ++count;
    if (it.ItemKind == tkLine) {
      st[0].add(it.x2);
      st[1].add(it.y2);
      st[2].add(it.z2);
      ++count;
    }
  }
  double centre[3];
  for (int a = 0; a < 3; ++a) {
    centre[a] = st[a].centre();
    if (count > 0) {
      if (FAutoOrigin)
        FOrigin[a] = centre[a];
      else
        centre[a] = FOrigin[a];
    }
  }

  // The new list is built aside so that a failure leaves the old one (and everything
  // else) as it was.
  std::vector<Integer> oldX, oldY, oldZ, oldLink;
  std::vector<Byte> oldProp, oldMark, oldWid;
  // Swapping twice puts the old lists back.
  auto swap_lists = [&] {
    FRotDataX.swap(oldX);
    FRotDataY.swap(oldY);
    FRotDataZ.swap(oldZ);
    FBackLink.swap(oldLink);
    FRotProp.swap(oldProp);
    FRotMark.swap(oldMark);
    FLineWid.swap(oldWid);
  };
  swap_lists();
  bool allocated = true;
  try {
    AllocatePoints(count);
  } catch (const std::bad_alloc&) {
    allocated = false;
  } catch (const std::length_error&) {
    allocated = false;
  }
  if (!allocated) {
    swap_lists();
    RaiseKvrError<EKvrRot3DError>("Component \"" + Name() + "\": insufficient memory");
  }

  double f[3];
  for (int a = 0; a < 3; ++a) {
    const double ext = st[a].extent();
    // Halved first: the extent of huge values can overflow.
    f[a] = ext <= 1e-30 ? 1.0 : 500.0 / (st[a].max / 2 - st[a].min / 2);
  }
  if (FIsoMetric) f[0] = f[1] = f[2] = std::min({f[0], f[1], f[2]});
  if (!FAutoScale) {
    for (int a = 0; a < 3; ++a) f[a] = FIsoMetric ? FScaleFact[0] : FScaleFact[a];
  }
  for (int a = 0; a < 3; ++a) {
    FScaleFact[a] = f[a];
    Integer lo = 0, hi = 0;
    if (st[a].n > 0) {
      ToModel(st[a].min, centre[a], f[a], lo);
      ToModel(st[a].max, centre[a], f[a], hi);
    }
    FMinCoord[a] = lo;
    FMaxCoord[a] = hi;
  }

  std::copy(std::begin(kFixedColors), std::end(kFixedColors), FItemColors.begin());
  std::fill(FItemColors.begin() + kNumFixedColors, FItemColors.end(), TColor(0));
  FNumItemColors = kNumFixedColors;
  // Items mostly come in runs of one colour.
  TColor lastColor = 0;
  Byte lastIndex = 0;
  bool haveLast = false;
  size_t k = 0;
  auto add = [&](Integer item, double x, double y, double z, Byte kind, Byte colorIx, Byte mark, Byte wid) {
    bool ok = ToModel(x, centre[0], f[0], FRotDataX[k]);
    ok = ToModel(y, centre[1], f[1], FRotDataY[k]) && ok;
    ok = ToModel(z, centre[2], f[2], FRotDataZ[k]) && ok;
    FBackLink[k] = item;
    FRotProp[k] = static_cast<Byte>(colorIx | kind | (ok ? 0 : kPropHidden));
    FRotMark[k] = mark;
    FLineWid[k] = wid;
    ++k;
  };
  for (Integer i = 0; i < FNumChartItems; ++i) {
    const Tr3ChartItem& it = FItems[i];
    if (!haveLast || it.color != lastColor) {
      lastColor = it.color;
      // A colour past the table's end maps to its last entry but must be looked up
      // again next time, as the table may not hold it.
      lastIndex = ColorIndex(it.color);
      haveLast = FItemColors[lastIndex] == it.color;
    }
    const Byte ci = lastIndex;
    switch (it.ItemKind) {
      case tkMarkAt:
        add(i, it.x, it.y, it.z, kPropMark, ci, it.marklw, 0);
        break;
      case tkLineto:
        add(i, it.x, it.y, it.z, kPropLineTo, ci, 0, it.marklw);
        break;
      case tkLine:
        add(i, it.x, it.y, it.z, kPropMoveTo, ci, 0, 0);
        add(i, it.x2, it.y2, it.z2, kPropLineTo, ci, 0, it.marklw);
        break;
      default:
        // tkMoveto, and kinds set through SetChartitem that draw nothing themselves.
        add(i, it.x, it.y, it.z, kPropMoveTo, ci, 0, 0);
        break;
    }
  }
  Changed();
}

Integer TRot3D::FindNearestItemReal(double x, double y, double z, Tr3Item Kind, double& Dist) const {
  Dist = std::sqrt(uc_MaxDouble);
  if (Kind == Tr3Item::tkNone) return -1;
  Integer best = -1;
  double bestSq = uc_MaxDouble;
  for (Integer i = 0; i < FNumChartItems; ++i) {
    const Tr3ChartItem& it = FItems[i];
    if (Kind != Tr3Item::tkEverything && it.ItemKind != Kind) continue;
    const double dx = it.x - x, dy = it.y - y, dz = it.z - z;
    const double d = dx * dx + dy * dy + dz * dz;
    // NaN distances never compare less.
    if (d < bestSq) {
      bestSq = d;
      best = i;
    }
  }
  if (best >= 0) Dist = std::sqrt(bestSq);
  return best;
}

Integer TRot3D::FindNearestItemScreen(Integer X, Integer Y, Tr3Item Kind, double& Dist) const {
  Dist = std::sqrt(uc_MaxDouble);
  if (Kind == Tr3Item::tkNone) return -1;
  Integer best = -1;
  int64_t bestSq = std::numeric_limits<int64_t>::max();
  const Integer n = NRotObj();
  for (Integer k = 0; k < n; ++k) {
    if (FRotProp[k] & kPropHidden) continue;
    const Integer item = FBackLink[k];
    if (Kind != Tr3Item::tkEverything && (item >= FNumChartItems || FItems[item].ItemKind != Kind)) continue;
    const TPoint p = Project(FRotDataX[k], FRotDataY[k], FRotDataZ[k]);
    const int64_t dx = int64_t(p.X) - X, dy = int64_t(p.Y) - Y;
    const int64_t d = dx * dx + dy * dy;
    if (d < bestSq) {
      bestSq = d;
      best = item;
    }
  }
  if (best >= 0) Dist = std::sqrt(static_cast<double>(bestSq));
  return best;
}

}  // namespace kvr
