// Picture quality of the chart: smooth drawing and the picture at device scales.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render_util.h"
#include "tests/test_out.h"

using namespace kvr;
using kvr::test::RenderChart;

namespace {

constexpr TColor kCurve = 0x0000FF;
constexpr TColor kArea = 0xFFFFFF;

void chart_with_curve(RenderChart& c) {
  c.SetChartColor(kArea);
  c.SetDataColor(kCurve);
  c.SetFillColor(kCurve);
  for (int i = 0; i <= 120; ++i) {
    const double x = 20 + i * 2.5, y = 126 + 90 * std::sin(i / 12.0);
    if (i == 0) c.MoveTo(x, y);
    else c.DrawTo(x, y);
  }
  c.MarkAt(60.0, 40.0, 16);  // a circle
  c.MarkAt(90.0, 40.0, 22);  // a triangle
  c.ShowGraf();
}

// 1 where the pixel has exactly the colour.
std::vector<uint8_t> mask(const TBitmap& b, TColor col) {
  std::vector<uint8_t> m(size_t(b.Width()) * b.Height());
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) m[size_t(y) * b.Width() + x] = b.Canvas()->Pixels(x, y) == col;
  return m;
}

// Pixels of `a` with no pixel of `b` within d pixels.
int uncovered(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int w, int h, int d) {
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!a[size_t(y) * w + x]) continue;
      bool found = false;
      for (int yy = std::max(0, y - d); yy <= std::min(h - 1, y + d) && !found; ++yy)
        for (int xx = std::max(0, x - d); xx <= std::min(w - 1, x + d) && !found; ++xx) found = b[size_t(yy) * w + xx];
      n += !found;
    }
  return n;
}

// Columns that hold the colour, first and last.
std::pair<int, int> columns_of(const TBitmap& b, TColor col) {
  int lo = b.Width(), hi = -1;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Canvas()->Pixels(x, y) == col) lo = std::min(lo, x), hi = std::max(hi, x);
  return {lo, hi};
}

}  // namespace

TEST(ZuRenderQuality, SmoothCurveHasSoftEdgesAndTheSameEnds) {
  RenderChart classic, smooth;
  smooth.SetSmooth(true);
  for (RenderChart* c : {&classic, &smooth}) {
    chart_with_curve(*c);
    c->Repaint();
  }
  int soft_classic = 0, soft_smooth = 0;
  for (int y = 20; y < 260; ++y)
    for (int x = 55; x < 385; ++x) {
      // Between the curve's red and the white area: red full, green and blue partial.
      const TColor a = classic.Ctl(x, y), b = smooth.Ctl(x, y);
      soft_classic += a != kCurve && a != kArea && GetRValue(a) == 255 && GetGValue(a) == GetBValue(a);
      soft_smooth += b != kCurve && b != kArea && GetRValue(b) == 255 && GetGValue(b) == GetBValue(b);
    }
  EXPECT_EQ(soft_classic, 0);
  EXPECT_GT(soft_smooth, 300);
  // The ends of the curve stay where they were.
  auto ink_columns = [](RenderChart& c) {
    int lo = 400, hi = -1;
    for (int y = 100; y < 270; ++y)
      for (int x = 52; x < 385; ++x)
        if (GetGValue(c.Ctl(x, y)) < 128 && GetRValue(c.Ctl(x, y)) > 200) lo = std::min(lo, x), hi = std::max(hi, x);
    return std::pair{lo, hi};
  };
  const auto ec = ink_columns(classic), es = ink_columns(smooth);
  EXPECT_NEAR(es.first, ec.first, 1);
  EXPECT_NEAR(es.second, ec.second, 1);
  // Smooth off again: the classic picture, pixel for pixel.
  smooth.SetSmooth(false);
  smooth.Repaint();
  for (int y = 0; y < 300; y += 3)
    for (int x = 0; x < 400; ++x) ASSERT_EQ(smooth.Ctl(x, y), classic.Ctl(x, y)) << x << "," << y;
}

TEST(ZuRenderQuality, TwiceTheScaleDoublesTheGeometry) {
  RenderChart c;
  chart_with_curve(c);
  c.Repaint();
  TBitmap one;
  one.Assign(c.Surface());
  c.SetDeviceScale(2);
  TBitmap two;
  two.Assign(c.HostDevicePicture());
  ASSERT_EQ(two.Width(), 800);
  ASSERT_EQ(two.Height(), 600);
  const std::string file = test_out_file("chart_2x.png");
  c.CopyToBMP(file, false, 2);
  TBitmap saved;
  saved.LoadFromFile(file);
  ASSERT_EQ(saved.Width(), 800);

  for (const TBitmap* b : {&two, &saved}) {
    // The curve and marks: every device pixel within a chart pixel (two device pixels)
    // of the enlarged 1x ones, and the other way round.
    const std::vector<uint8_t> m1 = mask(one, kCurve), m2 = mask(*b, kCurve);
    std::vector<uint8_t> big(size_t(800) * 600);
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 800; ++x) big[size_t(y) * 800 + x] = m1[size_t(y / 2) * 400 + x / 2];
    EXPECT_EQ(uncovered(m2, big, 800, 600, 2), 0);
    EXPECT_EQ(uncovered(big, m2, 800, 600, 2), 0);
    const auto c1 = columns_of(one, kCurve), c2 = columns_of(*b, kCurve);
    EXPECT_NEAR(c2.first, 2 * c1.first, 1);
    EXPECT_NEAR(c2.second, 2 * c1.second + 1, 1);
    // The chart area's frame: the left edge of the white area on the middle row.
    auto area_left = [](const TBitmap& bmp, int y) {
      for (int x = 0; x < bmp.Width(); ++x)
        if (bmp.Canvas()->Pixels(x, y) == kArea) return x;
      return -1;
    };
    EXPECT_EQ(area_left(*b, 300), 2 * area_left(one, 150));
  }
  EXPECT_THROW(c.CopyToBMP(file, false, 0), EKvrZUvadoError);
  EXPECT_THROW(c.CopyToBMP(file, false, std::nan("")), EKvrZUvadoError);
}

namespace {

// Ink of the curve's colour (blue) over the white area: 0 white, 255 full.
int ink(TColor c) { return 255 - GetGValue(c); }

// Ink-weighted mean row of an area column near the world row y0 (grid lines elsewhere).
double ink_row(const RenderChart& c, int x, double y0) {
  double s = 0, w = 0;
  for (int y = int(252 - y0) - 4; y <= int(252 - y0) + 4; ++y) {
    const int k = ink(c.Area(x, y));
    s += k * y;
    w += k;
  }
  return w > 0 ? s / w : -1;
}

void smooth_chart(RenderChart& c) {
  c.SetSmooth(true);
  c.SetChartColor(kArea);
  c.SetDataColor(kCurve);
}

}  // namespace

// Smooth chart curves keep their sub-pixel positions: half a pixel in world terms moves
// the stroke by half a pixel instead of snapping it to the same or the next row.
TEST(ZuRenderQuality, SmoothCurvePassesThroughSubPixelPositions) {
  RenderChart a, b;
  for (auto [c, dy] : {std::pair{&a, 0.0}, std::pair{&b, 0.5}}) {
    smooth_chart(*c);
    c->MoveTo(10, 100.2 + dy);
    for (int i = 1; i <= 32; ++i) c->DrawTo(10 + i * 10, 100.2 + dy + i * 0.25);
    c->ShowGraf();
    c->Repaint();
  }
  int partial = 0, differ = 0;
  for (int y = 0; y < 252; ++y)
    for (int x = 20; x < 320; ++x) {
      partial += ink(a.Area(x, y)) > 20 && ink(a.Area(x, y)) < 235;
      differ += a.Area(x, y) != b.Area(x, y);
    }
  EXPECT_GT(partial, 300);
  EXPECT_GT(differ, 300);
  for (int x = 30; x < 320; x += 23) {
    const double y0 = 100.2 + (x - 10) * 0.025;
    EXPECT_NEAR(ink_row(a, x, y0) - ink_row(b, x, y0), 0.5, 0.1) << x;
  }
}

// At twice the density a smooth curve is drawn at device precision, not as doubled chart
// pixels: a shift of a quarter chart pixel still moves the stroke.
TEST(ZuRenderQuality, SmoothCurveAtTwiceTheScaleKeepsTheFractions) {
  TBitmap pic[2];
  for (int k = 0; k < 2; ++k) {
    RenderChart c;
    smooth_chart(c);
    const double y0 = 100.2 + k * 0.25;
    c.MoveTo(10, y0);
    c.DrawTo(330, y0 + 8);
    c.ShowGraf();
    c.SetDeviceScale(2);
    pic[k].Assign(c.HostDevicePicture());
  }
  ASSERT_EQ(pic[0].Width(), 800);
  int differ = 0, partial = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 200; x < 700; ++x) {
      const TColor a = pic[0].Canvas()->Pixels(x, y);
      differ += a != pic[1].Canvas()->Pixels(x, y);
      partial += GetRValue(a) == 255 && GetGValue(a) > 20 && GetGValue(a) < 235 && GetGValue(a) == GetBValue(a);
    }
  EXPECT_GT(differ, 400);
  EXPECT_GT(partial, 400);
}

// A dense curve (many points per pixel column) is merged per column before drawing,
// without visible change against drawing every point.
TEST(ZuRenderQuality, DenseSmoothCurveLooksAsEveryPointDrawn) {
  RenderChart c;
  smooth_chart(c);
  std::vector<TPointDouble> pts;
  const int n = 60000;
  for (int i = 0; i <= n; ++i) {
    const double x = 10 + 320.0 * i / n;
    const double y = 126 + 60 * std::sin(x / 17.0) + 25 * std::sin(i * 2.7);
    pts.push_back({x, y});
    if (i == 0) c.MoveTo(x, y);
    else c.DrawTo(x, y);
  }
  c.ShowGraf();
  c.Repaint();

  TBitmap ref;
  ref.SetSize(340, 252);
  TCanvas& k = *ref.Canvas();
  k.Brush()->SetColor(kArea);
  k.FillRect(TRect{0, 0, 340, 252});
  k.SetSmooth(true);
  k.Pen()->SetColor(kCurve);
  for (TPointDouble& p : pts) p.Y = 252 - p.Y;
  k.PolylineF(pts);
  // The raw zigzag's sharp turns stick out as short join spikes along the band's edge,
  // which the merged one has fewer of; inside and elsewhere the pictures agree.
  int inked = 0, visible = 0, inside = 0;
  for (int y = 1; y < 251; ++y)
    for (int x = 1; x < 339; ++x) {
      // Grid and frame (grey) are not in the reference.
      const TColor g = c.Area(x, y);
      if (GetRValue(g) != 255 && g != 0) continue;
      const int r = ink(ref.Canvas()->Pixels(x, y));
      const int d = std::abs(ink(g) - r);
      inked += r > 0;
      visible += d > 24;
      inside += r == 255 && ink(g) != 255 && ink(ref.Canvas()->Pixels(x, y - 1)) == 255 &&
                ink(ref.Canvas()->Pixels(x, y + 1)) == 255;
    }
  EXPECT_GT(inked, 10000);
  EXPECT_LT(visible, inked / 20);
  EXPECT_LT(inside, inked / 100);
  c.GrafBmp()->SaveToFile(test_out_file("dense_chart.png"));
  ref.SaveToFile(test_out_file("dense_ref.png"));
}
