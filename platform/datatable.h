// A table of cells with named columns, indexed (column, row) from 1. A cell is empty,
// numeric or text; statistics look only at the numeric cells of a block, and a numeric
// cell holding NaN counts as not numeric. Blocks are given by their first and last column
// and row, in either order, and are clamped to the table.
//
// Percentiles and quartiles use the estimator described in math1.h; PercentileOfNumCells
// takes its level in percent (10.0 is the 10 % percentile), the quartiles are the 25, 50
// and 75 % percentiles. The variance is the sample variance (divisor n - 1; 0 for n = 1).
//
// Every change fires OnChange, except between BeginUpdate and the matching EndUpdate,
// which fires it once if anything changed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

namespace kvr {

class TDataTable : public TPersistent {
 public:
  explicit TDataTable(Integer NrColumns = 0, Integer NrRows = 0);

  // properties
  Integer NrOfColumns() const { return FCols; }
  Integer NrOfRows() const { return FRows; }
  // Default column names are "Col1", "Col2", ...; "" outside the table.
  std::string GetColName(Integer Column) const;
  void SetColName(Integer Column, const std::string& Name);

  // events
  TNotifyEvent OnChange;

  // Expires when the table is destroyed. A holder of a table it does not own keeps this
  // to tell whether its pointer is still good, whichever of the two goes first.
  std::weak_ptr<const void> LifeToken() const { return FLife; }

  // public methods
  // Keeps the cells and names that remain; new cells are empty.
  void Resize(Integer NrColumns, Integer NrRows);
  void Clear();  // every cell empty, size and names kept
  void SetElem(Integer Column, Integer Row, double Value);
  void SetElem(Integer Column, Integer Row, const std::string& Text);
  void SetElem(Integer Column, Integer Row, const char* Text) { SetElem(Column, Row, std::string(Text ? Text : "")); }
  void ClearElem(Integer Column, Integer Row);
  // The number of a numeric cell; 0 for other cells and outside the table.
  double GetElem(Integer Column, Integer Row) const;
  // Text of a text cell, the number text (up to 15 significant digits) of a numeric cell,
  // "" for an empty one.
  std::string GetElemText(Integer Column, Integer Row) const;
  bool IsNumCell(Integer Column, Integer Row) const;
  bool IsEmptyCell(Integer Column, Integer Row) const;

  Integer CountNumCells(Integer LowCol, Integer LowRow, Integer HighCol, Integer HighRow) const;
  // These return the number of numeric cells; with none the results are 0.
  Integer MinMaxOfNumCells(Integer LowCol, Integer LowRow, Integer HighCol, Integer HighRow,
                           double& Min, double& Max) const;
  Integer MeanVarOfNumCells(Integer LowCol, Integer LowRow, Integer HighCol, Integer HighRow,
                            double& Mean, double& Variance) const;
  Integer QuartilesOfNumCells(Integer LowCol, Integer LowRow, Integer HighCol, Integer HighRow,
                              double& Q1, double& Median, double& Q3) const;
  double PercentileOfNumCells(double Percent, Integer LowCol, Integer LowRow, Integer HighCol,
                              Integer HighRow) const;

  // Writes the table as text (CR LF lines): a header of the column names, then one line
  // per row, "nnnn: " followed by each cell in a 12-character column (numbers by
  // strff(v, 12, Precision), texts abbreviated, empty cells blank) and a blank.
  // A file that cannot be created or written in full (a full disk) raises Exception.
  void ExportAsASC(const std::string& FileName, Integer Precision) const;
  // The text ExportAsASC writes, for writers that add to it.
  std::string AsASCText(Integer Precision) const;

  void BeginUpdate();
  void EndUpdate();
  void Assign(const TPersistent* Source) override;

 private:
  enum class CellKind : uint8_t { Empty, Number, Text };
  struct Cell {
    CellKind kind = CellKind::Empty;
    double value = 0.0;
    std::string text;
  };

  bool inside(Integer c, Integer r) const { return c >= 1 && c <= FCols && r >= 1 && r <= FRows; }
  const Cell& cell(Integer c, Integer r) const;
  Cell& cell(Integer c, Integer r);
  std::vector<double> numbers(Integer c1, Integer r1, Integer c2, Integer r2) const;
  void Changed();

  Integer FCols = 0;
  Integer FRows = 0;
  std::vector<Cell> FCells;  // column-major
  std::vector<std::string> FColNames;
  Integer FUpdateLevel = 0;
  bool FChangedInUpdate = false;
  std::shared_ptr<const int> FLife = std::make_shared<const int>(0);
};

}  // namespace kvr
