#include "boxplot/boxplot.h"

#include <algorithm>
#include <cmath>

#include "platform/filewrite.h"
#include "platform/math1.h"
#include "platform/registry.h"
#include "platform/stringl.h"
#include "zuvado/chartfiles.h"

namespace kvr {

// TBoxPlotLabel

TBoxPlotLabel::TBoxPlotLabel() {
  SetColorBkg(0xC0C0C0);
  SetColorBorder(0);
  SetColorShadow(0x808080);
  SetShadowDx(3);
  SetShadowDy(2);
  SetTransparent(false);
  Font()->SetColor(clBlack);
  // A label in mode 0 counts as unused and is never drawn.
  SetMode(tlSimple);
  SetVisible(true);
}

void TBoxPlotLabel::SetPosition(Integer v) {
  if (v == FPosition) return;
  FPosition = v;
  Changed();
}

void TBoxPlotLabel::AssignSettings(const TCustomTextLabel& Source) {
  TCustomTextLabel::AssignSettings(Source);
  if (auto* s = dynamic_cast<const TBoxPlotLabel*>(&Source)) FPosition = s->FPosition;
}

// TBoxPlot

// The table's change handler. A named type, so that the plot can recognise its own
// handler and leave one that another plot installed since.
struct TBoxPlot::TableLink {
  TBoxPlot* Plot;
  void operator()(TObject* Sender) const { Plot->DataChanged(Sender); }
};

TBoxPlot::TBoxPlot(TComponent* AOwner)
    : TCustomZUvado(AOwner), FLabels(std::make_unique<TBoxPlotLabel>()) {
  FLabels->OnChange = [this](TObject* Sender) { DataChanged(Sender); };
  FOwnTable = std::make_unique<TDataTable>(1, 100);
  FillSampleTable();
  HookTable(*FOwnTable);
  SetCaption("BoxPlot");
  SetMarginBottom(24);
  Scale1X()->SetVisible(false);
  TCustomZUvado::SetRange(1, 0, -1, 2, 1);
  ClearZoomHistory();
}

TBoxPlot::~TBoxPlot() { UnhookTable(); }

void TBoxPlot::FillSampleTable() {
  FOwnTable->BeginUpdate();
  for (Integer r = 1; r <= FOwnTable->NrOfRows(); ++r) FOwnTable->SetElem(1, r, GRandom());
  FOwnTable->EndUpdate();
}

TDataTable& TBoxPlot::Table() const {
  if (FExtMatAssigned && !FExtLife.expired()) return *FExtTable;
  return *FOwnTable;
}

TDataTable* TBoxPlot::DataTable() const { return &Table(); }

void TBoxPlot::HookTable(TDataTable& T) { T.OnChange = TableLink{this}; }

void TBoxPlot::UnhookTable() {
  if (!FExtMatAssigned || FExtLife.expired()) return;
  const TableLink* link = FExtTable->OnChange.target<TableLink>();
  if (link && link->Plot == this) FExtTable->OnChange = nullptr;
}

void TBoxPlot::AssignAnotherDataTable(TDataTable* DTab) {
  UnhookTable();
  if (DTab && DTab != FOwnTable.get()) {
    // The sample data goes; an empty table stands in should DTab be destroyed first.
    FOwnTable = std::make_unique<TDataTable>();
    FExtTable = DTab;
    FExtLife = DTab->LifeToken();
    FExtMatAssigned = true;
    HookTable(*DTab);
  } else {
    // The plot's own table handed back stays (freeing it would leave the caller's
    // pointer dangling); nullptr brings back sample data.
    FExtTable = nullptr;
    FExtLife.reset();
    FExtMatAssigned = false;
    if (!DTab) {
      FOwnTable = std::make_unique<TDataTable>(1, 100);
      FillSampleTable();
    }
  }
  HookTable(*FOwnTable);
  FStatsStale = true;
  DataChanged(this);
}

void TBoxPlot::DataChanged(TObject* Sender) {
  (void)Sender;
  if (SuppressPaint()) {
    FStatsStale = true;
    FItemsStale = true;
    return;
  }
  Rebuild();
}

void TBoxPlot::Rebuild() {
  CommitChangedData();
  FItemsStale = true;
  SetSuppressPaint(false);
}

void TBoxPlot::SetSuppressPaint(bool Value) {
  if (Value || !(FStatsStale || FItemsStale)) {
    TCustomZUvado::SetSuppressPaint(Value);
    return;
  }
  if (FStatsStale) CommitChangedData();
  // Built under suppression, released once: one paint for the whole rebuild.
  TCustomZUvado::SetSuppressPaint(true);
  BuildItems();
  TCustomZUvado::SetSuppressPaint(false);
}

void TBoxPlot::CreateChart() {
  const bool saved = SuppressPaint();
  if (FStatsStale) CommitChangedData();
  TCustomZUvado::SetSuppressPaint(true);
  BuildItems();
  // Restored to off, the chart repaints once.
  TCustomZUvado::SetSuppressPaint(saved);
}

void TBoxPlot::PropertyChanged() {
  if (SuppressPaint())
    FItemsStale = true;
  else
    CreateChart();
}

void TBoxPlot::CommitChangedData() {
  const TDataTable& T = Table();
  const Integer NC = T.NrOfColumns(), NR = T.NrOfRows();
  FMinis.Resize(NC);
  FMaxis.Resize(NC);
  FQuarts.Resize(NC, 3);
  F90Percentils.Resize(NC, 2);
  FMeans.Resize(NC);
  FNumCells.assign(static_cast<size_t>(NC), 0);
  for (Integer c = 1; c <= NC; ++c) {
    double mn = 0, mx = 0;
    const Integer n = T.MinMaxOfNumCells(c, 1, c, NR, mn, mx);
    FNumCells[static_cast<size_t>(c - 1)] = n;
    // A column without numbers keeps what it had (AutoRange and the items skip it).
    if (n > 0) {
      FMinis.SetVal(c, mn);
      FMaxis.SetVal(c, mx);
    }
    double q1 = 0, q2 = 0, q3 = 0;
    T.QuartilesOfNumCells(c, 1, c, NR, q1, q2, q3);
    FQuarts.SetVal(c, 1, q1);
    FQuarts.SetVal(c, 2, q2);
    FQuarts.SetVal(c, 3, q3);
    F90Percentils.SetVal(c, 1, T.PercentileOfNumCells(10.0, c, 1, c, NR));
    F90Percentils.SetVal(c, 2, T.PercentileOfNumCells(90.0, c, 1, c, NR));
    double mean = 0, var = 0;
    T.MeanVarOfNumCells(c, 1, c, NR, mean, var);
    FMeans.SetVal(c, mean);
  }
  FStatsStale = false;
}

TBoxStats TBoxPlot::BoxStats(Integer Column) const {
  TBoxStats s;
  if (Column < 1 || Column > static_cast<Integer>(FNumCells.size())) return s;
  s.NumCells = FNumCells[static_cast<size_t>(Column - 1)];
  s.Min = FMinis.GetVal(Column);
  s.Max = FMaxis.GetVal(Column);
  s.Q1 = FQuarts.GetVal(Column, 1);
  s.Median = FQuarts.GetVal(Column, 2);
  s.Q3 = FQuarts.GetVal(Column, 3);
  s.P10 = F90Percentils.GetVal(Column, 1);
  s.P90 = F90Percentils.GetVal(Column, 2);
  s.Mean = FMeans.GetVal(Column);
  return s;
}

void TBoxPlot::CreateWnd() {
  TCustomZUvado::CreateWnd();
  FStatsStale = true;
  DataChanged(this);
}

void TBoxPlot::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  const bool saved = SuppressPaint();
  TCustomZUvado::SetSuppressPaint(true);
  TCustomZUvado::SetBounds(ALeft, ATop, AWidth, AHeight);
  PlaceLabels();
  SetSuppressPaint(saved);
}

void TBoxPlot::SetOrientation(TBoxPlotOrientation Value) {
  if (Value == FOrientation || (Value != bpltHorizontal && Value != bpltVertical)) return;
  FOrientation = Value;
  const bool saved = SuppressPaint();
  TCustomZUvado::SetSuppressPaint(true);
  const double xLo = Scale1X()->RangeLow(), xHi = Scale1X()->RangeHigh();
  const double yLo = Scale1Y()->RangeLow(), yHi = Scale1Y()->RangeHigh();
  TCustomZUvado::SetRange(1, yLo, xLo, yHi, xHi);
  Scale1X()->SetVisible(Value == bpltHorizontal);
  Scale1Y()->SetVisible(Value == bpltVertical);
  PlaceLabels();
  FItemsStale = true;
  FStatsStale = true;
  SetSuppressPaint(saved);
}

void TBoxPlot::AutoRange(double Margin) {
  CommitChangedData();
  const Integer NC = Table().NrOfColumns();
  bool any = false;
  double lo = 0, hi = 0;
  for (Integer c = 1; c <= NC; ++c) {
    // Stale or never set extremes of a column without numbers would widen the range.
    if (FNumCells[static_cast<size_t>(c - 1)] == 0) continue;
    const double mn = FMinis.GetVal(c), mx = FMaxis.GetVal(c);
    if (!any || mn < lo) lo = mn;
    if (!any || mx > hi) hi = mx;
    any = true;
  }
  const bool vertical = FOrientation == bpltVertical;
  long double vLo, vHi;
  if (any) {
    double d = std::fabs(hi - lo) * Margin / 100.0;
    // One value everywhere: the chart refuses an empty span and would keep a range that
    // may not even show the boxes.
    if (hi == lo) d = std::max(std::fabs(lo), 1.0) * 0.1;
    vLo = lo - d;
    vHi = hi + d;
  } else {
    vLo = vertical ? Scale1Y()->RangeLow() : Scale1X()->RangeLow();
    vHi = vertical ? Scale1Y()->RangeHigh() : Scale1X()->RangeHigh();
  }
  if (vertical)
    TCustomZUvado::SetRange(1, 0, vLo, NC + 1, vHi);
  else
    TCustomZUvado::SetRange(1, vLo, 0, vHi, NC + 1);
}

void TBoxPlot::SaveDataASC(const std::string& FName) {
  // Written and computed from the same state of the table.
  CommitChangedData();
  const TDataTable& T = Table();
  const Integer NC = T.NrOfColumns();
  std::string text = T.AsASCText(-2) + "\r\n" + MultiChar('-', 30) + " Box Parameters " +
                     MultiChar('-', 30) + "\r\n\r\n" + MultiChar(' ', 6);
  for (Integer c = 1; c <= NC; ++c)
    text += CenterString(AbbrevString(T.GetColName(c), 12), 12) + " ";
  text += "\r\n";
  const auto row = [&](const char* label, auto value) {
    text += label;
    for (Integer c = 1; c <= NC; ++c) text += strff(value(c), 12, -2) + " ";
    text += "\r\n";
  };
  row("Mean: ", [&](Integer c) { return FMeans.GetVal(c); });
  row(" Min: ", [&](Integer c) { return FMinis.GetVal(c); });
  row(" P10: ", [&](Integer c) { return F90Percentils.GetVal(c, 1); });
  row("  Q1: ", [&](Integer c) { return FQuarts.GetVal(c, 1); });
  row("  Q2: ", [&](Integer c) { return FQuarts.GetVal(c, 2); });
  row("  Q3: ", [&](Integer c) { return FQuarts.GetVal(c, 3); });
  row(" P90: ", [&](Integer c) { return F90Percentils.GetVal(c, 2); });
  row(" Max: ", [&](Integer c) { return FMaxis.GetVal(c); });
  detail::write_file<EInOutError>(FName, text);
}

// Setters

void TBoxPlot::SetBoxWidth(double v) {
  if (std::isnan(v)) return;
  v = std::clamp(v, 0.0, 1.0);
  if (v == FBoxWidth) return;
  FBoxWidth = v;
  PropertyChanged();
}

void TBoxPlot::SetGridStyle(TBoxPlotGridStyle v) {
  if (v == FBpGridStyle || v > bpgsDotLines) return;
  FBpGridStyle = v;
  PropertyChanged();
}

namespace {

template <typename T>
bool store(T& field, T v) {
  if (field == v) return false;
  field = v;
  return true;
}

}  // namespace

void TBoxPlot::SetColorBody(TColor v) {
  if (store(FColorBody, v)) PropertyChanged();
}
void TBoxPlot::SetColorLines(TColor v) {
  if (store(FColorLines, v)) PropertyChanged();
}
void TBoxPlot::SetColorMedian(TColor v) {
  if (store(FColorMedian, v)) PropertyChanged();
}
void TBoxPlot::SetColorMean(TColor v) {
  if (store(FColorMean, v)) PropertyChanged();
}
void TBoxPlot::SetColor90Perc(TColor v) {
  if (store(FColor90Perc, v)) PropertyChanged();
}
void TBoxPlot::SetColorMinMax(TColor v) {
  if (store(FColorMinMax, v)) PropertyChanged();
}
void TBoxPlot::SetShowMinMax(bool v) {
  if (store(FShowMinMax, v)) PropertyChanged();
}
void TBoxPlot::SetShowMedian(bool v) {
  if (store(FShowMedian, v)) PropertyChanged();
}
void TBoxPlot::SetShowMean(bool v) {
  if (store(FShowMean, v)) PropertyChanged();
}
void TBoxPlot::SetShow90Perc(bool v) {
  if (store(FShow90Perc, v)) PropertyChanged();
}

// Mark types 52 and above draw with the canvas font, which the plot does not set up.
constexpr Byte kSymbolLimit = 52;

void TBoxPlot::SetSymbolMin(Byte v) {
  if (v < kSymbolLimit && store(FSymbolMin, v)) PropertyChanged();
}
void TBoxPlot::SetSymbolMax(Byte v) {
  if (v < kSymbolLimit && store(FSymbolMax, v)) PropertyChanged();
}
void TBoxPlot::SetSymbolMean(Byte v) {
  if (v < kSymbolLimit && store(FSymbolMean, v)) PropertyChanged();
}
void TBoxPlot::SetSymbolMedian(Byte v) {
  if (v < kSymbolLimit && store(FSymbolMedian, v)) PropertyChanged();
}
void TBoxPlot::SetSymbol90Perc(Byte v) {
  if (v < kSymbolLimit && store(FSymbol90Perc, v)) PropertyChanged();
}

void TBoxPlot::SetLabels(const TBoxPlotLabel* v) {
  if (v && v != FLabels.get()) FLabels->Assign(v);
}

namespace Kvr_boxplot {
void Register() {
  RegisterComponents("KVR", {{"TBoxPlot", [](TComponent* o) -> TComponent* { return new TBoxPlot(o); }}});
}
}  // namespace Kvr_boxplot

}  // namespace kvr
