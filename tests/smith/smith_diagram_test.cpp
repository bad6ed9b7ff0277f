// The Smith diagram: its pixels on a raster surface, its label levels and label
// positions as drawn calls, and data items on top of it in Γ coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <cmath>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "smith/smithchart.h"
#include "zuvado/render_util.h"
#include "tests/pdf_tools.h"
#include "tests/test_out.h"

namespace {

using kvr::Integer;
using kvr::TColor;
using kvr::TPoint;
using kvr::TSmithChart;

constexpr TColor kLight = 0x00C000;
constexpr TColor kDark = 0xC00000;
constexpr TColor kFill = 0xF8E8E8;

// The table's label level of each row, in table order.
constexpr int kRowLevel[20] = {1, 3, 1, 3, 3, 1, 5, 2, 5, 5, 1, 3, 2, 1, 4, 3, 4, 4, 1, 1};

class DiagramChart : public TSmithChart {
 public:
  DiagramChart(Integer w, Integer h) : TSmithChart(nullptr) {
    SetBounds(0, 0, w, h);
    CreateWnd();
  }
  using TSmithChart::DiagramArc;
  using TSmithChart::InitGraf;
  TPoint Pix(double u, double v) const {
    TPoint p;
    R2M(1, u, v, p.X, p.Y);
    return p;
  }
  TColor At(TPoint p) { return Surface()->Canvas()->Pixels(p.X, p.Y); }
  // How many pixels of colour c lie within d pixels of p.
  int Near(TPoint p, TColor c, int d = 1) {
    int n = 0;
    for (int y = -d; y <= d; ++y)
      for (int x = -d; x <= d; ++x) n += At({p.X + x, p.Y + y}) == c;
    return n;
  }
  // The diagram drawn onto a recording canvas in control pixels.
  std::vector<kvr::test::Shape> Record() {
    kvr::test::ShapeCanvas rec;
    InitGraf(rec.canvas.get(), MarginLeft(), MarginTop(), 100, 100);
    return rec.backend->Of('t');
  }
};

// Small enough for label level 1: only the labels 0, 0.2, 0.5, 1, 2, 5 and 10.
struct Painted : ::testing::Test {
  DiagramChart s{380, 380};
  void SetUp() override {
    s.SetGridColorLight(kLight);
    s.SetGridColorDark(kDark);
    s.Repaint();
  }
};

TEST_F(Painted, UnitCircleIsFilledAndTheRestIsChartColour) {
  const TPoint c = s.Pix(0, 0);
  const Integer r = s.Pix(1, 0).X - c.X;
  int fill = 0, inside = 0;
  for (int y = c.Y - r; y <= c.Y + r; ++y)
    for (int x = c.X - r; x <= c.X + r; ++x) {
      if (double(x - c.X) * (x - c.X) + double(y - c.Y) * (y - c.Y) > 0.95 * r * r) continue;
      ++inside;
      fill += s.At({x, y}) == kFill;
    }
  // Lines and labels take their share; most of the disc is the diagram colour.
  EXPECT_GT(fill, inside * 6 / 10);
  EXPECT_EQ(s.At(s.Pix(-1.1, 0.95)), s.ChartColor());
  EXPECT_EQ(s.At(s.Pix(1.1, -0.95)), s.ChartColor());
  // The circle itself in the dark colour at its four ends.
  ASSERT_EQ(kvr::TSmithChart::LabelLevel(r * 2), 1);
  for (TPoint p : {s.Pix(0, 1), s.Pix(0, -1), s.Pix(-0.8, 0.6)}) EXPECT_GE(s.Near(p, kDark), 1);
}

TEST_F(Painted, RealAxisRowIsDark) {
  const Integer cy = s.Pix(0, 0).Y;
  const Integer x0 = s.Pix(0.06, 0).X, x1 = s.Pix(0.28, 0).X;
  int on = 0, above = 0, below = 0;
  for (Integer x = x0; x <= x1; ++x) {
    on += s.At({x, cy}) == kDark;
    above += s.At({x, cy - 3}) == kDark;
    below += s.At({x, cy + 3}) == kDark;
  }
  const int n = x1 - x0 + 1;
  EXPECT_GT(on, n * 8 / 10);  // light circles cross it at r = 1.2 and 1.5
  EXPECT_LT(above, n / 10);
  EXPECT_LT(below, n / 10);
}

// The r = 2 circle (dark, centre 2/3, radius 1/3) leaves out 1.073 rad either side of
// Γ = 1; the points tested lie well apart from every other dark line.
TEST_F(Painted, ResistanceCircleLeavesItsPartNearGammaOneOut) {
  auto on_circle = [&](double theta) {
    return s.Pix(2.0 / 3 + std::cos(theta) / 3, std::sin(theta) / 3);
  };
  for (double theta : {0.8, -0.8, 0.9, -0.9}) EXPECT_EQ(s.Near(on_circle(theta), kDark), 0) << theta;
  for (double theta : {1.3, -1.3, 2.5, -2.5}) EXPECT_GE(s.Near(on_circle(theta), kDark), 1) << theta;
}

// The x = 1 arcs (circles of centre (1, ±1), radius 1) run inside the unit circle only:
// counterclockwise from the unit circle towards Γ = 1 above, the mirror image below.
TEST_F(Painted, ReactanceArcsStayInsideTheUnitCircle) {
  const double h = std::sqrt(0.5);
  EXPECT_GE(s.Near(s.Pix(1 - h, 1 - h), kDark), 1);
  EXPECT_GE(s.Near(s.Pix(1 - h, h - 1), kDark), 1);
  const double a = 170 * M_PI / 180;
  EXPECT_EQ(s.Near(s.Pix(1 + std::cos(a), 1 + std::sin(a)), kDark), 0);
  EXPECT_EQ(s.Near(s.Pix(1 + std::cos(a), -1 - std::sin(a)), kDark), 0);
}

TEST(SmithDiagram, LabelLevelsFollowTheDiameter) {
  // Area 1000 pixels wide: a span of 2000 / D puts D pixels between Γ = -1 and 1.
  DiagramChart s(1000, 700);
  s.SetBounds(0, 0, s.MarginLeft() + 1000 + s.MarginRight(), 700);
  for (Integer D : {298, 300, 302, 500, 502, 750, 752, 900, 902, 1200}) {
    const double span = 2000.0 / D;
    s.SetRange(-span / 2, -0.5, span / 2, 0.5);
    ASSERT_EQ(s.Pix(1, 0).X - s.Pix(-1, 0).X, D);
    const int level = D > 900 ? 5 : D > 750 ? 4 : D > 500 ? 3 : D > 300 ? 2 : 1;
    int resistance = 0, reactance = 0;
    for (int k = 0; k < 20; ++k)
      if (kRowLevel[k] <= level) {
        ++resistance;
        if (k > 0) reactance += 2;
      }
    const auto texts = s.Record();
    EXPECT_EQ(int(texts.size()), resistance + reactance) << "D = " << D;
    if (D == 300) {
      std::vector<std::string> got;
      for (const auto& t : texts) got.push_back(t.text);
      std::sort(got.begin(), got.end());
      std::vector<std::string> want = {"-0.2", "-0.5", "-1", "-10", "-2", "-5", "0",   "0.2",
                                       "0.2",  "0.5",  "0.5", "1",  "1",  "10", "10", "2",
                                       "2",    "5",    "5"};
      std::sort(want.begin(), want.end());
      EXPECT_EQ(got, want);
    }
  }
}

// Reactance labels sit 10 pixels outside the unit circle on the ray from the centre;
// resistance labels are centred on the real axis over an opaque background.
TEST(SmithDiagram, LabelPositions) {
  DiagramChart s(640, 600);
  const auto texts = s.Record();
  const TPoint c = s.Pix(0, 0);
  kvr::TCanvas& cv = *s.Surface()->Canvas();
  cv.SetFont(s.Font());
  auto find = [&](const std::string& txt, bool on_axis) -> const kvr::test::Shape* {
    for (const auto& t : texts) {
      const bool axis = t.pts[0].Y == c.Y - cv.TextHeight(txt) / 2;
      if (t.text == txt && axis == on_axis) return &t;
    }
    return nullptr;
  };
  auto expect_at = [&](const std::string& txt, double u, double v) {
    const TPoint p = s.Pix(u, v);
    const double dx = p.X - c.X, dy = p.Y - c.Y, d = std::hypot(dx, dy);
    const Integer x = Integer(std::nearbyint(p.X + 10 * dx / d));
    const Integer y = Integer(std::nearbyint(p.Y + 10 * dy / d));
    const auto* t = find(txt, false);
    ASSERT_NE(t, nullptr) << txt;
    EXPECT_EQ(t->pts[0].X, x - cv.TextWidth(txt) / 2) << txt;
    EXPECT_EQ(t->pts[0].Y, y - cv.TextHeight(txt) / 2) << txt;
  };
  expect_at("1", 0, 1);          // straight up: x equals the centre's
  expect_at("-1", 0, -1);
  expect_at("0.5", -0.6, 0.8);   // upper left
  expect_at("-2", 0.6, -0.8);    // lower right
  expect_at("5", 12.0 / 13, 5.0 / 13);

  const auto* r2 = find("2", true);
  ASSERT_NE(r2, nullptr);
  EXPECT_EQ(r2->pts[0].X, s.Pix(1.0 / 3, 0).X - cv.TextWidth("2") / 2);
  EXPECT_EQ(r2->fill, s.DiagramColor());  // opaque
  const auto* up = find("2", false);
  ASSERT_NE(up, nullptr);
  EXPECT_EQ(up->fill, -1);  // reactance labels are transparent
}

TEST(SmithDiagram, ItemsInGammaCoordinatesLandOnTheirPixels) {
  DiagramChart s(500, 460);
  s.SetDataColor(0x0000FF);
  s.SetFillColor(0x00FFFF);
  const double u = TSmithChart::CalcReflectionReal(1, 1), v = TSmithChart::CalcReflectionImag(1, 1);
  s.Rectangle(u - 0.05, v - 0.05, u + 0.05, v + 0.05);
  s.Line(-0.5, -0.3, 0.5, 0.3);
  s.ShowGraf();
  EXPECT_EQ(s.At(s.Pix(0.2, 0.4)), 0x00FFFF);  // z = 1 + j1 is Γ = 0.2 + j0.4
  EXPECT_GE(s.Near(s.Pix(0.25, 0.15), 0x0000FF), 1);
  EXPECT_GE(s.Near(s.Pix(-0.25, -0.15), 0x0000FF), 1);
  // The crosshair's position gives back the impedance under it.
  kvr::Integer px, py;
  s.R2M(1, u, v, px, py);
  double mu, mv;
  s.M2R(1, px, py, mu, mv);
  EXPECT_NEAR(TSmithChart::CalcResistance(mu, mv), 1, 0.02);
  EXPECT_NEAR(TSmithChart::CalcReactance(mu, mv), 1, 0.02);
}

// The raster path draws arcs as chords; against the canvas's own Arc every pixel of
// either lies within a pixel of the other, and the ends agree.
TEST(SmithDiagram, ChordArcsFollowTheCanvasArc) {
  DiagramChart s(300, 300);
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> pos(-150, 450), ext(4, 400), dir(-600, 900);
  for (int round = 0; round < 60; ++round) {
    const int x1 = pos(rng), y1 = pos(rng), x2 = x1 + ext(rng), y2 = y1 + ext(rng);
    const int x3 = dir(rng), y3 = dir(rng), x4 = dir(rng), y4 = dir(rng);
    kvr::TBitmap ref(300, 300), fast(300, 300);
    for (kvr::TBitmap* b : {&ref, &fast}) {
      b->Canvas()->Brush()->SetColor(kvr::clWhite);
      b->Canvas()->FillRect({0, 0, 300, 300});
      b->Canvas()->Pen()->SetColor(kvr::clBlack);
    }
    ref.Canvas()->Arc(x1, y1, x2, y2, x3, y3, x4, y4);
    s.DiagramArc(fast.Canvas(), x1, y1, x2, y2, x3, y3, x4, y4);
    auto covered = [](kvr::TBitmap& a, kvr::TBitmap& b) {
      int missing = 0;
      for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) {
          if (a.Canvas()->Pixels(x, y) != kvr::clBlack) continue;
          bool near = false;
          for (int dy = -1; dy <= 1 && !near; ++dy)
            for (int dx = -1; dx <= 1 && !near; ++dx) near = b.Canvas()->Pixels(x + dx, y + dy) == kvr::clBlack;
          // The arcs' ends may differ by the width of a direction's rounding.
          missing += !near;
        }
      return missing;
    };
    EXPECT_LE(covered(fast, ref), 2) << round;
    EXPECT_LE(covered(ref, fast), 2) << round;
  }
}

// As vectors the diagram keeps true arcs: one path per resistance circle and two per
// reactance value, and its labels as text.
TEST(SmithDiagram, VectorOutputKeepsTrueArcs) {
  DiagramChart s(400, 400);
  const char* dir = std::getenv("KVR_TEST_OUT");
  const std::filesystem::path out = std::filesystem::path(dir ? dir : "test_out");
  std::filesystem::create_directories(out);
  s.CopyToWMF((out / "smith.svg").string(), false);
  std::ifstream in(out / "smith.svg");
  const std::string svg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t arcs = 0;
  for (size_t p = svg.find(" A"); p != std::string::npos; p = svg.find(" A", p + 1)) ++arcs;
  // 20 circles (the three whole ones in two halves) and 38 reactance arcs at least.
  EXPECT_GE(arcs, 20u + 3u + 38u);
  EXPECT_NE(svg.find(">0.5<"), std::string::npos);
  EXPECT_NE(svg.find(">-10<"), std::string::npos);
}

// Deep zooms give circles millions of pixels wide; they are drawn where they can be and
// the paint stays quick.
TEST(SmithDiagram, DeepZoomPaintsQuickly) {
  DiagramChart s(600, 600);
  const auto t0 = std::chrono::steady_clock::now();
  for (double span : {1e-3, 1e-6, 1e-8}) {
    s.SetRange(1 - span, -span / 2, 1 + span, span / 2);
    s.Repaint();
    s.SetRange(-span, -span / 2, span, span / 2);
    s.Repaint();
  }
  s.SetRange(-1e7, -1e7, 1e7, 1e7);
  s.Repaint();
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(ms, 2000);
}

}  // namespace

namespace {

// The diagram as a PDF: a valid file whose labels are text.
TEST(SmithDiagram, PdfOutputIsAValidFile) {
  DiagramChart s(300, 300);
  const std::string file = test_out_file("smith.pdf", "smith");
  s.CopyToPDF(file, false);
  const std::string bytes = kvr::test::read_bytes(file);
  EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
  EXPECT_NE(bytes.find("%%EOF"), std::string::npos);
  if (kvr::test::have_poppler()) {
    EXPECT_NE(kvr::test::pdf_info(file).find("Pages:           1"), std::string::npos);
  }
}

}  // namespace
