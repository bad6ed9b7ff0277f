// TContourPlot: pivot calculation, the grid walk into pixel memory and the cached
// surface under the chart's items.
#include <algorithm>
#include <cmath>
#include <vector>

#include "contour/contourplot.h"
#include "contour/detail/cells.h"
#include "platform/forms.h"
#include "platform/kvrvector.h"
#include "platform/paintguard.h"
#include "platform/univconst.h"

namespace kvr {

double TContourPlot::PivotX(Integer i) const {
  const double lo = Scale1X()->RangeLow(), hi = Scale1X()->RangeHigh();
  return lo + (i - 1) * (hi - lo) / (FNumPivotX - 1);
}

double TContourPlot::PivotY(Integer j) const {
  const double lo = Scale1Y()->RangeLow(), hi = Scale1Y()->RangeHigh();
  return lo + (j - 1) * (hi - lo) / (FNumPivotY - 1);
}

void TContourPlot::FeedbackProgress(Integer Percent) {
  if (OnProgress) OnProgress(this, Percent);
}

void TContourPlot::ReportProgress(Integer i) {
  if (i % ProgressStep() == 0) FeedbackProgress(Integer(Round(i * 100.0 / FNumPivotX)));
}

void TContourPlot::CalculatePivotPoints(bool PreCalcFlag) {
  if (FPivotPreCalc && !PreCalcFlag) {
    FPivotPreCalc = PreCalcFlag;
    return;
  }
  // Messages processed below may paint; that paint must not start another calculation.
  const auto building = detail::hold_flag(FBuilding, true);
  FMaximum = -uc_MaxDouble;
  FMinimum = uc_MaxDouble;
  const Integer nx = FNumPivotX, ny = FNumPivotY;
  std::vector<double> ys(size_t(ny) + 1);
  for (Integer j = 1; j <= ny; ++j) ys[size_t(j)] = PivotY(j);
  for (Integer i = 1; i <= nx; ++i) {
    if (i % ProgressStep() == 0) {
      FeedbackProgress(Integer(Round(i * 100.0 / nx)));
      // Inside a paint the window system must not be re-entered (a host paints from
      // its paint event); a calculation the application asks for takes messages.
      if (!FFromPaint) Application().ProcessMessages();
    }
    const double x = PivotX(i);
    for (Integer j = 1; j <= ny; ++j) {
      double z = 0.0;
      // The handler may rebuild the grid: the matrices are looked up for every pivot,
      // and writes outside the new size are ignored.
      Byte m = FMaskMat->GetByte(i, j);
      if (OnEstimateZVal && FEnabled) OnEstimateZVal(this, x, ys[size_t(j)], i, j, z, m);
      FPivotMat->SetVal(i, j, z);
      FMaskMat->SetByte(i, j, m);
      FMaximum = std::max(FMaximum, z);
      FMinimum = std::min(FMinimum, z);
    }
  }
  FPivotPreCalc = PreCalcFlag;
}

void TContourPlot::ClearPivotPoints(bool PreCalcFlag) {
  if (!FPivotPreCalc || PreCalcFlag) FPivotMat->Fill(0.0);
  FPivotPreCalc = PreCalcFlag;
}

double TContourPlot::PercentilePivots(double prob) const {
  return FPivotMat->Percentile(prob, 1, 1, FNumPivotX, FNumPivotY);
}

double TContourPlot::PercentilePivots(double prob, bool UseMask) const {
  if (!UseMask) return PercentilePivots(prob);
  TVector v(FNumPivotX * FNumPivotY);
  Integer count = 0;
  for (Integer i = 1; i <= FNumPivotX; ++i)
    for (Integer j = 1; j <= FNumPivotY; ++j)
      if (FMaskMat->GetByte(i, j) == 0) v.SetVal(++count, FPivotMat->GetVal(i, j));
  return v.Percentile(prob, 1, count);
}

void TContourPlot::RenderFromPivotPoints(TBitmap* Bmp, Integer OffX, Integer OffY) {
  if (!Bmp) return;
  const Integer W = Bmp->Width(), H = Bmp->Height();
  const Integer nx = FNumPivotX, ny = FNumPivotY;
  const TMatrix& Z = *FPivotMat;
  const TByteMatrix& M = *FMaskMat;
  detail::ContourCells c;
  FreezeCells(c, OffX, OffY);
  const double dx = (Scale1X()->RangeHigh() - Scale1X()->RangeLow()) / (nx - 1);
  const double dy = (Scale1Y()->RangeHigh() - Scale1Y()->RangeLow()) / (ny - 1);

  // Without two rows the stride cannot be measured; nothing is rendered.
  if (W > 0 && H > 1) {
    TRGB32* r0 = Bmp->ScanLine(0);
    const Integer stride = Integer(Bmp->ScanLine(1) - r0);
    const detail::PixelSink sink(stride < 0 ? Bmp->ScanLine(H - 1) : r0, stride, H);
    const bool cells = FPlotMode == cpmDots || FPlotMode == cpmMonoDots ||
                       FPlotMode == cpmColorSurface;
    const Integer shrink = cells ? 1 : 0;
    std::vector<double> xs(size_t(nx) + 1), ys(size_t(ny) + 1);
    for (Integer i = 1; i <= nx; ++i) xs[size_t(i)] = PivotX(i);
    for (Integer j = 1; j <= ny; ++j) ys[size_t(j)] = PivotY(j);
    auto rendered = [&](Integer i, Integer j) {
      const Byte m = M.GetByte(i, j);
      return m == 0 || m == 255;
    };

    if (FPlotMode == cpmColorSurface) {
      // Most cells have one colour at all four corners: their index and pixel corners
      // are worked out once per pivot, and only the mixed cells take the general walk.
      std::vector<Integer> idx(size_t(nx) * size_t(ny));
      for (Integer i = 1; i <= nx; ++i)
        for (Integer j = 1; j <= ny; ++j)
          idx[size_t(i - 1) * size_t(ny) + size_t(j - 1)] = c.index_of(Z.GetVal(i, j));
      std::vector<int64_t> colA(size_t(nx) + 1), colB(size_t(nx) + 1);
      std::vector<int64_t> rowA(size_t(ny) + 1), rowB(size_t(ny) + 1);
      for (Integer i = 1; i <= nx; ++i) {
        colA[size_t(i)] = c.px(xs[size_t(i)]);
        colB[size_t(i)] = c.px(xs[size_t(i)] + dx);
      }
      for (Integer j = 1; j <= ny; ++j) {
        rowA[size_t(j)] = c.py(ys[size_t(j)]);
        rowB[size_t(j)] = c.py(ys[size_t(j)] + dy);
      }
      std::vector<TRGB32> packed(c.Colors.size());
      for (size_t k = 0; k < packed.size(); ++k) packed[k] = detail::pack_pixel(c.Colors[k]);
      for (Integer i = 1; i <= nx - shrink; ++i) {
        ReportProgress(i);
        const Integer* col = &idx[size_t(i - 1) * size_t(ny)];
        const Integer* next = col + ny;
        const int64_t xa = colA[size_t(i)], xb = colB[size_t(i)];
        // Uniform cells that follow each other up a column in one colour are written as
        // one rectangle: the same pixels, in the same order, without the overlap.
        Integer runK = -1;
        int64_t runLow = 0, runTop = 0;
        auto flush = [&]() {
          if (runK >= 0) sink.fill(xa, runLow, xb, runTop, packed[size_t(runK)]);
          runK = -1;
        };
        for (Integer j = 1; j <= ny - shrink; ++j) {
          if (!rendered(i, j)) {
            flush();
            continue;
          }
          const Integer k = col[j - 1];
          if (k == next[j - 1] && k == col[j] && k == next[j]) {
            const int64_t low = rowA[size_t(j)], top = rowB[size_t(j)];
            if (top > low) {  // mirrored: the cell writes nothing
              flush();
              continue;
            }
            if (runK == k && low >= runTop - 1) {
              runTop = std::min(runTop, top);
              continue;
            }
            flush();
            runK = k;
            runLow = low;
            runTop = top;
          } else {
            flush();
            detail::iso_col_quad(c, sink, xs[size_t(i)], ys[size_t(j)], dx, dy, Z.GetVal(i, j),
                                 Z.GetVal(i + 1, j), Z.GetVal(i, j + 1), Z.GetVal(i + 1, j + 1),
                                 5, 5);
          }
        }
        flush();
      }
    } else if (cells) {
      for (Integer i = 1; i <= nx - shrink; ++i) {
        ReportProgress(i);
        for (Integer j = 1; j <= ny - shrink; ++j) {
          if (!rendered(i, j)) continue;
          detail::iso_quad(c, sink, xs[size_t(i)], ys[size_t(j)], dx, dy, Z.GetVal(i, j),
                           Z.GetVal(i + 1, j), Z.GetVal(i, j + 1), Z.GetVal(i + 1, j + 1), 5, 5);
        }
      }
    } else {
      const bool transp = FPlotMode == cpmColorSurfNoIpTransp;
      auto clampx = [W](int64_t v) { return std::clamp<int64_t>(v, 0, W - 1); };
      auto clampy = [H](int64_t v) { return std::clamp<int64_t>(v, 0, H - 1); };
      for (Integer i = 1; i <= nx; ++i) {
        ReportProgress(i);
        const double x = xs[size_t(i)];
        const int64_t X1 = clampx(c.px(x - dx / 2)), X2 = clampx(c.px(x + dx / 2));
        for (Integer j = 1; j <= ny; ++j) {
          if (!rendered(i, j)) continue;
          const double z = Z.GetVal(i, j);
          Integer k = 0;
          TColor col = c.Colors[1];
          if (z >= FIsoLow) {
            double t = (z - FIsoLow) / (FIsoHigh - FIsoLow) * c.S;
            if (t > c.S) t = c.S;
            k = Integer(Round(t));
            col = c.Colors[size_t(k)];
          }
          if (k == 0 && transp) continue;
          const double y = ys[size_t(j)];
          sink.rect(X1, clampy(c.py(y - dy / 2)), X2, clampy(c.py(y + dy / 2)), col);
        }
      }
    }
  }
  ComposeMasks(Bmp, c, dx, dy);
}

void TContourPlot::RenderLabels(TCanvas* Canvas, Integer OffX, Integer OffY) {
  if (Canvas) DrawTextLabels(Canvas, OffX, OffY);
}

TContourPlot::TSurfaceKey TContourPlot::CurrentSurfaceKey() const {
  TSurfaceKey k;
  k.W = std::max<Integer>(0, AreaWidth() + 1);
  k.H = std::max<Integer>(0, AreaHeight() + 1);
  k.ML = MarginLeft();
  k.MT = MarginTop();
  const TLayerMap m = LayerMap(1);
  const double map[8] = {m.X.K, m.X.D, m.X.NonPos, double(m.X.Log),
                         m.Y.K, m.Y.D, m.Y.NonPos, double(m.Y.Log)};
  std::copy(std::begin(map), std::end(map), k.Map);
  k.Range[0] = Scale1X()->RangeLow();
  k.Range[1] = Scale1X()->RangeHigh();
  k.Range[2] = Scale1Y()->RangeLow();
  k.Range[3] = Scale1Y()->RangeHigh();
  k.Chart = ChartColor();
  k.Unmapped = UnmappedAxes(1);
  return k;
}

void TContourPlot::ConstructDataBmpCanvas(TCanvas* Canvas, Integer ox, Integer oy, bool Mono,
                                          Integer FirstNew) {
  if (!Canvas) return;
  if (FirstNew != 0 || !FPivotMat) {
    TCustomZUvado::ConstructDataBmpCanvas(Canvas, ox, oy, Mono, FirstNew);
    return;
  }
  const TSurfaceKey key = CurrentSurfaceKey();
  if ((FInvalidDataBmp || !(key == FSurfaceKey)) && !FBuilding) {
    FBuilding = true;
    // Cleared first: a change made while the values are calculated asks again.
    FInvalidDataBmp = false;
    FSurfaceKey = key;
    try {
      // An axis without a transform (a logarithmic range that cannot be mapped) leaves
      // the background alone. The values are calculated before the old surface is
      // touched, so that paints during a long calculation still show it.
      if (key.Unmapped == 0) {
        FBuilding = false;
        FFromPaint = true;
        CalculatePivotPoints(false);
        FFromPaint = false;
        FBuilding = true;
      }
      FSurface->SetSize(key.W, key.H);
      InitGraf(FSurface->Canvas(), 0, 0, key.W, key.H);
      if (OnBeforeRenderData) {
        TCanvas* sc = FSurface->Canvas();
        const TColor bc = sc->Brush()->Color(), pc = sc->Pen()->Color();
        OnBeforeRenderData(this, sc, MarginTop(), MarginLeft());
        sc->Brush()->SetColor(bc);
        sc->Pen()->SetColor(pc);
      }
      if (key.Unmapped == 0) RenderFromPivotPoints(FSurface.get(), 0, 0);
    } catch (...) {
      FBuilding = false;
      FFromPaint = false;
      FInvalidDataBmp = true;
      throw;
    }
    FBuilding = false;
    // Messages handled during the calculation may have changed the range or asked for
    // a new surface: one more paint brings the picture up to date.
    if (FInvalidDataBmp || !(CurrentSurfaceKey() == key)) Invalidate();
  }
  const int32_t mode = Canvas->CopyMode();
  Canvas->SetCopyMode(SRCCOPY);
  Canvas->Draw(ox, oy, FSurface.get());
  Canvas->SetCopyMode(mode);
  // OnBeforeRenderData ran on the surface, under the pivots; the chart's own pass draws
  // the items, labels and frame over them.
  TRenderEvent before = std::move(OnBeforeRenderData);
  OnBeforeRenderData = nullptr;
  try {
    TCustomZUvado::ConstructDataBmpCanvas(Canvas, ox, oy, Mono, FirstNew);
  } catch (...) {
    if (!OnBeforeRenderData) OnBeforeRenderData = std::move(before);
    throw;
  }
  if (!OnBeforeRenderData) OnBeforeRenderData = std::move(before);
}

}  // namespace kvr
