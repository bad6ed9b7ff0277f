// The surface's cells take the raster back end's short way; drawn instead one by one
// through its general polygon (from OnBeforeRenderPolygon, Handled), the picture must
// be the same to the pixel at every view.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"
#include "platform/detail/raster_backend.h"
#include "plot3d/plot3d.h"

namespace {

using kvr::TPlot3D;

void sombrero(TPlot3D& p, int n) {
  p.SetSuppressPaint(true);
  p.GridMat.Resize(n, n);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) {
      const double x = (i - n / 2.0) / (n / 12.0), y = (j - n / 2.0) / (n / 12.0), r = std::hypot(x, y);
      p.GridMat.SetVal(i, j, r == 0 ? 2.0 : std::sin(2 * r) / r);
    }
  p.SetSuppressPaint(false);
}

std::vector<uint32_t> picture(TPlot3D& p) {
  p.Update();
  const auto* px = reinterpret_cast<const uint32_t*>(p.Surface()->Bits());
  return std::vector<uint32_t>(px, px + size_t(p.Surface()->Width()) * p.Surface()->Height());
}

TEST(SurfacePixels, CellsMatchTheGeneralPolygonAtEveryView) {
  TPlot3D fast{nullptr}, general{nullptr};
  for (TPlot3D* p : {&fast, &general}) {
    p->SetBounds(0, 0, 420, 300);
    p->CreateWnd();
    p->SetMagnify(1.6);
    p->SetColorScaleLow(-0.3);
    p->SetColorScaleHigh(1.0);
    p->SetColorCodingMode(kvr::ccmThreeColors);
    sombrero(*p, 40);
  }
  general.OnBeforeRenderPolygon = [&](kvr::TObject*, kvr::TCanvas* cv, bool& handled, kvr::Integer, kvr::Integer,
                                      kvr::TQuad quad, kvr::TColor& color) {
    auto* rb = dynamic_cast<kvr::detail::RasterBackend*>(cv->Backend());
    ASSERT_NE(rb, nullptr);
    const kvr::detail::Stroke s{kvr::ColorToRGB(general.MeshVisible() ? general.ColorMesh() : color), kvr::psSolid,
                                1, kvr::pmCopy};
    const kvr::detail::Fill f{kvr::ColorToRGB(color), kvr::pmCopy};
    rb->polygon(quad.data(), 4, &s, &f);
    handled = true;
  };
  int cells_off_picture = 0;
  // Steep and flat views, from below, and a magnification that pushes cells off the edges.
  const double views[][3] = {{30, 45, 1.6}, {60, 200, 1.6}, {10, 300, 1.6}, {250, 120, 1.6}, {45, 30, 4.0}};
  for (const auto& v : views) {
    for (TPlot3D* p : {&fast, &general}) {
      p->SetViewAngles(v[0], v[1]);
      p->SetMagnify(v[2]);
    }
    EXPECT_EQ(picture(fast), picture(general)) << v[0] << " " << v[1] << " " << v[2];
    if (v[2] > 2) {
      for (int i = 1; i <= 40; ++i)
        cells_off_picture += fast.ProjMapX.GetVal(i, 1) < 0 || fast.ProjMapX.GetVal(i, 1) >= 420;
    }
  }
  EXPECT_GT(cells_off_picture, 0);  // the last view did clip
  fast.SetMeshVisible(false);
  general.SetMeshVisible(false);
  EXPECT_EQ(picture(fast), picture(general)) << "without mesh";
}

}  // namespace
