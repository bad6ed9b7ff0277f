// The items and labels of a box plot, built from the statistics.
#include <algorithm>

#include "boxplot/boxplot.h"
#include "platform/stringl.h"

namespace kvr {

namespace {

GridStyleType chart_grid(TBoxPlotGridStyle s, bool vertical) {
  switch (s) {
    case bpgsLines: return vertical ? gsHorizLines : gsVertLines;
    case bpgsDotLines: return vertical ? gsHorizDotLines : gsVertDotLines;
    default: return gsNone;
  }
}

}  // namespace

void TBoxPlot::NameColumns() {
  const TDataTable& T = Table();
  const Integer n = std::min(T.NrOfColumns(), kNumTextLabels);
  for (Integer c = 1; c <= n; ++c) TextLabels(c)->SetCaption(ProcessHexChars(T.GetColName(c)));
}

void TBoxPlot::BuildItems() {
  NameColumns();
  ClearGraf();
  const bool vertical = FOrientation == bpltVertical;
  TCustomZUvado::SetGridStyle(chart_grid(FBpGridStyle, vertical));

  // The boxes are data items on layer 1 whatever the application left switched on.
  const bool annoMode = AnnoMode();
  const Integer layer = ActiveLayer();
  if (annoMode) SetAnnoMode(false);
  SetActiveLayer(1);

  // (pos, v): column position and value, whichever axis each lies on.
  const auto line = [&](double p1, double v1, double p2, double v2) {
    if (vertical)
      Line(p1, v1, p2, v2);
    else
      Line(v1, p1, v2, p2);
  };
  const auto mark = [&](double p, double v, Byte mk) {
    if (vertical)
      MarkAt(p, v, mk);
    else
      MarkAt(v, p, mk);
  };

  const double w = FBoxWidth;
  const Integer NC = std::min(Table().NrOfColumns(), static_cast<Integer>(FNumCells.size()));
  for (Integer c = 1; c <= NC; ++c) {
    if (FNumCells[static_cast<size_t>(c - 1)] == 0) continue;
    const double pos = c;
    const double mn = FMinis.GetVal(c), mx = FMaxis.GetVal(c);
    const double q1 = FQuarts.GetVal(c, 1), q2 = FQuarts.GetVal(c, 2), q3 = FQuarts.GetVal(c, 3);
    TColor colLines = FColorLines, colBody = FColorBody, colMinMax = FColorMinMax;
    TColor col90 = FColor90Perc, colMean = FColorMean, colMedian = FColorMedian;
    if (OnBeforeBoxDraw) OnBeforeBoxDraw(this, c, colLines, colBody, colMinMax, col90, colMean, colMedian);

    SetDataColor(colMinMax);
    line(pos, q1, pos, mn);
    line(pos, q3, pos, mx);
    if (FShowMinMax) {
      mark(pos, mn, FSymbolMin);
      mark(pos, mx, FSymbolMax);
    }
    SetFillColor(colBody);
    SetDataColor(colLines);
    if (vertical)
      Rectangle(pos - w / 2, q1, pos + w / 2, q3);
    else
      Rectangle(q1, pos - w / 2, q3, pos + w / 2);
    if (FShow90Perc) {
      SetDataColor(col90);
      for (Integer k = 1; k <= 2; ++k) {
        const double v = F90Percentils.GetVal(c, k);
        if (FSymbol90Perc == 0)
          line(pos - w / 4, v, pos + w / 4, v);
        else
          mark(pos, v, FSymbol90Perc);
      }
    }
    if (FShowMedian) {
      SetDataColor(colMedian);
      if (FSymbolMedian == 0)
        line(pos - w / 2, q2, pos + w / 2, q2);
      else
        mark(pos, q2, FSymbolMedian);
    }
    if (FShowMean) {
      const double mean = FMeans.GetVal(c);
      SetDataColor(colMean);
      if (FSymbolMean == 0)
        line(pos - w / 2, mean, pos + w / 2, mean);
      else
        mark(pos, mean, FSymbolMean);
    }
  }
  SetActiveLayer(layer);
  if (annoMode) SetAnnoMode(true);

  PlaceLabels();
  StyleLabels();
  FItemsStale = false;
}

void TBoxPlot::PlaceLabels() {
  const Integer n = std::min(Table().NrOfColumns(), kNumTextLabels);
  const Integer P = FLabels->Position();
  const bool vertical = FOrientation == bpltVertical;
  for (Integer c = 1; c <= n; ++c) {
    TTextLabel& L = *TextLabels(c);
    L.SetLayer(1);
    if (vertical) {
      L.SetAttachToData(tamXOnly);
      L.SetAlignment(taCenter);
      if (P < 0) {
        L.SetPos(c, MarginTop() - P);
        L.SetVerticalAlignment(vaTop);
      } else {
        L.SetPos(c, Height() - P - MarginBottom());
        L.SetVerticalAlignment(vaBottom);
      }
    } else {
      L.SetAttachToData(tamYOnly);
      L.SetVerticalAlignment(vaCenter);
      if (P < 0) {
        L.SetPos(MarginLeft() - P, c);
        L.SetAlignment(taLeftJustify);
      } else {
        L.SetPos(Width() - P - MarginRight(), c);
        L.SetAlignment(taRightJustify);
      }
    }
  }
}

void TBoxPlot::StyleLabels() {
  const Integer n = std::min(Table().NrOfColumns(), kNumTextLabels);
  const TBoxPlotLabel& t = *FLabels;
  for (Integer c = 1; c <= kNumTextLabels; ++c) {
    TTextLabel& L = *TextLabels(c);
    if (c > n) {
      L.SetVisible(false);
      continue;
    }
    L.SetVisible(t.Visible());
    L.SetTransparent(t.Transparent());
    L.SetShadowDx(t.ShadowDx());
    L.SetShadowDy(t.ShadowDy());
    L.SetMode(t.Mode());
    L.SetFont(t.Font());
    L.SetColorBkg(t.ColorBkg());
    L.SetColorBorder(t.ColorBorder());
    L.SetColorShadow(t.ColorShadow());
  }
}

}  // namespace kvr
