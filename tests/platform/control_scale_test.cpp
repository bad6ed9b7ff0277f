#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/control.h"
#include "tests/test_out.h"

using namespace kvr;

namespace {

// Paints the same picture on its surface and on any canvas it is given.
class Drawing : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  bool can_paint_on = true;
  int partial_in_side_bitmap = -1;  // measured on a bitmap of its own during Paint

  static void draw(TCanvas& c) {
    c.Pen()->SetWidth(1);
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(clWhite);
    c.FillRect(Rect(0, 0, 60, 40));
    c.Pen()->SetColor(clBlack);
    c.Brush()->SetColor(clYellow);
    c.Rectangle(5, 5, 20, 15);
    c.MoveTo(3, 30);
    c.LineTo(55, 12);
    c.Brush()->SetStyle(bsClear);
    c.Ellipse(30, 20, 52, 38);
    c.Pen()->SetWidth(3);
    c.MoveTo(25, 3);
    c.LineTo(25, 18);
    c.Pen()->SetWidth(1);
  }

 protected:
  void Paint() override {
    draw(*Canvas());
    TBitmap side(20, 20);
    side.Canvas()->MoveTo(0, 0);
    side.Canvas()->LineTo(19, 7);
    partial_in_side_bitmap = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        const TColor p = side.Canvas()->Pixels(x, y);
        partial_in_side_bitmap += p != clWhite && p != clBlack;
      }
  }
  bool PaintOn(TCanvas& Target) override {
    if (can_paint_on) draw(Target);
    return can_paint_on;
  }
};

std::vector<uint8_t> inked(const TBitmap& b) {
  std::vector<uint8_t> m(size_t(b.Width()) * b.Height());
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) m[size_t(y) * b.Width() + x] = b.Canvas()->Pixels(x, y) != clWhite;
  return m;
}

// Every inked pixel of `a` has an inked pixel of `b` within `d` pixels.
bool covered_within(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int w, int h, int d) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!a[size_t(y) * w + x]) continue;
      bool found = false;
      for (int yy = std::max(0, y - d); yy <= std::min(h - 1, y + d) && !found; ++yy)
        for (int xx = std::max(0, x - d); xx <= std::min(w - 1, x + d) && !found; ++xx) found = b[size_t(yy) * w + xx];
      if (!found) return false;
    }
  return true;
}

}  // namespace

TEST(ControlScale, DeviceRatiosSnapToTheSupportedScales) {
  const std::pair<double, double> cases[] = {{1, 1},     {0.5, 1},  {1.1, 1},  {1.2, 1.25}, {1.25, 1.25},
                                             {1.4, 1.5}, {1.5, 1.5}, {1.9, 2}, {2, 2},      {2.4, 2},
                                             {2.8, 3},   {3, 3},     {8, 3},   {std::numeric_limits<double>::quiet_NaN(), 1}};
  for (auto [ratio, scale] : cases) EXPECT_EQ(SnapDeviceScale(ratio), scale) << ratio;

  Drawing c(nullptr);
  c.SetDeviceScale(1.4);
  EXPECT_EQ(c.DeviceScale(), 1.5);
  c.SetDeviceScale(std::numeric_limits<double>::infinity());
  EXPECT_EQ(c.DeviceScale(), 1.5);
}

TEST(ControlScale, DevicePictureHasTheGeometryDoubled) {
  Drawing c(nullptr);
  c.SetBounds(0, 0, 60, 40);
  c.CreateWnd();
  const TBitmap* one = c.HostDevicePicture();
  EXPECT_EQ(one, c.Surface());  // no second picture at scale 1
  const std::vector<uint8_t> logical = inked(*c.Surface());
  c.SetDeviceScale(2);
  const TBitmap* two = c.HostDevicePicture();
  ASSERT_EQ(two->Width(), 120);
  ASSERT_EQ(two->Height(), 80);
  EXPECT_EQ(c.Width(), 60);  // the control keeps its logical size
  // Axis-aligned parts land exactly: device pixel (2x + 1, 2y + 1) is logical pixel (x, y).
  EXPECT_EQ(two->Canvas()->Pixels(2 * 10 + 1, 2 * 10 + 1), clYellow);
  EXPECT_EQ(two->Canvas()->Pixels(2 * 5, 2 * 10), clBlack);
  EXPECT_EQ(two->Canvas()->Pixels(2 * 5 + 2, 2 * 10), clYellow);
  std::vector<uint8_t> enlarged(size_t(120) * 80);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) enlarged[size_t(y) * 120 + x] = logical[size_t(y / 2) * 60 + x / 2];
  const std::vector<uint8_t> device = inked(*two);
  EXPECT_TRUE(covered_within(device, enlarged, 120, 80, 1));
  EXPECT_TRUE(covered_within(enlarged, device, 120, 80, 1));
  // Without a way to paint on other canvases, the surface is enlarged.
  c.can_paint_on = false;
  c.Repaint();
  EXPECT_EQ(inked(*c.HostDevicePicture()), enlarged);
}

TEST(ControlScale, DrawingsAfterPaintAreEnlargedOntoTheSharpPicture) {
  Drawing c(nullptr);
  c.SetBounds(0, 0, 60, 40);
  c.CreateWnd();
  c.SetDeviceScale(2);
  const TBitmap* base = c.HostDevicePicture();
  TBitmap before;
  before.Assign(base);
  int notified = 0;
  c.OnHostInvalidate = [&](TCustomControl*) { ++notified; };
  // An exclusive-or band, as a drag draws it outside Paint, then wiped the same way.
  TCanvas& cv = *c.Canvas();
  cv.Pen()->SetMode(pmXor);
  cv.Pen()->SetColor(clWhite);
  cv.Brush()->SetStyle(bsClear);
  for (int pass = 0; pass < 2; ++pass) {
    cv.Rectangle(40, 2, 58, 10);
    c.SurfaceChanged();
    const TBitmap* shown = c.HostDevicePicture();
    if (pass == 0) {
      EXPECT_EQ(shown->Canvas()->Pixels(80, 4), clBlack);  // white xor white, 2 x 2 per pixel
      EXPECT_EQ(shown->Canvas()->Pixels(81, 5), clBlack);
      EXPECT_EQ(shown->Canvas()->Pixels(82, 6), clWhite);
    } else {
      ASSERT_EQ(shown->Width(), before.Width());
      for (int y = 0; y < before.Height(); ++y)
        for (int x = 0; x < before.Width(); ++x)
          ASSERT_EQ(shown->Canvas()->Pixels(x, y), before.Canvas()->Pixels(x, y)) << x << "," << y;
    }
  }
  EXPECT_EQ(notified, 2);
}

TEST(ControlScale, SmoothReachesEveryBitmapThePaintDrawsOn) {
  Drawing c(nullptr);
  c.SetBounds(0, 0, 60, 40);
  c.CreateWnd();
  c.Update();
  EXPECT_EQ(c.partial_in_side_bitmap, 0);
  c.SetSmooth(true);
  EXPECT_TRUE(c.Dirty());
  c.Update();
  EXPECT_GT(c.partial_in_side_bitmap, 5);
  EXPECT_FALSE(c.Canvas()->Smooth());  // only while painting
  int partial = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      const TColor p = c.Canvas()->Pixels(x, y);
      partial += p != clWhite && p != clBlack && p != clYellow;
    }
  EXPECT_GT(partial, 20);
}

TEST(ControlScale, ScaledExportDrawsAfreshAtAnyScale) {
  Drawing c(nullptr);
  c.SetBounds(0, 0, 60, 40);
  c.CreateWnd();
  TBitmap b;
  c.CopyToBitmapScaled(&b, 1.5);
  EXPECT_EQ(b.Width(), 90);
  EXPECT_EQ(b.Height(), 60);
  c.CopyToBitmapScaled(&b, 1);
  EXPECT_EQ(b.Width(), 60);
  EXPECT_EQ(inked(b), inked(*c.Surface()));
  for (double bad : {0.0, -2.0, std::numeric_limits<double>::quiet_NaN()}) {
    c.CopyToBitmapScaled(&b, bad);
    EXPECT_EQ(b.Width(), 60);
  }
  const std::string file = test_out_file("control_scale_2x.png");
  c.SaveAsPNG(file, 2);
  TBitmap back;
  back.LoadFromFile(file);
  EXPECT_EQ(back.Width(), 120);
  EXPECT_EQ(back.Height(), 80);
}
