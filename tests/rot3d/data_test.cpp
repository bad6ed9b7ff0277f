// TRot3D items and point list: the store's growth and removal, MakeVisible's centre,
// scale factors and colour table, bad coordinates, a failing allocation, and the
// nearest-item searches in world and screen space.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <new>

#include "platform/univconst.h"
#include "rot3d/rot3d.h"

namespace {

using kvr::Integer;
using kvr::TRot3D;
using kvr::Tr3Item;

TEST(Rot3DStore, GrowthStepAndRemoval) {
  TRot3D r(nullptr);
  r.SetAllocSize(0);
  r.SetAllocSize(2000000);
  EXPECT_EQ(r.AllocSize(), 1000);
  r.SetAllocSize(3);
  r.SetColorData(0x123456);
  r.SetDataTag(7);
  r.SetLineWidth(4);
  r.MarkAt(1, 2, 3, 12);
  EXPECT_EQ(r.NumAllocated(), 3);
  r.Moveto(0, 0, 0);
  r.Drawto(1, 1, 1);
  r.Line(0, 0, 0, 5, 6, 7);
  EXPECT_EQ(r.NumItems(), 4);
  EXPECT_EQ(r.NumAllocated(), 6);

  const kvr::Tr3ChartItem m = r.GetChartItem(0);
  EXPECT_EQ(m.ItemKind, Tr3Item::tkMarkAt);
  EXPECT_EQ(m.marklw, 12);
  EXPECT_EQ(m.color, 0x123456);
  EXPECT_EQ(m.tag, 7);
  EXPECT_EQ(r.GetChartItem(2).marklw, 4);
  EXPECT_EQ(r.GetChartItem(3).z2, 7);
  EXPECT_EQ(r.GetChartItem(-1).ItemKind, Tr3Item::tkNone);
  EXPECT_EQ(r.GetChartItem(4).ItemKind, Tr3Item::tkNone);
  EXPECT_EQ(r.TypeOfFirstItem(), Tr3Item::tkMarkAt);
  EXPECT_EQ(r.TypeOfLastItem(), Tr3Item::tkLine);

  kvr::Tr3ChartItem e = m;
  e.x = 99;
  r.SetChartitem(4, e);  // out of range: ignored
  r.SetItemParams(1, e);
  EXPECT_EQ(r.DataContainer(1).x, 99);
  EXPECT_EQ(r.NumItems(), 4);

  // Removing from the middle moves the rest down; the capacity stays.
  r.RemoveItem(1);
  r.RemoveItem(9);
  EXPECT_EQ(r.NumItems(), 3);
  EXPECT_EQ(r.NumAllocated(), 6);
  EXPECT_EQ(r.GetChartItem(1).ItemKind, Tr3Item::tkLineto);
  r.RemoveFirstItem();
  EXPECT_EQ(r.TypeOfFirstItem(), Tr3Item::tkLineto);
  r.RemoveLastItem();
  r.RemoveLastItem();
  EXPECT_EQ(r.NumItems(), 0);
  EXPECT_EQ(r.NumAllocated(), 0);
  EXPECT_EQ(r.TypeOfLastItem(), Tr3Item::tkNone);
  // An empty store stays empty and usable.
  r.RemoveLastItem();
  r.RemoveFirstItem();
  EXPECT_EQ(r.NumItems(), 0);
  r.MarkAt(0, 0, 0, 1);
  EXPECT_EQ(r.NumItems(), 1);
  EXPECT_EQ(r.NumAllocated(), 3);
  r.RemoveItem(0);
  EXPECT_EQ(r.NumAllocated(), 0);
}

// x 0..10, y 0..2, z constant.
struct Points : ::testing::Test {
  TRot3D r{nullptr};
  void SetUp() override {
    r.SetBounds(0, 0, 200, 200);
    r.MarkAt(0, 0, 5, 1);
    r.MarkAt(10, 2, 5, 1);
    r.MarkAt(2, 1, 5, 1);
  }
};

TEST_F(Points, CentreAndScaleFromTheData) {
  r.MakeVisible();
  ASSERT_EQ(r.NRotObj(), 3);
  EXPECT_DOUBLE_EQ(r.OriginX(), 4.0);
  EXPECT_DOUBLE_EQ(r.OriginY(), 1.0);
  EXPECT_DOUBLE_EQ(r.OriginZ(), 5.0);
  EXPECT_DOUBLE_EQ(r.ScaleFactX(), 100.0);
  EXPECT_DOUBLE_EQ(r.ScaleFactY(), 500.0);
  EXPECT_DOUBLE_EQ(r.ScaleFactZ(), 1.0);  // no extent
  EXPECT_EQ(r.RotDataX(0), -400);
  EXPECT_EQ(r.RotDataX(1), 600);
  EXPECT_EQ(r.RotDataY(1), 500);
  EXPECT_EQ(r.RotDataZ(2), 0);
  EXPECT_EQ(r.MinCoord(0), -400);
  EXPECT_EQ(r.MaxCoord(0), 600);
  EXPECT_EQ(r.MaxCoord(1), 500);
  EXPECT_EQ(r.BackLink(2), 2);
  EXPECT_EQ(r.RotProp(0) & TRot3D::kPropKindMask, TRot3D::kPropMark);

  r.SetIsoMetric(true);  // rebuilds
  EXPECT_DOUBLE_EQ(r.ScaleFactY(), 1.0);
  EXPECT_EQ(r.RotDataX(1), 6);
}

TEST_F(Points, StoredOriginAndFactors) {
  // Switching the automatics off rebuilds, storing the factors found.
  r.SetAutoOrigin(false);
  r.SetAutoScale(false);
  EXPECT_DOUBLE_EQ(r.ScaleFactY(), 500.0);
  r.SetOrigins(1, 1, 1);
  r.SetScaleFactors(2, 3, 4);
  EXPECT_EQ(r.RotDataX(1), 1000);  // (10 - 0) * 100: in effect at the next MakeVisible
  r.MakeVisible();
  EXPECT_DOUBLE_EQ(r.OriginX(), 1.0);
  EXPECT_DOUBLE_EQ(r.ScaleFactY(), 3.0);
  EXPECT_EQ(r.RotDataX(1), 18);
  EXPECT_EQ(r.RotDataY(1), 3);
  EXPECT_EQ(r.RotDataZ(1), 16);
  r.SetIsoMetric(true);  // all three take ScaleFactX
  EXPECT_EQ(r.RotDataY(1), 2);
  EXPECT_DOUBLE_EQ(r.ScaleFactZ(), 2.0);
  r.SetOrigins(std::nan(""), 0, 0);
  r.SetScaleFactors(1, std::numeric_limits<double>::infinity(), 1);
  EXPECT_DOUBLE_EQ(r.OriginX(), 1.0);
  EXPECT_DOUBLE_EQ(r.ScaleFactY(), 2.0);
}

TEST(Rot3DPoints, SinglePointSitsAtTheOriginAndLinesGiveTwoPoints) {
  TRot3D r(nullptr);
  r.MarkAt(3, -4, 5, 1);
  r.MakeVisible();
  EXPECT_DOUBLE_EQ(r.ScaleFactX(), 1.0);
  EXPECT_DOUBLE_EQ(r.ScaleFactZ(), 1.0);
  EXPECT_EQ(r.RotDataX(0), 0);
  EXPECT_EQ(r.RotDataY(0), 0);

  r.Clear();
  r.SetLineWidth(3);
  r.SetColorData(kvr::clRed);
  r.Line(0, 0, 0, 2, 2, 2);
  r.SetColorData(0x010203);
  r.Drawto(1, 1, 1);
  r.MakeVisible();
  ASSERT_EQ(r.NRotObj(), 3);
  EXPECT_EQ(r.RotProp(0), 0x20 | 9);  // move to, clRed is fixed entry 9
  EXPECT_EQ(r.RotProp(1), 0x40 | 9);  // line to, same colour
  EXPECT_EQ(r.LineWid(1), 3);
  EXPECT_EQ(r.BackLink(1), 0);
  EXPECT_EQ(r.RotDataX(1), 500);  // end points count in the extent
  EXPECT_EQ(r.RotProp(2), 0x40 | 16);  // first colour past the fixed ones
  EXPECT_EQ(r.ItemColor(16), 0x010203);
}

TEST(Rot3DPoints, FortyColoursShareTheLastTableEntry) {
  TRot3D r(nullptr);
  for (int i = 0; i < 40; ++i) {
    r.SetColorData(0x100000 + i);
    r.MarkAt(i, 0, 0, 1);
  }
  r.SetColorData(0x100005);
  r.MarkAt(0, 1, 0, 1);
  r.MakeVisible();
  EXPECT_EQ(r.NumItemColors(), 32);
  EXPECT_EQ((r.RotProp(0) & 0x1F), 16);
  EXPECT_EQ((r.RotProp(15) & 0x1F), 31);
  EXPECT_EQ(r.ItemColor(31), 0x10000F);
  for (int i = 16; i < 40; ++i) EXPECT_EQ((r.RotProp(i) & 0x1F), 31) << i;
  EXPECT_EQ((r.RotProp(40) & 0x1F), 21);
  // The table starts afresh with every call.
  r.Clear();
  r.SetColorData(0x777777);
  r.MarkAt(0, 0, 0, 1);
  r.MakeVisible();
  EXPECT_EQ(r.NumItemColors(), 17);
  EXPECT_EQ(r.ItemColor(16), 0x777777);
  EXPECT_EQ(r.ItemColor(15), 0xFFFFFF);
}

TEST(Rot3DPoints, BadCoordinatesNeitherCrashNorSpoilTheOthers) {
  TRot3D r(nullptr);
  r.SetBounds(0, 0, 100, 100);
  r.CreateWnd();
  const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
  r.MarkAt(0, 0, 0, 1);
  r.MarkAt(nan, 1, 1, 1);
  r.Moveto(inf, 0, 0);
  r.Drawto(1, 1, 1);
  r.Line(-inf, 0, 0, 1e300, -1e300, 2);
  r.MarkAt(1e308, -1e308, 1e308, 1);
  r.MakeVisible();
  ASSERT_EQ(r.NRotObj(), 7);
  EXPECT_TRUE(r.RotProp(1) & TRot3D::kPropHidden);
  EXPECT_TRUE(r.RotProp(2) & TRot3D::kPropHidden);
  EXPECT_FALSE(r.RotProp(3) & TRot3D::kPropHidden);
  EXPECT_FALSE(r.RotProp(5) & TRot3D::kPropHidden);
  EXPECT_LE(std::abs(r.RotDataX(6)), TRot3D::kModelLimit);
  EXPECT_TRUE(std::isfinite(r.ScaleFactX()));
  r.Repaint();
  double d = 0;
  EXPECT_NE(r.FindNearestItemReal(nan, 0, 0, Tr3Item::tkEverything, d), 1);
  EXPECT_EQ(r.FindNearestItemReal(0.9, 1, 1, Tr3Item::tkEverything, d), 3);
  EXPECT_NE(r.FindNearestItemScreen(50, 50, Tr3Item::tkEverything, d), 1);
}

// A point list that cannot be allocated.
class StarvedRot3D : public TRot3D {
 public:
  using TRot3D::TRot3D;
  bool starve = false;

 protected:
  void AllocatePoints(size_t Count) override {
    if (starve) throw std::bad_alloc();
    TRot3D::AllocatePoints(Count);
  }
};

TEST(Rot3DPoints, FailedAllocationRaisesAndKeepsEverything) {
  StarvedRot3D r(nullptr);
  r.SetName("cloud");
  r.MarkAt(0, 0, 0, 1);
  r.MarkAt(2, 0, 0, 1);
  r.MakeVisible();
  r.MarkAt(4, 0, 0, 1);
  r.starve = true;
  try {
    r.MakeVisible();
    FAIL() << "no error";
  } catch (const kvr::EKvrRot3DError& e) {
    EXPECT_STREQ(e.what(), "Component \"cloud\": insufficient memory");
  }
  EXPECT_EQ(r.NumItems(), 3);
  EXPECT_EQ(r.NRotObj(), 2);
  EXPECT_EQ(r.RotDataX(1), 500);
}

TEST(Rot3DSearch, NearestInWorldSpace) {
  TRot3D r(nullptr);
  double d = 0;
  EXPECT_EQ(r.FindNearestItemReal(0, 0, 0, Tr3Item::tkEverything, d), -1);
  EXPECT_DOUBLE_EQ(d, std::sqrt(kvr::uc_MaxDouble));
  r.MarkAt(0, 0, 0, 1);
  r.Line(10, 0, 0, 3, 0, 0);  // only the first point counts
  r.Moveto(5, 0, 0);
  EXPECT_EQ(r.FindNearestItemReal(2, 0, 0, Tr3Item::tkEverything, d), 0);
  EXPECT_DOUBLE_EQ(d, 2.0);
  EXPECT_EQ(r.FindNearestItemReal(3, 4, 0, Tr3Item::tkLine, d), 1);
  EXPECT_DOUBLE_EQ(d, std::sqrt(49.0 + 16.0));
  EXPECT_EQ(r.FindNearestItemReal(0, 0, 0, Tr3Item::tkMoveto, d), 2);
  EXPECT_EQ(r.FindNearestItemReal(0, 0, 0, Tr3Item::tkLineto, d), -1);
  EXPECT_EQ(r.FindNearestItemReal(0, 0, 0, Tr3Item::tkNone, d), -1);
  EXPECT_DOUBLE_EQ(d, std::sqrt(kvr::uc_MaxDouble));
}

// Seen from straight above at magnification 1: model x right, y down, 4 model units to a
// pixel; the data spans -500..500, so pixels 25..275 on a 300 x 300 control.
struct ScreenSearch : ::testing::Test {
  TRot3D r{nullptr};
  void SetUp() override {
    r.SetBounds(0, 0, 300, 300);
    r.SetViewAngles(0, 0, 0);
    r.SetMagnify(1.0);
    r.MarkAt(-1, -1, 0, 1);          // pixel (25, 25)
    r.Line(1, -1, 0, -1, 1, 0);      // (275, 25) to (25, 275)
    r.Moveto(1, 1, 0);               // (275, 275)
    r.MakeVisible();
  }
};

TEST_F(ScreenSearch, LineEndPointsAndKinds) {
  double d = 0;
  EXPECT_EQ(r.FindNearestItemScreen(28, 21, Tr3Item::tkEverything, d), 0);
  EXPECT_DOUBLE_EQ(d, 5.0);
  EXPECT_EQ(r.FindNearestItemScreen(30, 270, Tr3Item::tkEverything, d), 1);  // the end point
  EXPECT_EQ(r.FindNearestItemScreen(30, 30, Tr3Item::tkLine, d), 1);
  EXPECT_EQ(r.FindNearestItemScreen(30, 30, Tr3Item::tkMoveto, d), 2);
  EXPECT_EQ(r.FindNearestItemScreen(30, 30, Tr3Item::tkLineto, d), -1);
  EXPECT_EQ(r.FindNearestItemScreen(30, 30, Tr3Item::tkNone, d), -1);
  // The current view counts, not the one of MakeVisible.
  r.SetViewAngleZ(180);
  EXPECT_EQ(r.FindNearestItemScreen(275, 275, Tr3Item::tkEverything, d), 0);
}

TEST_F(ScreenSearch, ClearLeavesNothingToFind) {
  r.Clear();
  double d = 0;
  EXPECT_EQ(r.NRotObj(), 0);
  EXPECT_EQ(r.FindNearestItemScreen(25, 25, Tr3Item::tkEverything, d), -1);
  EXPECT_EQ(r.NumAllocated(), 0);
}

}  // namespace
