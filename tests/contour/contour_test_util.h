// Helpers of the contour plot tests.
#pragma once

#include <cmath>
#include <vector>

#include "contour/contourplot.h"

namespace kvr::test {

// Four distinct colours so that every table index is recognisable in a picture.
inline void FourColors(TContourPlot& cp) {
  cp.IsoColors.SetSize(4);
  cp.IsoColors.SetColorElem(0, 0x101010);
  cp.IsoColors.SetColorElem(1, 0x0000C0);
  cp.IsoColors.SetColorElem(2, 0x00C000);
  cp.IsoColors.SetColorElem(3, 0xC00000);
  cp.IsoColors.SetColorElem(4, 0x00C0C0);
}

// A plot with a window, painting allowed, at the default 280 x 200.
struct Plot {
  TContourPlot cp{nullptr};
  Plot() {
    cp.SetBounds(0, 0, 280, 200);
    cp.CreateWnd();
  }
  // Area pixel (x, y) of the window picture after a paint.
  TColor area(Integer x, Integer y) {
    return cp.Surface()->Canvas()->Pixels(cp.MarginLeft() + x, cp.MarginTop() + y);
  }
};

inline double Saddle(double x, double y) {
  return std::exp(-((x - 2) * (x - 2) + (y - 1) * (y - 1)) / 3) -
         0.8 * std::exp(-((x + 2) * (x + 2) + (y + 1) * (y + 1)) / 2) + 0.05 * x * y;
}

}  // namespace kvr::test
