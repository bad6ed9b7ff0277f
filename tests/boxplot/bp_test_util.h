// Helpers shared by the box plot tests.
#pragma once

#include <vector>

#include "boxplot/boxplot.h"

namespace kvr::test {

// A box plot that counts the paints that would draw, instead of drawing.
class CountingPlot : public TBoxPlot {
 public:
  CountingPlot() : TBoxPlot(nullptr) {}
  int paints = 0;

 protected:
  void Paint() override {
    if (!SuppressPaint()) ++paints;
  }
};

// Column 1: 0 10 20 30 40 50 (Q1 12.5, median 25, Q3 37.5, P10 5, P90 45, mean 25).
// Column 2: 3 "x" 1 2 (empty) 8, numbers 1 2 3 8 (Q1 1.75, median 2.5, Q3 4.25, P10 1.3,
// P90 6.5, mean 3.5). Column 3: text only.
inline void FillThreeColumns(TDataTable& t) {
  t.BeginUpdate();
  t.Resize(3, 6);
  for (int r = 1; r <= 6; ++r) t.SetElem(1, r, 10.0 * (r - 1));
  t.SetElem(2, 1, 3.0);
  t.SetElem(2, 2, "x");
  t.SetElem(2, 3, 1.0);
  t.SetElem(2, 4, 2.0);
  t.SetElem(2, 6, 8.0);
  for (int r = 1; r <= 6; ++r) t.SetElem(3, r, "text");
  t.SetColName(1, "Alpha");
  t.SetColName(2, "Beta");
  t.SetColName(3, "Gamma");
  t.EndUpdate();
}

inline std::vector<TrcChartItem> Items(const TCustomZUvado& z) {
  std::vector<TrcChartItem> v;
  for (Integer i = 0; i < z.NumItems(); ++i) v.push_back(z.GetChartItem(i));
  return v;
}

// The items of one box: those whose column coordinate lies within half a spacing of c.
inline std::vector<TrcChartItem> BoxItems(const TCustomZUvado& z, int c, bool vertical) {
  std::vector<TrcChartItem> v;
  for (const TrcChartItem& it : Items(z)) {
    const double p = vertical ? it.x : it.y;
    if (p > c - 0.5 && p < c + 0.5) v.push_back(it);
  }
  return v;
}

}  // namespace kvr::test
