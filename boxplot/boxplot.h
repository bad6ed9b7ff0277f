// TBoxPlot: one box-and-whisker figure per column of a data table.
//
// The plot computes per column, over the numeric cells of its rows, the minimum and
// maximum, the quartiles, the 10 % and 90 % percentiles and the mean, and turns them into
// ordinary chart items on layer 1: whiskers (Line), the box (Rectangle), marks (MarkAt)
// or bars (Line) for median, mean and percentiles. Column c sits at position c of the
// column axis (x when vertical, y when horizontal); text labels 1..30 name the first 30
// columns. Every rebuild replaces the whole data container, so items an application adds
// itself are gone at the next change.
//
//   kvr::TBoxPlot bp(nullptr);           // own sample table: 1 column of 100 values
//   bp.SetBounds(0, 0, 400, 300);
//   bp.CreateWnd();                      // statistics and items are built here
//   kvr::TDataTable t(3, 20);            // the application's table, never freed by bp
//   ... t.SetElem(c, r, v); t.SetColName(c, "day 1"); ...
//   bp.AssignAnotherDataTable(&t);       // from now on every change of t rebuilds bp
//   bp.AutoRange(10);
//
// Painting follows the chart's batch rule: while SuppressPaint is set, changes of the
// table and of properties are only remembered, and clearing SuppressPaint rebuilds once.
// Window thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/datatable.h"
#include "platform/kvrbase.h"
#include "platform/kvrvector.h"
#include "platform/matrix.h"
#include "zuvado/zuvado.h"

namespace kvr {

enum TBoxPlotOrientation : Byte { bpltHorizontal, bpltVertical };
enum TBoxPlotGridStyle : Byte { bpgsNone, bpgsLines, bpgsDotLines };

// The look of the column labels. Position is the pixel distance of the labels from the
// border of the chart area they stand at: the bottom (vertical plot) or the right
// (horizontal plot); negative values put them at the top or the left.
class TBoxPlotLabel : public TCustomTextLabel {
 public:
  TBoxPlotLabel();

  Integer Position() const { return FPosition; }
  void SetPosition(Integer v);

 protected:
  void AssignSettings(const TCustomTextLabel& Source) override;

 private:
  Integer FPosition = 8;
};

// Column is 1-based; the handler may change any of the six colours for that box.
using TOnBeforeBoxDrawEvent =
    std::function<void(TObject* Sender, Integer Column, TColor& ColorLines, TColor& ColorBody,
                       TColor& ColorMinMax, TColor& Color90Perc, TColor& ColorMean,
                       TColor& ColorMedian)>;

// The statistics of one column as the plot last computed them.
struct TBoxStats {
  Integer NumCells = 0;  // numeric cells; 0: the column gets no box
  double Min = 0, Max = 0;
  double Q1 = 0, Median = 0, Q3 = 0;
  double P10 = 0, P90 = 0;
  double Mean = 0;
};

class TBoxPlot : public TCustomZUvado {
 public:
  explicit TBoxPlot(TComponent* AOwner);
  ~TBoxPlot() override;

  // ---- Properties ----
  TBoxPlotOrientation Orientation() const { return FOrientation; }
  // Exchanges the x and y ranges of layer 1 and shows the value axis only.
  void SetOrientation(TBoxPlotOrientation Value);
  // Box width in units of the column spacing, clamped to 0..1.
  double BoxWidth() const { return FBoxWidth; }
  void SetBoxWidth(double v);
  // Grid lines across the value axis.
  TBoxPlotGridStyle GridStyle() const { return FBpGridStyle; }
  void SetGridStyle(TBoxPlotGridStyle v);
  TColor ColorBody() const { return FColorBody; }
  void SetColorBody(TColor v);
  TColor ColorLines() const { return FColorLines; }
  void SetColorLines(TColor v);
  TColor ColorMedian() const { return FColorMedian; }
  void SetColorMedian(TColor v);
  TColor ColorMean() const { return FColorMean; }
  void SetColorMean(TColor v);
  TColor Color90Perc() const { return FColor90Perc; }
  void SetColor90Perc(TColor v);
  TColor ColorMinMax() const { return FColorMinMax; }
  void SetColorMinMax(TColor v);
  bool ShowMinMax() const { return FShowMinMax; }
  void SetShowMinMax(bool v);
  bool ShowMedian() const { return FShowMedian; }
  void SetShowMedian(bool v);
  bool ShowMean() const { return FShowMean; }
  void SetShowMean(bool v);
  bool Show90Perc() const { return FShow90Perc; }
  void SetShow90Perc(bool v);
  // Mark types (values of 52 and above are ignored). For the median and the percentiles
  // 0 draws a bar instead of a mark; the mean draws a bar with 0 too.
  Byte SymbolMin() const { return FSymbolMin; }
  void SetSymbolMin(Byte v);
  Byte SymbolMax() const { return FSymbolMax; }
  void SetSymbolMax(Byte v);
  Byte SymbolMean() const { return FSymbolMean; }
  void SetSymbolMean(Byte v);
  Byte SymbolMedian() const { return FSymbolMedian; }
  void SetSymbolMedian(Byte v);
  Byte Symbol90Perc() const { return FSymbol90Perc; }
  void SetSymbol90Perc(Byte v);
  // The template of the column labels; its changes rebuild the plot. Setting copies.
  TBoxPlotLabel* Labels() { return FLabels.get(); }
  const TBoxPlotLabel* Labels() const { return FLabels.get(); }
  void SetLabels(const TBoxPlotLabel* v);

  // The table shown: the plot's own or the application's (see AssignAnotherDataTable).
  TDataTable* DataTable() const;
  // An application's table is shown (false again once that table is destroyed).
  bool ExtMatAssigned() const { return FExtMatAssigned && !FExtLife.expired(); }
  // Column 1..NC of the last computation; an empty record outside.
  TBoxStats BoxStats(Integer Column) const;

  // Writing true only stores. Writing false rebuilds when anything changed while painting
  // was suppressed (then paints once), else paints as the chart does.
  void SetSuppressPaint(bool Value) override;

  // ---- Events ----
  // Before each box is built, with copies of the six colours.
  TOnBeforeBoxDrawEvent OnBeforeBoxDraw;

  // ---- Public methods ----
  // Shows DTab from now on; the plot frees its own table and takes over DTab's OnChange,
  // but never frees DTab. Either side may be destroyed first: a plot whose table went
  // away shows an empty table of its own. nullptr returns to an own sample table; the
  // plot's own table (DataTable()) handed back stays as it is.
  void AssignAnotherDataTable(TDataTable* DTab);
  // The table or the labels changed: recompute, name the columns and rebuild (nothing
  // but a note while painting is suppressed).
  void DataChanged(TObject* Sender);
  // Recomputes the statistics of every column.
  void CommitChangedData();
  // Rebuilds the items and places the labels from the current statistics, then repaints.
  void CreateChart();
  void Update() override { CreateChart(); }
  // Value axis: the smallest minimum to the largest maximum of the columns that have
  // numeric cells, widened by Margin percent of that span at each end; column axis
  // 0..NC + 1. One value everywhere is widened by a tenth of it (at least 0.1) each side;
  // without any numeric cell the value axis stays.
  void AutoRange(double Margin);
  // Layer 1.
  using TCustomZUvado::SetRange;
  void SetRange(long double xLo, long double yLo, long double xHi, long double yHi) {
    TCustomZUvado::SetRange(1, xLo, yLo, xHi, yHi);
  }
  // The table as text (TDataTable::ExportAsASC, general number form), then a block of
  // the box parameters of every column, computed afresh. File errors raise EInOutError.
  void SaveDataASC(const std::string& FName);
  void CreateWnd() override;
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

 protected:
  // Text labels 1..min(NC, 30) to their columns' places on the current bounds.
  void PlaceLabels();

 private:
  // Table access that notices an application's table that has been destroyed.
  TDataTable& Table() const;
  void HookTable(TDataTable& T);
  void UnhookTable();
  void FillSampleTable();
  // A setter's change: rebuild now, or after the suppression ends.
  void PropertyChanged();
  // Recompute, captions, items; ends with painting allowed and one repaint.
  void Rebuild();
  // Captions, items, label places and looks from the current statistics; the caller
  // suppresses painting.
  void BuildItems();
  void NameColumns();
  void StyleLabels();

  struct TableLink;

  TBoxPlotOrientation FOrientation = bpltVertical;
  double FBoxWidth = 0.5;
  TBoxPlotGridStyle FBpGridStyle = bpgsNone;
  TColor FColorBody = 0xE9E9E9;
  TColor FColorLines = 0;
  TColor FColorMedian = 0;
  TColor FColorMean = 0xFF0000;
  TColor FColor90Perc = 0xFF0000;
  TColor FColorMinMax = 0;
  bool FShowMinMax = true;
  bool FShowMedian = true;
  bool FShowMean = true;
  bool FShow90Perc = false;
  Byte FSymbolMin = 26;
  Byte FSymbolMax = 26;
  Byte FSymbolMean = 5;
  Byte FSymbolMedian = 0;
  Byte FSymbol90Perc = 0;
  std::unique_ptr<TBoxPlotLabel> FLabels;

  std::unique_ptr<TDataTable> FOwnTable;
  TDataTable* FExtTable = nullptr;
  std::weak_ptr<const void> FExtLife;
  bool FExtMatAssigned = false;

  // Statistics, one entry per column.
  TVector FMinis;
  TVector FMaxis;
  TMatrix FQuarts;        // NC x 3: lower quartile, median, upper quartile
  TMatrix F90Percentils;  // NC x 2: 10 %, 90 %
  TVector FMeans;
  std::vector<Integer> FNumCells;

  // Something changed while painting was suppressed.
  bool FStatsStale = true;
  bool FItemsStale = true;
};

// Records TBoxPlot on the palette page "KVR".
namespace Kvr_boxplot {
void Register();
}

}  // namespace kvr
