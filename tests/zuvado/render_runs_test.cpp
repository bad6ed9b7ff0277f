// The repaint shortcuts for dense data (line runs taken without the per-item dispatch,
// repeated marks skipped) give the pixels of the plain item-by-item drawing. A chart
// with an OnBeforeRendezUvadoItem handler that changes nothing draws every item the
// plain way and serves as the reference.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "render_util.h"

namespace kvr {
namespace {

using test::RenderChart;

struct Pair {
  RenderChart fast, plain;
  Pair() {
    plain.OnBeforeRendezUvadoItem = [](TObject*, TrcChartItem&, Integer, bool) {};
    for (RenderChart* c : {&fast, &plain}) c->SetSuppressPaint(true);
  }
  template <class F>
  void both(F f) {
    f(fast);
    f(plain);
  }
  int differing() {
    both([](RenderChart& c) {
      c.SetSuppressPaint(false);
      c.Repaint();
    });
    int d = 0;
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 400; ++x) {
        if (fast.Ctl(x, y) != plain.Ctl(x, y) && d < 10)
          ADD_FAILURE() << x << "," << y << " " << std::hex << fast.Ctl(x, y) << " " << plain.Ctl(x, y);
        d += fast.Ctl(x, y) != plain.Ctl(x, y);
      }
    return d;
  }
};

TEST(ZuRenderRuns, LineRunsBreakAtEveryAttributeTheItemsCarry) {
  Pair p;
  p.both([&](RenderChart& c) {
    std::mt19937 r(5);
    std::uniform_real_distribution<double> j(-40, 40);
    c.SetClassVisible(3, false);
    c.SetLayerVisible(2, true);
    c.MoveTo(0.0, 120.0);
    for (int i = 0; i < 6000; ++i) {
      const int seg = i / 500;
      c.SetDataColor(seg % 3 == 0 ? 0x0000C0 : 0x008000);
      c.SetClassDefault(seg == 4 ? 3 : 0);    // an invisible stretch
      c.SetActiveLayer(seg == 7 ? 2 : 1);
      c.SetPenStyle(seg == 9 ? psDash : psSolid);
      c.SetLineWidth(seg == 10 ? 3 : 1);
      const double x = 5 + i * 0.05;         // about 20 points per pixel column
      c.DrawTo(x, 126 + j(r) * std::sin(i * 0.01));
      if (i % 1000 == 999) c.DrawToRelPix(2, -7);
      if (i % 1500 == 1499) c.MoveTo(x, 60.0);
    }
    c.SetAnnoMode(true);
    c.MoveTo(10, 10);
    c.DrawTo(300, 200);
    c.DrawTo(300.0, 20.0);  // world point in the annotations
  });
  EXPECT_EQ(p.differing(), 0);
  EXPECT_GT(p.fast.CountArea(0x008000), 500);
}

TEST(ZuRenderRuns, RepeatedMarksSkippedOnlyWhereThePixelsCannotChange) {
  Pair p;
  p.both([](RenderChart& c) {
    std::mt19937 r(9);
    std::uniform_int_distribution<int> cell(0, 30);
    const Byte types[] = {0, 3, 8, 10, 11, 12, 13, 17, 30, 65};
    for (int i = 0; i < 20000; ++i) {
      // Few distinct places, so most marks land where one went before.
      const double x = 20 + 9 * cell(r), y = 20 + 7 * cell(r);
      const int phase = (i / 700) % 10;
      c.SetDataColor(phase % 2 ? 0xC00000 : 0x00A0A0);
      if (phase == 6) c.SetLineWidth(2);
      if (phase == 7) c.SetLineWidth(1);
      c.MarkAt(x, y, types[phase]);
      if (i % 3000 == 2999) c.Line(0.0, 0.0, 340.0, 252.0);  // drawn over, then marked again
      // Lines from where the last mark left the pen, drawn or skipped.
      if (i % 500 == 499) c.DrawToRelPix(17, -9);
      if (i % 1100 == 1099) c.MarkAt(500.0, y, types[phase]);  // out of range
    }
    // A brush-filled mark whose fill differs from its pen (a record written directly)
    // keeps two colours: the later stamp restores the outline the neighbour covered.
    c.SetDataColor(0x0000FF);
    for (int k = 0; k < 3; ++k) {
      c.MarkAt(100.0, 100.0, 11);
      TrcChartItem it = c.GetChartItem(c.NumItems() - 1);
      it.FillColor = 0x00FF00;
      c.SetChartItem(c.NumItems() - 1, it);
      c.MarkAt(103.0 + k % 2, 100.0, 11);
      it = c.GetChartItem(c.NumItems() - 1);
      it.FillColor = 0x00FF00;
      c.SetChartItem(c.NumItems() - 1, it);
    }
    // The same single-coloured mark on both sides of another colour's mark.
    c.SetDataColor(0x800080);
    c.MarkAt(200.0, 200.0, 12);
    c.SetDataColor(0x008000);
    c.MarkAt(202.0, 200.0, 12);
    c.SetDataColor(0x800080);
    c.MarkAt(200.0, 200.0, 12);
  });
  EXPECT_EQ(p.differing(), 0);
  EXPECT_EQ(p.fast.Area(198, 252 - 200), 0x800080);
  // Stamps of the first paint must not hide the marks of the second.
  p.fast.Repaint();
  EXPECT_EQ(p.differing(), 0);
}

}  // namespace
}  // namespace kvr
