// Removal, compaction, searches, editing and scaling of stored items.
#include <gtest/gtest.h>

#include <vector>

#include "platform/univconst.h"
#include "zu_test_util.h"

using namespace kvr;
using kvr::test::ProbeChart;

namespace {

std::vector<int> Classes(const TZUvado& c) {
  std::vector<int> v;
  for (Integer i = 0; i < c.NumItems(); ++i) v.push_back(c.DataContainer(i).ItemClass);
  return v;
}

void AddWithClass(TZUvado& c, Byte cls, double x) {
  c.SetClassDefault(cls);
  c.MarkAt(x, x, 1);
}

}  // namespace

TEST(ZuRemove, RemovingTheOnlyItemEmptiesTheContainer) {
  ProbeChart c;
  c.Text(0.0, 0.0, 8, "a long text keeps its slot");
  c.RemoveItem(0);
  EXPECT_EQ(c.NumItems(), 0);
  EXPECT_EQ(c.NumAllocData(), 0);
  for (int k = 0; k < kNumItemKinds; ++k) EXPECT_EQ(c.ItemCount(TrcItem(k)), 0);
  EXPECT_EQ(c.TypeOfLastItem(), tkNone);
  EXPECT_EQ(c.NumLongTextsData(), 1);  // removal frees no slot
  const int before = c.propagations;
  c.RemoveItem(0);
  c.RemoveLastItem();
  c.RemoveFirstItem();
  EXPECT_EQ(c.propagations, before);
}

TEST(ZuRemove, ByIndexDecrementsTheRemovedKindAndShiftsTheTail) {
  ProbeChart c;
  c.MarkAt(0.0, 0.0, 1);
  c.Line(1.0, 1.0, 2.0, 2.0);
  c.Ellipse(2.0, 2.0, 1.0, 1.0);
  c.RemoveItem(0);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 0);
  EXPECT_EQ(c.ItemCount(tkLine), 1);
  EXPECT_EQ(c.TypeOfFirstItem(), tkLine);
  EXPECT_EQ(c.DataContainer(1).ItemKind, tkEllipse);
  EXPECT_EQ(c.NumAllocData(), 1000);  // removal does not shrink
  c.RemoveLastItem();
  EXPECT_EQ(c.ItemCount(tkEllipse), 0);
  EXPECT_EQ(c.TypeOfLastItem(), tkLine);
  c.RemoveItem(5);
  c.RemoveItem(-1);
  EXPECT_EQ(c.NumItems(), 1);
}

TEST(ZuRemove, AnnotationRemovalLeavesDataCountersAlone) {
  ProbeChart c;
  c.MarkAt(0.0, 0.0, 1);
  c.SetAnnoMode(true);
  c.MarkAt(1, 1, 1);
  c.Line(1, 1, 2, 2);
  const int before = c.propagations;
  c.RemoveAnnoItem(0);
  EXPECT_EQ(c.NumAnnos(), 1);
  EXPECT_EQ(c.AnnoContainer(0).ItemKind, tkLine);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 1);
  c.RemoveAnnoItem(0);
  EXPECT_EQ(c.NumAnnos(), 0);
  EXPECT_EQ(c.NumAllocAnno(), 0);
  c.RemoveAnnoItem(0);
  EXPECT_EQ(c.propagations, before);
}

TEST(ZuRemove, ByClassCompactsInOrder) {
  ProbeChart c;
  AddWithClass(c, 1, 10);
  AddWithClass(c, 3, 11);
  AddWithClass(c, 2, 12);
  AddWithClass(c, 3, 13);
  c.SetClassDefault(3);
  c.Line(0.0, 0.0, 1.0, 1.0);
  const int before = c.propagations;
  EXPECT_EQ(c.RemoveItemsByClass(3), 3);
  EXPECT_EQ(Classes(c), (std::vector<int>{1, 2}));
  EXPECT_EQ(c.DataContainer(1).x, 12.0);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 2);
  EXPECT_EQ(c.ItemCount(tkLine), 0);
  EXPECT_EQ(c.propagations, before + 1);
  EXPECT_EQ(c.RemoveItemsByClass(255), 0);  // no wildcard here
  EXPECT_EQ(c.NumItems(), 2);
}

TEST(ZuRemove, ByLayerCompactsInOrder) {
  TZUvado c(nullptr);
  for (int i = 0; i < 10; ++i) {
    c.SetActiveLayer(1 + i % 2);
    c.MarkAt(double(i), 0.0, 1);
  }
  EXPECT_EQ(c.RemoveItemsByLayer(2), 5);
  for (Integer i = 0; i < c.NumItems(); ++i) EXPECT_EQ(c.DataContainer(i).x, 2.0 * i);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 5);
  EXPECT_EQ(c.RemoveItemsByLayer(1), 5);
  EXPECT_EQ(c.NumItems(), 0);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 0);
  EXPECT_EQ(c.RemoveItemsByLayer(1), 0);
  c.MarkAt(1.0, 1.0, 1);  // appending after a full compaction still works
  EXPECT_EQ(c.NumItems(), 1);
}

TEST(ZuSearch, FindsFromTheStartIndexWithinTheCount) {
  TZUvado c(nullptr);
  EXPECT_EQ(c.SearchDataItem(0, 0, 0, 255, tkEverything), -1);
  for (int i = 0; i < 5; ++i) c.MarkAt(1.0, 1.0, 1);
  EXPECT_EQ(c.SearchDataItem(0, 0, 0, 255, tkEverything), 0);
  EXPECT_EQ(c.SearchDataItem(3, 0, 0, 255, tkEverything), 3);
  EXPECT_EQ(c.SearchDataItem(5, 0, 0, 255, tkEverything), -1);
  EXPECT_EQ(c.SearchDataItem(-1, 0, 0, 255, tkEverything), -1);
  EXPECT_EQ(c.SearchDataItem(0, 0, 0, 255, tkLine), -1);
  // The removed tail is not searched although its slots still hold items.
  c.RemoveLastItem();
  EXPECT_EQ(c.SearchDataItem(4, 0, 0, 255, tkEverything), -1);
}

TEST(ZuSearch, TagMaskSelectsBits) {
  TZUvado c(nullptr);
  for (Integer tag : {0x0034, 0x1299, 0x13FF, 0x7712, 0x12AB}) {
    c.SetDataTag(tag);
    c.MarkAt(0.0, 0.0, 1);
  }
  EXPECT_EQ(c.SearchDataItem(0, 0x1234, 0xFF00, 255, tkEverything), 1);
  EXPECT_EQ(c.SearchDataItem(2, 0x1234, 0xFF00, 255, tkEverything), 4);
  EXPECT_EQ(c.SearchDataItem(0, 0x0012, 0x00FF, 255, tkEverything), 3);
  EXPECT_EQ(c.SearchDataItem(0, 0x5555, 0, 255, tkEverything), 0);  // mask 0: any tag
  // Negative tags and the sign bit in the mask.
  c.SetDataTag(Integer(0x80000001u));
  c.MarkAt(0.0, 0.0, 1);
  EXPECT_EQ(c.SearchDataItem(0, Integer(0x80000000u), Integer(0x80000000u), 255, tkEverything), 5);
}

TEST(ZuSearch, ClassAndKindFilters) {
  ProbeChart c;
  c.SetAnnoMode(true);
  AddWithClass(c, 1, 0);
  AddWithClass(c, 2, 0);
  c.SetClassDefault(1);
  c.Line(0, 0, 1, 1);
  AddWithClass(c, 1, 0);
  EXPECT_EQ(c.SearchAnnoItem(0, 0, 0, 2, tkEverything), 1);
  EXPECT_EQ(c.SearchAnnoItem(0, 0, 0, 1, tkLine), 2);
  EXPECT_EQ(c.SearchAnnoItem(0, 0, 0, 2, tkLine), -1);
  EXPECT_EQ(c.SearchDataItem(0, 0, 0, 255, tkEverything), -1);
  EXPECT_EQ(c.CountAnnos(0, 0, 1, tkMarkAt), 2);
  EXPECT_EQ(c.CountAnnos(0, 0, 255, tkEverything), 4);
  EXPECT_EQ(c.CountAnnoByClass({1}), 3);
  EXPECT_EQ(c.CountAnnoByClass({1, 1}), 6);
  EXPECT_EQ(c.CountAnnoByClass({1, 2, 9}), 4);
  EXPECT_EQ(c.CountAnnoByClass({}), 0);
}

TEST(ZuSearch, UsedLayers) {
  TZUvado c(nullptr);
  EXPECT_TRUE(c.FindUsedLayers().Empty());
  c.SetActiveLayer(2);
  c.MarkAt(0.0, 0.0, 1);
  EXPECT_EQ(c.FindUsedLayers(), TLayerSet({2}));
  TrcChartItem odd = c.DataContainer(0);
  odd.Layer = 77;  // layers the chart does not have are ignored
  c.SetActiveLayer(1);
  c.MarkAt(0.0, 0.0, 1);
  c.SetDataContainer(0, odd);
  EXPECT_EQ(c.FindUsedLayers(), TLayerSet({1}));
}

TEST(ZuSearch, FindMinMaxTakesPointsStrictlyInsideTheWindow) {
  TZUvado c(nullptr);
  c.MarkAt(1.0, 1.0, 1);
  c.Line(2.0, -3.0, 8.0, 4.0);
  c.Ellipse(5.0, 5.0, 100.0, 100.0);  // only the centre counts
  c.MarkAt(10.0, 0.0, 1);             // on the window's edge
  c.MoveToRelPix(500, 500);           // pixel offsets are no points
  c.DrawToRelPix(-500, -500);
  c.SetActiveLayer(2);
  c.MarkAt(-5.0, -5.0, 1);
  double minX, minY, maxX, maxY;
  c.FindMinMax(1, -10, -10, 10, 10, minX, minY, maxX, maxY);
  EXPECT_EQ(minX, 1.0);
  EXPECT_EQ(minY, -3.0);
  EXPECT_EQ(maxX, 8.0);
  EXPECT_EQ(maxY, 5.0);
  c.FindMinMax(0, -10, -10, 10, 10, minX, minY, maxX, maxY);
  EXPECT_EQ(minX, -5.0);
  EXPECT_EQ(minY, -5.0);
  c.FindMinMax(2, 0, 0, 10, 10, minX, minY, maxX, maxY);
  EXPECT_EQ(minX, uc_MaxDouble);
  EXPECT_EQ(maxY, -uc_MaxDouble);
}

TEST(ZuEdit, SetItemParamsMovesTheCounter) {
  ProbeChart c;
  c.MarkAt(1.0, 1.0, 1);
  TrcChartItem it = c.GetItemParams(0);
  it.ItemKind = tkLine;
  it.x2 = 9;
  const int before = c.propagations;
  c.SetItemParams(0, it);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 0);
  EXPECT_EQ(c.ItemCount(tkLine), 1);
  EXPECT_EQ(c.GetItemParams(0).x2, 9.0);
  EXPECT_EQ(c.propagations, before + 1);
  for (TrcItem bad : {tkNone, tkEverything, TrcItem(24), TrcItem(255)}) {
    it.ItemKind = bad;
    c.SetItemParams(0, it);
  }
  c.SetItemParams(1, it);
  EXPECT_EQ(c.GetItemParams(0).ItemKind, tkLine);
  EXPECT_EQ(c.propagations, before + 1);
}

TEST(ZuEdit, ScalingMovesSecondPointsOnlyForTwoPointKinds) {
  TZUvado c(nullptr);
  c.Line(1.0, 2.0, 3.0, 4.0);
  c.Ellipse(1.0, 2.0, 3.0, 4.0);
  c.MarkErrorBar(1.0, 2.0, 3.0, 4.0, orVertical, 1);
  c.Text(1.0, 2.0, 8, "t", 3, 4, taCenter);
  c.DrawToRelPix(3, 4);
  c.ScaleAllItems(2.0, 1.0, -1.0, 10.0);
  for (Integer i = 0; i < c.NumItems(); ++i) {
    const TrcChartItem it = c.DataContainer(i);
    SCOPED_TRACE(int(it.ItemKind));
    if (it.ItemKind == tkLineRelPix) {
      EXPECT_EQ(it.x, 7.0);  // pixel offsets are scaled alike
      EXPECT_EQ(it.y, 6.0);
      continue;
    }
    EXPECT_EQ(it.x, 3.0);
    EXPECT_EQ(it.y, 8.0);
    const bool second = ItemHasSecondPoint(it.ItemKind);
    EXPECT_EQ(it.x2, second ? 7.0 : 3.0);
    EXPECT_EQ(it.y2, second ? 6.0 : 4.0);
  }
}

TEST(ZuEdit, SelectedScalingAndRecolouringByClass) {
  TZUvado c(nullptr);
  AddWithClass(c, 1, 1.0);
  AddWithClass(c, 2, 1.0);
  AddWithClass(c, 1, 1.0);
  c.ScaleSelectedItems(10.0, 0.0, 1.0, 0.0, 1);
  c.ScaleSelectedItems(10.0, 0.0, 1.0, 0.0, 255);  // exact match: no item has 255
  EXPECT_EQ(c.DataContainer(0).x, 10.0);
  EXPECT_EQ(c.DataContainer(1).x, 1.0);
  EXPECT_EQ(c.DataContainer(2).x, 10.0);
  c.ScaleItem(1, 1.0, 5.0, 1.0, 0.0);
  c.ScaleItem(3, 1.0, 5.0, 1.0, 0.0);
  EXPECT_EQ(c.DataContainer(1).x, 6.0);
  c.NewColorOfClassItems(clRed, 2);
  EXPECT_EQ(c.DataContainer(0).Color, clBlack);
  EXPECT_EQ(c.DataContainer(1).Color, clRed);
  c.NewColorOfClassItems(clLime, 255);
  for (Integer i = 0; i < 3; ++i) EXPECT_EQ(c.DataContainer(i).Color, clLime);
}

TEST(ZuEdit, MarkAllItemsUsesTheKindFilter) {
  TZUvado c(nullptr);
  c.MoveTo(0.0, 0.0);
  c.DrawTo(1.0, 1.0);
  c.MarkAt(1.0, 1.0, 1);
  c.MarkAllItems(tkNotMoveTo, 4);
  EXPECT_EQ(Classes(c), (std::vector<int>{0, 4, 4}));
  c.MarkAllItems(tkMoveTo, 5);
  EXPECT_EQ(Classes(c), (std::vector<int>{5, 4, 4}));
  c.MarkAllItems(tkEverything, 255);
  c.MarkAllItems(tkNone, 6);
  EXPECT_EQ(Classes(c), (std::vector<int>{5, 4, 4}));
  c.MarkAllItems(tkEverything, 6);
  EXPECT_EQ(Classes(c), (std::vector<int>{6, 6, 6}));
}
