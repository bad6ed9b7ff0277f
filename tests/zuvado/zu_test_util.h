// Helpers shared by the chart item store tests.
#pragma once

#include <memory>
#include <vector>

#include "platform/canvas.h"
#include "platform/detail/canvas_backend.h"
#include "zuvado/zuvado.h"

namespace kvr::test {

// A chart that counts repaints and calls of the data propagation point.
class ProbeChart : public TZUvado {
 public:
  ProbeChart() : TZUvado(nullptr) {}
  int paints = 0;
  int propagations = 0;

 protected:
  void Paint() override { ++paints; }
  void AdjustCanInfoOfSharedCharts() override { ++propagations; }
};

// A canvas back end that only records polylines and pixels.
class RecordingBackend : public detail::CanvasBackend {
 public:
  std::vector<std::vector<TPoint>> polylines;
  int lines = 0;

  void line(TPoint, TPoint, const detail::Stroke&) override { ++lines; }
  void polyline(const TPoint* p, int n, const detail::Stroke&) override {
    polylines.emplace_back(p, p + n);
  }
  void rectangle(const TRect&, const detail::Stroke*, const detail::Fill*) override {}
  void ellipse(const TRect&, const detail::Stroke*, const detail::Fill*) override {}
  void arc(const TRect&, TPoint, TPoint, const detail::Stroke&) override {}
  void polygon(const TPoint*, int, const detail::Stroke*, const detail::Fill*) override {}
  void text(int, int, std::string_view, const detail::TextStyle&) override {}
  void set_pixel(int, int, TColor) override {}
  TColor get_pixel(int, int) const override { return -1; }
  void draw_image(const TRect&, const TBitmap&, const TRect&, int32_t) override {}
  void set_clip(const TRect*) override {}
  int width() const override { return 1000; }
  int height() const override { return 1000; }
};

struct RecordingCanvas {
  RecordingBackend* backend;
  std::unique_ptr<TCanvas> canvas;
  RecordingCanvas() {
    auto b = std::make_unique<RecordingBackend>();
    backend = b.get();
    canvas = std::make_unique<TCanvas>(std::move(b));
  }
};

}  // namespace kvr::test
