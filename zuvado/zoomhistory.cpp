// The ring of the last 16 committed range states of each axis pair.
#include "zuvado/customzuvado.h"

namespace kvr {

namespace {

// Slot (0-based) of relative index i (-15..0) with the write pointer Poi (1-based).
size_t zoom_slot(Integer Poi, Integer i) {
  Integer s = Poi + i - 1;
  if (s < 1) s += TCustomZUvado::kZoomStackSize;
  return size_t(s - 1);
}

bool empty_state(const TRectDouble& r) {
  return r.Left == 0 && r.Top == 0 && r.Right == 0 && r.Bottom == 0;
}

}  // namespace

void TCustomZUvado::ZoomStateOnStack() {
  if (ComponentState().Contains(csLoading)) return;
  for (size_t i = 0; i < 2; ++i) {
    const TScaleProps& X = *FScalePropsX[i];
    const TScaleProps& Y = *FScalePropsY[i];
    FZoomStack[i][size_t(FZStackPoi - 1)] =
        TRectDouble{X.FRangeLow, Y.FRangeHigh, X.FRangeHigh, Y.FRangeLow};
  }
  if (++FZStackPoi > kZoomStackSize) FZStackPoi = 1;
}

void TCustomZUvado::ClearZoomHistory() {
  for (auto& layer : FZoomStack) layer.fill(TRectDouble{});
  FZStackPoi = 1;
  ZoomStateOnStack();
}

// Replaying neither moves the pointer nor records, so the same Index always returns to
// the same state.
void TCustomZUvado::ZoomHistory(Integer Index) {
  if (Index < -(kZoomStackSize - 1) || Index > 0) return;
  const size_t s = zoom_slot(FZStackPoi, Index);
  for (Integer k = 1; k <= 2; ++k) {
    const TRectDouble r = FZoomStack[size_t(k - 1)][s];
    if (empty_state(r)) continue;
    ForceRange(k, r.Left, r.Bottom, r.Right, r.Top, false, false);
  }
  RepaintChart();
}

TRectDouble TCustomZUvado::GetZoomStackEntry(Integer Layer, Integer StackIx) const {
  if (Layer < 1 || Layer > 2 || StackIx < -(kZoomStackSize - 1) || StackIx > 0)
    return TRectDouble{};
  return FZoomStack[size_t(Layer - 1)][zoom_slot(FZStackPoi, StackIx)];
}

}  // namespace kvr
