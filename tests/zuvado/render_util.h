// Helpers of the rendering tests: a chart whose world units are chart-area pixels, a
// canvas back end that records shapes, and pixel probes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "zu_test_util.h"

namespace kvr::test {

// 400 x 300 with margins 50, 10, 16, 32: the chart area is 340 x 252
// pixels and layer 1 maps world (x, y) to area pixel (x, 252 - y).
class RenderChart : public TZUvado {
 public:
  RenderChart() : TZUvado(nullptr) {
    SetBounds(0, 0, 400, 300);
    SetMarginLeft(50);
    SetMarginRight(10);
    SetMarginTop(16);
    SetMarginBottom(32);
    CreateWnd();
    SetRange(1, 0, 0, 340, 252);
    SetRange(2, 0, 0, 340, 252);
  }
  using TCustomZUvado::ConstructDataBmpCanvas;
  using TCustomZUvado::DrawContainerItemOnCanvas;
  using TCustomZUvado::InitGraf;
  using TCustomZUvado::AddMTracePoint;

  // Area pixel of the chart-area image.
  TColor Area(int x, int y) const { return GrafBmp()->Canvas()->Pixels(x, y); }
  TColor Ctl(int x, int y) { return Surface()->Canvas()->Pixels(x, y); }
  int CountArea(TColor c) const {
    int n = 0;
    for (int y = 0; y < GrafBmp()->Height(); ++y)
      for (int x = 0; x < GrafBmp()->Width(); ++x) n += Area(x, y) == c;
    return n;
  }
};

struct Shape {
  char kind;  // 'r' rectangle, 'p' polygon, 'e' ellipse, 't' text, 'x' pixel, 'l' line
  std::vector<TPoint> pts;
  std::string text;
  TColor pen = -1;
  TColor fill = -1;
};

// Records rectangles, polygons, ellipses, texts and pixels (lines and polylines go to
// the base's counters).
class ShapeBackend : public RecordingBackend {
 public:
  std::vector<Shape> shapes;
  void line(TPoint a, TPoint b, const detail::Stroke& s) override {
    RecordingBackend::line(a, b, s);
    shapes.push_back({'l', {a, b}, {}, s.color, -1});
  }
  void rectangle(const TRect& r, const detail::Stroke* s, const detail::Fill* f) override {
    shapes.push_back({'r', {{r.Left, r.Top}, {r.Right, r.Bottom}}, {}, s ? s->color : -1,
                      f ? f->color : -1});
  }
  void ellipse(const TRect& r, const detail::Stroke* s, const detail::Fill* f) override {
    shapes.push_back({'e', {{r.Left, r.Top}, {r.Right, r.Bottom}}, {}, s ? s->color : -1,
                      f ? f->color : -1});
  }
  void polygon(const TPoint* p, int n, const detail::Stroke* s, const detail::Fill* f) override {
    shapes.push_back({'p', std::vector<TPoint>(p, p + n), {}, s ? s->color : -1, f ? f->color : -1});
  }
  void text(int x, int y, std::string_view t, const detail::TextStyle& st) override {
    shapes.push_back({'t', {{x, y}}, std::string(t), st.color, st.opaque ? st.background : -1});
  }
  void set_pixel(int x, int y, TColor c) override { shapes.push_back({'x', {{x, y}}, {}, c, -1}); }
  std::vector<Shape> Of(char k) const {
    std::vector<Shape> r;
    for (const Shape& s : shapes)
      if (s.kind == k) r.push_back(s);
    return r;
  }
};

struct ShapeCanvas {
  ShapeBackend* backend;
  std::unique_ptr<TCanvas> canvas;
  ShapeCanvas() {
    auto b = std::make_unique<ShapeBackend>();
    backend = b.get();
    canvas = std::make_unique<TCanvas>(std::move(b));
  }
};

}  // namespace kvr::test
