// The plot's table: change events and batches, paint suppression, lifetimes of the plot
// and an application's table, the text export and registration.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "bp_test_util.h"
#include "platform/registry.h"
#include "zuvado/chartfiles.h"

using namespace kvr;
using kvr::test::CountingPlot;
using kvr::test::FillThreeColumns;

namespace {

std::string read_file(const std::string& name) {
  std::ifstream f(name, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

class BoxPlotTable : public ::testing::Test {
 protected:
  void SetUp() override {
    bp.SetBounds(0, 0, 300, 200);
    bp.CreateWnd();
  }
  CountingPlot bp;
};

TEST_F(BoxPlotTable, EveryChangeRebuildsOnceAndABatchOnce) {
  TDataTable t(2, 5);
  bp.paints = 0;
  bp.AssignAnotherDataTable(&t);
  EXPECT_TRUE(bp.ExtMatAssigned());
  EXPECT_EQ(bp.DataTable(), &t);
  EXPECT_EQ(bp.paints, 1);
  EXPECT_EQ(bp.NumItems(), 0);
  t.SetElem(1, 1, 4.0);
  EXPECT_EQ(bp.paints, 2);
  EXPECT_EQ(bp.GetItemCount(tkRect), 1);
  t.BeginUpdate();
  for (int r = 1; r <= 5; ++r) t.SetElem(2, r, double(r));
  t.SetColName(2, "second");
  EXPECT_EQ(bp.paints, 2);
  t.EndUpdate();
  EXPECT_EQ(bp.paints, 3);
  EXPECT_EQ(bp.GetItemCount(tkRect), 2);
  EXPECT_EQ(bp.TextLabels(2)->Caption(), "second");
  EXPECT_DOUBLE_EQ(bp.BoxStats(2).Median, 3);
  // A property change rebuilds and paints once; an unchanged value does nothing.
  bp.SetColorBody(0x00FF00);
  EXPECT_EQ(bp.paints, 4);
  bp.SetColorBody(0x00FF00);
  EXPECT_EQ(bp.paints, 4);
  bp.Labels()->SetPosition(3);
  EXPECT_EQ(bp.paints, 5);
}

TEST_F(BoxPlotTable, SuppressedChangesRebuildOnceOnRelease) {
  TDataTable t;
  FillThreeColumns(t);
  bp.AssignAnotherDataTable(&t);
  const Integer items = bp.NumItems();
  bp.SetSuppressPaint(true);
  bp.paints = 0;
  t.SetElem(1, 1, 100.0);
  bp.SetShowMean(false);
  bp.SetOrientation(bpltHorizontal);
  bp.Labels()->SetPosition(-2);
  EXPECT_EQ(bp.paints, 0);
  EXPECT_EQ(bp.NumItems(), items);  // nothing rebuilt yet
  bp.SetSuppressPaint(false);
  EXPECT_EQ(bp.paints, 1);
  EXPECT_EQ(bp.NumItems(), items - 2);
  EXPECT_DOUBLE_EQ(bp.BoxStats(1).Max, 100);
  EXPECT_EQ(bp.TextLabels(1)->AttachToData(), tamYOnly);
  // Releasing without a change only repaints, keeping what the application drew.
  bp.SetSuppressPaint(true);
  bp.MarkAt(1.0, 1.0, 3);
  bp.SetSuppressPaint(false);
  EXPECT_EQ(bp.paints, 2);
  EXPECT_EQ(bp.NumItems(), items - 1);
  // Update rebuilds from the statistics.
  bp.Update();
  EXPECT_EQ(bp.NumItems(), items - 2);
}

TEST(BoxPlotLifetime, TableDestroyedFirstLeavesAnEmptyPlot) {
  TBoxPlot bp(nullptr);
  bp.SetBounds(0, 0, 300, 200);
  bp.CreateWnd();
  {
    TDataTable t;
    FillThreeColumns(t);
    bp.AssignAnotherDataTable(&t);
    EXPECT_EQ(bp.GetItemCount(tkRect), 2);
  }
  EXPECT_FALSE(bp.ExtMatAssigned());
  ASSERT_NE(bp.DataTable(), nullptr);
  EXPECT_EQ(bp.DataTable()->NrOfColumns(), 0);
  bp.DataChanged(nullptr);
  EXPECT_EQ(bp.NumItems(), 0);
  // The stand-in table is the plot's own and reports its changes.
  TDataTable* standIn = bp.DataTable();
  bp.AssignAnotherDataTable(standIn);
  EXPECT_EQ(bp.DataTable(), standIn);
  standIn->Resize(1, 1);
  standIn->SetElem(1, 1, 3.0);
  EXPECT_EQ(bp.GetItemCount(tkRect), 1);
  bp.AutoRange(10);
  const std::string name = ::testing::TempDir() + "bp_gone.txt";
  EXPECT_NO_THROW(bp.SaveDataASC(name));
  std::remove(name.c_str());
  // nullptr brings back a table of the plot's own with sample data.
  bp.AssignAnotherDataTable(nullptr);
  EXPECT_EQ(bp.DataTable()->NrOfRows(), 100);
  EXPECT_EQ(bp.GetItemCount(tkRect), 1);
  // Handing the plot its own table back changes nothing.
  TDataTable* own = bp.DataTable();
  bp.AssignAnotherDataTable(own);
  EXPECT_EQ(bp.DataTable(), own);
  own->SetElem(1, 1, 50.0);
  EXPECT_DOUBLE_EQ(bp.BoxStats(1).Max, 50);
}

TEST(BoxPlotLifetime, PlotDestroyedFirstReleasesTheTable) {
  TDataTable t;
  FillThreeColumns(t);
  int mine = 0;
  {
    auto a = std::make_unique<TBoxPlot>(nullptr);
    a->CreateWnd();
    a->AssignAnotherDataTable(&t);
    EXPECT_TRUE(static_cast<bool>(t.OnChange));
  }
  EXPECT_FALSE(static_cast<bool>(t.OnChange));
  t.SetElem(1, 1, 1.0);  // no plot to call

  // A second plot that took the table over keeps it when the first one goes.
  auto a = std::make_unique<TBoxPlot>(nullptr);
  TBoxPlot b(nullptr);
  a->CreateWnd();
  b.CreateWnd();
  a->AssignAnotherDataTable(&t);
  b.AssignAnotherDataTable(&t);
  a.reset();
  ASSERT_TRUE(static_cast<bool>(t.OnChange));
  t.SetElem(1, 1, 77.0);
  EXPECT_DOUBLE_EQ(b.BoxStats(1).Max, 77);
  // Switching to another table releases the first one too.
  TDataTable other(1, 1);
  b.AssignAnotherDataTable(&other);
  EXPECT_FALSE(static_cast<bool>(t.OnChange));
  t.OnChange = [&](TObject*) { ++mine; };
  b.AssignAnotherDataTable(&other);
  t.SetElem(1, 1, 2.0);
  EXPECT_EQ(mine, 1);
}

TEST(BoxPlotFile, SaveDataASCByteForByte) {
  TDataTable t(2, 4);
  t.BeginUpdate();
  t.SetColName(1, "A");
  t.SetColName(2, "B");
  const double a[4] = {1, 2, 4, 5};
  for (int r = 1; r <= 4; ++r) t.SetElem(1, r, a[r - 1]);
  t.SetElem(2, 1, 10.0);
  t.SetElem(2, 2, "x");
  t.SetElem(2, 3, 30.0);
  t.SetElem(2, 4, 50.0);
  t.EndUpdate();
  TBoxPlot bp(nullptr);
  bp.AssignAnotherDataTable(&t);  // painting still suppressed: statistics not yet made
  const std::string name = ::testing::TempDir() + "bp_save.txt";
  std::remove(name.c_str());
  bp.SaveDataASC(name);
  const std::string expected =
      "           A            B       \r\n"
      "   1:            1           10 \r\n"
      "   2:            2            x \r\n"
      "   3:            4           30 \r\n"
      "   4:            5           50 \r\n"
      "\r\n"
      "------------------------------ Box Parameters ------------------------------\r\n"
      "\r\n"
      "           A            B       \r\n"
      "Mean:            3           30 \r\n"
      " Min:            1           10 \r\n"
      " P10:          1.3           14 \r\n"
      "  Q1:         1.75           20 \r\n"
      "  Q2:            3           30 \r\n"
      "  Q3:         4.25           40 \r\n"
      " P90:          4.7           46 \r\n"
      " Max:            5           50 \r\n";
  EXPECT_EQ(read_file(name), expected);
  // Saving again replaces the file rather than growing it.
  bp.SaveDataASC(name);
  EXPECT_EQ(read_file(name), expected);
  std::remove(name.c_str());
}

TEST(BoxPlotFile, FileErrorsRaise) {
  TBoxPlot bp(nullptr);
  bp.CreateWnd();
  EXPECT_THROW(bp.SaveDataASC(::testing::TempDir() + "no-such-dir/x.txt"), EInOutError);
  // A full disk: every write is accepted into the buffer and fails when flushed.
  std::ifstream probe("/dev/full");
  if (!probe) GTEST_SKIP() << "no /dev/full";
  EXPECT_THROW(bp.SaveDataASC("/dev/full"), EInOutError);
}

TEST(BoxPlotRegistry, OnThePalettePageKVR) {
  Kvr_boxplot::Register();
  bool found = false;
  for (const auto& e : RegisteredComponents("KVR")) found = found || e.ClassName == "TBoxPlot";
  EXPECT_TRUE(found);
  std::unique_ptr<TComponent> c(CreateRegisteredComponent("TBoxPlot", nullptr));
  auto* bp = dynamic_cast<TBoxPlot*>(c.get());
  ASSERT_NE(bp, nullptr);
  EXPECT_EQ(bp->Caption(), "BoxPlot");
}

}  // namespace
