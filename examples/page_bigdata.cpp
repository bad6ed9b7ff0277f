// Gallery page of large data: ten million points from one bulk call, the same points
// zoomed in a thousandfold, and a million marks in three series.
#include <cmath>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "examples/pages.h"
#include "zuvado/zuvado.h"

namespace {

using kvr::TZUvado;

constexpr int kW = 600;
constexpr int kH = 400;
constexpr int kSignal = 10000000;

void place(kvr::TCanvas& c, TZUvado& z, int x, int y, const std::string& title,
           const std::string& note) {
  z.SetSuppressPaint(false);
  z.ShowGraf();
  PageHeading(c, x, y - 38, title);
  PanelLabel(c, x, y - 18, note);
  c.Draw(x, y, z.Surface());
}

void setup(TZUvado& z, const std::string& caption) {
  z.SetBounds(0, 0, kW, kH);
  z.CreateWnd();
  z.SetSuppressPaint(true);
  z.SetCaption(caption);
  z.SetGridStyle(kvr::gsDotLines);
  z.SetGridColor(0xC8C8C8);
}

// A chirp with noise sampled ten million times over one second: its lowest tones show
// at full view, its samples only when zoomed.
void signal(std::vector<double>& x, std::vector<double>& y) {
  std::mt19937 rng(7);
  std::normal_distribution<double> noise(0.0, 0.08);
  x.resize(kSignal);
  y.resize(kSignal);
  for (int i = 0; i < kSignal; ++i) {
    const double t = double(i) / kSignal;
    x[size_t(i)] = t;
    y[size_t(i)] = std::sin(2 * M_PI * (5 * t + 400 * t * t)) * (0.6 + 0.4 * t) + noise(rng);
  }
}

}  // namespace

void RenderBigDataPage(kvr::TCanvas& c, int w, int h) {
  c.Brush()->SetStyle(kvr::bsSolid);
  c.Brush()->SetColor(kvr::clWhite);
  c.FillRect(kvr::TRect{0, 0, w, h});
  std::vector<double> x, y;
  signal(x, y);

  TZUvado full(nullptr);
  setup(full, "10,000,000 points");
  full.SetRange(1, 0, -1.5, 1, 1.5);
  full.SetDataColor(0x905010);
  full.DrawPolyline(x, y);
  place(c, full, 20, 70, "Ten million points, one DrawPolyline call",
        "Every point is an item; points that share their attributes take 16 bytes each.");

  // The same store, zoomed: a thousandth of the x range holds ten thousand points.
  TZUvado zoom(nullptr);
  setup(zoom, "x from 0.9 to 0.901");
  zoom.SetUseDataOf(&full);
  zoom.SetRange(1, 0.9, -1.5, 0.901, 1.5);
  place(c, zoom, 640, 70, "The same items zoomed 1000x (a chart sharing the data)",
        "Columns of many points are merged without changing a pixel.");

  TZUvado marks(nullptr);
  setup(marks, "1,000,000 marks");
  marks.SetRange(1, -4, -4, 4, 4);
  std::mt19937 rng(11);
  std::normal_distribution<double> g(0.0, 1.0);
  const kvr::TColor colours[3] = {0xC06020, 0x2080C0, 0x30A030};
  std::vector<double> mx(333334), my(333334);
  for (int s = 0; s < 3; ++s) {
    const double cx = -1.2 + 1.2 * s, cy = s == 1 ? 1.0 : -0.6;
    for (size_t i = 0; i < mx.size(); ++i) {
      mx[i] = cx + 0.7 * g(rng);
      my[i] = cy + 0.7 * g(rng);
    }
    marks.SetDataColor(colours[s]);
    marks.MarkSeries(mx, my, 0);
  }
  place(c, marks, 20, 540, "A million marks in three MarkSeries calls",
        "Marks that land on a pixel stamped before by the same mark are not drawn again.");

  // A rolling window as the live feed leaves it: the newest 200,000 points of a stream.
  TZUvado window(nullptr);
  setup(window, "last 200,000 of 10,000,000 points");
  window.SetDataColor(0x202020);
  window.DrawPolyline(std::span<const double>(x).first(200000), std::span<const double>(y).first(200000));
  for (int at = 200000; at < kSignal; at += 200000) {
    window.ContinuePolyline(std::span<const double>(x).subspan(size_t(at), 200000),
                            std::span<const double>(y).subspan(size_t(at), 200000));
    window.RemoveFirstItems(200000);
  }
  window.SetRange(1, x[kSignal - 200000], -1.5, x[kSignal - 1], 1.5);
  place(c, window, 640, 540, "A rolling window: appended in blocks, oldest items removed",
        "The store reuses the memory of the removed items for the new ones.");
}
