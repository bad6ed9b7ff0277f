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
