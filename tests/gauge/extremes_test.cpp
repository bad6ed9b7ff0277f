// Gauge inputs at the ends of their types: integer setters, denormal, huge and NaN
// ranges and values, in both orientations and every index mode. The sanitizer build
// aborts on any overflow on the way to the picture.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "gauge/gauge.h"

namespace {

using kvr::Integer;
using kvr::TScaleGauge;

constexpr Integer kInts[] = {INT_MAX, INT_MIN, -1, 0};

void paint_all_modes(TScaleGauge& g) {
  for (auto o : {kvr::TGaugeOrientation(0), kvr::TGaugeOrientation(1)})
    for (int mode = 0; mode < 4; ++mode)
      for (bool fixed : {false, true}) {
        g.SetOrientation(o);
        g.SetIndexMode(kvr::TGaugeIndexMode(mode));
        g.SetFixedDial(fixed);
        g.Update();
      }
}

TEST(GaugeExtremes, IntegerSettersTakeTheEndsOfInteger) {
  const std::vector<std::pair<const char*, std::function<void(TScaleGauge&, Integer)>>> set = {
      {"CaptionPosX", [](TScaleGauge& g, Integer v) { g.SetCaptionPosX(v); }},
      {"CaptionPosY", [](TScaleGauge& g, Integer v) { g.SetCaptionPosY(v); }},
      {"CaptionSize", [](TScaleGauge& g, Integer v) { g.SetCaptionSize(v); }},
      {"MarginLeft", [](TScaleGauge& g, Integer v) { g.SetMarginLeft(v); }},
      {"MarginRight", [](TScaleGauge& g, Integer v) { g.SetMarginRight(v); }},
      {"MarginTop", [](TScaleGauge& g, Integer v) { g.SetMarginTop(v); }},
      {"MarginBottom", [](TScaleGauge& g, Integer v) { g.SetMarginBottom(v); }},
      {"MinTicks", [](TScaleGauge& g, Integer v) { g.SetMinTicks(v); }},
      {"Wheel", [](TScaleGauge& g, Integer v) {
         g.HostMouseWheel({}, v, 10, 10);
         g.HostMouseMove({}, v, v);
       }},
  };
  for (const auto& [name, fn] : set)
    for (Integer v : kInts) {
      SCOPED_TRACE(std::string(name) + " = " + std::to_string(v));
      TScaleGauge g(nullptr);
      g.SetBounds(0, 0, 300, 75);
      g.CreateWnd();
      g.SetCaption("Gauge");
      fn(g, v);
      paint_all_modes(g);
    }
}

TEST(GaugeExtremes, DenormalHugeAndNanRangesAndValuesPaint) {
  const double dmin = std::numeric_limits<double>::denorm_min();
  const double huge = std::numeric_limits<double>::max();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double ranges[][2] = {{0, dmin},     {-dmin, dmin}, {dmin, 2 * dmin}, {-huge, huge},
                              {0, huge},     {-huge, 0},    {1e300, 1e308},   {0, nan},
                              {nan, 1},      {-inf, inf},   {0, 1e-310}};
  for (const auto& r : ranges)
    for (bool log : {false, true}) {
      SCOPED_TRACE(std::to_string(r[0]) + " .. " + std::to_string(r[1]));
      TScaleGauge g(nullptr);
      g.SetBounds(0, 0, 300, 75);
      g.CreateWnd();
      g.SetMin(r[0]);
      g.SetMax(r[1]);
      g.SetLogarithmic(log);
      for (double v : {r[0], r[1], (r[0] + r[1]) / 2, nan, huge, -huge, dmin}) {
        g.SetValue(v);
        g.SetGaugeZero(v);
        paint_all_modes(g);
      }
    }
}

}  // namespace
