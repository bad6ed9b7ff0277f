// The duplicate-mark map: suppresses marks drawn over a mark of their type within the
// minimum distance, one map per rendering pass.
#include <algorithm>
#include <cstdint>

#include "zuvado/customzuvado.h"

namespace kvr {

// The map covers the control plus the suppression distance on every side; the distance
// is frozen here so that a change during a pass cannot move the cells.
void TCustomZUvado::ResetDupMarkMap() {
  FPixMapDist = FMinDupMarkDist;
  FPixMapW = std::max(0, Width()) + 2 * FPixMapDist;
  FPixMapH = std::max(0, Height()) + 2 * FPixMapDist;
  FPixMap.assign(size_t(FPixMapW) * size_t(FPixMapH), -1);
}

// Marks beyond the map are drawn without a look-up; stamps near the map's edge are
// clipped to it.
bool TCustomZUvado::DupMarkAllowed(Integer px, Integer py, Integer mk) {
  if (FPixMap.empty()) return true;
  const int64_t d = FPixMapDist;
  const int64_t cx = int64_t(px) + d, cy = int64_t(py) + d;
  if (cx < 0 || cx >= FPixMapW || cy < 0 || cy >= FPixMapH) return true;
  if (FPixMap[size_t(cx) * size_t(FPixMapH) + size_t(cy)] == mk) return false;
  const int64_t x0 = std::max<int64_t>(0, cx - d), x1 = std::min<int64_t>(FPixMapW - 1, cx + d);
  const int64_t y0 = std::max<int64_t>(0, cy - d), y1 = std::min<int64_t>(FPixMapH - 1, cy + d);
  for (int64_t x = x0; x <= x1; ++x)
    for (int64_t y = y0; y <= y1; ++y) FPixMap[size_t(x) * size_t(FPixMapH) + size_t(y)] = mk;
  return true;
}

void TCustomZUvado::DrawMarkChecked(TCanvas* Canvas, Integer mk, Integer px, Integer py) {
  if (!Canvas) return;
  if (FAvoidDuplicateMarks && !DupMarkAllowed(px, py, mk)) return;
  DrawMarkOnCanvas(Canvas, mk, px, py);
}

}  // namespace kvr
