// Colour tables and colour interpolation.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "platform/kvrmath.h"

using namespace kvr;

TEST(MathColors, InterpolateColor) {
  EXPECT_EQ(InterpolateColor(clBlack, clWhite, 0.0), clBlack);
  EXPECT_EQ(InterpolateColor(clBlack, clWhite, 1.0), clWhite);
  EXPECT_EQ(InterpolateColor(clBlack, clWhite, 0.5), RGB(128, 128, 128));
  EXPECT_EQ(InterpolateColor(RGB(10, 200, 0), RGB(20, 100, 255), 0.2), RGB(12, 180, 51));
  EXPECT_EQ(InterpolateColor(clRed, clBlue, 3.0), clBlue);
  EXPECT_EQ(InterpolateColor(clRed, clBlue, -1.0), clRed);
  EXPECT_EQ(InterpolateColor(clRed, clBlue, std::nan("")), clRed);
}

TEST(MathColors, PredefinedColorsAreSixteenDistinct) {
  std::set<TColor> s(PredefinedColors.begin(), PredefinedColors.end());
  EXPECT_EQ(s.size(), 16u);
}

TEST(MathColors, DefaultTable) {
  TColorArray a;
  EXPECT_EQ(a.Size(), 64);
  EXPECT_EQ(a.GetColorElem(1), clBlue);
  EXPECT_EQ(a.GetColorElem(64), clRed);
  EXPECT_EQ(a.GetColorElem(0), clBlue);
  EXPECT_EQ(a.GetColorElem(65), clBlack);
  EXPECT_EQ(a.GetColorElem(-1), clBlack);
}

TEST(MathColors, FillFromIndexZeroPutsAnchorsOnMultiples) {
  TColorArray a(255);
  a.FillByInterpolation(0, {clBlack, clBlue, clGreen, clRed, clYellow, clWhite});
  EXPECT_EQ(a.GetColorElem(0), clBlack);
  EXPECT_EQ(a.GetColorElem(51), clBlue);
  EXPECT_EQ(a.GetColorElem(102), clGreen);
  EXPECT_EQ(a.GetColorElem(153), clRed);
  EXPECT_EQ(a.GetColorElem(204), clYellow);
  EXPECT_EQ(a.GetColorElem(255), clWhite);
  EXPECT_EQ(a.GetColorElem(17), RGB(0, 0, 85));  // a third of the way to blue

  TColorArray b(3);
  b.SetColorElem(0, clRed);
  b.FillByInterpolation(1, {clBlack, clWhite});
  EXPECT_EQ(b.GetColorElem(0), clRed);  // left alone
  EXPECT_EQ(b.GetColorElem(1), clBlack);
  EXPECT_EQ(b.GetColorElem(2), RGB(128, 128, 128));
  EXPECT_EQ(b.GetColorElem(3), clWhite);
  b.FillByInterpolation(1, {clLime});
  EXPECT_EQ(b.GetColorElem(2), clLime);
}

TEST(MathColors, ColorToIndexNearestLowestWins) {
  TColorArray a(4);
  a.SetColorElem(1, clBlack);
  a.SetColorElem(2, RGB(100, 0, 0));
  a.SetColorElem(3, RGB(100, 0, 0));
  a.SetColorElem(4, clWhite);
  double d = 0;
  EXPECT_EQ(a.ColorToIndex(RGB(97, 4, 0), d), 2);
  EXPECT_DOUBLE_EQ(d, 5.0);
  EXPECT_EQ(a.ColorToIndex(clWhite, d), 4);
  EXPECT_EQ(d, 0.0);
  a.SetSize(0);
  EXPECT_EQ(a.ColorToIndex(clWhite, d), 0);
  EXPECT_EQ(d, uc_MaxDouble);
}

TEST(MathColors, CopyFromAndChangeEvents) {
  TColorArray src(5), dst(2);
  int changes = 0;
  dst.OnChange = [&](TObject*) { ++changes; };
  for (int i = 1; i <= 5; ++i) src.SetColorElem(i, RGB(i, 0, 0));
  dst.CopyFrom(&src, 1, 1, 5);
  EXPECT_EQ(dst.Size(), 5);  // grew to take the copy
  EXPECT_EQ(dst.GetColorElem(5), RGB(5, 0, 0));
  dst.CopyFrom(src, 4, 1, 10);  // only what the source has
  EXPECT_EQ(dst.GetColorElem(1), RGB(4, 0, 0));
  EXPECT_EQ(dst.GetColorElem(2), RGB(5, 0, 0));
  EXPECT_EQ(dst.GetColorElem(3), RGB(3, 0, 0));
  dst.CopyFrom(dst, 1, 2, 4);  // overlapping copy within one table
  EXPECT_EQ(dst.GetColorElem(2), RGB(4, 0, 0));
  EXPECT_EQ(dst.GetColorElem(3), RGB(5, 0, 0));
  EXPECT_EQ(changes, 3);
  dst.CopyFrom(nullptr, 1, 1, 3);
  dst.CopyFrom(src, -1, 1, 3);
  dst.SetColorElem(99, clRed);
  EXPECT_EQ(changes, 3);

  TColorArray copy(1);
  copy.Assign(&src);
  EXPECT_EQ(copy.Size(), 5);
  EXPECT_EQ(copy.GetColorElem(3), RGB(3, 0, 0));
}
