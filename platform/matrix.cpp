#include "platform/matrix.h"

namespace kvr {

namespace {

template <class T>
Integer block_min_max(const detail::GridStore<T>& g, Integer c1, Integer r1, Integer c2,
                      Integer r2, T& mn, T& mx) {
  mn = T{};
  mx = T{};
  Integer n = 0;
  if (!g.clamp_block(c1, r1, c2, r2)) return 0;
  for (Integer c = c1; c <= c2; ++c)
    for (Integer r = r1; r <= r2; ++r) {
      const T v = g.get(c, r);
      if constexpr (std::is_floating_point_v<T>)
        if (std::isnan(v)) continue;
      if (n == 0 || v < mn) mn = v;
      if (n == 0 || v > mx) mx = v;
      ++n;
    }
  return n;
}

}  // namespace

TMatrix::TMatrix(Integer NrColumns, Integer NrRows) { FCells.resize(NrColumns, NrRows); }

void TMatrix::Changed() {
  if (OnChange) OnChange(this);
}

void TMatrix::Resize(Integer NrColumns, Integer NrRows) {
  FCells.resize(NrColumns, NrRows);
  Changed();
}

void TMatrix::Fill(double Value) {
  FCells.fill(Value);
  Changed();
}

void TMatrix::SetVal(Integer Column, Integer Row, double Value) {
  if (FCells.set(Column, Row, Value)) Changed();
}

Integer TMatrix::MinMax(double& Min, double& Max) const {
  return block_min_max(FCells, 1, 1, FCells.cols(), FCells.rows(), Min, Max);
}

Integer TMatrix::MinMax(Integer LowCol, Integer LowRow, Integer HighCol, Integer HighRow,
                        double& Min, double& Max) const {
  return block_min_max(FCells, LowCol, LowRow, HighCol, HighRow, Min, Max);
}

double TMatrix::Percentile(double Prob) const {
  return detail::percentile_of(FCells.cells(), Prob);
}

double TMatrix::Percentile(double Prob, Integer LowCol, Integer LowRow, Integer HighCol,
                           Integer HighRow) const {
  return detail::percentile_of(FCells.block_values(LowCol, LowRow, HighCol, HighRow), Prob);
}

void TMatrix::Assign(const TPersistent* Source) {
  if (auto* m = dynamic_cast<const TMatrix*>(Source)) {
    if (m == this) return;
    FCells = m->FCells;
    Changed();
  }
}

TIntMatrix::TIntMatrix(Integer NrColumns, Integer NrRows) { FCells.resize(NrColumns, NrRows); }

void TIntMatrix::Changed() {
  if (OnChange) OnChange(this);
}

void TIntMatrix::Resize(Integer NrColumns, Integer NrRows) {
  FCells.resize(NrColumns, NrRows);
  Changed();
}

void TIntMatrix::Fill(Integer Value) {
  FCells.fill(Value);
  Changed();
}

void TIntMatrix::SetVal(Integer Column, Integer Row, Integer Value) {
  if (FCells.set(Column, Row, Value)) Changed();
}

Integer TIntMatrix::MinMax(Integer& Min, Integer& Max) const {
  return block_min_max(FCells, 1, 1, FCells.cols(), FCells.rows(), Min, Max);
}

Integer TIntMatrix::MinMax(Integer LowCol, Integer LowRow, Integer HighCol, Integer HighRow,
                           Integer& Min, Integer& Max) const {
  return block_min_max(FCells, LowCol, LowRow, HighCol, HighRow, Min, Max);
}

double TIntMatrix::Percentile(double Prob) const {
  return Percentile(Prob, 1, 1, FCells.cols(), FCells.rows());
}

double TIntMatrix::Percentile(double Prob, Integer LowCol, Integer LowRow, Integer HighCol,
                              Integer HighRow) const {
  return detail::percentile_of(FCells.block_values(LowCol, LowRow, HighCol, HighRow), Prob);
}

void TIntMatrix::Assign(const TPersistent* Source) {
  if (auto* m = dynamic_cast<const TIntMatrix*>(Source)) {
    if (m == this) return;
    FCells = m->FCells;
    Changed();
  }
}

TByteMatrix::TByteMatrix(Integer NrColumns, Integer NrRows) {
  FCells.resize(NrColumns, NrRows);
}

void TByteMatrix::Changed() {
  if (OnChange) OnChange(this);
}

void TByteMatrix::Resize(Integer NrColumns, Integer NrRows) {
  FCells.resize(NrColumns, NrRows);
  Changed();
}

void TByteMatrix::Fill(Byte Value) {
  FCells.fill(Value);
  Changed();
}

void TByteMatrix::SetByte(Integer Column, Integer Row, Byte Value) {
  if (FCells.set(Column, Row, Value)) Changed();
}

void TByteMatrix::Assign(const TPersistent* Source) {
  if (auto* m = dynamic_cast<const TByteMatrix*>(Source)) {
    if (m == this) return;
    FCells = m->FCells;
    Changed();
  }
}

}  // namespace kvr
