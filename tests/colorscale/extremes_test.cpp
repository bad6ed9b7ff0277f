// Colour scale inputs at the ends of their types, in both orientations, each followed
// by a paint. The sanitizer build aborts on any overflow on the way to the picture.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "colorscale/colorscale.h"

namespace {

using kvr::Integer;
using kvr::TColorScale;

constexpr Integer kInts[] = {INT_MAX, INT_MIN, -1, 0};

// The opposite end: INT_MIN has no negation of its own.
constexpr Integer neg(Integer v) { return v == INT_MIN ? INT_MAX : -v; }

void paint_both(TColorScale& s) {
  for (auto o : {kvr::csoHorizontal, kvr::csoVertical}) {
    s.SetOrientation(o);
    s.Update();
  }
}

TEST(ColorScaleExtremes, IntegerSettersTakeTheEndsOfInteger) {
  const std::vector<std::pair<const char*, std::function<void(TColorScale&, Integer)>>> set = {
      {"CaptionPosX", [](TColorScale& s, Integer v) { s.SetCaptionPosX(v); }},
      {"CaptionPosY", [](TColorScale& s, Integer v) { s.SetCaptionPosY(v); }},
      {"CaptionSize", [](TColorScale& s, Integer v) { s.SetCaptionSize(v); }},
      {"MarginLeft", [](TColorScale& s, Integer v) { s.SetMarginLeft(v); }},
      {"MarginRight", [](TColorScale& s, Integer v) { s.SetMarginRight(v); }},
      {"MarginTop", [](TColorScale& s, Integer v) { s.SetMarginTop(v); }},
      {"MarginBottom", [](TColorScale& s, Integer v) { s.SetMarginBottom(v); }},
      {"MinTicks", [](TColorScale& s, Integer v) { s.SetMinTicks(v); }},
      {"Mouse", [](TColorScale& s, Integer v) {
         s.HostMouseWheel({}, v, 10, 10);
         s.HostMouseDown(kvr::mbLeft, {}, v, v);
         s.HostMouseMove({}, neg(v), v);
         s.HostMouseUp(kvr::mbLeft, {}, v, neg(v));
       }},
  };
  for (const auto& [name, fn] : set)
    for (Integer v : kInts) {
      SCOPED_TRACE(std::string(name) + " = " + std::to_string(v));
      TColorScale s(nullptr);
      s.SetBounds(0, 0, 250, 80);
      s.CreateWnd();
      s.SetCaption("Colours");
      fn(s, v);
      paint_both(s);
    }
}

TEST(ColorScaleExtremes, HugeDenormalAndNanRangesPaint) {
  const double dmin = std::numeric_limits<double>::denorm_min();
  const double huge = std::numeric_limits<double>::max();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double ranges[][2] = {{0, dmin}, {-huge, huge}, {0, huge}, {0, nan}, {-dmin, dmin}};
  for (const auto& r : ranges) {
    SCOPED_TRACE(std::to_string(r[0]) + " .. " + std::to_string(r[1]));
    TColorScale s(nullptr);
    s.SetBounds(0, 0, 250, 80);
    s.CreateWnd();
    s.SetScaleRange(r[0], r[1]);
    s.SetColorLow(r[0]);
    s.SetColorHigh(r[1]);
    paint_both(s);
  }
}

}  // namespace
