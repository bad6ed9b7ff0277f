// A chart for the axis, mapping, range and zoom tests: painting allowed, paints counted
// the way the chart's paint rule lets them through.
#pragma once

#include "zuvado/zuvado.h"

namespace kvr::test {

class AxesChart : public TZUvado {
 public:
  // Chart area 300 x 180 pixels with the first standard layout's margins (50, 20, 20,
  // 40): x = 50 .. 350, y = 20 .. 200.
  AxesChart() : TZUvado(nullptr) {
    SetBounds(0, 0, 370, 240);
    SetSuppressPaint(false);
    paints = 0;
  }
  int paints = 0;

 protected:
  void Paint() override {
    if (!SuppressPaint()) ++paints;
  }
};

}  // namespace kvr::test
