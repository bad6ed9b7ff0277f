// Interactive demo: a 2-D chart, a Smith chart, a box plot and a contour plot in a
// desktop window, one per tab.
//
// First tab: a noisy signal of 100,000 points on layer 1, a temperature curve on layer 2
// with its own right-hand axis, annotations, text labels and two crosshairs. The toolbar picks
// what a left drag does on the chart of the open tab; dragging on an axis pans or zooms
// that axis whatever the mode. The Smith chart shows a band-pass filter's input
// impedance; the status bar gives r + jx under the pointer and the crosshair. The box
// plot shows a small table of response times.
//
//   build/examples/qt_demo            (a window; QT_QPA_PLATFORM=offscreen for none)
//   build/examples/qt_demo --shot F   (renders once and saves the window as F, then quits)
//   build/examples/qt_demo --tab N    (opens on tab N: 1 Smith chart, 2 box plot, 3 contour,
//                                      4 surface, 5 3-D items, 6 live data)
//   build/examples/qt_demo --smith    (the same as --tab 1)
//   build/examples/qt_demo --contour  (the same as --tab 3)
//
// The contour tab shows 150 Gaussian hills and dips, calculated live for the visible
// range (drag a window to zoom: the grid follows and is calculated again, with a
// progress bar), and its attached colour scale. The surface tab shows a rotatable 3-D
// surface: a left drag rotates, a right drag zooms; the status bar gives the cell under
// the pointer. The 3-D items tab shows three clusters of marks and a helix: a left drag
// rotates, a right drag zooms, and a click names the nearest item in the status bar.
// The live tab scrolls a simulated 1 MHz acquisition from a worker thread;
// on it and on the first tab the mouse wheel zooms about the pointer (Shift: time axis
// only, Ctrl: value axis only).
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "boxplot/boxplot.h"
#include "hosts/qt/qthost.h"
#include "colorscale/colorscale.h"
#include "contour/contourplot.h"
#include "platform/printers.h"
#include "platform/univconst.h"
#include "plot3d/plot3d.h"
#include "rot3d/rot3d.h"
#include "smith/smithchart.h"
#include "zuvado/feed.h"
#include "zuvado/zuvado.h"

namespace {

using namespace kvr;

constexpr int kSignalPoints = 100000;
constexpr double kSeconds = 20.0;
constexpr TColor kSignalColor = 0x8B4513;  // steel blue

// A decaying two-tone oscillation with noise and a few spikes, as a sensor might give.
void fill_signal(TZUvado& z) {
  std::mt19937 rng(7);
  std::normal_distribution<double> noise(0.0, 0.08);
  z.SetActiveLayer(1);
  z.SetDataColor(kSignalColor);
  for (int i = 0; i < kSignalPoints; ++i) {
    const double t = kSeconds * i / (kSignalPoints - 1);
    double v = std::exp(-t / 9.0) * (std::sin(2 * M_PI * 0.9 * t) + 0.35 * std::sin(2 * M_PI * 4.1 * t));
    v += noise(rng);
    if (i % 17011 == 5000) v += 1.2;
    if (i == 0)
      z.MoveTo(t, v);
    else
      z.DrawTo(t, v);
  }
}

void fill_temperature(TZUvado& z) {
  z.SetActiveLayer(2);
  z.SetDataColor(0x1C1CD0);
  z.SetLineWidth(2);
  for (int i = 0; i <= 400; ++i) {
    const double t = kSeconds * i / 400;
    const double c = 21.0 + 3.5 * (1 - std::exp(-t / 5.0)) + 0.6 * std::sin(t / 2.3);
    if (i == 0)
      z.MoveTo(t, c);
    else
      z.DrawTo(t, c);
  }
  z.SetLineWidth(1);
  for (int i = 1; i < 10; ++i) z.MarkAt(2.0 * i, 21.0 + 3.5 * (1 - std::exp(-2.0 * i / 5.0)) + 0.6 * std::sin(2.0 * i / 2.3), Byte(30));
  z.SetActiveLayer(1);
}

void add_annotations(TZUvado& z) {
  z.SetAnnoMode(true);
  z.SetDataColor(0x006400);
  z.SetFillColor(0x006400);
  z.Arrow(9.2, 1.45, 7.95, 1.3, 9);
  z.SetTextBkStyle(tbClear);
  z.SetDataColor(0x006400);
  z.Text(9.25, 1.45, 9, "spike", 4, 0, taLeftJustify);
  z.SetDataColor(0x808080);
  z.SetPenStyle(psDash);
  z.CursorHoriz(0.0);
  z.SetPenStyle(psSolid);
  z.SetDataColor(0xA0A0A0);
  z.SetFillColor(0xF4ECE0);
  z.SetTransparentItems(true);
  z.Rectangle(12.0, -0.55, 16.0, 0.55);
  z.SetTransparentItems(false);
  z.SetDataColor(0x505050);
  z.Text(14.0, -0.62, 8, "settled band");
  z.SetAnnoMode(false);

  // Label 1 sits at control pixels, label 2 at a world position.
  z.AddTextLabel(z.MarginLeft() + 12, z.MarginTop() + 10, 0x202020, "Drag the labels in label mode", 0);
  if (TTextLabel* l = z.TextLabels(1)) {
    l->SetShadowDx(3);
    l->SetShadowDy(3);
    l->SetAttachToData(tamNone);
    l->SetAlignment(taLeftJustify);
    l->SetVerticalAlignment(vaTop);
    l->SetMode(tlShadow);
    l->SetColorBkg(0xE0FFFF);
  }
  z.AddTextLabel(17.5, 1.1, 0x1C1CD0, "temperature: right axis", 0);
  if (TTextLabel* l = z.TextLabels(2)) {
    l->SetMode(tlBox);
    l->SetLayer(1);
  }

  z.CrossHairSetup(1, 0x0000FF, chVert, psDot, 1);
  z.CrossHairSetPos(1, 3.0, 0.0);
  z.CrossHairSetup(2, 0x008000, chBoth, psDash, 1);
  z.CrossHair(2)->SetLayer(1);
  z.CrossHairSetPos(2, 10.0, 0.2);
}

void set_up(TZUvado& z) {
  z.SetSuppressPaint(true);
  z.SetStandardLayout(rcl_X1Bottom_Y2Both);
  z.SetMarginLeft(80);
  z.SetMarginRight(90);
  z.SetMarginTop(36);
  z.SetMarginBottom(48);
  z.SetCaption("Sensor run 42");
  z.SetGridStyle(gsDotLines);
  z.SetGridColor(0xB0B0B0);
  z.SetShadowWidth(4);
  z.Scale1X()->SetCaption("time [s]");
  z.Scale1Y()->SetCaption("amplitude [V]");
  z.Scale2Y()->SetCaption("T [°C]");
  z.Scale1X()->SetMouseAction(maPan);
  z.Scale1Y()->SetMouseAction(maPan);
  z.Scale2Y()->SetMouseAction(maPan);
  z.SetMouseAffectsLayer(2, true);
  z.SetMouseCursorFixed(false);
  fill_signal(z);
  fill_temperature(z);
  add_annotations(z);
  z.SetRange(1, 0, -1.6, kSeconds, 1.6);
  z.SetRange(2, 0, 15, kSeconds, 30);
  z.ClearZoomHistory();
  z.SetMouseAction(maZoomWindPos);
  z.SetSuppressPaint(false);
}

// Third-order band-pass about 1 GHz (20 % bandwidth, resonator Q 120), normalised to
// the line impedance.
std::complex<double> filter_input(double f_ghz) {
  using cplx = std::complex<double>;
  const double d = f_ghz - 1 / f_ghz, q = 120;
  const cplx series1 = 1.5963 / 0.2 * cplx(1 / q, d), shunt2 = 1.0967 / 0.2 * cplx(1 / q, d);
  return series1 + 1.0 / (shunt2 + 1.0 / (series1 + 1.0));
}

void set_up_smith(TSmithChart& s) {
  s.SetSuppressPaint(true);
  s.SetMarginLeft(60);
  s.SetMarginRight(20);
  s.SetMarginTop(36);
  s.SetMarginBottom(40);
  s.SetCaption("Band-pass filter, input impedance 0.7 .. 1.3 GHz");
  s.SetDataColor(0xB05010);
  for (int i = 0; i <= 240; ++i) {
    const std::complex<double> z = filter_input(0.7 + 0.6 * i / 240);
    const double u = TSmithChart::CalcReflectionReal(z.real(), z.imag());
    const double v = TSmithChart::CalcReflectionImag(z.real(), z.imag());
    if (i == 0) s.MoveTo(u, v); else s.DrawTo(u, v);
    if (i % 8 == 0) s.MarkAt(u, v, 3);
  }
  s.CrossHairSetup(1, 0x0000FF, chBoth, psDot, 1);
  s.CrossHairSetPos(1, 0.0, 0.0);
  s.SetMouseCursorFixed(false);
  s.SetMouseAction(maZoomWindPos);
  s.ClearZoomHistory();
  s.SetSuppressPaint(false);
}

// The whole unit circle with a margin, whatever the shape of the chart area.
void fit_smith(TSmithChart& s) {
  const double w = s.Width() - s.MarginLeft() - s.MarginRight() - s.ShadowWidth() + 1.0;
  const double h = s.Height() - s.MarginTop() - s.MarginBottom() - s.ShadowWidth() + 1.0;
  const double half = w > 0 && h > 0 ? 1.1 * std::max(1.0, w / h) : 1.2;
  s.SetRange(-half, -1.1, half, 1.1);
}

// "r + jx" of the impedance at Γ = u + jv; an open circuit has no finite value.
QString impedance_text(double u, double v) {
  const double r = TSmithChart::CalcResistance(u, v), x = TSmithChart::CalcReactance(u, v);
  if (r >= uc_MaxReal || x >= uc_MaxReal) return QString("z = open circuit");
  return QString("z = %1 %2 j%3").arg(r, 0, 'f', 3).arg(x < 0 ? "-" : "+").arg(std::fabs(x), 0, 'f', 3);
}

// Response times of a service on four days, twelve requests each; Thursday lost two
// measurements to a time-out, which the table keeps as text.
void fill_response_times(TDataTable& t) {
  static const double ms[4][12] = {
      {112, 98, 105, 131, 120, 99, 101, 140, 117, 108, 95, 126},
      {130, 142, 128, 175, 150, 139, 160, 133, 210, 146, 137, 152},
      {90, 94, 88, 97, 101, 92, 99, 95, 93, 98, 96, 91},
      {160, 122, 188, 240, 135, 171, 150, 199, 143, 166, 0, 0}};
  const char* days[4] = {"Monday", "Tuesday", "Wednesday", "Thursday"};
  t.BeginUpdate();
  t.Resize(4, 12);
  for (int c = 0; c < 4; ++c) {
    t.SetColName(c + 1, days[c]);
    for (int r = 0; r < 12; ++r) t.SetElem(c + 1, r + 1, ms[c][r]);
  }
  t.SetElem(4, 11, "time-out");
  t.SetElem(4, 12, "time-out");
  t.EndUpdate();
}

void set_up_box_plot(TBoxPlot& b, TDataTable& t) {
  b.SetSuppressPaint(true);
  b.AssignAnotherDataTable(&t);
  b.SetCaption("Response times [ms]");
  b.SetMarginLeft(60);
  b.SetMarginTop(30);
  b.SetGridStyle(bpgsDotLines);
  b.SetGridColor(0xB0B0B0);
  b.SetShow90Perc(true);
  b.SetSymbol90Perc(21);
  b.SetColorBody(0xF0E0C8);
  b.Labels()->SetPosition(6);
  b.Scale1Y()->SetMouseAction(maPan);
  b.SetMouseAction(maZoomDrag);
  b.AutoRange(15);
  b.ClearZoomHistory();
  b.SetSuppressPaint(false);
}

// A live contour plot: the z values are worked out in the event for every pivot of the
// visible range, so each zoom calculates the grid again.
class ContourTab : public QWidget {
 public:
  ContourTab() : FPlot(nullptr), FScale(nullptr), FPlotHost(&FPlot), FScaleHost(&FScale) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> pos(-5, 5), amp(-1, 1), width(0.05, 1.5);
    for (Hill& h : FHills) h = {pos(rng), pos(rng), amp(rng), width(rng)};

    auto* top = new QHBoxLayout;
    auto* mode = new QComboBox;
    mode->addItems({"colour surface", "colour surface, no interpolation", "iso-lines",
                    "iso-lines, one colour"});
    top->addWidget(new QLabel("Plot mode:"));
    top->addWidget(mode);
    auto* back = new QPushButton("Back");
    auto* reset = new QPushButton("Whole range");
    top->addWidget(back);
    top->addWidget(reset);
    top->addWidget(&FInfo, 1);
    top->addWidget(&FProgress);
    FProgress.setRange(0, 100);
    FProgress.setFixedWidth(200);
    auto* row = new QHBoxLayout;
    row->addWidget(&FPlotHost, 1);
    row->addWidget(&FScaleHost);
    FScaleHost.setFixedWidth(96);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addLayout(row, 1);

    FPlot.SetSuppressPaint(true);
    FPlot.IsoColors.SetSize(128);
    FPlot.IsoColors.FillByInterpolation(1, {0x802000, clBlue, clAqua, clLime, clYellow, clRed,
                                            0x000080});
    FPlot.SetIsoParams(-2.0, 2.0, 0.1);
    FPlot.ResizePivotMatrix(1500, 1000);
    FPlot.SetMouseAction(maZoomWindPos);
    FPlot.SetCaption("150 hills and dips");
    FPlot.SetMarginRight(16);
    FPlot.OnEstimateZVal = [this](TObject*, double x, double y, Integer, Integer, double& z,
                                  Byte&) {
      double s = 0;
      for (const Hill& h : FHills) {
        const double dx = x - h.x, dy = y - h.y;
        s += h.a * std::exp(-(dx * dx + dy * dy) / h.w);
      }
      z = s;
    };
    // Progress also arrives while the plot paints (from inside a paint event), where the
    // bar must not repaint itself at once: the value goes through the event queue, which
    // a calculation outside painting keeps serving.
    FPlot.OnProgress = [this](TObject*, Integer pc) {
      QMetaObject::invokeMethod(&FProgress, [this, pc] { FProgress.setValue(pc); },
                                Qt::QueuedConnection);
    };
    // A mouse zoom reports here before it repaints: the values are calculated now, with
    // the progress bar going, and the repaint keeps them.
    FPlot.OnZoomPan = [this](TObject*) {
      FPlot.CalculatePivotPoints(true);
      FInfo.setText(QString("x %1 .. %2, y %3 .. %4")
                        .arg(FPlot.Scale1X()->RangeLow(), 0, 'g', 4)
                        .arg(FPlot.Scale1X()->RangeHigh(), 0, 'g', 4)
                        .arg(FPlot.Scale1Y()->RangeLow(), 0, 'g', 4)
                        .arg(FPlot.Scale1Y()->RangeHigh(), 0, 'g', 4));
    };
    FScale.SetOrientation(csoVertical);
    FScale.SetMarginTop(16);
    FScale.SetMarginBottom(32);
    FScale.SetMarginLeft(8);
    FScale.SetMarginRight(50);
    FScale.CrossHair()->SetVisible(false);
    FPlot.SetAttachedColorScale(&FScale);
    FPlot.SetSuppressPaint(false);

    connect(mode, &QComboBox::currentIndexChanged, this, [this](int ix) {
      const TContourPlotMode modes[] = {cpmColorSurface, cpmColorSurfNoIp, cpmDots, cpmMonoDots};
      FPlot.SetPlotMode(modes[ix]);
    });
    connect(back, &QPushButton::clicked, this, [this] { FPlot.ZoomHistory(-1); });
    connect(reset, &QPushButton::clicked, this, [this] {
      FPlot.SetSuppressPaint(true);
      FPlot.SetRange(1, -5.2, -5.2, 5.2, 5.2);
      FPlot.ZoomStateOnStack();
      FPlot.CalculatePivotPoints(true);
      FPlot.SetSuppressPaint(false);
    });
  }

  // The plot, for the window's toolbar.
  TContourPlot& Plot() { return FPlot; }

 private:
  struct Hill {
    double x, y, a, w;
  };
  std::array<Hill, 150> FHills{};
  TContourPlot FPlot;
  TColorScale FScale;
  TQtHost FPlotHost;
  TQtHost FScaleHost;
  QLabel FInfo;
  QProgressBar FProgress;
};

// A damped ripple on 50 x 50 nodes, coloured from blue through green to red.
void set_up_surface(TPlot3D& p) {
  p.SetSuppressPaint(true);
  p.GridMat.Resize(50, 50);
  for (int i = 1; i <= 50; ++i)
    for (int j = 1; j <= 50; ++j) {
      const double x = (i - 25.5) / 5.0, y = (j - 25.5) / 5.0, r = std::hypot(x, y);
      p.GridMat.SetVal(i, j, std::cos(2.2 * r) * std::exp(-0.25 * r));
    }
  p.SetSuppressPaint(false);
  p.SetRange(-5, 5, -5, 5, -1, 1);
  p.SetColorScaleLow(-0.8);
  p.SetColorScaleHigh(1.0);
  p.SetColorLow(0xA03000);
  p.SetColorMid(0x40C040);
  p.SetColorHigh(0x0030E0);
  p.SetColorCodingMode(ccmThreeColors);
  p.SetColorMesh(0x383838);
  p.SetMouseAction(maRotAndZoom);
}

// Three clusters of 600 marks each and a helix through them.
void set_up_items(TRot3D& r) {
  std::mt19937 rng(11);
  std::normal_distribution<double> g(0.0, 1.0);
  const struct {
    double x, y, z, s;
    TColor color;
    Byte mark;
  } clusters[] = {{-3, -2, 1, 0.9, 0x2030D0, 17}, {3, -1, -2, 0.7, 0x208020, 11}, {0, 3, 2, 0.6, 0xC06010, 22}};
  for (const auto& c : clusters) {
    r.SetColorData(c.color);
    for (int i = 0; i < 600; ++i) r.MarkAt(c.x + c.s * g(rng), c.y + c.s * g(rng), c.z + c.s * g(rng), c.mark);
  }
  r.SetColorData(0xA02080);
  r.SetLineWidth(2);
  for (int i = 0; i <= 1000; ++i) {
    const double t = i * 0.03;
    if (i == 0)
      r.Moveto(4 * std::cos(t), 4 * std::sin(t), t / 6 - 2.5);
    else
      r.Drawto(4 * std::cos(t), 4 * std::sin(t), t / 6 - 2.5);
  }
  r.SetLineWidth(1);
  r.SetMagnify(1.5);
  r.SetMouseAction(maRotAndZoom);
  r.MakeVisible();
}

QString item_text(const TRot3D& r, Integer i, double dist) {
  const Tr3ChartItem it = r.GetChartItem(i);
  const char* kind = it.ItemKind == Tr3Item::tkMarkAt   ? "mark"
                     : it.ItemKind == Tr3Item::tkLineto ? "line point"
                     : it.ItemKind == Tr3Item::tkLine   ? "line"
                                                        : "polyline start";
  return QString("item %1 (%2) at %3, %4, %5, %6 px from the pointer")
      .arg(i)
      .arg(kind)
      .arg(it.x, 0, 'f', 2)
      .arg(it.y, 0, 'f', 2)
      .arg(it.z, 0, 'f', 2)
      .arg(dist, 0, 'f', 0);
}

// Live tab: a worker thread plays a 1 MHz acquisition (a million samples a second, in
// blocks of a millisecond) and hands the samples to a feed; a 60 Hz timer on the window's
// thread drains it, and the chart scrolls through the last 20 ms. Pause stops the
// acquisition and the scrolling, so the wheel, the toolbar's zoom and pan and the axes
// work on the frozen picture; Resume goes on from the newest sample.
class LiveTab : public QWidget {
 public:
  static constexpr double kSampleRate = 1e6;
  static constexpr double kWindowSeconds = 0.02;

  LiveTab() : FChart(nullptr), FHost(&FChart), FFeed(FChart) {
    auto* top = new QHBoxLayout;
    top->addWidget(&FPause);
    top->addWidget(&FRate, 1);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(top);
    lay->addWidget(&FHost, 1);

    FChart.SetSuppressPaint(true);
    FChart.SetMarginLeft(70);
    FChart.SetMarginRight(20);
    FChart.SetMarginTop(30);
    FChart.SetMarginBottom(48);
    FChart.SetCaption("1 MHz acquisition, last 20 ms");
    FChart.SetGridStyle(gsDotLines);
    FChart.SetGridColor(0xB0B0B0);
    FChart.Scale1X()->SetCaption("time [s]");
    FChart.Scale1Y()->SetCaption("input [V]");
    FChart.Scale1X()->SetMouseAction(maPan);
    FChart.Scale1Y()->SetMouseAction(maPan);
    FChart.SetRange(1, 0, -1.5, kWindowSeconds, 1.5);
    FChart.ClearZoomHistory();
    FChart.SetDataColor(kSignalColor);
    FChart.SetMouseAction(maPan);
    FChart.SetWheelZoom(true);
    FChart.SetSuppressPaint(false);
    FFeed.SetRollingSpan(kWindowSeconds);

    connect(&FPause, &QPushButton::clicked, this, [this] { SetPaused(!FPaused); });
    connect(&FFrame, &QTimer::timeout, this, [this] { Frame(); });
    FFrame.start(16);
    FWorker = std::thread([this] { Acquire(); });
  }
  ~LiveTab() override {
    FStop = true;
    FWorker.join();
  }

  TZUvado& Chart() { return FChart; }
  void SetShown(bool Shown) {
    FShown = Shown;
    FRunning = FShown && !FPaused;
  }

 private:
  void SetPaused(bool Paused) {
    FPaused = Paused;
    FRunning = FShown && !FPaused;
    FPause.setText(FPaused ? "Resume" : "Pause");
    // Scrolling would take the range back from the user's zoom.
    FFeed.SetRollingSpan(FPaused ? 0 : kWindowSeconds);
  }

  void Frame() {
    if (FPaused) return;
    const std::size_t n = FFeed.Drain();
    if (n > 0) FRate.setText(QString("%1 samples drawn, %2 in the chart").arg(FFeed.Drained()).arg(FChart.NumItems()));
  }

  // Real-time pacing: each block is sent once its millisecond has passed, so the chart sees
  // the samples at the rate a converter would deliver them.
  void Acquire() {
    using Clock = std::chrono::steady_clock;
    constexpr int kBlock = 1000;
    std::vector<double> x(kBlock), y(kBlock);
    std::mt19937 rng(11);
    std::normal_distribution<double> noise(0, 0.05);
    uint64_t n = 0;
    auto due = Clock::now();
    while (!FStop) {
      if (!FRunning) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        due = Clock::now();
        continue;
      }
      std::this_thread::sleep_until(due);
      due += std::chrono::milliseconds(1);
      for (int i = 0; i < kBlock; ++i, ++n) {
        const double t = double(n) / kSampleRate;
        // A 440 Hz tone with a 3 kHz overtone that swells and fades every 50 ms.
        y[size_t(i)] = std::sin(2 * M_PI * 440 * t) +
                       0.3 * std::sin(2 * M_PI * 3000 * t) * std::sin(2 * M_PI * 10 * t) +
                       noise(rng);
        x[size_t(i)] = t;
      }
      FFeed.Add(x, y);
    }
  }

  // The chart first and the feed after it: the feed goes before the chart it feeds.
  TZUvado FChart;
  TQtHost FHost;
  TZUvadoFeed FFeed;
  QPushButton FPause{"Pause"};
  QLabel FRate;
  QTimer FFrame;
  std::atomic<bool> FStop{false};
  std::atomic<bool> FRunning{false};
  bool FShown = false;
  bool FPaused = false;
  std::thread FWorker;
};

class DemoWindow : public QMainWindow {
 public:
  DemoWindow()
      : FChart(nullptr), FHost(&FChart), FSmith(nullptr), FSmithHost(&FSmith), FBox(nullptr),
        FBoxHost(&FBox), FSurface(nullptr), FSurfaceHost(&FSurface), FItems(nullptr), FItemsHost(&FItems) {
    setWindowTitle("kvrchart: interactive 2-D chart, Smith chart and box plot");
    FTabs.addTab(&FHost, "2-D chart");
    FTabs.addTab(&FSmithHost, "Smith chart");
    FTabs.addTab(&FBoxHost, "Box plot");
    FTabs.addTab(&FContour, "Contour plot");
    FTabs.addTab(&FSurfaceHost, "Surface");
    FTabs.addTab(&FItemsHost, "3-D items");
    set_up_items(FItems);
    FItems.OnMouseDown = [this](TObject*, TMouseButton b, TShiftState, Integer x, Integer y) {
      if (b != mbLeft) return;
      double d = 0;
      const Integer i = FItems.FindNearestItemScreen(x, y, Tr3Item::tkEverything, d);
      FPos.setText(i < 0 ? QString("no item") : item_text(FItems, i, d));
    };
    set_up_surface(FSurface);
    FSurface.OnMouseMoveOverPlot = [this](TObject*, bool over, TShiftState, Integer cx, Integer cy) {
      FPos.setText(over ? QString("cell %1, %2: z = %3").arg(cx).arg(cy).arg(FSurface.GridMat.GetVal(cx, cy), 0, 'f', 3)
                        : QString());
    };
    FSurface.OnZoomPan = [this](TObject*) {
      FInfo.setText(QString("view %1° / %2°, magnification %3")
                        .arg(FSurface.ViewAngleX(), 0, 'f', 1)
                        .arg(FSurface.ViewAngleZ(), 0, 'f', 1)
                        .arg(FSurface.Magnification(), 0, 'f', 2));
    };
    setCentralWidget(&FTabs);
    set_up(FChart);
    set_up_smith(FSmith);
    fill_response_times(FBoxTable);
    set_up_box_plot(FBox, FBoxTable);
    FBox.OnMouseMoveInChart = [this](TObject*, bool in, TShiftState, double, double y) {
      FPos.setText(in ? QString("%1 ms").arg(y, 0, 'f', 1) : QString());
    };
    build_toolbar();
    statusBar()->addWidget(&FPos, 1);
    statusBar()->addPermanentWidget(&FInfo);
    connect(&FTabs, &QTabWidget::currentChanged, this, [this] {
      FPos.clear();
      FInfo.clear();
      // The toolbar works on the 2-D charts; the 3-D charts have their own mouse.
      FToolBar->setEnabled(!surface_shown() && !items_shown());
      if (surface_shown() || items_shown()) return;
      for (auto& [action, mode] : FModeActions) action->setChecked(mode == current().MouseAction());
    });
    FSmith.OnMouseMoveInChart = [this](TObject*, bool in, TShiftState, double u, double v) {
      FPos.setText(in ? QString("Γ = %1 %2 j%3    ").arg(u, 0, 'f', 4).arg(v < 0 ? "-" : "+").arg(std::fabs(v), 0, 'f', 4) +
                            impedance_text(u, v)
                      : QString());
    };
    FSmith.OnCrossHairMove = [this](TObject*, Integer ch) {
      FInfo.setText(QString("crosshair %1: ").arg(ch) + impedance_text(FSmith.CrossHairPosX(ch), FSmith.CrossHairPosY(ch)));
    };
    // Until the user zooms, the Smith chart shows the whole circle at every size.
    FSmith.OnResize = [this](TObject*) {
      if (!FSmithZoomed) fit_smith(FSmith);
    };
    FSmith.OnZoomPan = [this](TObject*) {
      FSmithZoomed = true;
      FInfo.setText(QString("Γ real %1 .. %2, imaginary %3 .. %4")
                        .arg(FSmith.RangeXLow(), 0, 'g', 4)
                        .arg(FSmith.RangeXHigh(), 0, 'g', 4)
                        .arg(FSmith.RangeYLow(), 0, 'g', 4)
                        .arg(FSmith.RangeYHigh(), 0, 'g', 4));
    };
    FChart.OnMouseMoveInChart = [this](TObject*, bool in, TShiftState, double x, double y) {
      FPos.setText(in ? QString("t = %1 s   y = %2").arg(x, 0, 'f', 4).arg(y, 0, 'f', 4) : QString());
    };
    FChart.OnRubberBand = [this](TObject*, Integer layer, double x1, double y1, double x2, double y2) {
      if (layer != 1) return;
      const double dt = x2 - x1, dy = y2 - y1;
      FInfo.setText(QString("band: dt = %1 s, dy = %2, slope %3")
                        .arg(dt, 0, 'g', 4)
                        .arg(dy, 0, 'g', 4)
                        .arg(dt != 0 ? dy / dt : 0.0, 0, 'g', 4));
    };
    FChart.OnSelectRect = [this](TObject*, Integer layer, double x1, double y1, double x2, double y2) {
      if (layer != 1) return;
      select(x1, y1, x2, y2);
    };
    FChart.OnZoomPan = [this](TObject*) {
      // Bands and selections report on release too; keep their own message.
      if (FChart.MouseAction() == maRubberBand || FChart.MouseAction() == maSelectRect) return;
      FInfo.setText(QString("x %1 .. %2").arg(FChart.Scale1X()->RangeLow(), 0, 'g', 5).arg(FChart.Scale1X()->RangeHigh(), 0, 'g', 5));
    };
    FChart.OnCrossHairMove = [this](TObject*, Integer ch) {
      FInfo.setText(QString("crosshair %1 at t = %2 s").arg(ch).arg(FChart.CrossHairPosX(ch), 0, 'f', 4));
    };
    // The live tab comes after every other tab.
    FTabs.addTab(&FLive, "Live");
    connect(&FTabs, &QTabWidget::currentChanged, this, [this] { FLive.SetShown(FTabs.currentWidget() == &FLive); });
    FChart.SetWheelZoom(true);
    resize(1000, 700);
  }

  // The pages leave the tab widget while the window goes; the tab handler must not run
  // on labels that are already gone.
  ~DemoWindow() override { disconnect(&FTabs, nullptr, this, nullptr); }

  void ShowTab(int Index) { FTabs.setCurrentIndex(Index); }

 private:
  void build_toolbar() {
    QToolBar* tb = addToolBar("Mouse");
    FToolBar = tb;
    tb->setMovable(false);
    auto* group = new QActionGroup(this);
    struct Mode {
      const char* text;
      TMouseActMode mode;
      const char* tip;
    } modes[] = {
        {"Pan", maPan, "Drag to pan both axes"},
        {"Zoom window", maZoomWindPos, "Drag a window to zoom into"},
        {"Drag zoom", maZoomDrag, "Drag right or up to zoom in about the centre"},
        {"Crosshair", maDragCrossHair, "Drag the nearest crosshair"},
        {"Label", maDragLabel, "Drag the nearest text label"},
        {"Rubber band", maRubberBand, "Drag a line to measure a slope"},
        {"Select", maSelectRect, "Drag a rectangle to mark the points inside"},
        {"Trace", maMouseTrace, "Draw freehand over the chart"},
    };
    for (const Mode& m : modes) {
      QAction* a = tb->addAction(m.text);
      a->setToolTip(m.tip);
      a->setCheckable(true);
      a->setChecked(m.mode == FChart.MouseAction());
      group->addAction(a);
      const TMouseActMode mode = m.mode;
      FModeActions.push_back({a, mode});
      connect(a, &QAction::triggered, this, [this, mode] { current().SetMouseAction(mode); });
    }
    tb->addSeparator();
    connect(tb->addAction("Back"), &QAction::triggered, this, [this] { current().ZoomHistory(-1); });
    connect(tb->addAction("Fit"), &QAction::triggered, this, [this] {
      if (smith_shown()) {
        FSmithZoomed = false;
        fit_smith(FSmith);
      } else if (contour_shown()) {
        FContour.Plot().SetRange(1, -5.2, -5.2, 5.2, 5.2);
        FContour.Plot().ZoomStateOnStack();
      } else if (box_shown()) {
        FBox.AutoRange(15);
        FBox.ZoomStateOnStack();
      } else {
        current().AutoRange(0, 3);
        current().ZoomStateOnStack();
      }
    });
    connect(tb->addAction("Clear trace"), &QAction::triggered, this, [this] { current().ClearMouseTrace(); });
    tb->addSeparator();
    connect(tb->addAction("Save PNG"), &QAction::triggered, this, [this] { save("PNG image (*.png)", ".png"); });
    connect(tb->addAction("Save SVG"), &QAction::triggered, this, [this] { save("SVG picture (*.svg)", ".svg"); });
    connect(tb->addAction("Copy"), &QAction::triggered, this, [this] {
      current().CopyToClipboard(false);
      FInfo.setText("chart copied");
    });
    connect(tb->addAction("Print"), &QAction::triggered, this, [this] { print(); });
  }

  void select(double x1, double y1, double x2, double y2) {
    // The last selection goes back to the signal's colour and class first.
    FChart.NewColorOfClassItems(kSignalColor, 1);
    FChart.MarkAllItems(tkEverything, 0);
    const Integer n = FChart.MarkItemsInWindow(x1, y1, x2, y2, tkLineto, 1);
    FChart.NewColorOfClassItems(0x0080FF, 1);
    FChart.ShowGraf();
    FInfo.setText(QString("%1 points selected").arg(n));
  }

  void save(const char* filter, const char* ext) {
    QString name = QFileDialog::getSaveFileName(this, "Save chart", QString("chart") + ext, filter);
    if (name.isEmpty()) return;
    try {
      if (QString(ext) == ".svg")
        current().CopyToWMF(name.toStdString(), false);
      else
        current().CopyToBMP(name.toStdString(), false);
      FInfo.setText("saved " + name);
    } catch (const std::exception& e) {
      QMessageBox::warning(this, "Save chart", e.what());
    }
  }

  // The Qt host's print dialog picks the printer (or a PDF file) and the paper.
  void print() {
    try {
      Printer().SetTitle(smith_shown() ? "Band-pass filter" : box_shown() ? "Response times"
                        : contour_shown() ? "Hills and dips" : "Sensor run 42");
      current().PrintIt(1.0, false);
      FInfo.setText(Printer().Aborted() ? "printing cancelled" : "printed");
    } catch (const std::exception& e) {
      QMessageBox::warning(this, "Print", e.what());
    }
  }

  bool smith_shown() const { return FTabs.currentIndex() == 1; }
  bool box_shown() const { return FTabs.currentIndex() == 2; }
  bool contour_shown() const { return FTabs.currentIndex() == 3; }
  bool surface_shown() const { return FTabs.currentIndex() == 4; }
  bool items_shown() const { return FTabs.currentIndex() == 5; }
  TCustomZUvado& current() {
    if (FTabs.currentWidget() == &FLive) return FLive.Chart();
    if (smith_shown()) return FSmith;
    if (box_shown()) return FBox;
    if (contour_shown()) return FContour.Plot();
    return FChart;
  }

  // Declared first, destroyed last: the hosts leave the tabs before these go.
  QTabWidget FTabs;
  TZUvado FChart;
  TQtHost FHost;
  TSmithChart FSmith;
  TQtHost FSmithHost;
  TDataTable FBoxTable;
  TBoxPlot FBox;
  TQtHost FBoxHost;
  std::vector<std::pair<QAction*, TMouseActMode>> FModeActions;
  bool FSmithZoomed = false;
  ContourTab FContour;
  TPlot3D FSurface;
  TQtHost FSurfaceHost;
  TRot3D FItems;
  TQtHost FItemsHost;
  QToolBar* FToolBar = nullptr;
  QLabel FPos;
  QLabel FInfo;
  LiveTab FLive;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  InstallQtPlatformHooks();
  DemoWindow w;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--smith") w.ShowTab(1);
    if (std::string(argv[i]) == "--contour") w.ShowTab(3);
  }
  w.show();
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--tab") w.ShowTab(std::atoi(argv[i + 1]));
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--shot") {
      const QString file = argv[i + 1];
      QTimer::singleShot(300, &w, [&w, file] {
        w.grab().save(file);
        QApplication::quit();
      });
    }
  return app.exec();
}
