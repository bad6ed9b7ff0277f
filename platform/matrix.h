// Resizable matrices of doubles, integers and bytes, indexed (column, row) from 1.
// Reads outside the size give 0 and writes there are ignored. Resize keeps the values of
// the cells that exist before and after; new cells are 0. Every change fires OnChange
// (a caller that fills many cells and listens to it should batch its own reaction).
// Percentile uses the estimator described in math1.h, with Prob a fraction 0..1.
#pragma once

#include <algorithm>
#include <vector>

#include "platform/math1.h"
#include "platform/types.h"

namespace kvr {

namespace detail {

// Column-major cell store shared by the three matrix classes.
template <class T>
class GridStore {
 public:
  Integer cols() const { return cols_; }
  Integer rows() const { return rows_; }
  bool inside(Integer c, Integer r) const {
    return c >= 1 && c <= cols_ && r >= 1 && r <= rows_;
  }
  T get(Integer c, Integer r) const {
    return inside(c, r) ? cells_[index(c, r)] : T{};
  }
  bool set(Integer c, Integer r, T v) {
    if (!inside(c, r)) return false;
    cells_[index(c, r)] = v;
    return true;
  }
  void fill(T v) { std::fill(cells_.begin(), cells_.end(), v); }
  void resize(Integer nc, Integer nr) {
    nc = std::max(nc, 0);
    nr = std::max(nr, 0);
    if (nc == 0 || nr == 0) nc = nr = 0;
    if (nc == cols_ && nr == rows_) return;
    std::vector<T> fresh(static_cast<size_t>(nc) * static_cast<size_t>(nr), T{});
    const Integer kc = std::min(nc, cols_), kr = std::min(nr, rows_);
    for (Integer c = 0; c < kc; ++c)
      std::copy_n(cells_.begin() + static_cast<ptrdiff_t>(c) * rows_, kr,
                  fresh.begin() + static_cast<ptrdiff_t>(c) * nr);
    cells_.swap(fresh);
    cols_ = nc;
    rows_ = nr;
  }
  // Clamps a block to the matrix, in either corner order; false when nothing is left.
  bool clamp_block(Integer& c1, Integer& r1, Integer& c2, Integer& r2) const {
    if (c1 > c2) std::swap(c1, c2);
    if (r1 > r2) std::swap(r1, r2);
    c1 = std::max(c1, 1);
    r1 = std::max(r1, 1);
    c2 = std::min(c2, cols_);
    r2 = std::min(r2, rows_);
    return c1 <= c2 && r1 <= r2;
  }
  std::vector<double> block_values(Integer c1, Integer r1, Integer c2, Integer r2) const {
    std::vector<double> v;
    if (!clamp_block(c1, r1, c2, r2)) return v;
    v.reserve(static_cast<size_t>(c2 - c1 + 1) * static_cast<size_t>(r2 - r1 + 1));
    for (Integer c = c1; c <= c2; ++c)
      for (Integer r = r1; r <= r2; ++r) v.push_back(static_cast<double>(get(c, r)));
    return v;
  }
  const std::vector<T>& cells() const { return cells_; }

 private:
  size_t index(Integer c, Integer r) const {
    return static_cast<size_t>(c - 1) * static_cast<size_t>(rows_) + static_cast<size_t>(r - 1);
  }
  Integer cols_ = 0;
  Integer rows_ = 0;
  std::vector<T> cells_;
};

}  // namespace detail

class TMatrix : public TPersistent {
 public:
  explicit TMatrix(Integer NrColumns = 0, Integer NrRows = 0);

  // properties
  Integer NrOfColumns() const { return FCells.cols(); }
  Integer NrOfRows() const { return FCells.rows(); }

  // events
  TNotifyEvent OnChange;

  // public methods
  void Resize(Integer NrColumns, Integer NrRows);
  void Fill(double Value);
  double GetVal(Integer Column, Integer Row) const { return FCells.get(Column, Row); }
  void SetVal(Integer Column, Integer Row, double Value);
  double Elem(Integer Column, Integer Row) const { return GetVal(Column, Row); }
  // Extremes of the whole matrix or of a block, NaN cells skipped. Returns the number of
  // cells looked at; with none, Min and Max are 0.
  Integer MinMax(double& Min, double& Max) const;
  Integer MinMax(Integer LowCol, Integer LowRow, Integer HighCol, Integer HighRow,
                 double& Min, double& Max) const;
  double Percentile(double Prob) const;
  double Percentile(double Prob, Integer LowCol, Integer LowRow, Integer HighCol,
                    Integer HighRow) const;
  void Assign(const TPersistent* Source) override;

 private:
  void Changed();
  detail::GridStore<double> FCells;
};

class TIntMatrix : public TPersistent {
 public:
  explicit TIntMatrix(Integer NrColumns = 0, Integer NrRows = 0);

  Integer NrOfColumns() const { return FCells.cols(); }
  Integer NrOfRows() const { return FCells.rows(); }

  TNotifyEvent OnChange;

  void Resize(Integer NrColumns, Integer NrRows);
  void Fill(Integer Value);
  Integer GetVal(Integer Column, Integer Row) const { return FCells.get(Column, Row); }
  void SetVal(Integer Column, Integer Row, Integer Value);
  Integer MinMax(Integer& Min, Integer& Max) const;
  Integer MinMax(Integer LowCol, Integer LowRow, Integer HighCol, Integer HighRow,
                 Integer& Min, Integer& Max) const;
  double Percentile(double Prob) const;
  double Percentile(double Prob, Integer LowCol, Integer LowRow, Integer HighCol,
                    Integer HighRow) const;
  void Assign(const TPersistent* Source) override;

 private:
  void Changed();
  detail::GridStore<Integer> FCells;
};

class TByteMatrix : public TPersistent {
 public:
  explicit TByteMatrix(Integer NrColumns = 0, Integer NrRows = 0);

  Integer NrOfColumns() const { return FCells.cols(); }
  Integer NrOfRows() const { return FCells.rows(); }

  TNotifyEvent OnChange;

  void Resize(Integer NrColumns, Integer NrRows);
  void Fill(Byte Value);
  Byte GetByte(Integer Column, Integer Row) const { return FCells.get(Column, Row); }
  void SetByte(Integer Column, Integer Row, Byte Value);
  void Assign(const TPersistent* Source) override;

 private:
  void Changed();
  detail::GridStore<Byte> FCells;
};

}  // namespace kvr
