// Containers, growth, routing, counters and the attribute and visibility switches.
#include <gtest/gtest.h>

#include <algorithm>

#include "zu_test_util.h"

using namespace kvr;
using kvr::test::ProbeChart;

TEST(ZuItems, NewChartIsEmptyWithDefaults) {
  TZUvado c(nullptr);
  EXPECT_EQ(c.NumItems(), 0);
  EXPECT_EQ(c.NumAnnos(), 0);
  EXPECT_EQ(c.NumAllocData(), 0);
  EXPECT_EQ(c.TypeOfFirstItem(), tkNone);
  EXPECT_EQ(c.TypeOfLastItem(), tkNone);
  EXPECT_EQ(c.AllocSize(), 1000);
  EXPECT_EQ(c.FillColor(), clSilver);
  EXPECT_EQ(c.ActiveLayer(), 1);
  EXPECT_EQ(c.TextAlignment(), taCenter);
  EXPECT_TRUE(c.AnnoTextOnTop());
  EXPECT_TRUE(c.AnnosVisible());
  EXPECT_TRUE(c.MouseAffectsLayer(1));
  EXPECT_FALSE(c.MouseAffectsLayer(2));
  EXPECT_EQ(c.Width(), 280);
  EXPECT_EQ(c.Height(), 200);
  for (int k = 0; k < kNumItemKinds; ++k) EXPECT_EQ(c.ItemCount(TrcItem(k)), 0);
}

TEST(ZuItems, GrowsByAllocSizeSteps) {
  TZUvado c(nullptr);
  c.MarkAt(1.0, 1.0, 2);
  EXPECT_EQ(c.NumAllocData(), 1000);
  for (int i = 1; i < 1000; ++i) c.MarkAt(double(i), 1.0, 2);
  EXPECT_EQ(c.NumAllocData(), 1000);
  c.MarkAt(0.5, 0.5, 2);
  EXPECT_EQ(c.NumItems(), 1001);
  EXPECT_EQ(c.NumAllocData(), 2000);
  // The step applies from the current count, whatever the old allocation was.
  c.SetAllocSize(3);
  for (int i = 0; i < 999; ++i) c.MarkAt(0.0, 0.0, 1);
  EXPECT_EQ(c.NumItems(), 2000);
  EXPECT_EQ(c.NumAllocData(), 2000);
  c.MarkAt(0.0, 0.0, 1);
  EXPECT_EQ(c.NumAllocData(), 2003);
  // Items survive every move of the storage.
  EXPECT_EQ(c.DataContainer(999).x, 999.0);
  EXPECT_EQ(c.DataContainer(1000).x, 0.5);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 2001);
}

TEST(ZuItems, AllocSizeOfOneStillAppendsEveryItem) {
  TZUvado c(nullptr);
  c.SetAllocSize(1);
  for (int i = 0; i < 5000; ++i) c.MarkAt(double(i), -double(i), Byte(i));
  EXPECT_EQ(c.NumAllocData(), 5000);
  for (int i = 0; i < 5000; i += 499) {
    EXPECT_EQ(c.DataContainer(i).x, double(i));
    EXPECT_EQ(c.DataContainer(i).Param3, i % 256);
  }
}

TEST(ZuItems, AllocSizeAcceptsOnlyOneToAMillion) {
  TZUvado c(nullptr);
  c.SetAllocSize(0);
  EXPECT_EQ(c.AllocSize(), 1000);
  c.SetAllocSize(1000001);
  EXPECT_EQ(c.AllocSize(), 1000);
  c.SetAllocSize(-5);
  EXPECT_EQ(c.AllocSize(), 1000);
  c.SetAllocSize(1000000);
  EXPECT_EQ(c.AllocSize(), 1000000);
}

TEST(ZuItems, AnnoModeRoutesToAnnotationsWithoutCounting) {
  ProbeChart c;
  c.SetAnnoMode(true);
  c.MarkAt(1.0, 2.0, 3);
  c.Text(1.0, 2.0, 10, "a");
  EXPECT_EQ(c.NumAnnos(), 2);
  EXPECT_EQ(c.NumItems(), 0);
  EXPECT_EQ(c.NumAllocAnno(), 1000);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 0);
  EXPECT_EQ(c.propagations, 0);
  c.SetAnnoMode(false);
  c.MarkAt(1.0, 2.0, 3);
  EXPECT_EQ(c.NumItems(), 1);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 1);
  EXPECT_EQ(c.propagations, 1);
}

TEST(ZuItems, OutOfRangeReadsAreEmptyAndWritesIgnored) {
  ProbeChart c;
  c.SetDataColor(clRed);
  c.Line(0.0, 0.0, 1.0, 1.0);
  for (int idx : {-1, 1, 1000, -2147483647}) {
    EXPECT_EQ(c.DataContainer(idx).ItemKind, tkNone);
    EXPECT_EQ(c.AnnoContainer(idx).ItemKind, tkNone);
    EXPECT_EQ(c.GetItemParams(idx).ItemKind, tkNone);
    EXPECT_EQ(c.DataLongText(idx), "");
    TrcChartItem it = c.DataContainer(0);
    c.SetDataContainer(idx, it);
    c.SetAnnoContainer(idx, it);
    c.SetDataLongText(idx, "x");
  }
  EXPECT_EQ(c.NumItems(), 1);
  EXPECT_EQ(c.NumAnnos(), 0);
  EXPECT_EQ(c.ItemCount(TrcItem(200)), 0);
  EXPECT_FALSE(c.LayerVisible(0));
  EXPECT_FALSE(c.LayerVisible(3));
  EXPECT_FALSE(c.ClassVisible(256));
  EXPECT_FALSE(c.ClassVisible(-1));
  EXPECT_FALSE(c.MouseAffectsLayer(3));
  c.SetMouseAffectsLayer(3, true);
  c.SetLayerVisible(-4, false);
  c.SetClassVisib(999, false);
  EXPECT_EQ(c.paints, 0);
}

// Writing a record with another kind keeps the per-kind counters true; a record with
// a kind byte beyond the known kinds is stored but never counted.
TEST(ZuItems, DataContainerWriteKeepsCountersTrue) {
  ProbeChart c;
  c.MarkAt(1.0, 1.0, 1);
  c.Line(0.0, 0.0, 1.0, 1.0);
  TrcChartItem it = c.DataContainer(0);
  it.ItemKind = tkEllipse;
  const int before = c.propagations;
  c.SetDataContainer(0, it);
  EXPECT_EQ(c.propagations, before + 1);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 0);
  EXPECT_EQ(c.ItemCount(tkEllipse), 1);
  it.ItemKind = TrcItem(99);
  c.SetDataContainer(0, it);
  EXPECT_EQ(c.ItemCount(tkEllipse), 0);
  c.RemoveItem(0);
  EXPECT_EQ(c.ItemCount(tkLine), 1);
  EXPECT_EQ(c.NumItems(), 1);
  EXPECT_EQ(c.paints, 0);
}

TEST(ZuItems, AttributeSettersAffectOnlyLaterItems) {
  ProbeChart c;
  c.SetDataColor(clBlue);
  c.DrawTo(1.0, 1.0);
  c.SetDataColor(clRed);
  c.SetLineWidth(7);
  c.SetPenStyle(psDot);
  c.SetDataTag(0x55);
  c.SetClassDefault(9);
  c.SetActiveLayer(2);
  c.DrawTo(2.0, 2.0);
  const TrcChartItem a = c.DataContainer(0), b = c.DataContainer(1);
  EXPECT_EQ(a.Color, clBlue);
  EXPECT_EQ(a.LWid, 1);
  EXPECT_EQ(a.Layer, 1);
  EXPECT_EQ(b.Color, clRed);
  EXPECT_EQ(b.LWid, 7);
  EXPECT_EQ(b.PenStyle, psDot);
  EXPECT_EQ(b.Tag, 0x55);
  EXPECT_EQ(b.ItemClass, 9);
  EXPECT_EQ(b.Layer, 2);
}

TEST(ZuItems, InvalidClassAndLayerAreIgnored) {
  TZUvado c(nullptr);
  c.SetClassDefault(7);
  c.SetClassDefault(255);
  c.SetClassDefault(300);
  c.SetClassDefault(-1);
  EXPECT_EQ(c.ClassDefault(), 7);
  c.SetActiveLayer(2);
  c.SetActiveLayer(3);
  c.SetActiveLayer(0);
  EXPECT_EQ(c.ActiveLayer(), 2);
  c.SetTextBkColor(clAqua);
  EXPECT_EQ(c.FillColor(), clAqua);
}

TEST(ZuItems, VisibilitySettersRepaintOnlyOnChange) {
  ProbeChart c;
  c.SetClassVisible(5, true);
  c.SetAnnoClassVisible(5, true);
  c.SetLayerVisible(2, true);
  EXPECT_EQ(c.paints, 0);
  c.SetClassVisible(5, false);
  c.SetAnnoClassVisible(200, false);
  c.SetLayerVisible(2, false);
  EXPECT_EQ(c.paints, 3);
  EXPECT_FALSE(c.ClassVisible(5));
  EXPECT_TRUE(c.AnnoClassVisible(5));
  EXPECT_FALSE(c.AnnoClassVisible(200));
  EXPECT_FALSE(c.LayerVisible(2));
  c.SetAvoidDuplicateMarks(false);
  EXPECT_EQ(c.paints, 3);
  c.SetAvoidDuplicateMarks(true);
  EXPECT_EQ(c.paints, 4);
}

TEST(ZuItems, RoutingSwitchesRepaintAtOnceAndStyleSettersFollowAutoRedraw) {
  ProbeChart c;
  c.SetAnnoMode(true);
  c.SetAnnoBelowChart(true);
  c.SetAnnoTextOnTop(false);
  c.SetAnnosVisible(false);
  EXPECT_EQ(c.paints, 4);
  c.SetActiveLayer(2);
  c.SetTextAlignment(taLeftJustify);
  EXPECT_EQ(c.paints, 6);
  c.SetAutoRedraw(false);
  c.SetActiveLayer(1);
  c.SetTextAlignment(taCenter);
  EXPECT_EQ(c.paints, 6);
  c.SetDesigning(true);
  c.SetActiveLayer(2);
  EXPECT_EQ(c.paints, 7);
  // Pure attributes never repaint.
  c.SetDataColor(clRed);
  c.SetFillColor(clRed);
  c.SetLineWidth(3);
  EXPECT_EQ(c.paints, 7);
}

TEST(ZuItems, MinDupMarkDistClampsAndRepaintsOnAssignedDifference) {
  ProbeChart c;
  c.SetMinDupMarkDist(7);
  EXPECT_EQ(c.MinDupMarkDist(), 3);
  EXPECT_EQ(c.paints, 1);
  c.SetMinDupMarkDist(7);
  EXPECT_EQ(c.paints, 2);
  c.SetMinDupMarkDist(3);
  EXPECT_EQ(c.paints, 2);
  c.SetMinDupMarkDist(0);
  EXPECT_EQ(c.MinDupMarkDist(), 1);
  EXPECT_EQ(c.paints, 3);
}

TEST(ZuItems, ClearGrafAndClearAnnotationsEmptyOneContainerEach) {
  ProbeChart c;
  for (int i = 0; i < 1500; ++i) c.MarkAt(1.0, 1.0, 1);
  c.Text(0.0, 0.0, 8, "a text longer than fifteen");
  c.SetAnnoMode(true);
  c.Text(0.0, 0.0, 8, "another long annotation text");
  c.Line(0, 0, 5, 5);
  c.paints = 0;
  c.propagations = 0;
  c.ClearGraf();
  EXPECT_EQ(c.NumItems(), 0);
  EXPECT_EQ(c.NumAllocData(), 0);
  EXPECT_EQ(c.NumLongTextsData(), 0);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 0);
  EXPECT_EQ(c.ItemCount(tkText), 0);
  EXPECT_EQ(c.propagations, 1);
  EXPECT_EQ(c.NumAnnos(), 2);
  EXPECT_EQ(c.NumLongTextsAnno(), 1);
  c.ClearAnnotations();
  EXPECT_EQ(c.NumAnnos(), 0);
  EXPECT_EQ(c.NumAllocAnno(), 0);
  EXPECT_EQ(c.NumLongTextsAnno(), 0);
  EXPECT_EQ(c.paints, 1);
  // Slots are handed out from 1 again.
  c.Text(0.0, 0.0, 8, "yet another long annotation");
  EXPECT_EQ(c.AnnoContainer(0).LWid, 1);
}

TEST(ZuItems, ResetCompRestoresDefaultsButKeepsRoutingSwitches) {
  TZUvado c(nullptr);
  c.SetAnnoMode(true);
  c.SetAnnosVisible(false);
  c.MarkAt(1.0, 1.0, 1);
  c.SetAnnoMode(false);
  c.MarkAt(1.0, 1.0, 1);
  c.SetAnnoMode(true);
  c.SetAllocSize(5);
  c.SetDataColor(clRed);
  c.SetClassVisible(3, false);
  c.SetMouseAffectsLayer(2, true);
  c.SetActiveLayer(2);
  c.ResetComp();
  EXPECT_EQ(c.NumItems(), 0);
  EXPECT_EQ(c.NumAnnos(), 0);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 0);
  EXPECT_EQ(c.AllocSize(), 1000);
  EXPECT_EQ(c.DataColor(), clBlack);
  EXPECT_TRUE(c.ClassVisible(3));
  EXPECT_FALSE(c.MouseAffectsLayer(2));
  EXPECT_EQ(c.ActiveLayer(), 1);
  EXPECT_TRUE(c.AnnoMode());
  EXPECT_FALSE(c.AnnosVisible());
}

TEST(ZuItems, ContainerCopyIsDeepAndClearShrinks) {
  TRcItemContainer a;
  TrcChartItem it{};
  for (int i = 0; i < 3000; ++i) {
    it.x = i;
    a.Append(it, 1000);
  }
  TRcItemContainer b(a);
  TrcChartItem changed = a[5];
  changed.x = -1;
  a.Set(5, changed);
  EXPECT_EQ(b.Count(), 3000);
  EXPECT_EQ(b.NumAlloc(), 3000);
  EXPECT_EQ(b[5].x, 5.0);
  a.Clear();
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(a.NumAlloc(), 0);
  EXPECT_EQ(a.Capacity(), 1u);
  b.SetNumAlloc(10);  // never below the count
  EXPECT_EQ(b.NumAlloc(), 3000);
  b.SetNumAlloc(5000);
  EXPECT_EQ(b.NumAlloc(), 5000);
  EXPECT_GE(b.Capacity(), 5000u);
}

// Past a few megabytes the storage is a page mapping that moves when it grows; the
// items must come along unchanged, through copies, removals and clearing.
TEST(ZuItems, LargeStorageKeepsItemsAcrossEveryMove) {
  TZUvado c(nullptr);
  c.SetAllocSize(1);
  const int n = 120000;  // about 12 MB of records
  for (int i = 0; i < n; ++i) {
    c.SetDataTag(i);
    c.MarkAt(double(i), 0.5 * i, Byte(i));
  }
  EXPECT_EQ(c.NumAllocData(), n);
  for (int i = 0; i < n; i += 997) {
    const TrcChartItem it = c.DataContainer(i);
    ASSERT_EQ(it.x, double(i));
    ASSERT_EQ(it.Tag, i);
  }
  c.RemoveItem(1);
  EXPECT_EQ(c.DataContainer(1).Tag, 2);
  EXPECT_EQ(c.DataContainer(n - 2).Tag, n - 1);
  EXPECT_EQ(c.RemoveItemsByClass(0), n - 1);
  EXPECT_EQ(c.ItemCount(tkMarkAt), 0);
  TRcItemContainer big;
  TrcChartItem it{};
  for (int i = 0; i < 60000; ++i) {
    it.Param1 = i;
    big.Append(it, 1000);
  }
  TRcItemContainer copy(big);
  big.SetNumAlloc(200000);
  TrcChartItem changed = big[59999];
  changed.Param1 = -1;
  big.Set(59999, changed);
  EXPECT_EQ(copy[59999].Param1, 59999);
  EXPECT_EQ(big[30000].Param1, 30000);
  c.ClearGraf();
  EXPECT_EQ(c.NumItems(), 0);
  c.MarkAt(1.0, 1.0, 1);
  EXPECT_EQ(c.DataContainer(0).x, 1.0);
}

namespace {

// Replaces the system's page move for a scope: every move refused, so the store takes
// its copying paths.
struct RefuseRemap {
  RefuseRemap() : saved(detail::paged_block_remap) {
    detail::paged_block_remap = [](void*, std::size_t, std::size_t, void*) -> void* { return nullptr; };
  }
  ~RefuseRemap() { detail::paged_block_remap = saved; }
  detail::RemapFn saved;
};

// A window of mapped size rolled far past its storage many times over: the pages in
// front of the items are reused (or, refused, the items copied down), every item stays
// exactly right, NumAlloc never shrinks and the storage stays bounded.
void roll_window(TRcItemContainer& c, Integer window, int frames, std::size_t& maxBytes) {
  TrcChartItem it{};
  Integer next = c.Count() > 0 ? c[c.Count() - 1].Tag + 1 : 0;
  for (int frame = 0; frame < frames; ++frame) {
    const int add = 1 + (frame * 7919) % (window / 3);
    if (frame % 2) {
      TrcChartItem* s = c.AppendSlots(std::size_t(add), 1000);
      for (int i = 0; i < add; ++i) {
        s[i] = it;
        s[i].Tag = next;
        s[i].x = next++;
      }
    } else {
      for (int i = 0; i < add; ++i) {
        it.Tag = next;
        it.x = next++;
        c.Append(it, 1000);
      }
    }
    const Integer numAlloc = c.NumAlloc();
    c.RemoveFirst(std::max<Integer>(0, c.Count() - window));
    ASSERT_EQ(c.NumAlloc(), numAlloc);
    ASSERT_EQ(c.Count(), std::min(window, next));
    ASSERT_LE(std::size_t(c.Count()), c.Capacity());
    for (Integer i = 0; i < c.Count(); ++i)
      if (c[i].Tag != next - c.Count() + i || c[i].x != double(c[i].Tag))
        FAIL() << "frame " << frame << " item " << i << " tag " << c[i].Tag;
    maxBytes = std::max(maxBytes, c.StorageBytes());
  }
}

TEST(ZuItems, MappedRollingWindowReusesItsPagesAndKeepsEveryItem) {
  const Integer window = 60000;  // about 6 MB of records
  for (const bool refuse : {false, true}) {
    TRcItemContainer c;
    std::size_t maxBytes = 0;
    if (refuse) {
      RefuseRemap r;
      roll_window(c, window, 300, maxBytes);
    } else {
      roll_window(c, window, 300, maxBytes);
    }
    // Twice the window, a frame, a step of NumAlloc, rounding to huge pages and the
    // doubling that found them.
    EXPECT_LE(maxBytes, 2 * (2 * std::size_t(window) + window / 3 + 1000) * sizeof(TrcChartItem) +
                            2 * detail::PagedBlock::kHugePage)
        << refuse;
    const std::size_t settled = c.StorageBytes();
    roll_window(c, window, 300, maxBytes);  // and is not growing any more
    EXPECT_EQ(c.StorageBytes(), settled) << refuse;
    TRcItemContainer copy(c);
    ASSERT_EQ(copy.Count(), window);
    EXPECT_EQ(copy[window - 1].Tag, c[window - 1].Tag);
    c.RemoveFirst(c.Count());  // everything: the whole storage is the gap
    EXPECT_EQ(c.Count(), 0);
    c.Append(TrcChartItem{}, 1000);
    EXPECT_EQ(c.Count(), 1);
  }
}

// Reserved storage is committed ahead and then never grows for a window of half of it:
// the steady frames of a live chart neither fault nor move items.
TEST(ZuItems, ReserveKeepsCountAndNumAllocAndHoldsAWindowOfHalf) {
  TRcItemContainer c;
  TrcChartItem it{};
  for (int i = 0; i < 1500; ++i) {
    it.Tag = i;
    it.x = i;
    c.Append(it, 1000);
  }
  const Integer window = 40000;
  const std::size_t slots = 2 * std::size_t(window) + 1000 + detail::PagedBlock::kHugePage / sizeof(TrcChartItem) + 1;
  c.Reserve(slots);
  EXPECT_EQ(c.Count(), 1500);
  EXPECT_EQ(c.NumAlloc(), 2000);
  EXPECT_EQ(c[1499].Tag, 1499);
  EXPECT_GE(c.StorageBytes(), slots * sizeof(TrcChartItem));
  const std::size_t reserved = c.StorageBytes();
  c.Reserve(10);  // never shrinks
  EXPECT_EQ(c.StorageBytes(), reserved);
  // Pages are handed round, not items copied: the system's page move is what runs.
  static int moves;
  moves = 0;
  static detail::RemapFn system;
  system = detail::paged_block_remap;
  detail::paged_block_remap = [](void* a, std::size_t o, std::size_t n, void* d) -> void* {
    ++moves;
    return system(a, o, n, d);
  };
  std::size_t maxBytes = 0;
  roll_window(c, window, 400, maxBytes);
  detail::paged_block_remap = system;
  EXPECT_EQ(maxBytes, reserved);
  if (detail::PagedBlock::can_map()) {
    EXPECT_GE(moves, 2 * 10) << moves;
  }

  TRcItemContainer small;
  small.Reserve(100);  // on the heap
  EXPECT_EQ(small.Count(), 0);
  EXPECT_EQ(small.NumAlloc(), 0);
  EXPECT_GE(small.Capacity(), 100u);
  small.Append(it, 1000);
  EXPECT_EQ(small.NumAlloc(), 1000);
}

}  // namespace
