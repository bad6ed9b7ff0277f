// A chart whose items are kept compactly and one whose store was made full: the same
// pictures, files, query results and edits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "render_util.h"
#include "tests/test_out.h"

namespace kvr {
namespace {

class StoreChart : public test::RenderChart {
 public:
  using TCustomZUvado::DataItems;
};

void draw(StoreChart& c) {
  std::vector<double> x, y, mx, my;
  for (int i = 0; i < 6000; ++i) {
    x.push_back(10 + 300.0 * i / 6000 + (i % 7 == 0 ? -3.5 : 0));
    y.push_back(126 + 100 * std::sin(i * 0.37));
    if (i % 9 == 0) {
      mx.push_back(x.back());
      my.push_back(y.back() + 8);
    }
  }
  c.SetSuppressPaint(true);
  c.SetDataColor(0x2040A0);
  c.DrawPolyline(x, y);
  c.SetDataColor(0xA02040);
  c.SetClassDefault(4);
  c.MarkSeries(mx, my, 11);
  c.SetClassDefault(7);
  c.SetDataColor(0x20A040);
  c.Line(20.0, 20.0, 300.0, 200.0);
  c.Rectangle(40.0, 40.0, 90.0, 70.0);
  c.Text(150.0, 30.0, 10, "compact");
  c.Ellipse(200.0, 150.0, 30.0, 20.0);
  c.MarkAt(100.0, 100.0, 3);
  c.SetClassDefault(4);
  c.ContinuePolyline(std::vector<double>{310, 320, 330}, std::vector<double>{20, 60, 20});
  c.SetSuppressPaint(false);
}

void expect_same_items(const StoreChart& a, const StoreChart& b, bool Slots = true) {
  ASSERT_EQ(a.NumItems(), b.NumItems());
  EXPECT_TRUE(!Slots || a.NumAllocData() == b.NumAllocData()) << a.NumAllocData() << " " << b.NumAllocData();
  for (Integer i = 0; i < a.NumItems(); ++i) {
    const TrcChartItem p = a.GetChartItem(i), q = b.GetChartItem(i);
    ASSERT_EQ(std::memcmp(&p, &q, offsetof(TrcChartItem, CoordMode) + 1), 0) << "item " << i;
  }
  for (int k = 0; k < kNumItemKinds; ++k) EXPECT_EQ(a.ItemCount(TrcItem(k)), b.ItemCount(TrcItem(k))) << k;
}

void expect_same_pixels(StoreChart& a, StoreChart& b) {
  a.Repaint();
  b.Repaint();
  int differ = 0;
  for (int py = 0; py < 300; ++py)
    for (int px = 0; px < 400; ++px) differ += a.Ctl(px, py) != b.Ctl(px, py);
  EXPECT_EQ(differ, 0);
}

std::string file_bytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ZuCompactChart, CompactAndFullStoresDrawSaveAndAnswerAlike) {
  StoreChart a, b;
  draw(a);
  draw(b);
  b.DataItems().MakeFull();
  ASSERT_TRUE(a.DataItems().Compact());
  ASSERT_FALSE(b.DataItems().Compact());
  ASSERT_NO_FATAL_FAILURE(expect_same_items(a, b));
  ASSERT_NO_FATAL_FAILURE(expect_same_pixels(a, b));
  EXPECT_GT(a.CountArea(0x2040A0), 300);
  EXPECT_GT(a.CountArea(0xA02040), 100);

  // Files: the same bytes, and loaded back (replacing and appending) the same items.
  const std::string fa = test_out_file("compact.dat", "compact"), fb = test_out_file("full.dat", "compact");
  a.SaveData(fa);
  b.SaveData(fb);
  ASSERT_FALSE(file_bytes(fa).empty());
  EXPECT_EQ(file_bytes(fa), file_bytes(fb));
  const std::string la = test_out_file("compact.txt", "compact"), lb = test_out_file("full.txt", "compact");
  a.SaveDataASC(la);
  b.SaveDataASC(lb);
  EXPECT_EQ(file_bytes(la), file_bytes(lb));
  StoreChart ra, rb;
  EXPECT_EQ(ra.LoadData(fa, false), a.NumItems());
  EXPECT_EQ(rb.LoadData(fb, false), a.NumItems());
  EXPECT_TRUE(ra.DataItems().Compact());
  EXPECT_EQ(ra.NumAllocData(), a.NumItems());  // a loaded file takes its slots exactly
  ASSERT_NO_FATAL_FAILURE(expect_same_items(ra, a, false));
  ASSERT_NO_FATAL_FAILURE(expect_same_items(ra, rb));
  EXPECT_EQ(ra.LoadData(fb, true), a.NumItems());
  EXPECT_EQ(rb.LoadData(fa, true), a.NumItems());
  ASSERT_NO_FATAL_FAILURE(expect_same_items(ra, rb));
  EXPECT_TRUE(ra.DataItems().Compact());

  // Hit tests.
  for (const TrcItem kind : {tkEverything, tkNotMoveTo, tkMarkAt, tkLineto, tkEllipse})
    for (const Byte cls : {Byte(kAnyClass), Byte(4), Byte(7)})
      for (const double q : {15.0, 101.0, 170.0, 305.0}) {
        double da = 0, db = 0;
        EXPECT_EQ(a.FindNearestItemReal(q, q * 0.7, kind, cls, da), b.FindNearestItemReal(q, q * 0.7, kind, cls, db));
        EXPECT_EQ(da, db);
        EXPECT_EQ(a.FindNearestItemScreen(q, q * 0.5, kind, cls, da),
                  b.FindNearestItemScreen(q, q * 0.5, kind, cls, db));
        EXPECT_EQ(da, db);
        EXPECT_EQ(a.FindNearestItemAlongAxis(q, 0, kind, cls, da), b.FindNearestItemAlongAxis(q, 0, kind, cls, db));
        EXPECT_EQ(da, db);
      }

  // Edits: the same counts and the same items and pictures after each.
  EXPECT_EQ(a.MarkItemsInWindow(100, 50, 200, 150, tkLineto, 9), b.MarkItemsInWindow(100, 50, 200, 150, tkLineto, 9));
  EXPECT_GT(a.ItemCount(tkLineto), 0);
  ASSERT_NO_FATAL_FAILURE(expect_same_items(a, b));
  const Integer marked = a.MarkItemsInWindow(0, 0, 340, 252, tkMarkAt, 5);
  EXPECT_EQ(marked, b.MarkItemsInWindow(0, 0, 340, 252, tkMarkAt, 5));
  EXPECT_EQ(marked, a.ItemCount(tkMarkAt));
  // Every mark took the same class: the series is one run again.
  EXPECT_TRUE(a.DataItems().Compact());
  const Integer removed = a.RemoveItemsByClass(9);
  EXPECT_GT(removed, 0);
  EXPECT_EQ(removed, b.RemoveItemsByClass(9));
  ASSERT_NO_FATAL_FAILURE(expect_same_items(a, b));
  a.ScaleAllItems(0.8, 20, 0.9, 5);
  b.ScaleAllItems(0.8, 20, 0.9, 5);
  ASSERT_NO_FATAL_FAILURE(expect_same_items(a, b));
  ASSERT_NO_FATAL_FAILURE(expect_same_pixels(a, b));
  a.RemoveFirstItems(1000);
  b.RemoveFirstItems(1000);
  ASSERT_NO_FATAL_FAILURE(expect_same_items(a, b));
  ASSERT_NO_FATAL_FAILURE(expect_same_pixels(a, b));
}

}  // namespace
}  // namespace kvr
