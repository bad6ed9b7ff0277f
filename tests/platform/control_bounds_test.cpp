// Sizes beyond what a surface can hold: refused before anything changes, for the
// framework control and for every component that overrides SetBounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <vector>

#include "colorscale/colorscale.h"
#include "gauge/gauge.h"
#include "platform/control.h"
#include "platform/kvrbase.h"
#include "scale/scale.h"
#include "zuvado/zuvado.h"

using namespace kvr;

namespace {

std::vector<TRGB32> pixels(const TBitmap& b) {
  return std::vector<TRGB32>(b.Bits(), b.Bits() + size_t(b.Width()) * size_t(b.Height()));
}

bool same(const TBitmap& a, const TBitmap& b) {
  const auto pa = pixels(a), pb = pixels(b);
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         std::memcmp(pa.data(), pb.data(), pa.size() * sizeof(TRGB32)) == 0;
}

struct Oversize {
  Integer W, H;
};
// One pixel beyond each limit, and far beyond.
constexpr Oversize kRefused[] = {
    {65536, 100}, {100, 65536}, {16384, 16385}, {INT_MAX, INT_MAX}};

// Shown at 300 x 120, then every refused size: bounds, surface and picture stay, and
// the control still paints and copies itself alike. Copy renders into a fresh bitmap.
void check_refusals(TCustomControl& c, const std::function<void(TBitmap&)>& Copy) {
  c.SetBounds(5, 6, 300, 120);
  c.CreateWnd();
  c.Repaint();
  TBitmap shown;
  shown.Assign(c.Surface());
  TBitmap copied;
  Copy(copied);
  int resizes = 0;
  c.OnResize = [&](TObject*) { ++resizes; };
  for (const Oversize s : kRefused) {
    SCOPED_TRACE(testing::Message() << s.W << " x " << s.H);
    EXPECT_THROW(c.SetBounds(1, 2, s.W, s.H), EKvrError);
    EXPECT_EQ(c.Left(), 5);
    EXPECT_EQ(c.Top(), 6);
    EXPECT_EQ(c.Width(), 300);
    EXPECT_EQ(c.Height(), 120);
    EXPECT_TRUE(same(*c.Surface(), shown));
  }
  EXPECT_THROW(c.SetWidth(70000), EKvrError);
  EXPECT_EQ(resizes, 0);
  c.Repaint();
  EXPECT_TRUE(same(*c.Surface(), shown));
  TBitmap again;
  Copy(again);
  EXPECT_TRUE(same(again, copied));
}

// A side at its limit is accepted and painted.
void check_side_limit(TCustomControl& c) {
  c.SetBounds(0, 0, 65535, 100);
  EXPECT_EQ(c.Width(), 65535);
  EXPECT_EQ(c.Surface()->Width(), 65535);
  c.Repaint();
  c.SetBounds(0, 0, 300, 65535);
  EXPECT_EQ(c.Height(), 65535);
  c.Repaint();
  c.SetBounds(0, 0, 300, 120);
}

}  // namespace

TEST(ControlBounds, FrameworkControlRefusesBeyondTheSurfaceLimits) {
  TCustomControl c(nullptr);
  check_refusals(c, [&](TBitmap& b) { b.Assign(c.Surface()); });
  // The limits themselves: 65535 a side, 2^28 pixels in all.
  TCustomControl w(nullptr);
  w.SetBounds(0, 0, 16384, 16384);
  EXPECT_EQ(w.Width(), 16384);
  w.SetBounds(0, 0, 65535, 4096);
  EXPECT_EQ(w.Height(), 4096);
  EXPECT_THROW(w.SetBounds(0, 0, 65535, 4097), EKvrError);
  // Negative sizes still count as 0; the size OnCanResize settles on is the one checked.
  w.SetBounds(0, 0, -5, -5);
  EXPECT_EQ(w.Width(), 0);
  w.OnCanResize = [](TObject*, Integer& W, Integer&, bool&) { W = std::min(W, 1000); };
  w.SetBounds(0, 0, 100000, 50);
  EXPECT_EQ(w.Width(), 1000);
}

TEST(ControlBounds, ChartRefusesWithoutHalfResizing) {
  TZUvado c(nullptr);
  c.Rectangle(0.2, 0.2, 0.6, 0.7);
  check_refusals(c, [&](TBitmap& b) { c.CopyToBitmap(&b, false); });
  check_side_limit(c);
  TBitmap b;
  c.CopyToBitmap(&b, false);
  EXPECT_EQ(b.Width(), 300);
}

TEST(ControlBounds, ScaleRefusesWithoutHalfResizing) {
  TScale s(nullptr);
  s.SetRange(1, 1000);
  check_refusals(s, [&](TBitmap& b) {
    s.Repaint();
    b.Assign(s.Surface());
  });
  check_side_limit(s);
}

TEST(ControlBounds, ColourScaleRefusesWithoutHalfResizing) {
  TColorScale s(nullptr);
  check_refusals(s, [&](TBitmap& b) { s.CopyToBitMap(&b, -1, -1); });
  check_side_limit(s);
}

TEST(ControlBounds, GaugeRefusesWithoutHalfResizing) {
  TScaleGauge g(nullptr);
  check_refusals(g, [&](TBitmap& b) { g.CopyToBitMap(&b, -1, -1); });
  check_side_limit(g);
}
