// Names that the documentation's samples use without declaring them. Each sample runs
// in a struct derived from its context (see extract_samples.cmake).
#pragma once

#include "kvrchart.h"

namespace ctx {

struct none {};

// The control of the life-cycle sample.
struct platform_control_h {
  struct TFoo : kvr::TCustomControl {
    using kvr::TCustomControl::TCustomControl;
  };
};

// A chart with a window, for samples that draw one.
struct platform_svgcanvas_h {
  kvr::TZUvado chart{nullptr};
  platform_svgcanvas_h() {
    chart.SetBounds(0, 0, 640, 480);
    chart.CreateWnd();
  }
};

struct platform_themes_h {
  kvr::TColor c = kvr::clWhite;
  ~platform_themes_h() { kvr::StyleServices().SetEnabled(false); }
};

struct scale_scale_h {};
struct colorscale_colorscale_h {};
struct gauge_gauge_h {};

#ifdef KVR_SAMPLES_WITH_QT
struct hosts_qt_qthost_h {
  char name[8] = "sample";
  int argc = 1;
  char* argv[2] = {name, nullptr};
};
#endif

}  // namespace ctx
