// Statistics per column, the items built from them in both orientations, the column
// labels, orientation changes, AutoRange and the property clamps.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "bp_test_util.h"
#include "tests/pdf_tools.h"
#include "tests/test_out.h"

using namespace kvr;
using kvr::test::BoxItems;
using kvr::test::CountingPlot;
using kvr::test::FillThreeColumns;
using kvr::test::Items;

namespace {

class BoxPlotItems : public ::testing::Test {
 protected:
  void SetUp() override {
    FillThreeColumns(table);
    bp.SetBounds(0, 0, 400, 300);
    bp.CreateWnd();
    bp.AssignAnotherDataTable(&table);
  }
  TDataTable table;
  TBoxPlot bp{nullptr};
};

TEST(BoxPlotNew, DefaultsAndTheSampleBox) {
  TBoxPlot bp(nullptr);
  EXPECT_EQ(bp.Caption(), "BoxPlot");
  EXPECT_EQ(bp.MarginBottom(), 24);
  EXPECT_FALSE(bp.Scale1X()->Visible());
  EXPECT_TRUE(bp.Scale1Y()->Visible());
  EXPECT_EQ(bp.Orientation(), bpltVertical);
  EXPECT_EQ(bp.Scale1X()->RangeLow(), 0);
  EXPECT_EQ(bp.Scale1X()->RangeHigh(), 2);
  EXPECT_EQ(bp.Scale1Y()->RangeLow(), -1);
  EXPECT_EQ(bp.Scale1Y()->RangeHigh(), 1);
  EXPECT_EQ(bp.BoxWidth(), 0.5);
  EXPECT_EQ(bp.ColorBody(), 0xE9E9E9);
  EXPECT_EQ(bp.ColorMean(), 0xFF0000);
  EXPECT_EQ(bp.SymbolMin(), 26);
  EXPECT_EQ(bp.SymbolMean(), 5);
  EXPECT_EQ(bp.SymbolMedian(), 0);
  EXPECT_FALSE(bp.Show90Perc());
  EXPECT_EQ(bp.Labels()->Position(), 8);
  EXPECT_EQ(bp.Labels()->ColorBkg(), 0xC0C0C0);
  EXPECT_EQ(bp.Labels()->ShadowDy(), 2);
  EXPECT_FALSE(bp.ExtMatAssigned());
  ASSERT_EQ(bp.DataTable()->NrOfColumns(), 1);
  ASSERT_EQ(bp.DataTable()->NrOfRows(), 100);
  EXPECT_EQ(bp.DataTable()->CountNumCells(1, 1, 1, 100), 100);
  // Painting and building wait for the window.
  EXPECT_EQ(bp.NumItems(), 0);
  bp.SetBounds(0, 0, 300, 200);
  bp.CreateWnd();
  // Two whiskers, two extreme marks, the box, the median bar and the mean mark.
  EXPECT_EQ(bp.NumItems(), 7);
  EXPECT_EQ(bp.GetItemCount(tkRect), 1);
  EXPECT_EQ(bp.TextLabels(1)->Caption(), "Col1");
  EXPECT_TRUE(bp.TextLabels(1)->Visible());
  EXPECT_FALSE(bp.TextLabels(2)->Visible());
  const TBoxStats s = bp.BoxStats(1);
  EXPECT_EQ(s.NumCells, 100);
  // 100 standard normal values: a sanity band, not an exact value.
  EXPECT_LT(std::fabs(s.Median), 0.5);
  EXPECT_GT(s.Q3 - s.Q1, 0.8);
  EXPECT_LT(s.Q3 - s.Q1, 1.9);
}

TEST_F(BoxPlotItems, StatisticsPerColumnAgainstHandValues) {
  const TBoxStats a = bp.BoxStats(1);
  EXPECT_EQ(a.NumCells, 6);
  EXPECT_DOUBLE_EQ(a.Min, 0);
  EXPECT_DOUBLE_EQ(a.Max, 50);
  EXPECT_DOUBLE_EQ(a.Q1, 12.5);
  EXPECT_DOUBLE_EQ(a.Median, 25);
  EXPECT_DOUBLE_EQ(a.Q3, 37.5);
  EXPECT_DOUBLE_EQ(a.P10, 5);
  EXPECT_DOUBLE_EQ(a.P90, 45);
  EXPECT_DOUBLE_EQ(a.Mean, 25);
  const TBoxStats b = bp.BoxStats(2);
  EXPECT_EQ(b.NumCells, 4);
  EXPECT_DOUBLE_EQ(b.Min, 1);
  EXPECT_DOUBLE_EQ(b.Max, 8);
  EXPECT_DOUBLE_EQ(b.Q1, 1.75);
  EXPECT_DOUBLE_EQ(b.Median, 2.5);
  EXPECT_DOUBLE_EQ(b.Q3, 4.25);
  EXPECT_DOUBLE_EQ(b.P10, 1.3);
  EXPECT_DOUBLE_EQ(b.P90, 6.5);
  EXPECT_DOUBLE_EQ(b.Mean, 3.5);
  EXPECT_EQ(bp.BoxStats(3).NumCells, 0);
  EXPECT_EQ(bp.BoxStats(4).NumCells, 0);
  EXPECT_EQ(bp.BoxStats(0).NumCells, 0);

  // A column that loses its numbers keeps its old extremes but no longer counts.
  table.SetElem(1, 1, "gone");
  table.BeginUpdate();
  for (int r = 2; r <= 6; ++r) table.ClearElem(1, r);
  table.EndUpdate();
  EXPECT_EQ(bp.BoxStats(1).NumCells, 0);
  EXPECT_DOUBLE_EQ(bp.BoxStats(1).Max, 50);
}

TEST_F(BoxPlotItems, DefaultItemsOfOneVerticalBox) {
  const auto box = BoxItems(bp, 1, true);
  ASSERT_EQ(box.size(), 7u);
  const TrcItem kinds[7] = {tkLine, tkLine, tkMarkAt, tkMarkAt, tkRect, tkLine, tkMarkAt};
  for (size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(box[i].ItemKind, kinds[i]) << i;
    EXPECT_EQ(box[i].Layer, 1) << i;
  }
  // Whiskers from the quartiles out to the extremes.
  EXPECT_EQ(box[0].x, 1);
  EXPECT_EQ(box[0].x2, 1);
  EXPECT_EQ(box[0].y, 12.5);
  EXPECT_EQ(box[0].y2, 0);
  EXPECT_EQ(box[1].y, 37.5);
  EXPECT_EQ(box[1].y2, 50);
  EXPECT_EQ(box[2].y, 0);
  EXPECT_EQ(box[2].Param3, 26);
  EXPECT_EQ(box[3].y, 50);
  // The box: quartiles by the box width around the column.
  EXPECT_EQ(box[4].x, 0.75);
  EXPECT_EQ(box[4].x2, 1.25);
  EXPECT_EQ(box[4].y, 12.5);
  EXPECT_EQ(box[4].y2, 37.5);
  EXPECT_EQ(box[4].FillColor, 0xE9E9E9);
  EXPECT_EQ(box[4].Color, 0);
  // Median as a bar across the full box, mean as mark 5 in blue.
  EXPECT_EQ(box[5].x, 0.75);
  EXPECT_EQ(box[5].x2, 1.25);
  EXPECT_EQ(box[5].y, 25);
  EXPECT_EQ(box[5].y2, 25);
  EXPECT_EQ(box[6].y, 25);
  EXPECT_EQ(box[6].Param3, 5);
  EXPECT_EQ(box[6].Color, 0xFF0000);
  // The text-only column gets nothing; the table has three columns, two boxes.
  EXPECT_TRUE(BoxItems(bp, 3, true).empty());
  EXPECT_EQ(bp.GetItemCount(tkRect), 2);
}

TEST_F(BoxPlotItems, OptionsChangeKindsColoursAndPositions) {
  bp.SetShow90Perc(true);
  bp.SetColor90Perc(0x00FF00);
  bp.SetSymbolMean(0);
  bp.SetSymbolMedian(7);
  bp.SetShowMinMax(false);
  bp.SetColorMinMax(0x123456);
  auto box = BoxItems(bp, 2, true);
  // Whiskers, box, two percentile bars, median mark, mean bar.
  ASSERT_EQ(box.size(), 7u);
  EXPECT_EQ(box[0].Color, 0x123456);
  EXPECT_EQ(box[2].ItemKind, tkRect);
  for (int k = 3; k <= 4; ++k) {
    EXPECT_EQ(box[k].ItemKind, tkLine);
    EXPECT_EQ(box[k].x, 1.875);  // a quarter of the box width each side
    EXPECT_EQ(box[k].x2, 2.125);
    EXPECT_EQ(box[k].Color, 0x00FF00);
  }
  EXPECT_DOUBLE_EQ(box[3].y, 1.3);
  EXPECT_DOUBLE_EQ(box[4].y, 6.5);
  EXPECT_EQ(box[5].ItemKind, tkMarkAt);
  EXPECT_EQ(box[5].Param3, 7);
  EXPECT_EQ(box[5].y, 2.5);
  EXPECT_EQ(box[6].ItemKind, tkLine);
  EXPECT_EQ(box[6].y, 3.5);
  EXPECT_EQ(box[6].x2 - box[6].x, 0.5);

  bp.SetSymbol90Perc(3);
  bp.SetShowMedian(false);
  bp.SetShowMean(false);
  box = BoxItems(bp, 2, true);
  ASSERT_EQ(box.size(), 5u);
  EXPECT_EQ(box[3].ItemKind, tkMarkAt);
  EXPECT_EQ(box[3].x, 2);
  EXPECT_DOUBLE_EQ(box[3].y, 1.3);
  EXPECT_EQ(box[4].Param3, 3);
}

TEST_F(BoxPlotItems, HorizontalPutsValuesOnX) {
  bp.SetOrientation(bpltHorizontal);
  const auto box = BoxItems(bp, 1, false);
  ASSERT_EQ(box.size(), 7u);
  EXPECT_EQ(box[0].y, 1);
  EXPECT_EQ(box[0].x, 12.5);
  EXPECT_EQ(box[0].x2, 0);
  EXPECT_EQ(box[4].ItemKind, tkRect);
  EXPECT_EQ(box[4].x, 12.5);
  EXPECT_EQ(box[4].x2, 37.5);
  EXPECT_EQ(box[4].y, 0.75);
  EXPECT_EQ(box[4].y2, 1.25);
  EXPECT_EQ(box[5].x, 25);
  EXPECT_EQ(box[5].y, 0.75);
  EXPECT_EQ(box[5].y2, 1.25);
  EXPECT_TRUE(BoxItems(bp, 3, false).empty());
  EXPECT_EQ(bp.GetItemCount(tkRect), 2);
}

TEST_F(BoxPlotItems, OnBeforeBoxDrawColoursOnlyItsColumn) {
  std::vector<Integer> seen;
  bp.OnBeforeBoxDraw = [&](TObject*, Integer Column, TColor& Lines, TColor& Body, TColor&,
                           TColor&, TColor&, TColor&) {
    seen.push_back(Column);
    if (Column == 2) {
      Body = 0x0000FF;
      Lines = 0x000080;
    }
  };
  bp.Update();
  EXPECT_EQ(seen, (std::vector<Integer>{1, 2}));  // never for the text column
  EXPECT_EQ(BoxItems(bp, 1, true)[4].FillColor, 0xE9E9E9);
  EXPECT_EQ(BoxItems(bp, 2, true)[4].FillColor, 0x0000FF);
  EXPECT_EQ(BoxItems(bp, 2, true)[4].Color, 0x000080);
  EXPECT_EQ(bp.ColorBody(), 0xE9E9E9);  // the property is not touched

  // On the screen: box 2 is red, box 1 light grey.
  bp.SetRange(0, -5, 4, 55);
  bp.ShowGraf();
  Integer x = 0, y = 0;
  bp.R2M(1, 2.2, 3.0, x, y);
  EXPECT_EQ(bp.Surface()->Canvas()->Pixels(x, y), 0x0000FF);
  bp.R2M(1, 1.2, 20.0, x, y);
  EXPECT_EQ(bp.Surface()->Canvas()->Pixels(x, y), 0xE9E9E9);
}

TEST_F(BoxPlotItems, ItemsGoToLayerOneDataWhateverIsSwitchedOn) {
  bp.SetActiveLayer(2);
  bp.SetAnnoMode(true);
  bp.Update();
  EXPECT_EQ(bp.NumAnnos(), 0);
  EXPECT_EQ(bp.NumItems(), 14);
  for (const TrcChartItem& it : Items(bp)) EXPECT_EQ(it.Layer, 1);
  EXPECT_EQ(bp.ActiveLayer(), 2);
  EXPECT_TRUE(bp.AnnoMode());
}

TEST_F(BoxPlotItems, LabelsNameColumnsOnEitherSideInBothOrientations) {
  ASSERT_EQ(bp.Height(), 300);
  for (int c = 1; c <= 3; ++c) {
    const TTextLabel& L = *bp.TextLabels(c);
    EXPECT_TRUE(L.Visible());
    EXPECT_EQ(L.Mode(), tlSimple);
    EXPECT_EQ(L.AttachToData(), tamXOnly);
    EXPECT_EQ(L.PosX(), c);
    EXPECT_EQ(L.PosY(), 300 - 8 - 24);
    EXPECT_EQ(L.VerticalAlignment(), vaBottom);
    EXPECT_EQ(L.Alignment(), taCenter);
  }
  EXPECT_EQ(bp.TextLabels(2)->Caption(), "Beta");
  EXPECT_EQ(bp.TextLabels(3)->Caption(), "Gamma");  // no box, still named
  EXPECT_FALSE(bp.TextLabels(4)->Visible());

  bp.Labels()->SetPosition(-5);
  EXPECT_EQ(bp.TextLabels(1)->PosY(), bp.MarginTop() + 5);
  EXPECT_EQ(bp.TextLabels(1)->VerticalAlignment(), vaTop);

  bp.SetOrientation(bpltHorizontal);
  const TTextLabel& L = *bp.TextLabels(3);
  EXPECT_EQ(L.AttachToData(), tamYOnly);
  EXPECT_EQ(L.PosY(), 3);
  EXPECT_EQ(L.PosX(), bp.MarginLeft() + 5);
  EXPECT_EQ(L.Alignment(), taLeftJustify);
  EXPECT_EQ(L.VerticalAlignment(), vaCenter);
  EXPECT_TRUE(L.Visible());
  bp.Labels()->SetPosition(10);
  EXPECT_EQ(L.PosX(), 400 - 10 - bp.MarginRight());
  EXPECT_EQ(L.Alignment(), taRightJustify);
  // Resizing moves the labels with the border.
  bp.SetBounds(0, 0, 500, 300);
  EXPECT_EQ(L.PosX(), 500 - 10 - bp.MarginRight());

  // The template's look reaches the labels; hex codes in names are expanded.
  bp.Labels()->SetColorBkg(0x00FFFF);
  bp.Labels()->SetMode(tlShadow);
  bp.Labels()->Font()->SetSize(11);
  table.SetColName(1, "T \\xB0C");
  EXPECT_EQ(bp.TextLabels(1)->Caption(), "T \xC2\xB0" "C");
  EXPECT_EQ(bp.TextLabels(2)->ColorBkg(), 0x00FFFF);
  EXPECT_EQ(bp.TextLabels(2)->Mode(), tlShadow);
  EXPECT_EQ(bp.TextLabels(2)->Font()->Size(), 11);
  bp.Labels()->SetVisible(false);
  EXPECT_FALSE(bp.TextLabels(1)->Visible());
}

TEST(BoxPlotWide, ThirtyFiveColumnsThirtyLabels) {
  TDataTable t(35, 4);
  t.BeginUpdate();
  for (int c = 1; c <= 35; ++c)
    for (int r = 1; r <= 4; ++r) t.SetElem(c, r, c + r * 0.1);
  t.EndUpdate();
  TBoxPlot bp(nullptr);
  bp.SetBounds(0, 0, 900, 300);
  bp.CreateWnd();
  bp.AssignAnotherDataTable(&t);
  EXPECT_EQ(bp.GetItemCount(tkRect), 35);
  for (int c = 1; c <= 30; ++c) {
    EXPECT_TRUE(bp.TextLabels(c)->Visible()) << c;
    EXPECT_EQ(bp.TextLabels(c)->PosX(), c);
    EXPECT_EQ(bp.TextLabels(c)->Caption(), "Col" + std::to_string(c));
  }
  EXPECT_THROW(bp.TextLabels(31), Exception);
  // Fewer columns again: the labels left over are hidden.
  t.Resize(2, 4);
  EXPECT_EQ(bp.GetItemCount(tkRect), 2);
  EXPECT_TRUE(bp.TextLabels(2)->Visible());
  EXPECT_FALSE(bp.TextLabels(3)->Visible());
  EXPECT_FALSE(bp.TextLabels(30)->Visible());
}

TEST_F(BoxPlotItems, OrientationRoundTripRestoresRangesAndAxes) {
  bp.SetRange(0.5, -3, 3.5, 60);
  CountingPlot probe;
  bp.SetOrientation(bpltHorizontal);
  EXPECT_EQ(bp.Scale1X()->RangeLow(), -3);
  EXPECT_EQ(bp.Scale1X()->RangeHigh(), 60);
  EXPECT_EQ(bp.Scale1Y()->RangeLow(), 0.5);
  EXPECT_EQ(bp.Scale1Y()->RangeHigh(), 3.5);
  EXPECT_TRUE(bp.Scale1X()->Visible());
  EXPECT_FALSE(bp.Scale1Y()->Visible());
  bp.SetOrientation(bpltHorizontal);  // unchanged: nothing happens
  EXPECT_EQ(bp.Scale1X()->RangeLow(), -3);
  bp.SetOrientation(bpltVertical);
  EXPECT_EQ(bp.Scale1X()->RangeLow(), 0.5);
  EXPECT_EQ(bp.Scale1X()->RangeHigh(), 3.5);
  EXPECT_EQ(bp.Scale1Y()->RangeLow(), -3);
  EXPECT_EQ(bp.Scale1Y()->RangeHigh(), 60);
  EXPECT_FALSE(bp.Scale1X()->Visible());
  EXPECT_TRUE(bp.Scale1Y()->Visible());

  probe.SetBounds(0, 0, 300, 200);
  probe.CreateWnd();
  probe.paints = 0;
  probe.SetOrientation(bpltHorizontal);
  EXPECT_EQ(probe.paints, 1);
}

TEST_F(BoxPlotItems, AutoRangeOnValuesAndColumns) {
  // Column 1 spans 0..50, column 2 lies inside it.
  bp.AutoRange(10);
  EXPECT_DOUBLE_EQ(bp.Scale1Y()->RangeLow(), -5);
  EXPECT_DOUBLE_EQ(bp.Scale1Y()->RangeHigh(), 55);
  EXPECT_EQ(bp.Scale1X()->RangeLow(), 0);
  EXPECT_EQ(bp.Scale1X()->RangeHigh(), 4);
  bp.SetOrientation(bpltHorizontal);
  bp.AutoRange(10);
  EXPECT_DOUBLE_EQ(bp.Scale1X()->RangeLow(), -5);
  EXPECT_DOUBLE_EQ(bp.Scale1X()->RangeHigh(), 55);
  EXPECT_EQ(bp.Scale1Y()->RangeLow(), 0);
  EXPECT_EQ(bp.Scale1Y()->RangeHigh(), 4);
}

TEST_F(BoxPlotItems, AutoRangeIgnoresColumnsWithoutNumbers) {
  // Column 1 held 0..50 and now holds text, column 3 never had a number: neither the
  // stale nor the never-set extremes may count.
  table.BeginUpdate();
  for (int r = 1; r <= 6; ++r) table.SetElem(1, r, "t");
  table.EndUpdate();
  ASSERT_EQ(bp.BoxStats(1).Max, 50);
  ASSERT_EQ(bp.BoxStats(3).Min, 0);
  bp.AutoRange(0);
  EXPECT_DOUBLE_EQ(bp.Scale1Y()->RangeLow(), 1);
  EXPECT_DOUBLE_EQ(bp.Scale1Y()->RangeHigh(), 8);
  // A new table whose columns never had numbers leaves the value axis alone.
  TDataTable texts(2, 2);
  texts.SetElem(1, 1, "a");
  bp.AssignAnotherDataTable(&texts);
  bp.AutoRange(10);
  EXPECT_DOUBLE_EQ(bp.Scale1Y()->RangeLow(), 1);
  EXPECT_DOUBLE_EQ(bp.Scale1Y()->RangeHigh(), 8);
  EXPECT_EQ(bp.Scale1X()->RangeHigh(), 3);
  EXPECT_EQ(bp.NumItems(), 0);
  // One value everywhere still gives a range that shows it.
  texts.SetElem(2, 2, 1000.0);
  bp.AutoRange(10);
  EXPECT_LT(bp.Scale1Y()->RangeLow(), 1000);
  EXPECT_GT(bp.Scale1Y()->RangeHigh(), 1000);
}

TEST_F(BoxPlotItems, SetterClampsAndRefusals) {
  bp.SetBoxWidth(1.5);
  EXPECT_EQ(bp.BoxWidth(), 1.0);
  EXPECT_EQ(Items(bp)[4].x, 0.5);  // the first box's rectangle
  bp.SetBoxWidth(-1);
  EXPECT_EQ(bp.BoxWidth(), 0.0);
  bp.SetBoxWidth(std::nan(""));
  EXPECT_EQ(bp.BoxWidth(), 0.0);
  bp.SetSymbolMean(60);
  EXPECT_EQ(bp.SymbolMean(), 5);
  bp.SetSymbolMean(52);
  EXPECT_EQ(bp.SymbolMean(), 5);
  bp.SetSymbolMean(51);
  EXPECT_EQ(bp.SymbolMean(), 51);
  bp.SetSymbolMin(200);
  bp.SetSymbolMax(52);
  bp.SetSymbol90Perc(99);
  EXPECT_EQ(bp.SymbolMin(), 26);
  EXPECT_EQ(bp.SymbolMax(), 26);
  EXPECT_EQ(bp.Symbol90Perc(), 0);
  bp.SetGridStyle(TBoxPlotGridStyle(7));
  EXPECT_EQ(bp.GridStyle(), bpgsNone);
  bp.SetOrientation(TBoxPlotOrientation(5));
  EXPECT_EQ(bp.Orientation(), bpltVertical);
}

TEST_F(BoxPlotItems, GridStyleFollowsOrientation) {
  bp.SetGridStyle(bpgsLines);
  EXPECT_EQ(bp.TCustomZUvado::GridStyle(), gsHorizLines);
  bp.SetGridStyle(bpgsDotLines);
  EXPECT_EQ(bp.TCustomZUvado::GridStyle(), gsHorizDotLines);
  bp.SetOrientation(bpltHorizontal);
  EXPECT_EQ(bp.TCustomZUvado::GridStyle(), gsVertDotLines);
  bp.SetGridStyle(bpgsLines);
  EXPECT_EQ(bp.TCustomZUvado::GridStyle(), gsVertLines);
  bp.SetGridStyle(bpgsNone);
  EXPECT_EQ(bp.TCustomZUvado::GridStyle(), gsNone);
}

// The boxes as a PDF: a valid one-page file.
TEST_F(BoxPlotItems, PdfOutputIsAValidFile) {
  const std::string file = test_out_file("boxes.pdf", "boxplot");
  bp.CopyToPDF(file, false);
  const std::string bytes = kvr::test::read_bytes(file);
  EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
  EXPECT_NE(bytes.find("%%EOF"), std::string::npos);
  if (kvr::test::have_poppler()) {
    EXPECT_NE(kvr::test::pdf_info(file).find("Pages:           1"), std::string::npos);
  }
}

}  // namespace
