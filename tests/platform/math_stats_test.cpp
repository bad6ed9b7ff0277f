// Matrices, vectors and the data table: indexing, change events and statistics.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/kvrmath.h"

using namespace kvr;

namespace {
const double kNaN = std::nan("");
}

TEST(MathPercentile, HandComputedValues) {
  // Linear interpolation between closest ranks, h = (n - 1) p.
  TVector v(5);
  const double data[] = {40, 15, 50, 20, 35};  // sorted: 15 20 35 40 50
  for (int i = 0; i < 5; ++i) v.SetVal(i + 1, data[i]);
  EXPECT_DOUBLE_EQ(v.Percentile(0.0), 15);
  EXPECT_DOUBLE_EQ(v.Percentile(0.1), 17);    // h = 0.4
  EXPECT_DOUBLE_EQ(v.Percentile(0.25), 20);   // h = 1
  EXPECT_DOUBLE_EQ(v.Percentile(0.4), 29);    // h = 1.6
  EXPECT_DOUBLE_EQ(v.Percentile(0.5), 35);
  EXPECT_DOUBLE_EQ(v.Percentile(1.0), 50);
  EXPECT_DOUBLE_EQ(v.Percentile(7.0), 50);    // clamped
  EXPECT_DOUBLE_EQ(v.Percentile(-1.0), 15);
  EXPECT_DOUBLE_EQ(v.Percentile(0.5, 2, 4), 20);  // 15 50 20 -> median 20
  EXPECT_DOUBLE_EQ(v.Percentile(0.5, 4, 2), 20);  // either order
  EXPECT_EQ(v.Percentile(kNaN), 0.0);
  EXPECT_EQ(v.Percentile(0.5, 7, 9), 0.0);        // nothing in range
  EXPECT_EQ(TVector().Percentile(0.5), 0.0);
}

TEST(MathPercentile, NaNSkippedInfinitiesKept) {
  TVector v(4);
  v.SetVal(1, kNaN);
  v.SetVal(2, 1);
  v.SetVal(3, 3);
  v.SetVal(4, HUGE_VAL);
  EXPECT_DOUBLE_EQ(v.Percentile(0.25), 2);  // of {1, 3, inf}: h = 0.5
  EXPECT_EQ(v.Percentile(0.75), HUGE_VAL);
  EXPECT_FALSE(std::isnan(v.Percentile(0.6)));
}

TEST(MathMatrix, OneBasedResizableAndSafe) {
  TMatrix m(3, 2);
  int changes = 0;
  m.OnChange = [&](TObject* s) { EXPECT_EQ(s, &m); ++changes; };
  m.SetVal(1, 1, 1.5);
  m.SetVal(3, 2, 7);
  EXPECT_EQ(m.GetVal(1, 1), 1.5);
  EXPECT_EQ(m.GetVal(3, 2), 7);
  EXPECT_EQ(changes, 2);
  for (auto [c, r] : {std::pair{0, 1}, {1, 0}, {4, 1}, {1, 3}, {-5, -5}}) {
    m.SetVal(c, r, 99);
    EXPECT_EQ(m.GetVal(c, r), 0.0);
  }
  EXPECT_EQ(changes, 2);  // ignored writes are no changes

  m.Resize(4, 4);  // grows, keeps the old cells
  EXPECT_EQ(m.GetVal(1, 1), 1.5);
  EXPECT_EQ(m.GetVal(3, 2), 7);
  EXPECT_EQ(m.GetVal(4, 4), 0.0);
  m.Resize(2, 1);
  EXPECT_EQ(m.NrOfColumns(), 2);
  EXPECT_EQ(m.GetVal(1, 1), 1.5);
  EXPECT_EQ(m.GetVal(3, 2), 0.0);
  m.Resize(-1, 5);
  EXPECT_EQ(m.NrOfColumns(), 0);
  double lo = 1, hi = 1;
  EXPECT_EQ(m.MinMax(lo, hi), 0);
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(m.Percentile(0.5), 0.0);
}

TEST(MathMatrix, MinMaxAndPercentileOverBlocks) {
  TMatrix m(3, 3);
  double v = 1;
  for (int c = 1; c <= 3; ++c)
    for (int r = 1; r <= 3; ++r) m.SetVal(c, r, v++);  // column c holds 3c-2 .. 3c
  m.SetVal(2, 2, kNaN);
  double lo = 0, hi = 0;
  EXPECT_EQ(m.MinMax(lo, hi), 8);
  EXPECT_EQ(lo, 1);
  EXPECT_EQ(hi, 9);
  EXPECT_EQ(m.MinMax(2, 1, 3, 2, lo, hi), 3);  // 4, NaN, 7, 8
  EXPECT_EQ(lo, 4);
  EXPECT_EQ(hi, 8);
  EXPECT_DOUBLE_EQ(m.Percentile(0.5), 5);  // 1 2 3 4 6 7 8 9
  EXPECT_DOUBLE_EQ(m.Percentile(0.75, 3, 3, 0, 0), 7.25);  // clamped, either corner order

  TMatrix copy;
  copy.Assign(&m);
  EXPECT_EQ(copy.GetVal(3, 3), 9);
  EXPECT_EQ(copy.NrOfRows(), 3);
}

TEST(MathMatrix, IntAndByteMatrices) {
  TIntMatrix im(2, 2);
  im.SetVal(1, 1, -4);
  im.SetVal(2, 2, 10);
  Integer lo = 0, hi = 0;
  EXPECT_EQ(im.MinMax(lo, hi), 4);
  EXPECT_EQ(lo, -4);
  EXPECT_EQ(hi, 10);
  EXPECT_DOUBLE_EQ(im.Percentile(0.5), 0);
  EXPECT_EQ(im.GetVal(3, 1), 0);

  TByteMatrix bm(3, 2);
  bm.Fill(7);
  bm.SetByte(2, 2, 255);
  bm.SetByte(9, 9, 1);
  EXPECT_EQ(bm.GetByte(1, 1), 7);
  EXPECT_EQ(bm.GetByte(2, 2), 255);
  EXPECT_EQ(bm.GetByte(9, 9), 0);
  bm.Resize(4, 2);
  EXPECT_EQ(bm.GetByte(3, 2), 7);
  EXPECT_EQ(bm.GetByte(4, 2), 0);
}

TEST(MathVector, ResizeKeepsLeadingValues) {
  TVector v;
  int changes = 0;
  v.OnChange = [&](TObject*) { ++changes; };
  v.SetVecSize(3);
  v.SetVal(3, 2.5);
  v.Resize(5);
  EXPECT_EQ(v.GetVal(3), 2.5);
  EXPECT_EQ(v.GetVal(5), 0.0);
  EXPECT_EQ(v.GetVal(0), 0.0);
  EXPECT_EQ(v.GetVal(6), 0.0);
  v.SetVal(6, 1);
  EXPECT_EQ(changes, 3);
  double lo = 0, hi = 0;
  EXPECT_EQ(v.MinMax(lo, hi), 5);
  EXPECT_EQ(hi, 2.5);
}

class MathDataTable : public ::testing::Test {
 protected:
  // Column 1: 2 4 4 4 5 5 7 9 (mean 5, sample variance 32/7); column 2 mixed.
  void SetUp() override {
    t.Resize(2, 9);
    const double c1[] = {2, 4, 4, 4, 5, 5, 7, 9};
    for (int r = 0; r < 8; ++r) t.SetElem(1, r + 1, c1[r]);
    t.SetElem(2, 1, 10.0);
    t.SetElem(2, 2, "n/a");
    t.SetElem(2, 3, kNaN);
    t.SetElem(2, 4, -3.0);
    t.SetColName(2, "Pressure");
  }
  TDataTable t;
};

TEST_F(MathDataTable, CellsAndNames) {
  EXPECT_EQ(t.GetColName(1), "Col1");
  EXPECT_EQ(t.GetColName(2), "Pressure");
  EXPECT_EQ(t.GetColName(3), "");
  EXPECT_TRUE(t.IsNumCell(1, 1));
  EXPECT_FALSE(t.IsNumCell(2, 2));
  EXPECT_FALSE(t.IsNumCell(2, 3));  // NaN
  EXPECT_TRUE(t.IsEmptyCell(1, 9));
  EXPECT_EQ(t.GetElem(2, 2), 0.0);
  EXPECT_EQ(t.GetElemText(2, 2), "n/a");
  EXPECT_EQ(t.GetElemText(2, 4), "-3");
  EXPECT_EQ(t.GetElem(0, 0), 0.0);
  t.SetElem(5, 5, 1.0);  // ignored
  EXPECT_EQ(t.CountNumCells(1, 1, 2, 9), 10);
  t.Resize(1, 3);
  EXPECT_EQ(t.GetElem(1, 2), 4);
  EXPECT_EQ(t.GetColName(2), "");
  t.Resize(2, 3);
  EXPECT_EQ(t.GetColName(2), "Col2");
  EXPECT_TRUE(t.IsEmptyCell(2, 1));
}

TEST_F(MathDataTable, BlockStatistics) {
  double a = 0, b = 0, c = 0;
  EXPECT_EQ(t.MinMaxOfNumCells(1, 1, 1, 9, a, b), 8);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 9);
  EXPECT_EQ(t.MeanVarOfNumCells(1, 1, 1, 9, a, b), 8);
  EXPECT_DOUBLE_EQ(a, 5);
  EXPECT_DOUBLE_EQ(b, 32.0 / 7.0);
  EXPECT_EQ(t.QuartilesOfNumCells(1, 9, 1, 1, a, b, c), 8);  // reversed rows
  EXPECT_DOUBLE_EQ(a, 4);     // h = 1.75 between 4 and 4
  EXPECT_DOUBLE_EQ(b, 4.5);   // between 4 and 5
  EXPECT_DOUBLE_EQ(c, 5.5);   // h = 5.25 between 5 and 7
  EXPECT_DOUBLE_EQ(t.PercentileOfNumCells(10.0, 1, 1, 1, 9), 3.4);  // h = 0.7
  EXPECT_DOUBLE_EQ(t.PercentileOfNumCells(90.0, 1, 1, 1, 9), 7.6);  // h = 6.3
  // Column 2: only 10 and -3 are numbers.
  EXPECT_EQ(t.MinMaxOfNumCells(2, 1, 2, 9, a, b), 2);
  EXPECT_EQ(a, -3);
  EXPECT_EQ(t.MeanVarOfNumCells(2, 1, 2, 9, a, b), 2);
  EXPECT_DOUBLE_EQ(a, 3.5);
  EXPECT_DOUBLE_EQ(b, 84.5);
}

TEST_F(MathDataTable, EmptyBlocksGiveZeros) {
  double a = 1, b = 1, c = 1;
  EXPECT_EQ(t.CountNumCells(1, 9, 2, 9), 0);
  EXPECT_EQ(t.MinMaxOfNumCells(1, 9, 2, 9, a, b), 0);
  EXPECT_EQ(a, 0.0);
  EXPECT_EQ(t.QuartilesOfNumCells(5, 5, 8, 8, a, b, c), 0);
  EXPECT_EQ(t.MeanVarOfNumCells(-3, -3, 0, 0, a, b), 0);
  EXPECT_EQ(t.PercentileOfNumCells(50, 3, 1, 9, 9), 0.0);
  TDataTable empty;
  EXPECT_EQ(empty.CountNumCells(1, 1, 100, 100), 0);
  double m = 0, v = 0;
  t.MeanVarOfNumCells(1, 1, 1, 1, m, v);
  EXPECT_EQ(v, 0.0);  // a single value has no spread
}

TEST_F(MathDataTable, ChangeNotificationAndBatches) {
  int changes = 0;
  t.OnChange = [&](TObject*) { ++changes; };
  t.SetElem(1, 9, 1.0);
  t.SetElem(9, 9, 1.0);
  EXPECT_EQ(changes, 1);
  t.BeginUpdate();
  for (int r = 1; r <= 9; ++r) t.SetElem(1, r, double(r));
  t.BeginUpdate();
  t.SetColName(1, "x");
  t.EndUpdate();
  EXPECT_EQ(changes, 1);
  t.EndUpdate();
  EXPECT_EQ(changes, 2);
  t.BeginUpdate();
  t.EndUpdate();  // nothing changed, nothing fired
  t.EndUpdate();  // unbalanced: harmless
  EXPECT_EQ(changes, 2);
}

TEST_F(MathDataTable, ExportAsASC) {
  const std::string name = ::testing::TempDir() + "math_table.txt";
  t.SetColName(1, "A rather long column name");
  t.ExportAsASC(name, 2);
  std::ifstream f(name, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  const std::string text = ss.str();
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t e = text.find("\r\n", pos);
    ASSERT_NE(e, std::string::npos) << "every line ends in CR LF";
    lines.push_back(text.substr(pos, e - pos));
    pos = e + 2;
  }
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], "      A rather lo.   Pressure   ");
  EXPECT_EQ(lines[1], "   1:         2.00        10.00 ");
  EXPECT_EQ(lines[2], "   2:         4.00          n/a ");
  EXPECT_EQ(lines[9], "   9:" + std::string(27, ' '));
  std::remove(name.c_str());
  EXPECT_THROW(t.ExportAsASC("/nonexistent-dir/x/y.txt", 2), Exception);
}
