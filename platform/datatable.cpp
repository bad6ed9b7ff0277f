#include "platform/datatable.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "platform/detail/utf8.h"
#include "platform/filewrite.h"
#include "platform/math1.h"
#include "platform/numtext.h"
#include "platform/stringl.h"

namespace kvr {

TDataTable::TDataTable(Integer NrColumns, Integer NrRows) {
  FUpdateLevel = 1;  // no notification from the constructor
  Resize(NrColumns, NrRows);
  FUpdateLevel = 0;
  FChangedInUpdate = false;
}

void TDataTable::Changed() {
  if (FUpdateLevel > 0) {
    FChangedInUpdate = true;
    return;
  }
  if (OnChange) OnChange(this);
}

void TDataTable::BeginUpdate() { ++FUpdateLevel; }

void TDataTable::EndUpdate() {
  if (FUpdateLevel == 0) return;
  if (--FUpdateLevel == 0 && FChangedInUpdate) {
    FChangedInUpdate = false;
    if (OnChange) OnChange(this);
  }
}

const TDataTable::Cell& TDataTable::cell(Integer c, Integer r) const {
  return FCells[static_cast<size_t>(c - 1) * static_cast<size_t>(FRows) + static_cast<size_t>(r - 1)];
}

TDataTable::Cell& TDataTable::cell(Integer c, Integer r) {
  return FCells[static_cast<size_t>(c - 1) * static_cast<size_t>(FRows) + static_cast<size_t>(r - 1)];
}

void TDataTable::Resize(Integer NrColumns, Integer NrRows) {
  NrColumns = std::max(NrColumns, 0);
  NrRows = std::max(NrRows, 0);
  if (NrColumns == FCols && NrRows == FRows) return;
  std::vector<Cell> fresh(static_cast<size_t>(NrColumns) * static_cast<size_t>(NrRows));
  const Integer kc = std::min(NrColumns, FCols), kr = std::min(NrRows, FRows);
  for (Integer c = 1; c <= kc; ++c)
    for (Integer r = 1; r <= kr; ++r)
      fresh[static_cast<size_t>(c - 1) * static_cast<size_t>(NrRows) + static_cast<size_t>(r - 1)] =
          std::move(cell(c, r));
  FCells.swap(fresh);
  FColNames.resize(static_cast<size_t>(NrColumns));
  for (Integer c = FCols + 1; c <= NrColumns; ++c)
    FColNames[static_cast<size_t>(c - 1)] = "Col" + std::to_string(c);
  FCols = NrColumns;
  FRows = NrRows;
  Changed();
}

void TDataTable::Clear() {
  for (Cell& c : FCells) c = Cell{};
  Changed();
}

std::string TDataTable::GetColName(Integer Column) const {
  if (Column < 1 || Column > FCols) return {};
  return FColNames[static_cast<size_t>(Column - 1)];
}

void TDataTable::SetColName(Integer Column, const std::string& Name) {
  if (Column < 1 || Column > FCols) return;
  FColNames[static_cast<size_t>(Column - 1)] = Name;
  Changed();
}

void TDataTable::SetElem(Integer Column, Integer Row, double Value) {
  if (!inside(Column, Row)) return;
  Cell& c = cell(Column, Row);
  c.kind = CellKind::Number;
  c.value = Value;
  c.text.clear();
  Changed();
}

void TDataTable::SetElem(Integer Column, Integer Row, const std::string& Text) {
  if (!inside(Column, Row)) return;
  Cell& c = cell(Column, Row);
  c.kind = CellKind::Text;
  c.value = 0.0;
  c.text = Text;
  Changed();
}

void TDataTable::ClearElem(Integer Column, Integer Row) {
  if (!inside(Column, Row)) return;
  cell(Column, Row) = Cell{};
  Changed();
}

double TDataTable::GetElem(Integer Column, Integer Row) const {
  if (!inside(Column, Row)) return 0.0;
  const Cell& c = cell(Column, Row);
  return c.kind == CellKind::Number ? c.value : 0.0;
}

std::string TDataTable::GetElemText(Integer Column, Integer Row) const {
  if (!inside(Column, Row)) return {};
  const Cell& c = cell(Column, Row);
  switch (c.kind) {
    case CellKind::Number: return StrFloatGeneral(c.value, 15);
    case CellKind::Text: return c.text;
    default: return {};
  }
}

bool TDataTable::IsNumCell(Integer Column, Integer Row) const {
  return inside(Column, Row) && cell(Column, Row).kind == CellKind::Number &&
         !std::isnan(cell(Column, Row).value);
}

bool TDataTable::IsEmptyCell(Integer Column, Integer Row) const {
  return !inside(Column, Row) || cell(Column, Row).kind == CellKind::Empty;
}

std::vector<double> TDataTable::numbers(Integer c1, Integer r1, Integer c2, Integer r2) const {
  std::vector<double> v;
  if (c1 > c2) std::swap(c1, c2);
  if (r1 > r2) std::swap(r1, r2);
  c1 = std::max(c1, 1);
  r1 = std::max(r1, 1);
  c2 = std::min(c2, FCols);
  r2 = std::min(r2, FRows);
  for (Integer c = c1; c <= c2; ++c)
    for (Integer r = r1; r <= r2; ++r)
      if (IsNumCell(c, r)) v.push_back(cell(c, r).value);
  return v;
}

Integer TDataTable::CountNumCells(Integer LowCol, Integer LowRow, Integer HighCol,
                                  Integer HighRow) const {
  return static_cast<Integer>(numbers(LowCol, LowRow, HighCol, HighRow).size());
}

Integer TDataTable::MinMaxOfNumCells(Integer LowCol, Integer LowRow, Integer HighCol,
                                     Integer HighRow, double& Min, double& Max) const {
  const std::vector<double> v = numbers(LowCol, LowRow, HighCol, HighRow);
  Min = Max = 0.0;
  if (v.empty()) return 0;
  const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
  Min = *lo;
  Max = *hi;
  return static_cast<Integer>(v.size());
}

Integer TDataTable::MeanVarOfNumCells(Integer LowCol, Integer LowRow, Integer HighCol,
                                      Integer HighRow, double& Mean, double& Variance) const {
  const std::vector<double> v = numbers(LowCol, LowRow, HighCol, HighRow);
  Mean = Variance = 0.0;
  if (v.empty()) return 0;
  // Two passes: the sum of squared deviations stays accurate for data far from zero.
  long double sum = 0.0L;
  for (double x : v) sum += x;
  const long double mean = sum / static_cast<long double>(v.size());
  Mean = static_cast<double>(mean);
  if (v.size() > 1) {
    long double ss = 0.0L;
    for (double x : v) ss += (x - mean) * (x - mean);
    Variance = static_cast<double>(ss / static_cast<long double>(v.size() - 1));
  }
  return static_cast<Integer>(v.size());
}

Integer TDataTable::QuartilesOfNumCells(Integer LowCol, Integer LowRow, Integer HighCol,
                                        Integer HighRow, double& Q1, double& Median,
                                        double& Q3) const {
  std::vector<double> v = numbers(LowCol, LowRow, HighCol, HighRow);
  std::sort(v.begin(), v.end());
  Q1 = detail::percentile_sorted(v, 0.25);
  Median = detail::percentile_sorted(v, 0.5);
  Q3 = detail::percentile_sorted(v, 0.75);
  return static_cast<Integer>(v.size());
}

double TDataTable::PercentileOfNumCells(double Percent, Integer LowCol, Integer LowRow,
                                        Integer HighCol, Integer HighRow) const {
  return detail::percentile_of(numbers(LowCol, LowRow, HighCol, HighRow), Percent / 100.0);
}

// Tables are small: the text is made in memory and written in one go.
void TDataTable::ExportAsASC(const std::string& FileName, Integer Precision) const {
  detail::write_file(FileName, AsASCText(Precision));
}

std::string TDataTable::AsASCText(Integer Precision) const {
  std::ostringstream f;
  std::string line = MultiChar(' ', 6);
  for (Integer c = 1; c <= FCols; ++c)
    line += CenterString(AbbrevString(GetColName(c), 12), 12) + " ";
  f << line << "\r\n";
  for (Integer r = 1; r <= FRows; ++r) {
    line = StrFloatFixed(r, 4, 0) + ": ";
    for (Integer c = 1; c <= FCols; ++c) {
      const Cell& cl = cell(c, r);
      std::string text;
      if (cl.kind == CellKind::Number) {
        text = strff(cl.value, 12, Precision);
      } else if (cl.kind == CellKind::Text) {
        text = AbbrevString(cl.text, 12);
        text.insert(0, static_cast<size_t>(std::max<int64_t>(0, 12 - detail::utf8_length(text))), ' ');
      } else {
        text = MultiChar(' ', 12);
      }
      line += text + " ";
    }
    f << line << "\r\n";
  }
  return std::move(f).str();
}

void TDataTable::Assign(const TPersistent* Source) {
  if (auto* t = dynamic_cast<const TDataTable*>(Source)) {
    if (t == this) return;
    FCols = t->FCols;
    FRows = t->FRows;
    FCells = t->FCells;
    FColNames = t->FColNames;
    Changed();
  }
}

}  // namespace kvr
