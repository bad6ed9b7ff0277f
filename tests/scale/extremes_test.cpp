// Scale inputs at the ends of their types, for all four scale types, each followed by
// a paint. The sanitizer build aborts on any overflow on the way to the picture.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "scale/scale.h"

namespace {

using kvr::Integer;
using kvr::TScale;

constexpr Integer kInts[] = {INT_MAX, INT_MIN, -1, 0};

// The opposite end: INT_MIN has no negation of its own.
constexpr Integer neg(Integer v) { return v == INT_MIN ? INT_MAX : -v; }

void paint_all_types(TScale& s) {
  for (int t = 0; t < 4; ++t) {
    s.SetScaleType(kvr::TScaleType(t));
    s.Update();
  }
}

TEST(ScaleExtremes, IntegerSettersTakeTheEndsOfInteger) {
  const std::vector<std::pair<const char*, std::function<void(TScale&, Integer)>>> set = {
      {"CaptionPosX", [](TScale& s, Integer v) { s.SetCaptionPosX(v); }},
      {"CaptionPosY", [](TScale& s, Integer v) { s.SetCaptionPosY(v); }},
      {"DecPlaces", [](TScale& s, Integer v) { s.SetDecPlaces(v); }},
      {"MarginLeft", [](TScale& s, Integer v) { s.SetMarginLeft(v); }},
      {"MarginRight", [](TScale& s, Integer v) { s.SetMarginRight(v); }},
      {"MarginTop", [](TScale& s, Integer v) { s.SetMarginTop(v); }},
      {"MarginBottom", [](TScale& s, Integer v) { s.SetMarginBottom(v); }},
      {"MinTicks", [](TScale& s, Integer v) { s.SetMinTicks(v); }},
      {"ForCvPosX", [](TScale& s, Integer v) { s.SetForCvPosX(v); }},
      {"ForCvPosY", [](TScale& s, Integer v) { s.SetForCvPosY(v); }},
      {"Mouse", [](TScale& s, Integer v) {
         s.HostMouseWheel({}, v, 10, 10);
         s.HostMouseDown(kvr::mbLeft, {}, v, v);
         s.HostMouseMove({}, neg(v), v);
         s.HostMouseUp(kvr::mbLeft, {}, v, neg(v));
       }},
  };
  for (const auto& [name, fn] : set)
    for (Integer v : kInts) {
      SCOPED_TRACE(std::string(name) + " = " + std::to_string(v));
      TScale s(nullptr);
      s.SetBounds(0, 0, 200, 60);
      s.CreateWnd();
      s.SetCaption("Scale");
      fn(s, v);
      paint_all_types(s);
    }
}

TEST(ScaleExtremes, HugeDenormalAndNanRangesPaint) {
  const double dmin = std::numeric_limits<double>::denorm_min();
  const double huge = std::numeric_limits<double>::max();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double ranges[][2] = {{0, dmin}, {-huge, huge}, {0, huge}, {1e300, 1e308},
                              {0, nan},  {-dmin, dmin}, {2147483647.0, 2147483648.0}};
  for (const auto& r : ranges)
    for (bool log : {false, true}) {
      SCOPED_TRACE(std::to_string(r[0]) + " .. " + std::to_string(r[1]));
      TScale s(nullptr);
      s.SetBounds(0, 0, 200, 60);
      s.CreateWnd();
      s.SetLogarithmic(log);
      s.SetRange(r[0], r[1]);
      paint_all_types(s);
    }
}

}  // namespace
