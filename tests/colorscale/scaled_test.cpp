// The colour scale drawn afresh at device scales: sharp, with the layout doubled.
#include <gtest/gtest.h>

#include "colorscale/colorscale.h"

using namespace kvr;

namespace {

// 2 x 2 blocks whose pixels differ: none in a picture that was merely enlarged.
int mixed_blocks(const TBitmap& b) {
  int n = 0;
  for (int y = 0; y + 1 < b.Height(); y += 2)
    for (int x = 0; x + 1 < b.Width(); x += 2) {
      const TColor p = b.Canvas()->Pixels(x, y);
      n += b.Canvas()->Pixels(x + 1, y) != p || b.Canvas()->Pixels(x, y + 1) != p ||
           b.Canvas()->Pixels(x + 1, y + 1) != p;
    }
  return n;
}

}  // namespace

TEST(ColorScaleScaled, TwiceTheScaleIsDrawnAfreshWithTheLayoutDoubled) {
  TColorScale c(nullptr);
  c.SetBounds(0, 0, 220, 60);
  c.CreateWnd();
  c.Update();
  TBitmap two;
  c.CopyToBitmapScaled(&two, 2);
  ASSERT_EQ(two.Width(), 440);
  ASSERT_EQ(two.Height(), 120);
  EXPECT_GT(mixed_blocks(two), 50);  // text and tick edges at device resolution
  // Where the bar's first (blue) colour begins on its middle row, at 1x and 2x.
  auto bar_left = [](const TBitmap& b, int y) {
    for (int x = 0; x < b.Width(); ++x) {
      const TColor p = b.Canvas()->Pixels(x, y);
      if (GetBValue(p) > 200 && GetRValue(p) < 60 && GetGValue(p) < 60) return x;
    }
    return -1;
  };
  const int l1 = bar_left(*c.Surface(), 15), l2 = bar_left(two, 31);
  ASSERT_GT(l1, 0);
  EXPECT_NEAR(l2, 2 * l1, 1);
  // The control's own picture is untouched by the export.
  TBitmap again;
  c.CopyToBitmapScaled(&again, 1);
  EXPECT_EQ(mixed_blocks(again), mixed_blocks(*c.Surface()));
}
