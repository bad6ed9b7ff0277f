// Removing, finding, editing and rescaling stored items. Nothing here repaints; the
// application shows the result with ShowGraf.
#include "platform/univconst.h"
#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

bool matches(const TrcChartItem& it, Integer Tag, Integer TagMask, Byte ItemClass,
             TrcItem ItemKind) {
  return (TagMask == 0 || (it.Tag & TagMask) == (Tag & TagMask)) &&
         (ItemKind == tkEverything || it.ItemKind == ItemKind) &&
         (ItemClass == kAnyClass || it.ItemClass == ItemClass);
}

bool passes_kind_filter(TrcItem kind, TrcItem filter) {
  if (filter == tkEverything) return true;
  if (filter == tkNotMoveTo) return kind != tkMoveTo;
  return kind == filter;
}

Integer search(const TRcItemContainer& c, Integer StartIx, Integer Tag, Integer TagMask,
               Byte ItemClass, TrcItem ItemKind) {
  if (StartIx < 0) return -1;
  TRcItemContainer::Reader rd(c);
  for (Integer i = StartIx; i < c.Count(); ++i)
    if (matches(rd[i], Tag, TagMask, ItemClass, ItemKind)) return i;
  return -1;
}

void scale_record(TrcChartItem& it, double kx, double dx, double ky, double dy) {
  it.x = kx * it.x + dx;
  it.y = ky * it.y + dy;
  if (ItemHasSecondPoint(it.ItemKind)) {
    it.x2 = kx * it.x2 + dx;
    it.y2 = ky * it.y2 + dy;
  }
}

// One pass: survivors move down over the removed items, keeping their order.
template <typename Pred>
Integer remove_counted(TRcItemContainer& c, Pred remove, std::array<Integer, kNumItemKinds>& counts) {
  return c.RemoveIf([&](const TrcChartItem& it) {
    if (!remove(it)) return false;
    if (unsigned(it.ItemKind) < unsigned(kNumItemKinds)) --counts[it.ItemKind];
    return true;
  });
}

}  // namespace

void TCustomZUvado::RemoveItem(Integer Index) {
  TRcItemContainer& c = *FDataContainer;
  if (!c.InRange(Index)) return;
  if (c.Count() == 1) {
    // The last item leaves the container as ClearGraf does, but the long texts stay.
    c.Clear();
    FItemCount.fill(0);
  } else {
    CountKind(c[Index].ItemKind, -1);
    c.Delete(Index);
  }
  AdjustCanInfoOfSharedCharts();
}

void TCustomZUvado::RemoveLastItem() { RemoveItem(NumItems() - 1); }

void TCustomZUvado::RemoveAnnoItem(Integer Index) {
  if (!FAnnoContainer.InRange(Index)) return;
  if (FAnnoContainer.Count() == 1)
    FAnnoContainer.Clear();
  else
    FAnnoContainer.Delete(Index);
}

Integer TCustomZUvado::RemoveItemsByClass(Byte ClassNumber) {
  const Integer n = remove_counted(
      *FDataContainer, [&](const TrcChartItem& it) { return it.ItemClass == ClassNumber; },
      FItemCount);
  AdjustCanInfoOfSharedCharts();
  return n;
}

Integer TCustomZUvado::RemoveItemsByLayer(Integer Layer) {
  const Integer n = remove_counted(
      *FDataContainer, [&](const TrcChartItem& it) { return it.Layer == Layer; }, FItemCount);
  AdjustCanInfoOfSharedCharts();
  return n;
}

Integer TCustomZUvado::SearchDataItem(Integer StartIx, Integer Tag, Integer TagMask,
                                      Byte ItemClass, TrcItem ItemKind) const {
  return search(*FDataContainer, StartIx, Tag, TagMask, ItemClass, ItemKind);
}

Integer TCustomZUvado::SearchAnnoItem(Integer StartIx, Integer Tag, Integer TagMask,
                                      Byte ItemClass, TrcItem ItemKind) const {
  return search(FAnnoContainer, StartIx, Tag, TagMask, ItemClass, ItemKind);
}

Integer TCustomZUvado::CountAnnos(Integer Tag, Integer TagMask, Byte ItemClass,
                                  TrcItem ItemKind) const {
  Integer n = 0;
  for (const TrcChartItem& it : FAnnoContainer)
    if (matches(it, Tag, TagMask, ItemClass, ItemKind)) ++n;
  return n;
}

Integer TCustomZUvado::CountAnnoByClass(std::span<const Byte> ClList) const {
  if (ClList.empty()) return 0;
  std::array<Integer, 256> perClass{};
  for (const TrcChartItem& it : FAnnoContainer) ++perClass[it.ItemClass];
  Integer n = 0;
  for (Byte c : ClList) n += perClass[c];
  return n;
}

TLayerSet TCustomZUvado::FindUsedLayers() const {
  TLayerSet s;
  for (const TrcChartItem& it : *FDataContainer)
    if (it.Layer == 1 || it.Layer == 2) s.Include(it.Layer);
  return s;
}

void TCustomZUvado::FindMinMax(Integer Layer, double RangeLoX, double RangeLoY, double RangeHiX,
                               double RangeHiY, double& MinX, double& MinY, double& MaxX,
                               double& MaxY) const {
  MinX = MinY = uc_MaxDouble;
  MaxX = MaxY = -uc_MaxDouble;
  auto include = [&](double x, double y) {
    if (!(RangeLoX < x && x < RangeHiX && RangeLoY < y && y < RangeHiY)) return;
    if (x < MinX) MinX = x;
    if (x > MaxX) MaxX = x;
    if (y < MinY) MinY = y;
    if (y > MaxY) MaxY = y;
  };
  for (const TrcChartItem& it : *FDataContainer) {
    if (Layer != 0 && it.Layer != Layer) continue;
    if (it.ItemKind != tkMoveRelPix && it.ItemKind != tkLineRelPix) include(it.x, it.y);
    switch (it.ItemKind) {
      case tkLine: case tkRect: case tkRectFrame: case tk3DBar: case tkArrow:
      case tkDoubleArrow: case tkLineOffs:
        include(it.x2, it.y2);
        break;
      default:
        break;
    }
  }
}

void TCustomZUvado::SetItemParams(Integer Item, const TrcChartItem& ItParams) {
  const TrcItem k = ItParams.ItemKind;
  if (k == tkNone || k == tkEverything || unsigned(k) >= unsigned(kNumItemKinds)) return;
  SetChartItem(Item, ItParams);
}

void TCustomZUvado::ScaleItem(Integer Item, double kx, double dx, double ky, double dy) {
  if (!FDataContainer->InRange(Item)) return;
  FDataContainer->Edit(Item, [&](TrcChartItem& it) { scale_record(it, kx, dx, ky, dy); });
  AdjustCanInfoOfSharedCharts();
}

void TCustomZUvado::ScaleAllItems(double kx, double dx, double ky, double dy) {
  FDataContainer->Modify([&](TrcChartItem& it) { scale_record(it, kx, dx, ky, dy); });
  AdjustCanInfoOfSharedCharts();
}

void TCustomZUvado::ScaleSelectedItems(double kx, double dx, double ky, double dy,
                                       Byte ClassNumber) {
  FDataContainer->Modify([&](TrcChartItem& it) {
    if (it.ItemClass == ClassNumber) scale_record(it, kx, dx, ky, dy);
  });
  AdjustCanInfoOfSharedCharts();
}

void TCustomZUvado::MarkAllItems(TrcItem ItemID, Byte ClassNumber) {
  if (ClassNumber == kAnyClass || ItemID == tkNone) return;
  FDataContainer->Modify([&](TrcChartItem& it) {
    if (passes_kind_filter(it.ItemKind, ItemID)) it.ItemClass = ClassNumber;
  });
  AdjustCanInfoOfSharedCharts();
}

void TCustomZUvado::NewColorOfClassItems(TColor Newcol, Byte ClassNumber) {
  FDataContainer->Modify([&](TrcChartItem& it) {
    if (ClassNumber == kAnyClass || it.ItemClass == ClassNumber) it.Color = Newcol;
  });
  AdjustCanInfoOfSharedCharts();
}

}  // namespace kvr
